#include "base/cstring.h"

#include "base/ckassert.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>

namespace {

TFormatSettings &MutableFormat() {
    static TFormatSettings settings;
    return settings;
}

std::function<TDateTime()> &ClockSource() {
    static std::function<TDateTime()> source;
    return source;
}

constexpr int64_t MSecsPerDay = 86400000;

// Days from 1970-01-01 for a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int &y, int &m, int &d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t yy = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

// 1899-12-30 is day 0 of TDateTime.
const int64_t DelphiEpochOffset = DaysFromCivil(1899, 12, 30);

// The storable times in milliseconds from day 0: exact in a double, far inside int64_t.
constexpr double MinMSecs = -693593.0 * MSecsPerDay;
constexpr double MaxMSecs = 2958466.0 * MSecsPerDay - 1;

// T rounded to the millisecond; NaN counts as day 0 and anything beyond the storable years
// as their nearest end, so every time decodes to a real date and no conversion overflows.
int64_t PinnedMSecs(TDateTime T) {
    const double total = std::round(T * MSecsPerDay);
    if (std::isnan(total))
        return 0;
    return static_cast<int64_t>(std::clamp(total, MinMSecs, MaxMSecs));
}

// Splits T into whole days and milliseconds of the day, rounding to the millisecond.
void SplitDateTime(TDateTime T, int64_t &Days, int64_t &MSecs) {
    const int64_t ms = PinnedMSecs(T);
    Days = ms >= 0 ? ms / MSecsPerDay : -((-ms + MSecsPerDay - 1) / MSecsPerDay);
    MSecs = ms - Days * MSecsPerDay;
}

bool IsLeapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Writes a date or time pattern; unknown letters stand for themselves.
std::string FormatPattern(const std::string &Pattern, int Y, int Mo, int D, int H, int Mi, int S) {
    std::string out;
    for (size_t i = 0; i < Pattern.size();) {
        const char c = Pattern[i];
        size_t n = 1;
        while (i + n < Pattern.size() && Pattern[i + n] == c)
            ++n;
        auto num = [&](int v, int width) { out += PadNum(v, width, '0'); };
        switch (c) {
        case 'd':
            num(D, n >= 2 ? 2 : 1);
            break;
        case 'M':
            num(Mo, n >= 2 ? 2 : 1);
            break;
        case 'y':
            n >= 3 ? num(Y, 4) : num(Y % 100, 2);
            break;
        case 'H':
        case 'h':
            num(H, n >= 2 ? 2 : 1);
            break;
        case 'm':
            num(Mi, n >= 2 ? 2 : 1);
            break;
        case 's':
            num(S, n >= 2 ? 2 : 1);
            break;
        default:
            out.append(n, c);
            break;
        }
        i += n;
    }
    return out;
}

// Reads the pieces of S between separators, each a number of one to nine digits. Fails for an
// empty piece (a separator at either end or two in a row) and for any other character.
bool ReadPieces(const std::string &S, char Separator, std::vector<int> &Numbers,
                std::vector<size_t> &Widths) {
    Numbers.clear();
    Widths.clear();
    size_t start = 0;
    for (;;) {
        size_t end = S.find(Separator, start);
        if (end == std::string::npos)
            end = S.size();
        const size_t width = end - start;
        if (width == 0 || width > 9)
            return false;
        int v = 0;
        for (size_t i = start; i < end; ++i) {
            if (!IsDigit(S[i]))
                return false;
            v = v * 10 + (S[i] - '0');
        }
        Numbers.push_back(v);
        Widths.push_back(width);
        if (end == S.size())
            return true;
        start = end + 1;
    }
}

// Order of day, month and year in the short date pattern.
std::string DateOrder(const std::string &Pattern) {
    std::string order;
    for (char c : Pattern) {
        const char k = c == 'd' ? 'd' : c == 'M' ? 'm' : c == 'y' ? 'y' : 0;
        if (k && order.find(k) == std::string::npos)
            order += k;
    }
    return order.size() == 3 ? order : "dmy";
}

bool ParseTimePart(const std::string &S, int &H, int &Mi, int &Sec) {
    std::vector<int> n;
    std::vector<size_t> widths;
    if (!ReadPieces(S, FormatSettings().TimeSeparator, n, widths) || n.size() < 2 || n.size() > 3)
        return false;
    H = n[0];
    Mi = n[1];
    Sec = n.size() == 3 ? n[2] : 0;
    return H < 24 && Mi < 60 && Sec < 60;
}

// Exactly three pieces of digits in the order of the short date pattern.
bool ParseDatePart(const std::string &S, int &Y, int &Mo, int &D) {
    std::vector<int> n;
    std::vector<size_t> widths;
    if (!ReadPieces(S, FormatSettings().DateSeparator, n, widths) || n.size() != 3)
        return false;
    const std::string order = DateOrder(FormatSettings().ShortDateFormat);
    for (size_t i = 0; i < 3; ++i) {
        if (order[i] == 'd')
            D = n[i];
        else if (order[i] == 'm')
            Mo = n[i];
        else
            Y = n[i];
    }
    // Two-digit years fall into 1950..2049.
    if (widths[order.find('y')] <= 2)
        Y += Y < 50 ? 2000 : 1900;
    return IsValidDate(Y, Mo, D);
}

const char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char CodePointToCp1252(char32_t C) {
    if (C < 256)
        return static_cast<char>(C);
    for (int i = 0; i < 32; ++i)
        if (Cp1252High[i] == C)
            return static_cast<char>(0x80 + i);
    return '?';
}

void AppendUtf8(std::string &Out, char32_t C) {
    if (C < 0x80) {
        Out += static_cast<char>(C);
    } else if (C < 0x800) {
        Out += static_cast<char>(0xC0 | (C >> 6));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
        Out += static_cast<char>(0xE0 | (C >> 12));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | (C >> 18));
        Out += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    }
}

} // namespace

