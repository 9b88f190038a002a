// The search window as the main window opens it: one at a time, its rows edited, deleted and
// dragged through the main window's commands, and kept current by every change to entries.

#include "mainwindow_testing.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <climits>

namespace {

class SearchTest : public MainFormTest {
protected:
    // A started window showing the root; "Firmen" holds two touching entries, the root one;
    // the search for "kunde" lists all three.
    TMainFormTestPeer &MakeWithSearch() {
        TMainFormTestPeer &F = MakeStarted();
        TCKProjectItem *Root = F.Doc().Root.get();
        Kunden = Root->AddProject("Firmen");
        Intern = Root->AddProject("Intern");
        Kunden->AddTime(Span(8, 0, 0, 9, 0, 0, "Kunde Alpha"));
        Kunden->AddTime(Span(9, 0, 0, 10, 0, 0, "Kunde Beta"));
        Root->AddTime(Span(10, 0, 0, 11, 0, 0, "Kunde intern"));
        F.Views().RebuildViews(true);
        F.Doc().SetSaved(true);
        F.Action("acSearch")->trigger();
        Search = F.Window().findChild<TSearchForm *>();
        EXPECT_NE(Search, nullptr);
        Search->findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(QStringLiteral("kunde"));
        Search->findChild<QPushButton *>(QStringLiteral("StartButton"))->click();
        return F;
    }
    TEntryList &Results() const { return Search->ResultList(); }
    QStringList ResultColumn(int C) const {
        QStringList T;
        for (int i = 0; i < Results().Count(); ++i)
            T << Results().Row(i)->text(C);
        return T;
    }
    QString Status() const {
        return Search->findChild<QLabel *>(QStringLiteral("StatusBar1"))->text();
    }
    void SelectResults(std::initializer_list<int> Rows) {
        Results().clearSelection();
        for (int R : Rows)
            Results().Row(R)->setSelected(true);
    }
    // The row menu as a right click on the results opens it, closed again at once.
    void OpenResultMenu() {
        emit Results().customContextMenuRequested(QPoint(2, 2));
        Form->Menu("PropPopupMenu")->hide();
    }

    TCKProjectItem *Kunden = nullptr;
    TCKProjectItem *Intern = nullptr;
    QPointer<TSearchForm> Search;
};

} // namespace

TEST_F(SearchTest, AtMostOneWindowWhichClosingFrees) {
    TMainFormTestPeer &F = MakeWithSearch();
    EXPECT_TRUE(F.Action("acSearch")->isEnabled());
    EXPECT_TRUE(Search->isVisible());
    EXPECT_FALSE(Search->isModal());
    F.Action("acSearch")->trigger();
    EXPECT_EQ(F.Window().findChild<TSearchForm *>(), Search);
    EXPECT_EQ(F.Window().findChildren<TSearchForm *>().size(), 1);
    // A second open keeps the results.
    EXPECT_EQ(Results().Count(), 3);

    Search->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(F.Window().findChild<TSearchForm *>(), nullptr);
    EXPECT_EQ(Search, nullptr);
    // Commands that would update it now find none.
    Prompts.Answers = {TPromptAnswer::Yes};
    SelectRows({0});
    F.Action("acDelTime")->trigger();
    F.Action("acSearch")->trigger();
    ASSERT_NE(F.Window().findChild<TSearchForm *>(), nullptr);
    EXPECT_EQ(F.Window().findChild<TSearchForm *>()->ResultList().Count(), 0);
}

TEST_F(SearchTest, RowMenuOverResultsHidesNewTimeAndActsOnThem) {
    TMainFormTestPeer &F = MakeWithSearch();
    SelectResults({1});
    OpenResultMenu();
    EXPECT_EQ(F.Entries().PopupList(), &Results());
    EXPECT_FALSE(F.Action("acNewTimePopup")->isVisible());
    EXPECT_TRUE(F.Action("acEditTimePopup")->isEnabled());
    EXPECT_FALSE(F.Action("acMeltPopup")->isEnabled());
    // The main list's own menu shows it again.
    emit F.ListView1()->customContextMenuRequested(QPoint(2, 2));
    F.Menu("PropPopupMenu")->hide();
    EXPECT_TRUE(F.Action("acNewTimePopup")->isVisible());
}

