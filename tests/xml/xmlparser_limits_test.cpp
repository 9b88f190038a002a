// Hostile input: deep nesting, many attributes, huge values, truncation at every byte.
// Time limits here are coarse guards against quadratic or unbounded work, not benchmarks.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>

#include "xmltestutil.h"

namespace {

const std::string TooDeep = "Elemente zu tief verschachtelt";

double SecondsSince(std::chrono::steady_clock::time_point Start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

std::string Repeat(const std::string &Piece, size_t Count) {
    std::string Out;
    Out.reserve(Piece.size() * Count);
    for (size_t I = 0; I < Count; ++I)
        Out += Piece;
    return Out;
}

TEST(XMLParserLimits, MillionLevelsEndInDepthError) {
    const std::string Input = Repeat("<a>", 1000000);
    const auto Start = std::chrono::steady_clock::now();
    const auto R = xmltest::Parse(Input);
    EXPECT_LT(SecondsSince(Start), 5.0);
    EXPECT_FALSE(R.Ok);
    EXPECT_EQ(R.Msg, TooDeep);
    // The name of the first element beyond the limit.
    EXPECT_EQ(R.Pos, static_cast<int32_t>(3 * tXMLParser::MaxDepth + 1));
    EXPECT_EQ(R.Len, 1);
}

TEST(XMLParserLimits, NestingUpToTheLimitParses) {
    const size_t Depth = tXMLParser::MaxDepth;
    const auto Full = xmltest::Parse(Repeat("<a>", Depth) + Repeat("</a>", Depth));
    EXPECT_TRUE(Full.Ok) << Full.Msg;
    const auto Empty =
        xmltest::Parse(Repeat("<a>", Depth - 1) + "<b/>" + Repeat("</a>", Depth - 1));
    EXPECT_TRUE(Empty.Ok) << Empty.Msg;
    const auto Beyond = xmltest::Parse(Repeat("<a>", Depth) + "<b/>" + Repeat("</a>", Depth));
    EXPECT_EQ(Beyond.Msg, TooDeep);
    // Comments and text at the deepest level are not elements and stay allowed.
    const auto Leaf =
        xmltest::Parse(Repeat("<a>", Depth) + "x<!--c--><?p?>" + Repeat("</a>", Depth));
    EXPECT_TRUE(Leaf.Ok) << Leaf.Msg;
}

TEST(XMLParserLimits, HundredThousandAttributes) {
    std::string Input = "<a";
    for (int I = 0; I < 100000; ++I)
        Input += " n" + std::to_string(I) + "=\"v\"";
    const auto Start = std::chrono::steady_clock::now();
    const auto Ok = xmltest::Parse(Input + "/>");
    const auto Duplicate = xmltest::Parse(Input + " n99999='x'/>");
    EXPECT_LT(SecondsSince(Start), 10.0);
    EXPECT_TRUE(Ok.Ok) << Ok.Msg;
    EXPECT_EQ(Duplicate.Msg, "Doppeltes Attribut");
    EXPECT_EQ(Duplicate.Pos, static_cast<int32_t>(Input.size() + 1));
    EXPECT_EQ(Duplicate.Len, 6);
}

struct tHugeCase {
    const char *Name;
    std::string Before, Fill, After;
    int32_t ItemType;
};

class XMLParserHuge : public ::testing::TestWithParam<tHugeCase> {};

TEST_P(XMLParserHuge, FiftyMegabytesInOneNode) {
    const tHugeCase &Case = GetParam();
    const size_t Size = 50u << 20;
    const std::string Input = Case.Before + std::string(Size, Case.Fill[0]) + Case.After;
    const auto Start = std::chrono::steady_clock::now();
    tXMLParser Parser;
    tXMLDocument Doc;
    std::istringstream Stream(Input);
    ASSERT_TRUE(Parser.ParseStream(Stream, "", Doc, ceLatin1)) << Parser.ErrorMsg();
    EXPECT_LT(SecondsSince(Start), 30.0);
    const tXMLMarkupItem *Root = Doc.GetRootElement();
    ASSERT_NE(Root, nullptr);
    if (Case.ItemType == xiMarkup) {
        ASSERT_EQ(Root->Attributes.size(), 1u);
        EXPECT_EQ(Root->Attributes[0].Value.size(), Size);
    } else {
        ASSERT_EQ(Root->Children.size(), 1u);
        EXPECT_EQ(Root->Children[0]->ItemType, Case.ItemType);
        EXPECT_EQ(static_cast<const TXMLTextItem &>(*Root->Children[0]).Text.size(), Size);
    }
}

const tHugeCase HugeCases[] = {
    {"Text", "<a>", "x", "</a>", xiText},
    {"AttributeValue", "<a v='", "x", "'/>", xiMarkup},
    {"CData", "<a><![CDATA[", "]", "]]></a>", xiCData},
    {"Comment", "<a><!--", "x", "--></a>", xiComment},
};

INSTANTIATE_TEST_SUITE_P(Sizes, XMLParserHuge, ::testing::ValuesIn(HugeCases),
                         [](const auto &Info) { return std::string(Info.param.Name); });

class XMLParserTruncated : public ::testing::TestWithParam<int> {};

// Every prefix of a real document ends cleanly: only the complete document, and the one
// lacking just the final '>', parse; every error range lies within the input.
TEST_P(XMLParserTruncated, EveryPrefixEndsCleanly) {
    std::ifstream File(CHRONARK_TEST_DATA "/xml/sample.ckx", std::ios::binary);
    const std::string Latin1((std::istreambuf_iterator<char>(File)),
                             std::istreambuf_iterator<char>());
    ASSERT_FALSE(Latin1.empty());
    const int Encoding = GetParam();
    const std::string Bytes = xmltest::Encode(Latin1, Encoding);
    const size_t Unit = Encoding >= ceUTF16LE ? 2 : 1;
    for (size_t Length = 0; Length <= Bytes.size(); ++Length) {
        const auto R = xmltest::Parse(Bytes.substr(0, Length), ceDetect);
        // A lone last byte of UTF-16 reads as a whole character, here the final 'x' or '>'.
        const bool MayPass = Length + 2 * Unit > Bytes.size();
        if (!MayPass) {
            EXPECT_FALSE(R.Ok) << "prefix " << Length;
        } else if (Length == Bytes.size() || Length + Unit == Bytes.size()) {
            EXPECT_TRUE(R.Ok) << "prefix " << Length << ": " << R.Msg;
        }
        EXPECT_EQ(R.Calls, R.Ok ? 0 : 1);
        EXPECT_GE(R.Pos, 0);
        EXPECT_LE(R.Pos, static_cast<int32_t>(Length) + 1);
        EXPECT_GE(R.Len, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(All, XMLParserTruncated,
                         ::testing::Values(ceLatin1, ceUTF8, ceUTF16LE, ceUTF16BE));

} // namespace
