#include "base/cstring.h"

#include <algorithm>

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

std::string Trim(const std::string &S, TTrim What) {
    const auto blank = [What](char C) {
        return What == TTrim::Spaces ? C == ' ' : static_cast<unsigned char>(C) <= ' ';
    };
    size_t from = 0, to = S.size();
    while (from < to && blank(S[from]))
        ++from;
    while (to > from && blank(S[to - 1]))
        --to;
    return S.substr(from, to - from);
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

// The pieces of SplitToArray without the empty one after a final separator (or of no text).
void SplitToLines(const std::string &Text, char Separator, TStringList &Lines) {
    SplitToArray(Text, Separator, Lines);
    if (Lines.back().empty())
        Lines.pop_back();
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
