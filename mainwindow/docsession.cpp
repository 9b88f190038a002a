#include "mainwindow/docsession.h"

#include "app/formsettings.h"
#include "app/qtext.h"
#include "app/registry.h"
#include "mainwindow/recentfiles.h"
#include "ui/filedialogs.h"
#include "ui/prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString MruName(int Number) {
    return QStringLiteral("MRU") + QString::number(Number);
}

QString FileNotFoundText(const QString &FileName) {
    return QStringLiteral("Die Datei \"") + QDir::toNativeSeparators(FileName) +
           QStringLiteral("\" wurde nicht gefunden.");
}

} // namespace

TDocumentSession::TDocumentSession(TChronarkMan &Doc, TPromptService &Prompts,
                                   TFileDialogService &Dialogs, QWidget *Owner)
    : Doc(Doc), Prompts(Prompts), Dialogs(Dialogs), Owner(Owner), Recent(new TRecentFiles(this)) {
    Recent->setObjectName(QStringLiteral("TBMRUList1"));
}

TDocumentSession::~TDocumentSession() = default;

std::string TDocumentSession::NativeName(const QString &FileName) {
    return QFile::encodeName(QDir::toNativeSeparators(FileName)).toStdString();
}

bool TDocumentSession::Load(const QString &FileName, bool Merge) {
    return static_cast<bool>(Doc.LoadFromFile(NativeName(FileName), Merge));
}

bool TDocumentSession::OpenStartFile(bool Named) {
    const bool Exists = !FFileName.isEmpty() && QFileInfo(FFileName).isFile();
    std::unique_ptr<TDocumentLock> Claimed;
    bool ReadOnly = false;
    if (Exists && Claim(FFileName, Claimed, ReadOnly) && Load(FFileName, false)) {
        Recent->Add(FFileName);
        Take(std::move(Claimed), ReadOnly);
        return true;
    }
    // The user named this file; the last file of the option may have gone quietly.
    if (!Exists && Named)
        Prompts.ShowError(FileNotFoundText(FFileName));
    FFileName.clear();
    return false;
}

bool TDocumentSession::ConfirmSave() {
    const QString Question =
        FFileName.isEmpty() ? QStringLiteral("Möchten Sie die Änderungen speichern?")
                            : QStringLiteral("Möchten Sie Änderungen in \"") +
                                  QFileInfo(FFileName).fileName() + QStringLiteral("\" speichern?");
    if (!Doc.Modified)
        return true;
    const TPromptAnswer Answer = FSilent ? TPromptAnswer::Yes : Prompts.Confirm(Question, true);
    switch (Answer) {
    case TPromptAnswer::Cancel:
        return false;
    case TPromptAnswer::No:
        return true;
    case TPromptAnswer::Yes:
        break;
    }
    if (!FFileName.isEmpty())
        return SaveTo(FFileName);
    return SaveAs();
}

// A failure has already been shown: the document reports it through its OnMessage. Before
// the file the document came from is overwritten, the user decides whether that may lose
// what a newer version wrote, or what another program saved since; without questions
// (--silent) the file is kept and the user told why, since the window then stays open.
bool TDocumentSession::SaveTo(const QString &FileName) {
    if (IsReadOnlyTarget(FileName))
        return SaveAs();
    const std::string Name = NativeName(FileName);
    const QString KeptText = QStringLiteral("Die Datei \"") + QFileInfo(FileName).fileName() +
                             QStringLiteral("\" wurde nicht überschrieben, weil sie %1. Speichern "
                                            "Sie das Dokument unter einem anderen Namen.");
    if (Doc.LoadedNewerVersion && Name == Doc.DiskFile) {
        if (FSilent) {
            Prompts.ShowWarning(
                KeptText.arg(QStringLiteral("mit einer neueren Version erstellt wurde")));
            return false;
        }
        switch (Prompts.Confirm(
            QStringLiteral("Die Datei wurde mit einer neueren Version erstellt. Beim Speichern "
                           "gehen Informationen verloren. Trotzdem überschreiben?\n\n"
                           "„Nein“ speichert unter einem anderen Namen."),
            true)) {
        case TPromptAnswer::Yes:
            break;
        case TPromptAnswer::No:
            return SaveAs();
        case TPromptAnswer::Cancel:
            return false;
        }
    }
    if (Doc.ChangedOnDisk(Name)) {
        if (FSilent) {
            Prompts.ShowWarning(KeptText.arg(
                QStringLiteral("seit dem Laden oder Speichern von einem anderen Programm "
                               "geändert wurde")));
            return false;
        }
        if (Prompts.Confirm(QStringLiteral("Die Datei \"") + QFileInfo(FileName).fileName() +
                                QStringLiteral("\" wurde seit dem Laden oder Speichern von "
                                               "einem anderen Programm geändert.\n\n"
                                               "Überschreiben? „Nein“ behält die andere "
                                               "Fassung."),
                            false) != TPromptAnswer::Yes)
            return false;
    }
    return static_cast<bool>(Doc.SaveToFile(Name));
}

