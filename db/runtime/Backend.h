#pragma once
// The interface every backend implements. Runtime.cpp holds the session, the
// statement cache, the transaction rules and the write convention, and talks
// to the open session's backend only through this interface; a backend runs
// what it is given. Only a backend's own files (db/runtime/sqlite/,
// db/runtime/postgres/) include its client library's header.
//
// What a failure leaves behind, for every call that returns a result code:
//  - a connect that fails leaves no backend and no connection;
//  - a statement that fails inside a transaction leaves the transaction as it
//    stood before the statement when the caller asks for that (run's guard);
//    otherwise the caller undoes it through a savepoint of its own (the
//    write convention);
//  - begin and beginExclusive that fail leave no transaction open;
//  - a commit that fails on PostgreSQL ends the transaction, its writes
//    gone; on SQLite (busy) the transaction may stay open with its writes
//    pending until rollback (runAlone rolls back itself);
//  - a cursor that fails to open leaves nothing in the database (no temporary
//    table, no server cursor); one that fails to fetch stays open to close;
//  - a lost connection gives -3114 from then on, never 0.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "db/runtime/Dialect.h"
#include "db/runtime/ResultCodes.h"
#include "db/runtime/Runtime.h"
#include "db/runtime/Values.h"

namespace rt {

// A backend's open cursor: the rows of its select as they stood at open.
// The runtime links it into the session's list, so that ending the session
// ends every cursor (dead) while their rt::Cursor still owns them.
struct CursorState {
    virtual ~CursorState() = default;  // frees client memory only
    // 0 and the next row in out, 1403 after the last row, negative on error.
    virtual std::int32_t fetch(Binds out) = 0;
    // Gives back what the cursor holds in the database (a temporary table, a
    // server cursor). Called once, while the session is open.
    virtual void close() = 0;

    bool dead = false;  // the session it belonged to has ended
    CursorState* prev = nullptr;
    CursorState* next = nullptr;
};

}  // namespace rt

namespace rt::detail {

// What a backend prepared from one text, made at the text's first use. The
// statement cache drops it before the backend closes its connection.
struct Prepared {
    virtual ~Prepared() = default;
};

// One cached statement text, its translation and its preparation.
struct Statement {
    std::string text;
    dialect::Translated tr;
    std::int32_t translateError = 0;
    std::unique_ptr<Prepared> prepared;
};

// Rows a cursor keeps on the client: its first batch, or a batch read back.
inline constexpr int CursorBatch = 256;

class Backend {
public:
    Backend() = default;
    Backend(const Backend&) = delete;
    Backend& operator=(const Backend&) = delete;
    // Closes the connection (an open transaction is rolled back).
    virtual ~Backend() = default;

    // The dialect its statement texts are translated into.
    virtual dialect::Backend dialect() const = 0;
    // The script that creates the program's tables in this database.
    virtual const char* schema() const = 0;
    // Runs a script of statements as one transaction: all of it or nothing;
    // its commit waits for the disk.
    virtual std::int32_t script(const char* sql) = 0;
    // name may carry the system schema ("HlSystem.Hlx133Kal").
    virtual bool tableExists(const std::string& name) = 0;
    // How long a statement waits for another session's lock before -54.
    virtual void setBusyTimeout(int ms) = 0;
    // The session may read but not write (a read-only server or standby).
    virtual bool readOnly() = 0;
    // Moves what committed writes left beside the database (SQLite's WAL)
    // into it, without waiting for other sessions.
    virtual void checkpoint() {}
    // A consistent copy of the whole database in file, taken while others
    // go on writing; only a database in a file can.
    virtual std::int32_t backup(const char*) { return err::BadStatement; }

    virtual bool inTransaction() = 0;
    // Begins a transaction that waits (busy timeout) for other writers.
    virtual std::int32_t begin() = 0;
    // Begins a transaction that holds off every other exclusive section of
    // the same name (and on SQLite every writer) until it ends. A backend
    // may ask for the lock together with the section's first statement:
    // then that statement, and every later one of the section, answers with
    // the lock's refusal.
    virtual std::int32_t beginExclusive(const char* name) = 0;
    // Whether the transactions begun from now on (a write run alone
    // included) wait at their commit until it is on the disk; outside a
    // transaction only. A connection begins with commits that do not wait.
    virtual void setDurable(bool on) = 0;
    // Outside a transaction both give 0 and do nothing (unless the
    // connection is lost).
    virtual std::int32_t commit() = 0;
    virtual std::int32_t rollback() = 0;
    // Inside a transaction only. A failing rollbackTo leaves the transaction
    // as it was.
    virtual std::int32_t savepoint(const std::string& name) = 0;
    virtual std::int32_t rollbackTo(const std::string& name) = 0;

    // Runs a single-row select (out is filled only on 0; 1403 no row, -1422
    // two rows) or a write (1403: an update or delete that matched nothing).
    // guard: inside a transaction, a failing statement is undone alone and
    // the transaction goes on; without it the caller undoes the statement
    // through a savepoint of its own. Outside a transaction a select runs on
    // its own.
    virtual std::int32_t run(Statement& st, const std::vector<val::In>& in, Binds out, bool guard) = 0;
    // Runs a write while no transaction is open, as a transaction of its own:
    // committed on 0; on any other result nothing of it stays (a failing
    // commit gives the commit's code) and no transaction is open.
    virtual std::int32_t runAlone(Statement& st, const std::vector<val::In>& in) = 0;
    // A write whose result nothing looks at, while no transaction is open,
    // as a transaction of its own; a backend may send it ahead of the next
    // request and read its answer with that request's.
    virtual void runAhead(Statement& st, const std::vector<val::In>& in) = 0;
    // A write inside an exclusive section, under the savepoint the caller
    // set: commits the transaction on 0. A backend may send the commit with
    // the statement; it then commits after 1403 too (nothing was written),
    // and after a failure no transaction is left open.
    virtual std::int32_t runAndCommit(Statement& st, const std::vector<val::In>& in) = 0;
    // Requests the client has waited for the database to answer since the
    // connect (none for a database in the process).
    virtual std::uint64_t requests() const = 0;
    // Opens a cursor over a select without into list. On failure cursor
    // stays empty.
    virtual std::int32_t open(Statement& st, const std::vector<val::In>& in, std::unique_ptr<CursorState>& cursor) = 0;
};

// Connects to the database net8 names: "sqlite:PATH" is an SQLite file
// (created only with create), anything else a PostgreSQL URI or service name
// with login and password. On failure backend stays empty.
std::int32_t connectBackend(const char* login, const char* password, const char* net8, int busyMs, bool create,
                            std::unique_ptr<Backend>& backend);

}  // namespace rt::detail
