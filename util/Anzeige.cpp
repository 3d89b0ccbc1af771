#include "util/Anzeige.h"

#include <iconv.h>

#include <array>
#include <cstring>

#include "util/MsgLog.h"

namespace {

// The UTF-8 of each byte 0x80-0xFF in Windows-1252 (length 0 where the
// code page leaves the byte undefined), made before main runs, so that
// showing a text needs no memory later.
struct Utf8 {
    char bytes[kAnzeigeByteMax];
    std::size_t n;
};

std::array<Utf8, 128> tabelleMachen() {
    std::array<Utf8, 128> t{};
    iconv_t cd = ::iconv_open("UTF-8", "WINDOWS-1252");
    if (cd == reinterpret_cast<iconv_t>(-1)) return t;
    for (int b = 0x80; b <= 0xFF; ++b) {
        char in = static_cast<char>(b);
        Utf8& u = t[static_cast<std::size_t>(b - 0x80)];
        char* inP = &in;
        char* outP = u.bytes;
        std::size_t inN = 1, outN = sizeof u.bytes;
        if (::iconv(cd, &inP, &inN, &outP, &outN) != static_cast<std::size_t>(-1))
            u.n = static_cast<std::size_t>(outP - u.bytes);
        ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    ::iconv_close(cd);
    return t;
}

const std::array<Utf8, 128> cp1252 = tabelleMachen();

}  // namespace

std::size_t Anzeige_Byte(unsigned char b, bool roh, char* out) noexcept {
    static const char* hex = "0123456789ABCDEF";
    const char* ersatz = b == '\r' ? "\\r" : b == '\n' ? "\\n" : b == '\\' ? "\\\\" : nullptr;
    if (ersatz) {
        std::memcpy(out, ersatz, 2);
        return 2;
    }
    if (b >= 0x20 && b < 0x7F) {
        out[0] = static_cast<char>(b);
        return 1;
    }
    if (b >= 0x80 && cp1252[b - 0x80].n && !(roh && static_cast<char>(b) == kMsgStart)) {
        std::memcpy(out, cp1252[b - 0x80].bytes, cp1252[b - 0x80].n);
        return cp1252[b - 0x80].n;
    }
    out[0] = '\\';
    out[1] = 'x';
    out[2] = hex[b >> 4];
    out[3] = hex[b & 15];
    return 4;
}

std::string Anzeige_Text(std::string_view v, bool roh) {
    std::string out;
    out.reserve(v.size());
    char b[kAnzeigeByteMax];
    for (char ch : v) out.append(b, Anzeige_Byte(static_cast<unsigned char>(ch), roh, b));
    return out;
}

std::size_t Anzeige_Zeichen(std::string_view utf8) {
    std::size_t n = 0;
    for (char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}
