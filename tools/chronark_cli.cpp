// chronark-cli: checks, summarises, exports and prints Chronark documents from the command
// line.
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

// The model treats a missing file as empty input, which the parser reports as a document
// without a root element; on the command line a mistyped name deserves a plainer message.
bool ReportMissingFile(const TMessageSink &Sink, const std::string &FileName) {
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::path(FileName), error) || error)
        return false;
    // Worded like the model's own message for a file it cannot read.
    const std::string reason = "Die Datei kann nicht gelesen werden. Der Ordner oder die "
                               "Datei existiert nicht.";
    DeliverMessage(Sink, TMessageKind::Error, "Fehler in \"" + FileName + "\":\r\n\r\n" + reason);
    return true;
}

// Man reports to its OnMessage, and so does the check before it.
bool Load(TChronarkMan &Man, const std::string &FileName) {
    return !ReportMissingFile(Man.OnMessage, FileName) && Man.LoadFromFile(FileName, false);
}

int Check(const std::string &FileName) {
    TChronarkMan man;
    TCliMessageSink sink(std::cout, FileName);
    man.OnMessage = sink.Sink();
    // A check lists every fault, however many.
    man.ReportAllTimeFaults = true;
    const bool loaded = Load(man, FileName);
    if (sink.Count() > 0)
        std::cout << '\n';
    std::cout << "Ergebnis: " << (loaded ? "geladen" : "nicht geladen") << " (";
    if (loaded) {
        const TDocumentCounts counts = CountDocument(man);
        std::cout << ProjectCount(counts.Projects) << ", " << EntryCount(counts.Entries) << "; ";
    }
    std::cout << sink.Errors() << " Fehler, " << sink.Warnings()
              << (sink.Warnings() == 1 ? " Warnung" : " Warnungen") << ")\n";
    return loaded && sink.Errors() == 0 ? ExitOk : ExitFailed;
}

int Summary(const std::string &FileName) {
    TChronarkMan man;
    bool loaded;
    {
        TCliMessageSink sink(std::cerr, FileName);
        man.OnMessage = sink.Sink();
        loaded = Load(man, FileName);
        man.OnMessage = nullptr;
    }
    if (!loaded)
        return ExitFailed;
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
        std::cerr << "chronark-cli: " << EscapeControls(args.Error) << '\n'
                  << CliUsageLine() << "Hilfe: chronark-cli --help\n";
        return ExitUsage;
    }
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "chronark-cli: Die Ausgabe konnte nicht geschrieben werden.\n";
        return ExitFailed;
    }
    return code;
}
