// Every failure the program reports, provoked through the binary with a real
// database fault: exactly that entry in the log, the run goes on, exit status
// 0, and nothing written before the fault is lost. One table of cases, run on
// each backend against the same scenario; positions the fault does not touch
// must end exactly as in an undisturbed run of that scenario.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "tests/e2e/ConcurrencySupport.h"
#include "tests/support/E2e.h"
#include "tests/support/Fixtures.h"
#include "tests/support/TestDb.h"
#include "util/Config.h"

namespace {

using zuverlaessig::stand;

const std::string kA = "000000004711";  // the evaluated order
const std::string kB = "000000004712";  // members of the package headed by kA/00040
const std::string kPaket = kA + "00040" + std::string(13, ' ');
const std::string kErfasser = "ERF00001";

struct Pos {
    std::string apk, app;
};
const std::vector<Pos> kPositionen = {{kA, "00010"}, {kA, "00020"}, {kA, "00030"},
                                      {kA, "00040"}, {kB, "00010"}, {kB, "00020"}};

// Order kA: 00010 on APL01 (variant 2), 00020 on APL02 (variant 3, one
// kind-5 row), 00030 on APL03 (variant 4, one kind-6 row), 00040 a package
// head on APL01 whose two members are the positions of order kB. Each kA
// position has its zero-key marker; times that the run writes start at
// values no evaluation gives.
void szenario(const testdb::Db& db) {
    fixtures::laufparameter(db);
    fixtures::auftrag(db, kA);
    fixtures::auftrag(db, kB, "TEIL-4712");
    fixtures::variante(db, "APL01", 2, 0);
    fixtures::variante(db, "APL02", 3, 0);
    fixtures::variante(db, "APL03", 4, 0);
    auto position = [&](const std::string& apk, const std::string& app, const std::string& apl, const std::string& zf2,
                        double sza, double str, double ste, double ime) {
        fixtures::Position p;
        p.apk = apk;
        p.app = app;
        p.apl = apl;
        p.zf2 = zf2;
        p.sza = sza;
        p.str = str;
        p.ste = ste;
        p.ime = ime;
        p.sme = 10;
        p.ita = 7.77;
        p.itr = 6.66;
        p.ite = 5.55;
        fixtures::position(db, p);
        if (apk != kA) return;
        fixtures::Meldung m;
        m.apl = apl;
        m.apk = apk;
        m.app = app;
        fixtures::meldung(db, m);
        fixtures::Merker mrk;
        mrk.apk = apk;
        mrk.app = app;
        fixtures::merker(db, mrk);
    };
    position(kA, "00010", "APL01", "", 1.00, 0.25, 0.50, 10);
    position(kA, "00020", "APL02", "", 1.00, 0.25, 0.50, 4);
    position(kA, "00030", "APL03", "", 1.00, 0.25, 0.50, 4);
    position(kA, "00040", "APL01", "*PKT_KOPF*", 2.00, 0.50, 0.40, 5);
    position(kB, "00010", "APL09", kPaket, 1.00, 0.25, 0.20, 8);
    position(kB, "00020", "APL09", kPaket, 1.50, 0.30, 0.20, 6);

    fixtures::Meldung a07;
    a07.apk = kA;
    a07.app = "00010";
    a07.objTyp = "M__";
    a07.fcd = "A07";
    a07.gum = 3;
    a07.nam = 100;
    a07.bnr = 2;
    fixtures::meldung(db, a07);

    fixtures::NzaZeile q;
    q.sa = 5;
    q.apl = "APL02";
    q.app = "00020";
    q.nza = 1.30;
    q.nzr = 0.20;
    fixtures::nza(db, q);
    q.sa = 6;
    q.apl = "APL03";
    q.app = "00030";
    q.nza = 0.45;
    q.nzr = 0.10;
    fixtures::nza(db, q);
}

// The state of one position, by part: "Nza" (its kind 10 and 11 rows),
// "App", "Pps" (uploaded or not), "Mrk" (markers still pending).
using Teile = std::map<std::string, std::vector<std::string>>;
using Stand = std::map<std::string, Teile>;  // by "apk/app"

Stand standAller(const testdb::Db& db) {
    Stand s;
    for (const std::string& zeile : stand(db, kA, kB)) {
        std::string teil = "Nza";
        std::string rest = zeile;
        for (const char* p : {"App|", "Pps|", "Mrk|"})
            if (zeile.rfind(p, 0) == 0) {
                teil = std::string(p, 3);
                rest = zeile.substr(4);
            }
        const std::string schluessel = rest.substr(0, 12) + "/" + rest.substr(13, 5);
        s[schluessel][teil].push_back(zeile);
    }
    return s;
}

struct Eintrag {
    std::string funktion;
    std::string message;
    long code;
    long codeSqlite = 0;  // where SQLite reports another code than PostgreSQL
};

std::string text(const std::string& funktion, const std::string& message, long code) {
    return funktion + " / " + message + " / " + std::to_string(code);
}

enum class Lauf { Bereich, Merker, VierArgumente };

struct Pruefung;

struct Fall {
    const char* name;
    // The fault, set up after the scenario and before the run.
    std::function<void(const testdb::Db&, e2e::Tree&)> fehler;
    std::vector<Eintrag> eintraege;
    // Positions whose state the fault changes; every other one ends as in
    // the undisturbed run.
    std::vector<Pos> betroffen;
    std::function<void(Pruefung&)> pruefen;
    Lauf lauf = Lauf::Bereich;
    int status = 0;
    bool laufparameterGeschrieben = true;
    bool nichtsGelaufen = false;
};

// What the per-case checks work with.
struct Pruefung {
    const testdb::Db& db;
    const Stand& referenz;
    const Stand& jetzt;
    std::string wert(const std::string& q) const { return testdb::value(db, q); }
    double zahl(const std::string& q) const {
        const std::string v = wert(q);
        if (v.empty()) ADD_FAILURE() << "no value: " << q;
        return v.empty() ? -999 : std::stod(v);
    }
    std::vector<std::string> teil(const Stand& s, const Pos& p, const std::string& t) const {
        auto i = s.find(p.apk + "/" + p.app);
        if (i == s.end()) return {};
        auto j = i->second.find(t);
        return j == i->second.end() ? std::vector<std::string>{} : j->second;
    }
    // One part of a position as the undisturbed run left it.
    void wieReferenz(const Pos& p, const std::string& t) const {
        EXPECT_EQ(teil(jetzt, p, t), teil(referenz, p, t)) << p.apk << "/" << p.app << " " << t;
    }
    std::string gesamt(const Pos& p, const std::string& spalte) const {
        return wert("select " + spalte + " from Hlx590Nza where NzaSa = 11 and NzaApk = '" + p.apk +
                    "' and NzaApp = '" + p.app + "'");
    }
    double app(const Pos& p, const std::string& spalte) const {
        return zahl("select " + spalte + " from Hlx504App where AppApk = '" + p.apk + "' and AppApp = '" + p.app + "'");
    }
    std::string pps(const Pos& p, const std::string& was = "count(*)") const {
        return wert("select " + was + " from Hlx580Pps where PpsApk = '" + p.apk + "' and PpsApp = '" + p.app + "'");
    }
    std::string merker(const Pos& p) const {
        return wert("select count(*) from Hlx563Mrk where MrkApk = '" + p.apk + "' and MrkApp = '" + p.app + "'");
    }
};

const Pos a10{kA, "00010"}, a20{kA, "00020"}, a30{kA, "00030"}, b10{kB, "00010"};

// A kind-10 insert of one kA position fails: the evaluation of its variant
// logs, and the position is completed with what reached the total record.
Fall tageswerte(const char* name, const Pos& p, double gesamtNza) {
    return {name,
            [p](const testdb::Db& db, e2e::Tree&) {
                fixtures::schreibenVerhindern(db, "Hlx590Nza", "insert",
                                              "NEW.NzaSa = 10 and NEW.NzaApk = '" + p.apk + "' and NEW.NzaApp = '" +
                                                  p.app + "'");
            },
            {{"Nzm_TagesWertePA", "Nza_PKeyIns", -20000}},
            {p},
            [p, gesamtNza](Pruefung& c) {
                EXPECT_EQ(c.wert("select count(*) from Hlx590Nza where NzaSa = 10 and NzaApp = '" + p.app + "'"), "0");
                EXPECT_DOUBLE_EQ(std::stod(c.gesamt(p, "NzaNza")), gesamtNza);
                EXPECT_DOUBLE_EQ(c.app(p, "AppIta"), gesamtNza);
                EXPECT_EQ(c.pps(p), "1");
                EXPECT_EQ(c.merker(p), "0");
            }};
}

// The zero-key marker of kA/00020 cannot be deleted: it stays, the position
// is evaluated all the same, and the walk goes on (in the marker run, its
// cursor over the markers).
Fall merkerLoeschen(const char* name, Lauf lauf) {
    return {name,
            [](const testdb::Db& db, e2e::Tree&) {
                fixtures::schreibenVerhindern(db, "Hlx563Mrk", "delete", "OLD.MrkApp = '00020'");
            },
            {{"Get_MerkNZALoeschen", "Mrk_PKeyDel", -20000}},
            {a20},
            [](Pruefung& c) {
                EXPECT_EQ(c.merker(a20), "1");
                c.wieReferenz(a20, "Nza");
                c.wieReferenz(a20, "App");
                c.wieReferenz(a20, "Pps");
            },
            lauf};
}

// The number range refuses the draw made while exactly one upload row
// exists, i.e. the second upload's; the next draw succeeds again.
void zweiteNummerVerhindern(const testdb::Db& db) {
    const std::string bedingung = "(select count(*) from Hlx580Pps) = 1";
    if (zuverlaessig::pg(db)) {
        testdb::sql(db, "create function zweite_nummer() returns trigger language plpgsql as $$ begin if " + bedingung +
                            " then raise exception 'verhindert'; end if; return new; end $$");
        testdb::sql(db, "create trigger zweite_nummer before update on Hlx552Bnr for each row execute function "
                        "zweite_nummer()");
    } else {
        testdb::sql(db, "create trigger zweite_nummer before update on Hlx552Bnr when " + bedingung +
                            " begin select raise(abort, 'verhindert'); end");
    }
}

std::vector<Fall> faelle() {
    std::vector<Fall> f;
    f.push_back({"GesamtsatzEinfuegen",
                 [](const testdb::Db& db, e2e::Tree&) {
                     fixtures::schreibenVerhindern(db, "Hlx590Nza", "insert",
                                                   "NEW.NzaSa = 11 and NEW.NzaApk = '" + kA +
                                                       "' and NEW.NzaApp = '00020'");
                 },
                 {{"Nza_ArbeitsfolgeVonBis", "Nza_PKeyIns", -20000}},
                 {a20},
                 [](Pruefung& c) {
                     // the workstation row written before the failure stays
                     EXPECT_DOUBLE_EQ(c.zahl("select NzaNza from Hlx590Nza where NzaSa = 10 and NzaApl = 'APL02' "
                                             "and NzaApp = '00020'"),
                                      1.30);
                     EXPECT_EQ(c.gesamt(a20, "count(*)"), "0");
                     EXPECT_DOUBLE_EQ(c.app(a20, "AppIta"), 7.77);
                     EXPECT_EQ(c.pps(a20), "0");
                     EXPECT_EQ(c.merker(a20), "0");
                 }});
    f.push_back({"PositionZurueckschreiben",
                 [](const testdb::Db& db, e2e::Tree&) {
                     fixtures::schreibenVerhindern(db, "Hlx504App", "update",
                                                   "NEW.AppApk = '" + kA + "' and NEW.AppApp = '00020'");
                 },
                 {{"Nza_ArbeitsfolgeVonBis", "App_PKeyUpd", -20000}},
                 {a20},
                 [](Pruefung& c) {
                     c.wieReferenz(a20, "Nza");
                     c.wieReferenz(a20, "Pps");
                     EXPECT_DOUBLE_EQ(c.app(a20, "AppIta"), 7.77);
                     EXPECT_DOUBLE_EQ(std::stod(c.pps(a20, "PpsZt2")), 1.30);
                     EXPECT_EQ(c.merker(a20), "0");
                 }});
    {
        Fall l{"LaufparameterLesen",
               // a second row valid today: the read finds two; a row of
               // another kind does not count
               [](const testdb::Db& db, e2e::Tree&) {
                   fixtures::laufparameter(db, 2, -2, 2);
                   fixtures::laufparameter(db, 3, -1, 1);
               },
               {{"Nzm_Parameter", "Nzp_PKeyReadk", -1422}, {"Nzm_Parameter", "Nzp_PKeyUpd", 1403}},
               {},
               [](Pruefung& c) { EXPECT_EQ(c.wert("select count(*) from Hlx591Nzp where NzpAus = 'ALT'"), "3"); }};
        l.laufparameterGeschrieben = false;
        f.push_back(l);
    }
    {
        Fall l{"LaufparameterSchreiben",
               [](const testdb::Db& db, e2e::Tree&) { fixtures::schreibenVerhindern(db, "Hlx591Nzp", "update"); },
               {{"Nzm_Parameter", "Nzp_PKeyUpd", -20000}},
               {},
               nullptr};
        l.laufparameterGeschrieben = false;
        f.push_back(l);
    }
    f.push_back(merkerLoeschen("MerkerLoeschen", Lauf::Bereich));
    f.push_back(merkerLoeschen("MerkerLoeschenImMerkerlauf", Lauf::Merker));
    f.push_back({"ArbeitsplatzLesen",
                 // a workstation without an assignment of its own, and the
                 // workstation table gone: its group cannot be found
                 [](const testdb::Db& db, e2e::Tree&) {
                     fixtures::Meldung m;
                     m.apl = "APLX";
                     m.app = "00020";
                     m.bnr = 7;
                     fixtures::meldung(db, m);
                     testdb::sql(db, "alter table Hlx531Apl rename column AplApl to AplAplWeg");
                 },
                 {{"Apl_PKeyReadk", "APLX", -904}, {"Nza _VarianteFeststellen", "APLX", 1403}},
                 {},
                 nullptr});
    f.push_back({"VarianteFeststellen",
                 // neither the workstation nor its group has an assignment;
                 // its old evaluation row goes all the same
                 [](const testdb::Db& db, e2e::Tree&) {
                     fixtures::arbeitsplatz(db, "APLY", "GRPY");
                     fixtures::Meldung m;
                     m.apl = "APLY";
                     m.app = "00020";
                     m.bnr = 8;
                     fixtures::meldung(db, m);
                     fixtures::NzaZeile alt;
                     alt.sa = 10;
                     alt.apl = "APLY";
                     alt.app = "00020";
                     alt.nza = 9.99;
                     fixtures::nza(db, alt);
                 },
                 {{"Nza _VarianteFeststellen", "APLY", 1403}},
                 {},
                 [](Pruefung& c) { EXPECT_EQ(c.wert("select count(*) from Hlx590Nza where NzaApl = 'APLY'"), "0"); }});
    f.push_back(tageswerte("TagesWerteVariante2", a10, 0));
    f.push_back(tageswerte("TagesWerteVariante3", a20, 1.30));
    f.push_back(tageswerte("TagesWerteVariante4", a30, 0.45));
    f.push_back({"PaketPositionZurueckschreiben",
                 [](const testdb::Db& db, e2e::Tree&) {
                     fixtures::schreibenVerhindern(db, "Hlx504App", "update",
                                                   "NEW.AppApk = '" + kB + "' and NEW.AppApp = '00010'");
                 },
                 {{"Nza_PaketProgrammieren", "App_PKeyUpd", -20000}},
                 {b10},
                 [](Pruefung& c) {
                     // the member's upload and NZA row still follow
                     EXPECT_DOUBLE_EQ(c.app(b10, "AppIta"), 7.77);
                     c.wieReferenz(b10, "Nza");
                     c.wieReferenz(b10, "Pps");
                 }});
    f.push_back({"PaketNzaEinfuegen",
                 [](const testdb::Db& db, e2e::Tree&) {
                     fixtures::schreibenVerhindern(db, "Hlx590Nza", "insert",
                                                   "NEW.NzaApk = '" + kB + "' and NEW.NzaApp = '00010'");
                 },
                 {{"Nza_PaketProgrammieren", "Nza_PKeyIns/Upd", -20000}},
                 {b10},
                 [](Pruefung& c) {
                     EXPECT_EQ(c.gesamt(b10, "count(*)"), "0");
                     c.wieReferenz(b10, "App");
                     c.wieReferenz(b10, "Pps");
                 }});
    f.push_back({"PaketNzaAendern",
                 // the member has its row already: the update is refused
                 [](const testdb::Db& db, e2e::Tree&) {
                     fixtures::NzaZeile z;
                     z.sa = 11;
                     z.apl = std::string(10, ' ');
                     z.apk = kB;
                     z.app = "00010";
                     z.pnr = std::string(8, ' ');
                     z.nza = 9.59;
                     fixtures::nza(db, z);
                     fixtures::schreibenVerhindern(db, "Hlx590Nza", "update",
                                                   "OLD.NzaApk = '" + kB + "' and OLD.NzaApp = '00010'");
                 },
                 {{"Nza_PaketProgrammieren", "Nza_PKeyIns/Upd", -20000}},
                 {b10},
                 [](Pruefung& c) {
                     EXPECT_DOUBLE_EQ(std::stod(c.gesamt(b10, "NzaNza")), 9.59);
                     c.wieReferenz(b10, "App");
                     c.wieReferenz(b10, "Pps");
                 }});
    f.push_back({"UploadNummer",
                 // the draw of number 2 (the second upload, kA/00020) fails
                 [](const testdb::Db& db, e2e::Tree&) { zweiteNummerVerhindern(db); },
                 {{"UploadNummer", "Get,Ins,Upd", -20000}},
                 {},
                 [](Pruefung& c) {
                     EXPECT_EQ(c.pps(a10, "PpsLfn"), "1");
                     EXPECT_EQ(c.pps(a20, "PpsLfn"), "0");
                     EXPECT_EQ(c.pps(a30, "PpsLfn"), "2");
                     EXPECT_EQ(c.wert("select count(*) from Hlx580Pps where PpsLfn in (3, 4)"), "2");
                     EXPECT_EQ(c.wert("select BnrBnr from Hlx552Bnr where BnrKey = 'PPSNR'"), "4");
                 }});
    f.push_back({"NummernkreisFehlt",
                 [](const testdb::Db& db, e2e::Tree&) {
                     testdb::sql(db, "alter table Hlx552Bnr rename column BnrKey to BnrKeyWeg");
                 },
                 std::vector<Eintrag>(5, {"UploadNummer", "Get,Ins,Upd", -904}),
                 {},
                 [](Pruefung& c) { EXPECT_EQ(c.wert("select count(*) from Hlx580Pps where PpsLfn = 0"), "5"); }});
    f.push_back({"UploadZeile",
                 [](const testdb::Db& db, e2e::Tree&) {
                     fixtures::schreibenVerhindern(db, "Hlx580Pps", "insert",
                                                   "NEW.PpsApk = '" + kA + "' and NEW.PpsApp = '00020'");
                 },
                 {{"UplBdeToPps_NZA", "Pps_PKeyIns", -20000}},
                 {a20},
                 [](Pruefung& c) {
                     EXPECT_EQ(c.pps(a20), "0");
                     c.wieReferenz(a20, "Nza");
                     c.wieReferenz(a20, "App");
                     // the number drawn for the refused row stays used
                     EXPECT_EQ(c.pps(a30, "PpsLfn"), "3");
                     EXPECT_EQ(c.wert("select BnrBnr from Hlx552Bnr where BnrKey = 'PPSNR'"), "5");
                 }});
    {
        Fall m{"MerkerPositionFehlt",
               [](const testdb::Db& db, e2e::Tree&) {
                   fixtures::Merker mrk;
                   mrk.apk = kA;
                   mrk.app = "00025";
                   fixtures::merker(db, mrk);
               },
               {{"Verarbeitung_MRK", "App_PKeyReadk", 1403}},
               {},
               [](Pruefung& c) {
                   // the marker goes; nothing is evaluated or uploaded for it
                   const Pos fehlt{kA, "00025"};
                   EXPECT_EQ(c.merker(fehlt), "0");
                   EXPECT_EQ(c.wert("select count(*) from Hlx590Nza where NzaApp = '00025'"), "0");
                   EXPECT_EQ(c.pps(fehlt), "0");
               }};
        m.lauf = Lauf::Merker;
        f.push_back(m);
    }
    {
        Fall v{"Verbindung",
               // PostgreSQL refuses the password; the SQLite file is no database
               [](const testdb::Db& db, e2e::Tree& t) {
                   const std::string login = Cfg_ReadValue("", "LOGIN", 0, t.iniPath);
                   std::string net8 = Cfg_ReadValue("", "NET8", 0, t.iniPath);
                   std::string pass = "falsch";
                   if (db.backend == testdb::Backend::Sqlite) {
                       std::ofstream(t.root + "/files/kaputt.db", std::ios::binary)
                           << std::string(8192, '\x5a') << "keine Datenbank";
                       net8 = "sqlite:../../../../files/kaputt.db";
                       pass = "";
                   }
                   std::ofstream(t.iniPath, std::ios::binary | std::ios::trunc) << Cfg_DbLoginFile(login, pass, net8);
               },
               {{"dbConnect", "Fehlerhafter Connect mit der DB ", -1017, -1578}},
               {},
               nullptr};
        v.status = 1;
        v.nichtsGelaufen = true;
        f.push_back(v);
    }
    {
        Fall a{"Argumente", nullptr, {{"NZA_Ermitteln", "Anzahl Parameter <> 6", 5}}, {}, nullptr};
        a.lauf = Lauf::VierArgumente;
        a.nichtsGelaufen = true;
        f.push_back(a);
    }
    f.push_back({"MeldungenFehlen",
                 // the workstation cursor cannot open: not one position may
                 // look evaluated without a word
                 [](const testdb::Db& db, e2e::Tree&) {
                     testdb::sql(db, "alter table Hlx560Mel rename column KeyApk to KeyApkWeg");
                 },
                 std::vector<Eintrag>(4, {"Nza_ArbeitsfolgeVonBis", "Mel_AppAplOpen", -904}), kPositionen,
                 [](Pruefung& c) {
                     EXPECT_EQ(c.wert("select count(*) from Hlx590Nza where NzaSa in (10, 11)"), "0");
                     EXPECT_EQ(c.wert("select count(*) from Hlx580Pps"), "0");
                 }});
    f.push_back({"FehlerprotokollFehlt",
                 // the error-protocol delete fails before every position: ignored
                 [](const testdb::Db& db, e2e::Tree&) {
                     testdb::sql(db, "alter table Hlx554Err rename column ErrFun to ErrFunWeg");
                 },
                 {},
                 {},
                 nullptr});
    return f;
}

const std::vector<Fall>& alleFaelle() {
    static const std::vector<Fall> f = faelle();
    return f;
}

e2e::Result laufen(const e2e::Tree& t, Lauf lauf) {
    switch (lauf) {
        case Lauf::Merker:
            return e2e::run(t, {"000000000000", "00000", "000000000000", "00000", kErfasser});
        case Lauf::VierArgumente:
            return e2e::run(t, {kA, "00000", kA, "99999"});
        case Lauf::Bereich:
            break;
    }
    return e2e::run(t, {kA, "00000", kA, "99999", kErfasser});
}

// The undisturbed run of the scenario, once per backend.
const Stand& referenz(testdb::Backend b) {
    static std::map<testdb::Backend, Stand> cache;
    auto it = cache.find(b);
    if (it != cache.end()) return it->second;
    zuverlaessig::SchnellerOrdner schnell;
    testdb::Db db = testdb::create(b);
    e2e::Tree t = e2e::makeTree(db);
    zuverlaessig::schnelleCommits(db);
    szenario(db);
    const e2e::Result r = laufen(t, Lauf::Bereich);
    const std::string log = e2e::readLog(t);
    Stand s = standAller(db);
    e2e::removeTree(t);
    testdb::destroy(db);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(log, "") << "the undisturbed run reports a failure";
    return cache.emplace(b, std::move(s)).first->second;
}

class FaultMatrix : public ::testing::TestWithParam<std::tuple<testdb::Backend, int>> {
protected:
    void SetUp() override {
        zuverlaessig::SchnellerOrdner schnell;
        db = testdb::create(std::get<0>(GetParam()));
        tree = e2e::makeTree(db);
        zuverlaessig::schnelleCommits(db);
    }
    void TearDown() override {
        e2e::removeTree(tree);
        testdb::destroy(db);
    }
    testdb::Db db;
    e2e::Tree tree;
};

TEST_P(FaultMatrix, ReportedOnceAndTheRunGoesOn) {
    const Fall& fall = alleFaelle()[static_cast<std::size_t>(std::get<1>(GetParam()))];
    const Stand& ref = referenz(db.backend);
    ASSERT_FALSE(HasFailure());
    szenario(db);
    if (fall.fehler) fall.fehler(db, tree);

    const e2e::Result r = laufen(tree, fall.lauf);
    EXPECT_EQ(r.status, fall.status) << r.err;

    // exactly the expected entries, in order
    const auto log = e2e::parseLog(e2e::readLog(tree));
    std::vector<std::string> ist, soll;
    for (const auto& e : log) {
        EXPECT_EQ(e.art, "FMSG ");
        ist.push_back(text(e.funktion, e.message, e.code));
    }
    const bool sqlite = db.backend == testdb::Backend::Sqlite;
    for (const auto& e : fall.eintraege)
        soll.push_back(text(e.funktion, e.message, sqlite && e.codeSqlite ? e.codeSqlite : e.code));
    EXPECT_EQ(ist, soll);

    if (fall.nichtsGelaufen) {
        EXPECT_EQ(testdb::value(db, "select count(*) from Hlx590Nza where NzaSa in (10, 11)"), "0");
        EXPECT_EQ(testdb::value(db, "select count(*) from Hlx580Pps"), "0");
        EXPECT_EQ(testdb::value(db, "select count(*) from Hlx563Mrk"), "4");
        EXPECT_EQ(testdb::value(db, "select count(*) from Hlx504App where AppIta <> 7.77"), "0");
        EXPECT_EQ(testdb::value(db, "select NzpAus from Hlx591Nzp"), "ALT");
        return;
    }

    // every position the fault does not touch ends as in the undisturbed run
    const Stand jetzt = standAller(db);
    for (const Pos& p : kPositionen) {
        bool betroffen = false;
        for (const Pos& b : fall.betroffen) betroffen = betroffen || (b.apk == p.apk && b.app == p.app);
        if (betroffen) continue;
        const std::string k = p.apk + "/" + p.app;
        const auto soll = ref.count(k) ? ref.at(k) : Teile{};
        const auto hat = jetzt.count(k) ? jetzt.at(k) : Teile{};
        EXPECT_EQ(hat, soll) << "position " << k;
    }
    EXPECT_EQ(zuverlaessig::doppelteNummern(db), "0");
    if (fall.laufparameterGeschrieben) {
        EXPECT_EQ(testdb::value(db, "select NzpAus from Hlx591Nzp"), kErfasser);
        EXPECT_EQ(testdb::value(db, "select NzpAan + NzpVfh + NzpNfh from Hlx591Nzp"), "0");
    } else {
        EXPECT_EQ(testdb::value(db, "select count(*) from Hlx591Nzp where NzpAus <> 'ALT'"), "0");
    }
    if (fall.pruefen) {
        Pruefung c{db, ref, jetzt};
        fall.pruefen(c);
    }
}

std::string fallName(const ::testing::TestParamInfo<std::tuple<testdb::Backend, int>>& info) {
    return std::string(testdb::name(std::get<0>(info.param))) + "_" +
           alleFaelle()[static_cast<std::size_t>(std::get<1>(info.param))].name;
}

INSTANTIATE_TEST_SUITE_P(E2e, FaultMatrix,
                         ::testing::Combine(::testing::ValuesIn(testdb::backends()),
                                            ::testing::Range(0, static_cast<int>(alleFaelle().size()))),
                         fallName);

}  // namespace
