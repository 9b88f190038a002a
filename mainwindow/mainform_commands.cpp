// File commands, recent files, dropped files, start-up and close, and the stored settings.

#include "app/doclock.h"
#include "app/formsettings.h"
#include "app/makerlibs.h"
#include "app/registry.h"
#include "dialogs/entrylist.h"
#include "dialogs/f_settings.h"
#include "dialogs/u_exportform.h"
#include "dialogs/u_searchform.h"
#include "ui/filedialogs.h"
#include "mainwindow/mainform.h"
#include "mainwindow/projecttree.h"
#include "ui/prompts.h"
#include "app/qtext.h"
#include "mainwindow/recentfiles.h"
#include "mainwindow/trayicon.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QMimeData>
#include <QSignalBlocker>
#include <QTimer>
#include <QUrl>

namespace {

const char *const ColumnWidthNames[] = {"colCommentWidth", "colStartTimeWidth", "colEndTimeWidth",
                                        "colDurationWidth"};

QString MruName(int Number) {
    return QStringLiteral("MRU") + QString::number(Number);
}

QString FileNotFoundText(const QString &FileName) {
    return QStringLiteral("Die Datei \"") + QDir::toNativeSeparators(FileName) +
           QStringLiteral("\" wurde nicht gefunden.");
}

} // namespace

std::string TMainForm::NativeName(const QString &FileName) {
    return QFile::encodeName(QDir::toNativeSeparators(FileName)).toStdString();
}

void TMainForm::Start() {
    if (Started)
        return;
    Started = true;
    setAcceptDrops(true);
    LoadWindowSettings();

    SilentMode = IndexOfSwitch(CmdLine, "silent") >= 0;
    // A loaded start document is shown as the load tells it.
    bool Loaded = false;
    if (HasFileArgument || acAutoOpen->isChecked()) {
        const bool Exists = !CurrentFile.isEmpty() && QFileInfo(CurrentFile).isFile();
        std::unique_ptr<TDocumentLock> Lock;
        bool ReadOnly = false;
        if (Exists && ClaimDocument(CurrentFile, Lock, ReadOnly) &&
            Document->LoadFromFile(NativeName(CurrentFile), false)) {
            Loaded = true;
            TBMRUList1->Add(CurrentFile);
            TakeDocument(std::move(Lock), ReadOnly);
        } else {
            // The user named this file; the last file of the option may have gone quietly.
            if (!Exists && HasFileArgument)
                Prompts().ShowError(FileNotFoundText(CurrentFile));
            CurrentFile.clear();
        }
    }
    // Before --start begins a new measurement over the stored one.
    OfferLostMeasurement();

    // The views show the start document in either case, also when it starts in the tray.
    if (!Loaded)
        RebuildViews(true);
    if (IndexOfSwitch(CmdLine, "start") >= 0) {
        // The window is never shown, so there is no first activation to hide it again.
        StartHidden = true;
        StartWork();
        MinimizeClick();
        StartHidden = false;
    } else {
        StartHidden = false;
        show();
    }

    connect(TreeView1, &QTreeWidget::currentItemChanged, this, [this] { TreeView1Change(); });
    // A recovered measurement has changed the document already.
    SetSaveState(Document->Modified);
}

void TMainForm::RebuildViews(bool ToRoot) {
    if (ToRoot || !CurrentProject)
        CurrentProject = Document->Root.get();
    ProjectNode = nullptr;
    FillEntryList();
    QSignalBlocker Quiet(TreeView1);
    Document->FillProjectTree(*TreeView1);
    QTreeWidgetItem *Node = FindProjectNode(CurrentProject);
    TreeView1->setCurrentItem(Node ? Node : TreeView1->TopNode());
    if (Node)
        TreeView1->scrollToItem(Node);
    ShowDefaultProject();
}

void TMainForm::SetSaveState(bool Modified) {
    SetActionImage(acSave, Modified ? imgSave : imgSaveNothing);
    acSave->setEnabled(Modified);
}

bool TMainForm::ConfirmSave() {
    const QString Question = CurrentFile.isEmpty()
                                 ? QStringLiteral("Möchten Sie die Änderungen speichern?")
                                 : QStringLiteral("Möchten Sie Änderungen in \"") +
                                       QFileInfo(CurrentFile).fileName() +
                                       QStringLiteral("\" speichern?");
    if (!Document->Modified)
        return true;
    const TPromptAnswer Answer =
        SilentMode ? TPromptAnswer::Yes : Prompts().Confirm(Question, true);
    switch (Answer) {
    case TPromptAnswer::Cancel:
        return false;
    case TPromptAnswer::No:
        return true;
    case TPromptAnswer::Yes:
        break;
    }
    if (!CurrentFile.isEmpty())
        return SaveDocument(CurrentFile);
    return SaveAsCommand();
}

