// Start-up of the built program: message log, connect, argument count, run
// context and the choice of the run mode, seen from outside.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tests/e2e/ConcurrencySupport.h"
#include "tests/support/E2e.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestDb.h"
#include "util/Config.h"

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kFiveArgs = {"000000004711", "00010", "000000004711", "00010", "ERF1"};

// The entry's date and time lie between the two clock readings around the run.
void expectWrittenDuring(const e2e::LogEntry& e, std::time_t before, std::time_t after) {
    std::tm t{};
    ASSERT_EQ(std::sscanf((e.date + " " + e.time).c_str(), "%2d.%2d.%2d %2d:%2d:%2d", &t.tm_mday, &t.tm_mon, &t.tm_year,
                          &t.tm_hour, &t.tm_min, &t.tm_sec),
              6);
    t.tm_mon -= 1;
    t.tm_year += 100;
    t.tm_isdst = -1;
    const std::time_t at = std::mktime(&t);
    EXPECT_GE(at, before - 1);
    EXPECT_LE(at, after + 1);
}

// The exact bytes of one FMSG entry as the log parser read its date and time.
std::string fmsgBytes(const e2e::LogEntry& e, const std::string& message, const std::string& funktion,
                      const std::string& code) {
    return "\xFE\r\nSystem-Date: " + e.date + "\r\nSystem-Time: " + e.time +
           "\r\nMsgArt_____: FMSG \r\nMessage____: " + message + "\r\nFunktion___: " + funktion +
           "\r\nErrorCode__: " + code + "\r\n";
}

struct TreeGuard {
    e2e::Tree tree;
    ~TreeGuard() { e2e::removeTree(tree); }
};

TEST(Startup, FailedConnectEndsTheRunWhateverTheArguments) {
    // No configuration file at all: NET8 is empty.
    TreeGuard g{e2e::makeEmptyTree()};
    for (const auto& args : {kFiveArgs, std::vector<std::string>{"a", "b", "c"}}) {
        fs::remove_all(g.tree.workDir + "/Msg");
        const std::time_t before = std::time(nullptr);
        const e2e::Result r = e2e::run(g.tree, args);
        const std::time_t after = std::time(nullptr);
        EXPECT_EQ(r.status, 1);
        const std::string log = e2e::readLog(g.tree);
        const auto entries = e2e::parseLog(log);
        ASSERT_EQ(entries.size(), 1u) << log;
        EXPECT_EQ(log, fmsgBytes(entries[0], "Fehlerhafter Connect mit der DB ", "dbConnect", "-12154"));
        expectWrittenDuring(entries[0], before, after);
    }
}

TEST(Startup, TwoProcessesStartedTogetherOnAFileNotInWalModeBothConnect) {
    const testdb::Db db = testdb::create(testdb::Backend::Sqlite);
    TreeGuard g{e2e::makeTree(db)};
    for (int paar = 0; paar < 10; ++paar) {
        testdb::sql(db, "PRAGMA journal_mode=DELETE");
        zuverlaessig::Hintergrund a(g.tree, kFiveArgs, {}, "a"), b(g.tree, kFiveArgs, {}, "b");
        EXPECT_EQ(a.warten(60), 0);
        EXPECT_EQ(b.warten(60), 0);
    }
    EXPECT_EQ(e2e::readLog(g.tree).find("dbConnect"), std::string::npos);
    testdb::destroy(db);
}

class Startup : public e2e::TreeTest {};

TEST_P(Startup, WrongArgumentCountIsLoggedWithTheCountAndEndsWithStatus0) {
    const struct {
        std::vector<std::string> args;
        std::string code;
    } cases[] = {{{"1", "2", "3", "4"}, "5"}, {{"1", "2", "3", "4", "5", "6"}, "7"}, {{}, "1"}};
    for (const auto& c : cases) {
        fs::remove_all(tree.workDir + "/Msg");
        const e2e::Result r = e2e::run(tree, c.args);
        EXPECT_EQ(r.status, 0);
        const std::string log = e2e::readLog(tree);
        const auto entries = e2e::parseLog(log);
        ASSERT_EQ(entries.size(), 1u) << log;
        EXPECT_EQ(log, fmsgBytes(entries[0], "Anzahl Parameter <> 6", "NZA_Ermitteln", c.code));
    }
    // Nothing else was done: the run parameters were not touched.
    EXPECT_EQ(testdb::value(db, "select count(*) from Hlx591Nzp"), "0");
}

TEST_P(Startup, FiveArgumentsRunWithTheFifthCutToEight) {
    fixtures::laufparameter(db);
    const e2e::Result r = e2e::run(tree, {"999999999999999", "00000", "000000000000", "99999", "ERFASSER10"});
    EXPECT_EQ(r.status, 0);
    for (const auto& e : e2e::parseLog(e2e::readLog(tree))) {
        EXPECT_NE(e.funktion, "dbConnect");
        EXPECT_NE(e.funktion, "NZA_Ermitteln");
    }
    // The run parameters are written back with the recorder identification as stored.
    EXPECT_EQ(testdb::value(db, "select NzpAus from Hlx591Nzp"), "ERFASSER");
}

