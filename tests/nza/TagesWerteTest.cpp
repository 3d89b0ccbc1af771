// The three workstation evaluations: planned values (2), sums of kind-5 rows
// (3) and of kind-6 rows (4).
#include "nza/TagesWerte.h"

#include <gtest/gtest.h>

#include "tests/support/Fixtures.h"

using fixtures::NzaZeile;

namespace {

class TagesWerte : public fixtures::DbTest {
protected:
    // Column of the workstation's evaluation row.
    std::string zeile(const std::string& spalte, const char* apl = "APL01") const {
        return wert("select " + spalte + " from Hlx590Nza where NzaSa=10 and NzaApl='" + apl + "'");
    }
    double zeilenZahl(const std::string& spalte, const char* apl = "APL01") const {
        return std::stod(zeile(spalte, apl));
    }
    static NzaZeile quelle(int sa, const char* pnr, const char* dtm, const char* edt, double nza, double rbz) {
        NzaZeile z;
        z.sa = sa;
        z.pnr = pnr;
        z.dtm = dtm;
        z.edt = edt;
        z.nza = nza;
        z.rbz = rbz;
        return z;
    }
};

TEST_P(TagesWerte, PlannedValuesWorkedExample) {
    AppRecord app{};
    app.AppStr = 0.45;
    app.AppSte = 0.25;
    app.AppIme = 130;
    NzaRecord gesamt = fixtures::gesamtZeile();
    gesamt.NzaTnr = "TEIL-4711";
    gesamt.NzaAbz = 1.10;
    gesamt.NzaRbz = 0.20;
    gesamt.NzaAum = 5;
    gesamt.NzaUbz = 0.33;
    Nzm_TagesWertePA(fixtures::schluessel(), &gesamt, app);

    EXPECT_DOUBLE_EQ(zeilenZahl("NzaNzr"), 0.45);
    EXPECT_DOUBLE_EQ(zeilenZahl("NzaBzr"), 0.45);
    EXPECT_DOUBLE_EQ(zeilenZahl("NzaNza"), 54.10);
    EXPECT_DOUBLE_EQ(zeilenZahl("NzaBzA"), 54.10);
    EXPECT_DOUBLE_EQ(zeilenZahl("NzaGum"), 130);
    EXPECT_EQ(zeile("NzaPnr"), "        ");
    EXPECT_EQ(zeile("NzaApk") + "/" + zeile("NzaApp"), "000000004711/00010");
    EXPECT_EQ(zeile("NzaBmk") + zeile("NzaEmk"), "BGEG");
    EXPECT_EQ(zeile("NzaErf"), "ERF00001");
    EXPECT_EQ(zeile("NzaTnr"), "TEIL-4711");
    EXPECT_EQ(wert("select count(*) from Hlx590Nza where NzaSa=10 and NzaDtm='2024-03-04 06:00:00' and "
                   "NzaEdt='2024-03-04 14:30:00'"),
              "1");

    // the total record takes the values, the other durations are cleared
    EXPECT_DOUBLE_EQ(gesamt.NzaNza, 54.10);
    EXPECT_DOUBLE_EQ(gesamt.NzaBzA, 54.10);
    EXPECT_DOUBLE_EQ(gesamt.NzaNzr, 0.45);
    EXPECT_DOUBLE_EQ(gesamt.NzaBzr, 0.45);
    EXPECT_DOUBLE_EQ(gesamt.NzaGum, 130);
    EXPECT_EQ(gesamt.NzaAbz, 0);
    EXPECT_EQ(gesamt.NzaRbz, 0);
    EXPECT_EQ(gesamt.NzaAum, 0);
    EXPECT_DOUBLE_EQ(gesamt.NzaUbz, 0.33);
    EXPECT_TRUE(log().empty());
}

TEST_P(TagesWerte, PlannedValuesCutFractionsAndLoseNoMinute) {
    struct Fall {
        double ste, ime, nza;
    };
    // 0.75 is 75 minutes; 25 x 3.3 = 82.5 is cut; 12 x 130 = 1560 exactly;
    // 29 x 100 = 2900 although 100 x 0.29 falls just below 29 in binary
    for (Fall f : {Fall{0.75, 2, 2.30}, Fall{0.25, 3.3, 1.22}, Fall{0.12, 130, 26.00}, Fall{0.29, 100, 48.20},
                   Fall{0.30, 7, 3.30}, Fall{0.5, 0, 0.0}}) {
        testdb::sql(db, "delete from Hlx590Nza");
        AppRecord app{};
        app.AppStr = 0.05;
        app.AppSte = f.ste;
        app.AppIme = f.ime;
        NzaRecord gesamt = fixtures::gesamtZeile();
        Nzm_TagesWertePA(fixtures::schluessel(), &gesamt, app);
        EXPECT_DOUBLE_EQ(gesamt.NzaNza, f.nza) << f.ste << " x " << f.ime;
        EXPECT_DOUBLE_EQ(zeilenZahl("NzaNza"), f.nza) << f.ste << " x " << f.ime;
        EXPECT_DOUBLE_EQ(zeilenZahl("NzaNzr"), 0.05);
    }
}

TEST_P(TagesWerte, PlannedValuesFailedInsertLeavesTotalRecord) {
    NzaZeile vorhanden;  // the row the evaluation is about to write
    vorhanden.sa = 10;
    vorhanden.pnr = "        ";
    vorhanden.nza = 9.99;
    fixtures::nza(db, vorhanden);
    AppRecord app{};
    app.AppStr = 0.45;
    app.AppSte = 0.25;
    app.AppIme = 130;
    NzaRecord gesamt = fixtures::gesamtZeile();
    gesamt.NzaNza = 1.00;
    gesamt.NzaAbz = 0.10;
    Nzm_TagesWertePA(fixtures::schluessel(), &gesamt, app);
    EXPECT_EQ(gesamt.NzaNza, 1.00);
    EXPECT_EQ(gesamt.NzaAbz, 0.10);
    EXPECT_DOUBLE_EQ(zeilenZahl("NzaNza"), 9.99);
    const auto eintraege = log();
    ASSERT_EQ(eintraege.size(), 1u);
    EXPECT_EQ(eintraege[0].funktion, "Nzm_TagesWertePA");
    EXPECT_EQ(eintraege[0].message, "Nza_PKeyIns");
    EXPECT_EQ(eintraege[0].code, -1);
}

// Variants 3 and 4, each on the rows of its kind.
// The source rows are read before the evaluation, as the driver does.
void summieren(int variante, MelRecord mel, NzaRecord* nza) {
    QuellZeilen q;
    Nzm_QuellZeilenLesen(variante, mel, &q);
    (variante == 3 ? Nzm_TagesWerteVariante3 : Nzm_TagesWerteVariante4)(mel, nza, q);
}

struct Summierend {
    const char* name;
    int variante, sa, andereSa;
};
const Summierend kSummierende[] = {{"variant 3", 3, 5, 6}, {"variant 4", 4, 6, 5}};

// Rows of another workstation or of the other kind do not count; the
// quantities come from the workstation's "A07"/"A06" messages only; variant
// 3 takes the part number from the order header, variant 4 keeps the total's.
TEST_P(TagesWerte, Variants3And4SumTheRowsOfTheirKind) {
    fixtures::auftrag(db, "000000004711", "TEIL-0815");
    fixtures::Meldung a07;
    a07.fcd = "A07";
    a07.gum = 10;
    a07.fam = 1;
    fixtures::meldung(db, a07);
    fixtures::Meldung a06 = a07;
    a06.fcd = "A06";
    a06.gum = 5;
    a06.fam = 2;
    a06.bnr = 2;
    fixtures::meldung(db, a06);
    fixtures::Meldung anderer = a07;
    anderer.fcd = "A01";
    anderer.bnr = 3;
    fixtures::meldung(db, anderer);

    for (const Summierend& v : kSummierende) {
        SCOPED_TRACE(v.name);
        testdb::sql(db, "delete from Hlx590Nza");
        fixtures::nza(db, quelle(v.sa, "00001234", "2024-03-04 06:00:00", "2024-03-04 07:30:00", 1.30, 0.25));
        fixtures::nza(db, quelle(v.sa, "00001234", "2024-03-04 08:00:00", "2024-03-04 09:10:00", 0.45, 0.50));
        NzaZeile fremd = quelle(v.sa, "00001234", "2024-03-04 06:00:00", "2024-03-04 07:00:00", 5.00, 5.00);
        fremd.apl = "APL02";
        fixtures::nza(db, fremd);
        fixtures::nza(db, quelle(v.andereSa, "00001234", "2024-03-04 06:00:00", "2024-03-04 07:00:00", 5.00, 5.00));

        NzaRecord gesamt = fixtures::gesamtZeile();
        gesamt.NzaTnr = "ALT";
        gesamt.NzaNza = 0.75;
        gesamt.NzaPzu = 0.305;
        summieren(v.variante, fixtures::schluessel(), &gesamt);

        const std::string tnr = v.sa == 5 ? "TEIL-0815" : "ALT";
        EXPECT_DOUBLE_EQ(zeilenZahl("NzaNza"), 2.15);
        EXPECT_DOUBLE_EQ(zeilenZahl("NzaRbz"), 1.15);
        EXPECT_DOUBLE_EQ(zeilenZahl("NzaGum"), 15);
        EXPECT_DOUBLE_EQ(zeilenZahl("NzaAum"), 3);
        EXPECT_EQ(zeile("NzaPnr"), "        ");
        EXPECT_EQ(zeile("NzaTnr"), tnr);
        EXPECT_EQ(zeile("NzaErf"), "ERF00001");
        EXPECT_EQ(wert("select count(*) from Hlx590Nza where NzaSa=10 and NzaDtm='2024-03-04 06:00:00' and "
                       "NzaEdt='2024-03-04 09:10:00'"),
                  "1");
        EXPECT_DOUBLE_EQ(gesamt.NzaNza, 3.30);  // 75 + 135 minutes
        EXPECT_DOUBLE_EQ(gesamt.NzaRbz, 1.15);
        EXPECT_DOUBLE_EQ(gesamt.NzaPzu, 0.30);
        EXPECT_EQ(gesamt.NzaTnr, tnr);
    }
    EXPECT_TRUE(log().empty());
}

// Without rows of its kind variant 3 still takes the part number and
// normalises the summed fields of the total; variant 4 changes nothing.
TEST_P(TagesWerte, Variants3And4WithoutRowsOfTheirKind) {
    fixtures::auftrag(db, "000000004711", "TEIL-0815");
    for (const Summierend& v : kSummierende) {
        SCOPED_TRACE(v.name);
        testdb::sql(db, "delete from Hlx590Nza");
        fixtures::nza(db, quelle(v.andereSa, "00001234", "2024-03-04 06:00:00", "2024-03-04 07:00:00", 0.45, 0));
        NzaRecord gesamt = fixtures::gesamtZeile();
        gesamt.NzaTnr = "ALT";
        gesamt.NzaNza = 0.75;
        gesamt.NzaRbz = 1.305;  // 90.5 minutes
        gesamt.NzaBzA = 0.29;
        gesamt.NzaUbz = 0.75;  // not one of the summed fields
        summieren(v.variante, fixtures::schluessel(), &gesamt);
        const bool drei = v.sa == 5;
        EXPECT_EQ(wert("select count(*) from Hlx590Nza where NzaSa=10"), "0");
        EXPECT_DOUBLE_EQ(gesamt.NzaNza, drei ? 1.15 : 0.75);
        EXPECT_DOUBLE_EQ(gesamt.NzaRbz, drei ? 1.30 : 1.305);
        EXPECT_DOUBLE_EQ(gesamt.NzaBzA, 0.29);
        EXPECT_DOUBLE_EQ(gesamt.NzaUbz, 0.75);
        EXPECT_EQ(gesamt.NzaTnr, drei ? "TEIL-0815" : "ALT");
    }
}

TEST_P(TagesWerte, Variant3AddsToTheTotalAndCarriesIntoHours) {
    fixtures::nza(db, quelle(5, "00001234", "2024-03-04 06:00:00", "2024-03-04 07:00:00", 0.45, 0));
    fixtures::nza(db, quelle(5, "00001234", "2024-03-04 07:00:00", "2024-03-04 08:00:00", 0.45, 0));
    NzaRecord gesamt = fixtures::gesamtZeile();
    gesamt.NzaTnr = "                    ";  // order header missing: kept
    gesamt.NzaNza = 1.30;
    summieren(3, fixtures::schluessel(), &gesamt);
    EXPECT_DOUBLE_EQ(zeilenZahl("NzaNza"), 1.30);
    EXPECT_DOUBLE_EQ(gesamt.NzaNza, 3.00);
    EXPECT_EQ(gesamt.NzaTnr, "                    ");
}

TEST_P(TagesWerte, Variant3BeginAndEndFollowTheCursorOrder) {
    // personnel number first: the lower one begins later but comes first
    fixtures::nza(db, quelle(5, "00000002", "2024-03-04 05:00:00", "2024-03-04 06:00:00", 0.10, 0));
    fixtures::nza(db, quelle(5, "00000001", "2024-03-04 09:00:00", "2024-03-04 10:00:00", 0.10, 0));
    fixtures::nza(db, quelle(5, "00000002", "2024-03-04 07:00:00", "2024-03-04 08:00:00", 0.10, 0));
    NzaRecord gesamt = fixtures::gesamtZeile();
    summieren(3, fixtures::schluessel(), &gesamt);
    EXPECT_EQ(wert("select count(*) from Hlx590Nza where NzaSa=10 and NzaDtm='2024-03-04 09:00:00' and "
                   "NzaEdt='2024-03-04 08:00:00'"),
              "1");
    EXPECT_DOUBLE_EQ(zeilenZahl("NzaNza"), 0.30);
}

TEST_P(TagesWerte, Variant3FailedInsertIsLoggedAfterTheTotalIsUpdated) {
    fixtures::schreibenVerhindern(db, "Hlx590Nza", "insert", "NEW.NzaSa = 10");
    fixtures::nza(db, quelle(5, "00001234", "2024-03-04 06:00:00", "2024-03-04 07:00:00", 0.45, 0));
    NzaRecord gesamt = fixtures::gesamtZeile();
    summieren(3, fixtures::schluessel(), &gesamt);
    EXPECT_DOUBLE_EQ(gesamt.NzaNza, 0.45);
    EXPECT_EQ(wert("select count(*) from Hlx590Nza where NzaSa=10"), "0");
    const auto eintraege = log();
    ASSERT_EQ(eintraege.size(), 1u);
    EXPECT_EQ(eintraege[0].funktion, "Nzm_TagesWertePA");
    EXPECT_EQ(eintraege[0].message, "Nza_PKeyIns");
    EXPECT_EQ(eintraege[0].code, -20000);  // the error a trigger raises
}

// Quantities that cannot be summed are written as 0, and the log says why.
TEST_P(TagesWerte, Variants3And4LogAFailedQuantitySum) {
    testdb::sql(db, "drop table Hlx560Mel");
    for (const Summierend& v : kSummierende) {
        SCOPED_TRACE(v.name);
        testdb::sql(db, "delete from Hlx590Nza");
        fixtures::nza(db, quelle(v.sa, "00001234", "2024-03-04 06:00:00", "2024-03-04 07:00:00", 0.45, 0));
        NzaRecord gesamt = fixtures::gesamtZeile();
        summieren(v.variante, fixtures::schluessel(), &gesamt);
        EXPECT_DOUBLE_EQ(zeilenZahl("NzaGum"), 0);
        const auto eintraege = log();
        ASSERT_FALSE(eintraege.empty());
        EXPECT_EQ(eintraege.back().funktion, v.sa == 5 ? "Nzm_TagesWerteVariante3" : "Nzm_TagesWerteVariante4");
        EXPECT_EQ(eintraege.back().message, "Mel_AplAppSum");
        EXPECT_EQ(eintraege.back().code, -942);
    }
}

}  // namespace

FIXTURES_BACKENDS(TagesWerte);
