#pragma once
// The SQLite backend's own declarations; only the files of this folder
// include it (and with it the client header).
#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

#include "db/runtime/Backend.h"

namespace rt::sqlite {

// extended: sqlite3_extended_errcode; msg: sqlite3_errmsg.
std::int32_t fromSqlite(int extended, const char* msg);

struct Prepared : detail::Prepared {
    sqlite3_stmt* st = nullptr;
    ~Prepared() override { sqlite3_finalize(st); }
};

// A cell copied out of a statement, kept after the statement moved on.
struct StoredCell {
    val::Cell::Type type = val::Cell::Type::Null;
    std::int64_t i = 0;
    double d = 0;
    std::string s;
};

// One connection to a file in WAL mode.
class Connection final : public detail::Backend {
public:
    ~Connection() override;
    std::int32_t connect(const char* path, int busyMs, bool create);

    dialect::Backend dialect() const override { return dialect::Backend::Sqlite; }
    const char* schema() const override;
    std::int32_t script(const char* sql) override;
    bool tableExists(const std::string& name) override;
    void setBusyTimeout(int ms) override;
    bool readOnly() override { return sqlite3_db_readonly(db_, "main") == 1; }
    void checkpoint() override;
    std::int32_t backup(const char* file) override;
    bool inTransaction() override;
    // BEGIN IMMEDIATE: waits (busy timeout) for other writers; that also
    // makes every transaction an exclusive section.
    std::int32_t begin() override;
    std::int32_t beginExclusive(const char*) override { return begin(); }
    // synchronous=FULL or NORMAL: a setting of the connection, which SQLite
    // refuses to change inside a transaction.
    void setDurable(bool on) override;
    std::int32_t commit() override;
    std::int32_t rollback() override;
    std::int32_t savepoint(const std::string& name) override;
    std::int32_t rollbackTo(const std::string& name) override;
    // SQLite undoes a failing statement alone: guard changes nothing.
    std::int32_t run(detail::Statement& st, const std::vector<val::In>& in, Binds out, bool guard) override;
    std::int32_t runAlone(detail::Statement& st, const std::vector<val::In>& in) override;
    // In the process there is nothing to send ahead: the write runs alone.
    void runAhead(detail::Statement& st, const std::vector<val::In>& in) override { runAlone(st, in); }
    std::int32_t runAndCommit(detail::Statement& st, const std::vector<val::In>& in) override;
    std::uint64_t requests() const override { return 0; }
    std::int32_t open(detail::Statement& st, const std::vector<val::In>& in,
                      std::unique_ptr<CursorState>& cursor) override;

    // For the cursors of this connection.
    std::int32_t lastError();
    std::int32_t prepare(const std::string& sql, sqlite3_stmt** st);
    std::int32_t exec(const std::string& sql);
    // Runs a statement without results and resets it.
    std::int32_t step(sqlite3_stmt* st);
    // The statement of st, prepared at its first use, with in bound.
    std::int32_t bound(detail::Statement& st, const std::vector<val::In>& in, sqlite3_stmt*& s);
    std::string nextSpillTable() { return "k_cursor" + std::to_string(++spillCounter_); }

private:
    // Switches the file to WAL mode unless it is in it already.
    std::int32_t walMode(int busyMs);

    sqlite3* db_ = nullptr;
    sqlite3_stmt* begin_ = nullptr;
    sqlite3_stmt* commit_ = nullptr;
    sqlite3_stmt* rollback_ = nullptr;
    int spillCounter_ = 0;
    std::vector<StoredCell> row_;  // a single-row select's row while it looks for a second
};

// A statement's conversion of its result columns (empty: none converted).
using Conversions = std::vector<dialect::OutConv>;

// Copies the columns from..from+columns of st's current row into row number
// row of cells (columns cells per row), converted as conv says.
void copyRow(sqlite3_stmt* st, int from, int columns, std::vector<StoredCell>& cells, std::size_t row,
             const Conversions& conv);
// Column k of st into d, converted as conv says.
void copyCell(sqlite3_stmt* st, int k, dialect::OutConv conv, StoredCell& d);
inline dialect::OutConv conversion(const Conversions& conv, int k) {
    return static_cast<std::size_t>(k) < conv.size() ? conv[static_cast<std::size_t>(k)] : dialect::OutConv::None;
}
// The cells of row number row, delivered to out.
std::int32_t deliverRow(const std::vector<StoredCell>& cells, int columns, std::size_t row, Binds out);

// Rows in memory up to a batch; past that the result lives in a temporary
// table read back in batches, so that no read snapshot outlives the open.
class Cursor final : public CursorState {
public:
    Cursor(Connection& c, const Conversions& conv) : conn_(c), conv_(conv) {}
    std::int32_t open(sqlite3_stmt* sel);
    std::int32_t fetch(Binds out) override;
    void close() override;

private:
    std::int32_t spill(sqlite3_stmt* sel);
    std::int32_t refill();

    Connection& conn_;
    const Conversions& conv_;  // the statement's, which outlives its cursors
    int columns_ = 0;
    std::vector<StoredCell> cells_;
    std::size_t rows_ = 0;
    std::size_t pos_ = 0;
    std::string spillTable_;
    sqlite3_stmt* spillRead_ = nullptr;
    std::int64_t lastRowid_ = 0;
};

}  // namespace rt::sqlite
