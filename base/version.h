#pragma once
// Dotted version numbers and the program's string-to-integer conversion.

#include <cstdint>
#include <stdexcept>
#include <string>

// A version part that is missing or not a decimal integer.
class EConvertError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// Compares the first PartCount dot-separated parts numerically: -1, 0 or 1.
// Throws EConvertError when a compared part is missing or not a number.
int CompareVersions(const std::string &A, const std::string &B, int PartCount);
// The program's string-to-integer conversion (TryStrToInt32); throws EConvertError.
int32_t StrToInt(const std::string &S);