TEST_F(SearchTest, EditFromResultsUpdatesBothLists) {
    TMainFormTestPeer &F = MakeWithSearch();
    ASSERT_EQ(ResultColumn(0), (QStringList{"Kunde intern", "Kunde Alpha", "Kunde Beta"}));
    TScriptedEntryDialogs::TAnswer Ok;
    Ok.Ok = true;
    Ok.Data = Span(10, 0, 0, 10, 30, 0, "Kunde intern kurz");
    EntryDialogs.Answers = {Ok};
    emit Results().itemDoubleClicked(Results().Row(0), 0);
    ASSERT_EQ(EntryDialogs.Requests.size(), 1u);
    EXPECT_EQ(EntryDialogs.Requests[0].Data.Comment, "Kunde intern");
    EXPECT_EQ(ResultColumn(0).first(), QStringLiteral("Kunde intern kurz"));
    EXPECT_EQ(ResultColumn(3).first(), QStringLiteral("00:30:00"));
    EXPECT_TRUE(ListCaptions().contains(QStringLiteral("Kunde intern kurz")));
    EXPECT_TRUE(F.Doc().Modified);

    // An edit that leaves the search's words takes the row out.
    Ok.Data = Span(8, 0, 0, 9, 0, 0, "Alpha");
    EntryDialogs.Answers = {Ok};
    SelectResults({1});
    OpenResultMenu();
    F.Action("acEditTimePopup")->trigger();
    EXPECT_EQ(ResultColumn(0), (QStringList{"Kunde intern kurz", "Kunde Beta"}));
    EXPECT_EQ(Status(), QStringLiteral("2 Item(s) gefunden!"));
}

TEST_F(SearchTest, DeleteFromResultsUpdatesBothLists) {
    TMainFormTestPeer &F = MakeWithSearch();
    SelectResults({0, 2});
    OpenResultMenu();
    Prompts.Answers = {TPromptAnswer::Yes};
    F.Action("acDelTimePopup")->trigger();
    EXPECT_EQ(Prompts.Questions, QStringList{"Sollen die Einträge gelöscht werden?"});
    EXPECT_EQ(ResultColumn(0), QStringList{"Kunde Alpha"});
    EXPECT_EQ(Status(), QStringLiteral("1 Item(s) gefunden!"));
    // The root's entry left the main list too.
    EXPECT_EQ(ListCaptions(), (QStringList{"Firmen", "Intern"}));
    EXPECT_EQ(Kunden->TimeItems().size(), 1u);
}

TEST_F(SearchTest, MainListCommandsKeepTheResultsCurrent) {
    TMainFormTestPeer &F = MakeWithSearch();
    // Delete in the main list: the row of the deleted entry leaves the results.
    ShowProject(Kunden);
    SelectRows({0});
    Prompts.Answers = {TPromptAnswer::Yes};
    F.Action("acDelTime")->trigger();
    EXPECT_EQ(ResultColumn(0), (QStringList{"Kunde intern", "Kunde Beta"}));
    EXPECT_EQ(Status(), QStringLiteral("2 Item(s) gefunden!"));

    // Renaming the project changes the path column.
    emit F.TreeView1()->NodeEdited(F.TreeView1()->FindProjectNode(Kunden),
                                   QStringLiteral("Auftraggeber"));
    EXPECT_EQ(ResultColumn(4), (QStringList{"", "Auftraggeber"}));

    // Deleting the whole project takes its entries' rows.
    F.TreeView1()->setCurrentItem(F.TreeView1()->FindProjectNode(Kunden));
    F.Projects().MenuAboutToShow();
    Prompts.Answers = {TPromptAnswer::Yes};
    F.Projects().DeleteProject();
    EXPECT_EQ(ResultColumn(0), QStringList{"Kunde intern"});
    EXPECT_EQ(Status(), QStringLiteral("1 Item(s) gefunden!"));

    // A new document: no row may name the old one's entries.
    Prompts.Answers = {TPromptAnswer::No};
    F.Action("acNew")->trigger();
    EXPECT_EQ(Results().Count(), 0);
    EXPECT_EQ(Status(), QStringLiteral("0 Item(s) gefunden!"));
}

TEST_F(SearchTest, MeltFromResultsDropsTheAbsorbedRow) {
    TMainFormTestPeer &F = MakeWithSearch();
    SelectResults({1, 2});
    OpenResultMenu();
    F.Action("acMeltPopup")->trigger();
    EXPECT_EQ(ResultColumn(0), (QStringList{"Kunde intern", "Kunde Alpha & Kunde Beta"}));
    EXPECT_EQ(ResultColumn(3).last(), QStringLiteral("02:00:00"));
    EXPECT_EQ(Status(), QStringLiteral("2 Item(s) gefunden!"));
}

TEST_F(SearchTest, CommentEditedInResultsMarksModifiedAndShowsInTheMainList) {
    TMainFormTestPeer &F = MakeWithSearch();
    ASSERT_FALSE(F.Doc().Modified);
    emit Results().RowEdited(Results().Row(0), QStringLiteral("Kunde extern"));
    EXPECT_TRUE(F.Doc().Modified);
    EXPECT_TRUE(F.Action("acSave")->isEnabled());
    EXPECT_EQ(ResultColumn(0).first(), QStringLiteral("Kunde extern"));
    EXPECT_TRUE(ListCaptions().contains(QStringLiteral("Kunde extern")));

    // Text the document cannot store is refused, as in the main list.
    emit Results().RowEdited(Results().Row(0), QStringLiteral("Kunde \u4e2d"));
    EXPECT_EQ(Prompts.Messages.size(), 1);
    EXPECT_EQ(ResultColumn(0).first(), QStringLiteral("Kunde extern"));
}

