#pragma once
// Reading characters and runs of characters; errors.

#include "xml/xmlreader.h"

template <class tDecoder> CHRONARK_XML_INLINE char16_t tXMLReader<tDecoder>::ReadChar() {
    char16_t C;
    if (HasPushBack) {
        C = PushBack;
        HasPushBack = false;
    } else {
        C = tDecoder::Decode(Cur, End);
    }
    if (C == 13) {
        // CR LF and a lone CR both read as one LF.
        C = 10;
        if (Cur != End) {
            const char16_t Next = tDecoder::Decode(Cur, End);
            if (Next != 10) {
                PushBack = Next;
                HasPushBack = true;
            }
        }
    }
    return C;
}

// Consumes the characters up to the next one marked in Stop (or the end), handing runs of
// one-unit characters and single decoded characters to Sink; this yields the same characters
// as reading them one by one. Returns whether anything was consumed.
template <class tDecoder>
template <class tSink>
bool tXMLReader<tDecoder>::ConsumeRun(const tStopTable &Stop, tSink &Sink) {
    if (HasPushBack)
        return false;
    const tByte *const Start = Cur;
    const tByte *RunStart = Cur;
    for (;;) {
        const tByte *RunEnd = tDecoder::Scan(Cur, End, Stop);
        if (RunEnd != RunStart)
            Sink.template Run<tDecoder>(RunStart, RunEnd);
        Cur = RunStart = RunEnd;
        if constexpr (tDecoder::Multibyte) {
            if (Cur != End && *Cur >= 0x80) {
                // Lenient decoding may turn a sequence into a character with a role.
                const tByte *Before = Cur;
                const char16_t C = tDecoder::Decode(Cur, End);
                if (C < 0x100 && Stop.Latin[C]) {
                    Cur = Before;
                    break;
                }
                Sink.Char(C);
                RunStart = Cur;
                continue;
            }
        }
        break;
    }
    return Cur != Start;
}

namespace XMLSinks {
// Compares what is read with a name without copying it.
struct tMatch {
    const std::u16string &Name;
    size_t Count = 0;
    bool Same = true;
    template <class tDecoder> void Run(const tByte *From, const tByte *To) {
        for (; From != To; From += tDecoder::Unit)
            Char(tDecoder::UnitChar(From));
    }
    void Char(char16_t C) {
        Same = Same && Count < Name.size() && Name[Count] == C;
        ++Count;
    }
    bool Matches() const { return Same && Count == Name.size(); }
};
} // namespace XMLSinks

template <class tDecoder>
bool tXMLReader<tDecoder>::AppendRun(std::u16string &Out, const tStopTable &Stop,
                                     const tByte *From) {
    if (HasPushBack)
        return false;
    const tByte *const Start = Cur;
    const tByte *RunStart = From ? From : Cur;
    const tByte *RunEnd = tDecoder::Scan(Cur, End, Stop);
    if constexpr (tDecoder::Multibyte) {
        if (RunEnd != End && *RunEnd >= 0x80) {
            AppendMixedRun(Out, Stop, RunStart, RunEnd);
            return Cur != Start;
        }
    }
    if (RunEnd != RunStart)
        AppendUnits<tDecoder>(Out, RunStart, RunEnd);
    Cur = RunEnd;
    return Cur != Start;
}

// A run broken by multi-byte sequences: decoded into a buffer first and added at once.
template <class tDecoder>
void tXMLReader<tDecoder>::AppendMixedRun(std::u16string &Out, const tStopTable &Stop,
                                          const tByte *RunStart, const tByte *RunEnd) {
    size_t Length = 0;
    const auto Widen = [&](const tByte *From, const tByte *To) {
        // Each byte yields at most one character, and one more for the sequence after.
        const size_t Need = Length + static_cast<size_t>(To - From) + 1;
        if (Buffer.size() < Need)
            Buffer.resize(std::max(Need, 2 * Buffer.size()));
        char16_t *__restrict Dest = Buffer.data() + Length;
        for (const tByte *__restrict P = From; P != To; ++P)
            *Dest++ = *P;
        Length += static_cast<size_t>(To - From);
    };
    Widen(RunStart, RunEnd);
    Cur = RunEnd;
    while (Cur != End && *Cur >= 0x80) {
        const tByte *Before = Cur;
        const char16_t C = tDecoder::Decode(Cur, End);
        if (C < 0x100 && Stop.Latin[C]) {
            // Lenient decoding turned the sequence into a character with a role.
            Cur = Before;
            break;
        }
        Buffer[Length++] = C;
        RunEnd = tDecoder::Scan(Cur, End, Stop);
        Widen(Cur, RunEnd);
        Cur = RunEnd;
    }
    Out.append(Buffer.data(), Length);
}

// The start of the character just read when it was one plain unit, else nullptr. Start is
// where it was read from (nullptr when it came from the push-back).
template <class tDecoder>
const tByte *tXMLReader<tDecoder>::PlainStart(const tByte *Start, char16_t C) const {
    if (!Start || HasPushBack || Cur - Start != tDecoder::Unit || tDecoder::UnitChar(Start) != C)
        return nullptr;
    return Start;
}

// Whether the next characters are the one-unit ASCII characters of Text.
template <class tDecoder> bool tXMLReader<tDecoder>::LooksAt(std::string_view Text) const {
    if (HasPushBack)
        return false;
    const tByte *P = Cur;
    for (char Ch : Text) {
        if (!tDecoder::IsOneUnit(P, End) || tDecoder::UnitChar(P) != static_cast<char16_t>(Ch))
            return false;
        P += tDecoder::Unit;
    }
    return true;
}

template <class tDecoder>
void tXMLReader<tDecoder>::SetErrorAt(const char *Msg, int64_t Pos, int64_t Len) {
    Err.HasError = true;
    Err.Msg = Msg;
    Err.Pos = static_cast<int32_t>(Pos);
    Err.Len = static_cast<int32_t>(Len);
}
