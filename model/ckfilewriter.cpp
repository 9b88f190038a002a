// The .ckx document file: the writer.
#include "model/ckfile.h"

#include "model/ckmanager.h"

#include <string>

namespace {

const char *const CRLF = "\r\n";

const char *TypeName(int FieldType) {
    switch (FieldType) {
    case ftBoolean:
        return "boolean";
    case ftInteger:
        return "integer";
    case ftFloat:
        return "float";
    case ftDateTime:
        return "datetime";
    default:
        return "string";
    }
}

void AppendDigits(std::string &Out, int Value, int Width) {
    char buffer[8];
    for (int i = Width - 1; i >= 0; --i) {
        buffer[i] = static_cast<char>('0' + Value % 10);
        Value /= 10;
    }
    Out.append(buffer, static_cast<size_t>(Width));
}

// EncodeStamp without the temporary strings: the writer calls it twice per entry.
void AppendStamp(std::string &Out, TDateTime T) {
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(RecodeMilliSecond(T, 0), y, mo, d, h, mi, s, ms);
    AppendDigits(Out, y, 4);
    AppendDigits(Out, mo, 2);
    AppendDigits(Out, d, 2);
    AppendDigits(Out, h, 2);
    AppendDigits(Out, mi, 2);
    AppendDigits(Out, s, 2);
}

// An attribute value cannot hold '<', nor both quote characters: such a value is written
// in a readable approximation, and the exact text follows as a child element.
bool FitsAttribute(const std::string &Value) {
    return Value.find('<') == std::string::npos &&
           (Value.find('"') == std::string::npos || Value.find('\'') == std::string::npos);
}

void AppendAttribute(std::string &Out, const char *Name, const std::string &Value) {
    Out += ' ';
    Out += Name;
    Out += '=';
    std::string value = Value;
    if (!FitsAttribute(value)) {
        for (char &c : value)
            c = c == '<' ? '(' : c == '"' ? '\'' : c;
    }
    const char quote = value.find('"') == std::string::npos ? '"' : '\'';
    Out += quote;
    Out += value;
    Out += quote;
}

// A CDATA section ends at "]]>": such text is cut there into adjacent sections, and the
// element is marked so that the reader joins them without the usual space.
bool NeedsSplit(const std::string &Text) {
    return Text.find("]]>") != std::string::npos;
}

void AppendCData(std::string &Out, const std::string &Text) {
    Out += "<![CDATA[";
    size_t start = 0;
    for (size_t hit = Text.find("]]>"); hit != std::string::npos; hit = Text.find("]]>", start)) {
        Out.append(Text, start, hit + 2 - start);
        Out += "]]><![CDATA[";
        start = hit + 2;
    }
    Out.append(Text, start, std::string::npos);
    Out += "]]>";
}

void AppendTextElement(std::string &Out, const char *Tag, const std::string &Text) {
    Out += '<';
    Out += Tag;
    if (NeedsSplit(Text))
        Out += " split=\"1\"";
    Out += '>';
    AppendCData(Out, Text);
    Out += "</";
    Out += Tag;
    Out += '>';
}

// Whether a value survives as plain character data, which the reader trims and whose
// whitespace runs it collapses.
bool FitsPlainText(const std::string &Value) {
    if (Value.empty())
        return true;
    if (static_cast<unsigned char>(Value.front()) <= 32 ||
        static_cast<unsigned char>(Value.back()) <= 32)
        return false;
    for (size_t i = 0; i < Value.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(Value[i]);
        if (c == '<' || c < 32 || (c == ' ' && Value[i + 1] == ' '))
            return false;
    }
    return true;
}

void AppendFieldValue(std::string &Out, const TChronarkMan &Man, const tFieldItem &Field) {
    Out += "<fielditem";
    AppendAttribute(Out, "id", Field.Id);
    const bool plain = Man.FieldDefExists(Field.Id) && Man.FieldDefType(Field.Id) != ftString &&
                       FitsPlainText(Field.Value);
    if (!plain && NeedsSplit(Field.Value))
        Out += " split=\"1\"";
    Out += '>';
    if (!FitsAttribute(Field.Id))
        AppendTextElement(Out, "id", Field.Id);
    if (plain)
        Out += Field.Value;
    else
        AppendCData(Out, Field.Value);
    Out += "</fielditem>";
    Out += CRLF;
}

void AppendEntry(std::string &Out, const TChronarkMan &Man, const TCKTimeItem &E) {
    Out += "<item starttime=\"";
    AppendStamp(Out, E.StartTime);
    Out += "\" endtime=\"";
    AppendStamp(Out, E.EndTime);
    Out += "\">";
    Out += CRLF;
    if (!E.Comment.empty()) {
        AppendTextElement(Out, "comment", E.Comment);
        Out += CRLF;
    }
    if (!E.Fields.empty()) {
        Out += "<fields>";
        Out += CRLF;
        for (const tFieldItem &f : E.Fields)
            AppendFieldValue(Out, Man, f);
        Out += "</fields>";
        Out += CRLF;
    }
    Out += "</item>";
    Out += CRLF;
}

void AppendProjectStart(std::string &Out, const TChronarkMan &Man, const TCKProjectItem &P) {
    Out += "<project";
    AppendAttribute(Out, "caption", P.Caption);
    if (Man.DefaultProject == &P)
        Out += " default=\"1\"";
    Out += '>';
    Out += CRLF;
    if (!FitsAttribute(P.Caption)) {
        AppendTextElement(Out, "caption", P.Caption);
        Out += CRLF;
    }
}
} // namespace

std::string DocumentText(const TChronarkMan &Man) {
    std::string out;
    out.reserve(4096);
    out += DocumentHeader;
    if (!Man.FieldDefs.empty()) {
        out += "<head>\r\n<fielddef>\r\n";
        for (const tFieldDefItem &d : Man.FieldDefs) {
            out += "<fielditem";
            AppendAttribute(out, "id", d.Id);
            out += " type=\"";
            out += TypeName(d.FieldType);
            if (FitsAttribute(d.Id)) {
                out += "\"/>\r\n";
            } else {
                out += "\">";
                AppendTextElement(out, "id", d.Id);
                out += "</fielditem>\r\n";
            }
        }
        out += "</fielddef>\r\n</head>\r\n";
    }
    out += "<data>\r\n";
    WalkSubtree(
        Man.Root.get(), [&](TCKProjectItem *p) { AppendProjectStart(out, Man, *p); },
        [&](TCKTimeItem *e) { AppendEntry(out, Man, *e); },
        [&](TCKProjectItem *) { out += "</project>\r\n"; });
    out += "</data>\r\n</ckx>";
    return out;
}
