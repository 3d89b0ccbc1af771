// Shift-model assignments valid on a day, and the workstation read.
#include <string>

#include "db/Dbstd.h"
#include "tests/support/Fixtures.h"

namespace {

using fixtures::Zuordnung;

class DbstdAem : public fixtures::DbTest {
protected:
    // First assignment of kind kng for apg on day tag; 1403 when none qualifies.
    std::int32_t erste(std::int32_t kng, const char* apg, const char* tag, AemRecord* r) {
        AemRecord key;
        key.AemKng = kng;
        key.AemApg = apg;
        key.AemTag = tag;
        std::int32_t rc = Aem_TagOpen(key);
        EXPECT_EQ(0, rc);
        if (rc != 0) return rc;
        rc = Aem_TagFetch(r);
        Aem_TagClose();
        return rc;
    }
    Zuordnung zu(int kng, const char* apg, int afz) {
        Zuordnung z;
        z.kng = kng;
        z.apg = apg;
        z.afz = afz;
        return z;
    }
};

TEST_P(DbstdAem, OwnAndGroupAssignmentsAreFoundByTheirKind) {
    fixtures::variante(db, "APL01", 3, 1);
    fixtures::zuordnung(db, zu(1, "GRP01", 4));

    AemRecord r;
    ASSERT_EQ(0, erste(2, "APL01", "20240304", &r));
    EXPECT_EQ(3, r.AemAfz);
    EXPECT_EQ(1, r.AemLkz);
    EXPECT_EQ(r.AemApg, "APL01");
    EXPECT_EQ(r.AemEmo, "FRUEH");
    EXPECT_EQ(r.AemGvo, "20240101");
    EXPECT_EQ(r.AemKal, "K1");
    EXPECT_EQ(1, r.KalBtp);
    EXPECT_EQ(r.KalDtm, "20240304");
    EXPECT_EQ(2024, r.BakJhr);
    EXPECT_EQ(3, r.BakMon);
    EXPECT_EQ(10, r.BakWch);
    EXPECT_EQ(2024, r.WochenJahr);

    ASSERT_EQ(0, erste(1, "GRP01", "20240304", &r));
    EXPECT_EQ(4, r.AemAfz);
    EXPECT_EQ(1403, erste(1, "APL01", "20240304", &r));
    EXPECT_EQ(4, r.AemAfz) << "a fetch without a row leaves the record alone";
}

TEST_P(DbstdAem, ValidityCalendarAndDayTypeDecide) {
    fixtures::variante(db, "APL01", 2, 0);  // open end, calendar K1 of day type 1
    Zuordnung z = zu(2, "APL02", 2);
    z.gbi = "2024-03-03";
    fixtures::zuordnung(db, z);
    z = zu(2, "APL03", 2);
    z.gbi = "2024-03-04";
    fixtures::zuordnung(db, z);
    z = zu(2, "APL04", 2);
    z.gvo = "2024-03-05";
    fixtures::zuordnung(db, z);
    fixtures::kalendertag(db, "K2", "2024-03-04", 2);
    z = zu(2, "APL05", 2);
    z.kal = "K2";
    fixtures::zuordnung(db, z);
    z = zu(2, "APL06", 2);
    z.kal = "K3";
    fixtures::zuordnung(db, z);

    AemRecord r;
    EXPECT_EQ(0, erste(2, "APL01", "20240304", &r));
    EXPECT_EQ(1403, erste(2, "APL02", "20240304", &r)) << "validity ended the day before";
    EXPECT_EQ(0, erste(2, "APL03", "20240304", &r)) << "validity ends on the day";
    EXPECT_EQ(1403, erste(2, "APL04", "20240304", &r)) << "validity begins the day after";
    EXPECT_EQ(1403, erste(2, "APL05", "20240304", &r)) << "calendar day of another day type";
    EXPECT_EQ(1403, erste(2, "APL06", "20240304", &r)) << "calendar without the day";
    EXPECT_EQ(1403, erste(2, "APL01", "20240305", &r)) << "no calendar day";
}

TEST_P(DbstdAem, AssignmentsComeInTheOrderOfTheirShiftModelsBegin) {
    fixtures::schichtmodell(db, "SPAET", 1, "1980-01-01 14:00:00");
    Zuordnung z = zu(2, "APL01", 4);
    z.emo = "SPAET";
    fixtures::zuordnung(db, z);
    fixtures::variante(db, "APL01", 3, 0);

    AemRecord key;
    key.AemKng = 2;
    key.AemApg = "APL01";
    key.AemTag = "20240304";
    ASSERT_EQ(0, Aem_TagOpen(key));
    AemRecord r;
    ASSERT_EQ(0, Aem_TagFetch(&r));
    EXPECT_EQ(r.AemEmo, "FRUEH");
    ASSERT_EQ(0, Aem_TagFetch(&r));
    EXPECT_EQ(r.AemEmo, "SPAET");
    EXPECT_EQ(1403, Aem_TagFetch(&r));
    EXPECT_EQ(0, Aem_TagClose());
}

TEST_P(DbstdAem, AShiftModelWithoutBeginComesAfterOneWithABegin) {
    fixtures::variante(db, "APL01", 3, 0);
    testdb::sql(db, "update Hlx533Emo set EmoBeg=NULL");
    fixtures::schichtmodell(db, "SPAET", 1, "1980-01-01 14:00:00");
    Zuordnung z = zu(2, "APL01", 4);
    z.emo = "SPAET";
    fixtures::zuordnung(db, z);
    AemRecord r;
    ASSERT_EQ(0, erste(2, "APL01", "20240304", &r));
    EXPECT_EQ(r.AemEmo, "SPAET");
}

TEST_P(DbstdAem, WeekYearAtTheTurnOfTheYear) {
    fixtures::arbeitsplatz(db, "APL01", "GRP01");
    fixtures::schichtmodell(db, "FRUEH", 1, "1980-01-01 06:00:00");
    Zuordnung z = zu(2, "APL01", 2);
    z.gvo = "2020-01-01";
    fixtures::zuordnung(db, z);
    for (const char* tag : {"2024-12-30", "2022-01-01", "2024-06-30"}) {
        fixtures::kalendertag(db, "K1", tag, 1);
        fixtures::allgKalendertag(db, tag);
    }
    AemRecord r;
    ASSERT_EQ(0, erste(2, "APL01", "20241230", &r));
    EXPECT_EQ(2024, r.BakJhr);
    EXPECT_EQ(1, r.BakWch);
    EXPECT_EQ(2025, r.WochenJahr);
    ASSERT_EQ(0, erste(2, "APL01", "20220101", &r));
    EXPECT_EQ(52, r.BakWch);
    EXPECT_EQ(2021, r.WochenJahr);
    ASSERT_EQ(0, erste(2, "APL01", "20240630", &r));
    EXPECT_EQ(2024, r.WochenJahr);
}

TEST_P(DbstdAem, WorkstationReadLeavesTheRecordAloneWhenMissing) {
    fixtures::arbeitsplatz(db, "APL01", "GRP01");
    AplRecord r;
    r.AplApl = "APL01";
    ASSERT_EQ(0, Apl_PKeyReadk(&r));
    EXPECT_EQ(r.AplApg, "GRP01");
    EXPECT_EQ(r.AplBez, "Arbeitsplatz APL01");

    r.AplApl = "APL99";
    EXPECT_EQ(1403, Apl_PKeyReadk(&r));
    EXPECT_EQ(r.AplApl, "APL99");
    EXPECT_EQ(r.AplApg, "GRP01");
}

FIXTURES_BACKENDS(DbstdAem);

}  // namespace
