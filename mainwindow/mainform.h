#pragma once
// The main window: the program's only top-level window. It wires its collaborators, the
// stopwatch (stopwatch.h) and the document's file (docsession.h), to its views. Its sources
// follow its concerns: mainform.cpp (creation and layout), mainform_actiontable.cpp (the
// declared actions), mainform_actions.cpp (menus, toolbar), mainform_views.cpp (tree, list,
// status bar), mainform_follow.cpp (the views following the document's events),
// mainform_measure.cpp (stopwatch banner and tray), mainform_commands.cpp (file commands,
// start-up, close, settings), mainform_entries.cpp (filter panel, row menu and the entry
// commands), mainform_search.cpp (the search window).

#include "app/capp.h"
#include "app/doclock.h"
#include "base/dates.h"
#include "mainwindow/actiontable.h"
#include "base/messages.h"
#include "ui/imagelist.h"
#include "model/ckm.h"

#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QHash>
#include <QString>

#include <memory>
#include <span>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QCheckBox;
class QDateEdit;
class QLineEdit;
class QTimeEdit;
class QLabel;
class QMenu;
class QMimeData;
class QSplitter;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TEntryDialogService;
class TEntryList;
class TFileDialogService;
class TProjectTree;
class TPromptService;
class TDocumentSession;
class TRecentFiles;
class TRegistry;
class TSearchForm;
class TStopwatch;
class TTrayIcon;
class TUndoActions;

class TMainForm : public QMainWindow, private TCKDocumentListener {
    Q_OBJECT
public:
    struct TOptions {
        // Null: message boxes and Qt's file dialogs over this window.
        TPromptService *Prompts = nullptr;
        TFileDialogService *FileDialogs = nullptr;
        // Null: the entry edit and split windows.
        TEntryDialogService *EntryDialogs = nullptr;
        // Empty: the user's own settings; otherwise INI files below this folder.
        QString SettingsFolder;
        // Empty: the folder "export" beside the program; otherwise the profiles' folder.
        QString ExportDir;
        // Invalid: the available area of the window's screen, which the window is fitted into.
        QRect ScreenArea;
    };

    static constexpr char VersionText[] = "1.3 Beta 2";
    // The designed width of the first status-bar panel; a longer text widens it.
    static constexpr int StatusPanelWidth = 200;

    // Creates the window (parses Params, the program's parameters without its name, loads
    // the maker libraries, creates the document and reads the stored option and files).
    explicit TMainForm(const std::vector<std::string> &Params, const TOptions &Options,
                       QWidget *Parent = nullptr);
    explicit TMainForm(const std::vector<std::string> &Params = {});
    ~TMainForm() override;

    // Restores the placement, opens the start document, honours --start and --silent and
    // shows the window (or hides it in the tray).
    void Start();

    // The actions as the window declares them: the commands, then the stopwatch's items.
    static std::span<const TActionDecl> DeclaredActions();

signals:
    // The close was accepted and the program should end.
    void Closed();

protected:
    void closeEvent(QCloseEvent *Event) override;
    void showEvent(QShowEvent *Event) override;
    void dragEnterEvent(QDragEnterEvent *Event) override;
    void dropEvent(QDropEvent *Event) override;
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    // The tests drive the window through its handlers and read its state.
    friend class TMainFormTestPeer;

    // --- construction: the constructor's three steps, in this order --------------------
    // Prompts, file dialogs, the settings registry and the document's message routing.
    void InstallServices(const TOptions &Options);
    // Actions, layout, menus, button bar, popup menus and the handlers between them.
    void BuildWindow();
    // Command line, maker libraries, document, icons, application name, the stored
    // "open last file" option, the start file and the recent files.
    void ReadStartOptions(const std::vector<std::string> &Params);
    void BuildLayout();
    // One action per row of the table, triggering the row's handler.
    void BuildActions();
    void BuildMenus();
    void BuildToolBar();
    void BuildPopupMenus();
    // The tree's and the list's signals, drops and keys.
    void ConnectViews();
    // The document session's and the stopwatch's reports (they exist from ReadStartOptions).
    void ConnectCollaborators();

    // --- services the handlers share ----------------------------------------------------
    TChronarkMan &Doc() const { return *Document; }
    const TImageList &Images() const { return ImageList1; }
    TPromptService &Prompts() const { return *FPrompts; }
    TRecentFiles &RecentFiles() const;
    TTrayIcon &Tray() const { return *TrayIcon1; }
    // The tree pane's width as stored at close.
    int TreePaneWidth() const;
    void SetTreePaneWidth(int Width);

