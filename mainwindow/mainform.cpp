#include "mainwindow/mainform.h"

#include "app/formsettings.h"
#include "app/makerlibs.h"
#include "app/platform.h"
#include "app/qtext.h"
#include "dialogs/entrylist.h"
#include "dialogs/projecttree.h"
#include "dialogs/u_searchform.h"
#include "mainwindow/docsession.h"
#include "mainwindow/documentviews.h"
#include "mainwindow/entrycommands.h"
#include "mainwindow/filterpanel.h"
#include "mainwindow/mainform_env.h"
#include "mainwindow/projectcommands.h"
#include "mainwindow/recentfiles.h"
#include "mainwindow/statusline.h"
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
#include <QTimer>
#include <QVBoxLayout>

TMainForm::TMainForm(const std::vector<std::string> &Params) : TMainForm(Params, TOptions()) {}

TMainFormEnv::TMainFormEnv(const TMainForm::TOptions &Options, QWidget *Owner)
    : Prompts(Options.Prompts ? *Options.Prompts
                              : *(OwnPrompts = std::make_unique<TMessageBoxPrompts>(Owner))),
      FileDialogs(Options.FileDialogs ? *Options.FileDialogs
                                      : *(OwnFileDialogs = std::make_unique<TQtFileDialogs>())),
      EntryDialogs(Options.EntryDialogs
                       ? *Options.EntryDialogs
                       : *(OwnEntryDialogs = std::make_unique<TQtEntryDialogs>(Prompts))),
      Registry(Options.SettingsFolder.isEmpty()
                   ? std::make_unique<TRegistry>()
                   : std::make_unique<TRegistry>(Options.SettingsFolder)),
      ExportDir(Options.ExportDir.isEmpty()
                    ? QCoreApplication::applicationDirPath() + QStringLiteral("/export")
                    : Options.ExportDir),
      ScreenArea(Options.ScreenArea) {
    if (!ExportDir.endsWith(QLatin1Char('/')) && !ExportDir.endsWith(QLatin1Char('\\')))
        ExportDir += QLatin1Char('/');
}

TMainForm::TMainForm(const std::vector<std::string> &Params, const TOptions &Options,
                     QWidget *Parent)
    : QMainWindow(Parent), Env(std::make_unique<TMainFormEnv>(Options, this)) {
    setObjectName(QStringLiteral("MainForm"));
    AppName = QCoreApplication::applicationName();
    if (AppName.isEmpty())
        AppName = QStringLiteral("Chronark");
    // A new document, shown by the tree's top node once the views exist.
    Document = std::make_unique<TChronarkMan>([this](bool Modified) { SetSaveState(Modified); });
    // The document's file errors and warnings reach the user through the same prompts.
    Document->OnMessage = [this](TMessageKind Kind, const std::string &Text) {
        if (Kind == TMessageKind::Error)
            Env->Prompts.ShowError(ToQMessage(Text));
        else
            Env->Prompts.ShowWarning(ToQMessage(Text));
    };
    // The actions first: the menus, the button bar and the popups place them.
    BuildActions();
    BuildLayout();
    BuildMenus();
    BuildToolBar();
    BuildPopupMenus();
    ReadStartOptions(Params);
}

void TMainForm::ReadStartOptions(const std::vector<std::string> &Params) {
    // The command line: the last plain parameter is the document, the rest switches.
    ParseCommandLine(CmdLine, Params, NativeSwitchPrefixes());

    // The maker libraries: the version check and the info pane, when installed.
    Action("acVerCtrl")->setVisible(LoadRevWatch());
    LoadInfoPane();
    UndoActions = std::make_unique<TUndoActions>(*Document, *Action("acUndo"), *Action("acRedo"));
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
    setWindowTitle(AppName);
    TrayIcon1->SetToolTip(AppName);

    HasFileArgument = !CmdLine.FileName.empty();
    BuildCollaborators();

    // The stored option, then the start file: a file argument wins over the last file.
    TRegistry &Registry = *Env->Registry;
    if (OpenAppKey(Registry, AppName, QString(), false)) {
        bool OpenLast = false;
        if (Registry.ReadBool(QStringLiteral("OpenLast"), OpenLast))
            Action("acAutoOpen")->setChecked(OpenLast);
    }
    if (HasFileArgument) {
        Session->SetFileName(
            QFileInfo(QFile::decodeName(CmdLine.FileName.c_str())).absoluteFilePath());
    } else {
        QString Last;
        if (Action("acAutoOpen")->isChecked() && OpenAppKey(Registry, AppName, QString(), false) &&
            Registry.ReadString(QStringLiteral("ProjectFile"), Last))
            Session->SetFileName(Last);
        else
            Session->SetFileName(QString());
    }
    Registry.CloseKey();
    Session->LoadRecentFiles(Registry, AppName);
}

