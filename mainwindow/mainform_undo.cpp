#include "mainwindow/mainform_undo.h"

#include "app/qtext.h"
#include "model/ckmanager.h"

#include <QAction>

namespace {

// "&Rückgängig" alone, or with the step's name after it.
void Name(QAction &Action, const QString &Caption, const std::string &Step) {
    const QString Text = Step.empty() ? Caption : Caption + QStringLiteral(": ") + ToQ(Step);
    Action.setText(Text);
    const QString Hint = QString(Text).remove(QLatin1Char('&'));
    Action.setToolTip(Hint);
    Action.setStatusTip(Hint);
    Action.setEnabled(!Step.empty());
}

} // namespace

TUndoActions::TUndoActions(const TChronarkMan &ADoc, QAction &AUndo, QAction &ARedo)
    : Doc(ADoc), Undo(AUndo), Redo(ARedo) {
    Redo.setShortcuts({Redo.shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    Doc.Subscribe(*this);
    Update();
}

TUndoActions::~TUndoActions() {
    Doc.Unsubscribe(*this);
}

void TUndoActions::Update() {
    const TCKUndoHistory &History = Doc.UndoHistory();
    Name(Undo, QStringLiteral("&Rückgängig"), History.UndoName());
    Name(Redo, QStringLiteral("&Wiederholen"), History.RedoName());
}
