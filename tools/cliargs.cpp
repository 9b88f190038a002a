#include "tools/cliargs.h"

#include "base/numbers.h"
#include "export/inifile.h"

namespace {

TResult UsageError(std::string Text) {
    return TResult::Failure(TStatus::BadUsage, std::move(Text));
}

bool IsHelp(const std::string &A) {
    return A == "-h" || A == "--help";
}

TCliCommand CommandNamed(const std::string &Name) {
    if (Name == "check")
        return TCliCommand::Check;
    if (Name == "summary")
        return TCliCommand::Summary;
    if (Name == "help")
        return TCliCommand::Help;
    if (Name == "export")
        return TCliCommand::Export;
    if (Name == "print")
        return TCliCommand::Print;
    return TCliCommand::None;
}

bool IsExportOption(const std::string &A) {
    static const char *const names[] = {"--profile",    "--output",    "--export-dir",
                                        "--subprofile", "--separator", "--separator-code",
                                        "--project",    "--pdf"};
    for (const char *name : names)
        if (A == name)
            return true;
    return false;
}

// Stores one export option; a German sentence when it cannot be taken.
std::string TakeExportOption(TCliExport &Export, const std::string &Name, const std::string &Value,
                             bool &SeenProfile, bool &SeenOutput, bool &SeenPdf, std::string &Pdf) {
    const auto once = [&](bool &Seen, std::string &Into) -> std::string {
        if (Seen)
            return "Die Option " + Name + " ist doppelt angegeben.";
        Seen = true;
        Into = Value;
        return {};
    };
    bool seenDir = !Export.ExportDir.empty();
    if (Name == "--pdf")
        return once(SeenPdf, Pdf);
    if (Name == "--profile")
        return once(SeenProfile, Export.Profile);
    if (Name == "--output")
        return once(SeenOutput, Export.Output);
    if (Name == "--export-dir") {
        if (Value.empty())
            return "Der Exportordner ist leer.";
        return once(seenDir, Export.ExportDir);
    }
    if (Name == "--subprofile")
        return once(Export.HasSubProfile, Export.SubProfile);
    if (Name == "--project") {
        Export.HasProjects = true;
        Export.Projects.push_back(Value);
        return {};
    }
    if (Export.HasSeparator || Export.HasSeparatorCode)
        return "Nur eine der Optionen --separator und --separator-code ist erlaubt.";
    if (Name == "--separator") {
        Export.HasSeparator = true;
        Export.Separator = Value;
        return {};
    }
    Export.HasSeparatorCode = true;
    if (!TryStrToInt32(Value, Export.SeparatorCode))
        return "--separator-code erwartet eine ganze Zahl, nicht \"" + Value + "\".";
    return {};
}

} // namespace

TCliArgs ParseCliArgs(const std::vector<std::string> &Args) {
    TCliArgs result;
    std::vector<std::string> positional;
    bool optionsEnded = false;
    std::string unknownOption, exportError, exportOption, pdfOption;
    bool seenProfile = false, seenOutput = false, seenPdf = false;
    for (size_t i = 0; i < Args.size(); ++i) {
        const std::string &a = Args[i];
        if (!optionsEnded && IsHelp(a)) {
            result.Command = TCliCommand::Help;
            return result;
        }
        if (!optionsEnded && a == "--version") {
            result.Command = TCliCommand::Version;
            return result;
        }
        if (!optionsEnded && a == "--") {
            optionsEnded = true;
        } else if (!optionsEnded &&
                   (IsExportOption(a) || IsExportOption(a.substr(0, a.find('='))))) {
            const size_t eq = a.find('=');
            const std::string name = a.substr(0, eq);
            std::string value;
            if (eq != std::string::npos) {
                value = a.substr(eq + 1);
            } else if (i + 1 < Args.size()) {
                value = Args[++i];
            } else {
                if (exportError.empty())
                    exportError = "Der Option " + name + " fehlt ihr Wert.";
                continue;
            }
            // --project serves export and print alike, --pdf print alone.
            if (name == "--pdf")
                pdfOption = name;
            else if (exportOption.empty() && name != "--project")
                exportOption = name;
            const std::string error = TakeExportOption(result.Export, name, value, seenProfile,
                                                       seenOutput, seenPdf, result.Pdf);
            if (exportError.empty())
                exportError = error;
        } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
            // Remembered, not reported yet: a later --help still shows the help.
            if (unknownOption.empty())
                unknownOption = a;
        } else {
            positional.push_back(a);
        }
    }
    if (!unknownOption.empty()) {
        result.Result = UsageError("Unbekannte Option \"" + unknownOption + "\".");
        return result;
    }
    if (positional.empty()) {
        result.Result = UsageError("Es fehlt der Befehl (check, summary, export oder print).");
        return result;
    }
    result.Command = CommandNamed(positional[0]);
    if (result.Command == TCliCommand::None) {
        result.Result = UsageError("Unbekannter Befehl \"" + positional[0] + "\".");
        return result;
    }
    if (result.Command != TCliCommand::Export && !exportOption.empty()) {
        result.Result = UsageError("Die Option " + exportOption + " gilt nur für export.");
        result.Command = TCliCommand::None;
        return result;
    }
    if (result.Command != TCliCommand::Print && !pdfOption.empty()) {
        result.Result = UsageError("Die Option --pdf gilt nur für print.");
        result.Command = TCliCommand::None;
        return result;
    }
    if (result.Command != TCliCommand::Export && result.Command != TCliCommand::Print &&
        result.Export.HasProjects) {
        result.Result = UsageError("Die Option --project gilt nur für export und print.");
        result.Command = TCliCommand::None;
        return result;
    }
    if (result.Command == TCliCommand::Print && result.Result) {
        if (!exportError.empty())
            result.Result = UsageError(exportError);
        else if (!seenPdf || result.Pdf.empty())
            result.Result = UsageError("Es fehlt die PDF-Datei (--pdf).");
    }
    if (result.Command == TCliCommand::Export && result.Result) {
        if (!exportError.empty())
            result.Result = UsageError(exportError);
        else if (!seenProfile || result.Export.Profile.empty())
            result.Result = UsageError("Es fehlt das Exportprofil (--profile).");
        else if (!seenOutput || result.Export.Output.empty())
            result.Result = UsageError("Es fehlt die Ausgabedatei (--output).");
    }
    if (!result.Result) {
        result.Command = TCliCommand::None;
        return result;
    }
    if (result.Command == TCliCommand::Help) {
        if (positional.size() > 1)
            result.Result = UsageError("Der Befehl help erwartet keine weiteren Argumente.");
    } else if (positional.size() < 2) {
        result.Result = UsageError("Es fehlt der Name der Datei.");
    } else if (positional.size() > 2) {
        result.Result = UsageError("Zu viele Argumente: nur eine Datei ist erlaubt (\"" +
                                   positional[2] + "\" ist zu viel).");
    } else if (positional[1].empty()) {
        result.Result = UsageError("Der Name der Datei ist leer.");
    } else {
        result.FileName = positional[1];
    }
    if (!result.Result)
        result.Command = TCliCommand::None;
    return result;
}

