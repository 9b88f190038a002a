// File commands, the unsaved-changes question, recent files, dropped files, start-up and
// close.

#include "mainwindow_testing.h"
#include "app/formsettings.h"
#include "mainwindow/recentfiles.h"
#include "mainwindow/trayicon.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QUrl>

#include <climits>

namespace {

std::string Native(const QString &Path) {
    return QFile::encodeName(Path).toStdString();
}

QStringList MenuTexts(const QMenu *Menu) {
    QStringList T;
    for (const QAction *A : Menu->actions())
        if (A->isVisible())
            T << A->text();
    return T;
}

} // namespace

// --- Recent files ------------------------------------------------------------------------

TEST(MainFormRecentFilesTest, AddingMovesAKnownNameToTheTopWithItsNewLetterCase) {
    TRecentFiles List;
    List.Add("/d/a.ckx");
    List.Add("/d/b.ckx");
    List.Add("/D/A.CKX");
    EXPECT_EQ(List.Items(), (QStringList{"/D/A.CKX", "/d/b.ckx"}));
}

TEST(MainFormRecentFilesTest, ASixthNameDropsTheOldest) {
    TRecentFiles List;
    for (int i = 1; i <= 6; ++i)
        List.Add(QStringLiteral("/f%1.ckx").arg(i));
    EXPECT_EQ(List.Items(), (QStringList{"/f6.ckx", "/f5.ckx", "/f4.ckx", "/f3.ckx", "/f2.ckx"}));
    List.Remove("/F4.CKX");
    EXPECT_EQ(List.Items().size(), 4);
    EXPECT_EQ(List.IndexOf("/f4.ckx"), -1);
}

TEST(MainFormRecentFilesTest, MenuCaptionNumbersTheEntryAndShowsAmpersandsLiterally) {
    EXPECT_EQ(TRecentFiles::MenuCaption(0, "/daten/A&B.ckx"), QStringLiteral("&1 /daten/A&&B.ckx"));
    EXPECT_EQ(TRecentFiles::MenuCaption(4, "x"), QStringLiteral("&5 x"));
}

TEST_F(MainFormTest, RecentMenusShowTheDisabledPlaceholderWhenEmpty) {
    TMainFormTestPeer &F = MakeStarted();
    EXPECT_EQ(MenuTexts(F.Menu("MenuRecent")), QStringList{"(Leer)"});
    EXPECT_EQ(MenuTexts(F.Menu("OpenDropDown")), QStringList{"(Leer)"});
    EXPECT_FALSE(F.Action("acLeer")->isEnabled());
    F.RecentFiles().Add("/tmp/x&y.ckx");
    EXPECT_EQ(MenuTexts(F.Menu("MenuRecent")), QStringList{"&1 /tmp/x&&y.ckx"});
    EXPECT_EQ(MenuTexts(F.Menu("OpenDropDown")), QStringList{"&1 /tmp/x&&y.ckx"});
    F.RecentFiles().Remove("/tmp/x&y.ckx");
    EXPECT_EQ(MenuTexts(F.Menu("MenuRecent")), QStringList{"(Leer)"});
}

TEST_F(MainFormTest, ChoosingAMissingRecentFileRemovesIt) {
    TMainFormTestPeer &F = MakeStarted();
    F.RecentFiles().Add(FilePath("fehlt.ckx"));
    F.RecentFiles().Add(FilePath("andere.ckx"));
    F.Menu("MenuRecent")->actions().at(1)->trigger();
    EXPECT_EQ(F.RecentFiles().Items(), QStringList{FilePath("andere.ckx")});
    EXPECT_TRUE(F.Session().FileName().isEmpty());
}

