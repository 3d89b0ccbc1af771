// Input rows as the suite's other programs may leave them: every nullable
// column NULL at times, texts at their full width, numbers 0, negative, huge
// (1e300) or tiny (1e-300). A seeded generator fills every input table, and
// two databases filled alike are each evaluated once. The runs must end
// normally without a sanitizer report, leave no non-finite value, report
// every position they could not complete, and leave the same rows.
//
// KORVIMAND_ODD_POSITIONS sets the positions (default 3000 on SQLite and
// 2000 on PostgreSQL, also under the sanitizers), KORVIMAND_ODD_SEED the seed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "tests/e2e/ConcurrencySupport.h"
#include "tests/support/E2e.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestDb.h"

namespace {

using fixtures::q;
using testdb::Backend;

constexpr const char* kTage[] = {"2024-03-01", "2024-03-04", "2024-03-05"};
constexpr int kPlaetze = 8;

// What a column holds: a key from a small domain (so that rows meet), or a
// value that is odd now and then.
enum class Art { Platz, Gruppe, Kalender, Zeitpunkt, Ende, Text, Real, Kurz, Eins, Funktion, Objekt };

class Generator {
public:
    Generator(const testdb::Db& db, unsigned seed) : db_(db), zufall_(seed) {}

    void fuellen(int positionen) {
        stammdaten();
        for (int i = 0; i < positionen; ++i) position(i);
        for (auto& [tabelle, zeilen] : offen_) schreiben(tabelle, zeilen);
    }

private:
    bool selten(double p = 0.3) { return std::uniform_real_distribution<double>(0, 1)(zufall_) < p; }
    int zahl(int n) { return std::uniform_int_distribution<int>(0, n - 1)(zufall_); }
    std::string zeitpunkt(const std::string& t) { return zuverlaessig::zeitpunkt(db_, t); }

    std::string text(int breite) {
        switch (zahl(6)) {
            case 0:
                return "NULL";
            case 1:
                return q(std::string(static_cast<std::size_t>(breite), 'W'));
            case 2:
                return q(std::string(static_cast<std::size_t>(breite), ' '));
            case 3:
                return q(std::string(1, "'*0Z"[zahl(4)]));
            default: {
                std::string s(static_cast<std::size_t>(1 + zahl(breite)), 'a');
                for (char& c : s) c = static_cast<char>('A' + zahl(26));
                return q(s);
            }
        }
    }
    std::string real() {
        static constexpr const char* odd[] = {"NULL", "0", "-0.5", "1e300", "-1e300", "1e-300", "-1e-300", "99999.59"};
        static constexpr const char* gut[] = {"0.25", "1.30", "0.45", "2.75", "12.59", "3", "10", "100"};
        return selten() ? odd[zahl(8)] : gut[zahl(8)];
    }
    std::string kurz() {
        static constexpr const char* odd[] = {"NULL", "0", "-1", "32767", "-32768"};
        return selten() ? odd[zahl(5)] : std::to_string(1 + zahl(4));
    }
    std::string wert(Art a, int breite) {
        switch (a) {
            case Art::Platz:
                return selten(0.1) ? text(10) : q("W" + std::to_string(zahl(kPlaetze)));
            case Art::Gruppe:
                return selten(0.2) ? text(10) : q("G" + std::to_string(zahl(3)));
            case Art::Kalender:
                return selten(0.1) ? "NULL" : q("K" + std::to_string(zahl(2)));
            case Art::Zeitpunkt:
                if (selten(0.1)) return "NULL";
                return zeitpunkt(std::string(kTage[zahl(3)]) + (zahl(2) ? " 06:00:00" : " 23:59:59"));
            case Art::Ende:
                return selten(0.1) ? wert(Art::Zeitpunkt, 0) : "NULL";
            case Art::Eins:
                return selten(0.1) ? kurz() : "1";
            case Art::Text:
                return text(breite);
            case Art::Real:
                return real();
            case Art::Kurz:
                return kurz();
            case Art::Funktion:
                return selten() ? text(3) : q(zahl(2) ? "A07" : "A06");
            case Art::Objekt:
                return selten(0.1) ? text(3) : q("M_A");
        }
        return "NULL";
    }

