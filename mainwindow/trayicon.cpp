#include "mainwindow/trayicon.h"

#include <QMenu>
#include <QSystemTrayIcon>

TTrayIcon::TTrayIcon(QObject *Parent) : QObject(Parent), Icon(new QSystemTrayIcon(this)) {
    connect(Icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason R) {
        if (R == QSystemTrayIcon::DoubleClick)
            emit DoubleClicked();
    });
}

TTrayIcon::~TTrayIcon() = default;

void TTrayIcon::SetIcon(const QIcon &AIcon) {
    Icon->setIcon(AIcon);
}

void TTrayIcon::SetMenu(QMenu *Menu) {
    Icon->setContextMenu(Menu);
}

void TTrayIcon::SetToolTip(const QString &Text) {
    FToolTip = Text.left(MaxToolTip);
    Icon->setToolTip(FToolTip);
}

void TTrayIcon::SetActive(bool Value) {
    FActive = Value;
    // Only a real tray shows the icon; the state is kept either way.
    if (QSystemTrayIcon::isSystemTrayAvailable())
        Icon->setVisible(Value);
}
