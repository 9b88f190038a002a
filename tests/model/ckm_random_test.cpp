// Long random sequences of document operations, each step checked against a brute-force
// recomputation of the segment list, overlap marks and net times from all entries.
#include "base/dates.h"
#include "base/durations.h"
#include "base/fieldtype.h"
#include "model/ckm.h"
#include "random_document.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

namespace {

struct ExpectedSegment {
    TDateTime Start, End;
    std::set<const TCKTimeItem *> Entries;
};

std::vector<ExpectedSegment> BruteSegments(const TCKTimeItemList &Entries) {
    std::set<TDateTime> cuts;
    for (const TCKTimeItem *e : Entries) {
        cuts.insert(e->StartTime);
        cuts.insert(e->EndTime);
    }
    std::vector<ExpectedSegment> out;
    for (auto it = cuts.begin(); it != cuts.end() && std::next(it) != cuts.end(); ++it) {
        ExpectedSegment s{*it, *std::next(it), {}};
        for (const TCKTimeItem *e : Entries)
            if (e->StartTime <= s.Start && e->EndTime >= s.End)
                s.Entries.insert(e);
        out.push_back(s);
    }
    return out;
}

std::tuple<int, int, int> BruteNetTime(const std::vector<ExpectedSegment> &Segments,
                                       const TCKProjectItem *Project, const tFilterItem &Filter,
                                       bool Active) {
    int64_t h = 0, m = 0, s = 0;
    for (const ExpectedSegment &seg : Segments) {
        if (seg.Entries.empty())
            continue;
        bool inProject = !Project, passes = false;
        for (const TCKTimeItem *e : seg.Entries) {
            inProject = inProject || e->Parent == Project;
            passes = passes || e->MatchesFilter(Filter, Active);
        }
        if (!inProject || !passes)
            continue;
        int32_t sh, sm, ss;
        DurationHMS(seg.End, seg.Start, sh, sm, ss);
        h += sh;
        m += sm;
        s += ss;
    }
    m += s / 60;
    s %= 60;
    h += m / 60;
    m %= 60;
    return {static_cast<int>(h), static_cast<int>(m), static_cast<int>(s)};
}

class RandomModel : public RandomDocument {
public:
    explicit RandomModel(unsigned Seed) : RandomDocument(Seed) {}

    // The project measurements go to: chosen now and then, kept by moves, back to the root
    // when it or a project above it is deleted.
    TCKProjectItem *Default = Man.Root.get();

    std::string Step() {
        const auto projects = Projects();
        const TCKTimeItemList entries = Man.AllEntries();
        TCKProjectItem *project = projects[Pick(static_cast<int>(projects.size()))];
        TCKTimeItem *entry =
            entries.empty() ? nullptr : entries[Pick(static_cast<int>(entries.size()))];
        switch (Pick(12)) {
        case 0:
        case 1:
        case 2:
            project->AddTime(RandomData());
            return "add";
        case 3:
            project->AddProject("P" + std::to_string(Pick(100)));
            return "add project";
        case 4:
            if (entry)
                entry->SetData(RandomData());
            return "set data";
        case 5:
            if (entry)
                entry->SplitAt(Time(Pick(48)));
            return "split";
        case 6:
            if (entry)
                entry->MoveTo(project);
            return "move entry";
        case 7: {
            TCKProjectItem *other = projects[Pick(static_cast<int>(projects.size()))];
            if (other != Man.Root.get()) {
                const bool refused = project->IsInSubtreeOf(other);
                EXPECT_EQ(other->MoveTo(project), !refused);
            }
            return "move project";
        }
        case 8:
            if (entries.size() >= 2) {
                if (Pick(2))
                    Man.Melt(entries[Pick(static_cast<int>(entries.size()))], entry);
                else
                    Man.MeltAll(project->TimeItems());
            }
            return "melt";
        case 9:
            if (entry)
                entry->Delete();
            return "delete entry";
        case 10:
            if (project != Man.Root.get() && Pick(3) == 0) {
                if (Default->IsInSubtreeOf(project))
                    Default = Man.Root.get();
                project->Delete();
            }
            return "delete project";
        default:
            Man.DefaultProject = Default = project;
            return "choose default project";
        }
    }

