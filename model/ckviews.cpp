// The rows and nodes the document manager fills into its views (ckviews.h).

#include "model/ckmanager.h"

#include "base/collate.h"
#include "base/durations.h"

#include <algorithm>
#include <unordered_map>
#include <utility>
#include <vector>

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
    return Entry->IsOverlapFree() ? imgEntryPlain : imgEntryOverlapping;
}

int CompareSearchRows(const std::string &PathA, TDateTime StartA, const std::string &PathB,
                      TDateTime StartB) {
    // std::string compares bytes as unsigned characters, shorter prefix first.
    const int c = PathA.compare(PathB);
    if (c != 0)
        return c < 0 ? -1 : 1;
    return CompareDateTime(StartA, StartB);
}

// --- Views ---------------------------------------------------------------------------------

void TChronarkMan::FillProjectTree(TCKTreeView &Tree) const {
    Tree.ClearRootChildren();
    // Each level goes over in caption order: the views show it as handed over.
    std::vector<std::pair<const TCKProjectItem *, TCKTreeView::Node>> open{
        {Root.get(), TCKTreeView::RootNode}};
    std::vector<TCKProjectItem *> level;
    while (!open.empty()) {
        const auto [parent, node] = open.back();
        open.pop_back();
        level.clear();
        for (TCKItem *c = parent->FirstChild; c; c = c->Next)
            if (c->IsProject())
                level.push_back(c->AsProject());
        std::stable_sort(level.begin(), level.end(), [](const auto *a, const auto *b) {
            return CompareCaptions(a->Caption, b->Caption) < 0;
        });
        for (TCKProjectItem *p : level)
            open.emplace_back(p, Tree.AddNode(node, p->Caption, p, imgFolder, imgFolderOpen));
    }
    Tree.ExpandRootOneLevel();
}

void TChronarkMan::RefreshListItem(TCKListView &View, int Index) const {
    if (Index < 0 || Index >= View.Count())
        return;
    TCKItem *item = View.RowData(Index);
    if (!item)
        return;
    if (TCKProjectItem *project = item->AsProject()) {
        View.SetRow(Index, project->Caption, {}, imgFolder);
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

void TChronarkMan::UpdateOverlapImages(TCKListView &View, const TCKConstTimeItems &Touched) const {
    for (const TCKTimeItem *e : Touched)
        if (const int i = View.IndexOfData(e); i >= 0)
            View.SetRowImage(i, EntryImage(e));
}

void TChronarkMan::UpdateOverlapImages(TCKListView &View, const TCKTouched &Touched) const {
    if (Touched.Known)
        UpdateOverlapImages(View, Touched.Entries);
    else
        UpdateOverlapImages(View);
}

void TChronarkMan::FillAllEntries(TCKListView &View, const tFilterItem &SearchFilter) const {
    View.SetSorted(false);
    std::string caption;
    TStringArray subItems;
    ForEachEntry(Root.get(), [&](TCKTimeItem *e) {
        if (!e->MatchesFilter(SearchFilter, true))
            return;
        EntryRowTexts(e, true, caption, subItems);
        View.AddRow(caption, subItems, EntryImage(e), e);
    });
    View.SetSorted(true);
}

namespace {

// One search result row checked again; false when it left the list.
bool RecheckSearchRow(TCKListView &View, int Index, TCKTimeItem *Entry,
                      const tFilterItem &SearchFilter) {
    const std::string path = Entry->GetPath();
    if (!Entry->MatchesFilter(SearchFilter, true) && !Entry->MatchesSearch(SearchFilter, path)) {
        View.DeleteRow(Index);
        return false;
    }
    std::string caption;
    TStringArray subItems;
    EntryRowTexts(Entry, true, caption, subItems);
    View.SetRow(Index, caption, subItems, EntryImage(Entry));
    return true;
}

} // namespace

void TChronarkMan::RefreshSearchList(TCKListView &View, const tFilterItem &SearchFilter) const {
    View.SetSorted(false);
    for (int i = 0; i < View.Count();) {
        TCKItem *item = View.RowData(i);
        TCKTimeItem *entry = item ? item->AsTime() : nullptr;
        if (!entry || RecheckSearchRow(View, i, entry, SearchFilter))
            ++i;
    }
    View.SetSorted(true);
}

void TChronarkMan::RefreshSearchRows(TCKListView &View, const tFilterItem &SearchFilter,
                                     const TCKTimeItemList &Entries) const {
    View.SetSorted(false);
    for (TCKTimeItem *entry : Entries)
        if (const int i = View.IndexOfData(entry); i >= 0)
            RecheckSearchRow(View, i, entry, SearchFilter);
    View.SetSorted(true);
}
