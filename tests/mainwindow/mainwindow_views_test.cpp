// The window's vocabulary, the project tree, the entry list and the status bar.

#include "base/cp1252.h"
#include "base/dates.h"
#include "mainwindow_testing.h"
#include "mainwindow/typedtext.h"
#include "export/u_export.h"
#include "ui/captiondelegate.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidgetItemIterator>

namespace {

// The commands that are disabled after start-up, before any change: those whose windows come
// later, and Save with nothing to save.
const QStringList DisabledAtStart = {
    "acSave",         "acUndo",         "acRedo",       "acLeer",     "acCut",
    "acPaste",        "acRenProject",   "acDelProject", "acEditTime", "acRenTime",
    "acDelTime",      "acSplit",        "acMelt",       "acMinimize", "acEditTimePopup",
    "acRenTimePopup", "acDelTimePopup", "acSplitPopup", "acMeltPopup"};

// A hint repeats its caption, or there is none; Cut's names its menu.
bool HintFitsCaption(const TActionDecl &Row) {
    const QString Hint = QString::fromUtf8(Row.Hint);
    return Hint.isEmpty() || Hint == WithoutAccessKey(QString::fromUtf8(Row.Caption)) ||
           (QLatin1String(Row.Name) == QLatin1String("acCut") && Hint == "Bearbeiten");
}

QStringList MenuTexts(const QMenu *Menu) {
    QStringList T;
    for (const QAction *A : Menu->actions())
        T << (A->isSeparator() ? QStringLiteral("-") : WithoutAccessKey(A->text()));
    return T;
}

QAction *FindAction(const TMainFormTestPeer &F, const char *Name) {
    for (QAction *A : F.Actions())
        if (A->objectName() == QLatin1String(Name))
            return A;
    return nullptr;
}

} // namespace

TEST_F(MainFormTest, EveryActionCarriesItsCategoryCaptionHintImageAndState) {
    TMainFormTestPeer &F = MakeStarted();
    int Commands = 0;
    QStringList Names;
    for (const TActionDecl &Row : TMainForm::DeclaredActions()) {
        SCOPED_TRACE(Row.Name);
        EXPECT_FALSE(Names.contains(QLatin1String(Row.Name)));
        Names << QLatin1String(Row.Name);
        EXPECT_TRUE(HintFitsCaption(Row));
        QAction *A = F.Action(Row.Name);
        ASSERT_NE(A, nullptr);
        EXPECT_EQ(A->text(), QString::fromUtf8(Row.Caption));
        EXPECT_EQ(A->shortcut(), Row.Key.Keys());
        if (!Row.Category) {
            EXPECT_EQ(FindAction(F, Row.Name), nullptr) << "a stopwatch item is no command";
            continue;
        }
        ++Commands;
        EXPECT_EQ(FindAction(F, Row.Name), A);
        EXPECT_EQ(A->property("category").toString(), QString::fromUtf8(Row.Category));
        EXPECT_EQ(A->property("hint").toString(), QString::fromUtf8(Row.Hint));
        EXPECT_EQ(A->statusTip(), QString::fromUtf8(Row.Hint));
        // Save shows that there is nothing to save.
        const bool Save = QLatin1String(Row.Name) == QLatin1String("acSave");
        const int Image = Save ? int(imgSaveNothing) : Row.Image;
        EXPECT_EQ(A->property("imageIndex").toInt(), Image);
        // A hidden action (no version check installed) is never enabled.
        EXPECT_EQ(A->isEnabled(),
                  !DisabledAtStart.contains(QLatin1String(Row.Name)) && A->isVisible());
        EXPECT_EQ(A->icon().isNull(), Image < 0);
    }
    EXPECT_EQ(F.Actions().size(), Commands);
    EXPECT_EQ(Commands, 37);
    for (const QString &Name : DisabledAtStart)
        EXPECT_TRUE(Names.contains(Name)) << Name.toStdString();
    EXPECT_TRUE(F.Action("acAutoOpen")->isCheckable());
    EXPECT_FALSE(F.Action("acAutoOpen")->isChecked());
    EXPECT_FALSE(F.Action("acFilter")->isChecked());
    // The stopwatch's items as the menus and the split buttons show them.
    EXPECT_EQ(F.Action("TBSubmenuItem2")->toolTip(), QStringLiteral("Messung starten"));
    EXPECT_EQ(F.Action("TBSubmenuItem12")->toolTip(), QStringLiteral("Messung stoppen"));
    EXPECT_FALSE(F.Action("TBSubmenuItem12")->isEnabled());
    EXPECT_FALSE(F.Action("TBItem8")->isEnabled());
    EXPECT_TRUE(F.Action("TBItem3")->isEnabled());
}

