// The project tree, the entry list and the status bar: refreshing, selection, renaming, keys,
// drag and drop, cut and paste and the project commands.

#include "base/durations.h"
#include "dialogs/entrylist.h"
#include "mainwindow/docsession.h"
#include "mainwindow/mainform.h"
#include "dialogs/projecttree.h"
#include "ui/prompts.h"
#include "ui/refusededit.h"
#include "app/qtext.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>

#include <algorithm>

namespace {

bool HasRefusedCharacter(const QString &Caption) {
    return Caption.contains(QLatin1Char('"')) || Caption.contains(QLatin1Char('>')) ||
           Caption.contains(QLatin1Char('<'));
}

const QString RefusedCaptionText =
    QStringLiteral("Projektbeschreibung enthält ungültiges Zeichen!");

} // namespace

const QString TMainForm::ProjectDeleteQuestion =
    QStringLiteral("Soll das Projekt inkl. aller Einträge gelöscht werden?");

bool TMainForm::RefuseUnstorable(const QString &Text) {
    const QStringList Characters = UnstorableCharacters(Text);
    if (Characters.isEmpty())
        return false;
    Prompts().ShowMessage(
        QStringLiteral("Diese Zeichen können im Dokument nicht gespeichert werden: ") +
        Characters.join(QLatin1Char(' ')));
    return true;
}

bool TMainForm::RefuseCaption(const QString &Text) {
    if (HasRefusedCharacter(Text)) {
        Prompts().ShowMessage(RefusedCaptionText);
        return true;
    }
    return RefuseUnstorable(Text);
}

void TMainForm::FillEntryList() {
    if (!Document || !CurrentProject)
        return;
    // The rows get their marks as they are made.
    CurrentProject->FillListView(*ListView1);
    const TCKTouched None{true, {}};
    FinishListChange(&None);
}

void TMainForm::RefreshRow(int Index) {
    if (Index < 0 || Index >= ListView1->Count())
        return;
    const int Before = ListView1->Count();
    ListView1->SetSorted(false);
    Document->RefreshListItem(*ListView1, Index);
    // A row that left the list leaves the rest in order; one that stayed moves alone.
    ListView1->SortRowIntoPlace(ListView1->Count() == Before ? Index : -1);
}

void TMainForm::FinishListChange(const TCKTouched *Touched) {
    if (Touched)
        Document->UpdateOverlapImages(*ListView1, *Touched);
    else
        Document->UpdateOverlapImages(*ListView1);
    // Rows may have gone: the selection-driven commands follow what is still selected.
    ListView1SelectItem();
    UpdateStatusBar();
    UpdateCaption();
}

void TMainForm::UpdateStatusBar() {
    const TNetTimes netTimes = Document->NetTimesByProject();
    StatusPanel0->setText(QStringLiteral("Gesamt: ") + ToQ(SecondsText(netTimes.Total())));
    StatusPanel1->setText(QStringLiteral("Aktuelles Project: ") +
                          ToQ(SecondsText(netTimes.Seconds(CurrentProject))));
    // The first panel grows with its text (a total of thousands of hours stays whole); the
    // second takes the rest and at least its text.
    const int Padding = 2 * StatusPanel0->margin() + StatusPanel0->fontMetrics().averageCharWidth();
    StatusPanel0->setFixedWidth(
        qMax(StatusPanelWidth,
             StatusPanel0->fontMetrics().horizontalAdvance(StatusPanel0->text()) + Padding));
    StatusPanel1->setMinimumWidth(
        StatusPanel1->fontMetrics().horizontalAdvance(StatusPanel1->text()) + Padding);
}

void TMainForm::ShowWrittenFile(const QString &What, const QString &FileName) {
    const QString Path = QDir::toNativeSeparators(QFileInfo(FileName).absoluteFilePath());
    StatusPanel2->setText(What + QStringLiteral(": ") + Path);
    StatusPanel2->setToolTip(Path);
}

void TMainForm::UpdateCaption() {
    if (!Session->FileName().isEmpty())
        ApplicationTitle =
            QFileInfo(Session->FileName()).fileName() + QStringLiteral(" - ") + AppName;
    else
        ApplicationTitle = AppName;
    if (Session->ReadOnly())
        ApplicationTitle += QStringLiteral(" [schreibgeschützt]");
    setWindowTitle(ApplicationTitle);
}

QTreeWidgetItem *TMainForm::FindProjectNode(const TCKProjectItem *Project) const {
    return TreeView1->FindProjectNode(Project);
}

void TMainForm::TreeView1Change() {
    // The refill runs to its end before the next selection change is taken.
    if (InTreeChange)
        return;
    QTreeWidgetItem *Node = TreeView1->currentItem();
    TCKProjectItem *Project = TProjectTree::ProjectOf(Node);
    if (!Project)
        return;
    InTreeChange = true;
    CurrentProject = Project;
    FillEntryList();
    InTreeChange = false;
}

