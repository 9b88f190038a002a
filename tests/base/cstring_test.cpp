#include "base/cstring.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

TDateTime At(int h, int m, int s, int ms = 0) {
    return EncodeDateTime(2007, 3, 5, h, m, s, ms);
}

class CStringTest : public ::testing::Test {
protected:
    void SetUp() override { SetFormatSettings(GermanFormatSettings()); }
};

struct DurationCase {
    const char *name;
    double seconds;
    int h, m, s;
};

TEST_F(CStringTest, DurationRoundsHalvesToEvenAndCarries) {
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

TEST_F(CStringTest, StampsEncodeWithoutRoundingAndDecodeStrictly) {
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

TEST_F(CStringTest, EveryDoubleDecodesToAStorableDateWithoutOverflow) {
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

TEST_F(CStringTest, DateTimeTextRoundTripsAndOmitsMidnight) {
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
TEST_F(CStringTest, DateTextNeedsThreeDigitPieces) {
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

TEST_F(CStringTest, MillisecondsAreTruncatedNotRounded) {
    EXPECT_EQ(RecodeMilliSecond(At(12, 0, 0, 900), 0), At(12, 0, 0));
    EXPECT_EQ(CompareDateTime(At(12, 0, 0), At(12, 0, 0) + 0.0004 / SecsPerDay), 0);
    EXPECT_EQ(CompareDateTime(At(12, 0, 0), At(12, 0, 1)), -1);
    EXPECT_EQ(AddSeconds(At(12, 0, 0), 61), At(12, 1, 1));
}

struct FieldCase {
    const char *name;
    const char *value;
    int type;
    bool valid;
};

TEST_F(CStringTest, FieldValuesAreCheckedPerType) {
    const FieldCase cases[] = {
        {"empty is valid for every type", "", ftDateTime, true},
        {"empty boolean", "", ftBoolean, true},
        {"upper-case TRUE", "TRUE", ftBoolean, true},
        {"zero", "0", ftBoolean, true},
        {"yes is no boolean", "yes", ftBoolean, false},
        {"boolean is not trimmed", " true", ftBoolean, false},
        {"integer", "-42", ftInteger, true},
        {"integer overflow", "2147483648", ftInteger, false},
        {"integer with text", "12a", ftInteger, false},
        {"float with comma", "3,25", ftFloat, true},
        {"float with point in German format", "3.25", ftFloat, false},
        {"float garbage", "abc", ftFloat, false},
        {"date time", "05.03.2007 10:00:00", ftDateTime, true},
        {"date only", "05.03.2007", ftDateTime, true},
        {"bad date", "32.03.2007", ftDateTime, false},
        {"any string", "<&>", ftString, true},
        {"unknown type counts as string", "x", 17, true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(IsValidFieldValue(c.value, c.type), c.valid) << c.name;
}

TEST_F(CStringTest, SplittingAndTokens) {
    TStringList lines;
    SplitToLines("a|b|", '|', lines);
    EXPECT_EQ(lines, (TStringList{"a", "b"}));
    SplitToLines("a||b", '|', lines);
    EXPECT_EQ(lines, (TStringList{"a", "", "b"}));

    TStringArray parts;
    SplitToArray("word", ' ', parts);
    EXPECT_EQ(parts, (TStringArray{"word"}));
    SplitToArray("", ' ', parts);
    EXPECT_EQ(parts, (TStringArray{""}));
    RemoveBlank(parts);
    EXPECT_TRUE(parts.empty());
    SplitToArray(" a\t  b ", ' ', parts);
    RemoveBlank(parts);
    EXPECT_EQ(parts, (TStringArray{"a\t", "b"}));

    EXPECT_EQ(GetToken("1.1", '.', 2), "1");
    EXPECT_EQ(GetToken("2", '.', 2), "");
    EXPECT_EQ(GetToken("1.22.3", '.', 3), "3");
    EXPECT_EQ(IndexOfText("b", {"a", "b", "b"}), 1);
    EXPECT_EQ(IndexOfText("B", {"a", "b"}), -1);
    EXPECT_EQ(PadNum(7, 2, '0'), "07");
    EXPECT_EQ(PadNum(123, 2, '0'), "123");
}

TEST_F(CStringTest, ReplaceTextRestartsAndAlwaysEnds) {
    std::string s = "aabb";
    ReplaceText(s, "ab", "", true); // searching again from the start removes both
    EXPECT_EQ(s, "");

    s = "Hallo %NAME%, %name%!";
    ReplaceText(s, "%Name%", "Welt", false);
    EXPECT_EQ(s, "Hallo Welt, Welt!");

    s = "x%a%y";
    ReplaceText(s, "%a%", "[%A%]", false); // replacement holds the searched text
    EXPECT_EQ(s, "x[%A%]y");

    s = "abab";
    ReplaceText(s, "ab", "abab", true);
    EXPECT_EQ(s, "abababab");

    s = "ÄRGER ärger";
    ReplaceText(s, "ärger", "x", false); // only A-Z fold: Ä stays different from ä
    EXPECT_EQ(s, "ÄRGER x");

    TStringList lines{"%a%", "b%a%"};
    ReplaceInLines(lines, "%A%", "1", false);
    EXPECT_EQ(lines, (TStringList{"1", "b1"}));
}

// Replaces the first occurrence and searches again from the start, at most MaxSteps times;
// false when occurrences are still left then.
bool RestartReplace(std::string &S, const std::string &Find, const std::string &Replacement,
                    bool CaseSensitive, int MaxSteps) {
    const std::string find = CaseSensitive ? Find : LowerCase(Find);
    for (int step = 0;; ++step) {
        const size_t pos = (CaseSensitive ? S : LowerCase(S)).find(find);
        if (pos == std::string::npos)
            return true;
        if (step == MaxSteps)
            return false;
        S.replace(pos, Find.size(), Replacement);
    }
}

struct EndlessReplaceCase {
    const char *name;
    const char *text, *find, *replacement;
    bool caseSensitive;
    const char *expected;
};

// Where searching again from the start would go on for ever, each occurrence of the text as
// given is replaced once.
TEST_F(CStringTest, ReplaceTextEndsWhereRestartingWouldFeedItself) {
    const EndlessReplaceCase cases[] = {
        {"suffix of the searched text starts the replacement", "%%n%", "%n%", "n%%n", false,
         "%n%%n"},
        {"replacement joins the text before it", "aab", "ab", "bbaa", true, "abbaa"},
        {"joined case-insensitively", "AaB", "ab", "bBaa", false, "AbBaa"},
        {"cascade doubling the text", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "ab", "bba", true,
         "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaabba"},
    };
    for (const auto &c : cases) {
        std::string s = c.text;
        ReplaceText(s, c.find, c.replacement, c.caseSensitive);
        EXPECT_EQ(s, c.expected) << c.name;
    }
    // Replacements that only sometimes form a new occurrence keep the restart's result.
    std::string s = "x%n%n%";
    ReplaceText(s, "%n%", "50%", true);
    EXPECT_EQ(s, "x5050%");
    s = "aab";
    ReplaceText(s, "ab", "bbb", true);
    EXPECT_EQ(s, "bbbbb");
}

// Every short text over a small alphabet: the call ends with a bounded result, and equals the
// restart's result wherever that ends within a few steps.
TEST_F(CStringTest, ReplaceTextMatchesRestartingWhereThatEnds) {
    const std::string alphabet = "ab%N";
    std::mt19937 rng(7);
    auto word = [&](int minLength, int maxLength) {
        std::string w(std::uniform_int_distribution<int>(minLength, maxLength)(rng), ' ');
        for (char &c : w)
            c = alphabet[std::uniform_int_distribution<size_t>(0, alphabet.size() - 1)(rng)];
        return w;
    };
    int compared = 0, endless = 0;
    for (int i = 0; i < 40000; ++i) {
        const std::string text = word(0, 8), find = word(1, 3), replacement = word(0, 5);
        const bool caseSensitive = i % 2 == 0;
        std::string got = text;
        ReplaceText(got, find, replacement, caseSensitive);
        ASSERT_LE(got.size(), 20000u) << text;
        std::string expected = text;
        if (!RestartReplace(expected, find, replacement, caseSensitive, 40)) {
            ++endless;
            continue;
        }
        ++compared;
        ASSERT_EQ(got, expected) << '"' << text << "\" \"" << find << "\" -> \"" << replacement
                                 << '"' << (caseSensitive ? "" : " ignoring case");
    }
    EXPECT_GT(compared, 1000);
    EXPECT_GT(endless, 100);
}

class FixedWidth : public TTextMeasurer {
public:
    double TextWidth(const std::string &Text) override { return 10.0 * Text.size(); }
};

TEST_F(CStringTest, WrapTextBreaksAtWordsOnly) {
    FixedWidth canvas;
    TStringList lines;
    WrapText("  eins zwei\r\ndrei   vier", 100, canvas, lines);
    // "eins zwei " is 100 wide; adding "drei " would exceed 100.
    EXPECT_EQ(lines, (TStringList{"eins zwei", "drei vier"}));

    lines.clear();
    WrapText("x Donaudampfschifffahrt y", 50, canvas, lines);
    EXPECT_EQ(lines, (TStringList{"x", "Donaudampfschifffahrt", "y"}));

    lines.clear();
    WrapText("", 50, canvas, lines);
    WrapText(" \n\t", 50, canvas, lines);
    EXPECT_TRUE(lines.empty());
}

TEST_F(CStringTest, Windows1252ConversionsRoundTrip) {
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    EXPECT_EQ(Utf16ToCp1252(Cp1252ToUtf16(all)), all);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);

    EXPECT_EQ(Cp1252ToUtf16("\x80"), u"\u20AC");
    EXPECT_EQ(Cp1252ToUtf8("\xE4\x80"), "\xC3\xA4\xE2\x82\xAC");
    EXPECT_EQ(Utf16ToCp1252(u"\u201Eja\u201C \u4E2D \U0001F600"), "\x84ja\x93 ? ?");
    EXPECT_EQ(Utf16ToCp1252(u"\u0085"), "\x85"); // code units 0-255 map to the same byte
    EXPECT_EQ(LowerCase("ÄBC xyZ"), "Äbc xyz");
    EXPECT_TRUE(SameText("Kunde", "KUNDE"));
    EXPECT_FALSE(SameText("Ä", "ä"));
}

TEST_F(CStringTest, ClockCanBeSet) {
    SetClock([] { return EncodeDateTime(2020, 1, 2, 3, 4, 5); });
    EXPECT_EQ(EncodeStamp(Now()), "20200102030405");
    SetClock({});
    EXPECT_GT(Now(), EncodeDateTime(2020, 1, 1, 0, 0, 0));
}

} // namespace
