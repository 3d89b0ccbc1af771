// The SQLite connection: one file in WAL mode, statements prepared once.
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <utility>

#include "db/runtime/ResultCodes.h"
#include "db/runtime/sqlite/Sqlite.h"
#include "db/runtime/sqlite/SqliteConnect.h"
#include "db/schema/SchemaText.h"

namespace rt::sqlite {
namespace {

std::int32_t bind(sqlite3_stmt* st, const std::vector<val::In>& in, Connection& c) {
    int n = 1;
    for (const val::In& v : in) {
        int rc = SQLITE_OK;
        switch (v.type) {
            case val::In::Type::Null:
                rc = sqlite3_bind_null(st, n);
                break;
            case val::In::Type::Int:
                rc = sqlite3_bind_int64(st, n, v.i);
                break;
            case val::In::Type::Real:
                rc = sqlite3_bind_double(st, n, v.d);
                break;
            case val::In::Type::Text:
                rc = sqlite3_bind_text(st, n, v.s, v.n, SQLITE_STATIC);
                break;
        }
        if (rc != SQLITE_OK) return c.lastError();
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
        case SQLITE_NULL:
            break;
        default:
            c.type = val::Cell::Type::Text;
            c.s = reinterpret_cast<const char*>(sqlite3_column_text(st, k));
            c.n = sqlite3_column_bytes(st, k);
            break;
    }
    return c;
}

// Appends what substr(z,from,n) gives for a text: characters counted as
// SQLite counts them (a lead byte and its continuation bytes); a NUL ends it.
void substrOf(const unsigned char* z, int from, int n, std::string& out) {
    auto skip = [](const unsigned char*& q) {
        if (*q++ >= 0xc0)
            while ((*q & 0xc0) == 0x80) ++q;
    };
    for (int k = from - 1; *z && k; --k) skip(z);
    const unsigned char* e = z;
    for (int k = n; *e && k; --k) skip(e);
    out.append(reinterpret_cast<const char*>(z), static_cast<std::size_t>(e - z));
}

// The same for a blob, whose substr counts bytes.
void substrOf(const unsigned char* z, int size, int from, int n, std::string& out) {
    if (from - 1 >= size) return;
    out.append(reinterpret_cast<const char*>(z) + from - 1, static_cast<std::size_t>(std::min(n, size - from + 1)));
}

// What the substr concatenation that TO_CHAR of a date stands for on SQLite
// gives for whatever the column holds (NULL stays NULL). The time is cut from
// the value with " 00:00:00" appended, so that a day without a time reads as
// midnight; that concatenation is a text, whose substr counts characters even
// where the column holds a blob.
void cutDate(sqlite3_stmt* st, int k, dialect::OutConv conv, StoredCell& d) {
    d.s.clear();
    const int type = sqlite3_column_type(st, k);
    if (type == SQLITE_NULL) {
        d.type = val::Cell::Type::Null;
        return;
    }
    d.type = val::Cell::Type::Text;
    const bool blob = type == SQLITE_BLOB;
    const auto* z = blob ? static_cast<const unsigned char*>(sqlite3_column_blob(st, k)) : sqlite3_column_text(st, k);
    const int size = sqlite3_column_bytes(st, k);
    if (conv != dialect::OutConv::Time) {
        for (auto [from, n] : {std::pair{1, 4}, {6, 2}, {9, 2}}) {
            if (blob) substrOf(z, size, from, n, d.s);
            else substrOf(z, from, n, d.s);
        }
    }
    if (conv != dialect::OutConv::Day) {
        std::string withMidnight(reinterpret_cast<const char*>(z), static_cast<std::size_t>(size));
        withMidnight += " 00:00:00";
        const auto* t = reinterpret_cast<const unsigned char*>(withMidnight.c_str());
        for (auto [from, n] : {std::pair{12, 2}, {15, 2}, {18, 2}}) substrOf(t, from, n, d.s);
    }
}

}  // namespace

void copyCell(sqlite3_stmt* st, int k, dialect::OutConv conv, StoredCell& d) {
    if (conv != dialect::OutConv::None) return cutDate(st, k, conv, d);
    val::Cell v = cell(st, k);
    d.type = v.type;
    d.i = v.i;
    d.d = v.d;
    if (v.type == val::Cell::Type::Text) d.s.assign(v.s, static_cast<std::size_t>(v.n));
    else d.s.clear();
}

void copyRow(sqlite3_stmt* st, int from, int columns, std::vector<StoredCell>& cells, std::size_t row,
             const Conversions& conv) {
    if (cells.size() < (row + 1) * columns) cells.resize((row + 1) * columns);
    for (int k = 0; k < columns; ++k) copyCell(st, from + k, conversion(conv, k), cells[row * columns + k]);
}

std::int32_t deliverRow(const std::vector<StoredCell>& cells, int columns, std::size_t row, Binds out) {
    const StoredCell* r = cells.data() + row * columns;
    return val::deliver(columns, out, [r](int k) {
        val::Cell c;
        c.type = r[k].type;
        c.i = r[k].i;
        c.d = r[k].d;
        c.s = r[k].s.data();
        c.n = static_cast<int>(r[k].s.size());
        return c;
    });
}

std::int32_t Connection::lastError() { return fromSqlite(sqlite3_extended_errcode(db_), sqlite3_errmsg(db_)); }

std::int32_t Connection::prepare(const std::string& sql, sqlite3_stmt** st) {
    if (sqlite3_prepare_v3(db_, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, st, nullptr) !=
        SQLITE_OK) {
        std::int32_t rc = lastError();
        sqlite3_finalize(*st);
        *st = nullptr;
        return rc;
    }
    return 0;
}

std::int32_t Connection::step(sqlite3_stmt* st) {
    int rc = sqlite3_step(st);
    std::int32_t code = rc == SQLITE_DONE || rc == SQLITE_ROW ? 0 : lastError();
    sqlite3_reset(st);
    return code;
}

std::int32_t Connection::exec(const std::string& sql) {
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) return lastError();
    return 0;
}

