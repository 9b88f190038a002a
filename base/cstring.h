#pragma once
// String helpers on 8-bit text (Windows-1252 bytes in std::string, see base/cp1252.h).

#include <string>
#include <vector>

using TStringArray = std::vector<std::string>;
using TStringList = std::vector<std::string>;

// Lower-cases A to Z only.
std::string LowerCase(std::string S);
bool SameText(const std::string &A, const std::string &B);
bool ContainsText(const std::string &LowerHaystack, const std::string &LowerNeedle);

// What Trim removes from either end: blanks and control characters (every byte up to the
// space), or the space alone, as numbers and dates are read.
enum class TTrim { Blanks, Spaces };
std::string Trim(const std::string &S, TTrim What = TTrim::Blanks);

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
