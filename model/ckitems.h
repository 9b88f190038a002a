#pragma once
// The document tree: projects (inner nodes) and time entries (leaves).

#include "base/dates.h"
#include "model/cktypes.h"
#include "model/ckviews.h"

// An empty interval becomes one second long; reversed times are put in order.
void EnsurePositiveLength(TDateTime &StartTime, TDateTime &EndTime);

// The deepest project a document may hold (a top-level project lies at depth 1). Its file
// nests such a project in MaxProjectDepth + 2 elements and an entry's field id below it in 4
// more, which must stay within what the reader accepts.
constexpr int MaxProjectDepth = 994;
// "Projekte lassen sich höchstens … Ebenen tief verschachteln."
std::string DepthLimitText();

class TCKItem {
public:
    virtual ~TCKItem() = default;
    TCKItem(const TCKItem &) = delete;
    TCKItem &operator=(const TCKItem &) = delete;

    const int Kind;
    TChronarkMan *Manager = nullptr;
    TCKProjectItem *Parent = nullptr;
    TCKItem *Next = nullptr;
    TCKItem *Prev = nullptr;

    // Detach, then free. A project takes its whole subtree with it.
    void Delete();
    // Takes the node out of the document (a project deletes its children first).
    virtual void Detach();
    // Appends the node to Project. Refused (false, nothing changed) for a project moved into
    // itself or one of its descendants, for an empty target, for a project whose subtree
    // would then reach below MaxProjectDepth (which says so to the document's OnMessage),
    // and for entries another document cannot take (TChronarkMan::AdmitEntries reports it).
    bool MoveTo(TCKProjectItem *Project);
    virtual std::string GetPath() const;

    bool IsProject() const { return Kind == ikProject; }
    bool IsTime() const { return Kind == ikTime; }
    TCKProjectItem *AsProject();
    TCKTimeItem *AsTime();
    // Projects from the top of the tree down to this node: the root is at 0, its children at 1.
    int Depth() const;
    // Whether this node is Ancestor or lies below it.
    bool IsInSubtreeOf(const TCKItem *Ancestor) const;

protected:
    explicit TCKItem(int AKind) : Kind(AKind) {}
    // Unlinks from the parent's child list and marks the document modified.
    void Unlink();
};

class TCKProjectItem : public TCKItem {
public:
    TCKProjectItem() : TCKItem(ikProject) {}
    explicit TCKProjectItem(std::string ACaption)
        : TCKItem(ikProject), Caption(std::move(ACaption)) {}
    ~TCKProjectItem() override;

    TCKItem *FirstChild = nullptr;
    TCKItem *LastChild = nullptr;
    std::string Caption;

    void Detach() override;
    std::string GetPath() const override;

    void Add(TCKItem *Item);
    // Builds without a depth limit; a user's new project goes through
    // TChronarkMan::NewProject.
    TCKProjectItem *AddProject(const std::string &ACaption);
    // Whether no project of the subtree lies more than Levels below this one.
    bool SubtreeWithin(int Levels) const;
    // Null when the document cannot take the entry (TChronarkMan::AdmitEntries reports it).
    TCKTimeItem *AddTime(const tCKEditItem &Data);
    TCKTimeItemList TimeItems() const;
    // Deletes every child (whole subtrees) without recursion.
    void DeleteChildren();
    // Appends every child of Source, a project outside any document, with its subtree and in
    // order; their entries enter the segment list. Puts a document read aside into place.
    void TakeChildrenOf(TCKProjectItem &Source);

    // Rows of the entry list; see TChronarkMan for the row layout.
    void FillListView(TCKListView &View) const;
    // Appends the rows of those of Items that are children of this project (entries only when
    // they pass the filter).
    void AddRows(TCKListView &View, const TCKList &Items) const;
};

class TCKTimeItem : public TCKItem {
public:
    TCKTimeItem() : TCKItem(ikTime) {}
    ~TCKTimeItem() override;

    TDateTime StartTime = 0;
    TDateTime EndTime = 0;
    std::string Comment;
    // The entry covers the contiguous run of segments FirstSegment..LastSegment; the run is
    // its segment array, so it is not stored twice.
    TCKReducedTimeItem *FirstSegment = nullptr;
    TCKReducedTimeItem *LastSegment = nullptr;
    tFieldList Fields;

    void Detach() override;

    tCKEditItem GetData() const;
    void SetData(const tCKEditItem &Data);
    bool SplitAt(TDateTime T);
    int FieldIndex(const std::string &Id) const;
    bool IsOverlapFree() const;
    // Adds the entries sharing time with this one, itself included, to Sharers, each once:
    // the only entries whose overlap mark a change of this one can flip. False as soon as
    // Sharers would pass Limit entries (then treat every entry as touched).
    bool AddTimeSharers(TCKConstTimeItems &Sharers, size_t Limit) const;
    bool MatchesFilter(const tFilterItem &Filter, bool Active) const;
    bool MatchesSearch(const tFilterItem &Filter, const std::string &Text) const;

    // The segments the entry covers, earliest first.
    TTimeBlockList Segments() const;
    // Whether the entry takes part in the segment list.
    bool InSegments() const { return FirstSegment != nullptr; }
    // Leaves the segment list and tidies the stretch it covered.
    void LeaveSegments();
};

// Visits every node below Top depth-first in child order without recursion: OnProject on the
// way down, OnEntry for each entry, OnLeave when a project's children are done.
template <typename ProjectFn, typename EntryFn, typename LeaveFn>
void WalkSubtree(TCKProjectItem *Top, ProjectFn OnProject, EntryFn OnEntry, LeaveFn OnLeave) {
    TCKItem *node = Top->FirstChild;
    while (node) {
        if (TCKProjectItem *project = node->AsProject()) {
            OnProject(project);
            if (project->FirstChild) {
                node = project->FirstChild;
                continue;
            }
            OnLeave(project);
        } else {
            OnEntry(node->AsTime());
        }
        while (node && !node->Next) {
            node = node->Parent;
            if (node == Top)
                node = nullptr;
            else
                OnLeave(node->AsProject());
        }
        if (node)
            node = node->Next;
    }
}

template <typename EntryFn> void ForEachEntry(TCKProjectItem *Top, EntryFn OnEntry) {
    WalkSubtree(
        Top, [](TCKProjectItem *) {}, OnEntry, [](TCKProjectItem *) {});
}
