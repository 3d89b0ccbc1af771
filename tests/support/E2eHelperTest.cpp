// The end-to-end helper itself: other tests trust its runs and its log parser.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "tests/support/E2e.h"
#include "util/Config.h"

namespace {

namespace fs = std::filesystem;

TEST(E2eHelper, TreeLayoutAndConfiguration) {
    e2e::Tree t = e2e::makeTree("user", "secret", "sqlite:/x/y.db");
    EXPECT_TRUE(fs::is_directory(t.workDir));
    EXPECT_EQ(fs::weakly_canonical(t.workDir + "/../../../../files/helixonar.ini"), fs::weakly_canonical(t.iniPath));
    EXPECT_EQ(Cfg_ReadValue("", "LOGIN", 0, t.iniPath), "user");
    EXPECT_EQ(Cfg_ReadValue("", "PASS", 0, t.iniPath), "secret");
    EXPECT_EQ(Cfg_ReadValue("", "NET8", 0, t.iniPath), "sqlite:/x/y.db");
    EXPECT_EQ(e2e::readLog(t), "");
    e2e::removeTree(t);
    EXPECT_FALSE(fs::exists(t.root));

    EXPECT_THROW(e2e::makeTree("u", std::string(41, 'p'), "n"), std::runtime_error);
}

TEST(E2eHelper, TestDatabaseOutOfReach) {
    // An SQLite path too long for NET8 is reached through a link in the tree.
    testdb::Db db{testdb::Backend::Sqlite, "sqlite:" + std::string("/tmp/") + std::string(40, 'd') + "/bde.db", "", "",
                  ""};
    e2e::Tree t = e2e::makeTree(db);
    EXPECT_EQ(Cfg_ReadValue("", "NET8", 0, t.iniPath), "sqlite:../../../../files/d/bde.db");
    EXPECT_EQ(fs::read_symlink(t.root + "/files/d"), "/tmp/" + std::string(40, 'd'));
    e2e::removeTree(t);

    // A PostgreSQL connection too long for NET8 becomes a service of the tree.
    testdb::Db pg{testdb::Backend::Postgres, "postgresql://someone@/korvimand_e2e_db?host=/tmp/korvimand-pg&port=54329",
                  "someone", "pw", ""};
    t = e2e::makeTree(pg);
    EXPECT_EQ(Cfg_ReadValue("", "NET8", 0, t.iniPath), "korvimand_e2e");
    ASSERT_EQ(t.env.size(), 1u);
    std::ifstream f(t.root + "/files/pg_service.conf");
    std::string conf((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    EXPECT_NE(conf.find("dbname=korvimand_e2e_db\n"), std::string::npos);
    EXPECT_NE(conf.find("host=/tmp/korvimand-pg\n"), std::string::npos);
    EXPECT_EQ(conf.find("user="), std::string::npos);
    auto r = e2e::runProgram(t, "/bin/sh", {"-c", "echo \"$PGSERVICEFILE\""});
    EXPECT_EQ(r.out, t.root + "/files/pg_service.conf\n");
    e2e::removeTree(t);
}

TEST(E2eHelper, RunsInTheWorkingDirectoryWithItsEnvironment) {
    e2e::Tree t = e2e::makeEmptyTree();
    ::setenv("KORVIMAND_INI", "/should/not/leak", 1);
    ::setenv("KORVIMAND_E2E_KEPT", "kept", 1);
    auto r =
        e2e::runProgram(t, "/bin/sh",
                        {"-c", "pwd; echo \"${KORVIMAND_INI-unset} $KORVIMAND_E2E_KEPT $EXTRA\"; echo err >&2; exit 3"},
                        {"EXTRA=one", "EXTRA=two"});
    ::unsetenv("KORVIMAND_INI");
    ::unsetenv("KORVIMAND_E2E_KEPT");
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, fs::canonical(t.workDir).string() + "\nunset kept two\n");
    EXPECT_EQ(r.err, "err\n");

    // Input on stdin, output larger than a pipe holds.
    e2e::RunOptions o;
    o.input = std::string(200000, 'i');
    r = e2e::runWith(t, "/bin/sh", {"-c", "wc -c; head -c 300000 /dev/zero"}, o);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.substr(0, 7), "200000\n");
    EXPECT_EQ(r.out.size(), 7u + 300000u);

    r = e2e::runProgram(t, "/bin/sh", {"-c", "kill -9 $$"});
    EXPECT_EQ(r.status, -1);
    EXPECT_THROW(e2e::runProgram(t, "/no/such/program", {}), std::runtime_error);
    o = {};
    o.timeoutSeconds = 1;
    EXPECT_THROW(e2e::runWith(t, "/bin/sleep", {"30"}, o), std::runtime_error);
    e2e::removeTree(t);
}

TEST(E2eHelper, LogParserRejectsMalformedEntries) {
    const std::string entry =
        "\xFE\r\nSystem-Date: 08.12.26\r\nSystem-Time: 01:42:21\r\nMsgArt_____: FMSG \r\n"
        "Message____: Fehlerhafter Connect mit der DB \r\nFunktion___: dbConnect\r\nErrorCode__: -12154\r\n";
    auto entries = e2e::parseLog(entry + entry);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].date, "08.12.26");
    EXPECT_EQ(entries[0].time, "01:42:21");
    EXPECT_EQ(entries[0].art, "FMSG ");
    EXPECT_EQ(entries[0].message, "Fehlerhafter Connect mit der DB ");
    EXPECT_EQ(entries[0].funktion, "dbConnect");
    EXPECT_EQ(entries[0].code, -12154);
    EXPECT_TRUE(e2e::parseLog("").empty());

    const std::string dmsg = "\xFE\r\nSystem-Date: 08.12.26\r\nSystem-Time: 01:42:21\r\nMsgArt_____: DMSG \r\n"
                             "Message____: m\r\nFunktion___: f\r\nErrorCode__: 0\r\nsome\r\ndata\r\n";
    entries = e2e::parseLog(dmsg + entry);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].extra, "some\r\ndata");

    for (const std::string& bad : {entry.substr(0, entry.size() - 1), entry.substr(1), entry + "x",
                                   entry.substr(0, 20) + "X" + entry.substr(21),  // date
                                   std::string(entry).replace(entry.find("-12154"), 6, "12a"),
                                   std::string(entry).replace(entry.find("-12154"), 6, ""),
                                   std::string(entry).replace(entry.find("FMSG"), 4, "XMSG")})
        EXPECT_THROW(e2e::parseLog(bad), std::runtime_error) << bad;
}

}  // namespace
