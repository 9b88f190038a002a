// The search window: the main window creates at most one and hands it the entry commands; the
// window follows the document's changes itself.

#include "dialogs/entrylist.h"
#include "dialogs/u_searchform.h"
#include "mainwindow/entrycommands.h"
#include "mainwindow/mainform.h"
#include "mainwindow/mainform_env.h"

void TMainForm::acSearchExecute() {
    if (!SearchForm1) {
        TSearchForm::THost Host;
        Host.RowMenu = [this](TEntryList &List, const QPoint &GlobalPos) {
            Entries->ShowRowMenu(List, GlobalPos, false);
        };
        Host.EditRow = [this](TEntryList &List, QTreeWidgetItem *Row) {
            Entries->EditRow(List, Row);
        };
        Host.CommentEdited = [this](TEntryList &List, QTreeWidgetItem *Row, const QString &Text) {
            Entries->CommentEdited(List, Row, Text);
        };
        Host.DeleteRows = [this](TEntryList &List) { Entries->DeleteRows(List); };
        Host.Closing = [this](const TSearchForm &Form) {
            Form.SavePlacement(*Env->Registry, AppName);
        };
        SearchForm1 = new TSearchForm(*Document, ImageList1, Env->Prompts, std::move(Host), this);
        TSearchForm *Form = SearchForm1;
        // Its own place, or over this window: not wherever the desktop puts a new window.
        Form->RestorePlacement(*Env->Registry, AppName, Env->ScreenArea, geometry());
    }
    SearchForm1->show();
    SearchForm1->raise();
    SearchForm1->activateWindow();
}
