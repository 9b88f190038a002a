#pragma once
// The user's regional format for dates, times and numbers, taken from the system's locale.

#include "base/formatsettings.h"

#include <QString>

class QLocale;

// The format of a locale in the form the time and text functions write and read back: the
// short date as day, month and four-digit year between one separator character, the long time
// on the 24-hour clock with minutes and seconds. The C locale stays German.
TFormatSettings RegionalFormat(const QLocale &Locale);
// The same from Qt's short date and long time formats and decimal point. Whatever cannot be
// written that way (no day, month or year, no separator character) keeps the German part.
TFormatSettings RegionalFormat(const QString &ShortDate, const QString &LongTime,
                               const QString &DecimalPoint);
// Makes the system locale's format the program's.
void UseSystemRegionalFormat();
