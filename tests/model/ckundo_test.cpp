// The undo history: step names, the saved state, its bounds, and what forgets it.
#include "model/ckfile.h"
#include "model/ckm.h"
#include "filebytes.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TDateTime T(int h, int m = 0) {
    return EncodeDateTime(2007, 3, 5, h, m, 0);
}

tCKEditItem Edit(TDateTime start, TDateTime end, std::string comment = {}) {
    return {start, end, std::move(comment), {}};
}

class UndoTest : public ::testing::Test {
protected:
    void SetUp() override {
        Man.OnMessage = [](TMessageKind, const std::string &) {};
        A = Man.Root->AddProject("A");
        B = Man.Root->AddProject("B");
        a1 = A->AddTime(Edit(T(9), T(10), "a1"));
        a2 = A->AddTime(Edit(T(11), T(12), "a2"));
        b1 = B->AddTime(Edit(T(14), T(15), "b1"));
        Man.SetSaved(true);
        Changes.clear();
    }
    void TearDown() override {
        std::string why;
        EXPECT_TRUE(Man.CheckInvariants(&why)) << why;
    }
    const TCKUndoHistory &History() const { return Man.UndoHistory(); }

    std::vector<bool> Changes;
    TChronarkMan Man{[this](bool Modified) { Changes.push_back(Modified); }};
    TCKProjectItem *A, *B;
    TCKTimeItem *a1, *a2, *b1;
};

TEST_F(UndoTest, EveryCommandNamesItsStep) {
    const auto name = [this] { return History().UndoName(); };
    Man.AddEntry(A, Edit(T(16), T(17)));
    EXPECT_EQ(name(), "Neue Zeit");
    Man.RecordInterval(T(18), T(19));
    EXPECT_EQ(name(), "Messung");
    Man.SetEntryData(a1, Edit(T(9), T(10), "neu"));
    EXPECT_EQ(name(), "Zeit bearbeiten");
    Man.SplitEntry(a1, T(9, 30));
    EXPECT_EQ(name(), "Zeit aufteilen");
    Man.MeltEntries({a1, A->LastChild}); // the second part touches the first
    EXPECT_EQ(name(), "Zeiten verschmelzen");
    TCKProjectItem *c = Man.NewProject(A, "C");
    EXPECT_EQ(name(), "Projekt anlegen");
    Man.RenameProject(c, "D");
    EXPECT_EQ(name(), "Projekt umbenennen");
    Man.MoveItems({b1}, c);
    EXPECT_EQ(name(), "Verschieben");
    Man.SetDefaultProject(c);
    EXPECT_EQ(name(), "Standardprojekt");
    Man.SetFieldDefs({{"x", ftString}}, {});
    EXPECT_EQ(name(), "Dokumenteinstellungen");
    Man.DeleteItems({a2});
    EXPECT_EQ(name(), "Eintrag l\xF6schen");
    Man.DeleteItems({c});
    EXPECT_EQ(name(), "Projekt l\xF6schen");
    TCKTimeItem *e = Man.AddEntry(B, Edit(T(20), T(21)));
    Man.DeleteItems({A, e});
    EXPECT_EQ(name(), "L\xF6schen");
    EXPECT_EQ(History().UndoCount(), 14u);
    EXPECT_EQ(History().RedoName(), "");
    ASSERT_TRUE(Man.Undo());
    EXPECT_EQ(History().RedoName(), "L\xF6schen");
    EXPECT_EQ(name(), "Neue Zeit");
}

TEST_F(UndoTest, RefusedCommandsRecordNothing) {
    EXPECT_FALSE(Man.SetEntryData(a1, a1->GetData()));
    EXPECT_FALSE(Man.SplitEntry(a1, T(8)));
    EXPECT_FALSE(Man.MeltEntries({a1, b1})); // apart
    EXPECT_FALSE(Man.MoveItems({A}, A));     // into itself
    EXPECT_FALSE(Man.RenameProject(A, "A"));
    EXPECT_FALSE(Man.SetDefaultProject(Man.Root.get()));
    EXPECT_FALSE(Man.SetFieldDefs(Man.FieldDefs, {}));
    EXPECT_FALSE(Man.DeleteItems({Man.Root.get()}));
    EXPECT_FALSE(Man.Undo());
    EXPECT_FALSE(Man.Redo());
    EXPECT_FALSE(History().CanUndo());
    EXPECT_FALSE(Man.Modified);
}

