// The document manager's commands: every change the windows make, each told once to the
// listeners when the document is consistent again (ckevents.h).

#include "model/ckmanager.h"

#include <algorithm>
#include <unordered_map>
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

void TChronarkMan::TellListeners(const std::function<void(TCKDocumentListener &)> &Tell) const {
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
    return AddEntryAs(Project, Data, "Neue Zeit");
}

TCKTimeItem *TChronarkMan::AddEntryAs(TCKProjectItem *Project, const tCKEditItem &Data,
                                      const char *StepName) {
    if (!Holds(Project))
        return nullptr;
    TCKTimeItem *entry = Project->AddTime(Data);
    if (!entry)
        return nullptr;
    CKUndo::TChange change;
    change.Name = StepName;
    change.Added = {entry};
    History.Record(CKUndo::ChangeStep(std::move(change)));
    TCKEntriesEvent event{{entry}, NoneTouched()};
    AddSharers(entry, event.Touched);
    TellListeners([&event](TCKDocumentListener &l) { l.EntriesAdded(event); });
    return entry;
}

TCKTimeItem *TChronarkMan::RecordInterval(TDateTime Start, TDateTime End) {
    tCKEditItem data;
    data.StartTime = Start;
    data.EndTime = End;
    return AddEntryAs(DefaultProject, data, "Messung");
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
    CKUndo::TChange change;
    change.Name = "Zeit bearbeiten";
    change.Changed.push_back({Entry, Entry->GetData(), {}});
    Entry->SetData(wanted);
    change.Changed.back().After = Entry->GetData();
    History.Record(CKUndo::ChangeStep(std::move(change)));
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
    CKUndo::TChange change;
    change.Name = "Zeit aufteilen";
    change.Changed.push_back({Entry, Entry->GetData(), {}});
    if (!Entry->SplitAt(At))
        return false;
    // The second part went to the end of the same project.
    TCKTimeItem *second = Entry->Parent->LastChild->AsTime();
    change.Changed.back().After = Entry->GetData();
    change.Added = {second};
    History.Record(CKUndo::ChangeStep(std::move(change)));
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
    std::vector<CKUndo::TChange::TData> before;
    std::unordered_map<const TCKItem *, CKUndo::TPlace> placeBefore;
    for (TCKTimeItem *entry : entries) {
        AddSharers(entry, touched);
        before.push_back({entry, entry->GetData(), {}});
        placeBefore.emplace(entry, CKUndo::TPlace{entry, entry->Parent, entry->Next});
    }
    // Absorbed entries wait in the undo step; the views may still compare them while told.
    CKUndo::TChange change;
    change.Name = "Zeiten verschmelzen";
    change.Holder = std::make_unique<TCKProjectItem>();
    TCKProjectItem &absorbed = *change.Holder;
    TMeltRecord record{&absorbed, {}};
    MeltInto(std::move(entries), &record);
    if (!absorbed.FirstChild)
        return false;
    TCKRemovedEvent removed;
    std::unordered_map<const TCKItem *, size_t> absorbedAt;
    for (TCKItem *item = absorbed.FirstChild; item; item = item->Next) {
        absorbedAt.emplace(item, removed.Items.size());
        removed.Items.push_back(item);
        removed.Nodes.insert(item);
    }
    // Where each absorbed entry lay when it went: before the first node after it that had not
    // gone before it. The entries that stay never move.
    for (size_t k = 0; k < removed.Items.size(); ++k) {
        CKUndo::TPlace place = placeBefore.at(removed.Items[k]);
        for (auto gone = absorbedAt.find(place.Before);
             gone != absorbedAt.end() && gone->second < k; gone = absorbedAt.find(place.Before))
            place.Before = placeBefore.at(place.Before).Before;
        change.Removed.push_back(place);
    }
    for (CKUndo::TChange::TData &data : before) {
        data.After = data.Entry->GetData();
        if (!(data.After == data.Before))
            change.Changed.push_back(std::move(data));
    }
    History.Record(CKUndo::ChangeStep(std::move(change)));
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
    // them as for a move to another document) into the undo step, which can put them back.
    TCKProjectItem *const oldDefault = DefaultProject;
    CKUndo::TChange change;
    const bool projects = std::any_of(event.Items.begin(), event.Items.end(),
                                      [](const TCKItem *item) { return item->IsProject(); });
    const bool entries = std::any_of(event.Items.begin(), event.Items.end(),
                                     [](const TCKItem *item) { return item->IsTime(); });
    change.Name = !projects ? "Eintrag l\xF6schen" : !entries ? "Projekt l\xF6schen" : "L\xF6schen";
    change.Holder = std::make_unique<TCKProjectItem>();
    change.DefaultBefore = oldDefault;
    for (auto it = event.Items.rbegin(); it != event.Items.rend(); ++it) {
        change.Removed.push_back({*it, (*it)->Parent, (*it)->Next});
        (*it)->MoveTo(change.Holder.get());
    }
    change.DefaultAfter = DefaultProject;
    History.Record(CKUndo::ChangeStep(std::move(change)));
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
    std::vector<CKUndo::TPlace> moved;
    for (TCKItem *item : StillContained(Items)) {
        const CKUndo::TPlace place{item, item->Parent, item->Next};
        if (seen.insert(item).second && item->MoveTo(Target)) {
            event.Items.push_back(item);
            moved.push_back(place);
        }
    }
    if (event.Items.empty())
        return false;
    History.Record(CKUndo::MoveStep(std::move(moved), Target));
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
    CKUndo::TChange change;
    change.Name = "Projekt anlegen";
    change.Added = {project};
    History.Record(CKUndo::ChangeStep(std::move(change)));
    TellListeners([project](TCKDocumentListener &l) { l.ProjectAdded(project); });
    return project;
}