TEST_F(MainFormTest, CancellingTheQuestionForARecentFileRemovesIt) {
    const QString Path = WriteDocument("da.ckx", [](TChronarkMan &) {});
    TMainFormTestPeer &F = MakeStarted();
    F.RecentFiles().Add(Path);
    F.Doc().Root->AddProject("ungespeichert");
    Prompts.Answers = {TPromptAnswer::Cancel};
    F.Menu("MenuRecent")->actions().at(0)->trigger();
    EXPECT_EQ(Prompts.Questions.size(), 1);
    EXPECT_TRUE(F.RecentFiles().IsEmpty());
    EXPECT_TRUE(F.Session().FileName().isEmpty());
}

TEST_F(MainFormTest, ChoosingARecentFileOpensIt) {
    const QString Path =
        WriteDocument("offen.ckx", [&](TChronarkMan &D) { D.Root->AddProject("Kunde"); });
    TMainFormTestPeer &F = MakeStarted();
    F.RecentFiles().Add(Path);
    F.RecentFiles().Add(FilePath("x.ckx"));
    F.Menu("MenuRecent")->actions().at(1)->trigger();
    EXPECT_EQ(F.Session().FileName(), Path);
    EXPECT_EQ(F.RecentFiles().Items().first(), Path);
    EXPECT_EQ(ListCaptions(), QStringList{"Kunde"});
}

namespace {

QString NotFound(const QString &Path) {
    return QStringLiteral("Die Datei \"") + QDir::toNativeSeparators(Path) +
           QStringLiteral("\" wurde nicht gefunden.");
}

} // namespace

TEST_F(MainFormTest, AMissingRecentFileIsReportedWhenChosen) {
    TMainFormTestPeer &F = MakeStarted();
    const QString Gone = FilePath("fehlt.ckx");
    F.RecentFiles().Add(Gone);
    F.Menu("MenuRecent")->actions().at(0)->trigger();
    EXPECT_EQ(Prompts.Errors, QStringList{NotFound(Gone)});
    EXPECT_TRUE(F.RecentFiles().IsEmpty());

    // A cancelled question is no missing file.
    Prompts.Errors.clear();
    F.RecentFiles().Add(Gone);
    F.Doc().Root->AddProject("ungespeichert");
    Prompts.Answers = {TPromptAnswer::Cancel};
    F.Menu("MenuRecent")->actions().at(0)->trigger();
    EXPECT_TRUE(Prompts.Errors.isEmpty());
    EXPECT_TRUE(F.RecentFiles().IsEmpty());
}

// --- Start-up ----------------------------------------------------------------------------

TEST_F(MainFormTest, StartsWithAnEmptyUnmodifiedDocument) {
    TMainFormTestPeer &F = MakeStarted();
    EXPECT_TRUE(F.Window().isVisible());
    EXPECT_TRUE(F.Session().FileName().isEmpty());
    EXPECT_EQ(F.Views().ShownProject(), F.Doc().Root.get());
    EXPECT_FALSE(F.Action("acSave")->isEnabled());
    EXPECT_EQ(F.Action("acSave")->property("imageIndex").toInt(), imgSaveNothing);
    EXPECT_FALSE(F.Stopwatch().Running());
    EXPECT_FALSE(F.Session().Silent());
    EXPECT_EQ(F.Window().pos(), QPoint(231, 152));
    EXPECT_EQ(F.Window().size(), QSize(893, 755));
}

TEST_F(MainFormTest, FileArgumentOpensTheFileEvenWithTheOptionOff) {
    const QString Path =
        WriteDocument("arg.ckx", [&](TChronarkMan &D) { D.Root->AddProject("Aus Datei"); });
    TMainFormTestPeer &F = MakeStarted({Native(Path)});
    EXPECT_EQ(F.Session().FileName(), Path);
    EXPECT_EQ(F.Window().windowTitle(), QStringLiteral("arg.ckx - Chronark"));
    EXPECT_EQ(ListCaptions(), QStringList{"Aus Datei"});
    EXPECT_EQ(F.RecentFiles().Items(), QStringList{Path});
    EXPECT_FALSE(F.Action("acAutoOpen")->isChecked());
    EXPECT_FALSE(F.Action("acSave")->isEnabled());
}

