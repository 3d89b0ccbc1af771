// The database password stays secret: the program reads it from the
// configuration file, so it is never on a command line or in the
// environment of a run, and no failure shows it in the message log or the
// program's output. korvimand-admin takes it from stdin or an environment
// variable and writes it only enciphered.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "tests/e2e/ConcurrencySupport.h"
#include "tests/support/E2e.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestDb.h"
#include "util/Config.h"

namespace {

using zuverlaessig::Hintergrund;

const std::vector<std::string> kLauf = {"000000004711", "00000", "000000004711", "99999", "ERF00001"};

bool enthaelt(const std::string& text, const std::string& geheim) { return text.find(geheim) != std::string::npos; }

class Secrets : public ::testing::TestWithParam<testdb::Backend> {
protected:
    void SetUp() override {
        zuverlaessig::SchnellerOrdner schnell;
        db = testdb::create(GetParam());
        tree = e2e::makeTree(db);
        // SQLite needs no password; the configuration carries one all the same
        geheim = db.password.empty() ? std::string("Sqlite-Geheim-0815") : db.password;
        if (db.password.empty()) ini(geheim);
        fixtures::laufparameter(db);
        fixtures::auftrag(db, "000000004711");
        fixtures::variante(db, "APL01", 2, 0);
        fixtures::Position p;
        p.ste = 0.30;
        p.ime = 3;
        fixtures::position(db, p);
        fixtures::meldung(db, fixtures::Meldung{});
    }
    void TearDown() override {
        e2e::removeTree(tree);
        testdb::destroy(db);
    }
    // Rewrites the configuration with this password and the same login and database.
    void ini(const std::string& passwort) {
        const std::string login = Cfg_ReadValue("", "LOGIN", 0, tree.iniPath);
        const std::string net8 = Cfg_ReadValue("", "NET8", 0, tree.iniPath);
        std::ofstream(tree.iniPath, std::ios::binary | std::ios::trunc) << Cfg_DbLoginFile(login, passwort, net8);
    }
    void keinGeheimnis(const std::string& wo, const std::string& text) const {
        EXPECT_FALSE(enthaelt(text, geheim)) << "the password shows in " << wo;
    }

