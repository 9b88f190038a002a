#pragma once
// The main window's private parts as the tests and the benchmark reach them: references under
// the window's own names, and handlers called as the window's actions and events call them.
// It only looks: the window stays owned by whoever created it and must outlive the peer.

#include "dialogs/entrylist.h"
#include "dialogs/u_searchform.h"
#include "mainwindow/mainform.h"

class TMainFormTestPeer {
    // First: the references below are bound from it.
    TMainForm &Form;

public:
    explicit TMainFormTestPeer(TMainForm &Form) : Form(Form) {}
    TMainFormTestPeer(const TMainFormTestPeer &) = delete;
    TMainFormTestPeer &operator=(const TMainFormTestPeer &) = delete;

    // The window itself: what any caller sees (visibility, title, geometry, close, signals).
    TMainForm &Window() const { return Form; }
    void Start() const { Form.Start(); }

    // --- services -----------------------------------------------------------------------
    TChronarkMan &Doc() const { return Form.Doc(); }
    const TImageList &Images() const { return Form.Images(); }
    TRecentFiles &RecentFiles() const { return Form.RecentFiles(); }
    TTrayIcon &Tray() const { return Form.Tray(); }
    int TreePaneWidth() const { return Form.TreePaneWidth(); }
    void SetTreePaneWidth(int Width) const { Form.SetTreePaneWidth(Width); }
    QList<QAction *> Actions() const { return Form.Actions(); }

    // --- window state -------------------------------------------------------------------
    QString &CurrentFile = Form.CurrentFile;
    bool &HasFileArgument = Form.HasFileArgument;
    bool &SilentMode = Form.SilentMode;
    bool &MeasureRunning = Form.MeasureRunning;
    TCKProjectItem *&CurrentProject = Form.CurrentProject;
    QTreeWidgetItem *&SelectedEntry = Form.SelectedEntry;
    QTreeWidgetItem *&ProjectNode = Form.ProjectNode;
    TCKList &CutList = Form.CutList;
    QTreeWidgetItem *&PopupItem = Form.PopupItem;
    QPointer<TSearchForm> &SearchForm1 = Form.SearchForm1;

    // --- components ---------------------------------------------------------------------
    QWidget *&Panel2 = Form.Panel2;
    QLabel *&Label1 = Form.Label1;
    QWidget *&Panel3 = Form.Panel3;
    QLabel *&Panel5 = Form.Panel5;
    TProjectTree *&TreeView1 = Form.TreeView1;
    QWidget *&Panel8 = Form.Panel8;
    QLabel *&Panel9 = Form.Panel9;
    QWidget *&SpeedButton1 = Form.SpeedButton1;
    QCheckBox *&CheckBox1 = Form.CheckBox1;
    QDateEdit *&sddate = Form.sddate;
    QTimeEdit *&sdtime = Form.sdtime;
    QCheckBox *&CheckBox2 = Form.CheckBox2;
    QDateEdit *&eddate = Form.eddate;
    QTimeEdit *&edtime = Form.edtime;
    QLabel *&Label4 = Form.Label4;
    QLineEdit *&Edit1 = Form.Edit1;
    TEntryList *&ListView1 = Form.ListView1;
    QLabel *&StatusPanel0 = Form.StatusPanel0;
    QLabel *&StatusPanel1 = Form.StatusPanel1;
    QLabel *&StatusPanel2 = Form.StatusPanel2;
    QTimer *&Timer1 = Form.Timer1;
    QToolBar *&ButtonBar = Form.ButtonBar;

    // --- menus --------------------------------------------------------------------------
    QMenu *&MenuFile = Form.MenuFile;
    QMenu *&MenuRecent = Form.MenuRecent;
    QMenu *&OpenDropDown = Form.OpenDropDown;
    QMenu *&TBSubmenuItem9 = Form.TBSubmenuItem9;
    QMenu *&TBSubmenuItem4 = Form.TBSubmenuItem4;
    QMenu *&MenuTimes = Form.MenuTimes;
    QMenu *&MenuMeasure = Form.MenuMeasure;
    QMenu *&TBSubmenuItem10 = Form.TBSubmenuItem10;
    QMenu *&TBSubmenuItem13 = Form.TBSubmenuItem13;
    QMenu *&MenuHelp = Form.MenuHelp;
    QMenu *&rubrprop = Form.rubrprop;
    QMenu *&PropPopupMenu = Form.PropPopupMenu;
    QMenu *&PopupMenu1 = Form.PopupMenu1;

