#pragma once
// Ordered index from segment start time to segment: a B+-tree with wide nodes. A search reads
// one short key array per level, and the upper levels stay in cache, so entering an entry
// costs about the same whether the document holds ten thousand segments or a million. Inserts
// move at most one node's keys.

#include "base/dates.h"

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

    void clear() { FreeAll(); }
    // Finds the leaf for Key and asks for its memory, for a change there that comes soon.
    void Touch(TDateTime Key) const {
        if (Root)
            Locate(Key);
    }
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
    // The path to the leaf found last, with the key range that leaf answers for. Entering an
    // entry looks up and inserts in the same leaf two or three times in a row; with the path
    // kept, only the first of these descends from the root. Any change of the tree's shape
    // drops it.
    struct TFinger {
        TStep Path[MaxHeight];
        int Depth = 0;
        TNode *Leaf = nullptr;
        bool HasLow = false, HasHigh = false;
        TDateTime Low = 0, High = 0;
        bool Holds(TDateTime Key) const {
            return Leaf && (!HasLow || Low <= Key) && (!HasHigh || Key < High);
        }
    };

    // The leaf that holds Key; Finger then describes the path to it.
    TNode *Locate(TDateTime Key) const;
    TNode *Split(TNode *Node, bool AtEnd);
    void Merge(TNode *Left, TNode *Right, TDateTime Separator);
    void FreeAll();

    TNode *Root = nullptr;
    size_t Count = 0;
    // A cache: lookups are logically const, and the model is used from one thread.
    mutable TFinger Finger;
};
