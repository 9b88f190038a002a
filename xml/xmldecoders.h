#pragma once
// Decoders over an in-memory byte range, chosen once per parse. Besides decoding one
// character they find runs of characters that need no decoding work (one code unit each), so
// that the parser can build strings from byte ranges in one step; both ways yield exactly the
// same characters.

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>

#define CHRONARK_XML_INLINE inline __attribute__((always_inline))

using tByte = unsigned char;

// Marks the ASCII characters that end a run; Utf8 additionally marks every byte from 0x80,
// which starts a sequence that must be decoded one character at a time. Tables whose marks
// are control characters and at most two others can also be searched eight bytes at a time:
// Wide then lists those two.
struct tStopTable {
    std::array<bool, 256> Latin{};
    std::array<bool, 256> Utf8{};
    bool Wide = false;
    tByte WideStops[2] = {0, 0};
};

constexpr tStopTable MakeStopTable(std::string_view Stops) {
    tStopTable Table;
    int Others = 0;
    for (char C : Stops) {
        Table.Latin[static_cast<tByte>(C)] = true;
        Table.Utf8[static_cast<tByte>(C)] = true;
        if (static_cast<tByte>(C) > 32)
            ++Others;
    }
    for (int B = 0x80; B < 0x100; ++B)
        Table.Utf8[B] = true;
    if (Others <= 2) {
        Table.Wide = true;
        int I = 0;
        for (char C : Stops)
            if (static_cast<tByte>(C) > 32)
                Table.WideStops[I++] = static_cast<tByte>(C);
        for (; I < 2; ++I)
            Table.WideStops[I] = Table.WideStops[0] ? Table.WideStops[0] : tByte(0);
    }
    return Table;
}

// Skips eight bytes at a time while none of them can stop a run: none below 33, none of the
// two wide stops and, with HighStops, none from 0x80. Returns where a byte-by-byte check must
// go on. Little-endian only; elsewhere it returns P.
template <bool HighStops>
inline const tByte *SkipWide(const tByte *P, const tByte *End, const tStopTable &Stop) {
    if constexpr (std::endian::native != std::endian::little) {
        return P;
    } else {
        constexpr uint64_t Ones = 0x0101010101010101ull;
        constexpr uint64_t Highs = 0x8080808080808080ull;
        const uint64_t A = Ones * Stop.WideStops[0];
        const uint64_t B = Ones * Stop.WideStops[1];
        while (End - P >= 8) {
            uint64_t X;
            __builtin_memcpy(&X, P, 8);
            const uint64_t XA = X ^ A;
            const uint64_t XB = X ^ B;
            uint64_t Hit = ((X - Ones * 33) & ~X) | ((XA - Ones) & ~XA) | ((XB - Ones) & ~XB);
            Hit = HighStops ? (Hit | X) & Highs : Hit & Highs;
            if (Hit)
                return P + std::countr_zero(Hit) / 8;
            P += 8;
        }
        return P;
    }
}

// Decode: P < End on entry. IsOneUnit: the character at P is UnitChar(P) and takes Unit
// bytes. Scan: the end of the leading run of one-unit characters not marked in the table.
struct tLatin1Decoder {
    static constexpr bool Multibyte = false;
    static constexpr ptrdiff_t Unit = 1;

    CHRONARK_XML_INLINE static char16_t Decode(const tByte *&P, const tByte *) { return *P++; }
    static bool IsOneUnit(const tByte *P, const tByte *End) { return P != End; }
    static char16_t UnitChar(const tByte *P) { return *P; }

    static const tByte *Scan(const tByte *P, const tByte *End, const tStopTable &Stop) {
        if (!Stop.Wide) {
            while (P != End && !Stop.Latin[*P])
                ++P;
            return P;
        }
        for (;;) {
            P = SkipWide<false>(P, End, Stop);
            // Byte by byte over a possible stop, or to the end.
            const tByte *Limit = End - P > 8 ? P + 8 : End;
            while (P != Limit && !Stop.Latin[*P])
                ++P;
            if (P != Limit || Limit == End)
                return P;
        }
    }
};

struct tUTF8Decoder {
    static constexpr bool Multibyte = true;
    static constexpr ptrdiff_t Unit = 1;

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
    static bool IsOneUnit(const tByte *P, const tByte *End) { return P != End && *P < 0xC0; }
    static char16_t UnitChar(const tByte *P) { return *P; }

