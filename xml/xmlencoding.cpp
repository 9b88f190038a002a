#include "xml/xmlencoding.h"

#include "xml/xmldecoders.h"

int DetectBOM(const unsigned char *Data, size_t Size, int64_t &MarkLength) {
    const auto Byte = [&](size_t I) { return I < Size ? int(Data[I]) : -1; };
    if (Byte(0) == 0xEF && Byte(1) == 0xBB && Byte(2) == 0xBF) {
        MarkLength = 3;
        return ceUTF8;
    }
    if (Byte(0) == 0xFF && Byte(1) == 0xFE) {
        MarkLength = 2;
        return ceUTF16LE;
    }
    if (Byte(0) == 0xFE && Byte(1) == 0xFF) {
        MarkLength = 2;
        return ceUTF16BE;
    }
    MarkLength = 0;
    return ceLatin1;
}

int DetectBOM(std::istream *Stream, int64_t &MarkLength) {
    MarkLength = 0;
    if (!Stream)
        return -1;
    Stream->clear();
    const std::istream::pos_type Saved = Stream->tellg();
    Stream->seekg(0);
    unsigned char Head[3];
    size_t Size = 0;
    while (Size < 3) {
        const int C = Stream->get();
        if (C == std::istream::traits_type::eof())
            break;
        Head[Size++] = static_cast<unsigned char>(C);
    }
    Stream->clear();
    if (Saved != std::istream::pos_type(-1))
        Stream->seekg(Saved);
    return DetectBOM(Head, Size, MarkLength);
}

namespace {

// Reads up to Count bytes; bytes the stream does not have are zero. The stream stays usable.
size_t ReadBytes(std::istream &Stream, tByte *Buffer, size_t Count) {
    size_t Got = 0;
    for (; Got < Count; ++Got) {
        const int C = Stream.get();
        if (C == std::istream::traits_type::eof()) {
            Stream.clear();
            break;
        }
        Buffer[Got] = static_cast<tByte>(C);
    }
    for (size_t I = Got; I < Count; ++I)
        Buffer[I] = 0;
    return Got;
}

template <class tDecoder> char16_t ReadWith(std::istream &Stream, size_t Count) {
    tByte Buffer[8];
    ReadBytes(Stream, Buffer, Count);
    const tByte *P = Buffer;
    return tDecoder::Decode(P, Buffer + Count);
}

} // namespace

char16_t ReadCharLatin1(std::istream &Stream) {
    return ReadWith<tLatin1Decoder>(Stream, 1);
}

char16_t ReadCharUTF8(std::istream &Stream) {
    tByte Buffer[8];
    ReadBytes(Stream, Buffer, 1);
    const size_t Count = Buffer[0] < 0xC0 ? 1 : std::countl_one(Buffer[0]);
    ReadBytes(Stream, Buffer + 1, Count - 1);
    const tByte *P = Buffer;
    return tUTF8Decoder::Decode(P, Buffer + Count);
}

char16_t ReadCharUTF16LE(std::istream &Stream) {
    return ReadWith<tUTF16LEDecoder>(Stream, 2);
}

char16_t ReadCharUTF16BE(std::istream &Stream) {
    return ReadWith<tUTF16BEDecoder>(Stream, 2);
}

TReadCharProc ReadCharProcFor(int Encoding) {
    switch (Encoding) {
    case ceUTF8:
        return ReadCharUTF8;
    case ceUTF16LE:
        return ReadCharUTF16LE;
    case ceUTF16BE:
        return ReadCharUTF16BE;
    default:
        return ReadCharLatin1;
    }
}
