#include "base/dates.h"

#include "base/ckassert.h"
#include "base/cstring.h"
#include "base/formatsettings.h"
#include "base/numbers.h"

#include <algorithm>
#include <cmath>

namespace {

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

// T rounded to the millisecond; NaN counts as day 0 and anything beyond the storable years
// as their nearest end, so every time decodes to a real date and no conversion overflows.
int64_t PinnedMSecs(TDateTime T) {
    const double total = std::round(T * MSecsPerDay);
    if (std::isnan(total))
        return 0;
    return static_cast<int64_t>(std::clamp(total, MinStorableMSecs, MaxStorableMSecs));
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
} // namespace

bool IsStorableDateTime(TDateTime T) {
    const double total = std::round(T * MSecsPerDay);
    return total >= MinStorableMSecs && total <= MaxStorableMSecs; // false for NaN
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
    const std::string text = Trim(S, TTrim::Spaces);
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
