// Run parameters: the row valid strictly around today, and its write-back.
#include <string>

#include "db/Dbstd.h"
#include "tests/support/Fixtures.h"

namespace {

class DbstdNzp : public fixtures::DbTest {
protected:
    static std::string tagText(int tage) {
        std::string t = fixtures::tag(tage);
        return t.substr(0, 4) + t.substr(5, 2) + t.substr(8, 2);
    }
};

TEST_P(DbstdNzp, ValidRowIsReadAndWrittenBack) {
    fixtures::laufparameter(db, 2, -1, 1);
    NzpRecord r;
    r.NzpAkz = 2;
    ASSERT_EQ(0, Nzp_PKeyReadk(&r));
    EXPECT_EQ(r.NzpGvn, tagText(-1));
    EXPECT_EQ(r.NzpGbi, tagText(1));
    EXPECT_EQ(1, r.NzpAak);
    EXPECT_EQ(2024, r.NzpKjh);
    EXPECT_EQ(4, r.NzpKtg);
    EXPECT_EQ(17, r.NzpAan);
    EXPECT_EQ(6, r.NzpNfh);
    EXPECT_EQ(r.NzpAus, "ALT");

    r.NzpAan = r.NzpVfh = r.NzpNfh = 0;
    r.NzpAus = "ERF00001";
    const std::string heute = fixtures::tag(0);
    ASSERT_EQ(0, Nzp_PKeyUpd(&r));
    EXPECT_EQ("0|0|0|ERF00001|1",
              wert("select NzpAan||'|'||NzpVfh||'|'||NzpNfh||'|'||NzpAus||'|'||NzpAak from Hlx591Nzp"));
    EXPECT_TRUE(fixtures::amTag(heute, wert("select NzpAdt from Hlx591Nzp")));

    r.NzpAus.clear();
    ASSERT_EQ(0, Nzp_PKeyUpd(&r));
    EXPECT_EQ("", wert("select NzpAus from Hlx591Nzp"));
}

TEST_P(DbstdNzp, RowBeginningOrEndingTodayIsNotValid) {
    fixtures::laufparameter(db, 2, 0, 5);
    fixtures::laufparameter(db, 2, -5, 0);
    NzpRecord r;
    r.NzpAkz = 2;
    r.NzpAus = "VORHER";
    EXPECT_EQ(1403, Nzp_PKeyReadk(&r));
    EXPECT_EQ(r.NzpAus, "VORHER");
    EXPECT_TRUE(r.NzpGvn.empty());
    EXPECT_EQ(1403, Nzp_PKeyUpd(&r));
    EXPECT_EQ("ALT", wert("select min(NzpAus) from Hlx591Nzp"));
}

TEST_P(DbstdNzp, TwoValidRowsAreTooMany) {
    fixtures::laufparameter(db, 2, -1, 1);
    fixtures::laufparameter(db, 2, -3, 3);
    NzpRecord r;
    r.NzpAkz = 2;
    EXPECT_EQ(-1422, Nzp_PKeyReadk(&r));
    EXPECT_TRUE(r.NzpAus.empty());
}

FIXTURES_BACKENDS(DbstdNzp);

}  // namespace
