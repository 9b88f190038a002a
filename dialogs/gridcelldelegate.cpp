#include "dialogs/gridcelldelegate.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

QString EditorText(const QWidget *Editor) {
    if (const auto *Combo = qobject_cast<const QComboBox *>(Editor))
        return Combo->currentText();
    if (const auto *Edit = qobject_cast<const QLineEdit *>(Editor))
        return Edit->text();
    return {};
}

void SetEditorText(QWidget *Editor, const QString &Text) {
    if (auto *Combo = qobject_cast<QComboBox *>(Editor))
        Combo->setEditText(Text);
    else if (auto *Edit = qobject_cast<QLineEdit *>(Editor))
        Edit->setText(Text);
}

void TGridCellDelegate::destroyEditor(QWidget *AEditor, const QModelIndex &Index) const {
    if (AEditor == Editor)
        Editor = nullptr;
    QStyledItemDelegate::destroyEditor(AEditor, Index);
}

bool TGridCellDelegate::eventFilter(QObject *Object, QEvent *Event) {
    QWidget *Target = qobject_cast<QWidget *>(Object);
    if (Target && qobject_cast<QComboBox *>(Target->parentWidget()))
        Target = Target->parentWidget();
    if (!Target || Target != Editor)
        return QStyledItemDelegate::eventFilter(Object, Event);
    if (Event->type() == QEvent::KeyPress) {
        const int Key = static_cast<QKeyEvent *>(Event)->key();
        // Committed here, so that the key does not travel on to the dialog's OK button.
        if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
            emit commitData(Target);
            emit closeEditor(Target, QAbstractItemDelegate::NoHint);
            return true;
        }
        // Closes the cell only, not the dialog, also when the pick list's line has it.
        if (Key == Qt::Key_Escape) {
            emit closeEditor(Target, QAbstractItemDelegate::RevertModelCache);
            return true;
        }
    }
    if (Object != Target && Event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent *>(Event)->reason() != Qt::PopupFocusReason) {
        const QWidget *Focus = QApplication::focusWidget();
        if (!Focus || !Target->isAncestorOf(Focus)) {
            emit commitData(Target);
            emit closeEditor(Target, QAbstractItemDelegate::NoHint);
        }
        return false;
    }
    if (Object != Target)
        return false;
    return QStyledItemDelegate::eventFilter(Object, Event);
}
