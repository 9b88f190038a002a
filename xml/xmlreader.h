#pragma once
// The grammar of the parser, instantiated once per decoder so that decoding inlines into the
// character loops. Elements are read with an explicit stack of open elements instead of
// recursion, so that nesting depth never grows the call stack.

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

namespace XMLStops {
// Characters that end a bulk copy in each place; CR always does, as it needs translation.
inline constexpr tStopTable Text = MakeStopTable("\t\n\r <");
inline constexpr tStopTable Name = MakeStopTable("\t\n\r \"'=/><");
inline constexpr tStopTable DoubleQuoted = MakeStopTable("\r\"<");
inline constexpr tStopTable SingleQuoted = MakeStopTable("\r'<");
inline constexpr tStopTable EndTagName = MakeStopTable("\t\n\r >");
inline constexpr tStopTable Comment = MakeStopTable("\r-");
inline constexpr tStopTable CData = MakeStopTable("\r]");
inline constexpr tStopTable DocType = MakeStopTable("\r>");
inline constexpr tStopTable InstructionTarget = MakeStopTable("\t\n\r >?");
inline constexpr tStopTable InstructionData = MakeStopTable("\r?");
} // namespace XMLStops

template <class tDecoder> class tXMLReader {
public:
    // Begin is stream offset 0; reading starts at Start.
    tXMLReader(const tByte *Begin, const tByte *Start, const tByte *End,
               tXMLParser::tError &Error, const TXMLElementEndProc &OnElementEnd)
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
    template <class tSink>
    bool ConsumeRun(const tStopTable &Stop, tSink &Sink, const tByte *From = nullptr);
    bool AppendRun(std::u16string &Out, const tStopTable &Stop, const tByte *From = nullptr);
    void AppendMixedRun(std::u16string &Out, const tStopTable &Stop, const tByte *RunStart,
                        const tByte *RunEnd);
    const tByte *PlainStart(const tByte *Start, char16_t C) const;
    bool LooksAt(std::string_view Text) const;
    const tByte *Here() const { return HasPushBack ? nullptr : Cur; }
    void SetError(const char *Msg) { SetErrorAt(Msg, GetPosition() - 1, 1); }
    void SetErrorAt(const char *Msg, int64_t Pos, int64_t Len);

    tDispatch Dispatch(tXMLMarkupItem &Parent, bool ElementAllowed);
    void ElementEnded(tXMLMarkupItem &Parent);
    void ReadContent(tXMLMarkupItem &Element);
    enum tTagState : int {
        InName, BetweenAttributes, InAttrName, AfterAttrName, AfterEquals, InValue, AfterValue,
        AfterSlash, TagDone
    };
    void ReadStartTag(tXMLMarkupItem &Element, bool &Empty);
    int FastAttributes(tXMLMarkupItem &Element, int State, bool &Empty);
    bool HasAttribute(const tXMLMarkupItem &Element, const std::u16string &Name);
    void CheckAttribute(const tXMLMarkupItem &Element);
    void ReadEndTag(const tXMLMarkupItem &Element);
    void ReadDeclaration(tXMLMarkupItem &Parent, int64_t Start);
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
    char16_t CurChar = 0;
    bool SpacePending = false;
    tXMLParser::tError &Err;
    const TXMLElementEndProc &OnElementEnd;
    tXMLDocument *DocNode = nullptr;
    // Set when the last child of an element was freed: text after it starts a new node.
    bool ChildFreed = false;
    std::vector<tXMLMarkupItem *> Open;
    std::u16string AttrName, AttrValue, Keyword;
    std::vector<char16_t> Buffer;
    std::unordered_set<std::u16string> AttrIndex;
    size_t AttrIndexed = 0;
};

template <class tDecoder> CHRONARK_XML_INLINE char16_t tXMLReader<tDecoder>::ReadChar() {
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
    return CurChar = C;
}

