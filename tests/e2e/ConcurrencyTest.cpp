// Several processes at once: two runs over disjoint ranges of one database
// that share the number range and the message log, a third process that
// holds the log's lock, and a session that holds the database's lock.
//
// KORVIMAND_CONCURRENCY_POSITIONS sets the positions per database (default
// 2000 on SQLite, 400 on PostgreSQL; a fifth under sanitizers or valgrind).
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "tests/e2e/ConcurrencySupport.h"
#include "tests/support/E2e.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestDb.h"

namespace {

using zuverlaessig::auftragsNummer;
using zuverlaessig::Hintergrund;

const std::string kErfasser = "ERF00001";

class Concurrency : public ::testing::TestWithParam<testdb::Backend> {
protected:
    void SetUp() override {
        const int voll = GetParam() == testdb::Backend::Sqlite ? 2000 : 400;
        n = zuverlaessig::anzahl("KORVIMAND_CONCURRENCY_POSITIONS", voll, voll / 5);
        n -= n % 20;  // whole orders in each half
        zuverlaessig::SchnellerOrdner schnell;
        for (Paar* p : {&ref, &par}) {
            p->db = testdb::create(GetParam());
            p->tree = e2e::makeTree(p->db);
            zuverlaessig::schnelleCommits(p->db);
            zuverlaessig::stammdaten(p->db);
            zuverlaessig::massendaten(p->db, 0, n);
            // the fifth position of every order is refused by the upload
            // table: every run has failures to report all along
            fixtures::schreibenVerhindern(p->db, "Hlx580Pps", "insert", "NEW.PpsApp = '00050'");
        }
    }
    void TearDown() override {
        for (Paar* p : {&ref, &par}) {
            e2e::removeTree(p->tree);
            testdb::destroy(p->db);
        }
    }

    std::vector<std::string> ersteHaelfte() const {
        return {auftragsNummer(0), "00000", auftragsNummer(n / 20 - 1), "99999", kErfasser};
    }
    std::vector<std::string> zweiteHaelfte() const {
        return {auftragsNummer(n / 20), "00000", auftragsNummer(n / 10 - 1), "99999", kErfasser};
    }
    std::vector<std::string> alles() const {
        return {auftragsNummer(0), "00000", auftragsNummer(n / 10 - 1), "99999", kErfasser};
    }

    // The rows two parallel runs left equal those of one run over both
    // ranges; every number was drawn once; every entry is whole.
    void wieEinLauf() {
        const e2e::Result r = e2e::run(ref.tree, alles());
        ASSERT_EQ(r.status, 0) << r.err;
        const auto soll = zuverlaessig::stand(ref.db, auftragsNummer(0), auftragsNummer(n / 10));
        const auto ist = zuverlaessig::stand(par.db, auftragsNummer(0), auftragsNummer(n / 10));
        EXPECT_EQ(soll.size(), ist.size());
        EXPECT_TRUE(soll == ist) << "the parallel runs differ from one run";

        const std::string uploads = std::to_string(n - n / 10);
        EXPECT_EQ(testdb::value(par.db, "select count(distinct PpsLfn) from Hlx580Pps"), uploads);
        EXPECT_EQ(testdb::value(par.db, "select count(*) from Hlx580Pps"), uploads);
        // the refused rows used their numbers too: n draws, none lost
        EXPECT_EQ(testdb::value(par.db, "select BnrBnr from Hlx552Bnr"), std::to_string(n));
        EXPECT_EQ(testdb::value(par.db, "select max(PpsLfn) - min(PpsLfn) + 1 from Hlx580Pps"),
                  testdb::value(par.db, "select BnrBnr from Hlx552Bnr"));

        std::vector<e2e::LogEntry> eintraege;
        ASSERT_NO_THROW(eintraege = e2e::parseLog(e2e::readLog(par.tree)));
        EXPECT_EQ(eintraege.size(), static_cast<std::size_t>(n / 10));
        for (const auto& e : eintraege) {
            EXPECT_EQ(e.funktion, "UplBdeToPps_NZA");
            EXPECT_EQ(e.message, "Pps_PKeyIns");
            EXPECT_EQ(e.code, -20000);
        }
    }

