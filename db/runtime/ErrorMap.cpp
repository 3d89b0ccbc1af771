#include "db/runtime/ErrorMap.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace rt::err {

std::int32_t raisedNumber(const char* msg) {
    if (!msg) return 0;
    const char* p = std::strstr(msg, "ORA-");
    if (!p || !std::isdigit(static_cast<unsigned char>(p[4]))) return 0;
    long n = std::strtol(p + 4, nullptr, 10);
    return n > 0 && n < 100000 ? -static_cast<std::int32_t>(n) : 0;
}

bool mentions(const char* msg, const char* part) { return msg && std::strstr(msg, part); }

}  // namespace rt::err