bool TDocumentSession::Open(const QString &FileName) {
    std::unique_ptr<TDocumentLock> Claimed;
    bool ReadOnly = false;
    if (!Claim(FileName, Claimed, ReadOnly) || !Load(FileName, false))
        return false;
    FFileName = FileName;
    Take(std::move(Claimed), ReadOnly);
    emit Opened();
    return true;
}

QString TDocumentSession::DialogFolder() const {
    if (!FFileName.isEmpty())
        return QFileInfo(FFileName).absolutePath();
    return QCoreApplication::applicationDirPath();
}

// The open dialog of "Öffnen..." and of "Importieren...".
bool TDocumentSession::ShowOpenDialog(const QString &Title, QString &FileName) {
    TFileDialogRequest Request;
    Request.Kind = TFileDialogRequest::Open;
    Request.Title = Title;
    Request.InitialDir = DialogFolder();
    Request.Filter = QString::fromUtf8(FileFilter);
    if (!Dialogs.Execute(Owner, Request))
        return false;
    FileName = Request.FileName;
    return true;
}

bool TDocumentSession::ShowSaveAsDialog(QString &FileName) {
    TFileDialogRequest Request;
    Request.Kind = TFileDialogRequest::Save;
    Request.Title = QStringLiteral("Speichern unter");
    Request.InitialDir = DialogFolder();
    Request.FileName = FFileName;
    Request.Filter = QString::fromUtf8(FileFilter);
    Request.DefaultSuffix = QStringLiteral("ckx");
    if (!Dialogs.Execute(Owner, Request))
        return false;
    FileName = Request.FileName;
    return true;
}

bool TDocumentSession::SaveAs() {
    QString FileName;
    if (!ShowSaveAsDialog(FileName) || FileName.isEmpty())
        return false;
    if (IsReadOnlyTarget(FileName)) {
        Prompts.ShowWarning(QStringLiteral("Die Datei \"") + QFileInfo(FileName).fileName() +
                            QStringLiteral("\" ist schreibgeschützt geöffnet, weil ein "
                                           "anderes Chronark sie bearbeitet. Speichern Sie "
                                           "das Dokument unter einem anderen Namen."));
        return false;
    }
    if (!SaveTo(FileName))
        return false;
    FFileName = FileName;
    FollowSavedAs(FileName);
    Recent->Add(FileName);
    emit TitleChanged();
    return true;
}

bool TDocumentSession::Save() {
    if (FFileName.isEmpty())
        return SaveAs();
    return SaveTo(FFileName);
}

void TDocumentSession::New() {
    // An empty new document has nothing to save.
    Doc.NewDocument();
    FFileName.clear();
    Take(nullptr, false);
    emit Emptied();
}

void TDocumentSession::OpenChosen() {
    QString FileName;
    if (ConfirmSave() && ShowOpenDialog(QStringLiteral("Öffnen"), FileName) && Open(FileName))
        Recent->Add(FFileName);
}

void TDocumentSession::OpenRecent(const QString &FileName) {
    if (ConfirmSave()) {
        if (!QFileInfo(FileName).isFile())
            Prompts.ShowError(FileNotFoundText(FileName));
        else if (Open(FileName))
            return;
    }
    Recent->Remove(FileName);
}

