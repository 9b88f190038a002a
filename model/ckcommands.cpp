// The document manager's commands: every change the windows make, each told once to the
// listeners when the document is consistent again (ckevents.h).

#include "model/ckmanager.h"

#include <algorithm>
#include <unordered_set>

namespace {

// Nothing touched yet, and every entry touched from now on named.
TCKTouched NoneTouched() {
    return {true, {}};
}

} // namespace

// --- Listeners -----------------------------------------------------------------------------

void TChronarkMan::Subscribe(TCKDocumentListener &Listener) const {
    if (std::find(Listeners.begin(), Listeners.end(), &Listener) == Listeners.end())
        Listeners.push_back(&Listener);
}

void TChronarkMan::Unsubscribe(TCKDocumentListener &Listener) const {
    const auto found = std::find(Listeners.begin(), Listeners.end(), &Listener);
    if (found == Listeners.end())
        return;
    // While listeners are told, the others keep their places.
    if (Telling > 0)
        *found = nullptr;
    else
        Listeners.erase(found);
}

template <typename TellFn> void TChronarkMan::TellListeners(TellFn Tell) const {
    struct TDepth {
        const TChronarkMan &Man;
        explicit TDepth(const TChronarkMan &AMan) : Man(AMan) { ++Man.Telling; }
        ~TDepth() {
            if (--Man.Telling == 0)
                std::erase(Man.Listeners, nullptr);
        }
    } depth(*this);
    // One subscribed meanwhile hears the next event, not this one.
    const size_t count = Listeners.size();
    for (size_t i = 0; i < count; ++i)
        if (TCKDocumentListener *listener = Listeners[i])
            Tell(*listener);
}

void TChronarkMan::TellDocumentReplaced(bool Imported) const {
    TellListeners([Imported](TCKDocumentListener &l) { l.DocumentReplaced(Imported); });
}

bool TChronarkMan::Holds(const TCKItem *Item) const {
    return Item && Item->Manager == this && Item->IsInSubtreeOf(Root.get());
}

void TChronarkMan::AddSharers(const TCKTimeItem *Entry, TCKTouched &Touched) const {
    if (Touched.Known && !Entry->AddTimeSharers(Touched.Entries, MaxTouched)) {
        Touched.Known = false;
        Touched.Entries.clear();
    }
}

// --- Entries -------------------------------------------------------------------------------

TCKTimeItem *TChronarkMan::AddEntry(TCKProjectItem *Project, const tCKEditItem &Data) {
    if (!Holds(Project))
        return nullptr;
    TCKTimeItem *entry = Project->AddTime(Data);
    if (!entry)
        return nullptr;
    TCKEntriesEvent event{{entry}, NoneTouched()};
    AddSharers(entry, event.Touched);
    TellListeners([&event](TCKDocumentListener &l) { l.EntriesAdded(event); });
    return entry;
}

TCKTimeItem *TChronarkMan::RecordInterval(TDateTime Start, TDateTime End) {
    tCKEditItem data;
    data.StartTime = Start;
    data.EndTime = End;
    return AddEntry(DefaultProject, data);
}

bool TChronarkMan::SetEntryData(TCKTimeItem *Entry, const tCKEditItem &Data) {
    if (!Holds(Entry) || !Entry->IsTime())
        return false;
    // Compared as the entry would store it.
    tCKEditItem wanted = Data;
    wanted.StartTime = RecodeMilliSecond(Data.StartTime, 0);
    wanted.EndTime = RecodeMilliSecond(Data.EndTime, 0);
    EnsurePositiveLength(wanted.StartTime, wanted.EndTime);
    if (wanted == Entry->GetData())
        return false;
    // Only the entries sharing time with the old or the new span can change their marks.
    TCKEntriesEvent event{{Entry}, NoneTouched()};
    AddSharers(Entry, event.Touched);
    Entry->SetData(wanted);
    AddSharers(Entry, event.Touched);
    TellListeners([&event](TCKDocumentListener &l) { l.EntriesChanged(event); });
    return true;
}

