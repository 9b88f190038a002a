#include "xml/xmlnodes.h"

#include <utility>

tXMLMarkupItem::~tXMLMarkupItem() {
    // Deeply nested trees must not recurse through the destructors: every element empties
    // its children into one work list before it is freed.
    if (Children.empty())
        return;
    tXMLItemList Pending = std::move(Children);
    while (!Pending.empty()) {
        std::unique_ptr<tXMLItem> Node = std::move(Pending.back());
        Pending.pop_back();
        Node->MoveChildrenTo(Pending);
    }
}

void tXMLMarkupItem::MoveChildrenTo(tXMLItemList &Pending) {
    for (auto &Child : Children)
        Pending.push_back(std::move(Child));
    Children.clear();
}

int32_t tXMLMarkupItem::IndexOfAttribute(std::u16string_view AttrName) const {
    for (size_t I = 0; I < Attributes.size(); ++I)
        if (Attributes[I].Name == AttrName)
            return static_cast<int32_t>(I);
    return -1;
}

std::u16string tXMLMarkupItem::GetAttribute(std::u16string_view AttrName,
                                            std::u16string_view Default) const {
    const int32_t Index = IndexOfAttribute(AttrName);
    return std::u16string(Index < 0 ? Default : std::u16string_view(Attributes[Index].Value));
}

static tXMLMarkupItem *AsElement(const std::unique_ptr<tXMLItem> &Node) {
    return Node->ItemType == xiMarkup ? dynamic_cast<tXMLMarkupItem *>(Node.get()) : nullptr;
}

tXMLMarkupItem *tXMLMarkupItem::FindElement(std::u16string_view ElementName) const {
    for (const auto &Child : Children)
        if (tXMLMarkupItem *Element = AsElement(Child); Element && Element->Name == ElementName)
            return Element;
    return nullptr;
}

tXMLMarkupItem *tXMLMarkupItem::GetRootElement() const {
    for (const auto &Child : Children)
        if (tXMLMarkupItem *Element = AsElement(Child))
            return Element;
    return nullptr;
}
