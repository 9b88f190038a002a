// The undo history and its steps. A step runs only on the document exactly as its command (or
// its own redo) left it, or as its undo left it, so every node it names is alive and where the
// step expects it; nodes out of the document live in the step's holder meanwhile.

#include "model/ckundo.h"

#include "base/ckassert.h"
#include "model/ckmanager.h"

#include <algorithm>
#include <unordered_set>

// What the steps need of the manager beyond its public commands.
struct TCKUndoAccess {
    static void Tell(const TChronarkMan &Man,
                     const std::function<void(TCKDocumentListener &)> &Fn) {
        Man.TellListeners(Fn);
    }
    // The document is consistent again: its modified mark follows the history.
    static void Settle(TChronarkMan &Man) { Man.SetSaved(Man.History.AtSavedPoint()); }
};

// --- History -------------------------------------------------------------------------------

void TCKUndoHistory::DropRedoSteps() {
    if (SavedAt > static_cast<std::ptrdiff_t>(Done))
        SavedAt = -1;
    while (Steps.size() > Done) {
        TotalWeight -= Steps.back()->Weight();
        Steps.pop_back();
    }
}

void TCKUndoHistory::Record(std::unique_ptr<TCKUndoStep> Step) {
    DropRedoSteps();
    TotalWeight += Step->Weight();
    Steps.push_back(std::move(Step));
    ++Done;
    while (Steps.size() > MaxSteps || (TotalWeight > MaxWeight && Steps.size() > 1)) {
        TotalWeight -= Steps.front()->Weight();
        Steps.pop_front();
        --Done;
        // Dropping the step that led away from the saved state makes it unreachable.
        SavedAt = SavedAt > 0 ? SavedAt - 1 : -1;
    }
}

TCKUndoStep *TCKUndoHistory::TakeUndo() {
    return CanUndo() ? Steps[--Done].get() : nullptr;
}

TCKUndoStep *TCKUndoHistory::TakeRedo() {
    return CanRedo() ? Steps[Done++].get() : nullptr;
}

void TCKUndoHistory::Clear(bool Saved) {
    Steps.clear();
    Done = 0;
    TotalWeight = 0;
    SavedAt = Saved ? 0 : -1;
}

namespace CKUndo {
namespace {

TCKTouched NoneTouched() {
    return {true, {}};
}

void AddSharers(const TCKTimeItem *Entry, TCKTouched &Touched) {
    if (Touched.Known && !Entry->AddTimeSharers(Touched.Entries, TChronarkMan::MaxTouched)) {
        Touched.Known = false;
        Touched.Entries.clear();
    }
}

template <typename EntryFn> void ForEntriesOf(TCKItem *Item, EntryFn OnEntry) {
    if (TCKProjectItem *project = Item->AsProject())
        ForEachEntry(project, OnEntry);
    else
        OnEntry(Item->AsTime());
}

// Item, the last child of its project, goes before Before, a child of the same project.
void PlaceBefore(TCKItem *Item, TCKItem *Before) {
    TCKProjectItem *parent = Item->Parent;
    CK_ASSERT(Before && Before != Item && Before->Parent == parent && !Item->Next, return );
    parent->LastChild = Item->Prev;
    Item->Prev->Next = nullptr; // Before precedes Item, so Item has a predecessor
    Item->Prev = Before->Prev;
    Item->Next = Before;
    if (Before->Prev)
        Before->Prev->Next = Item;
    else
        parent->FirstChild = Item;
    Before->Prev = Item;
}

// Takes each node out of the document into Holder in the order given, noting its place first.
void TakeOut(std::vector<TPlace> &Places, TCKProjectItem &Holder) {
    for (TPlace &place : Places) {
        place.Parent = place.Item->Parent;
        place.Before = place.Item->Next;
        // Holder belongs to no document: the node leaves the segment list, and the default
        // project and the last added node let go of it.
        const bool moved = place.Item->MoveTo(&Holder);
        CK_ASSERT(moved, continue);
    }
}

// Puts the nodes of Places, held in a holder, back at their places, the last taken out first.
void PutBack(const std::vector<TPlace> &Places) {
    for (auto it = Places.rbegin(); it != Places.rend(); ++it) {
        TCKItem *item = it->Item;
        TCKProjectItem *holder = item->Parent;
        (item->Prev ? item->Prev->Next : holder->FirstChild) = item->Next;
        (item->Next ? item->Next->Prev : holder->LastChild) = item->Prev;
        item->Parent = nullptr;
        item->Prev = item->Next = nullptr;
        it->Parent->Add(item); // enters its entries into the segment list
        if (it->Before)
            PlaceBefore(item, it->Before);
    }
}

class TChangeStep final : public TCKUndoStep {
public:
    explicit TChangeStep(TChange AChange) : TCKUndoStep(AChange.Name), Change(std::move(AChange)) {
        if (!Change.Holder)
            Change.Holder = std::make_unique<TCKProjectItem>();
        for (auto it = Change.Added.rbegin(); it != Change.Added.rend(); ++it)
            AddedPlaces.push_back({*it, nullptr, nullptr});
        const auto count = [this](TCKTimeItem *) { ++EntriesHeld; };
        for (TCKItem *item : Change.Added)
            ForEntriesOf(item, count);
        for (const TPlace &place : Change.Removed)
            ForEntriesOf(place.Item, count);
    }
    void Undo(TChronarkMan &Man) override { Apply(Man, false); }
    void Redo(TChronarkMan &Man) override { Apply(Man, true); }
    size_t Weight() const override {
        return EntriesHeld + Change.Changed.size() + Change.RenamedValues.size();
    }

private:
    void Apply(TChronarkMan &Man, bool Forward);

