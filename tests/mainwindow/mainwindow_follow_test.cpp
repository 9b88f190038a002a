// The main window follows the document's commands, whoever gives them: an edit refreshes its
// row in place, a new entry is appended, a removal drops rows and nodes by address, and the
// search window keeps its results current by itself.

#include "mainwindow_testing.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

class FollowTest : public MainFormTest {
protected:
    // A started window showing "Firmen" (two entries and the sub-project "Meier"), an open
    // search window listing every entry.
    TMainFormTestPeer &MakeShowing() {
        TMainFormTestPeer &F = MakeStarted();
        Root = F.Doc().Root.get();
        Firmen = Root->AddProject("Firmen");
        Meier = Firmen->AddProject("Meier");
        First = Firmen->AddTime(Span(8, 0, 0, 9, 0, 0, "erster"));
        Second = Firmen->AddTime(Span(9, 0, 0, 10, 0, 0, "zweiter"));
        Deep = Meier->AddTime(Span(11, 0, 0, 12, 0, 0, "tief"));
        F.Views().RebuildViews(true);
        ShowProject(Firmen);
        F.Action("acSearch")->trigger();
        F.Window()
            .findChild<TSearchForm *>()
            ->findChild<QPushButton *>(QStringLiteral("StartButton"))
            ->click();
        return F;
    }
    TEntryList &Results() const { return Form->Window().findChild<TSearchForm *>()->ResultList(); }

    TCKProjectItem *Root = nullptr, *Firmen = nullptr, *Meier = nullptr;
    TCKTimeItem *First = nullptr, *Second = nullptr, *Deep = nullptr;
};

TEST_F(FollowTest, AnEditRefreshesItsRowsInPlaceAndANewEntryIsAppended) {
    TMainFormTestPeer &F = MakeShowing();
    ASSERT_EQ(ListCaptions(), (QStringList{"Meier", "erster", "zweiter"}));
    QTreeWidgetItem *Row = F.ListView1()->Row(1);
    QTreeWidgetItem *Other = F.ListView1()->Row(2);
    ASSERT_TRUE(F.Doc().SetEntryData(First, Span(9, 30, 0, 10, 30, 0, "spaeter")));
    // The same row objects: the row was refreshed and moved, the list not refilled.
    EXPECT_EQ(ListCaptions(), (QStringList{"Meier", "zweiter", "spaeter"}));
    EXPECT_EQ(F.ListView1()->Row(2), Row);
    EXPECT_EQ(F.ListView1()->Row(1), Other);
    // Both now overlap: the other row's mark follows without a refill.
    EXPECT_EQ(F.ListView1()->ImageOf(1), imgEntryOverlapping);
    const int Found = Results().IndexOfData(First);
    ASSERT_GE(Found, 0);
    EXPECT_EQ(Results().Row(Found)->text(0), QStringLiteral("spaeter"));

    ASSERT_NE(F.Doc().AddEntry(Firmen, Span(12, 0, 0, 13, 0, 0, "neu")), nullptr);
    EXPECT_EQ(ListCaptions(), (QStringList{"Meier", "zweiter", "spaeter", "neu"}));
    EXPECT_EQ(F.ListView1()->Row(2), Row);
    // An entry of another project changes the totals only.
    ASSERT_NE(F.Doc().AddEntry(Meier, Span(14, 0, 0, 15, 0, 0, "anderswo")), nullptr);
    EXPECT_EQ(F.ListView1()->Count(), 4);
    EXPECT_EQ(F.Find<QLabel>("StatusPanel0")->text(),
              QStringLiteral("Gesamt: 4 Std, 30 Min, 0 Sek"));
}

