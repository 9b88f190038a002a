#include "model/ckmanager.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

namespace {

// Visits every node below Root depth-first in child order without recursion: projects on the
// way down (before their children), entries as they come.
template <typename ProjectFn, typename EntryFn>
void WalkTree(const TCKProjectItem *Root, ProjectFn OnProject, EntryFn OnEntry) {
    TCKItem *node = Root->FirstChild;
    while (node) {
        if (TCKProjectItem *project = node->AsProject()) {
            OnProject(project);
            if (project->FirstChild) {
                node = project->FirstChild;
                continue;
            }
        } else {
            OnEntry(node->AsTime());
        }
        while (node && !node->Next) {
            node = node->Parent;
            if (node == Root)
                node = nullptr;
        }
        if (node)
            node = node->Next;
    }
}

int64_t WholeMilliSeconds(TDateTime T) { return std::llround(T * 86400000.0); }

void CarrySums(int64_t H, int64_t M, int64_t S, int32_t &Hours, int32_t &Minutes,
               int32_t &Seconds) {
    if (S > 59) {
        M += S / 60;
        S %= 60;
    }
    if (M > 59) {
        H += M / 60;
        M %= 60;
    }
    Hours = static_cast<int32_t>(H);
    Minutes = static_cast<int32_t>(M);
    Seconds = static_cast<int32_t>(S);
}

} // namespace

bool Overlaps(const TCKTimeItem *A, const TCKTimeItem *B, bool TouchCounts) {
    // Whole milliseconds: entries hold whole seconds, so touching stays exact.
    const int64_t as = WholeMilliSeconds(A->StartTime), ae = WholeMilliSeconds(A->EndTime);
    const int64_t bs = WholeMilliSeconds(B->StartTime), be = WholeMilliSeconds(B->EndTime);
    const int64_t lo = std::min(as, bs), hi = std::max(ae, be);
    const int64_t lengths = (ae - as) + (be - bs);
    return TouchCounts ? lengths >= hi - lo : lengths > hi - lo;
}

void EntryRowTexts(const TCKTimeItem *Entry, bool ShowPath, std::string &Caption,
                   TStringArray &SubItems) {
    Caption = Entry->Comment;
    SubItems.clear();
    SubItems.push_back(DateTimeText(Entry->StartTime));
    SubItems.push_back(DateTimeText(Entry->EndTime));
    SubItems.push_back(DurationClockText(Entry->EndTime, Entry->StartTime));
    if (ShowPath)
        SubItems.push_back(Entry->GetPath());
}

int EntryImage(const TCKTimeItem *Entry) {
    return Entry->IsOverlapFree() ? imgEntry : imgEntryOverlap;
}

// --- Lifetime and state --------------------------------------------------------------------

TChronarkMan::TChronarkMan(TChangeEvent AOnChange)
    : ReducedTime(std::make_unique<TCKReducedTime>()), OnChange(std::move(AOnChange)),
      Root(std::make_unique<TCKProjectItem>()) {
    Root->Manager = this;
    DefaultProject = Root.get();
}

TChronarkMan::~TChronarkMan() {
    // The owner may be half torn down already: no change reports from here on.
    OnChange = nullptr;
    Root->DeleteChildren();
    Root.reset();
    ReducedTime.reset();
}

void TChronarkMan::Clear() {
    FieldDefs.clear();
    Root->Detach();
    DefaultProject = Root.get();
}

void TChronarkMan::SetSaved(bool Saved) {
    Modified = !Saved;
    if (OnChange)
        OnChange(Modified);
}

bool TChronarkMan::Contains(const TCKTimeItem *Entry) const {
    bool found = false;
    WalkTree(
        Root.get(), [](TCKProjectItem *) {},
        [&](TCKTimeItem *e) { found = found || e == Entry; });
    return found;
}