// --- Format and clock ----------------------------------------------------------------------

const TFormatSettings &FormatSettings() {
    return MutableFormat();
}
void SetFormatSettings(const TFormatSettings &Settings) {
    MutableFormat() = Settings;
}
TFormatSettings GermanFormatSettings() {
    return TFormatSettings{};
}

TDateTime Now() {
    if (ClockSource())
        return ClockSource()();
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    const int ms =
        static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm local{};
    localtime_r(&secs, &local);
    return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                          local.tm_min, std::min(local.tm_sec, 59), ms);
}

void SetClock(std::function<TDateTime()> Source) {
    ClockSource() = std::move(Source);
}

// --- Date-time primitives ----------------------------------------------------------------

bool IsStorableDateTime(TDateTime T) {
    const double total = std::round(T * MSecsPerDay);
    return total >= MinMSecs && total <= MaxMSecs; // false for NaN
}

double SecondsApart(TDateTime A, TDateTime B) {
    return std::fabs(A - B) * SecsPerDay;
}

TDateTime AddSeconds(TDateTime T, int64_t N) {
    return (T * SecsPerDay + static_cast<double>(N)) / SecsPerDay;
}

TDateTime RecodeMilliSecond(TDateTime T, int MilliSecond) {
    int64_t days, ms;
    SplitDateTime(T, days, ms);
    const int64_t whole = ms / 1000 * 1000 + MilliSecond;
    return static_cast<double>(days) + static_cast<double>(whole) / MSecsPerDay;
}

bool IsValidDate(int Year, int Month, int Day) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1)
        return false;
    const int max = Month == 2 && IsLeapYear(Year) ? 29 : days[Month - 1];
    return Day <= max;
}

bool TryEncodeDateTime(int Year, int Month, int Day, int Hour, int Minute, int Second,
                       int MilliSecond, TDateTime &Result) {
    if (!IsValidDate(Year, Month, Day) || Hour < 0 || Hour > 23 || Minute < 0 || Minute > 59 ||
        Second < 0 || Second > 59 || MilliSecond < 0 || MilliSecond > 999)
        return false;
    const int64_t days = DaysFromCivil(Year, Month, Day) - DelphiEpochOffset;
    const int64_t ms = ((Hour * 60 + Minute) * 60 + Second) * 1000LL + MilliSecond;
    Result = static_cast<double>(days) + static_cast<double>(ms) / MSecsPerDay;
    return true;
}

