#include "mainwindow/mainform.h"

#include "app/formsettings.h"
#include "app/makerlibs.h"
#include "app/platform.h"
#include "app/registry.h"
#include "dialogs/entrydialogs.h"
#include "dialogs/entrylist.h"
#include "dialogs/u_searchform.h"
#include "ui/filedialogs.h"
#include "dialogs/projecttree.h"
#include "ui/prompts.h"
#include "app/qtext.h"
#include "mainwindow/docsession.h"
#include "mainwindow/recentfiles.h"
#include "mainwindow/stopwatch.h"
#include "mainwindow/trayicon.h"
#include "mainwindow/mainform_undo.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QShowEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

TMainForm::TMainForm(const std::vector<std::string> &Params) : TMainForm(Params, TOptions()) {}

TMainForm::TMainForm(const std::vector<std::string> &Params, const TOptions &Options,
                     QWidget *Parent)
    : QMainWindow(Parent) {
    setObjectName(QStringLiteral("MainForm"));
    InstallServices(Options);
    BuildWindow();
    ReadStartOptions(Params);
}

void TMainForm::InstallServices(const TOptions &Options) {
    if (Options.Prompts) {
        FPrompts = Options.Prompts;
    } else {
        OwnPrompts = std::make_unique<TMessageBoxPrompts>(this);
        FPrompts = OwnPrompts.get();
    }
    if (Options.FileDialogs) {
        FFileDialogs = Options.FileDialogs;
    } else {
        OwnFileDialogs = std::make_unique<TQtFileDialogs>();
        FFileDialogs = OwnFileDialogs.get();
    }
    if (Options.EntryDialogs) {
        FEntryDialogs = Options.EntryDialogs;
    } else {
        OwnEntryDialogs = std::make_unique<TQtEntryDialogs>(*FPrompts);
        FEntryDialogs = OwnEntryDialogs.get();
    }
    ExportDir = Options.ExportDir.isEmpty()
                    ? QCoreApplication::applicationDirPath() + QStringLiteral("/export")
                    : Options.ExportDir;
    if (!ExportDir.endsWith(QLatin1Char('/')) && !ExportDir.endsWith(QLatin1Char('\\')))
        ExportDir += QLatin1Char('/');
    ScreenArea = Options.ScreenArea;
    Registry = Options.SettingsFolder.isEmpty()
                   ? std::make_unique<TRegistry>()
                   : std::make_unique<TRegistry>(Options.SettingsFolder);
}

void TMainForm::BuildWindow() {
    // The actions first: the menus, the button bar and the popups place them.
    BuildActions();
    BuildLayout();
    BuildMenus();
    BuildToolBar();
    BuildPopupMenus();
    ConnectViews();
}

void TMainForm::ReadStartOptions(const std::vector<std::string> &Params) {
    // The command line: the last plain parameter is the document, the rest switches.
    ParseCommandLine(CmdLine, Params, NativeSwitchPrefixes());

    // The maker libraries: the version check and the info pane, when installed.
    Action("acVerCtrl")->setVisible(LoadRevWatch());
    LoadInfoPane();

    // A new document, shown by the tree's top node.
    Document = std::make_unique<TChronarkMan>([this](bool Modified) { SetSaveState(Modified); });
    // The document's file errors and warnings reach the user through the same prompts.
    Document->OnMessage = [this](TMessageKind Kind, const std::string &Text) {
        if (Kind == TMessageKind::Error)
            FPrompts->ShowError(ToQMessage(Text));
        else
            FPrompts->ShowWarning(ToQMessage(Text));
    };
    // The views follow the document's changes from now on.
    Document->Subscribe(*this);
    UndoActions = std::make_unique<TUndoActions>(*Document, *Action("acUndo"), *Action("acRedo"));
    CurrentProject = Document->DefaultProject;
    TreeView1->SetRootProject(Document->Root.get());

    QIcon Small = ExtractSmallIcon(QCoreApplication::applicationFilePath(), 0);
    if (Small.isNull())
        Small = ProgramIcon();
    TrayIcon1->SetIcon(Small);
    ImageList1.Append(Small);
    setWindowIcon(ProgramIcon());
    // This window owns the task-bar entry that the tray mode hides.
    SetAppWindow(this);

    TreeView1->setCurrentItem(TreeView1->TopNode());

    AppName = QCoreApplication::applicationName();
    if (AppName.isEmpty())
        AppName = QStringLiteral("Chronark");
    ApplicationTitle = AppName;
    setWindowTitle(AppName);
    TrayIcon1->SetToolTip(AppName);

    HasFileArgument = !CmdLine.FileName.empty();

    Session = std::make_unique<TDocumentSession>(*Document, *FPrompts, *FFileDialogs, this);
    Watch = std::make_unique<TStopwatch>(*Document, *Registry, *FPrompts, AppName,
                                         [this] { return Session->FileName(); });
    ConnectCollaborators();

    // The stored option, then the start file: a file argument wins over the last file.
    if (OpenAppKey(*Registry, AppName, QString(), false)) {
        bool OpenLast = false;
        if (Registry->ReadBool(QStringLiteral("OpenLast"), OpenLast))
            Action("acAutoOpen")->setChecked(OpenLast);
    }
    if (HasFileArgument) {
        Session->SetFileName(
            QFileInfo(QFile::decodeName(CmdLine.FileName.c_str())).absoluteFilePath());
    } else {
        QString Last;
        if (Action("acAutoOpen")->isChecked() && OpenAppKey(*Registry, AppName, QString(), false) &&
            Registry->ReadString(QStringLiteral("ProjectFile"), Last))
            Session->SetFileName(Last);
        else
            Session->SetFileName(QString());
    }
    Registry->CloseKey();
    Session->LoadRecentFiles(*Registry, AppName);
}