TCKTimeItemList TChronarkMan::AllEntries() const {
    TCKTimeItemList entries;
    WalkTree(
        Root.get(), [](TCKProjectItem *) {}, [&](TCKTimeItem *e) { entries.push_back(e); });
    return entries;
}

// --- Field definitions ---------------------------------------------------------------------

bool TChronarkMan::FieldDefExists(const std::string &Id) const {
    return std::any_of(FieldDefs.begin(), FieldDefs.end(),
                       [&](const tFieldDefItem &d) { return SameText(d.Id, Id); });
}

int TChronarkMan::FieldDefType(const std::string &Id) const {
    for (const tFieldDefItem &d : FieldDefs)
        if (SameText(d.Id, Id))
            return d.FieldType;
    return ftString;
}

void TChronarkMan::AddFieldDef(const std::string &Id, int FieldType) {
    FieldDefs.push_back({Id, FieldType});
}

std::string TChronarkMan::UniqueFieldId(const std::string &Base) const {
    for (int n = 1;; ++n) {
        std::string id = Base + std::to_string(n);
        if (!FieldDefExists(id))
            return id;
    }
}

bool TChronarkMan::FieldUsed(const std::string &Id) const {
    bool used = false;
    WalkTree(
        Root.get(), [](TCKProjectItem *) {},
        [&](TCKTimeItem *e) { used = used || e->FieldIndex(Id) >= 0; });
    return used;
}

bool TChronarkMan::CheckFieldValues(const std::string &Id, int FieldType) const {
    bool ok = true;
    WalkTree(
        Root.get(), [](TCKProjectItem *) {},
        [&](TCKTimeItem *e) {
            const int i = ok ? e->FieldIndex(Id) : -1;
            if (i >= 0 && !IsValidFieldValue(e->Fields[i].Value, FieldType))
                ok = false;
        });
    return ok;
}

void TChronarkMan::RenameField(const std::string &OldId, const std::string &NewId) {
    WalkTree(
        Root.get(), [](TCKProjectItem *) {},
        [&](TCKTimeItem *e) {
            const int i = e->FieldIndex(OldId);
            if (i >= 0)
                e->Fields[i].Id = NewId;
        });
}

// --- Melt ----------------------------------------------------------------------------------

bool TChronarkMan::Melt(TCKTimeItem *A, TCKTimeItem *B) {
    if (!A || !B || A == B || !Overlaps(A, B, true))
        return false;
    const TDateTime start = std::min(A->StartTime, B->StartTime);
    const TDateTime end = std::max(A->EndTime, B->EndTime);
    for (const tFieldItem &f : B->Fields) {
        const int i = A->FieldIndex(f.Id);
        if (i >= 0)
            A->Fields[i].Value += " & " + f.Value;
        else
            A->Fields.push_back(f);
    }
    if (A->Comment != B->Comment && !A->Comment.empty() && !B->Comment.empty())
        A->Comment += " & " + B->Comment;
    else if (A->Comment.empty() && !B->Comment.empty())
        A->Comment = B->Comment;
    A->LeaveSegments();
    B->Delete();
    A->StartTime = start;
    A->EndTime = end;
    if (A->Manager)
        A->Manager->ReducedTime->AddToSegments(A);
    return true;
}

void TChronarkMan::MeltAll(TCKTimeItemList Entries) {
    for (;;) {
        bool merged = false;
        for (size_t i = 0; i < Entries.size() && !merged; ++i) {
            for (size_t j = 0; j < Entries.size(); ++j) {
                if (j != i && Melt(Entries[i], Entries[j])) {
                    Entries.erase(Entries.begin() + static_cast<std::ptrdiff_t>(j));
                    merged = true;
                    break;
                }
            }
        }
        if (!merged)
            return;
    }
}

// --- Net time ------------------------------------------------------------------------------

