// Peak memory of loading a generated document, as a multiple of the file size:
//   load_peak_memory [entries]
#include "app/messages.h"
#include "bench/docgen.h"
#include "model/ckm.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// Kilobytes from /proc/self/status ("VmRSS" now, "VmHWM" the high-water mark).
long StatusKB(const char *Key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(Key, 0) == 0)
            return std::atol(line.c_str() + std::string(Key).size() + 1);
    return -1;
}

} // namespace

int main(int argc, char **argv) {
    tDocGenOptions options;
    options.Entries = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    options.Projects = options.Entries / 330 + 30;
    const std::string path = (std::filesystem::temp_directory_path() / "chronark-peak.ckx").string();
    {
        std::ofstream(path, std::ios::binary) << GenerateCkx(options);
    }
    const double fileMB = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    // Start the high-water mark afresh, so the generator's memory does not count.
    std::ofstream("/proc/self/clear_refs") << "5";
    const long before = StatusKB("VmRSS:");
    SetMessageHandler([](TMessageKind, const std::string &) {});
    TChronarkMan man;
    const bool ok = man.LoadFromFile(path, false);
    const long peak = StatusKB("VmHWM:");
    const double extraMB = static_cast<double>(peak - before) / 1000.0;
    std::printf("loaded=%d entries=%zu file=%.1f MB peak above start=%.1f MB (%.2fx the file)\n",
                ok, options.Entries, fileMB, extraMB, extraMB / fileMB);
    std::filesystem::remove(path);
    return ok ? 0 : 1;
}
