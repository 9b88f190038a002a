#pragma once
// Helpers shared by the XML tests: a compact rendering of node trees, re-encoding of
// one-byte text, and a parse that captures what the error callback saw.

#include <sstream>
#include <string>

#include "xml/xmlparser.h"

namespace xmltest {

inline void AppendText(std::string &Out, const std::u16string &Text) {
    for (char16_t C : Text) {
        if (C < 0x100) {
            Out.push_back(static_cast<char>(C));
        } else {
            static const char Hex[] = "0123456789ABCDEF";
            Out += "{U+";
            for (int Shift = 12; Shift >= 0; Shift -= 4)
                Out.push_back(Hex[(C >> Shift) & 15]);
            Out += "}";
        }
    }
}

// E:name[attr=value](children), T'text', C'comment', D'cdata', Y'doctype', P'target'data'.
inline void Dump(std::string &Out, const tXMLItem &Node) {
    const auto Quoted = [&Out](const char *Tag, const std::u16string &Text) {
        Out += Tag;
        Out += '\'';
        AppendText(Out, Text);
        Out += '\'';
    };
    switch (Node.ItemType) {
    case xiDocument:
    case xiMarkup: {
        const auto &Element = static_cast<const tXMLMarkupItem &>(Node);
        if (Node.ItemType == xiMarkup) {
            Out += "E:";
            AppendText(Out, Element.Name);
            for (const tAttribItem &A : Element.Attributes) {
                Out += '[';
                AppendText(Out, A.Name);
                Out += '=';
                AppendText(Out, A.Value);
                Out += ']';
            }
            Out += '(';
        }
        for (size_t I = 0; I < Element.Children.size(); ++I) {
            if (I)
                Out += ',';
            Dump(Out, *Element.Children[I]);
        }
        if (Node.ItemType == xiMarkup)
            Out += ')';
        break;
    }
    case xiText:
        Quoted("T", static_cast<const TXMLTextItem &>(Node).Text);
        break;
    case xiComment:
        Quoted("C", static_cast<const TXMLTextItem &>(Node).Text);
        break;
    case xiCData:
        Quoted("D", static_cast<const TXMLTextItem &>(Node).Text);
        break;
    case xiDocType:
        Quoted("Y", static_cast<const TXMLTextItem &>(Node).Text);
        break;
    case xiProcInstruction: {
        const auto &Instruction = static_cast<const tXMLProcInstruction &>(Node);
        Quoted("P", Instruction.Target);
        AppendText(Out, Instruction.Data);
        Out += '\'';
        break;
    }
    default:
        Out += '?';
    }
}

inline std::string Dump(const tXMLItem &Node) {
    std::string Out;
    Dump(Out, Node);
    return Out;
}

// Each byte of Latin1 is one character; the result is in the given encoding.
inline std::string Encode(const std::string &Latin1, int Encoding, bool Bom = true) {
    std::string Out;
    if (Bom && Encoding == ceUTF8)
        Out = "\xEF\xBB\xBF";
    else if (Bom && Encoding == ceUTF16LE)
        Out = "\xFF\xFE";
    else if (Bom && Encoding == ceUTF16BE)
        Out = "\xFE\xFF";
    for (char Ch : Latin1) {
        const auto C = static_cast<unsigned char>(Ch);
        switch (Encoding) {
        case ceUTF8:
            if (C < 0x80) {
                Out.push_back(Ch);
            } else {
                Out.push_back(static_cast<char>(0xC0 | C >> 6));
                Out.push_back(static_cast<char>(0x80 | (C & 0x3F)));
            }
            break;
        case ceUTF16LE:
            Out.push_back(Ch);
            Out.push_back('\0');
            break;
        case ceUTF16BE:
            Out.push_back('\0');
            Out.push_back(Ch);
            break;
        default:
            Out.push_back(Ch);
        }
    }
    return Out;
}

struct tResult {
    bool Ok = false;
    std::string Msg;
    int32_t Pos = 0;
    int32_t Len = 0;
    int Calls = 0;
    std::string Tree;
};

inline tResult Parse(const std::string &Bytes, int Encoding = ceLatin1) {
    tResult R;
    tXMLParser Parser([&R](const std::string &Msg, const std::string &, std::istream &, int32_t Pos,
                           int32_t Len) {
        ++R.Calls;
        R.Msg = Msg;
        R.Pos = Pos;
        R.Len = Len;
    });
    std::istringstream Stream(Bytes);
    tXMLDocument Doc;
    R.Ok = Parser.ParseStream(Stream, "test.xml", Doc, Encoding);
    R.Tree = Dump(Doc);
    return R;
}

} // namespace xmltest
