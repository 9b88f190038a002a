// The filter panel above the entry list, the row menu and the entry commands: new, edit,
// rename, delete, split, merge and a new sub-project from the row menu.

#include "base/clock.h"
#include "base/dates.h"
#include "dialogs/entrydialogs.h"
#include "dialogs/pickers.h"
#include "dialogs/entrylist.h"
#include "mainwindow/mainform.h"
#include "dialogs/projecttree.h"
#include "ui/prompts.h"
#include "app/qtext.h"
#include "model/ckm.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <unordered_set>

namespace {

const QString BoundsText = QStringLiteral("Die Startzeit ist größer oder gleich der Endzeit");

// Shows T in both pickers without running their change handlers.
void ShowDateTime(QDateEdit *Date, QTimeEdit *Time, TDateTime T) {
    const QSignalBlocker QuietDate(Date);
    const QSignalBlocker QuietTime(Time);
    SetPickers(Date, Time, T);
}

// A cross in the header's text colour: the style's own close icon is drawn for a title bar
// and all but vanishes on the highlight colour.
QIcon CloseGlyph(const QColor &Colour) {
    QIcon Icon;
    for (const int Scale : {1, 2}) {
        QPixmap Glyph(11 * Scale, 11 * Scale);
        Glyph.setDevicePixelRatio(Scale);
        Glyph.fill(Qt::transparent);
        QPainter Paint(&Glyph);
        Paint.setRenderHint(QPainter::Antialiasing);
        Paint.setPen(QPen(Colour, 1.6, Qt::SolidLine, Qt::RoundCap));
        Paint.drawLine(QPointF(2.5, 2.5), QPointF(8.5, 8.5));
        Paint.drawLine(QPointF(8.5, 2.5), QPointF(2.5, 8.5));
        Paint.end();
        Icon.addPixmap(Glyph);
    }
    return Icon;
}

QDate Today() {
    int Y, Mo, D, H, Mi, S, Ms;
    DecodeDateTime(Now(), Y, Mo, D, H, Mi, S, Ms);
    return QDate(Y, Mo, D);
}

} // namespace

// --- filter panel ---------------------------------------------------------------------------

void TMainForm::BuildFilterPanel(QWidget *Parent) {
    if (auto *Frame = qobject_cast<QFrame *>(Parent))
        Frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    Parent->setAutoFillBackground(true);
    Parent->setBackgroundRole(QPalette::Window);
    auto *Column = new QVBoxLayout(Parent);
    Column->setContentsMargins(1, 1, 1, 1);
    Column->setSpacing(4);

    Panel9 = new QLabel(QStringLiteral(" Filter"), Parent);
    Panel9->setObjectName(QStringLiteral("Panel9"));
    QFont Bold = Panel9->font();
    Bold.setBold(true);
    Panel9->setFont(Bold);
    // The colours of an active window's caption.
    Panel9->setAutoFillBackground(true);
    Panel9->setBackgroundRole(QPalette::Highlight);
    Panel9->setForegroundRole(QPalette::HighlightedText);
    Panel9->setMinimumHeight(17);
    auto *Header = new QHBoxLayout(Panel9);
    Header->setContentsMargins(0, 1, 1, 1);
    Header->addStretch(1);
    auto *Close = new QToolButton(Panel9);
    Close->setObjectName(QStringLiteral("SpeedButton1"));
    Close->setToolTip(QStringLiteral("Filter schließen"));
    Close->setAutoRaise(true);
    Close->setFixedSize(15, 15);
    Close->setIcon(CloseGlyph(Panel9->palette().color(QPalette::HighlightedText)));
    Close->setIconSize(QSize(11, 11));
    Header->addWidget(Close);
    SpeedButton1 = Close;
    Column->addWidget(Panel9);

    auto *Grid = new QGridLayout;
    Grid->setContentsMargins(6, 0, 6, 4);
    auto MakeBound = [&](QCheckBox *&Box, QDateEdit *&Date, QTimeEdit *&Time, const char *Text,
                         const char *BoxName, const char *DateName, const char *TimeName, int Row) {
        Box = new QCheckBox(QString::fromUtf8(Text), Parent);
        Box->setObjectName(QString::fromLatin1(BoxName));
        // The text stands left of the box.
        Box->setLayoutDirection(Qt::RightToLeft);
        Date = NewDatePicker(Parent);
        Date->setObjectName(QString::fromLatin1(DateName));
        Date->setEnabled(false);
        Time = NewTimePicker(Parent);
        Time->setObjectName(QString::fromLatin1(TimeName));
        Time->setEnabled(false);
        Grid->addWidget(Box, Row, 0);
        Grid->addWidget(Date, Row, 1);
        Grid->addWidget(Time, Row, 2);
    };
    MakeBound(CheckBox1, sddate, sdtime, "von", "CheckBox1", "sddate", "sdtime", 0);
    MakeBound(CheckBox2, eddate, edtime, "bis", "CheckBox2", "eddate", "edtime", 1);
    Label4 = new QLabel(QStringLiteral("Stichworte:"), Parent);
    Label4->setObjectName(QStringLiteral("Label4"));
    Edit1 = new QLineEdit(Parent);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Grid->addWidget(Label4, 2, 0);
    Grid->addWidget(Edit1, 2, 1, 1, 3);
    Grid->setColumnStretch(3, 1);
    Column->addLayout(Grid);
    Column->addStretch(1);

    connect(Close, &QToolButton::clicked, this, [this] { Action("acFilter")->trigger(); });
    connect(CheckBox1, &QCheckBox::toggled, this, [this] { CheckBox1Click(); });
    connect(CheckBox2, &QCheckBox::toggled, this, [this] { CheckBox2Click(); });
    connect(Edit1, &QLineEdit::textChanged, this, [this] { SetFilter(Edit1); });
    for (QDateEdit *Date : {sddate, eddate})
        connect(Date, &QDateEdit::dateChanged, this, [this, Date] { SetFilter(Date); });
    for (QTimeEdit *Time : {sdtime, edtime})
        connect(Time, &QTimeEdit::timeChanged, this, [this, Time] { SetFilter(Time); });
}

