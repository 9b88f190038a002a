#include "model/cksegmentindex.h"

#include "base/dates.h"
#include "base/prefetch.h"

#include <algorithm>
#include <cstring>
#include <vector>

// Inner nodes: Slots[i].Child holds the keys from Keys[i] up to Keys[i + 1]; Keys[0] is not
// used for routing (everything below Keys[1] goes to the first child). Leaves: sorted keys and
// their values, linked to their neighbours so a floor search can step back one leaf.
// One spare place lets a node overflow by one before it is split.
struct TSegmentIndex::TNode {
    int Count = 0;
    bool Leaf = true;
    TNode *PrevLeaf = nullptr;
    TNode *NextLeaf = nullptr;
    TDateTime Keys[Fanout + 1];
    union TSlot {
        Value V;
        TNode *Child;
    } Slots[Fanout + 1];

    void InsertAt(int Pos, TDateTime Key, TSlot Slot) {
        std::memmove(Keys + Pos + 1, Keys + Pos, sizeof(TDateTime) * (Count - Pos));
        std::memmove(Slots + Pos + 1, Slots + Pos, sizeof(TSlot) * (Count - Pos));
        Keys[Pos] = Key;
        Slots[Pos] = Slot;
        ++Count;
    }
    void RemoveAt(int Pos) {
        std::memmove(Keys + Pos, Keys + Pos + 1, sizeof(TDateTime) * (Count - Pos - 1));
        std::memmove(Slots + Pos, Slots + Pos + 1, sizeof(TSlot) * (Count - Pos - 1));
        --Count;
    }
    // Branch-free binary searches: which half holds the answer is a coin toss for random
    // keys, and a mispredicted branch per step costs more than the comparison.
    // Position of the first key in [From, Count) that is >= Key (OrEqual: > Key).
    template <bool OrEqual> int Bound(TDateTime Key, int From) const {
        const TDateTime *base = Keys + From;
        int n = Count - From;
        if (n <= 0)
            return From;
        while (n > 1) {
            const int half = n / 2;
            base = (OrEqual ? base[half] <= Key : base[half] < Key) ? base + half : base;
            n -= half;
        }
        const bool below = OrEqual ? *base <= Key : *base < Key;
        return static_cast<int>(base - Keys) + below;
    }
    // The child that holds Key.
    int ChildFor(TDateTime Key) const { return Bound<true>(Key, 1) - 1; }
    int LowerBound(TDateTime Key) const { return Bound<false>(Key, 0); }
    int UpperBound(TDateTime Key) const { return Bound<true>(Key, 0); }
    // Asks for all of the node's lines at once, so that a search through a node that is not in
    // cache waits for memory about once rather than once per halving step.
    void Prefetch() const {
        const char *bytes = reinterpret_cast<const char *>(this);
        for (size_t offset = 0; offset < sizeof(TNode); offset += 64)
            CK_PREFETCH(bytes + offset);
    }
    // The last value of the leaf before this one, for a floor that lies outside this leaf.
    Value PreviousValue() const {
        return PrevLeaf ? PrevLeaf->Slots[PrevLeaf->Count - 1].V : nullptr;
    }
};

TSegmentIndex::~TSegmentIndex() {
    FreeAll();
}

void TSegmentIndex::FreeAll() {
    std::vector<TNode *> pending;
    if (Root)
        pending.push_back(Root);
    while (!pending.empty()) {
        TNode *node = pending.back();
        pending.pop_back();
        if (!node->Leaf)
            for (int i = 0; i < node->Count; ++i)
                pending.push_back(node->Slots[i].Child);
        delete node;
    }
    Root = nullptr;
    Count = 0;
    Finger.Leaf = nullptr;
}

TSegmentIndex::TNode *TSegmentIndex::Locate(TDateTime Key) const {
    if (Finger.Holds(Key))
        return Finger.Leaf;
    TFinger &f = Finger;
    f.Depth = 0;
    f.HasLow = f.HasHigh = false;
    TNode *node = Root;
    while (!node->Leaf) {
        const int slot = node->ChildFor(Key);
        // The deepest bounds are the tightest.
        if (slot > 0) {
            f.HasLow = true;
            f.Low = node->Keys[slot];
        }
        if (slot + 1 < node->Count) {
            f.HasHigh = true;
            f.High = node->Keys[slot + 1];
        }
        f.Path[f.Depth++] = {node, slot};
        node = node->Slots[slot].Child;
        node->Prefetch();
    }
    f.Leaf = node;
    return node;
}

