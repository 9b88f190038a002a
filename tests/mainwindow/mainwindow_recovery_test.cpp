// A measurement a crash interrupted is offered again for its own document, and a document
// another running copy of the program writes is opened read-only, anyway, or not at all.

#include "base/dates.h"
#include "mainwindow_testing.h"

#include <QFile>
#include <QTimer>

#include <unistd.h>

namespace {

TDateTime At(int H, int M, int S = 0) {
    return EncodeDateTime(2024, 3, 4, H, M, S);
}

std::string Native(const QString &Path) {
    return QFile::encodeName(Path).toStdString();
}

QByteArray Contents(const QString &Path) {
    QFile F(Path);
    return F.open(QIODevice::ReadOnly) ? F.readAll() : QByteArray();
}

void WriteText(const QString &Path, const QByteArray &Text) {
    QFile F(Path);
    ASSERT_TRUE(F.open(QIODevice::WriteOnly | QIODevice::Truncate));
    F.write(Text);
}

QByteArray OwnerText(long Pid, const std::string &Host) {
    return QByteArray::number(qlonglong(Pid)) + '\n' + QByteArray::fromStdString(Host) + '\n';
}

} // namespace

class RecoveryTest : public MainFormTest {
protected:
    // An empty document saved under Name; answers its path.
    QString MakeDocument(const QString &Name) {
        TChronarkMan Man;
        const QString Path = FilePath(Name);
        EXPECT_TRUE(Man.SaveToFile(Native(Path)));
        return Path;
    }
    // Starts a measurement over Doc at 9:00 with a last sign of life at 9:45, and ends the
    // program without its close handling, as a crash does.
    void CrashWhileMeasuring(const QString &Doc) {
        Clock.Time = At(9, 0);
        TMainFormTestPeer &F = MakeStarted({Native(Doc)});
        F.Action("TBSubmenuItem2")->trigger();
        Clock.Time = At(9, 45);
        F.Stopwatch().Heartbeat();
        Clock.Time = At(9, 50);
        Form.reset();
    }
    TCKTimeItemList Entries() const { return Form->Doc().Root->TimeItems(); }
};

TEST_F(RecoveryTest, ACrashedMeasurementIsRecordedAsTheUserChooses) {
    struct Case {
        const char *name;
        int choice;
        bool recorded;
        TDateTime end;
        bool askedAgain;
    } cases[] = {
        {"until now", 0, true, At(11, 0), false},
        {"until last seen alive", 1, true, At(9, 45), false},
        {"discard", 2, false, 0, false},
        {"box closed: asked again next time", -1, false, 0, true},
    };
    for (const Case &c : cases) {
        const QString Doc = MakeDocument(QStringLiteral("doc.ckx"));
        Prompts = {};
        CrashWhileMeasuring(Doc);
        Clock.Time = At(11, 0);
        Prompts.Choices = {c.choice};
        TMainFormTestPeer &G = MakeStarted({Native(Doc)});
        ASSERT_EQ(Prompts.Questions.size(), 1) << c.name;
        EXPECT_TRUE(Prompts.Questions[0].startsWith(
            QStringLiteral("Chronark wurde während einer laufenden Messung beendet.")))
            << c.name;
        EXPECT_TRUE(Prompts.Questions[0].contains(QStringLiteral("04.03.2024 09:00:00")));
        EXPECT_TRUE(Prompts.Questions[0].contains(QStringLiteral("04.03.2024 09:45:00")));
        EXPECT_EQ(Prompts.ChoiceButtons[0],
                  QStringList({QStringLiteral("Bis &jetzt"), QStringLiteral("Bis &zuletzt aktiv"),
                               QStringLiteral("&Verwerfen")}));
        const TCKTimeItemList E = Entries();
        ASSERT_EQ(E.size(), c.recorded ? 1u : 0u) << c.name;
        if (c.recorded) {
            EXPECT_EQ(E[0]->StartTime, At(9, 0)) << c.name;
            EXPECT_EQ(E[0]->EndTime, c.end) << c.name;
            EXPECT_EQ(ListCaptions().size(), 1) << c.name;
        }
        EXPECT_EQ(G.Doc().Modified, c.recorded) << c.name;
        EXPECT_EQ(G.Action("acSave")->isEnabled(), c.recorded) << c.name;
        EXPECT_FALSE(G.Stopwatch().Running()) << c.name;
        Form.reset();
        Prompts = {};
        if (c.askedAgain)
            Prompts.Choices = {2};
        MakeStarted({Native(Doc)});
        EXPECT_EQ(Prompts.Questions.size(), c.askedAgain ? 1 : 0) << c.name;
        Form.reset();
    }
}

