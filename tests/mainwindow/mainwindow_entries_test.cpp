// The filter panel, the row menu and the entry commands, with the entry windows scripted.

#include "base/dates.h"
#include "base/fieldtype.h"
#include "mainwindow_testing.h"
#include "dialogs/pickers.h"
#include "tests/dialogs/picker_testing.h"
#include "tests/model/memory_views.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTimeEdit>

#include <cmath>
#include <random>

namespace {

class EntriesTest : public MainFormTest {
protected:
    // A started window showing the root with three entries (08-09, 09-10, 10-11).
    TMainFormTestPeer &MakeWithEntries() {
        TMainFormTestPeer &F = MakeStarted();
        Root = F.Doc().Root.get();
        Root->AddTime(Span(8, 0, 0, 9, 0, 0, "Kunde Alpha"));
        Root->AddTime(Span(9, 0, 0, 10, 0, 0, "intern"));
        Root->AddTime(Span(10, 0, 0, 11, 0, 0, "meeting Beta"));
        F.Views().RebuildViews(true);
        return F;
    }
    TCKTimeItem *EntryAt(int Row) const {
        TCKItem *Item = Form->ListView1()->RowData(Row);
        return Item ? Item->AsTime() : nullptr;
    }
    // Opens the row menu on the main list as a right click would, and closes it again.
    void OpenRowMenu() {
        emit Form->ListView1()->customContextMenuRequested(QPoint(2, 2));
        Form->Menu("PropPopupMenu")->hide();
    }

    TCKProjectItem *Root = nullptr;
};

TDateTime At(int H, int M, int S) {
    return EncodeDateTime(2024, 3, 4, H, M, S);
}

} // namespace

// --- filter panel ---------------------------------------------------------------------------

TEST_F(EntriesTest, OpeningTheFilterResetsItsFieldsAndClosingSwitchesItOff) {
    TMainFormTestPeer &F = MakeWithEntries();
    F.Find<QLineEdit>("Edit1")->setText(QStringLiteral("alt"));
    F.Find<QCheckBox>("CheckBox1")->setChecked(true);
    F.Action("acFilter")->trigger();
    EXPECT_TRUE(F.Find<TFilterPanel>("Panel8")->isVisible());
    EXPECT_EQ(F.Find<TFilterPanel>("Panel8")->height(), 105);
    EXPECT_EQ(F.Find<QLabel>("Panel9")->text(), QStringLiteral(" Filter"));
    EXPECT_TRUE(F.Action("acFilter")->isChecked());
    EXPECT_TRUE(F.Doc().FilterActive);
    EXPECT_TRUE(F.Find<QLineEdit>("Edit1")->text().isEmpty());
    EXPECT_FALSE(F.Find<QCheckBox>("CheckBox1")->isChecked());
    EXPECT_FALSE(F.Find<QCheckBox>("CheckBox2")->isChecked());
    EXPECT_FALSE(F.Find<QDateEdit>("sddate")->isEnabled());
    EXPECT_FALSE(F.Find<QTimeEdit>("edtime")->isEnabled());
    EXPECT_EQ(F.Find<QDateEdit>("sddate")->date(), QDate(2024, 3, 4));
    EXPECT_EQ(F.Find<QDateEdit>("eddate")->date(), QDate(2024, 3, 4));
    EXPECT_EQ(F.Find<QTimeEdit>("sdtime")->time(), QTime(0, 0, 0));
    EXPECT_EQ(F.Find<QTimeEdit>("edtime")->time(), QTime(23, 59, 59));
    EXPECT_EQ(F.ListView1()->Count(), 3);
    EXPECT_TRUE(Prompts.Messages.isEmpty());

    // The header's close button closes the panel as the action does.
    F.Find<QLineEdit>("Edit1")->setText(QStringLiteral("intern"));
    ASSERT_EQ(F.ListView1()->Count(), 1);
    static_cast<QAbstractButton *>(F.Find<QToolButton>("SpeedButton1"))->click();
    EXPECT_FALSE(F.Find<TFilterPanel>("Panel8")->isVisible());
    EXPECT_FALSE(F.Action("acFilter")->isChecked());
    EXPECT_FALSE(F.Doc().FilterActive);
    // Every row and the true totals come back at once.
    EXPECT_EQ(F.ListView1()->Count(), 3);
}