// Consumes the characters up to the next one marked in Stop (or the end), handing runs of
// one-unit characters and single decoded characters to Sink; this yields the same characters
// as reading them one by one. From, when given, is the start of one plain character already
// read that belongs in front of the run. Returns whether anything was consumed.
template <class tDecoder>
template <class tSink>
bool tXMLReader<tDecoder>::ConsumeRun(const tStopTable &Stop, tSink &Sink, const tByte *From) {
    if (HasPushBack)
        return false;
    const tByte *const Start = Cur;
    const tByte *RunStart = From ? From : Cur;
    for (;;) {
        const tByte *RunEnd = tDecoder::Scan(Cur, End, Stop);
        if (RunEnd != RunStart)
            Sink.template Run<tDecoder>(RunStart, RunEnd);
        Cur = RunStart = RunEnd;
        if constexpr (tDecoder::Multibyte) {
            if (Cur != End && *Cur >= 0x80) {
                // Lenient decoding may turn a sequence into a character with a role.
                const tByte *Before = Cur;
                const char16_t C = tDecoder::Decode(Cur, End);
                if (C < 0x100 && Stop.Latin[C]) {
                    Cur = Before;
                    break;
                }
                Sink.Char(C);
                RunStart = Cur;
                continue;
            }
        }
        break;
    }
    return Cur != Start;
}

namespace XMLSinks {
struct tAppend {
    std::u16string &Out;
    template <class tDecoder> void Run(const tByte *From, const tByte *To) {
        AppendUnits<tDecoder>(Out, From, To);
    }
    void Char(char16_t C) { Out.push_back(C); }
};

// Compares what is read with a name without copying it.
struct tMatch {
    const std::u16string &Name;
    size_t Count = 0;
    bool Same = true;
    template <class tDecoder> void Run(const tByte *From, const tByte *To) {
        for (; From != To; From += tDecoder::Unit)
            Char(tDecoder::UnitChar(From));
    }
    void Char(char16_t C) {
        Same = Same && Count < Name.size() && Name[Count] == C;
        ++Count;
    }
    bool Matches() const { return Same && Count == Name.size(); }
};
} // namespace XMLSinks

template <class tDecoder>
bool tXMLReader<tDecoder>::AppendRun(std::u16string &Out, const tStopTable &Stop,
                                     const tByte *From) {
    if (HasPushBack)
        return false;
    const tByte *const Start = Cur;
    const tByte *RunStart = From ? From : Cur;
    const tByte *RunEnd = tDecoder::Scan(Cur, End, Stop);
    if constexpr (tDecoder::Multibyte) {
        if (RunEnd != End && *RunEnd >= 0x80) {
            AppendMixedRun(Out, Stop, RunStart, RunEnd);
            return Cur != Start;
        }
    }
    if (RunEnd != RunStart)
        AppendUnits<tDecoder>(Out, RunStart, RunEnd);
    Cur = RunEnd;
    return Cur != Start;
}

// A run broken by multi-byte sequences: decoded into a buffer first and added at once.
template <class tDecoder>
void tXMLReader<tDecoder>::AppendMixedRun(std::u16string &Out, const tStopTable &Stop,
                                          const tByte *RunStart, const tByte *RunEnd) {
    size_t Length = 0;
    const auto Widen = [&](const tByte *From, const tByte *To) {
        // Each byte yields at most one character, and one more for the sequence after.
        const size_t Need = Length + static_cast<size_t>(To - From) + 1;
        if (Buffer.size() < Need)
            Buffer.resize(std::max(Need, 2 * Buffer.size()));
        char16_t *__restrict Dest = Buffer.data() + Length;
        for (const tByte *__restrict P = From; P != To; ++P)
            *Dest++ = *P;
        Length += static_cast<size_t>(To - From);
    };
    Widen(RunStart, RunEnd);
    Cur = RunEnd;
    while (Cur != End && *Cur >= 0x80) {
        const tByte *Before = Cur;
        const char16_t C = tDecoder::Decode(Cur, End);
        if (C < 0x100 && Stop.Latin[C]) {
            // Lenient decoding turned the sequence into a character with a role.
            Cur = Before;
            break;
        }
        Buffer[Length++] = C;
        RunEnd = tDecoder::Scan(Cur, End, Stop);
        Widen(Cur, RunEnd);
        Cur = RunEnd;
    }
    Out.append(Buffer.data(), Length);
}

// The start of the character just read when it was one plain unit, else nullptr. Start is
// where it was read from (nullptr when it came from the push-back).
template <class tDecoder>
const tByte *tXMLReader<tDecoder>::PlainStart(const tByte *Start, char16_t C) const {
    if (!Start || HasPushBack || Cur - Start != tDecoder::Unit || tDecoder::UnitChar(Start) != C)
        return nullptr;
    return Start;
}

