#include "ui/captiondelegate.h"

#include "app/qtext.h"
#include "base/collate.h"

#include <QLineEdit>
#include <QTreeWidgetItem>

QString SingleLineCaption(const QString &Caption) {
    // Any of the line breaks a document may hold: LF, CR, and the Unicode separators.
    static const QString Breaks = QStringLiteral("\n\r\u2028\u2029\v\f");
    const qsizetype Length = Caption.size();
    for (qsizetype i = 0; i < Length; ++i)
        if (Breaks.contains(Caption[i]))
            return Caption.left(i) + QChar(0x2026);
    return Caption;
}

QString TCaptionDelegate::displayText(const QVariant &Value, const QLocale &Locale) const {
    if (Value.userType() == QMetaType::QString)
        return SingleLineCaption(Value.toString());
    return QStyledItemDelegate::displayText(Value, Locale);
}

void TCaptionDelegate::setModelData(QWidget *Editor, QAbstractItemModel *,
                                    const QModelIndex &Index) const {
    if (auto *Line = qobject_cast<QLineEdit *>(Editor))
        emit const_cast<TCaptionDelegate *>(this)->CaptionEdited(Index, Line->text());
}

QWidget *TCaptionDelegate::createEditor(QWidget *Parent, const QStyleOptionViewItem &Option,
                                        const QModelIndex &Index) const {
    OpenEditor = QStyledItemDelegate::createEditor(Parent, Option, Index);
    return OpenEditor;
}

void TCaptionDelegate::DiscardEditor() {
    if (OpenEditor)
        emit closeEditor(OpenEditor, QAbstractItemDelegate::NoHint);
}

bool CaptionBefore(const QTreeWidgetItem &A, const QTreeWidgetItem &B) {
    return CompareCaptions(FromQ(A.text(0)), FromQ(B.text(0))) < 0;
}