TEST_F(MainFormTest, MenusListTheirItemsInOrder) {
    TMainFormTestPeer &F = MakeStarted();
    QStringList Titles;
    for (QAction *A : F.Window().menuBar()->actions())
        Titles << WithoutAccessKey(A->text());
    EXPECT_EQ(Titles, (QStringList{"Datei", "Bearbeiten", "Projekt", "Zeiten", "Messung",
                                   "Optionen", "Extras", "Hilfe"}));
    EXPECT_EQ(MenuTexts(F.Menu("MenuFile")),
              (QStringList{"Neu", "Öffnen...", "Zuletzt geöffnet", "Speichern",
                           "Speichern unter...", "-", "Drucken...", "-", "Importieren...",
                           "Exportieren...", "-", "Dokumenteinstellungen", "-", "Schließen"}));
    EXPECT_EQ(MenuTexts(F.Menu("TBSubmenuItem9")),
              (QStringList{"Rückgängig", "Wiederholen", "-", "Ausschneiden", "Einfügen"}));
    EXPECT_EQ(MenuTexts(F.Menu("TBSubmenuItem4")),
              (QStringList{"Neu", "Löschen", "-", "Standard für Zeitmessungen"}));
    EXPECT_EQ(MenuTexts(F.Menu("MenuTimes")),
              (QStringList{"Neu...", "Editieren...", "Löschen", "-", "Zeit splitten...",
                           "Zeiten verschmelzen"}));
    EXPECT_EQ(MenuTexts(F.Menu("MenuMeasure")),
              (QStringList{"Messung starten", "In den SysTray minimieren", "Messung stoppen"}));
    EXPECT_EQ(MenuTexts(F.Menu("TBSubmenuItem10")),
              (QStringList{"Messung starten", "Messung starten + in den Systray"}));
    EXPECT_EQ(MenuTexts(F.Menu("TBSubmenuItem13")),
              (QStringList{"Messung stoppen", "Zwischenzeit stoppen"}));
    EXPECT_EQ(MenuTexts(F.Menu("MenuHelp")),
              (QStringList{"Nach neuer Version suchen...", "-", "Info..."}));
    EXPECT_EQ(MenuTexts(F.Menu("rubrprop")),
              (QStringList{"Neu", "Umbenennen", "Löschen", "-", "Standard für Zeitmessungen"}));
    EXPECT_EQ(MenuTexts(F.Menu("PropPopupMenu")),
              (QStringList{"Neu", "Editieren...", "Umbenennen", "Löschen", "-", "Zeit splitten...",
                           "Zeiten verschmelzen"}));
    EXPECT_EQ(MenuTexts(F.Menu("PopupMenu1")),
              (QStringList{"Anzeigen", "Messung stoppen", "-", "Stop und Beenden"}));
    EXPECT_EQ(F.Menu("PopupMenu1")->defaultAction(), F.Action("Zeitstoppen1"));
    EXPECT_TRUE(F.Action("Zeitstoppen1")->font().bold());
}

TEST_F(MainFormTest, ButtonBarHoldsTheCommandsInOrder) {
    TMainFormTestPeer &F = MakeStarted();
    QStringList Names;
    for (QAction *A : F.Find<QToolBar>("ButtonBar")->actions()) {
        if (A->isSeparator()) {
            Names << QStringLiteral("-");
        } else if (QWidget *W = F.Find<QToolBar>("ButtonBar")->widgetForAction(A);
                   W && !W->objectName().isEmpty() && !A->objectName().startsWith("ac")) {
            Names << W->objectName();
        } else {
            Names << A->objectName();
        }
    }
    EXPECT_EQ(Names,
              (QStringList{"acNew",     "OpenButton",  "acSave",     "acSettings", "-",
                           "acUndo",    "acRedo",      "-",          "acCut",      "acPaste",
                           "-",         "acPrint",     "-",          "acFilter",   "acSearch",
                           "acExport",  "-",           "acNewTime",  "acEditTime", "acDelTime",
                           "-",         "StartButton", "StopButton", "acMinimize", "-",
                           "acVerCtrl", "-",           "acInfo"}));
    EXPECT_FALSE(F.Find<QToolBar>("ButtonBar")->isMovable());
    auto *More = F.Find<QToolBar>("ButtonBar")
                     ->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button"));
    ASSERT_NE(More, nullptr);
    EXPECT_EQ(More->toolTip(), QStringLiteral("Weitere Schaltflächen"));
}

