// The error protocol: insert, the deletes per function group, the count.
#include <string>
#include <vector>

#include "db/DbMel.h"
#include "tests/support/Fixtures.h"

namespace {

using Ids = std::vector<std::string>;

class DbMelErr : public fixtures::DbTest {
protected:
    // One protocol entry; fnr tells the entries apart.
    void eintrag(int fnr, const char* fun, const char* obj, const char* apl, const char* apk, const char* app,
                 const char* pnr, const char* edt) {
        ErrRecord e;
        e.ErrBer = "BDE";
        e.ErrFun = fun;
        e.ErrObj = obj;
        e.ErrApl = apl;
        e.ErrApk = apk;
        e.ErrApp = app;
        e.ErrPnr = pnr;
        e.ErrEdt = edt;
        e.ErrFnr = fnr;
        e.ErrPgm = "Korvim";
        e.ErrErf = "ERF00001";
        ASSERT_EQ(0, Err_PKeyIns(&e));
    }
    Ids uebrig() const { return testdb::column(db, "select ErrFnr from Hlx554Err order by ErrFnr"); }
};

TEST_P(DbMelErr, InsertWritesEveryColumn) {
    const std::string heute = fixtures::tag(0);
    eintrag(7012, "NZA", "M_A", "APL01", "000000004711", "00010", "00001234", "20240304100000");
    EXPECT_EQ("ERF00001|BDE|00001234|APL01|000000004711|00010|7012|0|Korvim|NZA|M_A",
              wert("select ErrErf||'|'||ErrBer||'|'||ErrPnr||'|'||ErrApl||'|'||ErrApk||'|'||ErrApp||'|'||ErrFnr||'|'"
                   "||ErrBnr||'|'||ErrPgm||'|'||ErrFun||'|'||ErrObj from Hlx554Err"));
    EXPECT_EQ("2024-03-04 10:00:00", wert("select ErrEdt from Hlx554Err"));
    EXPECT_TRUE(fixtures::amTag(heute, wert("select ErrDat from Hlx554Err")));
}

TEST_P(DbMelErr, PositionDeletesRemoveOnlyTheirFunctionGroup) {
    eintrag(1, "NZA", "M_A", "APL01", "000000004711", "00010", "00000001", "20240304100000");
    eintrag(2, "NZA", "M_A", "APL02", "000000004711", "00010", "00000002", "20240305100000");
    eintrag(3, "NZA", "MPA", "", "000000004711", "00010", "", "20240306100000");
    eintrag(4, "LZA", "M_A", "APL01", "000000004711", "00010", "00000001", "20240304100000");
    eintrag(5, "NZA", "M_A", "APL01", "000000004711", "00020", "00000001", "20240304100000");
    EXPECT_EQ(0, Err_NZADel("000000004711", "00010"));
    EXPECT_EQ(Ids({"4", "5"}), uebrig());
    EXPECT_EQ(1403, Err_NZADel("000000004711", "00010"));
    EXPECT_EQ(0, Err_LZADel("000000004711", "00010"));
    EXPECT_EQ(Ids({"5"}), uebrig());
}

TEST_P(DbMelErr, PersonDeletesRemoveTheSameRowsByDay) {
    auto anlegen = [&] {
        eintrag(1, "NZM", "M__", "", "", "", "00000001", "20240304080000");
        eintrag(2, "NZM", "M__", "", "", "", "00000001", "20240304170000");
        eintrag(3, "NZM", "M__", "", "", "", "00000001", "20240305080000");
        eintrag(4, "NZM", "M__", "", "", "", "00000002", "20240304080000");
        eintrag(5, "NZA", "M__", "", "", "", "00000001", "20240304080000");
    };
    anlegen();
    EXPECT_EQ(0, Err_NZMDel("00000001", "20240304"));
    EXPECT_EQ(Ids({"3", "4", "5"}), uebrig());
    testdb::sql(db, "delete from Hlx554Err");
    anlegen();
    EXPECT_EQ(0, Err_PKeyDel("00000001", "20240304"));
    EXPECT_EQ(Ids({"3", "4", "5"}), uebrig());
    EXPECT_EQ(1403, Err_PKeyDel("00000001", "20240304"));
}

TEST_P(DbMelErr, ProofDeletesRemoveFromTheStampOnPerObjectKind) {
    eintrag(1, "PRF", "M__", "APL01", "", "", "", "20240304095959");
    eintrag(2, "PRF", "M__", "APL01", "", "", "", "20240304100000");
    eintrag(3, "PRF", "M__", "APL01", "", "", "", "20240304100001");
    eintrag(4, "PRF", "M__", "APL02", "", "", "", "20240304110000");
    eintrag(5, "PRF", "M_A", "APL01", "000000004711", "00010", "", "20240304110000");
    eintrag(6, "PRF", "MPA", "APL01", "000000004711", "00010", "00000001", "20240304110000");
    eintrag(7, "NZA", "M__", "APL01", "", "", "", "20240304110000");
    eintrag(8, "PRF", "MPA", "APL01", "000000004711", "00010", "00000002", "20240304110000");
    EXPECT_EQ(0, Err_PRFDelM("APL01", "20240304", "100000"));
    EXPECT_EQ(Ids({"1", "4", "5", "6", "7", "8"}), uebrig());
    EXPECT_EQ(1403, Err_PRFDelM("APL01", "20240304", "100000"));
    EXPECT_EQ(0, Err_PRFDelMA("APL01", "000000004711", "00010", "20240304", "100000"));
    EXPECT_EQ(0, Err_PRFDelMPA("APL01", "000000004711", "00010", "00000001", "20240304", "100000"));
    EXPECT_EQ(Ids({"1", "4", "7", "8"}), uebrig());
    EXPECT_EQ(1403, Err_PRFDelMPA("APL01", "000000004711", "00010", "00000002", "20240304", "110001"));
}

TEST_P(DbMelErr, CountPerFunctionGroup) {
    eintrag(1, "NZA", "M__", "", "", "", "", "20240304100000");
    eintrag(2, "NZA", "M__", "", "", "", "", "20240304100000");
    eintrag(3, "LZA", "M__", "", "", "", "", "20240304100000");
    std::int32_t n = -1;
    ASSERT_EQ(0, Err_Count("NZA", &n));
    EXPECT_EQ(2, n);
    ASSERT_EQ(0, Err_Count("PRF", &n));
    EXPECT_EQ(0, n);
}

FIXTURES_BACKENDS(DbMelErr);

}  // namespace
