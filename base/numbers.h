#pragma once
// Numbers read from and written as text.

#include <cstdint>
#include <string>

// '0' to '9', whatever the locale.
inline bool IsDigit(char C) {
    return C >= '0' && C <= '9';
}

std::string PadNum(int64_t N, int Width, char Fill);
// Decimal, or hexadecimal after "$" or "0x"; leading spaces are skipped.
bool TryStrToInt32(const std::string &S, int32_t &Result);
// Uses the regional decimal separator.
bool TryStrToFloat(const std::string &S, double &Result);
std::string FloatToText(double Value);
