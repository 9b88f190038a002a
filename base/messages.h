#pragma once
// How errors and warnings reach the user: whoever does the work is handed a sink (the
// document has its own, TChronarkMan::OnMessage), so two documents or a tool and a window
// never share one display.

#include <functional>
#include <string>

enum class TMessageKind { Error, Warning };

// Text is 8-bit Windows-1252; line breaks are CR LF.
using TMessageSink = std::function<void(TMessageKind Kind, const std::string &Text)>;

// "Fehler: " or "Warnung: " and the text as UTF-8 with plain line ends on stderr: what a
// program without a window of its own shows.
void WriteMessageToStderr(TMessageKind Kind, const std::string &Text);

// Sends to Sink, or to stderr when Sink is empty.
void DeliverMessage(const TMessageSink &Sink, TMessageKind Kind, const std::string &Text);
