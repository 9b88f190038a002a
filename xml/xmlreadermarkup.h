#pragma once
// Declarations (comments, CDATA sections, DOCTYPE) and processing instructions.

#include "xml/xmlreaderchars.h"

// After "<!": the keyword decides between comment, CDATA section and DOCTYPE.
template <class tDecoder, bool Fast>
void tXMLReader<tDecoder, Fast>::ReadDeclaration(tXMLMarkupItem &Parent, int64_t Start) {
    int32_t Type;
    // Keywords in plain characters are taken in one step; read one by one, they would end
    // at their last character all the same.
    if (LooksAt<"[CDATA[">()) {
        Cur += 7 * tDecoder::Unit;
        Type = xiCData;
    } else if (LooksAt<"--">()) {
        Cur += 2 * tDecoder::Unit;
        Type = xiComment;
    } else {
        Type = ReadKeyword(Start);
    }
    if (Type == xiNone)
        return;
    auto *Body = NewChild<TXMLTextItem>(Parent);
    Body->ItemType = Type;
    Body->Position = static_cast<int32_t>(GetPosition() + 1);
    if (Type == xiComment)
        ReadComment(*Body);
    else if (Type == xiCData)
        ReadCData(*Body);
    else
        ReadDocType(*Body);
}

// At "<![CDATA[" or "<!--" in plain characters (and nothing held back): reads the section or
// comment as the markup dispatch would. False, reading nothing, at anything else.
template <class tDecoder, bool Fast>
bool tXMLReader<tDecoder, Fast>::ReadKnownDeclaration(tXMLMarkupItem &Parent) {
    int32_t Type;
    if (AtAscii<tDecoder, "<![CDATA[">(Cur, End)) {
        Cur += 9 * tDecoder::Unit;
        Type = xiCData;
    } else if (AtAscii<tDecoder, "<!--">(Cur, End)) {
        Cur += 4 * tDecoder::Unit;
        Type = xiComment;
    } else {
        return false;
    }
    auto *Body = NewChild<TXMLTextItem>(Parent);
    Body->ItemType = Type;
    Body->Position = static_cast<int32_t>(GetPosition() + 1);
    if (Type == xiCData) {
        // The usual section, closed by the first "]]>" after its run, is stored at once.
        Buffer.Size = 0;
        const tByte *Stopped = DecodeRun<tDecoder, XMLStops::CData, true>(Cur, End, Buffer);
        if (AtAscii<tDecoder, "]]>">(Stopped, End)) {
            Cur = Stopped + 3 * tDecoder::Unit;
            StoreNew(Body->Text, Buffer.Data(), Buffer.Size);
            return true;
        }
        ReadCData(*Body);
    } else {
        ReadComment(*Body);
    }
    return true;
}

// The keyword is tested after every character, so the body starts right after the keyword's
// last character. xiNone after an error or at the end of the input.
template <class tDecoder, bool Fast>
int32_t tXMLReader<tDecoder, Fast>::ReadKeyword(int64_t Start) {
    enum : int { Nothing, InKeyword, KeywordEnded };
    int State = Nothing;
    Keyword.clear();
    while (!Err.HasError && !AtEnd()) {
        const char16_t C = ReadChar();
        if (IsSpace(C) || C == u'>') {
            if (State == Nothing)
                SetError(C == u'>' ? XMLMsg::InvalidChar : XMLMsg::SpaceInDeclaration);
            else
                State = KeywordEnded;
        } else if (State != KeywordEnded) {
            Keyword.push_back(C);
            State = InKeyword;
        }
        if (Keyword == u"--")
            return xiComment;
        if (Keyword == u"[CDATA[")
            return xiCData;
        if (Keyword == u"DOCTYPE")
            return xiDocType;
        if (State == KeywordEnded) {
            SetErrorAt(XMLMsg::BadDeclaration, Start, GetPosition() - Start - 1);
            break;
        }
    }
    return xiNone;
}

