// Typing and moving in the main window's tree and list: in-place renames and refused typed
// texts, dragging nodes and rows onto projects, cut and paste, the default project through
// moves.

#include "base/cp1252.h"
#include "mainwindow_testing.h"
#include "ui/captiondelegate.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidgetItemIterator>

namespace {

// Opens the in-place editor on Row of View, types Text and presses Enter.
void EditInPlace(QTreeWidget *View, QTreeWidgetItem *Row, const QString &Text) {
    View->setFocus();
    View->editItem(Row, 0);
    auto *Editor = View->findChild<QLineEdit *>();
    ASSERT_NE(Editor, nullptr);
    QPointer<QLineEdit> Open(Editor);
    Editor->setText(Text);
    QTest::keyClick(Editor, Qt::Key_Return);
    // The view commits the text and closes the editor once the key has been handled. (QtTest's
    // own QTRY macros would fail without a word under GoogleTest.)
    EXPECT_TRUE(QTest::qWaitFor([&] { return Open.isNull() || !Open->isVisible(); }));
}

struct RenameCase {
    const char *Name;
    bool InTree;
    const char *Text;
    bool Refused;
};

} // namespace

class MainFormRenameTest : public MainFormTest, public testing::WithParamInterface<RenameCase> {};

TEST_P(MainFormRenameTest, ProjectCaptionsWithQuotesOrAngleBracketsAreRefused) {
    const RenameCase &Case = GetParam();
    TMainFormTestPeer &F = MakeStarted();
    TCKProjectItem *P = F.Doc().Root->AddProject("Alt");
    F.Views().RebuildViews(true);
    F.Doc().SetSaved(true);
    if (Case.InTree)
        EditInPlace(F.TreeView1(), F.TreeView1()->FindProjectNode(P), QString::fromUtf8(Case.Text));
    else
        EditInPlace(F.ListView1(), F.ListView1()->Row(0), QString::fromUtf8(Case.Text));
    const std::string Expected = Case.Refused ? "Alt" : Utf8ToCp1252(Case.Text);
    EXPECT_EQ(P->Caption, Expected);
    EXPECT_EQ(F.TreeView1()->FindProjectNode(P)->text(0), ToQ(Expected));
    EXPECT_EQ(F.ListView1()->Row(0)->text(0), ToQ(Expected));
    EXPECT_EQ(F.Doc().Modified, !Case.Refused);
    if (Case.Refused)
        EXPECT_EQ(Prompts.Messages,
                  QStringList{QStringLiteral("Projektbeschreibung enthält ungültiges Zeichen!")});
    else
        EXPECT_TRUE(Prompts.Messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(TreeAndList, MainFormRenameTest,
                         testing::Values(RenameCase{"TreeLessThan", true, "a<b", true},
                                         RenameCase{"TreeGreaterThan", true, "a>b", true},
                                         RenameCase{"TreeQuote", true, "a\"b", true},
                                         RenameCase{"TreeUmlaut", true, "Büro", false},
                                         RenameCase{"ListLessThan", false, "<x", true},
                                         RenameCase{"ListQuote", false, "\"", true},
                                         RenameCase{"ListPlain", false, "Neu & gut", false}),
                         [](const testing::TestParamInfo<RenameCase> &I) {
                             return std::string(I.param.Name);
                         });

TEST_F(MainFormTest, EntryCommentIsRenamedInPlaceWithF2) {
    TMainFormTestPeer &F = MakeStarted();
    TCKTimeItem *E = F.Doc().Root->AddTime(Span(8, 0, 0, 9, 0, 0, "alt"));
    F.Views().RebuildViews(true);
    F.Doc().SetSaved(true);
    SelectRows({0});
    EXPECT_TRUE(F.Action("acRenTime")->isEnabled());
    F.ListView1()->setFocus();
    QTest::keyClick(F.ListView1(), Qt::Key_F2);
    auto *Editor = F.ListView1()->findChild<QLineEdit *>();
    ASSERT_NE(Editor, nullptr);
    Editor->selectAll();
    QTest::keyClicks(Editor, QStringLiteral("Besprechung <intern>"));
    QTest::keyClick(Editor, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !F.ListView1()->IsEditing(); }));
    EXPECT_EQ(E->Comment, "Besprechung <intern>");
    EXPECT_TRUE(F.Doc().Modified);
}

