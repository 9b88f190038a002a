// The window's vocabulary: the declared actions, menu bar, button bar and popup menus.

#include "mainwindow/docsession.h"
#include "mainwindow/mainform.h"
#include "mainwindow/projectcommands.h"
#include "mainwindow/recentfiles.h"
#include "mainwindow/trayicon.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include <initializer_list>

namespace {

// Adds the named actions to Target in order; "-" is a separator.
template <class TTarget>
void AddItems(const TMainForm &Form, TTarget *Target, std::initializer_list<const char *> Names,
              QAction *(TMainForm::*Find)(const char *) const) {
    for (const char *Name : Names) {
        if (Name[0] == '-' && !Name[1])
            Target->addSeparator();
        else
            Target->addAction((Form.*Find)(Name));
    }
}

} // namespace

QAction *TMainForm::Action(const char *Name) const {
    QAction *Found = ActionsByName.value(QLatin1String(Name));
    Q_ASSERT(Found);
    return Found;
}

void TMainForm::BuildActions() {
    for (const TActionDecl &Row : DeclaredActions()) {
        QAction *A = MakeAction(Row, ImageList1, this);
        if (Row.Handler)
            connect(A, &QAction::triggered, this,
                    [this, Handler = Row.Handler] { Handler(*this); });
        ActionsByName.insert(A->objectName(), A);
    }
}

void TMainForm::BuildMenus() {
    QMenuBar *Bar = menuBar();
    Bar->setObjectName(QStringLiteral("MainMenu"));
    auto Menu = [this, Bar](const char *Name, const char *Title) {
        QMenu *M = Bar->addMenu(QString::fromUtf8(Title));
        M->setObjectName(QString::fromLatin1(Name));
        return M;
    };

    QMenu *File = Menu("MenuFile", "&Datei");
    AddItems(*this, File, {"acNew", "acOpen"}, &TMainForm::Action);
    QMenu *MenuRecent = File->addMenu(QStringLiteral("&Zuletzt geöffnet"));
    MenuRecent->setObjectName(QStringLiteral("MenuRecent"));
    AddItems(*this, File,
             {"acSave", "acSaveAs", "-", "acPrint", "-", "acImport", "acExport", "-", "acSettings",
              "-", "acExit"},
             &TMainForm::Action);
    AddItems(*this, Menu("TBSubmenuItem9", "&Bearbeiten"),
             {"acUndo", "acRedo", "-", "acCut", "acPaste"}, &TMainForm::Action);
    QMenu *TBSubmenuItem4 = Menu("TBSubmenuItem4", "&Projekt");
    connect(TBSubmenuItem4, &QMenu::aboutToShow, this, [this] { Projects->MenuAboutToShow(); });
    AddItems(*this, TBSubmenuItem4, {"acNewProject", "acDelProject", "-", "acDefaultMeasure"},
             &TMainForm::Action);
    AddItems(*this, Menu("MenuTimes", "&Zeiten"),
             {"acNewTime", "acEditTime", "acDelTime", "-", "acSplit", "acMelt"},
             &TMainForm::Action);

    QMenu *Measure = Menu("MenuMeasure", "&Messung");
    TBSubmenuItem10 =
        Measure->addMenu(ImageList1.Icon(imgStartMeasure), QStringLiteral("Messung &starten"));
    TBSubmenuItem10->setObjectName(QStringLiteral("TBSubmenuItem10"));
    AddItems(*this, TBSubmenuItem10, {"TBItem3", "TBItem13"}, &TMainForm::Action);
    Measure->addAction(Action("acMinimize"));
    TBSubmenuItem13 =
        Measure->addMenu(ImageList1.Icon(imgStopMeasure), QStringLiteral("Messung st&oppen"));
    TBSubmenuItem13->setObjectName(QStringLiteral("TBSubmenuItem13"));
    AddItems(*this, TBSubmenuItem13, {"TBItem8", "TBItem28"}, &TMainForm::Action);
    TBSubmenuItem13->menuAction()->setEnabled(false);

    AddItems(*this, Menu("MenuOptions", "&Optionen"), {"acAutoOpen"}, &TMainForm::Action);
    AddItems(*this, Menu("MenuExtras", "&Extras"), {"acFilter", "acSearch"}, &TMainForm::Action);
    AddItems(*this, Menu("MenuHelp", "&Hilfe"), {"acVerCtrl", "-", "acInfo"}, &TMainForm::Action);

    // Filled with the recent files once the document session exists.
    auto *OpenDropDown = new QMenu(this);
    OpenDropDown->setObjectName(QStringLiteral("OpenDropDown"));
}