void TDocumentSession::OpenDropped(const QString &FileName) {
    if (FFileName.isEmpty()) {
        // A document without a name is offered Save As; an untouched one has nothing to keep.
        if (Doc.Modified && !SaveAs())
            return;
    } else if (!SaveTo(FFileName)) {
        return;
    }
    if (Open(FileName))
        Recent->Add(FFileName);
}

void TDocumentSession::Import() {
    QString FileName;
    if (ShowOpenDialog(QStringLiteral("Importieren"), FileName) && Load(FileName, true))
        emit Imported();
}

void TDocumentSession::Release() {
    Lock.reset();
}

bool TDocumentSession::Claim(const QString &FileName, std::unique_ptr<TDocumentLock> &Claimed,
                             bool &ReadOnly) {
    ReadOnly = false;
    Claimed = std::make_unique<TDocumentLock>();
    TLockOwner Holder;
    const std::string Name = NativeName(QFileInfo(FileName).absoluteFilePath());
    if (Claimed->Acquire(Name, false, Holder) != TDocumentLock::TOutcome::HeldByOther)
        return true;
    const QString Text =
        QStringLiteral("Die Datei \"") + QFileInfo(FileName).fileName() +
        QStringLiteral("\" ist bereits in Chronark geöffnet (Rechner \"%1\", Prozess %2).\n\n"
                       "Schreibgeschützt öffnen? „Nein“ öffnet sie trotzdem zum Bearbeiten.")
            .arg(ToQ(Holder.Host))
            .arg(Holder.Pid);
    const TPromptAnswer Answer = FSilent ? TPromptAnswer::Yes : Prompts.Confirm(Text, true);
    switch (Answer) {
    case TPromptAnswer::Yes:
        ReadOnly = true;
        Claimed.reset();
        return true;
    case TPromptAnswer::No:
        Claimed->Acquire(Name, true, Holder);
        return true;
    case TPromptAnswer::Cancel:
        break;
    }
    Claimed.reset();
    return false;
}

void TDocumentSession::Take(std::unique_ptr<TDocumentLock> Claimed, bool ReadOnly) {
    Lock = std::move(Claimed);
    FReadOnly = ReadOnly;
    emit TitleChanged();
}

bool TDocumentSession::IsReadOnlyTarget(const QString &FileName) const {
    return FReadOnly && !FFileName.isEmpty() &&
           QFileInfo(FileName).absoluteFilePath() == QFileInfo(FFileName).absoluteFilePath();
}

void TDocumentSession::FollowSavedAs(const QString &FileName) {
    const std::string Name = NativeName(QFileInfo(FileName).absoluteFilePath());
    if (!Lock || Lock->LockFile() != LockFileName(Name)) {
        auto Claimed = std::make_unique<TDocumentLock>();
        TLockOwner Holder;
        if (Claimed->Acquire(Name, false, Holder) != TDocumentLock::TOutcome::Acquired)
            Claimed.reset();
        Take(std::move(Claimed), false);
    }
    FReadOnly = false;
    emit Renamed();
}

void TDocumentSession::LoadRecentFiles(TRegistry &Registry, const QString &AppName) {
    QStringList Names;
    if (OpenAppKey(Registry, AppName, QStringLiteral("RecentFiles"), false)) {
        for (int i = 1; i <= TRecentFiles::MaxItems; ++i) {
            QString Name;
            if (Registry.ReadString(MruName(i), Name) && !Name.isEmpty())
                Names << Name;
        }
    }
    Registry.CloseKey();
    Recent->Assign(Names);
}

void TDocumentSession::SaveRecentFiles(TRegistry &Registry, const QString &AppName) const {
    if (!OpenAppKey(Registry, AppName, QStringLiteral("RecentFiles"), true))
        return;
    const QStringList &Items = Recent->Items();
    for (int i = 1; i <= TRecentFiles::MaxItems; ++i) {
        if (i <= Items.size())
            Registry.WriteString(MruName(i), Items[i - 1]);
        else
            Registry.DeleteValue(MruName(i));
    }
    Registry.CloseKey();
}
