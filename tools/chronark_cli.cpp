// chronark-cli: checks, summarises, exports and prints Chronark documents from the command
// line.
#include "base/ckassert.h"
#include "base/formatsettings.h"
#include "model/ckm.h"
#include "tools/cliargs.h"
#include "tools/cliexport.h"
#include "tools/climessages.h"
#include "tools/clisummary.h"
#ifdef CHRONARK_CLI_PRINT
#include "tools/cliprint.h"
#endif

#include <filesystem>
#include <iostream>

namespace {

int Check(const std::string &FileName) {
    TChronarkMan man;
    TCliMessageSink sink(std::cout, FileName);
    man.OnMessage = sink.Sink();
    // A check lists every fault, however many.
    man.ReportAllTimeFaults = true;
    const TResult loaded = LoadCliFile(man, FileName);
    if (sink.Count() > 0)
        std::cout << '\n';
    std::cout << "Ergebnis: " << (loaded ? "geladen" : "nicht geladen") << " (";
    if (loaded) {
        const TDocumentCounts counts = CountDocument(man);
        std::cout << ProjectCount(counts.Projects) << ", " << EntryCount(counts.Entries) << "; ";
    }
    std::cout << sink.Errors() << " Fehler, " << sink.Warnings()
              << (sink.Warnings() == 1 ? " Warnung" : " Warnungen") << ")\n";
    if (!loaded)
        return ExitCode(loaded);
    return sink.Errors() == 0 ? ExitOk : ExitFailed;
}

int Summary(const std::string &FileName) {
    TChronarkMan man;
    if (const TResult loaded = LoadCliDocument(FileName, man, std::cerr); !loaded)
        return ExitCode(loaded);
    std::cout << SummaryText(man, FileName);
    return ExitOk;
}

// The export folder beside the program file, as the program's own export uses.
std::string ProgramExportDir(const char *Argv0) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error)
        program = fs::absolute(fs::path(Argv0 ? Argv0 : ""), error);
    return (program.parent_path() / "export").string() + "/";
}

} // namespace

int main(int argc, char **argv) {
    // Every date and number in the output is German, whatever the environment says.
    SetFormatSettings(GermanFormatSettings());

    const TCliArgs args = ParseCliArgs(std::vector<std::string>(argv + 1, argv + argc));
    int code = ExitOk;
    switch (args.Command) {
    case TCliCommand::Help:
        std::cout << CliHelpText();
        break;
    case TCliCommand::Version:
        std::cout << CliVersionText();
        break;
    case TCliCommand::Check:
        code = Check(args.FileName);
        break;
    case TCliCommand::Summary:
        code = Summary(args.FileName);
        break;
    case TCliCommand::Export:
        code = RunExport(args, ProgramExportDir(argc > 0 ? argv[0] : nullptr), std::cerr);
        break;
    case TCliCommand::Print:
#ifdef CHRONARK_CLI_PRINT
        code = RunPrint(args, std::cerr);
#else
        std::cerr << "chronark-cli: print gibt es nur in der Fassung mit Qt.\n";
        code = ExitFailed;
#endif
        break;
    case TCliCommand::None:
        // Only a command line that cannot run has no command.
        CK_ASSERT(!args.Result, return ExitUsage);
        std::cerr << "chronark-cli: " << EscapeControls(args.Result.Message()) << '\n'
                  << CliUsageLine() << "Hilfe: chronark-cli --help\n";
        return ExitCode(args.Result);
    }
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "chronark-cli: Die Ausgabe konnte nicht geschrieben werden.\n";
        return ExitFailed;
    }
    return code;
}
