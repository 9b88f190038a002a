#include "mainwindow/stopwatch.h"

#include "app/doclock.h"
#include "app/formsettings.h"
#include "app/qtext.h"
#include "app/registry.h"
#include "base/cstring.h"
#include "mainwindow/trayicon.h"
#include "ui/prompts.h"
#include "base/durations.h"
#include "base/clock.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QStringList>
#include <QTimer>

namespace {

// At most this often the running program notes that it is alive.
constexpr int HeartbeatMs = 60 * 1000;
constexpr int TickMs = 250;

const char *const RecordValueNames[] = {"File", "Start", "Alive", "Pid", "Host"};

QString TimeValue(TDateTime T) {
    return QString::number(T, 'g', 17);
}

enum class TStoredTime { Missing, Invalid, Valid };

// A stored time is used only when a document can hold it: "nan", "1e300" or a day after the
// year 9999 would be written as a stamp no load accepts.
TStoredTime ReadTime(const TRegistry &Registry, const QString &Name, TDateTime &T) {
    QString Text;
    if (!Registry.ReadString(Name, Text))
        return TStoredTime::Missing;
    bool Ok = false;
    const double Value = Text.toDouble(&Ok);
    if (!Ok || !IsStorableDateTime(Value))
        return TStoredTime::Invalid;
    T = Value;
    return TStoredTime::Valid;
}

QString DocumentName(const QString &FileName) {
    return FileName.isEmpty() ? QString() : QFileInfo(FileName).absoluteFilePath();
}

} // namespace

TStopwatch::TStopwatch(TChronarkMan &Doc, TRegistry &Registry, TPromptService &Prompts,
                       const QString &AppName, std::function<QString()> FileName)
    : Doc(Doc), Registry(Registry), Prompts(Prompts), AppName(AppName),
      FileName(std::move(FileName)) {
    FTicker = new QTimer(this);
    FTicker->setObjectName(QStringLiteral("Timer1"));
    FTicker->setInterval(TickMs);
    connect(FTicker, &QTimer::timeout, this, &TStopwatch::Ticked);
    FHeartbeat = new QTimer(this);
    FHeartbeat->setInterval(HeartbeatMs);
    connect(FHeartbeat, &QTimer::timeout, this, &TStopwatch::Heartbeat);
}

// A record left behind is what a crash leaves: the next start offers it.
TStopwatch::~TStopwatch() = default;

bool TStopwatch::Start() {
    if (FRunning)
        return false;
    FStart = Now();
    FTicker->start();
    emit Ticked();
    FRunning = true;
    KeepRecord();
    return true;
}

void TStopwatch::Stop() {
    FTicker->stop();
    if (!FRunning)
        return;
    Record();
}

void TStopwatch::Lap() {
    if (!FRunning)
        return;
    // One reading of the clock ends this lap and starts the next.
    FStart = Record();
    FRunning = true;
    KeepRecord();
}

bool TStopwatch::Suspend(TDateTime &Until) {
    if (!FRunning)
        return false;
    Until = Record();
    return true;
}

void TStopwatch::Resume(TDateTime From) {
    FStart = From;
    FRunning = true;
    KeepRecord();
}

TDateTime TStopwatch::Record() {
    const TDateTime End = Now();
    Doc.RecordInterval(FStart, End);
    FRunning = false;
    KeepRecord();
    return End;
}

void TStopwatch::FollowFile() {
    if (FRunning)
        KeepRecord();
}

void TStopwatch::DocumentOpened(bool Silent) {
    if (FRunning)
        KeepRecord();
    else
        OfferLost(Silent);
}

QString TStopwatch::ElapsedText() const {
    return ToQ(DurationText(Now(), FStart));
}

QString TStopwatch::BannerText(const QString &Elapsed) {
    return QStringLiteral(" Aktuelle Zeit: ") + Elapsed;
}

QString TStopwatch::TargetToolTip(const TCKProjectItem *Target) {
    // The path as the tree shows it, from its top node down.
    QStringList Path;
    for (const TCKProjectItem *P = Target; P && P->Parent; P = P->Parent)
        Path.prepend(ToQ(P->Caption));
    Path.prepend(QStringLiteral("Projekte"));
    return QStringLiteral("Die Zeit wird gebucht auf: ") + Path.join(QStringLiteral(" / "));
}

QString TStopwatch::TrayToolTip(const TCKProjectItem *Target, const QString &Elapsed,
                                const QString &AppName) {
    const QString Time = QStringLiteral(" - Aktuelle Zeit: ") + Elapsed;
    // Measuring into the top level names the program; otherwise the project takes its place,
    // shortened so that the time still fits the tray's few characters.
    if (!Target || !Target->Parent)
        return AppName + Time;
    QString Name = ToQ(Target->Caption);
    const int Room = qMax(1, int(TTrayIcon::MaxToolTip - Time.size()));
    if (Name.size() > Room)
        Name = Name.left(Room - 1) + QChar(0x2026);
    return Name + Time;
}

