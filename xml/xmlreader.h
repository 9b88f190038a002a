#pragma once
// The grammar of the parser, instantiated once per decoder so that decoding inlines into the
// character loops. Elements are read with an explicit stack of open elements instead of
// recursion, so that nesting depth never grows the call stack. The members are defined in
// xmlreaderchars.h, xmlreadercontent.h, xmlreadertags.h and xmlreadermarkup.h.
//
// Fast readers take runs of characters in blocks wherever the outcome is the same as reading
// them one at a time; with Fast false every character goes through ReadChar and the state
// machines, which serves as the reference the fast ways are checked against.

#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "xml/xmldecoders.h"
#include "xml/xmlmessages.h"
#include "xml/xmlnodes.h"
#include "xml/xmlparser.h"
#include "xml/xmlruns.h"

namespace XMLStops {
// Characters that end a run in each place; CR always does unless the run translates it.
// Where whitespace ends a run, the block search takes every character under the given bound
// (the space, or '0' for names) in one comparison.
inline constexpr tStopTable Name = MakeStopTable("\t\n\r \"'=/><", '0');
inline constexpr tStopTable DoubleQuoted = MakeStopTable("\r\"<");
inline constexpr tStopTable SingleQuoted = MakeStopTable("\r'<");
inline constexpr tStopTable EndTagName = MakeStopTable("\t\n\r >", '!');
inline constexpr tStopTable Comment = MakeStopTable("\r-");
inline constexpr tStopTable CData = MakeStopTable("\r]");
inline constexpr tStopTable DocType = MakeStopTable("\r>");
inline constexpr tStopTable InstructionTarget = MakeStopTable("\t\n\r >?", '!');
inline constexpr tStopTable InstructionData = MakeStopTable("\r?");
} // namespace XMLStops

// Appends a new node of type tNode to Parent; most elements have a handful of children.
template <class tNode> CHRONARK_XML_INLINE tNode *NewChild(tXMLMarkupItem &Parent) {
    tXMLItemList &Children = Parent.Children;
    if (Children.capacity() == 0)
        Children.reserve(4);
    std::unique_ptr<tXMLItem> Node = std::make_unique<tNode>();
    auto *Added = static_cast<tNode *>(Node.get());
    Children.push_back(std::move(Node));
    return Added;
}

template <class tDecoder, bool Fast = true> class tXMLReader {
public:
    // Begin is stream offset 0; reading starts at Start.
    tXMLReader(const tByte *Begin, const tByte *Start, const tByte *End, tXMLParser::tError &Error,
               const TXMLElementEndProc &OnElementEnd)
        : Begin(Begin), Cur(Start), End(End), Err(Error), OnElementEnd(OnElementEnd) {}

    void Run(tXMLDocument &Doc);

private:
    enum class tDispatch { None, EndTag, Opened };
    // From this many attributes on, duplicates are looked up in a hash set.
    static constexpr size_t HashedAttributes = 16;

    static bool IsSpace(char16_t C) { return C == 9 || C == 10 || C == 32; }

    bool AtEnd() const { return !HasPushBack && Cur == End; }
    int64_t GetPosition() const { return (Cur - Begin) - (HasPushBack ? 1 : 0); }
    CHRONARK_XML_INLINE char16_t ReadChar();
    template <const tStopTable &Stop, bool TranslateCR = false> bool AppendRun(std::u16string &Out);
    int PlainAt(const tByte *P) const {
        return tDecoder::IsOneUnit(P, End) ? tDecoder::UnitChar(P) : -1;
    }
    // Whether the next characters are the one-unit ASCII characters of Text.
    template <tAscii Text> bool LooksAt() const {
        return Fast && !HasPushBack && AtAscii<tDecoder, Text>(Cur, End);
    }
    const tByte *Here() const { return HasPushBack ? nullptr : Cur; }
    void SetError(const char *Msg) { SetErrorAt(Msg, GetPosition() - 1, 1); }
    void SetErrorAt(const char *Msg, int64_t Pos, int64_t Len);

    tDispatch Dispatch(tXMLMarkupItem &Parent, bool ElementAllowed);
    tDispatch StartElement(tXMLMarkupItem &Parent, char16_t First, const tByte *NameStart);
    void ElementEnded(tXMLMarkupItem &Parent);
    TXMLTextItem *LastText(tXMLMarkupItem &Element);
    void ReadContent();
    enum tTagState : int {
        InName,
        BetweenAttributes,
        InAttrName,
        AfterAttrName,
        AfterEquals,
        InValue,
        AfterValue,
        AfterSlash,
        TagDone
    };
    CHRONARK_XML_INLINE void ReadStartTag(tXMLMarkupItem &Element, bool &Empty);
    void ReadTagStates(tXMLMarkupItem &Element, bool &Empty, int State);
    int FastAttributes(tXMLMarkupItem &Element, int State, bool &Empty);
    CHRONARK_XML_INLINE bool HasAttribute(const tXMLMarkupItem &Element, std::u16string_view Name);
    bool HasAttributeHashed(const tXMLMarkupItem &Element, std::u16string_view Name);
    void CheckAttribute(const tXMLMarkupItem &Element);
    CHRONARK_XML_INLINE void ReadEndTag(const tXMLMarkupItem &Element);
    void ReadEndTagStates(const tXMLMarkupItem &Element);
    void ReadDeclaration(tXMLMarkupItem &Parent, int64_t Start);
    bool ReadKnownDeclaration(tXMLMarkupItem &Parent);
    int32_t ReadKeyword(int64_t Start);
    void ReadComment(TXMLTextItem &Node);
    void ReadCData(TXMLTextItem &Node);
    void ReadDocType(TXMLTextItem &Node);
    void ReadProcInstruction(tXMLProcInstruction &Instruction);

    const tByte *const Begin;
    const tByte *Cur;
    const tByte *const End;
    bool HasPushBack = false;
    char16_t PushBack = 0;
    bool SpacePending = false;
    tXMLParser::tError &Err;
    const TXMLElementEndProc &OnElementEnd;
    tXMLDocument *DocNode = nullptr;
    // Set when the last child of an element was freed: text after it starts a new node.
    bool ChildFreed = false;
    std::vector<tXMLMarkupItem *> Open;
    // Fast readers: the bytes of each open element's name, which decode to exactly its Name.
    struct tRawName {
        const tByte *Bytes;
        size_t Length;
    };
    std::vector<tRawName> OpenNames;
    std::u16string AttrName, AttrValue, Keyword;
    tCharBuffer Buffer;
    std::unordered_set<std::u16string> AttrIndex;
    size_t AttrIndexed = 0;
};