TEST_F(MainFormTest, ImageListHoldsTheDrawnImagesAndTheProgramIcon) {
    TMainFormTestPeer &F = MakeStarted();
    ASSERT_EQ(F.Images().Count(), 27);
    for (int i = 0; i < 27; ++i) {
        SCOPED_TRACE(i);
        const QImage Image = F.Images().Pixmap(i).toImage();
        EXPECT_EQ(Image.size(), QSize(16, 16));
        bool Drawn = false;
        for (int y = 0; y < 16 && !Drawn; ++y)
            for (int x = 0; x < 16 && !Drawn; ++x)
                Drawn = qAlpha(Image.pixel(x, y)) > 0;
        // Image 16 has no role and stays empty.
        EXPECT_EQ(Drawn, i != 16);
    }
    EXPECT_NE(F.Images().Pixmap(imgSave).toImage(), F.Images().Pixmap(imgSaveNothing).toImage());
    EXPECT_NE(F.Images().Pixmap(imgEntryPlain).toImage(),
              F.Images().Pixmap(imgEntryOverlapping).toImage());
}

TEST_F(MainFormTest, LayoutHasTheProjectPaneListColumnsAndTwoStatusPanels) {
    TMainFormTestPeer &F = MakeStarted();
    EXPECT_EQ(F.Find<QLabel>("Panel5")->text(), QStringLiteral(" Projekte"));
    EXPECT_EQ(F.TreeView1()->topLevelItemCount(), 1);
    EXPECT_EQ(F.TreeView1()->TopNode()->text(0), QStringLiteral("Projekte"));
    EXPECT_EQ(F.TreeView1()->indentation(), 19);
    EXPECT_EQ(F.Find<QSplitter>("Splitter1")->sizes().value(0), 185);
    QStringList Headers;
    for (int c = 0; c < F.ListView1()->columnCount(); ++c)
        Headers << F.ListView1()->headerItem()->text(c);
    EXPECT_EQ(Headers, (QStringList{"Bemerkung", "Startzeit", "Endzeit", "Dauer"}));
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(F.ListView1()->header()->sectionSize(c), 150);
    EXPECT_FALSE(F.ListView1()->header()->sectionsClickable());
    EXPECT_EQ(F.Find<QLabel>("StatusPanel0")->width(), 200);
    EXPECT_EQ(F.Find<QLabel>("StatusPanel0")->text(),
              QStringLiteral("Gesamt: 0 Std, 0 Min, 0 Sek"));
    EXPECT_EQ(F.Find<QLabel>("StatusPanel1")->text(),
              QStringLiteral("Aktuelles Project: 0 Std, 0 Min, 0 Sek"));
    EXPECT_EQ(F.Window().windowTitle(), QStringLiteral("Chronark"));
    EXPECT_FALSE(F.Find<QWidget>("Panel2")->isVisible());
    EXPECT_FALSE(F.Find<TFilterPanel>("Panel8")->isVisible());
}

TEST_F(MainFormTest, ListShowsSubProjectsFirstInCaptionOrderThenEntriesByStart) {
    TMainFormTestPeer &F = MakeStarted();
    TCKProjectItem *Root = F.Doc().Root.get();
    Root->AddTime(Span(11, 0, 0, 12, 0, 0, "spaet"));
    Root->AddProject("alpha");
    Root->AddTime(Span(8, 0, 0, 9, 0, 0, "frueh"));
    Root->AddProject("Zeta");
    Root->AddProject("Zet");
    F.Views().RebuildViews(true);
    EXPECT_EQ(ListCaptions(), (QStringList{"alpha", "Zet", "Zeta", "frueh", "spaet"}));
    const TEntryRow *Early = F.ListView1()->Row(3);
    EXPECT_EQ(Early->text(1), QStringLiteral("04.03.2024 08:00:00"));
    EXPECT_EQ(Early->text(2), QStringLiteral("04.03.2024 09:00:00"));
    EXPECT_EQ(Early->text(3), QStringLiteral("01:00:00"));
    EXPECT_EQ(F.ListView1()->ImageOf(0), imgFolder);
    EXPECT_EQ(F.ListView1()->ImageOf(3), imgEntryPlain);
    // The tree sorts its nodes by text regardless of letter case.
    QStringList Nodes;
    for (int i = 0; i < F.TreeView1()->TopNode()->childCount(); ++i)
        Nodes << F.TreeView1()->TopNode()->child(i)->text(0);
    EXPECT_EQ(Nodes, (QStringList{"alpha", "Zet", "Zeta"}));
    EXPECT_TRUE(F.TreeView1()->TopNode()->isExpanded());
}

