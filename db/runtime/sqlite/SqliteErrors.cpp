// SQLite result codes as the runtime's result codes.
#include "db/runtime/ErrorMap.h"
#include "db/runtime/sqlite/Sqlite.h"

namespace rt::sqlite {

using namespace rt::err;

std::int32_t fromSqlite(int extended, const char* msg) {
    if (std::int32_t n = raisedNumber(msg)) return n;
    switch (extended) {
    case SQLITE_CONSTRAINT_PRIMARYKEY:
    case SQLITE_CONSTRAINT_UNIQUE: return Duplicate;
    case SQLITE_CONSTRAINT_NOTNULL: return -1400;
    // Every length rule of the schema is a CHECK on length(...).
    case SQLITE_CONSTRAINT_CHECK: return mentions(msg, "length(") ? -12899 : -2290;
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
        if (mentions(msg, "no such table")) return -942;
        if (mentions(msg, "no such column") || mentions(msg, "has no column")) return -904;
        if (mentions(msg, "no such savepoint")) return -1086;
        if (mentions(msg, "syntax error") || mentions(msg, "incomplete input")) return BadStatement;
        return Other;
    default: return Other;
    }
}

}  // namespace rt::sqlite
