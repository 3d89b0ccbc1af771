// The PostgreSQL connection: statements prepared once, values as text.
#include <iconv.h>
#include <openssl/crypto.h>
#include <poll.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "db/runtime/ResultCodes.h"
#include "db/runtime/postgres/Postgres.h"
#include "db/runtime/postgres/PostgresConnect.h"
#include "db/schema/SchemaText.h"

namespace rt::pg {
namespace {

const iconv_t kNoIconv = reinterpret_cast<iconv_t>(-1);

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
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '/' || c == '_' || c == '-' || c == '+')) return "";
    return zone;
}

std::uint64_t lockKey(const char* name) {
    std::uint64_t h = 1469598103934665603ull;  // FNV-1a
    for (const char* p = name; *p; ++p) h = (h ^ static_cast<unsigned char>(*p)) * 1099511628211ull;
    return h;
}

}  // namespace

std::int32_t Connection::deliverRow(const PGresult* r, int row, Binds out, bool cursor) {
    const int columns = PQnfields(r);
    texts_.resize(static_cast<std::size_t>(columns));
    cells_.assign(static_cast<std::size_t>(columns), val::Cell{});
    bool whole = true;
    for (int k = 0; k < columns; ++k) {
        val::Cell& c = cells_[static_cast<std::size_t>(k)];
        if (PQgetisnull(r, row, k)) continue;
        c.type = val::Cell::Type::Text;
        c.s = PQgetvalue(r, row, k);
        c.n = PQgetlength(r, row, k);
        if (recode_ && !ascii(c.s, static_cast<std::size_t>(c.n))) {
            std::string& t = texts_[static_cast<std::size_t>(k)];
            whole = convertText(fromServer_, true, c.s, static_cast<std::size_t>(c.n), t) && whole;
            c.s = t.data();
            c.n = static_cast<int>(t.size());
        }
    }
    if (!whole && !cursor) return static_cast<int>(out.size()) != columns ? err::OutputCount : err::Untranslatable;
    std::int32_t rc = val::deliver(columns, out, [this](int k) { return cells_[static_cast<std::size_t>(k)]; });
    return rc != 0 || whole ? rc : err::Untranslatable;
}

std::int32_t Connection::resultError(const PGresult* r) const {
    if (!alive()) return err::NotConnected;
    // After a refused lock the section's statements fail for that reason.
    if (heldOff_) return heldOff_;
    const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    return fromPostgres(state, r ? PQresultErrorMessage(r) : PQerrorMessage(conn_));
}

template <class Send>
void Connection::ahead(Send send, Ahead what) {
    if (!alive()) return;
    if (ahead_.empty()) aheadInTxn_ = inTransaction();
    // A statement that did not go down the pipeline whole, with its sync,
    // leaves the pipeline as nobody knows: the connection counts as lost,
    // rather than losing the statement or waiting for an answer that never
    // comes.
    if ((ahead_.empty() && !PQenterPipelineMode(conn_)) || !send() || !PQpipelineSync(conn_)) {
        broken_ = true;
        return;
    }
    ahead_.push_back(what);
}

void Connection::sendAhead(const char* sql) {
    ahead([&] { return PQsendQueryParams(conn_, sql, 0, nullptr, nullptr, nullptr, nullptr, 0); }, Ahead::Drop);
}

void Connection::sendAheadPrepared(const Prepared& p, Ahead what) {
    char name[24];
    std::snprintf(name, sizeof name, "k%d", p.id);
    const int n = static_cast<int>(values_.size());
    ahead([&] { return PQsendQueryPrepared(conn_, name, n, values_.data(), nullptr, nullptr, 0); }, what);
}

namespace {

// An error that the client library reports itself has no SQLSTATE.
bool clientFailure(const PGresult* r) {
    return PQresultStatus(r) == PGRES_FATAL_ERROR && !PQresultErrorField(r, PG_DIAG_SQLSTATE);
}

// Whether libpq itself ran out of memory: the last line of its message is
// its own text, where a server's error starts with its severity.
bool ownOutOfMemory(std::string_view msg) {
    if (msg.ends_with('\n')) msg.remove_suffix(1);
    const std::size_t nl = msg.rfind('\n');
    return msg.substr(nl == std::string_view::npos ? 0 : nl + 1) == "out of memory";
}

}  // namespace

