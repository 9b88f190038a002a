// The grammar: trees built from valid input, every message with its range, line ends.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "xmltestutil.h"

using xmltest::Parse;

namespace {

const std::string RootLevel = "Fehler auf Rootebene";
const std::string EndTagUnexpected = "Endtag nicht erwartet";
const std::string OnlyOneRoot = "Nur ein Element auf h\xF6hster Ebene erlaubt";
const std::string NoRoot = "Document mu\xDF ein Rootelement enthalten";
const std::string SpaceAfterLt = "Zeichen nicht erlaubt!";
const std::string InvalidChar = "Ung\xFCltiges Zeichen";
const std::string Duplicate = "Doppeltes Attribut";
const std::string SpaceAfterEndLt = "Zeichen nicht erlaubt";
const std::string NoTagName = "Kein Tagname angegeben";
const std::string AfterEndName = "Nichterlaubtes Zeichgen gefunden";
const std::string Mismatch = "Endtag stimmt nicht mit Anfangstag \xFC"
                             "berein.";
const std::string SpaceInDecl = "Kein Leerzeichen an dieser Stelle erlaubrt!";
const std::string BadDecl =
    "Ung\xFCltiger Deklarationsname / Deklaration wird nicht unterst\xFCtzt!";
const std::string CommentSyntax = "Falsche Syntax im Kommentar";
const std::string CommentOpen = "Kommentar wurde nicht geschlossem";
const std::string CDataOpen = "CDATA wurde nicht geschlossem";
const std::string DocTypeOpen = "DOCTYPE wurde nicht geschlossen";
const std::string SpaceInPI = "Leerzeichen an dieser Stelle nicht erlaubt!";
const std::string GtExpected = "Zeichen \">\" wurde erwartet";

struct tTreeCase {
    const char *Name;
    std::string Input;
    std::string Tree;
};

class XMLParserTree : public ::testing::TestWithParam<tTreeCase> {};

TEST_P(XMLParserTree, BuildsTree) {
    const tTreeCase &Case = GetParam();
    const auto R = Parse(Case.Input);
    EXPECT_TRUE(R.Ok) << R.Msg << " at " << R.Pos;
    EXPECT_EQ(R.Calls, 0);
    EXPECT_EQ(R.Tree, Case.Tree);
}

const tTreeCase TreeCases[] = {
    {"EmptyElement", "<a/>", "E:a()"},
    {"AttributesInOrder", "<a x=\"1\" y='2'/>", "E:a[x=1][y=2]()"},
    {"SpaceAroundEqualsAndSlash", "<a x = \"1\"\ty\n=\n'2' / >", "E:a[x=1][y=2]()"},
    {"ValueKeepsOtherQuoteAndMarks", "<a x=\"a'b=/>c  d&amp;\"/>", "E:a[x=a'b=/>c  d&amp;]()"},
    {"EmptyValue", "<a x=''></a>", "E:a[x=]()"},
    {"TextCollapsed", "<a>  Hello   big \n world  </a>", "E:a(T'Hello big world')"},
    {"TabsCollapsed", "<a>\tx\t\ty\t</a>", "E:a(T'x y')"},
    {"TextAroundChild", "<a>x<b/>y z</a>", "E:a(T'x',E:b(),T'y z')"},
    {"TextAroundComment", "<a>x <!--c--> y</a>", "E:a(T'x',C'c',T'y')"},
    {"EntitiesUntouched", "<a>&amp; &lt;&#65; > </a>", "E:a(T'&amp; &lt;&#65; >')"},
    {"ControlCharsTrimmedBeforeMarkup", "<a>x\x01\x02<b/></a>", "E:a(T'x',E:b())"},
    {"ControlCharStartsText", "<a>\x01 x</a>", "E:a(T'\x01 x')"},
    {"Nested", "<a><b><c/></b><d></d></a>", "E:a(E:b(E:c()),E:d())"},
    {"EndTagWithSpace", "<a></a  >", "E:a()"},
    {"EndTagMissingGtAtEnd", "<a></a", "E:a()"},
    {"NamesAsWritten", "<x:Y-1.z \xE4=\"1\"></x:Y-1.z>", "E:x:Y-1.z[\xE4=1]()"},
    {"FirstNameCharNotExamined", "<<a></<a>", "E:<a()"},
    {"Comment", "<!-- a - b --><a/>", "C' a - b ',E:a()"},
    {"CommentWithGt", "<a><!--x>y->z--></a>", "E:a(C'x>y->z')"},
    {"CData", "<a><![CDATA[x]]y]]]></a>", "E:a(D'x]]y]')"},
    {"CDataKeepsMarkup", "<a><![CDATA[<b> ]> ] &amp;\n]]></a>", "E:a(D'<b> ]> ] &amp;\n')"},
    {"CDataEmpty", "<a><![CDATA[]]></a>", "E:a(D'')"},
    {"DocType", "<!DOCTYPE ckx><a/>", "Y' ckx',E:a()"},
    {"DocTypeBodyRightAfterKeyword", "<!DOCTYPEx><a/>", "Y'x',E:a()"},
    {"Declaration", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a/>",
     "P'xml'version=\"1.0\" encoding=\"ISO-8859-1\"',E:a()"},
    {"DeclarationSpaceKept", "<?xml version=\"1.0\" ?>\r\n<a/>", "P'xml'version=\"1.0\" ',E:a()"},
    {"InstructionQuestionMarks", "<?pi a?b?\?><a/>", "P'pi'a?b?',E:a()"},
    {"InstructionWithoutData", "<?pi?><a/>", "P'pi'',E:a()"},
    {"InstructionExtraSpace", "<?pi  x ?><a/>", "P'pi' x ',E:a()"},
    {"MarkupAfterRoot", "<a/> <!--c--> <?p?>\n", "E:a(),C'c',P'p''"},
    {"EmptyElementCutAtEnd", "<a/", "E:a()"},
    {"LtAtEndAfterRoot", "<a/><", "E:a()"},
    {"InstructionCutAtEnd", "<a/><?pi data", "E:a(),P'pi'data'"},
    {"DeclarationKeywordCutAtEnd", "<a/><!DOC", "E:a()"},
    {"WorkedExampleShape",
     "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n<ckx version=\"1.1\">\r\n<data>\r\n"
     "<project caption=\"Projekt A\" default=\"1\">\r\n"
     "<item starttime=\"20070305090000\" endtime=\"20070305103000\">\r\n"
     "<comment><![CDATA[Zeile 1\r\nZeile 2]]></comment>\r\n<fields>\r\n"
     "<fielditem id=\"abrechenbar\">true</fielditem>\r\n</fields>\r\n</item>\r\n"
     "</project>\r\n</data>\r\n</ckx>",
     "P'xml'version=\"1.0\" encoding=\"ISO-8859-1\" ',E:ckx[version=1.1](E:data("
     "E:project[caption=Projekt A][default=1](E:item[starttime=20070305090000]"
     "[endtime=20070305103000](E:comment(D'Zeile 1\nZeile 2'),E:fields("
     "E:fielditem[id=abrechenbar](T'true'))))))"},
};

INSTANTIATE_TEST_SUITE_P(Valid, XMLParserTree, ::testing::ValuesIn(TreeCases),
                         [](const auto &Info) { return std::string(Info.param.Name); });

struct tErrorCase {
    const char *Name;
    std::string Input;
    std::string Msg;
    int32_t Pos;
    int32_t Len;
};

class XMLParserError : public ::testing::TestWithParam<tErrorCase> {};

TEST_P(XMLParserError, ReportsMessageAndRange) {
    const tErrorCase &Case = GetParam();
    const auto R = Parse(Case.Input);
    EXPECT_FALSE(R.Ok);
    EXPECT_EQ(R.Calls, 1);
    EXPECT_EQ(R.Msg, Case.Msg);
    EXPECT_EQ(R.Pos, Case.Pos);
    EXPECT_EQ(R.Len, Case.Len);
}

const tErrorCase ErrorCases[] = {
    {"TextAtDocumentLevel", "x", RootLevel, 0, 1},
    {"TextAfterRoot", "<a/>x", RootLevel, 4, 1},
    {"EndTagAtDocumentLevel", "</a>", EndTagUnexpected, 1, 1},
    {"EndTagAfterRoot", "<a/></a>", EndTagUnexpected, 5, 1},
    {"SecondRoot", "<a/><b/>", OnlyOneRoot, 5, 1},
    {"SecondRootAfterComment", "<a></a><!--c--><b>", OnlyOneRoot, 16, 1},
    {"EmptyInput", "", NoRoot, 0, 0},
    {"OnlyDeclaration", "<?xml version=\"1.0\"?>", NoRoot, 0, 0},
    {"OnlyWhitespaceAndComment", " \r\n<!-- c -->\t", NoRoot, 0, 0},
    {"OnlyLt", "<", NoRoot, 0, 0},
    {"CutInDeclarationKeyword", "<!DOC", NoRoot, 0, 0},
    {"CutInInstruction", "<?pi", NoRoot, 0, 0},
    {"SpaceAfterLt", "< a/>", SpaceAfterLt, 1, 1},
    {"SpaceAfterLtInContent", "<a>< b/></a>", SpaceAfterLt, 4, 1},
    {"QuoteInName", "<a\"/>", InvalidChar, 2, 1},
    {"EqualsInName", "<a=/>", InvalidChar, 2, 1},
    {"LtInName", "<a</a>", InvalidChar, 2, 1},
    {"QuoteBetweenAttributes", "<a \"/>", InvalidChar, 3, 1},
    {"EqualsBetweenAttributes", "<a =\"1\"/>", InvalidChar, 3, 1},
    {"LtBetweenAttributes", "<a <", InvalidChar, 3, 1},
    {"AttributeWithoutValue", "<a x>", InvalidChar, 4, 1},
    {"SlashInAttributeName", "<a x/>", InvalidChar, 4, 1},
    {"QuoteInAttributeName", "<a x\"1\"/>", InvalidChar, 4, 1},
    {"LtInAttributeName", "<a x</a>", InvalidChar, 4, 1},
    {"SecondNameAfterAttributeName", "<a x y=\"1\"/>", InvalidChar, 5, 1},
    {"UnquotedValue", "<a x=1/>", InvalidChar, 5, 1},
    {"EqualsTwice", "<a x==\"1\"/>", InvalidChar, 5, 1},
    {"LtInValue", "<a x=\"<\"/>", InvalidChar, 6, 1},
    {"AttributesNotSeparated", "<a x=\"1\"y=\"2\">", InvalidChar, 8, 1},
    {"EqualsAfterValue", "<a x='1'=", InvalidChar, 8, 1},
    {"CharAfterSlash", "<a/x>", InvalidChar, 3, 1},
    {"SlashTwice", "<a//>", InvalidChar, 3, 1},
    {"EmptyDeclaration", "<!>", InvalidChar, 2, 1},
    {"EmptyInstruction", "<?>", InvalidChar, 2, 1},
    {"InstructionQuestionFirst", "<??", InvalidChar, 2, 1},
    {"InstructionTargetThenGt", "<?name>", InvalidChar, 6, 1},
    {"DuplicateAttribute", "<a x=\"1\" x=\"2\"></a>", Duplicate, 9, 1},
    {"DuplicateLongNameBeforeSpace", "<a xy=\"1\" xy =\"2\"/>", Duplicate, 10, 2},
    {"SpaceAfterEndTagLt", "<a></ a>", SpaceAfterEndLt, 5, 1},
    {"EmptyEndTag", "<a></>", NoTagName, 5, 1},
    {"CharAfterEndTagName", "<a></a b>", AfterEndName, 7, 1},
    {"OtherEndTag", "<a></b>", Mismatch, 6, 1},
    {"EndTagPrefix", "<ab></a>", Mismatch, 7, 1},
    {"EndTagLonger", "<a></ab>", Mismatch, 7, 1},
    {"CaseDiffers", "<a></A>", Mismatch, 6, 1},
    {"InnerClosedByOuter", "<a><b></a>", Mismatch, 9, 1},
    {"NoEndTag", "<a>", Mismatch, 2, 1},
    {"TextWithoutEndTag", "<a>text", Mismatch, 6, 1},
    {"CutAfterEndTagSlash", "<a></", Mismatch, 4, 1},
    {"CutInEndTagName", "<abc></ab", Mismatch, 8, 1},
    {"CutInStartTag", "<a x=\"1", Mismatch, 6, 1},
    {"CutAfterLtInContent", "<a><", Mismatch, 3, 1},
    {"SpaceAfterBang", "<a><! x></a>", SpaceInDecl, 5, 1},
    {"UnknownDeclaration", "<!ELEMENT x>", BadDecl, 0, 9},
    {"LowerCaseDocType", "<a><!doctype x></a>", BadDecl, 3, 9},
    {"DeclarationEndedByGt", "<!-x>", BadDecl, 0, 4},
    {"DoubleDashInComment", "<!-- a -- b -->", CommentSyntax, 9, 1},
    {"ThreeDashesBeforeGt", "<!-- a --->", CommentSyntax, 9, 1},
    {"CommentOpen", "<a><!-- x", CommentOpen, 8, 1},
    {"CommentOpenRightAfterKeyword", "<!--", CommentOpen, 5, 1},
    {"CommentOpenAfterDashes", "<a><!-- x -", CommentOpen, 8, 1},
    {"CDataOpen", "<a><![CDATA[x", CDataOpen, 13, 1},
    {"CDataOpenAfterBrackets", "<a><![CDATA[x]]", CDataOpen, 13, 1},
    {"DocTypeOpen", "<!DOCTYPE x", DocTypeOpen, 10, 1},
    {"SpaceAfterQuestion", "<? xml?>", SpaceInPI, 2, 1},
    {"QuestionAfterTargetThenOther", "<?x?y", GtExpected, 4, 1},
    {"QuestionAfterTargetThenSpace", "<?x? >", GtExpected, 4, 1},
    {"CrAfterLtHoldsNextChar", "<\rx", SpaceAfterLt, 1, 1},
    {"CrLfAfterLt", "<\r\nx", SpaceAfterLt, 2, 1},
    {"CrAfterRootHoldsNextChar", "<a/>\rx", RootLevel, 5, 1},
};

INSTANTIATE_TEST_SUITE_P(Invalid, XMLParserError, ::testing::ValuesIn(ErrorCases),
                         [](const auto &Info) { return std::string(Info.param.Name); });

TEST(XMLParser, DuplicateFoundAmongManyAttributes) {
    std::string Input = "<a";
    for (int I = 0; I < 40; ++I)
        Input += " a" + std::to_string(I) + "=''";
    const size_t Second = Input.size() + 1;
    Input += " a17='x'/>";
    const auto R = Parse(Input);
    EXPECT_EQ(R.Msg, Duplicate);
    EXPECT_EQ(R.Pos, static_cast<int32_t>(Second));
    EXPECT_EQ(R.Len, 3);
}

TEST(XMLParser, FailedParseKeepsNodesOpenedBeforeTheFault) {
    const auto R = Parse("<a><b x='1'>t<!-- open");
    EXPECT_FALSE(R.Ok);
    EXPECT_EQ(R.Tree, "E:a(E:b[x=1](T't',C' open'))");
}

TEST(XMLParser, PositionsOfTagsAndBodies) {
    tXMLParser Parser;
    tXMLDocument Doc;
    std::istringstream Stream("<a><b x=\"1\">t</b><!--c--><![CDATA[d]]><!DOCTYPE e></a>");
    ASSERT_TRUE(Parser.ParseStream(Stream, "", Doc, ceLatin1));
    const tXMLMarkupItem *A = Doc.GetRootElement();
    ASSERT_NE(A, nullptr);
    EXPECT_EQ(A->Position, 0);
    EXPECT_EQ(A->TagEnd, 2);
    ASSERT_EQ(A->Children.size(), 4u);
    const auto *B = static_cast<const tXMLMarkupItem *>(A->Children[0].get());
    EXPECT_EQ(B->Position, 3);
    EXPECT_EQ(B->TagEnd, 11);
    EXPECT_EQ(static_cast<const TXMLTextItem &>(*B->Children[0]).Position, 0);
    // Just after the keyword, plus one.
    EXPECT_EQ(static_cast<const TXMLTextItem &>(*A->Children[1]).Position, 22);
    EXPECT_EQ(static_cast<const TXMLTextItem &>(*A->Children[2]).Position, 35);
    EXPECT_EQ(static_cast<const TXMLTextItem &>(*A->Children[3]).Position, 48);
}

TEST(XMLParser, EmptyElementTagEndIsOffsetOfGt) {
    tXMLParser Parser;
    tXMLDocument Doc;
    std::istringstream Stream("<a/>");
    ASSERT_TRUE(Parser.ParseStream(Stream, "", Doc, ceLatin1));
    EXPECT_EQ(Doc.GetRootElement()->Position, 0);
    EXPECT_EQ(Doc.GetRootElement()->TagEnd, 3);
    EXPECT_EQ(Doc.ItemType, xiDocument);
}

struct tLineEndCase {
    const char *Name;
    std::string Body;
    std::string Tree;
};

class XMLParserLineEnds : public ::testing::TestWithParam<tLineEndCase> {};

TEST_P(XMLParserLineEnds, ReadAsLineFeeds) {
    const auto R = Parse(GetParam().Body);
    EXPECT_TRUE(R.Ok) << R.Msg;
    EXPECT_EQ(R.Tree, GetParam().Tree);
}

const tLineEndCase LineEndCases[] = {
    {"LoneCrInValue", "<a x='1\r2'/>", "E:a[x=1\n2]()"},
    {"CrLfInValue", "<a x='1\r\n2'/>", "E:a[x=1\n2]()"},
    {"CrCrLfInValue", "<a x='1\r\r\n2'/>", "E:a[x=1\n\n2]()"},
    {"LfCrInValue", "<a x='1\n\r2'/>", "E:a[x=1\n\n2]()"},
    {"CrCrCrInCData", "<a><![CDATA[1\r\r\r2\r\n3]]></a>", "E:a(D'1\n\n\n2\n3')"},
    {"CrInComment", "<a><!--1\r2\r\n--></a>", "E:a(C'1\n2\n')"},
    {"CrBetweenAttributes", "<a\rx='1'\r\ny='2'/>", "E:a[x=1][y=2]()"},
    {"CrInTextCollapses", "<a>x\r\r\ny</a>", "E:a(T'x y')"},
    {"CrLfAtVeryEnd", "<a/>\r\n", "E:a()"},
    {"CrAtVeryEnd", "<a/>\r", "E:a()"},
    {"CrBeforeLtOfEndTag", "<a>x\r</a>", "E:a(T'x')"},
    {"CrInEndTag", "<a></a\r>", "E:a()"},
};

INSTANTIATE_TEST_SUITE_P(CrLf, XMLParserLineEnds, ::testing::ValuesIn(LineEndCases),
                         [](const auto &Info) { return std::string(Info.param.Name); });

TEST(XMLParser, CallbackGetsFileNameAndStreamAtItsPosition) {
    int Calls = 0;
    std::string SeenName, SeenMessage, SeenContent;
    std::istringstream Stream("xy<a></b>");
    Stream.seekg(2);
    tXMLParser Parser([&](const std::string &Msg, const std::string &FileName, std::istream &S,
                          int32_t Pos, int32_t Len) {
        ++Calls;
        SeenMessage = Msg;
        SeenName = FileName;
        EXPECT_EQ(S.tellg(), 2);
        S.seekg(0);
        std::getline(S, SeenContent);
        EXPECT_EQ(Pos, 0);
        EXPECT_EQ(Len, 1);
    });
    tXMLDocument Doc;
    EXPECT_FALSE(Parser.ParseStream(Stream, "C:\\Daten\\M\xFCller.ckx", Doc, ceLatin1));
    EXPECT_EQ(Calls, 1);
    EXPECT_EQ(SeenMessage, RootLevel);
    EXPECT_EQ(SeenName, "C:\\Daten\\M\xFCller.ckx");
    EXPECT_EQ(Parser.FileName(), u"C:\\Daten\\M\u00FCller.ckx");
    EXPECT_EQ(SeenContent, "xy<a></b>");
    EXPECT_TRUE(Parser.HasError());
    EXPECT_EQ(Parser.ErrorMsg(), RootLevel);
}

TEST(XMLParser, SuccessLeavesStreamPositionAndCallsNothing) {
    int Calls = 0;
    std::istringstream Stream("<a>t</a>");
    Stream.seekg(3);
    tXMLParser Parser([&](const std::string &, const std::string &, std::istream &, int32_t,
                          int32_t) { ++Calls; });
    tXMLDocument Doc;
    EXPECT_TRUE(Parser.ParseStream(Stream, "f", Doc, ceDetect));
    EXPECT_EQ(Calls, 0);
    EXPECT_EQ(Stream.tellg(), 3);
    EXPECT_FALSE(Parser.HasError());
}

TEST(XMLParser, WithoutCallbackStillFails) {
    tXMLParser Parser;
    tXMLDocument Doc;
    std::istringstream Stream("<a>");
    EXPECT_FALSE(Parser.ParseStream(Stream, "f", Doc, ceLatin1));
    EXPECT_EQ(Parser.ErrorMsg(), Mismatch);
    EXPECT_EQ(Parser.ErrorPos(), 2);
    EXPECT_EQ(Parser.ErrorLen(), 1);
}

TEST(XMLParser, MissingFileParsesAsEmptyInput) {
    int Calls = 0;
    std::string SeenName;
    int32_t SeenLen = -1;
    tXMLParser Parser([&](const std::string &Msg, const std::string &FileName, std::istream &,
                          int32_t, int32_t Len) {
        ++Calls;
        EXPECT_EQ(Msg, NoRoot);
        SeenName = FileName;
        SeenLen = Len;
    });
    tXMLDocument Doc;
    EXPECT_FALSE(Parser.ParseFile("/nonexistent/dir/missing.ckx", Doc, ceDetect));
    EXPECT_EQ(Calls, 1);
    EXPECT_EQ(SeenName, "/nonexistent/dir/missing.ckx");
    EXPECT_EQ(SeenLen, 0);
    EXPECT_TRUE(Doc.Children.empty());
}

TEST(XMLParser, ParseFileReadsFixture) {
    std::string Seen;
    tXMLParser Parser;
    tXMLDocument Doc;
    ASSERT_TRUE(Parser.ParseFile(CHRONARK_TEST_DATA "/xml/sample.ckx", Doc, ceDetect))
        << Parser.ErrorMsg() << " at " << Parser.ErrorPos();
    const tXMLMarkupItem *Root = Doc.GetRootElement();
    ASSERT_NE(Root, nullptr);
    EXPECT_EQ(Root->Name, u"ckx");
    EXPECT_EQ(Root->GetAttribute(u"version", u"1.0"), u"1.1");
    const tXMLMarkupItem *Data = Root->FindElement(u"data");
    ASSERT_NE(Data, nullptr);
    const tXMLMarkupItem *Project = Data->FindElement(u"project");
    ASSERT_NE(Project, nullptr);
    EXPECT_EQ(Project->GetAttribute(u"caption", u""), u"Projekt \u00C4");
    const tXMLMarkupItem *Comment = Project->FindElement(u"item")->FindElement(u"comment");
    ASSERT_NE(Comment, nullptr);
    ASSERT_EQ(Comment->Children.size(), 1u);
    EXPECT_EQ(Comment->Children[0]->ItemType, xiCData);
    EXPECT_EQ(static_cast<const TXMLTextItem &>(*Comment->Children[0]).Text,
              u"Besprechung mit M\u00FCller & Co.\nZweite Zeile");
}

TEST(XMLParser, ErrorInFixtureFileReportsRange) {
    std::string Seen;
    tXMLParser Parser(
        [&](const std::string &, const std::string &, std::istream &S, int32_t Pos, int32_t Len) {
            std::string All((std::istreambuf_iterator<char>(S)), std::istreambuf_iterator<char>());
            Seen = All.substr(static_cast<size_t>(Pos), static_cast<size_t>(Len));
        });
    tXMLDocument Doc;
    EXPECT_FALSE(Parser.ParseFile(CHRONARK_TEST_DATA "/xml/duplicate.ckx", Doc, ceDetect));
    EXPECT_EQ(Parser.ErrorMsg(), Duplicate);
    EXPECT_EQ(Seen, "endtime");
}

} // namespace
