#include "mainwindow/actiontable.h"

#include "ui/imagelist.h"

#include <QAction>
#include <QFont>

QKeySequence TActionKey::Keys() const {
    if (Standard != QKeySequence::UnknownKey) {
        const QKeySequence Keys(Standard);
        if (!Keys.isEmpty() || Usual.key() == Qt::Key_unknown)
            return Keys;
    }
    return Usual.key() == Qt::Key_unknown ? QKeySequence() : QKeySequence(Usual);
}

void SetActionImage(QAction *Action, const TImageList &Images, int Image) {
    Action->setProperty("imageIndex", Image);
    Action->setIcon(Images.Icon(Image));
}

QAction *MakeAction(const TActionDecl &Row, const TImageList &Images, QObject *Owner) {
    auto *Action = new QAction(QString::fromUtf8(Row.Caption), Owner);
    Action->setObjectName(QString::fromLatin1(Row.Name));
    const QString Hint = QString::fromUtf8(Row.Hint);
    if (Row.Category) {
        Action->setProperty("category", QString::fromUtf8(Row.Category));
        Action->setProperty("hint", Hint);
        if (!Hint.isEmpty())
            Action->setStatusTip(Hint);
        SetActionImage(Action, Images, Row.Image);
    } else if (Row.Image != imgNone) {
        SetActionImage(Action, Images, Row.Image);
    }
    if (!Hint.isEmpty())
        Action->setToolTip(Hint);
    Action->setEnabled(Row.Enabled);
    Action->setShortcut(Row.Key.Keys());
    if (Row.Flags & TActionDecl::WidgetKey)
        Action->setShortcutContext(Qt::WidgetShortcut);
    Action->setCheckable(Row.Flags & TActionDecl::Checkable);
    if (Row.Flags & TActionDecl::Bold) {
        QFont Bold = Action->font();
        Bold.setBold(true);
        Action->setFont(Bold);
    }
    return Action;
}
