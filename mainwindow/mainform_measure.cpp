// The stopwatch: start, lap and stop, the elapsed-time banner, and hiding in the tray.

#include "app/platform.h"
#include "mainwindow/mainform.h"
#include "app/qtext.h"
#include "mainwindow/trayicon.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTimer>

void TMainForm::SetMeasureItems(bool Running) {
    acMinimize->setEnabled(Running);
    TBSubmenuItem2->setEnabled(!Running);
    TBSubmenuItem10->menuAction()->setEnabled(!Running);
    TBSubmenuItem12->setEnabled(Running);
    TBSubmenuItem13->menuAction()->setEnabled(Running);
}

void TMainForm::StartWork() {
    if (MeasureRunning)
        return;
    MeasureStart = Now();
    Timer1->start();
    Timer1Timer();
    Panel2->show();
    Panel3->show();
    MeasureRunning = true;
    SetMeasureItems(true);
    KeepMeasureState();
}

void TMainForm::TBItem13Click() {
    StartWork();
    MinimizeClick();
}

void TMainForm::StopWork() {
    Panel2->hide();
    Panel3->hide();
    Timer1->stop();
    SetMeasureItems(false);
    if (!MeasureRunning)
        return;
    RecordMeasurement();
    RefreshEntries(-2);
}

TDateTime TMainForm::RecordMeasurement() {
    const TDateTime End = Now();
    tCKEditItem Data;
    Data.StartTime = MeasureStart;
    Data.EndTime = End;
    Document->DefaultProject->AddTime(Data);
    MeasureRunning = false;
    KeepMeasureState();
    return End;
}

void TMainForm::LapTime() {
    if (!MeasureRunning)
        return;
    // One reading of the clock ends this lap and starts the next, so laps touch.
    MeasureStart = RecordMeasurement();
    MeasureRunning = true;
    KeepMeasureState();
    RefreshEntries(-2);
}

void TMainForm::Timer1Timer() {
    const QString Elapsed = ToQ(DurationText(Now(), MeasureStart));
    Label1->setText(QStringLiteral(" Aktuelle Zeit: ") + Elapsed);
    const QString Again = ToQ(DurationText(Now(), MeasureStart));
    TrayIcon1->SetToolTip(AppName + QStringLiteral(" - Aktuelle Zeit: ") + Again);
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

void TMainForm::Stop1Click() {
    Zeitstoppen1Click();
    StopWork();
}

void TMainForm::ExitClick() {
    close();
}
