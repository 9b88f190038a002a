#include "base/collate.h"

#include <array>
#include <cstdint>

namespace {

// Each byte's letters at the first level: one or two (ß) characters, 0 for none after.
struct TBase {
    char First = 0, Second = 0;
};

const std::array<TBase, 256> &BaseLetters() {
    static const std::array<TBase, 256> Table = [] {
        std::array<TBase, 256> t{};
        for (int c = 0; c < 256; ++c)
            t[size_t(c)].First = char(c);
        for (int c = 'A'; c <= 'Z'; ++c)
            t[size_t(c)].First = char(c - 'A' + 'a');
        // Windows-1252's Latin letters with marks, upper and lower case alike.
        const struct {
            const char *Letters;
            char Base;
        } Marked[] = {
            {"\xC0\xC1\xC2\xC3\xC4\xC5\xE0\xE1\xE2\xE3\xE4\xE5", 'a'},
            {"\xC7\xE7", 'c'},
            {"\xC8\xC9\xCA\xCB\xE8\xE9\xEA\xEB", 'e'},
            {"\xCC\xCD\xCE\xCF\xEC\xED\xEE\xEF", 'i'},
            {"\xD1\xF1", 'n'},
            {"\xD2\xD3\xD4\xD5\xD6\xD8\xF2\xF3\xF4\xF5\xF6\xF8", 'o'},
            {"\x8A\x9A", 's'},
            {"\xD9\xDA\xDB\xDC\xF9\xFA\xFB\xFC", 'u'},
            {"\xDD\xFD\xFF\x9F", 'y'},
            {"\x8E\x9E", 'z'},
        };
        for (const auto &m : Marked)
            for (const char *p = m.Letters; *p; ++p)
                t[uint8_t(*p)].First = m.Base;
        t[0xDF] = {'s', 's'};
        return t;
    }();
    return Table;
}

// The first-level letters of a text, one at a time; -1 at its end.
class TBaseReader {
public:
    explicit TBaseReader(const std::string &AText) : Text(AText) {}
    int Next() {
        if (Pending >= 0) {
            const int c = Pending;
            Pending = -1;
            return c;
        }
        if (At == Text.size())
            return -1;
        const TBase &b = BaseLetters()[uint8_t(Text[At++])];
        if (b.Second)
            Pending = uint8_t(b.Second);
        return uint8_t(b.First);
    }

private:
    const std::string &Text;
    size_t At = 0;
    int Pending = -1;
};

// Lower case of Windows-1252 letters, for the second level.
int Lower(uint8_t C) {
    if ((C >= 'A' && C <= 'Z') || (C >= 0xC0 && C <= 0xDE && C != 0xD7))
        return C + 0x20;
    if (C == 0x8A || C == 0x8C || C == 0x8E)
        return C + 0x10;
    if (C == 0x9F)
        return 0xFF;
    return C;
}

int Sign(int V) {
    return V < 0 ? -1 : (V > 0 ? 1 : 0);
}

} // namespace

int CompareCaptions(const std::string &A, const std::string &B) {
    TBaseReader a(A), b(B);
    for (;;) {
        const int ca = a.Next(), cb = b.Next();
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca < 0)
            break;
    }
    const size_t n = A.size() < B.size() ? A.size() : B.size();
    for (size_t i = 0; i < n; ++i) {
        const int la = Lower(uint8_t(A[i])), lb = Lower(uint8_t(B[i]));
        if (la != lb)
            return la < lb ? -1 : 1;
    }
    if (A.size() != B.size())
        return A.size() < B.size() ? -1 : 1;
    return Sign(A.compare(B));
}
