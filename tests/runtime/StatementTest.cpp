// Statements against real databases: binds, results, NULLs, the write
// convention and the error codes, on every backend the machine has.
#include <gtest/gtest.h>

#include <string>

#include "db/runtime/Runtime.h"
#include "tests/support/TestDb.h"

namespace {

using testdb::Backend;

class Statement : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override { db = testdb::createConnected(GetParam()); }
    void TearDown() override {
        rt::disconnect();
        testdb::destroy(db);
    }
    std::string one(const std::string& q) { return testdb::value(db, q); }
    testdb::Db db;
};

constexpr const char* BnrRead = "select BnrKey ,BnrBnr ,BnrEsb into :b0:b1,:b2:b3,:b4:b5  from Hlx552Bnr where BnrKey=:b6";
constexpr const char* BnrIns = "insert into Hlx552Bnr (BnrKey,BnrBnr,BnrEdt,BnrEsb) values (:b0,:b1,sysdate,:b2)";
constexpr const char* BnrUpd =
    "update HLX552Bnr  set BnrKey=:b0,BnrBnr=:b1,BnrEdt=sysdate,BnrEsb=:b2 where BnrKey=:b0";

TEST_P(Statement, InsertReadUpdateAndNoRow) {
    Text<7> key = "PPSNR";
    std::int32_t nr = 41;
    Text<8> esb = "ERF1";
    ASSERT_EQ(rt::write("Bnr_PKeyIns", BnrIns, {rt::txt(key), rt::i32(nr), rt::txt(esb)}), 0);

    Text<7> k2;
    std::int32_t n2 = 0;
    Text<8> e2;
    ASSERT_EQ(rt::exec(BnrRead, {rt::txt(key)}, {rt::txt(k2), rt::i32(n2), rt::txt(e2)}), 0);
    EXPECT_EQ(k2, "PPSNR");
    EXPECT_EQ(n2, 41);
    EXPECT_EQ(e2, "ERF1");

    // ":b0" twice takes two binds.
    std::int32_t n3 = 42;
    ASSERT_EQ(rt::write("Bnr_PKeyUpd", BnrUpd, {rt::txt(key), rt::i32(n3), rt::txt("ERF2"), rt::txt(key)}), 0);
    EXPECT_EQ(one("select BnrBnr from Hlx552Bnr"), "42");
    EXPECT_EQ(one("select BnrEsb from Hlx552Bnr"), "ERF2");
    EXPECT_FALSE(one("select BnrEdt from Hlx552Bnr").empty());

    // Missing key: 1403 and the outputs untouched; update of nothing: 1403.
    Text<7> other = "NONE";
    k2 = "KEEP";
    EXPECT_EQ(rt::exec(BnrRead, {rt::txt(other)}, {rt::txt(k2), rt::i32(n2), rt::txt(e2)}), 1403);
    EXPECT_EQ(k2, "KEEP");
    EXPECT_EQ(rt::write("Bnr_PKeyUpd", BnrUpd, {rt::txt(other), rt::i32(n3), rt::txt("X"), rt::txt(other)}), 1403);
}

INSTANTIATE_TEST_SUITE_P(Backends, Statement, ::testing::ValuesIn(testdb::backends()),
                         [](const auto& info) { return std::string(testdb::name(info.param)); });

}  // namespace
