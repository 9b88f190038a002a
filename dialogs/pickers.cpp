#include "dialogs/pickers.h"

#include "app/qtext.h"
#include "base/dates.h"
#include "base/formatsettings.h"

#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>

template <class TEdit> bool TSectionPicker<TEdit>::eventFilter(QObject *Watched, QEvent *Event) {
    // A plain click only: a drag keeps the text it selected, a double click its word.
    if (Watched == this->lineEdit() && Event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(Event)->button() == Qt::LeftButton &&
        !this->lineEdit()->hasSelectedText())
        SelectSection(this->currentSectionIndex());
    return TEdit::eventFilter(Watched, Event);
}

template <class TEdit> void TSectionPicker<TEdit>::SelectSection(int Index) {
    if (Index < 0 || Index >= this->sectionCount())
        return;
    if (this->sectionCount() == 1) {
        this->lineEdit()->selectAll();
        return;
    }
    // Tab and Shift+Tab select a part by its index; step onto Index from a neighbour.
    const bool Forward = Index > 0;
    this->setCurrentSectionIndex(Forward ? Index - 1 : Index + 1);
    this->focusNextPrevChild(Forward);
}

template class TSectionPicker<QDateEdit>;
template class TSectionPicker<QTimeEdit>;

QString QtDisplayFormat(const std::string &Format) {
    QString Result;
    for (const QChar C : ToQ(Format)) {
        if ((C >= u'a' && C <= u'z') || (C >= u'A' && C <= u'Z'))
            Result += C;
        else if (C == u'\'')
            Result += QStringLiteral("''");
        else
            Result += QLatin1Char('\'') + C + QLatin1Char('\'');
    }
    return Result;
}

TDatePicker::TDatePicker(QWidget *Parent) : TSectionPicker<QDateEdit>(Parent) {
    // The weekday's name is German; the program speaks German on every system.
    setLocale(QLocale(QLocale::German, QLocale::Germany));
    const QString Format =
        QStringLiteral("ddd, ") + QtDisplayFormat(FormatSettings().ShortDateFormat);
    setDisplayFormat(Format);
    setCalendarPopup(true);
    setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
    // Qt sizes the box for digits only; the weekday and its dot would be cut off.
    int Widest = 0;
    for (int Day = 25; Day <= 31; ++Day)
        Widest = std::max(Widest, fontMetrics().horizontalAdvance(
                                      locale().toString(QDate(2000, 12, Day), Format)));
    setMinimumWidth(Widest + sizeHint().height() * 2);
}

TTimePicker::TTimePicker(QWidget *Parent) : TSectionPicker<QTimeEdit>(Parent) {
    QString Format = QtDisplayFormat(FormatSettings().LongTimeFormat);
    // The entry is kept to the second, so the picker must show seconds in any regional format.
    if (!Format.contains(QLatin1Char('s')))
        Format = QStringLiteral("HH:mm:ss");
    setDisplayFormat(Format);
}

TDatePicker *NewDatePicker(QWidget *Parent) {
    return new TDatePicker(Parent);
}

TTimePicker *NewTimePicker(QWidget *Parent) {
    return new TTimePicker(Parent);
}

void SetPickers(QDateEdit *Date, QTimeEdit *Time, TDateTime T) {
    int Year, Month, Day, Hour, Minute, Second, MilliSecond;
    DecodeDateTime(T, Year, Month, Day, Hour, Minute, Second, MilliSecond);
    Date->setDate(QDate(Year, Month, Day));
    Time->setTime(QTime(Hour, Minute, Second));
}

TDateTime PickedDateTime(const QDateEdit *Date, const QTimeEdit *Time) {
    const QDate D = Date->date();
    const QTime T = Time->time();
    TDateTime Result = 0;
    // The pickers' ranges keep both parts valid.
    TryEncodeDateTime(D.year(), D.month(), D.day(), T.hour(), T.minute(), T.second(), 0, Result);
    return Result;
}
