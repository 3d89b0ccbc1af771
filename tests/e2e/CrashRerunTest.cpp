// A long range run killed (SIGKILL) at random moments, then run again to the
// end, leaves exactly what one uninterrupted run leaves: every write commits
// on its own, so a kill loses at most the statement under way, and a rerun
// redoes every position from its inputs.
//
// KORVIMAND_CRASH_POSITIONS sets the number of positions (default 5000 on
// SQLite and 1000 on PostgreSQL, whose statements each wait for a round trip;
// a tenth of that under sanitizers or valgrind); KORVIMAND_CRASH_SEED (printed)
// chooses other kill moments than the default seed's.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "tests/e2e/ConcurrencySupport.h"
#include "tests/support/E2e.h"
#include "tests/support/TestDb.h"

namespace {

using zuverlaessig::Hintergrund;

const std::vector<std::string> kAlles = {"000000000000", "00000", "999999999999", "99999", "ERF00001"};
constexpr int kKills = 6;

class CrashRerun : public ::testing::TestWithParam<testdb::Backend> {
protected:
    void SetUp() override {
        const int voll = GetParam() == testdb::Backend::Sqlite ? 5000 : 1000;
        n = zuverlaessig::anzahl("KORVIMAND_CRASH_POSITIONS", voll, voll / 10);
        zuverlaessig::SchnellerOrdner schnell;
        for (Paar* p : {&ref, &crash}) {
            p->db = testdb::create(GetParam());
            p->tree = e2e::makeTree(p->db);
            zuverlaessig::schnelleCommits(p->db);
            zuverlaessig::stammdaten(p->db);
            zuverlaessig::massendaten(p->db, 0, n);
        }
    }
    void TearDown() override {
        for (Paar* p : {&ref, &crash}) {
            e2e::removeTree(p->tree);
            testdb::destroy(p->db);
        }
    }

    std::string wert(const std::string& q) const { return testdb::value(crash.db, q); }
    long uploads() const { return std::stol(wert("select count(*) from Hlx580Pps")); }

    // After every kill: the file is sound, no number was handed out twice,
    // and every number drawn is either on its upload row or the one number
    // whose row the kill prevented.
    void gesund(int kill) {
        SCOPED_TRACE("after kill " + std::to_string(kill));
        if (crash.db.backend == testdb::Backend::Sqlite) {
            EXPECT_EQ(wert("PRAGMA integrity_check"), "ok");
        }
        EXPECT_EQ(zuverlaessig::doppelteNummern(crash.db), "0");
        const std::string bnr = wert("select coalesce(max(BnrBnr), 0) from Hlx552Bnr where BnrKey = 'PPSNR'");
        const std::string max = wert("select coalesce(max(PpsLfn), 0) from Hlx580Pps");
        const long luecke = std::stol(bnr) - std::stol(max);
        EXPECT_TRUE(luecke == 0 || luecke == 1) << "number range " << bnr << ", highest upload " << max;
        EXPECT_EQ(e2e::readLog(crash.tree), "");
    }