TEST_P(Startup, MarkerModeOnlyForTwelveZerosAfterCutting) {
    // A marker whose position does not exist shows which mode ran: the
    // marker mode logs the failed read and deletes the marker.
    fixtures::Merker m;
    m.apk = "000000009999";
    const struct {
        std::string von, bis;
        bool markerMode;
    } cases[] = {
        {"0", "000000000000", false},
        {"00000000000", "00000000000", false},
        {"000000000000", "000000000001", false},
        {"0000000000000", "000000000000", true},  // thirteen zeros cut to twelve
        {"000000000000", "000000000000", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.von + " / " + c.bis);
        testdb::sql(db, "delete from Hlx563Mrk");
        fixtures::merker(db, m);
        fs::remove_all(tree.workDir + "/Msg");
        const e2e::Result r = e2e::run(tree, {c.von, "xxxxx", c.bis, "yyyyy", "ERF1"});
        EXPECT_EQ(r.status, 0);
        bool readFailed = false;
        for (const auto& e : e2e::parseLog(e2e::readLog(tree)))
            if (e.funktion == "Verarbeitung_MRK" && e.message == "App_PKeyReadk" && e.code == 1403) readFailed = true;
        EXPECT_EQ(readFailed, c.markerMode);
        EXPECT_EQ(testdb::value(db, "select count(*) from Hlx563Mrk"), c.markerMode ? "0" : "1");
    }
}

// What the run cannot work without stops it as a failed connect does: one
// entry whose code names the cause, one line on standard error that names it
// and the file, status 1, nothing evaluated (the marker stays).
TEST_P(Startup, FailuresThatStopTheStartAreNamed) {
    fixtures::laufparameter(db);
    fixtures::merker(db, fixtures::Merker{});
    const std::string gueltig = zuverlaessig::dateiLesen(tree.iniPath);
    const auto ini = [&](const std::string& bytes) { std::ofstream(tree.iniPath, std::ios::trunc) << bytes; };
    const bool pg = db.backend == testdb::Backend::Postgres;
    // The service user nobody reaches the tree, but owns no file in it.
    for (const std::string& d : {tree.root, tree.root + "/files", tree.root + "/a", tree.root + "/a/b",
                                 tree.root + "/a/b/c", tree.workDir, db.dir})
        if (!d.empty()) fs::permissions(d, fs::perms::all);
    const std::string lesbar = "do $$ begin execute format('alter database %I set default_transaction_read_only = ";
    const struct {
        const char* fall;
        std::function<void()> vorher, nachher;
        bool nobody;
        std::string zeile;
        long code;
    } faelle[] = {
        {"read-only",
         [&] {
             if (pg) testdb::sql(db, lesbar + "on', current_database()); end $$");
         },
         [&] {
             if (pg) testdb::sql(db, "set transaction read write; " + lesbar + "off', current_database()); end $$");
         },
         !pg, "the database cannot be written: -16000 ReadOnly: the database is read-only", -16000},
        {"tables", [&] { testdb::sql(db, "drop table Hlx554Err"); }, nullptr, false,
         "the database lacks the tables Hlx554Err (korvimand-admin init-db creates them)", -942},
        {"no NET8", [&] { ini(Cfg_DbLoginFile("u", "p", "")); }, nullptr, false, "no NET8 in " + tree.iniPath, -12154},
        {"unreadable", [&] { fs::permissions(tree.iniPath, fs::perms::owner_read | fs::perms::owner_write); }, nullptr,
         true, "configuration " + tree.iniPath + " not readable: permission denied", -12154},
        {"missing", [&] { fs::remove(tree.iniPath); }, [&] { ini(gueltig); }, false,
         "configuration not found at " + tree.iniPath, -12154},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.fall);
        fs::remove_all(tree.workDir + "/Msg");
        f.vorher();
        std::vector<std::string> args = {"000000000000", "00000", "000000000000", "00000", "ERF1"};
        if (f.nobody) args.insert(args.begin(), {"-u", "nobody", "--", KORVIMAND_BIN});
        // The wrapper that changes the user is no program of ours: never under valgrind.
        const char* vg = std::getenv("KORVIMAND_VALGRIND");
        const std::string valgrind = vg ? vg : "";
        if (f.nobody) ::unsetenv("KORVIMAND_VALGRIND");
        const e2e::Result r = e2e::runProgram(tree, f.nobody ? "/usr/sbin/runuser" : KORVIMAND_BIN, args);
        if (!valgrind.empty()) ::setenv("KORVIMAND_VALGRIND", valgrind.c_str(), 1);
        if (f.nachher) f.nachher();
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "korvimand: " + f.zeile + "\n");
        const auto log = e2e::parseLog(e2e::readLog(tree));
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(log[0].funktion, "dbConnect");
        EXPECT_EQ(log[0].code, f.code);
        EXPECT_EQ(testdb::value(db, "select count(*) from Hlx563Mrk"), "1");
        // Nothing beside the SQLite file that a later run could not remove.
        if (!pg) {
            EXPECT_FALSE(fs::exists(db.net8.substr(7) + "-wal"));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, Startup, ::testing::ValuesIn(testdb::backends()),
                         [](const auto& info) { return std::string(testdb::name(info.param)); });

}  // namespace