void TMainForm::acFilterExecute() {
    // The panel, not the action's check mark, says which way this goes: the action toggles
    // its mark before it runs this, the header's button does not.
    const bool Opening = Panel8->isHidden();
    if (Opening) {
        // One refill for the whole reset rather than one for every field.
        {
            const QSignalBlocker Q1(Edit1), Q2(CheckBox1), Q3(CheckBox2);
            const QSignalBlocker Q4(sddate), Q5(sdtime), Q6(eddate), Q7(edtime);
            Edit1->clear();
            CheckBox1->setChecked(false);
            CheckBox2->setChecked(false);
            sddate->setDate(Today());
            eddate->setDate(Today());
            sdtime->setTime(QTime(0, 0, 0));
            edtime->setTime(QTime(23, 59, 59));
        }
        for (QWidget *W : {static_cast<QWidget *>(sddate), static_cast<QWidget *>(sdtime),
                           static_cast<QWidget *>(eddate), static_cast<QWidget *>(edtime)})
            W->setEnabled(false);
        Doc().Filter.UseFromDate = false;
        Doc().Filter.UseToDate = false;
        Doc().FilterActive = true;
        SetFilter(Edit1);
    } else {
        // Every row and the true totals come back at once.
        Doc().FilterActive = false;
        RefreshEntries(-1);
    }
    Panel8->setVisible(Opening);
    Action("acFilter")->setChecked(Opening);
}

void TMainForm::CheckBox1Click() {
    const bool On = CheckBox1->isChecked();
    sddate->setEnabled(On);
    sdtime->setEnabled(On);
    Doc().Filter.UseFromDate = On;
    SetFilter(CheckBox1);
}

void TMainForm::CheckBox2Click() {
    const bool On = CheckBox2->isChecked();
    eddate->setEnabled(On);
    edtime->setEnabled(On);
    Doc().Filter.UseToDate = On;
    SetFilter(CheckBox2);
}

