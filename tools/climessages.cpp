#include "tools/climessages.h"

#include "base/cstring.h"

#include <ostream>

std::string MessageToUtf8(const std::string &Text, const std::string &FileName) {
    const std::string head = "Fehler in \"" + FileName + "\"";
    std::string text;
    if (!FileName.empty() && Text.compare(0, head.size(), head) == 0)
        text = head + Cp1252ToUtf8(Text.substr(head.size()));
    else
        text = Cp1252ToUtf8(Text);
    ReplaceText(text, "\r\n", "\n", true);
    return text;
}

std::string MessageBlock(TMessageKind Kind, const std::string &Text, const std::string &FileName) {
    const std::string text = MessageToUtf8(Text, FileName);
    if (Kind == TMessageKind::Warning)
        return "Warnung: " + text;
    if (text.compare(0, 6, "Fehler") == 0)
        return text;
    return "Fehler: " + text;
}

TCliMessageSink::TCliMessageSink(std::ostream &AOut, std::string AFileName)
    : Out(AOut), FileName(std::move(AFileName)) {}

TMessageSink TCliMessageSink::Sink() {
    return [this](TMessageKind Kind, const std::string &Text) { Show(Kind, Text); };
}

void TCliMessageSink::Show(TMessageKind Kind, const std::string &Text) {
    if (Count() > 0)
        Out << '\n';
    Out << MessageBlock(Kind, Text, FileName) << '\n';
    if (Kind == TMessageKind::Error)
        ++FErrors;
    else
        ++FWarnings;
}
