#include "ui/prompts.h"

#include "app/qtext.h"
#include "tests/app/appqttest.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

struct TShownBox {
    QString Title, Text;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QStringList Buttons;
    QWidget *Parent = nullptr;
};

std::shared_ptr<bool> CaptureBox(TShownBox &Shown) {
    return InspectModal([&Shown](QWidget *W) {
        auto *box = qobject_cast<QMessageBox *>(W);
        ASSERT_NE(box, nullptr);
        Shown.Title = box->windowTitle();
        Shown.Text = box->text();
        Shown.Icon = box->icon();
        Shown.Parent = box->parentWidget();
        for (QAbstractButton *b : box->buttons())
            Shown.Buttons << b->text();
    });
}

// Errors, warnings and notices are modal boxes over the window, titled with the program's
// name, with their own symbol and one OK button; the document's Windows-1252 messages with
// CR LF arrive as plain lines.
TEST(MessageBoxPrompts, ErrorsWarningsAndNoticesBecomeModalBoxes) {
    const QString savedName = QApplication::applicationName();
    QApplication::setApplicationName(QStringLiteral("Zeitnehmer"));
    QWidget owner;
    TMessageBoxPrompts prompts(&owner);
    struct Case {
        const char *Name;
        std::function<void(const QString &)> Show;
        std::string Text;
        QString Expected;
        QMessageBox::Icon Icon;
    } cases[] = {
        {"error", [&](const QString &T) { prompts.ShowError(T); },
         "Fehler in \"C:\\B\xFCro.ckx\":\r\n\r\n2:1 - Document mu\xDF",
         QStringLiteral("Fehler in \"C:\\B\u00fcro.ckx\":\n\n2:1 - Document mu\u00df"),
         QMessageBox::Critical},
        {"warning", [&](const QString &T) { prompts.ShowWarning(T); },
         "Preis \x80 5\r\nzweite Zeile", QStringLiteral("Preis \u20ac 5\nzweite Zeile"),
         QMessageBox::Warning},
        {"notice", [&](const QString &T) { prompts.ShowMessage(T); }, "Hinweis",
         QStringLiteral("Hinweis"), QMessageBox::NoIcon},
    };
    for (const Case &c : cases) {
        TShownBox shown;
        auto inspected = CaptureBox(shown);
        c.Show(ToQMessage(c.Text));
        ASSERT_TRUE(*inspected) << c.Name;
        EXPECT_EQ(shown.Text, c.Expected) << c.Name;
        EXPECT_EQ(shown.Icon, c.Icon) << c.Name;
        EXPECT_EQ(shown.Title, QStringLiteral("Zeitnehmer")) << c.Name;
        EXPECT_EQ(shown.Buttons.size(), 1) << c.Name;
        EXPECT_EQ(shown.Parent, &owner) << c.Name;
    }
    QApplication::setApplicationName(savedName);
}

// A short text ("falscher Typ") still gets a box wide enough for its whole title.
TEST(MessageBoxPrompts, EveryBoxIsWideEnoughForItsTitle) {
    const QString savedName = QApplication::applicationName();
    for (const QString &Name : {QStringLiteral("Chronark"),
                                QStringLiteral("Chronark Zeiterfassung mit einem langen Namen")}) {
        QApplication::setApplicationName(Name);
        TMessageBoxPrompts prompts;
        int Width = 0, Needed = 0;
        auto inspected = InspectModal([&](QWidget *W) {
            Width = W->width();
            Needed = QFontMetrics(W->font()).horizontalAdvance(W->windowTitle());
            static_cast<QMessageBox *>(W)->accept();
        });
        prompts.ShowMessage(QStringLiteral("falscher Typ"));
        ASSERT_TRUE(*inspected);
        EXPECT_GE(Width, 320) << Name.toStdString();
        EXPECT_GE(Width, Needed + 100) << Name.toStdString();
    }
    QApplication::setApplicationName(savedName);
}

// Only CR LF pairs become LF: a lone CR or LF is text the user wrote and stays.
TEST(QText, MessagesLoseTheCrOfCrLfOnly) {
    struct Case {
        const char *Name;
        std::string Text;
        QString Expected;
    } cases[] = {
        {"pairs", "a\r\n\r\nb", QStringLiteral("a\n\nb")},
        {"lone CR and LF", "a\rb\nc", QStringLiteral("a\rb\nc")},
        {"LF CR is no pair", "a\n\rb", QStringLiteral("a\n\rb")},
        {"Windows-1252 letters", "\xE4\x80\x9C", QStringLiteral("\u00e4\u20ac\u0153")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ToQMessage(c.Text), c.Expected) << c.Name;
    EXPECT_EQ(FromQ(ToQ("\xE4\x80\r\n")), "\xE4\x80\r\n");
}

} // namespace
