#pragma once
// The open document's file: open, save and Save As with their questions, the lock that keeps
// a second running copy from writing the same file unasked, the read-only state that follows
// from it, and the recently used files. What the views show is the window's business: the
// session tells it through its signals.

#include "app/doclock.h"
#include "model/ckm.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>

class QWidget;
class TFileDialogService;
class TPromptService;
class TRecentFiles;
class TRegistry;

class TDocumentSession : public QObject {
    Q_OBJECT
public:
    static constexpr char FileFilter[] = "Chronark XML File (*.ckx)|*.ckx|Alle Dateien (*.*)|*.*";

    // Owner: the window the dialogs and questions belong to.
    TDocumentSession(TChronarkMan &Doc, TPromptService &Prompts, TFileDialogService &Dialogs,
                     QWidget *Owner);
    ~TDocumentSession() override;

    // The document's file; empty while it has none.
    const QString &FileName() const { return FFileName; }
    // The file start-up is to open (OpenStartFile), or a name for a document without one.
    void SetFileName(const QString &FileName) { FFileName = FileName; }
    // Another copy of the program holds the file: Save goes to Save As.
    bool ReadOnly() const { return FReadOnly; }
    // Without questions (--silent): saves are confirmed, a held file opens read-only.
    bool Silent() const { return FSilent; }
    void SetSilent(bool Silent) { FSilent = Silent; }
    TRecentFiles &RecentFiles() const { return *Recent; }

    // Opens FileName() at start-up. Named: the user gave it, so a missing file is an error;
    // a file that cannot be opened leaves the document without a name either way.
    // Answers whether it was loaded.
    bool OpenStartFile(bool Named);
    // "Möchten Sie die Änderungen speichern?" for a modified document; false: cancelled or
    // the save failed.
    bool ConfirmSave();
    // Loads FileName over the document (after claiming its lock); false leaves all as it was.
    bool Open(const QString &FileName);
    // The open dialog after ConfirmSave, then Open; the file goes to the recent files.
    void OpenChosen();
    // A file of the recent list: opened after ConfirmSave, or dropped from the list when it
    // is gone or cannot be opened.
    void OpenRecent(const QString &FileName);
    // A file dropped on the window: the document is saved first, then the file opened.
    void OpenDropped(const QString &FileName);
    // Empties the document after ConfirmSave was asked; the window has let its rows go.
    void New();
    // Save: to the document's file, or Save As without one.
    bool Save();
    bool SaveAs();
    // Writes the document to FileName; a failure has been shown and leaves it modified.
    bool SaveTo(const QString &FileName);
    // Merges a file chosen in the open dialog into the document.
    void Import();
    // The folder the file dialogs open in: the document's, or the program's.
    QString DialogFolder() const;
    // The window closes: the file is no longer this program's.
    void Release();

    void LoadRecentFiles(TRegistry &Registry, const QString &AppName);
    void SaveRecentFiles(TRegistry &Registry, const QString &AppName) const;

    static std::string NativeName(const QString &FileName);

signals:
    // The file name or the read-only state changed: the title names them.
    void TitleChanged();
    // A file was loaded over the document (Open, a recent or a dropped file).
    void Opened();
    // New emptied the document.
    void Emptied();
    // Save As gave the document a new file.
    void Renamed();
    // A file was merged into the document.
    void Imported();

private:
    // The one place that reads a file into the document; Merge adds it to what is there.
    bool Load(const QString &FileName, bool Merge);
    bool ShowOpenDialog(const QString &Title, QString &FileName);
    bool ShowSaveAsDialog(QString &FileName);
    // Locks FileName before it is opened; when another running copy holds it the user picks
    // read-only, open anyway, or not at all (false).
    bool Claim(const QString &FileName, std::unique_ptr<TDocumentLock> &Lock, bool &ReadOnly);
    void Take(std::unique_ptr<TDocumentLock> Lock, bool ReadOnly);
    // After a Save As the new file is the one this window writes.
    void FollowSavedAs(const QString &FileName);
    // The open document's own file while it is open read-only: it goes to Save As instead.
    bool IsReadOnlyTarget(const QString &FileName) const;

    TChronarkMan &Doc;
    TPromptService &Prompts;
    TFileDialogService &Dialogs;
    QWidget *Owner;
    TRecentFiles *Recent;
    QString FFileName;
    std::unique_ptr<TDocumentLock> Lock;
    bool FReadOnly = false;
    bool FSilent = false;
};
