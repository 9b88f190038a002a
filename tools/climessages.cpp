#include "tools/climessages.h"

#include "base/cp1252.h"
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

std::string EscapeControls(const std::string &Utf8) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(Utf8.size());
    for (size_t i = 0; i < Utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(Utf8[i]);
        if ((c < 0x20 && c != '\t' && c != '\n') || c == 0x7F) {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else if (c == 0xC2 && i + 1 < Utf8.size() &&
                   static_cast<unsigned char>(Utf8[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(Utf8[i + 1]) <= 0x9F) {
            // U+0080 to U+009F, which some terminals take as 8-bit control sequences.
            const unsigned char code = static_cast<unsigned char>(Utf8[++i]);
            out += "\\u00";
            out += hex[code >> 4];
            out += hex[code & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
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
    Out << EscapeControls(MessageBlock(Kind, Text, FileName)) << '\n';
    if (Kind == TMessageKind::Error)
        ++FErrors;
    else
        ++FWarnings;
}
