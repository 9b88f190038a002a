#include "tools/cliargs.h"

namespace {

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
    return TCliCommand::None;
}

} // namespace

TCliArgs ParseCliArgs(const std::vector<std::string> &Args) {
    TCliArgs result;
    std::vector<std::string> positional;
    bool optionsEnded = false;
    std::string unknownOption;
    for (const std::string &a : Args) {
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
        } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
            // Remembered, not reported yet: a later --help still shows the help.
            if (unknownOption.empty())
                unknownOption = a;
        } else {
            positional.push_back(a);
        }
    }
    if (!unknownOption.empty()) {
        result.Error = "Unbekannte Option \"" + unknownOption + "\".";
        return result;
    }
    if (positional.empty()) {
        result.Error = "Es fehlt der Befehl (check oder summary).";
        return result;
    }
    result.Command = CommandNamed(positional[0]);
    if (result.Command == TCliCommand::None) {
        result.Error = "Unbekannter Befehl \"" + positional[0] + "\".";
        return result;
    }
    if (result.Command == TCliCommand::Help) {
        if (positional.size() > 1)
            result.Error = "Der Befehl help erwartet keine weiteren Argumente.";
    } else if (positional.size() < 2) {
        result.Error = "Es fehlt der Name der Datei.";
    } else if (positional.size() > 2) {
        result.Error = "Zu viele Argumente: nur eine Datei ist erlaubt (\"" + positional[2] +
                       "\" ist zu viel).";
    } else if (positional[1].empty()) {
        result.Error = "Der Name der Datei ist leer.";
    } else {
        result.FileName = positional[1];
    }
    if (!result.Error.empty())
        result.Command = TCliCommand::None;
    return result;
}

std::string CliUsageLine() {
    return "Aufruf: chronark-cli [Optionen] check|summary DATEI\n";
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
           "  1  Das Dokument ließ sich nicht laden, bei check auch: beim Laden wurde ein\n"
           "     Fehler gemeldet (zum Beispiel ein übergangener Eintrag), oder die Ausgabe\n"
           "     konnte nicht geschrieben werden.\n"
           "  2  Falscher Aufruf (unbekannter Befehl oder Option, fehlende Datei).\n"
           "\n"
           "Die Ausgabe ist UTF-8; Datum und Uhrzeit im deutschen Format.\n"
           "\n"
           "Checks and summarises Chronark documents: 'check FILE' prints the program's\n"
           "load messages (exit 0 = loads without errors), 'summary FILE' prints the\n"
           "project tree with net times and the total.\n";
}
