// The stopwatch: entries from starts, laps and stops, the banner and tooltip, the tray.

#include "base/dates.h"
#include "mainwindow_testing.h"
#include "mainwindow/trayicon.h"

#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

TDateTime At(int H, int M, int S, int Ms = 0) {
    return EncodeDateTime(2024, 3, 4, H, M, S, Ms);
}

} // namespace

TEST_F(MainFormTest, StartAndStopWithinOneSecondGiveAOneSecondEntry) {
    TMainFormTestPeer &F = MakeStarted();
    Clock.Time = At(9, 0, 0, 100);
    F.Action("TBSubmenuItem2")->trigger();
    Clock.Time = At(9, 0, 0, 900);
    F.Action("TBSubmenuItem12")->trigger();
    TCKTimeItemList Entries = F.Doc().Root->TimeItems();
    ASSERT_EQ(Entries.size(), 1u);
    EXPECT_EQ(Entries[0]->StartTime, At(9, 0, 0));
    EXPECT_EQ(Entries[0]->EndTime, At(9, 0, 1));
    EXPECT_EQ(ListCaptions().size(), 1);
    EXPECT_TRUE(F.Doc().Modified);
    EXPECT_TRUE(F.Action("acSave")->isEnabled());
    EXPECT_EQ(F.Action("acSave")->property("imageIndex").toInt(), imgSave);
}