// One sub-key per document, so a start left by a crash over one document waits for that
// document while others are measured.
QString TStopwatch::RecordKey(const QString &FileName) {
    const QByteArray Name = DocumentName(FileName).toUtf8();
    return QStringLiteral("Measurements\\") +
           QString::fromLatin1(QCryptographicHash::hash(Name, QCryptographicHash::Sha1).toHex());
}

void TStopwatch::KeepRecord() {
    if (!StoredKey.isEmpty() && OpenAppKey(Registry, AppName, StoredKey, false))
        for (const char *Name : RecordValueNames)
            Registry.DeleteValue(QString::fromLatin1(Name));
    Registry.CloseKey();
    StoredKey.clear();
    if (!FRunning) {
        FHeartbeat->stop();
        return;
    }
    const QString File = FileName();
    const QString Key = RecordKey(File);
    if (OpenAppKey(Registry, AppName, Key, true)) {
        const TLockOwner Self = ThisProcessOwner();
        Registry.WriteString(QStringLiteral("File"), DocumentName(File));
        Registry.WriteString(QStringLiteral("Start"), TimeValue(FStart));
        Registry.WriteString(QStringLiteral("Alive"), TimeValue(Now()));
        Registry.WriteInteger(QStringLiteral("Pid"), int(Self.Pid));
        Registry.WriteString(QStringLiteral("Host"), ToQ(Self.Host));
        StoredKey = Key;
    }
    Registry.CloseKey();
    FHeartbeat->start();
}

// One small value written: cheap enough for the window's thread once a minute.
void TStopwatch::Heartbeat() {
    if (!FRunning || StoredKey.isEmpty())
        return;
    if (OpenAppKey(Registry, AppName, StoredKey, false))
        Registry.WriteString(QStringLiteral("Alive"), TimeValue(Now()));
    Registry.CloseKey();
}

void TStopwatch::OfferLost(bool Silent) {
    if (FRunning)
        return;
    const QString File = DocumentName(FileName());
    const QString Key = RecordKey(File);
    TDateTime Start = 0, Alive = 0;
    int Pid = 0;
    QString Host, StoredFile;
    if (!OpenAppKey(Registry, AppName, Key, false)) {
        Registry.CloseKey();
        return;
    }
    const TStoredTime StartRead = ReadTime(Registry, QStringLiteral("Start"), Start);
    const bool Found = StartRead != TStoredTime::Missing &&
                       Registry.ReadString(QStringLiteral("File"), StoredFile) &&
                       StoredFile == File;
    const TStoredTime AliveRead = ReadTime(Registry, QStringLiteral("Alive"), Alive);
    Registry.ReadInteger(QStringLiteral("Pid"), Pid);
    Registry.ReadString(QStringLiteral("Host"), Host);
    Registry.CloseKey();
    if (!Found)
        return;
    // Another copy of the program that still runs is measuring: its start is not lost.
    const TLockOwner Owner{Pid, FromQ(Host)};
    if (Owner != ThisProcessOwner() && !IsStaleLock(Owner, true))
        return;
    if (StartRead == TStoredTime::Invalid) {
        Prompts.ShowWarning(
            QStringLiteral("Die gespeicherte Startzeit einer Messung ist ungültig und wurde "
                           "verworfen."));
        StoredKey = Key;
        KeepRecord();
        return;
    }
    // Without a usable last sign of life the measurement can still end now or at its start.
    if (AliveRead == TStoredTime::Invalid || (AliveRead == TStoredTime::Valid && Alive < Start))
        Prompts.ShowWarning(
            QStringLiteral("Die gespeicherte Zeit, zu der Chronark während einer Messung zuletzt "
                           "aktiv war, ist ungültig und wurde verworfen."));
    if (AliveRead != TStoredTime::Valid || Alive < Start)
        Alive = Start;

    int Choice = 1; // without questions the time up to the last sign of life is recorded
    if (!Silent) {
        const QString Text =
            QStringLiteral("Chronark wurde während einer laufenden Messung beendet.\n\n"
                           "Beginn der Messung: %1\nZuletzt aktiv: %2\n\n"
                           "Wie soll die Messung erfasst werden?")
                .arg(ToQ(DateTimeText(Start)), ToQ(DateTimeText(Alive)));
        Choice = Prompts.Choose(Text,
                                {QStringLiteral("Bis &jetzt"), QStringLiteral("Bis &zuletzt aktiv"),
                                 QStringLiteral("&Verwerfen")});
    }
    // A closed box decides nothing: the start stays for the next time.
    if (Choice < 0)
        return;
    if (Choice != 2)
        Doc.RecordInterval(Start, Choice == 0 ? Now() : Alive);
    StoredKey = Key;
    KeepRecord();
}
