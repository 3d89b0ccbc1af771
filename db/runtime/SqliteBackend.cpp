// The SQLite backend: one connection to a file in WAL mode.
#include <chrono>
#include <string>
#include <thread>

#include "db/runtime/Backend.h"
#include "db/runtime/ErrorMap.h"

namespace rt::sqlite {
namespace {

sqlite3* db = nullptr;
sqlite3_stmt* beginSt = nullptr;
sqlite3_stmt* commitSt = nullptr;
sqlite3_stmt* rollbackSt = nullptr;
int spillCounter = 0;

std::int32_t lastError() { return err::fromSqlite(sqlite3_extended_errcode(db), sqlite3_errmsg(db)); }

std::int32_t prepare(const std::string& sql, sqlite3_stmt** st) {
    if (sqlite3_prepare_v3(db, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, st, nullptr) !=
        SQLITE_OK) {
        std::int32_t rc = lastError();
        sqlite3_finalize(*st);
        *st = nullptr;
        return rc;
    }
    return 0;
}

// Runs a statement without results and resets it.
std::int32_t step(sqlite3_stmt* st) {
    int rc = sqlite3_step(st);
    std::int32_t code = rc == SQLITE_DONE || rc == SQLITE_ROW ? 0 : lastError();
    sqlite3_reset(st);
    return code;
}

std::int32_t exec(const std::string& sql) {
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) return lastError();
    return 0;
}

std::int32_t bind(sqlite3_stmt* st, const std::vector<val::In>& in) {
    int n = 1;
    for (const val::In& v : in) {
        int rc = SQLITE_OK;
        switch (v.type) {
        case val::In::Type::Null: rc = sqlite3_bind_null(st, n); break;
        case val::In::Type::Int: rc = sqlite3_bind_int64(st, n, v.i); break;
        case val::In::Type::Real: rc = sqlite3_bind_double(st, n, v.d); break;
        case val::In::Type::Text: rc = sqlite3_bind_text(st, n, v.s, v.n, SQLITE_STATIC); break;
        }
        if (rc != SQLITE_OK) return lastError();
        ++n;
    }
    return 0;
}

val::Cell cell(sqlite3_stmt* st, int k) {
    val::Cell c;
    switch (sqlite3_column_type(st, k)) {
    case SQLITE_INTEGER:
        c.type = val::Cell::Type::Int;
        c.i = sqlite3_column_int64(st, k);
        break;
    case SQLITE_FLOAT:
        c.type = val::Cell::Type::Real;
        c.d = sqlite3_column_double(st, k);
        break;
    case SQLITE_NULL: break;
    default:
        c.type = val::Cell::Type::Text;
        c.s = reinterpret_cast<const char*>(sqlite3_column_text(st, k));
        c.n = sqlite3_column_bytes(st, k);
        break;
    }
    return c;
}

val::Cell cell(const detail::SqliteCell& s) {
    val::Cell c;
    c.type = s.type;
    c.i = s.i;
    c.d = s.d;
    c.s = s.s.data();
    c.n = static_cast<int>(s.s.size());
    return c;
}

// Converts a row for the caller; stores it only when every column converts.
template <typename CellAt>
std::int32_t deliver(int columns, Binds out, CellAt at) {
    static thread_local std::vector<val::Out> tmp;
    if (static_cast<int>(out.size()) != columns) return err::OutputCount;
    tmp.resize(out.size());
    int k = 0;
    for (const Bind& b : out) {
        if (std::int32_t rc = val::convert(b, at(k), tmp[k])) return rc;
        ++k;
    }
    k = 0;
    for (const Bind& b : out) val::store(b, tmp[k++]);
    return 0;
}

void copyRow(sqlite3_stmt* st, int columns, std::vector<detail::SqliteCell>& cells, std::size_t row) {
    if (cells.size() < (row + 1) * columns) cells.resize((row + 1) * columns);
    for (int k = 0; k < columns; ++k) {
        detail::SqliteCell& c = cells[row * columns + k];
        val::Cell v = cell(st, k);
        c.type = v.type;
        c.i = v.i;
        c.d = v.d;
        if (v.type == val::Cell::Type::Text)
            c.s.assign(v.s, static_cast<std::size_t>(v.n));
        else
            c.s.clear();
    }
}

// Moves the rows of an open select past the first batch into a temporary
// table; the select's read snapshot ends with this call.
std::int32_t spill(CursorState& c, sqlite3_stmt* sel) {
    c.spillTable = "k_cursor" + std::to_string(++spillCounter);
    std::string create = "CREATE TEMP TABLE " + c.spillTable + "(";
    std::string insert = "INSERT INTO temp." + c.spillTable + " VALUES(";
    for (int k = 0; k < c.columns; ++k) {
        create += (k ? ",c" : "c") + std::to_string(k);
        insert += k ? ",?" : "?";
    }
    create += ")";
    insert += ")";
    if (std::int32_t rc = exec(create)) return rc;
    sqlite3_stmt* ins = nullptr;
    if (std::int32_t rc = prepare(insert, &ins)) return rc;
    std::int32_t rc = exec("SAVEPOINT k_spill");
    auto put = [&](auto valueAt) {
        for (int k = 0; k < c.columns; ++k) valueAt(k);
        return step(ins);
    };
    for (std::size_t r = 0; rc == 0 && r < c.rows; ++r)
        rc = put([&](int k) {
            const detail::SqliteCell& s = c.cells[r * c.columns + k];
            switch (s.type) {
            case val::Cell::Type::Null: sqlite3_bind_null(ins, k + 1); break;
            case val::Cell::Type::Int: sqlite3_bind_int64(ins, k + 1, s.i); break;
            case val::Cell::Type::Real: sqlite3_bind_double(ins, k + 1, s.d); break;
            case val::Cell::Type::Text:
                sqlite3_bind_text(ins, k + 1, s.s.data(), static_cast<int>(s.s.size()), SQLITE_STATIC);
                break;
            }
        });
    // sel stands on the first row past the batch.
    while (rc == 0) {
        rc = put([&](int k) { sqlite3_bind_value(ins, k + 1, sqlite3_column_value(sel, k)); });
        if (rc != 0) break;
        int s = sqlite3_step(sel);
        if (s == SQLITE_DONE) break;
        if (s != SQLITE_ROW) rc = lastError();
    }
    sqlite3_finalize(ins);
    sqlite3_reset(sel);
    if (rc == 0) {
        rc = exec("RELEASE k_spill");
    } else {
        exec("ROLLBACK TO k_spill");
        exec("RELEASE k_spill");
    }
    if (rc == 0)
        rc = prepare("SELECT rowid,* FROM temp." + c.spillTable + " WHERE rowid>?1 ORDER BY rowid LIMIT " +
                         std::to_string(detail::CursorBatch),
                     &c.spillRead);
    c.rows = 0;
    c.pos = 0;
    c.lastRowid = 0;
    return rc;
}

// Reads the next batch of a spilled cursor into memory.
std::int32_t refill(CursorState& c) {
    sqlite3_bind_int64(c.spillRead, 1, c.lastRowid);
    c.rows = 0;
    c.pos = 0;
    int s;
    while ((s = sqlite3_step(c.spillRead)) == SQLITE_ROW) {
        c.lastRowid = sqlite3_column_int64(c.spillRead, 0);
        if (c.cells.size() < (c.rows + 1) * c.columns) c.cells.resize((c.rows + 1) * c.columns);
        for (int k = 0; k < c.columns; ++k) {
            detail::SqliteCell& d = c.cells[c.rows * c.columns + k];
            val::Cell v = cell(c.spillRead, k + 1);
            d.type = v.type;
            d.i = v.i;
            d.d = v.d;
            if (v.type == val::Cell::Type::Text)
                d.s.assign(v.s, static_cast<std::size_t>(v.n));
            else
                d.s.clear();
        }
        ++c.rows;
    }
    std::int32_t rc = s == SQLITE_DONE ? 0 : lastError();
    sqlite3_reset(c.spillRead);
    return rc;
}

// Two processes that open a file not yet in WAL mode both try to switch it;
// SQLite does not call the busy handler for the switch, so the connect
// waits here as a statement waits, up to the busy timeout. A file already
// in WAL mode is left alone.
std::int32_t walMode(int busyMs) {
    const auto bis = std::chrono::steady_clock::now() + std::chrono::milliseconds(busyMs);
    for (;;) {
        sqlite3_stmt* st = nullptr;
        std::int32_t rc = prepare("PRAGMA journal_mode", &st);
        bool wal = rc == 0 && sqlite3_step(st) == SQLITE_ROW &&
                   sqlite3_stricmp(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)), "wal") == 0;
        sqlite3_finalize(st);
        if (rc == 0 && !wal) rc = exec("PRAGMA journal_mode=WAL");
        if (rc != err::Busy || std::chrono::steady_clock::now() >= bis) return rc;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace

std::int32_t connect(const char* path, int busyMs, bool create) {
    disconnect();
    // Memory statistics cost a global mutex on every allocation; nothing reads
    // them. Only possible before the library's first use, refused (harmlessly)
    // after it.
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    // A run never creates the file: a wrong path must not leave an empty database.
    int rc = sqlite3_open_v2(path, &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0),
                             nullptr);
    if (rc != SQLITE_OK) {
        std::int32_t code = db ? err::fromSqlite(sqlite3_extended_errcode(db), sqlite3_errmsg(db))
                               : err::OutOfMemory;
        sqlite3_close(db);
        db = nullptr;
        return code == err::Other ? err::SqliteFileMissing : code;
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, busyMs);
    // WAL: readers never wait for the writer; synchronous=FULL makes every
    // commit durable; the size limit gives the WAL file back after a checkpoint.
    std::int32_t code = walMode(busyMs);
    if (code == 0) code = exec("PRAGMA synchronous=FULL; PRAGMA journal_size_limit=16777216");
    if (code == 0) code = prepare("BEGIN IMMEDIATE", &beginSt);
    if (code == 0) code = prepare("COMMIT", &commitSt);
    if (code == 0) code = prepare("ROLLBACK", &rollbackSt);
    if (code != 0) disconnect();
    return code;
}

