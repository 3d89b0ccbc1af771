// Order headers and positions: reads and their rules for a missing row, the
// range and package cursors, the write-back.
#include <algorithm>
#include <string>
#include <vector>

#include "db/Dbstd.h"
#include "tests/support/Fixtures.h"

namespace {

using fixtures::Position;

class DbstdApp : public fixtures::DbTest {
protected:
    void pos(const std::string& apk, const std::string& app, int sts = 0) {
        Position p;
        p.apk = apk;
        p.app = app;
        p.sts = sts;
        fixtures::position(db, p);
    }
    // "order/position" of every row the range cursor delivers.
    std::vector<std::string> bereich(const char* vonApk, const char* vonApp, const char* bisApk, const char* bisApp) {
        std::vector<std::string> keys;
        EXPECT_EQ(0, App_VonBisOpen(vonApk, vonApp, bisApk, bisApp, 10));
        AppRecord r;
        while (App_VonBisFetch(&r) == 0) keys.push_back(r.AppApk.str() + "/" + r.AppApp.str());
        App_VonBisClose();
        return keys;
    }
};

TEST_P(DbstdApp, HeaderReadFillsAllButItsStampAndClearsAllButTheKeyWhenMissing) {
    fixtures::auftrag(db, "000000004711", "TEIL-4711");
    ApkRecord r;
    r.ApkApk = "000000004711";
    r.ApkDat = "20000101000000";
    ASSERT_EQ(0, Apk_PKeyReadk(&r));
    EXPECT_EQ(r.ApkTnr, "TEIL-4711");
    EXPECT_EQ(r.ApkBz1, "Auftrag 000000004711");
    EXPECT_EQ(r.ApkDat, "20000101000000");

    r.ApkApk = "000000000815";
    EXPECT_EQ(1403, Apk_PKeyReadk(&r));
    EXPECT_EQ(r.ApkApk, "000000000815");
    EXPECT_TRUE(r.ApkTnr.empty());
    EXPECT_TRUE(r.ApkBz1.empty());
    EXPECT_TRUE(r.ApkDat.empty());
}

TEST_P(DbstdApp, PositionReadSplitsDateColumnsAndClearsAllButTheKeyWhenMissing) {
    Position p;
    p.edi = "";
    p.ste = 0.12;
    p.zf2 = "PAKET-1";
    fixtures::position(db, p);
    AppRecord r;
    r.AppApk = p.apk;
    r.AppApp = p.app;
    ASSERT_EQ(0, App_PKeyReadk(&r));
    EXPECT_EQ(r.AppBdiDat, "20240304");
    EXPECT_EQ(r.AppBdiZeit, "060000");
    EXPECT_TRUE(r.AppEdiDat.empty());
    EXPECT_TRUE(r.AppEdiZeit.empty());
    EXPECT_DOUBLE_EQ(0.12, r.AppSte);
    EXPECT_EQ(r.AppZf2, "PAKET-1");
    EXPECT_EQ(r.AppMee, "STK");

    r.AppApp = "00020";
    EXPECT_EQ(1403, App_PKeyReadk(&r));
    EXPECT_EQ(r.AppApk, "000000004711");
    EXPECT_EQ(r.AppApp, "00020");
    EXPECT_TRUE(r.AppBdiDat.empty());
    EXPECT_TRUE(r.AppZf2.empty());
    EXPECT_EQ(0.0, r.AppSte);
}

TEST_P(DbstdApp, RangeCursorWalksTheKeyRangeInTextOrder) {
    pos("000000000100", "00010");
    pos("000000000100", "00020");
    pos("000000000100", "00030");
    pos("000000000200", "00005");
    pos("000000000200", "99999");
    pos("000000000200", "77777", 10);
    pos("000000000300", "00001");
    pos("000000000300", "00002");
    pos("000000000400", "1");
    pos("000000000400", "9");
    pos("000000000400", "00010");

    using V = std::vector<std::string>;
    EXPECT_EQ(V({"000000000100/00020"}), bereich("000000000100", "00020", "000000000100", "00020"));
    // Orders strictly between the bounds come whatever their position; status 10 never does.
    EXPECT_EQ(V({"000000000100/00020", "000000000100/00030", "000000000200/00005", "000000000200/99999",
                 "000000000300/00001"}),
              bereich("000000000100", "00020", "000000000300", "00001"));
    EXPECT_EQ(V({"000000000100/00020", "000000000100/00030"}),
              bereich("000000000100", "00015", "000000000100", "00030"));
    // "9" lies between 5 and 10 as a number, but not as a text.
    EXPECT_EQ(V({"000000000400/00010", "000000000400/1", "000000000400/9"}),
              bereich("000000000400", "00000", "000000000400", "99999"));
    EXPECT_EQ(V({"000000000400/00010"}), bereich("000000000400", "00005", "000000000400", "00010"));
    EXPECT_EQ(V(), bereich("000000000300", "00001", "000000000100", "00010"));
}

TEST_P(DbstdApp, RangeFetchPastTheEndClearsAllButTheKeyAndTheNextFetchFillsEverything) {
    Position p;
    p.zf2 = "PAKET-1";
    fixtures::position(db, p);
    ASSERT_EQ(0, App_VonBisOpen("000000004711", "00000", "000000004711", "99999", 10));
    AppRecord r;
    ASSERT_EQ(0, App_VonBisFetch(&r));
    EXPECT_EQ(r.AppZf2, "PAKET-1");
    EXPECT_EQ(1403, App_VonBisFetch(&r));
    EXPECT_EQ(r.AppApk, "000000004711");
    EXPECT_EQ(r.AppApp, "00010");
    EXPECT_TRUE(r.AppZf2.empty());
    EXPECT_TRUE(r.AppBdiDat.empty());
    App_VonBisClose();

    ASSERT_EQ(0, App_VonBisOpen("000000004711", "00000", "000000004711", "99999", 10));
    ASSERT_EQ(0, App_VonBisFetch(&r));
    EXPECT_EQ(r.AppZf2, "PAKET-1");
    EXPECT_EQ(r.AppBdiDat, "20240304");
    App_VonBisClose();
}

TEST_P(DbstdApp, WriteBackStoresEveryFieldAndTheDatabaseTime) {
    fixtures::position(db, Position{});
    AppRecord r;
    r.AppApk = "000000004711";
    r.AppApp = "00010";
    ASSERT_EQ(0, App_PKeyReadk(&r));
    r.AppIta = 7.45;
    r.AppItr = 1.3;
    r.AppIte = 0.05;
    r.AppSts = 30;
    r.AppZf3 = "ALT 0.12";
    r.AppBdsDat = "20240305";
    r.AppBdsZeit = "071500";
    r.AppEdiDat.clear();
    r.AppEdiZeit.clear();
    r.AppDna = "DNA";
    r.AppDwn = "DWN00001";
    r.AppErf = "ERF00001";
    r.AppDat = "19990101000000";
    const std::string heute = fixtures::tag(0);
    ASSERT_EQ(0, App_PKeyUpd(&r));

    AppRecord z;
    z.AppApk = r.AppApk;
    z.AppApp = r.AppApp;
    ASSERT_EQ(0, App_PKeyReadk(&z));
    EXPECT_DOUBLE_EQ(7.45, z.AppIta);
    EXPECT_DOUBLE_EQ(1.3, z.AppItr);
    EXPECT_DOUBLE_EQ(0.05, z.AppIte);
    EXPECT_EQ(30, z.AppSts);
    EXPECT_EQ(z.AppZf3, "ALT 0.12");
    EXPECT_EQ(z.AppBdsDat, "20240305");
    EXPECT_EQ(z.AppBdsZeit, "071500");
    EXPECT_EQ(z.AppBdiZeit, "060000");
    EXPECT_EQ(z.AppDna, "DNA");
    EXPECT_EQ(z.AppDwn, "DWN00001");
    EXPECT_EQ(z.AppErf, "ERF00001");
    EXPECT_EQ("", wert("select AppEdi from Hlx504App"));
    EXPECT_TRUE(fixtures::amTag(heute, z.AppDat.str()));
}

TEST_P(DbstdApp, FailedWriteBackReturnsTheCodeAndLeavesTheRow) {
    fixtures::position(db, Position{});
    AppRecord r;
    r.AppApk = "000000004711";
    r.AppApp = "00020";
    EXPECT_EQ(1403, App_PKeyUpd(&r));
    EXPECT_EQ("1", wert("select count(*) from Hlx504App"));

    r.AppApp = "00010";
    ASSERT_EQ(0, App_PKeyReadk(&r));
    fixtures::schreibenVerhindern(db, "Hlx504App", "update");
    r.AppIta = 9;
    EXPECT_EQ(-20000, App_PKeyUpd(&r));
    EXPECT_DOUBLE_EQ(0, zahl("select AppIta from Hlx504App"));
}

TEST_P(DbstdApp, PackageCountAndCursor) {
    Position p;
    p.zf2 = "*PKT_KOPF*";
    fixtures::position(db, p);
    for (const char* app : {"00020", "00030"}) {
        p.app = app;
        p.zf2 = "PAKET-1";
        fixtures::position(db, p);
    }
    std::int32_t n = -1;
    ASSERT_EQ(0, App_Zf2Count("PAKET-1", &n));
    EXPECT_EQ(2, n);
    ASSERT_EQ(0, App_Zf2Count("PAKET-9", &n));
    EXPECT_EQ(0, n);

    ASSERT_EQ(0, App_Zf2Open("PAKET-1"));
    AppRecord r;
    std::vector<std::string> apps;
    while (App_Zf2Fetch(&r) == 0) apps.push_back(r.AppApp.str());
    App_Zf2Close();
    std::sort(apps.begin(), apps.end());
    EXPECT_EQ(std::vector<std::string>({"00020", "00030"}), apps);
    // The package fetch past the end leaves the last member in the record.
    EXPECT_EQ(r.AppZf2, "PAKET-1");
    EXPECT_FALSE(r.AppBdiDat.empty());

    testdb::sql(db, "drop table Hlx504App");
    n = 5;
    EXPECT_EQ(-942, App_Zf2Count("PAKET-1", &n));
    EXPECT_EQ(5, n);
}

FIXTURES_BACKENDS(DbstdApp);

}  // namespace