std::string CliUsageLine() {
    return "Aufruf: chronark-cli [Optionen] check|summary DATEI\n"
           "       chronark-cli export DATEI --profile PROFIL --output AUSGABE [Optionen]\n"
           "       chronark-cli print DATEI --pdf AUSGABE [--project PFAD]...\n";
}

std::string CliVersionText() {
    return "chronark-cli " CHRONARK_VERSION "\n";
}

std::string CliHelpText() {
    return CliUsageLine() +
           "\n"
           "Prüft und beschreibt Chronark-Dokumente (.ckx) ohne Fenster.\n"
           "\n"
           "Befehle:\n"
           "  check DATEI     lädt das Dokument wie das Programm und gibt jeden Fehler und\n"
           "                  jede Warnung aus, die das Programm dabei zeigen würde;\n"
           "                  danach eine Zeile \"Ergebnis: ...\".\n"
           "  summary DATEI   zeigt den Projektbaum mit der Zahl der direkten Einträge und der\n"
           "                  Nettozeit je Projekt (nur direkte Einträge, Überschneidungen\n"
           "                  einfach gezählt), die Zahl der Einträge und der sich\n"
           "                  überschneidenden Einträge und die Gesamtzeit wie die\n"
           "                  Statuszeile (\"Gesamt: ... Sek\"). Meldungen beim Laden gehen\n"
           "                  auf die Fehlerausgabe.\n"
           "  export DATEI    exportiert Projekte des Dokuments mit einem Exportprofil, Byte\n"
           "                  für Byte wie \"Exportieren...\" im Programm:\n"
           "    --profile PROFIL        der Abschnitt in export.ini (Pflicht)\n"
           "    --output AUSGABE        die Datei, die geschrieben wird (Pflicht)\n"
           "    --export-dir ORDNER     der Ordner mit export.ini; sonst der Ordner export\n"
           "                            neben dem Programm\n"
           "    --subprofile NAME       das Unterprofil; sonst wie im Exportdialog\n"
           "    --separator ZEICHEN     das Trennzeichen ($separator$), oder\n"
           "    --separator-code N      das Trennzeichen als Zahl; sonst das erste angebotene\n"
           "    --project PFAD          ein Projekt (Namen mit \\ verbunden, \"\" für die\n"
           "                            Einträge direkt unter Projekte); mehrfach möglich,\n"
           "                            sonst alle Projekte\n"
           "  print DATEI     schreibt den Bericht von \"Drucken...\" als PDF-Datei:\n"
           "    --pdf AUSGABE           die PDF-Datei, die geschrieben wird (Pflicht)\n"
           "    --project PFAD          wie bei export; sonst alle Projekte\n"
           "  help            zeigt diese Hilfe.\n"
           "\n"
           "Optionen:\n"
           "  -h, --help      zeigt diese Hilfe.\n"
           "  --version       zeigt die Version.\n"
           "  --              beendet die Optionen (für Dateinamen, die mit - beginnen).\n"
           "\n"
           "Rückgabewerte:\n"
           "  0  Das Dokument wurde geladen; bei check ohne Fehlermeldung (Warnungen, etwa\n"
           "     zu einer neueren Dateiversion, ändern daran nichts).\n"
           "  1  Das Dokument ließ sich nicht laden oder der Export scheiterte; bei check\n"
           "     auch: beim Laden wurde ein Fehler gemeldet (zum Beispiel ein übergangener\n"
           "     Eintrag), oder die Ausgabe konnte nicht geschrieben werden.\n"
           "  2  Falscher Aufruf (unbekannter Befehl oder Option, fehlende Datei).\n"
           "\n"
           "Die Ausgabe ist UTF-8; Datum und Uhrzeit im deutschen Format.\n"
           "\n"
           "Checks and summarises Chronark documents: 'check FILE' prints the program's\n"
           "load messages (exit 0 = loads without errors), 'summary FILE' prints the\n"
           "project tree with net times and the total, 'export FILE --profile P --output O'\n"
           "writes what the program's export writes for the same choices, 'print FILE\n"
           "--pdf OUT' writes the printed report as a PDF file.\n";
}
