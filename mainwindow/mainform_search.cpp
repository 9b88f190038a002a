// The search window: the main window creates at most one and hands it the row commands; the
// window follows the document's changes itself.

#include "dialogs/entrylist.h"
#include "dialogs/u_searchform.h"
#include "mainwindow/mainform.h"
#include "ui/prompts.h"
#include "ui/refusededit.h"
#include "app/qtext.h"
#include "app/registry.h"
#include "model/ckm.h"

void TMainForm::acSearchExecute() {
    if (!SearchForm1) {
        TSearchForm::THost Host;
        Host.RowMenu = [this](TEntryList &List, const QPoint &GlobalPos) {
            ShowRowMenu(&List, GlobalPos, false);
        };
        Host.EditRow = [this](TEntryList &List, QTreeWidgetItem *Row) { EditEntryRow(List, Row); };
        Host.CommentEdited = [this](TEntryList &List, QTreeWidgetItem *Row, const QString &Text) {
            SearchRowEdited(List, Row, Text);
        };
        Host.DeleteRows = [this](TEntryList &List) { DeleteSelectedRows(List); };
        Host.Closing = [this](const TSearchForm &Form) { Form.SavePlacement(*Registry, AppName); };
        SearchForm1 = new TSearchForm(Doc(), Images(), Prompts(), std::move(Host), this);
        TSearchForm *Form = SearchForm1;
        // Its own place, or over this window: not wherever the desktop puts a new window.
        Form->RestorePlacement(*Registry, AppName, ScreenArea, geometry());
    }
    SearchForm1->show();
    SearchForm1->raise();
    SearchForm1->activateWindow();
}

void TMainForm::SearchRowEdited(TEntryList &List, QTreeWidgetItem *Row, const QString &Text) {
    TCKTimeItem *Entry = LiveEntry(List, Row);
    if (!Entry)
        return;
    {
        // The refusal belongs to the search window the text was typed in.
        const TPromptOwnerScope Owner(Prompts(), List.window());
        // The row keeps the comment the entry has: the list writes no text of its own.
        if (TRefusedEdit::Refused(List, List.indexFromItem(Row), Text, ToQ(Entry->Comment),
                                  [&] { return RefuseUnstorable(Text); }))
            return;
    }
    // As an edit in the main list: the document is modified, and both lists show the comment.
    tCKEditItem Data = Entry->GetData();
    Data.Comment = FromQ(Text);
    Doc().SetEntryData(Entry, Data);
}
