#pragma once
// The notification-area icon shown while the window hides during a measurement. Active is the
// window's state; the icon itself appears only where the desktop has a tray.

#include <QIcon>
#include <QObject>
#include <QString>

class QMenu;
class QSystemTrayIcon;

class TTrayIcon : public QObject {
    Q_OBJECT
public:
    // The shell keeps at most this many characters of a tooltip.
    static constexpr int MaxToolTip = 62;

    explicit TTrayIcon(QObject *Parent = nullptr);
    ~TTrayIcon() override;

    void SetIcon(const QIcon &Icon);
    void SetMenu(QMenu *Menu);
    void SetToolTip(const QString &Text);
    QString ToolTip() const { return FToolTip; }

    void SetActive(bool Value);
    bool Active() const { return FActive; }

signals:
    void DoubleClicked();

private:
    QSystemTrayIcon *Icon;
    QString FToolTip;
    bool FActive = false;
};
