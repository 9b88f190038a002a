#include "app/platform.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QWidget>

// Resources of a static library are registered only when something refers to them; the
// macro has to be used outside any namespace.
static void InitResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(chronark_app);
        return true;
    }();
    (void)done;
}

namespace {

TTrayOverride TrayOverride = TTrayOverride::AskDesktop;

QPointer<QWidget> &AppWindowRef() {
    static QPointer<QWidget> window;
    return window;
}

QString IconFile(int Size) {
    return QStringLiteral(":/chronark/icons/chronark%1.png").arg(Size);
}

bool IsOwnProgram(const QString &FileName) {
    const QString own = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    const QString given = QFileInfo(FileName).canonicalFilePath();
    return !given.isEmpty() && given == own;
}

} // namespace

QIcon ProgramIcon() {
    InitResources();
    QIcon icon;
    for (int size : {16, 32, 48, 256})
        icon.addFile(IconFile(size), QSize(size, size));
    return icon;
}

QIcon ExtractSmallIcon(const QString &FileName, int IconIndex) {
    if (FileName.isEmpty() || IconIndex != 0 || !IsOwnProgram(FileName))
        return QIcon();
    InitResources();
    QIcon icon;
    icon.addFile(IconFile(16), QSize(16, 16));
    // The same picture for displays that draw a 16-pixel icon with 32 device pixels.
    icon.addFile(IconFile(32), QSize(32, 32));
    return icon;
}

bool TrayAvailable() {
    switch (TrayOverride) {
    case TTrayOverride::Available:
        return true;
    case TTrayOverride::Unavailable:
        return false;
    case TTrayOverride::AskDesktop:
        break;
    }
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void SetTrayAvailableOverride(TTrayOverride Override) {
    TrayOverride = Override;
}

void SetAppWindow(QWidget *Window) {
    AppWindowRef() = Window;
}

QWidget *AppWindow() {
    return AppWindowRef().data();
}

void HideAppWindow() {
    // Without a tray the task-bar entry is the only way back to the program.
    if (QWidget *window = AppWindow(); window && TrayAvailable())
        window->hide();
}

void ShowAppWindow() {
    if (QWidget *window = AppWindow(); window && window->isHidden())
        window->show();
}

void HideFormWindow(QWidget &Form) {
    if (TrayAvailable())
        Form.hide();
    else
        Form.setWindowState(Form.windowState() | Qt::WindowMinimized);
}

void ShowFormWindow(QWidget &Form) {
    if (Form.windowState() & Qt::WindowMinimized)
        Form.setWindowState(Form.windowState() & ~Qt::WindowMinimized);
    Form.show();
    Form.raise();
    Form.activateWindow();
}
