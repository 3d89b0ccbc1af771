// The PostgreSQL server goes away in the middle of a run: the run reports the
// failures with negative codes and ends normally, and what the database holds
// afterwards is consistent: the positions evaluated before the loss are
// complete, none after it was touched, no upload number was handed out twice.
// The tests start and stop a server of their own (never the shared one).
//
// KORVIMAND_LOST_POSITIONS sets the positions of the run (default 2000, 400
// under sanitizers or valgrind).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>

#include "tests/e2e/ConcurrencySupport.h"
#include "tests/support/E2e.h"
#include "tests/support/TestDb.h"

namespace {

namespace fs = std::filesystem;
using zuverlaessig::auftragsNummer;
using zuverlaessig::Hintergrund;

// The newest installed server programs, or "" when there are none.
std::string serverProgramme() {
    int best = -1;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator("/usr/lib/postgresql", ec)) {
        const int version = std::atoi(e.path().filename().c_str());
        if (version > best && fs::exists(e.path() / "bin" / "initdb")) best = version;
    }
    return best < 0 ? "" : "/usr/lib/postgresql/" + std::to_string(best) + "/bin";
}

// A throwaway server: its own folder, socket and no TCP port, run as the
// postgres user when we are root.
class EigenerServer {
public:
    explicit EigenerServer(const std::string& bin) : bin_(bin) {
        char muster[] = "/tmp/korvimand-lost-XXXXXX";
        if (!::mkdtemp(muster)) throw std::runtime_error("mkdtemp failed");
        base_ = muster;
        if (::geteuid() == 0 && std::system(("chown postgres: " + base_).c_str()) != 0)
            throw std::runtime_error("cannot hand " + base_ + " to postgres");
        befehl("initdb -D " + base_ + "/data -U postgres --auth=trust >" + base_ + "/initdb.log 2>&1");
        starten();
    }
    ~EigenerServer() {
        std::system(als(bin_ + "/pg_ctl -D " + base_ + "/data -m immediate -w stop >/dev/null 2>&1").c_str());
        std::error_code ec;
        fs::remove_all(base_, ec);
    }
    void starten() {
        befehl("pg_ctl -D " + base_ + "/data -l " + base_ + "/server.log -w -t 60 -o \"-k " + base_ +
               " -p 5432 -c listen_addresses='' -c fsync=off\" start >/dev/null");
    }
    // mode: fast (sessions are ended) or immediate (the server dies at once)
    void stoppen(const std::string& modus) {
        befehl("pg_ctl -D " + base_ + "/data -m " + modus + " -w -t 60 stop >/dev/null");
    }
    std::string uri() const { return "postgresql://postgres@/postgres?host=" + base_ + "&port=5432"; }

private:
    std::string als(const std::string& cmd) const { return ::geteuid() == 0 ? "runuser -u postgres -- " + cmd : cmd; }
    void befehl(const std::string& cmd) {
        if (std::system(als(bin_ + "/" + cmd).c_str()) != 0) throw std::runtime_error("failed: " + cmd);
    }
    std::string bin_;
    std::string base_;
};

