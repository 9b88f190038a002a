#pragma once
// Reading characters and runs of characters; errors.

#include "xml/xmlreader.h"

template <class tDecoder, bool Fast>
CHRONARK_XML_INLINE char16_t tXMLReader<tDecoder, Fast>::ReadChar() {
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

// Appends the characters up to the next one marked in Stop (or the end) to Out, as reading
// them one by one would; a run translating CR goes on past line ends. Returns whether
// anything was consumed. Plain readers consume nothing here.
template <class tDecoder, bool Fast>
template <const tStopTable &Stop, bool TranslateCR>
bool tXMLReader<tDecoder, Fast>::AppendRun(std::u16string &Out) {
    if (!Fast || HasPushBack)
        return false;
    Buffer.Size = 0;
    const tByte *const Stopped = DecodeRun<tDecoder, Stop, TranslateCR>(Cur, End, Buffer);
    if (Stopped == Cur)
        return false;
    Cur = Stopped;
    StoreChars(Out, Buffer);
    return true;
}

template <class tDecoder, bool Fast>
void tXMLReader<tDecoder, Fast>::SetErrorAt(const char *Msg, int64_t Pos, int64_t Len) {
    Err.HasError = true;
    Err.Msg = Msg;
    Err.Pos = static_cast<int32_t>(Pos);
    Err.Len = static_cast<int32_t>(Len);
}
