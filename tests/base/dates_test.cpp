#include "base/clock.h"
#include "base/dates.h"
#include "base/durations.h"
#include "base/fieldtype.h"
#include "base/formatsettings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace {

TDateTime At(int h, int m, int s, int ms = 0) {
    return EncodeDateTime(2007, 3, 5, h, m, s, ms);
}

class DatesTest : public ::testing::Test {
protected:
    void SetUp() override { SetFormatSettings(GermanFormatSettings()); }
};

TEST_F(DatesTest, StampsEncodeWithoutRoundingAndDecodeStrictly) {
    EXPECT_EQ(EncodeStamp(EncodeDateTime(2006, 12, 31, 23, 59, 59, 700)), "20061231235959");
    EXPECT_EQ(EncodeStamp(At(7, 4, 3)), "20070305070403");

    std::string s = "20070305070403XYZ";
    EXPECT_EQ(DecodeStamp(s), At(7, 4, 3));
    EXPECT_FALSE(s.empty());

    const char *invalid[] = {"20071305070403", "200703050704",   "2007030507040x", "",
                             "20070230120000", "20070305240000", "2007-3050704033"};
    for (const char *text : invalid) {
        std::string t = text;
        DecodeStamp(t);
        EXPECT_TRUE(t.empty()) << text;
    }
}