// Whether the next characters are the one-unit ASCII characters of Text.
template <class tDecoder> bool tXMLReader<tDecoder>::LooksAt(std::string_view Text) const {
    if (HasPushBack)
        return false;
    const tByte *P = Cur;
    for (char Ch : Text) {
        if (!tDecoder::IsOneUnit(P, End) || tDecoder::UnitChar(P) != static_cast<char16_t>(Ch))
            return false;
        P += tDecoder::Unit;
    }
    return true;
}

template <class tDecoder>
void tXMLReader<tDecoder>::SetErrorAt(const char *Msg, int64_t Pos, int64_t Len) {
    Err.HasError = true;
    Err.Msg = Msg;
    Err.Pos = static_cast<int32_t>(Pos);
    Err.Len = static_cast<int32_t>(Len);
}

template <class tDecoder> void tXMLReader<tDecoder>::Run(tXMLDocument &Doc) {
    DocNode = &Doc;
    bool RootSeen = false;
    while (!Err.HasError) {
        if (!Open.empty()) {
            ReadContent(*Open.back());
            continue;
        }
        if (AtEnd())
            break;
        const char16_t C = ReadChar();
        if (IsSpace(C))
            continue;
        if (C != u'<') {
            SetError(XMLMsg::RootLevel);
            break;
        }
        if (Dispatch(Doc, !RootSeen) == tDispatch::EndTag)
            SetError(XMLMsg::EndTagUnexpected);
        if (!Doc.Children.empty() && Doc.Children.back()->ItemType == xiMarkup)
            RootSeen = true;
    }
}

// After a '<'. Opened: a non-empty element was pushed; its content is read next.
template <class tDecoder>
typename tXMLReader<tDecoder>::tDispatch
tXMLReader<tDecoder>::Dispatch(tXMLMarkupItem &Parent, bool ElementAllowed) {
    if (AtEnd())
        return tDispatch::None;
    const tByte *CharStart = Here();
    const char16_t C = ReadChar();
    switch (C) {
    case u'!':
        ReadDeclaration(Parent, GetPosition() - 2);
        return tDispatch::None;
    case u'/':
        return tDispatch::EndTag;
    case u'?': {
        auto *Instruction = static_cast<tXMLProcInstruction *>(
            Parent.AddChild(std::make_unique<tXMLProcInstruction>()));
        ReadProcInstruction(*Instruction);
        return tDispatch::None;
    }
    default:
        break;
    }
    if (IsSpace(C)) {
        SetError(XMLMsg::SpaceAfterLt);
        return tDispatch::None;
    }
    if (!ElementAllowed) {
        SetError(XMLMsg::OnlyOneRoot);
        return tDispatch::None;
    }
    if (Open.size() >= tXMLParser::MaxDepth) {
        SetError(XMLMsg::TooDeep);
        return tDispatch::None;
    }
    auto Node = std::make_unique<tXMLMarkupItem>();
    Node->Position = static_cast<int32_t>(GetPosition() - 2);
    if (const tByte *Plain = PlainStart(CharStart, C))
        AppendRun(Node->Name, XMLStops::Name, Plain);
    else
        Node->Name.push_back(C);
    auto *Element = static_cast<tXMLMarkupItem *>(Parent.AddChild(std::move(Node)));
    bool Empty = false;
    ReadStartTag(*Element, Empty);
    if (Err.HasError)
        return tDispatch::None;
    if (Empty) {
        ElementEnded(Parent);
        return tDispatch::None;
    }
    Open.push_back(Element);
    return tDispatch::Opened;
}

// The last child of Parent, an element, has been read completely; Open holds its ancestors.
template <class tDecoder> void tXMLReader<tDecoder>::ElementEnded(tXMLMarkupItem &Parent) {
    if (!OnElementEnd)
        return;
    const auto &Element = static_cast<const tXMLMarkupItem &>(*Parent.Children.back());
    if (OnElementEnd(Element, Open) && !Open.empty()) {
        Parent.Children.pop_back();
        ChildFreed = true;
    }
}

