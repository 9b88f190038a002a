#pragma once
// Time and text functions shared by the model, the file, the windows, export and print.
// Text is 8-bit (Windows-1252 bytes in std::string); see Cp1252ToUtf16 / Utf16ToCp1252.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Days since 1899-12-30 00:00, local wall-clock time; the fraction is the time of day.
using TDateTime = double;
using TStringArray = std::vector<std::string>;
using TStringList = std::vector<std::string>;

constexpr double SecsPerDay = 86400.0;

enum TFieldType : int {
    ftString = 0,
    ftBoolean = 1,
    ftInteger = 2,
    ftFloat = 3,
    ftDateTime = 4,
};

// The user's regional format: every date, time and number text goes through it.
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

// --- Clock -------------------------------------------------------------------------------
// The current local time; tests replace the source. An empty function restores the system clock.
TDateTime Now();
void SetClock(std::function<TDateTime()> Source);

// --- Date-time primitives ----------------------------------------------------------------
// A document holds times from 0001-01-01 00:00 to 9999-12-31 23:59:59.999 (the file's stamp
// has four digits for the year). The functions below take any double: NaN decodes as day 0
// and times beyond those years as the nearest end of them.
bool IsStorableDateTime(TDateTime T);
double SecondsApart(TDateTime A, TDateTime B);
TDateTime AddSeconds(TDateTime T, int64_t N);
TDateTime RecodeMilliSecond(TDateTime T, int MilliSecond);
bool TryEncodeDateTime(int Year, int Month, int Day, int Hour, int Minute, int Second,
                       int MilliSecond, TDateTime &Result);
// Asserts valid parts; use TryEncodeDateTime for user data.
TDateTime EncodeDateTime(int Year, int Month, int Day, int Hour, int Minute, int Second,
                         int MilliSecond = 0);
void DecodeDateTime(TDateTime T, int &Year, int &Month, int &Day, int &Hour, int &Minute,
                    int &Second, int &MilliSecond);
int CompareDateTime(TDateTime A, TDateTime B);
bool IsValidDate(int Year, int Month, int Day);

// Short date, a space and the long time; the time is left out at exactly midnight.
std::string DateTimeText(TDateTime T);
std::string DateText(TDateTime T);
std::string TimeText(TDateTime T);
// Parses what DateTimeText writes (also a date alone, or a time alone for today's date 0).
bool TryTextToDateTime(const std::string &S, TDateTime &Result);

// --- Durations ---------------------------------------------------------------------------
// Whole seconds between the two times (in either order), halves rounded to even; at most the
// span of the storable years.
int64_t DurationSeconds(TDateTime EndTime, TDateTime StartTime);
void DurationHMS(TDateTime EndTime, TDateTime StartTime, int32_t &Hours, int32_t &Minutes,
                 int32_t &Seconds);
// h..h:mm:ss, hours unwrapped.
std::string ClockText(int64_t Hours, int64_t Minutes, int64_t Seconds);
std::string DurationClockText(TDateTime EndTime, TDateTime StartTime);
// "H Std, M Min, S Sec" for the running measurement.
std::string DurationText(TDateTime EndTime, TDateTime StartTime);
// "H Std, M Min, S Sek" of a count of seconds (not negative), hours unwrapped: net times and
// sums of durations.
std::string SecondsText(int64_t Seconds);

// --- File stamp ----------------------------------------------------------------------------
std::string EncodeStamp(TDateTime T);
// Empties S when it holds no valid stamp; the result is then meaningless.
TDateTime DecodeStamp(std::string &S);

// --- Numbers -----------------------------------------------------------------------------
std::string PadNum(int64_t N, int Width, char Fill);
bool TryStrToInt32(const std::string &S, int32_t &Result);
// Uses the regional decimal separator.
bool TryStrToFloat(const std::string &S, double &Result);
std::string FloatToText(double Value);

bool IsValidFieldValue(const std::string &Value, int FieldType);

// --- Strings -----------------------------------------------------------------------------
// Lower-cases A to Z only.
std::string LowerCase(std::string S);
bool SameText(const std::string &A, const std::string &B);
bool ContainsText(const std::string &LowerHaystack, const std::string &LowerNeedle);

void ReplaceText(std::string &S, const std::string &Find, const std::string &Replacement,
                 bool CaseSensitive);
void ReplaceInLines(TStringList &Lines, const std::string &Find, const std::string &Replacement,
                    bool CaseSensitive);
void SplitToLines(const std::string &Text, char Separator, TStringList &Lines);
void SplitToArray(const std::string &Text, char Separator, TStringArray &Parts);
void RemoveBlank(TStringArray &Parts);
std::string GetToken(const std::string &S, char Separator, int N);
int IndexOfText(const std::string &S, const TStringArray &Items);

// Measures text for WrapText; the printed report passes its canvas.
class TTextMeasurer {
public:
    virtual ~TTextMeasurer() = default;
    virtual double TextWidth(const std::string &Text) = 0;
};
void WrapText(const std::string &Text, double MaxWidth, TTextMeasurer &Canvas, TStringList &Lines);

// --- 8-bit text ----------------------------------------------------------------------------
// Windows-1252 <-> UTF-16. 16->8 maps 0..255 to the same byte, the other Windows-1252
// characters to their bytes and anything else to '?'.
std::u16string Cp1252ToUtf16(const std::string &S);
std::string Utf16ToCp1252(const std::u16string &S);
std::string Cp1252ToUtf8(const std::string &S);
std::string Utf8ToCp1252(const std::string &S);
// A file name as the system spells it in bytes (UTF-8 here, the ANSI code page on Windows) as
// the document's Windows-1252 text ('?' for what the code page lacks), and the other way.
std::string FileNameToText(const std::string &FileName);
std::string TextToFileName(const std::string &Text);
char16_t Cp1252CharToUtf16(unsigned char C);
