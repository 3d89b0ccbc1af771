// System calls that fail under the unchanged binary: libfiu's POSIX wrappers
// preloaded, and our own decider (tests/faults/preload) failing one family
// of calls from its n-th call on, only its n-th call, or at random. The
// n-th calls walk the family's call sites in the order a clean run makes
// them. Every run must end with status 0 or 1, leave a well-formed log and a
// sound database, report whatever changed what it wrote (log or standard
// error), and a rerun without faults must leave what a clean run leaves.
//
// Every test must inject at least one fault, and every run must leave the
// decider's report: a walk that injects nothing passes by doing nothing.
// The walk's points and the random runs come from a seed that changes from
// run to run; it is printed with every failure and with the counts, and
// KORVIMAND_FAULT_SEED repeats it. KORVIMAND_FAULT_RUNS sets the walk's
// points per mode and family.
#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/ConcurrencySupport.h"
#include "tests/support/E2e.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestDb.h"

namespace {

namespace fs = std::filesystem;
using testdb::Backend;

const std::vector<std::string> kBereich = {"000000000000", "00000", "999999999999", "99999", "ERF00001"};

// A family of calls: the failure points that share one counter, the errno
// a failed call gives, and whether the walk also fails every call from the
// n-th on (besides only the n-th).
struct Familie {
    const char* name;
    const char* punkte;
    int fehler;
    bool ab = true;
};
const Familie kFamilien[] = {
    {"open", "posix/io/oc/open+posix/stdio/oc/fopen", EACCES},
    {"read", "posix/io/rw/read+posix/io/rw/pread+posix/stdio/rw/fread", EIO},
    {"write", "posix/io/rw/write+posix/io/rw/writev", EIO},
    {"pwrite", "posix/io/rw/pwrite", EIO},
    {"sync", "posix/io/sync/fsync+posix/io/sync/fdatasync", EIO},
    {"rename", "posix/io/dir/rename", EACCES},
    // Not unlink: a run removes no file, so there would be nothing to fail.
    {"flock", "posix/io/lock/flock", ENOLCK},
    // SQLite takes any failed lock of its shared memory for one that another
    // process holds and waits it out on every statement, as the tests of a
    // held database show: only single failures here
    {"fcntl", "posix/io/lock/fcntl", EIO, false},
    {"mmap", "posix/mm/mmap", ENOMEM},
    {"malloc", "libc/mm/malloc+libc/mm/calloc+libc/mm/realloc", ENOMEM},
    // Not send: libpq holds a failed send back and waits for the server's
    // answer, which never comes when only the call failed and the socket is
    // sound; a dead connection fails the receiving side as well.
    {"net", "posix/io/net/recv", ECONNRESET},
    {"poll", "posix/io/net/poll", ENOMEM},
};

const Familie& familie(const std::string& name) {
    for (const Familie& f : kFamilien)
        if (name == f.name) return f;
    throw std::invalid_argument("no call family " + name);
}

std::string eintrag(const Familie& f, const std::string& art, const std::string& wert) {
    return std::string(f.punkte) + ":" + art + ":" + wert + ":" + std::to_string(f.fehler);
}

// Calls and failures per entry, as the decider reports them at exit.
std::vector<std::pair<long, long>> bericht(const std::string& pfad) {
    std::vector<std::pair<long, long>> b;
    std::ifstream f(pfad);
    long aufrufe = 0, fehler = 0;
    while (f >> aufrufe >> fehler) b.emplace_back(aufrufe, fehler);
    return b;
}

// Booking messages on workstations without an assignment for the positions
// the condition picks (i counts four such workstations): one logged failure each.
void ohneZuordnung(const testdb::Db& db, const std::string& bedingung) {
    testdb::sql(db, "insert into Hlx560Mel (KeyBnr, KeyLfn, ObjTyp, KeyPnr, KeyApl, KeyApk, KeyApp, KeyDat) select "
                    "KeyBnr, 10 + i, 'M_A', KeyPnr, 'OHNE' || cast(i as varchar), KeyApk, KeyApp, KeyDat from "
                    "Hlx560Mel, (select 0 as i union all select 1 union all select 2 union all select 3) n where "
                    "KeyLfn = 1 and " +
                        bedingung);
}

// The scenario of a run: positions of variants 2, 3 and 4, sums, markers, a
// package, and a few failures that every run logs; or ("rotation")
// positions that log enough failures for the message log to be moved to its
// backup name during the run.
void szenario(const testdb::Db& db, const std::string& name) {
    zuverlaessig::stammdaten(db);
    if (name == "rotation") {
        // five entries per position: four workstations, then the total record
        zuverlaessig::massendaten(db, 0, 650);
        ohneZuordnung(db, "1 = 1");
        fixtures::schreibenVerhindern(db, "Hlx590Nza", "insert", "NEW.NzaSa = 11");
        return;
    }
    zuverlaessig::massendaten(db, 0, 30);
    const std::string kopf = zuverlaessig::auftragsNummer(0);
    const std::string paket = kopf + "00010" + std::string(13, ' ');
    testdb::sql(db, "update Hlx504App set AppZf2 = '*PKT_KOPF*' where AppApk = '" + kopf + "' and AppApp = '00010'");
    testdb::sql(db, "update Hlx504App set AppZf2 = '" + paket + "' where AppApk = '" + zuverlaessig::auftragsNummer(2) +
                        "' and AppApp in ('00020', '00030')");
    ohneZuordnung(db, "KeyApk = '" + zuverlaessig::auftragsNummer(1) + "' and KeyApp = '00050' and i = 0");
    fixtures::schreibenVerhindern(db, "Hlx580Pps", "insert",
                                  "NEW.PpsApk = '" + zuverlaessig::auftragsNummer(1) + "' and NEW.PpsApp = '00070'");
}

void pgBefehl(const std::string& sql) {
    PGconn* c = PQconnectdb(std::getenv("KORVIMAND_TEST_PG"));
    PGresult* r = PQexec(c, sql.c_str());
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    const std::string msg = PQerrorMessage(c);
    PQclear(r);
    PQfinish(c);
    if (!ok) throw std::runtime_error("fault test: " + msg + " in: " + sql);
}

// A database filled once per scenario and backend; every run gets a copy.
struct Vorlage {
    testdb::Db db;
    int kopien = 0;

