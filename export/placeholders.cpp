#include "export/placeholders.h"

#include "base/cp1252.h"

#include <algorithm>
#include <cstring>
#include <map>

// Why one pass can stand for the replacements one after the other: a value without '$' cannot
// begin or end a placeholder, since every placeholder begins and ends with '$' and holds none
// inside. A placeholder that takes in a value therefore stretches from one '$' of the line to
// the next, with the value and the text around it in between. Where no such stretch reads like
// the inside of a placeholder still to be replaced, every replacement takes exactly the
// placeholders that stood in the template text, left to right, and those are found once here.

namespace {

char Lower(char C) {
    return C >= 'A' && C <= 'Z' ? static_cast<char>(C + 32) : C;
}

// Whether Find (lower case) stands at Pos of Text, before End, in any case.
bool FindAt(const std::string &Text, size_t Pos, size_t End, const std::string &Find) {
    if (End - Pos < Find.size())
        return false;
    for (size_t i = 0; i < Find.size(); ++i)
        if (Lower(Text[Pos + i]) != Find[i])
            return false;
    return true;
}

bool IsPlaceholder(const std::string &Find) {
    return Find.size() >= 2 && Find.front() == '$' && Find.back() == '$' &&
           Find.find('$', 1) == Find.size() - 1;
}

} // namespace

TPlaceholderPlan::TPlaceholderPlan(const TStringList &Lines, const std::vector<std::string> &Finds)
    : FUsed(Finds.size(), false) {
    for (const std::string &find : Finds)
        FFinds.push_back(LowerCase(find));
    FUsable = Finds.size() <= 64 && std::all_of(FFinds.begin(), FFinds.end(), IsPlaceholder);
    if (!FUsable)
        return;
    FLines.reserve(Lines.size());
    for (const std::string &text : Lines) {
        FLines.push_back({text, {}, {}});
        Plan(FLines.back());
    }
}

void TPlaceholderPlan::Plan(TLine &Line) {
    const std::string &text = Line.Text;
    std::vector<TPiece> pieces{{Plain, 0, text.size()}}, next;
    std::map<std::pair<size_t, size_t>, uint64_t> joins; // [after a '$', before the next '$')
    for (size_t f = 0; f < FFinds.size(); ++f) {
        const std::string &find = FFinds[f];
        next.clear();
        for (const TPiece &piece : pieces) {
            if (piece.Find != Plain) {
                next.push_back(piece);
                continue;
            }
            const size_t end = piece.Begin + piece.Size;
            size_t copied = piece.Begin;
            for (size_t pos = copied; pos < end;) {
                const void *dollar = std::memchr(text.data() + pos, '$', end - pos);
                if (!dollar)
                    break;
                pos = static_cast<size_t>(static_cast<const char *>(dollar) - text.data());
                if (!FindAt(text, pos, end, find)) {
                    ++pos;
                    continue;
                }
                if (pos > copied)
                    next.push_back({Plain, copied, pos - copied});
                next.push_back({static_cast<uint32_t>(f), pos, find.size()});
                pos += find.size();
                copied = pos;
            }
            if (copied < end)
                next.push_back({Plain, copied, end - copied});
        }
        pieces.swap(next);

        // The stretches holding values now: this placeholder must not take them in, nor must
        // the next one, for which this is the text it searches. While this placeholder is
        // being replaced, left to right, its next occurrence still begins with a '$', which
        // closes the stretch before it.
        const uint64_t mask = (uint64_t{1} << f) | (f + 1 < FFinds.size() ? uint64_t{2} << f : 0);
        size_t lastDollar = std::string::npos;
        bool holdsValue = false;
        for (const TPiece &piece : pieces) {
            if (piece.Find != Plain) {
                if (piece.Find == f && holdsValue && lastDollar != std::string::npos)
                    joins[{lastDollar + 1, piece.Begin}] |= uint64_t{1} << f;
                holdsValue = true;
                continue;
            }
            for (size_t i = piece.Begin; i < piece.Begin + piece.Size; ++i) {
                if (text[i] != '$')
                    continue;
                if (holdsValue && lastDollar != std::string::npos)
                    joins[{lastDollar + 1, i}] |= mask;
                lastDollar = i;
                holdsValue = false;
            }
        }
    }

    for (const TPiece &piece : pieces)
        if (piece.Find != Plain)
            FUsed[piece.Find] = true;
    const auto byBegin = [](const TPiece &P, size_t At) { return P.Begin < At; };
    for (const auto &[range, finds] : joins) {
        TJoin join{};
        join.Begin = range.first;
        join.End = range.second;
        join.FirstPiece = static_cast<size_t>(
            std::lower_bound(pieces.begin(), pieces.end(), range.first, byBegin) - pieces.begin());
        join.EndPiece = static_cast<size_t>(
            std::lower_bound(pieces.begin(), pieces.end(), range.second, byBegin) - pieces.begin());
        join.TextBytes = range.second - range.first;
        for (size_t i = join.FirstPiece; i < join.EndPiece; ++i)
            if (pieces[i].Find != Plain)
                join.TextBytes -= pieces[i].Size;
        join.Finds = finds;
        Line.Joins.push_back(join);
    }
    Line.Pieces = std::move(pieces);
}

