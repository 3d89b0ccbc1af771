// korvimand-admin init-db as the operator runs it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/support/TestDb.h"

namespace {

// Runs korvimand-admin with args; returns its exit status and output.
int admin(const std::string& args, std::string& out) {
    std::string cmd = std::string("KORVIMAND_INI=/nonexistent ") + KORVIMAND_ADMIN_BIN + " " + args + " 2>&1";
    FILE* p = popen(cmd.c_str(), "r");
    out.clear();
    char buf[512];
    while (p && fgets(buf, sizeof buf, p)) out += buf;
    int st = p ? pclose(p) : -1;
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

TEST(InitDb, SqliteCreatesTheFileOnceAndReplacesOnlyWithForce) {
    testdb::Db db = testdb::create(testdb::Backend::Sqlite);
    std::string path = db.dir + "/new.db";
    std::string out;
    ASSERT_EQ(admin("init-db --net8 sqlite:" + path, out), 0) << out;
    testdb::Db made = db;
    made.net8 = "sqlite:" + path;
    EXPECT_EQ(testdb::value(made, "select count(*) from sqlite_master where type='table'"), "14");
    EXPECT_EQ(testdb::value(made, "pragma journal_mode"), "wal");
    testdb::sql(made, "insert into Hlx552Bnr (BnrKey, BnrBnr) values ('PPSNR', 7)");

    EXPECT_EQ(admin("init-db --net8 sqlite:" + path, out), 1);
    EXPECT_NE(out.find("Hlx552Bnr"), std::string::npos) << out;
    EXPECT_EQ(testdb::value(made, "select BnrBnr from Hlx552Bnr"), "7");

    ASSERT_EQ(admin("init-db --force --net8 sqlite:" + path, out), 0) << out;
    EXPECT_EQ(testdb::value(made, "select count(*) from Hlx552Bnr"), "0");

    EXPECT_EQ(admin("init-db --net8 sqlite:" + db.dir + "/no/such/folder.db", out), 1);
    EXPECT_NE(out.find("-27041"), std::string::npos) << out;
    EXPECT_EQ(admin("init-db --bogus", out), 2);
    testdb::destroy(db);
}

TEST(InitDb, PostgresRefusesAnInitialisedDatabaseAndReplacesWithForce) {
    if (testdb::sqliteOnly()) GTEST_SKIP() << "SQLite only (KORVIMAND_TEST_SQLITE_ONLY=1)";
    testdb::Db db = testdb::create(testdb::Backend::Postgres);
    std::string q = db.net8.substr(db.net8.find('?'));
    std::string uri = "postgresql://" + db.login + ":" + db.password + "@/" + db.login + q;
    testdb::sql(db, "insert into Hlx552Bnr (BnrKey, BnrBnr) values ('PPSNR', 7)");
    std::string out;
    EXPECT_EQ(admin("init-db --net8 '" + uri + "'", out), 1);
    EXPECT_EQ(testdb::value(db, "select BnrBnr from Hlx552Bnr"), "7");
    ASSERT_EQ(admin("init-db --force --net8 '" + uri + "'", out), 0) << out;
    EXPECT_EQ(testdb::value(db, "select count(*) from Hlx552Bnr"), "0");
    EXPECT_EQ(testdb::value(db, "select count(*) from hlsystem.Hlx133Kal"), "0");
    std::string bad = "postgresql://" + db.login + ":wrong@/" + db.login + q;
    EXPECT_EQ(admin("init-db --net8 '" + bad + "'", out), 1);
    EXPECT_NE(out.find("-1017"), std::string::npos) << out;
    testdb::destroy(db);
}

}  // namespace
