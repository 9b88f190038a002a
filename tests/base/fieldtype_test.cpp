#include "base/fieldtype.h"
#include "base/formatsettings.h"

#include <gtest/gtest.h>

namespace {

class FieldTypeTest : public ::testing::Test {
protected:
    void SetUp() override { SetFormatSettings(GermanFormatSettings()); }
};

struct FieldCase {
    const char *name;
    const char *value;
    int type;
    bool valid;
};

TEST_F(FieldTypeTest, FieldValuesAreCheckedPerType) {
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

} // namespace