TEST_F(RecoveryTest, AStoredStartNoDocumentCanHoldIsDiscardedWithAWarning) {
    const QString Warning = QStringLiteral(
        "Die gespeicherte Startzeit einer Messung ist ungültig und wurde verworfen.");
    for (const char *Stored : {"nan", "inf", "1e300", "-700000", "2958470", "Mittag"}) {
        SCOPED_TRACE(Stored);
        const QString Doc = MakeDocument(QStringLiteral("doc.ckx"));
        Prompts = {};
        CrashWhileMeasuring(Doc);
        Settings(TStopwatch::RecordKey(Doc), false)
            ->WriteString(QStringLiteral("Start"), QString::fromLatin1(Stored));
        Clock.Time = At(11, 0);
        TMainFormTestPeer &G = MakeStarted({Native(Doc)}); // a question fails the test
        EXPECT_EQ(Prompts.Warnings, QStringList{Warning});
        EXPECT_TRUE(Entries().empty());
        EXPECT_FALSE(G.Doc().Modified);
        const auto Kept = Settings(TStopwatch::RecordKey(Doc), false);
        EXPECT_TRUE(!Kept || !Kept->ValueExists(QStringLiteral("Start")));
        Form.reset();
        Prompts = {};
        MakeStarted({Native(Doc)});
        EXPECT_TRUE(Prompts.Warnings.isEmpty()) << "warned once, then forgotten";
        Form.reset();
    }
}

TEST_F(RecoveryTest, AnUnusableLastSignOfLifeLeavesTheStartToBeRecorded) {
    const QString Warning = QStringLiteral("Die gespeicherte Zeit, zu der Chronark während einer "
                                           "Messung zuletzt aktiv war, ist ungültig und wurde "
                                           "verworfen.");
    const struct {
        const char *name;
        QString stored; // empty: no value at all
        bool warned;
    } rows[] = {
        {"nan", QStringLiteral("nan"), true},
        {"after the year 9999", QStringLiteral("2958470"), true},
        {"not a number", QStringLiteral("gestern"), true},
        {"before the start", QString::number(At(8, 0), 'g', 17), true},
        {"none stored: as before, without a word", QString(), false},
    };
    for (const auto &Row : rows) {
        SCOPED_TRACE(Row.name);
        const QString Doc = MakeDocument(QStringLiteral("doc.ckx"));
        Prompts = {};
        CrashWhileMeasuring(Doc);
        {
            auto Reg = Settings(TStopwatch::RecordKey(Doc), false);
            if (Row.stored.isEmpty())
                Reg->DeleteValue(QStringLiteral("Alive"));
            else
                Reg->WriteString(QStringLiteral("Alive"), Row.stored);
        }
        Clock.Time = At(11, 0);
        Prompts.Choices = {0};
        MakeStarted({Native(Doc)});
        EXPECT_EQ(Prompts.Warnings, Row.warned ? QStringList{Warning} : QStringList{});
        ASSERT_EQ(Prompts.Questions.size(), 1);
        EXPECT_TRUE(
            Prompts.Questions[0].contains(QStringLiteral("Zuletzt aktiv: 04.03.2024 09:00:00")));
        ASSERT_EQ(Entries().size(), 1u);
        EXPECT_EQ(Entries()[0]->StartTime, At(9, 0));
        EXPECT_EQ(Entries()[0]->EndTime, At(11, 0));
        Form.reset();
    }
}

