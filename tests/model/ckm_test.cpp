#include "base/dates.h"
#include "base/fieldtype.h"
#include "base/formatsettings.h"
#include "base/numbers.h"
#include "model/ckm.h"
#include "memory_views.h"

#include <gtest/gtest.h>

namespace {

TDateTime T(int h, int m = 0, int s = 0, int day = 5) {
    return EncodeDateTime(2007, 3, day, h, m, s);
}

tCKEditItem Edit(TDateTime start, TDateTime end, std::string comment = {}, tFieldList fields = {}) {
    return {start, end, std::move(comment), std::move(fields)};
}

// Segments as "hh:mm-hh:mm{n}" with n = number of entries, for compact expectations.
std::string Segments(const TChronarkMan &m) {
    std::string out;
    for (const TCKReducedTimeItem *s = m.ReducedTime->First; s; s = s->Next) {
        int y, mo, d, h1, mi1, s1, ms, h2, mi2, s2;
        DecodeDateTime(s->StartTime, y, mo, d, h1, mi1, s1, ms);
        DecodeDateTime(s->EndTime, y, mo, d, h2, mi2, s2, ms);
        if (!out.empty())
            out += " ";
        out += PadNum(h1, 2, '0') + ":" + PadNum(mi1, 2, '0') + "-" + PadNum(h2, 2, '0') + ":" +
               PadNum(mi2, 2, '0') + "{" + std::to_string(s->Items.size()) + "}";
    }
    return out;
}

class ModelTest : public ::testing::Test {
protected:
    void SetUp() override { SetFormatSettings(GermanFormatSettings()); }
    void TearDown() override {
        std::string why;
        EXPECT_TRUE(Man.CheckInvariants(&why)) << why;
    }
    int Changes = 0;
    TChronarkMan Man{[this](bool) { ++Changes; }};
    TCKProjectItem &Root = *Man.Root;
};

TEST_F(ModelTest, SegmentsFollowAddsAndDeletes) {
    TCKTimeItem *a = Root.AddTime(Edit(T(9), T(10)));
    TCKTimeItem *b = Root.AddTime(Edit(T(11), T(12)));
    EXPECT_EQ(Segments(Man), "09:00-10:00{1} 10:00-11:00{0} 11:00-12:00{1}");
    EXPECT_EQ(Man.NetTimeText(nullptr), "2 Std, 0 Min, 0 Sek");

    TCKTimeItem *c = Root.AddTime(Edit(T(10, 15), T(10, 45)));
    EXPECT_EQ(Segments(Man), "09:00-10:00{1} 10:00-10:15{0} 10:15-10:45{1} 10:45-11:00{0} "
                             "11:00-12:00{1}");
    c->Delete();
    EXPECT_EQ(Segments(Man), "09:00-10:00{1} 10:00-11:00{0} 11:00-12:00{1}");
    b->Delete();
    EXPECT_EQ(Segments(Man), "09:00-10:00{1}");
    a->Delete();
    EXPECT_EQ(Segments(Man), "");
}

TEST_F(ModelTest, OverlapsAreMarkedAndCountedOnce) {
    TCKTimeItem *a = Root.AddTime(Edit(T(9), T(11)));
    TCKTimeItem *b = Root.AddTime(Edit(T(10), T(12)));
    EXPECT_EQ(Segments(Man), "09:00-10:00{1} 10:00-11:00{2} 11:00-12:00{1}");
    EXPECT_FALSE(a->IsOverlapFree());
    EXPECT_FALSE(b->IsOverlapFree());
    EXPECT_EQ(Man.NetTimeText(nullptr), "3 Std, 0 Min, 0 Sek");

    // Touching is no overlap.
    b->SetData(Edit(T(11), T(12)));
    EXPECT_EQ(Segments(Man), "09:00-11:00{1} 11:00-12:00{1}");
    EXPECT_TRUE(a->IsOverlapFree());
    EXPECT_TRUE(b->IsOverlapFree());
}

TEST_F(ModelTest, AddTimeTruncatesAndLengthensEmptyIntervals) {
    const TDateTime noon = T(12);
    TCKTimeItem *e = Root.AddTime(Edit(noon + 0.9 / SecsPerDay, noon + 0.95 / SecsPerDay));
    EXPECT_EQ(e->StartTime, noon);
    EXPECT_EQ(e->EndTime, T(12, 0, 1)); // started and stopped in one second: one second long
    EXPECT_EQ(Man.LastAdded, e);
    EXPECT_TRUE(Man.Modified);

    // Reversed times (a clock set back during a measurement) never reach the segment list
    // with a negative length.
    TCKTimeItem *r = Root.AddTime(Edit(T(14), T(13)));
    EXPECT_EQ(r->StartTime, T(13));
    EXPECT_EQ(r->EndTime, T(14));
    r->SetData(Edit(T(15), T(15)));
    EXPECT_LT(r->StartTime, r->EndTime);
}

TEST_F(ModelTest, SplitKeepsBothPartsTouchingAndAppendsTheSecond) {
    TCKProjectItem *p = Root.AddProject("P");
    TCKTimeItem *a = p->AddTime(Edit(T(9), T(12), "arbeit", {{"Kunde", "Meier"}}));
    TCKTimeItem *later = p->AddTime(Edit(T(14), T(15)));
    EXPECT_FALSE(a->SplitAt(T(9)));
    EXPECT_FALSE(a->SplitAt(T(12)));
    EXPECT_FALSE(a->SplitAt(T(13)));
    ASSERT_TRUE(a->SplitAt(T(10, 30)));
    auto *second = static_cast<TCKTimeItem *>(p->LastChild);
    EXPECT_NE(second, later);
    EXPECT_EQ(later->Next, second);
    EXPECT_EQ(a->EndTime, T(10, 30));
    EXPECT_EQ(second->StartTime, T(10, 30));
    EXPECT_EQ(second->EndTime, T(12));
    EXPECT_EQ(second->Comment, "arbeit");
    EXPECT_EQ(second->Fields, a->Fields);
    EXPECT_TRUE(a->IsOverlapFree());
    EXPECT_TRUE(second->IsOverlapFree());
}

TEST_F(ModelTest, MovingProjectsKeepsSubtreesAndRefusesCycles) {
    TCKProjectItem *a = Root.AddProject("A");
    TCKProjectItem *b = a->AddProject("B");
    TCKTimeItem *e = b->AddTime(Edit(T(9), T(10)));
    TCKProjectItem *c = Root.AddProject("C");

    EXPECT_FALSE(a->MoveTo(b)); // into its own descendant
    EXPECT_FALSE(a->MoveTo(a)); // into itself
    EXPECT_EQ(a->Parent, &Root);

    ASSERT_TRUE(a->MoveTo(c));
    EXPECT_EQ(a->Parent, c);
    EXPECT_EQ(e->GetPath(), "C\\A\\B");
    EXPECT_TRUE(e->InSegments());
    EXPECT_EQ(Segments(Man), "09:00-10:00{1}");

    ASSERT_TRUE(e->MoveTo(c));
    EXPECT_EQ(c->LastChild, e);
    EXPECT_EQ(Segments(Man), "09:00-10:00{1}");
    EXPECT_EQ(Root.GetPath(), "");
    EXPECT_EQ(c->GetPath(), "C");
    TCKTimeItem *rootEntry = Root.AddTime(Edit(T(11), T(12)));
    EXPECT_EQ(rootEntry->GetPath(), "");
}

struct DefaultMoveCase {
    const char *name;
    bool moveParent; // move the project above the default instead of the default itself
    bool toOtherDocument;
};

// Within one document the default project stays chosen wherever it goes; leaving for another
// document, it (and LastAdded inside the moved subtree) must not stay named by this one.
TEST_F(ModelTest, MovingKeepsTheDefaultProjectWithinTheDocument) {
    const DefaultMoveCase cases[] = {
        {"default project moved", false, false},
        {"project above the default moved", true, false},
        {"default project moved to another document", false, true},
        {"project above the default moved to another document", true, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Man.Clear();
        TChronarkMan other;
        TCKProjectItem *a = Root.AddProject("A");
        TCKProjectItem *b = a->AddProject("B");
        TCKTimeItem *last = b->AddTime(Edit(T(9), T(10)));
        TCKProjectItem *target = c.toOtherDocument ? other.Root.get() : Root.AddProject("C");
        Man.DefaultProject = b;
        Man.LastAdded = last;
        TCKProjectItem *moved = c.moveParent ? a : b;

        ASSERT_TRUE(moved->MoveTo(target));
        EXPECT_EQ(moved->Parent, target);
        std::string why;
        EXPECT_TRUE(Man.CheckInvariants(&why)) << why;
        EXPECT_TRUE(other.CheckInvariants(&why)) << why;
        if (c.toOtherDocument) {
            EXPECT_EQ(Man.DefaultProject, &Root);
            EXPECT_EQ(Man.LastAdded, nullptr);
            EXPECT_EQ(other.DefaultProject, other.Root.get());
            EXPECT_EQ(other.LastAdded, moved);
        } else {
            EXPECT_EQ(Man.DefaultProject, b);
            EXPECT_EQ(Man.LastAdded, moved); // the move adds the node to its new project
            EXPECT_EQ(Man.DefaultProject->AddTime(Edit(T(11), T(12)))->Parent, b);
        }
    }
}

TEST_F(ModelTest, DeletingClearsLastAddedAndDefaultProject) {
    TCKProjectItem *a = Root.AddProject("A");
    TCKProjectItem *b = a->AddProject("B");
    b->AddTime(Edit(T(9), T(10)));
    TCKTimeItem *last = b->AddTime(Edit(T(9, 30), T(11)));
    Man.DefaultProject = b;
    EXPECT_EQ(Man.LastAdded, last);
    a->Delete();
    EXPECT_EQ(Man.LastAdded, nullptr);
    EXPECT_EQ(Man.DefaultProject, &Root);
    EXPECT_EQ(Root.FirstChild, nullptr);
    EXPECT_EQ(Man.ReducedTime->First, nullptr);
}

TEST_F(ModelTest, ClearEmptiesTheDocumentAndResetsTheDefault) {
    Man.AddFieldDef("Kunde", ftString);
    TCKProjectItem *p = Root.AddProject("P");
    p->AddTime(Edit(T(9), T(10)));
    Man.DefaultProject = p;
    Man.FilterActive = true;
    Man.SetSaved(true);
    Changes = 0;
    Man.Clear();
    EXPECT_TRUE(Man.FieldDefs.empty());
    EXPECT_EQ(Man.DefaultProject, &Root);
    EXPECT_EQ(Root.FirstChild, nullptr);
    EXPECT_TRUE(Man.FilterActive);
    EXPECT_TRUE(Man.Modified);
    EXPECT_GE(Changes, 1);
    EXPECT_EQ(Man.DefaultProject->AddTime(Edit(T(9), T(10)))->Parent, &Root);
}

// Clearing drops the segment list in one go; what is left must be a clean, reusable list.
TEST_F(ModelTest, ClearingOverlappingEntriesLeavesAReusableSegmentList) {
    TCKProjectItem *p = Root.AddProject("P");
    for (int i = 0; i < 40; ++i)
        p->AddTime(Edit(T(8, i), T(12, i)));
    Root.AddTime(Edit(T(13), T(14)));
    ASSERT_GT(Man.ReducedTime->SegmentCount(), 40u);
    Man.Clear();
    EXPECT_EQ(Man.ReducedTime->SegmentCount(), 0u);
    EXPECT_EQ(Segments(Man), "");
    std::string why;
    EXPECT_TRUE(Man.CheckInvariants(&why)) << why;

    Root.AddTime(Edit(T(9), T(10)));
    TCKTimeItem *b = Root.AddTime(Edit(T(9, 30), T(11)));
    EXPECT_EQ(Segments(Man), "09:00-09:30{1} 09:30-10:00{2} 10:00-11:00{1}");
    b->Delete();
    EXPECT_EQ(Man.NetTimeText(nullptr), "1 Std, 0 Min, 0 Sek");
}

// A project's entries go with it into the other document's segment list and leave this one's;
// a project built outside any document brings its entries in when added.
TEST_F(ModelTest, ProjectsMovedBetweenDocumentsTakeTheirSegmentsAlong) {
    TChronarkMan other;
    other.Root->AddTime(Edit(T(8), T(9)));
    TCKProjectItem *p = Root.AddProject("P");
    p->AddTime(Edit(T(9), T(10)));
    p->AddProject("Sub")->AddTime(Edit(T(9, 30), T(11)));
    Root.AddTime(Edit(T(12), T(13)));

    ASSERT_TRUE(p->MoveTo(other.Root.get()));
    EXPECT_EQ(Segments(Man), "12:00-13:00{1}");
    EXPECT_EQ(Segments(other), "08:00-09:00{1} 09:00-09:30{1} 09:30-10:00{2} 10:00-11:00{1}");
    EXPECT_EQ(other.NetTimeText(nullptr), "3 Std, 0 Min, 0 Sek");
    std::string why;
    EXPECT_TRUE(other.CheckInvariants(&why)) << why;
    p->Delete();
    EXPECT_EQ(Segments(other), "08:00-09:00{1}");

    auto *aside = new TCKProjectItem("Aside");
    aside->AddTime(Edit(T(14), T(15)));
    Root.Add(aside);
    EXPECT_EQ(Segments(Man), "12:00-13:00{1} 13:00-14:00{0} 14:00-15:00{1}");
    EXPECT_TRUE(other.CheckInvariants(&why)) << why;
}

TEST_F(ModelTest, TakingChildrenOfADetachedProjectEntersOnlyTheNewEntries) {
    TCKProjectItem *target = Root.AddProject("Ziel");
    target->AddTime(Edit(T(8), T(9), "alt"));
    TCKProjectItem aside; // outside the document: no segment list
    aside.AddTime(Edit(T(9), T(10), "a"));
    aside.AddProject("Sub")->AddTime(Edit(T(9, 30), T(11), "b"));
    target->TakeChildrenOf(aside);
    EXPECT_EQ(aside.FirstChild, nullptr);
    EXPECT_EQ(Segments(Man), "08:00-09:00{1} 09:00-09:30{1} 09:30-10:00{2} 10:00-11:00{1}");
    EXPECT_EQ(target->LastChild->AsProject()->Caption, "Sub");
    EXPECT_EQ(target->LastChild->AsProject()->FirstChild->AsTime()->Manager, &Man);
}

TEST_F(ModelTest, DeepTreesAreBuiltWalkedAndFreedWithoutRecursion) {
    TCKProjectItem *p = &Root;
    for (int i = 0; i < 200000; ++i)
        p = p->AddProject("x");
    p->AddTime(Edit(T(9), T(10)));
    EXPECT_EQ(Man.AllEntries().size(), 1u);
    EXPECT_EQ(p->GetPath().size(), 200000u * 2 - 1);
    MemoryTreeView tree;
    Man.FillProjectTree(tree);
    EXPECT_EQ(tree.Nodes.size(), 200001u);
    static_cast<TCKProjectItem *>(Root.FirstChild)->Delete();
    EXPECT_EQ(Root.FirstChild, nullptr);
}

TEST_F(ModelTest, FieldDefinitionsIgnoreCaseOnlyForAtoZ) {
    Man.AddFieldDef("id1", ftString);
    Man.AddFieldDef("ID2", ftBoolean);
    EXPECT_EQ(Man.UniqueFieldId("id"), "id3");
    EXPECT_EQ(Man.FieldDefType("Id2"), ftBoolean);
    EXPECT_EQ(Man.FieldDefType("none"), ftString);
    Man.AddFieldDef("Öl", ftInteger);
    EXPECT_FALSE(Man.FieldDefExists("öl"));

    EXPECT_TRUE(Man.CheckFieldValues("unused", ftInteger));
    TCKTimeItem *e = Root.AddTime(Edit(T(9), T(10), "", {{"ID2", "yes"}, {"ID2", "true"}}));
    EXPECT_TRUE(Man.FieldUsed("ID2"));
    EXPECT_FALSE(Man.FieldUsed("id2"));                   // values are looked up exactly
    EXPECT_FALSE(Man.CheckFieldValues("ID2", ftBoolean)); // first value decides
    Man.RenameField("ID2", "abgerechnet");
    EXPECT_EQ(e->Fields[0].Id, "abgerechnet");
    EXPECT_EQ(e->Fields[1].Id, "ID2");
}

TEST_F(ModelTest, MeltJoinsTimesCommentsAndFields) {
    TCKTimeItem *a = Root.AddTime(Edit(T(9), T(10), "a", {{"k", "1"}, {"x", "X"}}));
    TCKTimeItem *b = Root.AddTime(Edit(T(10), T(11), "b", {{"k", "1"}, {"y", "Y"}}));
    TCKTimeItem *gap = Root.AddTime(Edit(T(11, 0, 1), T(12)));
    EXPECT_FALSE(Man.Melt(a, a));
    ASSERT_TRUE(Man.Melt(a, b));
    EXPECT_EQ(a->StartTime, T(9));
    EXPECT_EQ(a->EndTime, T(11));
    EXPECT_EQ(a->Comment, "a & b");
    EXPECT_EQ(a->Fields, (tFieldList{{"k", "1 & 1"}, {"x", "X"}, {"y", "Y"}}));
    EXPECT_FALSE(Man.Melt(a, gap)); // one second apart: not touching

    struct CommentCase {
        const char *a, *b, *joined;
    };
    for (const CommentCase &c :
         {CommentCase{"a", "a", "a"}, CommentCase{"", "b", "b"}, CommentCase{"a", "", "a"}}) {
        TCKTimeItem *x = Root.AddTime(Edit(T(13), T(14), c.a));
        TCKTimeItem *y = Root.AddTime(Edit(T(13, 30), T(15), c.b));
        ASSERT_TRUE(Man.Melt(x, y));
        EXPECT_EQ(x->Comment, c.joined) << c.a << "+" << c.b;
        x->Delete();
    }
}

TEST_F(ModelTest, MeltNeverJoinsTypedFieldsIntoInvalidValues) {
    Man.AddFieldDef("abrechenbar", ftBoolean);
    Man.AddFieldDef("Anzahl", ftInteger);
    std::vector<std::string> errors;
    Man.OnMessage = [&errors](TMessageKind, const std::string &Text) { errors.push_back(Text); };
    // Equal values stay as they are, a value only one entry has is kept; text still joins.
    TCKTimeItem *a = Root.AddTime(
        Edit(T(9), T(10), "", {{"abrechenbar", "true"}, {"Anzahl", ""}, {"Notiz", "n"}}));
    TCKTimeItem *b = Root.AddTime(
        Edit(T(9, 30), T(11), "", {{"abrechenbar", "true"}, {"Anzahl", "3"}, {"Notiz", "n"}}));
    ASSERT_TRUE(Man.Melt(a, b));
    EXPECT_EQ(a->Fields,
              (tFieldList{{"abrechenbar", "true"}, {"Anzahl", "3"}, {"Notiz", "n & n"}}));
    EXPECT_TRUE(errors.empty());

    // Two different values refuse the merge, leave both entries whole and name the field.
    TCKTimeItem *c = Root.AddTime(Edit(T(10, 30), T(12), "", {{"Anzahl", "4"}}));
    EXPECT_FALSE(Man.Melt(a, c));
    EXPECT_EQ(a->EndTime, T(11));
    EXPECT_EQ(c->Fields, (tFieldList{{"Anzahl", "4"}}));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Die Eintr\xE4ge k\xF6nnen nicht verschmolzen werden: Das Feld \x84"
                         "Anzahl\x93 hat verschiedene Werte.");

    // MeltAll merges what it may and reports the refusal once.
    TCKTimeItem *d = Root.AddTime(Edit(T(11, 30), T(13), "", {{"Anzahl", "4"}}));
    Man.MeltAll({a, c, d});
    EXPECT_EQ(Man.AllEntries(), (TCKTimeItemList{a, c}));
    EXPECT_EQ(errors.size(), 2u);
    std::string why;
    EXPECT_TRUE(Man.CheckInvariants(&why)) << why;
}

TEST_F(ModelTest, MeltAllJoinsInArrayOrder) {
    TCKTimeItem *a = Root.AddTime(Edit(T(9), T(11), "a"));
    TCKTimeItem *b = Root.AddTime(Edit(T(10), T(12), "b"));
    TCKTimeItem *c = Root.AddTime(Edit(T(9, 30), T(13), "c"));
    TCKTimeItem *far = Root.AddTime(Edit(T(15), T(16), "far"));
    Man.MeltAll({c, a, b, far});
    EXPECT_EQ(Man.AllEntries(), (TCKTimeItemList{c, far}));
    EXPECT_EQ(c->Comment, "c & a & b");
    EXPECT_EQ(c->StartTime, T(9));
    EXPECT_EQ(c->EndTime, T(13));
}

TEST_F(ModelTest, NetTimeHonoursProjectFilterAndCarries) {
    TCKProjectItem *p = Root.AddProject("P");
    TCKProjectItem *sub = p->AddProject("Sub");
    TCKProjectItem *q = Root.AddProject("Q");
    p->AddTime(Edit(T(9), T(10), "Besprechung"));
    q->AddTime(Edit(T(9, 30), T(11), "Code"));
    sub->AddTime(Edit(T(12), T(13)));
    int32_t h, m, s;
    Man.NetTimeHMS(p, h, m, s); // both segments of 9-10 count, nothing of Sub
    EXPECT_EQ(std::make_tuple(h, m, s), std::make_tuple(1, 0, 0));
    Man.NetTimeHMS(q, h, m, s);
    EXPECT_EQ(std::make_tuple(h, m, s), std::make_tuple(1, 30, 0));
    Man.NetTimeOfProjects({p, sub}, h, m, s);
    EXPECT_EQ(std::make_tuple(h, m, s), std::make_tuple(2, 0, 0));

    Man.Filter.Keywords = {"CODE"};
    Man.FilterActive = true;
    // Segment 9:30-10 has both entries; the filter is met by Q's entry, so it counts for P too.
    Man.NetTimeHMS(p, h, m, s);
    EXPECT_EQ(std::make_tuple(h, m, s), std::make_tuple(0, 30, 0));
    Man.FilterActive = false;

    TChronarkMan many;
    for (int i = 0; i < 100; ++i)
        many.Root->AddTime(
            Edit(T(0, 0, 0, 1) + i / 24.0, T(0, 0, 0, 1) + i / 24.0 + 59 / SecsPerDay));
    many.NetTimeHMS(nullptr, h, m, s); // 100 x 59 s = 5900 s
    EXPECT_EQ(std::make_tuple(h, m, s), std::make_tuple(1, 38, 20));
}

TEST_F(ModelTest, FilterBoundsAreStrictAndKeywordsSearchCommentAndFields) {
    TCKTimeItem *e = Root.AddTime(Edit(T(9), T(10), "Besprechung Meier", {{"Ort", "Köln"}}));
    tFilterItem f;
    f.UseFromDate = true;
    f.FromDate = T(10);
    EXPECT_FALSE(e->MatchesFilter(f, true));
    EXPECT_TRUE(e->MatchesFilter(f, false));
    f.FromDate = T(9, 59, 59);
    EXPECT_TRUE(e->MatchesFilter(f, true));
    f.UseToDate = true;
    f.ToDate = T(9);
    EXPECT_FALSE(e->MatchesFilter(f, true));
    f = {};
    f.Keywords = {"", "KÖLN"};
    EXPECT_FALSE(e->MatchesFilter(f, true)); // Ö is not folded, and "" matches nothing
    f.Keywords = {"xyz", "Köln"};
    EXPECT_TRUE(e->MatchesFilter(f, true));
    f.Keywords = {"MEIER"};
    EXPECT_TRUE(e->MatchesFilter(f, true));
    EXPECT_TRUE(e->MatchesSearch(f, "Kunden\\Meier"));
    EXPECT_FALSE(e->MatchesSearch(f, "Intern"));
}

// The tree view keeps what it is given: the document hands each level over in caption order,
// whatever order the projects were added in and with entries between them.
TEST_F(ModelTest, TheProjectTreeGetsEveryLevelInCaptionOrder) {
    const std::string sharpS = std::string("Stra\xDF") + "e"; // "ß" counts as "ss"
    TCKProjectItem *zulu = Root.AddProject("Zulu");
    Root.AddTime(Edit(T(8), T(9), "between"));
    Root.AddProject("\xC4rger");
    Root.AddProject("beta");
    Root.AddProject("Arger");
    Root.AddProject("Alpha");
    zulu->AddProject("z2");
    zulu->AddTime(Edit(T(9), T(10), "between"));
    TCKProjectItem *z1 = zulu->AddProject("Z1");
    zulu->AddProject("a");
    z1->AddProject(sharpS);
    z1->AddProject("Strasse");
    z1->AddProject("Strasbourg");
    MemoryTreeView tree;
    Man.FillProjectTree(tree);
    const std::string below = "(a,Z1(Strasbourg,Strasse," + sharpS + "),z2)";
    EXPECT_EQ(tree.Outline(), "Alpha,Arger,\xC4rger,beta,Zulu" + below);
    // Every node is its project's, below its parent's node.
    for (size_t i = 1; i < tree.Nodes.size(); ++i)
        for (int child : tree.Nodes[i].Children)
            EXPECT_EQ(tree.Nodes[size_t(child)].Data->Parent, tree.Nodes[i].Data);

    // A renamed project moves to its new place at the next fill.
    zulu->Caption = "Aal";
    Man.FillProjectTree(tree);
    EXPECT_EQ(tree.Outline(), "Aal" + below + ",Alpha,Arger,\xC4rger,beta");
}

TEST_F(ModelTest, ViewsAreFilledWithRowsImagesAndSorting) {
    TCKProjectItem *b = Root.AddProject("Beta");
    TCKProjectItem *a = Root.AddProject("Alpha");
    a->AddProject("Zeta");
    a->AddProject("Eta");
    MemoryTreeView tree;
    Man.FillProjectTree(tree);
    EXPECT_EQ(tree.Outline(), "Alpha(Eta,Zeta),Beta");
    EXPECT_TRUE(tree.Nodes[0].Expanded);
    EXPECT_EQ(tree.Nodes[1].Image, 14);
    EXPECT_EQ(tree.Nodes[1].Selected, 13);

    TCKTimeItem *x = b->AddTime(Edit(T(9), T(10, 30), "x"));
    TCKTimeItem *y = b->AddTime(Edit(T(10), T(11), "y"));
    b->AddProject("Sub");
    MemoryListView list;
    b->FillListView(list);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_TRUE(list.Sorted);
    EXPECT_EQ(list.Rows[0].SubItems,
              (TStringArray{"05.03.2007 09:00:00", "05.03.2007 10:30:00", "01:30:00"}));
    EXPECT_EQ(list.Rows[0].Image, 19);
    EXPECT_EQ(list.Rows[2].Caption, "Sub");
    EXPECT_EQ(list.Rows[2].Image, 14);

    Man.Filter.Keywords = {"y"};
    Man.FilterActive = true;
    b->FillListView(list);
    EXPECT_EQ(list.Captions(), (std::vector<std::string>{"y", "Sub"}));

    TCKTimeItem *z = b->AddTime(Edit(T(12), T(13), "zzz"));
    b->AddRows(list, {z}); // filtered out
    EXPECT_EQ(list.Count(), 2);
    z->Comment = "yes";
    a->AddRows(list, {z}); // not a child of a
    EXPECT_EQ(list.Count(), 2);
    b->AddRows(list, {z});
    EXPECT_EQ(list.Count(), 3);

    y->Comment = "changed";
    Man.RefreshListItem(list, 0); // no longer passes the filter: row goes
    EXPECT_EQ(list.Captions(), (std::vector<std::string>{"Sub", "yes"}));
    Man.FilterActive = false;

    b->FillListView(list);
    x->SetData(Edit(T(8), T(9), "x"));
    Man.UpdateOverlapImages(list);
    EXPECT_EQ(list.Rows[0].Image, 15);
    EXPECT_EQ(list.Rows[1].Image, 15);
}

TEST_F(ModelTest, SearchListShowsPathsAndDropsRemovedEntries) {
    TCKProjectItem *p = Root.AddProject("Kunden");
    TCKProjectItem *meier = p->AddProject("Meier");
    TCKTimeItem *a = meier->AddTime(Edit(T(9), T(10), "Angebot"));
    TCKTimeItem *b = Root.AddTime(Edit(T(11), T(12), "Intern"));
    tFilterItem f;
    MemoryListView list;
    Man.FillAllEntries(list, f);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Rows[0].SubItems.back(), "Kunden\\Meier");
    EXPECT_EQ(list.Rows[1].SubItems.back(), "");

