#include "db/runtime/ErrorMap.h"

#include <sqlite3.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace rt::err {
namespace {

// "... ORA-01234 ..." anywhere in a message: the number a trigger raised.
std::int32_t oraNumber(const char* msg) {
    if (!msg) return 0;
    const char* p = std::strstr(msg, "ORA-");
    if (!p || !std::isdigit(static_cast<unsigned char>(p[4]))) return 0;
    long n = std::strtol(p + 4, nullptr, 10);
    return n > 0 && n < 100000 ? -static_cast<std::int32_t>(n) : 0;
}

bool has(const char* msg, const char* part) { return msg && std::strstr(msg, part); }

}  // namespace

std::int32_t fromSqlite(int extended, const char* msg) {
    if (std::int32_t n = oraNumber(msg)) return n;
    switch (extended) {
    case SQLITE_CONSTRAINT_PRIMARYKEY:
    case SQLITE_CONSTRAINT_UNIQUE: return Duplicate;
    case SQLITE_CONSTRAINT_NOTNULL: return -1400;
    // Every length rule of the schema is a CHECK on length(...).
    case SQLITE_CONSTRAINT_CHECK: return has(msg, "length(") ? -12899 : -2290;
    case SQLITE_CONSTRAINT_FOREIGNKEY: return -2291;
    case SQLITE_CONSTRAINT_DATATYPE: return InvalidNumber;
    case SQLITE_CONSTRAINT_TRIGGER: return -20000;
    default: break;
    }
    switch (extended & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return Busy;
    case SQLITE_INTERRUPT: return -1013;
    case SQLITE_AUTH:
    case SQLITE_PERM: return -1031;
    case SQLITE_IOERR: return -1114;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return -1578;
    case SQLITE_FULL: return -1653;
    case SQLITE_NOMEM: return OutOfMemory;
    case SQLITE_READONLY: return -16000;
    case SQLITE_CANTOPEN: return SqliteFileMissing;
    case SQLITE_MISUSE: return NotConnected;
    case SQLITE_CONSTRAINT: return -2290;
    case SQLITE_ERROR:
        if (has(msg, "no such table")) return -942;
        if (has(msg, "no such column") || has(msg, "has no column")) return -904;
        if (has(msg, "no such savepoint")) return -1086;
        if (has(msg, "syntax error") || has(msg, "incomplete input")) return BadStatement;
        return Other;
    default: return Other;
    }
}

std::int32_t fromPostgres(const char* sqlstate, const char* msg) {
    if (std::int32_t n = oraNumber(msg)) return n;
    if (!sqlstate || std::strlen(sqlstate) != 5) return NotConnected;
    struct Map {
        const char* state;
        std::int32_t code;
    };
    static constexpr Map map[] = {
        {"23505", Duplicate}, {"55P03", Busy},          {"40P01", -60},         {"42601", BadStatement},
        {"42703", -904},      {"42P01", -942},          {"3F000", -942},        {"57014", -1013},
        {"28P01", LoginRefused}, {"28000", LoginRefused}, {"42501", -1031},   {"3B001", -1086},
        {"58030", -1114},     {"23502", -1400},         {"22003", -1438},       {"XX001", -1578},
        {"53100", -1653},     {"22P02", InvalidNumber}, {"22008", DateRange},   {"22007", DateFormat},
        {"23514", -2290},     {"23503", -2291},         {"53200", OutOfMemory}, {"40001", -8177},
        {"3D000", NoSuchDatabase}, {"22001", -12899},   {"25006", -16000},      {"P0001", -20000},
        {"22P05", Untranslatable},
    };
    for (const Map& m : map)
        if (std::strcmp(m.state, sqlstate) == 0) return m.code;
    // Class 08: connection exception; 57P01..57P03: the server shuts down.
    if (std::strncmp(sqlstate, "08", 2) == 0 || std::strncmp(sqlstate, "57P", 3) == 0) return NotConnected;
    return Other;
}

std::int32_t fromPostgresConnect(const char* msg) {
    if (has(msg, "password authentication failed") || has(msg, "no password supplied") ||
        (has(msg, "role") && has(msg, "does not exist")) || has(msg, "no pg_hba.conf entry") ||
        has(msg, "authentication failed"))
        return LoginRefused;
    if (has(msg, "database") && has(msg, "does not exist")) return NoSuchDatabase;
    if (has(msg, "Connection refused") || has(msg, "No such file or directory") || has(msg, "timeout expired") ||
        has(msg, "server closed the connection") || has(msg, "the database system is"))
        return NoListener;
    // Unknown service, malformed URI or option, unknown host.
    return UnknownService;
}

}  // namespace rt::err
