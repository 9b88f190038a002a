// File commands, the filter, dropped files, start-up and close, and the stored settings.

#include "app/formsettings.h"
#include "app/makerlibs.h"
#include "app/registry.h"
#include "base/dates.h"
#include "dialogs/entrylist.h"
#include "dialogs/f_settings.h"
#include "dialogs/u_exportform.h"
#include "dialogs/u_searchform.h"
#include "mainwindow/docsession.h"
#include "mainwindow/documentviews.h"
#include "mainwindow/filterpanel.h"
#include "mainwindow/mainform_env.h"
#include "mainwindow/projectcommands.h"
#include "mainwindow/statusline.h"
#include "mainwindow/stopwatch.h"
#include "mainwindow/trayicon.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QSignalBlocker>
#include <QTimer>
#include <QUrl>

namespace {

const char *const ColumnWidthNames[] = {"colCommentWidth", "colStartTimeWidth", "colEndTimeWidth",
                                        "colDurationWidth"};

} // namespace

void TMainForm::Start() {
    if (Started)
        return;
    Started = true;
    setAcceptDrops(true);
    LoadWindowSettings();

    Session->SetSilent(IndexOfSwitch(CmdLine, "silent") >= 0);
    // A loaded start document is shown as the load tells it.
    const bool Loaded = (HasFileArgument || Action("acAutoOpen")->isChecked()) &&
                        Session->OpenStartFile(HasFileArgument);
    // Before --start begins a new measurement over the stored one.
    Watch->OfferLost(Session->Silent());

    // The views show the start document in either case, also when it starts in the tray.
    if (!Loaded)
        Views->RebuildViews(true);
    if (IndexOfSwitch(CmdLine, "start") >= 0) {
        StartWork();
        MinimizeClick();
    } else {
        show();
    }

    Views->FollowTree();
    // A recovered measurement has changed the document already.
    SetSaveState(Document->Modified);
}

void TMainForm::SetSaveState(bool Modified) {
    QAction *Save = Action("acSave");
    SetActionImage(Save, ImageList1, Modified ? imgSave : imgSaveNothing);
    Save->setEnabled(Modified);
}

void TMainForm::NewClick() {
    if (!Session->ConfirmSave())
        return;
    // The rows name the entries the document is about to free.
    ListView1->Clear();
    Session->New();
}

void TMainForm::FileSettingsClick() {
    const TSettingsOutcome Outcome = FileSettingsDialog(this, Env->Prompts, &ImageList1, *Document);
    if (Outcome == TSettingsOutcome::Cancelled)
        return;
    // The document's commands have marked it modified and told the views.
    SetSaveState(true);
}

void TMainForm::ExportClick() {
    TQtExportUi Ui(this, Env->Prompts, Env->FileDialogs, &ImageList1, Env->LastExportFileType,
                   Session->DialogFolder());
    TExportMan Man;
    Man.Execute(Ui, *Document, TDocumentSession::NativeName(Env->ExportDir),
                TDocumentSession::NativeName(Session->FileName()));
    if (!Ui.WrittenFile().isEmpty())
        Status->ShowWrittenFile(QStringLiteral("Exportiert nach"), Ui.WrittenFile());
}

void TMainForm::acFilterExecute() {
    // The panel, not the action's check mark, says which way this goes: the action toggles
    // its mark before it runs this, the header's button does not.
    const bool Opening = !Filter->IsOpen();
    Filter->SetOpen(Opening);
    Action("acFilter")->setChecked(Opening);
}

void TMainForm::FilesDropped(const QStringList &FileNames) {
    if (FileNames.isEmpty() || FileNames.first().isEmpty())
        return;
    Session->OpenDropped(FileNames.first());
}

void TMainForm::dragEnterEvent(QDragEnterEvent *Event) {
    if (TProjectCommands::HasLocalFile(Event->mimeData()))
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
    TDateTime RecordedUntil = 0;
    const bool WasMeasuring = Watch->Suspend(RecordedUntil);
    if (!Session->ConfirmSave()) {
        // The window stays open: the measurement goes on from the moment just recorded, so
        // no stretch of time is recorded twice or lost.
        if (WasMeasuring)
            Watch->Resume(RecordedUntil);
        return false;
    }
    SaveWindowSettings();
    Session->SaveRecentFiles(*Env->Registry, AppName);
    FreeInfoPane();
    FreeRevWatch();
    Watch->Ticker()->stop();
    TrayIcon1->SetActive(false);
    Session->Release();
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
    TRegistry *Registry = Env->Registry.get();
    const QRect &ScreenArea = Env->ScreenArea;
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
    TRegistry *Registry = Env->Registry.get();
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
        Registry->WriteBool(QStringLiteral("OpenLast"), Action("acAutoOpen")->isChecked());
        if (!Session->FileName().isEmpty())
            Registry->WriteString(QStringLiteral("ProjectFile"), Session->FileName());
    }
    Registry->CloseKey();
}
