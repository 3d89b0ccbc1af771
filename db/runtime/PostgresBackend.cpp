// The PostgreSQL backend: one libpq connection, statements prepared once
// under the names "k<id>", values exchanged as text.
#include <iconv.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "db/runtime/Backend.h"
#include "db/runtime/ErrorMap.h"

namespace rt::pg {
namespace {

PGconn* conn = nullptr;
int cursorCounter = 0;
std::vector<const char*> values;
std::vector<std::array<char, 32>> numbers;
std::vector<std::string> copies;

bool alive() { return conn && PQstatus(conn) == CONNECTION_OK; }

// The program's texts are Windows-1252. The connection carries UTF-8 and the
// texts are converted here, value by value: a character that Windows-1252
// cannot hold then spoils its own row, not the whole result of a cursor. A
// server in SQL_ASCII converts nothing, and neither does this.
iconv_t toServer = reinterpret_cast<iconv_t>(-1);
iconv_t fromServer = reinterpret_cast<iconv_t>(-1);
bool recode = false;

// Converts s into out; false when a character had no form in the target
// (out holds "?" in its place).
bool convertText(iconv_t cd, bool utf8In, const char* s, std::size_t n, std::string& out) {
    out.resize(3 * n);
    char* in = const_cast<char*>(s);
    char* o = out.data();
    std::size_t inLeft = n, outLeft = out.size();
    bool whole = true;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    while (iconv(cd, &in, &inLeft, &o, &outLeft) == static_cast<std::size_t>(-1)) {
        whole = false;
        *o++ = '?';
        --outLeft;
        ++in;
        --inLeft;
        while (utf8In && inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80) {
            ++in;
            --inLeft;
        }
    }
    out.resize(out.size() - outLeft);
    return whole;
}

bool ascii(const char* s, std::size_t n) {
    for (std::size_t k = 0; k < n; ++k)
        if (static_cast<unsigned char>(s[k]) >= 0x80) return false;
    return true;
}

std::int32_t resultError(const PGresult* r) {
    if (!alive()) return err::NotConnected;
    const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    return err::fromPostgres(state, r ? PQresultErrorMessage(r) : PQerrorMessage(conn));
}

bool ok(const PGresult* r) {
    ExecStatusType t = PQresultStatus(r);
    return t == PGRES_COMMAND_OK || t == PGRES_TUPLES_OK;
}

std::int32_t command(const char* sql) {
    if (!alive()) return err::NotConnected;
    PGresult* r = PQexec(conn, sql);
    std::int32_t rc = ok(r) ? 0 : resultError(r);
    PQclear(r);
    return rc;
}

// The text form of every input; texts are passed in place when the
// caller's buffer holds their terminator and nothing needs converting.
std::int32_t params(const std::vector<val::In>& in) {
    values.resize(in.size());
    numbers.resize(in.size());
    copies.resize(in.size());
    for (std::size_t k = 0; k < in.size(); ++k) {
        const val::In& v = in[k];
        switch (v.type) {
        case val::In::Type::Null: values[k] = nullptr; break;
        case val::In::Type::Int:
            std::snprintf(numbers[k].data(), numbers[k].size(), "%lld", static_cast<long long>(v.i));
            values[k] = numbers[k].data();
            break;
        case val::In::Type::Real:
            std::snprintf(numbers[k].data(), numbers[k].size(), "%.17g", v.d);
            values[k] = numbers[k].data();
            break;
        case val::In::Type::Text:
            if (recode && !ascii(v.s, static_cast<std::size_t>(v.n))) {
                if (!convertText(toServer, false, v.s, static_cast<std::size_t>(v.n), copies[k]))
                    return err::Untranslatable;
                values[k] = copies[k].c_str();
            } else if (v.s[v.n] == '\0') {
                values[k] = v.s;
            } else {
                copies[k].assign(v.s, static_cast<std::size_t>(v.n));
                values[k] = copies[k].c_str();
            }
            break;
        }
    }
    return 0;
}

// A column value; a text is converted into scratch. whole becomes false
// when a character could not be converted.
val::Cell cell(const PGresult* r, int row, int k, std::string& scratch, bool& whole) {
    val::Cell c;
    if (!PQgetisnull(r, row, k)) {
        c.type = val::Cell::Type::Text;
        c.s = PQgetvalue(r, row, k);
        c.n = PQgetlength(r, row, k);
        if (recode && !ascii(c.s, static_cast<std::size_t>(c.n))) {
            whole = convertText(fromServer, true, c.s, static_cast<std::size_t>(c.n), scratch) && whole;
            c.s = scratch.data();
            c.n = static_cast<int>(scratch.size());
        }
    }
    return c;
}

// A row with a character that Windows-1252 cannot hold gives -12713. A
// cursor delivers it all the same, with "?" in its place, so that the caller
// can name the row; a single-row select leaves the buffers as they were.
std::int32_t deliver(const PGresult* r, int row, Binds out, bool fetch) {
    static thread_local std::vector<val::Out> tmp;
    static thread_local std::string scratch;
    if (static_cast<int>(out.size()) != PQnfields(r)) return err::OutputCount;
    tmp.resize(out.size());
    bool whole = true;
    int k = 0;
    for (const Bind& b : out) {
        if (std::int32_t rc = val::convert(b, cell(r, row, k, scratch, whole), tmp[k])) return rc;
        ++k;
    }
    if (!whole && !fetch) return err::Untranslatable;
    k = 0;
    for (const Bind& b : out) val::store(b, tmp[k++]);
    return whole ? 0 : err::Untranslatable;
}

std::int32_t prepare(int id, const char* suffix, const std::string& sql, bool& prepared) {
    if (prepared) return 0;
    char name[24];
    std::snprintf(name, sizeof name, "k%d%s", id, suffix);
    PGresult* r = PQprepare(conn, name, sql.c_str(), 0, nullptr);
    std::int32_t rc = ok(r) ? 0 : resultError(r);
    PQclear(r);
    prepared = rc == 0;
    return rc;
}

PGresult* execPrepared(int id, const char* suffix) {
    char name[24];
    std::snprintf(name, sizeof name, "k%d%s", id, suffix);
    return PQexecPrepared(conn, name, static_cast<int>(values.size()), values.data(), nullptr, nullptr, 0);
}

// The session's local time zone, so that sysdate is the local clock.
std::string localZone() {
    const char* tz = std::getenv("TZ");
    std::string zone = tz ? tz : "";
    if (!zone.empty() && zone[0] == ':') zone.erase(0, 1);
    if (zone.empty()) {
        char buf[256];
        ssize_t n = readlink("/etc/localtime", buf, sizeof buf - 1);
        if (n > 0) {
            buf[n] = '\0';
            const char* p = std::strstr(buf, "zoneinfo/");
            if (p) zone = p + 9;
        }
    }
    for (char c : zone)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '/' || c == '_' || c == '-' || c == '+'))
            return "";
    return zone;
}

}  // namespace