void TMainForm::SetFilter(QObject *Sender) {
    tFilterItem &Filter = Doc().Filter;
    Filter.FromDate = PickedDateTime(sddate, sdtime);
    Filter.ToDate = PickedDateTime(eddate, edtime);
    const bool FromPicker = Sender == sddate || Sender == sdtime;
    const bool ToPicker = Sender == eddate || Sender == edtime;
    if ((FromPicker || ToPicker) && CheckBox1->isChecked() && CheckBox2->isChecked() &&
        CompareDateTime(Filter.FromDate, Filter.ToDate) >= 0) {
        Prompts().ShowMessage(BoundsText);
        // The bound just changed gives way to the other.
        if (FromPicker) {
            Filter.FromDate = AddSeconds(Filter.ToDate, -1);
            ShowDateTime(sddate, sdtime, Filter.FromDate);
        } else {
            Filter.ToDate = AddSeconds(Filter.FromDate, 1);
            ShowDateTime(eddate, edtime, Filter.ToDate);
        }
    }
    SplitToArray(FromQ(Edit1->text()), ' ', Filter.Keywords);
    RemoveBlank(Filter.Keywords);
    RefreshEntries(-1);
}

// --- row menu -------------------------------------------------------------------------------

void TMainForm::WatchRows(TEntryList *List) {
    const char Watched[] = "chronarkRowsWatched";
    if (List->property(Watched).toBool())
        return;
    List->setProperty(Watched, true);
    // A row that leaves its list takes the menu's row with it; a later command then finds
    // none instead of a freed one.
    // Compared as plain objects: the list may be half destroyed when its model goes, and
    // looking at it as a TEntryList then is undefined.
    const QObject *ListObject = List;
    connect(List->model(), &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this, List, ListObject](const QModelIndex &Parent, int First, int Last) {
                if (Parent.isValid() || PopupListObject != ListObject || !PopupItem)
                    return;
                const int Index = List->IndexOf(PopupItem);
                if (Index >= First && Index <= Last)
                    PopupItem = nullptr;
            });
    connect(List->model(), &QAbstractItemModel::modelAboutToBeReset, this, [this, ListObject] {
        if (PopupListObject == ListObject)
            PopupItem = nullptr;
    });
}

void TMainForm::ShowRowMenu(TEntryList *List, const QPoint &GlobalPos, bool WithNewTime) {
    WatchRows(List);
    PopupList = List;
    PopupListObject = List;
    const QList<TEntryRow *> Rows = List->SelectedRows();
    PopupItem = Rows.isEmpty() ? nullptr : Rows.first();
    Action("acNewTimePopup")->setVisible(WithNewTime);
    PropPopupMenu->popup(GlobalPos);
}

void TMainForm::ListView1ContextPopup(const QPoint &Pos) {
    ShowRowMenu(ListView1, ListView1->viewport()->mapToGlobal(Pos), true);
}

void TMainForm::PropPopupMenuPopup() {
    const int Selected = PopupList ? int(PopupList->SelectedRows().size()) : 0;
    const TCKItem *Item = TEntryList::ItemOf(PopupItem);
    const bool OneEntry = Selected == 1 && Item && Item->IsTime();
    EnableCommand(Action("acEditTimePopup"), OneEntry);
    EnableCommand(Action("acRenTimePopup"), OneEntry);
    EnableCommand(Action("acSplitPopup"), OneEntry);
    EnableCommand(Action("acDelTimePopup"), Selected >= 1);
    EnableCommand(Action("acMeltPopup"), Selected > 1);
}

// --- commands -------------------------------------------------------------------------------

TCKTimeItem *TMainForm::LiveEntry(const TEntryList &List, const QTreeWidgetItem *Row) const {
    if (!Row || List.IndexOf(Row) < 0)
        return nullptr;
    TCKItem *Item = TEntryList::ItemOf(Row);
    TCKTimeItem *Entry = Item ? Item->AsTime() : nullptr;
    return Entry && Doc().Contains(Entry) ? Entry : nullptr;
}

void TMainForm::NewTimeClick() {
    tCKEditItem Data;
    if (!FEntryDialogs->NewEntry(this, Doc().FieldDefs, Data))
        return;
    // Null when the document cannot take the entry; it has said why.
    if (CurrentProject->AddTime(Data))
        RefreshEntries(-2);
}

void TMainForm::acNewTimePopupExecute() {
    NewTimeClick();
}

