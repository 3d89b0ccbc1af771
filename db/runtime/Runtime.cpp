// The session, the statement cache, the transaction rules and the write
// convention; the open session's backend (db/runtime/Backend.h) runs what
// this file hands it.
#include "db/runtime/Runtime.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <unordered_map>

#include "db/runtime/Backend.h"
#include "db/runtime/ResultCodes.h"

namespace rt {
namespace {

// The head of the list of open cursors.
struct ListHead final : CursorState {
    std::int32_t fetch(Binds) override { return err::CursorNotOpen; }
    void close() override {}
};

struct Session {
    std::unique_ptr<detail::Backend> be;
    // The savepoint whose statement began the open transaction: rolling back
    // to it leaves nothing, so the transaction ends there.
    std::string openedBy;
    bool atomic = false;
    int busyMs = 30000;
    // KORVIMAND_SYNC=commit: every commit waits for the disk.
    bool everyCommit = false;
    // Whether the backend's next transaction waits for the disk at its commit.
    bool durable = false;
    // Table operations pass string literals: the address finds the entry,
    // the text confirms it (a caller may reuse a buffer for another text).
    std::unordered_map<const char*, detail::Statement*> byAddress;
    std::unordered_map<std::string, std::unique_ptr<detail::Statement>> byText;
    ListHead cursors;
    std::vector<val::In> scratch;
};

// Never destroyed: module-level cursors may close themselves at exit, after
// every other static object is gone; the process ends the connection. In
// static storage, as an allocation before main could only abort the process.
alignas(Session) unsigned char sessionSpeicher[sizeof(Session)];
Session& s = *new (sessionSpeicher) Session{};

bool inTxn() { return s.be->inTransaction(); }

bool iequal(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

detail::Statement* statement(const char* text) {
    auto it = s.byAddress.find(text);
    if (it != s.byAddress.end() && it->second->text.compare(text) == 0) return it->second;
    std::unique_ptr<detail::Statement>& e = s.byText[text];
    if (!e) {
        e = std::make_unique<detail::Statement>();
        e->text = text;
        e->translateError = dialect::translate(e->text, s.be->dialect(), e->tr);
    }
    s.byAddress[text] = e.get();
    return e.get();
}

// Sets whether the next transaction's commit waits for the disk. Inside a
// transaction its commit keeps what it began with (SQLite cannot switch there).
void durableNext(bool on) {
    on = on || s.everyCommit;
    if (on == s.durable || inTxn()) return;
    s.be->setDurable(on);
    s.durable = on;
}

// Unset, empty or "upload": only the commits that hand something over wait;
// "commit" and anything unknown (the safe side): every commit waits.
bool everyCommitWanted() {
    const char* v = std::getenv("KORVIMAND_SYNC");
    return v && *v && std::strcmp(v, "upload") != 0;
}

// A transaction that the caller commits itself waits for the disk.
std::int32_t savepoint(const std::string& name) {
    if (!inTxn()) {
        durableNext(true);
        if (std::int32_t rc = s.be->begin()) return rc;
        s.openedBy = name;
    }
    return s.be->savepoint(name);
}

std::int32_t rollbackTo(const std::string& name) {
    if (!inTxn()) return err::NoSavepoint;
    std::int32_t rc = s.be->rollbackTo(name);
    if (rc == 0 && !s.atomic && iequal(s.openedBy, name)) {
        // Nothing was written before the savepoint: end the transaction so
        // that no lock is held between operations.
        rc = s.be->rollback();
        s.openedBy.clear();
    }
    return rc;
}

void unlink(CursorState* c) {
    c->prev->next = c->next;
    if (c->next) c->next->prev = c->prev;
    c->prev = c->next = nullptr;
}

// The tables a schema script creates, in its order.
std::vector<std::string> tablesOf(const char* script) {
    std::vector<std::string> names;
    const char* p = script;
    while ((p = std::strstr(p, "CREATE TABLE ")) != nullptr) {
        p += 13;
        const char* e = p;
        while (*e && *e != ' ' && *e != '(') ++e;
        names.emplace_back(p, e);
    }
    return names;
}

}  // namespace

std::int32_t createTables(const char* login, const char* password, const char* net8, bool replace,
                          std::string& existing) {
    disconnect();
    existing.clear();
    std::unique_ptr<detail::Backend> be;
    if (std::int32_t rc = detail::connectBackend(login, password, net8, s.busyMs, true, be)) return rc;
    const char* script = be->schema();
    std::string drops;
    for (const std::string& t : tablesOf(script)) {
        if (!be->tableExists(t)) continue;
        existing += (existing.empty() ? "" : ", ") + t;
        drops += "DROP TABLE " + t + ";\n";
    }
    if (existing.empty() || replace) return be->script((drops + script).c_str());
    return err::TablesExist;
}

std::int32_t connect(const char* login, const char* password, const char* net8) {
    disconnect();
    std::int32_t rc = detail::connectBackend(login, password, net8, s.busyMs, false, s.be);
    s.everyCommit = everyCommitWanted();
    if (rc == 0) durableNext(false);
    return rc;
}

void disconnect() {
    if (!s.be) return;
    for (CursorState* c = s.cursors.next; c; c = c->next) {
        c->close();
        c->dead = true;
    }
    // The cursors stay owned by their rt::Cursor; they are only unlinked.
    while (s.cursors.next) unlink(s.cursors.next);
    s.byAddress.clear();
    s.byText.clear();
    s.be.reset();
    s.openedBy.clear();
    s.atomic = false;
    s.durable = false;
}

std::int32_t checkReady(std::string& missing) {
    missing.clear();
    if (!connected()) return err::NotConnected;
    for (const std::string& t : tablesOf(s.be->schema()))
        if (!s.be->tableExists(t)) missing += (missing.empty() ? "" : ", ") + t;
    if (!missing.empty()) return err::NoSuchTable;
    return s.be->readOnly() ? err::ReadOnly : 0;
}

void checkpoint() {
    if (connected()) s.be->checkpoint();
}

std::int32_t backup(const char* file) { return connected() ? s.be->backup(file) : err::NotConnected; }

bool connected() { return s.be != nullptr; }
bool isSqlite() { return s.be && s.be->dialect() == dialect::Backend::Sqlite; }

void setBusyTimeout(int ms) {
    s.busyMs = ms;
    if (s.be) s.be->setBusyTimeout(ms);
}

std::int32_t exec(const char* text, Binds in, Binds out) {
    if (!connected()) return err::NotConnected;
    detail::Statement* st = statement(text);
    if (st->translateError) return st->translateError;
    switch (st->tr.verb) {
        case dialect::Verb::Commit:
            return commit();
        case dialect::Verb::Rollback:
            return rollback();
        case dialect::Verb::Savepoint:
            return savepoint(st->tr.savepoint);
        case dialect::Verb::RollbackTo:
            return rollbackTo(st->tr.savepoint);
        case dialect::Verb::Select:
            if (st->tr.hasInto && st->tr.outputs != static_cast<int>(out.size())) return err::OutputCount;
            break;
        case dialect::Verb::Insert:
        case dialect::Verb::Update:
        case dialect::Verb::Delete:
            if (out.size() != 0) return err::OutputCount;
            break;
    }
    if (std::int32_t rc = val::inputs(in, st->tr.inputs, s.scratch)) return rc;
    if (st->tr.verb != dialect::Verb::Select && !inTxn()) {
        // A write outside the convention stays uncommitted until commit(),
        // as it would in any transactional session.
        durableNext(true);
        if (std::int32_t rc = s.be->begin()) return rc;
    }
    return s.be->run(*st, s.scratch, out, true);
}

namespace {

std::int32_t writeAndCommit(const char* op, const char* text, Binds in, bool durable) {
    if (!connected()) return err::NotConnected;
    detail::Statement* st = statement(text);
    if (st->translateError) return st->translateError;
    if (st->tr.verb == dialect::Verb::Select) return err::BadStatement;
    if (std::int32_t rc = val::inputs(in, st->tr.inputs, s.scratch)) return rc;
    // Nothing is pending, so savepoint, statement, commit or rollback to the
    // savepoint is the statement as a transaction of its own.
    if (!inTxn()) {
        durableNext(durable);
        return s.be->runAlone(*st, s.scratch);
    }
    std::string name = std::string(op) + "_Sp";
    if (std::int32_t rc = s.be->savepoint(name)) return rc;
    if (s.atomic) {
        // The section holds nothing but its reads: its write commits it.
        std::int32_t rc = s.be->runAndCommit(*st, s.scratch);
        if (!inTxn()) {
            s.openedBy.clear();
            s.atomic = false;
        } else if (rc != 0) {
            s.be->rollbackTo(name);
        }
        return rc;
    }
    std::int32_t rc = s.be->run(*st, s.scratch, {}, false);
    if (rc == 0) {
        if (std::int32_t c = commit()) return c;
    } else {
        s.be->rollbackTo(name);
    }
    return rc;
}

}  // namespace

std::int32_t write(const char* op, const char* text, Binds in) { return writeAndCommit(op, text, in, false); }

std::int32_t writeDurable(const char* op, const char* text, Binds in) { return writeAndCommit(op, text, in, true); }

void writeAhead(const char* op, const char* text, Binds in) {
    if (!connected()) return;
    detail::Statement* st = statement(text);
    if (st->translateError || st->tr.verb == dialect::Verb::Select || inTxn() ||
        val::inputs(in, st->tr.inputs, s.scratch) != 0) {
        write(op, text, in);
        return;
    }
    durableNext(false);
    s.be->runAhead(*st, s.scratch);
}

std::uint64_t requests() { return s.be ? s.be->requests() : 0; }

std::int32_t commit() {
    if (!connected()) return err::NotConnected;
    s.openedBy.clear();
    s.atomic = false;
    return s.be->commit();
}

std::int32_t rollback() {
    if (!connected()) return err::NotConnected;
    s.openedBy.clear();
    s.atomic = false;
    return s.be->rollback();
}

std::int32_t atomicBegin(const char* name) {
    if (!connected()) return err::NotConnected;
    if (inTxn())
        if (std::int32_t rc = commit()) return rc;
    durableNext(false);
    std::int32_t rc = s.be->beginExclusive(name);
    s.atomic = rc == 0;
    return rc;
}

void atomicEnd() {
    if (!connected()) return;
    if (inTxn()) commit();
    s.atomic = false;
}

std::int32_t open(Cursor& c, const char* text, Binds in) {
    if (c.st) close(c);
    if (!connected()) return err::NotConnected;
    detail::Statement* st = statement(text);
    if (st->translateError) return st->translateError;
    if (st->tr.verb != dialect::Verb::Select || st->tr.hasInto) return err::BadStatement;
    if (std::int32_t rc = val::inputs(in, st->tr.inputs, s.scratch)) return rc;
    std::unique_ptr<CursorState> cs;
    if (std::int32_t rc = s.be->open(*st, s.scratch, cs)) return rc;
    cs->prev = &s.cursors;
    cs->next = s.cursors.next;
    if (cs->next) cs->next->prev = cs.get();
    s.cursors.next = cs.get();
    c.st = cs.release();
    return 0;
}

std::int32_t fetch(Cursor& c, Binds out) {
    if (!c.st || c.st->dead) return err::CursorNotOpen;
    return c.st->fetch(out);
}

std::int32_t close(Cursor& c) {
    if (!c.st) return err::CursorNotOpen;
    CursorState* cs = c.st;
    c.st = nullptr;
    if (!cs->dead) {
        cs->close();
        unlink(cs);
    }
    delete cs;
    return 0;
}

Cursor& Cursor::operator=(Cursor&& o) noexcept {
    if (this != &o) {
        if (st) close(*this);
        st = o.st;
        o.st = nullptr;
    }
    return *this;
}

Cursor::~Cursor() {
    if (st) close(*this);
}

}  // namespace rt