bool TChronarkMan::SplitEntry(TCKTimeItem *Entry, TDateTime At) {
    if (!Holds(Entry) || !Entry->IsTime())
        return false;
    // Both parts lie within the old span: only its sharers can change their marks.
    TCKTouched touched = NoneTouched();
    AddSharers(Entry, touched);
    if (!Entry->SplitAt(At))
        return false;
    // The second part went to the end of the same project.
    TCKTimeItem *second = Entry->Parent->LastChild->AsTime();
    const TCKEntriesEvent changed{{Entry}, touched};
    const TCKEntriesEvent added{{second}, touched};
    TellListeners([&changed](TCKDocumentListener &l) { l.EntriesChanged(changed); });
    TellListeners([&added](TCKDocumentListener &l) { l.EntriesAdded(added); });
    return true;
}

bool TChronarkMan::MeltEntries(const TCKList &Items) {
    TCKTimeItemList entries;
    std::unordered_set<const TCKItem *> seen;
    for (TCKItem *item : StillContained(Items))
        if (TCKTimeItem *entry = item->AsTime(); entry && seen.insert(entry).second)
            entries.push_back(entry);
    if (entries.size() < 2)
        return false;
    TCKTouched touched = NoneTouched();
    for (const TCKTimeItem *entry : entries)
        AddSharers(entry, touched);
    // Absorbed entries wait here until the views have let go of them.
    TCKProjectItem absorbed;
    TMeltRecord record{&absorbed, {}};
    MeltInto(std::move(entries), &record);
    if (!absorbed.FirstChild)
        return false;
    TCKRemovedEvent removed;
    for (TCKItem *item = absorbed.FirstChild; item; item = item->Next) {
        removed.Items.push_back(item);
        removed.Nodes.insert(item);
    }
    TCKEntriesEvent changed;
    seen.clear();
    for (TCKTimeItem *entry : record.Grown)
        if (!removed.Removes(entry) && seen.insert(entry).second) {
            changed.Entries.push_back(entry);
            AddSharers(entry, touched);
        }
    std::erase_if(touched.Entries, [&removed](const TCKTimeItem *e) { return removed.Removes(e); });
    removed.Touched = touched;
    changed.Touched = std::move(touched);
    TellListeners([&removed](TCKDocumentListener &l) { l.ItemsRemoved(removed); });
    TellListeners([&changed](TCKDocumentListener &l) { l.EntriesChanged(changed); });
    return true;
}

// --- Items and projects --------------------------------------------------------------------

bool TChronarkMan::DeleteItems(const TCKList &Items) {
    TCKRemovedEvent event;
    {
        std::unordered_set<const TCKItem *> chosen;
        for (TCKItem *item : StillContained(Items))
            if (chosen.insert(item).second)
                event.Items.push_back(item);
        std::erase_if(event.Items, [&chosen](const TCKItem *item) {
            for (const TCKItem *up = item->Parent; up; up = up->Parent)
                if (chosen.count(up))
                    return true;
            return false;
        });
    }
    if (event.Items.empty())
        return false;
    TCKTouched touched = NoneTouched();
    const auto going = [&](TCKTimeItem *e) {
        event.Nodes.insert(e);
        AddSharers(e, touched);
    };
    for (TCKItem *item : event.Items) {
        event.Nodes.insert(item);
        if (TCKProjectItem *project = item->AsProject())
            WalkSubtree(
                project, [&event](TCKProjectItem *p) { event.Nodes.insert(p); }, going,
                [](TCKProjectItem *) {});
        else
            going(item->AsTime());
    }
    std::erase_if(touched.Entries, [&event](const TCKTimeItem *e) { return event.Removes(e); });
    event.Touched = std::move(touched);
    // Out of the document (its segment list, default project and last added item let go of
    // them as for a move to another document) but not yet freed: the listeners may still
    // compare them while they are told.
    TCKProjectItem *const oldDefault = DefaultProject;
    TCKProjectItem gone;
    for (auto it = event.Items.rbegin(); it != event.Items.rend(); ++it)
        (*it)->MoveTo(&gone);
    TellListeners([&event](TCKDocumentListener &l) { l.ItemsRemoved(event); });
    if (DefaultProject != oldDefault)
        TellListeners([](TCKDocumentListener &l) { l.DefaultProjectChanged(); });
    return true;
}