    struct Spalte {
        const char* name;
        Art art;
        int breite = 0;
    };
    // One row of the table: the given key values, then a value of each column.
    void zeile(const std::string& tabelle, const std::string& schluessel, const std::string& werte,
               const std::vector<Spalte>& spalten) {
        std::string namen = schluessel, v = werte;
        for (const Spalte& s : spalten) {
            namen += std::string(namen.empty() ? "" : ", ") + s.name;
            v += std::string(v.empty() ? "" : ", ") + wert(s.art, s.breite);
        }
        auto& z = offen_[tabelle + " (" + namen + ")"];
        z.push_back("(" + v + ")");
        if (z.size() == 400) schreiben(tabelle + " (" + namen + ")", z);
    }
    void schreiben(const std::string& ziel, std::vector<std::string>& zeilen) {
        if (zeilen.empty()) return;
        std::string sql = "insert into " + ziel + " values ";
        for (std::size_t i = 0; i < zeilen.size(); ++i) sql += (i ? "," : "") + zeilen[i];
        testdb::sql(db_, sql);
        zeilen.clear();
    }
    std::string system(const char* tabelle) const {
        return std::string(db_.backend == Backend::Postgres ? "hlsystem." : "") + tabelle;
    }

    void stammdaten() {
        fixtures::laufparameter(db_);
        for (int e = 0; e < 3; ++e)
            zeile("Hlx533Emo", "EmoEmo", q("E" + std::to_string(e)),
                  {{"EmoBez", Art::Text, 30}, {"EmoTtp", Art::Eins}, {"EmoBeg", Art::Real}});
        for (const char* t : kTage) {
            const std::string tag = zeitpunkt(std::string(t) + " 00:00:00");
            zeile(system("Hlx133Bak"), "BakDtm", tag,
                  {{"BakJhr", Art::Kurz},
                   {"BakMon", Art::Kurz},
                   {"BakWch", Art::Kurz},
                   {"BakWtg", Art::Kurz},
                   {"BakJtg", Art::Kurz}});
            for (int k = 0; k < 2; ++k)
                zeile(system("Hlx133Kal"), "KalNum, KalDtm", q("K" + std::to_string(k)) + ", " + tag,
                      {{"KalBtp", Art::Eins}});
        }
        for (int w = 0; w < kPlaetze; ++w) {
            const std::string apl = q("W" + std::to_string(w));
            zeile("Hlx531Apl", "AplApl", apl,
                  {{"AplBez", Art::Text, 30}, {"AplApg", Art::Gruppe}, {"AplSts", Art::Kurz}});
            // an assignment of the workstation and of each group, now and then none
            for (int kng = 1; kng <= 2; ++kng) {
                if (selten(0.05) || (kng == 1 && w >= 3)) continue;
                zeile("Hlx532Aem", "AemKng, AemApg, AemGvo, AemEmo",
                      std::to_string(kng) + ", " + (kng == 2 ? apl : q("G" + std::to_string(w % 3))) + ", " +
                          zeitpunkt(selten(0.1) ? "2024-03-05 00:00:00" : "2024-01-01 00:00:00") + ", " +
                          q("E" + std::to_string(w % 3)),
                      {{"AemGbi", Art::Ende},
                       {"AemBez", Art::Text, 30},
                       {"AemKal", Art::Kalender},
                       {"AemLkz", Art::Kurz},
                       {"AemAfz", Art::Kurz},
                       {"AemMaz", Art::Kurz}});
            }
        }
        if (!selten(0.2)) zeile("Hlx552Bnr", "BnrKey", q("PPSNR"), {{"BnrBnr", Art::Kurz}, {"BnrEsb", Art::Text, 8}});
    }

