// Cursors: rows as they stood at open, whatever the session writes and
// commits between fetches; several open at once; past the in-memory batch.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/runtime/Runtime.h"
#include "tests/support/TestDb.h"

namespace {

using testdb::Backend;

constexpr const char* MrkCursor =
    "select MrkKng ,MrkApl ,MrkApk ,MrkApp ,MrkPnr ,MrkBnr ,TO_CHAR(MrkMdt,'yyyymmddHH24MISS') ,MrkObj ,MrkEsb  from "
    "Hlx563Mrk where MrkKng=:b0 order by MrkApl,MrkApk,MrkApp,MrkMdt            ";
constexpr const char* MrkDel =
    "delete  from Hlx563Mrk  where (((((MrkKng=:b0 and MrkApl=:b1) and MrkApk=:b2) and MrkApp=:b3) and MrkPnr=:b4) "
    "and MrkBnr=:b5)";
constexpr const char* MrkIns =
    "insert into Hlx563Mrk (MrkKng,MrkApl,MrkApk,MrkApp,MrkPnr,MrkBnr,MrkObj,MrkMdt,MrkEsb) values "
    "(:b0,:b1,:b2,:b3,:b4,:b5,:b6,TO_DATE(:b7,'yyyymmddHH24MISS'),:b8)";

struct Mrk {
    Text<3> kng;
    Text<10> apl;
    Text<12> apk;
    Text<5> app;
    Text<8> pnr;
    std::int32_t bnr = 0;
    Text<14> mdt;
    Text<3> obj;
    Text<8> esb;
    std::int32_t fetch(rt::Cursor& c) {
        return rt::fetch(c, {rt::txt(kng), rt::txt(apl), rt::txt(apk), rt::txt(app), rt::txt(pnr), rt::i32(bnr),
                             rt::txt(mdt), rt::txt(obj), rt::txt(esb)});
    }
};

class Cursor : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override { db = testdb::createConnected(GetParam()); }
    void TearDown() override {
        rt::disconnect();
        testdb::destroy(db);
    }
    // n "NZA" markers, orders 000000000001.. with one position each.
    void markers(int n) {
        for (int i = 1; i <= n; ++i) {
            char apk[13];
            std::snprintf(apk, sizeof apk, "%012d", i);
            Mrk m;
            ASSERT_EQ(rt::write("Mrk_PKeyIns", MrkIns,
                                {rt::txt("NZA"), rt::txt("0000000000"), rt::txt(apk), rt::txt("00010"),
                                 rt::txt("00000000"), rt::i32(m.bnr), rt::txt("OBJ"), rt::txt("20240102030405"),
                                 rt::txt("ESB")}),
                      0);
        }
    }
    testdb::Db db;
};

TEST_P(Cursor, DeliversRowsAsAtOpenWhileTheSessionDeletesThem) {
    markers(5);
    rt::Cursor c;
    ASSERT_EQ(rt::open(c, MrkCursor, {rt::txt("NZA")}), 0);
    Mrk m;
    std::vector<std::string> seen;
    while (m.fetch(c) == 0) {
        seen.push_back(m.apk.str());
        EXPECT_EQ(m.mdt, "20240102030405");
        ASSERT_EQ(rt::write("Mrk_PKeyDel", MrkDel,
                            {rt::txt(m.kng), rt::txt(m.apl), rt::txt(m.apk), rt::txt(m.app), rt::txt(m.pnr),
                             rt::i32(m.bnr)}),
                  0);
    }
    EXPECT_EQ(m.fetch(c), 1403);
    EXPECT_EQ(rt::close(c), 0);
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen.front(), "000000000001");
    EXPECT_EQ(seen.back(), "000000000005");
    EXPECT_EQ(testdb::value(db, "select count(*) from Hlx563Mrk"), "0");
}