// Reads the content of the innermost open element until a child element opens (its content
// comes first) or the element ends; then reads the end tag and closes the element.
template <class tDecoder> void tXMLReader<tDecoder>::ReadContent(tXMLMarkupItem &Element) {
    const auto LastText = [this, &Element]() -> TXMLTextItem * {
        if (std::exchange(ChildFreed, false) || Element.Children.empty() ||
            Element.Children.back()->ItemType != xiText)
            return nullptr;
        return static_cast<TXMLTextItem *>(Element.Children.back().get());
    };
    TXMLTextItem *Text = LastText();
    for (;;) {
        if (Err.HasError)
            return;
        if (AtEnd())
            break;
        if (Text) {
            if (AppendRun(Text->Text, XMLStops::Text)) {
                SpacePending = false;
                if (AtEnd())
                    break;
            }
        } else if (!HasPushBack) {
            // Without a text node whitespace is skipped, and line ends count as whitespace.
            while (Cur != End && tDecoder::IsOneUnit(Cur, End)) {
                const char16_t U = tDecoder::UnitChar(Cur);
                if (!IsSpace(U) && U != 13)
                    break;
                Cur += tDecoder::Unit;
            }
            if (AtEnd())
                break;
        }
        const tByte *CharStart = Here();
        const char16_t C = ReadChar();
        if (C == u'<') {
            if (Text) {
                std::u16string &S = Text->Text;
                while (!S.empty() && S.back() <= 32)
                    S.pop_back();
            }
            const tDispatch Result = Dispatch(Element, true);
            if (Result == tDispatch::EndTag)
                break;
            if (Result == tDispatch::Opened)
                return;
            Text = LastText();
        } else if (Text) {
            if (!IsSpace(C)) {
                Text->Text.push_back(C);
                SpacePending = false;
            } else if (!SpacePending) {
                Text->Text.push_back(u' ');
                SpacePending = true;
            }
        } else if (!IsSpace(C)) {
            auto Node = std::make_unique<TXMLTextItem>();
            if (const tByte *Plain = PlainStart(CharStart, C))
                AppendRun(Node->Text, XMLStops::Text, Plain);
            else
                Node->Text.assign(1, C);
            Text = static_cast<TXMLTextItem *>(Element.AddChild(std::move(Node)));
            SpacePending = false;
        }
    }
    if (Err.HasError)
        return;
    ReadEndTag(Element);
    Open.pop_back();
    if (!Err.HasError && OnElementEnd)
        ElementEnded(Open.empty() ? *DocNode : *Open.back());
}

template <class tDecoder>
void tXMLReader<tDecoder>::ReadStartTag(tXMLMarkupItem &Element, bool &Empty) {
    int State = InName;
    char16_t Quote = 0;
    AttrName.clear();
    AttrValue.clear();
    AttrIndexed = 0;
    while (!Err.HasError && !AtEnd()) {
        if (State == InName)
            AppendRun(Element.Name, XMLStops::Name);
        else if (State == InAttrName)
            AppendRun(AttrName, XMLStops::Name);
        else if (State == InValue)
            AppendRun(AttrValue,
                      Quote == u'"' ? XMLStops::DoubleQuoted : XMLStops::SingleQuoted);
        if (!HasPushBack && (State == InName || State == BetweenAttributes || State == AfterValue)) {
            State = FastAttributes(Element, State, Empty);
            if (State == TagDone)
                return;
        }
        if (AtEnd())
            break;
        const tByte *CharStart = Here();
        const char16_t C = ReadChar();
        const bool Space = IsSpace(C);
        const bool IsQuote = C == u'"' || C == u'\'';
        switch (State) {
        case InName:
        case BetweenAttributes:
        case AfterValue:
            if (Space) {
                State = BetweenAttributes;
            } else if (C == u'/') {
                Empty = true;
                State = AfterSlash;
            } else if (C == u'>') {
                Element.TagEnd = static_cast<int32_t>(GetPosition() - 1);
                return;
            } else if (IsQuote || C == u'=' || C == u'<' || State == AfterValue) {
                SetError(XMLMsg::InvalidChar);
            } else if (State == InName) {
                Element.Name.push_back(C);
            } else {
                State = InAttrName;
                if (const tByte *Plain = PlainStart(CharStart, C))
                    AppendRun(AttrName, XMLStops::Name, Plain);
                else
                    AttrName.assign(1, C);
            }
            break;
        case InAttrName:
            if (Space || C == u'=') {
                CheckAttribute(Element);
                State = Space ? AfterAttrName : AfterEquals;
            } else if (IsQuote || C == u'/' || C == u'>' || C == u'<') {
                SetError(XMLMsg::InvalidChar);
            } else {
                AttrName.push_back(C);
            }
            break;
        case AfterAttrName:
            if (C == u'=') {
                CheckAttribute(Element);
                State = AfterEquals;
            } else if (!Space) {
                SetError(XMLMsg::InvalidChar);
            }
            break;
        case AfterEquals:
            if (IsQuote) {
                Quote = C;
                State = InValue;
            } else if (!Space) {
                SetError(XMLMsg::InvalidChar);
            }
            break;
        case InValue:
            if (C == Quote) {
                Element.AddAttribute(std::move(AttrName), std::move(AttrValue));
                AttrName.clear();
                AttrValue.clear();
                State = AfterValue;
            } else if (C == u'<') {
                SetError(XMLMsg::InvalidChar);
            } else {
                AttrValue.push_back(C);
            }
            break;
        case AfterSlash:
            if (C == u'>') {
                Element.TagEnd = static_cast<int32_t>(GetPosition() - 1);
                return;
            }
            if (!Space)
                SetError(XMLMsg::InvalidChar);
            break;
        }
    }
}