bool TChronarkMan::MoveItems(const TCKList &Items, TCKProjectItem *Target) {
    if (!Holds(Target))
        return false;
    TCKMovedEvent event;
    event.Target = Target;
    std::unordered_set<const TCKItem *> seen;
    for (TCKItem *item : StillContained(Items))
        if (seen.insert(item).second && item->MoveTo(Target))
            event.Items.push_back(item);
    if (event.Items.empty())
        return false;
    TellListeners([&event](TCKDocumentListener &l) { l.ItemsMoved(event); });
    return true;
}

TCKProjectItem *TChronarkMan::NewProject(TCKProjectItem *Parent, const std::string &Caption) {
    if (!Holds(Parent))
        return nullptr;
    if (Parent->Depth() >= MaxProjectDepth) {
        DeliverMessage(OnMessage, TMessageKind::Error,
                       "Das Projekt kann nicht angelegt werden: " + DepthLimitText());
        return nullptr;
    }
    TCKProjectItem *project = Parent->AddProject(Caption);
    TellListeners([project](TCKDocumentListener &l) { l.ProjectAdded(project); });
    return project;
}

bool TChronarkMan::RenameProject(TCKProjectItem *Project, const std::string &Caption) {
    if (!Holds(Project) || Project == Root.get() || Project->Caption == Caption)
        return false;
    Project->Caption = Caption;
    SetSaved(false);
    TellListeners([Project](TCKDocumentListener &l) { l.ProjectRenamed(Project); });
    return true;
}

bool TChronarkMan::SetDefaultProject(TCKProjectItem *Project) {
    if (!Holds(Project) || Project == DefaultProject)
        return false;
    DefaultProject = Project;
    SetSaved(false);
    TellListeners([](TCKDocumentListener &l) { l.DefaultProjectChanged(); });
    return true;
}

// --- Document ------------------------------------------------------------------------------

bool TChronarkMan::SetFieldDefs(const tFieldDefList &Defs,
                                const std::vector<std::pair<std::string, std::string>> &Renames) {
    if (FieldDefs == Defs && Renames.empty())
        return false;
    FieldDefs = Defs;
    ReindexFieldDefs();
    if (!Renames.empty())
        RenameFieldsAtOnce(*this, Renames);
    SetSaved(false);
    TellListeners([](TCKDocumentListener &l) { l.FieldDefsChanged(); });
    return true;
}

void TChronarkMan::NewDocument() {
    Clear();
    SetSaved(true);
    TellDocumentReplaced(false);
}

bool TChronarkMan::SetFilter(const tFilterItem &Criteria, bool Active, TFilterBound Changed) {
    Filter = Criteria;
    FilterActive = Active;
    if (Changed == TFilterBound::None || !Filter.UseFromDate || !Filter.UseToDate ||
        CompareDateTime(Filter.FromDate, Filter.ToDate) < 0)
        return false;
    if (Changed == TFilterBound::From)
        Filter.FromDate = AddSeconds(Filter.ToDate, -1);
    else
        Filter.ToDate = AddSeconds(Filter.FromDate, 1);
    return true;
}

void RenameFieldsAtOnce(TChronarkMan &Doc,
                        const std::vector<std::pair<std::string, std::string>> &Renames) {
    std::vector<int> Hits(Renames.size());
    for (TCKTimeItem *Entry : Doc.AllEntries()) {
        tFieldList &Fields = Entry->Fields;
        // Find every pair's value first, then rename: an id given by one pair must not be
        // found by the next. A value another pair already claimed is passed over.
        for (size_t r = 0; r < Renames.size(); ++r) {
            Hits[r] = -1;
            for (int i = 0; i < static_cast<int>(Fields.size()); ++i) {
                if (Fields[i].Id != Renames[r].first)
                    continue;
                bool Claimed = false;
                for (size_t k = 0; k < r && !Claimed; ++k)
                    Claimed = Hits[k] == i;
                if (!Claimed) {
                    Hits[r] = i;
                    break;
                }
            }
        }
        for (size_t r = 0; r < Renames.size(); ++r)
            if (Hits[r] >= 0)
                Fields[Hits[r]].Id = Renames[r].second;
    }
}
