// Fuzzes the XML parser over every encoding code. The first input byte picks the code and
// whether elements are freed as they end; the rest is the document. Besides crashes, hangs
// and leaks it checks three properties:
//  - error ranges lie within the input;
//  - the tree and the message depend only on the decoded characters: the same characters
//    re-encoded as UTF-16 give the same result (this cross-checks the bulk-copy paths of
//    every decoder against the one-character decoders);
//  - reading every character one at a time through the state machines gives the very same
//    tree, message and byte positions as the parser's block-wise reading.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "xml/xmlparser.h"
#include "xml/xmlreaddocument.h"

namespace {

struct tOutcome {
    bool Ok = false;
    std::string Msg;
    int32_t Pos = 0;
    int32_t Len = 0;
};

tOutcome Parse(const std::string &Bytes, int Encoding, tXMLDocument &Doc) {
    tOutcome Out;
    int Calls = 0;
    tXMLParser Parser([&](const std::string &, const std::string &, std::istream &, int32_t,
                          int32_t) { ++Calls; });
    std::istringstream Stream(Bytes);
    Out.Ok = Parser.ParseStream(Stream, "fuzz.xml", Doc, Encoding);
    Out.Msg = Parser.ErrorMsg();
    Out.Pos = Parser.ErrorPos();
    Out.Len = Parser.ErrorLen();
    if (Calls != (Out.Ok ? 0 : 1))
        __builtin_trap();
    return Out;
}

bool SameText(const tXMLItem &A, const tXMLItem &B) {
    if (A.ItemType != B.ItemType)
        return false;
    switch (A.ItemType) {
    case xiText:
    case xiComment:
    case xiCData:
    case xiDocType:
        return static_cast<const TXMLTextItem &>(A).Text ==
               static_cast<const TXMLTextItem &>(B).Text;
    case xiProcInstruction: {
        const auto &X = static_cast<const tXMLProcInstruction &>(A);
        const auto &Y = static_cast<const tXMLProcInstruction &>(B);
        return X.Target == Y.Target && X.Data == Y.Data;
    }
    default: {
        const auto &X = static_cast<const tXMLMarkupItem &>(A);
        const auto &Y = static_cast<const tXMLMarkupItem &>(B);
        if (X.Name != Y.Name || X.Children.size() != Y.Children.size() ||
            X.Attributes.size() != Y.Attributes.size())
            return false;
        for (size_t I = 0; I < X.Attributes.size(); ++I)
            if (X.Attributes[I].Name != Y.Attributes[I].Name ||
                X.Attributes[I].Value != Y.Attributes[I].Value)
                return false;
        // Depth is bounded by the parser's nesting limit.
        for (size_t I = 0; I < X.Children.size(); ++I)
            if (!SameText(*X.Children[I], *Y.Children[I]))
                return false;
        return true;
    }
    }
}

// Node for node, positions included.
bool SameTree(const tXMLItem &A, const tXMLItem &B) {
    if (A.ItemType != B.ItemType)
        return false;
    switch (A.ItemType) {
    case xiText:
    case xiComment:
    case xiCData:
    case xiDocType: {
        const auto &X = static_cast<const TXMLTextItem &>(A);
        const auto &Y = static_cast<const TXMLTextItem &>(B);
        return X.Text == Y.Text && X.Position == Y.Position;
    }
    case xiProcInstruction:
        return SameText(A, B);
    default: {
        const auto &X = static_cast<const tXMLMarkupItem &>(A);
        const auto &Y = static_cast<const tXMLMarkupItem &>(B);
        if (X.Name != Y.Name || X.Position != Y.Position || X.TagEnd != Y.TagEnd ||
            X.Children.size() != Y.Children.size() || X.Attributes.size() != Y.Attributes.size())
            return false;
        for (size_t I = 0; I < X.Attributes.size(); ++I)
            if (X.Attributes[I].Name != Y.Attributes[I].Name ||
                X.Attributes[I].Value != Y.Attributes[I].Value)
                return false;
        for (size_t I = 0; I < X.Children.size(); ++I)
            if (!SameTree(*X.Children[I], *Y.Children[I]))
                return false;
        return true;
    }
    }
}

// A reader's hook that frees some elements as they end, the way the document reader does.
bool FreeSome(const tXMLMarkupItem &Element, const std::vector<tXMLMarkupItem *> &Ancestors) {
    return (Element.Name.size() + Ancestors.size()) % 2 == 0;
}

// The characters the parser's grammar sees, as UTF-16 LE without a mark.
std::string AsUtf16(const std::string &Bytes, int Encoding) {
    std::istringstream Stream(Bytes);
    int64_t MarkLength = 0;
    if (Encoding == ceDetect)
        Encoding = DetectBOM(&Stream, MarkLength);
    Stream.seekg(MarkLength);
    const TReadCharProc Read = ReadCharProcFor(Encoding);
    std::string Out;
    while (Stream.tellg() < static_cast<std::streamoff>(Bytes.size())) {
        const char16_t C = Read(Stream);
        Out.push_back(static_cast<char>(C & 0xFF));
        Out.push_back(static_cast<char>(C >> 8));
    }
    return Out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
    if (Size == 0)
        return 0;
    // -1 to 4: detection, the four encodings, and a code no caller passes.
    const int Encoding = Data[0] % 6 - 1;
    const bool Freeing = Data[0] / 6 % 2 == 1;
    const std::string Bytes(reinterpret_cast<const char *>(Data + 1), Size - 1);
    const auto *Raw = reinterpret_cast<const tByte *>(Bytes.data());

    {
        const TXMLElementEndProc Hook = Freeing ? TXMLElementEndProc(FreeSome) : nullptr;
        tXMLDocument Fast, Plain;
        tXMLParser::tError FastError, PlainError;
        ReadXMLDocument<true>(Raw, Bytes.size(), Encoding, Fast, FastError, Hook);
        ReadXMLDocument<false>(Raw, Bytes.size(), Encoding, Plain, PlainError, Hook);
        if (FastError.HasError != PlainError.HasError || FastError.Msg != PlainError.Msg ||
            FastError.Pos != PlainError.Pos || FastError.Len != PlainError.Len ||
            !SameTree(Fast, Plain))
            __builtin_trap();
    }

    tXMLDocument Doc;
    const tOutcome Result = Parse(Bytes, Encoding, Doc);
    if (!Result.Ok && (Result.Pos < 0 || Result.Pos > static_cast<int64_t>(Bytes.size()) + 1 ||
                       Result.Len < 0 || Result.Len > static_cast<int64_t>(Bytes.size()) + 1))
        __builtin_trap();

    tXMLDocument Again;
    const tOutcome Reference = Parse(AsUtf16(Bytes, Encoding), ceUTF16LE, Again);
    if (Result.Ok != Reference.Ok || Result.Msg != Reference.Msg || !SameText(Doc, Again))
        __builtin_trap();
    return 0;
}