template <class tDecoder, bool Fast>
void tXMLReader<tDecoder, Fast>::ReadComment(TXMLTextItem &Node) {
    std::u16string &Text = Node.Text;
    int Dashes = 0;
    bool Closed = false;
    while (!Err.HasError && !AtEnd()) {
        if (Dashes == 0) {
            if (AppendRun<XMLStops::Comment, true>(Text) && AtEnd())
                break;
            if (LooksAt<"-->">()) {
                Cur += 3 * tDecoder::Unit;
                Closed = true;
                break;
            }
        }
        const char16_t C = ReadChar();
        if (C == u'-') {
            if (Dashes == 2)
                SetError(XMLMsg::CommentSyntax);
            else
                ++Dashes;
        } else if (C == u'>') {
            if (Dashes == 2) {
                Closed = true;
                break;
            }
            if (Dashes == 1)
                Text.push_back(u'-');
            Text.push_back(u'>');
            Dashes = 0;
        } else if (Dashes == 2) {
            SetError(XMLMsg::CommentSyntax);
        } else {
            if (Dashes == 1)
                Text.push_back(u'-');
            Text.push_back(C);
            Dashes = 0;
        }
    }
    if (!Closed && AtEnd())
        SetErrorAt(XMLMsg::CommentOpen, Node.Position, 1);
}

template <class tDecoder, bool Fast>
void tXMLReader<tDecoder, Fast>::ReadCData(TXMLTextItem &Node) {
    std::u16string &Text = Node.Text;
    int Brackets = 0;
    bool Closed = false;
    while (!Err.HasError && !AtEnd()) {
        if (Brackets == 0) {
            if (AppendRun<XMLStops::CData, true>(Text) && AtEnd())
                break;
            if (LooksAt<"]]>">()) {
                Cur += 3 * tDecoder::Unit;
                Closed = true;
                break;
            }
        }
        const char16_t C = ReadChar();
        if (C == u']') {
            if (Brackets == 2)
                Text.push_back(u']');
            else
                ++Brackets;
        } else if (C == u'>' && Brackets == 2) {
            Closed = true;
            break;
        } else {
            Text.append(static_cast<size_t>(Brackets), u']');
            Text.push_back(C);
            Brackets = 0;
        }
    }
    if (!Closed && AtEnd())
        SetErrorAt(XMLMsg::CDataOpen, Node.Position, 1);
}

template <class tDecoder, bool Fast>
void tXMLReader<tDecoder, Fast>::ReadDocType(TXMLTextItem &Node) {
    bool Closed = false;
    while (!Err.HasError && !AtEnd()) {
        if (AppendRun<XMLStops::DocType, true>(Node.Text) && AtEnd())
            break;
        const char16_t C = ReadChar();
        if (C == u'>') {
            Closed = true;
            break;
        }
        Node.Text.push_back(C);
    }
    if (!Closed && AtEnd())
        SetErrorAt(XMLMsg::DocTypeOpen, Node.Position, 1);
}

template <class tDecoder, bool Fast>
void tXMLReader<tDecoder, Fast>::ReadProcInstruction(tXMLProcInstruction &Instruction) {
    enum : int { Start, InTarget, InData, QuestionInData, QuestionAfterTarget };
    int State = Start;
    while (!Err.HasError && !AtEnd()) {
        if (State == InTarget)
            AppendRun<XMLStops::InstructionTarget>(Instruction.Target);
        else if (State == InData)
            AppendRun<XMLStops::InstructionData, true>(Instruction.Data);
        if (AtEnd())
            break;
        const char16_t C = ReadChar();
        const bool Space = IsSpace(C);
        switch (State) {
        case Start:
            if (Space)
                SetError(XMLMsg::SpaceInInstruction);
            else if (C == u'>' || C == u'?')
                SetError(XMLMsg::InvalidChar);
            else {
                Instruction.Target.push_back(C);
                State = InTarget;
            }
            break;
        case InTarget:
            if (Space)
                State = InData;
            else if (C == u'>')
                SetError(XMLMsg::InvalidChar);
            else if (C == u'?')
                State = QuestionAfterTarget;
            else
                Instruction.Target.push_back(C);
            break;
        case InData:
            if (C == u'?')
                State = QuestionInData;
            else
                Instruction.Data.push_back(C);
            break;
        case QuestionInData:
            if (C == u'>')
                return;
            Instruction.Data.push_back(u'?');
            if (C != u'?') {
                Instruction.Data.push_back(C);
                State = InData;
            }
            break;
        case QuestionAfterTarget:
            if (C == u'>')
                return;
            SetError(XMLMsg::GtExpected);
            break;
        }
    }
}
