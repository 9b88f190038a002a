// The one project tree of every window: the document's order, and what each option allows.

#include "dialogs/projecttree.h"

#include "app/qtext.h"
#include "dialogs_testing.h"
#include "model/ckm.h"

#include <QLineEdit>
#include <QSignalSpy>

#include <algorithm>

namespace {

QStringList Captions(const QTreeWidgetItem *Parent) {
    QStringList Texts;
    for (int i = 0; i < Parent->childCount(); ++i)
        Texts << Parent->child(i)->text(0);
    return Texts;
}

class ProjectTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        Zulu = Doc.Root->AddProject("Zulu");
        Doc.Root->AddProject("\xC4rger");
        Doc.Root->AddProject("beta");
        Doc.Root->AddProject("Arger");
        Sub = Zulu->AddProject("b");
        Zulu->AddProject("A");
    }
    std::unique_ptr<TProjectTree> Filled(int Options) {
        auto Tree = std::make_unique<TProjectTree>(nullptr, Options);
        Tree->SetRootProject(Doc.Root.get());
        Doc.FillProjectTree(*Tree);
        Tree->expandAll();
        return Tree;
    }

    TChronarkMan Doc;
    TCKProjectItem *Zulu = nullptr, *Sub = nullptr;
};

} // namespace

TEST_F(ProjectTreeTest, ShowsTheDocumentsOrderAndSortsALevelAgainInTheSameOrder) {
    auto Tree = Filled(TProjectTree::EditCaptions);
    const QString Umlaut = ToQ("\xC4rger");
    EXPECT_EQ(Captions(Tree->TopNode()), (QStringList{"Arger", Umlaut, "beta", "Zulu"}));
    EXPECT_EQ(Captions(Tree->FindProjectNode(Zulu)), (QStringList{"A", "b"}));
    EXPECT_EQ(TProjectTree::ProjectOf(Tree->TopNode()), Doc.Root.get());

    // A renamed node takes its place among its siblings; the open level stays open.
    QTreeWidgetItem *Node = Tree->FindProjectNode(Zulu);
    Node->setText(0, QStringLiteral("\u00c4pfel"));
    Tree->SortChildrenOf(Tree->TopNode());
    EXPECT_EQ(Captions(Tree->TopNode()),
              (QStringList{QStringLiteral("\u00c4pfel"), "Arger", Umlaut, "beta"}));
    EXPECT_TRUE(Node->isExpanded());
    // A new node too.
    Tree->AddProjectNode(Tree->TopNode(), Doc.Root->AddProject("Birne"), QStringLiteral("Birne"));
    EXPECT_EQ(Captions(Tree->TopNode()).indexOf(QStringLiteral("Birne")), 4);
}

TEST_F(ProjectTreeTest, WithoutOptionsTheTreeOnlyPicksAProject) {
    auto Tree = Filled(0);
    for (QTreeWidgetItemIterator It(Tree.get()); *It; ++It) {
        EXPECT_FALSE((*It)->flags() & Qt::ItemIsEditable) << (*It)->text(0).toStdString();
        EXPECT_FALSE((*It)->data(0, Qt::CheckStateRole).isValid());
    }
    EXPECT_FALSE(Tree->acceptDrops());
    EXPECT_TRUE(Tree->Ticked().empty());
    Tree->MarkDefaultProject(Zulu);
    EXPECT_FALSE(TProjectTree::IsMarkedDefault(Tree->FindProjectNode(Zulu)));
    Tree->editItem(Tree->FindProjectNode(Zulu), 0);
    EXPECT_FALSE(Tree->IsEditing());
}

TEST_F(ProjectTreeTest, MarksAreTurnedOneNodeAtATimeAndNothingCloses) {
    auto Tree = Filled(TProjectTree::CheckMarks);
    Tree->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Tree.get()));
    const TCKProjectList All = Tree->Ticked();
    ASSERT_EQ(All.size(), 7u);
    EXPECT_EQ(All.front(), Doc.Root.get());
    QTreeWidgetItem *Node = Tree->FindProjectNode(Zulu);
    QTest::mouseClick(Tree->viewport(), Qt::LeftButton, {}, Tree->visualItemRect(Node).center());
    EXPECT_EQ(Node->checkState(0), Qt::Unchecked);
    // Its children keep their marks.
    const TCKProjectList Left = Tree->Ticked();
    EXPECT_EQ(Left.size(), 6u);
    EXPECT_EQ(std::count(Left.begin(), Left.end(), Sub), 1);
    Tree->setCurrentItem(Node);
    QTest::keyClick(Tree.get(), Qt::Key_Space);
    EXPECT_EQ(Tree->Ticked(), All);
    Tree->collapseItem(Node);
    EXPECT_TRUE(Node->isExpanded());
}

TEST_F(ProjectTreeTest, TheMainWindowsTreeRenamesDragsAndMarksTheDefault) {
    auto Tree =
        Filled(TProjectTree::EditCaptions | TProjectTree::DragAndDrop | TProjectTree::DefaultMark);
    QTreeWidgetItem *Top = Tree->TopNode();
    EXPECT_FALSE(Top->flags() & (Qt::ItemIsEditable | Qt::ItemIsDragEnabled));
    QTreeWidgetItem *Node = Tree->FindProjectNode(Sub);
    EXPECT_TRUE(Node->flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(Node->flags() & Qt::ItemIsDragEnabled);
    EXPECT_TRUE(Tree->acceptDrops());
    Tree->MarkDefaultProject(Sub);
    EXPECT_TRUE(TProjectTree::IsMarkedDefault(Node));
    EXPECT_EQ(Node->toolTip(0), TProjectTree::DefaultProjectToolTip);
    Tree->MarkDefaultProject(Doc.Root.get());
    EXPECT_FALSE(TProjectTree::IsMarkedDefault(Node));
    EXPECT_TRUE(TProjectTree::IsMarkedDefault(Top));
}

TEST_F(ProjectTreeTest, ARefillDropsAnOpenEditorWithoutHandingItsTextOver) {
    auto Tree = Filled(TProjectTree::EditCaptions);
    Tree->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Tree.get()));
    QSignalSpy Edited(Tree.get(), &TProjectTree::NodeEdited);
    QTreeWidgetItem *Node = Tree->FindProjectNode(Sub);
    Tree->editItem(Node, 0);
    auto *Editor = qobject_cast<QLineEdit *>(Tree->itemWidget(Node, 0));
    ASSERT_NE(Editor, nullptr);
    Editor->setText(QStringLiteral("neu"));
    Doc.FillProjectTree(*Tree);
    QTest::qWait(10);
    EXPECT_FALSE(Tree->IsEditing());
    EXPECT_EQ(Edited.count(), 0);
    EXPECT_EQ(Tree->FindProjectNode(Sub)->text(0), QStringLiteral("b"));
}
