#pragma once
// Short strings: the string type of the maker libraries' interface. 256 bytes, the first
// holding the length (at most 255), then the 8-bit characters.

#include <algorithm>
#include <cstring>
#include <string>

struct TShortString {
    unsigned char Bytes[256] = {};
};

// Longer text is cut to 255 characters.
inline TShortString MakeShortString(const std::string &Text) {
    TShortString s;
    const size_t n = std::min<size_t>(Text.size(), 255);
    s.Bytes[0] = static_cast<unsigned char>(n);
    std::memcpy(s.Bytes + 1, Text.data(), n);
    return s;
}

inline std::string ShortStringText(const TShortString &S) {
    return std::string(reinterpret_cast<const char *>(S.Bytes + 1), S.Bytes[0]);
}