// Waits until a result can be read without blocking. libpq that could not
// allocate a sync's result keeps waiting for input that never comes: the
// connection then counts as lost.
bool Connection::awaitResult() {
    while (PQisBusy(conn_)) {
        if (ownOutOfMemory(PQerrorMessage(conn_))) return false;
        pollfd p{PQsocket(conn_), POLLIN, 0};
        // no socket, a failed wait or read: PQgetResult tells it
        if (p.fd < 0 || (::poll(&p, 1, -1) < 0 && errno != EINTR) || !PQconsumeInput(conn_)) break;
    }
    return true;
}

PGresult* Connection::segment() {
    PGresult* last = nullptr;
    // A null result ends one statement's results; two in a row: nothing
    // more is coming (a lost connection).
    int nulls = 0;
    while (nulls < 2) {
        if (!awaitResult()) {
            broken_ = true;
            PQclear(last);
            return nullptr;
        }
        PGresult* r = PQgetResult(conn_);
        if (!r) {
            ++nulls;
            continue;
        }
        nulls = 0;
        if (PQresultStatus(r) == PGRES_PIPELINE_SYNC) {
            PQclear(r);
            break;
        }
        if (clientFailure(r)) {
            // The sync may never be told (out of memory): read no further.
            broken_ = true;
            PQclear(last);
            return r;
        }
        PQclear(last);
        last = r;
    }
    return last;
}

void Connection::lostUnless(const PGresult* r) {
    if (!r || clientFailure(r)) broken_ = true;
}

template <class Send, class Exec>
PGresult* Connection::ask(Send send, Exec exec) {
    if (broken_) return nullptr;
    ++requests_;
    PGresult* r = nullptr;
    if (ahead_.empty()) {
        r = exec();
    } else {
        const bool sent = send() && PQpipelineSync(conn_);
        if (!sent) broken_ = true;
        // Their answers: nothing looks at them but the one kept and the lock's.
        for (const Ahead what : ahead_) {
            if (broken_) break;
            PGresult* a = segment();
            lostUnless(a);
            if (what == Ahead::Lock && !ok(a)) heldOff_ = resultError(a);
            if (what == Ahead::Keep) {
                PQclear(kept_);
                kept_ = a;
            } else {
                PQclear(a);
            }
        }
        ahead_.clear();
        if (!broken_) r = segment();
        PQexitPipelineMode(conn_);
    }
    lostUnless(r);
    return r;
}

PGresult* Connection::query(const char* sql) {
    return ask([&] { return PQsendQueryParams(conn_, sql, 0, nullptr, nullptr, nullptr, nullptr, 0); },
               [&] { return PQexec(conn_, sql); });
}

std::int32_t Connection::command(const char* sql) {
    if (!alive()) return err::NotConnected;
    PGresult* r = query(sql);
    std::int32_t rc = ok(r) ? 0 : resultError(r);
    PQclear(r);
    return rc;
}

// Texts are passed in place when the caller's buffer holds their terminator
// and nothing needs converting.
std::int32_t Connection::params(const std::vector<val::In>& in) {
    values_.resize(in.size());
    numbers_.resize(in.size());
    copies_.resize(in.size());
    for (std::size_t k = 0; k < in.size(); ++k) {
        const val::In& v = in[k];
        switch (v.type) {
            case val::In::Type::Null:
                values_[k] = nullptr;
                break;
            case val::In::Type::Int:
                std::snprintf(numbers_[k].data(), numbers_[k].size(), "%lld", static_cast<long long>(v.i));
                values_[k] = numbers_[k].data();
                break;
            case val::In::Type::Real:
                std::snprintf(numbers_[k].data(), numbers_[k].size(), "%.17g", v.d);
                values_[k] = numbers_[k].data();
                break;
            case val::In::Type::Text:
                if (recode_ && !ascii(v.s, static_cast<std::size_t>(v.n))) {
                    if (!convertText(toServer_, false, v.s, static_cast<std::size_t>(v.n), copies_[k]))
                        return err::Untranslatable;
                    values_[k] = copies_[k].c_str();
                } else if (v.s[v.n] == '\0') {
                    values_[k] = v.s;
                } else {
                    copies_[k].assign(v.s, static_cast<std::size_t>(v.n));
                    values_[k] = copies_[k].c_str();
                }
                break;
        }
    }
    return 0;
}

