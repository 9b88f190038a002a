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
        Doc().SetFilter(Doc().Filter, true, TChronarkMan::TFilterBound::None);
        SetFilter(Edit1);
    } else {
        // Every row and the true totals come back at once.
        Doc().SetFilter(Doc().Filter, false, TChronarkMan::TFilterBound::None);
        FillEntryList();
    }
    Panel8->setVisible(Opening);
    Action("acFilter")->setChecked(Opening);
}

void TMainForm::CheckBox1Click() {
    const bool On = CheckBox1->isChecked();
    sddate->setEnabled(On);
    sdtime->setEnabled(On);
    SetFilter(CheckBox1);
}

void TMainForm::CheckBox2Click() {
    const bool On = CheckBox2->isChecked();
    eddate->setEnabled(On);
    edtime->setEnabled(On);
    SetFilter(CheckBox2);
}

void TMainForm::SetFilter(QObject *Sender) {
    using TBound = TChronarkMan::TFilterBound;
    tFilterItem Criteria;
    Criteria.UseFromDate = CheckBox1->isChecked();
    Criteria.UseToDate = CheckBox2->isChecked();
    Criteria.FromDate = PickedDateTime(sddate, sdtime);
    Criteria.ToDate = PickedDateTime(eddate, edtime);
    SplitToArray(FromQ(Edit1->text()), ' ', Criteria.Keywords);
    RemoveBlank(Criteria.Keywords);
    const TBound Changed = Sender == sddate || Sender == sdtime   ? TBound::From
                           : Sender == eddate || Sender == edtime ? TBound::To
                                                                  : TBound::None;
    if (Doc().SetFilter(Criteria, Doc().FilterActive, Changed)) {
        Prompts().ShowMessage(BoundsText);
        if (Changed == TBound::From)
            ShowDateTime(sddate, sdtime, Doc().Filter.FromDate);
        else
            ShowDateTime(eddate, edtime, Doc().Filter.ToDate);
    }
    FillEntryList();
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
    // Refused when the document cannot take the entry; it has said why.
    Doc().AddEntry(CurrentProject, Data);
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
    // Unchanged (or cancelled), the entry's row of the main list and the sums still show
    // what the document holds now.
    if (FEntryDialogs->EditEntry(List.window(), Doc().FieldDefs, Data) &&
        Doc().SetEntryData(Entry, Data))
        return;
    if (const int Index = ListView1->IndexOfData(Entry); Index >= 0) {
        RefreshRow(Index);
        FinishListChange(nullptr);
    }
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
    TCKList Rowed;
    for (TEntryRow *Row : Rows)
        if (TCKItem *Item = TEntryList::ItemOf(Row))
            Rowed.push_back(Item);
    Doc().DeleteItems(Rowed);
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
    Doc().SplitEntry(Entry, At);
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
    Doc().MeltEntries(Rowed);
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
    Parent->setExpanded(true);
    // The shown project has its new sub-project row now.
    if (const int Index = ListView1->IndexOfData(Project); Index >= 0) {
        TEntryRow *Row = ListView1->Row(Index);
        ListView1->clearSelection();
        ListView1->setCurrentItem(Row);
        ListView1->scrollToItem(Row);
        ListView1->editItem(Row, 0);
    }
}