TDateTime EncodeDateTime(int Year, int Month, int Day, int Hour, int Minute, int Second,
                         int MilliSecond) {
    TDateTime result = 0;
    const bool ok = TryEncodeDateTime(Year, Month, Day, Hour, Minute, Second, MilliSecond, result);
    CK_ASSERT(ok, return 0);
    return result;
}

void DecodeDateTime(TDateTime T, int &Year, int &Month, int &Day, int &Hour, int &Minute,
                    int &Second, int &MilliSecond) {
    int64_t days, ms;
    SplitDateTime(T, days, ms);
    CivilFromDays(days + DelphiEpochOffset, Year, Month, Day);
    MilliSecond = static_cast<int>(ms % 1000);
    Second = static_cast<int>(ms / 1000 % 60);
    Minute = static_cast<int>(ms / 60000 % 60);
    Hour = static_cast<int>(ms / 3600000);
}

int CompareDateTime(TDateTime A, TDateTime B) {
    const double diff = (A - B) * MSecsPerDay;
    if (std::fabs(diff) < 1.0)
        return 0;
    return diff < 0 ? -1 : 1;
}

std::string DateText(TDateTime T) {
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(T, y, mo, d, h, mi, s, ms);
    return FormatPattern(FormatSettings().ShortDateFormat, y, mo, d, h, mi, s);
}

std::string TimeText(TDateTime T) {
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(T, y, mo, d, h, mi, s, ms);
    return FormatPattern(FormatSettings().LongTimeFormat, y, mo, d, h, mi, s);
}

std::string DateTimeText(TDateTime T) {
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(T, y, mo, d, h, mi, s, ms);
    std::string text = FormatPattern(FormatSettings().ShortDateFormat, y, mo, d, h, mi, s);
    if (h != 0 || mi != 0 || s != 0 || ms != 0)
        text += ' ' + FormatPattern(FormatSettings().LongTimeFormat, y, mo, d, h, mi, s);
    return text;
}

bool TryTextToDateTime(const std::string &S, TDateTime &Result) {
    size_t b = 0, e = S.size();
    while (b < e && S[b] == ' ')
        ++b;
    while (e > b && S[e - 1] == ' ')
        --e;
    const std::string text = S.substr(b, e - b);
    if (text.empty())
        return false;
    const size_t space = text.find(' ');
    std::string datePart = space == std::string::npos ? text : text.substr(0, space);
    std::string timePart;
    if (space != std::string::npos) {
        size_t t = space;
        while (t < text.size() && text[t] == ' ')
            ++t;
        timePart = text.substr(t);
    }
    int y = 1899, mo = 12, d = 30, h = 0, mi = 0, sec = 0;
    const bool looksLikeTime =
        timePart.empty() && datePart.find(FormatSettings().TimeSeparator) != std::string::npos;
    if (looksLikeTime) {
        if (!ParseTimePart(datePart, h, mi, sec))
            return false;
    } else {
        if (!ParseDatePart(datePart, y, mo, d))
            return false;
        if (!timePart.empty() && !ParseTimePart(timePart, h, mi, sec))
            return false;
    }
    return TryEncodeDateTime(y, mo, d, h, mi, sec, 0, Result);
}

// --- Durations ---------------------------------------------------------------------------

int64_t DurationSeconds(TDateTime EndTime, TDateTime StartTime) {
    // The subtraction of two day counts leaves noise (59.5 s comes out as 59.4999...): settle
    // it at the millisecond first. nearbyint then rounds halves to the even neighbour.
    double apart = std::round(SecondsApart(EndTime, StartTime) * 1000.0) / 1000.0;
    // No two storable times lie further apart; NaN and beyond are pinned so the cast is defined.
    constexpr double MaxSpan = (MaxMSecs - MinMSecs) / 1000.0;
    apart = std::isnan(apart) ? 0.0 : std::min(apart, MaxSpan);
    return static_cast<int64_t>(std::nearbyint(apart));
}

