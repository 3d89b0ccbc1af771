// The per-position driver and the planned-time correction.
#include "app/Arbeitsfolge.h"
#include "nza/SteKorrektur.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "db/Dbstd.h"
#include "nza/Paket.h"
#include "tests/support/Fixtures.h"
#include "util/RunContext.h"

namespace {

std::string zf3Nach(const std::string& zf3, double ste) {
    AppRecord app{};
    app.AppZf3 = zf3;
    app.AppSte = ste;
    App_SteKorrigieren(&app, NzaRecord{});
    return app.AppZf3.str();
}

TEST(Arbeitsfolge, KeepsTheFormerUnitTimeBehind22Characters) {
    const std::string dreissig = "Lackieren nach Vorgabe 0000000";
    ASSERT_EQ(dreissig.size(), 30u);
    EXPECT_EQ(zf3Nach(dreissig, 12.5), dreissig.substr(0, 22) + "12.50");
    EXPECT_EQ(zf3Nach(std::string(22, 'x'), 0.5), std::string(22, 'x') + "0.50");
    EXPECT_EQ(zf3Nach(std::string(22, 'x'), -3.0), std::string(22, 'x') + "-3.00");
    // shorter texts have nothing at that place and stay as they are
    EXPECT_EQ(zf3Nach(std::string(21, 'x'), 12.5), std::string(21, 'x'));
    EXPECT_EQ(zf3Nach("", 12.5), "");
    // only eight characters fit: a longer value is cut
    EXPECT_EQ(zf3Nach(dreissig, 12345.67), dreissig.substr(0, 22) + "12345.67");
    EXPECT_EQ(zf3Nach(dreissig, 123456.78), dreissig.substr(0, 22) + "123456.7");
    EXPECT_EQ(zf3Nach(dreissig, -12345.67), dreissig.substr(0, 22) + "-12345.6");
    EXPECT_EQ(zf3Nach(dreissig, 1e300), dreissig.substr(0, 22) + "10000000");
}

TEST(Arbeitsfolge, ScalesByTheMeanPerformance) {
    AppRecord app{};
    app.AppSte = 0.5;
    NzaRecord nza{};
    nza.NzaMaz = 2;
    nza.NzaRf1 = 240;
    App_SteKorrigieren(&app, nza);
    EXPECT_DOUBLE_EQ(app.AppSte, 0.6);
    nza.NzaMaz = 0;
    App_SteKorrigieren(&app, nza);
    EXPECT_DOUBLE_EQ(app.AppSte, 0.6);
    nza.NzaMaz = -1;
    App_SteKorrigieren(&app, nza);
    EXPECT_DOUBLE_EQ(app.AppSte, 0.6);
}

class Arbeitsfolge : public fixtures::DbTest {
protected:
    AppRecord lesen(const char* app = "00010") {
        AppRecord r{};
        r.AppApk = "000000004711";
        r.AppApp = app;
        EXPECT_EQ(App_PKeyReadk(&r), 0);
        return r;
    }
    std::string gesamt(const std::string& spalte) const {
        return wert("select " + spalte + " from Hlx590Nza where NzaSa=11 and NzaApl='          '");
    }
};

TEST_P(Arbeitsfolge, AnEvaluationScalesThePlanOnlyOnce) {
    const std::string v(22, '-'), k(21, '-');
    // The MelNam of the position's own messages and of its head's, in
    // booking order; the last column is what the messages now give.
    struct {
        const char* was;
        double ste;
        std::string zf3;
        std::vector<double> eigene, kopf;
        double steNachher;
        std::string zf3Nachher;
    } faelle[] = {
        {"first evaluation", 0.5, v, {120, 120}, {}, 0.6, v + "0.50"},
        {"again, same messages", 0.6, v + "0.50", {120, 120}, {}, 0.6, v + "0.50"},
        {"new messages after the correction", 0.6, v + "0.50", {120, 120, 150, 150}, {}, 0.675, v + "0.50"},
        {"corrected by its head's messages", 0.6, v + "0.50", {150, 150}, {120, 90}, 0.75, v + "0.50"},
        {"new plan", 0.8, v + "0.50", {120, 120}, {}, 0.96, v + "0.80"},
        {"a kept number another program wrote, uncorrected", 0.7, v + "0.50", {120}, {}, 0.84, v + "0.70"},
        {"no way to tell: no room to keep the plan", 0.6, k, {120, 120}, {}, 0.72, k},
    };
    for (const auto& f : faelle) {
        testdb::sql(db, "delete from Hlx560Mel");
        int bnr = 0;
        for (const auto& [apk, werte] : {std::pair{"000000004711", f.eigene}, std::pair{"000000004700", f.kopf}})
            for (const double nam : werte) {
                fixtures::Meldung m;
                m.apk = apk;
                m.fcd = "A07";
                m.nam = nam;
                m.bnr = ++bnr;
                fixtures::meldung(db, m);
            }
        AppRecord app{};
        app.AppApk = "000000004711";
        app.AppApp = "00010";
        app.AppZf2 = Paketschluessel("000000004700", "00010");
        app.AppSte = f.ste;
        app.AppZf3 = f.zf3;
        ASSERT_EQ(App_SteZuruecknehmen(&app), 0) << f.was;
        NzaRecord jetzt{};
        for (const double nam : f.eigene) jetzt.NzaRf1 += nam;
        jetzt.NzaMaz = static_cast<std::int32_t>(f.eigene.size());
        App_SteKorrigieren(&app, jetzt);
        EXPECT_NEAR(app.AppSte, f.steNachher, 1e-12) << f.was;
        EXPECT_EQ(app.AppZf3.str(), f.zf3Nachher) << f.was;
    }
    // A failed read of the messages changes nothing and says so.
    testdb::sql(db, "drop table Hlx560Mel");
    AppRecord app{};
    app.AppSte = 0.6;
    app.AppZf3 = v + "0.50";
    EXPECT_EQ(App_SteZuruecknehmen(&app), -942);
    EXPECT_EQ(app.AppSte, 0.6);
}

TEST_P(Arbeitsfolge, PositionWithoutBookingsGetsItsTotalRecord) {
    fixtures::auftrag(db, "000000004711", "TEIL-0815");
    fixtures::Position p;
    p.ste = 0.5;
    p.ita = 9.99;
    p.itr = 9.99;
    fixtures::position(db, p);
    // messages of another object type name no workstation, but count into the sums
    fixtures::Meldung a07;
    a07.objTyp = "M__";
    a07.fcd = "A07";
    a07.gum = 12;
    a07.fam = 1;
    a07.nam = 110;
    fixtures::meldung(db, a07);
    // what an earlier run left: a total record and error-protocol entries
    fixtures::NzaZeile alt;
    alt.sa = 11;
    alt.apl = "          ";
    alt.pnr = "        ";
    alt.nza = 7.77;
    fixtures::nza(db, alt);
    testdb::sql(db, "insert into Hlx554Err (ErrBer, ErrFun, ErrApk, ErrApp) values "
                    "('BDE','NZA','000000004711','00010'), ('BDE','NZA','000000004711','00010'), "
                    "('BDE','LZA','000000004711','00010')");

    Nza_ArbeitsfolgeVonBis(lesen());

    EXPECT_EQ(wert("select count(*) from Hlx590Nza"), "1");
    EXPECT_EQ(gesamt("NzaPnr"), "        ");
    EXPECT_EQ(gesamt("NzaBmk") + gesamt("NzaEmk"), "BGEG");
    EXPECT_EQ(gesamt("NzaErf"), "ERF00001");
    EXPECT_EQ(gesamt("NzaTnr"), "");
    EXPECT_EQ(std::stod(gesamt("NzaNza")), 0);
    EXPECT_EQ(std::stod(gesamt("NzaGum")), 12);
    EXPECT_EQ(std::stod(gesamt("NzaRf1")), 110);
    EXPECT_EQ(gesamt("NzaMaz"), "1");
    EXPECT_EQ(wert("select count(*) from Hlx590Nza where NzaDtm='2024-03-04 06:00:00' and "
                   "NzaEdt='2024-03-04 14:30:00'"),
              "1");
    EXPECT_EQ(wert("select ErrFun from Hlx554Err"), "LZA");
    const AppRecord nachher = lesen();
    EXPECT_EQ(nachher.AppItr, 0);
    EXPECT_EQ(nachher.AppIta, 0);
    EXPECT_EQ(nachher.AppIte, 0.5);
    EXPECT_EQ(wert("select count(*) from Hlx580Pps"), "1");
    EXPECT_TRUE(log().empty());
}

TEST_P(Arbeitsfolge, MissingOrderHeaderGivesBlankPartNumber) {
    fixtures::position(db, fixtures::Position{});
    fixtures::meldung(db, fixtures::Meldung{});
    fixtures::variante(db, "APL01", 5, 0);
    Nza_ArbeitsfolgeVonBis(lesen());
    EXPECT_EQ(gesamt("NzaTnr"), "                    ");
    EXPECT_TRUE(log().empty());
}

TEST_P(Arbeitsfolge, CorrectionOnlyWhenAnAssignmentAsksForIt) {
    fixtures::auftrag(db, "000000004711");
    fixtures::Position p;
    p.str = 0.25;
    p.ste = 0.5;
    p.sme = 10;
    p.sza = 1.11;
    p.zf3 = std::string(22, '-');
    fixtures::position(db, p);
    fixtures::meldung(db, fixtures::Meldung{});
    fixtures::Meldung zweiter;
    zweiter.apl = "APL02";
    zweiter.bnr = 2;
    fixtures::meldung(db, zweiter);
    // APL01 asks for the correction; APL02 has no assignment, which leaves
    // the flag as APL01 set it, whichever the cursor delivers first
    fixtures::variante(db, "APL01", 5, 1);
    fixtures::arbeitsplatz(db, "APL02", "GRP02");

    Nza_ArbeitsfolgeVonBis(lesen());
    AppRecord nachher = lesen();
    EXPECT_DOUBLE_EQ(nachher.AppSza, 8.45);
    EXPECT_EQ(nachher.AppZf3, std::string(22, '-') + "0.50");

    // without any workstation the planned values stay
    testdb::sql(db, "delete from Hlx560Mel");
    testdb::sql(db, "update Hlx504App set AppSza=1.11, AppZf3=NULL");
    Nza_ArbeitsfolgeVonBis(lesen());
    nachher = lesen();
    EXPECT_DOUBLE_EQ(nachher.AppSza, 1.11);
    EXPECT_EQ(nachher.AppZf3, "");

    // a number another program left where the plan is kept, on a position
    // that is not corrected: nothing is taken back, whatever it matches
    testdb::sql(db, "update Hlx532Aem set AemLkz = 0");
    testdb::sql(db, "update Hlx504App set AppSte = 0.6, AppZf3 = '" + std::string(22, '-') + "0.50'");
    for (const int bnr : {3, 4}) {
        fixtures::Meldung a07;
        a07.fcd = "A07";
        a07.nam = 120;
        a07.bnr = bnr;
        fixtures::meldung(db, a07);
    }
    Nza_ArbeitsfolgeVonBis(lesen());
    nachher = lesen();
    EXPECT_DOUBLE_EQ(nachher.AppSte, 0.6);
    EXPECT_DOUBLE_EQ(nachher.AppSza, 1.11);
}

TEST_P(Arbeitsfolge, AFailedSumsQueryLeavesThePlannedTime) {
    fixtures::Position p;
    p.ste = 0.6;
    p.sza = 1.11;
    p.zf3 = std::string(22, '-') + "0.50";
    fixtures::position(db, p);
    fixtures::meldung(db, fixtures::Meldung{});
    fixtures::variante(db, "APL01", 5, 1);
    testdb::sql(db, "drop index Hlx560Mel_Pos");  // it holds the column
    testdb::sql(db, "alter table Hlx560Mel drop column MelNam");
    Nza_ArbeitsfolgeVonBis(lesen());
    EXPECT_EQ(gesamt("NzaMaz"), "1");
    // neither corrected nor taken back
    EXPECT_EQ(lesen().AppSte, 0.6);
    EXPECT_EQ(lesen().AppSza, 1.11);
    EXPECT_EQ(lesen().AppZf3, p.zf3);
    ASSERT_FALSE(log().empty());
    EXPECT_EQ(log()[0].message, "Mel_AppSum");
}

}  // namespace

FIXTURES_BACKENDS(Arbeitsfolge);