TEST_F(RecoveryTest, StopsAndLapsKeepTheStoredStartInStep) {
    const QString Doc = MakeDocument(QStringLiteral("doc.ckx"));
    Clock.Time = At(9, 0);
    TMainFormTestPeer &F = MakeStarted({Native(Doc)});
    F.Action("TBItem3")->trigger();
    ASSERT_NE(F.Stopwatch().HeartbeatTimer(), nullptr);
    EXPECT_TRUE(F.Stopwatch().HeartbeatTimer()->isActive());
    EXPECT_LE(F.Stopwatch().HeartbeatTimer()->interval(), 60 * 1000);
    EXPECT_GE(F.Stopwatch().HeartbeatTimer()->interval(), 1000) << "a cheap write, not a busy one";
    Clock.Time = At(9, 10);
    F.Action("TBItem28")->trigger(); // lap: only the time since the lap is still running
    Form.reset();
    Prompts.Choices = {0};
    Clock.Time = At(9, 30);
    MakeStarted({Native(Doc)});
    ASSERT_EQ(Prompts.Questions.size(), 1);
    ASSERT_EQ(Entries().size(), 1u);
    EXPECT_EQ(Entries()[0]->StartTime, At(9, 10));
    EXPECT_EQ(Entries()[0]->EndTime, At(9, 30));

    // A stopped measurement is recorded: nothing is left to offer.
    Form->Action("TBItem3")->trigger();
    Clock.Time = At(9, 40);
    Form->Action("TBItem8")->trigger();
    EXPECT_FALSE(Form->Stopwatch().HeartbeatTimer()->isActive());
    Form.reset();
    Prompts = {};
    MakeStarted({Native(Doc)});
    EXPECT_TRUE(Prompts.Questions.isEmpty());
}

TEST_F(RecoveryTest, AStartIsOfferedOnlyForItsOwnDocument) {
    const QString A = MakeDocument(QStringLiteral("a.ckx"));
    const QString B = MakeDocument(QStringLiteral("b.ckx"));
    CrashWhileMeasuring(A);
    MakeStarted({Native(B)}); // an unexpected question fails the test
    EXPECT_TRUE(Prompts.Questions.isEmpty());
    EXPECT_TRUE(Entries().empty());
    // The start waits for its document, also when that is opened later.
    Prompts.Choices = {1};
    ASSERT_TRUE(Form->Session().Open(A));
    ASSERT_EQ(Prompts.Questions.size(), 1);
    ASSERT_EQ(Entries().size(), 1u);
    EXPECT_EQ(Entries()[0]->EndTime, At(9, 45));
}

TEST_F(RecoveryTest, AMeasurementOfAnotherRunningCopyIsNotOffered) {
    const QString Doc = MakeDocument(QStringLiteral("doc.ckx"));
    CrashWhileMeasuring(Doc);
    {
        auto Reg = Settings(TStopwatch::RecordKey(Doc), false);
        ASSERT_NE(Reg, nullptr);
        Reg->WriteInteger(QStringLiteral("Pid"), int(::getppid()));
    }
    MakeStarted({Native(Doc)});
    EXPECT_TRUE(Prompts.Questions.isEmpty());
    EXPECT_TRUE(Entries().empty());
}

TEST_F(RecoveryTest, WithoutQuestionsTheTimeUpToTheLastSignOfLifeIsRecorded) {
    const QString Doc = MakeDocument(QStringLiteral("doc.ckx"));
    CrashWhileMeasuring(Doc);
    Clock.Time = At(12, 0);
    MakeStarted({"--silent", Native(Doc)});
    EXPECT_TRUE(Prompts.Questions.isEmpty());
    ASSERT_EQ(Entries().size(), 1u);
    EXPECT_EQ(Entries()[0]->EndTime, At(9, 45));
}