void DurationHMS(TDateTime EndTime, TDateTime StartTime, int32_t &Hours, int32_t &Minutes,
                 int32_t &Seconds) {
    const int64_t secs = DurationSeconds(EndTime, StartTime);
    Hours = static_cast<int32_t>(secs / 3600);
    Minutes = static_cast<int32_t>(secs / 60 % 60);
    Seconds = static_cast<int32_t>(secs % 60);
}

std::string ClockText(int64_t Hours, int64_t Minutes, int64_t Seconds) {
    return PadNum(Hours, 2, '0') + ":" + PadNum(Minutes, 2, '0') + ":" + PadNum(Seconds, 2, '0');
}

std::string DurationClockText(TDateTime EndTime, TDateTime StartTime) {
    int32_t h, m, s;
    DurationHMS(EndTime, StartTime, h, m, s);
    return ClockText(h, m, s);
}

std::string DurationText(TDateTime EndTime, TDateTime StartTime) {
    int32_t h, m, s;
    DurationHMS(EndTime, StartTime, h, m, s);
    return std::to_string(h) + " Std, " + std::to_string(m) + " Min, " + std::to_string(s) + " Sec";
}

std::string SecondsText(int64_t Seconds) {
    return std::to_string(Seconds / 3600) + " Std, " + std::to_string(Seconds / 60 % 60) +
           " Min, " + std::to_string(Seconds % 60) + " Sek";
}

// --- File stamp ----------------------------------------------------------------------------

std::string EncodeStamp(TDateTime T) {
    int y, mo, d, h, mi, s, ms;
    // Milliseconds are dropped, never rounded up into the next second.
    DecodeDateTime(RecodeMilliSecond(T, 0), y, mo, d, h, mi, s, ms);
    return PadNum(y, 4, '0') + PadNum(mo, 2, '0') + PadNum(d, 2, '0') + PadNum(h, 2, '0') +
           PadNum(mi, 2, '0') + PadNum(s, 2, '0');
}

TDateTime DecodeStamp(std::string &S) {
    static const int widths[6] = {4, 2, 2, 2, 2, 2};
    int parts[6];
    size_t pos = 0;
    for (int i = 0; i < 6; ++i) {
        if (pos + widths[i] > S.size() || !TryStrToInt32(S.substr(pos, widths[i]), parts[i])) {
            S.clear();
            return 0;
        }
        pos += widths[i];
    }
    TDateTime result = 0;
    if (!TryEncodeDateTime(parts[0], parts[1], parts[2], parts[3], parts[4], parts[5], 0, result))
        S.clear();
    return result;
}

// --- Numbers -----------------------------------------------------------------------------

std::string PadNum(int64_t N, int Width, char Fill) {
    std::string text = std::to_string(N);
    if (static_cast<int>(text.size()) < Width)
        text.insert(0, Width - text.size(), Fill);
    return text;
}

