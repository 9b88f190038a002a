// Peak memory and time of loading a generated document in a fresh process, where every page
// the load uses is new to it (the benchmarks repeat loads and reuse memory):
//   load_peak_memory [entries | file.ckx]
// Given a file, only that file is loaded: no memory of a generator is reused.
#include "base/messages.h"
#include "bench/docgen.h"
#include "model/ckm.h"

#include <chrono>
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

size_t CountEntries(TChronarkMan &Man) {
    size_t n = 0;
    ForEachEntry(Man.Root.get(), [&](TCKTimeItem *) { ++n; });
    return n;
}

} // namespace

int main(int argc, char **argv) {
    const std::string arg = argc > 1 ? argv[1] : "100000";
    const bool given = std::filesystem::is_regular_file(arg);
    tDocGenOptions options;
    options.Entries = given ? 0 : std::strtoul(arg.c_str(), nullptr, 10);
    options.Projects = options.Entries / 330 + 30;
    const std::string path =
        given ? arg : (std::filesystem::temp_directory_path() / "chronark-peak.ckx").string();
    if (!given)
        std::ofstream(path, std::ios::binary) << GenerateCkx(options);
    const double fileMB = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    // Start the high-water mark afresh, so the generator's memory does not count.
    std::ofstream("/proc/self/clear_refs") << "5";
    const long before = StatusKB("VmRSS:");
    TChronarkMan man;
    man.OnMessage = [](TMessageKind, const std::string &) {};
    const auto start = std::chrono::steady_clock::now();
    const bool ok = static_cast<bool>(man.LoadFromFile(path, false));
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const long peak = StatusKB("VmHWM:");
    const double extraMB = static_cast<double>(peak - before) / 1000.0;
    std::printf("loaded=%d entries=%zu file=%.1f MB time=%.0f ms peak above start=%.1f MB "
                "(%.2fx the file)\n",
                ok, man.Root ? CountEntries(man) : 0, fileMB, ms, extraMB, extraMB / fileMB);
    if (!given)
        std::filesystem::remove(path);
    return ok ? 0 : 1;
}
