#include "dialogs/pickers.h"

#include "app/qtext.h"

#include <QDateEdit>
#include <QLocale>
#include <QTimeEdit>

QDateEdit *NewDatePicker(QWidget *Parent) {
    auto *Picker = new QDateEdit(Parent);
    // The format names the weekday; the program speaks German on every system.
    Picker->setLocale(QLocale(QLocale::German, QLocale::Germany));
    Picker->setDisplayFormat(QStringLiteral("ddd, dd.MM.yyyy"));
    Picker->setCalendarPopup(true);
    Picker->setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
    // Qt sizes the box for digits only; the weekday and its dot would be cut off.
    Picker->setMinimumWidth(
        Picker->fontMetrics().horizontalAdvance(QStringLiteral("Mo., 00.00.0000")) +
        Picker->sizeHint().height() * 2);
    return Picker;
}

QTimeEdit *NewTimePicker(QWidget *Parent) {
    auto *Picker = new QTimeEdit(Parent);
    QString Format = ToQ(FormatSettings().LongTimeFormat);
    // The entry is kept to the second, so the picker must show seconds in any regional format.
    if (!Format.contains(QLatin1Char('s')))
        Format = QStringLiteral("HH:mm:ss");
    Picker->setDisplayFormat(Format);
    return Picker;
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
