#include "mainwindow/documentviews.h"

#include "app/qtext.h"
#include "dialogs/entrylist.h"
#include "dialogs/projecttree.h"
#include "mainwindow/entrycommands.h"
#include "mainwindow/projectcommands.h"

#include <QSignalBlocker>

#include <algorithm>
#include <unordered_set>

namespace {

// Past this many, one refill of a view costs less than finding the rows or nodes one by one.
constexpr size_t MaxSingleUpdates = TChronarkMan::MaxTouched;

// A change that touched no overlap marks.
const TCKTouched NoneTouched{true, {}};

} // namespace

TDocumentViews::TDocumentViews(TChronarkMan &ADocument, TProjectTree &ATree, TEntryList &AList,
                               TEntryCommands &AEntries, TProjectCommands &AProjects)
    : Doc(ADocument), Tree(ATree), List(AList), Entries(AEntries), Projects(AProjects),
      Shown(ADocument.DefaultProject) {
    Doc.Subscribe(*this);
}

TDocumentViews::~TDocumentViews() {
    Doc.Unsubscribe(*this);
}

void TDocumentViews::FollowTree() {
    connect(&Tree, &QTreeWidget::currentItemChanged, this, &TDocumentViews::TreeChanged);
}

void TDocumentViews::TreeChanged() {
    // The refill runs to its end before the next selection change is taken.
    if (InTreeChange)
        return;
    TCKProjectItem *Project = TProjectTree::ProjectOf(Tree.currentItem());
    if (!Project)
        return;
    InTreeChange = true;
    Shown = Project;
    FillEntryList();
    InTreeChange = false;
}

void TDocumentViews::FillEntryList() {
    if (!Shown)
        return;
    // The rows get their marks as they are made.
    Shown->FillListView(List);
    const TCKTouched None{true, {}};
    FinishListChange(&None);
}

void TDocumentViews::RefreshRow(int Index) {
    if (Index < 0 || Index >= List.Count())
        return;
    const int Before = List.Count();
    List.SetSorted(false);
    Doc.RefreshListItem(List, Index);
    // A row that left the list leaves the rest in order; one that stayed moves alone.
    List.SortRowIntoPlace(List.Count() == Before ? Index : -1);
}

void TDocumentViews::ShowEntryAgain(const TCKTimeItem *Entry) {
    if (const int Index = List.IndexOfData(Entry); Index >= 0) {
        RefreshRow(Index);
        FinishListChange(nullptr);
    }
}

void TDocumentViews::FinishListChange(const TCKTouched *Touched) {
    if (Touched)
        Doc.UpdateOverlapImages(List, *Touched);
    else
        Doc.UpdateOverlapImages(List);
    // Rows may have gone: the selection-driven commands follow what is still selected.
    Entries.SelectionChanged();
    emit ListChanged();
}

void TDocumentViews::RebuildViews(bool ToRoot) {
    if (ToRoot || !Shown)
        Shown = Doc.Root.get();
    Projects.ForgetNode();
    FillEntryList();
    QSignalBlocker Quiet(&Tree);
    Doc.FillProjectTree(Tree);
    QTreeWidgetItem *Node = Tree.FindProjectNode(Shown);
    Tree.setCurrentItem(Node ? Node : Tree.TopNode());
    if (Node)
        Tree.scrollToItem(Node);
    Projects.ShowDefaultProject();
}

void TDocumentViews::EntriesAdded(const TCKEntriesEvent &Event) {
    if (!Shown)
        return;
    Shown->AddRows(List, TCKList(Event.Entries.begin(), Event.Entries.end()));
    FinishListChange(&Event.Touched);
}

void TDocumentViews::EntriesChanged(const TCKEntriesEvent &Event) {
    if (!Shown)
        return;
    if (Event.Entries.size() > MaxSingleUpdates) {
        FillEntryList();
        return;
    }
    // An entry of the shown project the filter kept out may pass it now.
    TCKList Appearing;
    for (TCKTimeItem *Entry : Event.Entries) {
        if (const int Index = List.IndexOfData(Entry); Index >= 0)
            RefreshRow(Index);
        else if (Entry->Parent == Shown)
            Appearing.push_back(Entry);
    }
    if (!Appearing.empty())
        Shown->AddRows(List, Appearing);
    FinishListChange(&Event.Touched);
}