// A failure has already been shown: the document reports it through its OnMessage. Before
// the file the document came from is overwritten, the user decides whether that may lose
// what a newer version wrote, or what another program saved since; without questions
// (--silent) the file is kept and the user told why, since the window then stays open.
bool TMainForm::SaveDocument(const QString &FileName) {
    if (IsReadOnlyTarget(FileName))
        return SaveAsCommand();
    const std::string Name = NativeName(FileName);
    const QString KeptText = QStringLiteral("Die Datei \"") + QFileInfo(FileName).fileName() +
                             QStringLiteral("\" wurde nicht überschrieben, weil sie %1. Speichern "
                                            "Sie das Dokument unter einem anderen Namen.");
    if (Document->LoadedNewerVersion && Name == Document->DiskFile) {
        if (SilentMode) {
            Prompts().ShowWarning(
                KeptText.arg(QStringLiteral("mit einer neueren Version erstellt wurde")));
            return false;
        }
        switch (Prompts().Confirm(
            QStringLiteral("Die Datei wurde mit einer neueren Version erstellt. Beim Speichern "
                           "gehen Informationen verloren. Trotzdem überschreiben?\n\n"
                           "„Nein“ speichert unter einem anderen Namen."),
            true)) {
        case TPromptAnswer::Yes:
            break;
        case TPromptAnswer::No:
            return SaveAsCommand();
        case TPromptAnswer::Cancel:
            return false;
        }
    }
    if (Document->ChangedOnDisk(Name)) {
        if (SilentMode) {
            Prompts().ShowWarning(KeptText.arg(
                QStringLiteral("seit dem Laden oder Speichern von einem anderen Programm "
                               "geändert wurde")));
            return false;
        }
        if (Prompts().Confirm(QStringLiteral("Die Datei \"") + QFileInfo(FileName).fileName() +
                                  QStringLiteral("\" wurde seit dem Laden oder Speichern von "
                                                 "einem anderen Programm geändert.\n\n"
                                                 "Überschreiben? „Nein“ behält die andere "
                                                 "Fassung."),
                              false) != TPromptAnswer::Yes)
            return false;
    }
    return Document->SaveToFile(Name);
}

bool TMainForm::OpenDocument(const QString &FileName) {
    std::unique_ptr<TDocumentLock> Lock;
    bool ReadOnly = false;
    // The load tells the views and the other windows that the document was replaced.
    if (!ClaimDocument(FileName, Lock, ReadOnly) ||
        !Document->LoadFromFile(NativeName(FileName), false))
        return false;
    CurrentFile = FileName;
    TakeDocument(std::move(Lock), ReadOnly);
    // A running measurement now belongs to this document; one a crash left here is offered.
    if (MeasureRunning)
        KeepMeasureState();
    else
        OfferLostMeasurement();
    return true;
}

QString TMainForm::InitialDialogFolder() const {
    if (!CurrentFile.isEmpty())
        return QFileInfo(CurrentFile).absolutePath();
    return QCoreApplication::applicationDirPath();
}

// The open dialog of "Öffnen..." and of "Importieren...".
bool TMainForm::ShowOpenDialog(const QString &Title, QString &FileName) {
    TFileDialogRequest Request;
    Request.Kind = TFileDialogRequest::Open;
    Request.Title = Title;
    Request.InitialDir = InitialDialogFolder();
    Request.Filter = QString::fromUtf8(FileFilter);
    if (!FFileDialogs->Execute(this, Request))
        return false;
    FileName = Request.FileName;
    return true;
}

bool TMainForm::ShowSaveAsDialog(QString &FileName) {
    TFileDialogRequest Request;
    Request.Kind = TFileDialogRequest::Save;
    Request.Title = QStringLiteral("Speichern unter");
    Request.InitialDir = InitialDialogFolder();
    Request.FileName = CurrentFile;
    Request.Filter = QString::fromUtf8(FileFilter);
    Request.DefaultSuffix = QStringLiteral("ckx");
    if (!FFileDialogs->Execute(this, Request))
        return false;
    FileName = Request.FileName;
    return true;
}