// Whether a stretch between two '$' reads like the inside of a placeholder it must not reach
// once the values stand in it.
bool TPlaceholderPlan::Joins(const TLine &Line, std::span<const std::string_view> Values) const {
    for (const TJoin &join : Line.Joins) {
        size_t size = join.TextBytes;
        for (size_t i = join.FirstPiece; i < join.EndPiece; ++i)
            if (Line.Pieces[i].Find != Plain)
                size += Values[Line.Pieces[i].Find].size();
        std::string inside; // made only for a stretch of a placeholder's length
        for (size_t f = 0; f < FFinds.size(); ++f) {
            if (!(join.Finds >> f & 1) || FFinds[f].size() != size + 2)
                continue;
            if (inside.empty())
                for (const TPiece &piece : Line.Pieces) {
                    const size_t from = std::max(piece.Begin, join.Begin);
                    const size_t to = std::min(piece.Begin + piece.Size, join.End);
                    if (from >= to)
                        continue;
                    if (piece.Find == Plain)
                        inside.append(Line.Text, from, to - from);
                    else
                        inside += Values[piece.Find];
                }
            if (FFinds[f].compare(1, size, LowerCase(inside)) == 0)
                return true;
        }
    }
    return false;
}

bool TPlaceholderPlan::Fill(std::span<const std::string_view> Values, uint64_t Budget,
                            TStringList &Out, uint64_t &Bytes) const {
    if (!FUsable || Values.size() < FFinds.size())
        return false;
    for (size_t f = 0; f < FFinds.size(); ++f)
        if (FUsed[f] && Values[f].find('$') != std::string_view::npos)
            return false;
    // On the way a line holds its template text, less the placeholders replaced so far, and
    // the values put in so far: never more than the text and all its values.
    uint64_t most = 0;
    for (const TLine &line : FLines) {
        if (Joins(line, Values))
            return false;
        most += line.Text.size() + 2;
        for (const TPiece &piece : line.Pieces)
            if (piece.Find != Plain)
                most += Values[piece.Find].size();
    }
    if (most > Budget)
        return false;
    for (const TLine &line : FLines) {
        size_t size = 0;
        for (const TPiece &piece : line.Pieces)
            size += piece.Find == Plain ? piece.Size : Values[piece.Find].size();
        std::string filled;
        filled.reserve(size);
        for (const TPiece &piece : line.Pieces)
            if (piece.Find == Plain)
                filled.append(line.Text, piece.Begin, piece.Size);
            else
                filled += Values[piece.Find];
        Bytes += filled.size() + 2;
        Out.push_back(std::move(filled));
    }
    return true;
}

namespace {

constexpr char HexDigits[] = "0123456789abcdef";

void AppendU16Escape(std::string &Out, char16_t C) {
    Out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        Out += HexDigits[(C >> shift) & 0xF];
}

// A line break of the value: CR LF, CR or LF, whose length it returns (0 for none).
size_t LineBreakAt(std::string_view Value, size_t Pos) {
    if (Value[Pos] == '\n')
        return 1;
    if (Value[Pos] != '\r')
        return 0;
    return Pos + 1 < Value.size() && Value[Pos + 1] == '\n' ? 2 : 1;
}

bool IsDroppedControl(unsigned char C) {
    return (C < 0x20 && C != '\t') || C == 0x7F;
}

// Appends Value with each line break as Break and every other character as Escape writes it.
template <typename EscapeFn>
void EscapeLines(std::string_view Value, const char *Break, std::string &Out, EscapeFn Escape) {
    for (size_t i = 0; i < Value.size(); ++i) {
        if (const size_t br = LineBreakAt(Value, i)) {
            Out += Break;
            i += br - 1;
        } else {
            Escape(Out, Value[i]);
        }
    }
}

} // namespace

std::string EscapeValue(std::string_view Value, TEscape Escape) {
    std::string out;
    out.reserve(Value.size() + 2);
    switch (Escape) {
    case TEscape::None:
        out = Value;
        break;
    case TEscape::Csv:
        out += '"';
        for (char c : Value) {
            if (c == '"')
                out += '"';
            out += c;
        }
        out += '"';
        break;
    case TEscape::Html:
        EscapeLines(Value, "<br>", out, [](std::string &Out, char C) {
            switch (C) {
            case '&':
                Out += "&amp;";
                break;
            case '<':
                Out += "&lt;";
                break;
            case '>':
                Out += "&gt;";
                break;
            case '"':
                Out += "&quot;";
                break;
            case '\'':
                Out += "&#39;";
                break;
            case '$':
                Out += "&#36;";
                break;
            default:
                if (!IsDroppedControl(static_cast<unsigned char>(C)))
                    Out += C;
            }
        });
        break;
    case TEscape::Ics:
        EscapeLines(Value, "\\n", out, [](std::string &Out, char C) {
            if (C == '\\' || C == ';' || C == ',')
                Out += '\\';
            if (!IsDroppedControl(static_cast<unsigned char>(C)))
                Out += C;
        });
        // Only ASCII was escaped, so converting afterwards converts the value's own text.
        out = Cp1252ToUtf8(out);
        break;
    case TEscape::Json:
        for (char c : Value) {
            const unsigned char u = static_cast<unsigned char>(c);
            if (c == '"' || c == '\\') {
                out += '\\';
                out += c;
            } else if (u < 0x20 || u >= 0x80 || c == '$') {
                AppendU16Escape(out, Cp1252CharToUtf16(u));
            } else {
                out += c;
            }
        }
        break;
    }
    return out;
}

void FoldContentLine(const std::string &Line, TStringList &Out) {
    size_t pos = 0, room = ContentLineOctets;
    while (Line.size() - pos > room) {
        size_t cut = pos + room;
        for (size_t back = 0;
             back < 3 && cut > pos + 1 && (static_cast<unsigned char>(Line[cut]) & 0xC0) == 0x80;
             ++back)
            --cut;
        Out.push_back((pos == 0 ? std::string() : std::string(" ")) + Line.substr(pos, cut - pos));
        pos = cut;
        room = ContentLineOctets - 1;
    }
    Out.push_back((pos == 0 ? std::string() : std::string(" ")) + Line.substr(pos));
}
