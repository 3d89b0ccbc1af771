// The run parameters read at the start and written back at the end of a run.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/AuswertungsLauf.h"

namespace {

using Laufparameter = auswertung::Lauf;

// The row's columns that a run must not touch, and those it writes.
const char* kUnberuehrt = "select NzpAak || '/' || NzpAwt || '/' || NzpKjh || '/' || NzpKmn || '/' || NzpKwo || '/' || "
                          "NzpKtg || '/' || NzpMrk from Hlx591Nzp";

TEST_P(Laufparameter, ValidRowRecordsTheRunAlsoWithoutPositions) {
    testdb::sql(db, "update Hlx591Nzp set NzpAdt='2000-01-01 00:00:00'");
    const std::string heute = fixtures::tag(0);
    bereich("000000009999", "00000", "000000000001", "99999");  // start after end
    EXPECT_TRUE(log().empty());
    EXPECT_EQ(wert("select NzpAus from Hlx591Nzp"), "ERF00001");
    EXPECT_EQ(wert("select NzpAan || '/' || NzpVfh || '/' || NzpNfh from Hlx591Nzp"), "0/0/0");
    EXPECT_EQ(wert(kUnberuehrt), "1/2/2024/3/10/4/0");
    EXPECT_TRUE(fixtures::amTag(heute, wert("select NzpAdt from Hlx591Nzp")));

    // the marker run writes its own recorder
    merkerLauf();
    EXPECT_EQ(wert("select NzpAus from Hlx591Nzp"), "ERF00002");
    EXPECT_TRUE(log().empty());
}

TEST_P(Laufparameter, RowsValidFromOrUntilTodayAreNotRead) {
    for (auto [von, bis] : {std::pair{0, 1}, std::pair{-1, 0}}) {
        testdb::sql(db, "delete from Hlx591Nzp");
        fixtures::laufparameter(db, 2, von, bis);
        e2e::removeTree(tree);
        tree = e2e::makeTree(db);
        bereich();
        const auto eintraege = log();
        ASSERT_EQ(eintraege.size(), 2u);
        EXPECT_EQ(eintraege[0].funktion, "Nzm_Parameter");
        EXPECT_EQ(eintraege[0].message, "Nzp_PKeyReadk");
        EXPECT_EQ(eintraege[0].code, 1403);
        // with no row read there is no row to write back to
        EXPECT_EQ(eintraege[1].funktion, "Nzm_Parameter");
        EXPECT_EQ(eintraege[1].message, "Nzp_PKeyUpd");
        EXPECT_EQ(eintraege[1].code, 1403);
        EXPECT_EQ(wert("select NzpAus || '/' || NzpAan from Hlx591Nzp"), "ALT/17");
    }
}

TEST_P(Laufparameter, EmptyRecorderIsStoredAsNull) {
    const e2e::Result r = e2e::run(tree, {"000000004711", "00000", "000000004711", "99999", ""});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(log().empty());
    EXPECT_EQ(wert("select count(*) from Hlx591Nzp where NzpAus is null and NzpAan=0"), "1");
}

}  // namespace

AUSWERTUNG_BACKENDS(Laufparameter);
