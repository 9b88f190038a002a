#pragma once
// Filling a template's placeholders for many value sets. Where the placeholders stand in each
// line is worked out once per template; every value set is then filled in with one pass over
// the line, with the same result as replacing the placeholders one after the other with
// ReplaceText (case-insensitive) would give.

#include "base/cstring.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The escaping variants of a text placeholder, "$name:csv$" and so on: the value written as the
// file format needs it. Plain placeholders keep the value as it is.
enum class TEscape { None, Csv, Html, Ics, Json };
struct TEscapeSuffix {
    const char *Suffix; // as it follows the name inside the '$', lower case
    TEscape Escape;
};
inline constexpr TEscapeSuffix EscapeSuffixes[] = {{":csv", TEscape::Csv},
                                                   {":html", TEscape::Html},
                                                   {":ics", TEscape::Ics},
                                                   {":json", TEscape::Json}};

// Value (Windows-1252) as the variant writes it:
// Csv  in double quotes, each quote doubled, line breaks kept (whatever the separator);
// Html & < > " ' $ as references, each line break (CR LF, CR, LF) as <br>;
// Ics  RFC 5545 TEXT: backslash, ';' and ',' escaped, each line break as \n, other control
//      characters but tab dropped, and the whole in UTF-8, the calendar's character set;
// Json the body of a JSON string in ASCII: quote and backslash escaped, control characters,
//      '$' and every character past ASCII as \uXXXX of its Unicode code point.
// A '$' that Html and Json write as a reference cannot form a placeholder replaced later.
std::string EscapeValue(std::string_view Value, TEscape Escape);

// Appends Line folded as an iCalendar content line: pieces of at most 75 octets, each after the
// first starting with a space (written with CR LF, that is CR LF + space). A cut never falls
// before a UTF-8 continuation byte, so a character of the escaped text stays whole.
void FoldContentLine(const std::string &Line, TStringList &Out);
inline constexpr size_t ContentLineOctets = 75;

class TPlaceholderPlan {
public:
    // No lines: Fill appends nothing.
    TPlaceholderPlan() = default;
    // Finds: the placeholders in the order they are replaced, each "$name$" in lower case.
    TPlaceholderPlan(const TStringList &Lines, const std::vector<std::string> &Finds);

    // Whether Finds[Find] stands in a line of the template as it is; the values of the others
    // are never read.
    bool Uses(size_t Find) const { return Find < FUsed.size() && FUsed[Find]; }

    // Appends the lines with Values[i] in place of Finds[i] to Out, adds their bytes to Bytes
    // and returns true. Returns false, appending nothing, where the result could differ from
    // the one-after-the-other replacement: a used value holds '$' (it could form placeholders
    // with the text around it, or feed itself), or values join with the text around them into
    // a placeholder replaced later; and where a line could on the way grow past Budget. The
    // caller then replaces the values one after the other. Sizes count every line with the two
    // bytes of its line break.
    bool Fill(std::span<const std::string_view> Values, uint64_t Budget, TStringList &Out,
              uint64_t &Bytes) const;

private:
    static constexpr uint32_t Plain = UINT32_MAX;

    // A stretch of a template line: its text as it stands, or a placeholder.
    struct TPiece {
        uint32_t Find; // Plain for template text, else the index of the placeholder
        size_t Begin;  // in the template line
        size_t Size;   // the placeholder's own length for a placeholder
    };
    // The text between two '$' of a line that holds values once they are filled in. When it
    // then reads like the inside of a placeholder that is replaced after the values arrived,
    // that placeholder would take it, which one pass does not follow.
    struct TJoin {
        size_t Begin, End;           // after the one '$', before the next, in the template line
        size_t FirstPiece, EndPiece; // the placeholders inside lie in this range of Pieces
        size_t TextBytes;            // the text of the stretch besides those placeholders
        uint64_t Finds;              // bit i: compare with Finds[i]
    };
    struct TLine {
        std::string Text;
        std::vector<TPiece> Pieces;
        std::vector<TJoin> Joins;
    };

    void Plan(TLine &Line);
    bool Joins(const TLine &Line, std::span<const std::string_view> Values) const;

    bool FUsable = true; // every find is "$name$" without a '$' inside, and there are few
    std::vector<std::string> FFinds;
    std::vector<bool> FUsed;
    std::vector<TLine> FLines;
};
