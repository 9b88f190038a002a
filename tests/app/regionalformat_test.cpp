#include "app/regionalformat.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

struct LocaleCase {
    const char *name;
    const char *locale;
    const char *shortDate, *longTime;
    char dateSeparator, timeSeparator, decimalSeparator;
};

TFormatSettings Settings(const char *ShortDate, const char *LongTime, char DateSeparator,
                         char TimeSeparator, char DecimalSeparator) {
    return {ShortDate, LongTime, DateSeparator, TimeSeparator, DecimalSeparator};
}

void ExpectFormat(const TFormatSettings &Got, const TFormatSettings &Expected,
                  const std::string &Name) {
    EXPECT_EQ(Got.ShortDateFormat, Expected.ShortDateFormat) << Name;
    EXPECT_EQ(Got.LongTimeFormat, Expected.LongTimeFormat) << Name;
    EXPECT_EQ(Got.DateSeparator, Expected.DateSeparator) << Name;
    EXPECT_EQ(Got.TimeSeparator, Expected.TimeSeparator) << Name;
    EXPECT_EQ(Got.DecimalSeparator, Expected.DecimalSeparator) << Name;
}

class RegionalFormatTest : public ::testing::Test {
protected:
    void TearDown() override { SetFormatSettings(GermanFormatSettings()); }
};

// What the program writes in a locale's format it must read back.
void ExpectRoundTrip(const TFormatSettings &Format, const std::string &Name) {
    SetFormatSettings(Format);
    const TDateTime t = EncodeDateTime(1937, 11, 24, 17, 4, 3);
    TDateTime back = 0;
    ASSERT_TRUE(TryTextToDateTime(DateTimeText(t), back)) << Name << ": " << DateTimeText(t);
    EXPECT_EQ(back, t) << Name;
    double value = 0;
    EXPECT_TRUE(TryStrToFloat(FloatToText(2.5), value) && value == 2.5) << Name;
}

TEST_F(RegionalFormatTest, LocalesGiveTheirDatesTimesAndDecimalSeparator) {
    const LocaleCase cases[] = {
        {"American English", "en_US", "M/d/yyyy", "H:mm:ss", '/', ':', '.'},
        {"British English", "en_GB", "dd/MM/yyyy", "HH:mm:ss", '/', ':', '.'},
        {"German", "de_DE", "dd.MM.yyyy", "HH:mm:ss", '.', ':', ','},
        {"C locale stays German", "C", "dd.MM.yyyy", "HH:mm:ss", '.', ':', ','},
    };
    for (const auto &c : cases) {
        const TFormatSettings got = RegionalFormat(QLocale(QString::fromLatin1(c.locale)));
        ExpectFormat(
            got,
            Settings(c.shortDate, c.longTime, c.dateSeparator, c.timeSeparator, c.decimalSeparator),
            c.name);
        ExpectRoundTrip(got, c.name);
    }
    ExpectFormat(RegionalFormat(QLocale::c()), GermanFormatSettings(), "QLocale::c()");
}

struct PatternCase {
    const char *name;
    const char16_t *shortDate, *longTime, *decimalPoint;
    const char *expectedDate, *expectedTime;
    char dateSeparator, timeSeparator, decimalSeparator;
};

// Qt's formats hold more than day, month, year, hours, minutes and seconds between single
// separators; the rest is left out or replaced so that the text can be read back.
TEST_F(RegionalFormatTest, QtFormatsBecomePatternsThatReadBack) {
    const PatternCase cases[] = {
        {"two-digit year widened, AM/PM and zone dropped", u"M/d/yy", u"h:mm:ss AP t", u".",
         "M/d/yyyy", "H:mm:ss", '/', ':', '.'},
        {"year first, separator with blanks and at the end", u"yy. M. d.", u"H:mm:ss", u",",
         "yyyy.M.d", "H:mm:ss", '.', ':', ','},
        {"same separator for date and time", u"d.M.yyyy", u"H.mm.ss t", u",", "d.M.yyyy", "H:mm:ss",
         '.', ':', ','},
        {"quoted letters are text", u"yyyy-MM-dd", u"HH 'h' mm 'min' ss 's' t", u",", "yyyy-MM-dd",
         "HH:mm:ss", '-', ':', ','},
        {"units instead of separators", u"yyyy/MM/dd", u"H\u6642mm\u5206ss\u79D2 t", u".",
         "yyyy/MM/dd", "H:mm:ss", '/', ':', '.'},
        {"right-to-left marks and an Arabic decimal point", u"d\u200F/M\u200F/yyyy",
         u"h:mm:ss AP t", u"\u066B", "d/M/yyyy", "H:mm:ss", '/', ':', ','},
        {"month name becomes its number, weekday dropped", u"ddd d.MMM.yyyy", u"HH:mm", u",",
         "d.MM.yyyy", "HH:mm:ss", '.', ':', ','},
        {"dates without separator stay German", u"d MMM yyyy", u"HH:mm:ss", u".", "dd.MM.yyyy",
         "HH:mm:ss", '.', ':', '.'},
        {"dates without a year stay German", u"dd/MM", u"HH:mm:ss", u".", "dd.MM.yyyy", "HH:mm:ss",
         '.', ':', '.'},
        {"times without minutes stay German", u"dd/MM/yyyy", u"HH", u".", "dd/MM/yyyy", "HH:mm:ss",
         '/', ':', '.'},
    };
    for (const auto &c : cases) {
        const TFormatSettings got =
            RegionalFormat(QString::fromUtf16(c.shortDate), QString::fromUtf16(c.longTime),
                           QString::fromUtf16(c.decimalPoint));
        ExpectFormat(got,
                     Settings(c.expectedDate, c.expectedTime, c.dateSeparator, c.timeSeparator,
                              c.decimalSeparator),
                     c.name);
        ExpectRoundTrip(got, c.name);
    }
}

} // namespace
