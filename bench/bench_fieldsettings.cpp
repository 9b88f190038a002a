// The settings dialog's checks against the stored values on a document of 100,000 entries:
// reading which fields are in use when the dialog opens, and changing the type of a field in
// use, which checks every value stored for it.
#include "base/dates.h"
#include "base/fieldtype.h"
#include "base/formatsettings.h"
#include "base/messages.h"
#include "bench/docgen.h"
#include "model/ckfieldsettings.h"
#include "model/ckm.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;

namespace {

constexpr size_t EntryCount = 100000;

// The generated document: a customer on about a third of the entries, a Boolean on another.
const TChronarkMan &Generated() {
    static std::unique_ptr<TChronarkMan> Doc;
    if (Doc)
        return *Doc;
    tDocGenOptions Options;
    Options.Entries = EntryCount;
    const std::string Path = (fs::temp_directory_path() / "chronark-bench-settings.ckx").string();
    std::ofstream(Path, std::ios::binary) << GenerateCkx(Options);
    Doc = std::make_unique<TChronarkMan>();
    Doc->OnMessage = [](TMessageKind, const std::string &) {};
    Doc->LoadFromFile(Path, false);
    fs::remove(Path);
    return *Doc;
}

// Every entry holds a date for one field: the dearest check, every value parsed.
const TChronarkMan &AllDates() {
    static std::unique_ptr<TChronarkMan> Doc;
    if (Doc)
        return *Doc;
    SetFormatSettings(GermanFormatSettings());
    Doc = std::make_unique<TChronarkMan>();
    Doc->AddFieldDef("Termin", ftString);
    TCKProjectItem *Project = Doc->Root->AddProject("Termine");
    const TDateTime Base = EncodeDateTime(2020, 1, 1, 8, 0, 0);
    for (size_t i = 0; i < EntryCount; ++i) {
        const TDateTime Start = AddSeconds(Base, int64_t(i) * 3600);
        Project->AddTime({Start,
                          AddSeconds(Start, 1800),
                          "Eintrag",
                          {{"Notiz", "x"}, {"Termin", DateTimeText(Start)}}});
    }
    return *Doc;
}

void BM_OpenFieldSettings(benchmark::State &State) {
    const TChronarkMan &Doc = Generated();
    for (auto _ : State) {
        TFieldSettings Settings(Doc);
        benchmark::DoNotOptimize(Settings.UseInfo().data());
    }
}

void BM_TypeCheckBoolean(benchmark::State &State) {
    const TChronarkMan &Doc = Generated();
    TFieldSettings Settings(Doc);
    int Row = -1;
    for (int i = 0; i < Settings.Count(); ++i)
        if (Settings.FieldDefs()[i].Id == "abrechenbar")
            Row = i;
    if (Row < 0 || !Settings.UseInfo()[Row].InUse)
        State.SkipWithError("no Boolean field in use");
    for (auto _ : State)
        if (Row >= 0 && Settings.SetTypeText(Row, "Boolean") != TFieldSettings::TRowCheck::Ok)
            State.SkipWithError("values refused");
}

void BM_TypeCheckDate(benchmark::State &State) {
    const TChronarkMan &Doc = AllDates();
    TFieldSettings Settings(Doc);
    for (auto _ : State)
        if (Settings.SetTypeText(0, "Date") != TFieldSettings::TRowCheck::Ok)
            State.SkipWithError("values refused");
}

} // namespace

BENCHMARK(BM_OpenFieldSettings)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeCheckBoolean)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeCheckDate)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
