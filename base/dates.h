#pragma once
// Points in time: encoding and decoding, their texts in the regional format, the file's stamp.

#include <cstdint>
#include <string>

// Days since 1899-12-30 00:00, local wall-clock time; the fraction is the time of day.
using TDateTime = double;

constexpr double SecsPerDay = 86400.0;

// A document holds times from 0001-01-01 00:00 to 9999-12-31 23:59:59.999 (the file's stamp
// has four digits for the year). The functions below take any double: NaN decodes as day 0
// and times beyond those years as the nearest end of them.
// Those times in milliseconds from day 0: exact in a double, far inside int64_t.
inline constexpr double MinStorableMSecs = -693593.0 * 86400000;
inline constexpr double MaxStorableMSecs = 2958466.0 * 86400000 - 1;

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

// The file's stamp: yyyymmddhhmmss.
std::string EncodeStamp(TDateTime T);
// Empties S when it holds no valid stamp; the result is then meaningless.
TDateTime DecodeStamp(std::string &S);
