// Configuration files of garbage never crash the program or keep it from
// ending.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "tests/e2e/ConcurrencySupport.h"
#include "tests/support/E2e.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestDb.h"

namespace {

const std::string kA = "000000004711";

// Configuration files of garbage: the program ends, with status 0 after a
// run or 1 after a failed connect, and its log holds whole entries only.
class HostileConfig : public ::testing::Test {
protected:
    void SetUp() override {
        zuverlaessig::SchnellerOrdner schnell;
        db = testdb::create(testdb::Backend::Sqlite);
        tree = e2e::makeTree(db);
        fixtures::laufparameter(db);
        gueltig = zuverlaessig::dateiLesen(tree.iniPath);
    }
    void TearDown() override {
        e2e::removeTree(tree);
        testdb::destroy(db);
    }

    // Runs with the file as configuration; verbunden: whether the run must
    // have reached the database.
    void lauf(const std::string& fall, const std::string& bytes, bool verbunden,
              const std::vector<std::string>& env = {}) {
        SCOPED_TRACE(fall);
        std::filesystem::remove_all(tree.workDir + "/Msg");
        std::ofstream(tree.iniPath, std::ios::binary | std::ios::trunc) << bytes;
        e2e::RunOptions o;
        o.env = env;
        o.timeoutSeconds = 60;
        e2e::Result r;
        ASSERT_NO_THROW(r = e2e::runWith(tree, KORVIMAND_BIN, {kA, "00000", kA, "99999", "ERF00001"}, o));
        ++versucht;
        std::vector<e2e::LogEntry> log;
        ASSERT_NO_THROW(log = e2e::parseLog(e2e::readLog(tree)));
        if (verbunden) {
            EXPECT_EQ(r.status, 0) << r.err;
            EXPECT_TRUE(log.empty());
        } else {
            EXPECT_EQ(r.status, 1) << r.err;
            ASSERT_EQ(log.size(), 1u);
            EXPECT_EQ(log[0].funktion, "dbConnect");
            EXPECT_EQ(log[0].code, -12154);
        }
    }

    testdb::Db db;
    e2e::Tree tree;
    std::string gueltig;
    int versucht = 0;
};

TEST_F(HostileConfig, GarbageNeverCrashes) {
    const std::string zehnMB(10 << 20, '7');
    std::mt19937 zufall(4711);
    std::string muell(1 << 20, '\0');
    for (char& c : muell) c = static_cast<char>(zufall());

    std::string nurCr = gueltig;
    for (char& c : nurCr)
        if (c == '\n') c = '\r';
    std::string nulImWert = gueltig;
    nulImWert.insert(nulImWert.find("NET8;") + 7, 1, '\0');

    lauf("empty", "", false);
    lauf("CR without LF", nurCr, false);
    std::string nurLf;
    for (char c : gueltig)
        if (c != '\r') nurLf += c;
    lauf("LF without CR", nurLf, true);
    lauf("NUL inside the NET8 value", nulImWert, false);
    lauf("NUL inside a key", "x;;\r\n0;NE\0T8;12345\r\n", false);
    lauf("a 10 MB line", zehnMB, false);
    lauf("a 10 MB value", "x;;\r\n0;NET8;" + zehnMB + "\r\n", false);
    lauf("10 MB of semicolons", std::string(10 << 20, ';'), false);
    lauf("1 MB of random bytes", muell, false);
    lauf("groups above 65535", "x;;\r\n0;NET8;99999999999999999999\r\n", false);
    lauf("a record number of 30 digits", "x;;\r\n999999999999999999999999999999;NET8;12345\r\n", false);
    // records after a record of garbage: found, however long its lines (a
    // record without a name, or with number 0, would match every lookup)
    lauf("a record of two 10 MB lines before the records",
         "x;NAME;" + zehnMB + "\r\n5;ANDERS;" + zehnMB + "\r\n" + gueltig, true);
    lauf("random bytes after the records", gueltig + muell, true);
    lauf("no line end after the last record", gueltig.substr(0, gueltig.size() - 2), true);
    std::printf("hostile configurations tried: %d\n", versucht);
}

TEST_F(HostileConfig, ConfigurationThatIsNoFile) {
    std::filesystem::remove(tree.iniPath);
    std::filesystem::create_directory(tree.iniPath);
    SCOPED_TRACE("a folder");
    e2e::RunOptions o;
    o.timeoutSeconds = 60;
    const e2e::Result r = e2e::runWith(tree, KORVIMAND_BIN, {kA, "00000", kA, "99999", "ERF00001"}, o);
    EXPECT_EQ(r.status, 1);
    // an endless file: the reader gives up instead of reading for ever
    o.env = {"KORVIMAND_INI=/dev/zero"};
    o.timeoutSeconds = 20;
    e2e::Result z;
    EXPECT_NO_THROW(z = e2e::runWith(tree, KORVIMAND_BIN, {kA, "00000", kA, "99999", "ERF00001"}, o));
    EXPECT_EQ(z.status, 1);
}

}  // namespace
