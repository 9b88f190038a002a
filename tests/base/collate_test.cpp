// The caption order: German dictionary order, total, as every tree and list sorts.

#include "base/collate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

struct OrderCase {
    const char *Name;
    std::vector<std::string> Sorted; // as the order must put them
};

class CaptionOrderTest : public testing::TestWithParam<OrderCase> {};

TEST_P(CaptionOrderTest, SortsAsAGermanReaderExpects) {
    const std::vector<std::string> &Want = GetParam().Sorted;
    // Every pair in both directions: a consistent, total order.
    for (size_t i = 0; i < Want.size(); ++i)
        for (size_t j = 0; j < Want.size(); ++j) {
            const int C = CompareCaptions(Want[i], Want[j]);
            EXPECT_EQ(C < 0, i < j) << Want[i] << " / " << Want[j];
            EXPECT_EQ(C == 0, i == j) << Want[i] << " / " << Want[j];
        }
    std::vector<std::string> Shuffled(Want.rbegin(), Want.rend());
    std::sort(Shuffled.begin(), Shuffled.end(),
              [](const std::string &A, const std::string &B) { return CompareCaptions(A, B) < 0; });
    EXPECT_EQ(Shuffled, Want);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CaptionOrderTest,
    testing::Values(OrderCase{"UmlautsBesideTheirBaseLetter",
                              {"Aerger", "Arger", "\xC4rger", "\xD6l", "Oma",
                               "\xDC"
                               "ber",
                               "Ufer", "Zulu"}},
                    OrderCase{"CaseIgnoredFirstThenUpperBeforeLower", {"ABC", "abc", "abd", "ABE"}},
                    OrderCase{"PlainLetterBeforeTheMarkedOne", {"arger", "\xE4rger", "argern"}},
                    OrderCase{"SharpSAsDoubleS",
                              {"Strasse",
                               "Stra\xDF"
                               "e",
                               "Strassen", "Strasze"}},
                    OrderCase{"AccentsOfOtherLanguages",
                              {"Eclair",
                               "\xC9"
                               "clair",
                               "Ende", "Nina", "Nino",
                               "Ni\xF1"
                               "o"}},
                    OrderCase{"ShorterPrefixFirstDigitsAndSignsByCode",
                              {"", " x", "1", "10", "2", "Projekt", "Projekt 2", "Projekte"}}),
    [](const testing::TestParamInfo<OrderCase> &I) { return std::string(I.param.Name); });

} // namespace