TEST_F(MainFormTest, TwoLapsAndAStopGiveThreeTouchingEntries) {
    TMainFormTestPeer &F = MakeStarted();
    Clock.Time = At(9, 0, 0, 700);
    F.Action("TBItem3")->trigger();
    Clock.Time = At(9, 10, 0, 400);
    F.Action("TBItem28")->trigger();
    EXPECT_TRUE(F.Stopwatch().Running());
    Clock.Time = At(9, 25, 30, 999);
    F.Action("TBItem28")->trigger();
    Clock.Time = At(10, 0, 0, 0);
    F.Action("TBItem8")->trigger();
    TCKTimeItemList E = F.Doc().Root->TimeItems();
    ASSERT_EQ(E.size(), 3u);
    EXPECT_EQ(E[0]->StartTime, At(9, 0, 0));
    EXPECT_EQ(E[0]->EndTime, At(9, 10, 0));
    EXPECT_EQ(E[1]->StartTime, E[0]->EndTime);
    EXPECT_EQ(E[1]->EndTime, At(9, 25, 30));
    EXPECT_EQ(E[2]->StartTime, E[1]->EndTime);
    EXPECT_EQ(E[2]->EndTime, At(10, 0, 0));
    EXPECT_EQ(ListCaptions().size(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(F.ListView1()->ImageOf(i), imgEntryPlain) << "touching is no overlap";
    EXPECT_FALSE(F.Stopwatch().Running());
}

TEST_F(MainFormTest, StopWhileAnotherProjectIsShownAddsNoRowButCountsTheTime) {
    TMainFormTestPeer &F = MakeStarted();
    TCKProjectItem *Target = F.Doc().Root->AddProject("Messungen");
    TCKProjectItem *Other = F.Doc().Root->AddProject("Anderes");
    F.Doc().DefaultProject = Target;
    F.Views().RebuildViews(true);
    ShowProject(Other);
    F.Action("TBSubmenuItem2")->trigger();
    Clock.Advance(3600 + 5);
    F.Action("TBSubmenuItem12")->trigger();
    EXPECT_TRUE(ListCaptions().isEmpty());
    EXPECT_EQ(Target->TimeItems().size(), 1u);
    EXPECT_EQ(F.Find<QLabel>("StatusPanel0")->text(),
              QStringLiteral("Gesamt: 1 Std, 0 Min, 5 Sek"));
    EXPECT_EQ(F.Find<QLabel>("StatusPanel1")->text(),
              QStringLiteral("Aktuelles Project: 0 Std, 0 Min, 0 Sek"));
}

TEST_F(MainFormTest, MeasurementItemsFollowTheRunningState) {
    TMainFormTestPeer &F = MakeStarted();
    auto Check = [&](bool Running) {
        EXPECT_EQ(F.Action("TBSubmenuItem2")->isEnabled(), !Running);
        EXPECT_EQ(F.Menu("TBSubmenuItem10")->menuAction()->isEnabled(), !Running);
        EXPECT_EQ(F.Action("TBSubmenuItem12")->isEnabled(), Running);
        EXPECT_EQ(F.Menu("TBSubmenuItem13")->menuAction()->isEnabled(), Running);
        EXPECT_EQ(F.Action("acMinimize")->isEnabled(), Running);
        EXPECT_EQ(F.Find<QWidget>("Panel2")->isVisible(), Running);
        EXPECT_EQ(F.Find<QWidget>("Panel3")->isVisible(), Running);
        EXPECT_EQ(F.Stopwatch().Ticker()->isActive(), Running);
    };
    Check(false);
    F.Action("TBSubmenuItem2")->trigger();
    Check(true);
    F.Action("TBSubmenuItem12")->trigger();
    Check(false);
}

TEST_F(MainFormTest, BannerAndTooltipShowTheElapsedTimeOnEveryTick) {
    TMainFormTestPeer &F = MakeStarted();
    F.Action("TBSubmenuItem2")->trigger();
    EXPECT_EQ(F.Find<QLabel>("Label1")->text(),
              QStringLiteral(" Aktuelle Zeit: 0 Std, 0 Min, 0 Sec"));
    EXPECT_EQ(F.Tray().ToolTip(), QStringLiteral("Chronark - Aktuelle Zeit: 0 Std, 0 Min, 0 Sec"));
    Clock.Advance(5 * 60 + 3);
    (void)QTest::qWaitFor([&] {
        return F.Find<QLabel>("Label1")->text() ==
               QStringLiteral(" Aktuelle Zeit: 0 Std, 5 Min, 3 Sec");
    });
    EXPECT_EQ(F.Find<QLabel>("Label1")->text(),
              QStringLiteral(" Aktuelle Zeit: 0 Std, 5 Min, 3 Sec"));
    EXPECT_EQ(F.Tray().ToolTip(), QStringLiteral("Chronark - Aktuelle Zeit: 0 Std, 5 Min, 3 Sec"));
    Clock.Advance(25 * 3600 - 5 * 60 - 2);
    (void)QTest::qWaitFor([&] {
        return F.Find<QLabel>("Label1")->text() ==
               QStringLiteral(" Aktuelle Zeit: 25 Std, 0 Min, 1 Sec");
    });
    EXPECT_EQ(F.Find<QLabel>("Label1")->text(),
              QStringLiteral(" Aktuelle Zeit: 25 Std, 0 Min, 1 Sec"));
    F.Action("TBSubmenuItem12")->trigger();
    // The tooltip keeps its last text.
    EXPECT_EQ(F.Tray().ToolTip(), QStringLiteral("Chronark - Aktuelle Zeit: 25 Std, 0 Min, 1 Sec"));
}

TEST_F(MainFormTest, TrayTooltipKeepsAtMost62Characters) {
    TTrayIcon Tray;
    const QString Long =
        QStringLiteral("Chronark - Aktuelle Zeit: ") + QString(60, QLatin1Char('x'));
    Tray.SetToolTip(Long);
    EXPECT_EQ(Tray.ToolTip(), Long.left(62));
    Tray.SetToolTip(QStringLiteral("kurz"));
    EXPECT_EQ(Tray.ToolTip(), QStringLiteral("kurz"));
}

TEST_F(MainFormTest, TrayHidesTheWindowAndBringsItBackWithoutStopping) {
    TMainFormTestPeer &F = MakeStarted();
    EXPECT_EQ(F.Tray().ToolTip(), QStringLiteral("Chronark"));
    F.Action("TBItem13")->trigger();
    EXPECT_TRUE(F.Stopwatch().Running());
    EXPECT_FALSE(F.Window().isVisible());
    EXPECT_TRUE(F.Tray().Active());

    F.Action("Zeitstoppen1")->trigger();
    EXPECT_TRUE(F.Window().isVisible());
    EXPECT_FALSE(F.Tray().Active());
    EXPECT_TRUE(F.Stopwatch().Running());

    F.Action("acMinimize")->trigger();
    EXPECT_FALSE(F.Window().isVisible());
    emit F.Tray().DoubleClicked();
    EXPECT_TRUE(F.Window().isVisible());
    EXPECT_FALSE(F.Tray().Active());
    EXPECT_TRUE(F.Stopwatch().Running());

    F.Action("acMinimize")->trigger();
    Clock.Advance(60);
    F.Action("Stop1")->trigger();
    EXPECT_TRUE(F.Window().isVisible());
    EXPECT_FALSE(F.Tray().Active());
    EXPECT_FALSE(F.Stopwatch().Running());
    EXPECT_EQ(F.Doc().Root->TimeItems().size(), 1u);
}

TEST_F(MainFormTest, WithoutATrayTheWindowOnlyMinimises) {
    SetTrayAvailableOverride(TTrayOverride::Unavailable);
    TMainFormTestPeer &F = MakeStarted();
    F.Action("TBItem13")->trigger();
    EXPECT_TRUE(F.Window().isVisible());
    EXPECT_TRUE(F.Window().windowState() & Qt::WindowMinimized);
    EXPECT_FALSE(F.Tray().Active());
    F.Action("Zeitstoppen1")->trigger();
    EXPECT_FALSE(F.Window().windowState() & Qt::WindowMinimized);
}

TEST_F(MainFormTest, StopAndQuitRecordsBeforeTheQuestionAndACancelNeverRecordsTwice) {
    TMainFormTestPeer &F = MakeStarted();
    Clock.Time = At(9, 0, 0);
    F.Action("TBItem13")->trigger();
    Clock.Time = At(9, 30, 0);
    Prompts.Answers = {TPromptAnswer::Cancel};
    QSignalSpy Closed(&F.Window(), &TMainForm::Closed);
    F.Action("StopundBeenden1")->trigger();
    EXPECT_EQ(Closed.count(), 0);
    ASSERT_EQ(Prompts.Questions.size(), 1);
    EXPECT_EQ(Prompts.Questions[0], QStringLiteral("Möchten Sie die Änderungen speichern?"));
    ASSERT_EQ(F.Doc().Root->TimeItems().size(), 1u);
    // The window stays (still in the tray) and the measurement goes on from the recorded end.
    EXPECT_TRUE(F.Tray().Active());
    EXPECT_TRUE(F.Stopwatch().Running());
    EXPECT_TRUE(F.Stopwatch().Ticker()->isActive());
    Clock.Time = At(9, 45, 0);
    F.Action("Zeitstoppen1")->trigger();
    F.Action("TBSubmenuItem12")->trigger();
    TCKTimeItemList E = F.Doc().Root->TimeItems();
    ASSERT_EQ(E.size(), 2u);
    EXPECT_EQ(E[0]->StartTime, At(9, 0, 0));
    EXPECT_EQ(E[0]->EndTime, At(9, 30, 0));
    EXPECT_EQ(E[1]->StartTime, At(9, 30, 0));
    EXPECT_EQ(E[1]->EndTime, At(9, 45, 0));
}

TEST_F(MainFormTest, StopAndQuitWithNoAnswerRecordsAndCloses) {
    TMainFormTestPeer &F = MakeStarted();
    F.Action("TBSubmenuItem2")->trigger();
    Clock.Advance(10);
    Prompts.Answers = {TPromptAnswer::No};
    QSignalSpy Closed(&F.Window(), &TMainForm::Closed);
    F.Window().close();
    EXPECT_EQ(Closed.count(), 1);
    EXPECT_EQ(F.Doc().Root->TimeItems().size(), 1u);
    EXPECT_FALSE(F.Stopwatch().Running());
}

TEST_F(MainFormTest, StartSwitchMeasuresInTheTrayFromTheStart) {
    TMainFormTestPeer &F = MakeStarted({"--start"});
    EXPECT_TRUE(F.Stopwatch().Running());
    EXPECT_FALSE(F.Window().isVisible());
    EXPECT_TRUE(F.Tray().Active());
    EXPECT_FALSE(F.Action("acSave")->isEnabled());
    F.Action("Zeitstoppen1")->trigger();
    EXPECT_TRUE(F.Window().isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return F.Window().isVisible(); }));
}