bool TryStrToInt32(const std::string &S, int32_t &Result) {
    size_t i = 0;
    while (i < S.size() && S[i] == ' ')
        ++i;
    bool negative = false;
    if (i < S.size() && (S[i] == '-' || S[i] == '+'))
        negative = S[i++] == '-';
    int base = 10;
    if (i < S.size() && S[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < S.size() && S[i] == '0' && (S[i + 1] == 'x' || S[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == S.size())
        return false;
    int64_t v = 0;
    for (; i < S.size(); ++i) {
        const char c = S[i];
        int digit;
        if (IsDigit(c))
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        v = v * base + digit;
        if (v > 0x100000000LL)
            return false;
    }
    if (negative)
        v = -v;
    if (base == 10 && (v < INT32_MIN || v > INT32_MAX))
        return false;
    if (base == 16 && (v < INT32_MIN || v > 0xFFFFFFFFLL))
        return false;
    Result = static_cast<int32_t>(static_cast<uint32_t>(v));
    return true;
}

bool TryStrToFloat(const std::string &S, double &Result) {
    size_t b = 0, e = S.size();
    while (b < e && S[b] == ' ')
        ++b;
    while (e > b && S[e - 1] == ' ')
        --e;
    if (b == e)
        return false;
    // Rewrite into the C locale's form and make sure strtod consumed all of it.
    std::string text;
    bool digits = false, point = false, exponent = false;
    for (size_t i = b; i < e; ++i) {
        const char c = S[i];
        if (IsDigit(c)) {
            digits = true;
            text += c;
        } else if (c == FormatSettings().DecimalSeparator && !point && !exponent) {
            point = true;
            text += '.';
        } else if ((c == 'e' || c == 'E') && digits && !exponent) {
            exponent = true;
            text += 'e';
            if (i + 1 < e && (S[i + 1] == '+' || S[i + 1] == '-'))
                text += S[++i];
            if (i + 1 >= e)
                return false;
        } else if ((c == '+' || c == '-') && i == b) {
            text += c;
        } else {
            return false;
        }
    }
    if (!digits)
        return false;
    errno = 0;
    char *end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(v))
        return false;
    Result = v;
    return true;
}

std::string FloatToText(double Value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", Value);
    std::string text = buffer;
    for (char &c : text)
        if (c == '.')
            c = FormatSettings().DecimalSeparator;
    return text;
}

bool IsValidFieldValue(const std::string &Value, int FieldType) {
    if (Value.empty())
        return true;
    switch (FieldType) {
    case ftBoolean: {
        const std::string v = LowerCase(Value);
        return v == "true" || v == "1" || v == "false" || v == "0";
    }
    case ftInteger: {
        int32_t i;
        return TryStrToInt32(Value, i);
    }
    case ftFloat: {
        double d;
        return TryStrToFloat(Value, d);
    }
    case ftDateTime: {
        TDateTime t;
        return TryTextToDateTime(Value, t);
    }
    default:
        return true;
    }
}

// --- Strings -----------------------------------------------------------------------------

std::string LowerCase(std::string S) {
    for (char &c : S)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + ('a' - 'A'));
    return S;
}

bool SameText(const std::string &A, const std::string &B) {
    if (A.size() != B.size())
        return false;
    for (size_t i = 0; i < A.size(); ++i) {
        char a = A[i], b = B[i];
        if (a >= 'A' && a <= 'Z')
            a = static_cast<char>(a + 32);
        if (b >= 'A' && b <= 'Z')
            b = static_cast<char>(b + 32);
        if (a != b)
            return false;
    }
    return true;
}

bool ContainsText(const std::string &LowerHaystack, const std::string &LowerNeedle) {
    return !LowerNeedle.empty() && LowerHaystack.find(LowerNeedle) != std::string::npos;
}

namespace {

// ReplaceText works on the text as a rewritten front part followed by the rest of the original
// text, which no replacement has touched yet. Both parts are also kept as searched (lower-cased
// when case does not count).
class TReplacement {
public:
    TReplacement(const std::string &S, const std::string &Find, const std::string &Replacement,
                 bool CaseSensitive)
        : Source(S), Replacement(Replacement), Key(CaseSensitive ? S : LowerCase(S)),
          Find(CaseSensitive ? Find : LowerCase(Find)),
          ReplacementKey(CaseSensitive ? Replacement : LowerCase(Replacement)) {}

    // Whether the replacement holds the searched text, so that searching again from the start
    // could never end.
    bool FeedsItself() const { return ReplacementKey.find(Find) != std::string::npos; }

    // Replaces the first occurrence and searches again from the start, until none is left or
    // the work spent on occurrences that reach into rewritten text exceeds Budget. Returns
    // whether it ended within the budget.
    bool Restart(size_t Budget) { return Run(false, Budget); }
    // Replaces every occurrence of the original text once, left to right; this always ends.
    void Once() { Run(true, 0); }

    std::string Result() const { return Out + Source.substr(Rest); }

private:
    const std::string &Source, &Replacement;
    const std::string Key, Find, ReplacementKey;
    std::string Out, OutKey; // the rewritten front part
    size_t Rest = 0;         // Source[Rest..] is untouched

    static constexpr size_t None = std::string::npos;

    // The first occurrence at or after From in Out + Source[Rest..].
    size_t Search(size_t From) const {
        const size_t n = Out.size(), f = Find.size();
        if (From < n) {
            const size_t inside = OutKey.find(Find, From);
            if (inside != None)
                return inside;
            // Occurrences that begin in Out and end in the untouched rest.
            for (size_t i = std::max(From, n + 1 >= f ? n + 1 - f : 0); i < n; ++i) {
                const size_t k = n - i;
                if (Rest + (f - k) <= Key.size() && OutKey.compare(i, k, Find, 0, k) == 0 &&
                    Key.compare(Rest, f - k, Find, k, f - k) == 0)
                    return i;
            }
            From = n;
        }
        const size_t at = Key.find(Find, Rest + (From - n));
        return at == None ? None : n + (at - Rest);
    }

    bool Run(bool GoOnBehind, size_t Budget) {
        Out.clear();
        OutKey.clear();
        Rest = 0;
        const size_t f = Find.size(), r = Replacement.size();
        for (size_t pos = Search(0); pos != None;) {
            const size_t n = Out.size();
            if (pos >= n) {
                // In the untouched rest: copy what lies before it, then the replacement.
                const size_t at = Rest + (pos - n);
                Out.append(Source, Rest, at - Rest);
                OutKey.append(Key, Rest, at - Rest);
                Rest = at + f;
                Out += Replacement;
                OutKey += ReplacementKey;
            } else {
                // Formed together with rewritten text: only here can the text keep feeding
                // itself, and only while the replacement is not shorter than the searched text
                // (otherwise every step shortens it). Such steps pay for the text they shift.
                if (r >= f) {
                    const size_t cost = n - pos + r + f;
                    if (cost > Budget)
                        return false;
                    Budget -= cost;
                }
                if (pos + f <= n) {
                    Out.replace(pos, f, Replacement);
                    OutKey.replace(pos, f, ReplacementKey);
                } else {
                    Rest += pos + f - n;
                    Out.resize(pos);
                    OutKey.resize(pos);
                    Out += Replacement;
                    OutKey += ReplacementKey;
                }
            }
            // Again from the start: the text before pos is unchanged and held no occurrence, so
            // none can begin before pos - f + 1.
            pos = Search(GoOnBehind ? pos + r : (pos + 1 >= f ? pos + 1 - f : 0));
        }
        return true;
    }
};

} // namespace

// Every occurrence is replaced, and the text is searched again from the start after each
// replacement, as long as that ends. It ends for certain when the replacement is shorter than
// the searched text. Otherwise only an occurrence that reaches into an inserted replacement can
// keep it going (the rest of the text is original and consumed step by step); the work on such
// occurrences is limited in proportion to the text. Where that limit is reached, or the
// replacement holds the searched text itself so that no end is possible, each occurrence of
// the text as given is replaced once, left to right, instead.
void ReplaceText(std::string &S, const std::string &Find, const std::string &Replacement,
                 bool CaseSensitive) {
    if (Find.empty())
        return;
    TReplacement work(S, Find, Replacement, CaseSensitive);
    const size_t budget = 16 * (S.size() + Find.size() + Replacement.size()) + 4096;
    if (work.FeedsItself() || !work.Restart(budget))
        work.Once();
    S = work.Result();
}

void ReplaceInLines(TStringList &Lines, const std::string &Find, const std::string &Replacement,
                    bool CaseSensitive) {
    for (size_t i = Lines.size(); i-- > 0;)
        ReplaceText(Lines[i], Find, Replacement, CaseSensitive);
}

void SplitToLines(const std::string &Text, char Separator, TStringList &Lines) {
    Lines.clear();
    size_t start = 0;
    for (size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == Separator) {
            Lines.push_back(Text.substr(start, i - start));
            start = i + 1;
        }
    }
    if (start < Text.size())
        Lines.push_back(Text.substr(start));
}