    testdb::Db kopie() {
        testdb::Db k = db;
        k.dir = db.dir + "/k" + std::to_string(++kopien);
        fs::create_directory(k.dir);
        if (db.backend == Backend::Sqlite) {
            k.net8 = "sqlite:" + k.dir + "/korvimand.db";
            fs::copy_file(db.dir + "/korvimand.db", k.dir + "/korvimand.db");
            return k;
        }
        const std::string name = db.login + "_k" + std::to_string(kopien);
        pgBefehl("create database " + name + " template " + db.login + " owner " + db.login);
        pgBefehl("alter database " + name + " set synchronous_commit = off");
        k.net8.replace(k.net8.find(db.login), db.login.size(), name);
        return k;
    }
    void weg(const testdb::Db& k) {
        if (k.backend == Backend::Postgres) {
            const std::string name = k.net8.substr(k.net8.find(db.login), db.login.size() + 32);
            pgBefehl("drop database if exists " + name.substr(0, name.find('?')) + " with (force)");
        }
        std::error_code ec;
        fs::remove_all(k.dir, ec);
    }
};

struct Lauf {
    e2e::Result r;
    std::vector<std::pair<long, long>> bericht;
};

Lauf starten(const e2e::Tree& t, const std::string& fiu, unsigned seed) {
    e2e::RunOptions o;
    o.timeoutSeconds = 60;
    const std::string berichtPfad = t.root + "/fiu.bericht";
    o.env = {"LD_PRELOAD=/usr/lib/fiu/fiu_posix_preload.so " KORVIMAND_FIU_PRELOAD, "KORVIMAND_FIU=" + fiu,
             "KORVIMAND_FIU_SEED=" + std::to_string(seed), "KORVIMAND_FIU_BERICHT=" + berichtPfad};
    Lauf l;
    l.r = e2e::runWith(t, KORVIMAND_BIN, kBereich, o);
    l.bericht = bericht(berichtPfad);
    fs::remove(berichtPfad);
    return l;
}

// Entries of the log and its backup, as "function / message / code", sorted.
std::vector<std::string> eintraege(const e2e::Tree& t) {
    std::vector<std::string> v;
    for (const std::string& bytes : {zuverlaessig::dateiLesen(t.workDir + "/Msg/Korvimand.old"), e2e::readLog(t)})
        for (const auto& e : e2e::parseLog(bytes))
            v.push_back(e.funktion + " / " + e.message + " / " + std::to_string(e.code));
    std::sort(v.begin(), v.end());
    return v;
}

std::string ersteAenderung(const std::vector<std::string>& soll, const std::vector<std::string>& ist) {
    const auto d = std::mismatch(soll.begin(), soll.end(), ist.begin(), ist.end());
    return "clean run \"" + (d.first != soll.end() ? *d.first : "-") + "\", this run \"" +
           (d.second != ist.end() ? *d.second : "-") + "\"";
}

// Whether a has an entry that b does not.
bool mehr(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    std::vector<std::string> d;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(d));
    return !d.empty();
}

