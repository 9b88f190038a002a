#pragma once
// In-place editing of a row's caption: the delegate hands the new text to its view instead of
// writing it, so the window decides whether the text is taken (a refused caption stays old).

#include <QPointer>
#include <QStyledItemDelegate>

// A caption as a row shows it: a text of several lines shows its first line and "…", so that
// no row grows taller than one line. The stored text and the editor keep every line.
QString SingleLineCaption(const QString &Caption);

class QTreeWidgetItem;
// Whether A's caption (column 0) sorts before B's in the program's one caption order.
bool CaptionBefore(const QTreeWidgetItem &A, const QTreeWidgetItem &B);

class TCaptionDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant &Value, const QLocale &Locale) const override;
    QWidget *createEditor(QWidget *Parent, const QStyleOptionViewItem &Option,
                          const QModelIndex &Index) const override;
    void setModelData(QWidget *Editor, QAbstractItemModel *Model,
                      const QModelIndex &Index) const override;
    // Closes an open editor without handing its text over: before the view's rows are
    // replaced, a text typed into one of them would reach a row whose item is gone.
    void DiscardEditor();

signals:
    void CaptionEdited(const QModelIndex &Index, const QString &Text);

private:
    mutable QPointer<QWidget> OpenEditor;
};
