#pragma once
// The two backends behind the statement runtime. Runtime.cpp holds the
// session state, the statement cache and the write convention and calls the
// backend of the open session; the backends only run what they are given.
#include <libpq-fe.h>
#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

#include "db/runtime/Dialect.h"
#include "db/runtime/Runtime.h"
#include "db/runtime/Values.h"

namespace rt::detail {

// One cached statement text and what each backend prepared from it.
struct Statement {
    std::string text;
    dialect::Translated tr;
    std::int32_t translateError = 0;
    sqlite3_stmt* sq = nullptr;  // SQLite: the prepared statement
    int pgId = 0;                // PostgreSQL: the prepared statements are "k<id>" and "k<id>c"
    bool pgPrepared = false;     // "k<id>" (the statement itself)
    bool pgCursorPrepared = false;  // "k<id>c" (a cursor's first rows)
};

// Rows kept on the client: a cursor's first batch, or a batch read back.
inline constexpr int CursorBatch = 256;

struct SqliteCell {
    val::Cell::Type type = val::Cell::Type::Null;
    std::int64_t i = 0;
    double d = 0;
    std::string s;
};

struct CursorBase {
    int columns = 0;
    bool dead = false;  // the session it belonged to has ended
    CursorBase* prev = nullptr;
    CursorBase* next = nullptr;
};

}  // namespace rt::detail

namespace rt {

struct CursorState : detail::CursorBase {
    // SQLite: rows in memory (columns per row); past CursorBatch rows the
    // result lives in a temporary table read back in batches.
    std::vector<detail::SqliteCell> cells;
    std::size_t rows = 0;
    std::size_t pos = 0;
    std::string spillTable;
    sqlite3_stmt* spillRead = nullptr;
    std::int64_t lastRowid = 0;
    // PostgreSQL: the first rows, or a FETCH batch of a held cursor.
    PGresult* batch = nullptr;
    std::string pgName;  // held cursor; empty when the first rows were all
    bool pgDone = false;
};

}  // namespace rt

namespace rt::sqlite {

// create: make the file when it is missing (only the schema set-up does).
std::int32_t connect(const char* path, int busyMs, bool create = false);
// Runs a script of statements (the schema) as one transaction.
std::int32_t script(const char* sql);
bool tableExists(const std::string& name);
void disconnect();
void setBusyTimeout(int ms);
bool inTransaction();
// BEGIN IMMEDIATE: waits (busy timeout) for other writers.
std::int32_t begin();
std::int32_t commit();
std::int32_t rollback();
// savepoint / rollback to / release with a name.
std::int32_t control(const char* verb, const std::string& name);
// Runs a prepared statement: a single-row select (out), or a write.
std::int32_t run(detail::Statement& st, const std::vector<val::In>& in, Binds out);
std::int32_t open(CursorState& c, detail::Statement& st, const std::vector<val::In>& in);
std::int32_t fetch(CursorState& c, Binds out);
void close(CursorState& c);
void release(detail::Statement& st);

}  // namespace rt::sqlite

namespace rt::pg {

std::int32_t connect(const char* login, const char* password, const char* target, int busyMs);
void disconnect();
std::int32_t script(const char* sql);
// name may carry its schema ("hlsystem.Hlx133Kal").
bool tableExists(const std::string& name);
void setBusyTimeout(int ms);
bool inTransaction();
std::int32_t begin();
std::int32_t commit();
std::int32_t rollback();
std::int32_t control(const char* verb, const std::string& name);
// Holds off every other atomic section of the same key until the
// transaction ends.
std::int32_t lock(std::int64_t key);
// guard: inside a transaction, a failing statement is undone alone (an
// error would otherwise spoil the whole transaction).
std::int32_t run(detail::Statement& st, const std::vector<val::In>& in, Binds out, bool guard);
std::int32_t open(CursorState& c, detail::Statement& st, const std::vector<val::In>& in);
std::int32_t fetch(CursorState& c, Binds out);
void close(CursorState& c);

}  // namespace rt::pg