void TChronarkMan::NetTimeHMS(const TCKProjectItem *Project, int32_t &Hours, int32_t &Minutes,
                              int32_t &Seconds) const {
    int64_t h = 0, m = 0, s = 0;
    for (const TCKReducedTimeItem *seg = ReducedTime->First; seg; seg = seg->Next) {
        if (seg->Items.empty())
            continue;
        if (Project && std::none_of(seg->Items.begin(), seg->Items.end(),
                                    [&](const TCKTimeItem *e) { return e->Parent == Project; }))
            continue;
        if (FilterActive && std::none_of(seg->Items.begin(), seg->Items.end(),
                                         [&](const TCKTimeItem *e) {
                                             return e->MatchesFilter(Filter, FilterActive);
                                         }))
            continue;
        int32_t sh, sm, ss;
        DurationHMS(seg->EndTime, seg->StartTime, sh, sm, ss);
        h += sh;
        m += sm;
        s += ss;
    }
    CarrySums(h, m, s, Hours, Minutes, Seconds);
}

std::string TChronarkMan::NetTimeText(const TCKProjectItem *Project) const {
    int32_t h, m, s;
    NetTimeHMS(Project, h, m, s);
    return std::to_string(h) + " Std, " + std::to_string(m) + " Min, " + std::to_string(s) +
           " Sek";
}

void TChronarkMan::NetTimeOfProjects(const TCKProjectList &Projects, int32_t &Hours,
                                     int32_t &Minutes, int32_t &Seconds) const {
    const std::unordered_set<const TCKProjectItem *> chosen(Projects.begin(), Projects.end());
    int64_t h = 0, m = 0, s = 0;
    for (const TCKReducedTimeItem *seg = ReducedTime->First; seg; seg = seg->Next) {
        if (std::none_of(seg->Items.begin(), seg->Items.end(),
                         [&](const TCKTimeItem *e) { return chosen.count(e->Parent) > 0; }))
            continue;
        int32_t sh, sm, ss;
        DurationHMS(seg->EndTime, seg->StartTime, sh, sm, ss);
        h += sh;
        m += sm;
        s += ss;
    }
    CarrySums(h, m, s, Hours, Minutes, Seconds);
}

// --- Views ---------------------------------------------------------------------------------

void TChronarkMan::FillProjectTree(TCKTreeView &Tree) const {
    Tree.ClearRootChildren();
    std::unordered_map<const TCKProjectItem *, TCKTreeView::Node> nodes;
    nodes[Root.get()] = TCKTreeView::RootNode;
    WalkTree(
        Root.get(),
        [&](TCKProjectItem *p) {
            nodes[p] = Tree.AddNode(nodes.at(p->Parent), p->Caption, p, imgProject,
                                    imgProjectSelected);
        },
        [](TCKTimeItem *) {});
    Tree.SortAll();
    Tree.ExpandRootOneLevel();
}

void TChronarkMan::RefreshListItem(TCKListView &View, int Index) const {
    if (Index < 0 || Index >= View.Count())
        return;
    TCKItem *item = View.RowData(Index);
    if (!item)
        return;
    if (TCKProjectItem *project = item->AsProject()) {
        View.SetRow(Index, project->Caption, {}, imgProject);
        return;
    }
    TCKTimeItem *entry = item->AsTime();
    if (!entry->MatchesFilter(Filter, FilterActive)) {
        View.DeleteRow(Index);
        return;
    }
    std::string caption;
    TStringArray subItems;
    EntryRowTexts(entry, false, caption, subItems);
    View.SetRow(Index, caption, subItems, EntryImage(entry));
}

void TChronarkMan::UpdateOverlapImages(TCKListView &View) const {
    for (int i = 0; i < View.Count(); ++i)
        if (TCKItem *item = View.RowData(i); item && item->IsTime())
            View.SetRowImage(i, EntryImage(item->AsTime()));
}

