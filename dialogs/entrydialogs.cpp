#include "dialogs/entrydialogs.h"

#include "dialogs/edtform.h"

bool TQtEntryDialogs::EditEntry(QWidget *Owner, const tFieldDefList &FieldDefs, tCKEditItem &Data) {
    return EditEntryDialog(Owner, Prompts, FieldDefs, Data);
}

bool TQtEntryDialogs::NewEntry(QWidget *Owner, const tFieldDefList &FieldDefs, tCKEditItem &Data) {
    return NewEntryDialog(Owner, Prompts, FieldDefs, Data);
}

// Until the split dialog exists every split is cancelled.
bool TQtEntryDialogs::Split(QWidget *, const TCKTimeItem &, TDateTime &) {
    return false;
}