namespace {

struct DropCase {
    const char *Name;
    const char *Source;  // "list", "tree", "other"
    const char *Dragged; // node dragged ("A", "top"); list: "A" drags A's row from the top
                         // node's list, "" drags nothing from A's list
    const char *Target;  // "A", "B", "A/Sub", "top", "none"
    bool Accepted;
};

} // namespace

class MainFormDropTest : public MainFormTest, public testing::WithParamInterface<DropCase> {};

TEST_P(MainFormDropTest, AcceptanceFollowsSourceAndTarget) {
    const DropCase &Case = GetParam();
    TMainFormTestPeer &F = MakeStarted();
    TCKProjectItem *A = F.Doc().Root->AddProject("A");
    TCKProjectItem *Sub = A->AddProject("Sub");
    TCKProjectItem *B = F.Doc().Root->AddProject("B");
    F.Views().RebuildViews(true);
    auto Node = [&](const std::string &N) -> QTreeWidgetItem * {
        if (N == "A")
            return F.TreeView1()->FindProjectNode(A);
        if (N == "B")
            return F.TreeView1()->FindProjectNode(B);
        if (N == "A/Sub")
            return F.TreeView1()->FindProjectNode(Sub);
        if (N == "top")
            return F.TreeView1()->TopNode();
        return nullptr;
    };
    QObject *Source = F.ListView1();
    QLabel Other;
    if (std::string(Case.Source) == "tree") {
        Source = F.TreeView1();
        F.TreeView1()->setCurrentItem(Node(Case.Dragged));
    } else if (std::string(Case.Source) == "other") {
        Source = &Other;
    } else if (std::string(Case.Dragged) == "A") {
        // The top node is shown: A's sub-project row is dragged.
        SelectRows({0});
    } else {
        ShowProject(A);
    }
    EXPECT_EQ(F.Projects().CanDrop(Source, Node(Case.Target)), Case.Accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Tree, MainFormDropTest,
    testing::Values(DropCase{"ListOnOtherProject", "list", "", "B", true},
                    DropCase{"ListOnTopNode", "list", "", "top", true},
                    DropCase{"ListOnShownProject", "list", "", "A", false},
                    DropCase{"ListOnNoNode", "list", "", "none", false},
                    DropCase{"OtherWidget", "other", "", "B", false},
                    DropCase{"TreeNodeOnOther", "tree", "A", "B", true},
                    DropCase{"TreeNodeOnItself", "tree", "A", "A", false},
                    DropCase{"TreeNodeIntoOwnSubtree", "tree", "A", "A/Sub", false},
                    DropCase{"TreeTopNode", "tree", "top", "B", false},
                    DropCase{"ListRowOnOther", "list", "A", "B", true},
                    DropCase{"ListRowOnItsOwnNode", "list", "A", "A", false},
                    DropCase{"ListRowIntoItsSubtree", "list", "A", "A/Sub", false}),
    [](const testing::TestParamInfo<DropCase> &I) { return std::string(I.param.Name); });

TEST_F(MainFormTest, DroppingListRowsMovesThemAndTheirNodes) {
    TMainFormTestPeer &F = MakeStarted();
    TCKProjectItem *A = F.Doc().Root->AddProject("A");
    TCKProjectItem *B = F.Doc().Root->AddProject("B");
    TCKProjectItem *Sub = A->AddProject("Sub");
    TCKTimeItem *E1 = A->AddTime(Span(8, 0, 0, 9, 0, 0, "e1"));
    A->AddTime(Span(9, 0, 0, 10, 0, 0, "e2"));
    F.Views().RebuildViews(true);
    ShowProject(A);
    F.Doc().SetSaved(true);
    ASSERT_EQ(ListCaptions(), (QStringList{"Sub", "e1", "e2"}));
    SelectRows({0, 1});
    F.Projects().Drop(F.ListView1(), F.TreeView1()->FindProjectNode(B));
    EXPECT_EQ(ListCaptions(), QStringList{"e2"});
    EXPECT_EQ(E1->Parent, B);
    EXPECT_EQ(Sub->Parent, B);
    EXPECT_EQ(F.TreeView1()->FindProjectNode(Sub)->parent(), F.TreeView1()->FindProjectNode(B));
    EXPECT_TRUE(F.Doc().Modified);
    EXPECT_TRUE(F.Doc().CheckInvariants());
}

TEST_F(MainFormTest, DraggingANodeMovesItsProjectAndSubtree) {
    TMainFormTestPeer &F = MakeStarted();
    TCKProjectItem *A = F.Doc().Root->AddProject("A");
    TCKProjectItem *Sub = A->AddProject("Sub");
    TCKProjectItem *B = F.Doc().Root->AddProject("B");
    F.Views().RebuildViews(true);
    F.TreeView1()->setCurrentItem(F.TreeView1()->FindProjectNode(A));
    F.Projects().Drop(F.TreeView1(), F.TreeView1()->FindProjectNode(B));
    EXPECT_EQ(A->Parent, B);
    EXPECT_EQ(Sub->Parent, A);
    EXPECT_EQ(F.TreeView1()->FindProjectNode(A)->parent(), F.TreeView1()->FindProjectNode(B));
    EXPECT_EQ(F.TreeView1()->FindProjectNode(Sub)->parent(), F.TreeView1()->FindProjectNode(A));
    // Into its own subtree: refused, nothing moves.
    F.Projects().Drop(F.TreeView1(), F.TreeView1()->FindProjectNode(Sub));
    EXPECT_EQ(A->Parent, B);
    EXPECT_TRUE(F.Doc().CheckInvariants());
}

TEST_F(MainFormTest, CutAndPasteMovesItemsIntoTheShownProject) {
    TMainFormTestPeer &F = MakeStarted();
    TCKProjectItem *A = F.Doc().Root->AddProject("A");
    TCKProjectItem *B = F.Doc().Root->AddProject("B");
    TCKTimeItem *E = A->AddTime(Span(8, 0, 0, 9, 0, 0, "e"));
    F.Views().RebuildViews(true);
    ShowProject(A);
    SelectRows({0});
    F.Action("acCut")->trigger();
    EXPECT_TRUE(F.Action("acPaste")->isEnabled());
    EXPECT_EQ(E->Parent, A) << "cutting changes nothing yet";
    EXPECT_EQ(ListCaptions(), QStringList{"e"});
    ShowProject(B);
    F.Action("acPaste")->trigger();
    EXPECT_EQ(E->Parent, B);
    EXPECT_EQ(ListCaptions(), QStringList{"e"});
    EXPECT_FALSE(F.Action("acPaste")->isEnabled());
    EXPECT_TRUE(F.Entries().CutItems().empty());
}

TEST_F(MainFormTest, PastingIntoTheSameProjectMarksTheDocumentModified) {
    TMainFormTestPeer &F = MakeStarted();
    F.Doc().Root->AddTime(Span(8, 0, 0, 9, 0, 0, "a"));
    F.Doc().Root->AddTime(Span(7, 0, 0, 7, 30, 0, "b"));
    F.Views().RebuildViews(true);
    F.Doc().SetSaved(true);
    SelectRows({1});
    F.Action("acCut")->trigger();
    F.Action("acPaste")->trigger();
    EXPECT_EQ(ListCaptions(), (QStringList{"b", "a"}));
    EXPECT_TRUE(F.Doc().Modified);
}

TEST_F(MainFormTest, PastingNeverTouchesItemsDeletedAfterTheCut) {
    TMainFormTestPeer &F = MakeStarted();
    TCKProjectItem *A = F.Doc().Root->AddProject("A");
    TCKProjectItem *B = F.Doc().Root->AddProject("B");
    A->AddTime(Span(8, 0, 0, 9, 0, 0, "weg"));
    TCKTimeItem *Keep = F.Doc().Root->AddTime(Span(10, 0, 0, 11, 0, 0, "bleibt"));
    F.Views().RebuildViews(true);
    SelectRows({0, 1, 2});
    F.Action("acCut")->trigger();
    ASSERT_EQ(F.Entries().CutItems().size(), 3u);
    // Deleting A takes its entry with it; the cut list forgets both.
    F.TreeView1()->setCurrentItem(F.TreeView1()->FindProjectNode(A));
    F.Projects().MenuAboutToShow();
    Prompts.Answers = {TPromptAnswer::Yes};
    F.Projects().DeleteProject();
    ASSERT_EQ(F.Entries().CutItems().size(), 2u);
    ShowProject(B);
    F.Action("acPaste")->trigger();
    EXPECT_EQ(Keep->Parent, B);
    EXPECT_EQ(B->Parent, F.Doc().Root.get()) << "B cannot go into itself";
    EXPECT_TRUE(F.Doc().CheckInvariants());
}

TEST_F(MainFormTest, PastingAProjectIntoItsOwnSubtreeIsRefused) {
    TMainFormTestPeer &F = MakeStarted();
    TCKProjectItem *A = F.Doc().Root->AddProject("A");
    TCKProjectItem *Sub = A->AddProject("Sub");
    F.Views().RebuildViews(true);
    SelectRows({0});
    F.Action("acCut")->trigger();
    ShowProject(Sub);
    F.Action("acPaste")->trigger();
    EXPECT_EQ(A->Parent, F.Doc().Root.get());
    EXPECT_EQ(Sub->Parent, A);
    EXPECT_TRUE(F.Doc().CheckInvariants());
}

TEST_F(MainFormTest, ARefusedListDropLeavesTheDocumentUnmodified) {
    TMainFormTestPeer &F = MakeStarted();
    TCKProjectItem *A = F.Doc().Root->AddProject("A");
    TCKProjectItem *Sub = A->AddProject("Sub");
    F.Views().RebuildViews(true);
    F.Doc().SetSaved(true);
    SelectRows({0});
    F.Projects().Drop(F.ListView1(), F.TreeView1()->FindProjectNode(Sub));
    EXPECT_EQ(A->Parent, F.Doc().Root.get());
    EXPECT_EQ(F.TreeView1()->FindProjectNode(A)->parent(), F.TreeView1()->TopNode());
    EXPECT_FALSE(F.Doc().Modified);
    EXPECT_TRUE(F.Doc().CheckInvariants());
}

TEST_F(MainFormTest, ChoosingTheDefaultProjectAsksAtClose) {
    TMainFormTestPeer &F = MakeStarted();
    TCKProjectItem *A = F.Doc().Root->AddProject("A");
    F.Views().RebuildViews(true);
    F.Doc().SetSaved(true);
    F.TreeView1()->setCurrentItem(F.TreeView1()->FindProjectNode(A));
    F.Projects().MenuAboutToShow();
    F.Action("acDefaultMeasure")->trigger();
    ASSERT_EQ(F.Doc().DefaultProject, A);
    EXPECT_TRUE(F.Action("acSave")->isEnabled());
    Prompts.Answers = {TPromptAnswer::Cancel};
    EXPECT_FALSE(F.Window().close());
    EXPECT_EQ(Prompts.Questions, QStringList{"Möchten Sie die Änderungen speichern?"});
}

namespace {

struct DefaultMoveCase {
    const char *Name;
    const char *How;   // "tree", "list" (drop) or "paste"
    const char *Moved; // "Def" (the default project) or "A" (the project above it)
};

} // namespace

class MainFormDefaultMoveTest : public MainFormTest,
                                public testing::WithParamInterface<DefaultMoveCase> {};

// Moving the default project, or a project above it, within the document keeps it the default.
TEST_P(MainFormDefaultMoveTest, TheDefaultProjectStaysChosen) {
    const DefaultMoveCase &Case = GetParam();
    TMainFormTestPeer &F = MakeStarted();
    TCKProjectItem *A = F.Doc().Root->AddProject("A");
    TCKProjectItem *Def = A->AddProject("Def");
    TCKProjectItem *B = F.Doc().Root->AddProject("B");
    F.Doc().DefaultProject = Def;
    F.Views().RebuildViews(true);
    TCKProjectItem *Moved = std::string(Case.Moved) == "A" ? A : Def;
    const std::string How = Case.How;
    if (How == "tree") {
        F.TreeView1()->setCurrentItem(F.TreeView1()->FindProjectNode(Moved));
        F.Projects().Drop(F.TreeView1(), F.TreeView1()->FindProjectNode(B));
    } else {
        ShowProject(Moved->Parent);
        SelectRows({0});
        if (How == "list") {
            F.Projects().Drop(F.ListView1(), F.TreeView1()->FindProjectNode(B));
        } else {
            F.Action("acCut")->trigger();
            ShowProject(B);
            F.Action("acPaste")->trigger();
        }
    }
    EXPECT_EQ(Moved->Parent, B);
    EXPECT_EQ(F.Doc().DefaultProject, Def);
    EXPECT_TRUE(F.Doc().CheckInvariants());
    F.TreeView1()->setCurrentItem(F.TreeView1()->FindProjectNode(Def));
    F.Projects().MenuAboutToShow();
    EXPECT_TRUE(F.Action("acDefaultMeasure")->isChecked());
}

INSTANTIATE_TEST_SUITE_P(
    DropAndPaste, MainFormDefaultMoveTest,
    testing::Values(DefaultMoveCase{"TreeDropOfTheDefault", "tree", "Def"},
                    DefaultMoveCase{"TreeDropOfAProjectAbove", "tree", "A"},
                    DefaultMoveCase{"ListDropOfTheDefault", "list", "Def"},
                    DefaultMoveCase{"CutAndPasteOfTheDefault", "paste", "Def"},
                    DefaultMoveCase{"CutAndPasteOfAProjectAbove", "paste", "A"}),
    [](const testing::TestParamInfo<DefaultMoveCase> &I) { return std::string(I.param.Name); });

namespace {

struct RefusedTextCase {
    const char *Name;
    const char *Where; // "tree", "list" (sub-project row) or "entry" (entry row)
    const char *Text;  // UTF-8
    const char *Message;
};

} // namespace

class MainFormRefusedTextTest : public MainFormTest,
                                public testing::WithParamInterface<RefusedTextCase> {};

// A refused text is neither stored nor thrown away: the editor opens again with it, and the
// mended text is taken.
TEST_P(MainFormRefusedTextTest, TheEditorStaysOpenWithTheTypedText) {
    const RefusedTextCase &Case = GetParam();
    TMainFormTestPeer &F = MakeStarted();
    TCKProjectItem *P = F.Doc().Root->AddProject("Alt");
    TCKTimeItem *E = F.Doc().Root->AddTime(Span(8, 0, 0, 9, 0, 0, "alt"));
    F.Views().RebuildViews(true);
    F.Doc().SetSaved(true);
    const std::string Where = Case.Where;
    QTreeWidget *View = Where == "tree" ? static_cast<QTreeWidget *>(F.TreeView1()) : F.ListView1();
    QTreeWidgetItem *Item = Where == "tree"   ? F.TreeView1()->FindProjectNode(P)
                            : Where == "list" ? F.ListView1()->Row(0)
                                              : F.ListView1()->Row(1);
    const QString Typed = QString::fromUtf8(Case.Text);
    EditInPlace(View, Item, Typed);
    EXPECT_EQ(Prompts.Messages, QStringList{QString::fromUtf8(Case.Message)});
    EXPECT_EQ(P->Caption, "Alt");
    EXPECT_EQ(E->Comment, "alt");
    EXPECT_FALSE(F.Doc().Modified);

    // An open editor is the item's widget.
    QLineEdit *Editor = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return (Editor = qobject_cast<QLineEdit *>(View->itemWidget(Item, 0))) != nullptr;
    })) << "no editor open again";
    EXPECT_EQ(Editor->text(), Typed);
    // Seen to be edited again, not renamed: a framed editor, its text selected, the row
    // itself still naming what the document holds.
    EXPECT_TRUE(Editor->hasFrame());
    EXPECT_EQ(Editor->selectedText(), Typed);
    EXPECT_EQ(Item->text(0), QString::fromUtf8(Where == "entry" ? "alt" : "Alt"));
    Editor->setText(QStringLiteral("Neu"));
    QTest::keyClick(Editor, Qt::Key_Return);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !qobject_cast<QLineEdit *>(View->itemWidget(Item, 0)); }));
    EXPECT_EQ(Where == "entry" ? E->Comment : P->Caption, "Neu");
    EXPECT_TRUE(F.Doc().Modified);
    EXPECT_EQ(Prompts.Messages.size(), 1);
}

