// The element-end hook: order, enclosing elements, and freeing elements as they end.

#include <gtest/gtest.h>

#include <sstream>

#include "xmltestutil.h"

namespace {

std::string Narrow(const std::u16string &S) {
    return std::string(S.begin(), S.end());
}

struct tHookRun {
    bool Ok = false;
    std::string Calls; // name(ancestors) per call
    std::string Tree;
};

tHookRun ParseWithHook(const std::string &Input, const std::u16string &FreeName) {
    tHookRun Run;
    tXMLParser Parser;
    Parser.OnElementEnd = [&](const tXMLMarkupItem &E, const std::vector<tXMLMarkupItem *> &A) {
        Run.Calls += Narrow(E.Name) + "(";
        for (const tXMLMarkupItem *Ancestor : A)
            Run.Calls += Narrow(Ancestor->Name) + "/";
        // Appended piece by piece: "[" + a temporary trips a false -Wrestrict in GCC 12.
        Run.Calls += '[';
        Run.Calls += std::to_string(E.Children.size());
        Run.Calls += "]) ";
        return E.Name == FreeName;
    };
    tXMLDocument Doc;
    std::istringstream Stream(Input);
    Run.Ok = Parser.ParseStream(Stream, "", Doc, ceLatin1);
    Run.Tree = xmltest::Dump(Doc);
    return Run;
}

TEST(XMLElementEnd, CalledInEndOrderWithAncestors) {
    const auto Run = ParseWithHook("<r><a><b/></a><c x='1'>t<d></d></c></r>", u"");
    EXPECT_TRUE(Run.Ok);
    EXPECT_EQ(Run.Calls, "b(r/a/[0]) a(r/[1]) d(r/c/[0]) c(r/[2]) r([2]) ");
    EXPECT_EQ(Run.Tree, "E:r(E:a(E:b()),E:c[x=1](T't',E:d()))");
}

TEST(XMLElementEnd, FreedElementsLeaveTheTreeAndTextStaysApart) {
    const auto Run =
        ParseWithHook("<r>x<item a='1'><c>deep</c></item>y<item/><p><item/></p> z</r>", u"item");
    EXPECT_TRUE(Run.Ok);
    EXPECT_EQ(Run.Tree, "E:r(T'x',T'y',E:p(),T'z')");
}

TEST(XMLElementEnd, RootIsNeverFreed) {
    const auto Run = ParseWithHook("<r><a/></r>", u"r");
    EXPECT_TRUE(Run.Ok);
    EXPECT_EQ(Run.Tree, "E:r(E:a())");
    const auto Empty = ParseWithHook("<r/><!--c-->", u"r");
    EXPECT_TRUE(Empty.Ok);
    EXPECT_EQ(Empty.Tree, "E:r(),C'c'");
}

TEST(XMLElementEnd, NotCalledForElementsThatFail) {
    const auto Run = ParseWithHook("<r><a><b/></x></r>", u"");
    EXPECT_FALSE(Run.Ok);
    EXPECT_EQ(Run.Calls, "b(r/a/[0]) ");
    const auto Cut = ParseWithHook("<r><a x='1' x='2'/></r>", u"");
    EXPECT_EQ(Cut.Calls, "");
}

} // namespace
