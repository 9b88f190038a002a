#pragma once
// A window's actions as data: one row per action, from which the actions are made and their
// handlers connected, so that the menus, the button bar and the tests all read one table.

#include <QKeySequence>

class QAction;
class QObject;
class TImageList;
class TMainForm;

// A standard key, or Usual where the desktop's key table leaves it empty (some leave Save As
// and Quit empty); Usual alone when there is no standard key.
struct TActionKey {
    QKeySequence::StandardKey Standard = QKeySequence::UnknownKey;
    QKeyCombination Usual = Qt::Key_unknown;

    QKeySequence Keys() const;
};

struct TActionDecl {
    enum TFlag : unsigned {
        Checkable = 1,
        // The key is shown in the menus; the view that has the focus handles it itself.
        WidgetKey = 2,
        Bold = 4,
    };

    const char *Name;
    // Null: one of the stopwatch's items, not a command of Actions(); its hint is a tooltip.
    const char *Category;
    const char *Caption;
    // A command's tooltip and status tip; empty: none.
    const char *Hint;
    int Image; // an index of the image list, or imgNone
    TActionKey Key;
    bool Enabled;
    unsigned Flags;
    void (*Handler)(TMainForm &Form);
};

// The action of Row, with Owner as its parent; its handler is the caller's to connect.
QAction *MakeAction(const TActionDecl &Row, const TImageList &Images, QObject *Owner);
// Shows Image (an index of Images) on Action and notes it as the property "imageIndex".
void SetActionImage(QAction *Action, const TImageList &Images, int Image);