TEST_F(UndoTest, UndoingADeletePutsTheSameNodesBackWhereTheyWere) {
    TCKProjectItem *sub = A->AddProject("Sub");
    TCKTimeItem *s1 = sub->AddTime(Edit(T(20), T(21)));
    ASSERT_TRUE(Man.SetDefaultProject(sub));
    const std::string before = DocumentText(Man);
    // a1 goes with A, the first of the root's children.
    ASSERT_TRUE(Man.DeleteItems({a1, A}));
    EXPECT_EQ(Man.DefaultProject, Man.Root.get());
    EXPECT_EQ(Man.Root->FirstChild, B);
    EXPECT_EQ(History().Weight(), 3u); // A's entries, held by the step
    ASSERT_TRUE(Man.Undo());
    EXPECT_EQ(DocumentText(Man), before);
    EXPECT_EQ(Man.Root->FirstChild, A);
    EXPECT_EQ(A->FirstChild, a1);
    EXPECT_EQ(s1->Parent, sub);
    EXPECT_EQ(Man.DefaultProject, sub);
    // A later step's pointers stay valid: the edit of the restored entry undoes and redoes.
    ASSERT_TRUE(Man.SetEntryData(s1, Edit(T(20), T(22))));
    ASSERT_TRUE(Man.Undo());
    EXPECT_EQ(s1->EndTime, T(21));
    ASSERT_TRUE(Man.Redo());
    EXPECT_EQ(s1->EndTime, T(22));
}

TEST_F(UndoTest, ANewCommandForgetsWhatWasUndone) {
    ASSERT_TRUE(Man.DeleteItems({A}));
    ASSERT_TRUE(Man.AddEntry(B, Edit(T(16), T(17))));
    ASSERT_TRUE(Man.Undo());
    ASSERT_TRUE(Man.Undo());
    EXPECT_EQ(History().RedoCount(), 2u);
    // The undone entry lives in its step; the new command frees it with the step.
    ASSERT_TRUE(Man.RenameProject(B, "B2"));
    EXPECT_EQ(History().RedoCount(), 0u);
    EXPECT_EQ(History().UndoCount(), 1u);
    EXPECT_EQ(History().Weight(), 0u);
    EXPECT_FALSE(Man.Redo());
}

TEST_F(UndoTest, TheModifiedMarkFollowsTheSavedState) {
    ASSERT_TRUE(Man.RenameProject(A, "A1"));
    ASSERT_TRUE(Man.RenameProject(A, "A2"));
    EXPECT_TRUE(Man.Modified);
    ASSERT_TRUE(Man.Undo());
    ASSERT_TRUE(Man.Undo());
    EXPECT_FALSE(Man.Modified);
    EXPECT_FALSE(Changes.back());
    ASSERT_TRUE(Man.Redo());
    EXPECT_TRUE(Man.Modified);
    EXPECT_TRUE(Changes.back());
    // Saved in between: that state is the unmodified one now, on both sides.
    Man.SetSaved(true);
    ASSERT_TRUE(Man.Undo());
    EXPECT_TRUE(Man.Modified);
    ASSERT_TRUE(Man.Redo());
    EXPECT_FALSE(Man.Modified);
    EXPECT_FALSE(Changes.back());
    // A saved state among the steps a new command forgets is out of reach; the one before
    // it was given up by the save.
    ASSERT_TRUE(Man.Undo());
    ASSERT_TRUE(Man.RenameProject(A, "A3"));
    ASSERT_TRUE(Man.Undo());
    EXPECT_EQ(A->Caption, "A");
    EXPECT_TRUE(Man.Modified);
    EXPECT_FALSE(Man.Undo());
}

TEST_F(UndoTest, TheHistoryKeepsTheNewestThousandSteps) {
    for (size_t i = 0; i < TCKUndoHistory::MaxSteps + 5; ++i)
        ASSERT_TRUE(Man.RenameProject(A, "A" + std::to_string(i)));
    EXPECT_EQ(History().UndoCount(), TCKUndoHistory::MaxSteps);
    while (Man.Undo()) {
    }
    // The saved state went with the oldest steps.
    EXPECT_EQ(A->Caption, "A4");
    EXPECT_TRUE(Man.Modified);
}

// A step that holds Held entries and counts how often it ran.
class FakeStep : public TCKUndoStep {
public:
    FakeStep(size_t AHeld, int &AFreed) : TCKUndoStep("Fake"), Held(AHeld), Freed(AFreed) {}
    ~FakeStep() override { ++Freed; }
    void Undo(TChronarkMan &) override {}
    void Redo(TChronarkMan &) override {}
    size_t Weight() const override { return Held; }

private:
    size_t Held;
    int &Freed;
};