    static const tByte *Scan(const tByte *P, const tByte *End, const tStopTable &Stop) {
        if (!Stop.Wide) {
            while (P != End && !Stop.Utf8[*P])
                ++P;
            return P;
        }
        for (;;) {
            P = SkipWide<true>(P, End, Stop);
            // Byte by byte over a possible stop, or to the end.
            const tByte *Limit = End - P > 8 ? P + 8 : End;
            while (P != Limit && !Stop.Utf8[*P])
                ++P;
            if (P != Limit || Limit == End)
                return P;
        }
    }
};

template <bool BigEndian> struct tUTF16Decoder {
    static constexpr bool Multibyte = false;
    static constexpr ptrdiff_t Unit = 2;

    static char16_t Pair(tByte First, tByte Second) {
        return BigEndian ? static_cast<char16_t>(First << 8 | Second)
                         : static_cast<char16_t>(Second << 8 | First);
    }

    CHRONARK_XML_INLINE static char16_t Decode(const tByte *&P, const tByte *End) {
        const tByte First = *P++;
        const tByte Second = P != End ? *P++ : 0;
        return Pair(First, Second);
    }
    static bool IsOneUnit(const tByte *P, const tByte *End) { return End - P >= 2; }
    static char16_t UnitChar(const tByte *P) { return Pair(P[0], P[1]); }

    static const tByte *Scan(const tByte *P, const tByte *End, const tStopTable &Stop) {
        while (End - P >= 2) {
            const char16_t C = Pair(P[0], P[1]);
            if (C < 0x100 && Stop.Latin[C])
                break;
            P += 2;
        }
        return P;
    }
};

using tUTF16LEDecoder = tUTF16Decoder<false>;
using tUTF16BEDecoder = tUTF16Decoder<true>;

// The characters of a run of one-unit characters, for building strings from it directly.
template <class tDecoder> class tUnitIterator {
public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = char16_t;
    using difference_type = ptrdiff_t;
    using pointer = const char16_t *;
    using reference = char16_t;

    tUnitIterator() = default;
    explicit tUnitIterator(const tByte *P) : P(P) {}

    char16_t operator*() const { return tDecoder::UnitChar(P); }
    char16_t operator[](difference_type N) const { return tDecoder::UnitChar(P + N * Unit); }
    tUnitIterator &operator++() { return P += Unit, *this; }
    tUnitIterator operator++(int) { return tUnitIterator(std::exchange(P, P + Unit)); }
    tUnitIterator &operator--() { return P -= Unit, *this; }
    tUnitIterator operator--(int) { return tUnitIterator(std::exchange(P, P - Unit)); }
    tUnitIterator &operator+=(difference_type N) { return P += N * Unit, *this; }
    tUnitIterator &operator-=(difference_type N) { return P -= N * Unit, *this; }
    friend tUnitIterator operator+(tUnitIterator I, difference_type N) { return I += N; }
    friend tUnitIterator operator+(difference_type N, tUnitIterator I) { return I += N; }
    friend tUnitIterator operator-(tUnitIterator I, difference_type N) { return I -= N; }
    friend difference_type operator-(tUnitIterator A, tUnitIterator B) {
        return (A.P - B.P) / Unit;
    }
    friend auto operator<=>(tUnitIterator A, tUnitIterator B) = default;

private:
    static constexpr ptrdiff_t Unit = tDecoder::Unit;
    const tByte *P = nullptr;
};

// Appends a run of one-unit characters to Out.
template <class tDecoder>
void AppendUnits(std::u16string &Out, const tByte *From, const tByte *To) {
    using tIt = tUnitIterator<tDecoder>;
    const size_t Count = static_cast<size_t>((To - From) / tDecoder::Unit);
    if (Out.empty()) {
        // Built at its final size: no zero fill, no growing.
        Out = std::u16string(tIt(From), tIt(To));
    } else if (Count <= 8) {
        for (; From != To; From += tDecoder::Unit)
            Out.push_back(tDecoder::UnitChar(From));
    } else {
        char16_t Buffer[256];
        while (From != To) {
            const size_t Chunk = std::min<size_t>((To - From) / tDecoder::Unit, 256);
            for (size_t I = 0; I < Chunk; ++I, From += tDecoder::Unit)
                Buffer[I] = tDecoder::UnitChar(From);
            Out.append(Buffer, Chunk);
        }
    }
}
