#include "ui/captiondelegate.h"

#include <QLineEdit>

void TCaptionDelegate::setModelData(QWidget *Editor, QAbstractItemModel *,
                                    const QModelIndex &Index) const {
    if (auto *Line = qobject_cast<QLineEdit *>(Editor))
        emit const_cast<TCaptionDelegate *>(this)->CaptionEdited(Index, Line->text());
}
