// The manager's commands: each tells exactly its events, once, with what it changed; a refused
// command changes nothing and tells nothing.

#include "model/ckfieldsettings.h"
#include "model/ckm.h"
#include "memory_views.h"
#include "base/formatsettings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

using Kinds = std::vector<std::string>;

TDateTime T(int h, int m = 0) {
    return EncodeDateTime(2007, 3, 5, h, m, 0);
}

tCKEditItem Edit(TDateTime start, TDateTime end, std::string comment = {}) {
    return {start, end, std::move(comment), {}};
}

bool Has(const TCKConstTimeItems &Items, const TCKTimeItem *E) {
    return std::find(Items.begin(), Items.end(), E) != Items.end();
}

class EventsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetFormatSettings(GermanFormatSettings());
        Man.OnMessage = [this](TMessageKind, const std::string &Text) { Messages.push_back(Text); };
        A = Root.AddProject("A");
        B = Root.AddProject("B");
        Sub = A->AddProject("Sub");
        a1 = A->AddTime(Edit(T(9), T(10), "a1"));
        a2 = A->AddTime(Edit(T(9, 30), T(11), "a2"));
        s1 = Sub->AddTime(Edit(T(12), T(13), "s1"));
        b1 = B->AddTime(Edit(T(14), T(15), "b1"));
        Man.SetSaved(true);
    }
    void TearDown() override {
        std::string why;
        EXPECT_TRUE(Man.CheckInvariants(&why)) << why;
    }
    // Nothing was told, and the document was not marked modified.
    void ExpectRefused(const char *What) {
        EXPECT_TRUE(Heard.Events.empty()) << What;
        EXPECT_FALSE(Man.Modified) << What;
    }

    TChronarkMan Man;
    TCKProjectItem &Root = *Man.Root;
    RecordingListener Heard{Man};
    std::vector<std::string> Messages;
    TCKProjectItem *A, *B, *Sub;
    TCKTimeItem *a1, *a2, *s1, *b1;
};

TEST_F(EventsTest, AddingAndRecordingTellTheNewEntryAndItsTimeSharers) {
    TCKTimeItem *e = Man.AddEntry(B, Edit(T(14, 30), T(16), "neu"));
    ASSERT_NE(e, nullptr);
    ASSERT_EQ(Heard.Kinds(), Kinds{"EntriesAdded"});
    EXPECT_EQ(Heard.Last().Entries, TCKTimeItemList{e});
    EXPECT_TRUE(Heard.Last().Touched.Known);
    EXPECT_TRUE(Has(Heard.Last().Touched.Entries, b1));
    EXPECT_FALSE(Has(Heard.Last().Touched.Entries, a1));

    ASSERT_TRUE(Man.SetDefaultProject(Sub));
    Heard.Events.clear();
    TCKTimeItem *r = Man.RecordInterval(T(17), T(18));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->Parent, Sub);
    EXPECT_EQ(Heard.Kinds(), Kinds{"EntriesAdded"});
}

