// The window's vocabulary: actions, menu bar, button bar and popup menus.

#include "dialogs/entrylist.h"
#include "mainwindow/mainform.h"
#include "dialogs/projecttree.h"
#include "mainwindow/recentfiles.h"
#include "mainwindow/trayicon.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

namespace {

// Some desktops' key tables leave a standard key empty (Save As, Quit); the usual one then.
QKeySequence StandardKey(QKeySequence::StandardKey Key, const QKeySequence &Usual) {
    const QKeySequence Keys(Key);
    return Keys.isEmpty() ? Usual : Keys;
}

} // namespace

void TMainForm::EnableCommand(QAction *Action, bool Enabled) {
    Action->setEnabled(Enabled);
}

QAction *TMainForm::MakeAction(QAction *&Slot, const char *Name, const char *Category,
                               const QString &Caption, const QString &Hint, int Image,
                               bool Enabled) {
    Slot = new QAction(Caption, this);
    Slot->setObjectName(QString::fromLatin1(Name));
    Slot->setProperty("category", QString::fromUtf8(Category));
    Slot->setProperty("hint", Hint);
    if (!Hint.isEmpty()) {
        Slot->setToolTip(Hint);
        Slot->setStatusTip(Hint);
    }
    SetActionImage(Slot, Image);
    Slot->setEnabled(Enabled);
    AllActions << Slot;
    return Slot;
}

void TMainForm::SetActionImage(QAction *Action, int Image) {
    Action->setProperty("imageIndex", Image);
    Action->setIcon(ImageList1.Icon(Image));
}

