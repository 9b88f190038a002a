#pragma once
// The document's undo history: every command that changes the document leaves a step that can
// take the change back and bring it again. A step keeps what the change touched, never a copy
// of the document: nodes it took out stay alive in the step (so later steps that name them stay
// valid), entries it changed keep their data before and after.

#include "model/cktypes.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// A field value whose id a change of the field definitions replaced: Fields[Index] of Entry
// carried the first id of pair Pair and carries its second since.
struct TCKFieldValueRename {
    TCKTimeItem *Entry = nullptr;
    uint32_t Index = 0;
    uint32_t Pair = 0;
};

class TCKUndoStep {
public:
    explicit TCKUndoStep(std::string AName) : StepName(std::move(AName)) {}
    virtual ~TCKUndoStep() = default;
    TCKUndoStep(const TCKUndoStep &) = delete;
    TCKUndoStep &operator=(const TCKUndoStep &) = delete;

    // Each runs on the document exactly as the other one left it and tells the listeners.
    virtual void Undo(TChronarkMan &Man) = 0;
    virtual void Redo(TChronarkMan &Man) = 0;
    // The entries the step holds (detached) or keeps data of: what it costs in memory.
    virtual size_t Weight() const = 0;
    // For the menu: "Eintrag löschen", "Zeit aufteilen", ...
    const std::string &Name() const { return StepName; }

private:
    std::string StepName;
};

class TCKUndoHistory {
public:
    // The oldest steps go beyond this many, and while the steps together hold more than
    // MaxWeight entries (the newest step always stays).
    static constexpr size_t MaxSteps = 1000;
    static constexpr size_t MaxWeight = 2'000'000;

    TCKUndoHistory() = default;
    TCKUndoHistory(const TCKUndoHistory &) = delete;
    TCKUndoHistory &operator=(const TCKUndoHistory &) = delete;

    bool CanUndo() const { return Done > 0; }
    bool CanRedo() const { return Done < Steps.size(); }
    // Empty when there is nothing to undo or redo.
    std::string UndoName() const { return CanUndo() ? Steps[Done - 1]->Name() : std::string(); }
    std::string RedoName() const { return CanRedo() ? Steps[Done]->Name() : std::string(); }
    size_t UndoCount() const { return Done; }
    size_t RedoCount() const { return Steps.size() - Done; }
    size_t Weight() const { return TotalWeight; }

    // A command has just changed the document: the steps undone before are freed.
    void Record(std::unique_ptr<TCKUndoStep> Step);
    // The step to undo or redo next, the history moved past it; null when there is none.
    TCKUndoStep *TakeUndo();
    TCKUndoStep *TakeRedo();

    // The document as it is now is the one on disk.
    void MarkSaved() { SavedAt = static_cast<std::ptrdiff_t>(Done); }
    bool AtSavedPoint() const { return SavedAt == static_cast<std::ptrdiff_t>(Done); }
    // Forgets every step; Saved tells whether the document as it is now is the one on disk.
    void Clear(bool Saved);

private:
    void DropRedoSteps();

    std::deque<std::unique_ptr<TCKUndoStep>> Steps;
    // Steps[0, Done) are done and can be undone, the rest undone and can be redone.
    size_t Done = 0;
    // The number of steps done when the document was saved; -1 when no undo or redo can reach
    // that state any more.
    std::ptrdiff_t SavedAt = 0;
    size_t TotalWeight = 0;
};

// The steps the commands record (ckundo.cpp).
namespace CKUndo {

// Where a node lies in its project: before Before, or last when Before is null.
struct TPlace {
    TCKItem *Item = nullptr;
    TCKProjectItem *Parent = nullptr;
    TCKItem *Before = nullptr;
};

// What a change of the document's structure, entries and settings did, for a step that can
// take it back: nodes added (in the order added), nodes taken out (in that order, each with
// its place just before), entries whose data changed, the default project and the field
// definitions.
struct TChange {
    std::string Name;
    TCKList Added;
    std::vector<TPlace> Removed;
    // The project that holds the removed nodes from now on; the step takes it over.
    std::unique_ptr<TCKProjectItem> Holder;
    struct TData {
        TCKTimeItem *Entry;
        tCKEditItem Before, After;
    };
    std::vector<TData> Changed;
    TCKProjectItem *DefaultBefore = nullptr, *DefaultAfter = nullptr;
    bool FieldDefsChanged = false;
    tFieldDefList DefsBefore, DefsAfter;
    std::vector<std::pair<std::string, std::string>> Renames;
    std::vector<TCKFieldValueRename> RenamedValues;
    // Brought again as a file import tells it.
    bool Imported = false;
};

std::unique_ptr<TCKUndoStep> ChangeStep(TChange Change);
// Items moved (each from its place just before its move) to Target, in the order moved.
std::unique_ptr<TCKUndoStep> MoveStep(std::vector<TPlace> Moved, TCKProjectItem *Target);
std::unique_ptr<TCKUndoStep> RenameStep(TCKProjectItem *Project, std::string Before,
                                        std::string After);

} // namespace CKUndo
