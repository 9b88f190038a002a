#include "mainwindow/filterpanel.h"

#include "app/qtext.h"
#include "base/clock.h"
#include "base/cstring.h"
#include "base/dates.h"
#include "dialogs/pickers.h"
#include "model/ckm.h"
#include "ui/prompts.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>

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

TFilterPanel::TFilterPanel(TChronarkMan &ADocument, TPromptService &APrompts, QWidget *Parent)
    : QFrame(Parent), Doc(ADocument), Prompts(APrompts) {
    setObjectName(QStringLiteral("Panel8"));
    setFixedHeight(105);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    auto *Column = new QVBoxLayout(this);
    Column->setContentsMargins(1, 1, 1, 1);
    Column->setSpacing(4);

    auto *Panel9 = new QLabel(QStringLiteral(" Filter"), this);
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
    Column->addWidget(Panel9);

    auto *Grid = new QGridLayout;
    Grid->setContentsMargins(6, 0, 6, 4);
    auto MakeBound = [&](QCheckBox *&Box, QDateEdit *&Date, QTimeEdit *&Time, const char *Text,
                         const char *BoxName, const char *DateName, const char *TimeName, int Row) {
        Box = new QCheckBox(QString::fromUtf8(Text), this);
        Box->setObjectName(QString::fromLatin1(BoxName));
        // The text stands left of the box.
        Box->setLayoutDirection(Qt::RightToLeft);
        Date = NewDatePicker(this);
        Date->setObjectName(QString::fromLatin1(DateName));
        Date->setEnabled(false);
        Time = NewTimePicker(this);
        Time->setObjectName(QString::fromLatin1(TimeName));
        Time->setEnabled(false);
        Grid->addWidget(Box, Row, 0);
        Grid->addWidget(Date, Row, 1);
        Grid->addWidget(Time, Row, 2);
    };
    MakeBound(CheckBox1, sddate, sdtime, "von", "CheckBox1", "sddate", "sdtime", 0);
    MakeBound(CheckBox2, eddate, edtime, "bis", "CheckBox2", "eddate", "edtime", 1);
    auto *Label4 = new QLabel(QStringLiteral("Stichworte:"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Grid->addWidget(Label4, 2, 0);
    Grid->addWidget(Edit1, 2, 1, 1, 3);
    Grid->setColumnStretch(3, 1);
    Column->addLayout(Grid);
    Column->addStretch(1);
    hide();

    connect(Close, &QToolButton::clicked, this, &TFilterPanel::CloseClicked);
    connect(CheckBox1, &QCheckBox::toggled, this,
            [this] { BoundToggled(CheckBox1, sddate, sdtime); });
    connect(CheckBox2, &QCheckBox::toggled, this,
            [this] { BoundToggled(CheckBox2, eddate, edtime); });
    connect(Edit1, &QLineEdit::textChanged, this, [this] { Apply(Edit1); });
    for (QDateEdit *Date : {sddate, eddate})
        connect(Date, &QDateEdit::dateChanged, this, [this, Date] { Apply(Date); });
    for (QTimeEdit *Time : {sdtime, edtime})
        connect(Time, &QTimeEdit::timeChanged, this, [this, Time] { Apply(Time); });
}

void TFilterPanel::SetOpen(bool Open) {
    if (Open) {
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
        Doc.SetFilter(Doc.Filter, true, TChronarkMan::TFilterBound::None);
        Apply(Edit1);
    } else {
        // Every row and the true totals come back at once.
        Doc.SetFilter(Doc.Filter, false, TChronarkMan::TFilterBound::None);
        emit Changed();
    }
    setVisible(Open);
}

void TFilterPanel::BoundToggled(QCheckBox *Box, QDateEdit *Date, QTimeEdit *Time) {
    const bool On = Box->isChecked();
    Date->setEnabled(On);
    Time->setEnabled(On);
    Apply(Box);
}

void TFilterPanel::Apply(const QObject *Sender) {
    using TBound = TChronarkMan::TFilterBound;
    tFilterItem Criteria;
    Criteria.UseFromDate = CheckBox1->isChecked();
    Criteria.UseToDate = CheckBox2->isChecked();
    Criteria.FromDate = PickedDateTime(sddate, sdtime);
    Criteria.ToDate = PickedDateTime(eddate, edtime);
    SplitToArray(FromQ(Edit1->text()), ' ', Criteria.Keywords);
    RemoveBlank(Criteria.Keywords);
    const TBound Bound = Sender == sddate || Sender == sdtime   ? TBound::From
                         : Sender == eddate || Sender == edtime ? TBound::To
                                                                : TBound::None;
    if (Doc.SetFilter(Criteria, Doc.FilterActive, Bound)) {
        Prompts.ShowMessage(BoundsText);
        if (Bound == TBound::From)
            ShowDateTime(sddate, sdtime, Doc.Filter.FromDate);
        else
            ShowDateTime(eddate, edtime, Doc.Filter.ToDate);
    }
    emit Changed();
}
