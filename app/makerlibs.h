#pragma once
// The About box and the version check, shown by the maker's optional libraries "infopane"
// and "revwatch" when they are installed beside the program or in the maker's folder.

#include <QString>
#include <QStringList>

class QWidget;

// The folders searched, in order: the program's folder, then GetMakerFilesDir when that is
// an absolute path (a relative one would load code from the current directory).
QStringList MakerLibraryFolders();

bool LoadInfoPane();
bool LoadRevWatch();
void FreeInfoPane();
void FreeRevWatch();
bool InfoPaneLoaded();
// The command "Nach neuer Version suchen..." is offered only when this is true.
bool RevWatchLoaded();

// The About box for ProgramText (name and version); without the library a plain message
// naming the maker and its homepage.
void ShowAboutBox(QWidget *Owner, const QString &ProgramText);
// The version check for this program; does nothing without the library.
void ShowVersionCheck(QWidget *Owner);

// The plain About text used when the library is missing.
QString FallbackAboutText();
