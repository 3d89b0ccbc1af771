#include "nza/Zeit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

// Minutes after the program's own formula: whole minutes of t x factor.
static std::int64_t minuten(double t, double faktor) { return ganz(m(t) * faktor); }

TEST(Zeit, WorkedExamples) {
    // planned unit time 0.25 for 130 pieces: 3250 minutes, 54.10
    EXPECT_EQ(minuten(0.25, 130), 3250);
    EXPECT_DOUBLE_EQ(hm(3250), 54.10);
    // a fraction of a minute is cut, not rounded: 25 x 3.3 = 82.5
    EXPECT_EQ(minuten(0.25, 3.3), 82);
    EXPECT_DOUBLE_EQ(hm(82), 1.22);
    // minute parts of 60 or more are not normalised
    EXPECT_DOUBLE_EQ(m(0.75), 75);
    EXPECT_DOUBLE_EQ(hm(ganz(m(0.75))), 1.15);
    // sums of variant rows: 1.30 + 0.45 = 135 minutes, 0.25 + 0.50 = 75
    EXPECT_DOUBLE_EQ(hm(ganz(m(1.30) + m(0.45))), 2.15);
    EXPECT_DOUBLE_EQ(hm(ganz(m(0.25) + m(0.50))), 1.15);
    // planned total: 25 + 50 x 10 = 525 minutes, 8.45; actual per unit 530 / 10
    EXPECT_EQ(ganz(m(0.25) + ganz(m(0.5) * 10)), 525);
    EXPECT_DOUBLE_EQ(hm(525), 8.45);
    EXPECT_EQ(ganz(m(8.5) / 10), 53);
    EXPECT_DOUBLE_EQ(hm(53), 0.53);
}

TEST(Zeit, NoMinuteLostToBinaryDecimals) {
    EXPECT_EQ(minuten(0.12, 130), 1560);
    EXPECT_DOUBLE_EQ(hm(1560), 26.00);
    EXPECT_EQ(ganz(m(0.30)), 30);
    EXPECT_EQ(ganz(m(0.29)), 29);
    EXPECT_EQ(minuten(0.29, 100), 2900);
    // every minute value of an hour survives the round trip through h.mm
    for (std::int64_t n = 0; n < 6000; ++n) {
        ASSERT_EQ(ganz(m(hm(n))), n) << n;
        ASSERT_EQ(ganz(m(hm(-n))), -n) << n;
    }
    // large hour counts keep their minutes
    EXPECT_EQ(ganz(m(123456.59)), 123456 * 60 + 59);
    EXPECT_EQ(ganz(m(9999999.01)), 9999999LL * 60 + 1);
    EXPECT_EQ(ganz(m(hm(987654321))), 987654321);
}

TEST(Zeit, TruncationTowardZero) {
    EXPECT_EQ(ganz(2.9999), 2);
    EXPECT_EQ(ganz(-2.9999), -2);
    EXPECT_EQ(ganz(2.9999996), 3);
    EXPECT_EQ(ganz(-2.9999996), -3);
    EXPECT_EQ(ganz(3.0000004), 3);
    EXPECT_EQ(ganz(0.5), 0);
    EXPECT_EQ(ganz(-0.5), 0);
    // negative durations: -1.30 is -90 minutes and back
    EXPECT_DOUBLE_EQ(m(-1.30), -90);
    EXPECT_DOUBLE_EQ(hm(-90), -1.30);
    EXPECT_DOUBLE_EQ(hm(-59), -0.59);
    EXPECT_DOUBLE_EQ(m(0.0), 0.0);
    EXPECT_DOUBLE_EQ(hm(0), 0.0);
}

TEST(Zeit, OutOfRangeValuesAreHeld) {
    const auto max = std::numeric_limits<std::int64_t>::max();
    const auto min = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(ganz(1e300), max);
    EXPECT_EQ(ganz(-1e300), min);
    EXPECT_EQ(ganz(std::numeric_limits<double>::infinity()), max);
    EXPECT_EQ(ganz(std::nan("")), 0);
    EXPECT_EQ(ganz(-9223372036854775808.0), min);
}