void TMainForm::BuildToolBar() {
    auto *ButtonBar = new QToolBar(QStringLiteral("Schaltflächen"), this);
    ButtonBar->setObjectName(QStringLiteral("ButtonBar"));
    ButtonBar->setMovable(false);
    ButtonBar->setFloatable(false);
    ButtonBar->setIconSize(QSize(16, 16));
    ButtonBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    addToolBar(Qt::TopToolBarArea, ButtonBar);

    auto SplitButton = [this, ButtonBar](const char *Default, QMenu *Menu, const char *Name) {
        auto *Button = new QToolButton(ButtonBar);
        Button->setObjectName(QString::fromLatin1(Name));
        Button->setDefaultAction(Action(Default));
        Button->setMenu(Menu);
        Button->setPopupMode(QToolButton::MenuButtonPopup);
        Button->setAutoRaise(true);
        ButtonBar->addWidget(Button);
    };
    auto DropDown = [this](std::initializer_list<const char *> Names) {
        auto *Menu = new QMenu(this);
        AddItems(*this, Menu, Names, &TMainForm::Action);
        return Menu;
    };

    ButtonBar->addAction(Action("acNew"));
    SplitButton("acOpen", findChild<QMenu *>(QStringLiteral("OpenDropDown")), "OpenButton");
    AddItems(*this, ButtonBar,
             {"acSave", "acSettings", "-", "acUndo", "acRedo", "-", "acCut", "acPaste", "-",
              "acPrint", "-", "acFilter", "acSearch", "acExport", "-", "acNewTime", "acEditTime",
              "acDelTime", "-"},
             &TMainForm::Action);
    SplitButton("TBSubmenuItem2", DropDown({"TBItem3", "TBItem13"}), "StartButton");
    SplitButton("TBSubmenuItem12", DropDown({"TBItem8", "TBItem28"}), "StopButton");
    AddItems(*this, ButtonBar, {"acMinimize", "-", "acVerCtrl", "-", "acInfo"}, &TMainForm::Action);

    if (auto *More = ButtonBar->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button")))
        More->setToolTip(QStringLiteral("Weitere Schaltflächen"));
}

void TMainForm::BuildPopupMenus() {
    auto *rubrprop = new QMenu(this);
    rubrprop->setObjectName(QStringLiteral("rubrprop"));
    AddItems(*this, rubrprop,
             {"acNewProject", "acRenProject", "acDelProject", "-", "acDefaultMeasure"},
             &TMainForm::Action);

    auto *PropPopupMenu = new QMenu(this);
    PropPopupMenu->setObjectName(QStringLiteral("PropPopupMenu"));
    QMenu *Neu3 = PropPopupMenu->addMenu(QStringLiteral("&Neu"));
    Neu3->setObjectName(QStringLiteral("Neu3"));
    Neu3->addAction(Action("acNewTimePopup"));
    // The row menu names the command "Neues Projekt"; the action itself reads "Neues Project".
    QAction *NewProject = Action("acNewProjectLV");
    auto *NeuesProject1 = new QAction(QStringLiteral("Neues &Projekt"), this);
    NeuesProject1->setObjectName(QStringLiteral("NeuesProject1"));
    NeuesProject1->setToolTip(QStringLiteral("Neues Projekt"));
    NeuesProject1->setEnabled(NewProject->isEnabled());
    connect(NewProject, &QAction::changed, NeuesProject1,
            [NewProject, NeuesProject1] { NeuesProject1->setEnabled(NewProject->isEnabled()); });
    connect(NeuesProject1, &QAction::triggered, NewProject, &QAction::trigger);
    Neu3->addAction(NeuesProject1);
    AddItems(
        *this, PropPopupMenu,
        {"acEditTimePopup", "acRenTimePopup", "acDelTimePopup", "-", "acSplitPopup", "acMeltPopup"},
        &TMainForm::Action);

    auto *PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    AddItems(*this, PopupMenu1, {"Zeitstoppen1", "Stop1", "-", "StopundBeenden1"},
             &TMainForm::Action);
    PopupMenu1->setDefaultAction(Action("Zeitstoppen1"));
    TrayIcon1->SetMenu(PopupMenu1);
}

void TMainForm::RebuildRecentMenus() {
    QAction *Empty = Action("acLeer");
    TRecentFiles &Recent = Session->RecentFiles();
    for (const char *Name : {"MenuRecent", "OpenDropDown"}) {
        auto *Menu = findChild<QMenu *>(QLatin1String(Name));
        // An entry may be the action being triggered right now: free it later.
        for (QAction *Old : Menu->actions()) {
            Menu->removeAction(Old);
            if (Old != Empty)
                Old->deleteLater();
        }
        if (Recent.IsEmpty()) {
            Menu->addAction(Empty);
            continue;
        }
        const QStringList &Items = Recent.Items();
        for (int i = 0; i < Items.size(); ++i) {
            QAction *Entry = Menu->addAction(TRecentFiles::MenuCaption(i, Items[i]));
            Entry->setData(Items[i]);
            const QString Name = Items[i];
            connect(Entry, &QAction::triggered, this, [this, Name] {
                // The list moves the chosen file to the top before the window opens it.
                Session->RecentFiles().Add(Name);
                Session->OpenRecent(Name);
            });
        }
    }
    Empty->setVisible(Recent.IsEmpty());
}