    TChange Change;
    // Added in the order an undo takes them out: the last added first.
    std::vector<TPlace> AddedPlaces;
    size_t EntriesHeld = 0;
};

void TChangeStep::Apply(TChronarkMan &Man, bool Forward) {
    std::vector<TPlace> &out = Forward ? Change.Removed : AddedPlaces;
    const std::vector<TPlace> &in = Forward ? AddedPlaces : Change.Removed;
    TCKTouched touched = NoneTouched();
    TCKRemovedEvent removed;
    for (const TPlace &place : out) {
        removed.Items.push_back(place.Item);
        removed.Nodes.insert(place.Item);
        if (TCKProjectItem *project = place.Item->AsProject())
            WalkSubtree(
                project, [&removed](TCKProjectItem *p) { removed.Nodes.insert(p); },
                [&](TCKTimeItem *e) {
                    removed.Nodes.insert(e);
                    AddSharers(e, touched);
                },
                [](TCKProjectItem *) {});
        else
            AddSharers(place.Item->AsTime(), touched);
    }
    // Entries changed in place, in the document before and after.
    std::unordered_set<const TCKItem *> comingIn;
    for (const TPlace &place : in)
        comingIn.insert(place.Item);
    TCKEntriesEvent changed;
    for (const TChange::TData &data : Change.Changed)
        if (!removed.Removes(data.Entry) && !comingIn.count(data.Entry)) {
            changed.Entries.push_back(data.Entry);
            AddSharers(data.Entry, touched);
        }

    TCKProjectItem *const defaultBefore = Man.DefaultProject;
    TakeOut(out, *Change.Holder);
    if (Forward)
        for (const TChange::TData &data : Change.Changed)
            data.Entry->SetData(data.After);
    else
        for (auto it = Change.Changed.rbegin(); it != Change.Changed.rend(); ++it)
            it->Entry->SetData(it->Before);
    PutBack(in);
    // Taking nodes out may have sent the default project back to the root already.
    if (TCKProjectItem *wanted = Forward ? Change.DefaultAfter : Change.DefaultBefore)
        Man.DefaultProject = wanted;
    const bool newDefault = Man.DefaultProject != defaultBefore;
    if (Change.FieldDefsChanged) {
        for (const TCKFieldValueRename &r : Change.RenamedValues)
            r.Entry->Fields[r.Index].Id =
                Forward ? Change.Renames[r.Pair].second : Change.Renames[r.Pair].first;
        Man.FieldDefs = Forward ? Change.DefsAfter : Change.DefsBefore;
        Man.ReindexFieldDefs();
    }
    TCKUndoAccess::Settle(Man);

    if (Forward && Change.Imported) {
        TCKUndoAccess::Tell(Man, [](TCKDocumentListener &l) { l.DocumentReplaced(true); });
        return;
    }
    TCKEntriesEvent added;
    TCKProjectList projects;
    for (auto it = in.rbegin(); it != in.rend(); ++it) {
        const auto entry = [&](TCKTimeItem *e) {
            added.Entries.push_back(e);
            AddSharers(e, touched);
        };
        if (TCKProjectItem *project = it->Item->AsProject()) {
            projects.push_back(project);
            WalkSubtree(
                project, [&projects](TCKProjectItem *p) { projects.push_back(p); }, entry,
                [](TCKProjectItem *) {});
        } else {
            entry(it->Item->AsTime());
        }
    }
    for (TCKTimeItem *e : changed.Entries)
        AddSharers(e, touched);
    std::erase_if(touched.Entries, [&removed](const TCKTimeItem *e) { return removed.Removes(e); });
    removed.Touched = touched;
    added.Touched = touched;
    changed.Touched = std::move(touched);
    if (!removed.Items.empty())
        TCKUndoAccess::Tell(Man, [&removed](TCKDocumentListener &l) { l.ItemsRemoved(removed); });
    // A project's node comes before those of its sub-projects.
    for (TCKProjectItem *project : projects)
        TCKUndoAccess::Tell(Man, [project](TCKDocumentListener &l) { l.ProjectAdded(project); });
    if (!added.Entries.empty())
        TCKUndoAccess::Tell(Man, [&added](TCKDocumentListener &l) { l.EntriesAdded(added); });
    if (!changed.Entries.empty())
        TCKUndoAccess::Tell(Man, [&changed](TCKDocumentListener &l) { l.EntriesChanged(changed); });
    if (newDefault)
        TCKUndoAccess::Tell(Man, [](TCKDocumentListener &l) { l.DefaultProjectChanged(); });
    if (Change.FieldDefsChanged)
        TCKUndoAccess::Tell(Man, [](TCKDocumentListener &l) { l.FieldDefsChanged(); });
}

class TMoveStep final : public TCKUndoStep {
public:
    TMoveStep(std::vector<TPlace> AMoved, TCKProjectItem *ATarget)
        : TCKUndoStep("Verschieben"), Moved(std::move(AMoved)), Target(ATarget) {}

