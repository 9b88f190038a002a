#include "base/messages.h"

#include "base/cp1252.h"
#include "base/cstring.h"

#include <iostream>

void WriteMessageToStderr(TMessageKind Kind, const std::string &Text) {
    std::string text = Cp1252ToUtf8(Text);
    ReplaceText(text, "\r\n", "\n", true);
    std::cerr << (Kind == TMessageKind::Error ? "Fehler: " : "Warnung: ") << text << '\n';
}

void DeliverMessage(const TMessageSink &Sink, TMessageKind Kind, const std::string &Text) {
    if (Sink)
        Sink(Kind, Text);
    else
        WriteMessageToStderr(Kind, Text);
}
