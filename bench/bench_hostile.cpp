// Loading documents built to make careless reading slow: each shape at N and 2N entries. A
// ratio near 2 means the cost grows with the file; near 4, with its square.
#include "model/ckfile.h"
#include "model/ckm.h"
#include "tests/model/hostile_documents.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

namespace {

struct TShape {
    const char *Name;
    std::string (*Make)(long);
    long N;
};

const TShape Shapes[] = {
    {"staircase", hostile::Staircase, 2000},
    {"staircase refused", hostile::Staircase, 40000},
    {"chain", hostile::Chain, 100000},
    {"empty field ids", hostile::EmptyFieldIds, 4000},
    {"distinct field ids", hostile::ManyFieldIds, 20000},
    {"string ids", hostile::StringIds, 20000},
    {"bad times", hostile::BadTimes, 40000},
    {"ignored elements", hostile::IgnoredElements, 2000000},
};

double LoadSeconds(const std::string &Bytes) {
    TChronarkMan man;
    man.OnMessage = [](TMessageKind, const std::string &) {};
    const auto start = std::chrono::steady_clock::now();
    LoadDocumentFromBytes(man, Bytes, "h.ckx", false);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_LoadHostile(benchmark::State &State) {
    const TShape &shape = Shapes[State.range(0)];
    const std::string bytes = shape.Make(shape.N * State.range(1));
    for (auto _ : State)
        benchmark::DoNotOptimize(LoadSeconds(bytes));
    State.SetLabel(shape.Name);
}
BENCHMARK(BM_LoadHostile)
    ->ArgsProduct({benchmark::CreateDenseRange(0, std::size(Shapes) - 1, 1), {1, 2}})
    ->Unit(benchmark::kMillisecond);

// Best of three loads at N and at 2N, and their ratio.
void PrintRatios() {
    std::printf("%-20s %10s %10s %7s\n", "shape", "N [ms]", "2N [ms]", "ratio");
    for (const TShape &shape : Shapes) {
        double best[2] = {1e9, 1e9};
        for (int k = 0; k < 2; ++k) {
            const std::string bytes = shape.Make(shape.N * (k + 1));
            for (int round = 0; round < 3; ++round)
                best[k] = std::min(best[k], LoadSeconds(bytes));
        }
        std::printf("%-20s %10.1f %10.1f %7.2f\n", shape.Name, best[0] * 1e3, best[1] * 1e3,
                    best[1] / best[0]);
    }
}

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintRatios();
    return 0;
}