// Reads plain, well-formed attributes (name="value") and the end of the tag without the
// state machine; stops before anything else, in the state the machine would have reached.
// A duplicate is left to the machine, which reports it. Precondition: no character pushed back.
template <class tDecoder>
int tXMLReader<tDecoder>::FastAttributes(tXMLMarkupItem &Element, int State, bool &Empty) {
    constexpr ptrdiff_t Unit = tDecoder::Unit;
    using tIt = tUnitIterator<tDecoder>;
    const auto Plain = [this](const tByte *P) -> int {
        return tDecoder::IsOneUnit(P, End) ? tDecoder::UnitChar(P) : -1;
    };
    const auto Space = [](int C) { return C == 9 || C == 10 || C == 32; };
    for (;;) {
        const tByte *P = Cur;
        int C = Plain(P);
        if (Space(C)) {
            do {
                P += Unit;
                C = Plain(P);
            } while (Space(C));
            Cur = P;
            State = BetweenAttributes;
        }
        if (C == u'/') {
            Empty = true;
            State = AfterSlash;
            do {
                P += Unit;
                C = Plain(P);
            } while (Space(C));
            Cur = P;
        }
        if (C == u'>') {
            Cur = P + Unit;
            Element.TagEnd = static_cast<int32_t>(GetPosition() - 1);
            return TagDone;
        }
        if (State != BetweenAttributes || C < 0 || (C < 0x100 && XMLStops::Name.Latin[C]))
            return State;
        const tByte *NameEnd = tDecoder::Scan(P + Unit, End, XMLStops::Name);
        const tByte *ValueStart = NameEnd + 2 * Unit;
        const int Quote = Plain(NameEnd) == u'=' ? Plain(NameEnd + Unit) : -1;
        if (Quote != u'"' && Quote != u'\'')
            return State;
        const tByte *ValueEnd = tDecoder::Scan(
            ValueStart, End, Quote == u'"' ? XMLStops::DoubleQuoted : XMLStops::SingleQuoted);
        if (Plain(ValueEnd) != Quote)
            return State;
        AttrName = std::u16string(tIt(P), tIt(NameEnd));
        if (HasAttribute(Element, AttrName)) {
            AttrName.clear();
            return State;
        }
        Element.AddAttribute(std::move(AttrName), std::u16string(tIt(ValueStart), tIt(ValueEnd)));
        AttrName.clear();
        Cur = ValueEnd + Unit;
        State = AfterValue;
    }
}

template <class tDecoder>
bool tXMLReader<tDecoder>::HasAttribute(const tXMLMarkupItem &Element, const std::u16string &Name) {
    if (Element.Attributes.size() < HashedAttributes)
        return Element.IndexOfAttribute(Name) != -1;
    if (AttrIndexed == 0)
        AttrIndex.clear();
    for (; AttrIndexed < Element.Attributes.size(); ++AttrIndexed)
        AttrIndex.insert(Element.Attributes[AttrIndexed].Name);
    return AttrIndex.count(Name) != 0;
}

// Refuses an attribute name already present, marking the name just read.
template <class tDecoder>
void tXMLReader<tDecoder>::CheckAttribute(const tXMLMarkupItem &Element) {
    if (HasAttribute(Element, AttrName)) {
        const int64_t Length = static_cast<int64_t>(AttrName.size());
        SetErrorAt(XMLMsg::DuplicateAttribute, GetPosition() - Length - 1, Length);
    }
}

