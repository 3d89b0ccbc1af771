// Keeping an SQLite file whole for the operator: the WAL moved into the file
// at the end of a run, and a copy that may be taken while runs go on.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "db/runtime/ResultCodes.h"
#include "db/runtime/sqlite/Sqlite.h"

namespace rt::sqlite {

// Passive: copies what no reader still needs and never waits, so that a run
// ending beside others does not stall; the last connection to close the
// file moves the rest and removes the WAL.
void Connection::checkpoint() { sqlite3_wal_checkpoint_v2(db_, "main", SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr); }

// The copy is made in one read transaction, which in WAL mode holds off no
// writer; a file of that name is never overwritten.
std::int32_t Connection::backup(const char* file) {
    const int fd = ::open(file, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return errno == EEXIST ? err::Duplicate : err::SqliteFileMissing;
    ::close(fd);
    sqlite3* ziel = nullptr;
    int rc = sqlite3_open_v2(file, &ziel, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_backup* b = sqlite3_backup_init(ziel, "main", db_, "main");
        if (!b) rc = sqlite3_extended_errcode(ziel);
        while (b && ((rc = sqlite3_backup_step(b, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED))
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (b && sqlite3_backup_finish(b) != SQLITE_OK && rc == SQLITE_DONE) rc = sqlite3_extended_errcode(ziel);
        // The copy stands alone: no WAL beside it for a cp to miss.
        if (rc == SQLITE_DONE) rc = sqlite3_exec(ziel, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    }
    const std::int32_t code = rc == SQLITE_OK ? 0 : fromSqlite(rc, ziel ? sqlite3_errmsg(ziel) : nullptr);
    sqlite3_close_v2(ziel);
    if (code != 0) ::unlink(file);
    return code;
}

}  // namespace rt::sqlite