void SplitToArray(const std::string &Text, char Separator, TStringArray &Parts) {
    Parts.clear();
    size_t start = 0;
    for (size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == Separator) {
            Parts.push_back(Text.substr(start, i - start));
            start = i + 1;
        }
    }
    Parts.push_back(Text.substr(start));
}

void RemoveBlank(TStringArray &Parts) {
    std::erase_if(Parts, [](const std::string &part) {
        for (unsigned char c : part)
            if (c >= 33)
                return false;
        return true;
    });
}

std::string GetToken(const std::string &S, char Separator, int N) {
    if (N < 1)
        return {};
    size_t start = 0;
    for (int i = 1; i < N; ++i) {
        const size_t sep = S.find(Separator, start);
        if (sep == std::string::npos)
            return {};
        start = sep + 1;
    }
    const size_t end = S.find(Separator, start);
    return S.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

int IndexOfText(const std::string &S, const TStringArray &Items) {
    for (size_t i = 0; i < Items.size(); ++i)
        if (Items[i] == S)
            return static_cast<int>(i);
    return -1;
}

void WrapText(const std::string &Text, double MaxWidth, TTextMeasurer &Canvas, TStringList &Lines) {
    if (Text.empty())
        return;
    const double spaceWidth = Canvas.TextWidth(" ");
    double lineWidth = 0, wordWidth = 0;
    std::string line, word;
    auto endWord = [&] {
        if (word.empty())
            return;
        if (lineWidth + wordWidth + spaceWidth > MaxWidth) {
            if (!line.empty())
                Lines.push_back(line);
            line = word;
            lineWidth = wordWidth;
        } else {
            if (!line.empty())
                line += ' ';
            line += word;
            lineWidth += wordWidth + spaceWidth;
        }
        word.clear();
        wordWidth = 0;
    };
    for (unsigned char c : Text) {
        if (c < 33) {
            endWord();
        } else {
            word += static_cast<char>(c);
            wordWidth += Canvas.TextWidth(std::string(1, static_cast<char>(c)));
        }
    }
    endWord();
    if (!line.empty())
        Lines.push_back(line);
}

// --- 8-bit text ----------------------------------------------------------------------------

char16_t Cp1252CharToUtf16(unsigned char C) {
    return C >= 0x80 && C < 0xA0 ? Cp1252High[C - 0x80] : static_cast<char16_t>(C);
}

std::u16string Cp1252ToUtf16(const std::string &S) {
    std::u16string out;
    out.reserve(S.size());
    for (unsigned char c : S)
        out += Cp1252CharToUtf16(c);
    return out;
}

std::string Utf16ToCp1252(const std::u16string &S) {
    std::string out;
    out.reserve(S.size());
    for (size_t i = 0; i < S.size(); ++i) {
        const char16_t c = S[i];
        // A surrogate pair is one character outside the code page: one '?'.
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < S.size() && S[i + 1] >= 0xDC00 &&
            S[i + 1] < 0xE000)
            ++i;
        out += CodePointToCp1252(c);
    }
    return out;
}

