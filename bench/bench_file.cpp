// Loading and saving whole documents: parse, model and segment list; text and flush to disk.
#include "base/messages.h"
#include "bench/docgen.h"
#include "model/ckm.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;

namespace {

// One generated file per size, written once per run.
const std::string &DocumentFile(size_t Entries) {
    static std::map<size_t, std::string> files;
    auto it = files.find(Entries);
    if (it != files.end())
        return it->second;
    tDocGenOptions options;
    options.Entries = Entries;
    options.Projects = std::max<size_t>(30, Entries / 330);
    const std::string path =
        (fs::temp_directory_path() / ("chronark-bench-" + std::to_string(Entries) + ".ckx"))
            .string();
    std::ofstream(path, std::ios::binary) << GenerateCkx(options);
    return files[Entries] = path;
}

void BM_LoadFromFile(benchmark::State &State) {
    const std::string &file = DocumentFile(static_cast<size_t>(State.range(0)));
    for (auto _ : State) {
        auto man = std::make_unique<TChronarkMan>();
        man->OnMessage = [](TMessageKind, const std::string &) {};
        if (!man->LoadFromFile(file, false))
            State.SkipWithError("document did not load");
        State.PauseTiming();
        man.reset();
        State.ResumeTiming();
    }
    State.SetBytesProcessed(State.iterations() * static_cast<int64_t>(fs::file_size(file)));
}

void BM_SaveToFile(benchmark::State &State) {
    const std::string &file = DocumentFile(static_cast<size_t>(State.range(0)));
    TChronarkMan man;
    std::string error;
    man.OnMessage = [&error](TMessageKind, const std::string &Text) { error = Text; };
    man.LoadFromFile(file, false);
    const std::string target = file + ".saved";
    for (auto _ : State) {
        if (!man.SaveToFile(target))
            State.SkipWithError(error.c_str());
    }
    State.SetBytesProcessed(State.iterations() * static_cast<int64_t>(fs::file_size(target)));
    fs::remove(target);
}

} // namespace

BENCHMARK(BM_LoadFromFile)
    ->RangeMultiplier(10)
    ->Range(10000, 1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveToFile)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