TEST_F(MainFormTest, OverlappingEntriesShowTheOverlapImageUntilTheOverlapEnds) {
    TMainFormTestPeer &F = MakeStarted();
    TCKProjectItem *Root = F.Doc().Root.get();
    Root->AddTime(Span(9, 0, 0, 10, 0, 0, "a"));
    TCKTimeItem *B = Root->AddTime(Span(9, 30, 0, 11, 0, 0, "b"));
    F.Views().RebuildViews(true);
    EXPECT_EQ(F.ListView1()->ImageOf(0), imgEntryOverlapping);
    EXPECT_EQ(F.ListView1()->ImageOf(1), imgEntryOverlapping);
    EXPECT_EQ(F.Find<QLabel>("StatusPanel0")->text(),
              QStringLiteral("Gesamt: 2 Std, 0 Min, 0 Sek"));

    ASSERT_TRUE(F.Doc().SetEntryData(B, Span(10, 0, 0, 11, 0, 5, "b")));
    EXPECT_EQ(F.ListView1()->ImageOf(0), imgEntryPlain);
    EXPECT_EQ(F.ListView1()->ImageOf(1), imgEntryPlain);
    EXPECT_EQ(F.Find<QLabel>("StatusPanel0")->text(),
              QStringLiteral("Gesamt: 2 Std, 0 Min, 5 Sek"));
}

TEST_F(MainFormTest, StatusBarSumsTheDocumentAndTheShownProjectOnly) {
    TMainFormTestPeer &F = MakeStarted();
    TCKProjectItem *A = F.Doc().Root->AddProject("A");
    TCKProjectItem *Sub = A->AddProject("Sub");
    A->AddTime(Span(8, 0, 0, 9, 0, 5));
    Sub->AddTime(Span(10, 0, 0, 10, 30, 0));
    F.Views().RebuildViews(true);
    ShowProject(A);
    EXPECT_EQ(F.Find<QLabel>("StatusPanel0")->text(),
              QStringLiteral("Gesamt: 1 Std, 30 Min, 5 Sek"));
    EXPECT_EQ(F.Find<QLabel>("StatusPanel1")->text(),
              QStringLiteral("Aktuelles Project: 1 Std, 0 Min, 5 Sek"));
}

TEST_F(MainFormTest, CaptionNamesTheFileWithoutItsFolder) {
    TMainFormTestPeer &F = MakeStarted();
    F.Session().SetFileName(FilePath(QStringLiteral("Kunde.ckx")));
    emit F.Session().TitleChanged();
    EXPECT_EQ(F.Window().windowTitle(), QStringLiteral("Kunde.ckx - Chronark"));
    F.Session().SetFileName(QString());
    emit F.Session().TitleChanged();
    EXPECT_EQ(F.Window().windowTitle(), QStringLiteral("Chronark"));
}

TEST_F(MainFormTest, TopNodeCanNeitherBeRenamedNorDeleted) {
    TMainFormTestPeer &F = MakeStarted();
    F.TreeView1()->setFocus();
    F.TreeView1()->setCurrentItem(F.TreeView1()->TopNode());
    QTest::keyClick(F.TreeView1(), Qt::Key_F2);
    EXPECT_FALSE(F.TreeView1()->IsEditing());
    QTest::keyClick(F.TreeView1(), Qt::Key_Delete);
    EXPECT_TRUE(Prompts.Questions.isEmpty());
    F.Projects().MenuAboutToShow();
    EXPECT_FALSE(F.Action("acRenProject")->isEnabled());
    EXPECT_FALSE(F.Action("acDelProject")->isEnabled());
    EXPECT_EQ(F.TreeView1()->TopNode()->text(0), QStringLiteral("Projekte"));
}

