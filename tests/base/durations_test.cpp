#include "base/dates.h"
#include "base/durations.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

TDateTime At(int h, int m, int s, int ms = 0) {
    return EncodeDateTime(2007, 3, 5, h, m, s, ms);
}

struct DurationCase {
    const char *name;
    double seconds;
    int h, m, s;
};

TEST(DurationsTest, DurationRoundsHalvesToEvenAndCarries) {
    const DurationCase cases[] = {
        {"59.5 s rounds up to the even 60", 59.5, 0, 1, 0},
        {"58.5 s rounds down to the even 58", 58.5, 0, 0, 58},
        {"a day and more is not wrapped", 90061, 25, 1, 1},
        {"empty interval", 0, 0, 0, 0},
    };
    for (const auto &c : cases) {
        const TDateTime start = At(8, 0, 0);
        const TDateTime end = start + c.seconds / SecsPerDay;
        int32_t h, m, s;
        DurationHMS(end, start, h, m, s);
        EXPECT_EQ(h, c.h) << c.name;
        EXPECT_EQ(m, c.m) << c.name;
        EXPECT_EQ(s, c.s) << c.name;
        DurationHMS(start, end, h, m, s); // order of the two times does not matter
        EXPECT_EQ(s, c.s) << c.name;
        EXPECT_EQ(DurationSeconds(end, start), int64_t(c.h) * 3600 + c.m * 60 + c.s) << c.name;
        EXPECT_EQ(SecondsText(DurationSeconds(start, end)), std::to_string(c.h) + " Std, " +
                                                                std::to_string(c.m) + " Min, " +
                                                                std::to_string(c.s) + " Sek")
            << c.name;
    }
    // Sums of many durations: hours far beyond what one entry spans.
    EXPECT_EQ(SecondsText(int64_t{1} << 33), "2386092 Std, 56 Min, 32 Sek");
    EXPECT_EQ(DurationText(At(8, 0, 0), At(8, 0, 0)), "0 Std, 0 Min, 0 Sec");
    EXPECT_EQ(DurationText(At(9, 5, 3), At(9, 0, 0)), "0 Std, 5 Min, 3 Sec");
    EXPECT_EQ(DurationClockText(At(8, 0, 0) + 123 / 24.0 + 7 / SecsPerDay, At(8, 0, 0)),
              "123:00:07");
    EXPECT_EQ(DurationClockText(At(9, 5, 9), At(8, 0, 0)), "01:05:09");
}

} // namespace
