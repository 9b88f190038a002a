#pragma once
// The command line of chronark-cli: one command and one document file.

#include "base/result.h"

#include <cstdint>
#include <string>
#include <vector>

enum class TCliCommand { None, Help, Version, Check, Summary, Export, Print };

// The choices of an export, as the export dialog would make them. Texts as typed (UTF-8).
struct TCliExport {
    std::string Profile;
    std::string Output;
    std::string ExportDir; // empty: the export folder beside the program
    bool HasSubProfile = false;
    std::string SubProfile;
    bool HasSeparator = false;
    std::string Separator; // --separator: one character
    bool HasSeparatorCode = false;
    int32_t SeparatorCode = 0; // --separator-code: its low 8 bits count
    bool HasProjects = false;
    std::vector<std::string> Projects; // paths, captions joined by '\\'
};

struct TCliArgs {
    TCliCommand Command = TCliCommand::None;
    std::string FileName;
    TCliExport Export;
    // print: the PDF file written (--pdf); the projects come from Export.Projects.
    std::string Pdf;
    // A failure (BadUsage) when the command line cannot be run, with a German sentence for
    // stderr; Command is None then.
    TResult Result;
};

// Args without the program name. -h/--help and --version win over everything else;
// "--" ends the options, so a file name may begin with '-'. The export options take a
// value, as "--option VALUE" or "--option=VALUE".
TCliArgs ParseCliArgs(const std::vector<std::string> &Args);

// UTF-8 texts.
std::string CliHelpText();
std::string CliUsageLine();
std::string CliVersionText();

// Exit codes.
constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;
// The exit code a command's result calls for.
inline int ExitCode(const TResult &Result) {
    if (Result)
        return ExitOk;
    return Result.Status() == TStatus::BadUsage ? ExitUsage : ExitFailed;
}
