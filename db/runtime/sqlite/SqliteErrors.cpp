// SQLite result codes as the runtime's result codes.
#include "db/runtime/ResultCodes.h"
#include "db/runtime/sqlite/Sqlite.h"

namespace rt::sqlite {

using namespace rt::err;

std::int32_t fromSqlite(int extended, const char* msg) {
    if (std::int32_t n = raisedNumber(msg)) return n;
    switch (extended) {
        case SQLITE_CONSTRAINT_PRIMARYKEY:
        case SQLITE_CONSTRAINT_UNIQUE:
            return Duplicate;
        case SQLITE_CONSTRAINT_NOTNULL:
            return NotNull;
        // Every length rule of the schema is a CHECK on length(...).
        case SQLITE_CONSTRAINT_CHECK:
            return mentions(msg, "length(") ? TooLong : CheckViolated;
        case SQLITE_CONSTRAINT_FOREIGNKEY:
            return ForeignKey;
        case SQLITE_CONSTRAINT_DATATYPE:
            return InvalidNumber;
        case SQLITE_CONSTRAINT_TRIGGER:
            return Trigger;
        default:
            break;
    }
    switch (extended & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return Busy;
        case SQLITE_INTERRUPT:
            return Cancelled;
        case SQLITE_AUTH:
        case SQLITE_PERM:
            return NoPrivilege;
        case SQLITE_IOERR:
            return IoError;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return Corrupt;
        case SQLITE_FULL:
            return Full;
        case SQLITE_NOMEM:
            return OutOfMemory;
        case SQLITE_READONLY:
            return ReadOnly;
        case SQLITE_CANTOPEN:
            return SqliteFileMissing;
        case SQLITE_MISUSE:
            return NotConnected;
        case SQLITE_CONSTRAINT:
            return CheckViolated;
        case SQLITE_ERROR:
            if (mentions(msg, "no such table")) return NoSuchTable;
            if (mentions(msg, "no such column") || mentions(msg, "has no column")) return NoSuchColumn;
            if (mentions(msg, "no such savepoint")) return NoSavepoint;
            if (mentions(msg, "syntax error") || mentions(msg, "incomplete input")) return BadStatement;
            return Other;
        default:
            return Other;
    }
}

}  // namespace rt::sqlite
