// Net time per project against a brute-force union of intervals, worked out from the entries
// alone without the segment list.
#include "base/dates.h"
#include "base/durations.h"
#include "model/ckm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>
#include <vector>

namespace {

using TInterval = std::pair<int64_t, int64_t>; // whole seconds, [start, end)

const TDateTime Day = EncodeDateTime(2024, 2, 28, 0, 0, 0);

int64_t Secs(TDateTime T) {
    return std::llround(T * SecsPerDay);
}

std::vector<TInterval> Merged(std::vector<TInterval> Spans) {
    std::sort(Spans.begin(), Spans.end());
    std::vector<TInterval> out;
    for (const TInterval &s : Spans) {
        if (!out.empty() && s.first <= out.back().second)
            out.back().second = std::max(out.back().second, s.second);
        else
            out.push_back(s);
    }
    return out;
}

int64_t Length(const std::vector<TInterval> &Disjoint) {
    int64_t n = 0;
    for (const TInterval &s : Disjoint)
        n += s.second - s.first;
    return n;
}

std::vector<TInterval> Intersection(const std::vector<TInterval> &A,
                                    const std::vector<TInterval> &B) {
    std::vector<TInterval> out;
    for (size_t i = 0, j = 0; i < A.size() && j < B.size();) {
        const int64_t lo = std::max(A[i].first, B[j].first);
        const int64_t hi = std::min(A[i].second, B[j].second);
        if (lo < hi)
            out.emplace_back(lo, hi);
        (A[i].second < B[j].second ? i : j)++;
    }
    return out;
}

// The union of the entries Take accepts; with the filter on, cut down to where an entry of any
// project meets it.
template <typename TakeFn> int64_t BruteNet(const TChronarkMan &Man, TakeFn Take) {
    std::vector<TInterval> taken, passing;
    for (const TCKTimeItem *e : Man.AllEntries()) {
        const TInterval span{Secs(e->StartTime), Secs(e->EndTime)};
        if (Take(e))
            taken.push_back(span);
        if (e->MatchesFilter(Man.Filter, Man.FilterActive))
            passing.push_back(span);
    }
    return Length(Intersection(Merged(taken), Merged(passing)));
}

std::vector<TCKProjectItem *> AllProjects(const TChronarkMan &Man) {
    std::vector<TCKProjectItem *> out{Man.Root.get()};
    for (size_t i = 0; i < out.size(); ++i)
        for (TCKItem *c = out[i]->FirstChild; c; c = c->Next)
            if (c->IsProject())
                out.push_back(c->AsProject());
    return out;
}

struct TShape {
    const char *Name;
    int Projects;
    int Entries;
    int Grid;    // seconds between possible ends: coarse grids make shared ends frequent
    int Stacked; // entries with exactly the same start and end
};

// Nested projects; entries overlapping, touching and stacked on one range; some moved between
// projects or deleted afterwards, so the segment list has been split and merged again.
void BuildRandom(TChronarkMan &Man, const TShape &Shape, unsigned Seed) {
    std::mt19937 rng(Seed);
    const auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    std::vector<TCKProjectItem *> projects{Man.Root.get()};
    for (int i = 0; i < Shape.Projects; ++i)
        projects.push_back(projects[pick(projects.size())]->AddProject("P" + std::to_string(i)));
    static const char *words[] = {"Besprechung", "Code", "Reise", ""};
    for (int i = 0; i < Shape.Entries; ++i) {
        const int64_t start = static_cast<int64_t>(pick(400)) * Shape.Grid;
        const int64_t len = static_cast<int64_t>(1 + pick(12)) * Shape.Grid;
        projects[pick(projects.size())]->AddTime(
            {Day + start / SecsPerDay, Day + (start + len) / SecsPerDay, words[pick(4)], {}});
    }
    const TDateTime a = Day + 3601 / SecsPerDay, b = Day + 7263 / SecsPerDay;
    for (int i = 0; i < Shape.Stacked; ++i)
        projects[pick(projects.size())]->AddTime({a, b, words[pick(4)], {}});
    TCKTimeItemList entries = Man.AllEntries();
    std::shuffle(entries.begin(), entries.end(), rng);
    for (size_t i = 0; i < entries.size() / 4; ++i)
        entries[i]->MoveTo(projects[pick(projects.size())]);
    for (size_t i = entries.size() / 4; i < entries.size() / 3; ++i)
        entries[i]->Delete();
}

void ExpectNetTimesMatch(const TChronarkMan &Man) {
    const TNetTimes times = Man.NetTimesByProject();
    const int64_t total = BruteNet(Man, [](const TCKTimeItem *) { return true; });
    EXPECT_EQ(times.Total(), total);
    EXPECT_EQ(times.Seconds(nullptr), total);
    EXPECT_EQ(Man.NetSeconds(nullptr), total);
    int32_t h, m, s;
    Man.NetTimeHMS(nullptr, h, m, s);
    EXPECT_EQ(int64_t(h) * 3600 + m * 60 + s, total);
    EXPECT_EQ(Man.NetTimeText(nullptr), SecondsText(total));
    for (const TCKProjectItem *p : AllProjects(Man)) {
        const int64_t brute = BruteNet(Man, [&](const TCKTimeItem *e) { return e->Parent == p; });
        EXPECT_EQ(times.Seconds(p), brute) << p->GetPath();
        Man.NetTimeHMS(p, h, m, s);
        EXPECT_EQ(
            std::make_tuple(h, m, s),
            std::make_tuple(int32_t(brute / 3600), int32_t(brute / 60 % 60), int32_t(brute % 60)))
            << p->GetPath();
        EXPECT_EQ(Man.NetTimeText(p), SecondsText(brute)) << p->GetPath();
    }
}

TEST(NetTimes, EveryProjectMatchesTheUnionOfItsEntries) {
    const TShape shapes[] = {
        {"odd seconds, sparse", 8, 60, 37, 0}, {"quarter hours, dense", 12, 300, 900, 5},
        {"one range stacked", 4, 20, 60, 200}, {"deep nesting, touching", 30, 200, 600, 3},
        {"one project", 0, 80, 1, 10},
    };
    for (const TShape &shape : shapes) {
        for (unsigned seed = 1; seed <= 6; ++seed) {
            SCOPED_TRACE(std::string(shape.Name) + ", seed " + std::to_string(seed));
            TChronarkMan man;
            BuildRandom(man, shape, seed);
            ExpectNetTimesMatch(man);

            man.Filter.Keywords = {"code"};
            man.Filter.UseFromDate = true;
            man.Filter.FromDate = Day + 3600 / SecsPerDay;
            man.FilterActive = true;
            ExpectNetTimesMatch(man);

            // Several projects at once count their common time once; the filter plays no part.
            man.FilterActive = false;
            const auto projects = AllProjects(man);
            TCKProjectList some;
            for (size_t i = 0; i < projects.size(); ++i)
                if ((i + seed) % 3 != 0)
                    some.push_back(projects[i]);
            man.FilterActive = true;
            int32_t h, m, s;
            man.NetTimeOfProjects(some, h, m, s);
            man.FilterActive = false;
            const int64_t brute = BruteNet(man, [&](const TCKTimeItem *e) {
                return std::find(some.begin(), some.end(), e->Parent) != some.end();
            });
            EXPECT_EQ(int64_t(h) * 3600 + m * 60 + s, brute);
            if (::testing::Test::HasFailure())
                return;
        }
    }
}

// Net times beyond a day: hours do not wrap. Projects without entries have none.
TEST(NetTimes, LongDocumentsAndEmptyProjects) {
    TChronarkMan man;
    TCKProjectItem *empty = man.Root->AddProject("leer");
    TCKProjectItem *p = man.Root->AddProject("P");
    p->AddTime({Day, Day + 3, "", {}});
    p->AddTime({Day + 1, Day + 2, "", {}}); // inside the first: adds nothing
    man.Root->AddTime({Day + 2, Day + 4 + 1 / SecsPerDay, "", {}});
    const TNetTimes times = man.NetTimesByProject();
    EXPECT_EQ(times.Seconds(empty), 0);
    EXPECT_EQ(times.Seconds(p), 3 * 86400);
    EXPECT_EQ(times.Seconds(man.Root.get()), 2 * 86400 + 1);
    EXPECT_EQ(times.Total(), 4 * 86400 + 1);
    EXPECT_EQ(man.NetTimeText(nullptr), "96 Std, 0 Min, 1 Sek");
    EXPECT_EQ(man.NetTimeText(empty), "0 Std, 0 Min, 0 Sek");

    TChronarkMan none;
    EXPECT_EQ(none.NetTimesByProject().Total(), 0);
    EXPECT_EQ(none.NetTimesByProject().Seconds(none.Root.get()), 0);
}

} // namespace
