#include "app/regionalformat.h"

#include "base/formatsettings.h"

#include <QLocale>

#include <algorithm>
#include <vector>

namespace {

// A run of one pattern letter, or literal text (Letter 0).
struct TToken {
    char16_t Letter = 0;
    int Count = 0;
    QString Literal;
};

bool IsAsciiLetter(QChar C) {
    return (C >= u'a' && C <= u'z') || (C >= u'A' && C <= u'Z');
}

// Qt's format language: letters stand for fields, text in single quotes and anything else is
// literal, and two single quotes are one.
std::vector<TToken> Tokenize(const QString &Format) {
    std::vector<TToken> tokens;
    auto literal = [&](QChar C) {
        if (tokens.empty() || tokens.back().Letter)
            tokens.push_back({});
        tokens.back().Literal += C;
    };
    for (qsizetype i = 0; i < Format.size();) {
        const QChar c = Format[i];
        if (c == u'\'') {
            if (i + 1 < Format.size() && Format[i + 1] == u'\'') {
                literal(c);
                i += 2;
                continue;
            }
            for (++i; i < Format.size(); ++i) {
                if (Format[i] == u'\'') {
                    if (i + 1 < Format.size() && Format[i + 1] == u'\'')
                        literal(Format[++i]);
                    else
                        break;
                } else {
                    literal(Format[i]);
                }
            }
            ++i;
        } else if (IsAsciiLetter(c)) {
            qsizetype n = 1;
            while (i + n < Format.size() && Format[i + n] == c)
                ++n;
            tokens.push_back({c.unicode(), static_cast<int>(n), {}});
            i += n;
        } else {
            literal(c);
            ++i;
        }
    }
    return tokens;
}

// The first character of the literal text between two fields that can separate numbers in
// 8-bit text: ASCII punctuation. Spaces would split date from time, and marks such as the
// right-to-left mark or the units of some languages cannot be read back.
char SeparatorBetween(const std::vector<TToken> &Tokens, size_t From, size_t To) {
    for (size_t i = From + 1; i < To; ++i)
        for (QChar c : Tokens[i].Literal)
            if (c.unicode() > 32 && c.unicode() < 127 && !c.isLetterOrNumber())
                return static_cast<char>(c.unicode());
    return 0;
}

struct TField {
    char Kind; // 'd', 'M', 'y', 'H', 'm', 's'
    int Width;
    size_t Token;
};

// The fields of a format in order, each kind once; names of days and months, AM/PM markers,
// milliseconds and time zones are left out.
std::vector<TField> Fields(const std::vector<TToken> &Tokens) {
    std::vector<TField> fields;
    for (size_t i = 0; i < Tokens.size(); ++i) {
        const TToken &t = Tokens[i];
        char kind = 0;
        switch (t.Letter) {
        case u'd':
            kind = t.Count <= 2 ? 'd' : 0; // three or four: the name of the weekday
            break;
        case u'M':
        case u'y':
        case u'm':
        case u's':
            kind = static_cast<char>(t.Letter);
            break;
        case u'h':
        case u'H':
            kind = 'H';
            break;
        default:
            break;
        }
        bool seen = false;
        for (const TField &f : fields)
            seen = seen || f.Kind == kind;
        if (kind && !seen)
            fields.push_back({kind, std::min(t.Count, 2), i});
    }
    return fields;
}

bool HasKind(const std::vector<TField> &Fields, char Kind) {
    for (const TField &f : Fields)
        if (f.Kind == Kind)
            return true;
    return false;
}

} // namespace

TFormatSettings RegionalFormat(const QString &ShortDate, const QString &LongTime,
                               const QString &DecimalPoint) {
    TFormatSettings format = GermanFormatSettings();

    // Day, month and year in the locale's order and widths. A month name becomes its number,
    // and the year always gets four digits: two would lose the century when read back.
    const std::vector<TToken> dateTokens = Tokenize(ShortDate);
    std::vector<TField> date = Fields(dateTokens);
    std::erase_if(date,
                  [](const TField &f) { return f.Kind != 'd' && f.Kind != 'M' && f.Kind != 'y'; });
    const char dateSeparator =
        date.size() == 3 ? SeparatorBetween(dateTokens, date[0].Token, date[1].Token) : 0;
    if (dateSeparator) {
        std::string pattern;
        for (const TField &f : date) {
            if (!pattern.empty())
                pattern += dateSeparator;
            pattern.append(f.Kind == 'y' ? 4 : f.Width, f.Kind);
        }
        format.ShortDateFormat = pattern;
        format.DateSeparator = dateSeparator;
    }

    // Hours in the locale's width on the 24-hour clock (the program writes no AM/PM marker),
    // minutes and seconds with two digits, always with seconds: entries hold whole seconds.
    const std::vector<TToken> timeTokens = Tokenize(LongTime);
    const std::vector<TField> time = Fields(timeTokens);
    if (!time.empty() && time[0].Kind == 'H' && HasKind(time, 'm')) {
        const size_t minute = time[1].Kind == 'm' ? time[1].Token : timeTokens.size();
        char separator = SeparatorBetween(timeTokens, time[0].Token, minute);
        // A time separator equal to the date's would make a date alone look like a time.
        if (!separator || separator == format.DateSeparator)
            separator = format.DateSeparator == ':' ? '.' : ':';
        format.LongTimeFormat =
            std::string(time[0].Width, 'H') + separator + "mm" + separator + "ss";
        format.TimeSeparator = separator;
    }

    if (DecimalPoint.size() == 1) {
        const QChar c = DecimalPoint[0];
        if (c.unicode() > 32 && c.unicode() < 127 && !c.isLetterOrNumber())
            format.DecimalSeparator = static_cast<char>(c.unicode());
    }
    return format;
}

TFormatSettings RegionalFormat(const QLocale &Locale) {
    if (Locale.language() == QLocale::C)
        return GermanFormatSettings();
    return RegionalFormat(Locale.dateFormat(QLocale::ShortFormat),
                          Locale.timeFormat(QLocale::LongFormat), Locale.decimalPoint());
}

void UseSystemRegionalFormat() {
    SetFormatSettings(RegionalFormat(QLocale::system()));
}
