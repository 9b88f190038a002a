#pragma once
// The date and time-of-day pickers of the entry windows: a date picker with German weekday
// names whatever the system's language, and a time picker with seconds in the regional format.

#include "base/cstring.h"

class QDateEdit;
class QTimeEdit;
class QWidget;

QDateEdit *NewDatePicker(QWidget *Parent);
QTimeEdit *NewTimePicker(QWidget *Parent);
void SetPickers(QDateEdit *Date, QTimeEdit *Time, TDateTime T);
// The picked calendar date combined with the picked time of day, whole seconds.
TDateTime PickedDateTime(const QDateEdit *Date, const QTimeEdit *Time);
