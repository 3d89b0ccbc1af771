#include "tests/support/TestDb.h"

#include <libpq-fe.h>
#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>

#include "db/runtime/Runtime.h"
#include "db/schema/SchemaText.h"

namespace testdb {
namespace {

const char* adminUri() {
    const char* v = std::getenv("KORVIMAND_TEST_PG");
    return v && *v ? v : nullptr;
}

const char* const kOhneServer =
    "start one with eval \"$(scripts/pg-start)\", or set KORVIMAND_TEST_SQLITE_ONLY=1 to test SQLite only";

std::string tempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/korvimand-test-XXXXXX";
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("testdb: cannot create a temporary folder");
    return tmpl;
}

std::string uniqueName() {
    static std::atomic<int> counter{0};
    static const unsigned salt = std::random_device{}();
    char buf[64];
    std::snprintf(buf, sizeof buf, "korvi_t%d_%d_%x", static_cast<int>(getpid()), ++counter, salt & 0xffffu);
    return buf;
}

// A superuser connection to the test server; dbname overrides the URI's.
PGconn* adminConnect(const std::string& dbname) {
    const char* uri = adminUri();
    if (!uri)
        throw std::runtime_error(std::string("testdb: no PostgreSQL server (KORVIMAND_TEST_PG is not set): ") +
                                 kOhneServer);
    const char* keys[] = {"dbname", "dbname", "client_encoding", nullptr};
    const char* vals[] = {uri, dbname.empty() ? nullptr : dbname.c_str(), "WIN1252", nullptr};
    PGconn* c = PQconnectdbParams(keys, vals, 1);
    if (PQstatus(c) != CONNECTION_OK) {
        std::string msg = PQerrorMessage(c);
        PQfinish(c);
        throw std::runtime_error("testdb: cannot connect to KORVIMAND_TEST_PG: " + msg + kOhneServer);
    }
    return c;
}

void pgRun(PGconn* c, const std::string& sql) {
    PGresult* r = PQexec(c, sql.c_str());
    ExecStatusType t = PQresultStatus(r);
    std::string msg = PQresultErrorMessage(r);
    PQclear(r);
    if (t != PGRES_COMMAND_OK && t != PGRES_TUPLES_OK) throw std::runtime_error("testdb: " + msg + "in: " + sql);
}

// The fixture connection of a PostgreSQL test database: the superuser acting
// as the database's owner, so that what a fixture creates the owner can use.
PGconn* pgFixture(const Db& db) {
    PGconn* c = adminConnect(db.login);
    try {
        pgRun(c, "SET ROLE " + db.login);
    } catch (...) {
        PQfinish(c);
        throw;
    }
    return c;
}

sqlite3* sqliteOpen(const Db& db) {
    sqlite3* h = nullptr;
    std::string path = db.net8.substr(7);
    if (sqlite3_open_v2(path.c_str(), &h, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        std::string msg = h ? sqlite3_errmsg(h) : "out of memory";
        sqlite3_close(h);
        throw std::runtime_error("testdb: cannot open " + path + ": " + msg);
    }
    sqlite3_busy_timeout(h, 10000);
    return h;
}

void sqliteRun(sqlite3* h, const std::string& sql) {
    char* msg = nullptr;
    if (sqlite3_exec(h, sql.c_str(), nullptr, nullptr, &msg) != SQLITE_OK) {
        std::string m = msg ? msg : "error";
        sqlite3_free(msg);
        throw std::runtime_error("testdb: " + m + " in: " + sql);
    }
}

}  // namespace

bool sqliteOnly() {
    const char* v = std::getenv("KORVIMAND_TEST_SQLITE_ONLY");
    return v && std::string(v) == "1";
}

std::vector<Backend> backends() {
    if (sqliteOnly()) return {Backend::Sqlite};
    return {Backend::Sqlite, Backend::Postgres};
}

const char* name(Backend b) { return b == Backend::Sqlite ? "sqlite" : "postgres"; }

Db create(Backend b) {
    Db db;
    db.backend = b;
    db.dir = tempDir();
    if (b == Backend::Sqlite) {
        std::string path = db.dir + "/korvimand.db";
        db.net8 = "sqlite:" + path;
        sqlite3* h = nullptr;
        if (sqlite3_open_v2(path.c_str(), &h, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
            sqlite3_close(h);
            throw std::runtime_error("testdb: cannot create " + path);
        }
        try {
            sqliteRun(h, "PRAGMA journal_mode=WAL");
            sqliteRun(h, schema::sqliteText);
        } catch (...) {
            sqlite3_close(h);
            throw;
        }
        sqlite3_close(h);
        return db;
    }
    std::string n = uniqueName();
    db.login = n;
    db.password = "pw_" + n;
    PGconn* c = adminConnect("");
    try {
        pgRun(c, "CREATE ROLE " + n + " LOGIN PASSWORD '" + db.password + "'");
        pgRun(c, "CREATE DATABASE " + n + " OWNER " + n +
                     " TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C'");
    } catch (...) {
        PQfinish(c);
        throw;
    }
    std::string host = PQhost(c) ? PQhost(c) : "";
    std::string port = PQport(c) ? PQport(c) : "";
    PQfinish(c);
    db.net8 = "postgresql:///" + n + "?host=" + host + "&port=" + port;
    PGconn* f = pgFixture(db);
    try {
        pgRun(f, schema::postgresText);
    } catch (...) {
        PQfinish(f);
        throw;
    }
    PQfinish(f);
    return db;
}

Db createConnected(Backend b) {
    Db db = create(b);
    std::int32_t rc = rt::connect(db.login.c_str(), db.password.c_str(), db.net8.c_str());
    if (rc != 0) throw std::runtime_error("testdb: rt::connect gave " + std::to_string(rc) + " for " + db.net8);
    return db;
}

void sql(const Db& db, const std::string& statements) {
    if (db.backend == Backend::Sqlite) {
        sqlite3* h = sqliteOpen(db);
        try {
            sqliteRun(h, statements);
        } catch (...) {
            sqlite3_close(h);
            throw;
        }
        sqlite3_close(h);
        return;
    }
    PGconn* c = pgFixture(db);
    try {
        pgRun(c, statements);
    } catch (...) {
        PQfinish(c);
        throw;
    }
    PQfinish(c);
}

std::vector<std::string> column(const Db& db, const std::string& query) {
    std::vector<std::string> out;
    if (db.backend == Backend::Sqlite) {
        sqlite3* h = sqliteOpen(db);
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(h, query.c_str(), -1, &st, nullptr) != SQLITE_OK) {
            std::string m = sqlite3_errmsg(h);
            sqlite3_close(h);
            throw std::runtime_error("testdb: " + m + " in: " + query);
        }
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            const unsigned char* t = sqlite3_column_text(st, 0);
            out.emplace_back(t ? reinterpret_cast<const char*>(t) : "");
        }
        std::string m = sqlite3_errmsg(h);
        sqlite3_finalize(st);
        sqlite3_close(h);
        if (rc != SQLITE_DONE) throw std::runtime_error("testdb: " + m + " in: " + query);
        return out;
    }
    PGconn* c = pgFixture(db);
    PGresult* r = PQexec(c, query.c_str());
    if (PQresultStatus(r) != PGRES_TUPLES_OK) {
        std::string m = PQresultErrorMessage(r);
        PQclear(r);
        PQfinish(c);
        throw std::runtime_error("testdb: " + m + "in: " + query);
    }
    for (int i = 0; i < PQntuples(r); ++i) out.emplace_back(PQgetisnull(r, i, 0) ? "" : PQgetvalue(r, i, 0));
    PQclear(r);
    PQfinish(c);
    return out;
}

std::string value(const Db& db, const std::string& query) {
    std::vector<std::string> v = column(db, query);
    return v.empty() ? std::string() : v.front();
}

void destroy(const Db& db) {
    if (db.backend == Backend::Postgres && !db.login.empty() && adminUri()) {
        PGconn* c = adminConnect("");
        PQclear(PQexec(c, ("DROP DATABASE IF EXISTS " + db.login + " WITH (FORCE)").c_str()));
        PQclear(PQexec(c, ("DROP ROLE IF EXISTS " + db.login).c_str()));
        PQfinish(c);
    }
    std::error_code ec;
    if (!db.dir.empty()) std::filesystem::remove_all(db.dir, ec);
}

}  // namespace testdb
