#include "app/regionalformat.h"
#include "base/dates.h"
#include "base/formatsettings.h"
#include "base/numbers.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <tuple>

namespace {

auto Parts(const TFormatSettings &F) {
    return std::make_tuple(F.ShortDateFormat, F.LongTimeFormat, F.DateSeparator, F.TimeSeparator,
                           F.DecimalSeparator);
}

// What the program writes in a locale's format it must read back.
void ExpectRoundTrip(const TFormatSettings &Format, const std::string &Name) {
    SetFormatSettings(Format);
    const TDateTime t = EncodeDateTime(1937, 11, 24, 17, 4, 3);
    TDateTime back = 0;
    EXPECT_TRUE(TryTextToDateTime(DateTimeText(t), back) && back == t)
        << Name << ": " << DateTimeText(t);
    double value = 0;
    EXPECT_TRUE(TryStrToFloat(FloatToText(2.5), value) && value == 2.5) << Name;
    SetFormatSettings(GermanFormatSettings());
}

struct LocaleCase {
    const char *name, *locale;
    TFormatSettings expected;
};

TEST(RegionalFormatTest, LocalesGiveTheirDatesTimesAndDecimalSeparator) {
    const LocaleCase cases[] = {
        {"American English", "en_US", {"M/d/yyyy", "H:mm:ss", '/', ':', '.'}},
        {"British English", "en_GB", {"dd/MM/yyyy", "HH:mm:ss", '/', ':', '.'}},
        {"German", "de_DE", GermanFormatSettings()},
        {"C locale stays German", "C", GermanFormatSettings()},
    };
    for (const auto &c : cases) {
        const TFormatSettings got = RegionalFormat(QLocale(QString::fromLatin1(c.locale)));
        EXPECT_EQ(Parts(got), Parts(c.expected)) << c.name;
        ExpectRoundTrip(got, c.name);
    }
}

struct PatternCase {
    const char *name;
    const char16_t *shortDate, *longTime, *decimalPoint;
    TFormatSettings expected;
};

// Qt's formats hold more than day, month, year, hours, minutes and seconds between single
// separators; the rest is left out or replaced so that the text can be read back.
TEST(RegionalFormatTest, QtFormatsBecomePatternsThatReadBack) {
    const PatternCase cases[] = {
        {"year first, separator with blanks and at the end",
         u"yy. M. d.",
         u"H:mm:ss",
         u",",
         {"yyyy.M.d", "H:mm:ss", '.', ':', ','}},
        {"same separator for date and time",
         u"d.M.yyyy",
         u"H.mm.ss t",
         u",",
         {"d.M.yyyy", "H:mm:ss", '.', ':', ','}},
        {"quoted letters are text",
         u"yyyy-MM-dd",
         u"HH 'h' mm 'min' ss 's' t",
         u",",
         {"yyyy-MM-dd", "HH:mm:ss", '-', ':', ','}},
        {"units instead of separators",
         u"yyyy/MM/dd",
         u"H\u6642mm\u5206ss\u79D2 t",
         u".",
         {"yyyy/MM/dd", "H:mm:ss", '/', ':', '.'}},
        {"right-to-left marks, Arabic decimal point",
         u"d\u200F/M\u200F/yyyy",
         u"h:mm:ss AP t",
         u"\u066B",
         {"d/M/yyyy", "H:mm:ss", '/', ':', ','}},
        {"month name as number, weekday dropped",
         u"ddd d.MMM.yyyy",
         u"HH:mm",
         u",",
         {"d.MM.yyyy", "HH:mm:ss", '.', ':', ','}},
        {"date without separator stays German",
         u"d MMM yyyy",
         u"HH",
         u".",
         {"dd.MM.yyyy", "HH:mm:ss", '.', ':', '.'}},
    };
    for (const auto &c : cases) {
        const TFormatSettings got =
            RegionalFormat(QString::fromUtf16(c.shortDate), QString::fromUtf16(c.longTime),
                           QString::fromUtf16(c.decimalPoint));
        EXPECT_EQ(Parts(got), Parts(c.expected)) << c.name;
        ExpectRoundTrip(got, c.name);
    }
}

} // namespace