TEST_F(EventsTest, RefusedCommandsChangeAndTellNothing) {
    TCKProjectItem outside;
    TCKTimeItem *stray = outside.AddTime(Edit(T(9), T(10)));
    EXPECT_EQ(Man.AddEntry(&outside, Edit(T(9), T(10))), nullptr);
    ExpectRefused("add to a project outside the document");
    EXPECT_FALSE(Man.SetEntryData(a1, a1->GetData()));
    ExpectRefused("unchanged data");
    EXPECT_FALSE(Man.SetEntryData(stray, Edit(T(1), T(2))));
    ExpectRefused("data of an entry outside the document");
    EXPECT_FALSE(Man.SplitEntry(a1, T(11)));
    ExpectRefused("split outside the span");
    EXPECT_FALSE(Man.MeltEntries({a1, b1}));
    ExpectRefused("merge of entries apart");
    EXPECT_FALSE(Man.MeltEntries({a1}));
    ExpectRefused("merge of one entry");
    EXPECT_FALSE(Man.DeleteItems({&Root, stray}));
    ExpectRefused("delete of the root and of a node outside");
    EXPECT_FALSE(Man.MoveItems({A}, Sub));
    ExpectRefused("move into its own subtree");
    EXPECT_FALSE(Man.MoveItems({a1}, &outside));
    ExpectRefused("move to a project outside");
    EXPECT_FALSE(Man.RenameProject(A, "A"));
    EXPECT_FALSE(Man.RenameProject(&Root, "Wurzel"));
    ExpectRefused("rename to the same caption, rename of the root");
    EXPECT_FALSE(Man.SetDefaultProject(&Root));
    EXPECT_FALSE(Man.SetDefaultProject(&outside));
    ExpectRefused("the default project again, or one outside");
    EXPECT_FALSE(Man.SetFieldDefs(Man.FieldDefs, {}));
    ExpectRefused("the same field definitions");
    EXPECT_FALSE(Man.LoadFromFile("/nonexistent/dir/none.ckx", false));
    ExpectRefused("a file that cannot be read");
    TCKProjectItem *deep = &Root;
    for (int i = 0; i < MaxProjectDepth; ++i)
        deep = deep->AddProject("x");
    Man.SetSaved(true);
    EXPECT_EQ(Man.NewProject(deep, "zu tief"), nullptr);
    ExpectRefused("a project too deep");
    EXPECT_EQ(Messages.size(), 2u) << "the unreadable file and the depth say why";
}

TEST_F(EventsTest, EditAndSplitTellTheChangedEntryOnceWithOldAndNewSharers) {
    // a1 leaves a2 and meets s1: both must learn of it.
    ASSERT_TRUE(Man.SetEntryData(a1, Edit(T(12, 30), T(13, 30), "a1")));
    ASSERT_EQ(Heard.Kinds(), Kinds{"EntriesChanged"});
    EXPECT_EQ(Heard.Last().Entries, TCKTimeItemList{a1});
    EXPECT_TRUE(Has(Heard.Last().Touched.Entries, a2));
    EXPECT_TRUE(Has(Heard.Last().Touched.Entries, s1));
    EXPECT_TRUE(Man.Modified);

    Heard.Events.clear();
    ASSERT_TRUE(Man.SplitEntry(b1, T(14, 20)));
    ASSERT_EQ(Heard.Kinds(), (Kinds{"EntriesChanged", "EntriesAdded"}));
    EXPECT_EQ(Heard.Events[0].Entries, TCKTimeItemList{b1});
    ASSERT_EQ(Heard.Events[1].Entries.size(), 1u);
    TCKTimeItem *second = Heard.Events[1].Entries[0];
    EXPECT_EQ(second->Parent, B);
    EXPECT_EQ(CompareDateTime(second->StartTime, T(14, 20)), 0);
}

TEST_F(EventsTest, MergeTellsTheAbsorbedBeforeFreeingThemAndThenTheGrownEntry) {
    bool Consistent = false;
    Heard.WhileRemoving = [&](const TCKRemovedEvent &E) {
        // Out of the document already, not yet freed.
        Consistent = Man.CheckInvariants() && E.Items.size() == 1 && !Man.Contains(a2) &&
                     E.Items[0] == a2 && E.Items[0]->IsTime();
    };
    ASSERT_TRUE(Man.MeltEntries({a1, a2, b1, a2}));
    ASSERT_EQ(Heard.Kinds(), (Kinds{"ItemsRemoved", "EntriesChanged"}));
    EXPECT_TRUE(Consistent);
    EXPECT_TRUE(Heard.Events[0].Nodes.count(a2));
    EXPECT_EQ(Heard.Events[1].Entries, TCKTimeItemList{a1});
    EXPECT_FALSE(Has(Heard.Events[1].Touched.Entries, a2)) << "no freed entry is named";
    EXPECT_EQ(a1->Comment, "a1 & a2");
}

