#include "dialogs/entrydialogs.h"

#include "base/dates.h"
#include "dialogs/edtform.h"
#include "dialogs/f_splitform.h"

bool TQtEntryDialogs::EditEntry(QWidget *Owner, const tFieldDefList &FieldDefs, tCKEditItem &Data) {
    return EditEntryDialog(Owner, Prompts, FieldDefs, Data);
}

bool TQtEntryDialogs::NewEntry(QWidget *Owner, const tFieldDefList &FieldDefs, tCKEditItem &Data) {
    return NewEntryDialog(Owner, Prompts, FieldDefs, Data);
}

bool TQtEntryDialogs::Split(QWidget *Owner, const TCKTimeItem &Entry, TDateTime &SplitTime) {
    return SplitDialog(Owner, Prompts, Entry, SplitTime);
}
