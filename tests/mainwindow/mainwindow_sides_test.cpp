// The entry list's and the project tree's sides of the main window without the window: the
// filter panel over a document, the commands and the views over a bare list and tree, and the
// status line's title.

#include "mainwindow/documentviews.h"
#include "mainwindow/entrycommands.h"
#include "mainwindow/filterpanel.h"
#include "mainwindow/projectcommands.h"
#include "mainwindow/statusline.h"
#include "mainwindow_testing.h"

#include <QMainWindow>
#include <QSignalSpy>

namespace {

// A list and a tree over one document, with the commands and the views between them; the
// actions are made as the commands ask for them.
struct TSides {
    TChronarkMan Doc;
    TScriptedPrompts Prompts;
    TScriptedEntryDialogs Dialogs;
    TImageList Images;
    QWidget Host;
    QMenu RowMenu, TreeMenu;
    QHash<QString, QAction *> Made;
    TProjectTree Tree{&Images, TProjectTree::EditCaptions | TProjectTree::DragAndDrop, &Host};
    TEntryList List{{QStringLiteral("Bemerkung"), QStringLiteral("Startzeit")}, &Images, &Host};
    TActionLookup Actions = [this](const char *Name) {
        QAction *&A = Made[QLatin1String(Name)];
        if (!A)
            A = new QAction(QLatin1String(Name), &Host);
        return A;
    };
    TProjectCommands Projects{Doc,      Prompts, Tree,
                              TreeMenu, Actions, {[this] { return Views.ShownProject(); }, {}}};
    TEntryCommands Entries{
        Doc,     Prompts,
        Dialogs, List,
        Tree,    RowMenu,
        Actions, {[this] { return Views.ShownProject(); }, [](const TCKTimeItem *) {}}};
    TDocumentViews Views{Doc, Tree, List, Entries, Projects};

    TSides() {
        Tree.SetRootProject(Doc.Root.get());
        Views.FollowTree();
    }
    void Show(TCKProjectItem *Project) { Tree.setCurrentItem(Tree.FindProjectNode(Project)); }
};

} // namespace

TEST(FilterPanelTest, OpeningResetsAndFiltersAndAnInvertedBoundIsPutBack) {
    TChronarkMan Doc;
    TScriptedPrompts Prompts;
    QWidget Host;
    TFilterPanel Panel(Doc, Prompts, &Host);
    QSignalSpy Changed(&Panel, &TFilterPanel::Changed);
    auto *Words = Panel.findChild<QLineEdit *>(QStringLiteral("Edit1"));
    Words->setText(QStringLiteral("vorher"));
    Changed.clear();

    Panel.SetOpen(true);
    EXPECT_TRUE(Panel.IsOpen());
    EXPECT_TRUE(Doc.FilterActive);
    EXPECT_TRUE(Words->text().isEmpty());
    EXPECT_EQ(Changed.count(), 1) << "one refill for the whole reset";

    Words->setText(QStringLiteral(" Kunde  intern "));
    EXPECT_EQ(Doc.Filter.Keywords, (TStringArray{"Kunde", "intern"}));

    Panel.findChild<QCheckBox *>(QStringLiteral("CheckBox1"))->setChecked(true);
    Panel.findChild<QCheckBox *>(QStringLiteral("CheckBox2"))->setChecked(true);
    auto *From = Panel.findChild<QTimeEdit *>(QStringLiteral("sdtime"));
    Panel.findChild<QTimeEdit *>(QStringLiteral("edtime"))->setTime(QTime(12, 0, 0));
    From->setTime(QTime(13, 0, 0));
    ASSERT_EQ(Prompts.Messages.size(), 1);
    EXPECT_EQ(Prompts.Messages[0],
              QStringLiteral("Die Startzeit ist größer oder gleich der Endzeit"));
    // The picker shows the bound the document kept, below the end.
    EXPECT_LT(From->time(), QTime(12, 0, 0));
    EXPECT_LT(Doc.Filter.FromDate, Doc.Filter.ToDate);

    Changed.clear();
    Panel.SetOpen(false);
    EXPECT_FALSE(Panel.IsOpen());
    EXPECT_FALSE(Doc.FilterActive);
    EXPECT_EQ(Changed.count(), 1);
}

TEST(SidesTest, RemovedProjectsLeaveTheCutListAndTheTreeMenu) {
    TSides S;
    TCKProjectItem *A = S.Doc.Root->AddProject("A");
    TCKProjectItem *Sub = A->AddProject("Sub");
    tCKEditItem Span;
    Span.StartTime = EncodeDateTime(2024, 3, 4, 9, 0, 0);
    Span.EndTime = EncodeDateTime(2024, 3, 4, 10, 0, 0);
    TCKTimeItem *Entry = A->AddTime(Span);
    S.Views.RebuildViews(true);
    S.Show(A);
    ASSERT_EQ(S.List.Count(), 2);
    S.List.selectAll();
    S.Entries.Cut();
    ASSERT_EQ(S.Entries.CutItems().size(), 2u);
    EXPECT_TRUE(S.Actions("acPaste")->isEnabled());

    // The tree menu opened on the sub-project; the project goes from elsewhere.
    S.Show(Sub);
    S.Projects.MenuAboutToShow();
    ASSERT_NE(S.Projects.MenuNode(), nullptr);
    S.Doc.DeleteItems({Sub});
    EXPECT_EQ(S.Projects.MenuNode(), nullptr) << "its node is freed";
    EXPECT_EQ(S.Entries.CutItems(), TCKList{Entry});
    EXPECT_EQ(S.Views.ShownProject(), S.Doc.Root.get()) << "the shown project went";

    S.Doc.DeleteItems({Entry});
    EXPECT_TRUE(S.Entries.CutItems().empty());
    EXPECT_FALSE(S.Actions("acPaste")->isEnabled());
}

TEST(SidesTest, DropsAreRefusedIntoTheirOwnSubtreeAndOntoTheShownProject) {
    TSides S;
    TCKProjectItem *A = S.Doc.Root->AddProject("A");
    TCKProjectItem *Sub = A->AddProject("Sub");
    TCKProjectItem *B = S.Doc.Root->AddProject("B");
    S.Views.RebuildViews(true);
    S.Show(A);
    QTreeWidgetItem *SubNode = S.Tree.FindProjectNode(Sub);
    EXPECT_FALSE(S.Projects.CanDrop(&S.Tree, SubNode)) << "A into its own sub-project";
    EXPECT_FALSE(S.Projects.CanDrop(&S.Tree, S.Tree.FindProjectNode(A))) << "the shown one";
    EXPECT_TRUE(S.Projects.CanDrop(&S.Tree, S.Tree.FindProjectNode(B)));

    // A row of the sub-project cannot go into the sub-project itself.
    S.List.selectAll();
    EXPECT_FALSE(S.Projects.CanDrop(&S.List, SubNode));
    S.Projects.Drop(&S.List, S.Tree.FindProjectNode(B));
    EXPECT_EQ(Sub->Parent, B);
    EXPECT_TRUE(S.Doc.CheckInvariants());
}

TEST(StatusLineTest, TitleNamesTheFileWithoutItsFolderAndTheReadOnlyState) {
    QMainWindow Window;
    TStatusLine Status(Window, QStringLiteral("Chronark"));
    Status.ShowTitle(QStringLiteral("/daten/Kunde.ckx"), true);
    EXPECT_EQ(Window.windowTitle(), QStringLiteral("Kunde.ckx - Chronark [schreibgeschützt]"));
    Status.ShowTitle(QString(), false);
    EXPECT_EQ(Window.windowTitle(), QStringLiteral("Chronark"));
}
