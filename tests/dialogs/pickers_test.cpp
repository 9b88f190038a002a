#include "base/dates.h"
#include "base/formatsettings.h"
#include "dialogs/pickers.h"

#include "picker_testing.h"

#include <gtest/gtest.h>

namespace {

class PickersTest : public testing::Test {
protected:
    void TearDown() override { SetFormatSettings(GermanFormatSettings()); }
};

// The pickers follow the regional format, with the German weekday before the date, and a click
// selects the part it hits in that format's order.
TEST_F(PickersTest, ShowTheRegionalFormatAndTakeDigitsInItsOrder) {
    const struct {
        const char *Name;
        TFormatSettings Format;
        QString Date, Time;
        int Index;   // a character of the part clicked
        QDate Typed; // after typing "03" there
    } Cases[] = {
        {"German", GermanFormatSettings(), "Do., 10.12.2026", "08:05:09", 5, {2026, 12, 3}},
        {"month first",
         {"MM/dd/yyyy", "H:mm:ss", '/', ':', '.'},
         "Do., 12/10/2026",
         "8:05:09",
         5,
         {2026, 3, 10}},
        {"year first, dotted time",
         {"yyyy-MM-dd", "HH.mm.ss", '-', '.', ','},
         "Do., 2026-12-10",
         "08.05.09",
         11,
         {2026, 3, 10}},
    };
    for (const auto &Case : Cases) {
        SetFormatSettings(Case.Format);
        TDatePicker Date(nullptr);
        TTimePicker Time(nullptr);
        SetPickers(&Date, &Time, EncodeDateTime(2026, 12, 10, 8, 5, 9));
        EXPECT_EQ(Date.text(), Case.Date) << Case.Name;
        EXPECT_EQ(Time.text(), Case.Time) << Case.Name;
        Date.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Date)) << Case.Name;
        ClickAndType(&Date, Case.Index, QStringLiteral("03"));
        EXPECT_EQ(Date.date(), Case.Typed) << Case.Name;
    }
}

} // namespace
