#include "ui/messagedisplay.h"

#include "base/messages.h"
#include "base/cstring.h"

#include <QApplication>
#include <QMessageBox>

namespace {

void ShowBox(QWidget *Owner, QMessageBox::Icon Icon, const QString &Title, const QString &Text) {
    QMessageBox box(Icon, Title, Text, QMessageBox::Ok, Owner);
    box.exec();
}

QString FromCp1252(const std::string &Text) {
    QString text = QString::fromStdU16String(Cp1252ToUtf16(Text));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

} // namespace

void ShowErrorBox(QWidget *Owner, const QString &Text) {
    ShowBox(Owner, QMessageBox::Critical, QStringLiteral("Fehler"), Text);
}

void ShowWarningBox(QWidget *Owner, const QString &Text) {
    ShowBox(Owner, QMessageBox::Warning, QStringLiteral("Warnung"), Text);
}

void InstallQtMessageDisplay() {
    SetMessageHandler([](TMessageKind Kind, const std::string &Text) {
        QWidget *owner = QApplication::activeWindow();
        if (Kind == TMessageKind::Error)
            ShowErrorBox(owner, FromCp1252(Text));
        else
            ShowWarningBox(owner, FromCp1252(Text));
    });
}