    void position(int i) {
        char apk[16], app[8];
        std::snprintf(apk, sizeof apk, "%012d", 700000 + i / 10);
        std::snprintf(app, sizeof app, "%05d", (i % 10 + 1) * 10);
        const std::string schluessel = q(apk) + ", " + q(app);
        if (i % 10 == 0) zeile("Hlx501Apk", "ApkApk", q(apk), {{"ApkTnr", Art::Text, 20}, {"ApkBz1", Art::Text, 30}});
        // a package head now and then; the positions after it its members
        std::string zf2 = selten(0.8) ? "NULL" : text(30);
        if (i % 25 == 0) zf2 = q(zahl(2) ? "*PKT_KOPF*" : "*PKT_PROG*");
        if (i % 25 > 0 && i % 25 < 4) {
            char kopf[40];
            std::snprintf(kopf, sizeof kopf, "%012d%05d%13s", 700000 + (i - i % 25) / 10, ((i - i % 25) % 10 + 1) * 10,
                          "");
            zf2 = q(kopf);
        }
        zeile("Hlx504App", "AppApk, AppApp, AppZf2", schluessel + ", " + zf2,
              {{"AppSts", Art::Kurz},
               {"AppBdi", Art::Zeitpunkt},
               {"AppEdi", Art::Zeitpunkt},
               {"AppSme", Art::Real},
               {"AppIme", Art::Real},
               {"AppSza", Art::Real},
               {"AppStr", Art::Real},
               {"AppSte", Art::Real},
               {"AppIta", Art::Real},
               {"AppItr", Art::Real},
               {"AppIte", Art::Real},
               {"AppApl", Art::Platz},
               {"AppMee", Art::Text, 3},
               {"AppZf3", Art::Text, 30},
               {"AppBz1", Art::Text, 30}});
        for (int k = zahl(4); k > 0; --k)
            zeile("Hlx560Mel", "KeyApk, KeyApp, KeyBnr, KeyLfn",
                  schluessel + ", " + std::to_string(i) + ", " + std::to_string(k),
                  {{"ObjTyp", Art::Objekt},
                   {"KeyApl", Art::Platz},
                   {"KeyPnr", Art::Text, 8},
                   {"KeyDat", Art::Zeitpunkt},
                   {"MelFcd", Art::Funktion},
                   {"MelGum", Art::Real},
                   {"MelFam", Art::Real},
                   {"MelNam", Art::Real}});
        for (int k = zahl(3); k > 0; --k)
            zeile("Hlx590Nza", "NzaApk, NzaApp, NzaSa, NzaPnr, NzaDtm, NzaApl",
                  schluessel + ", " + std::to_string(4 + k) + ", " + q(std::to_string(k)) + ", " +
                      zeitpunkt("2024-03-04 0" + std::to_string(k) + ":00:00") + ", " +
                      q("W" + std::to_string(zahl(kPlaetze))),
                  {{"NzaEdt", Art::Zeitpunkt},
                   {"NzaNza", Art::Real},
                   {"NzaNzr", Art::Real},
                   {"NzaBzA", Art::Real},
                   {"NzaBzr", Art::Real},
                   {"NzaRbz", Art::Real},
                   {"NzaAbz", Art::Real},
                   {"NzaPza", Art::Real},
                   {"NzaUza", Art::Real},
                   {"NzaGum", Art::Real},
                   {"NzaRf1", Art::Real},
                   {"NzaMaz", Art::Kurz},
                   {"NzaTnr", Art::Text, 20}});
        if (selten(0.2))
            zeile("Hlx563Mrk", "MrkKng, MrkApl, MrkApk, MrkApp, MrkPnr, MrkBnr",
                  "'NZA', '0000000000', " + schluessel + ", '00000000', 0",
                  {{"MrkObj", Art::Text, 3}, {"MrkMdt", Art::Zeitpunkt}, {"MrkEsb", Art::Text, 8}});
    }