    struct Paar {
        testdb::Db db;
        e2e::Tree tree;
    };
    Paar ref, crash;
    int n = 0;
};

TEST_P(CrashRerun, KilledRunsThenOneToTheEndEqualAnUninterruptedRun) {
    unsigned seed = 4711;
    if (const char* s = std::getenv("KORVIMAND_CRASH_SEED"); s && *s) seed = static_cast<unsigned>(std::stoul(s));
    std::printf("crash seed %u, %d positions\n", seed, n);
    std::mt19937 zufall(seed);

    // The uninterrupted run goes on beside the killed ones.
    Hintergrund referenzLauf(ref.tree, kAlles, {}, "referenz");

    // Always kKills kills: a run quicker than its kill is a complete run and
    // does not count.
    int kills = 0;
    for (int versuch = 0; kills < kKills; ++versuch) {
        ASSERT_LT(versuch, 10 * kKills) << "the runs end before they can be killed: raise KORVIMAND_CRASH_POSITIONS";
        const long vorher = uploads();
        Hintergrund lauf(crash.tree, kAlles);
        if (kills == 0) {
            // once early, in the start-up or the first positions
            std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 40)(zufall)));
        } else {
            // otherwise once the run has uploaded a random part of the range
            const long ziel = vorher + std::uniform_int_distribution<long>(1, std::max(1, n * 9 / 10))(zufall);
            while (lauf.laeuft() && uploads() < ziel) std::this_thread::sleep_for(std::chrono::milliseconds(2));
            std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(0, 3000)(zufall)));
        }
        if (lauf.toeten()) {
            ++kills;
            gesund(kills);
        } else {
            // it was quicker than the kill: a complete run, tried again
            EXPECT_EQ(lauf.warten(10), 0) << lauf.fehlerAusgabe();
        }
    }

    Hintergrund letzter(crash.tree, kAlles, {}, "letzter");
    EXPECT_EQ(letzter.warten(600), 0) << letzter.fehlerAusgabe();
    EXPECT_EQ(referenzLauf.warten(600), 0) << referenzLauf.fehlerAusgabe();
    gesund(kills + 1);
    EXPECT_EQ(e2e::readLog(ref.tree), "");

    const auto soll = zuverlaessig::stand(ref.db, "000000000000", "999999999999");
    const auto ist = zuverlaessig::stand(crash.db, "000000000000", "999999999999");
    EXPECT_EQ(soll.size(), ist.size());
    // the first difference is enough to see what went wrong
    const auto diff = std::mismatch(soll.begin(), soll.end(), ist.begin(), ist.end());
    if (diff.first != soll.end() || diff.second != ist.end())
        ADD_FAILURE() << "first difference: uninterrupted \"" << (diff.first != soll.end() ? *diff.first : "-")
                      << "\", after kills \"" << (diff.second != ist.end() ? *diff.second : "-") << "\"";
    // every position evaluated and uploaded
    EXPECT_EQ(wert("select count(*) from Hlx590Nza where NzaSa = 11"), std::to_string(n));
    EXPECT_EQ(wert("select count(distinct PpsApk || PpsApp) from Hlx580Pps"), std::to_string(n));
    EXPECT_EQ(wert("select NzpAus from Hlx591Nzp"), "ERF00001");
}

// SIGTERM lets the position under way finish, names where the run would
// have gone on and writes nothing more; a run from there leaves what one
// uninterrupted run leaves.
TEST_P(CrashRerun, StoppedRunNamesWhereToGoOn) {
    Hintergrund referenzLauf(ref.tree, kAlles, {}, "referenz");
    Hintergrund lauf(crash.tree, kAlles);
    while (lauf.laeuft() && uploads() < n / 3) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ASSERT_EQ(::kill(lauf.pid(), SIGTERM), 0);
    ASSERT_EQ(lauf.warten(120), 1) << lauf.fehlerAusgabe();
    const auto log = e2e::parseLog(e2e::readLog(crash.tree));
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].funktion, "Verarbeitung_VonBis");
    EXPECT_EQ(log[0].code, SIGTERM);
    const std::string weiter = "Lauf angehalten, weiter ab ";
    ASSERT_EQ(log[0].message.substr(0, weiter.size()), weiter);
    const std::string apk = log[0].message.substr(weiter.size(), 12), app = log[0].message.substr(weiter.size() + 13);
    // Whole before the key (evaluated and uploaded), untouched from it on.
    const std::string vor = "(AppApk < '" + apk + "' or (AppApk = '" + apk + "' and AppApp < '" + app + "'))";
    EXPECT_EQ(wert("select count(*) from Hlx504App where " + vor +
                   " = exists (select 1 from Hlx590Nza where NzaSa "
                   "= 11 and NzaApk = AppApk and NzaApp = AppApp) and " +
                   vor +
                   " = exists (select 1 from Hlx580Pps "
                   "where PpsApk = AppApk and PpsApp = AppApp)"),
              std::to_string(n));
    EXPECT_NE(wert("select NzpAus from Hlx591Nzp"), "ERF00001");

    Hintergrund rest(crash.tree, {apk, app, "999999999999", "99999", "ERF00001"}, {}, "rest");
    EXPECT_EQ(rest.warten(600), 0) << rest.fehlerAusgabe();
    EXPECT_EQ(referenzLauf.warten(600), 0) << referenzLauf.fehlerAusgabe();
    EXPECT_TRUE(zuverlaessig::stand(ref.db, "000000000000", "999999999999") ==
                zuverlaessig::stand(crash.db, "000000000000", "999999999999"));
}

