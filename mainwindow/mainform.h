#pragma once
// The main window: the program's only top-level window, wiring its collaborators to its views:
// the stopwatch (stopwatch.h), the document's file (docsession.h), the filter panel
// (filterpanel.h), the entry and the project commands (entrycommands.h, projectcommands.h) and
// the views following the document (documentviews.h) and the status line (statusline.h). Its
// own sources: mainform.cpp (creation, layout), mainform_actiontable.cpp and mainform_actions.cpp
// (actions, menus, toolbar), mainform_measure.cpp (banner, tray), mainform_commands.cpp (files,
// start-up, close), mainform_search.cpp, mainform_print.cpp and mainform_undo.cpp.

#include "app/capp.h"
#include "mainwindow/actiontable.h"
#include "base/programversion.h"
#include "model/ckm.h"
#include "ui/imagelist.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QRect>

#include <memory>
#include <span>
#include <string>
#include <vector>

class QLabel;
class QMenu;
class QSplitter;
class TDocumentSession;
class TDocumentViews;
class TEntryCommands;
class TEntryDialogService;
class TEntryList;
class TFileDialogService;
class TFilterPanel;
class TProjectCommands;
class TProjectTree;
class TPromptService;
class TSearchForm;
class TStatusLine;
class TStopwatch;
class TTrayIcon;
class TUndoActions;

struct TMainFormEnv;
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    struct TOptions {
        // Null: message boxes, Qt's file dialogs, the entry edit and split windows.
        TPromptService *Prompts = nullptr;
        TFileDialogService *FileDialogs = nullptr;
        TEntryDialogService *EntryDialogs = nullptr;
        // Empty: the user's own settings; otherwise INI files below this folder.
        QString SettingsFolder;
        // Empty: the folder "export" beside the program; otherwise the profiles' folder.
        QString ExportDir;
        // Invalid: the available area of the window's screen, which the window is fitted into.
        QRect ScreenArea;
    };
    static constexpr const char *VersionText = ProgramVersionText;
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
    void Closed(); // the close was accepted and the program should end

protected:
    void closeEvent(QCloseEvent *Event) override;
    void showEvent(QShowEvent *Event) override;
    void dragEnterEvent(QDragEnterEvent *Event) override;
    void dropEvent(QDropEvent *Event) override;

private:
    friend class TMainFormTestPeer; // read-only: the collaborators and the document

    // The constructor's steps, in this order.
    void BuildActions(); // one per row of the table, triggering the row's handler
    void BuildLayout();
    void BuildMenus();
    void BuildToolBar();
    void BuildPopupMenus();
    void ReadStartOptions(const std::vector<std::string> &Params);
    void BuildCollaborators(); // and their reports connected

    QAction *Action(const char *Name) const; // every declared one exists
    void RebuildRecentMenus();
    int TreePaneWidth() const; // as stored at close
    void SetTreePaneWidth(int Width);

    // Stopwatch, banner and tray.
    void StartWork();
    void StopWork();
    void SetMeasureItems(bool Running);
    void MinimizeClick();
    void Zeitstoppen1Click();

    // Commands of the window itself; the caption follows the file's name and state.
    void UpdateCaption();
    void acFilterExecute();
    void acSearchExecute(); // opens the one search window, or brings it to the front
    void SetSaveState(bool Modified);
    void NewClick();
    void FileSettingsClick();
    void ExportClick();
    void acPrintExecute();
    void FilesDropped(const QStringList &FileNames);
    bool FormCloseQuery(); // false keeps the window open
    void LoadWindowSettings();
    void SaveWindowSettings();

    // Start state; the search window while it is open.
    QString AppName;
    tAppParam CmdLine;
    bool HasFileArgument = false;
    QPointer<TSearchForm> SearchForm1;
    // Panes, views, menus (Qt owns them): the elapsed-time banner and the line below it, ...
    QWidget *Panel2 = nullptr, *Panel3 = nullptr;
    QLabel *Label1 = nullptr;
    QSplitter *Splitter1 = nullptr;
    TProjectTree *TreeView1 = nullptr;
    TFilterPanel *Filter = nullptr;
    TEntryList *ListView1 = nullptr;
    TTrayIcon *TrayIcon1 = nullptr;
    QMenu *TBSubmenuItem10 = nullptr, *TBSubmenuItem13 = nullptr; // start, stop
    // The document, the services and the collaborators, which go first.
    std::unique_ptr<TChronarkMan> Document;
    std::unique_ptr<TMainFormEnv> Env;
    std::unique_ptr<TUndoActions> UndoActions;
    TImageList ImageList1;
    std::unique_ptr<TDocumentSession> Session;
    std::unique_ptr<TStopwatch> Watch;
    std::unique_ptr<TStatusLine> Status;
    std::unique_ptr<TEntryCommands> Entries;
    std::unique_ptr<TProjectCommands> Projects;
    std::unique_ptr<TDocumentViews> Views;
    QHash<QString, QAction *> ActionsByName;
    int RequestedTreeWidth = 185;
    bool Started = false, ClosedDown = false, FirstShowDone = false;
};
