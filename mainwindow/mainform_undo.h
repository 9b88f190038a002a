#pragma once
// Undo and Redo of the main window: named after the steps they would take ("Rückgängig:
// Eintrag löschen") and enabled only when there is one, after every change of the document.

#include "model/ckevents.h"

class QAction;
class TChronarkMan;

class TUndoActions : private TCKDocumentListener {
public:
    // Redo takes Strg+Umschalt+Z besides its own key.
    TUndoActions(const TChronarkMan &ADoc, QAction &AUndo, QAction &ARedo);
    ~TUndoActions() override;
    TUndoActions(const TUndoActions &) = delete;
    TUndoActions &operator=(const TUndoActions &) = delete;

private:
    void Update();

    // Every change, its undo and its redo tell one of these; the history is up to date then.
    void EntriesAdded(const TCKEntriesEvent &) override { Update(); }
    void EntriesChanged(const TCKEntriesEvent &) override { Update(); }
    void ItemsRemoved(const TCKRemovedEvent &) override { Update(); }
    void ItemsMoved(const TCKMovedEvent &) override { Update(); }
    void ProjectAdded(TCKProjectItem *) override { Update(); }
    void ProjectRenamed(TCKProjectItem *) override { Update(); }
    void DocumentReplaced(bool) override { Update(); }
    void DefaultProjectChanged() override { Update(); }
    void FieldDefsChanged() override { Update(); }

    const TChronarkMan &Doc;
    QAction &Undo;
    QAction &Redo;
};
