// dbConnect with the login of a real configuration file, and the codes of a
// connect that cannot succeed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "db/DbDb.h"
#include "db/runtime/Runtime.h"
#include "tests/support/TestDb.h"
#include "util/Config.h"

namespace {

using testdb::Backend;

// Writes the configuration file (and, for PostgreSQL, a service file naming
// the test database as service "korvitest") into the database's folder and
// points the program at them.
class Connect : public ::testing::Test {
protected:
    void TearDown() override {
        rt::disconnect();
        if (!cwd.empty()) std::filesystem::current_path(cwd);
        unsetenv("KORVIMAND_INI");
        unsetenv("PGSERVICEFILE");
        for (const testdb::Db& d : made) testdb::destroy(d);
    }
    const testdb::Db& make(Backend b) {
        made.push_back(testdb::create(b));
        const testdb::Db& db = made.back();
        if (b == Backend::Postgres) {
            // host=...&port=... of the URI, as service file lines.
            std::string q = db.net8.substr(db.net8.find('?') + 1);
            std::string host = q.substr(5, q.find('&') - 5), port = q.substr(q.find("port=") + 5);
            std::ofstream(db.dir + "/pg_service.conf")
                << "[korvitest]\nhost=" << host << "\nport=" << port << "\ndbname=" << db.login << "\n";
            setenv("PGSERVICEFILE", (db.dir + "/pg_service.conf").c_str(), 1);
        }
        return db;
    }
    void config(const testdb::Db& db, const std::string& login, const std::string& pass, const std::string& net8) {
        ASSERT_LE(net8.size(), CfgTextMax);
        std::ofstream(db.dir + "/helixonar.ini", std::ios::binary) << Cfg_DbLoginFile(login, pass, net8);
        setenv("KORVIMAND_INI", (db.dir + "/helixonar.ini").c_str(), 1);
    }
    void enter(const testdb::Db& db) {
        cwd = std::filesystem::current_path();
        std::filesystem::current_path(db.dir);
    }
    std::vector<testdb::Db> made;
    std::filesystem::path cwd;
};

TEST_F(Connect, SqliteFileRelativeToTheWorkingDirectory) {
    const testdb::Db& db = make(Backend::Sqlite);
    enter(db);
    config(db, "", "", "sqlite:korvimand.db");
    ASSERT_EQ(dbConnect(), 0);
    EXPECT_TRUE(rt::isSqlite());
    EXPECT_EQ(testdb::value(db, "pragma journal_mode"), "wal");
    EXPECT_EQ(dbCommit(), 0);
    EXPECT_EQ(dbRollback(), 0);
    rt::disconnect();
    EXPECT_EQ(dbCommit(), -3114);

    // A missing file is reported and never created.
    config(db, "", "", "sqlite:missing.db");
    EXPECT_EQ(dbConnect(), -27041);
    EXPECT_FALSE(std::filesystem::exists(db.dir + "/missing.db"));
    config(db, "", "", "sqlite:");
    EXPECT_EQ(dbConnect(), -12154);
    // Not a database at all.
    std::ofstream(db.dir + "/text.db") << "this is no database, only text long enough to have a header page";
    config(db, "", "", "sqlite:text.db");
    EXPECT_EQ(dbConnect(), -1578);
    EXPECT_FALSE(rt::connected());
}

TEST_F(Connect, PostgresLoginAndService) {
    if (testdb::sqliteOnly()) GTEST_SKIP() << "SQLite only (KORVIMAND_TEST_SQLITE_ONLY=1)";
    const testdb::Db& db = make(Backend::Postgres);
    config(db, db.login, db.password, "korvitest");
    ASSERT_EQ(dbConnect(), 0);
    EXPECT_FALSE(rt::isSqlite());
    std::int32_t n = -1;
    EXPECT_EQ(rt::exec("select count(*)  into :b0  from Hlx552Bnr where BnrKey=:b1", {rt::txt("X")}, {rt::i32(n)}), 0);
    EXPECT_EQ(n, 0);

    config(db, db.login, "wrong", "korvitest");
    EXPECT_EQ(dbConnect(), -1017);
    EXPECT_FALSE(rt::connected());
    config(db, "nosuchrole", "pw", "korvitest");
    EXPECT_EQ(dbConnect(), -1017);
    config(db, db.login, db.password, "nosuchservice");
    EXPECT_EQ(dbConnect(), -12154);
    EXPECT_EQ(rt::connect(db.login.c_str(), db.password.c_str(), "postgresql://127.0.0.1:1/x"), -12541);
    EXPECT_EQ(rt::connect(db.login.c_str(), db.password.c_str(), "service=korvitest dbname=nosuchdb"), -12514);
}

}  // namespace
