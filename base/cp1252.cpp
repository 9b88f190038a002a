#include "base/cp1252.h"

namespace {

const char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char CodePointToCp1252(char32_t C) {
    if (C < 256)
        return static_cast<char>(C);
    for (int i = 0; i < 32; ++i)
        if (Cp1252High[i] == C)
            return static_cast<char>(0x80 + i);
    return '?';
}

void AppendUtf8(std::string &Out, char32_t C) {
    if (C < 0x80) {
        Out += static_cast<char>(C);
    } else if (C < 0x800) {
        Out += static_cast<char>(0xC0 | (C >> 6));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
        Out += static_cast<char>(0xE0 | (C >> 12));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | (C >> 18));
        Out += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    }
}

} // namespace

char16_t Cp1252CharToUtf16(unsigned char C) {
    return C >= 0x80 && C < 0xA0 ? Cp1252High[C - 0x80] : static_cast<char16_t>(C);
}

std::u16string Cp1252ToUtf16(const std::string &S) {
    std::u16string out;
    out.reserve(S.size());
    for (unsigned char c : S)
        out += Cp1252CharToUtf16(c);
    return out;
}

std::string Utf16ToCp1252(const std::u16string &S) {
    std::string out;
    out.reserve(S.size());
    for (size_t i = 0; i < S.size(); ++i) {
        const char16_t c = S[i];
        // A surrogate pair is one character outside the code page: one '?'.
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < S.size() && S[i + 1] >= 0xDC00 &&
            S[i + 1] < 0xE000)
            ++i;
        out += CodePointToCp1252(c);
    }
    return out;
}

std::string Cp1252ToUtf8(const std::string &S) {
    std::string out;
    out.reserve(S.size() + S.size() / 8);
    for (unsigned char c : S)
        AppendUtf8(out, Cp1252CharToUtf16(c));
    return out;
}

std::string Utf8ToCp1252(const std::string &S) {
    std::string out;
    out.reserve(S.size());
    for (size_t i = 0; i < S.size();) {
        const unsigned char c = static_cast<unsigned char>(S[i]);
        int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        char32_t cp = len == 1 ? c : len == 2 ? c & 0x1F : len == 3 ? c & 0x0F : c & 0x07;
        bool ok = len > 0 && i + len <= S.size();
        for (int k = 1; ok && k < len; ++k) {
            const unsigned char cc = static_cast<unsigned char>(S[i + k]);
            ok = (cc & 0xC0) == 0x80;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (!ok) {
            // Not UTF-8: keep the byte as it stands (it is most likely already 8-bit text).
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        out += CodePointToCp1252(cp);
        i += len;
    }
    return out;
}

std::string FileNameToText(const std::string &FileName) {
#ifdef _WIN32
    return FileName;
#else
    return Utf8ToCp1252(FileName);
#endif
}

std::string TextToFileName(const std::string &Text) {
#ifdef _WIN32
    return Text;
#else
    return Cp1252ToUtf8(Text);
#endif
}
