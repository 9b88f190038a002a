#include "mainwindow/statusline.h"

#include "app/qtext.h"
#include "base/durations.h"
#include "model/ckm.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

TStatusLine::TStatusLine(QMainWindow &AWindow, QString AAppName)
    : Window(AWindow), AppName(std::move(AAppName)), StatusPanel0(new QLabel(&Window)),
      StatusPanel1(new QLabel(&Window)), StatusPanel2(new QLabel(&Window)) {
    StatusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    StatusPanel0->setFixedWidth(PanelWidth);
    StatusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
    Window.statusBar()->addWidget(StatusPanel0);
    Window.statusBar()->addWidget(StatusPanel1, 1);
    // Where the last export or PDF went; beside the totals, never in their place.
    StatusPanel2->setObjectName(QStringLiteral("StatusPanel2"));
    Window.statusBar()->addPermanentWidget(StatusPanel2);
}

void TStatusLine::ShowTotals(const TChronarkMan &Doc, const TCKProjectItem *Shown) {
    const TNetTimes netTimes = Doc.NetTimesByProject();
    StatusPanel0->setText(QStringLiteral("Gesamt: ") + ToQ(SecondsText(netTimes.Total())));
    StatusPanel1->setText(QStringLiteral("Aktuelles Project: ") +
                          ToQ(SecondsText(netTimes.Seconds(Shown))));
    // The first panel grows with its text (a total of thousands of hours stays whole); the
    // second takes the rest and at least its text.
    const int Padding = 2 * StatusPanel0->margin() + StatusPanel0->fontMetrics().averageCharWidth();
    StatusPanel0->setFixedWidth(qMax(
        PanelWidth, StatusPanel0->fontMetrics().horizontalAdvance(StatusPanel0->text()) + Padding));
    StatusPanel1->setMinimumWidth(
        StatusPanel1->fontMetrics().horizontalAdvance(StatusPanel1->text()) + Padding);
}

void TStatusLine::ShowWrittenFile(const QString &What, const QString &FileName) {
    const QString Path = QDir::toNativeSeparators(QFileInfo(FileName).absoluteFilePath());
    StatusPanel2->setText(What + QStringLiteral(": ") + Path);
    StatusPanel2->setToolTip(Path);
}

void TStatusLine::ShowTitle(const QString &FileName, bool ReadOnly) {
    QString Title = AppName;
    if (!FileName.isEmpty())
        Title = QFileInfo(FileName).fileName() + QStringLiteral(" - ") + AppName;
    if (ReadOnly)
        Title += QStringLiteral(" [schreibgeschützt]");
    Window.setWindowTitle(Title);
}