    const testdb::Db& db_;
    std::mt19937 zufall_;
    std::map<std::string, std::vector<std::string>> offen_;
};

// Every real column the run writes, of the positions, NZA and upload rows.
const char* const kGeschrieben[][2] = {
    {"Hlx504App", "AppIta"}, {"Hlx504App", "AppItr"}, {"Hlx504App", "AppIte"}, {"Hlx504App", "AppSza"},
    {"Hlx504App", "AppSte"}, {"Hlx590Nza", "NzaNza"}, {"Hlx590Nza", "NzaNzr"}, {"Hlx590Nza", "NzaBzA"},
    {"Hlx590Nza", "NzaBzr"}, {"Hlx590Nza", "NzaAbz"}, {"Hlx590Nza", "NzaPza"}, {"Hlx590Nza", "NzaRbz"},
    {"Hlx590Nza", "NzaPzr"}, {"Hlx590Nza", "NzaUza"}, {"Hlx590Nza", "NzaUzr"}, {"Hlx590Nza", "NzaNzu"},
    {"Hlx590Nza", "NzaBzu"}, {"Hlx590Nza", "NzaPzu"}, {"Hlx590Nza", "NzaGum"}, {"Hlx590Nza", "NzaAum"},
    {"Hlx590Nza", "NzaRf1"}, {"Hlx580Pps", "PpsGum"}, {"Hlx580Pps", "PpsFam"}, {"Hlx580Pps", "PpsMam"},
    {"Hlx580Pps", "PpsNam"},
};

class Sonderdaten : public ::testing::TestWithParam<Backend> {};

TEST_P(Sonderdaten, OddRowsAreEvaluatedAlikeAndSoundly) {
    const Backend b = GetParam();
    const int n = zuverlaessig::anzahl("KORVIMAND_ODD_POSITIONS", b == Backend::Sqlite ? 3000 : 2000,
                                       b == Backend::Sqlite ? 3000 : 2000);
    unsigned seed = 4711;  // fixed, so that a failure repeats; KORVIMAND_ODD_SEED tries others
    if (const char* s = std::getenv("KORVIMAND_ODD_SEED"); s && *s) seed = static_cast<unsigned>(std::stoul(s));
    SCOPED_TRACE("KORVIMAND_ODD_SEED=" + std::to_string(seed));
    zuverlaessig::SchnellerOrdner schnell;

    std::vector<std::vector<std::string>> staende, protokolle;
    for (int lauf = 0; lauf < 2; ++lauf) {
        testdb::Db db = testdb::create(b);
        e2e::Tree t = e2e::makeTree(db);
        zuverlaessig::schnelleCommits(db);
        Generator(db, seed).fuellen(n);
        const e2e::Result r = e2e::run(t, {"000000000000", "00000", "999999999999", "99999", "ERF00001"});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err.find("Sanitizer"), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("runtime error"), std::string::npos) << r.err;

        // the log and, after more than 3000 entries, its backup
        std::vector<e2e::LogEntry> log;
        EXPECT_NO_THROW(
            log = e2e::parseLog(zuverlaessig::dateiLesen(t.workDir + "/Msg/Korvimand.old") + e2e::readLog(t)));
        std::vector<std::string> eintraege;
        long gesamtFehler = 0;
        for (const auto& e : log) {
            eintraege.push_back(e.funktion + " / " + e.message + " / " + std::to_string(e.code));
            if (e.funktion == "Nza_ArbeitsfolgeVonBis" && (e.message == "Nza_PKeyIns" || e.message == "Mel_AppAplOpen"))
                ++gesamtFehler;
        }
        std::sort(eintraege.begin(), eintraege.end());
        protokolle.push_back(eintraege);

        for (const auto& [tabelle, spalte] : kGeschrieben)
            EXPECT_EQ(testdb::value(db, std::string("select count(*) from ") + tabelle + " where abs(" + spalte +
                                            ") > 1.7976931348623157e308"),
                      "0")
                << tabelle << "." << spalte << " holds a value that is not finite";
        if (b == Backend::Sqlite) {
            EXPECT_EQ(testdb::value(db, "PRAGMA integrity_check"), "ok");
        }
        staende.push_back(zuverlaessig::stand(db, "000000000000", "999999999999"));
        // Every position of the range without its total record was reported:
        // run once more alone, each reports its failure (a count over the
        // whole run would let a report of one hide the silence of another).
        // Fifty of them, spread over the range, keep the runs few. A package
        // member without messages is its head's to write.
        const std::string kopfSchluessel =
            std::string(b == Backend::Sqlite ? "printf" : "format") + "('%12s%5s%13s', k.AppApk, k.AppApp, '')";
        const auto ohne = testdb::column(
            db, "select AppApk || '|' || AppApp from Hlx504App where AppSts <> 10 and not exists (select 1 from "
                "Hlx590Nza where NzaSa = 11 and NzaApk = AppApk and NzaApp = AppApp) and not (AppZf2 in (select " +
                    kopfSchluessel +
                    " from Hlx504App k where k.AppZf2 like '*PKT_%') and not exists (select 1 from Hlx560Mel "
                    "where KeyApk = AppApk and KeyApp = AppApp)) order by 1");
        EXPECT_LE(static_cast<long>(ohne.size()), gesamtFehler);
        for (std::size_t i = 0; i < ohne.size(); i += (ohne.size() + 49) / 50) {
            const std::string& k = ohne[i];
            const std::string apk = k.substr(0, k.rfind('|')), app = k.substr(k.rfind('|') + 1);
            std::filesystem::remove(t.logPath);
            e2e::run(t, {apk, app, apk, app, "ERF00001"});
            bool gemeldet = false;
            for (const auto& e : e2e::parseLog(e2e::readLog(t)))
                gemeldet = gemeldet || (e.funktion == "Nza_ArbeitsfolgeVonBis" &&
                                        (e.message == "Nza_PKeyIns" || e.message == "Mel_AppAplOpen"));
            EXPECT_TRUE(gemeldet) << apk << " " << app << " left without a total record and without a report";
        }
        // what the rows provoked, by kind (a workstation's name counts as one)
        std::map<std::string, int> arten;
        for (const auto& e : log)
            ++arten[e.funktion + " / " +
                    (e.message.rfind("Nza", 0) == 0 || e.message.rfind("App", 0) == 0 ||
                             e.message.rfind("Pps", 0) == 0 || e.message.rfind("Mel", 0) == 0
                         ? e.message
                         : "*") +
                    " / " + std::to_string(e.code)];
        std::printf("odd data %s: seed %u, %d positions, %zu entries logged:", testdb::name(b), seed, n, log.size());
        for (const auto& [art, anzahl] : arten) std::printf(" [%s] %d", art.c_str(), anzahl);
        std::printf("\n");
        e2e::removeTree(t);
        testdb::destroy(db);
    }
    EXPECT_TRUE(staende[0] == staende[1]) << "two runs over the same rows differ";
    EXPECT_EQ(protokolle[0], protokolle[1]);
}

INSTANTIATE_TEST_SUITE_P(Faults, Sonderdaten, ::testing::ValuesIn(testdb::backends()),
                         [](const auto& info) { return std::string(testdb::name(info.param)); });

}  // namespace
