#pragma once
// The main window's tree and entry list following the document: the shown project's rows,
// the project nodes, and every event of the document's commands, each shown as a row, a node
// or a refill. The selection's commands, the cut list and the tree menu's node follow too.

#include "model/ckm.h"

#include <QObject>

#include <functional>

class TEntryCommands;
class TEntryList;
class TProjectCommands;
class TProjectTree;

class TDocumentViews : public QObject, private TCKDocumentListener {
    Q_OBJECT
public:
    // Everything passed must outlive this object. It listens to the document from here on.
    TDocumentViews(TChronarkMan &ADocument, TProjectTree &ATree, TEntryList &AList,
                   TEntryCommands &AEntries, TProjectCommands &AProjects);
    ~TDocumentViews() override;

    // The project the list shows; the tree's current node chooses it once Follow has run.
    TCKProjectItem *ShownProject() const { return Shown; }
    void SetShownProject(TCKProjectItem *Project) { Shown = Project; }
    // From now on a click in the tree shows its project.
    void FollowTree();

    // The shown project's rows afresh.
    void FillEntryList();
    // The row at Index shows its item anew and moves to its place, or leaves when filtered out.
    void RefreshRow(int Index);
    // Entry's row (when shown) and the sums show what the document holds.
    void ShowEntryAgain(const TCKTimeItem *Entry);
    // List and tree afresh after the document changed as a whole; ToRoot shows the root.
    void RebuildViews(bool ToRoot);

signals:
    // The rows changed: the totals and the caption follow.
    void ListChanged();

private:
    // After the rows changed: the marks of Touched (null: of every row), the commands that
    // follow the selection, then ListChanged.
    void FinishListChange(const TCKTouched *Touched);
    void TreeChanged();
    void EntriesAdded(const TCKEntriesEvent &Event) override;
    void EntriesChanged(const TCKEntriesEvent &Event) override;
    void ItemsRemoved(const TCKRemovedEvent &Event) override;
    void ItemsMoved(const TCKMovedEvent &Event) override;
    void ProjectAdded(TCKProjectItem *Project) override;
    void ProjectRenamed(TCKProjectItem *Project) override;
    void DocumentReplaced(bool Imported) override;
    void DefaultProjectChanged() override;
    // The tree nodes of removed projects go; the shown project falls back to the root when it
    // was among them (answers whether it was).
    bool DropRemovedNodes(const TCKRemovedEvent &Event);

    TChronarkMan &Doc;
    TProjectTree &Tree;
    TEntryList &List;
    TEntryCommands &Entries;
    TProjectCommands &Projects;
    TCKProjectItem *Shown = nullptr;
    bool InTreeChange = false;
};
