// The operator's tools seen from outside: korvimand-admin demo and report on
// both backends with the real binaries.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/Csv.h"
#include "tests/support/E2e.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestDb.h"

namespace {

using testcsv::csv;
using testcsv::Zeile;

class Demo : public e2e::TreeTest {
protected:
    std::string wert(const std::string& query) { return testdb::value(db, query); }
};

TEST_P(Demo, LoadsOnceAndARangeRunLogsOnlyTheBrokenWorkstation) {
    const e2e::Result geladen = admin({"demo"});
    ASSERT_EQ(geladen.status, 0) << geladen.err;
    const std::string positionen = wert("select count(*) from Hlx504App");
    EXPECT_EQ(positionen, "16");
    // Every kind of case is there: variants 2 to 5, a group-only
    // workstation, both package forms, kind-5 and kind-6 rows, markers and a
    // run-parameter row that the run finds.
    EXPECT_EQ(wert("select count(distinct AemAfz) from Hlx532Aem where AemKng=2"), "4");
    EXPECT_EQ(wert("select count(*) from Hlx532Aem where AemKng=1"), "1");
    EXPECT_EQ(wert("select count(*) from Hlx504App where AppZf2 in ('*PKT_KOPF*','*PKT_PROG*')"), "2");
    EXPECT_EQ(wert("select count(distinct NzaSa) from Hlx590Nza"), "2");
    EXPECT_EQ(wert("select count(*) from Hlx560Mel where MelFcd in ('A07','A06')"),
              wert("select 2 * count(*) from Hlx560Mel where MelFcd='A01'"));

    // Loading twice would mix a second demo into the first: refused, nothing added.
    const e2e::Result nochmal = admin({"demo"});
    EXPECT_EQ(nochmal.status, 1);
    EXPECT_NE(nochmal.err.find("empty database"), std::string::npos) << nochmal.err;
    EXPECT_EQ(wert("select count(*) from Hlx504App"), positionen);

    const e2e::Result lauf = e2e::run(tree, {"000000000000", "00000", "999999999999", "99999", "TEST"});
    EXPECT_EQ(lauf.status, 0);
    const auto log = e2e::parseLog(e2e::readLog(tree));
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].funktion, "Nza _VarianteFeststellen");
    EXPECT_EQ(log[0].message, "PRUEF01");
    EXPECT_EQ(log[0].code, 1403);
    EXPECT_EQ(wert("select NzpAus from Hlx591Nzp where NzpAkz=2"), "TEST");
    // Status 10 is skipped; of the 15 positions the two package heads are
    // not uploaded themselves, and their five members, which have no
    // messages of their own, are written and uploaded once, by their head,
    // whether they sort before or after it. Every upload has a number of its own.
    EXPECT_EQ(wert("select count(*) from Hlx590Nza where NzaSa=11"), "15");
    EXPECT_EQ(wert("select count(*) from Hlx580Pps"), "13");
    EXPECT_EQ(wert("select count(distinct PpsLfn) from Hlx580Pps where PpsLfn>5000"), "13");
    EXPECT_EQ(wert("select count(*) from Hlx504App where AppZf2 like '%100003%' and AppIta>0"), "3");
    // Markers of the range's positions are gone; the one with another key
    // and the one of a position that does not exist stay.
    EXPECT_EQ(wert("select count(*) from Hlx563Mrk"), "2");
}