TEST_F(MainFormTest, RelativeFileArgumentBecomesAFullPath) {
    TMainFormTestPeer &F = Make({"gibtsnicht.ckx"});
    EXPECT_EQ(QFileInfo(F.Session().FileName()).fileName(), QStringLiteral("gibtsnicht.ckx"));
    EXPECT_TRUE(QFileInfo(F.Session().FileName()).isAbsolute());
    F.Start();
    EXPECT_TRUE(F.Session().FileName().isEmpty()) << "a missing file leaves a new document";
}

TEST_F(MainFormTest, OptionOnReopensTheLastFile) {
    const QString Path =
        WriteDocument("last.ckx", [&](TChronarkMan &D) { D.Root->AddProject("Zuletzt"); });
    {
        auto Reg = Settings(QString(), true);
        Reg->WriteBool("OpenLast", true);
        Reg->WriteString("ProjectFile", Path);
    }
    TMainFormTestPeer &F = MakeStarted();
    EXPECT_TRUE(F.Action("acAutoOpen")->isChecked());
    EXPECT_EQ(F.Session().FileName(), Path);
    EXPECT_EQ(ListCaptions(), QStringList{"Zuletzt"});
}

TEST_F(MainFormTest, MissingLastFileGivesANewDocumentAndKeepsTheStoredName) {
    const QString Gone = FilePath("weg.ckx");
    {
        auto Reg = Settings(QString(), true);
        Reg->WriteBool("OpenLast", true);
        Reg->WriteString("ProjectFile", Gone);
    }
    TMainFormTestPeer &F = MakeStarted();
    EXPECT_TRUE(F.Session().FileName().isEmpty());
    EXPECT_TRUE(F.Window().close());
    QString Stored;
    ASSERT_TRUE(Settings(QString(), false)->ReadString("ProjectFile", Stored));
    EXPECT_EQ(Stored, Gone);
}

TEST_F(MainFormTest, OptionOffIgnoresTheStoredFile) {
    const QString Path = WriteDocument("nicht.ckx", [](TChronarkMan &) {});
    {
        auto Reg = Settings(QString(), true);
        Reg->WriteBool("OpenLast", false);
        Reg->WriteString("ProjectFile", Path);
    }
    TMainFormTestPeer &F = MakeStarted();
    EXPECT_TRUE(F.Session().FileName().isEmpty());
}

TEST_F(MainFormTest, AMissingFileArgumentIsReported) {
    const QString Gone = FilePath("fehlt.ckx");
    TMainFormTestPeer &F = MakeStarted({Native(Gone)});
    EXPECT_EQ(Prompts.Errors, QStringList{NotFound(Gone)});
    EXPECT_TRUE(F.Session().FileName().isEmpty());
    EXPECT_TRUE(F.RecentFiles().IsEmpty());
}

TEST_F(MainFormTest, AMissingLastFileIsNotReported) {
    {
        auto Reg = Settings(QString(), true);
        Reg->WriteBool("OpenLast", true);
        Reg->WriteString("ProjectFile", FilePath("weg.ckx"));
    }
    MakeStarted();
    EXPECT_TRUE(Prompts.Errors.isEmpty());
}

// Characters the document cannot hold become '?' on reading, and the window says how many.
TEST_F(MainFormTest, OpeningAndImportingWarnAboutReplacedCharacters) {
    const QString Path = FilePath("utf8.ckx");
    {
        QFile File(Path);
        ASSERT_TRUE(File.open(QIODevice::WriteOnly));
        File.write("\xEF\xBB\xBF<ckx><data>"
                   "<project caption=\"\xC5\x81\xC3\xB3"
                   "d\xC5\xBA\"/></data></ckx>");
    }
    const QString Warning = QStringLiteral("Beim Lesen wurden 2 Zeichen, die das Dokument nicht "
                                           "speichern kann, durch \"?\" ersetzt.");
    TMainFormTestPeer &F = MakeStarted({Native(Path)});
    EXPECT_EQ(Prompts.Warnings, QStringList{Warning});
    EXPECT_EQ(ListCaptions(), QStringList{"?ód?"});

    Prompts.Warnings.clear();
    Dialogs.Answers = {Path};
    F.Action("acImport")->trigger();
    EXPECT_EQ(Prompts.Warnings, QStringList{Warning});
}