TEST_F(MainFormTest, DeleteKeyAsksAndRemovesTheProjectWithItsSubtree) {
    TMainFormTestPeer &F = MakeStarted();
    TCKProjectItem *A = F.Doc().Root->AddProject("A");
    TCKProjectItem *Sub = A->AddProject("Sub");
    Sub->AddTime(Span(8, 0, 0, 9, 0, 0));
    F.Doc().Root->AddTime(Span(10, 0, 0, 11, 0, 0));
    F.Doc().DefaultProject = Sub;
    F.Views().RebuildViews(true);
    ShowProject(A);

    F.TreeView1()->setFocus();
    Prompts.Answers = {TPromptAnswer::No};
    QTest::keyClick(F.TreeView1(), Qt::Key_Delete);
    EXPECT_EQ(Prompts.Questions.value(0),
              QStringLiteral("Soll das Projekt inkl. aller Einträge gelöscht werden?"));
    EXPECT_FALSE(Prompts.WithCancel.value(0));
    ASSERT_NE(F.TreeView1()->FindProjectNode(A), nullptr);

    Prompts.Answers = {TPromptAnswer::Yes};
    QTest::keyClick(F.TreeView1(), Qt::Key_Delete);
    EXPECT_EQ(F.TreeView1()->FindProjectNode(A), nullptr);
    EXPECT_EQ(F.TreeView1()->currentItem(), F.TreeView1()->TopNode());
    EXPECT_EQ(F.Views().ShownProject(), F.Doc().Root.get());
    EXPECT_EQ(F.Doc().DefaultProject, F.Doc().Root.get());
    EXPECT_EQ(ListCaptions(), QStringList{QString()});
    EXPECT_EQ(F.Find<QLabel>("StatusPanel0")->text(),
              QStringLiteral("Gesamt: 1 Std, 0 Min, 0 Sek"));
    EXPECT_TRUE(F.Doc().CheckInvariants());
}

TEST_F(MainFormTest, DeletingASubProjectWhileTheTopNodeIsShownDropsItsRow) {
    TMainFormTestPeer &F = MakeStarted();
    F.Doc().Root->AddProject("A");
    F.Views().RebuildViews(true);
    ASSERT_EQ(ListCaptions(), QStringList{"A"});
    // Its row goes with it, as from the row menu.
    SelectRows({0});
    Prompts.Answers = {TPromptAnswer::Yes};
    F.Action("acDelTime")->trigger();
    EXPECT_EQ(Prompts.Questions.value(0), ProjectDeleteQuestion);
    EXPECT_TRUE(ListCaptions().isEmpty());
}

TEST_F(MainFormTest, NewProjectStartsEditingUnderTheChosenNode) {
    TMainFormTestPeer &F = MakeStarted();
    TCKProjectItem *A = F.Doc().Root->AddProject("A");
    F.Views().RebuildViews(true);
    F.TreeView1()->setCurrentItem(F.TreeView1()->FindProjectNode(A));
    emit F.Menu("TBSubmenuItem4")->aboutToShow();
    F.Action("acNewProject")->trigger();
    ASSERT_NE(A->FirstChild, nullptr);
    EXPECT_EQ(A->FirstChild->AsProject()->Caption, "Neues Projekt");
    QTreeWidgetItem *Node = F.TreeView1()->FindProjectNode(A->FirstChild->AsProject());
    ASSERT_NE(Node, nullptr);
    EXPECT_EQ(Node->parent(), F.TreeView1()->FindProjectNode(A));
    EXPECT_TRUE(F.TreeView1()->IsEditing());
    EXPECT_TRUE(F.Doc().Modified);
    // The shown project lists its new sub-project at once.
    EXPECT_EQ(ListCaptions(), QStringList{"Neues Projekt"});
}

TEST_F(MainFormTest, DefaultProjectCommandIsCheckedAndDisabledForTheDefault) {
    TMainFormTestPeer &F = MakeStarted();
    TCKProjectItem *A = F.Doc().Root->AddProject("A");
    F.Views().RebuildViews(true);
    F.Doc().SetSaved(true);
    F.TreeView1()->setCurrentItem(F.TreeView1()->TopNode());
    F.Projects().MenuAboutToShow();
    EXPECT_TRUE(F.Action("acDefaultMeasure")->isChecked());
    EXPECT_FALSE(F.Action("acDefaultMeasure")->isEnabled());

    F.TreeView1()->setCurrentItem(F.TreeView1()->FindProjectNode(A));
    F.Projects().MenuAboutToShow();
    EXPECT_FALSE(F.Action("acDefaultMeasure")->isChecked());
    ASSERT_TRUE(F.Action("acDefaultMeasure")->isEnabled());
    F.Action("acDefaultMeasure")->trigger();
    EXPECT_EQ(F.Doc().DefaultProject, A);
    // The choice is stored in the file: it must not be lost at close.
    EXPECT_TRUE(F.Doc().Modified);
    F.Projects().MenuAboutToShow();
    EXPECT_TRUE(F.Action("acDefaultMeasure")->isChecked());
    EXPECT_FALSE(F.Action("acDefaultMeasure")->isEnabled());
}

