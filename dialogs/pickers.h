#pragma once
// The date and time-of-day pickers of every window: the regional short date after a German
// weekday name whatever the system's language, and the regional time with seconds. A click
// into a part of the date or time selects that part, so the digits typed next replace it.

#include "base/dates.h"

#include <QDateEdit>
#include <QTimeEdit>

class QEvent;
class QObject;

// A date or time edit whose parts a click selects. Qt's edit leaves the cursor where it was
// clicked, and a digit inserted into a full part makes the text invalid, so it is dropped.
// The part is chosen by its index: Qt names the weekday and the day alike (DaySection), so a
// choice by that name would land on the weekday, where digits mean nothing.
template <class TEdit> class TSectionPicker : public TEdit {
public:
    explicit TSectionPicker(QWidget *Parent) : TEdit(Parent) {
        this->lineEdit()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    void SelectSection(int Index);
};

class TDatePicker : public TSectionPicker<QDateEdit> {
public:
    explicit TDatePicker(QWidget *Parent);
};

class TTimePicker : public TSectionPicker<QTimeEdit> {
public:
    explicit TTimePicker(QWidget *Parent);
};

TDatePicker *NewDatePicker(QWidget *Parent);
TTimePicker *NewTimePicker(QWidget *Parent);
// A format of TFormatSettings as a Qt display format: its separators quoted as literal text.
QString QtDisplayFormat(const std::string &Format);
void SetPickers(QDateEdit *Date, QTimeEdit *Time, TDateTime T);
// The picked calendar date combined with the picked time of day, whole seconds.
TDateTime PickedDateTime(const QDateEdit *Date, const QTimeEdit *Time);
