#include "ui/messagedisplay.h"

#include "base/messages.h"
#include "tests/app/appqttest.h"

#include <QAbstractButton>
#include <QMessageBox>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

struct TShownBox {
    QString Title, Text;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QStringList Buttons;
};

std::shared_ptr<bool> CaptureBox(TShownBox &Shown) {
    return InspectModal([&Shown](QWidget *W) {
        auto *box = qobject_cast<QMessageBox *>(W);
        ASSERT_NE(box, nullptr);
        Shown.Title = box->windowTitle();
        Shown.Text = box->text();
        Shown.Icon = box->icon();
        for (QAbstractButton *b : box->buttons())
            Shown.Buttons << b->text();
    });
}

TEST(MessageDisplay, ErrorsAndWarningsBecomeModalBoxes) {
    InstallQtMessageDisplay();
    struct Case {
        TMessageKind Kind;
        std::string Text;
        QString Expected;
        QMessageBox::Icon Icon;
        QString Title;
    } cases[] = {
        {TMessageKind::Error, "Fehler in \"C:\\B\xFCro.ckx\":\r\n\r\n2:1 - Document mu\xDF",
         QStringLiteral("Fehler in \"C:\\B\u00fcro.ckx\":\n\n2:1 - Document mu\u00df"),
         QMessageBox::Critical, QStringLiteral("Fehler")},
        {TMessageKind::Warning, "Preis \x80 5", QStringLiteral("Preis \u20ac 5"),
         QMessageBox::Warning, QStringLiteral("Warnung")},
    };
    for (const Case &c : cases) {
        TShownBox shown;
        auto inspected = CaptureBox(shown);
        if (c.Kind == TMessageKind::Error)
            ShowErrorMessage(c.Text);
        else
            ShowWarningMessage(c.Text);
        ASSERT_TRUE(*inspected);
        EXPECT_EQ(shown.Text, c.Expected);
        EXPECT_EQ(shown.Icon, c.Icon);
        EXPECT_EQ(shown.Title, c.Title);
        EXPECT_EQ(shown.Buttons.size(), 1);
    }
    SetMessageHandler(nullptr);
}

} // namespace