// Leaving the editor opened again for a refused text without changing it ends the edit: the
// item keeps what the document holds, and neither the message nor the editor comes back
// again and again.
TEST_P(MainFormRefusedTextTest, LeavingTheEditorOpenedAgainUnchangedEndsTheEdit) {
    const RefusedTextCase &Case = GetParam();
    TMainFormTestPeer &F = MakeStarted();
    QApplication::setActiveWindow(&F.Window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&F.Window()));
    TCKProjectItem *P = F.Doc().Root->AddProject("Alt");
    TCKTimeItem *E = F.Doc().Root->AddTime(Span(8, 0, 0, 9, 0, 0, "alt"));
    F.Views().RebuildViews(true);
    F.Doc().SetSaved(true);
    const std::string Where = Case.Where;
    QTreeWidget *View = Where == "tree" ? static_cast<QTreeWidget *>(F.TreeView1()) : F.ListView1();
    QTreeWidget *Elsewhere =
        Where == "tree" ? static_cast<QTreeWidget *>(F.ListView1()) : F.TreeView1();
    QTreeWidgetItem *Item = Where == "tree"   ? F.TreeView1()->FindProjectNode(P)
                            : Where == "list" ? F.ListView1()->Row(0)
                                              : F.ListView1()->Row(1);
    auto OpenEditor = [&] { return qobject_cast<QLineEdit *>(View->itemWidget(Item, 0)); };
    EditInPlace(View, Item, QString::fromUtf8(Case.Text));
    ASSERT_TRUE(QTest::qWaitFor([&] { return OpenEditor() != nullptr; }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return OpenEditor()->hasFocus(); }));

    // A click on the free part of the other view takes the focus from the editor.
    const QPoint Free(5, Elsewhere->viewport()->height() - 5);
    ASSERT_EQ(Elsewhere->itemAt(Free), nullptr);
    QTest::mouseClick(Elsewhere->viewport(), Qt::LeftButton, {}, Free);
    ASSERT_TRUE(QTest::qWaitFor([&] { return OpenEditor() == nullptr; }));
    // Nothing opens again behind the click.
    QTest::qWait(50);
    EXPECT_EQ(OpenEditor(), nullptr);
    EXPECT_FALSE(F.TreeView1()->IsEditing());
    EXPECT_FALSE(F.ListView1()->IsEditing());
    EXPECT_LE(Prompts.Messages.size(), 2);
    EXPECT_EQ(Prompts.Messages.first(), QString::fromUtf8(Case.Message));
    EXPECT_EQ(P->Caption, "Alt");
    EXPECT_EQ(E->Comment, "alt");
    EXPECT_EQ(F.TreeView1()->FindProjectNode(P)->text(0), QStringLiteral("Alt"));
    EXPECT_EQ(Item->text(0), QString::fromUtf8(Where == "entry" ? "alt" : "Alt"));
    EXPECT_FALSE(F.Doc().Modified);

    // The same text typed anew is a new refusal, told and opened again as the first.
    const qsizetype Told = Prompts.Messages.size();
    EditInPlace(View, Item, QString::fromUtf8(Case.Text));
    EXPECT_EQ(Prompts.Messages.size(), Told + 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return OpenEditor() != nullptr; }));
}

INSTANTIATE_TEST_SUITE_P(
    TreeAndList, MainFormRefusedTextTest,
    testing::Values(
        RefusedTextCase{"TreeAngleBracket", "tree", "a<b",
                        "Projektbeschreibung enthält ungültiges Zeichen!"},
        RefusedTextCase{"TreeOutsideTheCodePage", "tree", "Łódź 😀 Łx €",
                        "Diese Zeichen können im Dokument nicht gespeichert werden: Ł ź 😀"},
        RefusedTextCase{"ListQuote", "list", "\"x\"",
                        "Projektbeschreibung enthält ungültiges Zeichen!"},
        RefusedTextCase{"ListOutsideTheCodePage", "list", "→ ja?",
                        "Diese Zeichen können im Dokument nicht gespeichert werden: →"},
        RefusedTextCase{"EntryOutsideTheCodePage", "entry", "Besprechung 😀 <intern>",
                        "Diese Zeichen können im Dokument nicht gespeichert werden: 😀"}),
    [](const testing::TestParamInfo<RefusedTextCase> &I) { return std::string(I.param.Name); });
