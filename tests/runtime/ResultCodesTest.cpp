// The table of result codes, and korvimand-admin code explaining one.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "db/runtime/ResultCodes.h"
#include "tests/support/E2e.h"

namespace {

TEST(ResultCodes, EachCodeAndNameOnceWithADescription) {
    std::set<std::int32_t> codes;
    std::set<std::string> names;
    for (const rt::err::Code& c : rt::err::codes()) {
        EXPECT_TRUE(codes.insert(c.code).second) << c.code;
        EXPECT_TRUE(names.insert(c.name).second) << c.name;
        EXPECT_GT(std::string(c.text).size(), 5u) << c.name;
    }
    EXPECT_EQ(rt::err::explain(-1422), "-1422 TooManyRows: a single-row select found more than one row");
    EXPECT_EQ(rt::err::find(-20999), nullptr);
}

TEST(ResultCodes, AdminExplainsACode) {
    const e2e::Tree t = e2e::makeEmptyTree();
    e2e::Result r = e2e::runProgram(t, KORVIMAND_ADMIN_BIN, {"code", "-1017"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "-1017 LoginRefused: login refused: wrong user or password\n");
    r = e2e::runProgram(t, KORVIMAND_ADMIN_BIN, {"code"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\n1403 NotFound: "), std::string::npos) << r.out;
    EXPECT_EQ(e2e::runProgram(t, KORVIMAND_ADMIN_BIN, {"code", "-20999"}).status, 1);
    EXPECT_EQ(e2e::runProgram(t, KORVIMAND_ADMIN_BIN, {"code", "12x"}).status, 2);
    e2e::removeTree(t);
}

}  // namespace