TEST_F(MainFormTest, SelectionDrivesTheRowCommandsAndARefillClearsIt) {
    TMainFormTestPeer &F = MakeStarted();
    F.Doc().Root->AddProject("P");
    F.Doc().Root->AddTime(Span(8, 0, 0, 9, 0, 0, "e1"));
    F.Doc().Root->AddTime(Span(9, 0, 0, 10, 0, 0, "e2"));
    F.Views().RebuildViews(true);

    SelectRows({1});
    EXPECT_EQ(F.Entries().SelectedRow(), F.ListView1()->Row(1));
    EXPECT_TRUE(F.Action("acRenTime")->isEnabled());
    EXPECT_TRUE(F.Action("acCut")->isEnabled());

    SelectRows({0});
    EXPECT_FALSE(F.Action("acRenTime")->isEnabled()) << "a sub-project row is no entry";
    EXPECT_TRUE(F.Action("acCut")->isEnabled());

    SelectRows({1, 2});
    EXPECT_FALSE(F.Action("acRenTime")->isEnabled());
    EXPECT_TRUE(F.Action("acCut")->isEnabled());

    F.Views().FillEntryList();
    EXPECT_EQ(F.Entries().SelectedRow(), nullptr);
    EXPECT_FALSE(F.Action("acCut")->isEnabled());
    EXPECT_FALSE(F.Action("acRenTime")->isEnabled());
}

TEST_F(MainFormTest, DoubleClickOnASubProjectRowShowsThatProject) {
    TMainFormTestPeer &F = MakeStarted();
    TCKProjectItem *A = F.Doc().Root->AddProject("A");
    A->AddTime(Span(8, 0, 0, 9, 0, 0, "drin"));
    F.Views().RebuildViews(true);
    F.TreeView1()->setFocus();
    SelectRows({0});
    const QRect R = F.ListView1()->visualItemRect(F.ListView1()->Row(0));
    // A double click is a click followed by the double-click event.
    QTest::mouseClick(F.ListView1()->viewport(), Qt::LeftButton, {}, R.center());
    QTest::mouseDClick(F.ListView1()->viewport(), Qt::LeftButton, {}, R.center());
    EXPECT_EQ(F.Views().ShownProject(), A);
    EXPECT_EQ(F.TreeView1()->currentItem(), F.TreeView1()->FindProjectNode(A));
    EXPECT_EQ(ListCaptions(), QStringList{"drin"});
}

// --- Comfort: the default project in sight, readable rows ---------------------------------

TEST_F(MainFormTest, TheDefaultProjectsNodeIsBoldAndFollowsTheDefault) {
    TMainFormTestPeer &F = MakeStarted();
    TCKProjectItem *A = F.Doc().Root->AddProject("A");
    TCKProjectItem *B = A->AddProject("B");
    F.Doc().DefaultProject = B;
    F.Views().RebuildViews(true);
    auto BoldNodes = [&] {
        QStringList Names;
        for (QTreeWidgetItemIterator It(F.TreeView1()); *It; ++It)
            if (TProjectTree::IsMarkedDefault(*It)) {
                Names << (*It)->text(0);
                EXPECT_EQ((*It)->toolTip(0), QStringLiteral("Standard für Zeitmessungen"));
            } else {
                EXPECT_TRUE((*It)->toolTip(0).isEmpty());
            }
        return Names;
    };
    EXPECT_EQ(BoldNodes(), QStringList{"B"});

    // "Standard für Zeitmessungen" on A moves the mark.
    F.TreeView1()->setCurrentItem(F.TreeView1()->FindProjectNode(A));
    emit F.Menu("TBSubmenuItem4")->aboutToShow();
    F.Action("acDefaultMeasure")->trigger();
    EXPECT_EQ(F.Doc().DefaultProject, A);
    EXPECT_EQ(BoldNodes(), QStringList{"A"});

    // Deleting the default project hands the mark to the top node, where the time goes now.
    F.TreeView1()->setCurrentItem(F.TreeView1()->FindProjectNode(A));
    emit F.Menu("TBSubmenuItem4")->aboutToShow();
    Prompts.Answers = {TPromptAnswer::Yes};
    F.Action("acDelProject")->trigger();
    EXPECT_EQ(F.Doc().DefaultProject, F.Doc().Root.get());
    EXPECT_EQ(BoldNodes(), QStringList{"Projekte"});

    // A new document: the top node again.
    F.Doc().DefaultProject = F.Doc().Root->AddProject("C");
    F.Views().RebuildViews(true);
    EXPECT_EQ(BoldNodes(), QStringList{"C"});
    Prompts.Answers = {TPromptAnswer::No};
    F.Action("acNew")->trigger();
    EXPECT_EQ(BoldNodes(), QStringList{"Projekte"});
}

