#pragma once
// The node tree the parser builds: what it saw, in source order, with byte positions.
// All character data is UTF-16; name comparisons are exact (code unit by code unit).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "xml/xmlpool.h"

enum : int32_t {
    xiNone = -1,
    xiDocument = 0,
    xiText = 1,
    xiMarkup = 2,
    xiProcInstruction = 3,
    xiComment = 4,
    xiCData = 5,
    xiDocType = 6,
};

class tXMLItem;
using tXMLItemPtr = std::unique_ptr<tXMLItem>;
using tXMLItemList = std::vector<tXMLItemPtr, tXMLAllocator<tXMLItemPtr>>;

// Base of all nodes. Consumers tell nodes apart by ItemType only.
class tXMLItem {
public:
    tXMLItem() = default;
    virtual ~tXMLItem() = default;
    tXMLItem(const tXMLItem &) = delete;
    tXMLItem &operator=(const tXMLItem &) = delete;

    int32_t ItemType = xiNone;

    static void *operator new(std::size_t Size) { return XMLPool::Allocate(Size); }
    static void operator delete(void *P, std::size_t Size) noexcept { XMLPool::Free(P, Size); }

protected:
    explicit tXMLItem(int32_t Type) : ItemType(Type) {}

private:
    friend class tXMLMarkupItem;
    // Hands the node's own children over so that a tree is freed without recursion.
    virtual void MoveChildrenTo(tXMLItemList &) {}
};

// Character data; also comments, CDATA sections and the DOCTYPE declaration (see ItemType).
class TXMLTextItem : public tXMLItem {
public:
    TXMLTextItem() : tXMLItem(xiText) {}

    // Set for comment, CDATA and DOCTYPE nodes only; character data keeps 0.
    int32_t Position = 0;
    std::u16string Text;
};

struct tAttribItem {
    std::u16string Name;
    // Exactly as it stood between the quotes: no references decoded, no normalisation.
    std::u16string Value;
};

// An element.
class tXMLMarkupItem : public tXMLItem {
public:
    tXMLMarkupItem() : tXMLItem(xiMarkup) {}
    ~tXMLMarkupItem() override;

    // Offset of the '<' and of the '>' closing the start tag (for one-byte input).
    int32_t Position = 0;
    int32_t TagEnd = 0;
    std::u16string Name;
    tXMLItemList Children;
    std::vector<tAttribItem, tXMLAllocator<tAttribItem>> Attributes;

    // Takes ownership; returns the node for convenience.
    tXMLItem *AddChild(std::unique_ptr<tXMLItem> Node) {
        // Mostly a handful of children: room for those at once saves growing step by step.
        if (Children.capacity() == 0)
            Children.reserve(4);
        Children.push_back(std::move(Node));
        return Children.back().get();
    }
    // No duplicate test: the parser checks before adding.
    void AddAttribute(const tAttribItem &Attribute) { AddAttribute(tAttribItem(Attribute)); }
    void AddAttribute(tAttribItem &&Attribute) {
        AddAttribute(std::move(Attribute.Name), std::move(Attribute.Value));
    }
    void AddAttribute(std::u16string &&Name, std::u16string &&Value) {
        if (Attributes.capacity() == 0)
            Attributes.reserve(2);
        Attributes.push_back(tAttribItem{std::move(Name), std::move(Value)});
    }

    // Index of the first attribute with exactly this name, or -1.
    int32_t IndexOfAttribute(std::u16string_view AttrName) const;
    std::u16string GetAttribute(std::u16string_view AttrName, std::u16string_view Default) const;
    // First direct child element with exactly this name, or nullptr.
    tXMLMarkupItem *FindElement(std::u16string_view ElementName) const;
    // First direct child element; on a document, the root element.
    tXMLMarkupItem *GetRootElement() const;

protected:
    explicit tXMLMarkupItem(int32_t Type) : tXMLItem(Type) {}

private:
    void MoveChildrenTo(tXMLItemList &Pending) override;
};

// The document node: an element without a name holding the top-level nodes.
class tXMLDocument : public tXMLMarkupItem {
public:
    tXMLDocument() : tXMLMarkupItem(xiDocument) {}
};

// A processing instruction, the <?xml ...?> declaration included.
class tXMLProcInstruction : public tXMLItem {
public:
    tXMLProcInstruction() : tXMLItem(xiProcInstruction) {}

    std::u16string Target;
    // Everything up to "?>", raw: pseudo-attributes are not parsed.
    std::u16string Data;
};
