#pragma once
// The program's own XML recogniser: builds the node tree of a document and reports the first
// fault as a German message with a byte range.

#include <cstdint>
#include <functional>
#include <istream>
#include <string>
#include <vector>

#include "xml/xmlencoding.h"
#include "xml/xmlnodes.h"

// Message and file name are Windows-1252; position and length are a byte range of the stream.
using TXMLErrorProc = std::function<void(const std::string &Message, const std::string &FileName,
                                         std::istream &Stream, int32_t Position, int32_t Length)>;

// Called when an element has been read completely, with the elements enclosing it (the root
// first, the parent last; none for the root itself). Returning true frees the element and its
// content at once, so that readers taking elements as they end keep the tree small. The root
// is never freed.
using TXMLElementEndProc = std::function<bool(const tXMLMarkupItem &Element,
                                              const std::vector<tXMLMarkupItem *> &Ancestors)>;

class tXMLParser {
public:
    // Elements nested deeper than this end the parse with an error instead of exhausting
    // memory (and the stack of any reader that walks the tree recursively).
    static constexpr size_t MaxDepth = 1000;

    explicit tXMLParser(TXMLErrorProc OnError = {});

    // A missing file parses as empty input.
    bool ParseFile(const std::string &FileName, tXMLDocument &Doc, int Encoding);
    // Parses the stream from offset 0; its position is restored before OnError is called.
    // Doc must be empty; after a failed parse it holds every node opened before the fault.
    bool ParseStream(std::istream &Stream, const std::string &FileName, tXMLDocument &Doc,
                     int Encoding);
    // The same over bytes already in memory, without copying them; Stream holds the same
    // bytes and is what OnError receives.
    bool ParseMemory(const char *Data, size_t Size, std::istream &Stream,
                     const std::string &FileName, tXMLDocument &Doc, int Encoding) {
        return ParseBytes(reinterpret_cast<const unsigned char *>(Data), Size, Stream, FileName,
                          Doc, Encoding);
    }

    bool HasError() const { return Error.HasError; }
    const std::string &ErrorMsg() const { return Error.Msg; }
    int32_t ErrorPos() const { return Error.Pos; }
    int32_t ErrorLen() const { return Error.Len; }
    const std::u16string &FileName() const { return FileName_; }

    TXMLElementEndProc OnElementEnd;

    struct tError {
        bool HasError = false;
        std::string Msg;
        int32_t Pos = 0;
        int32_t Len = 0;
    };

private:
    bool ParseBytes(const unsigned char *Data, size_t Size, std::istream &Stream,
                    const std::string &FileName, tXMLDocument &Doc, int Encoding);

    TXMLErrorProc OnError;
    tError Error;
    std::u16string FileName_;
};