TEST_F(MainFormTest, RowsShowOneLineOfAComment) {
    const struct {
        const char *Name;
        QString Caption, Shown;
    } Rows[] = {
        {"one line", QStringLiteral("Besprechung"), QStringLiteral("Besprechung")},
        {"two lines", QStringLiteral("Besprechung\nmit Kunde"), QStringLiteral("Besprechung…")},
        {"Windows line end", QStringLiteral("Besprechung\r\nmit Kunde"),
         QStringLiteral("Besprechung…")},
        {"old Mac line end", QStringLiteral("a\rb"), QStringLiteral("a…")},
        {"empty first line", QStringLiteral("\nzweite"), QStringLiteral("…")},
        {"trailing line end", QStringLiteral("Ende\n"), QStringLiteral("Ende…")},
        {"empty", QString(), QString()},
    };
    for (const auto &Row : Rows)
        EXPECT_EQ(SingleLineCaption(Row.Caption), Row.Shown) << Row.Name;
}

TEST_F(MainFormTest, AMultiLineCommentKeepsRowsLowAndIsEditedWhole) {
    TMainFormTestPeer &F = MakeStarted();
    const std::string Comment = "Erste Zeile\r\nzweite Zeile\r\ndritte";
    F.Doc().Root->AddTime(Span(8, 0, 0, 9, 0, 0, Comment));
    F.Doc().Root->AddTime(Span(10, 0, 0, 11, 0, 0, "kurz"));
    F.Views().RebuildViews(true);
    QTreeWidgetItem *Multi = F.ListView1()->Row(0);
    QTreeWidgetItem *Single = F.ListView1()->Row(1);
    // The row holds the whole comment; only its drawing shows the first line.
    EXPECT_EQ(Multi->text(0), ToQ(Comment));
    EXPECT_EQ(F.ListView1()->visualItemRect(Multi).height(),
              F.ListView1()->visualItemRect(Single).height());
    EXPECT_EQ(F.ListView1()->CutOffText(Multi, 0), ToQ(Comment));
    EXPECT_TRUE(F.ListView1()->CutOffText(Single, 0).isEmpty());

    // In-place editing starts from every line and an unchanged text changes nothing.
    F.Doc().SetSaved(true);
    SelectRows({0});
    F.ListView1()->setFocus();
    QTest::keyClick(F.ListView1(), Qt::Key_F2);
    auto *Editor = F.ListView1()->findChild<QLineEdit *>();
    ASSERT_NE(Editor, nullptr);
    EXPECT_EQ(Editor->text(), ToQ(Comment));
    QTest::keyClick(Editor, Qt::Key_Return);
    EXPECT_EQ(F.Doc().Root->TimeItems()[0]->Comment, Comment);
    EXPECT_FALSE(F.Doc().Modified);
}

