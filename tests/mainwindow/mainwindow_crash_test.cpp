// The real program killed during a measurement: the next start finds the measurement and the
// dead copy's lock, and offers the one while it quietly takes over the other.

#include "base/clock.h"
#include "base/dates.h"
#include "mainwindow_testing.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <unistd.h>

namespace {

QByteArray Contents(const QString &Path) {
    QFile F(Path);
    return F.open(QIODevice::ReadOnly) ? F.readAll() : QByteArray();
}

} // namespace

TEST_F(MainFormTest, AProgramKilledWhileMeasuringOffersTheMeasurementAtTheNextStart) {
    // The clock of the killed program is the system's.
    SetClock({});
    const QString Doc = FilePath(QStringLiteral("doc.ckx"));
    {
        TChronarkMan Man;
        ASSERT_TRUE(Man.SaveToFile(QFile::encodeName(Doc).toStdString()));
    }
    const QString Config = FilePath(QStringLiteral("config"));
    const QString Stored = Config + QStringLiteral("/Velmoor Software/Chronark.conf");
    QProcess Program;
    QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
    Env.insert(QStringLiteral("XDG_CONFIG_HOME"), Config);
    Env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    Program.setProcessEnvironment(Env);
    const TDateTime Launched = RecodeMilliSecond(Now(), 0);
    Program.start(QStringLiteral(CHRONARK_PROGRAM), {QStringLiteral("--start"), Doc});
    ASSERT_TRUE(Program.waitForStarted(5000));
    // Measuring once the start is stored.
    QDeadlineTimer Deadline(10000);
    while (!Contents(Stored).contains("Start=") && !Deadline.hasExpired())
        QThread::msleep(50);
    ASSERT_TRUE(Contents(Stored).contains("Start=")) << Contents(Stored).toStdString();
    EXPECT_TRUE(QFile::exists(Doc + QStringLiteral(".lock")));
    Program.kill(); // SIGKILL: no close handling runs
    ASSERT_TRUE(Program.waitForFinished(5000));
    EXPECT_EQ(Program.exitStatus(), QProcess::CrashExit);
    const TDateTime Killed = Now();

    const QString Copy = SettingsFolder() + QStringLiteral("/Velmoor Software/Chronark.ini");
    const QByteArray Lock =
        QByteArray::number(::getpid()) + '\n' + QByteArray::fromStdString(ThisHostName()) + '\n';
    struct Case {
        const char *name;
        int choice;
        bool recorded;
    } cases[] = {{"until now", 0, true}, {"until last seen alive", 1, true}, {"discard", 2, false}};
    for (const Case &c : cases) {
        // Each answer starts from what the killed program left.
        QDir().mkpath(QFileInfo(Copy).absolutePath());
        QFile::remove(Copy);
        ASSERT_TRUE(QFile::copy(Stored, Copy));
        Prompts = {};
        Prompts.Choices = {c.choice};
        TMainFormTestPeer &F = MakeStarted({QFile::encodeName(Doc).toStdString()});
        // The lock of the dead copy is stale: no question about it.
        ASSERT_EQ(Prompts.Questions.size(), 1) << c.name;
        EXPECT_TRUE(Prompts.Questions[0].startsWith(QStringLiteral("Chronark wurde während")));
        EXPECT_FALSE(F.Session().ReadOnly()) << c.name;
        EXPECT_EQ(Contents(Doc + QStringLiteral(".lock")), Lock) << c.name;
        const TCKTimeItemList E = F.Doc().Root->TimeItems();
        ASSERT_EQ(E.size(), c.recorded ? 1u : 0u) << c.name;
        if (c.recorded) {
            EXPECT_GE(E[0]->StartTime, Launched) << c.name;
            EXPECT_LE(E[0]->StartTime, Killed) << c.name;
            if (c.choice == 1)
                EXPECT_LE(E[0]->EndTime, AddSeconds(Killed, 1)) << c.name;
            else
                EXPECT_GE(E[0]->EndTime, RecodeMilliSecond(Killed, 0)) << c.name;
        }
        Form.reset();
    }
}
