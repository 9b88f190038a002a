// Filling planned templates must give the lines that replacing the placeholders one after the
// other gives, or decline.
#include "export/placeholders.h"

#include <gtest/gtest.h>

#include <random>

namespace {

const std::vector<std::string> Finds = {"$comment$", "$hours$", "$minutes$", "$filename$",
                                        "$separator$"};

// The lines as ReplaceText makes them, one placeholder after the other.
TStringList OneAfterTheOther(TStringList Lines, const std::vector<std::string> &Values) {
    for (size_t f = 0; f < Finds.size(); ++f)
        for (std::string &line : Lines)
            ReplaceText(line, Finds[f], Values[f], false);
    return Lines;
}

// Fills in one pass; false when the plan declines.
bool Filled(const TStringList &Lines, const std::vector<std::string> &Values, TStringList &Out,
            uint64_t Budget = UINT64_MAX) {
    const TPlaceholderPlan plan(Lines, Finds);
    std::vector<std::string_view> views(Values.begin(), Values.end());
    uint64_t bytes = 0;
    Out.clear();
    if (!plan.Fill(views, Budget, Out, bytes))
        return false;
    uint64_t expected = 0;
    for (const std::string &line : Out)
        expected += line.size() + 2;
    EXPECT_EQ(bytes, expected);
    return true;
}

std::string Pick(std::mt19937 &Random, const std::vector<std::string> &From) {
    return From[std::uniform_int_distribution<size_t>(0, From.size() - 1)(Random)];
}

} // namespace

TEST(PlaceholderPlan, FillsOrDeclinesAsTheReplacementsOneAfterTheOther) {
    struct TRow {
        const char *Name, *Line;
        std::vector<std::string> Values; // comment, hours, minutes, filename, separator
        bool OnePass;
        const char *Result;
    } rows[] = {
        {"any case, repeated",
         "$Hours$:$MINUTES$|$hours$",
         {"c", "1", "5", "f", ";"},
         true,
         "1:5|1"},
        {"overlapping occurrences", "$hours$hours$", {"", "1", "", "", ""}, true, "1hours$"},
        {"stray dollars stay", "$ $Comment$ $x$", {"abc", "", "", "", ""}, true, "$ abc $x$"},
        {"comment holding a later placeholder",
         "$Comment$",
         {"$Hours$", "2", "", "", ""},
         false,
         "2"},
        {"value feeding itself", "$Comment$", {"x$Comment$", "", "", "", ""}, false, "x$Comment$"},
        {"empty value joins a later placeholder",
         "$hou$Comment$rs$",
         {"", "7", "", "", ""},
         false,
         "7"},
        {"value completes a later placeholder",
         "$$comment$$",
         {"hours", "7", "", "", ""},
         false,
         "7"},
        {"value completes an earlier one: stays",
         "$$hours$$",
         {"", "comment", "", "", ""},
         true,
         "$comment$"},
        {"file name completes the separator",
         "$$Filename$$",
         {"", "", "", "separator", ";"},
         false,
         ";"},
        {"joined text of another length",
         "$hou$Comment$rs$",
         {"x", "7", "", "", ""},
         true,
         "$houxrs$"},
        {"unused value with '$'", "$Hours$", {"$", "3", "$", "$", "$"}, true, "3"},
    };
    for (const TRow &r : rows) {
        SCOPED_TRACE(r.Name);
        TStringList out;
        EXPECT_EQ(OneAfterTheOther({r.Line}, r.Values), TStringList{r.Result});
        EXPECT_EQ(Filled({r.Line}, r.Values, out), r.OnePass);
        if (r.OnePass) {
            EXPECT_EQ(out, TStringList{r.Result});
        }
    }
}

TEST(PlaceholderPlan, UsesOnlyWhatStandsInTheTemplate) {
    const TPlaceholderPlan plan({"a $HOURS$", "$filename$$hou"}, Finds);
    EXPECT_FALSE(plan.Uses(0));
    EXPECT_TRUE(plan.Uses(1));
    EXPECT_FALSE(plan.Uses(2));
    EXPECT_TRUE(plan.Uses(3));
    EXPECT_FALSE(plan.Uses(99));
}

TEST(PlaceholderPlan, DeclinesWhereALineCouldGrowPastTheBudget) {
    // The line ends at 6 + 2 bytes, but on the way it is longer; the plan counts its template
    // text and all its values together (29 + 6 + 2) and leaves anything above the budget to
    // the replacements, which check every step.
    const TStringList lines{"$hours$$separator$$separator$"};
    const std::vector<std::string> values{"", "123456", "", "", ""};
    TStringList out;
    EXPECT_FALSE(Filled(lines, values, out, 6 + 29 + 2 - 1));
    EXPECT_TRUE(Filled(lines, values, out, 6 + 29 + 2));
    EXPECT_EQ(out, TStringList{"123456"});
    EXPECT_TRUE(Filled({}, values, out, 0));
    EXPECT_TRUE(out.empty());
}

