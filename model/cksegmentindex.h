#pragma once
// Ordered index from segment start time to segment: a B+-tree with wide nodes. A search reads
// one short key array per level, and the upper levels stay in cache, so entering an entry
// costs about the same whether the document holds ten thousand segments or a million. Inserts
// move at most one node's keys.

#include "model/cstring.h"

#include <cstddef>
#include <string>

class TCKReducedTimeItem;

class TSegmentIndex {
public:
    using Value = TCKReducedTimeItem *;

    TSegmentIndex() = default;
    ~TSegmentIndex();
    TSegmentIndex(const TSegmentIndex &) = delete;
    TSegmentIndex &operator=(const TSegmentIndex &) = delete;

    // Adds Key, or points an existing Key at V.
    void Insert(TDateTime Key, Value V);
    // Removes Key when it names V; answers whether it did.
    bool Erase(TDateTime Key, Value V);
    Value Find(TDateTime Key) const;
    // The entry with the greatest key <= Key, or < Key; nullptr when there is none.
    Value FloorLE(TDateTime Key) const;
    Value FloorLT(TDateTime Key) const;

    size_t size() const { return Count; }
    bool empty() const { return Count == 0; }

    // Checks ordering, separators, node fill, leaf links and the count.
    bool CheckStructure(std::string *Why = nullptr) const;

private:
    // 32 keys of 8 bytes: a node's keys span four cache lines.
    static constexpr int Fanout = 32;
    static constexpr int MinFill = Fanout / 4;
    // Splits happen only in full nodes, so each level holds at least 16 times fewer nodes than
    // the one below: 40 levels are out of reach.
    static constexpr int MaxHeight = 40;

    struct TNode;
    struct TStep {
        TNode *Node;
        int Slot;
    };

    const TNode *LeafFor(TDateTime Key) const;
    // Descends to Key's leaf, recording the inner nodes passed and the child taken in each.
    TNode *Descend(TDateTime Key, TStep *Path, int &Depth) const;
    TNode *Split(TNode *Node, bool AtEnd);
    void Merge(TNode *Left, TNode *Right, TDateTime Separator);
    void FreeAll();

    TNode *Root = nullptr;
    size_t Count = 0;
};
