// The nightly routine on a database that init-db made: a first run logs
// nothing, the check after it finds what was logged, the SQLite file is
// whole without its WAL, and a backup is a copy of it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/E2e.h"
#include "tests/support/TestDb.h"

namespace {

namespace fs = std::filesystem;
using Betrieb = e2e::TreeTest;

TEST_P(Betrieb, FirstRunIsCleanTheCheckSeesFailuresAndABackupIsACopy) {
    ASSERT_EQ(admin({"init-db", "--force"}).status, 0);
    EXPECT_EQ(e2e::run(tree, {"000000000000", "00000", "999999999999", "99999", "ERF1"}).status, 0);
    EXPECT_EQ(e2e::readLog(tree), "");
    EXPECT_EQ(testdb::value(db, "select NzpAus from Hlx591Nzp"), "ERF1");
    EXPECT_EQ(admin({"log", "--failures"}).status, 0);
    ASSERT_EQ(e2e::run(tree, {"1"}).status, 0);
    const e2e::Result r = admin({"log", "--failures", "--since", "19800101"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("NZA_Ermitteln"), std::string::npos) << r.out;

    const std::string kopie = tree.root + "/kopie.db";
    const e2e::Result b = admin({"backup", kopie});
    EXPECT_EQ(b.status, 1 - static_cast<int>(db.backend == testdb::Backend::Sqlite));
    if (db.backend == testdb::Backend::Postgres) {
        EXPECT_NE(b.err.find("pg_dump"), std::string::npos) << b.err;
        return;
    }
    EXPECT_FALSE(fs::exists(db.net8.substr(7) + "-wal"));
    testdb::Db copy = db;
    copy.net8 = "sqlite:" + kopie;
    EXPECT_EQ(testdb::value(copy, "select NzpAus from Hlx591Nzp"), "ERF1");
    EXPECT_NE(admin({"backup", kopie}).err.find("exists already"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Backends, Betrieb, ::testing::ValuesIn(testdb::backends()),
                         [](const auto& info) { return std::string(testdb::name(info.param)); });

}  // namespace