void disconnect() {
    if (!db) return;
    sqlite3_finalize(beginSt);
    sqlite3_finalize(commitSt);
    sqlite3_finalize(rollbackSt);
    beginSt = commitSt = rollbackSt = nullptr;
    sqlite3_close_v2(db);
    db = nullptr;
}

void setBusyTimeout(int ms) {
    if (db) sqlite3_busy_timeout(db, ms);
}

std::int32_t script(const char* sql) {
    if (!db) return err::NotConnected;
    if (std::int32_t rc = begin()) return rc;
    if (std::int32_t rc = exec(sql)) {
        rollback();
        return rc;
    }
    return commit();
}

bool tableExists(const std::string& name) {
    sqlite3_stmt* st = nullptr;
    if (!db || sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_master WHERE type='table' AND name=?1 COLLATE NOCASE", -1,
                                  &st, nullptr) != SQLITE_OK)
        return false;
    sqlite3_bind_text(st, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    bool found = sqlite3_step(st) == SQLITE_ROW;
    sqlite3_finalize(st);
    return found;
}

bool inTransaction() { return db && !sqlite3_get_autocommit(db); }

std::int32_t begin() { return step(beginSt); }
std::int32_t commit() { return inTransaction() ? step(commitSt) : 0; }
std::int32_t rollback() { return inTransaction() ? step(rollbackSt) : 0; }

