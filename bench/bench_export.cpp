// Exporting a 100,000-entry document with the CSV profile against loading that document, side
// by side in one run: the export must not take longer than the load (ratio <= 1.0). Prints the
// medians of several rounds of each and exits 1 when the ratio is above 1.
#include "base/formatsettings.h"
#include "base/messages.h"
#include "bench/docgen.h"
#include "export/u_export.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

double Median(std::vector<double> Values) {
    std::sort(Values.begin(), Values.end());
    return Values[Values.size() / 2];
}

template <typename Fn> double Seconds(Fn Work) {
    const auto start = std::chrono::steady_clock::now();
    Work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main() {
    SetFormatSettings(GermanFormatSettings());
    const fs::path dir = fs::temp_directory_path() / "chronark-bench-export";
    fs::create_directories(dir);
    const std::string doc = (dir / "doc.ckx").string();
    const std::string out = (dir / "doc.csv").string();
    tDocGenOptions options;
    options.Entries = 100000;
    std::ofstream(doc, std::ios::binary) << GenerateCkx(options);

    const std::string exportDir = std::string(CHRONARK_SOURCE_DIR) + "/profiles/";
    TExportMan man;
    if (!man.LoadProfiles(exportDir) || man.FindProfile("CSV") < 0) {
        std::fprintf(stderr, "no CSV profile in %s\n", exportDir.c_str());
        return 2;
    }
    const tPItem &csv = man.Profiles()[static_cast<size_t>(man.FindProfile("CSV"))];
    const std::string folder = TExportMan::TemplateFolder(exportDir, csv, false, "");

    std::vector<double> loads, exports, lines;
    for (int round = 0; round < 5; ++round) {
        TChronarkMan loaded;
        loaded.OnMessage = [](TMessageKind, const std::string &) {};
        loads.push_back(Seconds([&] { loaded.LoadFromFile(doc, false); }));
        std::string reason;
        TExportResult result = TExportResult::Failed;
        exports.push_back(Seconds([&] {
            result =
                man.ExportToFile(out, folder, ';', loaded, ProjectsInTreeOrder(loaded), reason);
        }));
        TLineOutput held;
        lines.push_back(Seconds([&] {
            man.ExportToLines(out, folder, ';', loaded, ProjectsInTreeOrder(loaded), held, reason);
        }));
        if (result != TExportResult::Written) {
            std::fprintf(stderr, "export failed: %s\n", reason.c_str());
            return 2;
        }
    }
    const double load = Median(loads), exported = Median(exports);
    std::printf("load %.1f ms, CSV export %.1f ms (%ju bytes; %.1f ms without writing the "
                "file), ratio %.2f\n",
                load * 1e3, exported * 1e3, static_cast<uintmax_t>(fs::file_size(out)),
                Median(lines) * 1e3, exported / load);
    fs::remove_all(dir);
    return exported <= load ? 0 : 1;
}
