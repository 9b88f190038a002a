// The stopwatch's face: its menu items, the elapsed-time banner, and hiding in the tray.

#include "app/platform.h"
#include "mainwindow/mainform.h"
#include "mainwindow/stopwatch.h"
#include "mainwindow/trayicon.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

void TMainForm::SetMeasureItems(bool Running) {
    Action("acMinimize")->setEnabled(Running);
    Action("TBSubmenuItem2")->setEnabled(!Running);
    TBSubmenuItem10->menuAction()->setEnabled(!Running);
    Action("TBSubmenuItem12")->setEnabled(Running);
    TBSubmenuItem13->menuAction()->setEnabled(Running);
    // Their shared key starts or stops, whichever the stopwatch allows.
    Action("TBItem3")->setEnabled(!Running);
    Action("TBItem8")->setEnabled(Running);
}

void TMainForm::StartWork() {
    if (!Watch->Start())
        return;
    Panel2->show();
    Panel3->show();
    SetMeasureItems(true);
}

void TMainForm::StopWork() {
    Panel2->hide();
    Panel3->hide();
    SetMeasureItems(false);
    Watch->Stop();
}

void TMainForm::MinimizeClick() {
    // Without a notification area the window only minimises: hidden, it could not come back.
    if (!TrayAvailable()) {
        setWindowState(windowState() | Qt::WindowMinimized);
        if (!isVisible())
            show();
        return;
    }
    HideAppWindow();
    HideFormWindow(*this);
    TrayIcon1->SetActive(true);
}

void TMainForm::Zeitstoppen1Click() {
    ShowFormWindow(*this);
    ShowAppWindow();
    TrayIcon1->SetActive(false);
}
