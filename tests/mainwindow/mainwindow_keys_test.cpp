// The keyboard: access keys in every menu, the commands' shortcuts and the stopwatch key.

#include "mainwindow_testing.h"
#include "mainwindow/recentfiles.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

#include <map>

namespace {

QAction *FindAction(const TMainFormTestPeer &F, const char *Name) {
    for (QAction *A : F.Actions())
        if (A->objectName() == QLatin1String(Name))
            return A;
    return nullptr;
}

// A standard key, or the usual one where this desktop's key table has none.
QKeySequence Or(QKeySequence::StandardKey Key, const QKeySequence &Usual) {
    return QKeySequence(Key).isEmpty() ? Usual : QKeySequence(Key);
}

// The access key of a caption (upper case), or an empty string without one.
QString AccessKey(const QString &Caption) {
    for (qsizetype i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption[i] != QLatin1Char('&'))
            continue;
        if (Caption[i + 1] != QLatin1Char('&'))
            return Caption.mid(i + 1, 1).toUpper();
        ++i;
    }
    return QString();
}

// Every menu a user can open: the menu bar's with their submenus, the popups, the drop-downs.
void CollectMenus(QMenu *Menu, QList<QMenu *> &Menus) {
    if (!Menu || Menus.contains(Menu))
        return;
    Menus << Menu;
    for (QAction *A : Menu->actions())
        CollectMenus(A->menu(), Menus);
}

// The window with a document: a project "A" holding one entry, shown in the list.
class KeysTest : public MainFormTest {
protected:
    TMainFormTestPeer &MakeActive() {
        TMainFormTestPeer &F = MakeStarted();
        QApplication::setActiveWindow(&F.Window());
        EXPECT_TRUE(QTest::qWaitForWindowActive(&F.Window()));
        return F;
    }
};

} // namespace

TEST_F(KeysTest, EveryMenuGivesItsItemsDistinctAccessKeys) {
    TMainFormTestPeer &F = MakeStarted();
    F.RecentFiles().Add(QStringLiteral("/tmp/a.ckx"));
    F.RecentFiles().Add(QStringLiteral("/tmp/b.ckx"));
    QList<QMenu *> Menus;
    for (QMenu *Menu : F.Window().findChildren<QMenu *>())
        CollectMenus(Menu, Menus);
    ASSERT_GE(Menus.size(), 15);

    QStringList BarKeys;
    for (QAction *A : F.Window().menuBar()->actions()) {
        SCOPED_TRACE(A->text().toStdString());
        EXPECT_FALSE(AccessKey(A->text()).isEmpty());
        EXPECT_FALSE(BarKeys.contains(AccessKey(A->text())));
        BarKeys << AccessKey(A->text());
    }
    EXPECT_EQ(BarKeys.size(), 8);

    for (QMenu *Menu : Menus) {
        SCOPED_TRACE(Menu->objectName().toStdString() + " " + Menu->title().toStdString());
        QStringList Keys;
        for (QAction *A : Menu->actions()) {
            if (A->isSeparator() || !A->isVisible())
                continue;
            const QString Key = AccessKey(A->text());
            // Only the placeholder "(Leer)" goes without one; it is never enabled.
            if (Key.isEmpty()) {
                EXPECT_EQ(A->text(), QStringLiteral("(Leer)"));
                continue;
            }
            EXPECT_FALSE(Keys.contains(Key)) << A->text().toStdString();
            Keys << Key;
        }
    }
}

