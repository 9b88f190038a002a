// Byte-order marks, the four decoders, and what the parser makes of each encoding.

#include <gtest/gtest.h>

#include <sstream>

#include "xmltestutil.h"

namespace {

using namespace std::string_literals;

struct tBomCase {
    const char *Name;
    std::string Bytes;
    int Code;
    int64_t Length;
};

class DetectBOMCases : public ::testing::TestWithParam<tBomCase> {};

TEST_P(DetectBOMCases, FindsCodeAndLengthAndKeepsPosition) {
    const tBomCase &Case = GetParam();
    std::istringstream Stream(Case.Bytes);
    Stream.seekg(static_cast<std::streamoff>(Case.Bytes.size() / 2));
    const auto Before = Stream.tellg();
    int64_t Length = -1;
    EXPECT_EQ(DetectBOM(&Stream, Length), Case.Code);
    EXPECT_EQ(Length, Case.Length);
    EXPECT_EQ(Stream.tellg(), Before);
    EXPECT_TRUE(Stream.good());
}

const tBomCase BomCases[] = {
    {"Utf8", "\xEF\xBB\xBF<", ceUTF8, 3},
    {"Utf8MarkOnly", "\xEF\xBB\xBF", ceUTF8, 3},
    {"Utf16LE", "\xFF\xFE<\0"s, ceUTF16LE, 2},
    {"Utf16BE", "\xFE\xFF\0<"s, ceUTF16BE, 2},
    {"Utf16LEOnlyMark", "\xFF\xFE", ceUTF16LE, 2},
    {"Utf16BEOnlyMark", "\xFE\xFF", ceUTF16BE, 2},
    {"NoMark", "<a/>", ceLatin1, 0},
    {"Empty", "", ceLatin1, 0},
    {"OneByte", "\xEF", ceLatin1, 0},
    {"TwoBytesOfUtf8Mark", "\xEF\xBB", ceLatin1, 0},
    {"ReversedPair", "\xFE\xFE", ceLatin1, 0},
    {"MarkNotAtStart", "<\xEF\xBB\xBF", ceLatin1, 0},
};

INSTANTIATE_TEST_SUITE_P(Marks, DetectBOMCases, ::testing::ValuesIn(BomCases),
                         [](const auto &Info) { return std::string(Info.param.Name); });

TEST(DetectBOM, WithoutStreamAnswersMinusOne) {
    int64_t Length = 7;
    EXPECT_EQ(DetectBOM(nullptr, Length), -1);
}

struct tDecodeCase {
    const char *Name;
    int Encoding;
    std::string Bytes;
    std::u16string Chars;
};

class Decoders : public ::testing::TestWithParam<tDecodeCase> {};

TEST_P(Decoders, DecodeEveryCharacterToTheEnd) {
    const tDecodeCase &Case = GetParam();
    std::istringstream Stream(Case.Bytes);
    const TReadCharProc Read = ReadCharProcFor(Case.Encoding);
    std::u16string Chars;
    while (Stream.tellg() < static_cast<std::streamoff>(Case.Bytes.size()))
        Chars.push_back(Read(Stream));
    EXPECT_EQ(Chars, Case.Chars);
}

const tDecodeCase DecodeCases[] = {
    {"Latin1Umlaut", ceLatin1, "\xE4<\x80", u"\u00E4<\u0080"},
    {"UnknownCodeIsOneByte", 9, "\xE4\xFF", u"\u00E4\u00FF"},
    {"Utf8Two", ceUTF8, "\xC3\xA4", u"\u00E4"},
    {"Utf8Three", ceUTF8, "\xE2\x82\xAC", u"\u20AC"},
    {"Utf8FourKeepsLow16Bits", ceUTF8, "\xF0\x9F\x98\x80x", u"\uF600x"},
    {"Utf8StrayContinuation", ceUTF8, "\x80\xBF", u"\u0080\u00BF"},
    {"Utf8ContinuationBitsIgnored", ceUTF8, "\xC3\x24", u"\u00E4"},
    {"Utf8OverlongLt", ceUTF8, "\xC0\xBC", u"<"},
    {"Utf8SixByteLead", ceUTF8, "\xFC\x80\x80\x80\x81\x82", u"\u0042"},
    {"Utf8LeadFF", ceUTF8, "\xFF\x80\x80\x80\x80\x80\x81\x82", u"\u0042"},
    {"Utf8CutOffCountsZeroBits", ceUTF8, "a\xE2\x82", u"a\u2080"},
    {"Utf8LeadAloneAtEnd", ceUTF8, "\xC3", u"\u00C0"},
    {"Utf16LE", ceUTF16LE, "<\0\xAC\x20"s, u"<\u20AC"},
    {"Utf16BE", ceUTF16BE, "\0<\x20\xAC"s, u"<\u20AC"},
    {"Utf16SurrogatesPassThrough", ceUTF16LE, "\x3D\xD8\x00\xDE"s, u"\xD83D\xDE00"},
    {"Utf16LELoneLastByte", ceUTF16LE, "a\0b"s, u"ab"},
    {"Utf16BELoneLastByte", ceUTF16BE, "\0ab"s, u"a\u6200"},
};

INSTANTIATE_TEST_SUITE_P(Bytes, Decoders, ::testing::ValuesIn(DecodeCases),
                         [](const auto &Info) { return std::string(Info.param.Name); });

// The same document in every encoding gives the same tree; positions are byte offsets
// by the parser's own arithmetic.
class ParseEncodings : public ::testing::TestWithParam<int> {};

TEST_P(ParseEncodings, SameTreeAndBytePositions) {
    const int Encoding = GetParam();
    const std::string Text = "<r>\xE4<e x='1'/>\r\n<!--\xFC--></r>";
    const auto ByteEnd = [&](size_t CharIndex) {
        const std::string Prefix = Text.substr(0, CharIndex + 1);
        return static_cast<int32_t>(xmltest::Encode(Prefix, Encoding).size());
    };
    const std::string Bytes = xmltest::Encode(Text, Encoding);
    tXMLParser Parser;
    tXMLDocument Doc;
    std::istringstream Stream(Bytes);
    ASSERT_TRUE(Parser.ParseStream(Stream, "", Doc, ceDetect)) << Parser.ErrorMsg();
    EXPECT_EQ(xmltest::Dump(Doc), "E:r(T'\xE4',E:e[x=1](),C'\xFC')");
    const tXMLMarkupItem *R = Doc.GetRootElement();
    const auto *E = static_cast<const tXMLMarkupItem *>(R->Children[1].get());
    EXPECT_EQ(R->Position, ByteEnd(1) - 2);
    EXPECT_EQ(R->TagEnd, ByteEnd(2) - 1);
    EXPECT_EQ(E->Position, ByteEnd(5) - 2);
    EXPECT_EQ(E->TagEnd, ByteEnd(13) - 1);
    EXPECT_EQ(static_cast<const TXMLTextItem &>(*R->Children[2]).Position, ByteEnd(19) + 1);
}

TEST_P(ParseEncodings, ErrorRangeIsInBytes) {
    const int Encoding = GetParam();
    const std::string Text = "<r>\xE4<e xy='1' xy='2'/></r>";
    const auto ByteEnd = [&](size_t CharIndex) {
        const std::string Prefix = Text.substr(0, CharIndex + 1);
        return static_cast<int32_t>(xmltest::Encode(Prefix, Encoding).size());
    };
    const auto R = xmltest::Parse(xmltest::Encode(Text, Encoding), ceDetect);
    EXPECT_EQ(R.Msg, "Doppeltes Attribut");
    // The '=' after the second name is character 16; the range is two characters long.
    EXPECT_EQ(R.Pos, ByteEnd(16) - 2 - 1);
    EXPECT_EQ(R.Len, 2);

    const std::string Cut = xmltest::Encode("<r>\xE4</s>", Encoding);
    const auto Mismatch = xmltest::Parse(Cut, ceDetect);
    EXPECT_EQ(Mismatch.Pos, static_cast<int32_t>(Cut.size()) - 1);
}

TEST_P(ParseEncodings, ExplicitCodeReadsMarkAsCharacters) {
    const int Encoding = GetParam();
    const auto R = xmltest::Parse(xmltest::Encode("<a/>", Encoding), Encoding);
    if (Encoding == ceLatin1) {
        EXPECT_TRUE(R.Ok);
    } else {
        // The mark decodes to U+FEFF, which is text at document level.
        EXPECT_EQ(R.Msg, "Fehler auf Rootebene");
        EXPECT_EQ(R.Pos, Encoding == ceUTF8 ? 2 : 1);
    }
    EXPECT_TRUE(xmltest::Parse(xmltest::Encode("<a/>", Encoding, false), Encoding).Ok);
}

std::string EncodingName(const ::testing::TestParamInfo<int> &Info) {
    static const char *const Names[] = {"Latin1", "UTF8", "UTF16LE", "UTF16BE"};
    return Names[Info.param];
}

INSTANTIATE_TEST_SUITE_P(All, ParseEncodings,
                         ::testing::Values(ceLatin1, ceUTF8, ceUTF16LE, ceUTF16BE), EncodingName);

struct tUtf8Case {
    const char *Name;
    std::string Bytes;
    std::string Tree;
};

class ParseUtf8 : public ::testing::TestWithParam<tUtf8Case> {};

// Bulk copying must give the very characters the lenient decoder yields one by one.
TEST_P(ParseUtf8, LenientSequencesInsideText) {
    const auto R = xmltest::Parse("\xEF\xBB\xBF" + GetParam().Bytes, ceDetect);
    EXPECT_TRUE(R.Ok) << R.Msg;
    EXPECT_EQ(R.Tree, GetParam().Tree);
}

const tUtf8Case Utf8Cases[] = {
    {"EuroInValue", "<a x='\xE2\x82\xAC'/>", "E:a[x={U+20AC}]()"},
    {"OverlongLtOpensMarkupInText",
     "<a>x\xC0\xBC"
     "b/></a>",
     "E:a(T'x',E:b())"},
    {"OverlongQuoteEndsValue", "<a x='1\xC0\xA7/>", "E:a[x=1]()"},
    {"OverlongCrIsLineEnd", "<a><![CDATA[1\xC0\x8D\n2]]></a>", "E:a(D'1\n2')"},
    {"OverlongBracketsCloseCData", "<a><![CDATA[1\xC1\x9D\xC1\x9D>]]></a>", "E:a(D'1',T']]>')"},
    {"StrayContinuationIsText", "<a>\x80\xBF</a>", "E:a(T'\x80\xBF')"},
    {"FourByteInName", "<\xF0\x9F\x98\x80/>", "E:{U+F600}()"},
};

INSTANTIATE_TEST_SUITE_P(Sequences, ParseUtf8, ::testing::ValuesIn(Utf8Cases),
                         [](const auto &Info) { return std::string(Info.param.Name); });

} // namespace
