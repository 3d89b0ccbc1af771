#include <gtest/gtest.h>

#include <string>

#include "util/Text.h"

namespace {

TEST(Text, CutsOnAssignmentAndNeverOverflows) {
    struct Guarded {
        char before[4] = {'x', 'x', 'x', 'x'};
        Text<5> t;
        char after[4] = {'y', 'y', 'y', 'y'};
    } g;
    g.t = "ABCDEFGHIJ";
    EXPECT_EQ(g.t, "ABCDE");
    EXPECT_EQ(g.t.size(), 5u);
    EXPECT_EQ(g.t.s[5], '\0');
    g.t = std::string(100000, 'z');
    EXPECT_EQ(g.t.view(), "zzzzz");
    for (char c : g.before) EXPECT_EQ(c, 'x');
    for (char c : g.after) EXPECT_EQ(c, 'y');

    // A shorter value leaves nothing of the longer one behind.
    g.t = "AB";
    EXPECT_EQ(g.t, "AB");
    for (std::size_t i = 2; i <= 5; ++i) EXPECT_EQ(g.t.s[i], '\0');

    g.t = static_cast<const char*>(nullptr);
    EXPECT_TRUE(g.t.empty());
    // A view that is not zero-terminated is read only to its length.
    const char unterminated[3] = {'Q', 'R', 'S'};
    g.t = std::string_view(unterminated, 2);
    EXPECT_EQ(g.t, "QR");
}

TEST(Text, CopiesAndComparesLikeAValue) {
    Text<12> a = "000000000000";
    Text<12> b = a;
    b.data()[0] = '1';
    EXPECT_EQ(a, "000000000000");
    EXPECT_EQ(b, "100000000000");
    EXPECT_FALSE(a == b);

    // Between capacities: a wider text cut into a narrower one.
    Text<8> erfasser = Text<12>("ABCDEFGHIJKL");
    EXPECT_EQ(erfasser, "ABCDEFGH");
    Text<12> back = erfasser;
    EXPECT_EQ(back, erfasser);

    // Thirteen zeros cut to twelve equal twelve zeros; eleven do not.
    EXPECT_TRUE(Text<12>("0000000000000") == "000000000000");
    EXPECT_FALSE(Text<12>("00000000000") == "000000000000");
    EXPECT_TRUE(Text<5>() == "");
    Text<5> c = "A";
    c.clear();
    EXPECT_TRUE(c.empty());
    EXPECT_EQ(c.str(), "");
}

}  // namespace
