#pragma once
// What the document manager tells those who show the document. Every change a window makes
// goes through one of the manager's commands, and each command tells each of its events once,
// naming everything it changed; a refused command changes nothing and tells nothing. The
// listeners decide how to show the change (a row, a node, a refill).

#include "model/cktypes.h"

#include <unordered_set>

// The entries whose overlap marks a change may have flipped, when they are few enough to name;
// otherwise (Known false) any entry's mark may have changed. Every one is in the document.
struct TCKTouched {
    bool Known = false;
    TCKConstTimeItems Entries;
};

// Entries added or changed in place, in the order the command met them; all in the document.
struct TCKEntriesEvent {
    TCKTimeItemList Entries;
    TCKTouched Touched;
};

// Told after the nodes left the document and before they are freed: during the call they may
// be compared and read, afterwards no listener may keep or read them.
struct TCKRemovedEvent {
    // What the command removed, none lying below another.
    TCKList Items;
    // Items and every node below them.
    std::unordered_set<const TCKItem *> Nodes;
    TCKTouched Touched;

    bool Removes(const TCKItem *Node) const { return Nodes.count(Node) != 0; }
};

// Items are children of Target now, in the order they were moved.
struct TCKMovedEvent {
    TCKList Items;
    TCKProjectItem *Target = nullptr;
};

class TCKDocumentListener {
public:
    virtual ~TCKDocumentListener() = default;

    // A new entry, a recorded measurement, the second part of a split.
    virtual void EntriesAdded(const TCKEntriesEvent &) {}
    // Times, comment or fields changed: an edit, the first part of a split, a merge's result.
    virtual void EntriesChanged(const TCKEntriesEvent &) {}
    virtual void ItemsRemoved(const TCKRemovedEvent &) {}
    // The paths of everything below the moved items have changed.
    virtual void ItemsMoved(const TCKMovedEvent &) {}
    virtual void ProjectAdded(TCKProjectItem *) {}
    // The paths of everything below Project have changed.
    virtual void ProjectRenamed(TCKProjectItem *) {}
    // Loaded, emptied (New) or, with Imported, a file added as a new top-level project. Without
    // Imported every node of the old document is freed already: drop what names one unread.
    virtual void DocumentReplaced(bool /*Imported*/) {}
    virtual void DefaultProjectChanged() {}
    virtual void FieldDefsChanged() {}
};
