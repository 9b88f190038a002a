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
    // Their shared key starts or stops, whichever the stopwatch allows.
    TBItem3->setEnabled(!Running);
    TBItem8->setEnabled(Running);
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
}

TDateTime TMainForm::RecordMeasurement() {
    const TDateTime End = Now();
    Document->RecordInterval(MeasureStart, End);
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
}

void TMainForm::Timer1Timer() {
    const QString Elapsed = ToQ(DurationText(Now(), MeasureStart));
    Label1->setText(QStringLiteral(" Aktuelle Zeit: ") + Elapsed);
    const QString Again = ToQ(DurationText(Now(), MeasureStart));
    // Read on every tick: the default project may change while the stopwatch runs.
    const TCKProjectItem *Target = Document->DefaultProject;
    Panel2->setToolTip(MeasureTargetToolTip(Target));
    TrayIcon1->SetToolTip(MeasureTrayToolTip(Target, Again));
}

QString TMainForm::MeasureTargetToolTip(const TCKProjectItem *Target) const {
    // The path as the tree shows it, from its top node down.
    QStringList Path;
    for (const TCKProjectItem *P = Target; P && P->Parent; P = P->Parent)
        Path.prepend(ToQ(P->Caption));
    Path.prepend(QStringLiteral("Projekte"));
    return QStringLiteral("Die Zeit wird gebucht auf: ") + Path.join(QStringLiteral(" / "));
}

QString TMainForm::MeasureTrayToolTip(const TCKProjectItem *Target, const QString &Elapsed) const {
    const QString Time = QStringLiteral(" - Aktuelle Zeit: ") + Elapsed;
    // Measuring into the top level names the program; otherwise the project takes its place,
    // shortened so that the time still fits the tray's few characters.
    if (!Target || !Target->Parent)
        return AppName + Time;
    QString Name = ToQ(Target->Caption);
    const int Room = qMax(1, int(TTrayIcon::MaxToolTip - Time.size()));
    if (Name.size() > Room)
        Name = Name.left(Room - 1) + QChar(0x2026);
    return Name + Time;
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