TEST_F(SearchTest, ACommentEditedInResultsUnderTheFilterUpdatesTotalsAndRows) {
    TMainFormTestPeer &F = MakeWithSearch();
    F.Action("acFilter")->trigger();
    F.Find<QLineEdit>("Edit1")->setText(QStringLiteral("extern"));
    ASSERT_EQ(ListCaptions(), (QStringList{"Firmen", "Intern"}));
    ASSERT_EQ(F.Find<QLabel>("StatusPanel0")->text(),
              QStringLiteral("Gesamt: 0 Std, 0 Min, 0 Sek"));
    // An entry of another project now passes the filter: the totals count it.
    ASSERT_EQ(ResultColumn(0).at(1), QStringLiteral("Kunde Alpha"));
    emit Results().RowEdited(Results().Row(1), QStringLiteral("Kunde extern"));
    EXPECT_EQ(F.Find<QLabel>("StatusPanel0")->text(),
              QStringLiteral("Gesamt: 1 Std, 0 Min, 0 Sek"));
    // One of the shown project: it gets its row as well.
    ASSERT_EQ(ResultColumn(0).at(0), QStringLiteral("Kunde intern"));
    emit Results().RowEdited(Results().Row(0), QStringLiteral("extern"));
    EXPECT_EQ(ListCaptions(), (QStringList{"Firmen", "Intern", "extern"}));
    EXPECT_EQ(F.Find<QLabel>("StatusPanel0")->text(),
              QStringLiteral("Gesamt: 2 Std, 0 Min, 0 Sek"));
}

TEST_F(SearchTest, ResultsDraggedOntoTheTreeMove) {
    TMainFormTestPeer &F = MakeWithSearch();
    SelectResults({0});
    QTreeWidgetItem *Target = F.TreeView1()->FindProjectNode(Intern);
    ASSERT_TRUE(F.Projects().CanDrop(&Results(), Target));
    // The shown project (the root) accepts no drop.
    EXPECT_FALSE(F.Projects().CanDrop(&Results(), F.TreeView1()->TopNode()));
    F.Projects().Drop(&Results(), Target);
    EXPECT_EQ(Intern->TimeItems().size(), 1u);
    EXPECT_EQ(ListCaptions(), (QStringList{"Firmen", "Intern"}));
    EXPECT_TRUE(F.Doc().Modified);
    // The moved entry's row shows its new project and sorts by it.
    EXPECT_EQ(ResultColumn(4), (QStringList{"Firmen", "Firmen", "Intern"}));
}

TEST_F(SearchTest, ClosingTheMainWindowWithTheSearchOpenIsSafe) {
    MakeWithSearch();
    SelectResults({0});
    OpenResultMenu();
    Form.reset();
    EXPECT_EQ(Search, nullptr);
}

TEST_F(SearchTest, DialogsOfResultCommandsBelongToTheSearchWindow) {
    TMainFormTestPeer &F = MakeWithSearch();
    TScriptedEntryDialogs::TAnswer Cancel;
    EntryDialogs.Answers = {Cancel, Cancel};
    emit Results().itemDoubleClicked(Results().Row(1), 0);
    SelectResults({1});
    OpenResultMenu();
    F.Action("acSplitPopup")->trigger();
    Prompts.Answers = {TPromptAnswer::No};
    OpenResultMenu();
    F.Action("acDelTimePopup")->trigger();
    emit Results().RowEdited(Results().Row(0), QStringLiteral("Kunde \u4e2d"));
    ASSERT_EQ(EntryDialogs.Requests.size(), 2u);
    EXPECT_EQ(EntryDialogs.Requests[0].Owner, Search.data()) << "edit";
    EXPECT_EQ(EntryDialogs.Requests[1].Owner, Search.data()) << "split";
    // The delete question, then the refused comment.
    EXPECT_EQ(Prompts.Owners, (QList<QWidget *>{Search, Search}));

    // The same commands from the main list stay with the main window.
    Prompts.Owners.clear();
    ShowProject(Kunden);
    SelectRows({0});
    EntryDialogs.Answers = {Cancel};
    F.Action("acEditTime")->trigger();
    Prompts.Answers = {TPromptAnswer::No};
    F.Action("acDelTime")->trigger();
    EXPECT_EQ(EntryDialogs.Requests.back().Owner, &F.Window());
    ASSERT_EQ(Prompts.Owners.size(), 1);
    EXPECT_TRUE(Prompts.Owners[0] == nullptr || Prompts.Owners[0] == &F.Window());
}