TEST_P(Cursor, SeveralOpenAtOnceEachWithItsOwnRows) {
    markers(3);
    testdb::sql(db, "insert into Hlx552Bnr (BnrKey, BnrBnr) values ('K1', 1), ('K2', 2)");
    rt::Cursor a, b;
    ASSERT_EQ(rt::open(a, MrkCursor, {rt::txt("NZA")}), 0);
    ASSERT_EQ(rt::open(b, "select BnrKey ,BnrBnr  from Hlx552Bnr where BnrBnr>=:b0 order by BnrKey", {rt::i32(1)}), 0);
    Mrk m;
    Text<7> key;
    std::int32_t nr = 0;
    std::string seen;
    for (;;) {
        std::int32_t ra = m.fetch(a);
        std::int32_t rb = rt::fetch(b, {rt::txt(key), rt::i32(nr)});
        if (ra != 0 && rb != 0) break;
        if (ra == 0) seen += m.apk.str().substr(11) + " ";
        if (rb == 0) seen += key.str() + " ";
    }
    EXPECT_EQ(seen, "1 K1 2 K2 3 ");
    EXPECT_EQ(rt::close(a), 0);
    EXPECT_EQ(rt::close(b), 0);
}

// Past the rows a cursor keeps in memory: every row once, in order, while
// each fetch is followed by a committed write of the same session.
TEST_P(Cursor, LongResultWithCommitsBetweenFetches) {
    const int n = 700;
    std::string values;
    for (int i = 1; i <= n; ++i) {
        char row[80];
        std::snprintf(row, sizeof row, "%s('NZA','0000000000','%012d','00010','00000000',0,'2024-01-02 03:04:05')",
                      i > 1 ? "," : "", i);
        values += row;
    }
    testdb::sql(db, "insert into Hlx563Mrk (MrkKng,MrkApl,MrkApk,MrkApp,MrkPnr,MrkBnr,MrkMdt) values " + values);
    rt::Cursor c;
    ASSERT_EQ(rt::open(c, MrkCursor, {rt::txt("NZA")}), 0);
    Mrk m;
    int count = 0;
    std::int32_t rc;
    while ((rc = m.fetch(c)) == 0) {
        ++count;
        char apk[13];
        std::snprintf(apk, sizeof apk, "%012d", count);
        ASSERT_EQ(m.apk, apk);
        ASSERT_EQ(rt::write("Mrk_PKeyDel", MrkDel,
                            {rt::txt(m.kng), rt::txt(m.apl), rt::txt(m.apk), rt::txt(m.app), rt::txt(m.pnr),
                             rt::i32(m.bnr)}),
                  0);
        if (count % 10 == 0) {
            char newApk[13];
            std::snprintf(newApk, sizeof newApk, "9%011d", count);
            ASSERT_EQ(rt::write("Mrk_PKeyIns", MrkIns,
                                {rt::txt("NZA"), rt::txt("0000000000"), rt::txt(newApk), rt::txt("00010"),
                                 rt::txt("00000000"), rt::i32(m.bnr), rt::txt("OBJ"), rt::txt("20240102030405"),
                                 rt::txt("ESB")}),
                      0);
        }
    }
    EXPECT_EQ(rc, 1403);
    EXPECT_EQ(count, n);
    EXPECT_EQ(rt::close(c), 0);
    EXPECT_EQ(testdb::value(db, "select count(*) from Hlx563Mrk"), std::to_string(n / 10));
}

TEST_P(Cursor, MisuseGivesInvalidCursor) {
    markers(2);
    rt::Cursor c;
    Mrk m;
    EXPECT_EQ(m.fetch(c), -1001);
    EXPECT_EQ(rt::close(c), -1001);
    ASSERT_EQ(rt::open(c, MrkCursor, {rt::txt("NZA")}), 0);
    ASSERT_EQ(m.fetch(c), 0);
    // Reopening starts a fresh scan.
    ASSERT_EQ(rt::open(c, MrkCursor, {rt::txt("NZA")}), 0);
    ASSERT_EQ(m.fetch(c), 0);
    EXPECT_EQ(m.apk, "000000000001");
    Text<3> few;
    EXPECT_EQ(rt::fetch(c, {rt::txt(few)}), -1007);
    EXPECT_EQ(rt::close(c), 0);
    EXPECT_EQ(m.fetch(c), -1001);
    EXPECT_EQ(rt::open(c, MrkCursor, {}), -1008);
    // A session that ends leaves its cursors closed, not dangling.
    ASSERT_EQ(rt::open(c, MrkCursor, {rt::txt("NZA")}), 0);
    rt::disconnect();
    EXPECT_EQ(m.fetch(c), -1001);
    EXPECT_EQ(rt::close(c), 0);
}

INSTANTIATE_TEST_SUITE_P(Backends, Cursor, ::testing::ValuesIn(testdb::backends()),
                         [](const auto& info) { return std::string(testdb::name(info.param)); });

}  // namespace
