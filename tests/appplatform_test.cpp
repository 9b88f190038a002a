#include "app/messagedisplay.h"
#include "app/messages.h"
#include "app/platform.h"
#include "tests/appqttest.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

TEST(ProgramIcon, SmallIconOfTheProgramFile) {
    const QString own = QCoreApplication::applicationFilePath();
    const QIcon icon = ExtractSmallIcon(own, 0);
    ASSERT_FALSE(icon.isNull());
    EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)));
    const QImage image = icon.pixmap(16, 16).toImage();
    ASSERT_EQ(image.size(), QSize(16, 16));
    // Drawn, not blank: the corners are clear, the middle is painted.
    EXPECT_EQ(qAlpha(image.pixel(0, 15)), 0);
    EXPECT_GT(qAlpha(image.pixel(8, 9)), 200);

    EXPECT_TRUE(ExtractSmallIcon(QString(), 0).isNull());
    EXPECT_TRUE(ExtractSmallIcon(own, 1).isNull());
    EXPECT_TRUE(ExtractSmallIcon(own, -1).isNull());
    EXPECT_TRUE(ExtractSmallIcon(QStringLiteral("/bin/sh"), 0).isNull());
    EXPECT_TRUE(ExtractSmallIcon(QStringLiteral("/gibt/es/nicht"), 0).isNull());
}

TEST(ProgramIcon, AllSizes) {
    const QIcon icon = ProgramIcon();
    for (int size : {16, 32, 48, 256})
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
}

class TrayWindows : public ::testing::Test {
protected:
    void TearDown() override {
        SetTrayAvailableOverride(TTrayOverride::AskDesktop);
        SetAppWindow(nullptr);
    }
};

TEST_F(TrayWindows, HideIntoTheTrayAndComeBack) {
    SetTrayAvailableOverride(TTrayOverride::Available);
    QWidget main;
    main.setGeometry(50, 60, 300, 200);
    main.show();
    SetAppWindow(&main);
    EXPECT_EQ(AppWindow(), &main);

    HideAppWindow();
    HideFormWindow(main);
    EXPECT_FALSE(main.isVisible());

    ShowAppWindow();
    ShowFormWindow(main);
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(main.windowState() & Qt::WindowMinimized);
    EXPECT_EQ(main.geometry(), QRect(50, 60, 300, 200));
}

TEST_F(TrayWindows, WithoutATrayTheWindowIsMinimisedNotHidden) {
    SetTrayAvailableOverride(TTrayOverride::Unavailable);
    EXPECT_FALSE(TrayAvailable());
    QWidget main;
    main.show();
    SetAppWindow(&main);
    HideAppWindow();
    HideFormWindow(main);
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(main.windowState() & Qt::WindowMinimized);

    ShowAppWindow();
    ShowFormWindow(main);
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(main.windowState() & Qt::WindowMinimized);
}

TEST_F(TrayWindows, RestoringKeepsAMaximisedWindowMaximised) {
    SetTrayAvailableOverride(TTrayOverride::Available);
    QWidget main;
    main.showMaximized();
    SetAppWindow(&main);
    HideAppWindow();
    HideFormWindow(main);
    ShowAppWindow();
    ShowFormWindow(main);
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(main.isMaximized());
}

TEST_F(TrayWindows, AppWindowForgetsADestroyedWindow) {
    {
        QWidget main;
        SetAppWindow(&main);
    }
    EXPECT_EQ(AppWindow(), nullptr);
    HideAppWindow();
    ShowAppWindow();
}

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
