#include "app/platform.h"
#include "tests/app/appqttest.h"

#include <QCoreApplication>
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

} // namespace
