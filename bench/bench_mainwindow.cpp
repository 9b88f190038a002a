// The entry list of the main window on a project with 10,000 entries: a full refill, and the
// single-row refresh after one entry was edited. On a project with 100,000 entries: a keyword
// typed into the filter box (the filter test over all entries and the list fill apart), and
// one entry edited through the (scripted) edit dialog.

#include "base/dates.h"
#include "dialogs/entrydialogs.h"
#include "dialogs/entrylist.h"
#include "mainwindow/mainform.h"
#include "dialogs/projecttree.h"
#include "model/ckm.h"
#include "tests/mainwindow/mainform_testpeer.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int EntryCount = 10000;
constexpr int LargeEntryCount = 100000;

// The edit dialog answers OK at once, moving the entry by an hour back and forth.
class TInstantDialogs : public TEntryDialogService {
public:
    bool EditEntry(QWidget *, const tFieldDefList &, tCKEditItem &Data) override {
        const int Shift = (Step++ % 2 == 0 ? 1 : -1) * 3600;
        Data.StartTime = AddSeconds(Data.StartTime, Shift);
        Data.EndTime = AddSeconds(Data.EndTime, Shift);
        return true;
    }
    bool NewEntry(QWidget *, const tFieldDefList &, tCKEditItem &) override { return false; }
    bool Split(QWidget *, const TCKTimeItem &, TDateTime &) override { return false; }

private:
    int Step = 0;
};

struct Window {
    QTemporaryDir Settings;
    TInstantDialogs Dialogs;
    std::unique_ptr<TMainForm> Owned;
    // The window's views and refresh, which it keeps to itself.
    std::unique_ptr<TMainFormTestPeer> Form;
    TCKProjectItem *Project = nullptr;

    explicit Window(int Count) {
        TMainForm::TOptions Options;
        Options.SettingsFolder = Settings.path();
        Options.EntryDialogs = &Dialogs;
        Owned = std::make_unique<TMainForm>(std::vector<std::string>{}, Options);
        Form = std::make_unique<TMainFormTestPeer>(*Owned);
        Form->Start();
        Project = Form->Doc().Root->AddProject("Groß");
        // Entries in shuffled order so the list really sorts; every tenth overlaps another.
        const TDateTime Base = EncodeDateTime(2020, 1, 1, 8, 0, 0);
        for (int i = 0; i < Count; ++i) {
            const int Slot = int((int64_t(i) * 7919) % Count);
            tCKEditItem E;
            E.StartTime = AddSeconds(Base, int64_t(Slot) * 3600);
            E.EndTime = AddSeconds(E.StartTime, Slot % 10 == 0 ? 5400 : 1800);
            E.Comment = "Eintrag " + std::to_string(Slot);
            // One entry in a hundred names a customer: what the keyword finds.
            if (Slot % 100 == 0)
                E.Fields.push_back({"Kunde", "Acme " + std::to_string(Slot)});
            Project->AddTime(E);
        }
        Form->Views().RebuildViews(true);
        Form->TreeView1()->setCurrentItem(Form->TreeView1()->FindProjectNode(Project));
    }
};

// Made on first use and destroyed before the application object.
std::unique_ptr<Window> TheWindow, TheLargeWindow;

Window &Shared() {
    if (!TheWindow)
        TheWindow = std::make_unique<Window>(EntryCount);
    return *TheWindow;
}

Window &Large() {
    if (!TheLargeWindow)
        TheLargeWindow = std::make_unique<Window>(LargeEntryCount);
    return *TheLargeWindow;
}

