// Runs decoded block-wise against the same runs read one character at a time: stops at every
// offset of a block, sequences and line ends across block edges, every encoding.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "xml/xmlreader.h"

namespace {

// Deterministic choices for the generated inputs.
class tRandom {
public:
    explicit tRandom(uint64_t Seed) : State(Seed) {}
    size_t Below(size_t N) {
        State = State * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<size_t>((State >> 33) % N);
    }

private:
    uint64_t State;
};

// Byte pieces of each encoding, among them the characters that stop some run, line ends,
// characters outside ASCII and (for UTF-8) malformed and overlong sequences that decode to
// characters with a role.
const std::vector<std::string> &Pieces(int Encoding) {
    static const std::vector<std::string> Latin1 = {"a",    "b", "Z", " ",    "\t",   "\n",  "\r",
                                                    "\r\n", "<", ">", "\"",   "'",    "=",   "/",
                                                    "]",    "-", "?", "\x01", "\xE4", "\xFF"};
    static const std::vector<std::string> Utf8 = {"a",
                                                  "b",
                                                  " ",
                                                  "\t",
                                                  "\n",
                                                  "\r",
                                                  "\r\n",
                                                  "<",
                                                  ">",
                                                  "\"",
                                                  "]",
                                                  "=",
                                                  "/",
                                                  "\xC3\xA4",
                                                  "\x80",
                                                  "\xC0\xBC",
                                                  "\xC0\x8D",
                                                  "\xC0\x8A",
                                                  "\xC0\xA0",
                                                  "\xE2\x82\xAC",
                                                  "\xF0\x9F\x98\x80",
                                                  "\xC3"};
    static const std::vector<std::string> Utf16 = [] {
        std::vector<std::string> Units;
        for (char16_t C : std::u16string(u"ab \t\n\r<>\"']=/-?\x01\xE4\x20AC\xD83D\x0A0D\x3C00"))
            Units.push_back({static_cast<char>(C & 0xFF), static_cast<char>(C >> 8)});
        return Units;
    }();
    return Encoding == ceUTF8 ? Utf8 : Encoding == ceLatin1 ? Latin1 : Utf16;
}

std::string Generate(tRandom &Random, int Encoding) {
    const auto &From = Pieces(Encoding);
    // Mostly plain letters, so that whole blocks without stops occur too.
    std::string Bytes;
    const size_t Count = Random.Below(90);
    for (size_t I = 0; I < Count; ++I)
        Bytes += Random.Below(3) ? From[Random.Below(3)] : From[Random.Below(From.size())];
    if (Encoding == ceUTF16BE)
        for (size_t I = 0; I + 1 < Bytes.size(); I += 2)
            std::swap(Bytes[I], Bytes[I + 1]);
    if (Encoding >= ceUTF16LE && Random.Below(4) == 0)
        Bytes += '<'; // a lone last byte
    return Bytes;
}

// The run read one character at a time, as ReadChar and the state machines would.
template <class tDecoder, const tStopTable &Stop, bool TranslateCR>
const tByte *PlainRun(const tByte *P, const tByte *End, std::u16string &Out) {
    while (P != End) {
        const tByte *Next = P;
        char16_t C = tDecoder::Decode(Next, End);
        if (C < 0x100 && Stop.Latin[C]) {
            if (!TranslateCR || C != 13)
                break;
            C = 10;
            const tByte *After = Next;
            if (Next != End && tDecoder::Decode(After, End) == 10)
                Next = After;
        }
        Out.push_back(C);
        P = Next;
    }
    return P;
}

template <class tDecoder, const tStopTable &Stop, bool TranslateCR>
void CheckRuns(int Encoding, const char *What) {
    tRandom Random(7);
    tCharBuffer Buffer;
    for (int Round = 0; Round < 3000; ++Round) {
        const std::string Input = Generate(Random, Encoding);
        const auto *Begin = reinterpret_cast<const tByte *>(Input.data());
        const tByte *End = Begin + Input.size();
        for (const tByte *Start = Begin; Start <= End; Start += tDecoder::Unit) {
            std::u16string Expected;
            const tByte *ExpectedEnd = PlainRun<tDecoder, Stop, TranslateCR>(Start, End, Expected);
            Buffer.Size = 0;
            const tByte *Stopped = DecodeRun<tDecoder, Stop, TranslateCR>(Start, End, Buffer);
            ASSERT_EQ(Stopped - Begin, ExpectedEnd - Begin) << What << " round " << Round;
            ASSERT_EQ(std::u16string(Buffer.Data(), Buffer.Size), Expected)
                << What << " round " << Round;
        }
    }
}

template <class tDecoder> void CheckAllRuns(int Encoding) {
    CheckRuns<tDecoder, XMLStops::Name, false>(Encoding, "name");
    CheckRuns<tDecoder, XMLStops::EndTagName, false>(Encoding, "end-tag name");
    CheckRuns<tDecoder, XMLStops::DoubleQuoted, true>(Encoding, "value");
    CheckRuns<tDecoder, XMLStops::CData, true>(Encoding, "CDATA");
    CheckRuns<tDecoder, XMLStops::Comment, true>(Encoding, "comment");
    CheckRuns<tDecoder, XMLStops::InstructionTarget, false>(Encoding, "target");
}

TEST(XMLRuns, BlockwiseRunsEqualPlainReading) {
    CheckAllRuns<tLatin1Decoder>(ceLatin1);
    CheckAllRuns<tUTF8Decoder>(ceUTF8);
    CheckAllRuns<tUTF16LEDecoder>(ceUTF16LE);
    CheckAllRuns<tUTF16BEDecoder>(ceUTF16BE);
}

// Character data read one character at a time: whitespace runs collapse, '<' ends it.
template <class tDecoder>
const tByte *PlainText(const tByte *P, const tByte *End, std::u16string &Out, bool &Pending) {
    while (P != End) {
        const tByte *Next = P;
        const char16_t C = tDecoder::Decode(Next, End);
        if (C == u'<')
            break;
        if (C == 9 || C == 10 || C == 13 || C == 32) {
            if (!Pending)
                Out.push_back(u' ');
            Pending = true;
        } else {
            Out.push_back(C);
            Pending = false;
        }
        P = Next;
    }
    return P;
}

template <class tDecoder> void CheckText(int Encoding) {
    tRandom Random(11);
    tCharBuffer Buffer;
    for (int Round = 0; Round < 3000; ++Round) {
        const std::string Input = Generate(Random, Encoding);
        const auto *Begin = reinterpret_cast<const tByte *>(Input.data());
        const tByte *End = Begin + Input.size();
        for (const tByte *Start = Begin; Start <= End; Start += tDecoder::Unit) {
            for (const bool Pending : {false, true}) {
                std::u16string Expected;
                bool ExpectedPending = Pending;
                const tByte *ExpectedEnd =
                    PlainText<tDecoder>(Start, End, Expected, ExpectedPending);
                Buffer.Size = 0;
                bool Got = Pending;
                const tByte *Stopped = DecodeText<tDecoder>(Start, End, Buffer, Got);
                ASSERT_EQ(Stopped - Begin, ExpectedEnd - Begin) << "round " << Round;
                ASSERT_EQ(std::u16string(Buffer.Data(), Buffer.Size), Expected);
                ASSERT_EQ(Got, ExpectedPending) << "round " << Round;
            }
        }
    }
}

TEST(XMLRuns, BlockwiseTextEqualsPlainReading) {
    CheckText<tLatin1Decoder>(ceLatin1);
    CheckText<tUTF8Decoder>(ceUTF8);
    CheckText<tUTF16LEDecoder>(ceUTF16LE);
    CheckText<tUTF16BEDecoder>(ceUTF16BE);
}

TEST(XMLRuns, BufferKeepsWhatItHeldWhenItGrows) {
    tCharBuffer Buffer;
    const std::string Input(5000, 'x');
    const auto *Begin = reinterpret_cast<const tByte *>(Input.data());
    Buffer.Push(u'<');
    const tByte *Stopped =
        DecodeRun<tLatin1Decoder, XMLStops::Name>(Begin, Begin + Input.size(), Buffer);
    EXPECT_EQ(Stopped, Begin + Input.size());
    std::u16string Expected(5001, u'x');
    Expected[0] = u'<';
    EXPECT_EQ(std::u16string(Buffer.Data(), Buffer.Size), Expected);
}

TEST(XMLRuns, SameBytesFindsADifferenceAnywhere) {
    for (size_t Length = 0; Length <= 24; ++Length) {
        const std::string A(Length, 'n');
        EXPECT_TRUE(SameBytes(reinterpret_cast<const tByte *>(A.data()),
                              reinterpret_cast<const tByte *>(A.data()), Length));
        for (size_t At = 0; At < Length; ++At) {
            std::string B = A;
            B[At] = 'm';
            EXPECT_FALSE(SameBytes(reinterpret_cast<const tByte *>(A.data()),
                                   reinterpret_cast<const tByte *>(B.data()), Length))
                << "length " << Length << " at " << At;
        }
    }
}

TEST(XMLRuns, AsciiTextInEachEncodingAndNotPastTheEnd) {
    const auto At = [](auto Decoder, const std::string &Bytes) {
        const auto *P = reinterpret_cast<const tByte *>(Bytes.data());
        return AtAscii<decltype(Decoder), "]]>">(P, P + Bytes.size());
    };
    EXPECT_TRUE(At(tLatin1Decoder{}, "]]>x"));
    EXPECT_FALSE(At(tLatin1Decoder{}, "]]"));
    EXPECT_FALSE(At(tUTF8Decoder{}, "]]\xC0\xBE"));
    EXPECT_TRUE(At(tUTF16LEDecoder{}, std::string("]\0]\0>\0", 6)));
    EXPECT_FALSE(At(tUTF16LEDecoder{}, std::string("]\0]\0>", 5)));
    EXPECT_TRUE(At(tUTF16BEDecoder{}, std::string("\0]\0]\0>", 6)));
    EXPECT_FALSE(At(tUTF16BEDecoder{}, std::string("]\0]\0>\0", 6)));
}

TEST(XMLRuns, LayoutSkipsOnlyWhitespaceUnits) {
    const std::string Latin = " \t\r\n\x0B<";
    const auto *P = reinterpret_cast<const tByte *>(Latin.data());
    EXPECT_EQ(SkipLayout<tLatin1Decoder>(P, P + Latin.size()) - P, 4);
    const std::string Utf16(" \0\r\0\n\0 \x01", 8);
    const auto *Q = reinterpret_cast<const tByte *>(Utf16.data());
    EXPECT_EQ(SkipLayout<tUTF16LEDecoder>(Q, Q + Utf16.size()) - Q, 6);
    EXPECT_EQ(SkipLayout<tUTF16LEDecoder>(Q, Q + 5) - Q, 4); // a lone byte is not skipped
}

} // namespace
