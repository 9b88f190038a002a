#include "dialogs/u_searchform.h"

#include "base/clock.h"
#include "base/dates.h"
#include "base/durations.h"
#include "dialogs/entrylist.h"
#include "dialogs/pickers.h"
#include "ui/imagelist.h"
#include "ui/prompts.h"
#include "app/formsettings.h"
#include "app/qtext.h"
#include "app/registry.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString PlacementKey = QStringLiteral("SearchForm");
const char *const ColumnWidthNames[] = {"colCommentWidth", "colStartTimeWidth", "colEndTimeWidth",
                                        "colDurationWidth", "colPathWidth"};
constexpr int ColumnCount = 5;
constexpr QSize DesignedSize(620, 420);
constexpr int DesignedPathWidth = 130;
constexpr int MinCommentWidth = 120;

// Text with every digit replaced by the font's widest one, so that its width holds any date,
// time or duration of the same format.
QString WidestDigits(const std::string &Text, const QFontMetrics &Metrics) {
    QChar Widest = QLatin1Char('0');
    for (char D = '1'; D <= '9'; ++D)
        if (Metrics.horizontalAdvance(QLatin1Char(D)) > Metrics.horizontalAdvance(Widest))
            Widest = QLatin1Char(D);
    QString Result = ToQ(Text);
    for (QChar &C : Result)
        if (C.isDigit())
            C = Widest;
    return Result;
}

QDate Today() {
    int Y, Mo, D, H, Mi, S, Ms;
    DecodeDateTime(Now(), Y, Mo, D, H, Mi, S, Ms);
    return QDate(Y, Mo, D);
}

} // namespace

TSearchForm::TSearchForm(const TChronarkMan &ADocument, const TImageList &Images,
                         TPromptService &APrompts, THost AHost, QWidget *Parent)
    : QWidget(Parent, Qt::Window), Document(ADocument), Prompts(APrompts), Host(std::move(AHost)) {
    setObjectName(QStringLiteral("SearchForm"));
    setWindowTitle(QStringLiteral("Eintrag suchen"));
    setAttribute(Qt::WA_DeleteOnClose);
    ListView1 = new TEntryList({QStringLiteral("Bemerkung"), QStringLiteral("Startzeit"),
                                QStringLiteral("Endzeit"), QStringLiteral("Dauer"),
                                QStringLiteral("Projektordner")},
                               &Images, this, TEntryList::TOrder::PathThenStart);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->installEventFilter(this);
    BuildLayout();
    SizeColumns();
    resize(DesignedSize);

    connect(CheckBox1, &QCheckBox::toggled, this, [this] { CheckBox1Click(); });
    connect(CheckBox2, &QCheckBox::toggled, this, [this] { CheckBox2Click(); });
    connect(StartButton, &QPushButton::clicked, this, [this] { StartClick(); });
    connect(NewSearchButton, &QPushButton::clicked, this, [this] { NewSearchClick(); });
    connect(Edit1, &QLineEdit::returnPressed, this, [this] { StartClick(); });
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *Row) {
        if (Host.EditRow)
            Host.EditRow(*ListView1, Row);
    });
    connect(ListView1, &QWidget::customContextMenuRequested, this, [this](const QPoint &Pos) {
        if (Host.RowMenu)
            Host.RowMenu(*ListView1, ListView1->viewport()->mapToGlobal(Pos));
    });
    connect(ListView1, &TEntryList::RowEdited, this,
            [this](QTreeWidgetItem *Row, const QString &Text) {
                if (Host.CommentEdited)
                    Host.CommentEdited(*ListView1, Row, Text);
            });
    NewSearchClick();
    Document.Subscribe(*this);
}

TSearchForm::~TSearchForm() {
    Document.Unsubscribe(*this);
}

void TSearchForm::BuildLayout() {
    auto *Panel = new QWidget(this);
    auto *Grid = new QGridLayout(Panel);
    // The keyword box keeps 8 pixels to the panel's right edge.
    Grid->setContentsMargins(8, 8, 8, 4);
    auto MakeBound = [&](QCheckBox *&Box, QDateEdit *&Date, QTimeEdit *&Time, const char *Text,
                         const char *BoxName, const char *DateName, const char *TimeName, int Row) {
        Box = new QCheckBox(QString::fromUtf8(Text), Panel);
        Box->setObjectName(QString::fromLatin1(BoxName));
        Date = NewDatePicker(Panel);
        Date->setObjectName(QString::fromLatin1(DateName));
        Time = NewTimePicker(Panel);
        Time->setObjectName(QString::fromLatin1(TimeName));
        Grid->addWidget(Box, Row, 0);
        Grid->addWidget(Date, Row, 1);
        Grid->addWidget(Time, Row, 2);
    };
    MakeBound(CheckBox1, sddate, sdtime, "von", "CheckBox1", "sddate", "sdtime", 0);
    MakeBound(CheckBox2, eddate, edtime, "bis", "CheckBox2", "eddate", "edtime", 1);
    auto *Label = new QLabel(QStringLiteral("Stichworte:"), Panel);
    Label->setObjectName(QStringLiteral("Label1"));
    Edit1 = new QLineEdit(Panel);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Grid->addWidget(Label, 2, 0);
    Grid->addWidget(Edit1, 2, 1, 1, 4);

    auto *Buttons = new QVBoxLayout;
    StartButton = new QPushButton(QStringLiteral("Start"), Panel);
    StartButton->setObjectName(QStringLiteral("StartButton"));
    NewSearchButton = new QPushButton(QStringLiteral("Neue Suche"), Panel);
    NewSearchButton->setObjectName(QStringLiteral("NewSearchButton"));
    Buttons->addWidget(StartButton);
    Buttons->addWidget(NewSearchButton);
    Buttons->addStretch(1);
    Grid->addLayout(Buttons, 0, 4, 2, 1, Qt::AlignRight | Qt::AlignTop);
    Grid->setColumnStretch(3, 1);

    StatusBar1 = new QLabel(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);

    auto *Column = new QVBoxLayout(this);
    Column->setContentsMargins(0, 0, 0, 0);
    Column->setSpacing(0);
    Column->addWidget(Panel);
    Column->addWidget(ListView1, 1);
    Column->addWidget(StatusBar1);
}

