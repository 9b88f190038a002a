// The search window over a generated document of 100,000 entries in 300 projects: one keyword
// and a date range that together find about 10,000 entries. The model's part (the search and
// the order of the rows) and the whole "Start" with the sorted result list apart.

#include "base/dates.h"
#include "base/formatsettings.h"
#include "bench/docgen.h"
#include "dialogs/entrylist.h"
#include "dialogs/u_searchform.h"
#include "ui/imagelist.h"
#include "ui/prompts.h"
#include "model/ckm.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <memory>

namespace {

constexpr int WantedHits = 10000;
const char Keyword[] = "Schulung";

class TSilentPrompts : public TPromptService {
public:
    void ShowMessage(const QString &) override {}
    void ShowError(const QString &) override {}
    void ShowWarning(const QString &) override {}
    TPromptAnswer Confirm(const QString &, bool) override { return TPromptAnswer::No; }
    int Choose(const QString &, const QStringList &) override { return -1; }
};

// Rows as the model hands them over, with the path kept for the order.
class TRowsView : public TCKListView {
public:
    struct TRow {
        std::string Path;
        TDateTime Start;
        TCKItem *Data;
    };
    std::vector<TRow> Rows;

    void SetSorted(bool Sorted) override {
        if (Sorted)
            std::stable_sort(Rows.begin(), Rows.end(), [](const TRow &A, const TRow &B) {
                return CompareSearchRows(A.Path, A.Start, B.Path, B.Start) < 0;
            });
    }
    void Clear() override { Rows.clear(); }
    int Count() const override { return int(Rows.size()); }
    TCKItem *RowData(int Index) const override { return Rows[size_t(Index)].Data; }
    int AddRow(const std::string &, const TStringArray &SubItems, int, TCKItem *Data) override {
        Rows.push_back({SubItems.back(), Data->AsTime()->StartTime, Data});
        return Count() - 1;
    }
    void SetRow(int, const std::string &, const TStringArray &, int) override {}
    void SetRowImage(int, int) override {}
    void DeleteRow(int Index) override { Rows.erase(Rows.begin() + Index); }
};

struct TSearchSetup {
    QTemporaryDir Dir;
    TChronarkMan Doc;
    TImageList Images;
    TSilentPrompts Prompts;
    tFilterItem Params;
    std::unique_ptr<TSearchForm> Form;

    TSearchSetup() {
        const std::string File = Dir.filePath(QStringLiteral("bench.ckx")).toStdString();
        std::ofstream(File, std::ios::binary) << GenerateCkx({100000, 300, 5, 7});
        Doc.LoadFromFile(File, false);
        // A range around the middle of the keyword's entries that holds WantedHits of them.
        Params.Keywords = {Keyword};
        std::vector<TDateTime> Starts;
        for (const TCKTimeItem *E : Doc.AllEntries())
            if (E->MatchesFilter(Params, true))
                Starts.push_back(E->StartTime);
        std::sort(Starts.begin(), Starts.end());
        const size_t First = Starts.size() > WantedHits ? (Starts.size() - WantedHits) / 2 : 0;
        const size_t Last = std::min(Starts.size() - 1, First + WantedHits);
        Params.UseFromDate = Params.UseToDate = true;
        Params.FromDate = Starts[First];
        Params.ToDate = Starts[Last];
        Form = std::make_unique<TSearchForm>(Doc, Images, Prompts, TSearchForm::THost{});
        auto Pick = [this](const char *Box, const char *Date, const char *Time, TDateTime T) {
            Form->findChild<QCheckBox *>(QString::fromLatin1(Box))->setChecked(true);
            int Y, Mo, D, H, Mi, S, Ms;
            DecodeDateTime(T, Y, Mo, D, H, Mi, S, Ms);
            Form->findChild<QDateEdit *>(QString::fromLatin1(Date))->setDate(QDate(Y, Mo, D));
            Form->findChild<QTimeEdit *>(QString::fromLatin1(Time))->setTime(QTime(H, Mi, S));
        };
        Pick("CheckBox1", "sddate", "sdtime", Params.FromDate);
        Pick("CheckBox2", "eddate", "edtime", Params.ToDate);
        Form->findChild<QLineEdit *>(QStringLiteral("Edit1"))
            ->setText(QString::fromLatin1(Keyword));
    }
};

std::unique_ptr<TSearchSetup> TheSetup;

TSearchSetup &Setup() {
    if (!TheSetup)
        TheSetup = std::make_unique<TSearchSetup>();
    return *TheSetup;
}

// The search over every entry and the rows in their order, without a window.
void BM_SearchModel(benchmark::State &State) {
    TSearchSetup &S = Setup();
    TRowsView View;
    for (auto _ : State) {
        View.Clear();
        S.Doc.FillAllEntries(View, S.Params);
        benchmark::DoNotOptimize(View.Rows.data());
    }
    State.counters["hits"] = View.Count();
    State.counters["entries"] = double(S.Doc.AllEntries().size());
}
BENCHMARK(BM_SearchModel)->Unit(benchmark::kMillisecond)->UseRealTime();

// "Start" pressed in the window: the search, the result list filled and sorted.
void BM_SearchStart(benchmark::State &State) {
    TSearchSetup &S = Setup();
    auto *Start = S.Form->findChild<QPushButton *>(QStringLiteral("StartButton"));
    for (auto _ : State) {
        Start->click();
        benchmark::DoNotOptimize(S.Form->ResultList().Count());
    }
    State.counters["rows"] = S.Form->ResultList().Count();
}
BENCHMARK(BM_SearchStart)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication App(argc, argv);
    SetFormatSettings(GermanFormatSettings());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    TheSetup.reset();
    return 0;
}
