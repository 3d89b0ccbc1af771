#include "db/runtime/ResultCodes.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace rt::err {
namespace {

#define RT_RESULT_CODE_ENTRY(name, code, text) {code, #name, text},
constexpr Code table[] = {RT_RESULT_CODES(RT_RESULT_CODE_ENTRY)};
#undef RT_RESULT_CODE_ENTRY

}  // namespace

std::span<const Code> codes() { return table; }

const Code* find(std::int32_t code) {
    for (const Code& c : table)
        if (c.code == code) return &c;
    return nullptr;
}

std::string explain(std::int32_t code) {
    std::string s = std::to_string(code);
    if (const Code* c = find(code)) return s + " " + c->name + ": " + c->text;
    return s + ": not a code of the runtime; a trigger or another program may raise it";
}

std::int32_t raisedNumber(const char* msg) {
    if (!msg) return 0;
    const char* p = std::strstr(msg, "ORA-");
    if (!p || !std::isdigit(static_cast<unsigned char>(p[4]))) return 0;
    long n = std::strtol(p + 4, nullptr, 10);
    return n > 0 && n < 100000 ? -static_cast<std::int32_t>(n) : 0;
}

bool mentions(const char* msg, const char* part) { return msg && std::strstr(msg, part); }

}  // namespace rt::err
