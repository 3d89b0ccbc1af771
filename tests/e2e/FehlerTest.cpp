// Tables without a column the run needs: the run goes on, or says that its
// walk could not start and ends with status 1.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/AuswertungsLauf.h"

namespace {

using fixtures::Position;
using Fehler = auswertung::Lauf;

// Two positions on workstation APL01 (variant 3), each with a source row.
void zweiPositionen(const testdb::Db& db) {
    fixtures::auftrag(db, "000000004711");
    fixtures::variante(db, "APL01", 3, 0);
    for (const char* app : {"00010", "00020"}) {
        Position p;
        p.app = app;
        p.ste = 0.5;
        p.ita = 7.77;
        fixtures::positionMitMeldung(db, p);
        fixtures::NzaZeile q;
        q.app = app;
        q.nza = 1.30;
        fixtures::nza(db, q);
    }
}

TEST_P(Fehler, MissingTablesDoNotStopTheRun) {
    zweiPositionen(db);
    // no booking messages at all: the positions are left as they are
    testdb::sql(db, "alter table Hlx560Mel rename column KeyApk to KeyApkWeg");
    bereich();
    EXPECT_EQ(anzahl("Hlx590Nza where NzaSa=11"), "0");
    EXPECT_DOUBLE_EQ(position("AppIta"), 7.77);
    EXPECT_EQ(wert("select NzpAus from Hlx591Nzp"), "ERF00001");
}

// A walk that cannot even start is said in the log and in the status, so
// that the run does not look complete; the run parameters are recorded all
// the same.
TEST_P(Fehler, WalkThatCannotStartIsReported) {
    zweiPositionen(db);
    testdb::sql(db, "alter table Hlx504App rename column AppSts to AppStsWeg");
    EXPECT_EQ(e2e::run(tree, {"000000004711", "00000", "000000004711", "99999", "ERF00001"}).status, 1);
    auto eintraege = log();
    ASSERT_EQ(eintraege.size(), 1u);
    EXPECT_EQ(eintraege[0].funktion, "Verarbeitung_VonBis");
    EXPECT_EQ(eintraege[0].message, "App_VonBisOpen");
    EXPECT_EQ(eintraege[0].code, -904);
    EXPECT_EQ(wert("select NzpAus from Hlx591Nzp"), "ERF00001");

    testdb::sql(db, "alter table Hlx563Mrk rename column MrkKng to MrkKngWeg");
    EXPECT_EQ(e2e::run(tree, {"000000000000", "00000", "000000000000", "00000", "ERF00002"}).status, 1);
    eintraege = log();
    ASSERT_EQ(eintraege.size(), 2u);
    EXPECT_EQ(eintraege[1].funktion, "Verarbeitung_MRK");
    EXPECT_EQ(eintraege[1].message, "Mrk_KngOpen");
    EXPECT_EQ(eintraege[1].code, -904);
}

}  // namespace

AUSWERTUNG_BACKENDS(Fehler);