TEST_F(EntriesTest, ClosingAFilterThatHidEverythingShowsAllRowsAndTheTrueTotals) {
    TMainFormTestPeer &F = MakeWithEntries();
    F.Action("acFilter")->trigger();
    F.Find<QCheckBox>("CheckBox1")->setChecked(true);
    SetPickers(F.Find<QDateEdit>("sddate"), F.Find<QTimeEdit>("sdtime"), At(12, 0, 0));
    ASSERT_EQ(F.ListView1()->Count(), 0);
    ASSERT_EQ(F.Find<QLabel>("StatusPanel0")->text(),
              QStringLiteral("Gesamt: 0 Std, 0 Min, 0 Sek"));
    F.Action("acFilter")->trigger();
    EXPECT_EQ(F.ListView1()->Count(), 3);
    EXPECT_EQ(F.Find<QLabel>("StatusPanel0")->text(),
              QStringLiteral("Gesamt: 3 Std, 0 Min, 0 Sek"));
    EXPECT_EQ(F.Find<QLabel>("StatusPanel1")->text(),
              QStringLiteral("Aktuelles Project: 3 Std, 0 Min, 0 Sek"));
}

TEST_F(EntriesTest, FilterBoundsAreStrictAndKeywordsMatchAny) {
    struct Case {
        const char *Name;
        bool UseFrom, UseTo;
        QTime From, To;
        const char *Keywords;
        QStringList Shown;
    };
    const Case Cases[] = {
        {"from 09:00 drops the entry ending then",
         true,
         false,
         QTime(9, 0),
         {},
         "",
         {"intern", "meeting Beta"}},
        {"to 10:00 drops the entry starting then",
         false,
         true,
         {},
         QTime(10, 0),
         "",
         {"Kunde Alpha", "intern"}},
        {"both bounds", true, true, QTime(9, 0), QTime(10, 0), "", {"intern"}},
        {"one second inside",
         true,
         false,
         QTime(8, 59, 59),
         {},
         "",
         {"Kunde Alpha", "intern", "meeting Beta"}},
        {"either keyword, any case",
         false,
         false,
         {},
         {},
         " Kunde  MEETING ",
         {"Kunde Alpha", "meeting Beta"}},
        {"keyword and bound", true, false, QTime(9, 0), {}, "kunde", {}},
    };
    TMainFormTestPeer &F = MakeWithEntries();
    for (const Case &C : Cases) {
        SCOPED_TRACE(C.Name);
        if (F.Find<TFilterPanel>("Panel8")->isVisible())
            F.Action("acFilter")->trigger();
        F.Action("acFilter")->trigger();
        F.Find<QCheckBox>("CheckBox1")->setChecked(C.UseFrom);
        F.Find<QCheckBox>("CheckBox2")->setChecked(C.UseTo);
        if (C.UseFrom)
            F.Find<QTimeEdit>("sdtime")->setTime(C.From);
        if (C.UseTo)
            F.Find<QTimeEdit>("edtime")->setTime(C.To);
        F.Find<QLineEdit>("Edit1")->setText(QString::fromLatin1(C.Keywords));
        EXPECT_EQ(ListCaptions(), C.Shown);
        EXPECT_TRUE(Prompts.Messages.isEmpty());
    }
}

