#pragma once
// Runs of characters decoded in one go: a block of bytes is searched for the characters that
// end the run and widened at once, so that strings are built from a buffer with a single
// allocation. The result is exactly what reading the characters one by one would give.

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "xml/xmldecoders.h"

// Characters decoded ahead of storing them. Grows, never shrinks: one per parse.
class tCharBuffer {
public:
    char16_t *Data() { return Memory.get(); }
    size_t Size = 0;
    size_t Capacity() const { return Cap; }
    void Push(char16_t C) {
        if (Size == Cap)
            Grow(1);
        Memory[Size++] = C;
    }
    // Drops trailing characters with codes up to 32; answers whether any character is left.
    bool TrimControls() {
        while (Size && Memory[Size - 1] <= 32)
            --Size;
        return Size != 0;
    }

    // Room for at least Extra characters after Size.
    __attribute__((noinline)) void Grow(size_t Extra) {
        const size_t NewCap = std::max<size_t>({Size + Extra, 2 * Cap, 256});
        auto Bigger = std::make_unique_for_overwrite<char16_t[]>(NewCap);
        std::copy(Memory.get(), Memory.get() + Size, Bigger.get());
        Memory = std::move(Bigger);
        Cap = NewCap;
    }

private:
    std::unique_ptr<char16_t[]> Memory;
    size_t Cap = 0;
};

// Decodes the characters from P up to the first one marked in Stop (or the end) and appends
// them to Out; returns where it stopped. A UTF-8 sequence that decodes to a marked character
// stops the run at its first byte. With TranslateCR a CR does not stop the run but reads as
// LF, and a LF directly after it is dropped, as reading one character at a time does.
template <class tDecoder, const tStopTable &Stop, bool TranslateCR = false>
CHRONARK_XML_INLINE const tByte *DecodeRun(const tByte *P, const tByte *const End,
                                           tCharBuffer &Out) {
    size_t Len = Out.Size;
    char16_t *Dest = Out.Data();
    size_t Cap = Out.Capacity();
    const auto Reserve = [&](size_t Extra) {
        if (Cap - Len < Extra) {
            Out.Size = Len;
            Out.Grow(Extra);
            Dest = Out.Data();
            Cap = Out.Capacity();
        }
    };
    for (;;) {
#if CHRONARK_XML_BLOCKS
        while (End - P >= tDecoder::BlockBytes) {
            Reserve(tDecoder::BlockChars);
            const unsigned Mask = tDecoder::template Block<Stop>(P, Dest + Len);
            if (!Mask) {
                P += tDecoder::BlockBytes;
                Len += tDecoder::BlockChars;
                continue;
            }
            const int Skip = std::countr_zero(Mask);
            P += Skip;
            Len += static_cast<size_t>(Skip / tDecoder::Unit);
            break;
        }
#endif
        if (P == End)
            break;
        // One character the plain way: a candidate, or the tail of the input.
        const tByte *Next = P;
        char16_t C = tDecoder::Decode(Next, End);
        if (C < 0x100 && Stop.Latin[C]) {
            if (!TranslateCR || C != 13)
                break;
            C = 10;
            if (Next != End) {
                const tByte *After = Next;
                if (tDecoder::Decode(After, End) == 10)
                    Next = After;
            }
        }
        Reserve(1);
        Dest[Len++] = C;
        P = Next;
    }
    Out.Size = Len;
    return P;
}

// ASCII text as a template argument.
template <size_t N> struct tAscii {
    char Chars[N - 1];
    constexpr tAscii(const char (&Text)[N]) {
        for (size_t I = 0; I + 1 < N; ++I)
            Chars[I] = Text[I];
    }
    static constexpr size_t Size = N - 1;
};

// Whether the bytes at P are Text, each character one unit in the decoder's encoding.
template <class tDecoder, tAscii Text>
CHRONARK_XML_INLINE bool AtAscii(const tByte *P, const tByte *End) {
    constexpr size_t Bytes = Text.Size * tDecoder::Unit;
    static constexpr std::array<tByte, Bytes> Encoded = [] {
        std::array<tByte, Bytes> Out{};
        for (size_t I = 0; I < Text.Size; ++I)
            tDecoder::EncodeAscii(Text.Chars[I], &Out[I * tDecoder::Unit]);
        return Out;
    }();
    return static_cast<size_t>(End - P) >= Bytes && __builtin_memcmp(P, Encoded.data(), Bytes) == 0;
}