std::string Cp1252ToUtf8(const std::string &S) {
    std::string out;
    out.reserve(S.size() + S.size() / 8);
    for (unsigned char c : S)
        AppendUtf8(out, Cp1252CharToUtf16(c));
    return out;
}

std::string Utf8ToCp1252(const std::string &S) {
    std::string out;
    out.reserve(S.size());
    for (size_t i = 0; i < S.size();) {
        const unsigned char c = static_cast<unsigned char>(S[i]);
        int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        char32_t cp = len == 1 ? c : len == 2 ? c & 0x1F : len == 3 ? c & 0x0F : c & 0x07;
        bool ok = len > 0 && i + len <= S.size();
        for (int k = 1; ok && k < len; ++k) {
            const unsigned char cc = static_cast<unsigned char>(S[i + k]);
            ok = (cc & 0xC0) == 0x80;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (!ok) {
            // Not UTF-8: keep the byte as it stands (it is most likely already 8-bit text).
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        out += CodePointToCp1252(cp);
        i += len;
    }
    return out;
}

std::string FileNameToText(const std::string &FileName) {
#ifdef _WIN32
    return FileName;
#else
    return Utf8ToCp1252(FileName);
#endif
}

std::string TextToFileName(const std::string &Text) {
#ifdef _WIN32
    return Text;
#else
    return Cp1252ToUtf8(Text);
#endif
}