struct Zaehler {
    int laeufe = 0;
    long fehler = 0;
    int sichtbar = 0;  // runs whose outcome the faults changed
};

class Systemaufruf : public ::testing::TestWithParam<std::tuple<Backend, std::string, std::string>> {
protected:
    void SetUp() override {
        if (zuverlaessig::langsam())
            GTEST_SKIP() << "fault injection preloads libfiu into the plain build; the sanitizers own malloc here";
        zuverlaessig::SchnellerOrdner schnell;
        seed = std::random_device{}();
        if (const char* s = std::getenv("KORVIMAND_FAULT_SEED"); s && *s) seed = static_cast<unsigned>(std::stoul(s));
        std::printf("faults %s: KORVIMAND_FAULT_SEED=%u\n",
                    ::testing::UnitTest::GetInstance()->current_test_info()->name(), seed);
        vorlage.db = testdb::create(backend());
        zuverlaessig::schnelleCommits(vorlage.db);
        szenario(vorlage.db, szenarioName());
        if (backend() == Backend::Sqlite) testdb::value(vorlage.db, "PRAGMA wal_checkpoint(TRUNCATE)");

        // the clean run: what every rerun must leave, and the family's calls
        testdb::Db db = vorlage.kopie();
        e2e::Tree t = e2e::makeTree(db);
        std::string zaehlen;
        for (const Familie& f : kFamilien) zaehlen += eintrag(f, "zaehlen", "0") + " ";
        const Lauf l = starten(t, zaehlen, 0);
        EXPECT_EQ(l.r.status, 0) << l.r.err;
        ASSERT_EQ(l.bericht.size(), std::size(kFamilien)) << "the decider left no report: is it preloaded?";
        referenz = zuverlaessig::stand(db, "000000000000", "999999999999");
        referenzEintraege = eintraege(t);
        EXPECT_FALSE(referenzEintraege.empty());
        for (std::size_t i = 0; i < l.bericht.size(); ++i) aufrufe[kFamilien[i].name] = l.bericht[i].first;
        e2e::removeTree(t);
        vorlage.weg(db);
    }
    void TearDown() override {
        if (!vorlage.db.dir.empty()) testdb::destroy(vorlage.db);
    }
    Backend backend() const { return std::get<0>(GetParam()); }
    std::string szenarioName() const { return std::get<2>(GetParam()); }