    // --- window state: command line, shown project and rows ----------------------------
    QString AppName;
    QString ApplicationTitle;
    tAppParam CmdLine;
    bool HasFileArgument = false;
    bool StartHidden = false;
    TCKProjectItem *CurrentProject = nullptr;
    QTreeWidgetItem *SelectedEntry = nullptr;
    QTreeWidgetItem *ProjectNode = nullptr;
    TCKList CutList;
    // The list the row menu was opened on and its first selected row then; a removed row
    // clears PopupItem, a destroyed list PopupList.
    QPointer<TEntryList> PopupList;
    const QObject *PopupListObject = nullptr; // PopupList's identity, for its model's signals
    QTreeWidgetItem *PopupItem = nullptr;
    // The one search window while it is open; closing it deletes it.
    QPointer<TSearchForm> SearchForm1;

    // --- components: panes, views, status bar, tray (Qt owns them) ----------------------
    QWidget *Panel2 = nullptr; // elapsed-time banner
    QLabel *Label1 = nullptr;
    QWidget *Panel3 = nullptr;
    QSplitter *Splitter1 = nullptr;
    QWidget *Panel4 = nullptr; // tree pane
    QLabel *Panel5 = nullptr;
    TProjectTree *TreeView1 = nullptr;
    QWidget *Panel7 = nullptr; // list pane
    QWidget *Panel8 = nullptr; // filter panel, hidden
    QLabel *Panel9 = nullptr;  // its header
    QWidget *SpeedButton1 = nullptr;
    QCheckBox *CheckBox1 = nullptr;
    QDateEdit *sddate = nullptr;
    QTimeEdit *sdtime = nullptr;
    QCheckBox *CheckBox2 = nullptr;
    QDateEdit *eddate = nullptr;
    QTimeEdit *edtime = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *Edit1 = nullptr;
    TEntryList *ListView1 = nullptr;
    QLabel *StatusPanel0 = nullptr;
    QLabel *StatusPanel1 = nullptr;
    QLabel *StatusPanel2 = nullptr;
    TTrayIcon *TrayIcon1 = nullptr;
    QToolBar *ButtonBar = nullptr;

    // --- the menus the handlers fill or enable ------------------------------------------
    QMenu *MenuRecent = nullptr;
    QMenu *OpenDropDown = nullptr;
    QMenu *TBSubmenuItem4 = nullptr;  // "Projekt"
    QMenu *TBSubmenuItem10 = nullptr; // "Messung" -> "Messung starten"
    QMenu *TBSubmenuItem13 = nullptr; // "Messung" -> "Messung stoppen"
    QMenu *rubrprop = nullptr;        // tree menu
    QMenu *PropPopupMenu = nullptr;   // row menu of the entry list
    QMenu *PopupMenu1 = nullptr;      // tray menu

    // The action of that object name; every one the table declares exists.
    QAction *Action(const char *Name) const;
    // The commands (not the stopwatch's own items), in declaration order.
    QList<QAction *> Actions() const { return AllActions; }
    static void EnableCommand(QAction *Action, bool Enabled);
    void RebuildRecentMenus();

    // --- measurement handlers: stopwatch, banner, tray ----------------------------------
    void StartWork();
    void StopWork();
    void ShowElapsed();
    void SetMeasureItems(bool Running);
    void MinimizeClick();
    void Zeitstoppen1Click();

    // --- tree and list: filling the views, following the document, and their handlers ---
    // The shown project's rows afresh.
    void FillEntryList();
    // The row at Index shows its item anew and moves to its place, or leaves when filtered out.
    void RefreshRow(int Index);
    // After the rows changed: the marks of Touched (null: of every row), the commands that
    // follow the selection, the totals and the caption.
    void FinishListChange(const TCKTouched *Touched);
    // The document tells, the views follow (mainform_follow.cpp). The commands below only
    // ask the document; how each change shows is decided here.
    void EntriesAdded(const TCKEntriesEvent &Event) override;
    void EntriesChanged(const TCKEntriesEvent &Event) override;
    void ItemsRemoved(const TCKRemovedEvent &Event) override;
    void ItemsMoved(const TCKMovedEvent &Event) override;
    void ProjectAdded(TCKProjectItem *Project) override;
    void ProjectRenamed(TCKProjectItem *Project) override;
    void DocumentReplaced(bool Imported) override;
    void DefaultProjectChanged() override;
    // The tree nodes of removed projects go; the shown project falls back to the root when it
    // was among them (answers whether it was).
    bool DropRemovedNodes(const TCKRemovedEvent &Event);
    void UpdateStatusBar();
    // The status bar names the file an export or a printed PDF was written to.
    void ShowWrittenFile(const QString &What, const QString &FileName);
    void UpdateCaption();
    QTreeWidgetItem *FindProjectNode(const TCKProjectItem *Project) const;
    void TreeView1Change();
    void TreeView1Edited(QTreeWidgetItem *Node, const QString &Text);
    bool TreeView1KeyDown(int Key);
    bool TreeView1DragOver(QObject *Source, QTreeWidgetItem *Target) const;
    void TreeView1DragDrop(QObject *Source, QTreeWidgetItem *Target);
    void ListView1SelectItem();
    void ListView1Edited(QTreeWidgetItem *Row, const QString &Text);
    bool ListView1KeyDown(int Key);
    void ListView1DblClick();
    void rubrpropPopup();
    void TBSubmenuItem4Select();
    void NewProjectClick();
    void renProjectClick();
    void DelProjectClick();
    void DefaultMeasureClick();
    // Marks the node of the project measurements go to.
    void ShowDefaultProject();
    void acCutExecute();
    void acPasteExecute();
    void renTimeClick();
    // Refills list and tree after the document changed as a whole; ToRoot shows the root.
    void RebuildViews(bool ToRoot);
    // The items of the rows; Selected only those selected, in list order.
    TCKList ListItems(QObject *Source, bool SelectedOnly) const;
    // Typed text the document cannot store as it is: the user is told why, true. A caption
    // also refuses quotes and angle brackets.
    bool RefuseUnstorable(const QString &Text);
    // Asked before a project goes with its entries, from the tree or from a row.
    static const QString ProjectDeleteQuestion;
    bool RefuseCaption(const QString &Text);

