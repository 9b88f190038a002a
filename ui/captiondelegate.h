#pragma once
// In-place editing of a row's caption: the delegate hands the new text to its view instead of
// writing it, so the window decides whether the text is taken (a refused caption stays old).

#include <QStyledItemDelegate>

class TCaptionDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void setModelData(QWidget *Editor, QAbstractItemModel *Model,
                      const QModelIndex &Index) const override;

signals:
    void CaptionEdited(const QModelIndex &Index, const QString &Text);
};
