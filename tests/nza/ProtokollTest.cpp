// The error-protocol writers: their fixed values, the recorder of the run, the log of every attempt.
#include "db/DbMel.h"
#include "nza/Protokoll.h"
#include "tests/support/Fixtures.h"

namespace {

class Protokoll : public fixtures::DbTest {};

TEST_P(Protokoll, WritersFillTheirFixedValuesAndTheFirstLogsEveryAttempt) {
    MelRecord m = fixtures::schluessel("APL01");
    m.KeyUhr = "071500";
    EXPECT_EQ(0, Write_ProtokollMel(m));
    EXPECT_EQ("ERF00001|BDE|NZA|APL01|000000004711|00010|7012",
              wert("select ErrErf||'|'||ErrBer||'|'||ErrFun||'|'||ErrApl||'|'||ErrApk||'|'||ErrApp||'|'||ErrFnr "
                   "from Hlx554Err"));
    EXPECT_EQ("2024-03-04 07:15:00", wert("select ErrEdt from Hlx554Err"));
    EXPECT_EQ("", wert("select ErrPnr from Hlx554Err"));
    EXPECT_TRUE(log().empty());

    ErrRecord e;
    e.ErrApk = "000000000815";
    e.ErrEdt = "20240304100000";
    e.ErrFnr = 1;
    Write_Protokoll(e);
    EXPECT_EQ("Korvim|Korvim|BDE|NZA", wert("select ErrPgm||'|'||ErrErf||'|'||ErrBer||'|'||ErrFun from Hlx554Err "
                                            "where ErrApk = '000000000815'"));
    fixtures::schreibenVerhindern(db, "Hlx554Err", "insert");
    Write_Protokoll(e);
    const auto eintraege = log();
    ASSERT_EQ(2u, eintraege.size());
    EXPECT_EQ("Write_Protokoll", eintraege[0].funktion);
    EXPECT_EQ("Err_PKeyIns", eintraege[0].message);
    EXPECT_EQ(0, eintraege[0].code);
    EXPECT_EQ(-20000, eintraege[1].code);  // raised by the trigger
}

FIXTURES_BACKENDS(Protokoll);

}  // namespace
