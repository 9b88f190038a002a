#pragma once
// The cell editing the name/value grids of the entry and the settings dialogs share: Enter
// commits the open cell and Escape closes it without reaching the dialog's buttons, leaving
// the cell commits it, and the open editor is known so a refused text can be put back.

#include <QPointer>
#include <QStyledItemDelegate>

// The text of a line or (editable) pick-list editor, and setting it.
QString EditorText(const QWidget *Editor);
void SetEditorText(QWidget *Editor, const QString &Text);

class TGridCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *OpenEditor() const { return Editor; }
    void destroyEditor(QWidget *AEditor, const QModelIndex &Index) const override;

protected:
    bool eventFilter(QObject *Object, QEvent *Event) override;

    // Set by the subclass's createEditor.
    mutable QPointer<QWidget> Editor;
};