bool TMainForm::SaveAsCommand() {
    QString FileName;
    if (!ShowSaveAsDialog(FileName) || FileName.isEmpty())
        return false;
    if (IsReadOnlyTarget(FileName)) {
        Prompts().ShowWarning(QStringLiteral("Die Datei \"") + QFileInfo(FileName).fileName() +
                              QStringLiteral("\" ist schreibgeschützt geöffnet, weil ein "
                                             "anderes Chronark sie bearbeitet. Speichern Sie "
                                             "das Dokument unter einem anderen Namen."));
        return false;
    }
    if (!SaveDocument(FileName))
        return false;
    CurrentFile = FileName;
    FollowSavedAs(FileName);
    TBMRUList1->Add(FileName);
    UpdateCaption();
    return true;
}

void TMainForm::NewClick() {
    if (!ConfirmSave())
        return;
    // An empty new document has nothing to save.
    Document->NewDocument();
    CurrentFile.clear();
    TakeDocument(nullptr, false);
    if (MeasureRunning)
        KeepMeasureState();
}

void TMainForm::OpenClick() {
    QString FileName;
    if (ConfirmSave() && ShowOpenDialog(QStringLiteral("Öffnen"), FileName) &&
        OpenDocument(FileName))
        TBMRUList1->Add(CurrentFile);
}

void TMainForm::SaveClick() {
    if (CurrentFile.isEmpty())
        SaveAsCommand();
    else
        SaveDocument(CurrentFile);
}

void TMainForm::SaveAsClick() {
    SaveAsCommand();
}

void TMainForm::acImportExecute() {
    QString FileName;
    if (ShowOpenDialog(QStringLiteral("Importieren"), FileName))
        Document->LoadFromFile(NativeName(FileName), true);
}

void TMainForm::FileSettingsClick() {
    bool Changed = false;
    if (!FileSettingsDialog(this, Prompts(), &ImageList1, *Document, Changed))
        return;
    // The document's commands have marked it modified and told the views.
    SetSaveState(true);
}

void TMainForm::ExportClick() {
    TQtExportUi Ui(this, Prompts(), *FFileDialogs, &ImageList1, LastExportFileType,
                   InitialDialogFolder());
    TExportMan Man;
    Man.Execute(Ui, *Document, NativeName(ExportDir), NativeName(CurrentFile));
    if (!Ui.WrittenFile().isEmpty())
        ShowWrittenFile(QStringLiteral("Exportiert nach"), Ui.WrittenFile());
}

void TMainForm::TBMRUList1Click(const QString &FileName) {
    if (ConfirmSave()) {
        if (!QFileInfo(FileName).isFile())
            Prompts().ShowError(FileNotFoundText(FileName));
        else if (OpenDocument(FileName))
            return;
    }
    TBMRUList1->Remove(FileName);
}

void TMainForm::TBMRUList1Change() {
    RebuildRecentMenus();
    acLeer->setVisible(TBMRUList1->IsEmpty());
}

void TMainForm::infoclick() {
    ShowAboutBox(this, AppName + QLatin1Char(' ') + QString::fromLatin1(VersionText));
}

void TMainForm::VerCtrlClick() {
    ShowVersionCheck(this);
}

bool TMainForm::MimeHasLocalFile(const QMimeData *Data) const {
    if (!Data || !Data->hasUrls())
        return false;
    for (const QUrl &Url : Data->urls())
        if (Url.isLocalFile())
            return true;
    return false;
}

void TMainForm::FilesDropped(const QStringList &FileNames) {
    if (FileNames.isEmpty() || FileNames.first().isEmpty())
        return;
    const QString FileName = FileNames.first();
    if (CurrentFile.isEmpty()) {
        // A document without a name is offered Save As; an untouched one has nothing to keep.
        if (Document->Modified && !SaveAsCommand())
            return;
    } else if (!SaveDocument(CurrentFile)) {
        return;
    }
    if (OpenDocument(FileName))
        TBMRUList1->Add(CurrentFile);
}

void TMainForm::dragEnterEvent(QDragEnterEvent *Event) {
    if (MimeHasLocalFile(Event->mimeData()))
        Event->acceptProposedAction();
    else
        Event->ignore();
}

void TMainForm::dropEvent(QDropEvent *Event) {
    QStringList Names;
    if (Event->mimeData())
        for (const QUrl &Url : Event->mimeData()->urls())
            if (Url.isLocalFile())
                Names << Url.toLocalFile();
    Event->acceptProposedAction();
    FilesDropped(Names);
}