void TMainForm::TreeView1Edited(QTreeWidgetItem *Node, const QString &Text) {
    TCKProjectItem *Project = TProjectTree::ProjectOf(Node);
    if (!Project || Node == TreeView1->TopNode())
        return;
    if (TRefusedEdit::Refused(*TreeView1, TreeView1->indexFromItem(Node), Text,
                              ToQ(Project->Caption), [&] { return RefuseCaption(Text); }))
        return;
    const std::string Caption = FromQ(Text);
    if (Caption == Project->Caption)
        return;
    if (Document->RenameProject(Project, Caption))
        TreeView1->scrollToItem(Node);
}

bool TMainForm::TreeView1KeyDown(int Key) {
    if (TreeView1->IsEditing())
        return false;
    QTreeWidgetItem *Node = TreeView1->currentItem();
    if (!Node || Node == TreeView1->TopNode())
        return false;
    if (Key == Qt::Key_Delete) {
        ProjectNode = Node;
        DelProjectClick();
        return true;
    }
    if (Key == Qt::Key_F2) {
        ProjectNode = Node;
        renProjectClick();
        return true;
    }
    return false;
}

bool TMainForm::TreeView1DragOver(QObject *Source, QTreeWidgetItem *Target) const {
    if (!qobject_cast<QAbstractItemView *>(Source) || !Target)
        return false;
    TCKProjectItem *Project = TProjectTree::ProjectOf(Target);
    if (!Project || Project == CurrentProject)
        return false;
    if (Source == TreeView1) {
        QTreeWidgetItem *Dragged = TreeView1->currentItem();
        if (!Dragged || Dragged == TreeView1->TopNode())
            return false;
        // A project cannot go into its own subtree.
        if (Project->IsInSubtreeOf(TProjectTree::ProjectOf(Dragged)))
            return false;
        return true;
    }
    // Nor can a sub-project row: the whole drop is refused rather than carried out in part.
    const TCKList Items = ListItems(Source, true);
    return std::none_of(Items.begin(), Items.end(), [Project](const TCKItem *Item) {
        return Item->IsProject() && Project->IsInSubtreeOf(Item);
    });
}

void TMainForm::TreeView1DragDrop(QObject *Source, QTreeWidgetItem *Target) {
    if (!TreeView1DragOver(Source, Target))
        return;
    TCKProjectItem *Project = TProjectTree::ProjectOf(Target);
    if (Source != TreeView1) {
        Document->MoveItems(ListItems(Source, true), Project);
        return;
    }
    // The moved project's node stays the selected and shown one.
    QTreeWidgetItem *Dragged = TreeView1->currentItem();
    if (Document->MoveItems({TProjectTree::ProjectOf(Dragged)}, Project))
        Target->setExpanded(true);
    TreeView1->scrollToItem(Dragged);
}

TCKList TMainForm::ListItems(QObject *Source, bool SelectedOnly) const {
    TCKList Items;
    auto *View = qobject_cast<QTreeWidget *>(Source);
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

void TMainForm::ListView1SelectItem() {
    const QList<TEntryRow *> Rows = ListView1->SelectedRows();
    QTreeWidgetItem *Current = ListView1->currentItem();
    if (Current && Current->isSelected())
        SelectedEntry = Current;
    else
        SelectedEntry = Rows.isEmpty() ? nullptr : Rows.first();
    const TCKItem *Item = TEntryList::ItemOf(SelectedEntry);
    const bool OneEntry = Rows.size() == 1 && Item && Item->IsTime();
    EnableCommand(Action("acEditTime"), OneEntry);
    EnableCommand(Action("acRenTime"), OneEntry);
    EnableCommand(Action("acSplit"), OneEntry);
    EnableCommand(Action("acDelTime"), !Rows.isEmpty());
    EnableCommand(Action("acCut"), !Rows.isEmpty());
    EnableCommand(Action("acMelt"), Rows.size() > 1);
}

void TMainForm::ListView1Edited(QTreeWidgetItem *Row, const QString &Text) {
    TCKItem *Item = TEntryList::ItemOf(Row);
    const int Index = ListView1->IndexOf(Row);
    if (!Item || Index < 0)
        return;
    const QModelIndex At = ListView1->indexFromItem(Row);
    if (TCKTimeItem *Entry = Item->AsTime()) {
        if (TRefusedEdit::Refused(*ListView1, At, Text, ToQ(Entry->Comment),
                                  [&] { return RefuseUnstorable(Text); }))
            return;
        const std::string Comment = FromQ(Text);
        if (Comment == Entry->Comment)
            return;
        tCKEditItem Data = Entry->GetData();
        Data.Comment = FromQ(Text);
        Document->SetEntryData(Entry, Data);
        return;
    }
    TCKProjectItem *Project = Item->AsProject();
    if (TRefusedEdit::Refused(*ListView1, At, Text, ToQ(Project->Caption),
                              [&] { return RefuseCaption(Text); }))
        return;
    Document->RenameProject(Project, FromQ(Text));
}

bool TMainForm::ListView1KeyDown(int Key) {
    const int Selected = ListView1->SelectedRows().size();
    if (ListView1->IsEditing() || Selected == 0)
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
        renTimeClick();
        return true;
    default:
        return false;
    }
}

