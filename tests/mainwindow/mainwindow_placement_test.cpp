// The window's stored settings: placement, column widths, the tree pane and the options,
// written at close and read at start, and the window fitted into smaller screens.

#include "app/formsettings.h"
#include "mainwindow_testing.h"

#include <QHeaderView>
#include <QSignalSpy>

#include <climits>

// --- Settings ------------------------------------------------------------------------------

TEST_F(MainFormTest, SettingsAreWrittenAtCloseAndReadAtStart) {
    {
        auto Reg = Settings("RecentFiles", true);
        for (int i = 1; i <= 5; ++i)
            Reg->WriteString(QStringLiteral("MRU%1").arg(i), QStringLiteral("/alt%1.ckx").arg(i));
    }
    {
        TMainFormTestPeer &F = MakeStarted();
        EXPECT_EQ(F.RecentFiles().Items().size(), 5);
        F.ListView1()->header()->resizeSection(0, 210);
        F.ListView1()->header()->resizeSection(3, 77);
        auto *Panes = F.Find<QSplitter>("Splitter1");
        Panes->setSizes({240, Panes->width() - 240});
        F.Action("acAutoOpen")->trigger();
        F.Session().SetFileName(FilePath("zuletzt.ckx"));
        F.RecentFiles().Assign({"/eins.ckx", "/zwei.ckx"});
        F.Window().move(100, 120);
        F.Window().resize(700, 500);
        EXPECT_TRUE(F.Window().close());
    }
    auto Main = Settings(QString(), false);
    ASSERT_NE(Main, nullptr);
    bool OpenLast = false;
    QString ProjectFile;
    EXPECT_TRUE(Main->ReadBool("OpenLast", OpenLast));
    EXPECT_TRUE(OpenLast);
    EXPECT_TRUE(Main->ReadString("ProjectFile", ProjectFile));
    EXPECT_EQ(ProjectFile, FilePath("zuletzt.ckx"));

    auto Form = Settings("FormSettings", false);
    ASSERT_NE(Form, nullptr);
    struct IntValue {
        const char *Name;
        int Expected;
    };
    for (const IntValue &V : {IntValue{"colCommentWidth", 210}, IntValue{"colStartTimeWidth", 150},
                              IntValue{"colEndTimeWidth", 150}, IntValue{"colDurationWidth", 77},
                              IntValue{"tvPrjWidth", 240}, IntValue{"Width", 700},
                              IntValue{"Height", 500}, IntValue{"Windowstate", 2}}) {
        int Value = -1;
        EXPECT_TRUE(Form->ReadInteger(V.Name, Value)) << V.Name;
        EXPECT_EQ(Value, V.Expected) << V.Name;
    }

    auto Recent = Settings("RecentFiles", false);
    ASSERT_NE(Recent, nullptr);
    QString Value;
    EXPECT_TRUE(Recent->ReadString("MRU1", Value));
    EXPECT_EQ(Value, QStringLiteral("/eins.ckx"));
    EXPECT_TRUE(Recent->ReadString("MRU2", Value));
    EXPECT_EQ(Value, QStringLiteral("/zwei.ckx"));
    for (const char *Gone : {"MRU3", "MRU4", "MRU5"})
        EXPECT_FALSE(Recent->ValueExists(Gone)) << Gone;

    Form.reset();
    Main.reset();
    Recent.reset();
    TMainFormTestPeer &Next = Make();
    EXPECT_TRUE(Next.Action("acAutoOpen")->isChecked());
    EXPECT_EQ(Next.RecentFiles().Items(), (QStringList{"/eins.ckx", "/zwei.ckx"}));
    Next.Start();
    EXPECT_EQ(Next.ListView1()->header()->sectionSize(0), 210);
    EXPECT_EQ(Next.ListView1()->header()->sectionSize(3), 77);
    EXPECT_EQ(Next.Find<QSplitter>("Splitter1")->sizes().value(0), 240);
    EXPECT_EQ(Next.Window().size(), QSize(700, 500));
}

// --- The window on smaller screens ---------------------------------------------------------