    // One run under the faults, its checks, and the rerun without them.
    void pruefen(const std::string& fiu, unsigned laufSeed, const std::string& familieName) {
        SCOPED_TRACE("KORVIMAND_FAULT_SEED=" + std::to_string(seed) + ": KORVIMAND_FIU='" + fiu +
                     "' KORVIMAND_FIU_SEED=" + std::to_string(laufSeed));
        zuverlaessig::SchnellerOrdner schnell;
        testdb::Db db = vorlage.kopie();
        e2e::Tree t = e2e::makeTree(db);
        Lauf l;
        try {
            l = starten(t, fiu, laufSeed);
        } catch (const std::exception& e) {
            haengt = true;
            ADD_FAILURE() << e.what();  // a hang
        }
        EXPECT_TRUE(l.r.status == 0 || l.r.status == 1) << "status " << l.r.status << "\n" << l.r.err;
        EXPECT_FALSE(l.bericht.empty()) << "the decider left no report";
        long fehler = 0;
        for (const auto& [a, f] : l.bericht) fehler += f;
        zaehler.fehler += fehler;
        ++zaehler.laeufe;

        std::vector<std::string> n;
        EXPECT_NO_THROW(n = eintraege(t)) << "torn log entry";
        const bool sqlite = db.backend == Backend::Sqlite;
        if (sqlite) {
            EXPECT_EQ(testdb::value(db, "PRAGMA integrity_check"), "ok");
        }
        const auto nachher = zuverlaessig::stand(db, "000000000000", "999999999999");
        const bool gemeldet = mehr(n, referenzEintraege) || !l.r.err.empty();
        // an entry of the clean run that is missing is a change too
        if (nachher != referenz || l.r.status != 0 || mehr(referenzEintraege, n)) {
            ++zaehler.sichtbar;
            EXPECT_TRUE(gemeldet) << "the faults changed the outcome and nothing was reported; first change: "
                                  << ersteAenderung(referenz, nachher);
        }
        if (familieName == "rename") {
            EXPECT_FALSE(mehr(referenzEintraege, n)) << "entries lost to a failed rotation";
        }
        if (familieName == "net" || familieName == "poll") {
            // as when the server goes away: every further entry a database failure
            std::vector<std::string> neu;
            std::set_difference(n.begin(), n.end(), referenzEintraege.begin(), referenzEintraege.end(),
                                std::back_inserter(neu));
            for (const auto& e : neu) EXPECT_NE(e.find(" / -"), std::string::npos) << e;
        }

        fs::remove_all(t.workDir + "/Msg");
        const e2e::Result zweiter = e2e::run(t, kBereich);
        EXPECT_EQ(zweiter.status, 0) << zweiter.err;
        EXPECT_EQ(eintraege(t), referenzEintraege) << "the rerun reports other failures than a clean run";
        if (sqlite) {
            EXPECT_EQ(testdb::value(db, "PRAGMA integrity_check"), "ok");
        }
        EXPECT_EQ(zuverlaessig::doppelteNummern(db), "0");
        EXPECT_TRUE(zuverlaessig::stand(db, "000000000000", "999999999999") == referenz)
            << "the rerun differs from a clean run";
        e2e::removeTree(t);
        vorlage.weg(db);
    }

    unsigned seed = 0;
    bool haengt = false;  // a run hung: the rest of the walk would wait as long
    Vorlage vorlage;
    std::vector<std::string> referenz;
    std::vector<std::string> referenzEintraege;
    std::map<std::string, long> aufrufe;
    Zaehler zaehler;
};