// Moves the upper part of an overfull node into a new right neighbour. A node that grew at the
// very end of the index keeps all but the newest key: entries mostly arrive in time order, and
// half-empty nodes would double the index for them.
TSegmentIndex::TNode *TSegmentIndex::Split(TNode *Node, bool AtEnd) {
    const int keep = AtEnd ? Fanout : (Node->Count + 1) / 2;
    auto *right = new TNode;
    right->Leaf = Node->Leaf;
    right->Count = Node->Count - keep;
    std::memcpy(right->Keys, Node->Keys + keep, sizeof(TDateTime) * right->Count);
    std::memcpy(right->Slots, Node->Slots + keep, sizeof(TNode::TSlot) * right->Count);
    Node->Count = keep;
    if (Node->Leaf) {
        right->PrevLeaf = Node;
        right->NextLeaf = Node->NextLeaf;
        if (Node->NextLeaf)
            Node->NextLeaf->PrevLeaf = right;
        Node->NextLeaf = right;
    }
    return right;
}

void TSegmentIndex::Insert(TDateTime Key, Value V) {
    if (!Root) {
        Root = new TNode;
        Root->Keys[0] = Key;
        Root->Slots[0].V = V;
        Root->Count = 1;
        Count = 1;
        return;
    }
    TNode *node = Locate(Key);
    const int pos = node->LowerBound(Key);
    if (pos < node->Count && node->Keys[pos] == Key) {
        node->Slots[pos].V = V;
        return;
    }
    const bool atEnd = pos == node->Count && !node->NextLeaf;
    TNode::TSlot slot;
    slot.V = V;
    node->InsertAt(pos, Key, slot);
    ++Count;
    if (node->Count <= Fanout)
        return;
    Finger.Leaf = nullptr;
    int depth = Finger.Depth;
    while (node->Count > Fanout) {
        TNode *right = Split(node, atEnd);
        slot.Child = right;
        if (depth == 0) {
            auto *root = new TNode;
            root->Leaf = false;
            root->Keys[0] = node->Keys[0];
            root->Slots[0].Child = node;
            root->Count = 1;
            root->InsertAt(1, right->Keys[0], slot);
            Root = root;
            return;
        }
        const TStep &up = Finger.Path[--depth];
        up.Node->InsertAt(up.Slot + 1, right->Keys[0], slot);
        node = up.Node;
    }
}

// Appends Right to Left. An inner node's first key does not route, so it takes the separator
// the parent held for Right.
void TSegmentIndex::Merge(TNode *Left, TNode *Right, TDateTime Separator) {
    if (!Right->Leaf)
        Right->Keys[0] = Separator;
    std::memcpy(Left->Keys + Left->Count, Right->Keys, sizeof(TDateTime) * Right->Count);
    std::memcpy(Left->Slots + Left->Count, Right->Slots, sizeof(TNode::TSlot) * Right->Count);
    Left->Count += Right->Count;
    if (Left->Leaf) {
        Left->NextLeaf = Right->NextLeaf;
        if (Right->NextLeaf)
            Right->NextLeaf->PrevLeaf = Left;
    }
    delete Right;
}

bool TSegmentIndex::Erase(TDateTime Key, Value V) {
    if (!Root)
        return false;
    TNode *node = Locate(Key);
    const int pos = node->LowerBound(Key);
    if (pos == node->Count || node->Keys[pos] != Key || node->Slots[pos].V != V)
        return false;
    node->RemoveAt(pos);
    --Count;
    // Mostly the leaf stays well filled and nothing else changes.
    if (node->Count >= MinFill || (Finger.Depth == 0 && node->Count > 0))
        return true;
    Finger.Leaf = nullptr;
    const TStep *path = Finger.Path;
    int depth = Finger.Depth;
    // Drop empty nodes and merge thin ones into a neighbour, level by level upwards.
    while (depth > 0) {
        const TStep &up = path[depth - 1];
        TNode *parent = up.Node;
        if (node->Count == 0) {
            if (node->Leaf) {
                if (node->PrevLeaf)
                    node->PrevLeaf->NextLeaf = node->NextLeaf;
                if (node->NextLeaf)
                    node->NextLeaf->PrevLeaf = node->PrevLeaf;
            }
            delete node;
            parent->RemoveAt(up.Slot);
        } else if (node->Count < MinFill) {
            TNode *left = up.Slot > 0 ? parent->Slots[up.Slot - 1].Child : nullptr;
            TNode *right = up.Slot + 1 < parent->Count ? parent->Slots[up.Slot + 1].Child : nullptr;
            if (left && left->Count + node->Count <= Fanout) {
                Merge(left, node, parent->Keys[up.Slot]);
                parent->RemoveAt(up.Slot);
            } else if (right && node->Count + right->Count <= Fanout) {
                Merge(node, right, parent->Keys[up.Slot + 1]);
                parent->RemoveAt(up.Slot + 1);
            } else {
                break;
            }
        } else {
            break;
        }
        node = parent;
        --depth;
    }
    // A root left with a single child hands over to it; an empty root goes.
    while (Root && !Root->Leaf && Root->Count == 1) {
        TNode *old = Root;
        Root = old->Slots[0].Child;
        delete old;
    }
    if (Root && Root->Count == 0) {
        delete Root;
        Root = nullptr;
    }
    return true;
}