TEST_F(MainFormTest, FirstStartFitsTheDesignedWindowIntoSmallScreens) {
    for (const QRect &Area : {QRect(0, 0, 1280, 800), QRect(0, 0, 1024, 768)}) {
        SCOPED_TRACE(Area.width());
        ScreenArea = Area;
        TMainFormTestPeer &F = MakeStarted();
        const QRect Outer = F.Window().geometry().marginsAdded(FrameMargins(F.Window()));
        EXPECT_TRUE(Area.contains(Outer));
        // Only what does not fit is given up: the designed width fits both.
        EXPECT_EQ(F.Window().width(), 893);
        EXPECT_GE(F.Window().height(), Area.height() - 100);
        // The status bar with the totals lies inside the window.
        const QPoint Panel = F.Find<QLabel>("StatusPanel0")->mapTo(&F.Window(), QPoint(0, 0));
        EXPECT_LE(Panel.y() + F.Find<QLabel>("StatusPanel0")->height(), F.Window().height());
    }
}

TEST_F(MainFormTest, StoredBoundsThatFitAreKeptAndOthersFitted) {
    ScreenArea = QRect(0, 0, 1280, 800);
    const struct {
        const char *Name;
        QRect Stored;
        bool Kept;
    } Rows[] = {
        {"fits", QRect(40, 60, 800, 600), true},
        {"bigger than the screen", QRect(0, 0, 1600, 1000), false},
        {"off the screen after a monitor went", QRect(1500, 100, 800, 600), false},
    };
    for (const auto &Row : Rows) {
        SCOPED_TRACE(Row.Name);
        {
            auto Reg = Settings(QStringLiteral("FormSettings"), true);
            ASSERT_TRUE(Reg);
            Reg->WriteInteger(QStringLiteral("Left"), Row.Stored.x());
            Reg->WriteInteger(QStringLiteral("Top"), Row.Stored.y());
            Reg->WriteInteger(QStringLiteral("Width"), Row.Stored.width());
            Reg->WriteInteger(QStringLiteral("Height"), Row.Stored.height());
        }
        TMainFormTestPeer &F = MakeStarted();
        EXPECT_EQ(F.Window().geometry() == Row.Stored, Row.Kept);
        EXPECT_TRUE(
            ScreenArea.contains(F.Window().geometry().marginsAdded(FrameMargins(F.Window()))));
    }
}

TEST_F(MainFormTest, AbsurdStoredBoundsGiveAWindowInsideTheScreen) {
    ScreenArea = QRect(0, 0, 1280, 800);
    const struct {
        const char *Name;
        int Left, Top, Width, Height;
    } Rows[] = {
        {"INT_MAX everywhere", INT_MAX, INT_MAX, INT_MAX, INT_MAX},
        {"INT_MIN everywhere", INT_MIN, INT_MIN, INT_MIN, INT_MIN},
        {"far off with zero size", -2000000000, 2000000000, 0, 0},
    };
    for (const auto &Row : Rows) {
        SCOPED_TRACE(Row.Name);
        {
            auto Reg = Settings(QStringLiteral("FormSettings"), true);
            ASSERT_TRUE(Reg);
            Reg->WriteInteger(QStringLiteral("Left"), Row.Left);
            Reg->WriteInteger(QStringLiteral("Top"), Row.Top);
            Reg->WriteInteger(QStringLiteral("Width"), Row.Width);
            Reg->WriteInteger(QStringLiteral("Height"), Row.Height);
            for (const char *Name : {"colCommentWidth", "colStartTimeWidth", "colEndTimeWidth",
                                     "colDurationWidth", "tvPrjWidth"})
                Reg->WriteInteger(QString::fromLatin1(Name), Row.Width);
        }
        TMainFormTestPeer &F = MakeStarted();
        EXPECT_TRUE(
            ScreenArea.contains(F.Window().geometry().marginsAdded(FrameMargins(F.Window()))))
            << F.Window().geometry().x() << "," << F.Window().geometry().y() << " "
            << F.Window().width() << "x" << F.Window().height();
        for (int c = 0; c < 4; ++c) {
            EXPECT_GE(F.ListView1()->header()->sectionSize(c), 0) << c;
            EXPECT_LE(F.ListView1()->header()->sectionSize(c), ScreenArea.width()) << c;
        }
        EXPECT_LE(F.Find<QSplitter>("Splitter1")->sizes().value(0), ScreenArea.width());
        // What is stored again is as sane as the window.
        EXPECT_TRUE(F.Window().close());
        auto Reg = Settings(QStringLiteral("FormSettings"), false);
        ASSERT_TRUE(Reg);
        int Width = 0;
        ASSERT_TRUE(Reg->ReadInteger(QStringLiteral("Width"), Width));
        EXPECT_LE(Width, ScreenArea.width());
        Form.reset();
    }
}