TEST_F(FollowTest, AnEntryTheFilterKeptOutAppearsWhenAnEditLetsItIn) {
    TMainFormTestPeer &F = MakeShowing();
    F.Action("acFilter")->trigger();
    F.Find<QLineEdit>("Edit1")->setText(QStringLiteral("erst"));
    ASSERT_EQ(ListCaptions(), (QStringList{"Meier", "erster"}));
    tCKEditItem Data = Second->GetData();
    Data.Comment = "erst danach";
    ASSERT_TRUE(F.Doc().SetEntryData(Second, Data));
    EXPECT_EQ(ListCaptions(), (QStringList{"Meier", "erster", "erst danach"}));
}

TEST_F(FollowTest, RemovingTheShownProjectShowsTheRootAndForgetsEverythingBelow) {
    TMainFormTestPeer &F = MakeShowing();
    ShowProject(Meier);
    F.ListView1()->selectAll();
    F.Action("acCut")->trigger();
    ASSERT_EQ(F.Entries().CutItems(), TCKList{Deep});
    ASSERT_TRUE(F.Doc().DeleteItems({Firmen}));
    EXPECT_EQ(F.Views().ShownProject(), Root);
    EXPECT_EQ(F.TreeView1()->currentItem(), F.TreeView1()->TopNode());
    EXPECT_EQ(F.TreeView1()->TopNode()->childCount(), 0);
    EXPECT_TRUE(F.Entries().CutItems().empty());
    EXPECT_FALSE(F.Action("acPaste")->isEnabled());
    EXPECT_EQ(F.ListView1()->Count(), 0);
    EXPECT_EQ(Results().Count(), 0);
}

TEST_F(FollowTest, ManyDeletedRowsGoAtOnceAndTheRestKeepTheirSelection) {
    TMainFormTestPeer &F = MakeShowing();
    TCKList Many;
    for (int i = 0; i < 300; ++i) {
        tCKEditItem E = Span(0, 0, 0, 0, 0, 1, "viele");
        E.StartTime = AddSeconds(E.StartTime, 86400 + i * 10);
        E.EndTime = AddSeconds(E.StartTime, 5);
        Many.push_back(F.Doc().AddEntry(Firmen, E));
    }
    ASSERT_EQ(F.ListView1()->Count(), 303);
    QTreeWidgetItem *Kept = F.ListView1()->Row(F.ListView1()->IndexOfData(Second));
    Kept->setSelected(true);
    ASSERT_TRUE(F.Doc().DeleteItems(Many));
    EXPECT_EQ(ListCaptions(), (QStringList{"Meier", "erster", "zweiter"}));
    EXPECT_TRUE(Kept->isSelected());
    EXPECT_EQ(Results().Count(), 3);
    EXPECT_EQ(F.ListView1()->IndexOfData(Many.front()), -1);
}

TEST_F(FollowTest, MovesAndRenamesFollowInTreeListAndSearchPaths) {
    TMainFormTestPeer &F = MakeShowing();
    ASSERT_TRUE(F.Doc().MoveItems({Meier}, Root));
    EXPECT_EQ(F.TreeView1()->FindProjectNode(Meier)->parent(), F.TreeView1()->TopNode());
    EXPECT_EQ(ListCaptions(), (QStringList{"erster", "zweiter"}));
    EXPECT_EQ(F.Views().ShownProject(), Firmen);
    const int Found = Results().IndexOfData(Deep);
    ASSERT_GE(Found, 0);
    EXPECT_EQ(Results().Row(Found)->text(4), QStringLiteral("Meier"));

    ASSERT_TRUE(F.Doc().RenameProject(Firmen, "Kunden"));
    EXPECT_EQ(F.TreeView1()->FindProjectNode(Firmen)->text(0), QStringLiteral("Kunden"));
    EXPECT_EQ(Results().Row(Results().IndexOfData(First))->text(4), QStringLiteral("Kunden"));
    ASSERT_TRUE(F.Doc().SetDefaultProject(Meier));
    EXPECT_TRUE(TProjectTree::IsMarkedDefault(F.TreeView1()->FindProjectNode(Meier)));
}

} // namespace