TEST_F(KeysTest, CommandsCarryTheirStandardShortcutsAndShowThemInTheMenus) {
    TMainFormTestPeer &F = MakeStarted();
    const struct {
        const char *Name;
        QKeySequence Keys;
    } Rows[] = {
        {"acNew", QKeySequence::New},
        {"acOpen", QKeySequence::Open},
        {"acSave", QKeySequence::Save},
        {"acSaveAs", Or(QKeySequence::SaveAs, Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {"acPrint", QKeySequence::Print},
        {"acExit", Or(QKeySequence::Quit, Qt::CTRL | Qt::Key_Q)},
        {"acCut", QKeySequence::Cut},
        {"acPaste", QKeySequence::Paste},
        {"acDelTime", QKeySequence::Delete},
        {"acDelProject", QKeySequence::Delete},
        {"acSearch", QKeySequence::Find},
        {"acRenProject", QKeySequence(Qt::Key_F2)},
        {"acExport", QKeySequence(Qt::CTRL | Qt::Key_E)},
        {"acSettings", QKeySequence(Qt::CTRL | Qt::Key_Comma)},
    };
    for (const auto &Row : Rows) {
        SCOPED_TRACE(Row.Name);
        QAction *A = FindAction(F, Row.Name);
        ASSERT_NE(A, nullptr);
        EXPECT_FALSE(Row.Keys.isEmpty());
        EXPECT_EQ(A->shortcut(), Row.Keys);
        // A menu shows the key beside the caption unless told not to.
        EXPECT_TRUE(A->isShortcutVisibleInContextMenu() ||
                    !QApplication::testAttribute(Qt::AA_DontShowShortcutsInContextMenus));
    }
    EXPECT_EQ(F.Action("TBItem3")->shortcut(), QKeySequence(Qt::Key_F9));
    EXPECT_EQ(F.Action("TBItem8")->shortcut(), QKeySequence(Qt::Key_F9));
}

TEST_F(KeysTest, NoTwoWindowWideShortcutsAreLiveAtOnce) {
    TMainFormTestPeer &F = MakeStarted();
    TCKProjectItem *A = F.Doc().Root->AddProject("A");
    A->AddTime(Span(8, 0, 0, 9, 0, 0, "e"));
    F.Views().RebuildViews(true);
    ShowProject(A);
    SelectRows({0});
    F.Action("acCut")->trigger();
    // Every state the stopwatch can be in, with as many commands enabled as a user gets.
    for (bool Running : {false, true}) {
        SCOPED_TRACE(Running ? "running" : "idle");
        if (Running)
            F.Action("TBSubmenuItem2")->trigger();
        std::map<QString, QStringList> Live;
        for (QAction *Action : F.Window().findChildren<QAction *>()) {
            if (Action->shortcut().isEmpty() || !Action->isEnabled() ||
                Action->shortcutContext() != Qt::WindowShortcut)
                continue;
            Live[Action->shortcut().toString()] << Action->objectName();
        }
        for (const auto &[Keys, Names] : Live)
            EXPECT_EQ(Names.size(), 1)
                << Keys.toStdString() << ": " << Names.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(Live[QStringLiteral("F9")],
                  QStringList{Running ? QStringLiteral("TBItem8") : QStringLiteral("TBItem3")});
    }
    F.Action("TBSubmenuItem12")->trigger();
}

TEST_F(KeysTest, KeysTriggerTheirCommands) {
    TMainFormTestPeer &F = MakeActive();
    TCKProjectItem *A = F.Doc().Root->AddProject("A");
    A->AddTime(Span(8, 0, 0, 9, 0, 0, "e"));
    F.Views().RebuildViews(true);
    ShowProject(A);

    // Open (its question answered "&Nein"), Save As: their dialogs come up and are cancelled.
    Prompts.Answers = {TPromptAnswer::No};
    Dialogs.Answers = {QString(), QString()};
    QTest::keySequence(&F.Window(), QKeySequence::Open);
    QTest::keySequence(&F.Window(), F.Action("acSaveAs")->shortcut());
    ASSERT_EQ(Dialogs.Requests.size(), 2u);
    EXPECT_EQ(Dialogs.Requests[0].Title, QStringLiteral("Öffnen"));
    EXPECT_EQ(Dialogs.Requests[1].Title, QStringLiteral("Speichern unter"));

    // Cut and paste from the list.
    F.ListView1()->setFocus();
    SelectRows({0});
    QTest::keySequence(&F.Window(), QKeySequence::Cut);
    EXPECT_EQ(F.Entries().CutItems().size(), 1u);
    ShowProject(F.Doc().Root.get());
    QTest::keySequence(&F.Window(), QKeySequence::Paste);
    EXPECT_TRUE(F.Entries().CutItems().empty());
    EXPECT_TRUE(A->TimeItems().empty());
    EXPECT_EQ(F.Doc().Root->TimeItems().size(), 1u);

    // F9 starts the stopwatch and stops it again; the measured time is recorded.
    QTest::keyClick(&F.Window(), Qt::Key_F9);
    EXPECT_TRUE(F.Stopwatch().Running());
    Clock.Advance(60);
    QTest::keyClick(&F.Window(), Qt::Key_F9);
    EXPECT_FALSE(F.Stopwatch().Running());
    EXPECT_EQ(F.Doc().Root->TimeItems().size(), 2u);

    // New on a modified document asks first; "Abbrechen" keeps everything.
    Prompts.Answers = {TPromptAnswer::Cancel};
    QTest::keySequence(&F.Window(), QKeySequence::New);
    EXPECT_EQ(Prompts.Questions.size(), 2);
    EXPECT_EQ(F.Doc().Root->TimeItems().size(), 2u);
}

TEST_F(KeysTest, DeleteActsOnWhatHasTheFocus) {
    TMainFormTestPeer &F = MakeActive();
    TCKProjectItem *A = F.Doc().Root->AddProject("A");
    TCKProjectItem *B = F.Doc().Root->AddProject("B");
    B->AddTime(Span(8, 0, 0, 9, 0, 0, "e"));
    F.Views().RebuildViews(true);
    ShowProject(B);
    // The project menu enabled its delete command for B; the list's key still deletes rows.
    emit F.Menu("TBSubmenuItem4")->aboutToShow();
    ASSERT_TRUE(F.Action("acDelProject")->isEnabled());
    SelectRows({0});
    F.ListView1()->setFocus();
    Prompts.Answers = {TPromptAnswer::Yes};
    QTest::keyClick(F.ListView1(), Qt::Key_Delete);
    EXPECT_TRUE(B->TimeItems().empty());
    EXPECT_NE(F.TreeView1()->FindProjectNode(B), nullptr);

    // In the tree the key deletes the project in focus.
    F.TreeView1()->setFocus();
    F.TreeView1()->setCurrentItem(F.TreeView1()->FindProjectNode(A));
    Prompts.Answers = {TPromptAnswer::Yes};
    QTest::keyClick(F.TreeView1(), Qt::Key_Delete);
    EXPECT_EQ(F.TreeView1()->FindProjectNode(A), nullptr);
    EXPECT_NE(F.TreeView1()->FindProjectNode(B), nullptr);
}
