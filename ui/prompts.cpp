#include "ui/prompts.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QPushButton>

namespace {

QString Title() {
    const QString Name = QApplication::applicationName();
    return Name.isEmpty() ? QStringLiteral("Chronark") : Name;
}

// A box as wide as its title and text need, at least a comfortable minimum: a short text
// ("falscher Typ") would otherwise give a box too narrow for its own title.
void FitToTitleAndText(QMessageBox &Box) {
    const QFontMetrics Metrics(Box.font());
    // Room for the frame's buttons and icon beside the title.
    constexpr int TitleBarExtra = 140;
    constexpr int MinimumWidth = 320;
    const int Width =
        qMax(MinimumWidth, Metrics.horizontalAdvance(Box.windowTitle()) + TitleBarExtra);
    if (auto *Grid = qobject_cast<QGridLayout *>(Box.layout()))
        Grid->addItem(new QSpacerItem(Width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      Grid->rowCount(), 0, 1, Grid->columnCount());
}

int Run(QMessageBox &Box) {
    FitToTitleAndText(Box);
    return Box.exec();
}

} // namespace

void TMessageBoxPrompts::ShowMessage(const QString &Text) {
    QMessageBox Box(QMessageBox::NoIcon, Title(), Text, QMessageBox::Ok, BoxParent());
    Run(Box);
}

void TMessageBoxPrompts::ShowError(const QString &Text) {
    QMessageBox Box(QMessageBox::Critical, Title(), Text, QMessageBox::Ok, BoxParent());
    Run(Box);
}

void TMessageBoxPrompts::ShowWarning(const QString &Text) {
    QMessageBox Box(QMessageBox::Warning, Title(), Text, QMessageBox::Ok, BoxParent());
    Run(Box);
}

TPromptAnswer TMessageBoxPrompts::Confirm(const QString &Text, bool WithCancel) {
    QMessageBox Box(QMessageBox::Question, QStringLiteral("Bestätigung"), Text,
                    QMessageBox::NoButton, BoxParent());
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
    Run(Box);
    if (Box.clickedButton() == Yes)
        return TPromptAnswer::Yes;
    if (Box.clickedButton() == No)
        return TPromptAnswer::No;
    return WithCancel ? TPromptAnswer::Cancel : TPromptAnswer::No;
}

int TMessageBoxPrompts::Choose(const QString &Text, const QStringList &Buttons) {
    QMessageBox Box(QMessageBox::Question, QStringLiteral("Bestätigung"), Text,
                    QMessageBox::NoButton, BoxParent());
    QList<QPushButton *> Pushed;
    for (const QString &Caption : Buttons)
        Pushed << Box.addButton(Caption, QMessageBox::ActionRole);
    if (!Pushed.isEmpty())
        Box.setDefaultButton(Pushed.first());
    Run(Box);
    return Pushed.indexOf(qobject_cast<QPushButton *>(Box.clickedButton()));
}
