// The window's collaborators on their own: the stopwatch with its crash record, the document
// session's reports, and the declared keys of the actions.

#include "mainwindow/actiontable.h"
#include "mainwindow/docsession.h"
#include "mainwindow/recentfiles.h"
#include "mainwindow/stopwatch.h"
#include "mainwindow_testing.h"

#include <QSignalSpy>

namespace {

TDateTime At(int H, int M, int S = 0) {
    return EncodeDateTime(2024, 3, 4, H, M, S);
}

class CollaboratorsTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Dir.isValid());
        SetClock([this] { return Clock.Time; });
    }
    void TearDown() override { SetClock({}); }

    // A stopwatch over Doc that measures for the file File names at the time.
    std::unique_ptr<TStopwatch> MakeStopwatch(TChronarkMan &Doc) {
        return std::make_unique<TStopwatch>(Doc, Registry, Prompts, QStringLiteral("Chronark"),
                                            [this] { return File; });
    }
    QString Path(const QString &Name) const { return Dir.filePath(Name); }

    QTemporaryDir Dir;
    TTestClock Clock;
    TRegistry Registry{Dir.filePath(QStringLiteral("settings"))};
    TScriptedPrompts Prompts;
    TScriptedFileDialogs Dialogs;
    QString File;
};

} // namespace

TEST_F(CollaboratorsTest, StopwatchRecordOutlivesACrashAndIsOfferedOnceForItsOwnFile) {
    File = Path(QStringLiteral("a.ckx"));
    {
        TChronarkMan Crashed;
        auto Watch = MakeStopwatch(Crashed);
        Clock.Time = At(9, 0);
        ASSERT_TRUE(Watch->Start());
        EXPECT_FALSE(Watch->Start()) << "a second start while it runs";
        Clock.Time = At(9, 45);
        Watch->Heartbeat();
        Clock.Time = At(9, 50);
        // Destroyed while running: what a crash leaves.
    }

    // Another document's file is not asked about.
    TChronarkMan Doc;
    auto Watch = MakeStopwatch(Doc);
    File = Path(QStringLiteral("b.ckx"));
    Watch->OfferLost(false);
    EXPECT_TRUE(Prompts.Questions.isEmpty());

    File = Path(QStringLiteral("a.ckx"));
    Clock.Time = At(10, 0);
    Prompts.Choices = {1}; // "Bis zuletzt aktiv"
    Watch->DocumentOpened(false);
    ASSERT_EQ(Prompts.Questions.size(), 1);
    ASSERT_EQ(Doc.Root->TimeItems().size(), 1u);
    EXPECT_EQ(Doc.Root->TimeItems()[0]->StartTime, At(9, 0));
    EXPECT_EQ(Doc.Root->TimeItems()[0]->EndTime, At(9, 45));
    EXPECT_FALSE(Watch->Running());

    // Recorded once: the record is gone.
    Watch->OfferLost(false);
    EXPECT_EQ(Prompts.Questions.size(), 1);
    EXPECT_EQ(Doc.Root->TimeItems().size(), 1u);
}

TEST_F(CollaboratorsTest, StopwatchRecordFollowsTheFileAndGoesWithTheStop) {
    TChronarkMan Doc;
    auto Watch = MakeStopwatch(Doc);
    File = Path(QStringLiteral("alt.ckx"));
    Clock.Time = At(8, 0);
    ASSERT_TRUE(Watch->Start());
    ASSERT_TRUE(Watch->HeartbeatTimer()->isActive());
    File = Path(QStringLiteral("neu.ckx"));
    Watch->FollowFile();
    // A crash now leaves the start for the new file only.
    {
        TChronarkMan Other;
        auto Probe = MakeStopwatch(Other);
        File = Path(QStringLiteral("alt.ckx"));
        Probe->OfferLost(true);
        EXPECT_TRUE(Other.Root->TimeItems().empty());
        File = Path(QStringLiteral("neu.ckx"));
    }
    Clock.Time = At(8, 30);
    Watch->Stop();
    EXPECT_FALSE(Watch->HeartbeatTimer()->isActive());
    ASSERT_EQ(Doc.Root->TimeItems().size(), 1u);
    // Stopped and recorded: nothing is left to offer, not even silently.
    TChronarkMan After;
    auto Probe = MakeStopwatch(After);
    Probe->OfferLost(true);
    EXPECT_TRUE(After.Root->TimeItems().empty());
}