TEST_P(Demo, ReportCsvHasOneRowPerPositionWithTheEvaluatedTimes) {
    ASSERT_EQ(admin({"demo"}).status, 0);
    ASSERT_EQ(e2e::run(tree, {"000000100001", "00000", "000000100001", "99999", "TEST"}).status, 0);

    // CSV is one table at a time: a header and its rows.
    EXPECT_EQ(admin({"report", "--csv"}).status, 2);
    std::vector<std::vector<Zeile>> tabellen;
    for (const char* tabelle : {"positions", "records", "uploads"}) {
        const e2e::Result r = admin({"report", "--from", "000000100001", "00010", "--to", "000000100002", "00010",
                                     "--table", tabelle, "--csv"});
        ASSERT_EQ(r.status, 0) << r.err;
        tabellen.push_back(csv(r.out));
        ASSERT_FALSE(tabellen.back().empty());
        for (const Zeile& z : tabellen.back()) EXPECT_EQ(z.size(), tabellen.back()[0].size()) << r.out;
    }

    const auto& pos = tabellen[0];
    ASSERT_EQ(pos.size(), 5u);  // header, 100001/10..30, 100002/10
    std::map<std::string, std::size_t> spalte;
    for (std::size_t i = 0; i < pos[0].size(); ++i) spalte[pos[0][i]] = i;
    const Zeile& fraesen = pos[1];
    EXPECT_EQ(fraesen[spalte.at("order")], "000000100001");
    EXPECT_EQ(fraesen[spalte.at("pos")], "00010");
    EXPECT_EQ(fraesen[spalte.at("plan Sza")], "8.30");  // 30 + 120 x 4 minutes
    EXPECT_EQ(fraesen[spalte.at("act Ita")], "7.52");   // 118 x 4 minutes
    EXPECT_EQ(fraesen[spalte.at("uploads")], "5001");
    // The performance correction scales the unit time by the mean of 110 and
    // 120 %; the report shows the stored value, not a rounded one, in
    // minutes: h.mm cannot hold the fraction of a minute.
    EXPECT_EQ(pos[2][spalte.at("plan Ste min")], "5.75");
    // Outside the run: not evaluated, no upload.
    EXPECT_EQ(pos[4][spalte.at("act Ita")], "0.00");
    EXPECT_EQ(pos[4][spalte.at("uploads")], "");

    // Kind 11 and kind 10 of the three evaluated positions.
    EXPECT_EQ(tabellen[1].size(), 1u + 6u);
    EXPECT_EQ(tabellen[2].size(), 1u + 3u);
}

TEST_P(Demo, AFailedLoadLeavesNothingBehind) {
    // The markers are the last rows of the load.
    fixtures::schreibenVerhindern(db, "Hlx563Mrk", "insert");
    const e2e::Result r = admin({"demo"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("nothing was loaded"), std::string::npos) << r.err;
    for (const char* tabelle : {"Hlx501Apk", "Hlx504App", "Hlx560Mel", "Hlx590Nza", "Hlx532Aem", "Hlx591Nzp"})
        EXPECT_EQ(wert(std::string("select count(*) from ") + tabelle), "0") << tabelle;
}

TEST_P(Demo, ReportCsvQuotesWhatASpreadsheetWouldSplit) {
    fixtures::Position p;
    p.zf2 = "Los \"A\", Teil 2";
    p.apl = "APL,01";
    fixtures::position(db, p);
    const e2e::Result r = admin({"report", "--table", "positions", "--csv"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto zeilen = csv(r.out);
    ASSERT_EQ(zeilen.size(), 2u) << r.out;
    ASSERT_EQ(zeilen[1].size(), zeilen[0].size()) << r.out;
    EXPECT_EQ(zeilen[1][3], "APL,01");
    EXPECT_EQ(zeilen[1][4], "Los \"A\", Teil 2");
}

TEST_P(Demo, ReportRejectsBadArgumentsAndAMissingTable) {
    EXPECT_EQ(admin({"report", "--from", "000000100001", "00010"}).status, 2);
    EXPECT_EQ(admin({"report", "--table", "markers"}).status, 2);
    testdb::sql(db, "drop table Hlx590Nza");
    const e2e::Result r = admin({"report", "--table", "records"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("-942"), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(Backends, Demo, ::testing::ValuesIn(testdb::backends()),
                         [](const auto& info) { return std::string(testdb::name(info.param)); });

}  // namespace