Prepared& Connection::prepared(detail::Statement& st) {
    if (!st.prepared) {
        auto p = std::make_unique<Prepared>();
        p->id = ++nextId_;
        st.prepared = std::move(p);
    }
    return static_cast<Prepared&>(*st.prepared);
}

std::int32_t Connection::prepare(const Prepared& p, const char* suffix, const std::string& sql, bool& done) {
    if (done) return 0;
    char name[24];
    std::snprintf(name, sizeof name, "k%d%s", p.id, suffix);
    PGresult* r = ask([&] { return PQsendPrepare(conn_, name, sql.c_str(), 0, nullptr); },
                      [&] { return PQprepare(conn_, name, sql.c_str(), 0, nullptr); });
    std::int32_t rc = ok(r) ? 0 : resultError(r);
    PQclear(r);
    done = rc == 0;
    return rc;
}

PGresult* Connection::execPrepared(const Prepared& p, const char* suffix) {
    char name[24];
    std::snprintf(name, sizeof name, "k%d%s", p.id, suffix);
    const int n = static_cast<int>(values_.size());
    return ask([&] { return PQsendQueryPrepared(conn_, name, n, values_.data(), nullptr, nullptr, 0); },
               [&] { return PQexecPrepared(conn_, name, n, values_.data(), nullptr, nullptr, 0); });
}

std::int32_t Connection::connect(const char* login, const char* password, const char* target, int busyMs) {
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
    // libpq's password exchange draws from OpenSSL's random generator. When
    // memory runs out while OpenSSL sets up its library context, the context
    // stays without its lock and its next user crashes: set it up here, where
    // the failure can be told.
    if (!OSSL_LIB_CTX_get0_global_default()) return err::OutOfMemory;
    conn_ = PQconnectdbParams(keys, vals, 1);
    if (!conn_) return err::OutOfMemory;
    if (PQstatus(conn_) != CONNECTION_OK) return fromPostgresConnect(PQerrorMessage(conn_));
    const char* encoding = PQparameterStatus(conn_, "server_encoding");
    recode_ = !(encoding && std::strcmp(encoding, "SQL_ASCII") == 0);
    if (recode_) {
        toServer_ = iconv_open("UTF-8", "WINDOWS-1252");
        fromServer_ = iconv_open("WINDOWS-1252", "UTF-8");
        if (toServer_ == kNoIconv || fromServer_ == kNoIconv) return err::Other;
    }
    setBusyTimeout(busyMs);
    // Reals travel as text: all their digits, whatever the server's default.
    // Commits do not wait for the disk until asked to (setDurable).
    command("SET extra_float_digits=3; SET synchronous_commit TO off");
    std::string zone = localZone();
    if (!zone.empty()) command(("SET TimeZone='" + zone + "'").c_str());
    return 0;
}

Connection::~Connection() {
    PQclear(kept_);
    if (conn_) PQfinish(conn_);
    if (toServer_ != kNoIconv) iconv_close(toServer_);
    if (fromServer_ != kNoIconv) iconv_close(fromServer_);
}

const char* Connection::schema() const { return schema::postgresText; }

std::int32_t Connection::script(const char* sql) {
    return command(("RESET synchronous_commit;\n" + std::string(sql)).c_str());
}

bool Connection::tableExists(const std::string& name) {
    if (!alive()) return false;
    const char* v[] = {name.c_str()};
    const char* sql = "SELECT to_regclass(lower($1)) IS NOT NULL";
    PGresult* r = ask([&] { return PQsendQueryParams(conn_, sql, 1, nullptr, v, nullptr, nullptr, 0); },
                      [&] { return PQexecParams(conn_, sql, 1, nullptr, v, nullptr, nullptr, 0); });
    bool found = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1 && PQgetvalue(r, 0, 0)[0] == 't';
    PQclear(r);
    return found;
}

