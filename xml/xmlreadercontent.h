#pragma once
// The document level, the markup dispatch and element content.

#include "xml/xmlreaderchars.h"

template <class tDecoder, bool Fast> void tXMLReader<tDecoder, Fast>::Run(tXMLDocument &Doc) {
    DocNode = &Doc;
    bool RootSeen = false;
    while (!Err.HasError) {
        if (!Open.empty()) {
            ReadContent();
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
template <class tDecoder, bool Fast>
typename tXMLReader<tDecoder, Fast>::tDispatch
tXMLReader<tDecoder, Fast>::Dispatch(tXMLMarkupItem &Parent, bool ElementAllowed) {
    if (AtEnd())
        return tDispatch::None;
    // Nothing is held back after the '<', so the character starts at Cur.
    const tByte *CharStart = Cur;
    const char16_t C = ReadChar();
    switch (C) {
    case u'!':
        ReadDeclaration(Parent, GetPosition() - 2);
        return tDispatch::None;
    case u'/':
        return tDispatch::EndTag;
    case u'?': {
        ReadProcInstruction(*NewChild<tXMLProcInstruction>(Parent));
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
    return StartElement(Parent, C, CharStart);
}

// First, the first character of the name, has just been read from NameStart; it is not a CR
// (that reads as whitespace), so nothing is held back and the rest of the name follows at Cur.
template <class tDecoder, bool Fast>
typename tXMLReader<tDecoder, Fast>::tDispatch
tXMLReader<tDecoder, Fast>::StartElement(tXMLMarkupItem &Parent, char16_t First,
                                         const tByte *NameStart) {
    if (Open.size() >= tXMLParser::MaxDepth) {
        SetError(XMLMsg::TooDeep);
        return tDispatch::None;
    }
    auto *Element = NewChild<tXMLMarkupItem>(Parent);
    Element->Position = static_cast<int32_t>(GetPosition() - 2);
    const tByte *NameEnd = nullptr;
    if (Fast) {
        // The first character is part of the name whatever it is.
        Buffer.Size = 0;
        if (First < 0x100 && XMLStops::Name.Latin[First])
            Buffer.Push(First);
        else
            Cur = NameStart;
        Cur = DecodeRun<tDecoder, XMLStops::Name>(Cur, End, Buffer);
        NameEnd = Cur;
        StoreNew(Element->Name, Buffer.Data(), Buffer.Size);
    } else {
        Element->Name.push_back(First);
    }
    bool Empty = false;
    ReadStartTag(*Element, Empty);
    if (Err.HasError)
        return tDispatch::None;
    if (Empty) {
        ElementEnded(Parent);
        return tDispatch::None;
    }
    Open.push_back(Element);
    if (Fast)
        OpenNames.push_back({NameStart, static_cast<size_t>(NameEnd - NameStart)});
    return tDispatch::Opened;
}

// The last child of Parent, an element, has been read completely; Open holds its ancestors.
template <class tDecoder, bool Fast>
void tXMLReader<tDecoder, Fast>::ElementEnded(tXMLMarkupItem &Parent) {
    if (!OnElementEnd)
        return;
    const auto &Element = static_cast<const tXMLMarkupItem &>(*Parent.Children.back());
    if (OnElementEnd(Element, Open) && !Open.empty()) {
        Parent.Children.pop_back();
        ChildFreed = true;
    }
}

// The text node that character data continues, if any.
template <class tDecoder, bool Fast>
TXMLTextItem *tXMLReader<tDecoder, Fast>::LastText(tXMLMarkupItem &Element) {
    if (std::exchange(ChildFreed, false) || Element.Children.empty() ||
        Element.Children.back()->ItemType != xiText)
        return nullptr;
    return static_cast<TXMLTextItem *>(Element.Children.back().get());
}

// Reads the content of the open elements, the innermost first, closing each at its end tag,
// until the last of them has closed, the input has ended or an error is recorded.
template <class tDecoder, bool Fast> void tXMLReader<tDecoder, Fast>::ReadContent() {
    constexpr ptrdiff_t Unit = tDecoder::Unit;
    tXMLMarkupItem *Element = Open.back();
    TXMLTextItem *Text = LastText(*Element);
    const auto NewText = [this, &Element]() {
        SpacePending = false;
        return NewChild<TXMLTextItem>(*Element);
    };
    while (!Err.HasError) {
        bool Markup = false;
        bool EndTag = AtEnd();
        if (Fast && !EndTag && !HasPushBack) {
            if (!Text) {
                // Without a text node whitespace is skipped, and line ends count as whitespace.
                Cur = SkipLayout<tDecoder>(Cur, End);
                const int U = PlainAt(Cur);
                if (U == u'<') {
                    // The usual markup: an end tag or a child element.
                    const int Next = PlainAt(Cur + Unit);
                    if (Next == u'/') {
                        Cur += 2 * Unit;
                        EndTag = true;
                    } else if (Next == u'!' && ReadKnownDeclaration(*Element)) {
                        Text = LastText(*Element);
                        continue;
                    } else if (Next >= 0 && Next != u'!' && Next != u'?' && Next != 13 &&
                               !IsSpace(static_cast<char16_t>(Next))) {
                        const tByte *NameStart = Cur + Unit;
                        Cur += 2 * Unit;
                        if (StartElement(*Element, static_cast<char16_t>(Next), NameStart) ==
                            tDispatch::Opened)
                            Element = Open.back();
                        Text = LastText(*Element);
                        continue;
                    } else {
                        Cur += Unit;
                        Markup = true;
                    }
                } else if (Cur == End) {
                    EndTag = true;
                } else if (U >= 0) {
                    Text = NewText();
                }
            }
            if (Text) {
                Buffer.Size = 0;
                Cur = DecodeText<tDecoder>(Cur, End, Buffer, SpacePending);
                if (PlainAt(Cur) == u'<') {
                    // Trailing whitespace and control characters go before markup, which is
                    // then read as after any other node; should it add nothing, the text
                    // node is found again as the last child.
                    if (!Buffer.TrimControls())
                        while (!Text->Text.empty() && Text->Text.back() <= 32)
                            Text->Text.pop_back();
                    StoreChars(Text->Text, Buffer);
                    Text = nullptr;
                    continue;
                }
                StoreChars(Text->Text, Buffer);
                EndTag = AtEnd();
            }
        }
        if (!Markup && !EndTag) {
            const char16_t C = ReadChar();
            if (C == u'<') {
                if (Text) {
                    std::u16string &S = Text->Text;
                    while (!S.empty() && S.back() <= 32)
                        S.pop_back();
                }
                Markup = true;
            } else if (Text) {
                if (!IsSpace(C)) {
                    Text->Text.push_back(C);
                    SpacePending = false;
                } else if (!SpacePending) {
                    Text->Text.push_back(u' ');
                    SpacePending = true;
                }
            } else if (!IsSpace(C)) {
                Text = NewText();
                Text->Text.assign(1, C);
            }
            EndTag = !Markup && AtEnd();
        }
        if (Markup) {
            const tDispatch Result = Dispatch(*Element, true);
            if (Result == tDispatch::Opened) {
                Element = Open.back();
                Text = LastText(*Element);
                continue;
            }
            if (Result == tDispatch::None) {
                Text = LastText(*Element);
                EndTag = AtEnd();
            } else {
                EndTag = true;
            }
        }
        if (!EndTag || Err.HasError)
            continue;
        // The end tag follows, or the input ended before it.
        ReadEndTag(*Element);
        Open.pop_back();
        if (Fast)
            OpenNames.pop_back();
        if (!Err.HasError && OnElementEnd)
            ElementEnded(Open.empty() ? *DocNode : *Open.back());
        if (Open.empty())
            return;
        Element = Open.back();
        Text = LastText(*Element);
    }
}
