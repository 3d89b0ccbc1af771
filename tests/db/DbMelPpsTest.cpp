// Number ranges and the PPS upload row.
#include <string>

#include "db/DbMel.h"
#include "tests/support/Fixtures.h"

namespace {

class DbMelPps : public fixtures::DbTest {};

TEST_P(DbMelPps, NumberRangeReadInsertAndUpdate) {
    BnrRecord r;
    r.BnrKey = "PPSNR";
    r.BnrBnr = 5;
    r.BnrEdt = "20000101000000";
    r.BnrEsb = "ALT";
    EXPECT_EQ(1403, Bnr_PKeyReadk(&r));
    EXPECT_EQ(r.BnrKey, "XXXXX");
    EXPECT_EQ(0, r.BnrBnr);
    EXPECT_TRUE(r.BnrEdt.empty());
    EXPECT_TRUE(r.BnrEsb.empty());

    r.BnrKey = "PPSNR";
    r.BnrBnr = 41;
    r.BnrEsb = "ERF00001";
    ASSERT_EQ(0, Bnr_PKeyIns(&r));
    EXPECT_EQ(-1, Bnr_PKeyIns(&r));
    EXPECT_EQ("1", wert("select count(*) from Hlx552Bnr"));

    BnrRecord z;
    z.BnrKey = "PPSNR";
    z.BnrEdt = "20000101000000";
    ASSERT_EQ(0, Bnr_PKeyReadk(&z));
    EXPECT_EQ(41, z.BnrBnr);
    EXPECT_EQ(z.BnrEsb, "ERF00001");
    EXPECT_EQ(z.BnrEdt, "20000101000000") << "the read does not select BnrEdt";

    testdb::sql(db, "update Hlx552Bnr set BnrEdt = " + fixtures::q("2001-01-01 00:00:00"));
    z.BnrBnr = 42;
    z.BnrEsb = "ERF00002";
    const std::string heute = fixtures::tag(0);
    ASSERT_EQ(0, Bnr_PKeyUpd(&z));
    EXPECT_EQ("42|ERF00002", wert("select BnrBnr||'|'||BnrEsb from Hlx552Bnr"));
    EXPECT_TRUE(fixtures::amTag(heute, wert("select BnrEdt from Hlx552Bnr")));
    z.BnrKey = "ANDERS";
    EXPECT_EQ(1403, Bnr_PKeyUpd(&z));
}

TEST_P(DbMelPps, UploadRowLandsColumnForColumn) {
    PpsRecord p;
    p.PpsDat = "20240304123456";
    p.PpsLfn = 42;
    p.PpsVkz = "*NO";
    p.PpsFcd = "AZ";
    p.PpsPnr = "99999999";
    p.PpsApl = "APL01";
    p.PpsApk = "000000004711";
    p.PpsApp = "00010";
    p.PpsAwn = "99999999";
    p.PpsMdt = "20240304";
    p.PpsMzt = "123455";
    p.PpsUbg = "0000";
    p.PpsAug = "0000";
    p.PpsSto = "+";
    p.PpsGum = 12;
    p.PpsFam = 1.5;
    p.PpsMee = "STK";
    p.PpsZt1 = 7.45;
    p.PpsZt2 = 8.15;
    p.PpsZt3 = 0.37;
    ASSERT_EQ(0, Pps_PKeyIns(&p));
    EXPECT_EQ("20240304123456|42|*NO|AZ|99999999|APL01|000000004711|00010|99999999|20240304|123455|0000|0000|0|+|STK",
              wert("select PpsDat||'|'||PpsLfn||'|'||PpsVkz||'|'||PpsFcd||'|'||PpsPnr||'|'||PpsApl||'|'||PpsApk||'|'"
                   "||PpsApp||'|'||PpsAwn||'|'||PpsMdt||'|'||PpsMzt||'|'||PpsUbg||'|'||PpsAug||'|'||PpsSts||'|'"
                   "||PpsSto||'|'||PpsMee from Hlx580Pps"));
    EXPECT_DOUBLE_EQ(12, zahl("select PpsGum from Hlx580Pps"));
    EXPECT_DOUBLE_EQ(1.5, zahl("select PpsFam from Hlx580Pps"));
    EXPECT_DOUBLE_EQ(0, zahl("select PpsMam from Hlx580Pps"));
    EXPECT_DOUBLE_EQ(7.45, zahl("select PpsZt1 from Hlx580Pps"));
    EXPECT_DOUBLE_EQ(8.15, zahl("select PpsZt2 from Hlx580Pps"));
    EXPECT_DOUBLE_EQ(0.37, zahl("select PpsZt3 from Hlx580Pps"));
    EXPECT_EQ("0", wert("select count(*) from Hlx580Pps where PpsZf1 is not null or PpsZf2 is not null "
                        "or PpsZf3 is not null"));

    fixtures::schreibenVerhindern(db, "Hlx580Pps", "insert");
    EXPECT_EQ(-20000, Pps_PKeyIns(&p));
    EXPECT_EQ("1", wert("select count(*) from Hlx580Pps"));
}

FIXTURES_BACKENDS(DbMelPps);

}  // namespace