TEST_F(RecoveryTest, ADocumentAnotherRunningCopyWritesIsOpenedAsTheUserSays) {
    const QByteArray Other = OwnerText(::getppid(), ThisHostName());
    const QByteArray Self = OwnerText(::getpid(), ThisHostName());
    struct Case {
        const char *name;
        TPromptAnswer answer;
        bool opened, readOnly;
    } cases[] = {
        {"read-only", TPromptAnswer::Yes, true, true},
        {"anyway", TPromptAnswer::No, true, false},
        {"not at all", TPromptAnswer::Cancel, false, false},
    };
    for (const Case &c : cases) {
        const QString Doc = MakeDocument(QStringLiteral("doc.ckx"));
        const QString Copy = FilePath(QStringLiteral("kopie.ckx"));
        QFile::remove(Copy);
        const QByteArray Original = Contents(Doc);
        WriteText(Doc + QStringLiteral(".lock"), Other);
        Prompts = {};
        Dialogs.Requests.clear();
        Prompts.Answers = {c.answer};
        TMainFormTestPeer &F = MakeStarted({Native(Doc)});
        ASSERT_EQ(Prompts.Questions.size(), 1) << c.name;
        EXPECT_TRUE(Prompts.Questions[0].startsWith(
            QStringLiteral("Die Datei \"doc.ckx\" ist bereits in Chronark geöffnet")))
            << c.name;
        EXPECT_TRUE(Prompts.WithCancel[0]) << c.name;
        EXPECT_EQ(F.Session().FileName().isEmpty(), !c.opened) << c.name;
        EXPECT_EQ(F.Session().ReadOnly(), c.readOnly) << c.name;
        EXPECT_EQ(F.Window().windowTitle().contains(QStringLiteral("[schreibgeschützt]")),
                  c.readOnly)
            << c.name;
        EXPECT_EQ(Contents(Doc + QStringLiteral(".lock")),
                  c.answer == TPromptAnswer::No ? Self : Other)
            << c.name;
        if (c.opened) {
            F.Doc().Root->AddProject("geändert");
            if (c.readOnly)
                Dialogs.Answers = {Copy};
            F.Action("acSave")->trigger();
            EXPECT_EQ(Dialogs.Requests.size(), c.readOnly ? 1u : 0u) << c.name;
            EXPECT_EQ(Contents(Doc) == Original, c.readOnly) << c.name;
            EXPECT_EQ(QFile::exists(Copy), c.readOnly) << c.name;
            EXPECT_FALSE(F.Doc().Modified) << c.name;
            EXPECT_FALSE(F.Session().ReadOnly()) << c.name << ": the copy is this window's own";
            if (c.readOnly) {
                EXPECT_EQ(Contents(Copy + QStringLiteral(".lock")), Self) << c.name;
                EXPECT_EQ(Contents(Doc + QStringLiteral(".lock")), Other) << c.name;
            }
        }
        Form.reset();
        // Only a lock of this copy goes: the one taken over "anyway".
        EXPECT_EQ(QFile::exists(Doc + QStringLiteral(".lock")), c.answer != TPromptAnswer::No)
            << c.name;
        EXPECT_FALSE(QFile::exists(Copy + QStringLiteral(".lock"))) << c.name;
        QFile::remove(Doc + QStringLiteral(".lock"));
    }
}

TEST_F(RecoveryTest, AStaleLockIsTakenOverWithoutAWordAndGoesWithTheWindow) {
    const QString Doc = MakeDocument(QStringLiteral("doc.ckx"));
    const QString Lock = Doc + QStringLiteral(".lock");
    WriteText(Lock, OwnerText(999999999, ThisHostName()));
    TMainFormTestPeer &F = MakeStarted({Native(Doc)});
    EXPECT_TRUE(Prompts.Questions.isEmpty());
    EXPECT_FALSE(F.Session().ReadOnly());
    EXPECT_EQ(Contents(Lock), OwnerText(::getpid(), ThisHostName()));
    // Opening it again in the same window keeps the lock.
    ASSERT_TRUE(F.Session().Open(Doc));
    EXPECT_TRUE(QFile::exists(Lock));
    F.Action("acNew")->trigger();
    EXPECT_FALSE(QFile::exists(Lock)) << "a new document frees the old one";
    ASSERT_TRUE(F.Session().Open(Doc));
    EXPECT_TRUE(QFile::exists(Lock));
    F.Window().close();
    EXPECT_FALSE(QFile::exists(Lock));
}
