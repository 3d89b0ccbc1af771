// What an operator types by hand: --help and --version of both programs, and
// korvimand-admin log on the log a run wrote.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/E2e.h"
#include "tests/support/TestDb.h"
#include "util/Version.h"

namespace {

namespace fs = std::filesystem;

TEST(Kommandozeile, HelpAndVersionAnswerWithoutDatabaseOrLog) {
    const e2e::Tree tree = e2e::makeEmptyTree();
    const std::string version = kKorvimandVersion;
    const struct {
        const char* program;
        std::vector<std::string> args;
        std::string out;  // the start of standard output
    } cases[] = {
        {KORVIMAND_BIN, {"--version"}, "korvimand " + version + "\n"},
        {KORVIMAND_BIN, {"--help"}, "usage: korvimand VONAPK VONAPP BISAPK BISAPP ERFASSER\n"},
        {KORVIMAND_ADMIN_BIN, {"--version"}, "korvimand-admin " + version + "\n"},
        {KORVIMAND_ADMIN_BIN, {"--help"}, "usage: korvimand-admin COMMAND [ARGS]\n"},
        {KORVIMAND_ADMIN_BIN, {"help", "log"}, "usage: korvimand-admin log [--file F]"},
        {KORVIMAND_ADMIN_BIN, {"report", "--help"}, "usage: korvimand-admin report ["},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0]);
        const e2e::Result r = e2e::runProgram(tree, c.program, c.args);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out.substr(0, c.out.size()), c.out);
        EXPECT_EQ(r.err, "");
    }
    EXPECT_EQ(e2e::runProgram(tree, KORVIMAND_BIN, {"--version"}).out, "korvimand " + version + "\n");
    EXPECT_FALSE(fs::exists(tree.workDir + "/Msg"));

    // Anything else starts up as always: the connect (failing here) first.
    for (const auto& args : {std::vector<std::string>{"--help", "x"}, std::vector<std::string>{"-h"}}) {
        const e2e::Result r = e2e::run(tree, args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
    }
    const auto log = e2e::parseLog(e2e::readLog(tree));
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].funktion, "dbConnect");
    EXPECT_EQ(e2e::runProgram(tree, KORVIMAND_ADMIN_BIN, {"help", "nichts"}).status, 2);
    e2e::removeTree(tree);
}

TEST(Kommandozeile, LogShowsTheRunsEntriesAndATornOne) {
    const testdb::Db db = testdb::create(testdb::Backend::Sqlite);
    const e2e::Tree tree = e2e::makeTree(db);
    const auto admin = [&](const std::vector<std::string>& args) {
        return e2e::runProgram(tree, KORVIMAND_ADMIN_BIN, args);
    };
    ASSERT_EQ(e2e::run(tree, {"a", "b"}).status, 0);
    const std::string erster = e2e::readLog(tree);
    std::ofstream(tree.logPath, std::ios::binary | std::ios::app) << "\xFE\r\nSystem-Date: 01.01.";
    ASSERT_EQ(e2e::run(tree, {"a", "b", "c", "d", "e", "f"}).status, 0);

    const auto zeilenVon = [](const std::string& out) {
        std::vector<std::string> z;
        for (std::size_t p = 0, e; (e = out.find('\n', p)) != std::string::npos; p = e + 1)
            z.push_back(out.substr(p, e - p));
        return z;
    };
    e2e::Result r = admin({"log", "--csv"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> zeilen = zeilenVon(r.out);
    ASSERT_EQ(zeilen.size(), 4u) << r.out;
    const e2e::LogEntry e = e2e::parseLog(erster).at(0);
    const std::string wann = std::string("20")
                                 .append(e.date, 6, 2)
                                 .append("-")
                                 .append(e.date, 3, 2)
                                 .append("-")
                                 .append(e.date, 0, 2)
                                 .append(",")
                                 .append(e.time);
    EXPECT_EQ(zeilen[0], "date,time,kind,function,message,code");
    EXPECT_EQ(zeilen[1], wann + ",FMSG,NZA_Ermitteln,Anzahl Parameter <> 6,3");
    EXPECT_EQ(zeilen[2], std::string(",,torn,,22 bytes at byte ")
                             .append(std::to_string(erster.size()))
                             .append(": \\xFE\\r\\nSystem-Date: 01.01.,"));
    EXPECT_EQ(zeilen[3].substr(19), ",FMSG,NZA_Ermitteln,Anzahl Parameter <> 6,7");

    // A filter keeps the torn entry: what it would be filtered on is lost.
    r = admin({"log", "--since", "20690101", "--function", "NZA_Ermitteln"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("torn"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("Anzahl"), std::string::npos) << r.out;
    EXPECT_EQ(admin({"log", "--since", "2026"}).status, 2);
    // the entry of the --since second itself is shown
    std::string sekunde = wann;
    std::erase_if(sekunde, [](char c) { return c < '0' || c > '9'; });
    EXPECT_EQ(zeilenVon(admin({"log", "--since", sekunde, "--csv"}).out), zeilen) << sekunde;
    // --all shows the backup's entries first
    std::ofstream(tree.workDir + "/Msg/Korvimand.old", std::ios::binary) << erster;
    const std::vector<std::string> alle = zeilenVon(admin({"log", "--all", "--csv"}).out);
    ASSERT_EQ(alle.size(), 5u);
    EXPECT_EQ(alle[1], zeilen[1]);
    EXPECT_EQ(alle[2], zeilen[1]);
    e2e::removeTree(tree);
    testdb::destroy(db);
}

}  // namespace
