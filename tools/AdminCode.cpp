// korvimand-admin code: what a result code in the message log or in the
// output of a command means.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "db/runtime/ResultCodes.h"
#include "tools/Admin.h"

int adminCode(int argc, char** argv) {
    if (argc == 0) {
        for (const rt::err::Code& c : rt::err::codes()) std::printf("%s\n", rt::err::explain(c.code).c_str());
        return 0;
    }
    char* end = nullptr;
    errno = 0;
    long code = argc == 1 ? std::strtol(argv[0], &end, 10) : 0;
    if (argc != 1 || end == argv[0] || *end != '\0' || errno != 0 || code < INT32_MIN || code > INT32_MAX) {
        std::fprintf(stderr, "korvimand-admin: %s\n", adminAufruf("code").c_str());
        return 2;
    }
    const auto rc = static_cast<std::int32_t>(code);
    std::printf("%s\n", rt::err::explain(rc).c_str());
    return rt::err::find(rc) ? 0 : 1;
}
