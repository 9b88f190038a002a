#include "dialogs/entrydialogs.h"

// Placeholder while the forms are being written: every dialog answers "cancelled".
bool TQtEntryDialogs::EditEntry(QWidget *, const tFieldDefList &, tCKEditItem &) {
    return false;
}

bool TQtEntryDialogs::NewEntry(QWidget *, const tFieldDefList &, tCKEditItem &) {
    return false;
}

bool TQtEntryDialogs::Split(QWidget *, const TCKTimeItem &, TDateTime &) {
    return false;
}