void BM_RefillList(benchmark::State &State) {
    Window &W = Shared();
    const TEntryList *List = W.Form->ListView1();
    for (auto _ : State) {
        W.Form->Views().FillEntryList();
        benchmark::DoNotOptimize(List->Count());
    }
    State.counters["rows"] = List->Count();
}
BENCHMARK(BM_RefillList)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_RefreshEditedRow(benchmark::State &State) {
    Window &W = Shared();
    W.Form->Views().FillEntryList();
    const int Row = W.Form->ListView1()->Count() / 2;
    int Step = 0;
    for (auto _ : State) {
        State.PauseTiming();
        // Move the entry of the middle row so that its row has to move in the sorted list.
        auto *Entry = static_cast<TCKTimeItem *>(W.Form->ListView1()->RowData(Row));
        tCKEditItem Data = Entry->GetData();
        const int Shift = (Step++ % 2 == 0 ? 1 : -1) * 3600 * 1000;
        Data.StartTime = AddSeconds(Data.StartTime, Shift);
        Data.EndTime = AddSeconds(Data.EndTime, Shift);
        Data.Comment += "!";
        Entry->SetData(Data);
        State.ResumeTiming();
        W.Form->Views().RefreshRow(Row);
    }
}
BENCHMARK(BM_RefreshEditedRow)->Unit(benchmark::kMillisecond)->UseRealTime();

// A keyword typed into the filter box: the filter test and the refill, as the user waits.
void BM_TypeFilterKeyword(benchmark::State &State) {
    Window &W = Large();
    if (!W.Form->Action("acFilter")->isChecked())
        W.Form->Action("acFilter")->trigger();
    int Step = 0;
    for (auto _ : State) {
        State.PauseTiming();
        W.Form->Find<QLineEdit>("Edit1")->clear(); // every row back
        State.ResumeTiming();
        W.Form->Find<QLineEdit>("Edit1")->setText(Step++ % 2 == 0 ? QStringLiteral("Acme")
                                                                  : QStringLiteral("acm"));
    }
    State.counters["rows"] = W.Form->ListView1()->Count();
}
BENCHMARK(BM_TypeFilterKeyword)->Unit(benchmark::kMillisecond)->UseRealTime();

// The filter test alone over every entry of the project.
void BM_MatchesFilterAllEntries(benchmark::State &State) {
    Window &W = Large();
    tFilterItem Filter;
    Filter.Keywords = {"Acme"};
    const TCKTimeItemList Entries = W.Project->TimeItems();
    for (auto _ : State) {
        int Passed = 0;
        for (const TCKTimeItem *Entry : Entries)
            Passed += Entry->MatchesFilter(Filter, true);
        benchmark::DoNotOptimize(Passed);
    }
}
BENCHMARK(BM_MatchesFilterAllEntries)->Unit(benchmark::kMillisecond)->UseRealTime();

// The list fill alone: every entry passes (no keyword), so the refill builds all rows.
void BM_FillLargeList(benchmark::State &State) {
    Window &W = Large();
    W.Form->Doc().Filter.Keywords.clear();
    for (auto _ : State) {
        W.Form->Views().FillEntryList();
        benchmark::DoNotOptimize(W.Form->ListView1()->Count());
    }
    State.counters["rows"] = W.Form->ListView1()->Count();
}
BENCHMARK(BM_FillLargeList)->Unit(benchmark::kMillisecond)->UseRealTime();

// One entry edited through the dialog: its row is refreshed, the list is not refilled.
void BM_EditEntryThroughDialog(benchmark::State &State) {
    Window &W = Large();
    if (W.Form->Action("acFilter")->isChecked())
        W.Form->Action("acFilter")->trigger();
    W.Form->Views().FillEntryList();
    const int Rows = W.Form->ListView1()->Count();
    QTreeWidgetItem *Row = W.Form->ListView1()->Row(Rows / 2);
    const TCKItem *Item = TEntryList::ItemOf(Row);
    for (auto _ : State) {
        State.PauseTiming();
        W.Form->ListView1()->clearSelection();
        Row->setSelected(true);
        State.ResumeTiming();
        W.Form->Action("acEditTime")->trigger();
    }
    // The same row object still shows the same entry: nothing was rebuilt.
    if (W.Form->ListView1()->Count() != Rows || TEntryList::ItemOf(Row) != Item)
        State.SkipWithError("the list was rebuilt");
}
BENCHMARK(BM_EditEntryThroughDialog)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication App(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Chronark"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    TheWindow.reset();
    TheLargeWindow.reset();
    return 0;
}
