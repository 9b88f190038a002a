#pragma once
// The command line of chronark-cli: one command and one document file.

#include <string>
#include <vector>

enum class TCliCommand { None, Help, Version, Check, Summary };

struct TCliArgs {
    TCliCommand Command = TCliCommand::None;
    std::string FileName;
    // Set when the command line cannot be run; a German sentence for stderr.
    std::string Error;
};

// Args without the program name. -h/--help and --version win over everything else;
// "--" ends the options, so a file name may begin with '-'.
TCliArgs ParseCliArgs(const std::vector<std::string> &Args);

// UTF-8 texts.
std::string CliHelpText();
std::string CliUsageLine();
std::string CliVersionText();

// Exit codes.
constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;
