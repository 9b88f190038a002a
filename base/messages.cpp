#include "base/messages.h"

#include "base/cstring.h"

#include <iostream>

namespace {

void WriteToStderr(TMessageKind Kind, const std::string &Text) {
    std::string text = Cp1252ToUtf8(Text);
    ReplaceText(text, "\r\n", "\n", true);
    std::cerr << (Kind == TMessageKind::Error ? "Fehler: " : "Warnung: ") << text << '\n';
}

TMessageProc &Handler() {
    static TMessageProc handler = WriteToStderr;
    return handler;
}

void Show(TMessageKind Kind, const std::string &Text) {
    // Copied so a handler that replaces itself while it runs stays valid.
    const TMessageProc handler = Handler();
    handler(Kind, Text);
}

} // namespace

TMessageProc SetMessageHandler(TMessageProc NewHandler) {
    TMessageProc previous = Handler();
    Handler() = NewHandler ? std::move(NewHandler) : TMessageProc(WriteToStderr);
    return previous;
}

void ShowErrorMessage(const std::string &Text) {
    Show(TMessageKind::Error, Text);
}

void ShowWarningMessage(const std::string &Text) {
    Show(TMessageKind::Warning, Text);
}