class LostServer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::string bin = serverProgramme();
        if (bin.empty() || testdb::sqliteOnly()) return;
        server = new EigenerServer(bin);
    }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }

    void SetUp() override {
        if (testdb::sqliteOnly()) GTEST_SKIP() << "SQLite only (KORVIMAND_TEST_SQLITE_ONLY=1)";
        ASSERT_TRUE(server) << "no PostgreSQL server programs below /usr/lib/postgresql (scripts/setup installs them)";
        if (const char* alt = std::getenv("KORVIMAND_TEST_PG")) gemerkt = alt;
        // the test databases of this test live on the own server
        ::setenv("KORVIMAND_TEST_PG", server->uri().c_str(), 1);
        n = zuverlaessig::anzahl("KORVIMAND_LOST_POSITIONS", 2000, 400);
        n -= n % 10;
        zuverlaessig::SchnellerOrdner schnell;
        db = testdb::create(testdb::Backend::Postgres);
        tree = e2e::makeTree(db);
        zuverlaessig::stammdaten(db);
        zuverlaessig::massendaten(db, 0, n);
    }
    void TearDown() override {
        if (!server) return;
        e2e::removeTree(tree);
        testdb::destroy(db);
        if (gemerkt.empty()) ::unsetenv("KORVIMAND_TEST_PG");
        else ::setenv("KORVIMAND_TEST_PG", gemerkt.c_str(), 1);
    }

    std::string wert(const std::string& q) const { return testdb::value(db, q); }

    // Runs the whole range and stops the server once a quarter of it is
    // uploaded. The run must end by itself, normally.
    void laufVerlieren(const std::string& modus) {
        Hintergrund lauf(tree, {auftragsNummer(0), "00000", auftragsNummer(n / 10), "99999", "ERF00001"});
        const long ziel = n / 4;
        while (lauf.laeuft() && std::stol(wert("select count(*) from Hlx580Pps")) < ziel)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_TRUE(lauf.laeuft()) << "the run ended before the server could be stopped";
        server->stoppen(modus);
        // the walk ended on the lost connection: not a complete run
        EXPECT_EQ(lauf.warten(120), 1) << lauf.fehlerAusgabe();
        // what the lost connection makes the client library print shows no password
        EXPECT_EQ(lauf.fehlerAusgabe().find(db.password), std::string::npos);
        EXPECT_EQ(e2e::readLog(tree).find(db.password), std::string::npos);

        std::vector<e2e::LogEntry> eintraege;
        ASSERT_NO_THROW(eintraege = e2e::parseLog(e2e::readLog(tree)));
        ASSERT_FALSE(eintraege.empty());
        for (const auto& e : eintraege) EXPECT_EQ(e.code, -3114) << e.funktion << " / " << e.message;
        // the run still tried to record itself at its end
        EXPECT_EQ(eintraege.back().funktion, "Nzm_Parameter");
        EXPECT_EQ(eintraege.back().message, "Nzp_PKeyUpd");
    }

    // With the server back: the positions in key order are evaluated up to a
    // point and untouched after it, with at most the one position in flight
    // partly written.
    void konsistent() {
        EXPECT_EQ(zuverlaessig::doppelteNummern(db), "0");
        const long bnr = std::stol(wert("select coalesce(max(BnrBnr), 0) from Hlx552Bnr"));
        const long max = std::stol(wert("select coalesce(max(PpsLfn), 0) from Hlx580Pps"));
        EXPECT_TRUE(bnr == max || bnr == max + 1) << bnr << " " << max;
        EXPECT_GE(max, n / 4);

        const auto zustand = testdb::column(
            db, "select (case when exists (select 1 from Hlx590Nza where NzaSa = 11 and NzaApk = AppApk and NzaApp = "
                "AppApp) then 'N' else '-' end) || (case when AppIta <> 7.77 then 'A' else '-' end) || (case when "
                "exists (select 1 from Hlx580Pps where PpsApk = AppApk and PpsApp = AppApp) then 'P' else '-' end) "
                "from Hlx504App order by AppApk, AppApp");
        ASSERT_EQ(zustand.size(), static_cast<std::size_t>(n));
        std::size_t i = 0;
        while (i < zustand.size() && zustand[i] == "NAP") ++i;
        std::size_t fertig = i;
        if (i < zustand.size() && zustand[i] != "---") ++i;  // the one in flight
        for (; i < zustand.size(); ++i) EXPECT_EQ(zustand[i], "---") << "position " << i << " after the loss";
        EXPECT_GE(fertig, static_cast<std::size_t>(n / 4) - 1);
        EXPECT_LT(fertig, static_cast<std::size_t>(n));
        // nothing claims an upload that has no row: the rows are the prefix
        EXPECT_EQ(wert("select count(*) from Hlx580Pps"), std::to_string(max));
    }

    static EigenerServer* server;
    std::string gemerkt;
    testdb::Db db;
    e2e::Tree tree;
    int n = 0;
};

EigenerServer* LostServer::server = nullptr;

TEST_F(LostServer, StoppedServerIsReportedAndTheRunEndsNormally) {
    laufVerlieren("fast");

    // a run started while the server is down reports only its connect
    {
        const e2e::Result r = e2e::run(tree, {auftragsNummer(0), "00000", auftragsNummer(0), "99999", "ERF2"});
        EXPECT_EQ(r.status, 1);
        const auto eintraege = e2e::parseLog(e2e::readLog(tree));
        ASSERT_FALSE(eintraege.empty());
        EXPECT_EQ(eintraege.back().funktion, "dbConnect");
        EXPECT_EQ(eintraege.back().code, -12541);
    }

    server->starten();
    konsistent();
}

TEST_F(LostServer, CrashedServerIsReportedAndTheRunEndsNormally) {
    laufVerlieren("immediate");
    server->starten();
    konsistent();
}

}  // namespace
