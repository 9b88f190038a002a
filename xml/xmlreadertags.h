#pragma once
// Start tags with their attributes, and end tags.

#include "xml/xmlreaderchars.h"

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
        const bool Between = State == BetweenAttributes || State == AfterValue;
        if (!HasPushBack && (State == InName || Between)) {
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
bool tXMLReader<tDecoder>::HasAttribute(const tXMLMarkupItem &Element,
                                        const std::u16string &Name) {
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