bool TMainForm::FormCloseQuery() {
    if (ClosedDown)
        return true;
    const bool WasMeasuring = MeasureRunning;
    TDateTime RecordedUntil = 0;
    if (WasMeasuring)
        RecordedUntil = RecordMeasurement();
    if (!ConfirmSave()) {
        // The window stays open: the measurement goes on from the moment just recorded, so
        // no stretch of time is recorded twice or lost.
        if (WasMeasuring) {
            MeasureStart = RecordedUntil;
            MeasureRunning = true;
            KeepMeasureState();
        }
        return false;
    }
    SaveWindowSettings();
    SaveRecentFiles();
    FreeInfoPane();
    FreeRevWatch();
    Timer1->stop();
    TrayIcon1->SetActive(false);
    DocLock.reset();
    ClosedDown = true;
    return true;
}

void TMainForm::closeEvent(QCloseEvent *Event) {
    if (!FormCloseQuery()) {
        Event->ignore();
        return;
    }
    Event->accept();
    emit Closed();
}

void TMainForm::LoadWindowSettings() {
    LoadFormSettings(*Registry, *this, AppName, true, ScreenArea);
    // The designed or stored bounds may be too big for this screen (the status bar with the
    // totals would hang below it) or lie off it after the screens changed.
    const QRect Bounds = (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized))
                             ? normalGeometry()
                             : geometry();
    const QRect Area = ScreenArea.isValid() ? ScreenArea : AvailableAreaFor(Bounds);
    FitFormIntoArea(*this, Area);
    // A column or pane wider than the screen is of no use, and INT_MAX overflows the sums the
    // header and the splitter make of the widths.
    const int MaxWidth = Area.isValid() ? Area.width() : width();
    if (OpenAppKey(*Registry, AppName, QStringLiteral("FormSettings"), false)) {
        for (int c = 0; c < 4; ++c) {
            int Width = 0;
            if (Registry->ReadInteger(QString::fromLatin1(ColumnWidthNames[c]), Width))
                ListView1->header()->resizeSection(c, qBound(0, Width, MaxWidth));
        }
        int Width = 0;
        if (Registry->ReadInteger(QStringLiteral("tvPrjWidth"), Width))
            SetTreePaneWidth(qMin(Width, MaxWidth));
    }
    Registry->CloseKey();
}

void TMainForm::SaveWindowSettings() {
    SaveFormSettings(*Registry, *this, AppName, true);
    // An open search window is not closed on the way out: its placement is kept here.
    if (SearchForm1)
        SearchForm1->SavePlacement(*Registry, AppName);
    if (OpenAppKey(*Registry, AppName, QStringLiteral("FormSettings"), true)) {
        for (int c = 0; c < 4; ++c)
            Registry->WriteInteger(QString::fromLatin1(ColumnWidthNames[c]),
                                   ListView1->StoredWidth(c));
        Registry->WriteInteger(QStringLiteral("tvPrjWidth"), TreePaneWidth());
    }
    if (OpenAppKey(*Registry, AppName, QString(), true)) {
        Registry->WriteBool(QStringLiteral("OpenLast"), acAutoOpen->isChecked());
        if (!CurrentFile.isEmpty())
            Registry->WriteString(QStringLiteral("ProjectFile"), CurrentFile);
    }
    Registry->CloseKey();
}

void TMainForm::LoadRecentFiles() {
    QStringList Names;
    if (OpenAppKey(*Registry, AppName, QStringLiteral("RecentFiles"), false)) {
        for (int i = 1; i <= TRecentFiles::MaxItems; ++i) {
            QString Name;
            if (Registry->ReadString(MruName(i), Name) && !Name.isEmpty())
                Names << Name;
        }
    }
    Registry->CloseKey();
    TBMRUList1->Assign(Names);
}

void TMainForm::SaveRecentFiles() {
    if (!OpenAppKey(*Registry, AppName, QStringLiteral("RecentFiles"), true))
        return;
    const QStringList &Items = TBMRUList1->Items();
    for (int i = 1; i <= TRecentFiles::MaxItems; ++i) {
        if (i <= Items.size())
            Registry->WriteString(MruName(i), Items[i - 1]);
        else
            Registry->DeleteValue(MruName(i));
    }
    Registry->CloseKey();
}