void TDocumentViews::ItemsRemoved(const TCKRemovedEvent &Event) {
    Entries.ForgetRemoved(Event);
    if (DropRemovedNodes(Event)) {
        FillEntryList();
        return;
    }
    List.DeleteRowsOf(Event.Nodes);
    FinishListChange(&Event.Touched);
}

bool TDocumentViews::DropRemovedNodes(const TCKRemovedEvent &Event) {
    const bool ShownGone = Event.Removes(Shown);
    if (std::none_of(Event.Items.begin(), Event.Items.end(),
                     [](const TCKItem *Item) { return Item->IsProject(); }))
        return ShownGone;
    // The topmost nodes of removed projects, in one walk over the tree.
    std::unordered_set<const QTreeWidgetItem *> Gone;
    std::vector<QTreeWidgetItem *> Pending{Tree.TopNode()};
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
    const QSignalBlocker Quiet(&Tree);
    const bool ToRoot = ShownGone || Within(Tree.currentItem());
    if (ToRoot) {
        Tree.setCurrentItem(Tree.TopNode());
        Shown = Doc.Root.get();
    }
    if (Gone.size() > MaxSingleUpdates) {
        Projects.ForgetNode();
        Doc.FillProjectTree(Tree);
        QTreeWidgetItem *ShownNode = Tree.FindProjectNode(Shown);
        Tree.setCurrentItem(ShownNode ? ShownNode : Tree.TopNode());
        Projects.ShowDefaultProject();
        return ToRoot;
    }
    if (Within(Projects.MenuNode()))
        Projects.ForgetNode();
    for (const QTreeWidgetItem *Node : Gone)
        Tree.DeleteNode(const_cast<QTreeWidgetItem *>(Node));
    return ToRoot;
}

void TDocumentViews::ItemsMoved(const TCKMovedEvent &Event) {
    QTreeWidgetItem *TargetNode = Tree.FindProjectNode(Event.Target);
    bool RowsChanged = Event.Target == Shown;
    {
        // Taking a node out selects a neighbour for a moment: the shown project stays selected.
        const QSignalBlocker Quiet(&Tree);
        QTreeWidgetItem *Current = Tree.currentItem();
        for (TCKItem *Item : Event.Items) {
            RowsChanged = RowsChanged || List.IndexOfData(Item) >= 0;
            if (TCKProjectItem *Project = Item->AsProject())
                if (QTreeWidgetItem *Node = Tree.FindProjectNode(Project); Node && TargetNode)
                    Tree.MoveNode(Node, TargetNode);
        }
        if (Current && Tree.currentItem() != Current)
            Tree.setCurrentItem(Current);
    }
    // The totals follow the entries to their new projects.
    if (RowsChanged)
        FillEntryList();
    else
        FinishListChange(&NoneTouched);
}

void TDocumentViews::ProjectAdded(TCKProjectItem *Project) {
    if (QTreeWidgetItem *Parent = Tree.FindProjectNode(Project->Parent))
        Tree.AddProjectNode(Parent, Project, ToQ(Project->Caption));
    if (Project->Parent == Shown) {
        Shown->AddRows(List, {Project});
        FinishListChange(&NoneTouched);
    }
}

void TDocumentViews::ProjectRenamed(TCKProjectItem *Project) {
    if (QTreeWidgetItem *Node = Tree.FindProjectNode(Project)) {
        Node->setText(0, ToQ(Project->Caption));
        Tree.SortChildrenOf(Node->parent());
    }
    // A sub-project row of the shown project carries the same caption.
    if (const int Index = List.IndexOfData(Project); Index >= 0) {
        RefreshRow(Index);
        FinishListChange(&NoneTouched);
    }
}

void TDocumentViews::DocumentReplaced(bool Imported) {
    // Without an import the old document's nodes are gone: nothing may name them any more.
    if (!Imported)
        Entries.ForgetAll();
    RebuildViews(!Imported);
}

void TDocumentViews::DefaultProjectChanged() {
    Projects.ShowDefaultProject();
}