void TMainForm::BuildActions() {
    const QString No;
    MakeAction(acNew, "acNew", "Datei", "&Neu", "Neu", imgNew, true)
        ->setShortcut(QKeySequence::New);
    MakeAction(acOpen, "acOpen", "Datei", "&Öffnen...", "Öffnen...", imgOpen, true)
        ->setShortcut(QKeySequence::Open);
    MakeAction(acSave, "acSave", "Datei", "&Speichern", "Speichern", imgSave, true)
        ->setShortcut(QKeySequence::Save);
    MakeAction(acSaveAs, "acSaveAs", "Datei", "Speichern &unter...", "Speichern unter...", imgNone,
               true)
        ->setShortcut(StandardKey(QKeySequence::SaveAs, Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    MakeAction(acPrint, "acPrint", "Datei", "&Drucken...", "Drucken...", imgPrint, true)
        ->setShortcut(QKeySequence::Print);
    MakeAction(acImport, "acImport", "Datei", "&Importieren...", "Importieren...", imgImport, true);
    MakeAction(acExport, "acExport", "Datei", "&Exportieren...", "Exportieren...", imgExport, true)
        ->setShortcut(Qt::CTRL | Qt::Key_E);
    MakeAction(acSettings, "acSettings", "Datei", "Do&kumenteinstellungen", No, imgSettings, true)
        ->setShortcut(Qt::CTRL | Qt::Key_Comma);
    MakeAction(acExit, "acExit", "Datei", "Sch&ließen", "Schließen", imgClose, true)
        ->setShortcut(StandardKey(QKeySequence::Quit, Qt::CTRL | Qt::Key_Q));
    MakeAction(acLeer, "acLeer", "Datei", "(Leer)", No, imgNone, false);

    MakeAction(acCut, "acCut", "Bearbeiten", "&Ausschneiden", "Bearbeiten", imgCut, false)
        ->setShortcut(QKeySequence::Cut);
    MakeAction(acPaste, "acPaste", "Bearbeiten", "&Einfügen", "Einfügen", imgPaste, false)
        ->setShortcut(QKeySequence::Paste);

    MakeAction(acNewProject, "acNewProject", "Projekt", "&Neu", "Neu", imgNone, true);
    MakeAction(acRenProject, "acRenProject", "Projekt", "&Umbenennen", "Umbenennen", imgNone, false)
        ->setShortcut(Qt::Key_F2);
    MakeAction(acDelProject, "acDelProject", "Projekt", "&Löschen", "Löschen", imgNone, false)
        ->setShortcut(QKeySequence::Delete);
    // Shown in the menus; the key itself acts in the tree, on the node in focus.
    acRenProject->setShortcutContext(Qt::WidgetShortcut);
    acDelProject->setShortcutContext(Qt::WidgetShortcut);
    MakeAction(acDefaultMeasure, "acDefaultMeasure", "Projekt", "&Standard für Zeitmessungen", No,
               imgNone, true);
    acDefaultMeasure->setCheckable(true);
    MakeAction(acNewProjectLV, "acNewProjectLV", "Projekt", "Neues Project", No, imgNone, true);

    MakeAction(acNewTime, "acNewTime", "Zeiten", "&Neu...", "Neu...", imgNewEntry, true);
    MakeAction(acEditTime, "acEditTime", "Zeiten", "&Editieren...", "Editieren...", imgEdit, false);
    MakeAction(acRenTime, "acRenTime", "Zeiten", "Umbenennen", "Umbenennen", imgNone, false);
    MakeAction(acDelTime, "acDelTime", "Zeiten", "&Löschen", "Löschen", imgDelete, false)
        ->setShortcut(QKeySequence::Delete);
    MakeAction(acSplit, "acSplit", "Zeiten", "Zeit s&plitten...", "Zeit splitten...", imgNone,
               false);
    MakeAction(acMelt, "acMelt", "Zeiten", "Zeiten &verschmelzen", "Zeiten verschmelzen", imgNone,
               false);

    MakeAction(acMinimize, "acMinimize", "Messung", "In den Sys&Tray minimieren",
               "In den SysTray minimieren", imgMinimize, false);
    MakeAction(acAutoOpen, "acAutoOpen", "Optionen", "&Letzte Datei beim Start automatisch öffnen",
               No, imgNone, true);
    acAutoOpen->setCheckable(true);
    MakeAction(acFilter, "acFilter", "Extras", "&Filter", "Filter", imgFilter, true);
    acFilter->setCheckable(true);
    MakeAction(acSearch, "acSearch", "Extras", "&Suchen...", "Suchen...", imgSearch, true)
        ->setShortcut(QKeySequence::Find);
    MakeAction(acVerCtrl, "acVerCtrl", "Hilfe", "Nach neuer &Version suchen...",
               "Nach neuer Version suchen...", imgVersionCheck, true);
    MakeAction(acInfo, "acInfo", "Hilfe", "&Info...", "Info...", imgInfo, true);

    MakeAction(acNewTimePopup, "acNewTimePopup", "PopupItems", "Neue &Zeit...", "Neue Zeit...",
               imgNewEntry, true);
    MakeAction(acEditTimePopup, "acEditTimePopup", "PopupItems", "&Editieren...", "Editieren...",
               imgEdit, false);
    MakeAction(acRenTimePopup, "acRenTimePopup", "PopupItems", "&Umbenennen", "Umbenennen", imgNone,
               false)
        ->setShortcut(Qt::Key_F2);
    MakeAction(acDelTimePopup, "acDelTimePopup", "PopupItems", "&Löschen", "Löschen", imgDelete,
               false)
        ->setShortcut(QKeySequence::Delete);
    // The row menu shows the list's own keys; the list handles them (ListView1KeyDown).
    acRenTimePopup->setShortcutContext(Qt::WidgetShortcut);
    acDelTimePopup->setShortcutContext(Qt::WidgetShortcut);
    MakeAction(acSplitPopup, "acSplitPopup", "PopupItems", "Zeit s&plitten...", "Zeit splitten...",
               imgNone, false);
    MakeAction(acMeltPopup, "acMeltPopup", "PopupItems", "Zeiten &verschmelzen",
               "Zeiten verschmelzen", imgNone, false);

    // The stopwatch's split buttons and their drop-down items.
    TBSubmenuItem2 = new QAction(ImageList1.Icon(imgStartMeasure), "Messung starten", this);
    TBSubmenuItem2->setObjectName(QStringLiteral("TBSubmenuItem2"));
    TBSubmenuItem2->setToolTip(QStringLiteral("Messung starten"));
    TBSubmenuItem2->setProperty("imageIndex", int(imgStartMeasure));
    TBItem3 = new QAction(ImageList1.Icon(imgStartMeasure), "&Messung starten", this);
    // One key starts and stops: only one of TBItem3 and TBItem8 is enabled at a time
    // (SetMeasureItems). F9 is in none of the standard key tables and no text field uses it.
    TBItem3->setShortcut(Qt::Key_F9);
    TBItem3->setObjectName(QStringLiteral("TBItem3"));
    TBItem13 = new QAction("Messung starten + in den &Systray", this);
    TBItem13->setObjectName(QStringLiteral("TBItem13"));
    TBSubmenuItem12 = new QAction(ImageList1.Icon(imgStopMeasure), "Messung stoppen", this);
    TBSubmenuItem12->setObjectName(QStringLiteral("TBSubmenuItem12"));
    TBSubmenuItem12->setToolTip(QStringLiteral("Messung stoppen"));
    TBSubmenuItem12->setProperty("imageIndex", int(imgStopMeasure));
    TBSubmenuItem12->setEnabled(false);
    TBItem8 = new QAction(ImageList1.Icon(imgStopMeasure), "&Messung stoppen", this);
    TBItem8->setShortcut(Qt::Key_F9);
    TBItem8->setEnabled(false);
    TBItem8->setObjectName(QStringLiteral("TBItem8"));
    TBItem28 = new QAction("&Zwischenzeit stoppen", this);
    TBItem28->setObjectName(QStringLiteral("TBItem28"));

    Zeitstoppen1 = new QAction("&Anzeigen", this);
    Zeitstoppen1->setObjectName(QStringLiteral("Zeitstoppen1"));
    QFont Bold = Zeitstoppen1->font();
    Bold.setBold(true);
    Zeitstoppen1->setFont(Bold);
    Stop1 = new QAction("Messung &stoppen", this);
    Stop1->setObjectName(QStringLiteral("Stop1"));
    StopundBeenden1 = new QAction("Stop und &Beenden", this);
    StopundBeenden1->setObjectName(QStringLiteral("StopundBeenden1"));
}

void TMainForm::BuildMenus() {
    QMenuBar *Bar = menuBar();
    Bar->setObjectName(QStringLiteral("MainMenu"));

    MenuFile = Bar->addMenu(QStringLiteral("&Datei"));
    MenuFile->setObjectName(QStringLiteral("MenuFile"));
    MenuFile->addAction(acNew);
    MenuFile->addAction(acOpen);
    MenuRecent = MenuFile->addMenu(QStringLiteral("&Zuletzt geöffnet"));
    MenuRecent->setObjectName(QStringLiteral("MenuRecent"));
    MenuFile->addAction(acSave);
    MenuFile->addAction(acSaveAs);
    MenuFile->addSeparator();
    MenuFile->addAction(acPrint);
    MenuFile->addSeparator();
    MenuFile->addAction(acImport);
    MenuFile->addAction(acExport);
    MenuFile->addSeparator();
    MenuFile->addAction(acSettings);
    MenuFile->addSeparator();
    MenuFile->addAction(acExit);

    TBSubmenuItem9 = Bar->addMenu(QStringLiteral("&Bearbeiten"));
    TBSubmenuItem9->setObjectName(QStringLiteral("TBSubmenuItem9"));
    TBSubmenuItem9->addAction(acCut);
    TBSubmenuItem9->addAction(acPaste);

    TBSubmenuItem4 = Bar->addMenu(QStringLiteral("&Projekt"));
    TBSubmenuItem4->setObjectName(QStringLiteral("TBSubmenuItem4"));
    TBSubmenuItem4->addAction(acNewProject);
    TBSubmenuItem4->addAction(acDelProject);
    TBSubmenuItem4->addSeparator();
    TBSubmenuItem4->addAction(acDefaultMeasure);

    MenuTimes = Bar->addMenu(QStringLiteral("&Zeiten"));
    MenuTimes->setObjectName(QStringLiteral("MenuTimes"));
    MenuTimes->addAction(acNewTime);
    MenuTimes->addAction(acEditTime);
    MenuTimes->addAction(acDelTime);
    MenuTimes->addSeparator();
    MenuTimes->addAction(acSplit);
    MenuTimes->addAction(acMelt);

    MenuMeasure = Bar->addMenu(QStringLiteral("&Messung"));
    MenuMeasure->setObjectName(QStringLiteral("MenuMeasure"));
    TBSubmenuItem10 =
        MenuMeasure->addMenu(ImageList1.Icon(imgStartMeasure), QStringLiteral("Messung &starten"));
    TBSubmenuItem10->setObjectName(QStringLiteral("TBSubmenuItem10"));
    TBSubmenuItem10->addAction(TBItem3);
    TBSubmenuItem10->addAction(TBItem13);
    MenuMeasure->addAction(acMinimize);
    TBSubmenuItem13 =
        MenuMeasure->addMenu(ImageList1.Icon(imgStopMeasure), QStringLiteral("Messung st&oppen"));
    TBSubmenuItem13->setObjectName(QStringLiteral("TBSubmenuItem13"));
    TBSubmenuItem13->addAction(TBItem8);
    TBSubmenuItem13->addAction(TBItem28);
    TBSubmenuItem13->menuAction()->setEnabled(false);

    MenuOptions = Bar->addMenu(QStringLiteral("&Optionen"));
    MenuOptions->setObjectName(QStringLiteral("MenuOptions"));
    MenuOptions->addAction(acAutoOpen);

    MenuExtras = Bar->addMenu(QStringLiteral("&Extras"));
    MenuExtras->setObjectName(QStringLiteral("MenuExtras"));
    MenuExtras->addAction(acFilter);
    MenuExtras->addAction(acSearch);

    MenuHelp = Bar->addMenu(QStringLiteral("&Hilfe"));
    MenuHelp->setObjectName(QStringLiteral("MenuHelp"));
    MenuHelp->addAction(acVerCtrl);
    MenuHelp->addSeparator();
    MenuHelp->addAction(acInfo);

    OpenDropDown = new QMenu(this);
    OpenDropDown->setObjectName(QStringLiteral("OpenDropDown"));
    RebuildRecentMenus();
}

void TMainForm::BuildToolBar() {
    ButtonBar = new QToolBar(QStringLiteral("Schaltflächen"), this);
    ButtonBar->setObjectName(QStringLiteral("ButtonBar"));
    ButtonBar->setMovable(false);
    ButtonBar->setFloatable(false);
    ButtonBar->setIconSize(QSize(16, 16));
    ButtonBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    addToolBar(Qt::TopToolBarArea, ButtonBar);

    auto SplitButton = [this](QAction *Default, QMenu *Menu, const char *Name) {
        auto *Button = new QToolButton(ButtonBar);
        Button->setObjectName(QString::fromLatin1(Name));
        Button->setDefaultAction(Default);
        Button->setMenu(Menu);
        Button->setPopupMode(QToolButton::MenuButtonPopup);
        Button->setAutoRaise(true);
        ButtonBar->addWidget(Button);
        return Button;
    };

    ButtonBar->addAction(acNew);
    OpenButton = SplitButton(acOpen, OpenDropDown, "OpenButton");
    ButtonBar->addAction(acSave);
    ButtonBar->addAction(acSettings);
    ButtonBar->addSeparator();
    ButtonBar->addAction(acCut);
    ButtonBar->addAction(acPaste);
    ButtonBar->addSeparator();
    ButtonBar->addAction(acPrint);
    ButtonBar->addSeparator();
    ButtonBar->addAction(acFilter);
    ButtonBar->addAction(acSearch);
    ButtonBar->addAction(acExport);
    ButtonBar->addSeparator();
    ButtonBar->addAction(acNewTime);
    ButtonBar->addAction(acEditTime);
    ButtonBar->addAction(acDelTime);
    ButtonBar->addSeparator();

    auto *StartMenu = new QMenu(this);
    StartMenu->addAction(TBItem3);
    StartMenu->addAction(TBItem13);
    SplitButton(TBSubmenuItem2, StartMenu, "StartButton");
    auto *StopMenu = new QMenu(this);
    StopMenu->addAction(TBItem8);
    StopMenu->addAction(TBItem28);
    SplitButton(TBSubmenuItem12, StopMenu, "StopButton");
    ButtonBar->addAction(acMinimize);
    ButtonBar->addSeparator();
    ButtonBar->addAction(acVerCtrl);
    ButtonBar->addSeparator();
    ButtonBar->addAction(acInfo);

    if (auto *More = ButtonBar->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button")))
        More->setToolTip(QStringLiteral("Weitere Schaltflächen"));
}

void TMainForm::BuildPopupMenus() {
    rubrprop = new QMenu(this);
    rubrprop->setObjectName(QStringLiteral("rubrprop"));
    rubrprop->addAction(acNewProject);
    rubrprop->addAction(acRenProject);
    rubrprop->addAction(acDelProject);
    rubrprop->addSeparator();
    rubrprop->addAction(acDefaultMeasure);

    PropPopupMenu = new QMenu(this);
    PropPopupMenu->setObjectName(QStringLiteral("PropPopupMenu"));
    QMenu *Neu3 = PropPopupMenu->addMenu(QStringLiteral("&Neu"));
    Neu3->setObjectName(QStringLiteral("Neu3"));
    Neu3->addAction(acNewTimePopup);
    // The row menu names the command "Neues Projekt"; the action itself reads "Neues Project".
    auto *NeuesProject1 = new QAction(QStringLiteral("Neues &Projekt"), this);
    NeuesProject1->setObjectName(QStringLiteral("NeuesProject1"));
    NeuesProject1->setToolTip(QStringLiteral("Neues Projekt"));
    NeuesProject1->setEnabled(acNewProjectLV->isEnabled());
    connect(acNewProjectLV, &QAction::changed, NeuesProject1,
            [this, NeuesProject1] { NeuesProject1->setEnabled(acNewProjectLV->isEnabled()); });
    connect(NeuesProject1, &QAction::triggered, acNewProjectLV, &QAction::trigger);
    Neu3->addAction(NeuesProject1);
    PropPopupMenu->addAction(acEditTimePopup);
    PropPopupMenu->addAction(acRenTimePopup);
    PropPopupMenu->addAction(acDelTimePopup);
    PropPopupMenu->addSeparator();
    PropPopupMenu->addAction(acSplitPopup);
    PropPopupMenu->addAction(acMeltPopup);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addAction(Zeitstoppen1);
    PopupMenu1->setDefaultAction(Zeitstoppen1);
    PopupMenu1->addAction(Stop1);
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(StopundBeenden1);
    TrayIcon1->SetMenu(PopupMenu1);
}

void TMainForm::RebuildRecentMenus() {
    for (QMenu *Menu : {MenuRecent, OpenDropDown}) {
        if (!Menu)
            continue;
        // An entry may be the action being triggered right now: free it later.
        for (QAction *Old : Menu->actions()) {
            Menu->removeAction(Old);
            if (Old != acLeer)
                Old->deleteLater();
        }
        if (TBMRUList1->IsEmpty()) {
            Menu->addAction(acLeer);
            continue;
        }
        const QStringList &Items = TBMRUList1->Items();
        for (int i = 0; i < Items.size(); ++i) {
            QAction *Entry = Menu->addAction(TRecentFiles::MenuCaption(i, Items[i]));
            Entry->setData(Items[i]);
            const QString Name = Items[i];
            connect(Entry, &QAction::triggered, this, [this, Name] {
                // The list moves the chosen file to the top before the window opens it.
                TBMRUList1->Add(Name);
                TBMRUList1Click(Name);
            });
        }
    }
}

void TMainForm::ConnectHandlers() {
    auto On = [this](QAction *A, void (TMainForm::*Handler)()) {
        connect(A, &QAction::triggered, this, [this, Handler] { (this->*Handler)(); });
    };
    On(acNew, &TMainForm::NewClick);
    On(acOpen, &TMainForm::OpenClick);
    On(acSave, &TMainForm::SaveClick);
    On(acSaveAs, &TMainForm::SaveAsClick);
    On(acImport, &TMainForm::acImportExecute);
    On(acSettings, &TMainForm::FileSettingsClick);
    On(acExport, &TMainForm::ExportClick);
    On(acPrint, &TMainForm::acPrintExecute);
    On(acExit, &TMainForm::ExitClick);
    On(acCut, &TMainForm::acCutExecute);
    On(acPaste, &TMainForm::acPasteExecute);
    On(acNewProject, &TMainForm::NewProjectClick);
    On(acRenProject, &TMainForm::renProjectClick);
    On(acDelProject, &TMainForm::DelProjectClick);
    On(acDefaultMeasure, &TMainForm::DefaultMeasureClick);
    On(acRenTime, &TMainForm::renTimeClick);
    On(acNewProjectLV, &TMainForm::acNewProjectLVExecute);
    On(acNewTime, &TMainForm::NewTimeClick);
    On(acEditTime, &TMainForm::EditTimeClick);
    On(acDelTime, &TMainForm::DelTimeClick);
    On(acSplit, &TMainForm::acSplitExecute);
    On(acMelt, &TMainForm::acMeltExecute);
    On(acFilter, &TMainForm::acFilterExecute);
    On(acSearch, &TMainForm::acSearchExecute);
    On(acNewTimePopup, &TMainForm::acNewTimePopupExecute);
    On(acEditTimePopup, &TMainForm::acEditTimePopupExecute);
    On(acRenTimePopup, &TMainForm::acRenTimePopupExecute);
    On(acDelTimePopup, &TMainForm::acDelTimePopupExecute);
    On(acSplitPopup, &TMainForm::acSplitPopupExecute);
    On(acMeltPopup, &TMainForm::acMeltPopupExecute);
    On(acMinimize, &TMainForm::MinimizeClick);
    On(acInfo, &TMainForm::infoclick);
    On(acVerCtrl, &TMainForm::VerCtrlClick);
    On(TBSubmenuItem2, &TMainForm::StartWork);
    On(TBItem3, &TMainForm::StartWork);
    On(TBItem13, &TMainForm::TBItem13Click);
    On(TBSubmenuItem12, &TMainForm::StopWork);
    On(TBItem8, &TMainForm::StopWork);
    On(TBItem28, &TMainForm::LapTime);
    On(Zeitstoppen1, &TMainForm::Zeitstoppen1Click);
    On(Stop1, &TMainForm::Stop1Click);
    On(StopundBeenden1, &TMainForm::ExitClick);

    connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
    connect(TrayIcon1, &TTrayIcon::DoubleClicked, this, &TMainForm::Zeitstoppen1Click);
    connect(TBMRUList1, &TRecentFiles::Changed, this, &TMainForm::TBMRUList1Change);
    connect(TBSubmenuItem4, &QMenu::aboutToShow, this, &TMainForm::TBSubmenuItem4Select);

    connect(TreeView1, &TProjectTree::NodeEdited, this, &TMainForm::TreeView1Edited);
    connect(TreeView1, &QWidget::customContextMenuRequested, this, [this](const QPoint &Pos) {
        if (QTreeWidgetItem *Node = TreeView1->NodeAt(Pos))
            TreeView1->setCurrentItem(Node);
        rubrpropPopup();
        rubrprop->popup(TreeView1->viewport()->mapToGlobal(Pos));
    });
    TreeView1->CanDrop = [this](QObject *Source, QTreeWidgetItem *Target) {
        return TreeView1DragOver(Source, Target);
    };
    TreeView1->Drop = [this](QObject *Source, QTreeWidgetItem *Target) {
        TreeView1DragDrop(Source, Target);
    };
    TreeView1->CanDropFiles = [this](const QMimeData *Data) { return MimeHasLocalFile(Data); };
    TreeView1->DropFiles = [this](const QMimeData *Data) {
        QStringList Names;
        for (const QUrl &Url : Data->urls())
            if (Url.isLocalFile())
                Names << Url.toLocalFile();
        FilesDropped(Names);
    };
    TreeView1->installEventFilter(this);

    connect(ListView1, &TEntryList::RowEdited, this, &TMainForm::ListView1Edited);
    connect(ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { ListView1SelectItem(); });
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this] { ListView1DblClick(); });
    connect(ListView1, &QWidget::customContextMenuRequested, this,
            &TMainForm::ListView1ContextPopup);
    connect(PropPopupMenu, &QMenu::aboutToShow, this, &TMainForm::PropPopupMenuPopup);
    ListView1->installEventFilter(this);
}
