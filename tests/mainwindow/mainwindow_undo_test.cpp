// Undo and Redo in the main window: named after their steps, enabled only when there is one,
// reached by their keys (but Strg+Z stays with an open in-place editor), and the views follow
// the document back and forth.

#include "mainwindow_testing.h"

#include <QLineEdit>

namespace {

class UndoWindowTest : public MainFormTest {
protected:
    // An active window showing "Firmen" with two entries and the sub-project "Meier".
    TMainFormTestPeer &MakeShowing() {
        TMainFormTestPeer &F = MakeStarted();
        QApplication::setActiveWindow(&F.Window());
        EXPECT_TRUE(QTest::qWaitForWindowActive(&F.Window()));
        Root = F.Doc().Root.get();
        Firmen = Root->AddProject("Firmen");
        Meier = Firmen->AddProject("Meier");
        First = Firmen->AddTime(Span(8, 0, 0, 9, 0, 0, "erster"));
        Second = Firmen->AddTime(Span(9, 0, 0, 10, 0, 0, "zweiter"));
        F.Doc().SetSaved(true);
        F.Views().RebuildViews(true);
        ShowProject(Firmen);
        return F;
    }
    QString Text(const char *Name) const { return WithoutAccessKey(Form->Action(Name)->text()); }
    bool Enabled(const char *Name) const { return Form->Action(Name)->isEnabled(); }

    TCKProjectItem *Root = nullptr, *Firmen = nullptr, *Meier = nullptr;
    TCKTimeItem *First = nullptr, *Second = nullptr;
};

TEST_F(UndoWindowTest, TheItemsNameTheirStepsAndAreEnabledOnlyWithOne) {
    TMainFormTestPeer &F = MakeShowing();
    EXPECT_EQ(Text("acUndo"), QStringLiteral("Rückgängig"));
    EXPECT_FALSE(Enabled("acUndo"));
    EXPECT_FALSE(Enabled("acRedo"));
    // Strg+Y as declared, Strg+Umschalt+Z besides.
    EXPECT_TRUE(
        F.Action("acRedo")->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));
    EXPECT_EQ(F.Action("acRedo")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Y));

    ASSERT_TRUE(F.Doc().DeleteItems({First}));
    EXPECT_EQ(Text("acUndo"), QStringLiteral("Rückgängig: Eintrag löschen"));
    EXPECT_EQ(F.Action("acUndo")->toolTip(), QStringLiteral("Rückgängig: Eintrag löschen"));
    EXPECT_TRUE(Enabled("acUndo"));
    EXPECT_FALSE(Enabled("acRedo"));
    ASSERT_TRUE(F.Doc().MeltEntries({Second, Firmen->AddTime(Span(9, 30, 0, 11, 0, 0))}));
    F.Action("acUndo")->trigger();
    EXPECT_EQ(Text("acUndo"), QStringLiteral("Rückgängig: Eintrag löschen"));
    EXPECT_EQ(Text("acRedo"), QStringLiteral("Wiederholen: Zeiten verschmelzen"));
    EXPECT_TRUE(Enabled("acRedo"));
    F.Action("acUndo")->trigger();
    EXPECT_EQ(Text("acUndo"), QStringLiteral("Rückgängig"));
    EXPECT_FALSE(Enabled("acUndo"));
    // Back at the saved state.
    EXPECT_FALSE(F.Doc().Modified);
    // New forgets the history.
    F.Action("acRedo")->trigger();
    F.Doc().SetSaved(true);
    F.Action("acNew")->trigger();
    EXPECT_FALSE(Enabled("acUndo"));
    EXPECT_FALSE(Enabled("acRedo"));
    EXPECT_EQ(Text("acRedo"), QStringLiteral("Wiederholen"));
}

TEST_F(UndoWindowTest, TreeListAndStatusBarFollowTheUndoOfADeleteAndItsRedo) {
    TMainFormTestPeer &F = MakeShowing();
    const QString Total = F.Find<QLabel>("StatusPanel0")->text();
    ASSERT_EQ(ListCaptions(), (QStringList{"Meier", "erster", "zweiter"}));
    ASSERT_TRUE(F.Doc().DeleteItems({Meier, First}));
    ASSERT_EQ(ListCaptions(), (QStringList{"zweiter"}));
    EXPECT_EQ(F.TreeView1()->FindProjectNode(Meier), nullptr);
    EXPECT_NE(F.Find<QLabel>("StatusPanel0")->text(), Total);

    QTest::keySequence(&F.Window(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(ListCaptions().size(), 3);
    EXPECT_TRUE(ListCaptions().contains(QStringLiteral("Meier")));
    EXPECT_TRUE(ListCaptions().contains(QStringLiteral("erster")));
    EXPECT_NE(F.TreeView1()->FindProjectNode(Meier), nullptr);
    EXPECT_EQ(F.Find<QLabel>("StatusPanel0")->text(), Total);
    EXPECT_EQ(F.Views().ShownProject(), Firmen);

    QTest::keySequence(&F.Window(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    EXPECT_EQ(ListCaptions(), (QStringList{"zweiter"}));
    EXPECT_EQ(F.TreeView1()->FindProjectNode(Meier), nullptr);
    QTest::keySequence(&F.Window(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    QTest::keySequence(&F.Window(), QKeySequence(Qt::CTRL | Qt::Key_Y));
    EXPECT_EQ(ListCaptions(), (QStringList{"zweiter"}));
    EXPECT_EQ(F.Find<QLabel>("StatusPanel0")->text(),
              QStringLiteral("Gesamt: 1 Std, 0 Min, 0 Sek"));
}

TEST_F(UndoWindowTest, AnOpenInPlaceEditorKeepsStrgZ) {
    TMainFormTestPeer &F = MakeShowing();
    ASSERT_TRUE(F.Doc().RenameProject(Meier, "Schulze"));
    QTreeWidgetItem *Node = F.TreeView1()->FindProjectNode(Meier);
    ASSERT_NE(Node, nullptr);
    F.TreeView1()->editItem(Node, 0);
    auto *Editor = F.TreeView1()->findChild<QLineEdit *>();
    ASSERT_NE(Editor, nullptr);
    Editor->setFocus();
    QTest::keyClicks(Editor, QStringLiteral("x"));
    const QString Typed = Editor->text();
    QTest::keySequence(Editor, QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_NE(Editor->text(), Typed);
    EXPECT_EQ(Meier->Caption, "Schulze");
    EXPECT_EQ(F.Doc().UndoHistory().UndoCount(), 1u);
}

} // namespace
