// Markers: the read by key, the kind cursor with its order and snapshot, the delete.
#include <string>
#include <vector>

#include "db/DbMel.h"
#include "tests/support/Fixtures.h"

namespace {

using fixtures::Merker;

MrkRecord nullSchluessel(const char* apk = "000000004711") {
    MrkRecord r;
    r.MrkKng = "NZA";
    r.MrkApl = "0000000000";
    r.MrkApk = apk;
    r.MrkApp = "00010";
    r.MrkPnr = "00000000";
    return r;
}

class DbMelMrk : public fixtures::DbTest {};

TEST_P(DbMelMrk, ReadByKeyFillsTheRowOrLeavesTheRecord) {
    fixtures::merker(db, Merker{});
    MrkRecord r = nullSchluessel();
    r.MrkEsb = "VORHER";
    ASSERT_EQ(0, Mrk_PKeyReadk(&r));
    EXPECT_EQ(r.MrkMdt, "20240304150000");
    EXPECT_EQ(r.MrkObj, "M_A");
    EXPECT_EQ(r.MrkApk, "000000004711");
    EXPECT_EQ(r.MrkEsb, "VORHER") << "the read does not select MrkEsb";

    r.MrkBnr = 1;
    r.MrkMdt = "X";
    EXPECT_EQ(1403, Mrk_PKeyReadk(&r));
    EXPECT_EQ(r.MrkMdt, "X");
    EXPECT_EQ(1, r.MrkBnr);
}

TEST_P(DbMelMrk, KindCursorOrdersByWorkstationOrderPositionTimeAndKeepsDeletedMarkers) {
    auto merker = [&](const char* apl, const char* apk, const char* app, const char* pnr, const char* mdt,
                      const char* kng = "NZA") {
        Merker m;
        m.kng = kng;
        m.apl = apl;
        m.apk = apk;
        m.app = app;
        m.pnr = pnr;
        m.mdt = mdt;
        fixtures::merker(db, m);
    };
    merker("APL01", "000000000001", "00010", "00000000", "2024-03-01 08:00:00");
    merker("0000000000", "000000000200", "00010", "00000000", "2024-03-01 10:00:00");
    merker("0000000000", "000000000100", "00020", "00000000", "2024-03-01 12:00:00");
    merker("0000000000", "000000000100", "00020", "00000001", "2024-03-01 09:00:00");
    merker("0000000000", "000000000050", "00010", "00000000", "2024-03-01 09:00:00", "LZA");

    ASSERT_EQ(0, Mrk_KngOpen("NZA"));
    // Every marker goes before the first fetch: the cursor still delivers them.
    for (const std::string& k : testdb::column(db, "select MrkApk||MrkApp||MrkPnr||MrkApl from Hlx563Mrk "
                                                   "where MrkKng = 'NZA'")) {
        MrkRecord r = nullSchluessel(k.substr(0, 12).c_str());
        r.MrkApp = k.substr(12, 5);
        r.MrkPnr = k.substr(17, 8);
        r.MrkApl = k.substr(25);
        EXPECT_EQ(0, Mrk_PKeyDel(r));
        EXPECT_EQ(1403, Mrk_PKeyDel(r));
    }
    EXPECT_EQ("1", wert("select count(*) from Hlx563Mrk"));

    std::vector<std::string> folge;
    MrkRecord r;
    while (Mrk_KngFetch(&r) == 0)
        folge.push_back(r.MrkApl.str() + " " + r.MrkApk.str() + " " + r.MrkApp.str() + " " + r.MrkMdt.str());
    EXPECT_EQ(0, Mrk_KngClose());
    EXPECT_EQ(std::vector<std::string>(
                  {"0000000000 000000000100 00020 20240301090000", "0000000000 000000000100 00020 20240301120000",
                   "0000000000 000000000200 00010 20240301100000", "APL01 000000000001 00010 20240301080000"}),
              folge);
    EXPECT_EQ(r.MrkApl, "APL01") << "the fetch past the end leaves the record alone";
    EXPECT_EQ(r.MrkEsb, "TERM01");
}

FIXTURES_BACKENDS(DbMelMrk);

}  // namespace