    testdb::Db db;
    e2e::Tree tree;
    std::string geheim;
};

TEST_P(Secrets, NotOnTheCommandLineOrInTheEnvironmentOfARun) {
    // the database is held so that the run stays alive to be looked at
    zuverlaessig::DatenbankSperre sperre(db);
    Hintergrund lauf(tree, kLauf);
    std::string cmdline;
    for (int i = 0; i < 250 && !enthaelt(cmdline, "ERF00001"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        cmdline = lauf.proc("cmdline");
    }
    ASSERT_TRUE(lauf.laeuft());
    EXPECT_TRUE(enthaelt(cmdline, "ERF00001")) << "not the run's command line";
    keinGeheimnis("the command line", cmdline);
    keinGeheimnis("the environment", lauf.proc("environ"));
    sperre.freigeben();
    EXPECT_EQ(lauf.warten(120), 0);
    keinGeheimnis("the output", lauf.ausgabe());
    keinGeheimnis("the error output", lauf.fehlerAusgabe());
}

TEST_P(Secrets, NotInTheLogOrOutputWhenThingsFail) {
    // every NZA write and the run-parameter update refused
    fixtures::schreibenVerhindern(db, "Hlx590Nza", "insert");
    fixtures::schreibenVerhindern(db, "Hlx591Nzp", "update");
    e2e::Result r = e2e::run(tree, kLauf);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(e2e::parseLog(e2e::readLog(tree)).size(), 3u);
    keinGeheimnis("the log", e2e::readLog(tree));
    keinGeheimnis("the output", r.out + r.err);

    // a refused login (PostgreSQL: a wrong password, a role that does not
    // exist) or a database file that is missing (SQLite): the wrong password
    // must not show either
    geheim = "Falsch-" + geheim.substr(0, 20);
    const bool sqlite = db.backend == testdb::Backend::Sqlite;
    const std::string login = Cfg_ReadValue("", "LOGIN", 0, tree.iniPath);
    const std::string net8 = sqlite ? "sqlite:missing/bde.db" : Cfg_ReadValue("", "NET8", 0, tree.iniPath);
    for (const std::string& anmeldung :
         sqlite ? std::vector<std::string>{login} : std::vector<std::string>{login, "korvi_no_such_role"}) {
        SCOPED_TRACE(anmeldung);
        std::filesystem::remove_all(tree.workDir + "/Msg");
        std::ofstream(tree.iniPath, std::ios::binary | std::ios::trunc) << Cfg_DbLoginFile(anmeldung, geheim, net8);
        r = e2e::run(tree, kLauf);
        EXPECT_EQ(r.status, 1);
        const std::string log = e2e::readLog(tree);
        const auto eintraege = e2e::parseLog(log);
        ASSERT_EQ(eintraege.size(), 1u);
        EXPECT_EQ(eintraege[0].funktion, "dbConnect");
        EXPECT_EQ(eintraege[0].message, "Fehlerhafter Connect mit der DB ");
        EXPECT_EQ(eintraege[0].code, sqlite ? -27041 : -1017);
        keinGeheimnis("the log", log);
        keinGeheimnis("the output", r.out + r.err);
    }
    EXPECT_FALSE(std::filesystem::exists(tree.workDir + "/missing/bde.db")) << "a wrong path created a database";

    // nor in what korvimand-admin says about that database
    r = e2e::runProgram(tree, KORVIMAND_ADMIN_BIN, {"init-db"});
    if (db.backend == testdb::Backend::Postgres) {
        EXPECT_NE(r.status, 0);
    }
    keinGeheimnis("korvimand-admin init-db's output", r.out + r.err);
}

INSTANTIATE_TEST_SUITE_P(E2e, Secrets, ::testing::ValuesIn(testdb::backends()),
                         [](const auto& info) { return std::string(testdb::name(info.param)); });

// korvimand-admin ini: the password from stdin, never needed on the command
// line, never shown, stored enciphered (from an environment variable: AdminCfg).
TEST(Secrets, IniTakesThePasswordFromStdin) {
    const std::string geheim = "Ini-Geheim-4711;x";
    e2e::Tree t = e2e::makeEmptyTree();
    const std::string datei = t.root + "/files/helixonar.ini";

    {
        SCOPED_TRACE("--password -");
        Hintergrund admin(t,
                          {"ini", "--login", "operator", "--password", "-", "--net8", "sqlite:bde.db", "--file", datei},
                          {}, "admin", KORVIMAND_ADMIN_BIN, true);
        // it waits for the password: its command line has none
        std::string cmdline;
        for (int i = 0; i < 250 && !enthaelt(cmdline, "--password"); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            cmdline = admin.proc("cmdline");
        }
        EXPECT_TRUE(enthaelt(cmdline, "--password")) << "not the program's command line";
        EXPECT_FALSE(enthaelt(cmdline, geheim));
        admin.eingabe(geheim + "\n");
        EXPECT_EQ(admin.warten(60), 0) << admin.fehlerAusgabe();
        EXPECT_FALSE(enthaelt(admin.ausgabe() + admin.fehlerAusgabe(), geheim));
        EXPECT_EQ(Cfg_ReadValue("", "PASS", 0, datei), geheim);
        EXPECT_FALSE(enthaelt(zuverlaessig::dateiLesen(datei), geheim)) << "stored in plain text";
    }
    {
        SCOPED_TRACE("a password too long is refused without showing it");
        e2e::RunOptions o;
        const std::string lang = geheim + std::string(40, 'z');
        o.input = lang + "\n";
        const e2e::Result r =
            e2e::runWith(t, KORVIMAND_ADMIN_BIN,
                         {"ini", "--login", "operator", "--password", "-", "--net8", "sqlite:bde.db", "--file", datei},
                         o);
        EXPECT_NE(r.status, 0);
        EXPECT_FALSE(enthaelt(r.out + r.err, geheim));
        EXPECT_EQ(Cfg_ReadValue("", "PASS", 0, datei), geheim) << "the file was changed";
    }
    e2e::removeTree(t);
}

}  // namespace
