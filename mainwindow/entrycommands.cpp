#include "mainwindow/entrycommands.h"

#include "app/qtext.h"
#include "dialogs/entrydialogs.h"
#include "dialogs/entrylist.h"
#include "dialogs/projecttree.h"
#include "mainwindow/typedtext.h"
#include "ui/prompts.h"
#include "ui/refusededit.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>

#include <algorithm>

TEntryCommands::TEntryCommands(TChronarkMan &ADocument, TPromptService &APrompts,
                               TEntryDialogService &ADialogs, TEntryList &AList,
                               TProjectTree &ATree, QMenu &ARowMenu, TActionLookup AActions,
                               THost AHost)
    : Doc(ADocument), Prompts(APrompts), Dialogs(ADialogs), List(AList), Tree(ATree),
      RowMenu(ARowMenu), Action(std::move(AActions)), Host(std::move(AHost)) {
    connect(&List, &TEntryList::RowEdited, this, &TEntryCommands::RowEdited);
    connect(List.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TEntryCommands::SelectionChanged);
    connect(&List, &QTreeWidget::itemDoubleClicked, this, &TEntryCommands::DoubleClicked);
    connect(&List, &QWidget::customContextMenuRequested, this, [this](const QPoint &Pos) {
        ShowRowMenu(List, List.viewport()->mapToGlobal(Pos), true);
    });
    connect(&RowMenu, &QMenu::aboutToShow, this, &TEntryCommands::RowMenuAboutToShow);
    List.installEventFilter(this);
}

TCKList TEntryCommands::RowItems(const QObject *Source, bool SelectedOnly) {
    TCKList Items;
    const auto *View = qobject_cast<const QTreeWidget *>(Source);
    if (!View)
        return Items;
    for (int i = 0; i < View->topLevelItemCount(); ++i) {
        QTreeWidgetItem *Row = View->topLevelItem(i);
        if (SelectedOnly && !Row->isSelected())
            continue;
        if (TCKItem *Item = TEntryList::ItemOf(Row))
            Items.push_back(Item);
    }
    return Items;
}

// --- the main list's selection, keys and edits ----------------------------------------------

void TEntryCommands::SelectionChanged() {
    const QList<TEntryRow *> Rows = List.SelectedRows();
    QTreeWidgetItem *Current = List.currentItem();
    if (Current && Current->isSelected())
        SelectedEntry = Current;
    else
        SelectedEntry = Rows.isEmpty() ? nullptr : Rows.first();
    const TCKItem *Item = TEntryList::ItemOf(SelectedEntry);
    const bool OneEntry = Rows.size() == 1 && Item && Item->IsTime();
    Action("acEditTime")->setEnabled(OneEntry);
    Action("acRenTime")->setEnabled(OneEntry);
    Action("acSplit")->setEnabled(OneEntry);
    Action("acDelTime")->setEnabled(!Rows.isEmpty());
    Action("acCut")->setEnabled(!Rows.isEmpty());
    Action("acMelt")->setEnabled(Rows.size() > 1);
}

bool TEntryCommands::eventFilter(QObject *Watched, QEvent *Event) {
    if (Watched != &List)
        return false;
    if (Event->type() == QEvent::ShortcutOverride) {
        // The list in focus takes Delete and F2 for its rows; their menu shortcuts only act
        // where no view takes the key.
        const auto *Key = static_cast<QKeyEvent *>(Event);
        if (Key->modifiers() == Qt::NoModifier &&
            (Key->key() == Qt::Key_Delete || Key->key() == Qt::Key_F2)) {
            Event->accept();
            return true;
        }
    }
    return Event->type() == QEvent::KeyPress && KeyDown(static_cast<QKeyEvent *>(Event)->key());
}

bool TEntryCommands::KeyDown(int Key) {
    const int Selected = List.SelectedRows().size();
    if (List.IsEditing() || Selected == 0)
        return false;
    switch (Key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (SelectedEntry && Selected == 1)
            Action("acEditTime")->trigger();
        return true;
    case Qt::Key_Delete:
        Action("acDelTime")->trigger();
        return true;
    case Qt::Key_F2:
        RenameSelected();
        return true;
    default:
        return false;
    }
}

void TEntryCommands::DoubleClicked() {
    const TCKItem *Item = TEntryList::ItemOf(SelectedEntry);
    if (!Item || !SelectedEntry->isSelected())
        return;
    if (Item->IsTime()) {
        Action("acEditTime")->trigger();
        return;
    }
    if (QTreeWidgetItem *Node = Tree.FindProjectNode(static_cast<const TCKProjectItem *>(Item))) {
        Tree.scrollToItem(Node);
        Tree.setCurrentItem(Node);
    }
}

