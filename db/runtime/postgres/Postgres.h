#pragma once
// The PostgreSQL backend's own declarations; only the files of this folder
// include it (and with it the client header).
#include <iconv.h>
#include <libpq-fe.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "db/runtime/Backend.h"

namespace rt::pg {

inline bool ok(const PGresult* r) {
    ExecStatusType t = PQresultStatus(r);
    return t == PGRES_COMMAND_OK || t == PGRES_TUPLES_OK;
}

// sqlstate may be null (no server answer).
std::int32_t fromPostgres(const char* sqlstate, const char* msg);
// The message of a failed connect.
std::int32_t fromPostgresConnect(const char* msg);

// A text is prepared under the names "k<id>" (the statement itself) and
// "k<id>c" (a cursor's first rows), each at its first use.
struct Prepared : detail::Prepared {
    int id = 0;
    bool statement = false;
    bool cursor = false;
};

// One libpq connection; values are exchanged as text. The program's texts
// are Windows-1252; the connection carries UTF-8 and each text value is
// converted here: a character that Windows-1252 cannot hold then spoils its
// own row, not a whole batch of a cursor. A server in SQL_ASCII converts
// nothing, and neither does this.
class Connection final : public detail::Backend {
public:
    ~Connection() override;
    std::int32_t connect(const char* login, const char* password, const char* target, int busyMs);

    dialect::Backend dialect() const override { return dialect::Backend::Postgres; }
    const char* schema() const override;
    // One simple query: the server runs it as one transaction, whose commit
    // waits for the disk.
    std::int32_t script(const char* sql) override;
    bool tableExists(const std::string& name) override;
    void setBusyTimeout(int ms) override;
    bool readOnly() override;
    bool inTransaction() override;
    std::int32_t begin() override;
    // BEGIN and a transaction-scoped advisory lock on the name's hash, both
    // sent ahead of the section's first statement.
    std::int32_t beginExclusive(const char* name) override;
    // synchronous_commit for the session: off, or as configured.
    void setDurable(bool on) override;
    // A COMMIT that the server answers with ROLLBACK (the transaction had
    // failed) gives -2091.
    std::int32_t commit() override;
    std::int32_t rollback() override;
    std::int32_t savepoint(const std::string& name) override;
    std::int32_t rollbackTo(const std::string& name) override;
    // guard wraps the statement in the savepoint "k_stmt" (both sent ahead):
    // an error would otherwise spoil the whole transaction.
    std::int32_t run(detail::Statement& st, const std::vector<val::In>& in, Binds out, bool guard) override;
    // Outside a transaction the server commits a single statement itself.
    std::int32_t runAlone(detail::Statement& st, const std::vector<val::In>& in) override;
    // Sent down the pipeline with a sync of its own: the server commits it
    // alone, and a failure of it touches nothing that follows.
    void runAhead(detail::Statement& st, const std::vector<val::In>& in) override;
    // The statement and COMMIT in one request, each with a sync of its own:
    // a failed statement leaves a failed transaction, which the COMMIT rolls
    // back.
    std::int32_t runAndCommit(detail::Statement& st, const std::vector<val::In>& in) override;
    std::uint64_t requests() const override { return requests_; }
    // Up to a batch and one row more in one round trip; a longer result is
    // run again as a held cursor, which the server materialises at open.
    std::int32_t open(detail::Statement& st, const std::vector<val::In>& in,
                      std::unique_ptr<CursorState>& cursor) override;

    // For the cursors of this connection.
    bool alive() const { return conn_ && !broken_ && PQstatus(conn_) == CONNECTION_OK; }
    PGconn* conn() const { return conn_; }
    std::int32_t resultError(const PGresult* r) const;
    // Runs one statement sql without parameters and waits for its answer
    // (and for those of everything sent ahead).
    PGresult* query(const char* sql);
    // query without results.
    std::int32_t command(const char* sql);
    // The row of r delivered to out. A row with a character that
    // Windows-1252 cannot hold gives err::Untranslatable: a cursor's row is delivered all
    // the same, with "?" in its place, so that the caller can name it; a
    // single-row select leaves the buffers as they were.
    std::int32_t deliverRow(const PGresult* r, int row, Binds out, bool cursor);

private:
    // What becomes of the answer to a statement sent ahead: nothing looks at
    // it, it is kept (kept_) for the request after it, or it is the answer to
    // an exclusive section's lock, whose refusal is the section's result.
    enum class Ahead : std::uint8_t { Drop, Keep, Lock };
    // Sends one statement ahead in pipeline mode, with a sync of its own;
    // send() issues it.
    template <class Send>
    void ahead(Send send, Ahead what);
    void sendAhead(const char* sql);
    void sendAheadPrepared(const Prepared& p, Ahead what);
    // A request the client waits for: send() issues it; when statements were
    // sent ahead, it goes down the pipeline after them and their answers are
    // read first. exec() is the same request outside pipeline mode.
    template <class Send, class Exec>
    PGresult* ask(Send send, Exec exec);
    // The results of one sync segment; the last one, or null.
    PGresult* segment();
    bool awaitResult();
    // Marks the connection lost when the client itself failed to get an
    // answer (no answer, or an error without SQLSTATE: a failed poll or
    // read). Where in the protocol such a failure left it nobody knows, so
    // later answers could belong to other statements.
    void lostUnless(const PGresult* r);

    Prepared& prepared(detail::Statement& st);
    std::int32_t prepare(const Prepared& p, const char* suffix, const std::string& sql, bool& done);
    PGresult* execPrepared(const Prepared& p, const char* suffix);
    // The text form of every input in values_; err::Untranslatable for a text that the
    // server's encoding cannot take.
    std::int32_t params(const std::vector<val::In>& in);

    PGconn* conn_ = nullptr;
    std::uint64_t requests_ = 0;
    bool broken_ = false;       // see lostUnless
    std::vector<Ahead> ahead_;  // sent ahead, answer not read yet
    // The code with which the server refused the exclusive section's lock:
    // every statement of the section answers with it until the section ends.
    std::int32_t heldOff_ = 0;
    bool aheadInTxn_ = false;  // a transaction is open once what was sent ahead has run
    PGresult* kept_ = nullptr;
    int nextId_ = 0;
    int cursorCounter_ = 0;
    std::vector<const char*> values_;
    std::vector<std::array<char, 32>> numbers_;
    std::vector<std::string> copies_;
    bool recode_ = false;
    iconv_t toServer_ = reinterpret_cast<iconv_t>(-1);
    iconv_t fromServer_ = reinterpret_cast<iconv_t>(-1);
    std::vector<val::Cell> cells_;    // the row being delivered
    std::vector<std::string> texts_;  // its converted texts
};

// The first rows of the result, or the FETCH batches of a held cursor.
class Cursor final : public CursorState {
public:
    explicit Cursor(Connection& c) : conn_(c) {}
    ~Cursor() override { PQclear(batch_); }
    // The whole result in r (which the cursor now owns).
    void holdAll(PGresult* r);
    // The rows come from the held cursor name.
    void holdCursor(std::string name) { name_ = std::move(name); }
    std::int32_t fetch(Binds out) override;
    void close() override;

private:
    Connection& conn_;
    PGresult* batch_ = nullptr;
    std::size_t rows_ = 0;
    std::size_t pos_ = 0;
    std::string name_;  // held cursor; empty when the first rows were all
    bool done_ = false;
};

}  // namespace rt::pg