    void Undo(TChronarkMan &Man) override {
        for (auto it = Moved.rbegin(); it != Moved.rend(); ++it) {
            const bool moved = it->Item->MoveTo(it->Parent);
            CK_ASSERT(moved, continue);
            if (it->Before)
                PlaceBefore(it->Item, it->Before);
        }
        TCKUndoAccess::Settle(Man);
        // One event per project the items went back to, in the order they were moved.
        std::vector<TCKMovedEvent> events;
        for (const TPlace &place : Moved) {
            auto found = std::find_if(events.begin(), events.end(), [&](const TCKMovedEvent &e) {
                return e.Target == place.Parent;
            });
            if (found == events.end())
                found = events.insert(events.end(), TCKMovedEvent{{}, place.Parent});
            found->Items.push_back(place.Item);
        }
        for (const TCKMovedEvent &event : events)
            TCKUndoAccess::Tell(Man, [&event](TCKDocumentListener &l) { l.ItemsMoved(event); });
    }
    void Redo(TChronarkMan &Man) override {
        TCKMovedEvent event{{}, Target};
        for (TPlace &place : Moved) {
            place.Parent = place.Item->Parent;
            place.Before = place.Item->Next;
            const bool moved = place.Item->MoveTo(Target);
            CK_ASSERT(moved, continue);
            event.Items.push_back(place.Item);
        }
        TCKUndoAccess::Settle(Man);
        TCKUndoAccess::Tell(Man, [&event](TCKDocumentListener &l) { l.ItemsMoved(event); });
    }
    size_t Weight() const override { return 0; }

private:
    std::vector<TPlace> Moved;
    TCKProjectItem *Target;
};

class TRenameStep final : public TCKUndoStep {
public:
    TRenameStep(TCKProjectItem *AProject, std::string ABefore, std::string AAfter)
        : TCKUndoStep("Projekt umbenennen"), Project(AProject), Before(std::move(ABefore)),
          After(std::move(AAfter)) {}

    void Undo(TChronarkMan &Man) override { Show(Man, Before); }
    void Redo(TChronarkMan &Man) override { Show(Man, After); }
    size_t Weight() const override { return 0; }

private:
    void Show(TChronarkMan &Man, const std::string &Caption) {
        Project->Caption = Caption;
        TCKUndoAccess::Settle(Man);
        TCKProjectItem *project = Project;
        TCKUndoAccess::Tell(Man, [project](TCKDocumentListener &l) { l.ProjectRenamed(project); });
    }

    TCKProjectItem *Project;
    std::string Before, After;
};

} // namespace

std::unique_ptr<TCKUndoStep> ChangeStep(TChange Change) {
    return std::make_unique<TChangeStep>(std::move(Change));
}

std::unique_ptr<TCKUndoStep> MoveStep(std::vector<TPlace> Moved, TCKProjectItem *Target) {
    return std::make_unique<TMoveStep>(std::move(Moved), Target);
}

std::unique_ptr<TCKUndoStep> RenameStep(TCKProjectItem *Project, std::string Before,
                                        std::string After) {
    return std::make_unique<TRenameStep>(Project, std::move(Before), std::move(After));
}

} // namespace CKUndo
