// Segment list: entering and removing entries, and the document's net time, overall and per
// project.
#include "base/dates.h"
#include "model/ckm.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

namespace {

const TDateTime Base = EncodeDateTime(2020, 1, 1, 0, 0, 0);

// Working days of 8 entries: 30-90 minutes each, mostly apart, now and then overlapping.
std::vector<tCKEditItem> MakeEntries(int N, bool Shuffled) {
    std::mt19937 rng(42);
    std::vector<tCKEditItem> out;
    out.reserve(N);
    double t = Base * SecsPerDay;
    for (int i = 0; i < N; ++i) {
        const int len = 1800 + static_cast<int>(rng() % 3600);
        const int gap = static_cast<int>(rng() % 1800) - 300; // sometimes negative: overlap
        out.push_back({t / SecsPerDay, (t + len) / SecsPerDay, "x", {}});
        t += len + gap;
    }
    if (Shuffled)
        std::shuffle(out.begin(), out.end(), rng);
    return out;
}

// Times entering all entries into a new document; building and freeing it is not timed.
// Reshuffled entries come in a new order each round, as a user's typing would: replaying one
// order flatters small documents, whose branches the processor learns by heart.
void EnterAll(benchmark::State &State, std::vector<tCKEditItem> Entries, bool Reshuffle = false) {
    std::mt19937 rng(11);
    for (auto _ : State) {
        State.PauseTiming();
        if (Reshuffle)
            std::shuffle(Entries.begin(), Entries.end(), rng);
        auto man = std::make_unique<TChronarkMan>();
        State.ResumeTiming();
        for (const auto &e : Entries)
            man->Root->AddTime(e);
        benchmark::DoNotOptimize(man->ReducedTime->First);
        State.PauseTiming();
        man.reset();
        State.ResumeTiming();
    }
    State.SetItemsProcessed(State.iterations() * static_cast<int64_t>(Entries.size()));
}

void Enter(benchmark::State &State, bool Shuffled) {
    EnterAll(State, MakeEntries(static_cast<int>(State.range(0)), Shuffled), Shuffled);
}

void BM_EnterInOrder(benchmark::State &s) {
    Enter(s, false);
}
void BM_EnterRandom(benchmark::State &s) {
    Enter(s, true);
}

void BM_RemoveAll(benchmark::State &State) {
    const auto entries = MakeEntries(static_cast<int>(State.range(0)), true);
    std::mt19937 rng(7); // a new order of removal each round, as for entering
    for (auto _ : State) {
        State.PauseTiming();
        auto man = std::make_unique<TChronarkMan>();
        std::vector<TCKTimeItem *> items;
        for (const auto &e : entries)
            items.push_back(man->Root->AddTime(e));
        std::shuffle(items.begin(), items.end(), rng);
        State.ResumeTiming();
        for (TCKTimeItem *e : items)
            e->Delete();
        benchmark::DoNotOptimize(man->ReducedTime->First);
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}

// One add and one remove in a document of N entries.
void BM_SingleAddRemove(benchmark::State &State) {
    const auto entries = MakeEntries(static_cast<int>(State.range(0)), false);
    TChronarkMan man;
    for (const auto &e : entries)
        man.Root->AddTime(e);
    // Starts and ends inside existing segments, so both ends split one.
    tCKEditItem middle = entries[entries.size() / 2];
    middle.StartTime += 7 * 60 / SecsPerDay;
    middle.EndTime += 7 * 60 / SecsPerDay;
    for (auto _ : State) {
        TCKTimeItem *e = man.Root->AddTime(middle);
        e->Delete();
    }
}

void BM_NetTimeWholeDocument(benchmark::State &State) {
    const auto entries = MakeEntries(static_cast<int>(State.range(0)), false);
    TChronarkMan man;
    for (const auto &e : entries)
        man.Root->AddTime(e);
    for (auto _ : State) {
        int32_t h, m, s;
        man.NetTimeHMS(nullptr, h, m, s);
        benchmark::DoNotOptimize(h);
    }
}

// The entries spread over 50 projects, three levels deep: every project's net time at once.
void BM_NetTimesByProject(benchmark::State &State) {
    const auto entries = MakeEntries(static_cast<int>(State.range(0)), false);
    TChronarkMan man;
    std::vector<TCKProjectItem *> projects;
    for (int i = 0; i < 50; ++i)
        projects.push_back(
            (i < 5 ? man.Root.get() : projects[i / 5 - 1])->AddProject(std::to_string(i)));
    std::mt19937 rng(5);
    for (const auto &e : entries)
        projects[rng() % projects.size()]->AddTime(e);
    for (auto _ : State) {
        const TNetTimes times = man.NetTimesByProject();
        benchmark::DoNotOptimize(times.Total());
    }
}

// Entries that all share one stretch of time: every new one splits many segments.
std::vector<tCKEditItem> Overlapping(int N) {
    std::vector<tCKEditItem> entries;
    std::mt19937 rng(3);
    for (int i = 0; i < N; ++i) {
        const double a = Base * SecsPerDay + static_cast<double>(rng() % 100000);
        const double b = Base * SecsPerDay + 100000 + static_cast<double>(rng() % 100000);
        entries.push_back({a / SecsPerDay, b / SecsPerDay, "", {}});
    }
    return entries;
}

void BM_MutuallyOverlapping_Enter(benchmark::State &State) {
    EnterAll(State, Overlapping(static_cast<int>(State.range(0))));
}

// Clearing the document removes the entries last first.
void BM_MutuallyOverlapping_Clear(benchmark::State &State) {
    const auto entries = Overlapping(static_cast<int>(State.range(0)));
    for (auto _ : State) {
        State.PauseTiming();
        auto man = std::make_unique<TChronarkMan>();
        for (const auto &e : entries)
            man->Root->AddTime(e);
        State.ResumeTiming();
        man->Clear();
        benchmark::DoNotOptimize(man->ReducedTime->First);
    }
}

} // namespace

BENCHMARK(BM_EnterInOrder)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EnterRandom)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RemoveAll)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SingleAddRemove)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NetTimeWholeDocument)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NetTimesByProject)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MutuallyOverlapping_Enter)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MutuallyOverlapping_Clear)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
