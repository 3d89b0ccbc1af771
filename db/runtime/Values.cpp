#include "db/runtime/Values.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "db/runtime/ResultCodes.h"

namespace rt::val {
namespace {

bool digits(const char* s, int n) {
    for (int k = 0; k < n; ++k)
        if (s[k] < '0' || s[k] > '9') return false;
    return true;
}

int num(const char* s, int n) {
    int v = 0;
    for (int k = 0; k < n; ++k) v = v * 10 + (s[k] - '0');
    return v;
}

// "yyyymmdd" or "yyyymmddHH24MISS" into "YYYY-MM-DD HH:MM:SS". A stamp of
// only a date stands for midnight, as the write-back of a position with a
// date and an empty time has it.
std::int32_t toDate(const char* s, int n, dialect::InConv conv, char* out) {
    if (!(n == 8 || (n == 14 && conv == dialect::InConv::Stamp)) || !digits(s, n)) return err::DateFormat;
    int y = num(s, 4), mo = num(s + 4, 2), d = num(s + 6, 2);
    int h = 0, mi = 0, se = 0;
    if (n == 14) {
        h = num(s + 8, 2);
        mi = num(s + 10, 2);
        se = num(s + 12, 2);
    }
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (y < 1 || mo < 1 || mo > 12 || d < 1 || d > days[mo - 1] + (mo == 2 && leap ? 1 : 0) || h > 23 || mi > 59 ||
        se > 59)
        return err::DateRange;
    // Copied digit by digit: every field is known to hold two (four) digits.
    std::memcpy(out, "YYYY-MM-DD HH:MM:SS", 20);
    std::memcpy(out, s, 4);
    std::memcpy(out + 5, s + 4, 2);
    std::memcpy(out + 8, s + 6, 2);
    if (n == 14) {
        std::memcpy(out + 11, s + 8, 2);
        std::memcpy(out + 14, s + 10, 2);
        std::memcpy(out + 17, s + 12, 2);
    } else {
        std::memcpy(out + 11, "00:00:00", 8);
    }
    return 0;
}

std::int32_t parseInt(const char* s, std::int64_t& v) {
    errno = 0;
    char* end = nullptr;
    long long x = std::strtoll(s, &end, 10);
    if (end != s && *end == '\0' && errno == 0) {
        v = x;
        return 0;
    }
    double d = std::strtod(s, &end);
    if (end == s || *end != '\0' || !std::isfinite(d)) return err::InvalidNumber;
    if (d >= 9.2e18 || d <= -9.2e18) return err::ValueTooLarge;
    v = static_cast<std::int64_t>(d);
    return 0;
}

}  // namespace

std::int32_t inputs(Binds binds, const std::vector<dialect::InConv>& conv, std::vector<In>& out) {
    if (binds.size() < conv.size()) return err::MissingBind;
    if (binds.size() > conv.size()) return err::ExtraBind;
    out.resize(conv.size());
    std::size_t k = 0;
    for (const Bind& b : binds) {
        In& v = out[k];
        switch (b.kind) {
            case Kind::Text: {
                const char* s = static_cast<const char*>(b.addr);
                int n = b.len > 0 ? static_cast<int>(strnlen(s, static_cast<std::size_t>(b.len))) : 0;
                if (n == 0) {
                    v.type = In::Type::Null;
                } else if (conv[k] == dialect::InConv::DayKey) {
                    // No day's text equals one that is no day: a bound past every
                    // timestamp matches none.
                    v.type = In::Type::Text;
                    v.s = toDate(s, n, dialect::InConv::Day, v.date) == 0 ? v.date : "infinity";
                    v.n = static_cast<int>(std::strlen(v.s));
                } else if (conv[k] != dialect::InConv::None) {
                    if (std::int32_t rc = toDate(s, n, conv[k], v.date)) return rc;
                    v.type = In::Type::Text;
                    v.s = v.date;
                    v.n = 19;
                } else {
                    v.type = In::Type::Text;
                    v.s = s;
                    v.n = n;
                }
                break;
            }
            case Kind::Int16: {
                std::int32_t x = *static_cast<const std::int32_t*>(b.addr);
                // The column takes 16 bits: a wider value would arrive cut.
                if (x < std::numeric_limits<std::int16_t>::min() || x > std::numeric_limits<std::int16_t>::max())
                    return err::ValueTooLarge;
                v.type = In::Type::Int;
                v.i = x;
                break;
            }
            case Kind::Int32:
                v.type = In::Type::Int;
                v.i = *static_cast<const std::int32_t*>(b.addr);
                break;
            case Kind::Real: {
                double d = *static_cast<const double*>(b.addr);
                if (!std::isfinite(d)) return err::InvalidNumber;
                v.type = In::Type::Real;
                v.d = d;
                break;
            }
        }
        if (conv[k] != dialect::InConv::None && b.kind != Kind::Text) return err::DateFormat;
        ++k;
    }
    return 0;
}

std::int32_t convert(const Bind& b, const Cell& c, Out& o) {
    switch (b.kind) {
        case Kind::Text:
            switch (c.type) {
                case Cell::Type::Null:
                    o.s.clear();
                    break;
                case Cell::Type::Text:
                    o.s.assign(c.s, static_cast<std::size_t>(c.n));
                    break;
                case Cell::Type::Int:
                    o.s = std::to_string(c.i);
                    break;
                case Cell::Type::Real: {
                    char buf[32];
                    std::snprintf(buf, sizeof buf, "%.15g", c.d);
                    o.s = buf;
                    break;
                }
            }
            return 0;
        case Kind::Int16:
        case Kind::Int32: {
            std::int64_t v = 0;
            if (c.type == Cell::Type::Int) {
                v = c.i;
            } else if (c.type == Cell::Type::Real) {
                if (!std::isfinite(c.d) || c.d >= 9.2e18 || c.d <= -9.2e18) return err::ValueTooLarge;
                v = static_cast<std::int64_t>(c.d);
            } else if (c.type == Cell::Type::Text) {
                o.s.assign(c.s, static_cast<std::size_t>(c.n));
                if (std::int32_t rc = parseInt(o.s.c_str(), v)) return rc;
            }
            bool fits =
                b.kind == Kind::Int16
                    ? v >= std::numeric_limits<std::int16_t>::min() && v <= std::numeric_limits<std::int16_t>::max()
                    : v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max();
            if (!fits) return err::ValueTooLarge;
            o.i = v;
            return 0;
        }
        case Kind::Real:
            if (c.type == Cell::Type::Int) {
                o.d = static_cast<double>(c.i);
            } else if (c.type == Cell::Type::Real) {
                o.d = c.d;
            } else if (c.type == Cell::Type::Text) {
                o.s.assign(c.s, static_cast<std::size_t>(c.n));
                char* end = nullptr;
                o.d = std::strtod(o.s.c_str(), &end);
                if (end == o.s.c_str() || *end != '\0') return err::InvalidNumber;
            } else {
                o.d = 0;
            }
            return 0;
    }
    return err::Other;
}

std::vector<Out>& rowBuffer() {
    static std::vector<Out> row;
    return row;
}

void store(const Bind& b, const Out& o) {
    switch (b.kind) {
        case Kind::Text: {
            if (b.len <= 0) return;
            std::size_t n =
                o.s.size() < static_cast<std::size_t>(b.len - 1) ? o.s.size() : static_cast<std::size_t>(b.len - 1);
            char* dst = static_cast<char*>(b.addr);
            if (n) std::memcpy(dst, o.s.data(), n);
            dst[n] = '\0';
            return;
        }
        case Kind::Int16:
        case Kind::Int32:
            *static_cast<std::int32_t*>(b.addr) = static_cast<std::int32_t>(o.i);
            return;
        case Kind::Real:
            *static_cast<double*>(b.addr) = o.d;
            return;
    }
}

}  // namespace rt::val