TEST_F(DatesTest, EveryDoubleDecodesToAStorableDateWithoutOverflow) {
    constexpr double Inf = std::numeric_limits<double>::infinity();
    constexpr double Last = 2958465.0 + 86399999.0 / 86400000.0; // 9999-12-31 23:59:59.999
    const struct {
        const char *name;
        double value;
        bool storable;
        const char *stamp;
    } rows[] = {
        {"NaN counts as day 0", std::nan(""), false, "18991230000000"},
        {"plus infinity", Inf, false, "99991231235959"},
        {"minus infinity", -Inf, false, "00010101000000"},
        {"the largest double", std::numeric_limits<double>::max(), false, "99991231235959"},
        {"the most negative double", -std::numeric_limits<double>::max(), false, "00010101000000"},
        {"1e300", 1e300, false, "99991231235959"},
        {"milliseconds beyond int64", 1.1e11, false, "99991231235959"},
        {"milliseconds near -2^63", -9223372036854775808.0 / 86400000.0, false, "00010101000000"},
        {"-700000, before the year 1", -700000, false, "00010101000000"},
        {"2958470, after the year 9999", 2958470, false, "99991231235959"},
        {"the first storable moment", -693593.0, true, "00010101000000"},
        {"a tenth of a second before it", -693593.0 - 0.1 / SecsPerDay, false, "00010101000000"},
        {"the last storable moment", Last, true, "99991231235959"},
        {"the first moment of the year 10000", 2958466.0, false, "99991231235959"},
        {"the smallest subnormal", std::numeric_limits<double>::denorm_min(), true,
         "18991230000000"},
        {"an ordinary day", EncodeDateTime(2024, 3, 4, 9, 15, 30), true, "20240304091530"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(IsStorableDateTime(row.value), row.storable);
        int y, mo, d, h, mi, s, ms;
        DecodeDateTime(row.value, y, mo, d, h, mi, s, ms);
        EXPECT_TRUE(IsValidDate(y, mo, d)) << y << "-" << mo << "-" << d;
        EXPECT_TRUE(h >= 0 && h < 24 && mi >= 0 && mi < 60 && s >= 0 && s < 60 && ms >= 0 &&
                    ms < 1000);
        std::string stamp = EncodeStamp(row.value);
        EXPECT_EQ(stamp, row.stamp);
        DecodeStamp(stamp);
        EXPECT_FALSE(stamp.empty()) << "what is written reads back";
        EXPECT_GE(DateTimeText(row.value).size(), 10u);
        EXPECT_EQ(DateText(row.value).size(), 10u);
        EXPECT_EQ(TimeText(row.value).size(), 8u);
        EXPECT_TRUE(std::isfinite(RecodeMilliSecond(row.value, 0)));
        // Durations to and from such a time stay within the span of the storable years.
        for (const double other : {0.0, row.value, -row.value}) {
            const int64_t secs = DurationSeconds(row.value, other);
            EXPECT_GE(secs, 0);
            EXPECT_LE(secs, int64_t(3652059) * 86400);
            int32_t hours, minutes, seconds;
            DurationHMS(row.value, other, hours, minutes, seconds);
            EXPECT_GE(hours, 0);
            EXPECT_TRUE(minutes >= 0 && minutes < 60 && seconds >= 0 && seconds < 60);
        }
    }
    EXPECT_EQ(DurationSeconds(Last, -693593.0), int64_t(3652059) * 86400)
        << "the whole span is not cut";
}

TEST_F(DatesTest, DateTimeTextRoundTripsAndOmitsMidnight) {
    EXPECT_EQ(DateTimeText(EncodeDateTime(2007, 3, 5, 0, 0, 0)), "05.03.2007");
    EXPECT_EQ(DateTimeText(At(7, 4, 3)), "05.03.2007 07:04:03");
    TDateTime t;
    ASSERT_TRUE(TryTextToDateTime("05.03.2007 07:04:03", t));
    EXPECT_EQ(t, At(7, 4, 3));
    ASSERT_TRUE(TryTextToDateTime("5.3.07", t));
    EXPECT_EQ(t, EncodeDateTime(2007, 3, 5, 0, 0, 0));
    for (const char *bad : {"", "31.02.2007", "05.03.2007 25:00:00", "heute", "05.03.", "1.2.3.4"})
        EXPECT_FALSE(TryTextToDateTime(bad, t)) << bad;

    TFormatSettings us;
    us.ShortDateFormat = "M/d/yyyy";
    us.LongTimeFormat = "h:mm:ss";
    us.DateSeparator = '/';
    us.DecimalSeparator = '.';
    SetFormatSettings(us);
    EXPECT_EQ(DateTimeText(At(7, 4, 3)), "3/5/2007 7:04:03");
    ASSERT_TRUE(TryTextToDateTime("3/5/2007 7:04:03", t));
    EXPECT_EQ(t, At(7, 4, 3));
    EXPECT_TRUE(IsValidFieldValue("1.5", ftFloat));
    EXPECT_FALSE(IsValidFieldValue("1,5", ftFloat));
}

struct DateTextCase {
    const char *name;
    const char *text;
    bool valid;
    TDateTime expected;
};

// A date is three non-empty pieces of digits; a two-digit year is widened by its own width.
TEST_F(DatesTest, DateTextNeedsThreeDigitPieces) {
    const TDateTime march5 = EncodeDateTime(2007, 3, 5, 0, 0, 0);
    const DateTextCase cases[] = {
        {"full date", "05.03.2007", true, march5},
        {"two-digit year", "5.3.07", true, march5},
        {"two-digit year of the last century", "5.3.99", true, EncodeDateTime(1999, 3, 5, 0, 0, 0)},
        {"with time", "5.3.2007 07:04", true, At(7, 4, 0)},
        {"time alone", "07:04:03", true, EncodeDateTime(1899, 12, 30, 7, 4, 3)},
        {"29 Feb in a leap year", "29.02.2008", true, EncodeDateTime(2008, 2, 29, 0, 0, 0)},
        {"empty piece in the middle", "5..3.2007", false, 0},
        {"separator at the start", ".5.3.2007", false, 0},
        {"separator at the end", "5.3.2007.", false, 0},
        {"two pieces", "5.3", false, 0},
        {"letters in the day", "5a.3.2007", false, 0},
        {"month as a word", "5.Mrz.2007", false, 0},
        {"29 Feb in a non-leap year", "29.02.2007", false, 0},
        {"too many digits", "5.3.0000002007", false, 0},
        {"empty piece in the time", "5.3.2007 07::04", false, 0},
        {"time separator at the start", "5.3.2007 :07:04", false, 0},
        {"time separator at the end", "07:04:", false, 0},
    };
    for (const auto &c : cases) {
        TDateTime t = -1;
        EXPECT_EQ(TryTextToDateTime(c.text, t), c.valid) << c.name;
        if (c.valid) {
            EXPECT_EQ(t, c.expected) << c.name;
        }
        EXPECT_EQ(IsValidFieldValue(c.text, ftDateTime), c.valid) << c.name;
    }
}

TEST_F(DatesTest, MillisecondsAreTruncatedNotRounded) {
    EXPECT_EQ(RecodeMilliSecond(At(12, 0, 0, 900), 0), At(12, 0, 0));
    EXPECT_EQ(CompareDateTime(At(12, 0, 0), At(12, 0, 0) + 0.0004 / SecsPerDay), 0);
    EXPECT_EQ(CompareDateTime(At(12, 0, 0), At(12, 0, 1)), -1);
    EXPECT_EQ(AddSeconds(At(12, 0, 0), 61), At(12, 1, 1));
}

TEST_F(DatesTest, ClockCanBeSet) {
    SetClock([] { return EncodeDateTime(2020, 1, 2, 3, 4, 5); });
    EXPECT_EQ(EncodeStamp(Now()), "20200102030405");
    SetClock({});
    EXPECT_GT(Now(), EncodeDateTime(2020, 1, 1, 0, 0, 0));
}

} // namespace