template <class tDecoder> void tXMLReader<tDecoder>::ReadEndTag(const tXMLMarkupItem &Element) {
    enum : int { BeforeName, InName, AfterName };
    // The usual case, the name and '>' in plain characters, needs no state machine. The first
    // name character is the only one that may be a delimiter of the end tag.
    const std::u16string &Expected = Element.Name;
    if (!HasPushBack && !Expected.empty() &&
        !(Expected[0] < 0x100 && XMLStops::EndTagName.Latin[Expected[0]])) {
        const size_t Length = Expected.size();
        if (static_cast<size_t>(End - Cur) >= (Length + 1) * tDecoder::Unit) {
            // A byte from 0xC0 starts a UTF-8 sequence and so never stands for itself.
            const tByte *P = Cur;
            size_t I = 0;
            for (; I < Length; ++I, P += tDecoder::Unit)
                if (tDecoder::UnitChar(P) != Expected[I] ||
                    (tDecoder::Multibyte && Expected[I] >= 0xC0))
                    break;
            if (I == Length && tDecoder::UnitChar(P) == u'>') {
                Cur = P + tDecoder::Unit;
                return;
            }
        }
    }
    int State = BeforeName;
    XMLSinks::tMatch Name{Element.Name};
    while (!Err.HasError && !AtEnd()) {
        if (State != AfterName && ConsumeRun(XMLStops::EndTagName, Name)) {
            State = InName;
            if (AtEnd())
                break;
        }
        const char16_t C = ReadChar();
        if (IsSpace(C)) {
            if (State == BeforeName)
                SetError(XMLMsg::SpaceAfterEndTagLt);
            else
                State = AfterName;
        } else if (C == u'>') {
            if (State == BeforeName)
                SetError(XMLMsg::NoTagName);
            else
                break;
        } else if (State == AfterName) {
            SetError(XMLMsg::CharAfterEndTagName);
        } else {
            Name.Char(C);
            State = InName;
        }
    }
    if (!Err.HasError && !Name.Matches())
        SetError(XMLMsg::EndTagMismatch);
}

// After "<!": the keyword decides between comment, CDATA section and DOCTYPE.
template <class tDecoder>
void tXMLReader<tDecoder>::ReadDeclaration(tXMLMarkupItem &Parent, int64_t Start) {
    int32_t Type;
    // Keywords in plain characters are taken in one step; read one by one, they would end
    // at their last character all the same.
    if (LooksAt("[CDATA[")) {
        Cur += 7 * tDecoder::Unit;
        Type = xiCData;
    } else if (LooksAt("--")) {
        Cur += 2 * tDecoder::Unit;
        Type = xiComment;
    } else {
        Type = ReadKeyword(Start);
    }
    if (Type == xiNone)
        return;
    auto Node = std::make_unique<TXMLTextItem>();
    Node->ItemType = Type;
    Node->Position = static_cast<int32_t>(GetPosition() + 1);
    auto *Body = static_cast<TXMLTextItem *>(Parent.AddChild(std::move(Node)));
    if (Type == xiComment)
        ReadComment(*Body);
    else if (Type == xiCData)
        ReadCData(*Body);
    else
        ReadDocType(*Body);
}

// The keyword is tested after every character, so the body starts right after the keyword's
// last character. xiNone after an error or at the end of the input.
template <class tDecoder> int32_t tXMLReader<tDecoder>::ReadKeyword(int64_t Start) {
    enum : int { Nothing, InKeyword, KeywordEnded };
    int State = Nothing;
    Keyword.clear();
    while (!Err.HasError && !AtEnd()) {
        const char16_t C = ReadChar();
        if (IsSpace(C) || C == u'>') {
            if (State == Nothing)
                SetError(C == u'>' ? XMLMsg::InvalidChar : XMLMsg::SpaceInDeclaration);
            else
                State = KeywordEnded;
        } else if (State != KeywordEnded) {
            Keyword.push_back(C);
            State = InKeyword;
        }
        if (Keyword == u"--")
            return xiComment;
        if (Keyword == u"[CDATA[")
            return xiCData;
        if (Keyword == u"DOCTYPE")
            return xiDocType;
        if (State == KeywordEnded) {
            SetErrorAt(XMLMsg::BadDeclaration, Start, GetPosition() - Start - 1);
            break;
        }
    }
    return xiNone;
}