void TEntryCommands::RowEdited(QTreeWidgetItem *Row, const QString &Text) {
    TCKItem *Item = TEntryList::ItemOf(Row);
    const int Index = List.IndexOf(Row);
    if (!Item || Index < 0)
        return;
    const QModelIndex At = List.indexFromItem(Row);
    if (TCKTimeItem *Entry = Item->AsTime()) {
        if (TRefusedEdit::Refused(List, At, Text, ToQ(Entry->Comment),
                                  [&] { return RefuseUnstorable(Prompts, Text); }))
            return;
        const std::string Comment = FromQ(Text);
        if (Comment == Entry->Comment)
            return;
        tCKEditItem Data = Entry->GetData();
        Data.Comment = Comment;
        Doc.SetEntryData(Entry, Data);
        return;
    }
    TCKProjectItem *Project = Item->AsProject();
    if (TRefusedEdit::Refused(List, At, Text, ToQ(Project->Caption),
                              [&] { return RefuseCaption(Prompts, Text); }))
        return;
    Doc.RenameProject(Project, FromQ(Text));
}

void TEntryCommands::CommentEdited(TEntryList &InList, QTreeWidgetItem *Row, const QString &Text) {
    TCKTimeItem *Entry = LiveEntry(InList, Row);
    if (!Entry)
        return;
    {
        // The refusal belongs to the window the text was typed in.
        const TPromptOwnerScope Owner(Prompts, InList.window());
        // The row keeps the comment the entry has: the list writes no text of its own.
        if (TRefusedEdit::Refused(InList, InList.indexFromItem(Row), Text, ToQ(Entry->Comment),
                                  [&] { return RefuseUnstorable(Prompts, Text); }))
            return;
    }
    // As an edit in the main list: the document is modified, and both lists show the comment.
    tCKEditItem Data = Entry->GetData();
    Data.Comment = FromQ(Text);
    Doc.SetEntryData(Entry, Data);
}

TEntryList *TEntryCommands::PopupList() const {
    return MenuList;
}

// --- row menu -------------------------------------------------------------------------------

void TEntryCommands::WatchRows(TEntryList &Watched) {
    const char Flag[] = "chronarkRowsWatched";
    if (Watched.property(Flag).toBool())
        return;
    Watched.setProperty(Flag, true);
    // A row that leaves its list takes the menu's row with it; a later command then finds
    // none instead of a freed one.
    // Compared as plain objects: the list may be half destroyed when its model goes, and
    // looking at it as a TEntryList then is undefined.
    TEntryList *Target = &Watched;
    const QObject *ListObject = Target;
    connect(Watched.model(), &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this, Target, ListObject](const QModelIndex &Parent, int First, int Last) {
                if (Parent.isValid() || MenuListObject != ListObject || !MenuRow)
                    return;
                const int Index = Target->IndexOf(MenuRow);
                if (Index >= First && Index <= Last)
                    MenuRow = nullptr;
            });
    connect(Watched.model(), &QAbstractItemModel::modelAboutToBeReset, this, [this, ListObject] {
        if (MenuListObject == ListObject)
            MenuRow = nullptr;
    });
}

void TEntryCommands::ShowRowMenu(TEntryList &InList, const QPoint &GlobalPos, bool WithNewTime) {
    WatchRows(InList);
    MenuList = &InList;
    MenuListObject = &InList;
    const QList<TEntryRow *> Rows = InList.SelectedRows();
    MenuRow = Rows.isEmpty() ? nullptr : Rows.first();
    Action("acNewTimePopup")->setVisible(WithNewTime);
    RowMenu.popup(GlobalPos);
}

void TEntryCommands::RowMenuAboutToShow() {
    const int Selected = MenuList ? int(MenuList->SelectedRows().size()) : 0;
    const TCKItem *Item = TEntryList::ItemOf(MenuRow);
    const bool OneEntry = Selected == 1 && Item && Item->IsTime();
    Action("acEditTimePopup")->setEnabled(OneEntry);
    Action("acRenTimePopup")->setEnabled(OneEntry);
    Action("acSplitPopup")->setEnabled(OneEntry);
    Action("acDelTimePopup")->setEnabled(Selected >= 1);
    Action("acMeltPopup")->setEnabled(Selected > 1);
}

// --- commands -------------------------------------------------------------------------------

TCKTimeItem *TEntryCommands::LiveEntry(const TEntryList &InList, const QTreeWidgetItem *Row) const {
    if (!Row || InList.IndexOf(Row) < 0)
        return nullptr;
    TCKItem *Item = TEntryList::ItemOf(Row);
    TCKTimeItem *Entry = Item ? Item->AsTime() : nullptr;
    return Entry && Doc.Contains(Entry) ? Entry : nullptr;
}

void TEntryCommands::NewEntry() {
    tCKEditItem Data;
    if (!Dialogs.NewEntry(List.window(), Doc.FieldDefs, Data))
        return;
    // Refused when the document cannot take the entry; it has said why.
    Doc.AddEntry(Host.ShownProject(), Data);
}

void TEntryCommands::EditRow(TEntryList &InList, QTreeWidgetItem *Row) {
    TCKTimeItem *Entry = LiveEntry(InList, Row);
    if (!Entry)
        return;
    tCKEditItem Data = Entry->GetData();
    // The dialog and its notices belong to the list's window: over the search window, one
    // owned by the main window would bring that up and leave the search hidden behind it.
    const TPromptOwnerScope Owner(Prompts, InList.window());
    // Unchanged (or cancelled), the entry's row of the main list and the sums still show
    // what the document holds now.
    if (Dialogs.EditEntry(InList.window(), Doc.FieldDefs, Data) && Doc.SetEntryData(Entry, Data))
        return;
    Host.ShowEntryAgain(Entry);
}