TMainForm::~TMainForm() {
    Watch->Ticker()->stop();
    // The document's last changes must not call back into a half-destroyed window.
    if (Document) {
        Document->OnChange = nullptr;
        Document->Unsubscribe(*this);
    }
    CutList.clear();
    // Its rows name the document's entries.
    delete SearchForm1;
    TreeView1->clear();
    ListView1->clear();
    // The lists' models go with the child widgets, after this object's members: their
    // signals must not reach the row-menu handlers any more.
    ListView1->model()->disconnect(this);
    if (PopupList)
        PopupList->model()->disconnect(this);
    Document.reset();
}

void TMainForm::BuildLayout() {
    auto *Central = new QWidget(this);
    auto *Column = new QVBoxLayout(Central);
    Column->setContentsMargins(0, 0, 0, 0);
    Column->setSpacing(0);

    auto *Banner = new QFrame(Central);
    Banner->setObjectName(QStringLiteral("Panel2"));
    Banner->setFrameShape(QFrame::StyledPanel);
    auto *BannerLayout = new QVBoxLayout(Banner);
    BannerLayout->setContentsMargins(4, 2, 4, 2);
    Label1 = new QLabel(Banner);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont Bold = Label1->font();
    Bold.setBold(true);
    Label1->setFont(Bold);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    BannerLayout->addWidget(Label1);
    Panel2 = Banner;
    Panel2->hide();
    Column->addWidget(Panel2);

    Panel3 = new QWidget(Central);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setFixedHeight(3);
    Panel3->hide();
    Column->addWidget(Panel3);

    Splitter1 = new QSplitter(Qt::Horizontal, Central);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);

    Panel4 = new QWidget(Splitter1);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    auto *Left = new QVBoxLayout(Panel4);
    Left->setContentsMargins(0, 0, 0, 0);
    Left->setSpacing(0);
    Panel5 = new QLabel(QStringLiteral(" Projekte"), Panel4);
    Panel5->setObjectName(QStringLiteral("Panel5"));
    Panel5->setFrameShape(QFrame::StyledPanel);
    Panel5->setMinimumHeight(20);
    TreeView1 = new TProjectTree(
        &ImageList1,
        TProjectTree::EditCaptions | TProjectTree::DragAndDrop | TProjectTree::DefaultMark, Panel4);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setContextMenuPolicy(Qt::CustomContextMenu);
    Left->addWidget(Panel5);
    Left->addWidget(TreeView1);

    Panel7 = new QWidget(Splitter1);
    Panel7->setObjectName(QStringLiteral("Panel7"));
    auto *Right = new QVBoxLayout(Panel7);
    Right->setContentsMargins(0, 0, 0, 0);
    Right->setSpacing(0);
    Panel8 = new QFrame(Panel7);
    Panel8->setObjectName(QStringLiteral("Panel8"));
    Panel8->setFixedHeight(105);
    Panel8->hide();
    BuildFilterPanel(Panel8);
    const QStringList Columns{QStringLiteral("Bemerkung"), QStringLiteral("Startzeit"),
                              QStringLiteral("Endzeit"), QStringLiteral("Dauer")};
    ListView1 = new TEntryList(Columns, &ImageList1, Panel7);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->header()->setStretchLastSection(false);
    for (int c = 0; c < 3; ++c)
        ListView1->header()->resizeSection(c, 150);
    Right->addWidget(Panel8);
    Right->addWidget(ListView1);

    Splitter1->addWidget(Panel4);
    Splitter1->addWidget(Panel7);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Column->addWidget(Splitter1, 1);
    setCentralWidget(Central);

    StatusPanel0 = new QLabel(this);
    StatusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    StatusPanel0->setFixedWidth(StatusPanelWidth);
    StatusPanel1 = new QLabel(this);
    StatusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
    statusBar()->addWidget(StatusPanel0);
    statusBar()->addWidget(StatusPanel1, 1);
    // Where the last export or PDF went; beside the totals, never in their place.
    StatusPanel2 = new QLabel(this);
    StatusPanel2->setObjectName(QStringLiteral("StatusPanel2"));
    statusBar()->addPermanentWidget(StatusPanel2);

    TrayIcon1 = new TTrayIcon(this);
    TrayIcon1->setObjectName(QStringLiteral("TrayIcon1"));

    move(231, 152);
    resize(893, 755);
}

TRecentFiles &TMainForm::RecentFiles() const {
    return Session->RecentFiles();
}

int TMainForm::TreePaneWidth() const {
    const QList<int> Sizes = Splitter1->sizes();
    if (FirstShowDone && !Sizes.isEmpty() && Sizes[0] > 0)
        return Sizes[0];
    return RequestedTreeWidth;
}

void TMainForm::SetTreePaneWidth(int Width) {
    RequestedTreeWidth = qMax(1, Width);
    const int Total = qMax(Splitter1->width(), RequestedTreeWidth + 1);
    Splitter1->setSizes({RequestedTreeWidth, Total - RequestedTreeWidth});
}

void TMainForm::showEvent(QShowEvent *Event) {
    QMainWindow::showEvent(Event);
    if (!FirstShowDone) {
        // The splitter knows its width only once laid out.
        FirstShowDone = true;
        SetTreePaneWidth(RequestedTreeWidth);
        // The stored widths are laid out now; what the window gains later goes to the comments.
        ListView1->GiveGrowthTo(0);
    }
}
