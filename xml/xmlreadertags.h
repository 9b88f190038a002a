#pragma once
// Start tags with their attributes, and end tags.

#include "xml/xmlreaderchars.h"

namespace XMLSinks {
// Compares what is read with a name without copying it.
struct tMatch {
    const std::u16string &Name;
    size_t Count = 0;
    bool Same = true;
    void Char(char16_t C) {
        Same = Same && Count < Name.size() && Name[Count] == C;
        ++Count;
    }
    bool Matches() const { return Same && Count == Name.size(); }
};
} // namespace XMLSinks

template <class tDecoder, bool Fast>
void tXMLReader<tDecoder, Fast>::ReadStartTag(tXMLMarkupItem &Element, bool &Empty) {
    int State = InName;
    AttrIndexed = 0;
    // Fast readers have read the name up to its end already.
    if (Fast && !HasPushBack) {
        State = FastAttributes(Element, State, Empty);
        if (State == TagDone)
            return;
    }
    ReadTagStates(Element, Empty, State);
}

// The state machine of the start tag, from the given state on.
template <class tDecoder, bool Fast>
void tXMLReader<tDecoder, Fast>::ReadTagStates(tXMLMarkupItem &Element, bool &Empty, int State) {
    char16_t Quote = 0;
    AttrName.clear();
    AttrValue.clear();
    while (!Err.HasError && !AtEnd()) {
        if (State == InName)
            AppendRun<XMLStops::Name>(Element.Name);
        else if (State == InAttrName)
            AppendRun<XMLStops::Name>(AttrName);
        else if (State == InValue && Quote == u'"')
            AppendRun<XMLStops::DoubleQuoted, true>(AttrValue);
        else if (State == InValue)
            AppendRun<XMLStops::SingleQuoted, true>(AttrValue);
        const bool Between = State == BetweenAttributes || State == AfterValue;
        if (Fast && !HasPushBack && (State == InName || Between)) {
            State = FastAttributes(Element, State, Empty);
            if (State == TagDone)
                return;
        }
        if (AtEnd())
            break;
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
template <class tDecoder, bool Fast>
int tXMLReader<tDecoder, Fast>::FastAttributes(tXMLMarkupItem &Element, int State, bool &Empty) {
    constexpr ptrdiff_t Unit = tDecoder::Unit;
    const auto Space = [](int C) { return C == 9 || C == 10 || C == 32; };
    for (;;) {
        const tByte *P = Cur;
        int C = PlainAt(P);
        if (Space(C)) {
            do {
                P += Unit;
                C = PlainAt(P);
            } while (Space(C));
            Cur = P;
            State = BetweenAttributes;
        }
        if (C == u'/') {
            Empty = true;
            State = AfterSlash;
            do {
                P += Unit;
                C = PlainAt(P);
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
        // Name and value are decoded one after the other into the buffer.
        Buffer.Size = 0;
        const tByte *NameEnd = DecodeRun<tDecoder, XMLStops::Name>(P, End, Buffer);
        const size_t NameLength = Buffer.Size;
        const int Quote = PlainAt(NameEnd) == u'=' ? PlainAt(NameEnd + Unit) : -1;
        const tByte *ValueEnd;
        if (Quote == u'"')
            ValueEnd =
                DecodeRun<tDecoder, XMLStops::DoubleQuoted, true>(NameEnd + 2 * Unit, End, Buffer);
        else if (Quote == u'\'')
            ValueEnd =
                DecodeRun<tDecoder, XMLStops::SingleQuoted, true>(NameEnd + 2 * Unit, End, Buffer);
        else
            return State;
        if (PlainAt(ValueEnd) != Quote)
            return State;
        const char16_t *Chars = Buffer.Data();
        if (HasAttribute(Element, std::u16string_view(Chars, NameLength)))
            return State;
        if (Element.Attributes.capacity() == 0)
            Element.Attributes.reserve(2);
        tAttribItem &Attribute = Element.Attributes.emplace_back();
        StoreNew(Attribute.Name, Chars, NameLength);
        StoreNew(Attribute.Value, Chars + NameLength, Buffer.Size - NameLength);
        Cur = ValueEnd + Unit;
        State = AfterValue;
    }
}

template <class tDecoder, bool Fast>
bool tXMLReader<tDecoder, Fast>::HasAttribute(const tXMLMarkupItem &Element,
                                              std::u16string_view Name) {
    if (Element.Attributes.size() >= HashedAttributes)
        return HasAttributeHashed(Element, Name);
    for (const tAttribItem &Attribute : Element.Attributes)
        if (std::u16string_view(Attribute.Name) == Name)
            return true;
    return false;
}

template <class tDecoder, bool Fast>
bool tXMLReader<tDecoder, Fast>::HasAttributeHashed(const tXMLMarkupItem &Element,
                                                    std::u16string_view Name) {
    if (AttrIndexed == 0)
        AttrIndex.clear();
    for (; AttrIndexed < Element.Attributes.size(); ++AttrIndexed)
        AttrIndex.insert(Element.Attributes[AttrIndexed].Name);
    return AttrIndex.count(std::u16string(Name)) != 0;
}

// Refuses an attribute name already present, marking the name just read.
template <class tDecoder, bool Fast>
void tXMLReader<tDecoder, Fast>::CheckAttribute(const tXMLMarkupItem &Element) {
    if (HasAttribute(Element, AttrName)) {
        const int64_t Length = static_cast<int64_t>(AttrName.size());
        SetErrorAt(XMLMsg::DuplicateAttribute, GetPosition() - Length - 1, Length);
    }
}

template <class tDecoder, bool Fast>
void tXMLReader<tDecoder, Fast>::ReadEndTag(const tXMLMarkupItem &Element) {
    // The usual case: the very bytes of the start tag's name and a plain '>'. Decoded, they
    // give the element's name; only its first character may end an end-tag name early.
    const std::u16string &Expected = Element.Name;
    const bool FirstEnds = Expected[0] < 0x100 && XMLStops::EndTagName.Latin[Expected[0]];
    if (Fast && !HasPushBack && !FirstEnds) {
        const tRawName &Raw = OpenNames.back();
        if (static_cast<size_t>(End - Cur) > Raw.Length && SameBytes(Cur, Raw.Bytes, Raw.Length) &&
            PlainAt(Cur + Raw.Length) == u'>') {
            Cur += Raw.Length + tDecoder::Unit;
            return;
        }
    }
    ReadEndTagStates(Element);
}

template <class tDecoder, bool Fast>
void tXMLReader<tDecoder, Fast>::ReadEndTagStates(const tXMLMarkupItem &Element) {
    enum : int { BeforeName, InName, AfterName };
    int State = BeforeName;
    XMLSinks::tMatch Name{Element.Name};
    while (!Err.HasError && !AtEnd()) {
        if (Fast && State != AfterName && !HasPushBack) {
            Buffer.Size = 0;
            const tByte *Stopped = DecodeRun<tDecoder, XMLStops::EndTagName>(Cur, End, Buffer);
            if (Stopped != Cur) {
                Cur = Stopped;
                for (size_t I = 0; I < Buffer.Size; ++I)
                    Name.Char(Buffer.Data()[I]);
                State = InName;
                if (AtEnd())
                    break;
            }
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