bool TChronarkMan::RenameProject(TCKProjectItem *Project, const std::string &Caption) {
    if (!Holds(Project) || Project == Root.get() || Project->Caption == Caption)
        return false;
    History.Record(CKUndo::RenameStep(Project, Project->Caption, Caption));
    Project->Caption = Caption;
    SetSaved(false);
    TellListeners([Project](TCKDocumentListener &l) { l.ProjectRenamed(Project); });
    return true;
}

bool TChronarkMan::SetDefaultProject(TCKProjectItem *Project) {
    if (!Holds(Project) || Project == DefaultProject)
        return false;
    CKUndo::TChange change;
    change.Name = "Standardprojekt";
    change.DefaultBefore = DefaultProject;
    change.DefaultAfter = Project;
    History.Record(CKUndo::ChangeStep(std::move(change)));
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
    CKUndo::TChange change;
    change.Name = "Dokumenteinstellungen";
    change.FieldDefsChanged = true;
    change.DefsBefore = FieldDefs;
    change.DefsAfter = Defs;
    change.Renames = Renames;
    FieldDefs = Defs;
    ReindexFieldDefs();
    if (!Renames.empty())
        RenameFieldsAtOnce(*this, Renames, &change.RenamedValues);
    History.Record(CKUndo::ChangeStep(std::move(change)));
    SetSaved(false);
    TellListeners([](TCKDocumentListener &l) { l.FieldDefsChanged(); });
    return true;
}

void TChronarkMan::NewDocument() {
    Clear();
    History.Clear(true);
    SetSaved(true);
    TellDocumentReplaced(false);
}

void TChronarkMan::RecordLoad(bool Import, const TCKItem *LastBefore, tFieldDefList DefsBefore) {
    if (!Import) {
        History.Clear(!Modified);
        return;
    }
    CKUndo::TChange change;
    change.Name = "Importieren";
    change.Imported = true;
    // Compared by address only: the import adds its project after the root's last child.
    if (Root->LastChild && Root->LastChild != LastBefore)
        change.Added = {Root->LastChild};
    change.FieldDefsChanged = FieldDefs != DefsBefore;
    if (change.Added.empty() && !change.FieldDefsChanged)
        return;
    change.DefsBefore = std::move(DefsBefore);
    change.DefsAfter = FieldDefs;
    History.Record(CKUndo::ChangeStep(std::move(change)));
}

// --- Undo ----------------------------------------------------------------------------------

bool TChronarkMan::Undo() {
    if (Telling > 0)
        return false;
    TCKUndoStep *step = History.TakeUndo();
    if (step)
        step->Undo(*this);
    return step != nullptr;
}

bool TChronarkMan::Redo() {
    if (Telling > 0)
        return false;
    TCKUndoStep *step = History.TakeRedo();
    if (step)
        step->Redo(*this);
    return step != nullptr;
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
                        const std::vector<std::pair<std::string, std::string>> &Renames,
                        std::vector<TCKFieldValueRename> *Done) {
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
            if (Hits[r] >= 0) {
                Fields[Hits[r]].Id = Renames[r].second;
                if (Done)
                    Done->push_back({Entry, uint32_t(Hits[r]), uint32_t(r)});
            }
    }
}
