#include <gtest/gtest.h>

#include <cstring>

#include "util/DatumZeit.h"

namespace {

std::tm at(int year, int month, int day, int h, int m, int s) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = h;
    t.tm_min = m;
    t.tm_sec = s;
    return t;
}

std::tm fixedTime;
std::tm fixedUhr() { return fixedTime; }

struct FixedClock {
    explicit FixedClock(std::tm t) {
        fixedTime = t;
        previous = DatumZeit_SetUhr(fixedUhr);
    }
    ~FixedClock() { DatumZeit_SetUhr(previous); }
    DatumZeitUhr previous;
};

struct Out {
    char datum[15];
    char zeit[7];
    explicit Out(std::int32_t art) {
        std::memset(datum, 'X', sizeof datum);
        std::memset(zeit, 'X', sizeof zeit);
        EXPECT_EQ(Get_SystemDatumZeit(datum, zeit, art), 0);
    }
};

TEST(DatumZeit, KindsOnTheTwentySecondOfNovember2004) {
    FixedClock clock(at(2004, 11, 22, 10, 2, 26));
    EXPECT_STREQ(Out(1).datum, "22112004");
    EXPECT_STREQ(Out(1).zeit, "100226");
    EXPECT_STREQ(Out(2).datum, "22112004100226");
    EXPECT_STREQ(Out(2).zeit, "");
    EXPECT_STREQ(Out(3).datum, "20041122");
    EXPECT_STREQ(Out(3).zeit, "100226");
    EXPECT_STREQ(Out(4).datum, "20041122100226");
    EXPECT_STREQ(Out(4).zeit, "");
    for (std::int32_t other : {0, 5, -1, 1000}) {
        Out o(other);
        EXPECT_STREQ(o.datum, "");
        EXPECT_STREQ(o.zeit, "");
    }
}

TEST(DatumZeit, TwoDigitFieldsAndTheFixedCentury) {
    {
        FixedClock clock(at(2026, 1, 5, 0, 0, 7));
        EXPECT_STREQ(Out(4).datum, "20260105000007");
        EXPECT_STREQ(Out(1).datum, "05012026");
    }
    {
        // Before 2000 the century is still written as 20.
        FixedClock clock(at(1999, 12, 31, 23, 59, 59));
        EXPECT_STREQ(Out(3).datum, "20991231");
        EXPECT_STREQ(Out(2).datum, "31122099235959");
    }
}

TEST(DatumZeit, SystemClockIsTheDefault) {
    // Without an installed clock the reading follows the system's local time.
    std::time_t before = std::time(nullptr);
    std::tm t = DatumZeit_Jetzt();
    std::time_t after = std::time(nullptr);
    std::time_t read = std::mktime(&t);
    EXPECT_GE(read, before);
    EXPECT_LE(read, after);
}

}  // namespace