void TMainForm::EditEntryRow(TEntryList &List, QTreeWidgetItem *Row) {
    TCKTimeItem *Entry = LiveEntry(List, Row);
    if (!Entry)
        return;
    tCKEditItem Data = Entry->GetData();
    // The dialog and its notices belong to the list's window: over the search window, one
    // owned by this window would bring this window up and leave the search hidden behind it.
    const TPromptOwnerScope Owner(Prompts(), List.window());
    if (!FEntryDialogs->EditEntry(List.window(), Doc().FieldDefs, Data)) {
        // The row and the sums show what the document holds now. The dialog is modal, so
        // the row is still there unless something deleted it meanwhile.
        RefreshEntryRow(List, Row, nullptr);
        return;
    }
    // Only the entries sharing time with the old or the new span can change their marks.
    TCKConstTimeItems Touched;
    bool Few = Entry->AddTimeSharers(Touched, MaxTouchedEntries);
    Entry->SetData(Data);
    Few = Few && Entry->AddTimeSharers(Touched, MaxTouchedEntries);
    RefreshEntryRow(List, Row, Few ? &Touched : nullptr);
}

void TMainForm::RefreshEntryRow(TEntryList &List, QTreeWidgetItem *Row,
                                const TCKConstTimeItems *Touched) {
    if (&List == ListView1) {
        const int Index = ListView1->IndexOf(Row);
        RefreshEntries(Index >= 0 ? Index : -1, Touched);
    } else {
        RefreshEntries(-1);
    }
    emit EntriesChanged();
}

void TMainForm::EditTimeClick() {
    EditEntryRow(*ListView1, SelectedEntry);
}

void TMainForm::acEditTimePopupExecute() {
    if (PopupList)
        EditEntryRow(*PopupList, PopupItem);
}

void TMainForm::acRenTimePopupExecute() {
    if (PopupList && PopupItem && PopupList->IndexOf(PopupItem) >= 0) {
        PopupList->scrollToItem(PopupItem);
        PopupList->editItem(PopupItem, 0);
    }
}

void TMainForm::ForgetProjectNode(TCKProjectItem *Project) {
    QTreeWidgetItem *Node = FindProjectNode(Project);
    if (!Node)
        return;
    auto Within = [Node](const QTreeWidgetItem *N) {
        for (; N; N = N->parent())
            if (N == Node)
                return true;
        return false;
    };
    if (Within(ProjectNode))
        ProjectNode = nullptr;
    const QSignalBlocker Quiet(TreeView1);
    if (Within(TreeView1->currentItem())) {
        TreeView1->setCurrentItem(TreeView1->TopNode());
        CurrentProject = Doc().Root.get();
    }
    TreeView1->DeleteNode(Node);
}

void TMainForm::DeleteSelectedRows(TEntryList &List) {
    const QList<TEntryRow *> Rows = List.SelectedRows();
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
        const TPromptOwnerScope Owner(Prompts(), List.window());
        if (Prompts().Confirm(Question, false) != TPromptAnswer::Yes)
            return;
    }
    // Only what is still in the document now; an item below a project deleted in the same
    // go leaves with that project.
    TCKList Rowed;
    for (TEntryRow *Row : Rows)
        if (TCKItem *Item = TEntryList::ItemOf(Row))
            Rowed.push_back(Item);
    TCKList Items = Doc().StillContained(Rowed);
    std::unordered_set<const TCKItem *> Projects;
    for (const TCKItem *Item : Items)
        if (Item->IsProject())
            Projects.insert(Item);
    std::erase_if(Items, [&Projects](const TCKItem *Item) {
        for (const TCKItem *Up = Item->Parent; Up; Up = Up->Parent)
            if (Projects.count(Up))
                return true;
        return false;
    });
    for (int i = int(Rows.size()); i-- > 0;)
        List.DeleteRow(List.IndexOf(Rows[i]));
    for (auto It = Items.rbegin(); It != Items.rend(); ++It) {
        TCKItem *Item = *It;
        ForgetItems(Item);
        if (TCKProjectItem *Project = Item->AsProject())
            ForgetProjectNode(Project);
        Item->Delete();
    }
    Doc().UpdateOverlapImages(List);
    // A deleted sub-project may have been the one measurements went to.
    ShowDefaultProject();
    emit ItemsRemoved();
    RefreshEntries(-1);
}

