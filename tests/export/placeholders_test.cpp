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
