#pragma once
// The main window's private parts as the tests and the benchmark reach them: references under
// the window's own names, and handlers called as the window's actions and events call them.
// It only looks: the window stays owned by whoever created it and must outlive the peer.

#include "dialogs/entrylist.h"
#include "dialogs/u_searchform.h"
#include "mainwindow/docsession.h"
#include "mainwindow/mainform.h"
#include "mainwindow/stopwatch.h"

#include <QAction>
#include <QMenu>

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

    // --- services and collaborators -----------------------------------------------------
    TChronarkMan &Doc() const { return Form.Doc(); }
    const TImageList &Images() const { return Form.Images(); }
    TRecentFiles &RecentFiles() const { return Form.RecentFiles(); }
    TTrayIcon &Tray() const { return Form.Tray(); }
    TDocumentSession &Session() const { return *Form.Session; }
    TStopwatch &Stopwatch() const { return *Form.Watch; }
    int TreePaneWidth() const { return Form.TreePaneWidth(); }
    void SetTreePaneWidth(int Width) const { Form.SetTreePaneWidth(Width); }
    QList<QAction *> Actions() const { return Form.Actions(); }
    // The action or the menu of that object name; null when there is none.
    QAction *Action(const char *Name) const {
        return Form.findChild<QAction *>(QLatin1String(Name), Qt::FindDirectChildrenOnly);
    }
    QMenu *Menu(const char *Name) const { return Form.findChild<QMenu *>(QLatin1String(Name)); }

    // --- window state -------------------------------------------------------------------
    bool &HasFileArgument = Form.HasFileArgument;
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
    QToolBar *&ButtonBar = Form.ButtonBar;

    // --- handlers -----------------------------------------------------------------------
    void StartWork() const { Form.StartWork(); }
    void StopWork() const { Form.StopWork(); }
    void Zeitstoppen1Click() const { Form.Zeitstoppen1Click(); }
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
    void acSearchExecute() const { Form.acSearchExecute(); }
};