TEST(UndoHistoryTest, StepsHoldingTooManyEntriesDropTheOldestButNeverTheNewest) {
    TCKUndoHistory history;
    int freed = 0;
    const size_t half = TCKUndoHistory::MaxWeight / 2;
    history.Record(std::make_unique<FakeStep>(half, freed));
    history.Record(std::make_unique<FakeStep>(half, freed));
    EXPECT_EQ(history.UndoCount(), 2u);
    EXPECT_EQ(freed, 0);
    history.Record(std::make_unique<FakeStep>(1, freed));
    EXPECT_EQ(history.UndoCount(), 2u);
    EXPECT_EQ(history.Weight(), half + 1);
    EXPECT_EQ(freed, 1);
    // One step beyond the bound by itself stays: the change just made can be taken back.
    history.Record(std::make_unique<FakeStep>(TCKUndoHistory::MaxWeight + 1, freed));
    EXPECT_EQ(history.UndoCount(), 1u);
    EXPECT_EQ(freed, 3);
    EXPECT_NE(history.TakeUndo(), nullptr);
    // Undone steps go when a new one comes, the bound counts only what stays.
    history.Record(std::make_unique<FakeStep>(5, freed));
    EXPECT_EQ(freed, 4);
    EXPECT_EQ(history.Weight(), 5u);
    EXPECT_FALSE(history.CanRedo());
}

TEST_F(UndoTest, RenamedFieldsTakeTheirValuesBack) {
    Man.AddFieldDef("a", ftString);
    Man.AddFieldDef("b", ftString);
    a1->Fields = {{"a", "1"}, {"b", "2"}};
    // Swapped names: every value must find its own id again.
    ASSERT_TRUE(Man.SetFieldDefs({{"b", ftString}, {"a", ftInteger}}, {{"a", "b"}, {"b", "a"}}));
    EXPECT_EQ(a1->Fields, (tFieldList{{"b", "1"}, {"a", "2"}}));
    ASSERT_TRUE(Man.Undo());
    EXPECT_EQ(a1->Fields, (tFieldList{{"a", "1"}, {"b", "2"}}));
    EXPECT_EQ(Man.FieldDefs, (tFieldDefList{{"a", ftString}, {"b", ftString}}));
    EXPECT_EQ(Man.FieldDefType("a"), ftString);
    ASSERT_TRUE(Man.Redo());
    EXPECT_EQ(a1->Fields, (tFieldList{{"b", "1"}, {"a", "2"}}));
    EXPECT_EQ(Man.FieldDefType("a"), ftInteger);
}

TEST_F(UndoTest, NewAndOpenForgetTheHistoryARefusedLoadKeepsIt) {
    const auto dir = std::filesystem::path(::testing::TempDir());
    const std::string good = (dir / "undo_open.ckx").string();
    const std::string bad = (dir / "undo_bad.ckx").string();
    WriteFile(good, DocumentText(Man));
    WriteFile(bad, "<ckx><data><broken");
    ASSERT_TRUE(Man.RenameProject(A, "A1"));
    // The open document is untouched by a load that fails: its steps still fit it.
    EXPECT_FALSE(Man.LoadFromFile(bad, false));
    EXPECT_EQ(History().UndoCount(), 1u);
    EXPECT_FALSE(Man.LoadFromFile(bad, true));
    EXPECT_EQ(History().UndoCount(), 1u);
    // An import is a step of its own.
    ASSERT_TRUE(Man.LoadFromFile(good, true));
    EXPECT_EQ(History().UndoName(), "Importieren");
    TCKItem *imported = Man.Root->LastChild;
    ASSERT_TRUE(Man.Undo());
    EXPECT_NE(Man.Root->LastChild, imported);
    ASSERT_TRUE(Man.Redo());
    EXPECT_EQ(Man.Root->LastChild, imported);
    ASSERT_TRUE(Man.LoadFromFile(good, false));
    EXPECT_FALSE(History().CanUndo());
    EXPECT_FALSE(Man.Modified);
    ASSERT_TRUE(Man.RenameProject(Man.Root->FirstChild->AsProject(), "X"));
    Man.NewDocument();
    EXPECT_FALSE(History().CanUndo());
    EXPECT_FALSE(History().CanRedo());
}

} // namespace
