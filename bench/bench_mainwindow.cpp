// The entry list of the main window on a project with 10,000 entries: a full refill, and the
// single-row refresh after one entry was edited.

#include "mainwindow/entrylist.h"
#include "mainwindow/mainform.h"
#include "mainwindow/projecttree.h"
#include "model/ckm.h"
#include "tests/mainwindow/mainform_testpeer.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int EntryCount = 10000;

struct Window {
    QTemporaryDir Settings;
    std::unique_ptr<TMainForm> Owned;
    // The window's views and refresh, which it keeps to itself.
    std::unique_ptr<TMainFormTestPeer> Form;
    TCKProjectItem *Project = nullptr;

    Window() {
        TMainForm::TOptions Options;
        Options.SettingsFolder = Settings.path();
        Owned = std::make_unique<TMainForm>(std::vector<std::string>{}, Options);
        Form = std::make_unique<TMainFormTestPeer>(*Owned);
        Form->Start();
        Project = Form->Doc().Root->AddProject("Groß");
        // Entries in shuffled order so the list really sorts; every tenth overlaps another.
        const TDateTime Base = EncodeDateTime(2020, 1, 1, 8, 0, 0);
        for (int i = 0; i < EntryCount; ++i) {
            const int Slot = (i * 7919) % EntryCount;
            tCKEditItem E;
            E.StartTime = AddSeconds(Base, int64_t(Slot) * 3600);
            E.EndTime = AddSeconds(E.StartTime, Slot % 10 == 0 ? 5400 : 1800);
            E.Comment = "Eintrag " + std::to_string(Slot);
            Project->AddTime(E);
        }
        Form->RebuildViews(true);
        Form->TreeView1->setCurrentItem(Form->FindProjectNode(Project));
    }
};

// Made on first use and destroyed before the application object.
std::unique_ptr<Window> TheWindow;

Window &Shared() {
    if (!TheWindow)
        TheWindow = std::make_unique<Window>();
    return *TheWindow;
}

void BM_RefillList(benchmark::State &State) {
    Window &W = Shared();
    for (auto _ : State) {
        W.Form->RefreshEntries(-1);
        benchmark::DoNotOptimize(W.Form->ListView1->Count());
    }
    State.counters["rows"] = W.Form->ListView1->Count();
}
BENCHMARK(BM_RefillList)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_RefreshEditedRow(benchmark::State &State) {
    Window &W = Shared();
    W.Form->RefreshEntries(-1);
    const int Row = W.Form->ListView1->Count() / 2;
    int Step = 0;
    for (auto _ : State) {
        State.PauseTiming();
        // Move the entry of the middle row so that its row has to move in the sorted list.
        auto *Entry = static_cast<TCKTimeItem *>(W.Form->ListView1->RowData(Row));
        tCKEditItem Data = Entry->GetData();
        const int Shift = (Step++ % 2 == 0 ? 1 : -1) * 3600 * 1000;
        Data.StartTime = AddSeconds(Data.StartTime, Shift);
        Data.EndTime = AddSeconds(Data.EndTime, Shift);
        Data.Comment += "!";
        Entry->SetData(Data);
        State.ResumeTiming();
        W.Form->RefreshEntries(Row);
    }
}
BENCHMARK(BM_RefreshEditedRow)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication App(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Chronark"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    TheWindow.reset();
    return 0;
}