// --- The unsaved-changes question ----------------------------------------------------------

namespace {

struct ConfirmCase {
    const char *Name;
    bool Silent;
    bool Named;
    std::vector<TPromptAnswer> Answers;
    const char *SaveAsChoice; // nullptr: no dialog expected; "": cancelled
    bool Proceeds;            // the New command went through
    bool Saved;               // a file was written
};

} // namespace

class MainFormConfirmTest : public MainFormTest, public testing::WithParamInterface<ConfirmCase> {};

TEST_P(MainFormConfirmTest, NewAsksAboutUnsavedChanges) {
    const ConfirmCase &Case = GetParam();
    TMainFormTestPeer &F = MakeStarted(Case.Silent ? std::vector<std::string>{"--silent"}
                                                   : std::vector<std::string>{});
    const QString Named = FilePath("doc.ckx");
    const QString Chosen = FilePath("gewaehlt.ckx");
    if (Case.Named)
        F.Session().SetFileName(Named);
    F.Doc().Root->AddProject("Arbeit");
    Prompts.Answers.assign(Case.Answers.begin(), Case.Answers.end());
    if (Case.SaveAsChoice)
        Dialogs.Answers = {QString::fromUtf8(Case.SaveAsChoice).isEmpty() ? QString() : Chosen};

    F.Action("acNew")->trigger();

    EXPECT_EQ(Prompts.Questions.size(), int(Case.Answers.size()));
    if (!Prompts.Questions.isEmpty()) {
        EXPECT_EQ(Prompts.Questions[0],
                  Case.Named ? QStringLiteral("Möchten Sie Änderungen in \"doc.ckx\" speichern?")
                             : QStringLiteral("Möchten Sie die Änderungen speichern?"));
    }
    EXPECT_EQ(Dialogs.Requests.size(), Case.SaveAsChoice ? 1u : 0u);
    EXPECT_EQ(F.Doc().Root->FirstChild == nullptr, Case.Proceeds);
    const QString Written = Case.Named ? Named : Chosen;
    EXPECT_EQ(QFileInfo::exists(Written), Case.Saved);
    if (Case.Proceeds) {
        EXPECT_TRUE(F.Session().FileName().isEmpty());
        EXPECT_FALSE(F.Doc().Modified) << "a new document has nothing to save";
        EXPECT_EQ(F.Window().windowTitle(), QStringLiteral("Chronark"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Matrix, MainFormConfirmTest,
    testing::Values(
        ConfirmCase{"YesSavesUnderTheName", false, true, {TPromptAnswer::Yes}, nullptr, true, true},
        ConfirmCase{"NoDiscards", false, true, {TPromptAnswer::No}, nullptr, true, false},
        ConfirmCase{
            "CancelKeepsEverything", false, true, {TPromptAnswer::Cancel}, nullptr, false, false},
        ConfirmCase{
            "YesWithoutNameAsksForOne", false, false, {TPromptAnswer::Yes}, "x", true, true},
        ConfirmCase{"CancelledSaveAsCancelsTheCommand",
                    false,
                    false,
                    {TPromptAnswer::Yes},
                    "",
                    false,
                    false},
        ConfirmCase{"SilentSavesWithoutAsking", true, true, {}, nullptr, true, true},
        ConfirmCase{"SilentWithoutNameOffersSaveAs", true, false, {}, "x", true, true}),
    [](const testing::TestParamInfo<ConfirmCase> &I) { return std::string(I.param.Name); });

TEST_F(MainFormTest, NoQuestionWithoutUnsavedChanges) {
    TMainFormTestPeer &F = MakeStarted();
    F.Action("acNew")->trigger();
    EXPECT_TRUE(Prompts.Questions.isEmpty());
}

TEST_F(MainFormTest, CloseIsRefusedWhenTheQuestionIsCancelled) {
    TMainFormTestPeer &F = MakeStarted();
    F.Doc().Root->AddProject("offen");
    Prompts.Answers = {TPromptAnswer::Cancel};
    QSignalSpy Closed(&F.Window(), &TMainForm::Closed);
    EXPECT_FALSE(F.Window().close());
    EXPECT_EQ(Closed.count(), 0);
    EXPECT_TRUE(F.Window().isVisible());
    EXPECT_EQ(Settings("FormSettings", false), nullptr) << "nothing is written";
}

// --- Save, Save As, Open, Import ------------------------------------------------------------

TEST_F(MainFormTest, SaveStateFollowsChangesAndSaving) {
    TMainFormTestPeer &F = MakeStarted();
    Dialogs.Answers = {FilePath("Kunde.ckx")};
    F.Doc().Root->AddProject("A");
    EXPECT_TRUE(F.Action("acSave")->isEnabled());
    EXPECT_EQ(F.Action("acSave")->property("imageIndex").toInt(), imgSave);
    F.Action("acSave")->trigger();
    ASSERT_EQ(Dialogs.Requests.size(), 1u);
    const TFileDialogRequest &R = Dialogs.Requests[0];
    EXPECT_EQ(R.Kind, TFileDialogRequest::Save);
    EXPECT_EQ(R.Title, QStringLiteral("Speichern unter"));
    EXPECT_EQ(R.Filter, QStringLiteral("Chronark XML File (*.ckx)|*.ckx|Alle Dateien (*.*)|*.*"));
    EXPECT_EQ(R.DefaultSuffix, QStringLiteral("ckx"));
    EXPECT_EQ(R.InitialDir, QCoreApplication::applicationDirPath());
    EXPECT_FALSE(F.Action("acSave")->isEnabled());
    EXPECT_EQ(F.Action("acSave")->property("imageIndex").toInt(), imgSaveNothing);
    EXPECT_EQ(F.Session().FileName(), FilePath("Kunde.ckx"));
    EXPECT_EQ(F.Window().windowTitle(), QStringLiteral("Kunde.ckx - Chronark"));
    EXPECT_EQ(F.RecentFiles().Items(), QStringList{FilePath("Kunde.ckx")});

    // Save As proposes the current name in its folder.
    Dialogs.Answers = {QString()};
    F.Action("acSaveAs")->trigger();
    ASSERT_EQ(Dialogs.Requests.size(), 2u);
    EXPECT_EQ(Dialogs.Requests[1].FileName, FilePath("Kunde.ckx"));
    EXPECT_EQ(Dialogs.Requests[1].InitialDir, Dir.path());
    EXPECT_EQ(F.Session().FileName(), FilePath("Kunde.ckx"));
}

TEST_F(MainFormTest, AFailedSaveShowsTheErrorAndKeepsTheDocumentModified) {
    TMainFormTestPeer &F = MakeStarted();
    F.Session().SetFileName(FilePath("fehlt/ordner/x.ckx"));
    F.Doc().Root->AddProject("A");
    F.Action("acSave")->trigger();
    EXPECT_EQ(Prompts.Errors.size(), 1);
    // The document's own text, with the plain line ends a box shows.
    const QString Head = QStringLiteral("Die Datei \"") + FilePath("fehlt/ordner/x.ckx") +
                         QStringLiteral("\" konnte nicht gespeichert werden.\n");
    EXPECT_TRUE(Prompts.Errors.value(0).startsWith(Head)) << Prompts.Errors.value(0).toStdString();
    EXPECT_FALSE(Prompts.Errors.value(0).contains(QLatin1Char('\r')));
    EXPECT_TRUE(F.Doc().Modified);
    EXPECT_TRUE(F.Action("acSave")->isEnabled());

    // Inside the question, the failure ends the command that asked.
    Prompts.Answers = {TPromptAnswer::Yes};
    F.Action("acNew")->trigger();
    EXPECT_EQ(Prompts.Errors.size(), 2);
    EXPECT_NE(F.Doc().Root->FirstChild, nullptr);
    EXPECT_EQ(F.Session().FileName(), FilePath("fehlt/ordner/x.ckx"));
}

TEST(MainFormFileDialogTest, FilterPairsBecomeNameFiltersMatchingEveryFileForStarDotStar) {
    EXPECT_EQ(NameFiltersFromPairs(QString::fromUtf8(TDocumentSession::FileFilter)),
              (QStringList{"Chronark XML File (*.ckx)", "Alle Dateien (*)"}));
    EXPECT_EQ(NameFiltersFromPairs("Texte|*.txt;*.csv"), QStringList{"Texte (*.txt *.csv)"});
}

TEST_F(MainFormTest, OpenAsksFirstAndOpensTheChosenFile) {
    const QString Path =
        WriteDocument("b.ckx", [&](TChronarkMan &D) { D.Root->AddProject("B-Projekt"); });
    TMainFormTestPeer &F = MakeStarted();
    TCKProjectItem *Old = F.Doc().Root->AddProject("alt");
    F.Views().RebuildViews(true);
    F.TreeView1()->setCurrentItem(F.TreeView1()->FindProjectNode(Old));
    Prompts.Answers = {TPromptAnswer::No};
    Dialogs.Answers = {Path};
    F.Action("acOpen")->trigger();
    ASSERT_EQ(Dialogs.Requests.size(), 1u);
    EXPECT_EQ(Dialogs.Requests[0].Title, QStringLiteral("Öffnen"));
    EXPECT_EQ(Dialogs.Requests[0].Kind, TFileDialogRequest::Open);
    EXPECT_TRUE(Dialogs.Requests[0].FileName.isEmpty());
    EXPECT_EQ(F.Session().FileName(), Path);
    EXPECT_EQ(F.Views().ShownProject(), F.Doc().Root.get());
    EXPECT_EQ(F.TreeView1()->currentItem(), F.TreeView1()->TopNode());
    EXPECT_EQ(ListCaptions(), QStringList{"B-Projekt"});
    EXPECT_EQ(F.RecentFiles().Items(), QStringList{Path});
    EXPECT_FALSE(F.Doc().Modified);
}

TEST_F(MainFormTest, AFileThatCannotBeReadKeepsTheOpenDocument) {
    const QString Bad = FilePath("kaputt.ckx");
    {
        QFile File(Bad);
        ASSERT_TRUE(File.open(QIODevice::WriteOnly));
        File.write("<ChronarkDocument><oops");
    }
    TMainFormTestPeer &F = MakeStarted();
    F.Session().SetFileName(FilePath("vorher.ckx"));
    F.Doc().Root->AddProject("bleibt");
    F.Doc().SetSaved(true);
    Dialogs.Answers = {Bad};
    F.Action("acOpen")->trigger();
    EXPECT_FALSE(Prompts.Errors.isEmpty());
    EXPECT_EQ(F.Session().FileName(), FilePath("vorher.ckx"));
    EXPECT_NE(F.Doc().Root->FirstChild, nullptr);
    EXPECT_TRUE(F.RecentFiles().IsEmpty());
}

TEST_F(MainFormTest, ImportJoinsTheDocumentAndKeepsNameAndRecentFiles) {
    const QString Path =
        WriteDocument("imp.ckx", [&](TChronarkMan &D) { D.Root->AddProject("Importiert"); });
    TMainFormTestPeer &F = MakeStarted();
    F.Session().SetFileName(FilePath("haupt.ckx"));
    emit F.Session().TitleChanged();
    F.Doc().Root->AddProject("Eigenes");
    F.Doc().SetSaved(true);
    Dialogs.Answers = {Path};
    F.Action("acImport")->trigger();
    EXPECT_TRUE(Prompts.Questions.isEmpty());
    EXPECT_EQ(Dialogs.Requests.at(0).Title, QStringLiteral("Importieren"));
    // The file's projects arrive below a new project named after the file.
    EXPECT_EQ(ListCaptions(), (QStringList{Path, "Eigenes"}));
    EXPECT_EQ(F.Window().windowTitle(), QStringLiteral("haupt.ckx - Chronark"));
    EXPECT_TRUE(F.RecentFiles().IsEmpty());
    EXPECT_TRUE(F.Doc().Modified);
}

// --- Dropped files ------------------------------------------------------------------------

namespace {

// Files dropped on the project tree, as its drop handling hands them over.
void DropOnTree(const TMainFormTestPeer &F, const QStringList &FileNames) {
    QMimeData Data;
    QList<QUrl> Urls;
    for (const QString &Name : FileNames)
        Urls << QUrl::fromLocalFile(Name);
    Data.setUrls(Urls);
    ASSERT_TRUE(F.TreeView1()->CanDropFiles(&Data));
    F.TreeView1()->DropFiles(&Data);
}

} // namespace

TEST_F(MainFormTest, DroppedFileSavesTheNamedDocumentAndOpensTheFile) {
    const QString Dropped =
        WriteDocument("drop.ckx", [&](TChronarkMan &D) { D.Root->AddProject("Gezogen"); });
    TMainFormTestPeer &F = MakeStarted();
    F.Session().SetFileName(FilePath("aktuell.ckx"));
    DropOnTree(F, {Dropped, FilePath("zweite.ckx")});
    EXPECT_TRUE(QFileInfo::exists(FilePath("aktuell.ckx"))) << "saved without a question";
    EXPECT_TRUE(Prompts.Questions.isEmpty());
    EXPECT_EQ(F.Session().FileName(), Dropped);
    EXPECT_EQ(ListCaptions(), QStringList{"Gezogen"});
    EXPECT_EQ(F.RecentFiles().Items(), QStringList{Dropped});
}

TEST_F(MainFormTest, DroppedFileOnAnUnnamedChangedDocumentOffersSaveAs) {
    const QString Dropped = WriteDocument("drop2.ckx", [](TChronarkMan &) {});
    TMainFormTestPeer &F = MakeStarted();
    F.Doc().Root->AddProject("ungesichert");
    Dialogs.Answers = {QString()};
    DropOnTree(F, {Dropped});
    EXPECT_EQ(Dialogs.Requests.size(), 1u);
    EXPECT_TRUE(F.Session().FileName().isEmpty()) << "cancelled: the dropped file is not opened";
    EXPECT_NE(F.Doc().Root->FirstChild, nullptr);

    Dialogs.Answers = {FilePath("gerettet.ckx")};
    DropOnTree(F, {Dropped});
    EXPECT_TRUE(QFileInfo::exists(FilePath("gerettet.ckx")));
    EXPECT_EQ(F.Session().FileName(), Dropped);
}

TEST_F(MainFormTest, DroppedFileOnAnUntouchedNewDocumentOpensDirectly) {
    const QString Dropped = WriteDocument("drop3.ckx", [](TChronarkMan &) {});
    TMainFormTestPeer &F = MakeStarted();
    DropOnTree(F, {Dropped});
    EXPECT_TRUE(Dialogs.Requests.empty());
    EXPECT_EQ(F.Session().FileName(), Dropped);
}
