#include "ui/refusededit.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

TRefusedEdit::TRefusedEdit(QAbstractItemView &AView) : QObject(&AView), View(AView) {}

TRefusedEdit &TRefusedEdit::Of(QAbstractItemView &View) {
    if (auto *Own = View.findChild<TRefusedEdit *>(QString(), Qt::FindDirectChildrenOnly))
        return *Own;
    return *new TRefusedEdit(View);
}

bool TRefusedEdit::Refused(QAbstractItemView &View, const QModelIndex &Index, const QString &Text,
                           const QString &Shown, const std::function<bool()> &Refuse) {
    TRefusedEdit &Self = Of(View);
    // The index may lose its row while the message is up.
    const QPersistentModelIndex At(Index);
    // The user has been told why already: the editor goes, the old text stays.
    const bool Insisted =
        Self.Reopened && Self.Reopened == View.indexWidget(Index) && Text == Self.ReopenedText;
    Self.Reopened.clear();
    if (!Insisted && !Refuse())
        return false;
    if (At.isValid())
        View.model()->setData(At, Shown, Qt::EditRole);
    if (!Insisted)
        Self.EditAgain(At, Text);
    return true;
}

void TRefusedEdit::EditAgain(const QPersistentModelIndex &At, const QString &Text) {
    // The view closes the old editor behind the hand-over (or already did, when a message box
    // took the focus); the new one opens after that.
    QTimer::singleShot(0, this, [this, At, Text] {
        if (!At.isValid() || !View.isVisible())
            return;
        QWidget *Editor = View.indexWidget(At);
        if (!Editor) {
            // Another editor of this view has the focus by now: it is not taken from it.
            const QWidget *Focus = QApplication::focusWidget();
            if (Focus && View.viewport()->isAncestorOf(Focus))
                return;
            View.scrollTo(At);
            View.setCurrentIndex(At);
            View.edit(At);
            Editor = View.indexWidget(At);
        }
        if (!Editor)
            return;
        auto *Line = qobject_cast<QLineEdit *>(Editor);
        // A frame: the item is seen to be edited again, not renamed.
        if (Line)
            Line->setFrame(true);
        else if (auto *Combo = qobject_cast<QComboBox *>(Editor))
            Line = Combo->lineEdit();
        if (Line) {
            Line->setText(Text);
            Line->selectAll();
        }
        Editor->setFocus();
        Reopened = Editor;
        ReopenedText = Text;
    });
}