TSegmentIndex::Value TSegmentIndex::Find(TDateTime Key) const {
    if (!Root)
        return nullptr;
    const TNode *leaf = Locate(Key);
    const int pos = leaf->LowerBound(Key);
    return pos < leaf->Count && leaf->Keys[pos] == Key ? leaf->Slots[pos].V : nullptr;
}

// A leaf's keys are all at or above the separator that led to it, and every earlier leaf's
// keys are below it; so when Key lies before a leaf's first key, the floor ends the leaf before.
TSegmentIndex::Value TSegmentIndex::FloorLE(TDateTime Key) const {
    if (!Root)
        return nullptr;
    const TNode *leaf = Locate(Key);
    const int pos = leaf->UpperBound(Key);
    // Entering an entry splits the floor segment and relinks the one after it: asking for the
    // follower now lets both come from memory at once rather than one after the other.
    if (pos < leaf->Count)
        CK_PREFETCH(leaf->Slots[pos].V);
    return pos > 0 ? leaf->Slots[pos - 1].V : leaf->PreviousValue();
}

TSegmentIndex::Value TSegmentIndex::FloorLT(TDateTime Key) const {
    if (!Root)
        return nullptr;
    const TNode *leaf = Locate(Key);
    const int pos = leaf->LowerBound(Key);
    return pos > 0 ? leaf->Slots[pos - 1].V : leaf->PreviousValue();
}

bool TSegmentIndex::CheckStructure(std::string *Why) const {
    auto fail = [&](const char *What) {
        if (Why)
            *Why = What;
        return false;
    };
    if (!Root)
        return Count == 0 ? true : fail("index: count without nodes");
    if (Root->Count == 0 || (!Root->Leaf && Root->Count < 2))
        return fail("index: root should have been dropped");
    // Each pending node with the key range its parent allows: [Low, High), bounds optional.
    struct TPending {
        const TNode *Node;
        int Level;
        bool HasLow, HasHigh;
        TDateTime Low, High;
    };
    std::vector<TPending> pending{{Root, 0, false, false, 0, 0}};
    std::vector<const TNode *> leaves;
    int leafLevel = -1;
    size_t keys = 0;
    while (!pending.empty()) {
        const TPending p = pending.back();
        pending.pop_back();
        const TNode *n = p.Node;
        if (n->Count < 1 || n->Count > Fanout)
            return fail("index: node fill out of range");
        const int first = n->Leaf ? 0 : 1;
        for (int i = first; i < n->Count; ++i) {
            if (i > first && !(n->Keys[i - 1] < n->Keys[i]))
                return fail("index: keys out of order within a node");
            if ((p.HasLow && n->Keys[i] < p.Low) || (p.HasHigh && !(n->Keys[i] < p.High)))
                return fail("index: key outside the range its parent allows");
        }
        if (n->Leaf) {
            if (leafLevel >= 0 && leafLevel != p.Level)
                return fail("index: leaves at different depths");
            leafLevel = p.Level;
            leaves.push_back(n);
            keys += static_cast<size_t>(n->Count);
            continue;
        }
        // Pushed last child first, so leaves are met from left to right.
        for (int i = n->Count - 1; i >= 0; --i) {
            TPending c{n->Slots[i].Child, p.Level + 1, p.HasLow, p.HasHigh, p.Low, p.High};
            if (i > 0) {
                c.HasLow = true;
                c.Low = n->Keys[i];
            }
            if (i + 1 < n->Count) {
                c.HasHigh = true;
                c.High = n->Keys[i + 1];
            }
            pending.push_back(c);
        }
    }
    if (keys != Count)
        return fail("index: count differs from the keys held");
    for (size_t i = 0; i < leaves.size(); ++i) {
        const TNode *prev = i > 0 ? leaves[i - 1] : nullptr;
        const TNode *next = i + 1 < leaves.size() ? leaves[i + 1] : nullptr;
        if (leaves[i]->PrevLeaf != prev || leaves[i]->NextLeaf != next)
            return fail("index: leaf links differ from the tree's order");
        if (prev && !(prev->Keys[prev->Count - 1] < leaves[i]->Keys[0]))
            return fail("index: keys out of order across leaves");
    }
    return true;
}