// The SQLite file system fills up during a run: every failed write is
// reported, the run ends normally, the file stays sound, and once there is
// room again a rerun leaves what an undisturbed run leaves.
TEST(CrashRerun, FullDiskIsReportedAndARerunCompletesTheRange) {
    const int n = zuverlaessig::anzahl("KORVIMAND_FULL_POSITIONS", 2000, 300);
    struct Paar {
        testdb::Db db;
        e2e::Tree tree;
    } ref, voll;
    {
        zuverlaessig::SchnellerOrdner schnell;
        for (Paar* p : {&ref, &voll}) {
            p->db = testdb::create(testdb::Backend::Sqlite);
            p->tree = e2e::makeTree(p->db);
            zuverlaessig::stammdaten(p->db);
            zuverlaessig::massendaten(p->db, 0, n);
        }
    }
    auto wert = [&](const std::string& q) { return testdb::value(voll.db, q); };
    testdb::value(voll.db, "PRAGMA wal_checkpoint(TRUNCATE)");
    const long long groesse = static_cast<long long>(std::filesystem::file_size(voll.db.net8.substr(7)));

    // a little room past the file: the write-ahead log fills it after some positions
    {
        Hintergrund lauf(voll.tree, kAlles, {}, "voll", KORVIMAND_BIN, false, groesse + 256 * 1024);
        EXPECT_EQ(lauf.warten(600), 0) << lauf.fehlerAusgabe();
    }
    std::vector<e2e::LogEntry> eintraege;
    ASSERT_NO_THROW(eintraege = e2e::parseLog(e2e::readLog(voll.tree)));
    EXPECT_GE(eintraege.size(), 2u) << "the full disk was not reported";
    // a write past the file size limit fails as one the disk refuses (EFBIG)
    for (const auto& e : eintraege) EXPECT_EQ(e.code, -1114) << e.funktion << " / " << e.message;
    EXPECT_EQ(wert("PRAGMA integrity_check"), "ok");
    EXPECT_EQ(zuverlaessig::doppelteNummern(voll.db), "0");
    EXPECT_LT(std::stol(wert("select count(*) from Hlx580Pps")), n) << "the limit did not bite";

    const e2e::Result zweiter = e2e::run(voll.tree, kAlles);
    EXPECT_EQ(zweiter.status, 0) << zweiter.err;
    const e2e::Result einmal = e2e::run(ref.tree, kAlles);
    EXPECT_EQ(einmal.status, 0) << einmal.err;
    EXPECT_EQ(e2e::readLog(ref.tree), "");
    EXPECT_EQ(wert("PRAGMA integrity_check"), "ok");
    EXPECT_EQ(zuverlaessig::doppelteNummern(voll.db), "0");
    EXPECT_TRUE(zuverlaessig::stand(ref.db, "000000000000", "999999999999") ==
                zuverlaessig::stand(voll.db, "000000000000", "999999999999"))
        << "the rerun after the full disk differs from an undisturbed run";
    for (Paar* p : {&ref, &voll}) {
        e2e::removeTree(p->tree);
        testdb::destroy(p->db);
    }
}

INSTANTIATE_TEST_SUITE_P(E2e, CrashRerun, ::testing::ValuesIn(testdb::backends()),
                         [](const auto& info) { return std::string(testdb::name(info.param)); });

}  // namespace