bool Connection::readOnly() {
    if (!alive()) return false;
    PGresult* r = query("SHOW transaction_read_only");
    const bool on =
        PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1 && std::strcmp(PQgetvalue(r, 0, 0), "on") == 0;
    PQclear(r);
    return on;
}

void Connection::setBusyTimeout(int ms) {
    if (!alive()) return;
    char sql[64];
    std::snprintf(sql, sizeof sql, "SET lock_timeout=%d", ms);
    command(sql);
}

bool Connection::inTransaction() {
    if (!ahead_.empty()) return aheadInTxn_;
    PGTransactionStatusType t = PQtransactionStatus(conn_);
    return t == PQTRANS_INTRANS || t == PQTRANS_INERROR || t == PQTRANS_ACTIVE;
}

std::int32_t Connection::begin() {
    sendAhead("BEGIN");
    aheadInTxn_ = true;
    return alive() ? 0 : err::NotConnected;
}

// The lock goes down the pipeline with the section's first statement: a
// section that another holds off for longer than the lock timeout answers
// that statement, and every later one of it, with the lock's code.
std::int32_t Connection::beginExclusive(const char* name) {
    if (std::int32_t rc = begin()) return rc;
    char sql[64];
    std::snprintf(sql, sizeof sql, "SELECT pg_advisory_xact_lock(%lld)", static_cast<long long>(lockKey(name)));
    ahead([&] { return PQsendQueryParams(conn_, sql, 0, nullptr, nullptr, nullptr, nullptr, 0); }, Ahead::Lock);
    return alive() ? 0 : err::NotConnected;
}

// Sent ahead: no request of its own. RESET gives back what the server, the
// database or the role configure (on, or a level that waits for a standby).
void Connection::setDurable(bool on) { sendAhead(on ? "RESET synchronous_commit" : "SET synchronous_commit TO off"); }

std::int32_t Connection::commit() {
    heldOff_ = 0;
    if (!inTransaction()) return alive() ? 0 : err::NotConnected;
    PGresult* r = query("COMMIT");
    std::int32_t rc = ok(r) ? 0 : resultError(r);
    // COMMIT of a failed transaction rolls it back: that is no success.
    if (rc == 0 && std::strcmp(PQcmdStatus(r), "ROLLBACK") == 0) rc = err::CommitFailed;
    PQclear(r);
    return rc;
}

std::int32_t Connection::rollback() {
    heldOff_ = 0;
    if (!inTransaction()) return alive() ? 0 : err::NotConnected;
    return command("ROLLBACK");
}

std::int32_t Connection::savepoint(const std::string& name) {
    sendAhead(("SAVEPOINT " + name).c_str());
    return alive() ? 0 : err::NotConnected;
}

std::int32_t Connection::rollbackTo(const std::string& name) {
    return command(("ROLLBACK TO SAVEPOINT " + name).c_str());
}

std::int32_t Connection::run(detail::Statement& st, const std::vector<val::In>& in, Binds out, bool guard) {
    if (!alive()) return err::NotConnected;
    bool wrap = guard && (ahead_.empty() ? PQtransactionStatus(conn_) == PQTRANS_INTRANS : aheadInTxn_);
    if (wrap) sendAhead("SAVEPOINT k_stmt");
    Prepared& p = prepared(st);
    std::int32_t rc = prepare(p, "", st.tr.sql, p.statement);
    if (rc == 0) rc = params(in);
    if (rc == 0) {
        PGresult* r = execPrepared(p, "");
        if (!ok(r)) {
            rc = resultError(r);
        } else if (st.tr.verb == dialect::Verb::Select) {
            int rows = PQntuples(r);
            rc = rows == 0 ? err::NotFound : rows > 1 ? err::TooManyRows : deliverRow(r, 0, out, false);
        } else if ((st.tr.verb == dialect::Verb::Update || st.tr.verb == dialect::Verb::Delete) &&
                   std::strcmp(PQcmdTuples(r), "0") == 0) {
            rc = err::NotFound;
        }
        PQclear(r);
    }
    if (wrap && rc < 0) sendAhead("ROLLBACK TO SAVEPOINT k_stmt");
    if (wrap) sendAhead("RELEASE SAVEPOINT k_stmt");
    return rc;
}

