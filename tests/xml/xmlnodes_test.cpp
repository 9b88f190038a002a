// Lookups of the node model and freeing of trees.

#include <gtest/gtest.h>

#include <memory>

#include "xml/xmlnodes.h"
#include "xmltestutil.h"

namespace {

tXMLMarkupItem *AddElement(tXMLMarkupItem &Parent, std::u16string Name) {
    auto Element = std::make_unique<tXMLMarkupItem>();
    Element->Name = std::move(Name);
    return static_cast<tXMLMarkupItem *>(Parent.AddChild(std::move(Element)));
}

TEST(XMLNodes, ConstructorsSetItemType) {
    EXPECT_EQ(tXMLItem().ItemType, xiNone);
    EXPECT_EQ(TXMLTextItem().ItemType, xiText);
    EXPECT_EQ(tXMLMarkupItem().ItemType, xiMarkup);
    EXPECT_EQ(tXMLProcInstruction().ItemType, xiProcInstruction);
    EXPECT_EQ(tXMLDocument().ItemType, xiDocument);
}

TEST(XMLNodes, FindElementTakesFirstDirectChildElementOnly) {
    tXMLDocument Doc;
    tXMLMarkupItem *Root = AddElement(Doc, u"root");
    auto Text = std::make_unique<TXMLTextItem>();
    Text->Text = u"b";
    Root->AddChild(std::move(Text));
    auto Comment = std::make_unique<TXMLTextItem>();
    Comment->ItemType = xiComment;
    Comment->Text = u"c";
    Root->AddChild(std::move(Comment));
    tXMLMarkupItem *A = AddElement(*Root, u"a");
    AddElement(*A, u"c");
    tXMLMarkupItem *B1 = AddElement(*Root, u"b");
    AddElement(*Root, u"b");

    EXPECT_EQ(Root->FindElement(u"b"), B1);
    EXPECT_EQ(Root->FindElement(u"a"), A);
    EXPECT_EQ(Root->FindElement(u"c"), nullptr);
    EXPECT_EQ(Root->FindElement(u"B"), nullptr);
    EXPECT_EQ(Doc.FindElement(u"root"), Root);
}

TEST(XMLNodes, AttributesAreMatchedExactly) {
    tXMLMarkupItem Element;
    Element.AddAttribute(tAttribItem{u"id", u"x"});
    Element.AddAttribute(tAttribItem{u"empty", u""});
    Element.AddAttribute(tAttribItem{u"id", u"second"});

    EXPECT_EQ(Element.IndexOfAttribute(u"id"), 0);
    EXPECT_EQ(Element.IndexOfAttribute(u"empty"), 1);
    EXPECT_EQ(Element.IndexOfAttribute(u"ID"), -1);
    EXPECT_EQ(Element.GetAttribute(u"id", u"d"), u"x");
    EXPECT_EQ(Element.GetAttribute(u"Id", u"d"), u"d");
    EXPECT_EQ(Element.GetAttribute(u"empty", u"d"), u"");
    EXPECT_EQ(Element.GetAttribute(u"missing", u""), u"");
}

TEST(XMLNodes, RootElementSkipsDeclarationAndComment) {
    tXMLParser Parser;
    tXMLDocument Doc;
    std::istringstream Stream("<?xml version=\"1.0\"?><!--c--><ckx/>");
    ASSERT_TRUE(Parser.ParseStream(Stream, "", Doc, ceDetect));
    ASSERT_EQ(Doc.Children.size(), 3u);
    ASSERT_NE(Doc.GetRootElement(), nullptr);
    EXPECT_EQ(Doc.GetRootElement()->Name, u"ckx");
    EXPECT_EQ(tXMLDocument().GetRootElement(), nullptr);
}

TEST(XMLNodes, LookupsIgnoreNodesWhoseClassDoesNotMatchTheirType) {
    tXMLMarkupItem Element;
    auto Text = std::make_unique<TXMLTextItem>();
    Text->ItemType = xiMarkup;
    Element.AddChild(std::move(Text));
    EXPECT_EQ(Element.GetRootElement(), nullptr);
    EXPECT_EQ(Element.FindElement(u""), nullptr);
}

TEST(XMLNodes, DeepAndWideTreesAreFreedWithoutRecursion) {
    auto Doc = std::make_unique<tXMLDocument>();
    tXMLMarkupItem *Parent = Doc.get();
    for (int I = 0; I < 1000000; ++I)
        Parent = AddElement(*Parent, u"a");
    for (int I = 0; I < 1000; ++I)
        AddElement(*Doc->GetRootElement(), u"b");
    Doc.reset();
    SUCCEED();
}

} // namespace
