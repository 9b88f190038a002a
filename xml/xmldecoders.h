#pragma once
// Decoders over an in-memory byte range, chosen once per parse. Besides decoding one
// character they find runs of characters that need no decoding work, so that the parser can
// copy text in bulk; both ways yield exactly the same characters.

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using tByte = unsigned char;

// Marks the ASCII characters that end a run; Utf8 additionally marks every byte from 0x80,
// which starts a sequence that must be decoded one character at a time.
struct tStopTable {
    std::array<bool, 256> Latin{};
    std::array<bool, 256> Utf8{};
};

constexpr tStopTable MakeStopTable(std::string_view Stops) {
    tStopTable Table;
    for (char C : Stops) {
        Table.Latin[static_cast<tByte>(C)] = true;
        Table.Utf8[static_cast<tByte>(C)] = true;
    }
    for (int B = 0x80; B < 0x100; ++B)
        Table.Utf8[B] = true;
    return Table;
}

#define CHRONARK_XML_INLINE inline __attribute__((always_inline))

// Widens one-byte characters onto the end of Out, in chunks through a small buffer (resize
// would first fill the new room with zeros).
inline void AppendBytes(std::u16string &Out, const tByte *From, const tByte *To) {
    char16_t Buffer[256];
    while (From != To) {
        const size_t Count = std::min<size_t>(static_cast<size_t>(To - From), 256);
        for (size_t I = 0; I < Count; ++I)
            Buffer[I] = From[I];
        Out.append(Buffer, Count);
        From += Count;
    }
}

inline bool EqualBytes(const tByte *From, const tByte *To, const char16_t *Chars) {
    for (; From != To; ++From, ++Chars)
        if (*From != *Chars)
            return false;
    return true;
}

// Decode: P < End on entry. The Scan functions return the end of the leading run of
// characters that are one unit each and not marked in the table.
struct tLatin1Decoder {
    static constexpr bool Multibyte = false;

    CHRONARK_XML_INLINE static char16_t Decode(const tByte *&P, const tByte *) { return *P++; }

    static const tByte *Scan(const tByte *P, const tByte *End, const tStopTable &Stop) {
        while (P != End && !Stop.Latin[*P])
            ++P;
        return P;
    }
    static void Append(std::u16string &Out, const tByte *From, const tByte *To) {
        AppendBytes(Out, From, To);
    }
    static size_t Length(const tByte *From, const tByte *To) { return To - From; }
    static bool Equal(const tByte *From, const tByte *To, const char16_t *Chars) {
        return EqualBytes(From, To, Chars);
    }
};

struct tUTF8Decoder {
    static constexpr bool Multibyte = true;

    CHRONARK_XML_INLINE static char16_t Decode(const tByte *&P, const tByte *End) {
        const tByte Lead = *P++;
        if (Lead < 0xC0) // ASCII or a stray continuation byte: the byte itself
            return Lead;
        const int Count = std::countl_one(Lead);
        // Bits beyond 16 fall off; the top Count + 1 bits of the lead byte are cleared.
        uint32_t C = Lead & (0xFFu >> (Count + 1));
        for (int I = 1; I < Count; ++I)
            C = (C << 6) | ((P != End ? *P++ : 0u) & 0x3Fu);
        return static_cast<char16_t>(C);
    }

    static const tByte *Scan(const tByte *P, const tByte *End, const tStopTable &Stop) {
        while (P != End && !Stop.Utf8[*P])
            ++P;
        return P;
    }
    static void Append(std::u16string &Out, const tByte *From, const tByte *To) {
        AppendBytes(Out, From, To);
    }
    static size_t Length(const tByte *From, const tByte *To) { return To - From; }
    static bool Equal(const tByte *From, const tByte *To, const char16_t *Chars) {
        return EqualBytes(From, To, Chars);
    }
};

template <bool BigEndian> struct tUTF16Decoder {
    static constexpr bool Multibyte = false;

    static char16_t Pair(tByte First, tByte Second) {
        return BigEndian ? static_cast<char16_t>(First << 8 | Second)
                         : static_cast<char16_t>(Second << 8 | First);
    }

    CHRONARK_XML_INLINE static char16_t Decode(const tByte *&P, const tByte *End) {
        const tByte First = *P++;
        const tByte Second = P != End ? *P++ : 0;
        return Pair(First, Second);
    }

    static const tByte *Scan(const tByte *P, const tByte *End, const tStopTable &Stop) {
        while (End - P >= 2) {
            const char16_t C = Pair(P[0], P[1]);
            if (C < 0x100 && Stop.Latin[C])
                break;
            P += 2;
        }
        return P;
    }
    static void Append(std::u16string &Out, const tByte *From, const tByte *To) {
        char16_t Buffer[256];
        while (To - From >= 2) {
            const size_t Count = std::min<size_t>(static_cast<size_t>(To - From) / 2, 256);
            for (size_t I = 0; I < Count; ++I, From += 2)
                Buffer[I] = Pair(From[0], From[1]);
            Out.append(Buffer, Count);
        }
    }
    static size_t Length(const tByte *From, const tByte *To) { return (To - From) / 2; }
    static bool Equal(const tByte *From, const tByte *To, const char16_t *Chars) {
        for (; From != To; From += 2, ++Chars)
            if (Pair(From[0], From[1]) != *Chars)
                return false;
        return true;
    }
};

using tUTF16LEDecoder = tUTF16Decoder<false>;
using tUTF16BEDecoder = tUTF16Decoder<true>;
