// The window after a document was opened, replaced or emptied: the user goes on clicking and
// typing, and every node, row and command acts on the document now open.

#include "base/dates.h"
#include "mainwindow_testing.h"

#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

namespace {

QTreeWidgetItem *NodeNamed(QTreeWidget *Tree, const QString &Caption) {
    const QList<QTreeWidgetItem *> Found = Tree->findItems(Caption, Qt::MatchRecursive);
    return Found.size() == 1 ? Found.front() : nullptr;
}

void ClickNode(QTreeWidget *Tree, QTreeWidgetItem *Node) {
    ASSERT_NE(Node, nullptr);
    Tree->scrollToItem(Node);
    QTest::mouseClick(Tree->viewport(), Qt::LeftButton, {}, Tree->visualItemRect(Node).center());
}

class MainFormLoadTest : public MainFormTest {
protected:
    // The sample document opened through "Öffnen", as a user opens it.
    TMainFormTestPeer &OpenSample() {
        const QString Copy = FilePath(QStringLiteral("Beispiel.ckx"));
        EXPECT_TRUE(
            QFile::copy(QStringLiteral(CHRONARK_SOURCE_DIR "/examples/Beispiel.ckx"), Copy));
        TMainFormTestPeer &F = MakeStarted();
        Dialogs.Answers.push_back(Copy);
        F.Action("acOpen")->trigger();
        EXPECT_EQ(F.Session().FileName(), Copy);
        return F;
    }

    // "Projekt > Neu" as the menu runs it: opening the menu names the selected node.
    void NewProjectFromMenu(TMainFormTestPeer &F) {
        emit F.Menu("TBSubmenuItem4")->aboutToShow();
        F.Action("acNewProject")->trigger();
        // The new node's editor closes unchanged.
        auto *Editor = F.TreeView1()->findChild<QLineEdit *>();
        ASSERT_NE(Editor, nullptr);
        QTest::keyClick(Editor, Qt::Key_Escape);
    }

    // The top node shows the document's root, and the list the root's children.
    void ExpectRootShown(TMainFormTestPeer &F) {
        EXPECT_EQ(F.TreeView1()->currentItem(), F.TreeView1()->TopNode());
        EXPECT_EQ(F.Views().ShownProject(), F.Doc().Root.get());
        EXPECT_EQ(TProjectTree::ProjectOf(F.TreeView1()->TopNode()), F.Doc().Root.get());
        int Children = 0;
        for (TCKItem *C = F.Doc().Root->FirstChild; C; C = C->Next)
            ++Children;
        EXPECT_EQ(F.ListView1()->Count(), Children);
    }
};

} // namespace

TEST_F(MainFormLoadTest, ClickingAProjectThenTheTopNodeShowsTheOpenedRoot) {
    TMainFormTestPeer &F = OpenSample();
    ClickNode(F.TreeView1(), NodeNamed(F.TreeView1(), QStringLiteral("Fortbildung")));
    EXPECT_EQ(F.Views().ShownProject()->Caption, "Fortbildung");
    ClickNode(F.TreeView1(), F.TreeView1()->TopNode());
    ExpectRootShown(F);
}

TEST_F(MainFormLoadTest, ANewProjectOnTheTopNodeJoinsTheOpenedDocument) {
    TMainFormTestPeer &F = OpenSample();
    ClickNode(F.TreeView1(), F.TreeView1()->TopNode());
    NewProjectFromMenu(F);
    TCKItem *Last = F.Doc().Root->LastChild;
    ASSERT_TRUE(Last && Last->IsProject());
    EXPECT_EQ(Last->AsProject()->Caption, "Neues Projekt");
    EXPECT_NE(F.TreeView1()->FindProjectNode(Last->AsProject()), nullptr);
    std::string Why;
    EXPECT_TRUE(F.Doc().CheckInvariants(&Why)) << Why;
}

TEST_F(MainFormLoadTest, NewAfterALoadLeavesAWorkingEmptyDocument) {
    TMainFormTestPeer &F = OpenSample();
    ClickNode(F.TreeView1(), NodeNamed(F.TreeView1(), QStringLiteral("Fortbildung")));
    F.Action("acNew")->trigger();
    ExpectRootShown(F);
    NewProjectFromMenu(F);
    EXPECT_EQ(F.TreeView1()->TopNode()->childCount(), 1);
    EXPECT_EQ(F.ListView1()->Count(), 1);
    // The root is the new document's default project, and is marked as such.
    EXPECT_TRUE(TProjectTree::IsMarkedDefault(F.TreeView1()->TopNode()));
}

