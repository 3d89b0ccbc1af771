// Booking-message queries: the workstations booked on a position, and the
// "A07"/"A06" sums of a position and of a workstation on it.
#include <algorithm>
#include <string>
#include <vector>

#include "db/DbMel.h"
#include "tests/support/Fixtures.h"

namespace {

using fixtures::Meldung;

class DbMelMel : public fixtures::DbTest {
protected:
    void m(const char* apl, const char* fcd, double gum, double fam, double nam, const char* app = "00010") {
        Meldung x;
        x.apl = apl;
        x.app = app;
        x.fcd = fcd;
        x.gum = gum;
        x.fam = fam;
        x.nam = nam;
        x.bnr = ++bnr;
        fixtures::meldung(db, x);
    }
    int bnr = 0;
};

TEST_P(DbMelMel, WorkstationCursorDeliversEachBookedWorkstationOnce) {
    Meldung x;
    for (const char* apl : {"APL01", "APL02", "APL01", "APL02"}) {
        x.apl = apl;
        x.bnr++;
        fixtures::meldung(db, x);
    }
    x.apl = "APL03";
    x.datum = "2024-03-03 23:59:59";  // before the day asked for
    fixtures::meldung(db, x);
    x.apl = "APL04";
    x.datum = "2024-03-05 08:00:00";
    x.objTyp = "M__";
    fixtures::meldung(db, x);
    x.apl = "APL05";
    x.objTyp = "M_A";
    x.app = "00020";
    fixtures::meldung(db, x);

    ASSERT_EQ(0, Mel_AppAplOpen("000000004711", "00010", "20240304"));
    std::vector<std::string> apls;
    Text<10> apl;
    while (Mel_AppAplFetch(&apl) == 0) apls.push_back(apl.str());
    EXPECT_FALSE(apl.empty()) << "the fetch past the end leaves the buffer alone";
    Mel_AppAplClose();
    std::sort(apls.begin(), apls.end());
    EXPECT_EQ(std::vector<std::string>({"APL01", "APL02"}), apls);
}

TEST_P(DbMelMel, SumsCoverTheA07AndA06MessagesOfThePositionOrWorkstation) {
    m("APL01", "A07", 1, 0.5, 1);
    m("APL01", "A07", 2, 0.5, 1);
    m("APL02", "A07", 3, 0.5, 1);
    m("APL01", "A06", 4, 1, 2);
    m("APL01", "A01", 100, 100, 100);
    m("APL01", "A07", 1000, 1000, 1000, "00020");

    NzaRecord r = fixtures::gesamtZeile();
    r.NzaNzr = 7.5;
    Mel_AppSum(&r);
    EXPECT_DOUBLE_EQ(10, r.NzaGum);
    EXPECT_DOUBLE_EQ(2.5, r.NzaAum);
    EXPECT_DOUBLE_EQ(5, r.NzaRf1);
    EXPECT_EQ(4, r.NzaMaz);
    EXPECT_DOUBLE_EQ(7.5, r.NzaNzr);

    r.NzaApl = "APL01";
    r.NzaRf1 = 0;
    Mel_AplAppSum(&r);
    EXPECT_DOUBLE_EQ(7, r.NzaGum);
    EXPECT_DOUBLE_EQ(2, r.NzaAum);
    EXPECT_EQ(4, r.NzaMaz);
    EXPECT_EQ(0.0, r.NzaRf1);
}

TEST_P(DbMelMel, NoMatchingMessageGivesZeroSumsAndCountButAFailureCountsOne) {
    m("APL01", "A01", 5, 5, 5);
    NzaRecord r = fixtures::gesamtZeile();
    r.NzaGum = r.NzaAum = r.NzaRf1 = 9;
    r.NzaMaz = 9;
    Mel_AppSum(&r);
    EXPECT_EQ(0.0, r.NzaGum);
    EXPECT_EQ(0.0, r.NzaAum);
    EXPECT_EQ(0.0, r.NzaRf1);
    EXPECT_EQ(0, r.NzaMaz);
    r.NzaApl = "APL01";
    r.NzaGum = r.NzaAum = 9;
    Mel_AplAppSum(&r);
    EXPECT_EQ(0.0, r.NzaGum);
    EXPECT_EQ(0.0, r.NzaAum);

    testdb::sql(db, "drop table Hlx560Mel");
    r.NzaGum = r.NzaAum = r.NzaRf1 = 9;
    Mel_AppSum(&r);
    EXPECT_EQ(0.0, r.NzaGum);
    EXPECT_EQ(0.0, r.NzaRf1);
    EXPECT_EQ(1, r.NzaMaz);
    r.NzaGum = 9;
    EXPECT_EQ(Mel_AplAppSum(&r), -942);
    EXPECT_EQ(0.0, r.NzaGum);
}

FIXTURES_BACKENDS(DbMelMel);

}  // namespace