TEST_F(EntriesTest, FromAtOrAfterToIsRefusedWithTheBoundJustChangedMoved) {
    TMainFormTestPeer &F = MakeWithEntries();
    const QString Text = QStringLiteral("Die Startzeit ist größer oder gleich der Endzeit");
    F.Action("acFilter")->trigger();
    F.Find<QCheckBox>("CheckBox1")->setChecked(true);
    F.Find<QCheckBox>("CheckBox2")->setChecked(true);
    ASSERT_TRUE(Prompts.Messages.isEmpty());

    // Equal counts: "von" gives way to one second before "bis".
    F.Find<QTimeEdit>("sdtime")->setTime(QTime(23, 59, 59));
    EXPECT_EQ(Prompts.Messages, QStringList{Text});
    EXPECT_EQ(F.Find<QTimeEdit>("sdtime")->time(), QTime(23, 59, 58));
    EXPECT_EQ(F.Doc().Filter.FromDate, EncodeDateTime(2024, 3, 4, 23, 59, 58));

    // A later date: back to the day of "bis".
    F.Find<QDateEdit>("sddate")->setDate(QDate(2024, 3, 6));
    EXPECT_EQ(Prompts.Messages.size(), 2);
    EXPECT_EQ(F.Find<QDateEdit>("sddate")->date(), QDate(2024, 3, 4));
    EXPECT_EQ(F.Find<QTimeEdit>("sdtime")->time(), QTime(23, 59, 58));

    // "bis" before "von": "bis" moves to one second after "von", across midnight here.
    F.Find<QTimeEdit>("sdtime")->setTime(QTime(12, 0, 0));
    F.Find<QTimeEdit>("edtime")->setTime(QTime(23, 59, 59));
    ASSERT_EQ(Prompts.Messages.size(), 2);
    F.Find<QDateEdit>("eddate")->setDate(QDate(2024, 3, 3));
    EXPECT_EQ(Prompts.Messages.size(), 3);
    EXPECT_EQ(F.Find<QDateEdit>("eddate")->date(), QDate(2024, 3, 4));
    EXPECT_EQ(F.Find<QTimeEdit>("edtime")->time(), QTime(12, 0, 1));
    EXPECT_EQ(F.Doc().Filter.ToDate, EncodeDateTime(2024, 3, 4, 12, 0, 1));

    // Neither the keyword box nor a check box corrects anything.
    F.Find<QCheckBox>("CheckBox2")->setChecked(false);
    F.Find<QTimeEdit>("edtime")->setTime(QTime(1, 0, 0));
    F.Find<QCheckBox>("CheckBox2")->setChecked(true);
    F.Find<QLineEdit>("Edit1")->setText(QStringLiteral("x"));
    EXPECT_EQ(Prompts.Messages.size(), 3);
    EXPECT_EQ(F.Find<QTimeEdit>("edtime")->time(), QTime(1, 0, 0));
}

// The panel's pickers show what every window's pickers show, and a click into a part of the
// date or time selects it for the digits typed next; each change filters at once.
TEST_F(EntriesTest, FilterPickersShowTheRegionalDateAndTakeDigitsWhereClicked) {
    TMainFormTestPeer &F = MakeWithEntries();
    QApplication::setActiveWindow(&F.Window());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&F.Window()));
    F.Action("acFilter")->trigger();
    F.Find<QCheckBox>("CheckBox1")->setChecked(true);
    F.Find<QCheckBox>("CheckBox2")->setChecked(true);
    EXPECT_EQ(F.Find<QDateEdit>("sddate")->text(), QStringLiteral("Mo., 04.03.2024"));
    EXPECT_EQ(F.Find<QTimeEdit>("sdtime")->text(), QStringLiteral("00:00:00"));
    EXPECT_EQ(F.Find<QDateEdit>("eddate")->text(), QStringLiteral("Mo., 04.03.2024"));

    ClickAndType(F.Find<QDateEdit>("eddate"), 5, QStringLiteral("05"));
    EXPECT_EQ(F.Find<QDateEdit>("eddate")->text(), QStringLiteral("Di., 05.03.2024"));
    ClickAndType(F.Find<QTimeEdit>("sdtime"), 0, QStringLiteral("09"));
    EXPECT_EQ(F.Find<QTimeEdit>("sdtime")->time(), QTime(9, 0, 0));
    EXPECT_EQ(F.Doc().Filter.FromDate, At(9, 0, 0));
    EXPECT_EQ(F.Doc().Filter.ToDate, EncodeDateTime(2024, 3, 5, 23, 59, 59));
    EXPECT_EQ(F.ListView1()->Count(), 2);
    EXPECT_TRUE(Prompts.Messages.isEmpty());
}

