#include "base/version.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Versions, CompareVersions) {
    struct Case {
        const char *A, *B;
        int Parts, Expected;
    } cases[] = {
        {"1.1", "1.10", 2, -1},  {"1.2", "1.2.7", 2, 0},    {"1.2", "1.2.7", 0, 0},
        {"2.0", "1.9", 2, 1},    {"1.10", "1.9", 2, 1},     {"1.1", "1.1", 2, 0},
        {"0.9", "1.0", 1, -1},   {"1.2.3", "1.2.4", 3, -1}, {"-1.0", "0.0", 1, -1},
        {"$10.1", "16.1", 2, 0},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CompareVersions(c.A, c.B, c.Parts), c.Expected)
            << c.A << " vs " << c.B << " over " << c.Parts;
    }
}

TEST(Versions, ConversionErrors) {
    struct Case {
        const char *A, *B;
        int Parts;
    } cases[] = {
        {"1.1", "1", 2},   {"1", "1.1", 2},      {"1.a", "1.1", 2},       {"", "1", 1},
        {"1.2", "1.2", 3}, {"1..2", "1.0.2", 2}, {"99999999999", "1", 1},
    };
    for (const Case &c : cases) {
        EXPECT_THROW(CompareVersions(c.A, c.B, c.Parts), EConvertError)
            << c.A << " vs " << c.B << " over " << c.Parts;
    }
    // The first differing part decides before a later bad part is reached.
    EXPECT_EQ(CompareVersions("2.x", "1.y", 2), 1);
}

TEST(Versions, ConversionErrorNamesTheText) {
    try {
        StrToInt("a1");
        FAIL() << "no exception";
    } catch (const EConvertError &e) {
        EXPECT_EQ(std::string(e.what()), "'a1' ist kein g\xFCltiger Integerwert");
    }
}

} // namespace