void TMainForm::BuildCollaborators() {
    const TActionLookup Lookup = [this](const char *Name) { return Action(Name); };
    Projects = std::make_unique<TProjectCommands>(
        *Document, Env->Prompts, *TreeView1, *findChild<QMenu *>(QStringLiteral("rubrprop")),
        Lookup,
        TProjectCommands::THost{[this] { return Views->ShownProject(); },
                                [this](const QStringList &Names) { FilesDropped(Names); }});
    Entries = std::make_unique<TEntryCommands>(
        *Document, Env->Prompts, Env->EntryDialogs, *ListView1, *TreeView1,
        *findChild<QMenu *>(QStringLiteral("PropPopupMenu")), Lookup,
        TEntryCommands::THost{[this] { return Views->ShownProject(); },
                              [this](const TCKTimeItem *Entry) { Views->ShowEntryAgain(Entry); }});
    // The views follow the document's changes from now on.
    Views =
        std::make_unique<TDocumentViews>(*Document, *TreeView1, *ListView1, *Entries, *Projects);
    connect(Views.get(), &TDocumentViews::ListChanged, this, [this] {
        Status->ShowTotals(*Document, Views->ShownProject());
        UpdateCaption();
    });
    connect(Filter, &TFilterPanel::Changed, Views.get(), &TDocumentViews::FillEntryList);
    connect(Filter, &TFilterPanel::CloseClicked, this, [this] { Action("acFilter")->trigger(); });

    Session = std::make_unique<TDocumentSession>(*Document, Env->Prompts, Env->FileDialogs, this);
    Watch = std::make_unique<TStopwatch>(*Document, *Env->Registry, Env->Prompts, AppName,
                                         [this] { return Session->FileName(); });
    // The views refresh on these reports, after the collaborators have changed the document.
    connect(&Session->RecentFiles(), &TRecentFiles::Changed, this, &TMainForm::RebuildRecentMenus);
    RebuildRecentMenus();
    connect(Session.get(), &TDocumentSession::TitleChanged, this, &TMainForm::UpdateCaption);
    connect(Session.get(), &TDocumentSession::Opened, this,
            [this] { Watch->DocumentOpened(Session->Silent()); });
    connect(Session.get(), &TDocumentSession::Emptied, this, [this] { Watch->FollowFile(); });
    connect(Session.get(), &TDocumentSession::Renamed, this, [this] {
        Watch->FollowFile();
        UpdateCaption();
    });
    connect(Watch.get(), &TStopwatch::Ticked, this, [this] {
        const QString Elapsed = Watch->ElapsedText();
        Label1->setText(TStopwatch::BannerText(Elapsed));
        // Read on every tick: the default project may change while the stopwatch runs.
        const TCKProjectItem *Target = Document->DefaultProject;
        Panel2->setToolTip(TStopwatch::TargetToolTip(Target));
        TrayIcon1->SetToolTip(TStopwatch::TrayToolTip(Target, Elapsed, AppName));
    });
    connect(TrayIcon1, &TTrayIcon::DoubleClicked, this, &TMainForm::Zeitstoppen1Click);
}

void TMainForm::UpdateCaption() {
    Status->ShowTitle(Session->FileName(), Session->ReadOnly());
}

TMainForm::~TMainForm() {
    Watch->Ticker()->stop();
    // The document's last changes must not call back into a half-destroyed window.
    Document->OnChange = nullptr;
    // The listeners leave the document before it goes.
    UndoActions.reset();
    Views.reset();
    // Its rows name the document's entries.
    delete SearchForm1;
    TreeView1->clear();
    ListView1->clear();
    // The commands' hold on the views and their models' signals go before the views do.
    Projects.reset();
    Entries.reset();
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

    auto *Panel4 = new QWidget(Splitter1);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    auto *Left = new QVBoxLayout(Panel4);
    Left->setContentsMargins(0, 0, 0, 0);
    Left->setSpacing(0);
    auto *Panel5 = new QLabel(QStringLiteral(" Projekte"), Panel4);
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

    auto *Panel7 = new QWidget(Splitter1);
    Panel7->setObjectName(QStringLiteral("Panel7"));
    auto *Right = new QVBoxLayout(Panel7);
    Right->setContentsMargins(0, 0, 0, 0);
    Right->setSpacing(0);
    Filter = new TFilterPanel(*Document, Env->Prompts, Panel7);
    const QStringList Columns{QStringLiteral("Bemerkung"), QStringLiteral("Startzeit"),
                              QStringLiteral("Endzeit"), QStringLiteral("Dauer")};
    ListView1 = new TEntryList(Columns, &ImageList1, Panel7);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->header()->setStretchLastSection(false);
    for (int c = 0; c < 3; ++c)
        ListView1->header()->resizeSection(c, 150);
    Right->addWidget(Filter);
    Right->addWidget(ListView1);

    Splitter1->addWidget(Panel4);
    Splitter1->addWidget(Panel7);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Column->addWidget(Splitter1, 1);
    setCentralWidget(Central);

    Status = std::make_unique<TStatusLine>(*this, AppName);

    TrayIcon1 = new TTrayIcon(this);
    TrayIcon1->setObjectName(QStringLiteral("TrayIcon1"));

    move(231, 152);
    resize(893, 755);
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