TEST_F(EventsTest, DeleteTellsEachItemOnceWithEverythingBelowIt) {
    ASSERT_TRUE(Man.SetDefaultProject(Sub));
    TCKTimeItem *late = B->AddTime(Edit(T(14, 30), T(16)));
    Heard.Events.clear();
    size_t Entries = 0;
    Heard.WhileRemoving = [&](const TCKRemovedEvent &) { Entries = Man.AllEntries().size(); };
    // s1 lies below A and goes with it; the root and A named twice count once.
    ASSERT_TRUE(Man.DeleteItems({s1, A, &Root, A, b1}));
    ASSERT_EQ(Heard.Kinds(), (Kinds{"ItemsRemoved", "DefaultProjectChanged"}));
    const auto &E = Heard.Events[0];
    EXPECT_EQ(E.Items, (TCKList{A, b1}));
    for (const TCKItem *N :
         {(TCKItem *)A, (TCKItem *)Sub, (TCKItem *)a1, (TCKItem *)a2, (TCKItem *)s1, (TCKItem *)b1})
        EXPECT_TRUE(E.Nodes.count(N));
    EXPECT_EQ(E.Nodes.size(), 6u);
    EXPECT_EQ(Entries, 1u) << "the document is consistent while it tells";
    EXPECT_TRUE(E.Touched.Known);
    EXPECT_EQ(E.Touched.Entries, TCKConstTimeItems{late});
    EXPECT_EQ(Man.DefaultProject, &Root);
    EXPECT_EQ(Root.FirstChild, B);

    // Deleted since: compared by address only, refused.
    const TCKList Gone = E.Items;
    Heard.Events.clear();
    EXPECT_FALSE(Man.DeleteItems(Gone));
    EXPECT_TRUE(Heard.Events.empty());
}

TEST_F(EventsTest, ManyDeletedEntriesAreOneEventWithoutNamedSharers) {
    TCKList Items;
    for (int i = 0; i < 20000; ++i)
        Items.push_back(B->AddTime(Edit(AddSeconds(T(0), i * 2), AddSeconds(T(0), i * 2 + 1))));
    MemoryListView Rows;
    B->FillListView(Rows);
    Heard.Events.clear();
    Heard.WhileRemoving = [&](const TCKRemovedEvent &E) { Rows.DeleteRowsOf(E.Nodes); };
    ASSERT_TRUE(Man.DeleteItems(Items));
    ASSERT_EQ(Heard.Kinds(), Kinds{"ItemsRemoved"});
    EXPECT_EQ(Heard.Last().Items.size(), Items.size());
    EXPECT_FALSE(Heard.Last().Touched.Known);
    ASSERT_EQ(Rows.Count(), 1);
    EXPECT_EQ(Rows.RowData(0), b1);
}

TEST_F(EventsTest, MovesRenamesProjectsDefaultAndFieldsTellTheirOwnEvent) {
    ASSERT_TRUE(Man.MoveItems({s1, a2, Sub}, B));
    ASSERT_EQ(Heard.Kinds(), Kinds{"ItemsMoved"});
    EXPECT_EQ(Heard.Last().Items, (TCKList{s1, a2, Sub}));
    EXPECT_EQ(Heard.Last().Project, B);
    EXPECT_EQ(s1->Parent, B);

    TCKProjectItem *P = Man.NewProject(B, "Neu");
    ASSERT_TRUE(Man.RenameProject(P, "Umbenannt"));
    ASSERT_TRUE(Man.SetDefaultProject(P));
    ASSERT_TRUE(Man.SetFieldDefs({{"Kunde", ftString}}, {}));
    EXPECT_EQ(Heard.Kinds(), (Kinds{"ItemsMoved", "ProjectAdded", "ProjectRenamed",
                                    "DefaultProjectChanged", "FieldDefsChanged"}));
    EXPECT_EQ(Heard.Events[1].Project, P);
    EXPECT_EQ(Heard.Events[2].Project, P);
    EXPECT_EQ(P->Caption, "Umbenannt");
    EXPECT_TRUE(Man.FieldDefExists("kunde"));
}

