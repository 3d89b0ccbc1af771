// Another program writes and deletes "NZA" markers while a marker run walks
// its cursor: the run evaluates exactly the markers that stood when the
// cursor opened, the markers written meanwhile stay for the next run, and no
// other marker is lost.
//
// The writer races the run: which of its changes fall before, during or
// after the run's cursor depends on the speed of both, so the interleaving
// differs from run to run and a failure need not repeat. What it gives is
// many interleavings over time, each checked exactly.
//
// KORVIMAND_MARKER_POSITIONS sets the markers of the run (default 5000, 1000
// under sanitizers or valgrind); KORVIMAND_MARKER_SEED repeats the writer's
// choices (not their timing).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/ConcurrencySupport.h"
#include "tests/support/E2e.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestDb.h"

namespace {

using zuverlaessig::auftragsNummer;

// "apk/app" of position i of the mass data.
std::string schluessel(int i) {
    char app[8];
    std::snprintf(app, sizeof app, "%05d", (i % 10 + 1) * 10);
    return auftragsNummer(i / 10) + "/" + app;
}

class MerkerWaehrendLauf : public ::testing::TestWithParam<testdb::Backend> {};

TEST_P(MerkerWaehrendLauf, TheRunEvaluatesTheMarkersOfItsStartAndKeepsTheNewOnes) {
    int n = zuverlaessig::anzahl("KORVIMAND_MARKER_POSITIONS", 5000, 1000);
    n -= n % 10;
    const int neuePositionen = 200;
    unsigned seed = 4711;  // KORVIMAND_MARKER_SEED tries others
    if (const char* s = std::getenv("KORVIMAND_MARKER_SEED"); s && *s) seed = static_cast<unsigned>(std::stoul(s));
    SCOPED_TRACE("KORVIMAND_MARKER_SEED=" + std::to_string(seed));
    std::mt19937 zufall(seed);

    zuverlaessig::SchnellerOrdner schnell;
    testdb::Db db = testdb::create(GetParam());
    e2e::Tree t = e2e::makeTree(db);
    zuverlaessig::schnelleCommits(db);
    zuverlaessig::stammdaten(db);
    // n positions with a marker each, then positions that have none yet
    zuverlaessig::massendaten(db, 0, n + neuePositionen);
    const std::string tag = zuverlaessig::zeitpunkt(db, "2024-03-04 15:00:00");
    testdb::sql(db, "delete from Hlx563Mrk");
    testdb::sql(db, "insert into Hlx563Mrk (MrkKng, MrkApl, MrkApk, MrkApp, MrkPnr, MrkBnr, MrkMdt) select 'NZA', "
                    "'0000000000', AppApk, AppApp, '00000000', 0, " +
                        tag + " from Hlx504App where AppApk < '" + auftragsNummer(n / 10) + "'");
    // markers that no run deletes: another kind, and one of a workstation
    testdb::sql(db, "insert into Hlx563Mrk (MrkKng, MrkApl, MrkApk, MrkApp, MrkPnr, MrkBnr, MrkMdt) select 'FRM', "
                    "'0000000000', AppApk, AppApp, '00000000', 0, " +
                        tag + " from Hlx504App where AppApp = '00050'");
    testdb::sql(db, "insert into Hlx563Mrk (MrkKng, MrkApl, MrkApk, MrkApp, MrkPnr, MrkBnr, MrkMdt) values ('NZA', "
                    "'APL01', '" +
                        auftragsNummer(0) + "', '00030', '00001234', 7, " + tag + ")");
    const auto bleibend = testdb::column(db, "select MrkKng || MrkApl || MrkApk || MrkApp from Hlx563Mrk where "
                                             "MrkKng <> 'NZA' or MrkApl <> '0000000000' order by 1");

    zuverlaessig::Hintergrund lauf(t, {"000000000000", "00000", "000000000000", "00000", "ERF00002"});
    auto uploads = [&] { return std::stol(testdb::value(db, "select count(*) from Hlx580Pps")); };
    // the cursor is open once the first position is done
    while (lauf.laeuft() && uploads() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));