// Whether N bytes at A equal those at B.
CHRONARK_XML_INLINE bool SameBytes(const tByte *A, const tByte *B, size_t N) {
    const auto Load64 = [](const tByte *P) {
        uint64_t V;
        __builtin_memcpy(&V, P, 8);
        return V;
    };
    const auto Load32 = [](const tByte *P) {
        uint32_t V;
        __builtin_memcpy(&V, P, 4);
        return V;
    };
    for (; N >= 8; N -= 8, A += 8, B += 8)
        if (Load64(A) != Load64(B))
            return false;
    if (N >= 4)
        return Load32(A) == Load32(B) && Load32(A + N - 4) == Load32(B + N - 4);
    for (; N; --N)
        if (*A++ != *B++)
            return false;
    return true;
}

// The first unit at or after P that is not tab, LF, CR or space; these never need decoding.
template <class tDecoder>
CHRONARK_XML_INLINE const tByte *SkipLayout(const tByte *P, const tByte *const End) {
    constexpr uint64_t Layout = 1ull << 9 | 1ull << 10 | 1ull << 13 | 1ull << 32;
    while (tDecoder::IsOneUnit(P, End)) {
        const char16_t C = tDecoder::UnitChar(P);
        if (C > 32 || !(Layout >> C & 1))
            break;
        P += tDecoder::Unit;
    }
    return P;
}

// Stops of character data: whitespace is collapsed, '<' ends it.
inline constexpr tStopTable TextStops = MakeStopTable("\t\n\r <", '!');

// Character data from P up to the next '<' (or the end), appended to Out with every run of
// whitespace (tab, LF, CR, space) turned into one space, none while SpacePending. Returns
// where it stopped: at a '<', possibly one decoded from a UTF-8 sequence.
template <class tDecoder>
CHRONARK_XML_INLINE const tByte *DecodeText(const tByte *P, const tByte *const End,
                                            tCharBuffer &Out, bool &SpacePending) {
    size_t Len = Out.Size;
    char16_t *Dest = Out.Data();
    size_t Cap = Out.Capacity();
    const auto Reserve = [&](size_t Extra) {
        if (Cap - Len < Extra) {
            Out.Size = Len;
            Out.Grow(Extra);
            Dest = Out.Data();
            Cap = Out.Capacity();
        }
    };
    bool Pending = SpacePending;
    for (;;) {
#if CHRONARK_XML_BLOCKS
        while (End - P >= tDecoder::BlockBytes) {
            Reserve(tDecoder::BlockChars);
            const unsigned Mask = tDecoder::template Block<TextStops>(P, Dest + Len);
            if (!Mask) {
                P += tDecoder::BlockBytes;
                Len += tDecoder::BlockChars;
                Pending = false;
                continue;
            }
            const int Skip = std::countr_zero(Mask);
            if (Skip) {
                P += Skip;
                Len += static_cast<size_t>(Skip / tDecoder::Unit);
                Pending = false;
            }
            break;
        }
#endif
        if (P == End)
            break;
        const tByte *Next = P;
        const char16_t C = tDecoder::Decode(Next, End);
        if (C == u'<')
            break;
        // A CR reads as LF; a LF after it would only be more whitespace.
        if (C == 9 || C == 10 || C == 13 || C == 32) {
            if (!Pending) {
                Reserve(1);
                Dest[Len++] = u' ';
                Pending = true;
            }
        } else {
            Reserve(1);
            Dest[Len++] = C;
            Pending = false;
        }
        P = Next;
    }
    Out.Size = Len;
    SpacePending = Pending;
    return P;
}

// Stores Count characters in an empty string S with one allocation at most. Building the
// string in place at its size is far cheaper than assigning to the empty one.
CHRONARK_XML_INLINE void StoreNew(std::u16string &S, const char16_t *Chars, size_t Count) {
    std::destroy_at(&S);
    try {
        std::construct_at(&S, Chars, Count);
    } catch (...) {
        std::construct_at(&S); // the owner destroys it again
        throw;
    }
}

// Stores the buffer's characters in S after what it holds.
inline void StoreChars(std::u16string &S, tCharBuffer &Buffer) {
    if (S.empty())
        StoreNew(S, Buffer.Data(), Buffer.Size);
    else
        S.append(Buffer.Data(), Buffer.Size);
}
