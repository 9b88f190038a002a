#include "base/cstring.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

TEST(CStringTest, SplittingAndTokens) {
    TStringList lines;
    SplitToLines("a|b|", '|', lines);
    EXPECT_EQ(lines, (TStringList{"a", "b"}));
    SplitToLines("a||b", '|', lines);
    EXPECT_EQ(lines, (TStringList{"a", "", "b"}));
    SplitToLines("a||", '|', lines);
    EXPECT_EQ(lines, (TStringList{"a", ""}));
    SplitToLines("", '|', lines);
    EXPECT_TRUE(lines.empty());

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
}

TEST(CStringTest, ReplaceTextRestartsAndAlwaysEnds) {
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

TEST(CStringTest, ReplaceTextEndsWhereRestartingWouldFeedItself) {
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

TEST(CStringTest, ReplaceTextMatchesRestartingWhereThatEnds) {
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

TEST(CStringTest, WrapTextBreaksAtWordsOnly) {
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

TEST(CStringTest, CaseOfAToZOnly) {
    EXPECT_EQ(LowerCase("ÄBC xyZ"), "Äbc xyz");
    EXPECT_TRUE(SameText("Kunde", "KUNDE"));
    EXPECT_FALSE(SameText("Ä", "ä"));
}

// Profile values are trimmed of every blank and control character, numbers and dates of spaces
// alone: a tab around a number keeps it from being one.
TEST(CStringTest, TrimRemovesBlanksOrSpacesAtBothEnds) {
    EXPECT_EQ(Trim(" \t\x01"
                   "csv ; txt\r\n"),
              "csv ; txt");
    EXPECT_EQ(Trim("\x7F\xA0x\xA0"), "\x7F\xA0x\xA0") << "only bytes up to the space are blank";
    EXPECT_EQ(Trim(" \t \n"), "");
    EXPECT_EQ(Trim(""), "");
    EXPECT_EQ(Trim("  1,5\t ", TTrim::Spaces), "1,5\t");
    EXPECT_EQ(Trim("\t1 ", TTrim::Spaces), "\t1");
    EXPECT_EQ(Trim("   ", TTrim::Spaces), "");
}

} // namespace
