#pragma once
// The user's regional format: every date, time and number text goes through it.

#include <string>

// Patterns know d, dd, M, MM, yy, yyyy, h, hh, H, HH, m, mm, s, ss and literal characters.
struct TFormatSettings {
    std::string ShortDateFormat = "dd.MM.yyyy";
    std::string LongTimeFormat = "HH:mm:ss";
    char DateSeparator = '.';
    char TimeSeparator = ':';
    char DecimalSeparator = ',';
};

const TFormatSettings &FormatSettings();
void SetFormatSettings(const TFormatSettings &Settings);
TFormatSettings GermanFormatSettings();