void TEntryCommands::EditSelected() {
    EditRow(List, SelectedEntry);
}

void TEntryCommands::EditPopupRow() {
    if (MenuList)
        EditRow(*MenuList, MenuRow);
}

void TEntryCommands::RenameSelected() {
    if (SelectedEntry && List.IndexOf(SelectedEntry) >= 0)
        List.editItem(SelectedEntry, 0);
}

void TEntryCommands::RenamePopupRow() {
    if (MenuList && MenuRow && MenuList->IndexOf(MenuRow) >= 0) {
        MenuList->scrollToItem(MenuRow);
        MenuList->editItem(MenuRow, 0);
    }
}

void TEntryCommands::DeleteRows(TEntryList &InList) {
    const QList<TEntryRow *> Rows = InList.SelectedRows();
    if (Rows.isEmpty())
        return;
    // A sub-project row takes the project's entries with it: the tree's question says so.
    const bool WithProject = std::any_of(Rows.begin(), Rows.end(), [](const TEntryRow *Row) {
        const TCKItem *Item = TEntryList::ItemOf(Row);
        return Item && Item->IsProject();
    });
    const QString Question = WithProject ? ProjectDeleteQuestion
                             : Rows.size() < 2
                                 ? QStringLiteral("Soll der Eintrag gelöscht werden?")
                                 : QStringLiteral("Sollen die Einträge gelöscht werden?");
    {
        const TPromptOwnerScope Owner(Prompts, InList.window());
        if (Prompts.Confirm(Question, false) != TPromptAnswer::Yes)
            return;
    }
    TCKList Rowed;
    for (TEntryRow *Row : Rows)
        if (TCKItem *Item = TEntryList::ItemOf(Row))
            Rowed.push_back(Item);
    Doc.DeleteItems(Rowed);
}

void TEntryCommands::DeleteSelected() {
    DeleteRows(List);
}

void TEntryCommands::DeletePopupRows() {
    if (MenuList)
        DeleteRows(*MenuList);
}

void TEntryCommands::SplitFirstSelected(TEntryList &InList) {
    const QList<TEntryRow *> Rows = InList.SelectedRows();
    if (Rows.isEmpty())
        return;
    TCKTimeItem *Entry = LiveEntry(InList, Rows.first());
    TDateTime At = 0;
    if (!Entry)
        return;
    {
        // As for the edit dialog: the split window and its notices belong to the list's window.
        const TPromptOwnerScope Owner(Prompts, InList.window());
        if (!Dialogs.Split(InList.window(), *Entry, At))
            return;
    }
    Doc.SplitEntry(Entry, At);
}

void TEntryCommands::SplitSelected() {
    SplitFirstSelected(List);
}

void TEntryCommands::SplitPopupRow() {
    if (MenuList)
        SplitFirstSelected(*MenuList);
}

void TEntryCommands::MergeRows(TEntryList &InList) {
    TCKList Rowed;
    for (TEntryRow *Row : InList.SelectedRows())
        if (TCKItem *Item = TEntryList::ItemOf(Row))
            Rowed.push_back(Item);
    Doc.MeltEntries(Rowed);
}

void TEntryCommands::MergeSelected() {
    MergeRows(List);
}

void TEntryCommands::MergePopupRows() {
    if (MenuList)
        MergeRows(*MenuList);
}

void TEntryCommands::NewSubProject() {
    QTreeWidgetItem *Parent = Tree.currentItem();
    if (!Parent)
        Parent = Tree.TopNode();
    TCKProjectItem *Owner = TProjectTree::ProjectOf(Parent);
    // Refused below the deepest project a file can hold; the document has said so.
    TCKProjectItem *Project = Owner ? Doc.NewProject(Owner, "Neues Projekt") : nullptr;
    if (!Project)
        return;
    Parent->setExpanded(true);
    // The shown project has its new sub-project row now.
    if (const int Index = List.IndexOfData(Project); Index >= 0) {
        TEntryRow *Row = List.Row(Index);
        List.clearSelection();
        List.setCurrentItem(Row);
        List.scrollToItem(Row);
        List.editItem(Row, 0);
    }
}

// --- cut and paste --------------------------------------------------------------------------

void TEntryCommands::Cut() {
    CutList = RowItems(&List, true);
    Action("acPaste")->setEnabled(!CutList.empty());
}

void TEntryCommands::Paste() {
    // Items deleted since the cut have already left the list.
    const TCKList Items = CutList;
    CutList.clear();
    Action("acPaste")->setEnabled(false);
    Doc.MoveItems(Items, Host.ShownProject());
}

void TEntryCommands::ForgetRemoved(const TCKRemovedEvent &Event) {
    std::erase_if(CutList, [&Event](const TCKItem *Item) { return Event.Removes(Item); });
    if (CutList.empty())
        Action("acPaste")->setEnabled(false);
}

void TEntryCommands::ForgetAll() {
    CutList.clear();
    Action("acPaste")->setEnabled(false);
}
