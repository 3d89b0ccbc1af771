// Hostile input from outside: arguments made of quotes, SQL, format
// directives, control characters and non-ASCII bytes are bound as values and
// cut to their width, never executed; configuration files of garbage never
// crash the program or keep it from ending.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/ConcurrencySupport.h"
#include "tests/support/E2e.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestDb.h"
#include "util/Config.h"

namespace {

const std::string kA = "000000004711";

struct Feindlich {
    std::string text;
    // the positions a range run from this text up to order 4711 evaluates
    std::set<std::string> bereich;
};

const std::vector<Feindlich>& feindlich() {
    const std::set<std::string> alle = {"000000000001/00010", "000000000001/00020", kA + "/00010", kA + "/00020"};
    const std::set<std::string> nur4711 = {kA + "/00010", kA + "/00020"};
    static const std::vector<Feindlich> f = {
        {"'; drop table Hlx504App; --", alle},
        {"' or '1'='1", alle},
        {"000000004711' or 1=1 --", nur4711},
        {"\"; delete from Hlx580Pps; --", alle},
        {"0'||(select 1)||'", alle},
        {":b0:b1 into :b2", {}},
        {"%s%s%s%n%n%x%p", alle},
        {"$(touch x)`id`", alle},
        {"\\0\\x00NULL", {}},
        {std::string("\x01\x02\x1b[31m\t\r\n\x7f", 10), alle},
        {"\xff\xfe\xe4\xf6\xfc\xc3\xa4\x80\x9f\xa0", {}},
        {std::string(10000, 'A'), {}},
        {"", {}},  // bound as NULL, which no order number passes
        {" ", alle},
        {"000000004711\xff", nur4711},
    };
    return f;
}

class HostileInput : public ::testing::TestWithParam<testdb::Backend> {
protected:
    void SetUp() override {
        zuverlaessig::SchnellerOrdner schnell;
        db = testdb::create(GetParam());
        tree = e2e::makeTree(db);
        zuverlaessig::schnelleCommits(db);
        fixtures::laufparameter(db);
        fixtures::variante(db, "APL01", 2, 0);
        // order 4711 and one order on each side of it
        for (const std::string& apk : {std::string("000000000001"), kA, std::string("999999999999")}) {
            fixtures::auftrag(db, apk);
            for (const char* app : {"00010", "00020"}) {
                fixtures::Position p;
                p.apk = apk;
                p.app = app;
                p.ste = 0.10;
                p.ime = 2;
                fixtures::position(db, p);
                fixtures::Meldung m;
                m.apk = apk;
                m.app = app;
                fixtures::meldung(db, m);
                fixtures::Merker mrk;
                mrk.apk = apk;
                mrk.app = app;
                fixtures::merker(db, mrk);
            }
        }
    }
    void TearDown() override {
        e2e::removeTree(tree);
        testdb::destroy(db);
    }

    // The positions the run evaluated (those with a total record), and their
    // recorder; the total records are removed for the next run.
    std::set<std::string> ausgewertet(std::set<std::string>* erfasser) {
        std::set<std::string> s;
        for (const auto& z : testdb::column(db, "select NzaApk || '/' || NzaApp from Hlx590Nza where NzaSa = 11"))
            s.insert(z);
        for (const auto& e : testdb::column(db, "select coalesce(NzaErf, '') from Hlx590Nza where NzaSa = 11"))
            erfasser->insert(e);
        testdb::sql(db, "delete from Hlx590Nza where NzaSa = 11");
        return s;
    }

    // Nothing executed: every table there, no failure reported.
    void unversehrt(const std::string& fall) {
        for (const char* t : {"Hlx504App", "Hlx580Pps", "Hlx590Nza", "Hlx591Nzp", "Hlx563Mrk", "Hlx552Bnr"})
            EXPECT_NO_THROW(testdb::value(db, std::string("select count(*) from ") + t)) << fall << ": " << t;
        EXPECT_EQ(testdb::value(db, "select count(*) from Hlx504App"), "6") << fall;
        EXPECT_EQ(e2e::readLog(tree), "") << fall;
    }

    testdb::Db db;
    e2e::Tree tree;
};

// Each hostile text as first order number and position and as recorder of a
// range run up to order 4711: the range is the text compared byte by byte,
// cut to 12 characters (5 for the position); the recorder is stored as its
// first 8 bytes.
TEST_P(HostileInput, ArgumentsAreBoundNeverExecutedAndCutToWidth) {
    int versucht = 0;
    for (const auto& [h, soll] : feindlich()) {
        const std::string fall = "argument \"" + h.substr(0, 40) + "\"";
        const std::string erfasser = h.substr(0, 8);
        const e2e::Result r = e2e::run(tree, {h, h, kA, "99999", h});
        ++versucht;
        EXPECT_EQ(r.status, 0) << fall << r.err;
        unversehrt(fall);

        std::set<std::string> erfasserGesehen;
        EXPECT_EQ(ausgewertet(&erfasserGesehen), soll) << fall;
        if (!soll.empty()) {
            EXPECT_EQ(erfasserGesehen, std::set<std::string>{erfasser}) << fall;
        }
        EXPECT_EQ(testdb::value(db, "select coalesce(NzpAus, '') from Hlx591Nzp"), erfasser) << fall;
        EXPECT_EQ(testdb::value(db, "select count(*) from Hlx580Pps where PpsApk = '999999999999'"), "0") << fall;
    }
    // the marker mode ignores arguments 2 and 4, whatever they hold
    for (const Feindlich& f : feindlich()) {
        const std::string& h = f.text;
        const e2e::Result r = e2e::run(tree, {"000000000000", h, "000000000000", h, "ERF00002"});
        ++versucht;
        EXPECT_EQ(r.status, 0) << r.err;
        unversehrt("marker run with \"" + h.substr(0, 40) + "\"");
    }
    std::set<std::string> e;
    ausgewertet(&e);
    std::printf("hostile arguments tried: %d\n", versucht);
}

INSTANTIATE_TEST_SUITE_P(E2e, HostileInput, ::testing::ValuesIn(testdb::backends()),
                         [](const auto& info) { return std::string(testdb::name(info.param)); });

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