    // The rows of removed nodes go by address, unread.
    list.DeleteRowsOf({b, p});
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Rows[0].Data, a);
    b->Delete();

    f.Keywords = {"meier"}; // found by path although the comment does not hold it
    Man.RefreshSearchList(list, f);
    EXPECT_EQ(list.Count(), 1);
    f.Keywords = {"nirgends"};
    TCKTimeItem *unlisted = Root.AddTime(Edit(T(13), T(14), "nirgends"));
    Man.RefreshSearchRows(list, f, {unlisted}); // not a row: nothing to check
    EXPECT_EQ(list.Count(), 1);
    Man.RefreshSearchRows(list, f, {a});
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(Man.Contains(a));
}

TEST(SearchOrderTest, PathBytesThenStartTime) {
    const TDateTime nine = T(9), ten = T(10);
    const struct {
        const char *Name;
        std::string PathA;
        TDateTime StartA;
        std::string PathB;
        TDateTime StartB;
        int Expected;
    } cases[] = {
        {"upper case before lower case", "Kunden", ten, "kunden", nine, -1},
        {"bytes above 127 after ASCII", "\xC4rzte", nine, "Zoo", nine, 1},
        {"a path before its sub-projects", "Kunden", ten, "Kunden\\Meier", nine, -1},
        {"the root's entries first", "", ten, "A", nine, -1},
        {"one project: earlier start first", "A", nine, "A", ten, -1},
        {"one project: later start after", "A", ten, "A", nine, 1},
        {"under a millisecond apart is equal", "A", nine, "A", nine + 0.4 / 86400000.0, 0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(CompareSearchRows(c.PathA, c.StartA, c.PathB, c.StartB), c.Expected) << c.Name;
        EXPECT_EQ(CompareSearchRows(c.PathB, c.StartB, c.PathA, c.StartA), -c.Expected) << c.Name;
    }
}

TEST_F(ModelTest, SearchFindsAlternativesOverAllProjectsInTreeOrder) {
    TCKProjectItem *kunden = Root.AddProject("Kunden");
    TCKProjectItem *meier = kunden->AddProject("Meier");
    Root.AddTime(Edit(T(8), T(9), "Rechnung intern"));
    TCKTimeItem *out = kunden->AddTime(Edit(T(9), T(10), "Angebot", {{"Kunde", "x"}}));
    kunden->AddTime(Edit(T(10), T(11), "Telefon", {{"Art", "KUNDE anrufen"}}));
    meier->AddTime(Edit(T(11), T(12), "\xD6l kaufen"));
    tFilterItem f;
    f.Keywords = {"kunde", "RECHNUNG", "\xF6l"};
    f.UseFromDate = true;
    f.FromDate = T(8, 30);
    MemoryListView list;
    Man.FillAllEntries(list, f);
    // Field ids are not searched; the small umlaut does not find the capital one. The root's
    // project comes before its entry, as it was added first.
    EXPECT_EQ(list.Captions(), (std::vector<std::string>{"Telefon", "Rechnung intern"}));
    f.Keywords = {"\xD6L"};
    list.Clear();
    Man.FillAllEntries(list, f);
    EXPECT_EQ(list.Captions(), std::vector<std::string>{"\xD6l kaufen"});
    // Out of range: the keywords do not bring it back.
    f.Keywords = {"angebot"};
    f.FromDate = T(10);
    EXPECT_FALSE(out->MatchesFilter(f, true));
}

TEST_F(ModelTest, KeywordFoundWhereverItStandsInTheText) {
    const struct {
        const char *Name;
        std::string Text;
        std::string Keyword;
        bool Found;
    } cases[] = {
        {"after a false start", "aaAB", "aab", true},
        {"at the very end", "Termin KundE", "kunde", true},
        {"the whole text", "KUNDE", "kunde", true},
        {"longer than the text", "Kund", "kunde", false},
        {"cut off at the end", "Termin Kund", "kunde", false},
        {"bytes above Z unfolded", "\xC4rger", "\xE4rger", false},
        {"the same bytes above Z", "\xC4rger", "\xC4RGER", true},
    };
    for (const auto &c : cases) {
        TCKTimeItem *e = Root.AddTime(Edit(T(9), T(10), c.Text, {{"Feld", "-"}}));
        TCKTimeItem *v = Root.AddTime(Edit(T(9), T(10), "-", {{"Feld", c.Text}}));
        tFilterItem f;
        f.Keywords = {"nirgends", c.Keyword};
        EXPECT_EQ(e->MatchesFilter(f, true), c.Found) << c.Name;
        EXPECT_EQ(v->MatchesFilter(f, true), c.Found) << c.Name << " (field value)";
        e->Delete();
        v->Delete();
    }
}

} // namespace