void TMainForm::ListView1DblClick() {
    const TCKItem *Item = TEntryList::ItemOf(SelectedEntry);
    if (!Item || !SelectedEntry->isSelected())
        return;
    if (Item->IsTime()) {
        Action("acEditTime")->trigger();
        return;
    }
    if (QTreeWidgetItem *Node = FindProjectNode(static_cast<const TCKProjectItem *>(Item))) {
        TreeView1->scrollToItem(Node);
        TreeView1->setCurrentItem(Node);
    }
}

void TMainForm::rubrpropPopup() {
    ProjectNode = TreeView1->currentItem();
    const bool Movable = ProjectNode && ProjectNode != TreeView1->TopNode();
    Action("acRenProject")->setEnabled(Movable);
    Action("acDelProject")->setEnabled(Movable);
    if (ProjectNode) {
        const bool IsDefault = TProjectTree::ProjectOf(ProjectNode) == Document->DefaultProject;
        Action("acDefaultMeasure")->setChecked(IsDefault);
        Action("acDefaultMeasure")->setEnabled(!IsDefault);
    }
}

void TMainForm::TBSubmenuItem4Select() {
    rubrpropPopup();
}

void TMainForm::NewProjectClick() {
    QTreeWidgetItem *Parent = ProjectNode ? ProjectNode : TreeView1->currentItem();
    if (!Parent)
        Parent = TreeView1->TopNode();
    TCKProjectItem *Owner = TProjectTree::ProjectOf(Parent);
    // Refused below the deepest project a file can hold; the document has said so.
    TCKProjectItem *Project = Document->NewProject(Owner, "Neues Projekt");
    QTreeWidgetItem *Node = Project ? FindProjectNode(Project) : nullptr;
    if (!Node)
        return;
    Parent->setExpanded(true);
    TreeView1->scrollToItem(Node);
    TreeView1->editItem(Node, 0);
}

void TMainForm::renProjectClick() {
    if (ProjectNode && ProjectNode != TreeView1->TopNode())
        TreeView1->editItem(ProjectNode, 0);
}

void TMainForm::DelProjectClick() {
    if (!ProjectNode || ProjectNode == TreeView1->TopNode())
        return;
    if (Prompts().Confirm(ProjectDeleteQuestion, false) != TPromptAnswer::Yes)
        return;
    Document->DeleteItems({TProjectTree::ProjectOf(ProjectNode)});
}

void TMainForm::DefaultMeasureClick() {
    if (!ProjectNode)
        return;
    Document->SetDefaultProject(TProjectTree::ProjectOf(ProjectNode));
    Action("acDefaultMeasure")->setChecked(true);
    Action("acDefaultMeasure")->setEnabled(false);
}

void TMainForm::ShowDefaultProject() {
    TreeView1->MarkDefaultProject(Document->DefaultProject);
}

void TMainForm::acCutExecute() {
    CutList = ListItems(ListView1, true);
    Action("acPaste")->setEnabled(!CutList.empty());
}

void TMainForm::acPasteExecute() {
    // Items deleted since the cut have already left the list.
    const TCKList Items = CutList;
    CutList.clear();
    Action("acPaste")->setEnabled(false);
    Document->MoveItems(Items, CurrentProject);
}

void TMainForm::renTimeClick() {
    if (SelectedEntry && ListView1->IndexOf(SelectedEntry) >= 0)
        ListView1->editItem(SelectedEntry, 0);
}

bool TMainForm::eventFilter(QObject *Watched, QEvent *Event) {
    if (Event->type() == QEvent::ShortcutOverride &&
        (Watched == TreeView1 || Watched == ListView1)) {
        // The view in focus decides what Delete and F2 act on: projects in the tree, rows in
        // the list. Their menu shortcuts only act where no view takes the key.
        const auto *Key = static_cast<QKeyEvent *>(Event);
        if (Key->modifiers() == Qt::NoModifier &&
            (Key->key() == Qt::Key_Delete || Key->key() == Qt::Key_F2)) {
            Event->accept();
            return true;
        }
    }
    if (Event->type() == QEvent::KeyPress) {
        const int Key = static_cast<QKeyEvent *>(Event)->key();
        if (Watched == TreeView1 && TreeView1KeyDown(Key))
            return true;
        if (Watched == ListView1 && ListView1KeyDown(Key))
            return true;
    }
    return QMainWindow::eventFilter(Watched, Event);
}
