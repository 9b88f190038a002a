#include "base/numbers.h"

#include "base/cstring.h"
#include "base/formatsettings.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

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
    const std::string in = Trim(S, TTrim::Spaces);
    if (in.empty())
        return false;
    // Rewrite into the C locale's form and make sure strtod consumed all of it.
    std::string text;
    bool digits = false, point = false, exponent = false;
    for (size_t i = 0; i < in.size(); ++i) {
        const char c = in[i];
        if (IsDigit(c)) {
            digits = true;
            text += c;
        } else if (c == FormatSettings().DecimalSeparator && !point && !exponent) {
            point = true;
            text += '.';
        } else if ((c == 'e' || c == 'E') && digits && !exponent) {
            exponent = true;
            text += 'e';
            if (i + 1 < in.size() && (in[i + 1] == '+' || in[i + 1] == '-'))
                text += in[++i];
            if (i + 1 >= in.size())
                return false;
        } else if ((c == '+' || c == '-') && i == 0) {
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
