#include "app/formsettings.h"

#include "app/capp.h"
#include "app/registry.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace {

const QString FormSettingsKey = QStringLiteral("FormSettings");

enum TStoredState : int { wsMaximized = 0, wsMinimized = 1, wsNormal = 2 };

// The bounds the window has, or returns to when it is maximised or minimised.
QRect NormalBounds(const QWidget &Form) {
    if (Form.windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) {
        const QRect normal = Form.normalGeometry();
        if (normal.isValid())
            return normal;
    }
    return Form.geometry();
}

bool OnSomeScreen(const QRect &Bounds) {
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersects(Bounds))
            return true;
    }
    return QGuiApplication::screens().isEmpty();
}

// Centres the window on the primary screen, its top-left corner kept on the screen.
QRect OntoPrimaryScreen(QRect Bounds) {
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return Bounds;
    const QRect area = screen->availableGeometry();
    Bounds.moveCenter(area.center());
    Bounds.moveTopLeft(
        QPoint(std::max(Bounds.left(), area.left()), std::max(Bounds.top(), area.top())));
    return Bounds;
}

} // namespace

QString AppKeyPath(const QString &AppName, const QString &SubKey) {
    QString path = QStringLiteral("\\Software\\") + QString::fromLatin1(MakerName) + '\\' + AppName;
    if (!SubKey.isEmpty())
        path += '\\' + SubKey;
    return path;
}

bool OpenAppKey(TRegistry &Registry, const QString &AppName, const QString &SubKey,
                bool CanCreate) {
    return Registry.OpenKey(AppKeyPath(AppName, SubKey), CanCreate);
}

void SaveFormSettings(TRegistry &Registry, const QWidget &Form, const QString &AppName,
                      bool WithSize) {
    if (!OpenAppKey(Registry, AppName, FormSettingsKey, true))
        return;
    const QRect bounds = NormalBounds(Form);
    if (WithSize) {
        const Qt::WindowStates state = Form.windowState();
        int stored = wsNormal;
        if (state & Qt::WindowMinimized)
            stored = wsMinimized;
        else if (state & Qt::WindowMaximized)
            stored = wsMaximized;
        Registry.WriteInteger(QStringLiteral("Windowstate"), stored);
        Registry.WriteInteger(QStringLiteral("Width"), bounds.width());
        Registry.WriteInteger(QStringLiteral("Height"), bounds.height());
    }
    Registry.WriteInteger(QStringLiteral("Left"), bounds.left());
    Registry.WriteInteger(QStringLiteral("Top"), bounds.top());
}

QRect PlacementArea(const QRect &Area) {
    if (Area.isValid())
        return Area;
    QRect all;
    for (const QScreen *screen : QGuiApplication::screens())
        all |= screen->availableGeometry();
    return all;
}

QRect ReadStoredBounds(TRegistry &Registry, QRect Bounds, const QRect &Area, bool WithSize) {
    if (!Area.isValid())
        return Bounds;
    int value = 0;
    if (WithSize) {
        if (Registry.ReadInteger(QStringLiteral("Height"), value) && value > 0)
            Bounds.setHeight(std::min(value, Area.height()));
        if (Registry.ReadInteger(QStringLiteral("Width"), value) && value > 0)
            Bounds.setWidth(std::min(value, Area.width()));
    }
    if (Registry.ReadInteger(QStringLiteral("Left"), value))
        Bounds.moveLeft(std::clamp(value, Area.left() - Bounds.width(), Area.right() + 1));
    if (Registry.ReadInteger(QStringLiteral("Top"), value))
        Bounds.moveTop(std::clamp(value, Area.top() - Bounds.height(), Area.bottom() + 1));
    return Bounds;
}

void LoadFormSettings(TRegistry &Registry, QWidget &Form, const QString &AppName, bool WithSize,
                      const QRect &Area) {
    if (!OpenAppKey(Registry, AppName, FormSettingsKey, false))
        return;
    int value = 0;
    // A position wholly off the area stays wholly off, so that it is brought back below.
    QRect bounds = ReadStoredBounds(Registry, NormalBounds(Form), PlacementArea(Area), WithSize);
    if (!OnSomeScreen(bounds))
        bounds = OntoPrimaryScreen(bounds);

    const Qt::WindowStates sizeStates = Qt::WindowMaximized | Qt::WindowMinimized;
    const Qt::WindowStates original = Form.windowState();
    Qt::WindowStates target = original;
    if (WithSize && Registry.ReadInteger(QStringLiteral("Windowstate"), value)) {
        // Any other number leaves the state as it was.
        if (value == wsMaximized)
            target = (original & ~sizeStates) | Qt::WindowMaximized;
        else if (value == wsMinimized)
            target = (original & ~sizeStates) | Qt::WindowMinimized;
        else if (value == wsNormal)
            target = original & ~sizeStates;
    }
    // The bounds are those of the normal window, so they go in while it is normal.
    if (original & sizeStates)
        Form.setWindowState(original & ~sizeStates);
    Form.setGeometry(bounds);
    if (Form.windowState() != target)
        Form.setWindowState(target);
}

QRect FitIntoArea(const QRect &Bounds, const QRect &Area, const QMargins &Frame) {
    if (!Area.isValid() || !Bounds.isValid())
        return Bounds;
    const QRect outer = Bounds.marginsAdded(Frame);
    if (Area.contains(outer))
        return Bounds;
    // The frame stays whole; what is too big for the area gives up width or height.
    QRect fitted = outer;
    fitted.setWidth(std::min(outer.width(), Area.width()));
    fitted.setHeight(std::min(outer.height(), Area.height()));
    fitted.moveLeft(std::clamp(fitted.left(), Area.left(), Area.right() - fitted.width() + 1));
    fitted.moveTop(std::clamp(fitted.top(), Area.top(), Area.bottom() - fitted.height() + 1));
    return fitted.marginsRemoved(Frame);
}

QRect AvailableAreaFor(const QRect &Bounds) {
    const QScreen *best = nullptr;
    qint64 bestShare = 0;
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect common = screen->geometry().intersected(Bounds);
        const qint64 share = qint64(common.width()) * common.height();
        if (!common.isEmpty() && share > bestShare) {
            best = screen;
            bestShare = share;
        }
    }
    if (!best)
        best = QGuiApplication::primaryScreen();
    return best ? best->availableGeometry() : QRect();
}

QMargins FrameMargins(const QWidget &Form) {
    const QRect frame = Form.frameGeometry();
    const QRect inner = Form.geometry();
    if (frame != inner)
        return QMargins(inner.left() - frame.left(), inner.top() - frame.top(),
                        frame.right() - inner.right(), frame.bottom() - inner.bottom());
    // Not decorated yet: a title bar about two text lines high and a thin border.
    const QStyle *style = Form.style();
    const int border = style ? style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth) : 4;
    const int title = std::max(style ? style->pixelMetric(QStyle::PM_TitleBarHeight) : 0,
                               2 * QFontMetrics(Form.font()).height());
    return QMargins(border, title, border, border);
}

void FitFormIntoArea(QWidget &Form, const QRect &Area) {
    const QRect bounds = NormalBounds(Form);
    const QRect fitted = FitIntoArea(bounds, Area, FrameMargins(Form));
    if (fitted == bounds)
        return;
    const Qt::WindowStates sizeStates = Qt::WindowMaximized | Qt::WindowMinimized;
    const Qt::WindowStates state = Form.windowState();
    if (state & sizeStates)
        Form.setWindowState(state & ~sizeStates);
    Form.setGeometry(fitted);
    if (Form.windowState() != state)
        Form.setWindowState(state);
}
