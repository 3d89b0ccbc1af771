// PostgreSQL SQLSTATEs and connect messages as the runtime's result codes.
#include <cstring>

#include "db/runtime/ResultCodes.h"
#include "db/runtime/postgres/Postgres.h"

namespace rt::pg {

using namespace rt::err;

std::int32_t fromPostgres(const char* sqlstate, const char* msg) {
    if (std::int32_t n = raisedNumber(msg)) return n;
    if (!sqlstate || std::strlen(sqlstate) != 5) return NotConnected;
    struct Map {
        const char* state;
        std::int32_t code;
    };
    static constexpr Map map[] = {
        {"23505", Duplicate},      {"55P03", Busy},          {"40P01", Deadlock},       {"42601", BadStatement},
        {"42703", NoSuchColumn},   {"42P01", NoSuchTable},   {"3F000", NoSuchTable},    {"57014", Cancelled},
        {"28P01", LoginRefused},   {"28000", LoginRefused},  {"42501", NoPrivilege},    {"3B001", NoSavepoint},
        {"58030", IoError},        {"23502", NotNull},       {"22003", NumberTooLarge}, {"XX001", Corrupt},
        {"53100", Full},           {"22P02", InvalidNumber}, {"22008", DateRange},      {"22007", DateFormat},
        {"23514", CheckViolated},  {"23503", ForeignKey},    {"53200", OutOfMemory},    {"40001", Serialization},
        {"3D000", NoSuchDatabase}, {"22001", TooLong},       {"25006", ReadOnly},       {"P0001", Trigger},
        {"22P05", Untranslatable},
    };
    for (const Map& m : map)
        if (std::strcmp(m.state, sqlstate) == 0) return m.code;
    // Class 08: connection exception; 57P01..57P03: the server shuts down.
    if (std::strncmp(sqlstate, "08", 2) == 0 || std::strncmp(sqlstate, "57P", 3) == 0) return NotConnected;
    return Other;
}

std::int32_t fromPostgresConnect(const char* msg) {
    if (mentions(msg, "password authentication failed") || mentions(msg, "no password supplied") ||
        (mentions(msg, "role") && mentions(msg, "does not exist")) || mentions(msg, "no pg_hba.conf entry") ||
        mentions(msg, "authentication failed"))
        return LoginRefused;
    if (mentions(msg, "database") && mentions(msg, "does not exist")) return NoSuchDatabase;
    if (mentions(msg, "Connection refused") || mentions(msg, "No such file or directory") ||
        mentions(msg, "timeout expired") || mentions(msg, "server closed the connection") ||
        mentions(msg, "the database system is"))
        return NoListener;
    // Unknown service, malformed URI or option, unknown host.
    return UnknownService;
}

}  // namespace rt::pg