    // --- actions ------------------------------------------------------------------------
    QAction *&TBSubmenuItem2 = Form.TBSubmenuItem2;
    QAction *&TBSubmenuItem12 = Form.TBSubmenuItem12;
    QAction *&TBItem3 = Form.TBItem3;
    QAction *&TBItem13 = Form.TBItem13;
    QAction *&TBItem8 = Form.TBItem8;
    QAction *&TBItem28 = Form.TBItem28;
    QAction *&Zeitstoppen1 = Form.Zeitstoppen1;
    QAction *&Stop1 = Form.Stop1;
    QAction *&StopundBeenden1 = Form.StopundBeenden1;
    QAction *&acNew = Form.acNew;
    QAction *&acOpen = Form.acOpen;
    QAction *&acSave = Form.acSave;
    QAction *&acSaveAs = Form.acSaveAs;
    QAction *&acImport = Form.acImport;
    QAction *&acPrint = Form.acPrint;
    QAction *&acExport = Form.acExport;
    QAction *&acSettings = Form.acSettings;
    QAction *&acLeer = Form.acLeer;
    QAction *&acCut = Form.acCut;
    QAction *&acPaste = Form.acPaste;
    QAction *&acNewProject = Form.acNewProject;
    QAction *&acRenProject = Form.acRenProject;
    QAction *&acDelProject = Form.acDelProject;
    QAction *&acDefaultMeasure = Form.acDefaultMeasure;
    QAction *&acRenTime = Form.acRenTime;
    QAction *&acMinimize = Form.acMinimize;
    QAction *&acAutoOpen = Form.acAutoOpen;
    QAction *&acFilter = Form.acFilter;
    QAction *&acSearch = Form.acSearch;
    QAction *&acNewProjectLV = Form.acNewProjectLV;
    QAction *&acNewTime = Form.acNewTime;
    QAction *&acEditTime = Form.acEditTime;
    QAction *&acDelTime = Form.acDelTime;
    QAction *&acSplit = Form.acSplit;
    QAction *&acMelt = Form.acMelt;
    QAction *&acNewTimePopup = Form.acNewTimePopup;
    QAction *&acEditTimePopup = Form.acEditTimePopup;
    QAction *&acRenTimePopup = Form.acRenTimePopup;
    QAction *&acDelTimePopup = Form.acDelTimePopup;
    QAction *&acSplitPopup = Form.acSplitPopup;
    QAction *&acMeltPopup = Form.acMeltPopup;

    // --- handlers -----------------------------------------------------------------------
    void StartWork() const { Form.StartWork(); }
    void StopWork() const { Form.StopWork(); }
    void Zeitstoppen1Click() const { Form.Zeitstoppen1Click(); }
    void ExitClick() const { Form.ExitClick(); }
    void FillEntryList() const { Form.FillEntryList(); }
    void RefreshRow(int Index) const { Form.RefreshRow(Index); }
    void RebuildViews(bool ToRoot) const { Form.RebuildViews(ToRoot); }
    void UpdateCaption() const { Form.UpdateCaption(); }
    QTreeWidgetItem *FindProjectNode(const TCKProjectItem *Project) const {
        return Form.FindProjectNode(Project);
    }
    bool TreeView1DragOver(QObject *Source, QTreeWidgetItem *Target) const {
        return Form.TreeView1DragOver(Source, Target);
    }
    void TreeView1DragDrop(QObject *Source, QTreeWidgetItem *Target) const {
        Form.TreeView1DragDrop(Source, Target);
    }
    void rubrpropPopup() const { Form.rubrpropPopup(); }
    void TBSubmenuItem4Select() const { Form.TBSubmenuItem4Select(); }
    void DelProjectClick() const { Form.DelProjectClick(); }
    void FileSettingsClick() const { Form.FileSettingsClick(); }
    void TreeView1Edited(QTreeWidgetItem *Node, const QString &Text) const {
        Form.TreeView1Edited(Node, Text);
    }
    void FilesDropped(const QStringList &FileNames) const { Form.FilesDropped(FileNames); }
    // The row menu as a right click on the main list at Pos (viewport coordinates) opens it.
    void ListView1ContextPopup(const QPoint &Pos) const { Form.ListView1ContextPopup(Pos); }
    void PropPopupMenuPopup() const { Form.PropPopupMenuPopup(); }
    TEntryList *PopupList() const { return Form.PopupList; }

    // --- crash safety: the stored measurement and the document's lock -----------------
    static QString MeasureKey(const QString &FileName) { return TMainForm::MeasureKey(FileName); }
    void Heartbeat() const { Form.Heartbeat(); }
    QTimer *HeartbeatTimer() const { return Form.HeartbeatTimer; }
    bool DocReadOnly() const { return Form.DocReadOnly; }
    bool OpenDocument(const QString &FileName) const { return Form.OpenDocument(FileName); }
    void acSearchExecute() const { Form.acSearchExecute(); }
};