std::int32_t connect(const char* login, const char* password, const char* target, int busyMs) {
    disconnect();
    bool dsn = std::strstr(target, "://") || std::strchr(target, '=');
    const char* keys[8];
    const char* vals[8];
    int n = 0;
    keys[n] = dsn ? "dbname" : "service";
    vals[n++] = target;
    if (login && *login) {
        keys[n] = "user";
        vals[n++] = login;
    }
    if (password && *password) {
        keys[n] = "password";
        vals[n++] = password;
    }
    keys[n] = "client_encoding";
    vals[n++] = "UTF8";
    keys[n] = "connect_timeout";
    vals[n++] = "15";
    keys[n] = "application_name";
    vals[n++] = "korvimand";
    keys[n] = nullptr;
    vals[n] = nullptr;
    conn = PQconnectdbParams(keys, vals, 1);
    if (!conn) return err::OutOfMemory;
    if (PQstatus(conn) != CONNECTION_OK) {
        std::int32_t rc = err::fromPostgresConnect(PQerrorMessage(conn));
        PQfinish(conn);
        conn = nullptr;
        return rc;
    }
    const char* encoding = PQparameterStatus(conn, "server_encoding");
    recode = !(encoding && std::strcmp(encoding, "SQL_ASCII") == 0);
    if (recode && toServer == reinterpret_cast<iconv_t>(-1)) {
        toServer = iconv_open("UTF-8", "WINDOWS-1252");
        fromServer = iconv_open("WINDOWS-1252", "UTF-8");
        if (toServer == reinterpret_cast<iconv_t>(-1) || fromServer == reinterpret_cast<iconv_t>(-1)) {
            disconnect();
            return err::Other;
        }
    }
    setBusyTimeout(busyMs);
    // Reals travel as text: all their digits, whatever the server's default.
    command("SET extra_float_digits=3");
    std::string zone = localZone();
    if (!zone.empty()) command(("SET TimeZone='" + zone + "'").c_str());
    return 0;
}

void disconnect() {
    if (conn) PQfinish(conn);
    conn = nullptr;
}

std::int32_t script(const char* sql) {
    if (!alive()) return err::NotConnected;
    // One simple query: the server runs it as one transaction.
    return command(sql);
}

bool tableExists(const std::string& name) {
    if (!alive()) return false;
    const char* v[] = {name.c_str()};
    PGresult* r = PQexecParams(conn, "SELECT to_regclass(lower($1)) IS NOT NULL", 1, nullptr, v, nullptr, nullptr, 0);
    bool found = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1 && PQgetvalue(r, 0, 0)[0] == 't';
    PQclear(r);
    return found;
}

void setBusyTimeout(int ms) {
    if (!alive()) return;
    char sql[64];
    std::snprintf(sql, sizeof sql, "SET lock_timeout=%d", ms);
    command(sql);
}

bool inTransaction() {
    if (!conn) return false;
    PGTransactionStatusType t = PQtransactionStatus(conn);
    return t == PQTRANS_INTRANS || t == PQTRANS_INERROR || t == PQTRANS_ACTIVE;
}

std::int32_t begin() { return command("BEGIN"); }