    struct Paar {
        testdb::Db db;
        e2e::Tree tree;
    };
    Paar ref, par;
    int n = 0;
};

TEST_P(Concurrency, TwoRunsOnDisjointRangesShareNumbersAndLog) {
    Hintergrund a(par.tree, ersteHaelfte(), {}, "a");
    Hintergrund b(par.tree, zweiteHaelfte(), {}, "b");
    EXPECT_EQ(a.warten(600), 0) << a.fehlerAusgabe();
    EXPECT_EQ(b.warten(600), 0) << b.fehlerAusgabe();
    wieEinLauf();
}

TEST_P(Concurrency, ThirdProcessHoldingTheLogDelaysButLosesNothing) {
    std::filesystem::create_directories(par.tree.workDir + "/Msg");
    const int fd = ::open(par.tree.logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);

    Hintergrund a(par.tree, ersteHaelfte(), {}, "a");
    Hintergrund b(par.tree, zweiteHaelfte(), {}, "b");
    // both have come to their first failure and wait for the log
    EXPECT_TRUE(zuverlaessig::warteBis(
        [&] {
            return (!a.laeuft() || zuverlaessig::hatOffen(a.pid(), par.tree.logPath)) &&
                   (!b.laeuft() || zuverlaessig::hatOffen(b.pid(), par.tree.logPath));
        },
        300));
    EXPECT_TRUE(a.laeuft() && b.laeuft()) << "the runs did not wait for the log";
    struct stat st {};
    ASSERT_EQ(::fstat(fd, &st), 0);
    EXPECT_EQ(st.st_size, 0) << "an entry was written past the lock";
    ::flock(fd, LOCK_UN);
    ::close(fd);

    EXPECT_EQ(a.warten(600), 0) << a.fehlerAusgabe();
    EXPECT_EQ(b.warten(600), 0) << b.fehlerAusgabe();
    wieEinLauf();
}

// The range cut in three by korvimand-admin split, its parts run at once.
TEST_P(Concurrency, ThreePartsOfASplitRangeRunAtOnceAsOneRun) {
    const auto a = alles();
    const e2e::Result split =
        e2e::runProgram(par.tree, KORVIMAND_ADMIN_BIN,
                        {"split", "--parts", "3", "--from", a[0], a[1], "--to", a[2], a[3], "--recorder", kErfasser});
    ASSERT_EQ(split.status, 0) << split.err;
    std::vector<std::unique_ptr<Hintergrund>> teile;
    std::istringstream zeilen(split.out);
    for (std::string zeile; std::getline(zeilen, zeile);) {
        std::vector<std::string> args;
        std::istringstream felder(zeile);
        for (std::string f; std::getline(felder, f, '\t');) args.push_back(f);
        ASSERT_EQ(args.size(), 5u) << zeile;
        teile.push_back(std::make_unique<Hintergrund>(par.tree, args, std::vector<std::string>{},
                                                      "teil" + std::to_string(teile.size())));
    }
    ASSERT_EQ(teile.size(), 3u) << split.out;
    for (auto& t : teile) EXPECT_EQ(t->warten(600), 0) << t->fehlerAusgabe();
    wieEinLauf();
}

// Another session holds the database: the run waits for it, writing
// nothing, and then completes without a failure.
TEST_P(Concurrency, LockedDatabaseDelaysTheRunWithoutAFailure) {
    zuverlaessig::DatenbankSperre sperre(par.db);
    Hintergrund a(par.tree, alles());
    EXPECT_TRUE(zuverlaessig::warteBis([&] { return !a.laeuft() || zuverlaessig::amDatenbank(a.pid(), par.db); }, 300));
    // a run that is not kept waiting writes its first rows within milliseconds
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_TRUE(a.laeuft());
    EXPECT_EQ(sperre.wert("select count(*) from Hlx590Nza where NzaSa in (10, 11)"), "0");
    EXPECT_EQ(sperre.wert("select count(*) from Hlx580Pps"), "0");
    EXPECT_EQ(sperre.wert("select count(*) from Hlx504App where AppIta <> 7.77"), "0");
    EXPECT_EQ(e2e::readLog(par.tree), "");
    sperre.freigeben();
    EXPECT_EQ(a.warten(600), 0) << a.fehlerAusgabe();
    // the same result as an undisturbed run: the failures of the refused
    // upload rows and nothing else
    wieEinLauf();
}

INSTANTIATE_TEST_SUITE_P(E2e, Concurrency, ::testing::ValuesIn(testdb::backends()),
                         [](const auto& info) { return std::string(testdb::name(info.param)); });

}  // namespace
