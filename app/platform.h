#pragma once
// The program's icon and the window operations of the tray mode.

#include <QIcon>
#include <QString>

class QWidget;

// The program's icon in every size it is drawn in (window, task bar, About box).
QIcon ProgramIcon();
// The small (16 x 16) icon at IconIndex of the program file FileName. Only the running
// program's own file carries icons, and only index 0; otherwise a null icon.
QIcon ExtractSmallIcon(const QString &FileName, int IconIndex);

// Whether the desktop offers a notification area. Without one a window hidden "into the
// tray" could never be reached again, so the tray-mode operations minimise instead.
bool TrayAvailable();
enum class TTrayOverride { AskDesktop, Available, Unavailable };
// Lets tests (and callers that know better) decide instead of the desktop.
void SetTrayAvailableOverride(TTrayOverride Override);

// The application window is the window that owns the task-bar entry: the main window.
void SetAppWindow(QWidget *Window);
QWidget *AppWindow();
// Remove and return the task-bar entry (and the window that owns it).
void HideAppWindow();
void ShowAppWindow();
// Hide or show a form; ShowFormWindow also restores a minimised one and brings it forward.
void HideFormWindow(QWidget &Form);
void ShowFormWindow(QWidget &Form);
