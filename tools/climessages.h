#pragma once
// Turns the program's errors and warnings into text for a terminal.

#include "base/messages.h"

#include <iosfwd>
#include <string>

// A message as UTF-8 with plain line ends. The file name inside "Fehler in "..."" is the
// file system's own spelling and stays as it is; the rest is Windows-1252 text.
std::string MessageToUtf8(const std::string &Text, const std::string &FileName);

// Control characters other than tab and line feed (C0, DEL and the C1 range) as "\x1B" and
// "\u009B": a caption or file name must not retitle, clear or reprogram the terminal.
std::string EscapeControls(const std::string &Utf8);

// "Warnung: " before warnings; errors that do not already say "Fehler" get "Fehler: ".
std::string MessageBlock(TMessageKind Kind, const std::string &Text, const std::string &FileName);

// Every message sent to Sink() is written to Out (blocks separated by an empty line) and
// counted. The sink refers to this object: it must not be used once this is gone.
class TCliMessageSink {
public:
    TCliMessageSink(std::ostream &Out, std::string FileName);
    TCliMessageSink(const TCliMessageSink &) = delete;
    TCliMessageSink &operator=(const TCliMessageSink &) = delete;

    // For TChronarkMan::OnMessage and the tool's own messages.
    TMessageSink Sink();

    int Errors() const { return FErrors; }
    int Warnings() const { return FWarnings; }
    int Count() const { return FErrors + FWarnings; }

private:
    void Show(TMessageKind Kind, const std::string &Text);

    std::ostream &Out;
    std::string FileName;
    int FErrors = 0;
    int FWarnings = 0;
};