TEST_F(MainFormTest, StartSwitchShowsTheOpenedDocumentInTheViews) {
    const QString Path = WriteDocument(QStringLiteral("start.ckx"), [&](TChronarkMan &D) {
        D.Root->AddProject("Kunde")->AddTime(Span(8, 0, 0, 9, 0, 0, "alt"));
    });
    TMainFormTestPeer &F = MakeStarted({"-start", QFile::encodeName(Path).toStdString()});
    EXPECT_TRUE(F.Stopwatch().Running());
    EXPECT_EQ(F.Session().FileName(), Path);
    EXPECT_EQ(ListCaptions(), QStringList{"Kunde"});
    EXPECT_EQ(F.TreeView1()->TopNode()->childCount(), 1);
    EXPECT_EQ(F.Window().windowTitle(), QStringLiteral("start.ckx - Chronark"));
}

TEST_F(MainFormTest, WhileMeasuringTheTooltipsNameTheTargetProject) {
    TMainFormTestPeer &F = MakeStarted();
    TCKProjectItem *Customer = F.Doc().Root->AddProject("Kunde");
    TCKProjectItem *Site = Customer->AddProject("Webseite");
    F.Action("TBSubmenuItem2")->trigger();
    // Into the top level: the tray keeps the program's name.
    EXPECT_EQ(F.Find<QWidget>("Panel2")->toolTip(),
              QStringLiteral("Die Zeit wird gebucht auf: Projekte"));
    EXPECT_EQ(F.Tray().ToolTip(), QStringLiteral("Chronark - Aktuelle Zeit: 0 Std, 0 Min, 0 Sec"));

    // The default project changes while the stopwatch runs: the next tick names it.
    F.Doc().DefaultProject = Site;
    Clock.Advance(2);
    (void)QTest::qWaitFor([&] { return F.Tray().ToolTip().startsWith("Webseite"); });
    EXPECT_EQ(F.Find<QWidget>("Panel2")->toolTip(),
              QStringLiteral("Die Zeit wird gebucht auf: Projekte / Kunde / Webseite"));
    EXPECT_EQ(F.Tray().ToolTip(), QStringLiteral("Webseite - Aktuelle Zeit: 0 Std, 0 Min, 2 Sec"));
    // The banner itself keeps its text.
    EXPECT_EQ(F.Find<QLabel>("Label1")->text(),
              QStringLiteral(" Aktuelle Zeit: 0 Std, 0 Min, 2 Sec"));

    // A long name gives way so that the time stays readable in the tray's few characters.
    Site->Caption = std::string(80, 'p');
    Clock.Advance(3600);
    (void)QTest::qWaitFor([&] { return F.Tray().ToolTip().endsWith("1 Std, 0 Min, 2 Sec"); });
    EXPECT_TRUE(
        F.Tray().ToolTip().endsWith(QStringLiteral("… - Aktuelle Zeit: 1 Std, 0 Min, 2 Sec")))
        << F.Tray().ToolTip().toStdString();
    EXPECT_EQ(F.Tray().ToolTip().size(), TTrayIcon::MaxToolTip);
    F.Action("TBSubmenuItem12")->trigger();
}