TEST_F(MainFormTest, TheCommentColumnTakesTheWidthTheWindowGains) {
    TMainFormTestPeer &F = MakeStarted();
    QHeaderView *Header = F.ListView1()->header();
    // A comment a little wider than its column.
    std::string Long;
    while (F.ListView1()->fontMetrics().horizontalAdvance(ToQ(Long)) < Header->sectionSize(0) + 50)
        Long += 'x';
    F.Doc().Root->AddTime(Span(8, 0, 0, 9, 0, 0, Long));
    F.Views().RebuildViews(true);
    QList<int> Before;
    for (int c = 0; c < 4; ++c)
        Before << Header->sectionSize(c);
    // At the stored width the long comment is cut off and offered as a tooltip.
    EXPECT_EQ(F.ListView1()->CutOffText(F.ListView1()->Row(0), 0), ToQ(Long));

    F.Window().resize(F.Window().width() + 300, F.Window().height());
    QApplication::processEvents();
    EXPECT_EQ(Header->sectionSize(0), Before[0] + 300);
    for (int c = 1; c < 4; ++c)
        EXPECT_EQ(Header->sectionSize(c), Before[c]) << c;
    EXPECT_TRUE(F.ListView1()->CutOffText(F.ListView1()->Row(0), 0).isEmpty());

    // What is stored at close is the column's own width, not the gain.
    EXPECT_EQ(F.ListView1()->StoredWidth(0), Before[0]);

    // Narrower again: the comments give the width back, the other columns keep theirs.
    F.Window().resize(F.Window().width() - 300, F.Window().height());
    QApplication::processEvents();
    EXPECT_EQ(Header->sectionSize(0), Before[0]);
    EXPECT_EQ(Header->sectionSize(1), Before[1]);
}

TEST_F(MainFormTest, StatusPanelsGrowWithTheirTexts) {
    TMainFormTestPeer &F = MakeStarted();
    EXPECT_EQ(F.Find<QLabel>("StatusPanel0")->width(), 200);
    // Ten thousand hours in one entry.
    tCKEditItem Long = Span(0, 0, 0, 0, 0, 0);
    Long.EndTime = AddSeconds(Long.StartTime, 10000 * 3600 + 59 * 60 + 59);
    F.Doc().AddEntry(F.Doc().Root.get(), Long);
    QApplication::processEvents();
    for (QLabel *Panel : {F.Find<QLabel>("StatusPanel0"), F.Find<QLabel>("StatusPanel1")}) {
        SCOPED_TRACE(Panel->text().toStdString());
        EXPECT_TRUE(Panel->text().contains(QStringLiteral("10000 Std, 59 Min, 59 Sek")));
        EXPECT_GE(Panel->width(), Panel->fontMetrics().horizontalAdvance(Panel->text()));
    }
}

TEST_F(MainFormTest, ADraggedProjectStaysSelectedAndShown) {
    TMainFormTestPeer &F = MakeStarted();
    TCKProjectItem *A = F.Doc().Root->AddProject("A");
    TCKProjectItem *B = F.Doc().Root->AddProject("B");
    A->AddTime(Span(8, 0, 0, 9, 0, 0, "in A"));
    F.Views().RebuildViews(true);
    ShowProject(A);
    F.Projects().Drop(F.TreeView1(), F.TreeView1()->FindProjectNode(B));
    ASSERT_EQ(A->Parent, B);
    EXPECT_EQ(F.TreeView1()->currentItem(), F.TreeView1()->FindProjectNode(A));
    EXPECT_TRUE(F.TreeView1()->FindProjectNode(A)->isSelected());
    EXPECT_TRUE(F.TreeView1()->FindProjectNode(B)->isExpanded());
    EXPECT_EQ(F.Views().ShownProject(), A);
    EXPECT_EQ(ListCaptions(), QStringList{"in A"});
}

// Every view of the projects sorts as a German reader expects: the tree, the list's
// sub-project rows and the order of exports and printed reports agree.
TEST_F(MainFormTest, TreeListAndReportsShareTheGermanCaptionOrder) {
    TMainFormTestPeer &F = MakeStarted();
    for (const char *Caption : {"Zulu", "\xC4rger", "arger", "Aerger", "\xD6l", "Oma"})
        F.Doc().Root->AddProject(Caption);
    F.Views().RebuildViews(true);
    const QStringList Want{
        "Aerger", "arger", QString::fromUtf8("\u00c4rger"), QString::fromUtf8("\u00d6l"),
        "Oma",    "Zulu"};
    QStringList Tree;
    for (int i = 0; i < F.TreeView1()->TopNode()->childCount(); ++i)
        Tree << F.TreeView1()->TopNode()->child(i)->text(0);
    EXPECT_EQ(Tree, Want);
    EXPECT_EQ(ListCaptions(), Want);
    QStringList Report;
    for (const TCKProjectItem *P : ProjectsInTreeOrder(F.Doc()))
        if (P->Parent)
            Report << ToQ(P->Caption);
    EXPECT_EQ(Report, Want);
}