TEST_F(EventsTest, DocumentSettingsGoThroughTheCommands) {
    TFieldSettings Settings(Man);
    Settings.DefaultProject = B;
    Settings.Add();
    EXPECT_TRUE(Settings.Apply(Man));
    EXPECT_EQ(Heard.Kinds(), (Kinds{"DefaultProjectChanged", "FieldDefsChanged"}));
    EXPECT_TRUE(Man.Modified);
    Heard.Events.clear();
    EXPECT_FALSE(TFieldSettings(Man).Apply(Man));
    EXPECT_TRUE(Heard.Events.empty());
}

TEST_F(EventsTest, NewLoadAndImportReplaceTheDocument) {
    const std::filesystem::path File = std::filesystem::temp_directory_path() /
                                       ("chronark-events-" + std::to_string(::getpid()) + ".ckx");
    ASSERT_TRUE(Man.SaveToFile(File.string()));
    EXPECT_TRUE(Heard.Events.empty()) << "a save changes nothing";
    ASSERT_TRUE(Man.LoadFromFile(File.string(), true));
    ASSERT_TRUE(Man.LoadFromFile(File.string(), false));
    Man.NewDocument();
    std::filesystem::remove(File);
    ASSERT_EQ(Heard.Kinds(), (Kinds{"DocumentReplaced", "DocumentReplaced", "DocumentReplaced"}));
    EXPECT_TRUE(Heard.Events[0].Imported);
    EXPECT_FALSE(Heard.Events[1].Imported);
    EXPECT_FALSE(Heard.Events[2].Imported);
    EXPECT_EQ(Root.FirstChild, nullptr);
    EXPECT_FALSE(Man.Modified);
}

// A listener that goes while the others are told: the one gone hears nothing more, one
// subscribed meanwhile hears from the next event on.
TEST_F(EventsTest, ListenersMayComeAndGoWhileTheyAreTold) {
    auto Second = std::make_unique<RecordingListener>(Man);
    std::unique_ptr<RecordingListener> Third;
    Heard.WhileRemoving = [&](const TCKRemovedEvent &) {
        Second.reset();
        Third = std::make_unique<RecordingListener>(Man);
    };
    ASSERT_TRUE(Man.DeleteItems({b1}));
    ASSERT_TRUE(Third);
    EXPECT_TRUE(Third->Events.empty());
    Heard.WhileRemoving = {};
    ASSERT_TRUE(Man.RenameProject(B, "B2"));
    EXPECT_EQ(Third->Kinds(), Kinds{"ProjectRenamed"});
    EXPECT_EQ(Heard.Kinds(), (Kinds{"ItemsRemoved", "ProjectRenamed"}));
}

TEST_F(EventsTest, CrossedFilterBoundsGiveWayToTheOneJustSet) {
    tFilterItem F;
    F.UseFromDate = F.UseToDate = true;
    F.FromDate = T(12);
    F.ToDate = T(10);
    using Bound = TChronarkMan::TFilterBound;
    EXPECT_TRUE(Man.SetFilter(F, true, Bound::From));
    EXPECT_EQ(CompareDateTime(Man.Filter.FromDate, AddSeconds(T(10), -1)), 0);
    EXPECT_TRUE(Man.SetFilter(F, true, Bound::To));
    EXPECT_EQ(CompareDateTime(Man.Filter.ToDate, AddSeconds(T(12), 1)), 0);
    EXPECT_FALSE(Man.SetFilter(F, true, Bound::None)) << "a box ticked corrects nothing";
    F.UseToDate = false;
    EXPECT_FALSE(Man.SetFilter(F, false, Bound::From));
    EXPECT_FALSE(Man.FilterActive);
    EXPECT_EQ(CompareDateTime(Man.Filter.FromDate, T(12)), 0);
    EXPECT_TRUE(Heard.Events.empty()) << "the filter is no part of the document";
    EXPECT_FALSE(Man.Modified);
}

} // namespace
