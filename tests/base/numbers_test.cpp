#include "base/formatsettings.h"
#include "base/numbers.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

class NumbersTest : public ::testing::Test {
protected:
    void SetUp() override { SetFormatSettings(GermanFormatSettings()); }
};

TEST_F(NumbersTest, PadNumFillsToTheWidthOnly) {
    EXPECT_EQ(PadNum(7, 2, '0'), "07");
    EXPECT_EQ(PadNum(123, 2, '0'), "123");
}

// Spaces around a number are allowed, any other blank is not; the whole text must be read.
TEST_F(NumbersTest, FloatsAreReadWholeBetweenSpaces) {
    const struct {
        const char *text;
        bool valid;
        double value;
    } rows[] = {
        {"  3,25 ", true, 3.25}, {"-1,5e+2", true, -150}, {"+2", true, 2},     {"\t3,25", false, 0},
        {"3,25\t", false, 0},    {"1e", false, 0},        {"1e+", false, 0},   {"   ", false, 0},
        {"1-2", false, 0},       {"3.25", false, 0},      {"1e999", false, 0}, {",", false, 0},
    };
    for (const auto &row : rows) {
        double v = -7;
        EXPECT_EQ(TryStrToFloat(row.text, v), row.valid) << row.text;
        EXPECT_EQ(v, row.valid ? row.value : -7) << row.text;
    }
    int32_t i = 0;
    EXPECT_TRUE(TryStrToInt32("  $FFFFFFFF", i));
    EXPECT_EQ(i, -1);
    EXPECT_FALSE(TryStrToInt32("12 ", i));
}

} // namespace
