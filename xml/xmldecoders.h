#pragma once
// Decoders over an in-memory byte range, chosen once per parse. Besides decoding one
// character they classify a block of sixteen bytes at once (where the machine has SSE2):
// which of its units may end a run, and the characters of the units that need no decoding
// work. Both ways yield exactly the same characters.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#define CHRONARK_XML_BLOCKS 1
#else
#define CHRONARK_XML_BLOCKS 0
#endif

#define CHRONARK_XML_INLINE inline __attribute__((always_inline))

using tByte = unsigned char;

// The characters that end a run in one place of the grammar. Latin marks them among the
// characters 0 to 255 (only ASCII ones are ever marked). A block search looks for Chars and
// every character below Below; candidates are then checked against Latin. UTF-8 lead and
// continuation bytes are always candidates, as they need decoding.
struct tStopTable {
    std::array<bool, 256> Latin{};
    tByte Below = 0;
    int Count = 0;
    tByte Chars[8] = {};
};

// Below covers the stops under it in one comparison; the other characters under it are
// rare where such a table is used and cost only a closer look.
constexpr tStopTable MakeStopTable(std::string_view Stops, tByte Below = 0) {
    tStopTable Table;
    Table.Below = Below;
    for (char C : Stops) {
        const auto B = static_cast<tByte>(C);
        Table.Latin[B] = true;
        if (B >= Below)
            Table.Chars[Table.Count++] = B;
    }
    return Table;
}

#if CHRONARK_XML_BLOCKS
using tBlock = __m128i;

// Bytes of V that are stop candidates, as 0xFF.
template <const tStopTable &Stop> CHRONARK_XML_INLINE tBlock ByteHits(tBlock V) {
    tBlock Hit = _mm_setzero_si128();
    if constexpr (Stop.Below != 0)
        Hit = _mm_cmpeq_epi8(_mm_subs_epu8(V, _mm_set1_epi8(static_cast<char>(Stop.Below - 1))),
                             _mm_setzero_si128());
    for (int I = 0; I < Stop.Count; ++I) {
        const tBlock Char = _mm_set1_epi8(static_cast<char>(Stop.Chars[I]));
        Hit = _mm_or_si128(Hit, _mm_cmpeq_epi8(V, Char));
    }
    return Hit;
}

// 16-bit units of V that are stop candidates, as 0xFFFF.
template <const tStopTable &Stop> CHRONARK_XML_INLINE tBlock UnitHits(tBlock V) {
    tBlock Hit = _mm_setzero_si128();
    if constexpr (Stop.Below != 0)
        Hit =
            _mm_cmpeq_epi16(_mm_subs_epu16(V, _mm_set1_epi16(Stop.Below - 1)), _mm_setzero_si128());
    for (int I = 0; I < Stop.Count; ++I)
        Hit = _mm_or_si128(Hit, _mm_cmpeq_epi16(V, _mm_set1_epi16(Stop.Chars[I])));
    return Hit;
}

// Stores the sixteen bytes of V as sixteen characters.
CHRONARK_XML_INLINE void WidenBytes(tBlock V, char16_t *Dest) {
    const tBlock Zero = _mm_setzero_si128();
    _mm_storeu_si128(reinterpret_cast<tBlock *>(Dest), _mm_unpacklo_epi8(V, Zero));
    _mm_storeu_si128(reinterpret_cast<tBlock *>(Dest + 8), _mm_unpackhi_epi8(V, Zero));
}
#endif

// Decode: P < End on entry. IsOneUnit: the character at P is UnitChar(P) and takes Unit
// bytes. Block (BlockBytes bytes at P available): stores the block's units as characters at
// Dest (BlockChars of them) and answers a mask with bit I set when byte I begins a unit that
// may stop the run or needs decoding; the stored characters before the first such unit are
// exact.
struct tLatin1Decoder {
    static constexpr bool Multibyte = false;
    static constexpr ptrdiff_t Unit = 1;
    static constexpr ptrdiff_t BlockBytes = 16;
    static constexpr size_t BlockChars = 16;

