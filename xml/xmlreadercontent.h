#pragma once
// The document level, the markup dispatch and element content.

#include "xml/xmlreaderchars.h"

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
