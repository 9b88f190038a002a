#pragma once
// The main window's status bar and title: the totals of the document and of the shown
// project, the file an export or a printed PDF was written to, and the document's name.

#include <QString>

class QLabel;
class QMainWindow;
class TCKProjectItem;
class TChronarkMan;

class TStatusLine {
public:
    // The designed width of the first panel; a longer text widens it.
    static constexpr int PanelWidth = 200;

    // Adds the panels to Window's status bar; Window must outlive this object.
    TStatusLine(QMainWindow &AWindow, QString AAppName);

    void ShowTotals(const TChronarkMan &Doc, const TCKProjectItem *Shown);
    // What: how it was written ("Exportiert nach"); the path is shown in full as a tooltip.
    void ShowWrittenFile(const QString &What, const QString &FileName);
    // The file's name (none: the program's name alone) and whether it is open read-only.
    void ShowTitle(const QString &FileName, bool ReadOnly);

private:
    QMainWindow &Window;
    const QString AppName;
    QLabel *StatusPanel0;
    QLabel *StatusPanel1;
    QLabel *StatusPanel2;
};