std::int32_t Connection::bound(detail::Statement& st, const std::vector<val::In>& in, sqlite3_stmt*& s) {
    if (!st.prepared) {
        auto p = std::make_unique<Prepared>();
        if (std::int32_t rc = prepare(st.tr.sql, &p->st)) return rc;
        st.prepared = std::move(p);
    }
    s = static_cast<Prepared&>(*st.prepared).st;
    return bind(s, in, *this);
}

// Two processes that open a file not yet in WAL mode both try to switch it;
// SQLite does not call the busy handler for the switch, so the connect
// waits here as a statement waits, up to the busy timeout. A file already
// in WAL mode is left alone.
std::int32_t Connection::walMode(int busyMs) {
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

std::int32_t Connection::connect(const char* path, int busyMs, bool create) {
    // Memory statistics cost a global mutex on every allocation; nothing reads
    // them. Only possible before the library's first use, refused (harmlessly)
    // after it.
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
    int rc = sqlite3_open_v2(path, &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::int32_t code = db_ ? lastError() : err::OutOfMemory;
        return code == err::Other ? err::SqliteFileMissing : code;
    }
    sqlite3_extended_result_codes(db_, 1);
    // A file the process may not write is refused before anything touches
    // it: in WAL mode even reading creates the -wal and -shm files, with the
    // file's own mode, which would then stop every later run.
    if (readOnly()) return err::ReadOnly;
    sqlite3_busy_timeout(db_, busyMs);
    // WAL: readers never wait for the writer; synchronous=NORMAL syncs the
    // WAL at a checkpoint only, FULL at every commit before other sessions
    // see it. A checkpoint flushes the disk two or three times: one every
    // 4 096 pages (16 MiB, some 100 positions) instead of every 1 000 keeps
    // a run near one flush per position; the size limit gives the WAL file
    // back after a checkpoint down to that size.
    std::int32_t code = walMode(busyMs);
    if (code == 0)
        code = exec("PRAGMA synchronous=NORMAL; PRAGMA wal_autocheckpoint=4096; PRAGMA journal_size_limit=16777216");
    if (code == 0) code = prepare("BEGIN IMMEDIATE", &begin_);
    if (code == 0) code = prepare("COMMIT", &commit_);
    if (code == 0) code = prepare("ROLLBACK", &rollback_);
    return code;
}

Connection::~Connection() {
    sqlite3_finalize(begin_);
    sqlite3_finalize(commit_);
    sqlite3_finalize(rollback_);
    sqlite3_close_v2(db_);
}

const char* Connection::schema() const { return schema::sqliteText; }

void Connection::setBusyTimeout(int ms) { sqlite3_busy_timeout(db_, ms); }

std::int32_t Connection::script(const char* sql) {
    setDurable(true);
    if (std::int32_t rc = begin()) return rc;
    if (std::int32_t rc = exec(sql)) {
        rollback();
        return rc;
    }
    return commit();
}

bool Connection::tableExists(const std::string& name) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, "SELECT 1 FROM sqlite_master WHERE type='table' AND name=?1 COLLATE NOCASE", -1, &st,
                           nullptr) != SQLITE_OK)
        return false;
    sqlite3_bind_text(st, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    bool found = sqlite3_step(st) == SQLITE_ROW;
    sqlite3_finalize(st);
    return found;
}