TEST_F(MainFormLoadTest, WalkingTheTreeByKeyboardAfterALoadShowsEachProject) {
    TMainFormTestPeer &F = OpenSample();
    F.TreeView1()->setFocus();
    for (Qt::Key Key : {Qt::Key_Down, Qt::Key_Home, Qt::Key_Down, Qt::Key_Up}) {
        QTest::keyClick(F.TreeView1(), Key);
        EXPECT_EQ(F.Views().ShownProject(), TProjectTree::ProjectOf(F.TreeView1()->currentItem()));
    }
    ExpectRootShown(F);
}

TEST_F(MainFormLoadTest, SplitHalvesMergeBackWithTheirBooleanFieldIntact) {
    TMainFormTestPeer &F = OpenSample();
    ClickNode(F.TreeView1(), NodeNamed(F.TreeView1(), QStringLiteral("Webseite")));
    SelectRows({0});
    TCKTimeItem *Entry = F.ListView1()->RowData(0)->AsTime();
    ASSERT_NE(Entry, nullptr);
    const tCKEditItem Before = Entry->GetData();
    TScriptedEntryDialogs::TAnswer Split;
    Split.Ok = true;
    Split.SplitAt = AddSeconds(Before.StartTime, 3600);
    EntryDialogs.Answers.push_back(Split);
    F.Action("acSplit")->trigger();
    ASSERT_EQ(F.ListView1()->Count(), 9);

    SelectRows({0, 1});
    F.Action("acMelt")->trigger();
    EXPECT_EQ(F.ListView1()->Count(), 8);
    EXPECT_TRUE(Prompts.Errors.isEmpty()) << Prompts.Errors.join(QLatin1Char('\n')).toStdString();
    const tCKEditItem After = Entry->GetData();
    EXPECT_EQ(After.StartTime, Before.StartTime);
    EXPECT_EQ(After.EndTime, Before.EndTime);
    // The text field joins as it always did; the Boolean stays a Boolean.
    EXPECT_EQ(After.Fields, (tFieldList{{"Kunde", "B\xE4"
                                                  "ckerei Schulz & B\xE4"
                                                  "ckerei Schulz"},
                                        {"abrechenbar", "true"}}));
}

TEST_F(MainFormLoadTest, DeletingASubProjectRowAsksAboutTheProjectAndItsEntries) {
    TMainFormTestPeer &F = OpenSample();
    ClickNode(F.TreeView1(), NodeNamed(F.TreeView1(), QString::fromUtf8("B\u00e4ckerei Schulz")));
    ASSERT_GT(F.ListView1()->Count(), 0);
    ASSERT_TRUE(F.ListView1()->RowData(0)->IsProject());
    SelectRows({0});
    Prompts.Answers.push_back(TPromptAnswer::No);
    F.ListView1()->setFocus();
    QTest::keyClick(F.ListView1(), Qt::Key_Delete);
    EXPECT_EQ(Prompts.Questions, QStringList{QString::fromUtf8(
                                     "Soll das Projekt inkl. aller Eintr\u00e4ge gel\u00f6scht "
                                     "werden?")});
    EXPECT_NE(NodeNamed(F.TreeView1(), QStringLiteral("Webseite")), nullptr);
    EXPECT_FALSE(F.Doc().Modified);
}

TEST_F(MainFormLoadTest, AnEditorLeftOpenWhenAnotherDocumentOpensIsDiscarded) {
    TMainFormTestPeer &F = OpenSample();
    const QString First = F.Session().FileName();
    const QString Second = FilePath(QStringLiteral("Zweites.ckx"));
    ASSERT_TRUE(QFile::copy(First, Second));
    // A row's editor, then a node's, left open while the other file is opened.
    for (QTreeWidget *View :
         {static_cast<QTreeWidget *>(F.ListView1()), static_cast<QTreeWidget *>(F.TreeView1())}) {
        QTreeWidgetItem *Item =
            View == F.ListView1() ? F.ListView1()->Row(0) : F.TreeView1()->TopNode()->child(0);
        View->setCurrentItem(Item);
        View->editItem(Item, 0);
        auto *Editor = qobject_cast<QLineEdit *>(View->itemWidget(Item, 0));
        ASSERT_NE(Editor, nullptr);
        Editor->setText(QStringLiteral("Getippt"));
        const QString Next = F.Session().FileName() == First ? Second : First;
        Dialogs.Answers.push_back(Next);
        F.Action("acOpen")->trigger();
        ASSERT_EQ(F.Session().FileName(), Next);
        EXPECT_FALSE(F.Doc().Modified);
        EXPECT_EQ(NodeNamed(F.TreeView1(), QStringLiteral("Getippt")), nullptr);
    }
}
