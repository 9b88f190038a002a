#include "ui/prompts.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

QString Title() {
    const QString Name = QApplication::applicationName();
    return Name.isEmpty() ? QStringLiteral("Chronark") : Name;
}

} // namespace

void TMessageBoxPrompts::ShowMessage(const QString &Text) {
    QMessageBox Box(QMessageBox::NoIcon, Title(), Text, QMessageBox::Ok, Parent);
    Box.exec();
}

void TMessageBoxPrompts::ShowError(const QString &Text) {
    QMessageBox Box(QMessageBox::Critical, Title(), Text, QMessageBox::Ok, Parent);
    Box.exec();
}

void TMessageBoxPrompts::ShowWarning(const QString &Text) {
    QMessageBox Box(QMessageBox::Warning, Title(), Text, QMessageBox::Ok, Parent);
    Box.exec();
}

TPromptAnswer TMessageBoxPrompts::Confirm(const QString &Text, bool WithCancel) {
    QMessageBox Box(QMessageBox::Question, QStringLiteral("Bestätigung"), Text,
                    QMessageBox::NoButton, Parent);
    QPushButton *Yes = Box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    QPushButton *No = Box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
    QPushButton *Cancel = nullptr;
    if (WithCancel) {
        Cancel = Box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
        Box.setEscapeButton(Cancel);
    } else {
        Box.setEscapeButton(No);
    }
    Box.setDefaultButton(Yes);
    Box.exec();
    if (Box.clickedButton() == Yes)
        return TPromptAnswer::Yes;
    if (Box.clickedButton() == No)
        return TPromptAnswer::No;
    return WithCancel ? TPromptAnswer::Cancel : TPromptAnswer::No;
}

int TMessageBoxPrompts::Choose(const QString &Text, const QStringList &Buttons) {
    QMessageBox Box(QMessageBox::Question, QStringLiteral("Bestätigung"), Text,
                    QMessageBox::NoButton, Parent);
    QList<QPushButton *> Pushed;
    for (const QString &Caption : Buttons)
        Pushed << Box.addButton(Caption, QMessageBox::ActionRole);
    if (!Pushed.isEmpty())
        Box.setDefaultButton(Pushed.first());
    Box.exec();
    return Pushed.indexOf(qobject_cast<QPushButton *>(Box.clickedButton()));
}
