// Choice of the evaluation variant from the shift-model assignments.
#include "nza/Variante.h"

#include <gtest/gtest.h>

#include "tests/support/Fixtures.h"

using fixtures::Zuordnung;

namespace {

class Variante : public fixtures::DbTest {
protected:
    // Calendar K1 has the test day as day type 1; FRUEH (06:00) and SPAET
    // (14:00) are shift models of that day type.
    void SetUp() override {
        DbTest::SetUp();
        fixtures::arbeitsplatz(db, "APL01", "GRP01");
        fixtures::schichtmodell(db, "FRUEH", 1, "1980-01-01 06:00:00");
        fixtures::schichtmodell(db, "SPAET", 1, "1980-01-01 14:00:00");
        fixtures::kalendertag(db, "K1", "2024-03-04", 1);
        fixtures::allgKalendertag(db, "2024-03-04");
    }
    static Zuordnung zuordnung(int kng, const char* apg, const char* emo, int afz, int lkz) {
        Zuordnung z;
        z.kng = kng;
        z.apg = apg;
        z.emo = emo;
        z.afz = afz;
        z.lkz = lkz;
        return z;
    }
};

TEST_P(Variante, WorkstationAssignmentWinsOverGroupHoweverShiftsBegin) {
    fixtures::zuordnung(db, zuordnung(1, "GRP01", "FRUEH", 4, 0));
    fixtures::zuordnung(db, zuordnung(2, "APL01", "SPAET", 3, 1));
    std::int32_t lkz = 7;
    EXPECT_EQ(Nza_VarianteFeststellen(fixtures::schluessel(), &lkz), 3);
    EXPECT_EQ(lkz, 1);
    EXPECT_TRUE(log().empty());
}

TEST_P(Variante, GroupAssignmentWithoutOwnAndEarliestShiftFirst) {
    // inserted in the other order than their shift models begin
    fixtures::zuordnung(db, zuordnung(1, "GRP01", "SPAET", 3, 0));
    fixtures::zuordnung(db, zuordnung(1, "GRP01", "FRUEH", 4, 1));
    std::int32_t lkz = 0;
    EXPECT_EQ(Nza_VarianteFeststellen(fixtures::schluessel(), &lkz), 4);
    EXPECT_EQ(lkz, 1);
    EXPECT_TRUE(log().empty());
}

TEST_P(Variante, ValidityAndCalendarDecide) {
    Zuordnung abgelaufen = zuordnung(2, "APL01", "FRUEH", 3, 1);
    abgelaufen.gbi = "2024-03-03";
    fixtures::zuordnung(db, abgelaufen);
    Zuordnung kuenftig = zuordnung(2, "APL01", "FRUEH", 3, 1);
    kuenftig.gvo = "2024-03-05";
    fixtures::zuordnung(db, kuenftig);
    Zuordnung andererKalender = zuordnung(2, "APL01", "FRUEH", 3, 1);
    andererKalender.kal = "K2";  // no entry for the day
    andererKalender.gvo = "2024-02-01";
    fixtures::zuordnung(db, andererKalender);
    fixtures::schichtmodell(db, "NACHT", 2, "1980-01-01 22:00:00");
    fixtures::zuordnung(db, zuordnung(2, "APL01", "NACHT", 3, 1));  // day type 2, the day is type 1
    std::int32_t lkz = 7;
    EXPECT_EQ(Nza_VarianteFeststellen(fixtures::schluessel(), &lkz), 0);
    EXPECT_EQ(lkz, 7) << "no assignment leaves the flag alone";

    // valid up to the day itself, and open-ended from the day on
    Zuordnung bisHeute = zuordnung(2, "APL01", "SPAET", 4, 0);
    bisHeute.gbi = "2024-03-04";
    fixtures::zuordnung(db, bisHeute);
    EXPECT_EQ(Nza_VarianteFeststellen(fixtures::schluessel(), &lkz), 4);
    EXPECT_EQ(lkz, 0);
    Zuordnung offen = zuordnung(2, "APL01", "FRUEH", 2, 1);
    offen.gvo = "2024-03-04";
    fixtures::zuordnung(db, offen);
    EXPECT_EQ(Nza_VarianteFeststellen(fixtures::schluessel(), &lkz), 2);
    EXPECT_EQ(lkz, 1);
}

TEST_P(Variante, NoAssignmentAnywhereIsLogged) {
    std::int32_t lkz = 7;
    EXPECT_EQ(Nza_VarianteFeststellen(fixtures::schluessel(), &lkz), 0);
    EXPECT_EQ(lkz, 7);
    const auto eintraege = log();
    ASSERT_EQ(eintraege.size(), 1u);
    EXPECT_EQ(eintraege[0].funktion, "Nza _VarianteFeststellen");
    EXPECT_EQ(eintraege[0].message, "APL01");
    EXPECT_EQ(eintraege[0].code, 1403);
    EXPECT_EQ(eintraege[0].art, "FMSG ");
}

TEST_P(Variante, UnknownWorkstationIsLoggedAndFindsNoGroup) {
    fixtures::zuordnung(db, zuordnung(1, "GRP01", "FRUEH", 4, 1));
    std::int32_t lkz = 0;
    EXPECT_EQ(Nza_VarianteFeststellen(fixtures::schluessel("APL99"), &lkz), 0);
    const auto eintraege = log();
    ASSERT_EQ(eintraege.size(), 2u);
    EXPECT_EQ(eintraege[0].funktion, "Apl_PKeyReadk");
    EXPECT_EQ(eintraege[0].message, "APL99");
    EXPECT_EQ(eintraege[0].code, 1403);
    EXPECT_EQ(eintraege[1].funktion, "Nza _VarianteFeststellen");
    EXPECT_EQ(eintraege[1].message, "APL99");
    EXPECT_EQ(eintraege[1].code, 1403);
}

TEST_P(Variante, DatabaseErrorGivesNoVariantAndIsLogged) {
    testdb::sql(db, "drop table Hlx533Emo");
    std::int32_t lkz = 1;
    EXPECT_EQ(Nza_VarianteFeststellen(fixtures::schluessel(), &lkz), 0);
    EXPECT_EQ(lkz, kLeistungsKzUnbekannt) << "a failed read is no \"no assignment\"";
    // the workstation's lookup and the group's: neither may pass for "none found"
    const auto eintraege = log();
    ASSERT_EQ(eintraege.size(), 2u);
    for (const auto& e : eintraege) {
        EXPECT_EQ(e.funktion, "Nza _VarianteFeststellen");
        EXPECT_EQ(e.message, "Aem_TagOpen");
        EXPECT_EQ(e.code, -942);
    }
}

TEST_P(Variante, VariantsWithoutEvaluationStillDeleteOldRows) {
    for (int afz : {5, 0, 9}) {
        fixtures::NzaZeile alt;
        alt.sa = 10;
        alt.pnr = "        ";
        alt.nza = 1.0;
        fixtures::nza(db, alt);
        testdb::sql(db, "delete from Hlx532Aem");
        fixtures::zuordnung(db, zuordnung(2, "APL01", "FRUEH", afz, 1));
        NzaRecord gesamt = fixtures::gesamtZeile();
        gesamt.NzaNza = 0.75;
        std::int32_t lkz = 0;
        Nza_VarianteAuswerten(Nza_VarianteFeststellen(fixtures::schluessel(), &lkz), fixtures::schluessel(), &gesamt,
                              AppRecord{}, QuellZeilen{});
        EXPECT_EQ(wert("select count(*) from Hlx590Nza"), "0") << afz;
        EXPECT_EQ(gesamt.NzaNza, 0.75) << afz;
        EXPECT_EQ(lkz, 1) << afz;
    }
}

TEST_P(Variante, DispatchRunsTheVariantOfTheAssignment) {
    fixtures::zuordnung(db, zuordnung(2, "APL01", "FRUEH", 2, 1));
    AppRecord app{};
    app.AppStr = 0.45;
    app.AppSte = 0.25;
    app.AppIme = 130;
    NzaRecord gesamt = fixtures::gesamtZeile();
    std::int32_t lkz = 0;
    Nza_VarianteAuswerten(Nza_VarianteFeststellen(fixtures::schluessel(), &lkz), fixtures::schluessel(), &gesamt, app,
                          QuellZeilen{});
    EXPECT_EQ(lkz, 1);
    EXPECT_DOUBLE_EQ(gesamt.NzaNza, 54.10);
    EXPECT_EQ(wert("select count(*) from Hlx590Nza where NzaSa=10 and NzaApl='APL01'"), "1");
}

}  // namespace

FIXTURES_BACKENDS(Variante);
