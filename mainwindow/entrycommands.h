#pragma once
// The entry list's side of the main window: the selection-driven commands, the row menu (over
// the main list or a search result list), cut and paste, the list's keys, double click and
// in-place edits. Every change goes through the document's commands; the views follow the
// document's events.

#include "model/ckm.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QAction;
class QMenu;
class QPoint;
class QTreeWidgetItem;
class TEntryDialogService;
class TEntryList;
class TProjectTree;
class TPromptService;

// The window's action of that object name; every name asked for exists.
using TActionLookup = std::function<QAction *(const char *Name)>;

class TEntryCommands : public QObject {
    Q_OBJECT
public:
    struct THost {
        // The project the main list shows.
        std::function<TCKProjectItem *()> ShownProject;
        // An edit left Entry as it was: its row of the main list and the sums show it again.
        std::function<void(const TCKTimeItem *Entry)> ShowEntryAgain;
    };

    // Everything passed must outlive this object, which goes before the lists do; RowMenu is
    // the row menu holding the popup actions.
    TEntryCommands(TChronarkMan &ADocument, TPromptService &APrompts, TEntryDialogService &ADialogs,
                   TEntryList &AList, TProjectTree &ATree, QMenu &ARowMenu, TActionLookup AActions,
                   THost AHost);

    // The main list's commands (menu, button bar, keys) on its selection.
    void NewEntry();
    void EditSelected();
    void RenameSelected();
    void DeleteSelected();
    void SplitSelected();
    void MergeSelected();
    // A new sub-project of the shown project, its row opened for its caption.
    void NewSubProject();
    void Cut();
    // The cut items move to the shown project.
    void Paste();

    // The row menu's commands on the list and the row it was opened on.
    void EditPopupRow();
    void RenamePopupRow();
    void DeletePopupRows();
    void SplitPopupRow();
    void MergePopupRows();

    // Opens the row menu over List at GlobalPos; WithNewTime shows "Neue Zeit...", which only
    // the main list offers.
    void ShowRowMenu(TEntryList &List, const QPoint &GlobalPos, bool WithNewTime);
    // The shared bodies; List is the list the command acts on (a search result list too).
    void EditRow(TEntryList &List, QTreeWidgetItem *Row);
    void DeleteRows(TEntryList &List);
    // The in-place edit of a comment in a search result list.
    void CommentEdited(TEntryList &List, QTreeWidgetItem *Row, const QString &Text);

    // The commands that follow the main list's selection; after its rows changed too.
    void SelectionChanged();
    // Removed items leave the cut list; Replaced: the whole document went.
    void ForgetRemoved(const TCKRemovedEvent &Event);
    void ForgetAll();

    // The items of Source's rows (a list view); SelectedOnly: only those selected, in order.
    static TCKList RowItems(const QObject *Source, bool SelectedOnly);

    // The state the commands act on.
    QTreeWidgetItem *SelectedRow() const { return SelectedEntry; }
    const TCKList &CutItems() const { return CutList; }
    TEntryList *PopupList() const;
    QTreeWidgetItem *PopupRow() const { return MenuRow; }

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    bool KeyDown(int Key);
    void DoubleClicked();
    void RowEdited(QTreeWidgetItem *Row, const QString &Text);
    void RowMenuAboutToShow();
    // Lets the menu's row go when it leaves List.
    void WatchRows(TEntryList &List);
    void SplitFirstSelected(TEntryList &List);
    void MergeRows(TEntryList &List);
    // The entry of Row when Row is still a row of List and its entry still in the document.
    TCKTimeItem *LiveEntry(const TEntryList &List, const QTreeWidgetItem *Row) const;

    TChronarkMan &Doc;
    TPromptService &Prompts;
    TEntryDialogService &Dialogs;
    TEntryList &List;
    TProjectTree &Tree;
    QMenu &RowMenu;
    const TActionLookup Action;
    const THost Host;
    QTreeWidgetItem *SelectedEntry = nullptr;
    TCKList CutList;
    // The list the row menu was opened on and its first selected row then; a removed row
    // clears MenuRow, a destroyed list MenuList.
    QPointer<TEntryList> MenuList;
    const QObject *MenuListObject = nullptr; // MenuList's identity, for its model's signals
    QTreeWidgetItem *MenuRow = nullptr;
};