// The header's close button says what it does, and its cross stands out from the header.
TEST_F(EntriesTest, FilterCloseButtonIsNamedAndItsCrossContrastsWithTheHeader) {
    TMainFormTestPeer &F = MakeWithEntries();
    F.Action("acFilter")->trigger();
    EXPECT_EQ(F.Find<QToolButton>("SpeedButton1")->toolTip(), QStringLiteral("Filter schließen"));
    const QColor Header = F.Find<QLabel>("Panel9")->palette().color(QPalette::Highlight);
    const QImage Shot = F.Find<QLabel>("Panel9")->grab().toImage();
    const QPoint Centre = F.Find<QToolButton>("SpeedButton1")->geometry().center();
    EXPECT_EQ(
        Shot.pixelColor(F.Find<QToolButton>("SpeedButton1")->geometry().topLeft() + QPoint(1, 7)),
        Header);
    // Relative luminance contrast of the cross's middle against the header, at least 3:1.
    auto Luminance = [](const QColor &C) {
        auto Channel = [](double V) {
            return V <= 0.03928 ? V / 12.92 : std::pow((V + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * Channel(C.redF()) + 0.7152 * Channel(C.greenF()) +
               0.0722 * Channel(C.blueF());
    };
    const double A = Luminance(Shot.pixelColor(Centre)), B = Luminance(Header);
    EXPECT_GE((std::max(A, B) + 0.05) / (std::min(A, B) + 0.05), 3.0)
        << Shot.pixelColor(Centre).name().toStdString() << " on " << Header.name().toStdString();
}

// --- row menu -------------------------------------------------------------------------------

TEST_F(EntriesTest, RowMenuEnablesItsItemsByTheSelection) {
    struct Case {
        const char *Name;
        std::initializer_list<int> Rows;
        bool Edit, Delete, Melt;
    };
    // Row 0 is the sub-project, rows 1 to 3 the entries.
    const Case Cases[] = {
        {"nothing selected", {}, false, false, false},
        {"one entry", {1}, true, true, false},
        {"one sub-project", {0}, false, true, false},
        {"two entries", {1, 2}, false, true, true},
        {"sub-project and entry", {0, 1}, false, true, true},
    };
    TMainFormTestPeer &F = MakeWithEntries();
    Root->AddProject("Unter");
    F.Views().RebuildViews(true);
    ASSERT_EQ(ListCaptions().first(), QStringLiteral("Unter"));
    for (const Case &C : Cases) {
        SCOPED_TRACE(C.Name);
        SelectRows(C.Rows);
        OpenRowMenu();
        EXPECT_EQ(F.Entries().PopupList(), F.ListView1());
        EXPECT_TRUE(F.Action("acNewTimePopup")->isVisible());
        EXPECT_TRUE(F.Action("acNewTimePopup")->isEnabled());
        EXPECT_EQ(F.Action("acEditTimePopup")->isEnabled(), C.Edit);
        EXPECT_EQ(F.Action("acRenTimePopup")->isEnabled(), C.Edit);
        EXPECT_EQ(F.Action("acSplitPopup")->isEnabled(), C.Edit);
        EXPECT_EQ(F.Action("acDelTimePopup")->isEnabled(), C.Delete);
        EXPECT_EQ(F.Action("acMeltPopup")->isEnabled(), C.Melt);
        // The main menu's commands follow the same rules.
        EXPECT_EQ(F.Action("acEditTime")->isEnabled(), C.Edit);
        EXPECT_EQ(F.Action("acSplit")->isEnabled(), C.Edit);
        EXPECT_EQ(F.Action("acDelTime")->isEnabled(), C.Delete);
        EXPECT_EQ(F.Action("acMelt")->isEnabled(), C.Melt);
    }
}

TEST_F(EntriesTest, RowMenuCommandsLeaveARowThatIsGoneAlone) {
    TMainFormTestPeer &F = MakeWithEntries();
    SelectRows({1});
    OpenRowMenu();
    ASSERT_NE(F.Entries().PopupRow(), nullptr);
    // A refill removes every row; the menu's row goes with them.
    F.Views().FillEntryList();
    EXPECT_EQ(F.Entries().PopupRow(), nullptr);
    F.Action("acEditTimePopup")->trigger();
    F.Action("acRenTimePopup")->trigger();
    EXPECT_TRUE(EntryDialogs.Requests.empty());
}

// --- new, edit, split -----------------------------------------------------------------------

TEST_F(EntriesTest, NewEntryAddsWhatTheDialogReturnsToTheShownProject) {
    TMainFormTestPeer &F = MakeWithEntries();
    F.Doc().AddFieldDef("Kunde", ftString);
    TCKProjectItem *Sub = Root->AddProject("Unter");
    F.Views().RebuildViews(true);
    ShowProject(Sub);
    tCKEditItem Made = Span(13, 0, 0, 14, 30, 0, "neu");
    Made.Fields = {{"Kunde", "Acme"}};
    EntryDialogs.Answers = {{false, {}, 0}, {true, Made, 0}};

    F.Action("acNewTime")->trigger(); // cancelled
    EXPECT_EQ(F.ListView1()->Count(), 0);
    F.Action("acNewTimePopup")->trigger();
    ASSERT_EQ(EntryDialogs.Requests.size(), 2u);
    EXPECT_EQ(EntryDialogs.Requests[1].Kind, QStringLiteral("new"));
    EXPECT_EQ(EntryDialogs.Requests[1].Data, tCKEditItem());
    EXPECT_EQ(EntryDialogs.Requests[1].FieldDefs, F.Doc().FieldDefs);
    ASSERT_EQ(Sub->TimeItems().size(), 1u);
    EXPECT_EQ(Sub->TimeItems()[0]->GetData(), Made);
    EXPECT_EQ(ListCaptions(), QStringList{"neu"});
    EXPECT_EQ(F.Find<QLabel>("StatusPanel1")->text(),
              QStringLiteral("Aktuelles Project: 1 Std, 30 Min, 0 Sek"));
    EXPECT_TRUE(F.Doc().Modified);
}

TEST_F(EntriesTest, EditPassesTheEntryAndRefreshesItsRowEvenWhenCancelled) {
    TMainFormTestPeer &F = MakeWithEntries();
    TCKTimeItem *Entry = EntryAt(1);
    RecordingListener Heard(F.Doc());
    // Changed behind the list's back: a cancelled dialog still shows the document's state.
    Entry->Comment = "still shown";
    EntryDialogs.Answers = {{false, {}, 0}};
    SelectRows({1});
    F.Action("acEditTime")->trigger();
    ASSERT_EQ(EntryDialogs.Requests.size(), 1u);
    EXPECT_EQ(EntryDialogs.Requests[0].Kind, QStringLiteral("edit"));
    EXPECT_EQ(EntryDialogs.Requests[0].Data, Entry->GetData());
    EXPECT_EQ(F.ListView1()->Row(1)->text(0), QStringLiteral("still shown"));
    EXPECT_TRUE(Heard.Events.empty()) << "a cancelled dialog changes nothing";

    // OK: the entry takes the record; its row moves to its new place.
    tCKEditItem Edited = Span(12, 0, 0, 12, 0, 5, "spaet");
    EntryDialogs.Answers = {{true, Edited, 0}};
    SelectRows({1});
    OpenRowMenu();
    F.Action("acEditTimePopup")->trigger();
    EXPECT_EQ(Entry->GetData(), Edited);
    EXPECT_EQ(ListCaptions(), (QStringList{"Kunde Alpha", "meeting Beta", "spaet"}));
    EXPECT_EQ(F.ListView1()->Row(2)->text(3), QStringLiteral("00:00:05"));
    EXPECT_EQ(F.Find<QLabel>("StatusPanel0")->text(),
              QStringLiteral("Gesamt: 2 Std, 0 Min, 5 Sek"));
}

// Edits and splits refresh only the marks of the entries sharing time with the changed one:
// after each random change every row must show what a full recomputation shows. Crowded
// rounds pass the window's limit of looked-up entries and take the full pass instead.
TEST_F(EntriesTest, OverlapMarksFollowRandomEditsAndSplits) {
    TMainFormTestPeer &F = MakeStarted();
    Root = F.Doc().Root.get();
    // Entries of a sub-project share time with the shown ones but have no rows.
    TCKProjectItem *Hidden = Root->AddProject("verborgen");
    std::mt19937 Rng(17);
    const auto RandomSpan = [&Rng](int Window) {
        tCKEditItem E;
        E.StartTime = AddSeconds(At(8, 0, 0), int64_t(Rng() % Window) * 60);
        E.EndTime = AddSeconds(E.StartTime, int64_t(1 + Rng() % 90) * 60);
        E.Comment = "e";
        return E;
    };
    // Sparse: marks come and go; crowded: everything overlaps, past the lookup limit.
    for (const auto &[Count, Window] : {std::pair{12, 500}, std::pair{80, 30}}) {
        Root->DeleteChildren();
        Hidden = Root->AddProject("verborgen");
        for (int i = 0; i < Count; ++i)
            (i % 8 == 0 ? Hidden : Root)->AddTime(RandomSpan(Window));
        F.Views().RebuildViews(true);
        for (int Round = 0; Round < 60; ++Round) {
            const int Row = 1 + int(Rng() % unsigned(F.ListView1()->Count() - 1));
            TCKTimeItem *Entry = EntryAt(Row);
            ASSERT_NE(Entry, nullptr);
            SelectRows({Row});
            if (Round % 4 == 3) {
                const TDateTime Mid = (Entry->StartTime + Entry->EndTime) / 2;
                EntryDialogs.Answers = {{true, {}, Mid}};
                F.Action("acSplit")->trigger();
            } else {
                EntryDialogs.Answers = {{true, RandomSpan(Window), 0}};
                F.Action("acEditTime")->trigger();
            }
            ASSERT_TRUE(EntryDialogs.Answers.empty());
            for (int i = 0; i < F.ListView1()->Count(); ++i) {
                if (const TCKTimeItem *E = EntryAt(i)) {
                    ASSERT_EQ(F.ListView1()->ImageOf(i), EntryImage(E))
                        << "window " << Window << ", round " << Round << ", row " << i;
                }
            }
        }
    }
}

TEST_F(EntriesTest, SplitAddsTheSecondPartAndARefusedMomentChangesNothing) {
    TMainFormTestPeer &F = MakeWithEntries();
    TCKTimeItem *Entry = EntryAt(1);
    const tCKEditItem Before = Entry->GetData();
    EntryDialogs.Answers = {{true, {}, At(11, 0, 0)}, {false, {}, 0}, {true, {}, At(9, 20, 0)}};
    SelectRows({1});
    F.Action("acSplit")->trigger(); // outside the entry: refused by the document
    EXPECT_EQ(F.ListView1()->Count(), 3);
    EXPECT_EQ(Entry->EndTime, At(10, 0, 0));
    SelectRows({1});
    F.Action("acSplit")->trigger(); // cancelled
    EXPECT_EQ(F.ListView1()->Count(), 3);
    SelectRows({1});
    OpenRowMenu();
    F.Action("acSplitPopup")->trigger();
    ASSERT_EQ(EntryDialogs.Requests.size(), 3u);
    EXPECT_EQ(EntryDialogs.Requests[2].Kind, QStringLiteral("split"));
    EXPECT_EQ(EntryDialogs.Requests[2].Data, Before);
    EXPECT_EQ(Entry->EndTime, At(9, 20, 0));
    ASSERT_EQ(F.ListView1()->Count(), 4);
    EXPECT_EQ(ListCaptions(), (QStringList{"Kunde Alpha", "intern", "intern", "meeting Beta"}));
    EXPECT_EQ(EntryAt(1), Entry);
    EXPECT_EQ(EntryAt(2)->StartTime, At(9, 20, 0));
    EXPECT_EQ(EntryAt(2)->EndTime, At(10, 0, 0));
    EXPECT_EQ(F.ListView1()->Row(1)->text(3), QStringLiteral("00:20:00"));
}

// --- delete ---------------------------------------------------------------------------------

TEST_F(EntriesTest, DeleteAsksForOneOrSeveralRows) {
    struct Case {
        const char *Name;
        std::initializer_list<int> Rows;
        TPromptAnswer Answer;
        const char *Question;
        QStringList Left;
    };
    const Case Cases[] = {
        {"one row, no",
         {1},
         TPromptAnswer::No,
         "Soll der Eintrag gelöscht werden?",
         {"Kunde Alpha", "intern", "meeting Beta"}},
        {"one row, yes",
         {1},
         TPromptAnswer::Yes,
         "Soll der Eintrag gelöscht werden?",
         {"Kunde Alpha", "meeting Beta"}},
        {"three rows, no",
         {0, 1, 2},
         TPromptAnswer::No,
         "Sollen die Einträge gelöscht werden?",
         {"Kunde Alpha", "intern", "meeting Beta"}},
        {"three rows, yes",
         {0, 1, 2},
         TPromptAnswer::Yes,
         "Sollen die Einträge gelöscht werden?",
         {}},
    };
    for (const Case &C : Cases) {
        SCOPED_TRACE(C.Name);
        TMainFormTestPeer &F = MakeWithEntries();
        Prompts.Questions.clear();
        Prompts.Answers = {C.Answer};
        SelectRows(C.Rows);
        F.Action("acDelTime")->trigger();
        EXPECT_EQ(Prompts.Questions, QStringList{QString::fromUtf8(C.Question)});
        EXPECT_EQ(ListCaptions(), C.Left);
        EXPECT_EQ(Root->TimeItems().size(), size_t(C.Left.size()));
    }
}

TEST_F(EntriesTest, DeletingASubProjectRowTakesItsNodeAndForgetsItsItems) {
    TMainFormTestPeer &F = MakeWithEntries();
    TCKProjectItem *Sub = Root->AddProject("Unter");
    TCKProjectItem *Deeper = Sub->AddProject("Tiefer");
    Deeper->AddTime(Span(14, 0, 0, 15, 0, 0, "tief"));
    F.Doc().DefaultProject = Deeper;
    F.Views().RebuildViews(true);
    ASSERT_NE(F.TreeView1()->FindProjectNode(Deeper), nullptr);
    // Cut first: the cut list must not keep the deleted entry.
    SelectRows({0, 1});
    F.Action("acCut")->trigger();
    ASSERT_EQ(F.Entries().CutItems().size(), 2u);
    RecordingListener Heard(F.Doc());
    Prompts.Answers = {TPromptAnswer::Yes};
    SelectRows({0});
    OpenRowMenu();
    F.Action("acDelTimePopup")->trigger();
    // A project row takes its entries with it: the tree's question.
    EXPECT_EQ(Prompts.Questions,
              QStringList{"Soll das Projekt inkl. aller Einträge gelöscht werden?"});
    EXPECT_EQ(F.TreeView1()->FindProjectNode(Sub), nullptr);
    EXPECT_EQ(F.TreeView1()->FindProjectNode(Deeper), nullptr);
    EXPECT_EQ(F.TreeView1()->TopNode()->childCount(), 0);
    EXPECT_EQ(F.Entries().CutItems(), TCKList{EntryAt(0)});
    EXPECT_EQ(F.Doc().DefaultProject, Root);
    EXPECT_EQ(ListCaptions(), (QStringList{"Kunde Alpha", "intern", "meeting Beta"}));
    EXPECT_EQ(F.Find<QLabel>("StatusPanel0")->text(),
              QStringLiteral("Gesamt: 3 Std, 0 Min, 0 Sek"));
    // One removal for the whole subtree; the default project went with it.
    EXPECT_EQ(Heard.Kinds(), (std::vector<std::string>{"ItemsRemoved", "DefaultProjectChanged"}));
    EXPECT_TRUE(F.Doc().CheckInvariants());
}

// --- merge ----------------------------------------------------------------------------------

TEST_F(EntriesTest, MergeJoinsTouchingEntriesOnly) {
    struct Case {
        const char *Name;
        tCKEditItem First, Second;
        QStringList Rows;
    };
    const Case Cases[] = {
        {"touching", Span(9, 0, 0, 10, 0, 0, "a"), Span(10, 0, 0, 11, 0, 0, "b"), {"a & b"}},
        {"overlapping", Span(9, 0, 0, 10, 30, 0, "a"), Span(10, 0, 0, 11, 0, 0, "b"), {"a & b"}},
        {"one second apart",
         Span(9, 0, 0, 10, 0, 0, "a"),
         Span(10, 0, 1, 11, 0, 0, "b"),
         {"a", "b"}},
    };
    for (const Case &C : Cases) {
        SCOPED_TRACE(C.Name);
        TMainFormTestPeer &F = MakeStarted();
        TCKProjectItem *R = F.Doc().Root.get();
        // Added latest first: the list's start-time order decides who absorbs whom.
        R->AddTime(C.Second);
        R->AddTime(C.First);
        F.Views().RebuildViews(true);
        SelectRows({0, 1});
        F.Action("acCut")->trigger();
        SelectRows({0, 1});
        F.Action("acMelt")->trigger();
        EXPECT_EQ(ListCaptions(), C.Rows);
        EXPECT_EQ(F.Entries().CutItems().size(), size_t(C.Rows.size()));
        if (C.Rows.size() == 1) {
            EXPECT_EQ(EntryAt(0)->StartTime, C.First.StartTime);
            EXPECT_EQ(EntryAt(0)->EndTime, C.Second.EndTime);
        }
        EXPECT_TRUE(F.Doc().CheckInvariants());
    }
}

TEST_F(EntriesTest, MergeOfASubProjectRowAndEntriesTreatsOnlyTheEntries) {
    TMainFormTestPeer &F = MakeStarted();
    Root = F.Doc().Root.get();
    TCKProjectItem *Sub = Root->AddProject("Unter");
    Root->AddTime(Span(9, 0, 0, 10, 0, 0, "a"));
    Root->AddTime(Span(10, 0, 0, 11, 0, 0, "b"));
    F.Views().RebuildViews(true);
    SelectRows({0, 1, 2});
    OpenRowMenu();
    F.Action("acMeltPopup")->trigger();
    EXPECT_EQ(ListCaptions(), (QStringList{"Unter", "a & b"}));
    EXPECT_EQ(Root->FirstChild, Sub);
    EXPECT_NE(F.TreeView1()->FindProjectNode(Sub), nullptr);
}

// --- new sub-project ------------------------------------------------------------------------

TEST_F(EntriesTest, NewProjectFromTheRowMenuAddsNodeAndRowAndEditsIt) {
    TMainFormTestPeer &F = MakeWithEntries();
    TCKProjectItem *Sub = Root->AddProject("Unter");
    F.Views().RebuildViews(true);
    ShowProject(Sub);
    F.Action("acNewProjectLV")->trigger();
    ASSERT_NE(Sub->FirstChild, nullptr);
    TCKProjectItem *Made = Sub->FirstChild->AsProject();
    ASSERT_NE(Made, nullptr);
    EXPECT_EQ(Made->Caption, "Neues Projekt");
    QTreeWidgetItem *Node = F.TreeView1()->FindProjectNode(Made);
    ASSERT_NE(Node, nullptr);
    EXPECT_EQ(Node->parent(), F.TreeView1()->FindProjectNode(Sub));
    EXPECT_EQ(ListCaptions(), QStringList{"Neues Projekt"});
    EXPECT_EQ(F.ListView1()->ImageOf(0), int(imgFolder));
    EXPECT_TRUE(F.ListView1()->IsEditing());
}
