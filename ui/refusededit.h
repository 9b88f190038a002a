#pragma once
// A text typed into a view's in-place editor that the window refuses: the item goes on
// showing what it holds, and its editor opens again holding the refused text, selected, so
// that the user mends it instead of typing it anew. Once per refusal: the same text handed
// over unchanged from the editor opened again for it only closes that editor, so that leaving
// it does not bring the message back and the editor with it, again and again.

#include <QModelIndex>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QAbstractItemView;

class TRefusedEdit : public QObject {
    Q_OBJECT
public:
    // Text was handed over from View's editor at Index. Refuse tells the user why the text
    // cannot be taken and answers true, or answers false when it can. Answers whether the
    // text is refused: then Index shows Shown and, after the current event, the editor opens
    // again as said above; the caller stores nothing.
    static bool Refused(QAbstractItemView &View, const QModelIndex &Index, const QString &Text,
                        const QString &Shown, const std::function<bool()> &Refuse);

private:
    explicit TRefusedEdit(QAbstractItemView &AView);
    static TRefusedEdit &Of(QAbstractItemView &View);
    void EditAgain(const QPersistentModelIndex &At, const QString &Text);

    QAbstractItemView &View;
    // The editor opened again and the text it was given.
    QPointer<QWidget> Reopened;
    QString ReopenedText;
};