TEST(PlaceholderPlan, FindsThatAreNoPlaceholdersAreLeftToTheReplacements) {
    const TPlaceholderPlan plan({"a$b$"}, {"$b"});
    const std::string_view values[] = {"x"};
    TStringList out;
    uint64_t bytes = 0;
    EXPECT_FALSE(plan.Fill(values, UINT64_MAX, out, bytes));
}

// Random templates and values built from pieces of placeholders: wherever the plan fills, its
// lines are those of the replacements one after the other.
TEST(PlaceholderPlan, RandomTemplatesAgreeWithTheReplacementsOneAfterTheOther) {
    const std::vector<std::string> pieces = {
        "$",   "$",       "$",         "hours",     "HoUrS",      "hou",         "rs", "comment",
        "Com", "ent",     "file",      "name",      "sep",        "arator",      "x",  ":",
        " ",   "$hours$", "$Comment$", "$MINUTES$", "$filename$", "$separator$", "$$", "minutes"};
    const std::vector<std::string> values = {
        "",          "",    "1",     "12",      "x",       "hou",         "rs",
        "ment",      "Com", "hours", "comment", "minutes", "file",        "filename",
        "separator", "sep", "$",     "$hours$", "a$b",     "Bericht.csv", ";"};
    std::mt19937 random(20020807);
    size_t onePass = 0, runs = 20000;
    for (size_t run = 0; run < runs; ++run) {
        TStringList lines(std::uniform_int_distribution<size_t>(0, 3)(random));
        for (std::string &line : lines)
            for (size_t n = std::uniform_int_distribution<size_t>(0, 9)(random); n-- > 0;)
                line += Pick(random, pieces);
        std::vector<std::string> chosen;
        for (size_t f = 0; f < Finds.size(); ++f)
            chosen.push_back(Pick(random, values));
        TStringList out;
        if (!Filled(lines, chosen, out))
            continue;
        ++onePass;
        ASSERT_EQ(out, OneAfterTheOther(lines, chosen))
            << ::testing::PrintToString(lines) << ::testing::PrintToString(chosen);
    }
    // Most draws must take the one pass, or this would test nothing.
    EXPECT_GT(onePass, runs / 4);
}

TEST(EscapeValue, EachVariantWritesWhatItsFormatNeeds) {
    struct TRow {
        const char *Name;
        TEscape Escape;
        std::string Value, Result;
    } rows[] = {
        {"csv: quoted, quotes doubled, breaks kept", TEscape::Csv, "a,\"b\"\r\nc;d",
         "\"a,\"\"b\"\"\r\nc;d\""},
        {"csv: empty", TEscape::Csv, "", "\"\""},
        {"html: references and breaks", TEscape::Html, "<a href='x'>&\"$\r\n1\r2\n3",
         "&lt;a href=&#39;x&#39;&gt;&amp;&quot;&#36;<br>1<br>2<br>3"},
        {"html: Windows-1252 and tab kept, controls dropped", TEscape::Html, "\xE4\t\x01\x7F",
         "\xE4\t"},
        {"ics: TEXT escapes", TEscape::Ics, "a\\b;c,d:e\"\r\nf\rg\nh",
         "a\\\\b\\;c\\,d:e\"\\nf\\ng\\nh"},
        {"ics: UTF-8, controls dropped", TEscape::Ics, "\xE4\x80\x02\t", "\xC3\xA4\xE2\x82\xAC\t"},
        {"json: string body", TEscape::Json, "\"\\/\x01\n\x7F$",
         "\\\"\\\\/\\u0001\\u000a\x7F\\u0024"},
        {"json: code points in ASCII", TEscape::Json, "\xFC\x80\x9F", "\\u00fc\\u20ac\\u0178"},
    };
    for (const TRow &r : rows) {
        SCOPED_TRACE(r.Name);
        EXPECT_EQ(EscapeValue(r.Value, r.Escape), r.Result);
    }
}

TEST(FoldContentLine, PiecesOfAtMost75OctetsUnfoldToTheLine) {
    struct TRow {
        const char *Name;
        std::string Line;
        size_t Pieces;
    } rows[] = {
        {"75 octets stay", std::string(75, 'x'), 1},
        {"76 octets fold", std::string(76, 'x'), 2},
        {"further pieces hold 74 after the space", std::string(75 + 74 + 1, 'x'), 3},
        {"a UTF-8 character across the cut stays whole", std::string(74, 'x') + "\xC3\xA4z", 2},
        {"empty", "", 1},
    };
    for (const TRow &r : rows) {
        SCOPED_TRACE(r.Name);
        TStringList out;
        FoldContentLine(r.Line, out);
        EXPECT_EQ(out.size(), r.Pieces);
        std::string unfolded;
        for (size_t i = 0; i < out.size(); ++i) {
            EXPECT_LE(out[i].size(), ContentLineOctets);
            EXPECT_TRUE(i == 0 || (out[i].size() > 1 && out[i][0] == ' '));
            if (i > 0)
                EXPECT_NE(static_cast<unsigned char>(out[i][1]) & 0xC0, 0x80);
            unfolded += i == 0 ? out[i] : out[i].substr(1);
        }
        EXPECT_EQ(unfolded, r.Line);
    }
}