// Each family alone: from the n-th call on and only the n-th call, n
// walking the calls of a clean run.
TEST_P(Systemaufruf, Familie) {
    const std::string name = std::get<1>(GetParam());
    const Familie& f = familie(name);
    const long gesamt = aufrufe[name];
    // PostgreSQL's runs each wait for a copy of the database and round trips:
    // few points, but many for the client library's memory, whose calls
    // while a pipeline's answers are read lie in a small stretch late in the
    // run (a reader that hangs there is found by 64 points nearly always, by
    // 8 rarely)
    const bool sqlite = backend() == Backend::Sqlite;
    const int proArt = zuverlaessig::anzahl("KORVIMAND_FAULT_RUNS", sqlite ? 12 : name == "malloc" ? 64 : 8, 1);
    std::mt19937 zufall(seed);
    std::vector<long> stellen;
    if (gesamt <= proArt) {
        for (long n = 1; n <= gesamt; ++n) stellen.push_back(n);
    } else {
        for (int i = 0; i < proArt; ++i) {
            const double u = std::uniform_real_distribution<double>(0, 1)(zufall);
            stellen.push_back(1 + static_cast<long>((i + u) * static_cast<double>(gesamt) / proArt));
        }
    }
    for (const char* art : {"ab", "nur"})
        if (f.ab || std::string(art) == "nur")
            for (long n : stellen)
                if (!haengt) pruefen(eintrag(f, art, std::to_string(n)), seed, name);
    std::printf("faults %s %s %s: seed %u, %ld calls in a clean run, %d runs, %ld faults injected, %d changed the "
                "outcome\n",
                testdb::name(backend()), name.c_str(), szenarioName().c_str(), seed, gesamt, zaehler.laeufe,
                zaehler.fehler, zaehler.sichtbar);
    EXPECT_GT(zaehler.fehler, 0) << "KORVIMAND_FAULT_SEED=" << seed << ": no fault injected";
}

class SystemaufrufZufall : public Systemaufruf {};

// Every family at once, each call failing with a probability that gives
// about one failure per family and run.
TEST_P(SystemaufrufZufall, AlleFamilien) {
    const int laeufe = zuverlaessig::anzahl("KORVIMAND_FAULT_RUNS", backend() == Backend::Sqlite ? 40 : 12, 1);
    std::mt19937 zufall(seed);
    for (int i = 0; i < laeufe && !haengt; ++i) {
        std::string fiu;
        for (const Familie& f : kFamilien) {
            const long n = aufrufe[f.name];
            if (n == 0) continue;
            const double p = std::uniform_real_distribution<double>(0.2, 2.0)(zufall) / static_cast<double>(n);
            fiu += eintrag(f, "zufall", std::to_string(p)) + " ";
        }
        pruefen(fiu, static_cast<unsigned>(zufall()), "alle");
    }
    std::printf("faults %s random: seed %u, %d runs, %ld faults injected, %d changed the outcome\n",
                testdb::name(backend()), seed, zaehler.laeufe, zaehler.fehler, zaehler.sichtbar);
    EXPECT_GT(zaehler.fehler, 0) << "KORVIMAND_FAULT_SEED=" << seed << ": no fault injected";
}

std::vector<std::tuple<Backend, std::string, std::string>> faelle(bool zufall) {
    std::vector<std::tuple<Backend, std::string, std::string>> v;
    for (Backend b : testdb::backends()) {
        if (zufall) {
            v.emplace_back(b, "alle", "klein");
            continue;
        }
        const bool sqlite = b == Backend::Sqlite;
        for (const Familie& f : kFamilien) {
            const std::string n = f.name;
            const bool netz = n == "net" || n == "poll";
            // the client side of PostgreSQL: its socket and the memory
            if (sqlite ? netz : !(netz || n == "malloc")) continue;
            v.emplace_back(b, n, n == "rename" ? "rotation" : "klein");
        }
    }
    return v;
}

std::string fallName(const ::testing::TestParamInfo<std::tuple<Backend, std::string, std::string>>& info) {
    return std::string(testdb::name(std::get<0>(info.param))) + "_" + std::get<1>(info.param);
}

INSTANTIATE_TEST_SUITE_P(Fiu, Systemaufruf, ::testing::ValuesIn(faelle(false)), fallName);
INSTANTIATE_TEST_SUITE_P(Fiu, SystemaufrufZufall, ::testing::ValuesIn(faelle(true)), fallName);

}  // namespace
