#pragma once
// Where the program keeps a window's placement: the sub-key "FormSettings" of the program's
// key, values "Left", "Top", "Width", "Height" (normal-state bounds) and "Windowstate"
// (0 maximised, 1 minimised, 2 normal).

#include <QMargins>
#include <QRect>
#include <QString>

class QWidget;
class TRegistry;

// "\Software\Velmoor Software\" + AppName [+ "\" + SubKey]. The key stays open on Registry.
QString AppKeyPath(const QString &AppName, const QString &SubKey = QString());
bool OpenAppKey(TRegistry &Registry, const QString &AppName, const QString &SubKey, bool CanCreate);

// Writes "Windowstate", "Width", "Height" (WithSize only), "Left" and "Top". A maximised or
// minimised window stores the bounds it returns to when restored.
void SaveFormSettings(TRegistry &Registry, const QWidget &Form, const QString &AppName,
                      bool WithSize);
// Applies each value found and keeps the designed bounds and state for the rest; an
// unknown "Windowstate" is ignored. Stored sizes are cut to the size of Area (all screens'
// available areas when it is invalid; no screen leaves the design), stored positions to just
// beyond its edges. A position that would put the window wholly off every screen is replaced
// by one on the primary screen.
void LoadFormSettings(TRegistry &Registry, QWidget &Form, const QString &AppName, bool WithSize,
                      const QRect &Area = QRect());

// Area, or where no area is given all screens' available areas together.
QRect PlacementArea(const QRect &Area);

// Bounds with the values "Width" and "Height" (WithSize only), "Left" and "Top" of the key open
// on Registry applied: sizes cut to Area's size, positions kept to just beyond its edges, so a
// window wholly off the area stays wholly off. Read before anything is laid out: a window of
// INT_MAX pixels would take gigabytes, and QRect's corners overflow long before.
QRect ReadStoredBounds(TRegistry &Registry, QRect Bounds, const QRect &Area, bool WithSize);

// Bounds (the window without its frame) moved and, where too big, shrunk so that the window
// with its Frame lies inside Area. Bounds that fit already come back unchanged.
QRect FitIntoArea(const QRect &Bounds, const QRect &Area, const QMargins &Frame = QMargins());
// The usable area (without panels and docks) of the screen showing most of Bounds; the
// primary screen's when none does.
QRect AvailableAreaFor(const QRect &Bounds);
// The frame around the form's bounds: as the window manager drew it once the window was
// shown, a title bar and border estimated from the style before.
QMargins FrameMargins(const QWidget &Form);
// Fits the form's normal-state bounds with FrameMargins into Area, keeping its window state.
void FitFormIntoArea(QWidget &Form, const QRect &Area);
