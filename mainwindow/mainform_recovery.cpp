// Nothing tracked is lost: the running measurement is kept in the settings until it is
// recorded, so a crash can offer it again, and a lock file keeps a second copy of the program
// from writing the same document unasked.

#include "app/doclock.h"
#include "app/formsettings.h"
#include "app/qtext.h"
#include "app/registry.h"
#include "base/cstring.h"
#include "mainwindow/mainform.h"
#include "ui/prompts.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QTimer>

namespace {

// At most this often the running program notes that it is alive.
constexpr int HeartbeatMs = 60 * 1000;

const char *const MeasureValueNames[] = {"File", "Start", "Alive", "Pid", "Host"};

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

// One sub-key per document, so a start left by a crash over one document waits for that
// document while others are measured.
QString TMainForm::MeasureKey(const QString &FileName) {
    const QByteArray Name = DocumentName(FileName).toUtf8();
    return QStringLiteral("Measurements\\") +
           QString::fromLatin1(QCryptographicHash::hash(Name, QCryptographicHash::Sha1).toHex());
}

void TMainForm::KeepMeasureState() {
    if (!StoredMeasureKey.isEmpty() && OpenAppKey(*Registry, AppName, StoredMeasureKey, false))
        for (const char *Name : MeasureValueNames)
            Registry->DeleteValue(QString::fromLatin1(Name));
    Registry->CloseKey();
    StoredMeasureKey.clear();
    if (!MeasureRunning) {
        if (HeartbeatTimer)
            HeartbeatTimer->stop();
        return;
    }
    const QString Key = MeasureKey(CurrentFile);
    if (OpenAppKey(*Registry, AppName, Key, true)) {
        const TLockOwner Self = ThisProcessOwner();
        Registry->WriteString(QStringLiteral("File"), DocumentName(CurrentFile));
        Registry->WriteString(QStringLiteral("Start"), TimeValue(MeasureStart));
        Registry->WriteString(QStringLiteral("Alive"), TimeValue(Now()));
        Registry->WriteInteger(QStringLiteral("Pid"), int(Self.Pid));
        Registry->WriteString(QStringLiteral("Host"), ToQ(Self.Host));
        StoredMeasureKey = Key;
    }
    Registry->CloseKey();
    if (!HeartbeatTimer) {
        HeartbeatTimer = new QTimer(this);
        HeartbeatTimer->setInterval(HeartbeatMs);
        connect(HeartbeatTimer, &QTimer::timeout, this, [this] { Heartbeat(); });
    }
    HeartbeatTimer->start();
}

// One small value written: cheap enough for the window's thread once a minute.
void TMainForm::Heartbeat() {
    if (!MeasureRunning || StoredMeasureKey.isEmpty())
        return;
    if (OpenAppKey(*Registry, AppName, StoredMeasureKey, false))
        Registry->WriteString(QStringLiteral("Alive"), TimeValue(Now()));
    Registry->CloseKey();
}

void TMainForm::OfferLostMeasurement() {
    if (MeasureRunning)
        return;
    const QString Key = MeasureKey(CurrentFile);
    TDateTime Start = 0, Alive = 0;
    int Pid = 0;
    QString Host, File;
    if (!OpenAppKey(*Registry, AppName, Key, false)) {
        Registry->CloseKey();
        return;
    }
    const TStoredTime StartRead = ReadTime(*Registry, QStringLiteral("Start"), Start);
    const bool Found = StartRead != TStoredTime::Missing &&
                       Registry->ReadString(QStringLiteral("File"), File) &&
                       File == DocumentName(CurrentFile);
    const TStoredTime AliveRead = ReadTime(*Registry, QStringLiteral("Alive"), Alive);
    Registry->ReadInteger(QStringLiteral("Pid"), Pid);
    Registry->ReadString(QStringLiteral("Host"), Host);
    Registry->CloseKey();
    if (!Found)
        return;
    // Another copy of the program that still runs is measuring: its start is not lost.
    const TLockOwner Owner{Pid, FromQ(Host)};
    if (Owner != ThisProcessOwner() && !IsStaleLock(Owner, true))
        return;
    if (StartRead == TStoredTime::Invalid) {
        Prompts().ShowWarning(
            QStringLiteral("Die gespeicherte Startzeit einer Messung ist ungültig und wurde "
                           "verworfen."));
        StoredMeasureKey = Key;
        KeepMeasureState();
        return;
    }
    // Without a usable last sign of life the measurement can still end now or at its start.
    if (AliveRead == TStoredTime::Invalid || (AliveRead == TStoredTime::Valid && Alive < Start))
        Prompts().ShowWarning(
            QStringLiteral("Die gespeicherte Zeit, zu der Chronark während einer Messung zuletzt "
                           "aktiv war, ist ungültig und wurde verworfen."));
    if (AliveRead != TStoredTime::Valid || Alive < Start)
        Alive = Start;

    int Choice = 1; // without questions the time up to the last sign of life is recorded
    if (!SilentMode) {
        const QString Text =
            QStringLiteral("Chronark wurde während einer laufenden Messung beendet.\n\n"
                           "Beginn der Messung: %1\nZuletzt aktiv: %2\n\n"
                           "Wie soll die Messung erfasst werden?")
                .arg(ToQ(DateTimeText(Start)), ToQ(DateTimeText(Alive)));
        Choice = Prompts().Choose(Text, {QStringLiteral("Bis &jetzt"),
                                         QStringLiteral("Bis &zuletzt aktiv"),
                                         QStringLiteral("&Verwerfen")});
    }
    // A closed box decides nothing: the start stays for the next time.
    if (Choice < 0)
        return;
    if (Choice != 2)
        Document->RecordInterval(Start, Choice == 0 ? Now() : Alive);
    StoredMeasureKey = Key;
    KeepMeasureState();
}

bool TMainForm::ClaimDocument(const QString &FileName, std::unique_ptr<TDocumentLock> &Lock,
                              bool &ReadOnly) {
    ReadOnly = false;
    Lock = std::make_unique<TDocumentLock>();
    TLockOwner Holder;
    const std::string Name = NativeName(QFileInfo(FileName).absoluteFilePath());
    if (Lock->Acquire(Name, false, Holder) != TDocumentLock::TResult::HeldByOther)
        return true;
    const QString Text =
        QStringLiteral("Die Datei \"") + QFileInfo(FileName).fileName() +
        QStringLiteral("\" ist bereits in Chronark geöffnet (Rechner \"%1\", Prozess %2).\n\n"
                       "Schreibgeschützt öffnen? „Nein“ öffnet sie trotzdem zum Bearbeiten.")
            .arg(ToQ(Holder.Host))
            .arg(Holder.Pid);
    const TPromptAnswer Answer = SilentMode ? TPromptAnswer::Yes : Prompts().Confirm(Text, true);
    switch (Answer) {
    case TPromptAnswer::Yes:
        ReadOnly = true;
        Lock.reset();
        return true;
    case TPromptAnswer::No:
        Lock->Acquire(Name, true, Holder);
        return true;
    case TPromptAnswer::Cancel:
        break;
    }
    Lock.reset();
    return false;
}

void TMainForm::TakeDocument(std::unique_ptr<TDocumentLock> Lock, bool ReadOnly) {
    DocLock = std::move(Lock);
    DocReadOnly = ReadOnly;
    UpdateCaption();
}

bool TMainForm::IsReadOnlyTarget(const QString &FileName) const {
    return DocReadOnly && !CurrentFile.isEmpty() &&
           QFileInfo(FileName).absoluteFilePath() == QFileInfo(CurrentFile).absoluteFilePath();
}

void TMainForm::FollowSavedAs(const QString &FileName) {
    const std::string Name = NativeName(QFileInfo(FileName).absoluteFilePath());
    if (!DocLock || DocLock->LockFile() != LockFileName(Name)) {
        auto Lock = std::make_unique<TDocumentLock>();
        TLockOwner Holder;
        if (Lock->Acquire(Name, false, Holder) != TDocumentLock::TResult::Acquired)
            Lock.reset();
        TakeDocument(std::move(Lock), false);
    }
    DocReadOnly = false;
    if (MeasureRunning)
        KeepMeasureState();
}