void TSearchForm::CheckBox1Click() {
    const bool On = CheckBox1->isChecked();
    sddate->setEnabled(On);
    sdtime->setEnabled(On);
    SearchParams.UseFromDate = On;
}

void TSearchForm::CheckBox2Click() {
    const bool On = CheckBox2->isChecked();
    eddate->setEnabled(On);
    edtime->setEnabled(On);
    SearchParams.UseToDate = On;
}

void TSearchForm::StartClick() {
    SearchParams.FromDate = PickedDateTime(sddate, sdtime);
    SearchParams.ToDate = PickedDateTime(eddate, edtime);
    // Said, not refused: such bounds simply find nothing but entries spanning them.
    if (SearchParams.UseFromDate && SearchParams.UseToDate &&
        CompareDateTime(SearchParams.FromDate, SearchParams.ToDate) >= 0) {
        const TPromptOwnerScope Owner(Prompts, this);
        Prompts.ShowMessage(QStringLiteral("Die Startzeit ist größer oder gleich der Endzeit"));
    }
    SplitToArray(FromQ(Edit1->text()), ' ', SearchParams.Keywords);
    RemoveBlank(SearchParams.Keywords);
    ListView1->Clear();
    Document.FillAllEntries(*ListView1, SearchParams);
    ShowCount();
}

void TSearchForm::NewSearchClick() {
    Edit1->clear();
    CheckBox1->setChecked(false);
    CheckBox2->setChecked(false);
    // Unticked boxes that were unticked already send no change.
    CheckBox1Click();
    CheckBox2Click();
    sddate->setDate(Today());
    eddate->setDate(Today());
    sdtime->setTime(QTime(0, 0, 0));
    edtime->setTime(QTime(23, 59, 59));
    ListView1->Clear();
    StatusBar1->clear();
}

void TSearchForm::EntriesAdded(const TCKEntriesEvent &Event) {
    Document.UpdateOverlapImages(*ListView1, Event.Touched);
}

void TSearchForm::EntriesChanged(const TCKEntriesEvent &Event) {
    if (Event.Entries.size() > TChronarkMan::MaxTouched) {
        RecheckRows();
        return;
    }
    Document.RefreshSearchRows(*ListView1, SearchParams, Event.Entries);
    Document.UpdateOverlapImages(*ListView1, Event.Touched);
    ShowCount();
}

void TSearchForm::ItemsRemoved(const TCKRemovedEvent &Event) {
    ListView1->DeleteRowsOf(Event.Nodes);
    Document.UpdateOverlapImages(*ListView1, Event.Touched);
    ShowCount();
}

void TSearchForm::ItemsMoved(const TCKMovedEvent &) {
    RecheckRows();
}

void TSearchForm::ProjectRenamed(TCKProjectItem *) {
    RecheckRows();
}

void TSearchForm::DocumentReplaced(bool Imported) {
    // An import leaves every entry found where it was.
    if (Imported)
        return;
    ListView1->Clear();
    ShowCount();
}

void TSearchForm::RecheckRows() {
    Document.RefreshSearchList(*ListView1, SearchParams);
    ShowCount();
}

void TSearchForm::ShowCount() {
    StatusBar1->setText(QString::number(ListView1->Count()) + QStringLiteral(" Item(s) gefunden!"));
}

