// The session, the statement cache, the transaction rules and the write
// convention; the backends (SqliteBackend.cpp, PostgresBackend.cpp) run what
// this file hands them.
#include "db/runtime/Runtime.h"

#include <strings.h>

#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>

#include "db/runtime/Backend.h"
#include "db/runtime/ErrorMap.h"
#include "db/schema/SchemaText.h"

namespace rt {
namespace {

enum class Be : std::uint8_t { None, Sqlite, Postgres };

struct Session {
    Be be = Be::None;
    // The savepoint whose statement began the open transaction: rolling back
    // to it leaves nothing, so the transaction ends there.
    std::string openedBy;
    bool atomic = false;
    int busyMs = 30000;
    // Table operations pass string literals: the address finds the entry,
    // the text confirms it (a caller may reuse a buffer for another text).
    std::unordered_map<const char*, detail::Statement*> byAddress;
    std::unordered_map<std::string, std::unique_ptr<detail::Statement>> byText;
    int nextId = 0;
    detail::CursorBase cursors;  // list head of the open cursors
};

Session s;
std::vector<val::In> scratch;

bool isSq() { return s.be == Be::Sqlite; }

bool inTxn() { return isSq() ? sqlite::inTransaction() : pg::inTransaction(); }

bool iequal(const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

detail::Statement* statement(const char* text) {
    auto it = s.byAddress.find(text);
    if (it != s.byAddress.end() && it->second->text.compare(text) == 0) return it->second;
    std::unique_ptr<detail::Statement>& e = s.byText[text];
    if (!e) {
        e = std::make_unique<detail::Statement>();
        e->text = text;
        e->translateError = dialect::translate(
            e->text, isSq() ? dialect::Backend::Sqlite : dialect::Backend::Postgres, e->tr);
        e->pgId = ++s.nextId;
    }
    s.byAddress[text] = e.get();
    return e.get();
}

std::int32_t run(detail::Statement& st, Binds out, bool guard) {
    return isSq() ? sqlite::run(st, scratch, out) : pg::run(st, scratch, out, guard);
}

std::int32_t beginTxn() { return isSq() ? sqlite::begin() : pg::begin(); }

std::int32_t control(const char* verb, const std::string& name) {
    return isSq() ? sqlite::control(verb, name) : pg::control(verb, name);
}

std::int32_t savepoint(const std::string& name) {
    if (!inTxn()) {
        if (std::int32_t rc = beginTxn()) return rc;
        s.openedBy = name;
    }
    return control("SAVEPOINT", name);
}

std::int32_t rollbackTo(const std::string& name) {
    if (!inTxn()) return -1086;
    std::int32_t rc = control("ROLLBACK TO SAVEPOINT", name);
    if (rc == 0 && !s.atomic && iequal(s.openedBy, name)) {
        // Nothing was written before the savepoint: end the transaction so
        // that no lock is held between operations.
        rc = isSq() ? sqlite::rollback() : pg::rollback();
        s.openedBy.clear();
    }
    return rc;
}

void unlink(CursorState* c) {
    c->prev->next = c->next;
    if (c->next) c->next->prev = c->prev;
    c->prev = c->next = nullptr;
}

void closeBackend(CursorState& c) {
    if (c.dead) return;
    if (isSq())
        sqlite::close(c);
    else
        pg::close(c);
}

std::uint64_t lockKey(const char* name) {
    std::uint64_t h = 1469598103934665603ull;  // FNV-1a
    for (const char* p = name; *p; ++p) h = (h ^ static_cast<unsigned char>(*p)) * 1099511628211ull;
    return h;
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
    if (!net8 || !*net8 || std::strcmp(net8, "sqlite:") == 0) return err::UnknownService;
    bool sq = std::strncmp(net8, "sqlite:", 7) == 0;
    std::int32_t rc = sq ? sqlite::connect(net8 + 7, s.busyMs, true) : pg::connect(login, password, net8, s.busyMs);
    if (rc != 0) return rc;
    const char* script = sq ? schema::sqliteText : schema::postgresText;
    std::string drops;
    for (const std::string& t : tablesOf(script)) {
        if (!(sq ? sqlite::tableExists(t) : pg::tableExists(t))) continue;
        existing += (existing.empty() ? "" : ", ") + t;
        drops += "DROP TABLE " + t + ";\n";
    }
    if (existing.empty() || replace) rc = sq ? sqlite::script((drops + script).c_str()) : pg::script((drops + script).c_str());
    else rc = 1;
    if (sq)
        sqlite::disconnect();
    else
        pg::disconnect();
    return rc;
}

std::int32_t connect(const char* login, const char* password, const char* net8) {
    disconnect();
    if (!net8) return err::UnknownService;
    std::int32_t rc;
    if (std::strncmp(net8, "sqlite:", 7) == 0) {
        if (net8[7] == '\0') return err::UnknownService;
        rc = sqlite::connect(net8 + 7, s.busyMs);
        if (rc == 0) s.be = Be::Sqlite;
    } else {
        if (net8[0] == '\0') return err::UnknownService;
        rc = pg::connect(login, password, net8, s.busyMs);
        if (rc == 0) s.be = Be::Postgres;
    }
    return rc;
}

void disconnect() {
    if (s.be == Be::None) return;
    for (detail::CursorBase* c = s.cursors.next; c; c = c->next) {
        closeBackend(*static_cast<CursorState*>(c));
        c->dead = true;
    }
    // The cursors stay owned by their rt::Cursor; they are only unlinked.
    while (s.cursors.next) unlink(static_cast<CursorState*>(s.cursors.next));
    if (isSq())
        for (auto& [text, st] : s.byText) sqlite::release(*st);
    s.byAddress.clear();
    s.byText.clear();
    if (isSq())
        sqlite::disconnect();
    else
        pg::disconnect();
    s.be = Be::None;
    s.openedBy.clear();
    s.atomic = false;
}

bool connected() { return s.be != Be::None; }
bool isSqlite() { return s.be == Be::Sqlite; }

void setBusyTimeout(int ms) {
    s.busyMs = ms;
    if (s.be == Be::Sqlite) sqlite::setBusyTimeout(ms);
    if (s.be == Be::Postgres) pg::setBusyTimeout(ms);
}

std::int32_t exec(const char* text, Binds in, Binds out) {
    if (!connected()) return err::NotConnected;
    detail::Statement* st = statement(text);
    if (st->translateError) return st->translateError;
    switch (st->tr.verb) {
    case dialect::Verb::Commit: return commit();
    case dialect::Verb::Rollback: return rollback();
    case dialect::Verb::Savepoint: return savepoint(st->tr.savepoint);
    case dialect::Verb::RollbackTo: return rollbackTo(st->tr.savepoint);
    case dialect::Verb::Select:
        if (st->tr.hasInto && st->tr.outputs != static_cast<int>(out.size())) return err::OutputCount;
        break;
    case dialect::Verb::Insert:
    case dialect::Verb::Update:
    case dialect::Verb::Delete:
        if (out.size() != 0) return err::OutputCount;
        break;
    }
    if (std::int32_t rc = val::inputs(in, st->tr.inputs, scratch)) return rc;
    if (st->tr.verb != dialect::Verb::Select && !inTxn()) {
        // A write outside the convention stays uncommitted until commit(),
        // as it would in any transactional session.
        if (std::int32_t rc = beginTxn()) return rc;
    }
    return run(*st, out, true);
}

std::int32_t write(const char* op, const char* text, Binds in) {
    if (!connected()) return err::NotConnected;
    detail::Statement* st = statement(text);
    if (st->translateError) return st->translateError;
    if (st->tr.verb == dialect::Verb::Select) return err::BadStatement;
    if (std::int32_t rc = val::inputs(in, st->tr.inputs, scratch)) return rc;
    if (!inTxn()) {
        // Nothing is pending, so savepoint, statement, commit or rollback to
        // the savepoint is the statement as a transaction of its own.
        if (isSq()) {
            if (std::int32_t rc = sqlite::begin()) return rc;
            std::int32_t rc = sqlite::run(*st, scratch, {});
            if (rc == 0) {
                // A commit that fails loses the write: report its code.
                if (std::int32_t c = sqlite::commit()) {
                    sqlite::rollback();
                    return c;
                }
            } else {
                sqlite::rollback();
            }
            return rc;
        }
        return pg::run(*st, scratch, {}, false);
    }
    std::string name = std::string(op) + "_Sp";
    if (std::int32_t rc = control("SAVEPOINT", name)) return rc;
    std::int32_t rc = run(*st, {}, false);
    if (rc == 0) {
        if (std::int32_t c = commit()) return c;
    } else {
        control("ROLLBACK TO SAVEPOINT", name);
    }
    return rc;
}

std::int32_t commit() {
    if (!connected()) return err::NotConnected;
    s.openedBy.clear();
    s.atomic = false;
    return isSq() ? sqlite::commit() : pg::commit();
}

std::int32_t rollback() {
    if (!connected()) return err::NotConnected;
    s.openedBy.clear();
    s.atomic = false;
    return isSq() ? sqlite::rollback() : pg::rollback();
}

std::int32_t atomicBegin(const char* name) {
    if (!connected()) return err::NotConnected;
    if (inTxn())
        if (std::int32_t rc = commit()) return rc;
    std::int32_t rc = beginTxn();
    if (rc == 0 && !isSq()) {
        rc = pg::lock(static_cast<std::int64_t>(lockKey(name)));
        if (rc != 0) pg::rollback();
    }
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
    if (std::int32_t rc = val::inputs(in, st->tr.inputs, scratch)) return rc;
    auto* cs = new CursorState;
    std::int32_t rc = isSq() ? sqlite::open(*cs, *st, scratch) : pg::open(*cs, *st, scratch);
    if (rc != 0) {
        closeBackend(*cs);
        delete cs;
        return rc;
    }
    cs->prev = &s.cursors;
    cs->next = s.cursors.next;
    if (cs->next) cs->next->prev = cs;
    s.cursors.next = cs;
    c.st = cs;
    return 0;
}

std::int32_t fetch(Cursor& c, Binds out) {
    if (!c.st || c.st->dead) return err::CursorNotOpen;
    return isSq() ? sqlite::fetch(*c.st, out) : pg::fetch(*c.st, out);
}

std::int32_t close(Cursor& c) {
    if (!c.st) return err::CursorNotOpen;
    CursorState* cs = c.st;
    c.st = nullptr;
    if (!cs->dead) {
        closeBackend(*cs);
        unlink(cs);
    }
    delete cs;
    return 0;
}

}  // namespace rt