std::int32_t commit() {
    if (!inTransaction()) return alive() ? 0 : err::NotConnected;
    PGresult* r = PQexec(conn, "COMMIT");
    std::int32_t rc = ok(r) ? 0 : resultError(r);
    // COMMIT of a failed transaction rolls it back: that is no success.
    if (rc == 0 && std::strcmp(PQcmdStatus(r), "ROLLBACK") == 0) rc = -2091;
    PQclear(r);
    return rc;
}

std::int32_t rollback() {
    if (!inTransaction()) return alive() ? 0 : err::NotConnected;
    return command("ROLLBACK");
}

std::int32_t control(const char* verb, const std::string& name) {
    return command((std::string(verb) + " " + name).c_str());
}

std::int32_t lock(std::int64_t key) {
    char sql[64];
    std::snprintf(sql, sizeof sql, "SELECT pg_advisory_xact_lock(%lld)", static_cast<long long>(key));
    return command(sql);
}

std::int32_t run(detail::Statement& st, const std::vector<val::In>& in, Binds out, bool guard) {
    if (!alive()) return err::NotConnected;
    bool wrap = guard && PQtransactionStatus(conn) == PQTRANS_INTRANS;
    if (wrap)
        if (std::int32_t rc = command("SAVEPOINT k_stmt")) return rc;
    std::int32_t rc = prepare(st.pgId, "", st.tr.sql, st.pgPrepared);
    if (rc == 0) rc = params(in);
    if (rc == 0) {
        PGresult* r = execPrepared(st.pgId, "");
        if (!ok(r)) {
            rc = resultError(r);
        } else if (st.tr.verb == dialect::Verb::Select) {
            int rows = PQntuples(r);
            rc = rows == 0 ? 1403 : rows > 1 ? err::TooManyRows : deliver(r, 0, out, false);
        } else if ((st.tr.verb == dialect::Verb::Update || st.tr.verb == dialect::Verb::Delete) &&
                   std::strcmp(PQcmdTuples(r), "0") == 0) {
            rc = 1403;
        }
        PQclear(r);
    }
    if (wrap && alive())
        command(rc < 0 ? "ROLLBACK TO SAVEPOINT k_stmt; RELEASE SAVEPOINT k_stmt" : "RELEASE SAVEPOINT k_stmt");
    return rc;
}

std::int32_t open(CursorState& c, detail::Statement& st, const std::vector<val::In>& in) {
    if (!alive()) return err::NotConnected;
    // Most cursors deliver a few rows: one round trip fetches up to a batch
    // and one row more; only a longer result is run again as a held cursor,
    // which the server materialises at open (rows as they stood then).
    std::string limited = st.tr.sql + " LIMIT " + std::to_string(detail::CursorBatch + 1);
    if (std::int32_t rc = prepare(st.pgId, "c", limited, st.pgCursorPrepared)) return rc;
    if (std::int32_t rc = params(in)) return rc;
    PGresult* r = execPrepared(st.pgId, "c");
    if (!ok(r)) {
        std::int32_t rc = resultError(r);
        PQclear(r);
        return rc;
    }
    c.columns = PQnfields(r);
    if (PQntuples(r) <= detail::CursorBatch) {
        c.batch = r;
        c.rows = static_cast<std::size_t>(PQntuples(r));
        c.pos = 0;
        c.pgDone = true;
        return 0;
    }
    PQclear(r);
    c.pgName = "k_cursor" + std::to_string(++cursorCounter);
    std::string declare = "DECLARE " + c.pgName + " NO SCROLL CURSOR WITH HOLD FOR " + st.tr.sql;
    r = PQexecParams(conn, declare.c_str(), static_cast<int>(values.size()), nullptr, values.data(), nullptr,
                     nullptr, 0);
    std::int32_t rc = ok(r) ? 0 : resultError(r);
    PQclear(r);
    if (rc != 0) {
        c.pgName.clear();
        return rc;
    }
    c.rows = c.pos = 0;
    c.pgDone = false;
    return 0;
}

std::int32_t fetch(CursorState& c, Binds out) {
    if (c.pos == c.rows) {
        if (c.pgDone) return 1403;
        if (!alive()) return err::NotConnected;
        PQclear(c.batch);
        std::string sql = "FETCH " + std::to_string(detail::CursorBatch) + " FROM " + c.pgName;
        c.batch = PQexec(conn, sql.c_str());
        c.rows = c.pos = 0;
        if (!ok(c.batch)) {
            std::int32_t rc = resultError(c.batch);
            PQclear(c.batch);
            c.batch = nullptr;
            c.pgDone = true;
            return rc;
        }
        c.rows = static_cast<std::size_t>(PQntuples(c.batch));
        if (c.rows < static_cast<std::size_t>(detail::CursorBatch)) c.pgDone = true;
        if (c.rows == 0) return 1403;
    }
    return deliver(c.batch, static_cast<int>(c.pos++), out, true);
}

void close(CursorState& c) {
    PQclear(c.batch);
    c.batch = nullptr;
    if (!c.pgName.empty() && alive()) command(("CLOSE " + c.pgName).c_str());
    c.pgName.clear();
    c.rows = c.pos = 0;
}

}  // namespace rt::pg
