#pragma once
// What the tests and the benchmark read of the main window: its collaborators, its document
// and its own controls by object name. The tests act through these, the controls and the
// actions, as a user would. The window stays owned by whoever created it and must outlive
// the peer.

#include "dialogs/entrylist.h"
#include "dialogs/projecttree.h"
#include "dialogs/u_searchform.h"
#include "mainwindow/docsession.h"
#include "mainwindow/documentviews.h"
#include "mainwindow/entrycommands.h"
#include "mainwindow/filterpanel.h"
#include "mainwindow/mainform.h"
#include "mainwindow/projectcommands.h"
#include "mainwindow/recentfiles.h"
#include "mainwindow/stopwatch.h"
#include "mainwindow/trayicon.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSplitter>
#include <QTimeEdit>
#include <QToolBar>
#include <QToolButton>

class TMainFormTestPeer {
    TMainForm &Form;

public:
    explicit TMainFormTestPeer(TMainForm &AForm) : Form(AForm) {}
    TMainFormTestPeer(const TMainFormTestPeer &) = delete;
    TMainFormTestPeer &operator=(const TMainFormTestPeer &) = delete;

    // The window itself: what any caller sees (visibility, title, geometry, close, signals).
    TMainForm &Window() const { return Form; }
    void Start() const { Form.Start(); }

    TChronarkMan &Doc() const { return *Form.Document; }
    const TImageList &Images() const { return Form.ImageList1; }
    TDocumentSession &Session() const { return *Form.Session; }
    TRecentFiles &RecentFiles() const { return Form.Session->RecentFiles(); }
    TStopwatch &Stopwatch() const { return *Form.Watch; }
    TDocumentViews &Views() const { return *Form.Views; }
    TEntryCommands &Entries() const { return *Form.Entries; }
    TProjectCommands &Projects() const { return *Form.Projects; }

    // The window's own object of that name and type, not one of a window it opened (the
    // search window has its own "Edit1"); null when there is none.
    template <class T> T *Find(const char *Name) const { return Below<T>(Form, Name); }
    TProjectTree *TreeView1() const { return Find<TProjectTree>("TreeView1"); }
    TEntryList *ListView1() const { return Find<TEntryList>("ListView1"); }
    TTrayIcon &Tray() const { return *Find<TTrayIcon>("TrayIcon1"); }
    // The action or the menu of that object name; null when there is none.
    QAction *Action(const char *Name) const {
        return Form.findChild<QAction *>(QLatin1String(Name), Qt::FindDirectChildrenOnly);
    }
    QMenu *Menu(const char *Name) const { return Form.findChild<QMenu *>(QLatin1String(Name)); }
    // The commands (not the stopwatch's own items), in declaration order.
    QList<QAction *> Actions() const {
        QList<QAction *> Commands;
        for (const TActionDecl &Row : TMainForm::DeclaredActions())
            if (Row.Category)
                Commands << Action(Row.Name);
        return Commands;
    }

private:
    template <class T> static T *Below(const QObject &Parent, const char *Name) {
        for (QObject *Child : Parent.children()) {
            const auto *Widget = qobject_cast<const QWidget *>(Child);
            if (Widget && Widget->isWindow())
                continue;
            if (auto *Found = qobject_cast<T *>(Child);
                Found && Child->objectName() == QLatin1String(Name))
                return Found;
            if (T *Found = Below<T>(*Child, Name))
                return Found;
        }
        return nullptr;
    }
};