void TMainForm::DelTimeClick() {
    DeleteSelectedRows(*ListView1);
}

void TMainForm::acDelTimePopupExecute() {
    if (PopupList)
        DeleteSelectedRows(*PopupList);
}

void TMainForm::SplitFirstSelected(TEntryList &List) {
    const QList<TEntryRow *> Rows = List.SelectedRows();
    if (Rows.isEmpty())
        return;
    TEntryRow *Row = Rows.first();
    TCKTimeItem *Entry = LiveEntry(List, Row);
    TDateTime At = 0;
    if (!Entry)
        return;
    {
        // As for the edit dialog: the split window and its notices belong to the list's window.
        const TPromptOwnerScope Owner(Prompts(), List.window());
        if (!FEntryDialogs->Split(List.window(), *Entry, At))
            return;
    }
    // Both parts lie within the old span: only its sharers can change their marks.
    TCKConstTimeItems Touched;
    const bool Few = Entry->AddTimeSharers(Touched, MaxTouchedEntries);
    if (!Entry->SplitAt(At))
        return;
    const int Index = List.IndexOf(Row);
    if (&List == ListView1 && Index >= 0) {
        // The row shows the first part; the second part was appended to the same project.
        RefreshEntries(Index, Few ? &Touched : nullptr);
        RefreshEntries(-2, Few ? &Touched : nullptr);
    } else {
        RefreshEntries(-1);
    }
    emit EntriesChanged();
}

void TMainForm::acSplitExecute() {
    SplitFirstSelected(*ListView1);
}

void TMainForm::acSplitPopupExecute() {
    if (PopupList)
        SplitFirstSelected(*PopupList);
}

void TMainForm::MeltSelected(TEntryList &List) {
    TCKList Rowed;
    for (TEntryRow *Row : List.SelectedRows())
        if (TCKItem *Item = TEntryList::ItemOf(Row))
            Rowed.push_back(Item);
    TCKTimeItemList Entries;
    for (TCKItem *Item : Doc().StillContained(Rowed))
        if (TCKTimeItem *Entry = Item->AsTime())
            Entries.push_back(Entry);
    if (Entries.size() < 2)
        return;
    bool Merged = false;
    // Absorbed entries are freed: nothing may keep naming them, their rows included.
    Doc().MeltAll(Entries, [this, &List, &Merged](const TCKTimeItem *Absorbed) {
        ForgetItems(Absorbed);
        for (int i = 0; i < List.Count(); ++i)
            if (List.RowData(i) == Absorbed) {
                List.DeleteRow(i);
                break;
            }
        Merged = true;
    });
    Doc().UpdateOverlapImages(List);
    RefreshEntries(-1);
    if (Merged)
        emit ItemsRemoved();
    else
        emit EntriesChanged();
}

void TMainForm::acMeltExecute() {
    MeltSelected(*ListView1);
}

void TMainForm::acMeltPopupExecute() {
    if (PopupList)
        MeltSelected(*PopupList);
}

void TMainForm::acNewProjectLVExecute() {
    QTreeWidgetItem *Parent = TreeView1->currentItem();
    if (!Parent)
        Parent = TreeView1->TopNode();
    TCKProjectItem *Owner = TProjectTree::ProjectOf(Parent);
    // Refused below the deepest project a file can hold; the document has said so.
    TCKProjectItem *Project = Owner ? Doc().NewProject(Owner, "Neues Projekt") : nullptr;
    if (!Project)
        return;
    TreeView1->AddProjectNode(Parent, Project, QStringLiteral("Neues Projekt"));
    Parent->setExpanded(true);
    if (Owner != CurrentProject)
        return;
    RefreshEntries(-2);
    for (int i = 0; i < ListView1->Count(); ++i) {
        if (ListView1->RowData(i) == Project) {
            TEntryRow *Row = ListView1->Row(i);
            ListView1->clearSelection();
            ListView1->setCurrentItem(Row);
            ListView1->scrollToItem(Row);
            ListView1->editItem(Row, 0);
            break;
        }
    }
}