TEST_F(CollaboratorsTest, StopwatchRecordsEveryStretchOnce) {
    TChronarkMan Doc;
    auto Watch = MakeStopwatch(Doc);
    const auto Recorded = [&Doc] { return Doc.Root->TimeItems().size(); };
    QSignalSpy Ticked(Watch.get(), &TStopwatch::Ticked);
    TDateTime Until = 0;
    EXPECT_FALSE(Watch->Suspend(Until));
    Watch->Stop();
    EXPECT_EQ(Recorded(), 0u) << "nothing ran";

    Clock.Time = At(9, 0);
    Watch->Start();
    EXPECT_EQ(Ticked.count(), 1) << "the banner shows 0 at once";
    EXPECT_EQ(Watch->ElapsedText(), QStringLiteral("0 Std, 0 Min, 0 Sec"));
    Clock.Time = At(9, 10);
    Watch->Lap();
    EXPECT_EQ(Recorded(), 1u);
    EXPECT_TRUE(Watch->Running());
    EXPECT_EQ(Watch->StartTime(), At(9, 10));

    // A close that is refused: recorded up to then, resumed from there.
    Clock.Time = At(9, 20);
    ASSERT_TRUE(Watch->Suspend(Until));
    EXPECT_FALSE(Watch->Running());
    EXPECT_EQ(Recorded(), 2u) << "recorded up to the refused close";
    Clock.Time = At(9, 25);
    Watch->Resume(Until);
    EXPECT_EQ(Recorded(), 2u);
    Clock.Time = At(9, 30);
    Watch->Stop();
    EXPECT_EQ(Recorded(), 3u);
    EXPECT_FALSE(Watch->Ticker()->isActive());

    // The laps touch: no stretch twice, none lost.
    const TCKTimeItemList Items = Doc.Root->TimeItems();
    ASSERT_EQ(Items.size(), 3u);
    for (size_t i = 0; i + 1 < Items.size(); ++i)
        EXPECT_EQ(Items[i]->EndTime, Items[i + 1]->StartTime);
    EXPECT_EQ(Items.front()->StartTime, At(9, 0));
    EXPECT_EQ(Items.back()->EndTime, At(9, 30));
}

TEST_F(CollaboratorsTest, SessionReportsOpenSaveAsAndImportAndKeepsItsNameOnAFailure) {
    TChronarkMan Doc;
    std::vector<std::string> Shown;
    Doc.OnMessage = [&Shown](TMessageKind, const std::string &Text) { Shown.push_back(Text); };
    TDocumentSession Session(Doc, Prompts, Dialogs, nullptr);
    QSignalSpy Opened(&Session, &TDocumentSession::Opened);
    QSignalSpy Renamed(&Session, &TDocumentSession::Renamed);
    QSignalSpy Imported(&Session, &TDocumentSession::Imported);
    QSignalSpy Titles(&Session, &TDocumentSession::TitleChanged);

    Doc.Root->AddProject("Kunde");
    const QString Saved = Path(QStringLiteral("kunde.ckx"));
    Dialogs.Answers = {Saved};
    ASSERT_TRUE(Session.SaveAs());
    EXPECT_EQ(Session.FileName(), Saved);
    EXPECT_EQ(Renamed.count(), 1);
    EXPECT_GE(Titles.count(), 1);
    EXPECT_EQ(Session.RecentFiles().Items(), QStringList{Saved});
    EXPECT_FALSE(Doc.Modified);

    // A file that is no document: the error is shown, the name and the views stay.
    const QString Broken = Path(QStringLiteral("kaputt.ckx"));
    {
        QFile F(Broken);
        ASSERT_TRUE(F.open(QIODevice::WriteOnly));
        F.write("kein Dokument");
    }
    EXPECT_FALSE(Session.Open(Broken));
    EXPECT_EQ(Shown.size(), 1u);
    EXPECT_EQ(Session.FileName(), Saved);
    EXPECT_EQ(Opened.count(), 0);

    EXPECT_TRUE(Session.Open(Saved));
    EXPECT_EQ(Opened.count(), 1);
    EXPECT_FALSE(Session.ReadOnly());

    Dialogs.Answers = {Saved};
    Session.Import();
    EXPECT_EQ(Imported.count(), 1);
    EXPECT_EQ(Opened.count(), 1) << "an import is no open";
    // The imported project joins the one that was there.
    EXPECT_NE(Doc.Root->FirstChild, Doc.Root->LastChild);
    EXPECT_EQ(Session.DialogFolder(), Dir.path());
}

TEST(ActionKeyTest, StandardKeyOrTheUsualOneOrNone) {
    EXPECT_TRUE(TActionKey{}.Keys().isEmpty());
    EXPECT_EQ((TActionKey{QKeySequence::UnknownKey, Qt::Key_F9}.Keys()), QKeySequence(Qt::Key_F9));
    const QKeySequence Copy(QKeySequence::Copy);
    const TActionKey Standard{QKeySequence::Copy, Qt::CTRL | Qt::Key_F12};
    EXPECT_EQ(Standard.Keys(), Copy.isEmpty() ? QKeySequence(Qt::CTRL | Qt::Key_F12) : Copy);
    EXPECT_EQ(TActionKey{QKeySequence::Copy}.Keys(), Copy);
}