std::int32_t control(const char* verb, const std::string& name) { return exec(std::string(verb) + " " + name); }

void release(detail::Statement& st) {
    sqlite3_finalize(st.sq);
    st.sq = nullptr;
}

std::int32_t run(detail::Statement& st, const std::vector<val::In>& in, Binds out) {
    if (!st.sq)
        if (std::int32_t rc = prepare(st.tr.sql, &st.sq)) return rc;
    sqlite3_stmt* s = st.sq;
    if (std::int32_t rc = bind(s, in)) return rc;
    int r = sqlite3_step(s);
    std::int32_t rc = 0;
    if (st.tr.verb == dialect::Verb::Select) {
        if (r == SQLITE_DONE) {
            rc = 1403;
        } else if (r != SQLITE_ROW) {
            rc = lastError();
        } else {
            static thread_local std::vector<detail::SqliteCell> row;
            int columns = sqlite3_column_count(s);
            copyRow(s, columns, row, 0);
            r = sqlite3_step(s);
            if (r == SQLITE_ROW)
                rc = err::TooManyRows;
            else if (r != SQLITE_DONE)
                rc = lastError();
            else
                rc = deliver(columns, out, [&](int k) { return cell(row[k]); });
        }
    } else if (r != SQLITE_DONE && r != SQLITE_ROW) {
        rc = lastError();
    } else if ((st.tr.verb == dialect::Verb::Update || st.tr.verb == dialect::Verb::Delete) &&
               sqlite3_changes(db) == 0) {
        rc = 1403;
    }
    sqlite3_reset(s);
    return rc;
}

std::int32_t open(CursorState& c, detail::Statement& st, const std::vector<val::In>& in) {
    if (!st.sq)
        if (std::int32_t rc = prepare(st.tr.sql, &st.sq)) return rc;
    sqlite3_stmt* s = st.sq;
    if (std::int32_t rc = bind(s, in)) return rc;
    c.columns = sqlite3_column_count(s);
    c.rows = 0;
    c.pos = 0;
    int r;
    while ((r = sqlite3_step(s)) == SQLITE_ROW) {
        if (c.rows == static_cast<std::size_t>(detail::CursorBatch)) return spill(c, s);
        copyRow(s, c.columns, c.cells, c.rows++);
    }
    std::int32_t rc = r == SQLITE_DONE ? 0 : lastError();
    sqlite3_reset(s);
    return rc;
}

std::int32_t fetch(CursorState& c, Binds out) {
    if (c.pos == c.rows && c.spillRead) {
        if (std::int32_t rc = refill(c)) return rc;
    }
    if (c.pos == c.rows) return 1403;
    std::size_t base = c.pos * c.columns;
    ++c.pos;
    return deliver(c.columns, out, [&](int k) { return cell(c.cells[base + k]); });
}

void close(CursorState& c) {
    sqlite3_finalize(c.spillRead);
    c.spillRead = nullptr;
    if (!c.spillTable.empty() && db) exec("DROP TABLE temp." + c.spillTable);
    c.spillTable.clear();
    c.cells.clear();
    c.rows = c.pos = 0;
}

}  // namespace rt::sqlite
