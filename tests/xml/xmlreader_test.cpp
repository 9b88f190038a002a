// The parser's block-wise reading against reading one character at a time through the state
// machines: the same tree, positions, message and range for documents whose markup falls on
// every offset of a block, for cut-off and line-broken variants, in every encoding.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "xml/xmlreaddocument.h"
#include "xmltestutil.h"

namespace {

// The tree with every node's positions.
void DumpPlaced(std::string &Out, const tXMLItem &Node) {
    xmltest::Dump(Out, Node);
    if (Node.ItemType == xiMarkup || Node.ItemType == xiDocument) {
        const auto &Element = static_cast<const tXMLMarkupItem &>(Node);
        Out += "@" + std::to_string(Element.Position) + "-" + std::to_string(Element.TagEnd);
        for (const auto &Child : Element.Children)
            DumpPlaced(Out, *Child);
    } else if (Node.ItemType != xiProcInstruction) {
        Out += "@" + std::to_string(static_cast<const TXMLTextItem &>(Node).Position);
    }
    Out += ';';
}

std::string Read(bool Fast, const std::string &Bytes, int Encoding, bool Freeing) {
    const TXMLElementEndProc Hook = [](const tXMLMarkupItem &Element,
                                       const std::vector<tXMLMarkupItem *> &) {
        return Element.Name == u"item";
    };
    tXMLDocument Doc;
    tXMLParser::tError Error;
    const auto *Data = reinterpret_cast<const tByte *>(Bytes.data());
    if (Fast)
        ReadXMLDocument<true>(Data, Bytes.size(), Encoding, Doc, Error, Freeing ? Hook : nullptr);
    else
        ReadXMLDocument<false>(Data, Bytes.size(), Encoding, Doc, Error, Freeing ? Hook : nullptr);
    std::string Out = Error.HasError ? Error.Msg + " " + std::to_string(Error.Pos) + "+" +
                                           std::to_string(Error.Len) + " "
                                     : "ok ";
    DumpPlaced(Out, Doc);
    return Out;
}

void ExpectSame(const std::string &Latin1, const std::string &What) {
    for (const int Encoding : {ceLatin1, ceUTF8, ceUTF16LE, ceUTF16BE}) {
        const std::string Bytes = xmltest::Encode(Latin1, Encoding);
        for (const bool Freeing : {false, true})
            ASSERT_EQ(Read(true, Bytes, Encoding, Freeing), Read(false, Bytes, Encoding, Freeing))
                << What << ", encoding " << Encoding << (Freeing ? ", freeing" : "");
    }
}

// Each construct the fast paths take, behind every amount of padding up to two blocks, so
// that its delimiters meet block edges; some of them faulty.
TEST(XMLReader, BlockwiseEqualsPlainAtEveryOffset) {
    const std::vector<std::string> Bodies = {
        "<item start=\"20070102080500\" end='x\xE4\"y'>t</item>",
        "<item a=\"1\" a=\"2\"/>",
        "<item a = \"1\"/>",
        "<item a=\"1\r\n2\r3\"></item >",
        "<item a=\"1<\"/>",
        "<comment><![CDATA[B\xFCro & M\xFCller\r\nK\xF6ln]]]]></comment>",
        "<c><![CDATA[x]]y]]]>z <!-- a - b --> w\r\n v </c>",
        "<c><!-- a -- b --></c>",
        "text  with\r\n\t spaces \x01<e/>tail",
        "<fielditem id=\"abrechenbar\">true</fielditem>",
        "<longername1234567890></longername1234567890>",
        "<n></m>",
        "<n></n x>",
        "<n></ n>",
        "<!DOCTYPE x><?pi data?\?>",
    };
    for (const std::string &Body : Bodies)
        for (size_t Pad = 0; Pad <= 34; ++Pad)
            ExpectSame("<ckx>" + std::string(Pad, Pad % 3 ? ' ' : '\n') + Body + "</ckx>",
                       Body + " after " + std::to_string(Pad));
}

std::string Sample() {
    std::ifstream File(CHRONARK_TEST_DATA "/xml/sample.ckx", std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(File)), std::istreambuf_iterator<char>());
}

TEST(XMLReader, BlockwiseEqualsPlainForEveryPrefix) {
    const std::string Latin1 = Sample();
    ASSERT_FALSE(Latin1.empty());
    for (size_t Length = 0; Length <= Latin1.size(); ++Length)
        ExpectSame(Latin1.substr(0, Length), "prefix " + std::to_string(Length));
}

// A CR, a lone one or before a LF, at each place of a real document.
TEST(XMLReader, BlockwiseEqualsPlainWithLineBreaksAnywhere) {
    const std::string Latin1 = Sample();
    ASSERT_FALSE(Latin1.empty());
    for (size_t At = 0; At <= Latin1.size(); ++At) {
        std::string Broken = Latin1;
        Broken.insert(At, At % 2 ? "\r" : "\r\n");
        ExpectSame(Broken, "line break at " + std::to_string(At));
    }
}

} // namespace
