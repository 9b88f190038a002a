#pragma once
// Turns the program's error and warning display into text for a terminal.

#include "base/messages.h"

#include <iosfwd>
#include <string>

// A message as UTF-8 with plain line ends. The file name inside "Fehler in "..."" is the
// file system's own spelling and stays as it is; the rest is Windows-1252 text.
std::string MessageToUtf8(const std::string &Text, const std::string &FileName);

// "Warnung: " before warnings; errors that do not already say "Fehler" get "Fehler: ".
std::string MessageBlock(TMessageKind Kind, const std::string &Text, const std::string &FileName);

// While alive, every message the program would show is written to Out (blocks separated
// by an empty line) and counted; the previous display comes back afterwards.
class TCliMessageSink {
public:
    TCliMessageSink(std::ostream &Out, std::string FileName);
    ~TCliMessageSink();
    TCliMessageSink(const TCliMessageSink &) = delete;
    TCliMessageSink &operator=(const TCliMessageSink &) = delete;

    int Errors() const { return FErrors; }
    int Warnings() const { return FWarnings; }
    int Count() const { return FErrors + FWarnings; }

private:
    void Show(TMessageKind Kind, const std::string &Text);

    std::ostream &Out;
    std::string FileName;
    TMessageProc Previous;
    int FErrors = 0;
    int FWarnings = 0;
};