TEST_F(SearchTest, F2RenamesAndDeleteAsksAndDeletesInTheResults) {
    TMainFormTestPeer &F = MakeWithSearch();
    SelectResults({1});
    QTest::keyClick(&Results(), Qt::Key_F2);
    ASSERT_TRUE(Results().IsEditing());
    auto *Editor = Results().findChild<QLineEdit *>();
    ASSERT_NE(Editor, nullptr);
    Editor->setText(QStringLiteral("Kunde Gamma"));
    QTest::keyClick(Editor, Qt::Key_Return);
    QApplication::processEvents(); // the edit is committed from the event loop
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Kunden->TimeItems()[0]->Comment, "Kunde Gamma");
    // Escape in the editor only ends the edit, the window stays.
    SelectResults({1});
    QTest::keyClick(&Results(), Qt::Key_F2);
    ASSERT_TRUE(Results().IsEditing());
    QTest::keyClick(Results().findChild<QLineEdit *>(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(Results().IsEditing());
    ASSERT_NE(Search, nullptr);
    EXPECT_TRUE(Search->isVisible());

    SelectResults({0, 2});
    Prompts.Answers = {TPromptAnswer::Yes};
    QTest::keyClick(&Results(), Qt::Key_Delete);
    EXPECT_EQ(Prompts.Questions, QStringList{"Sollen die Einträge gelöscht werden?"});
    EXPECT_EQ(ResultColumn(0), QStringList{"Kunde Gamma"});
    EXPECT_EQ(Kunden->TimeItems().size(), 1u);
    EXPECT_TRUE(F.Doc().Modified);
}

TEST_F(SearchTest, EscapeClosesTheWindow) {
    MakeWithSearch();
    QTest::keyClick(Search->findChild<QLineEdit *>(QStringLiteral("Edit1")), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Search, nullptr);
}

TEST_F(SearchTest, OpensOverTheMainWindowAndKeepsItsPlacement) {
    TMainFormTestPeer &F = MakeWithSearch();
    EXPECT_TRUE(F.Window().geometry().contains(Search->geometry()));
    Search->setGeometry(300, 200, 700, 450);
    QList<int> Widths{210, 140, 141, 77, 160};
    for (int c = 0; c < 5; ++c)
        Results().header()->resizeSection(c, Widths[c]);
    Search->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_NE(Settings(QStringLiteral("SearchForm"), false), nullptr);

    F.Action("acSearch")->trigger();
    Search = F.Window().findChild<TSearchForm *>();
    EXPECT_EQ(Search->geometry(), QRect(300, 200, 700, 450));
    QList<int> Restored;
    for (int c = 0; c < 5; ++c)
        Restored << Results().header()->sectionSize(c);
    EXPECT_EQ(Restored, Widths);

    // Closing the main window keeps the placement of the open search window too.
    Search->setGeometry(320, 210, 700, 450);
    EXPECT_TRUE(F.Window().close());
    int Left = 0;
    EXPECT_TRUE(Settings(QStringLiteral("SearchForm"), false)->ReadInteger("Left", Left));
    EXPECT_EQ(Left, 320);
}

TEST_F(SearchTest, StoredPlacementIsFittedIntoTheScreen) {
    const struct {
        const char *Name;
        int Left, Top, Width, Height, Column;
        int MinWidth, MaxWidth; // of the window as restored
    } Cases[] = {
        {"too big everywhere", 0, 0, INT_MAX, INT_MAX, INT_MAX, 1800, 1920},
        {"far off to the left and top", -100000, -100000, 600, 400, 100, 600, 600},
        {"far off to the right and below", INT_MAX, INT_MAX, 600, 400, 100, 600, 600},
    };
    for (const auto &Case : Cases) {
        {
            auto Stored = Settings(QStringLiteral("SearchForm"), true);
            Stored->WriteInteger("Left", Case.Left);
            Stored->WriteInteger("Top", Case.Top);
            Stored->WriteInteger("Width", Case.Width);
            Stored->WriteInteger("Height", Case.Height);
            Stored->WriteInteger("colCommentWidth", Case.Column);
        }
        TMainFormTestPeer &F = MakeStarted();
        F.Action("acSearch")->trigger();
        TSearchForm *Window = F.Window().findChild<TSearchForm *>();
        EXPECT_TRUE(ScreenArea.contains(Window->frameGeometry())) << Case.Name;
        EXPECT_GE(Window->width(), Case.MinWidth) << Case.Name;
        EXPECT_LE(Window->width(), Case.MaxWidth) << Case.Name;
        EXPECT_LE(Window->ResultList().header()->sectionSize(0), ScreenArea.width()) << Case.Name;
        // Not closed: the next window reads the stored values anew.
        Form.reset();
    }
}
