// Hostile input from outside: arguments made of quotes, SQL, format
// directives, control characters and non-ASCII bytes are bound as values and
// cut to their width, never executed.
#include <gtest/gtest.h>

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
                fixtures::positionMitMeldung(db, p);
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

}  // namespace