    // --- filter panel, row menu and entry commands --------------------------------------
    void BuildFilterPanel(QWidget *Parent);
    void acFilterExecute();
    void CheckBox1Click();
    void CheckBox2Click();
    // Sender: the control whose change ran it; only the four pickers correct the bounds.
    void SetFilter(QObject *Sender);
    // Opens the row menu over List (the main list or a search result list) at GlobalPos;
    // WithNewTime shows "Neue Zeit...", which only the main list offers.
    void ShowRowMenu(TEntryList *List, const QPoint &GlobalPos, bool WithNewTime);
    void ListView1ContextPopup(const QPoint &Pos);
    // Lets PopupItem go when its row leaves List.
    void WatchRows(TEntryList *List);
    void PropPopupMenuPopup();
    void NewTimeClick();
    void EditTimeClick();
    void DelTimeClick();
    void acSplitExecute();
    void acMeltExecute();
    void acNewTimePopupExecute();
    void acEditTimePopupExecute();
    void acRenTimePopupExecute();
    void acDelTimePopupExecute();
    void acSplitPopupExecute();
    void acMeltPopupExecute();
    void acNewProjectLVExecute();
    // The shared bodies; List is the list the command acts on.
    void EditEntryRow(TEntryList &List, QTreeWidgetItem *Row);
    void DeleteSelectedRows(TEntryList &List);
    void SplitFirstSelected(TEntryList &List);
    void MeltSelected(TEntryList &List);
    // The entry of Row when Row is still a row of List and its entry still in the document.
    TCKTimeItem *LiveEntry(const TEntryList &List, const QTreeWidgetItem *Row) const;

    // --- the search window ----------------------------------------------------------------
    // Creates the search window unless it is open, and brings it to the front. It follows the
    // document's events itself.
    void acSearchExecute();
    // The in-place edit of a comment in the search results.
    void SearchRowEdited(TEntryList &List, QTreeWidgetItem *Row, const QString &Text);

    // --- file commands and lifecycle ----------------------------------------------------
    void SetSaveState(bool Modified);
    void NewClick();
    // "Dokumenteinstellungen": default project and field definitions.
    void FileSettingsClick();
    // "Exportieren...": the profiles of ExportDir over the current document.
    void ExportClick();
    // "Drucken...": the print dialog, then the report on the printer or in a PDF file.
    void acPrintExecute();
    void FilesDropped(const QStringList &FileNames);
    bool MimeHasLocalFile(const QMimeData *Data) const;
    // The close handling; false keeps the window open.
    bool FormCloseQuery();

    // --- stored settings: placement, column widths -------------------------------------
    void LoadWindowSettings();
    void SaveWindowSettings();

    // --- owned services and the document ------------------------------------------------
    std::unique_ptr<TChronarkMan> Document;
    // After the document, so that it goes first.
    std::unique_ptr<TUndoActions> UndoActions;
    std::unique_ptr<TRegistry> Registry;
    std::unique_ptr<TPromptService> OwnPrompts;
    std::unique_ptr<TFileDialogService> OwnFileDialogs;
    std::unique_ptr<TEntryDialogService> OwnEntryDialogs;
    TPromptService *FPrompts = nullptr;
    TFileDialogService *FFileDialogs = nullptr;
    TEntryDialogService *FEntryDialogs = nullptr;
    // The export profiles' folder (ending with a separator) and the file type the export's
    // save dialog used last in this session.
    QString ExportDir;
    std::string LastExportFileType;
    TImageList ImageList1;
    // After the document and the registry, so that they go first.
    std::unique_ptr<TDocumentSession> Session;
    std::unique_ptr<TStopwatch> Watch;
    QList<QAction *> AllActions;
    QHash<QString, QAction *> ActionsByName;
    QRect ScreenArea;
    QToolButton *OpenButton = nullptr;

    // --- the tree pane's wanted width, and how far start-up and close-down are ---------
    int RequestedTreeWidth = 185;
    bool Started = false;
    bool InTreeChange = false;
    bool ClosedDown = false;
    bool FirstShowDone = false;
};