bool Connection::inTransaction() { return !sqlite3_get_autocommit(db_); }

std::int32_t Connection::begin() { return step(begin_); }
std::int32_t Connection::commit() { return inTransaction() ? step(commit_) : 0; }
std::int32_t Connection::rollback() { return inTransaction() ? step(rollback_) : 0; }

// The pragma takes effect when it is compiled: it cannot be prepared once.
void Connection::setDurable(bool on) { exec(on ? "PRAGMA synchronous=FULL" : "PRAGMA synchronous=NORMAL"); }

std::int32_t Connection::savepoint(const std::string& name) { return exec("SAVEPOINT " + name); }
std::int32_t Connection::rollbackTo(const std::string& name) { return exec("ROLLBACK TO SAVEPOINT " + name); }

std::int32_t Connection::run(detail::Statement& st, const std::vector<val::In>& in, Binds out, bool) {
    sqlite3_stmt* s = nullptr;
    if (std::int32_t rc = bound(st, in, s)) return rc;
    int r = sqlite3_step(s);
    std::int32_t rc = 0;
    if (st.tr.verb == dialect::Verb::Select) {
        if (r == SQLITE_DONE) {
            rc = err::NotFound;
        } else if (r != SQLITE_ROW) {
            rc = lastError();
        } else {
            int columns = sqlite3_column_count(s);
            copyRow(s, 0, columns, row_, 0, st.tr.columns);
            r = sqlite3_step(s);
            if (r == SQLITE_ROW) rc = err::TooManyRows;
            else if (r != SQLITE_DONE) rc = lastError();
            else rc = deliverRow(row_, columns, 0, out);
        }
    } else if (r != SQLITE_DONE && r != SQLITE_ROW) {
        rc = lastError();
    } else if ((st.tr.verb == dialect::Verb::Update || st.tr.verb == dialect::Verb::Delete) &&
               sqlite3_changes(db_) == 0) {
        rc = err::NotFound;
    }
    sqlite3_reset(s);
    return rc;
}

// Outside a transaction SQLite runs the statement as a transaction of its own
// (autocommit): the write lock is awaited as BEGIN IMMEDIATE awaits it, a
// failing statement leaves nothing, and a commit that fails gives its code
// from the step and loses the write. That saves the BEGIN and COMMIT statements.
std::int32_t Connection::runAlone(detail::Statement& st, const std::vector<val::In>& in) {
    return run(st, in, {}, false);
}

std::int32_t Connection::runAndCommit(detail::Statement& st, const std::vector<val::In>& in) {
    std::int32_t rc = run(st, in, {}, false);
    if (rc != 0) return rc;
    if (std::int32_t c = commit()) {
        rollback();
        return c;
    }
    return 0;
}

std::int32_t Connection::open(detail::Statement& st, const std::vector<val::In>& in,
                              std::unique_ptr<CursorState>& cursor) {
    sqlite3_stmt* s = nullptr;
    if (std::int32_t rc = bound(st, in, s)) return rc;
    auto c = std::make_unique<Cursor>(*this, st.tr.columns);
    if (std::int32_t rc = c->open(s)) {
        c->close();
        return rc;
    }
    cursor = std::move(c);
    return 0;
}

}  // namespace rt::sqlite

namespace rt::detail {

std::int32_t connectSqlite(const char* path, int busyMs, bool create, std::unique_ptr<Backend>& backend) {
    // A plain path, whatever it looks like: "file:..." is no URI and
    // ":memory:" no database in memory, where nothing would be kept.
    const std::string datei = path[0] == '/' ? std::string(path) : std::string("./") + path;
    // A device or a pipe is no database file (and would get a journal
    // file next to it).
    struct stat st;
    if (::stat(datei.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return err::SqliteFileMissing;
    auto c = std::make_unique<sqlite::Connection>();
    std::int32_t rc = c->connect(datei.c_str(), busyMs, create);
    if (rc == 0) backend = std::move(c);
    return rc;
}

}  // namespace rt::detail