template <class tDecoder> void tXMLReader<tDecoder>::ReadComment(TXMLTextItem &Node) {
    std::u16string &Text = Node.Text;
    int Dashes = 0;
    bool Closed = false;
    while (!Err.HasError && !AtEnd()) {
        if (Dashes == 0) {
            if (AppendRun(Text, XMLStops::Comment) && AtEnd())
                break;
            if (LooksAt("-->")) {
                Cur += 3 * tDecoder::Unit;
                Closed = true;
                break;
            }
        }
        const char16_t C = ReadChar();
        if (C == u'-') {
            if (Dashes == 2)
                SetError(XMLMsg::CommentSyntax);
            else
                ++Dashes;
        } else if (C == u'>') {
            if (Dashes == 2) {
                Closed = true;
                break;
            }
            if (Dashes == 1)
                Text.push_back(u'-');
            Text.push_back(u'>');
            Dashes = 0;
        } else if (Dashes == 2) {
            SetError(XMLMsg::CommentSyntax);
        } else {
            if (Dashes == 1)
                Text.push_back(u'-');
            Text.push_back(C);
            Dashes = 0;
        }
    }
    if (!Closed && AtEnd())
        SetErrorAt(XMLMsg::CommentOpen, Node.Position, 1);
}

template <class tDecoder> void tXMLReader<tDecoder>::ReadCData(TXMLTextItem &Node) {
    std::u16string &Text = Node.Text;
    int Brackets = 0;
    bool Closed = false;
    while (!Err.HasError && !AtEnd()) {
        if (Brackets == 0) {
            if (AppendRun(Text, XMLStops::CData) && AtEnd())
                break;
            if (LooksAt("]]>")) {
                Cur += 3 * tDecoder::Unit;
                Closed = true;
                break;
            }
        }
        const char16_t C = ReadChar();
        if (C == u']') {
            if (Brackets == 2)
                Text.push_back(u']');
            else
                ++Brackets;
        } else if (C == u'>' && Brackets == 2) {
            Closed = true;
            break;
        } else {
            Text.append(static_cast<size_t>(Brackets), u']');
            Text.push_back(C);
            Brackets = 0;
        }
    }
    if (!Closed && AtEnd())
        SetErrorAt(XMLMsg::CDataOpen, Node.Position, 1);
}

template <class tDecoder> void tXMLReader<tDecoder>::ReadDocType(TXMLTextItem &Node) {
    bool Closed = false;
    while (!Err.HasError && !AtEnd()) {
        if (AppendRun(Node.Text, XMLStops::DocType) && AtEnd())
            break;
        const char16_t C = ReadChar();
        if (C == u'>') {
            Closed = true;
            break;
        }
        Node.Text.push_back(C);
    }
    if (!Closed && AtEnd())
        SetErrorAt(XMLMsg::DocTypeOpen, Node.Position, 1);
}

template <class tDecoder>
void tXMLReader<tDecoder>::ReadProcInstruction(tXMLProcInstruction &Instruction) {
    enum : int { Start, InTarget, InData, QuestionInData, QuestionAfterTarget };
    int State = Start;
    while (!Err.HasError && !AtEnd()) {
        if (State == InTarget)
            AppendRun(Instruction.Target, XMLStops::InstructionTarget);
        else if (State == InData)
            AppendRun(Instruction.Data, XMLStops::InstructionData);
        if (AtEnd())
            break;
        const char16_t C = ReadChar();
        const bool Space = IsSpace(C);
        switch (State) {
        case Start:
            if (Space)
                SetError(XMLMsg::SpaceInInstruction);
            else if (C == u'>' || C == u'?')
                SetError(XMLMsg::InvalidChar);
            else {
                Instruction.Target.push_back(C);
                State = InTarget;
            }
            break;
        case InTarget:
            if (Space)
                State = InData;
            else if (C == u'>')
                SetError(XMLMsg::InvalidChar);
            else if (C == u'?')
                State = QuestionAfterTarget;
            else
                Instruction.Target.push_back(C);
            break;
        case InData:
            if (C == u'?')
                State = QuestionInData;
            else
                Instruction.Data.push_back(C);
            break;
        case QuestionInData:
            if (C == u'>')
                return;
            Instruction.Data.push_back(u'?');
            if (C != u'?') {
                Instruction.Data.push_back(C);
                State = InData;
            }
            break;
        case QuestionAfterTarget:
            if (C == u'>')
                return;
            SetError(XMLMsg::GtExpected);
            break;
        }
    }
}