std::int32_t Connection::runAlone(detail::Statement& st, const std::vector<val::In>& in) {
    return run(st, in, {}, false);
}

void Connection::runAhead(detail::Statement& st, const std::vector<val::In>& in) {
    Prepared& p = prepared(st);
    if (prepare(p, "", st.tr.sql, p.statement) != 0 || params(in) != 0) return;
    sendAheadPrepared(p, Ahead::Drop);
}

// The statement's result decides about the COMMIT sent with it: after a
// failure the server answers it with ROLLBACK, after 1403 it commits nothing.
std::int32_t Connection::runAndCommit(detail::Statement& st, const std::vector<val::In>& in) {
    if (!alive()) return err::NotConnected;
    Prepared& p = prepared(st);
    if (std::int32_t rc = prepare(p, "", st.tr.sql, p.statement)) return rc;
    if (std::int32_t rc = params(in)) return rc;
    sendAheadPrepared(p, Ahead::Keep);
    PGresult* c = query("COMMIT");
    PGresult* r = kept_;
    kept_ = nullptr;
    std::int32_t rc = 0;
    if (!ok(r)) rc = resultError(r);
    else if ((st.tr.verb == dialect::Verb::Update || st.tr.verb == dialect::Verb::Delete) &&
             std::strcmp(PQcmdTuples(r), "0") == 0)
        rc = err::NotFound;
    else if (!ok(c)) rc = resultError(c);
    else if (std::strcmp(PQcmdStatus(c), "ROLLBACK") == 0) rc = err::CommitFailed;
    PQclear(r);
    PQclear(c);
    heldOff_ = 0;
    return rc;
}

std::int32_t Connection::open(detail::Statement& st, const std::vector<val::In>& in,
                              std::unique_ptr<CursorState>& cursor) {
    if (!alive()) return err::NotConnected;
    // Most cursors deliver a few rows: one round trip fetches up to a batch
    // and one row more.
    Prepared& p = prepared(st);
    std::string limited = st.tr.sql + " LIMIT " + std::to_string(detail::CursorBatch + 1);
    if (std::int32_t rc = prepare(p, "c", limited, p.cursor)) return rc;
    if (std::int32_t rc = params(in)) return rc;
    PGresult* r = execPrepared(p, "c");
    if (!ok(r)) {
        std::int32_t rc = resultError(r);
        PQclear(r);
        return rc;
    }
    auto c = std::make_unique<Cursor>(*this);
    if (PQntuples(r) <= detail::CursorBatch) {
        c->holdAll(r);
        cursor = std::move(c);
        return 0;
    }
    PQclear(r);
    std::string name = "k_cursor" + std::to_string(++cursorCounter_);
    std::string declare = "DECLARE " + name + " NO SCROLL CURSOR WITH HOLD FOR " + st.tr.sql;
    const int n = static_cast<int>(values_.size());
    r = ask([&] { return PQsendQueryParams(conn_, declare.c_str(), n, nullptr, values_.data(), nullptr, nullptr, 0); },
            [&] { return PQexecParams(conn_, declare.c_str(), n, nullptr, values_.data(), nullptr, nullptr, 0); });
    std::int32_t rc = ok(r) ? 0 : resultError(r);
    PQclear(r);
    if (rc != 0) return rc;
    c->holdCursor(std::move(name));
    cursor = std::move(c);
    return 0;
}

}  // namespace rt::pg

namespace rt::detail {

std::int32_t connectPostgres(const char* login, const char* password, const char* target, int busyMs,
                             std::unique_ptr<Backend>& backend) {
    auto c = std::make_unique<pg::Connection>();
    std::int32_t rc = c->connect(login, password, target, busyMs);
    if (rc == 0) backend = std::move(c);
    return rc;
}

}  // namespace rt::detail
