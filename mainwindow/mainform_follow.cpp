// The views follow the document: every event of its commands reaches the tree, the entry list,
// the cut list and the status bar here, and each decides how the change shows (a row, a node,
// a refill).

#include "dialogs/entrylist.h"
#include "mainwindow/mainform.h"
#include "dialogs/projecttree.h"
#include "app/qtext.h"

#include <QAction>
#include <QSignalBlocker>

#include <algorithm>
#include <unordered_set>

namespace {

// Past this many, one refill of a view costs less than finding the rows or nodes one by one.
constexpr size_t MaxSingleUpdates = TChronarkMan::MaxTouched;

// A change that touched no overlap marks.
const TCKTouched NoneTouched{true, {}};

} // namespace

void TMainForm::EntriesAdded(const TCKEntriesEvent &Event) {
    if (!CurrentProject)
        return;
    CurrentProject->AddRows(*ListView1, TCKList(Event.Entries.begin(), Event.Entries.end()));
    FinishListChange(&Event.Touched);
}

void TMainForm::EntriesChanged(const TCKEntriesEvent &Event) {
    if (!CurrentProject)
        return;
    if (Event.Entries.size() > MaxSingleUpdates) {
        FillEntryList();
        return;
    }
    // An entry of the shown project the filter kept out may pass it now.
    TCKList Appearing;
    for (TCKTimeItem *Entry : Event.Entries) {
        if (const int Index = ListView1->IndexOfData(Entry); Index >= 0)
            RefreshRow(Index);
        else if (Entry->Parent == CurrentProject)
            Appearing.push_back(Entry);
    }
    if (!Appearing.empty())
        CurrentProject->AddRows(*ListView1, Appearing);
    FinishListChange(&Event.Touched);
}

void TMainForm::ItemsRemoved(const TCKRemovedEvent &Event) {
    std::erase_if(CutList, [&Event](const TCKItem *Item) { return Event.Removes(Item); });
    if (CutList.empty())
        Action("acPaste")->setEnabled(false);
    if (DropRemovedNodes(Event)) {
        FillEntryList();
        return;
    }
    ListView1->DeleteRowsOf(Event.Nodes);
    FinishListChange(&Event.Touched);
}

bool TMainForm::DropRemovedNodes(const TCKRemovedEvent &Event) {
    const bool ShownGone = Event.Removes(CurrentProject);
    if (std::none_of(Event.Items.begin(), Event.Items.end(),
                     [](const TCKItem *Item) { return Item->IsProject(); }))
        return ShownGone;
    // The topmost nodes of removed projects, in one walk over the tree.
    std::unordered_set<const QTreeWidgetItem *> Gone;
    std::vector<QTreeWidgetItem *> Pending{TreeView1->TopNode()};
    while (!Pending.empty()) {
        QTreeWidgetItem *Node = Pending.back();
        Pending.pop_back();
        for (int i = 0; i < Node->childCount(); ++i) {
            QTreeWidgetItem *Child = Node->child(i);
            if (Event.Removes(TProjectTree::ProjectOf(Child)))
                Gone.insert(Child);
            else
                Pending.push_back(Child);
        }
    }
    const auto Within = [&Gone](const QTreeWidgetItem *Node) {
        for (; Node; Node = Node->parent())
            if (Gone.count(Node))
                return true;
        return false;
    };
    const QSignalBlocker Quiet(TreeView1);
    const bool ToRoot = ShownGone || Within(TreeView1->currentItem());
    if (ToRoot) {
        TreeView1->setCurrentItem(TreeView1->TopNode());
        CurrentProject = Document->Root.get();
    }
    if (Gone.size() > MaxSingleUpdates) {
        ProjectNode = nullptr;
        Document->FillProjectTree(*TreeView1);
        QTreeWidgetItem *Shown = FindProjectNode(CurrentProject);
        TreeView1->setCurrentItem(Shown ? Shown : TreeView1->TopNode());
        ShowDefaultProject();
        return ToRoot;
    }
    if (Within(ProjectNode))
        ProjectNode = nullptr;
    for (const QTreeWidgetItem *Node : Gone)
        TreeView1->DeleteNode(const_cast<QTreeWidgetItem *>(Node));
    return ToRoot;
}

void TMainForm::ItemsMoved(const TCKMovedEvent &Event) {
    QTreeWidgetItem *TargetNode = FindProjectNode(Event.Target);
    bool ListChanged = Event.Target == CurrentProject;
    {
        // Taking a node out selects a neighbour for a moment: the shown project stays selected.
        const QSignalBlocker Quiet(TreeView1);
        QTreeWidgetItem *Current = TreeView1->currentItem();
        for (TCKItem *Item : Event.Items) {
            ListChanged = ListChanged || ListView1->IndexOfData(Item) >= 0;
            if (TCKProjectItem *Project = Item->AsProject())
                if (QTreeWidgetItem *Node = FindProjectNode(Project); Node && TargetNode)
                    TreeView1->MoveNode(Node, TargetNode);
        }
        if (Current && TreeView1->currentItem() != Current)
            TreeView1->setCurrentItem(Current);
    }
    // The totals follow the entries to their new projects.
    if (ListChanged)
        FillEntryList();
    else
        FinishListChange(&NoneTouched);
}

void TMainForm::ProjectAdded(TCKProjectItem *Project) {
    if (QTreeWidgetItem *Parent = FindProjectNode(Project->Parent))
        TreeView1->AddProjectNode(Parent, Project, ToQ(Project->Caption));
    if (Project->Parent == CurrentProject) {
        CurrentProject->AddRows(*ListView1, {Project});
        FinishListChange(&NoneTouched);
    }
}

void TMainForm::ProjectRenamed(TCKProjectItem *Project) {
    if (QTreeWidgetItem *Node = FindProjectNode(Project)) {
        Node->setText(0, ToQ(Project->Caption));
        TreeView1->SortChildrenOf(Node->parent());
    }
    // A sub-project row of the shown project carries the same caption.
    if (const int Index = ListView1->IndexOfData(Project); Index >= 0) {
        RefreshRow(Index);
        FinishListChange(&NoneTouched);
    }
}

void TMainForm::DocumentReplaced(bool Imported) {
    // Without an import the old document's nodes are gone: nothing may name them any more.
    if (!Imported) {
        CutList.clear();
        Action("acPaste")->setEnabled(false);
    }
    RebuildViews(!Imported);
}

void TMainForm::DefaultProjectChanged() {
    ShowDefaultProject();
}