    void Verify(const std::string &What) {
        std::string why;
        ASSERT_TRUE(Man.CheckInvariants(&why)) << What << ": " << why;
        ASSERT_EQ(Man.DefaultProject, Default) << What;
        const TCKTimeItemList entries = Man.AllEntries();
        const auto expected = BruteSegments(entries);
        size_t i = 0;
        for (const TCKReducedTimeItem *s = Man.ReducedTime->First; s; s = s->Next, ++i) {
            ASSERT_LT(i, expected.size()) << What << ": too many segments";
            EXPECT_EQ(s->StartTime, expected[i].Start) << What;
            EXPECT_EQ(s->EndTime, expected[i].End) << What;
            EXPECT_EQ(std::set<const TCKTimeItem *>(s->Items.begin(), s->Items.end()),
                      expected[i].Entries)
                << What << ": segment " << i;
        }
        ASSERT_EQ(i, expected.size()) << What << ": segment count";
        for (const TCKTimeItem *e : entries) {
            const bool free = std::none_of(entries.begin(), entries.end(), [&](auto *o) {
                return o != e && o->StartTime < e->EndTime && e->StartTime < o->EndTime;
            });
            EXPECT_EQ(e->IsOverlapFree(), free) << What;
        }
        tFilterItem filter;
        filter.Keywords = {"code", "2"};
        filter.UseFromDate = true;
        filter.FromDate = Time(10);
        for (TCKProjectItem *p :
             {static_cast<TCKProjectItem *>(nullptr), Man.Root.get(), Projects().back()}) {
            for (bool active : {false, true}) {
                Man.Filter = filter;
                Man.FilterActive = active;
                int32_t h, m, s;
                Man.NetTimeHMS(p, h, m, s);
                EXPECT_EQ(std::make_tuple(h, m, s), BruteNetTime(expected, p, filter, active))
                    << What << (active ? " (filtered)" : "");
            }
        }
        Man.FilterActive = false;
    }
};

TEST(ModelRandomTest, OperationsMatchBruteForceAfterEveryStep) {
    for (unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RandomModel model(seed);
        for (int step = 0; step < 600; ++step) {
            const std::string what = model.Step();
            model.Verify("step " + std::to_string(step) + " (" + what + ")");
            if (::testing::Test::HasFailure())
                return;
        }
    }
}

} // namespace

// MeltAll keeps only the entries it has to look at again; the plain way tries every pair from
// the start after each merge. Both must merge the same pairs in the same order, which the
// joined comments and field values show.
TEST(ModelRandomTest, MeltAllMergesAsThePlainPairwiseSearch) {
    std::mt19937 rng(7);
    auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    for (int round = 0; round < 200; ++round) {
        TChronarkMan fast, plain;
        for (TChronarkMan *man : {&fast, &plain}) {
            man->AddFieldDef("n", ftInteger);
            man->OnMessage = [](TMessageKind, const std::string &) {};
        }
        const int count = 2 + pick(14);
        std::vector<tCKEditItem> items;
        for (int i = 0; i < count; ++i) {
            tCKEditItem e;
            e.StartTime = AddSeconds(Day, pick(40) * 600);
            e.EndTime = AddSeconds(e.StartTime, (1 + pick(8)) * 600);
            e.Comment = std::string(1, char('a' + i));
            if (pick(3) == 0)
                e.Fields.push_back({"n", std::to_string(pick(2))});
            items.push_back(e);
        }
        TCKTimeItemList fastEntries, plainEntries;
        for (const tCKEditItem &e : items) {
            fastEntries.push_back(fast.Root->AddTime(e));
            plainEntries.push_back(plain.Root->AddTime(e));
        }
        std::shuffle(fastEntries.begin(), fastEntries.end(), std::mt19937(round));
        std::shuffle(plainEntries.begin(), plainEntries.end(), std::mt19937(round));
        fast.MeltAll(fastEntries);
        for (bool merged = true; merged;) {
            merged = false;
            for (size_t i = 0; i < plainEntries.size() && !merged; ++i)
                for (size_t j = 0; j < plainEntries.size() && !merged; ++j)
                    if (j != i && plain.Melt(plainEntries[i], plainEntries[j])) {
                        plainEntries.erase(plainEntries.begin() + std::ptrdiff_t(j));
                        merged = true;
                    }
        }
        std::string why;
        ASSERT_TRUE(fast.CheckInvariants(&why)) << why;
        const TCKTimeItemList a = fast.AllEntries(), b = plain.AllEntries();
        ASSERT_EQ(a.size(), b.size()) << "round " << round;
        for (size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(a[i]->Comment, b[i]->Comment) << "round " << round;
            EXPECT_EQ(a[i]->StartTime, b[i]->StartTime) << "round " << round;
            EXPECT_EQ(a[i]->EndTime, b[i]->EndTime) << "round " << round;
            EXPECT_EQ(a[i]->Fields, b[i]->Fields) << "round " << round;
        }
    }
}
