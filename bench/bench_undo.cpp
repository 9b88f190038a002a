// Undo and redo of a delete, a split and a move on a project of 100,000 entries: each costs
// about what its step touched, not what the document holds. Only the undo or the redo is
// timed; the command before it and the way back after it are not. A delete or a move looks
// its items up in the whole document first, so those run a fixed number of rounds.
#include "base/dates.h"
#include "model/ckm.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <memory>

namespace {

const TDateTime Base = EncodeDateTime(2020, 1, 1, 0, 0, 0);
constexpr int Entries = 100000;

struct TDocument {
    TChronarkMan Man;
    TCKProjectItem *Big = nullptr, *Other = nullptr;
    TCKTimeItem *Middle = nullptr;

    TDocument() {
        Big = Man.Root->AddProject("Big");
        Other = Man.Root->AddProject("Other");
        for (int i = 0; i < Entries; ++i) {
            // An hour each, a quarter of an hour apart, now and then overlapping the next.
            const TDateTime start = AddSeconds(Base, i * 4500);
            TCKTimeItem *e = Big->AddTime({start, AddSeconds(start, i % 7 ? 3600 : 5400), "x", {}});
            if (i == Entries / 2)
                Middle = e;
        }
    }
};

double Seconds(const std::function<void()> &Fn) {
    const auto start = std::chrono::steady_clock::now();
    Fn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Command changes the document; Redo tells whether the redo is timed (else the undo).
void Run(benchmark::State &State, const std::function<void(TDocument &)> &Command, bool Redo) {
    auto doc = std::make_unique<TDocument>();
    for (auto _ : State) {
        Command(*doc);
        if (Redo) {
            doc->Man.Undo();
            State.SetIterationTime(Seconds([&] { doc->Man.Redo(); }));
            doc->Man.Undo();
        } else {
            State.SetIterationTime(Seconds([&] { doc->Man.Undo(); }));
        }
    }
}

void Delete(TDocument &D) {
    D.Man.DeleteItems({D.Middle});
}
void Split(TDocument &D) {
    D.Man.SplitEntry(D.Middle, AddSeconds(D.Middle->StartTime, 600));
}
void Move(TDocument &D) {
    D.Man.MoveItems({D.Middle}, D.Other);
}

void BM_UndoDelete(benchmark::State &s) {
    Run(s, Delete, false);
}
void BM_RedoDelete(benchmark::State &s) {
    Run(s, Delete, true);
}
void BM_UndoSplit(benchmark::State &s) {
    Run(s, Split, false);
}
void BM_RedoSplit(benchmark::State &s) {
    Run(s, Split, true);
}
void BM_UndoMove(benchmark::State &s) {
    Run(s, Move, false);
}
void BM_RedoMove(benchmark::State &s) {
    Run(s, Move, true);
}

} // namespace

BENCHMARK(BM_UndoDelete)->UseManualTime()->Iterations(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RedoDelete)->UseManualTime()->Iterations(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoSplit)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RedoSplit)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoMove)->UseManualTime()->Iterations(300)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RedoMove)->UseManualTime()->Iterations(300)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
