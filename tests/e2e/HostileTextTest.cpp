// Texts, files and links an attacker with write access to the database or
// to a shared folder may plant: shown, they command no terminal and no
// spreadsheet; written or read, they redirect nothing and hang nothing.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/e2e/ConcurrencySupport.h"
#include "tests/support/Csv.h"
#include "tests/support/E2e.h"
#include "tests/support/Fixtures.h"
#include "util/MsgLog.h"

namespace {

namespace fs = std::filesystem;

bool hatSteuerzeichen(const std::string& s) { return s.find_first_of("\x1b\x07") != std::string::npos; }

// An entry of the message log with this function and message.
std::string eintrag(const std::string& text) {
    MsgEntry e;
    e.Funktion = e.Message = text;
    e.MsgArt = FMSG;
    return Msg_Eintrag(e, FMSG, std::tm{});
}

class HostileText : public e2e::TreeTest {};

// Each text as a workstation's name and in the message log: on a terminal
// escaped and in UTF-8, in CSV no formula, a negative number still a number.
TEST_P(HostileText, CommandsNoTerminalAndNoSpreadsheet) {
    const struct {
        std::string text, tabelle, csv;
    } faelle[] = {
        {"=1+1", "=1+1", "'=1+1"},           {"@SUM(A1)", "@SUM(A1)", "'@SUM(A1)"},
        {"-1+2", "-1+2", "'-1+2"},           {"\x1b]0;X\x07", "\\x1B]0;X\\x07", "\\x1B]0;X\\x07"},
        {"\x1b[2J", "\\x1B[2J", "\\x1B[2J"}, {"Caf\xe9", "Caf\xc3\xa9", "Caf\xc3\xa9"},
    };
    std::string log;
    fixtures::Position p;
    p.sme = -5;
    for (std::size_t i = 0; i < std::size(faelle); ++i) {
        p.app = "0001" + std::to_string(i);
        p.apl = faelle[i].text;
        fixtures::position(db, p);
        log += eintrag(faelle[i].text);
    }
    // on PostgreSQL a character the code page lacks: the row shows "?" in its place
    const bool pg = db.backend == testdb::Backend::Postgres;
    if (pg) {
        p.app = "00099";
        fixtures::position(db, p);
        testdb::sql(db, "update Hlx504App set AppApl=convert_from('\\xcea9'::bytea,'UTF8') where AppApp='00099'");
    }
    const std::string logDatei = tree.root + "/hostile.log";
    std::ofstream(logDatei, std::ios::binary) << log;

    const e2e::Result text = admin({"report", "--table", "positions"});
    const e2e::Result csv = admin({"report", "--table", "positions", "--csv"});
    const e2e::Result logText = admin({"log", "--file", logDatei});
    const e2e::Result logCsv = admin({"log", "--file", logDatei, "--csv"});
    const e2e::Result fehler = admin({"report", "--log", logDatei, "--table", "failures", "--csv"});
    const e2e::Result seite = admin({"report", "--log", logDatei, "--html", tree.root + "/r.html"});
    const std::string html = zuverlaessig::dateiLesen(tree.root + "/r.html");
    for (const e2e::Result* r : {&text, &csv, &logText, &logCsv, &fehler, &seite}) {
        EXPECT_EQ(r->status, 0) << r->err;
        EXPECT_FALSE(hatSteuerzeichen(r->out)) << r->out;
    }
    EXPECT_FALSE(hatSteuerzeichen(html));
    const auto zeilen = testcsv::csv(csv.out), logZeilen = testcsv::csv(logCsv.out),
               fehlerZeilen = testcsv::csv(fehler.out);
    ASSERT_EQ(zeilen.size(), std::size(faelle) + (pg ? 2 : 1));
    if (pg) {
        EXPECT_EQ(zeilen.back()[3], "?");
        EXPECT_NE(csv.err.find("1 row holds a character that Windows-1252 lacks"), std::string::npos) << csv.err;
    }
    ASSERT_EQ(logZeilen.size(), std::size(faelle) + 1);
    for (std::size_t i = 0; i < std::size(faelle); ++i) {
        SCOPED_TRACE(faelle[i].tabelle);
        EXPECT_NE(text.out.find(faelle[i].tabelle), std::string::npos);
        EXPECT_NE(logText.out.find(faelle[i].tabelle), std::string::npos);
        EXPECT_EQ(zeilen[i + 1][3], faelle[i].csv);
        EXPECT_EQ(zeilen[i + 1][5], "-5");
        EXPECT_EQ(logZeilen[i + 1][3], faelle[i].csv);
        EXPECT_EQ(logZeilen[i + 1][4], faelle[i].csv);
        const testcsv::Zeile fehlerZeile = {"1", faelle[i].csv, faelle[i].csv};
        EXPECT_NE(std::find(fehlerZeilen.begin(), fehlerZeilen.end(), fehlerZeile), fehlerZeilen.end()) << fehler.out;
    }
}

INSTANTIATE_TEST_SUITE_P(E2e, HostileText, ::testing::ValuesIn(testdb::backends()),
                         [](const auto& info) { return std::string(testdb::name(info.param)); });

// A link where a file is written, a pipe or a device where one is read:
// the link's target stays as it was and every program ends promptly.
TEST(HostileFiles, LinksPipesAndDevicesAreRefused) {
    zuverlaessig::SchnellerOrdner schnell;
    testdb::Db db = testdb::create(testdb::Backend::Sqlite);
    e2e::Tree t = e2e::makeTree(db);
    const std::string ziel = t.root + "/ziel", fifo = t.root + "/fifo", msg = t.workDir + "/Msg";
    std::ofstream(ziel) << "unberuehrt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    e2e::RunOptions o;
    o.timeoutSeconds = 60;
    const auto lauf = [&](int status, const std::string& programm, const std::vector<std::string>& args) {
        e2e::Result r;
        EXPECT_NO_THROW(r = e2e::runWith(t, programm, args, o));
        EXPECT_EQ(r.status, status) << r.err;
        EXPECT_EQ(zuverlaessig::dateiLesen(ziel), "unberuehrt");
        return r;
    };

    // the page and the configuration: links at their names and at the
    // page's former temporary name are replaced, not written through
    for (const char* name : {"/r.html", "/r.html.new", "/k.ini"}) fs::create_symlink(ziel, t.root + name);
    lauf(0, KORVIMAND_ADMIN_BIN, {"report", "--html", t.root + "/r.html"});
    lauf(0, KORVIMAND_ADMIN_BIN,
         {"ini", "--login", "a", "--password", "b", "--net8", "c", "--file", t.root + "/k.ini"});
    for (const char* name : {"/r.html", "/k.ini"}) EXPECT_FALSE(fs::is_symlink(t.root + name)) << name;

    // the message log: a link at it, a link someone else made at its
    // folder, a pipe; korvimand without arguments logs one entry
    const std::string fremd = t.root + "/fremd";
    fs::create_directory(fremd);
    for (int fall = 0; fall < 3; ++fall) {
        SCOPED_TRACE(fall);
        fs::remove_all(msg);
        if (fall == 1) {
            fs::create_directory_symlink(fremd, msg);
            ASSERT_EQ(::lchown(msg.c_str(), 65534, 65534), 0);
        } else {
            fs::create_directory(msg);
        }
        if (fall == 0) fs::create_symlink(ziel, msg + "/Korvimand.Txt");
        if (fall == 2) ::mkfifo((msg + "/Korvimand.Txt").c_str(), 0600);
        EXPECT_NE(lauf(0, KORVIMAND_BIN, {}).err.find("korvimand: message log not written"), std::string::npos);
        EXPECT_TRUE(fs::is_empty(fremd));
    }

    // a pipe as configuration and as the log to read, a device as the log
    o.env = {"KORVIMAND_INI=" + fifo};
    lauf(1, KORVIMAND_BIN, {"000000004711", "00000", "000000004711", "99999", "ERF00001"});
    o.env = {};
    for (const std::string& datei : {fifo, std::string("/dev/zero")})
        EXPECT_NE(lauf(1, KORVIMAND_ADMIN_BIN, {"log", "--file", datei}).err.find("not a regular file"),
                  std::string::npos);

    // a log longer than is read: its newest entries, said so
    std::ofstream(t.root + "/lang.log", std::ios::binary) << std::string((16 << 20) + 10, 'x') << eintrag("Neueste");
    const e2e::Result r = lauf(0, KORVIMAND_ADMIN_BIN, {"log", "--file", t.root + "/lang.log"});
    EXPECT_NE(r.err.find("holds more than 16 MiB"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("Neueste"), std::string::npos);
    EXPECT_EQ(r.out.find("foreign"), std::string::npos);

    // an SQLite target is a plain path, never a URI, and never a device
    lauf(0, KORVIMAND_ADMIN_BIN, {"init-db", "--net8", "sqlite:file:u.db?mode=memory"});
    EXPECT_TRUE(fs::is_regular_file(t.workDir + "/file:u.db?mode=memory"));
    lauf(1, KORVIMAND_ADMIN_BIN, {"init-db", "--net8", "sqlite:/dev/null"});
    EXPECT_FALSE(fs::exists("/dev/null-journal"));
    e2e::removeTree(t);
    testdb::destroy(db);
}

}  // namespace
