// Whole evaluations of order positions through the binary in range mode.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/AuswertungsLauf.h"

namespace {

using fixtures::Meldung;
using fixtures::NzaZeile;
using fixtures::Position;
using Auswertung = auswertung::Lauf;

// A kind-5 source row of workstation APL01 for position app.
NzaZeile quelle(const std::string& app, const std::string& dtm, const std::string& edt, double nza) {
    NzaZeile z;
    z.sa = 5;
    z.app = app;
    z.dtm = dtm;
    z.edt = edt;
    z.nza = nza;
    return z;
}

Meldung buchung(const std::string& app, const std::string& apl = "APL01", int bnr = 1) {
    Meldung m;
    m.app = app;
    m.apl = apl;
    m.bnr = bnr;
    return m;
}

TEST_P(Auswertung, PlannedTimeCorrectionAndActualTimes) {
    fixtures::auftrag(db, "000000004711", "TEIL-0815");
    fixtures::variante(db, "APL01", 3, 1);
    // 00010: no performance messages, the unit time stays
    Position p;
    p.str = 0.25;
    p.ste = 0.5;
    p.sme = 10;
    p.ime = 10;
    p.zf3 = "Lackieren nach Vorgabe 0000000";
    fixtures::position(db, p);
    fixtures::meldung(db, buchung("00010"));
    fixtures::nza(db, quelle("00010", "2024-03-04 06:00:00", "2024-03-04 14:50:00", 8.50));
    // 00020: two "A07" messages of 110 % and 130 %: the unit time is scaled by 1.2
    p.app = "00020";
    fixtures::position(db, p);
    fixtures::meldung(db, buchung("00020"));
    Meldung a07 = buchung("00020", "APL01", 2);
    a07.fcd = "A07";
    a07.nam = 110;
    a07.gum = 4;
    fixtures::meldung(db, a07);
    a07.bnr = 3;
    a07.nam = 130;
    a07.gum = 6;
    fixtures::meldung(db, a07);
    fixtures::nza(db, quelle("00020", "2024-03-04 06:00:00", "2024-03-04 14:50:00", 8.50));

    bereich();

    EXPECT_TRUE(log().empty());
    EXPECT_DOUBLE_EQ(position("AppSte"), 0.5);
    EXPECT_DOUBLE_EQ(position("AppSza"), 8.45);  // 25 + 50 x 10 minutes
    EXPECT_DOUBLE_EQ(position("AppIta"), 8.50);
    EXPECT_DOUBLE_EQ(position("AppItr"), 0.0);
    EXPECT_DOUBLE_EQ(position("AppIte"), 0.53);  // 530 / 10 minutes
    EXPECT_EQ(wert("select AppZf3 from Hlx504App where AppApp='00010'"), "Lackieren nach Vorgabe0.50");

    EXPECT_DOUBLE_EQ(position("AppSte", "00020"), 0.6);
    EXPECT_DOUBLE_EQ(position("AppSza", "00020"), 10.25);  // 25 + 60 x 10 minutes
    EXPECT_DOUBLE_EQ(gesamt("NzaRf1", "00020"), 240);
    EXPECT_DOUBLE_EQ(gesamt("NzaGum", "00020"), 10);
    EXPECT_EQ(wert("select NzaMaz from Hlx590Nza where NzaSa=11 and NzaApp='00020'"), "2");
    EXPECT_EQ(wert("select NzaTnr from Hlx590Nza where NzaSa=11 and NzaApp='00020'"), "TEIL-0815");
}

TEST_P(Auswertung, PlannedValuesVariant) {
    fixtures::auftrag(db, "000000004711", "TEIL-0815");
    fixtures::variante(db, "APL01", 2, 0);
    Position p;
    p.str = 0.45;
    p.ste = 0.25;
    p.ime = 130;
    p.sza = 3.33;
    fixtures::position(db, p);
    fixtures::meldung(db, buchung("00010"));
    // an evaluation row of an earlier run is replaced
    NzaZeile alt;
    alt.sa = 10;
    alt.pnr = "        ";
    alt.dtm = "2024-03-01 06:00:00";
    alt.nza = 9.99;
    fixtures::nza(db, alt);

    bereich();

    EXPECT_TRUE(log().empty());
    EXPECT_EQ(anzahl("Hlx590Nza where NzaSa=10"), "1");
    EXPECT_DOUBLE_EQ(zahl("select NzaNza from Hlx590Nza where NzaSa=10"), 54.10);
    EXPECT_DOUBLE_EQ(zahl("select NzaBzA from Hlx590Nza where NzaSa=10"), 54.10);
    EXPECT_DOUBLE_EQ(zahl("select NzaNzr from Hlx590Nza where NzaSa=10"), 0.45);
    EXPECT_DOUBLE_EQ(zahl("select NzaGum from Hlx590Nza where NzaSa=10"), 130);
    EXPECT_EQ(wert("select NzaTnr from Hlx590Nza where NzaSa=10"), "TEIL-0815");
    EXPECT_DOUBLE_EQ(gesamt("NzaNza"), 54.10);
    EXPECT_DOUBLE_EQ(gesamt("NzaNzr"), 0.45);
    EXPECT_DOUBLE_EQ(position("AppIta"), 54.10);
    EXPECT_DOUBLE_EQ(position("AppItr"), 0.45);
    EXPECT_DOUBLE_EQ(position("AppIte"), 0.25);  // 3250 / 130 minutes
    EXPECT_DOUBLE_EQ(position("AppSza"), 3.33);  // no correction without the flag
    EXPECT_DOUBLE_EQ(zahl("select PpsZt2 from Hlx580Pps"), 54.10);
    EXPECT_DOUBLE_EQ(zahl("select PpsZt1 from Hlx580Pps"), 0.45);
    EXPECT_DOUBLE_EQ(zahl("select PpsZt3 from Hlx580Pps"), 0.25);
}

TEST_P(Auswertung, SourceRowsVariantWithTwoWorkstations) {
    fixtures::auftrag(db, "000000004711", "TEIL-0815");
    fixtures::variante(db, "APL01", 3, 0);
    fixtures::variante(db, "APL02", 4, 0);
    fixtures::position(db, Position{});
    fixtures::meldung(db, buchung("00010"));
    fixtures::meldung(db, buchung("00010", "APL02", 2));
    // a message before the lower date bound, or of another object type, names no workstation
    Meldung alt = buchung("00010", "APL03", 3);
    alt.datum = "1979-12-31 23:00:00";
    fixtures::meldung(db, alt);
    Meldung anderer = buchung("00010", "APL04", 4);
    anderer.objTyp = "M__";
    fixtures::meldung(db, anderer);
    NzaZeile z = quelle("00010", "2024-03-04 06:00:00", "2024-03-04 07:30:00", 1.30);
    z.rbz = 0.25;
    fixtures::nza(db, z);
    z = quelle("00010", "2024-03-04 08:00:00", "2024-03-04 09:10:00", 0.45);
    z.rbz = 0.50;
    fixtures::nza(db, z);
    z = quelle("00010", "2024-03-04 10:00:00", "2024-03-04 11:00:00", 0.50);
    z.sa = 6;
    z.apl = "APL02";
    fixtures::nza(db, z);
    // The order header is read once per position: a variant-3 workstation
    // without source rows still takes the part number of the header as the
    // position first read it, not as a trigger changed it since.
    fixtures::variante(db, "APL05", 3, 0);
    fixtures::meldung(db, buchung("00010", "APL05", 5));
    const std::string aendern = "update Hlx501Apk set ApkTnr = 'ANDERS' where ApkApk = NEW.NzaApk";
    fixtures::ausloeser(db, "aendern", "after insert", "Hlx590Nza", "NEW.NzaApl <> 'APL05'", aendern, aendern);

    bereich();

    EXPECT_TRUE(log().empty());
    EXPECT_DOUBLE_EQ(zahl("select NzaNza from Hlx590Nza where NzaSa=10 and NzaApl='APL01'"), 2.15);
    EXPECT_DOUBLE_EQ(zahl("select NzaRbz from Hlx590Nza where NzaSa=10 and NzaApl='APL01'"), 1.15);
    EXPECT_EQ(anzahl("Hlx590Nza where NzaSa=10 and NzaApl='APL01' and NzaDtm='2024-03-04 06:00:00' and "
                     "NzaEdt='2024-03-04 09:10:00'"),
              "1");
    EXPECT_DOUBLE_EQ(zahl("select NzaNza from Hlx590Nza where NzaSa=10 and NzaApl='APL02'"), 0.50);
    EXPECT_EQ(anzahl("Hlx590Nza where NzaSa=10"), "2");
    // both workstations add into the position: 135 + 50 minutes
    EXPECT_DOUBLE_EQ(gesamt("NzaNza"), 3.05);
    EXPECT_DOUBLE_EQ(gesamt("NzaRbz"), 1.15);
    EXPECT_DOUBLE_EQ(position("AppIta"), 3.05);
    EXPECT_EQ(anzahl("Hlx580Pps"), "1");
    EXPECT_EQ(wert("select NzaTnr from Hlx590Nza where NzaSa=11"), "TEIL-0815");
}

TEST_P(Auswertung, PackageKeyDecidesPackagingAndUpload) {
    fixtures::variante(db, "APL01", 3, 0);
    const std::vector<std::pair<std::string, std::string>> positionen = {{"00010", "*PKT_KOPF*"},
                                                                         {"00020", "*PKT_PROG*"},
                                                                         {"00030", "*PKT_PROG*X"},
                                                                         {"00040", "*PKT_KOPF**"},
                                                                         {"00050", "PKT_KOPF"},
                                                                         {"00060", ""}};
    for (const auto& [app, zf2] : positionen) {
        Position p;
        p.app = app;
        p.zf2 = zf2;
        p.sza = 2.00;
        p.str = 0.50;
        fixtures::position(db, p);
        fixtures::meldung(db, buchung(app));
        fixtures::nza(db, quelle(app, "2024-03-04 06:00:00", "2024-03-04 10:00:00", 4.00));
    }
    // one member for each head: the package key is the head's order and position
    const std::string schluessel = "000000004711";
    for (const auto& [kopfApp, mitgliedApk] :
         std::vector<std::pair<std::string, std::string>>{{"00010", "000000004801"},
                                                          {"00030", "000000004803"},
                                                          {"00040", "000000004804"},
                                                          {"00050", "000000004805"}}) {
        Position m;
        m.apk = mitgliedApk;
        m.zf2 = schluessel + kopfApp + std::string(13, ' ');
        m.sza = 1.00;
        m.str = 0.25;
        m.ime = 8;
        fixtures::position(db, m);
    }

    bereich();

    EXPECT_TRUE(log().empty());
    // exactly a marker: packaged only; the marker and more: packaged and uploaded
    EXPECT_EQ(anzahl("Hlx580Pps where PpsApk='000000004711'"), "4");
    for (const char* app : {"00030", "00040", "00050", "00060"})
        EXPECT_EQ(anzahl(std::string("Hlx580Pps where PpsApk='000000004711' and PpsApp='") + app + "'"), "1") << app;
    // the members of heads are written and uploaded, the others are not touched
    for (const char* apk : {"000000004801", "000000004803", "000000004804"}) {
        EXPECT_EQ(anzahl(std::string("Hlx580Pps where PpsApk='") + apk + "'"), "1") << apk;
        EXPECT_EQ(anzahl(std::string("Hlx590Nza where NzaSa=11 and NzaApk='") + apk + "'"), "1") << apk;
    }
    EXPECT_EQ(anzahl("Hlx580Pps where PpsApk='000000004805'"), "0");
    EXPECT_EQ(anzahl("Hlx590Nza where NzaApk='000000004805'"), "0");
    // head form divides in proportion (35 of 70 net minutes), program form by the member count
    EXPECT_DOUBLE_EQ(zahl("select NzaNza from Hlx590Nza where NzaSa=11 and NzaApk='000000004801'"), 2.00);
    EXPECT_DOUBLE_EQ(zahl("select NzaNzr from Hlx590Nza where NzaSa=11 and NzaApk='000000004803'"), 4.00);
    EXPECT_DOUBLE_EQ(zahl("select NzaNza from Hlx590Nza where NzaSa=11 and NzaApk='000000004803'"), 0.0);
}

TEST_P(Auswertung, RunningTheSameRangeAgainGivesTheSameResult) {
    fixtures::auftrag(db, "000000004711", "TEIL-0815");
    fixtures::variante(db, "APL01", 3, 1);
    fixtures::variante(db, "APL02", 2, 0);
    for (const char* app : {"00010", "00020"}) {
        Position p;
        p.app = app;
        p.str = 0.25;
        p.ste = 0.5;
        p.sme = 10;
        p.ime = 7;
        p.zf3 = std::string(30, '#');
        fixtures::position(db, p);
        fixtures::meldung(db, buchung(app));
        Meldung a07 = buchung(app, "APL01", 2);
        a07.fcd = "A07";
        a07.nam = 100;
        a07.gum = 3;
        fixtures::meldung(db, a07);
        fixtures::nza(db, quelle(app, "2024-03-04 06:00:00", "2024-03-04 14:50:00", 1.29));
    }
    fixtures::meldung(db, buchung("00020", "APL02", 3));

    auto stand = [&] {
        std::vector<std::vector<std::string>> spalten;
        for (const char* s : {"NzaSa", "NzaApl", "NzaApp", "NzaPnr", "NzaDtm", "NzaEdt", "NzaNza", "NzaNzr", "NzaBzA",
                              "NzaRbz", "NzaGum", "NzaAum", "NzaRf1", "NzaMaz", "NzaTnr", "NzaErf"})
            spalten.push_back(
                testdb::column(db, std::string("select ") + s +
                                       " from Hlx590Nza order by NzaSa, NzaApl, NzaApk, NzaApp, NzaPnr, NzaDtm"));
        for (const char* s : {"AppSza", "AppSte", "AppIta", "AppItr", "AppIte", "AppZf3"})
            spalten.push_back(testdb::column(db, std::string("select ") + s + " from Hlx504App order by AppApp"));
        return spalten;
    };
    bereich();
    const auto erster = stand();
    bereich();
    EXPECT_EQ(stand(), erster);
    EXPECT_EQ(anzahl("Hlx580Pps"), "4");
    EXPECT_EQ(wert("select max(PpsLfn) from Hlx580Pps"), "4");
    EXPECT_TRUE(log().empty());
}

TEST_P(Auswertung, RangeRespectsTextOrderAndSkipsStatus10) {
    fixtures::variante(db, "APL01", 3, 0);
    struct Pos {
        const char* apk;
        const char* app;
        int sts;
    };
    for (Pos p : {Pos{"000000004710", "00090", 0}, Pos{"000000004711", "00005", 0}, Pos{"000000004711", "00010", 0},
                  Pos{"000000004711", "00020", 10}, Pos{"000000004712", "00001", 0}, Pos{"000000004712", "00099", 0},
                  Pos{"000000004713", "00030", 0}, Pos{"000000004713", "00031", 0}, Pos{"00000004712", "00050", 0}}) {
        Position x;
        x.apk = p.apk;
        x.app = p.app;
        x.sts = p.sts;
        fixtures::position(db, x);
    }
    bereich("000000004711", "00010", "000000004713", "00030");
    EXPECT_EQ(testdb::column(db, "select NzaApk || '/' || NzaApp from Hlx590Nza order by NzaApk, NzaApp"),
              (std::vector<std::string>{"000000004711/00010", "000000004712/00001", "000000004712/00099",
                                        "000000004713/00030"}));
    // a start after the end evaluates nothing
    testdb::sql(db, "delete from Hlx590Nza");
    bereich("000000004713", "00000", "000000004711", "99999");
    EXPECT_EQ(anzahl("Hlx590Nza"), "0");
}

}  // namespace

AUSWERTUNG_BACKENDS(Auswertung);