void TSearchForm::SizeColumns() {
    QHeaderView *Header = ListView1->header();
    // The comment, not the path, takes what a wider window gains (from its first show on).
    Header->setStretchLastSection(false);
    const QFontMetrics Metrics(ListView1->font());
    const int Margin =
        2 * (ListView1->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, ListView1) + 1);
    auto Fit = [&](int Column, const QString &Sample) {
        const int Needed = Metrics.horizontalAdvance(Sample) + Margin + 8;
        Header->resizeSection(Column, std::max(Header->sectionSizeHint(Column), Needed));
    };
    const TDateTime Sample = EncodeDateTime(2000, 12, 28, 20, 58, 58);
    Fit(1, WidestDigits(DateTimeText(Sample), Metrics));
    Fit(2, WidestDigits(DateTimeText(Sample), Metrics));
    Fit(3, WidestDigits(DurationClockText(AddSeconds(Sample, 100 * 3600 - 1), Sample), Metrics));
    Header->resizeSection(4, DesignedPathWidth);
    // The rest of the designed width, a vertical scroll bar allowed for.
    int Rest = DesignedSize.width() - 2 * ListView1->frameWidth() -
               ListView1->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ListView1);
    for (int c = 1; c < ColumnCount; ++c)
        Rest -= Header->sectionSize(c);
    Header->resizeSection(0, std::max(MinCommentWidth, Rest));
}

void TSearchForm::RestorePlacement(TRegistry &Registry, const QString &AppName, const QRect &Area,
                                   const QRect &Beside) {
    QRect Bounds(QPoint(0, 0), size());
    Bounds.moveCenter(Beside.center());
    const QRect Limits = PlacementArea(Area);
    if (Limits.isValid() && OpenAppKey(Registry, AppName, PlacementKey, false)) {
        Bounds = ReadStoredBounds(Registry, Bounds, Limits, true);
        int Value = 0;
        // A column wider than the screen is of no use, and the header sums the widths.
        for (int c = 0; c < ColumnCount; ++c)
            if (Registry.ReadInteger(QString::fromLatin1(ColumnWidthNames[c]), Value))
                ListView1->header()->resizeSection(c, std::clamp(Value, 0, Limits.width()));
    }
    Registry.CloseKey();
    const QRect Screen = Area.isValid() ? Area : AvailableAreaFor(Bounds);
    setGeometry(FitIntoArea(Bounds, Screen, FrameMargins(*this)));
}

void TSearchForm::SavePlacement(TRegistry &Registry, const QString &AppName) const {
    if (!OpenAppKey(Registry, AppName, PlacementKey, true))
        return;
    const bool Normal =
        !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
    const QRect Bounds = Normal || !normalGeometry().isValid() ? geometry() : normalGeometry();
    Registry.WriteInteger(QStringLiteral("Left"), Bounds.left());
    Registry.WriteInteger(QStringLiteral("Top"), Bounds.top());
    Registry.WriteInteger(QStringLiteral("Width"), Bounds.width());
    Registry.WriteInteger(QStringLiteral("Height"), Bounds.height());
    // The widths as shown fit the bounds stored; a maximised window's comment column would
    // be too wide for them, so it keeps its width without the gain.
    for (int c = 0; c < ColumnCount; ++c)
        Registry.WriteInteger(QString::fromLatin1(ColumnWidthNames[c]),
                              Normal ? ListView1->header()->sectionSize(c)
                                     : ListView1->StoredWidth(c));
    Registry.CloseKey();
}

void TSearchForm::showEvent(QShowEvent *Event) {
    QWidget::showEvent(Event);
    if (!Shown) {
        // The widths are laid out now; what the window gains later goes to the comments.
        Shown = true;
        ListView1->GiveGrowthTo(0);
    }
}

void TSearchForm::closeEvent(QCloseEvent *Event) {
    if (Host.Closing)
        Host.Closing(*this);
    QWidget::closeEvent(Event);
}

void TSearchForm::keyPressEvent(QKeyEvent *Event) {
    // Reaches here only when no control took the key: an open cell editor cancels itself.
    if (Event->key() == Qt::Key_Escape && Event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(Event);
}

bool TSearchForm::eventFilter(QObject *Watched, QEvent *Event) {
    const bool KeyEvent =
        Event->type() == QEvent::ShortcutOverride || Event->type() == QEvent::KeyPress;
    if (Watched == ListView1 && KeyEvent) {
        const auto *Key = static_cast<QKeyEvent *>(Event);
        const bool Ours = Key->modifiers() == Qt::NoModifier &&
                          (Key->key() == Qt::Key_Delete || Key->key() == Qt::Key_F2);
        // The list, not a shortcut of some window, takes the keys its row menu names.
        if (Ours && Event->type() == QEvent::ShortcutOverride) {
            Event->accept();
            return true;
        }
        if (Ours && ListKeyDown(Key->key()))
            return true;
    }
    return QWidget::eventFilter(Watched, Event);
}

bool TSearchForm::ListKeyDown(int Key) {
    const QList<TEntryRow *> Rows = ListView1->SelectedRows();
    if (ListView1->IsEditing() || Rows.isEmpty())
        return false;
    if (Key == Qt::Key_Delete) {
        if (Host.DeleteRows)
            Host.DeleteRows(*ListView1);
        return true;
    }
    // As the row menu's "Umbenennen": one row at a time.
    if (Rows.size() == 1) {
        ListView1->scrollToItem(Rows.first());
        ListView1->editItem(Rows.first(), 0);
    }
    return true;
}