void TChronarkMan::FillAllEntries(TCKListView &View, const tFilterItem &SearchFilter) const {
    View.SetSorted(false);
    std::string caption;
    TStringArray subItems;
    WalkTree(
        Root.get(), [](TCKProjectItem *) {},
        [&](TCKTimeItem *e) {
            if (!e->MatchesFilter(SearchFilter, true))
                return;
            EntryRowTexts(e, true, caption, subItems);
            View.AddRow(caption, subItems, EntryImage(e), e);
        });
    View.SetSorted(true);
}

void TChronarkMan::RefreshSearchList(TCKListView &View, const tFilterItem &SearchFilter,
                                     bool CheckContained) const {
    View.SetSorted(false);
    // Rows may name entries deleted meanwhile: compare addresses before touching any of them.
    std::unordered_set<const TCKItem *> live;
    if (CheckContained)
        WalkTree(
            Root.get(), [](TCKProjectItem *) {}, [&](TCKTimeItem *e) { live.insert(e); });
    std::string caption;
    TStringArray subItems;
    for (int i = 0; i < View.Count();) {
        TCKItem *item = View.RowData(i);
        if (CheckContained && !live.count(item)) {
            View.DeleteRow(i);
            continue;
        }
        TCKTimeItem *entry = item ? item->AsTime() : nullptr;
        if (!entry) {
            ++i;
            continue;
        }
        const std::string path = entry->GetPath();
        if (!entry->MatchesFilter(SearchFilter, true) && !entry->MatchesSearch(SearchFilter, path)) {
            View.DeleteRow(i);
            continue;
        }
        EntryRowTexts(entry, true, caption, subItems);
        View.SetRow(i, caption, subItems, EntryImage(entry));
        ++i;
    }
    View.SetSorted(true);
}

// --- Debug check ---------------------------------------------------------------------------

bool TChronarkMan::CheckInvariants(std::string *Why) const {
    auto fail = [&](const std::string &what) {
        if (Why)
            *Why = what;
        return false;
    };
    if (Root->Parent || Root->Manager != this)
        return fail("root is linked or has another manager");
    std::unordered_set<const TCKItem *> nodes;
    std::unordered_set<const TCKTimeItem *> entries;
    std::vector<const TCKProjectItem *> pending{Root.get()};
    while (!pending.empty()) {
        const TCKProjectItem *p = pending.back();
        pending.pop_back();
        nodes.insert(p);
        if ((p->FirstChild == nullptr) != (p->LastChild == nullptr))
            return fail("child list: FirstChild/LastChild disagree");
        if (p->FirstChild && p->FirstChild->Prev)
            return fail("child list: FirstChild has a predecessor");
        if (p->LastChild && p->LastChild->Next)
            return fail("child list: LastChild has a successor");
        const TCKItem *prev = nullptr;
        for (const TCKItem *c = p->FirstChild; c; c = c->Next) {
            if (c->Prev != prev || c->Parent != p || c->Manager != this)
                return fail("child list: broken Prev, Parent or Manager link");
            if (!c->Next && c != p->LastChild)
                return fail("child list: chain does not end at LastChild");
            if (nodes.count(c))
                return fail("child list: node reachable twice");
            prev = c;
            if (const TCKTimeItem *e = const_cast<TCKItem *>(c)->AsTime()) {
                nodes.insert(e);
                entries.insert(e);
                if (!(e->StartTime < e->EndTime))
                    return fail("entry without positive length");
                if (!e->InSegments())
                    return fail("entry of the document is not in the segment list");
            } else {
                pending.push_back(static_cast<const TCKProjectItem *>(c));
            }
        }
    }
    if (LastAdded && !nodes.count(LastAdded))
        return fail("LastAdded names a node outside the document");
    if (!DefaultProject || !nodes.count(DefaultProject))
        return fail("DefaultProject names a project outside the document");
    for (const TCKReducedTimeItem *s = ReducedTime->First; s; s = s->Next)
        for (const TCKTimeItem *e : s->Items)
            if (!entries.count(e))
                return fail("segment list names an entry outside the document");
    return ReducedTime->CheckInvariants(Why);
}