    auto mrk = [&](int i, const std::string& mdt) {
        const std::string k = schluessel(i);
        return "insert into Hlx563Mrk (MrkKng, MrkApl, MrkApk, MrkApp, MrkPnr, MrkBnr, MrkMdt) select 'NZA', "
               "'0000000000', '" +
               k.substr(0, 12) + "', '" + k.substr(13) + "', '00000000', 0, " + zuverlaessig::zeitpunkt(db, mdt);
    };
    std::set<int> neu, geloescht;
    while (lauf.laeuft()) {
        const int i = std::uniform_int_distribution<int>(0, n - 1)(zufall);
        const std::string k = schluessel(i);
        const std::string wo = " where MrkKng = 'NZA' and MrkApl = '0000000000' and MrkApk = '" + k.substr(0, 12) +
                               "' and MrkApp = '" + k.substr(13) + "'";
        switch (std::uniform_int_distribution<int>(0, 2)(zufall)) {
            case 0:
                // an evaluated position changes again: its new marker is for the next run
                if (geloescht.count(i) || neu.count(i)) break;
                if (testdb::value(db, "select count(*) from Hlx563Mrk" + wo) == "0" &&
                    testdb::value(db, "select count(*) from Hlx580Pps where PpsApk = '" + k.substr(0, 12) +
                                          "' and PpsApp = '" + k.substr(13) + "'") == "1") {
                    testdb::sql(db, mrk(i, "2024-03-05 09:00:00"));
                    neu.insert(i);
                }
                break;
            case 1: {
                // a position the run did not know of gets its first marker
                const int j = n + static_cast<int>(neu.size() % neuePositionen);
                if (!neu.count(j)) {
                    testdb::sql(db, mrk(j, "2024-03-05 10:00:00"));
                    neu.insert(j);
                }
                break;
            }
            default:
                // another program takes a pending marker away
                if (neu.count(i)) break;
                testdb::sql(db, "delete from Hlx563Mrk" + wo);
                geloescht.insert(i);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(lauf.warten(10), 0) << lauf.fehlerAusgabe();
    EXPECT_EQ(e2e::readLog(t), "");
    // a run that outpaces the writer checks nothing of the race: more markers
    ASSERT_GT(neu.size(), 10u) << "the run ended before the writer got going; raise KORVIMAND_MARKER_POSITIONS";

    // each marker of the start evaluated once (the workstation's marker too), nothing else
    EXPECT_EQ(testdb::value(db, "select count(*) from Hlx580Pps"), std::to_string(n + 1));
    EXPECT_EQ(testdb::value(db, "select count(distinct PpsApk || PpsApp) from Hlx580Pps where PpsApk < '" +
                                    auftragsNummer(n / 10) + "'"),
              std::to_string(n));
    // the markers written meanwhile stay, with the ones that no run deletes
    std::vector<std::string> soll = bleibend;
    for (int i : neu) soll.push_back("NZA0000000000" + schluessel(i).substr(0, 12) + schluessel(i).substr(13));
    std::sort(soll.begin(), soll.end());
    EXPECT_EQ(testdb::column(db, "select MrkKng || MrkApl || MrkApk || MrkApp from Hlx563Mrk order by 1"), soll);
    std::printf("markers %s: seed %u, %d markers walked, %zu written and %zu deleted meanwhile\n",
                testdb::name(GetParam()), seed, n, neu.size(), geloescht.size());
    e2e::removeTree(t);
    testdb::destroy(db);
}

INSTANTIATE_TEST_SUITE_P(Faults, MerkerWaehrendLauf, ::testing::ValuesIn(testdb::backends()),
                         [](const auto& info) { return std::string(testdb::name(info.param)); });

}  // namespace