    CHRONARK_XML_INLINE static char16_t Decode(const tByte *&P, const tByte *) { return *P++; }
    static constexpr void EncodeAscii(char C, tByte *Out) { Out[0] = static_cast<tByte>(C); }
    static bool IsOneUnit(const tByte *P, const tByte *End) { return P != End; }
    static char16_t UnitChar(const tByte *P) { return *P; }

#if CHRONARK_XML_BLOCKS
    template <const tStopTable &Stop>
    CHRONARK_XML_INLINE static unsigned Block(const tByte *P, char16_t *Dest) {
        const tBlock V = _mm_loadu_si128(reinterpret_cast<const tBlock *>(P));
        WidenBytes(V, Dest);
        return static_cast<unsigned>(_mm_movemask_epi8(ByteHits<Stop>(V)));
    }
#endif
};

struct tUTF8Decoder {
    static constexpr bool Multibyte = true;
    static constexpr ptrdiff_t Unit = 1;
    static constexpr ptrdiff_t BlockBytes = 16;
    static constexpr size_t BlockChars = 16;

    CHRONARK_XML_INLINE static char16_t Decode(const tByte *&P, const tByte *End) {
        const tByte Lead = *P++;
        if (Lead < 0xC0) // ASCII or a stray continuation byte: the byte itself
            return Lead;
        if (Lead < 0xE0) // the usual sequence outside ASCII, as the loop below would take it
            return static_cast<char16_t>((Lead & 0x1Fu) << 6 | ((P != End ? *P++ : 0u) & 0x3Fu));
        const int Count = std::countl_one(Lead);
        // Bits beyond 16 fall off; the top Count + 1 bits of the lead byte are cleared.
        uint32_t C = Lead & (0xFFu >> (Count + 1));
        for (int I = 1; I < Count; ++I)
            C = (C << 6) | ((P != End ? *P++ : 0u) & 0x3Fu);
        return static_cast<char16_t>(C);
    }
    static constexpr void EncodeAscii(char C, tByte *Out) { Out[0] = static_cast<tByte>(C); }
    static bool IsOneUnit(const tByte *P, const tByte *End) { return P != End && *P < 0xC0; }
    static char16_t UnitChar(const tByte *P) { return *P; }

#if CHRONARK_XML_BLOCKS
    template <const tStopTable &Stop>
    CHRONARK_XML_INLINE static unsigned Block(const tByte *P, char16_t *Dest) {
        const tBlock V = _mm_loadu_si128(reinterpret_cast<const tBlock *>(P));
        WidenBytes(V, Dest);
        // Every byte from 0x80 goes through Decode.
        return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(ByteHits<Stop>(V), V)));
    }
#endif
};

template <bool BigEndian> struct tUTF16Decoder {
    static constexpr bool Multibyte = false;
    static constexpr ptrdiff_t Unit = 2;
    static constexpr ptrdiff_t BlockBytes = 16;
    static constexpr size_t BlockChars = 8;

    static char16_t Pair(tByte First, tByte Second) {
        return BigEndian ? static_cast<char16_t>(First << 8 | Second)
                         : static_cast<char16_t>(Second << 8 | First);
    }

    CHRONARK_XML_INLINE static char16_t Decode(const tByte *&P, const tByte *End) {
        const tByte First = *P++;
        const tByte Second = P != End ? *P++ : 0;
        return Pair(First, Second);
    }
    static constexpr void EncodeAscii(char C, tByte *Out) {
        Out[BigEndian ? 1 : 0] = static_cast<tByte>(C);
        Out[BigEndian ? 0 : 1] = 0;
    }
    static bool IsOneUnit(const tByte *P, const tByte *End) { return End - P >= 2; }
    static char16_t UnitChar(const tByte *P) { return Pair(P[0], P[1]); }

#if CHRONARK_XML_BLOCKS
    template <const tStopTable &Stop>
    CHRONARK_XML_INLINE static unsigned Block(const tByte *P, char16_t *Dest) {
        tBlock V = _mm_loadu_si128(reinterpret_cast<const tBlock *>(P));
        if constexpr (BigEndian) // SSE2 machines are little-endian
            V = _mm_or_si128(_mm_slli_epi16(V, 8), _mm_srli_epi16(V, 8));
        _mm_storeu_si128(reinterpret_cast<tBlock *>(Dest), V);
        return static_cast<unsigned>(_mm_movemask_epi8(UnitHits<Stop>(V)));
    }
#endif
};

using tUTF16LEDecoder = tUTF16Decoder<false>;
using tUTF16BEDecoder = tUTF16Decoder<true>;
