#pragma once
// The comparison parser for the XML benchmarks: libexpat building a tree comparable to ours
// (elements with attributes, collapsed character data, CDATA sections, comments and
// processing instructions), with its UTF-8 strings as they come.

#include <expat.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

struct tExpatNode {
    int Type = 0; // 0 element, 1 text, 2 CDATA, 3 comment, 4 instruction
    std::string Name;
    std::string Text;
    std::vector<std::pair<std::string, std::string>> Attributes;
    std::vector<std::unique_ptr<tExpatNode>> Children;
};

class tExpatTreeBuilder {
public:
    // Encoding: nullptr lets expat detect it (byte-order mark or declaration).
    bool Parse(const char *Data, size_t Size, const char *Encoding, tExpatNode &Root) {
        XML_Parser Parser = XML_ParserCreate(Encoding);
        Stack.assign(1, &Root);
        InCData = false;
        XML_SetUserData(Parser, this);
        XML_SetElementHandler(Parser, &StartElement, &EndElement);
        XML_SetCharacterDataHandler(Parser, &CharacterData);
        XML_SetCdataSectionHandler(Parser, &StartCData, &EndCData);
        XML_SetCommentHandler(Parser, &Comment);
        XML_SetProcessingInstructionHandler(Parser, &Instruction);
        const bool Ok = XML_Parse(Parser, Data, static_cast<int>(Size), 1) == XML_STATUS_OK;
        XML_ParserFree(Parser);
        return Ok;
    }

private:
    static tExpatTreeBuilder &Self(void *Data) { return *static_cast<tExpatTreeBuilder *>(Data); }

    tExpatNode &Add(int Type) {
        auto &Children = Stack.back()->Children;
        Children.push_back(std::make_unique<tExpatNode>());
        Children.back()->Type = Type;
        return *Children.back();
    }

    static void StartElement(void *Data, const XML_Char *Name, const XML_Char **Attributes) {
        tExpatTreeBuilder &B = Self(Data);
        tExpatNode &Node = B.Add(0);
        Node.Name = Name;
        for (; *Attributes; Attributes += 2)
            Node.Attributes.emplace_back(Attributes[0], Attributes[1]);
        B.Stack.push_back(&Node);
    }
    static void EndElement(void *Data, const XML_Char *) { Self(Data).Stack.pop_back(); }

    static void CharacterData(void *Data, const XML_Char *Text, int Length) {
        tExpatTreeBuilder &B = Self(Data);
        auto &Children = B.Stack.back()->Children;
        const int Type = B.InCData ? 2 : 1;
        if (Children.empty() || Children.back()->Type != Type) {
            // Whitespace between elements makes no text node, as in our tree.
            if (!B.InCData && std::string_view(Text, Length).find_first_not_of(" \t\r\n") ==
                                  std::string_view::npos)
                return;
            B.Add(Type);
        }
        Children.back()->Text.append(Text, static_cast<size_t>(Length));
    }
    static void StartCData(void *Data) {
        Self(Data).InCData = true;
        Self(Data).Add(2);
    }
    static void EndCData(void *Data) { Self(Data).InCData = false; }
    static void Comment(void *Data, const XML_Char *Text) { Self(Data).Add(3).Text = Text; }
    static void Instruction(void *Data, const XML_Char *Target, const XML_Char *Text) {
        tExpatNode &Node = Self(Data).Add(4);
        Node.Name = Target;
        Node.Text = Text;
    }

    std::vector<tExpatNode *> Stack;
    bool InCData = false;
};
