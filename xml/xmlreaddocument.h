#pragma once
// One parse of bytes in memory into a document, with the reader chosen for the encoding.
// The parser uses the fast readers; tests and fuzzers also read character by character
// (Fast false) to check that both ways give the same tree, message and positions.

#include "xml/xmlencoding.h"
#include "xml/xmlreadercontent.h"
#include "xml/xmlreadermarkup.h"
#include "xml/xmlreadertags.h"

// Data is stream offset 0; Encoding ceDetect reads the byte-order mark. Error receives the
// first fault; a document without an element is one.
template <bool Fast>
void ReadXMLDocument(const tByte *Data, size_t Size, int Encoding, tXMLDocument &Doc,
                     tXMLParser::tError &Error, const TXMLElementEndProc &OnElementEnd) {
    int64_t Start = 0;
    if (Encoding == ceDetect)
        Encoding = DetectBOM(Data, Size, Start);
    Doc.ItemType = xiDocument;
    Error = tXMLParser::tError{};
    const tByte *End = Data + Size;
    switch (Encoding) {
    case ceUTF8:
        tXMLReader<tUTF8Decoder, Fast>(Data, Data + Start, End, Error, OnElementEnd).Run(Doc);
        break;
    case ceUTF16LE:
        tXMLReader<tUTF16LEDecoder, Fast>(Data, Data + Start, End, Error, OnElementEnd).Run(Doc);
        break;
    case ceUTF16BE:
        tXMLReader<tUTF16BEDecoder, Fast>(Data, Data + Start, End, Error, OnElementEnd).Run(Doc);
        break;
    default:
        tXMLReader<tLatin1Decoder, Fast>(Data, Data + Start, End, Error, OnElementEnd).Run(Doc);
        break;
    }
    if (!Error.HasError && !Doc.GetRootElement())
        Error = tXMLParser::tError{true, XMLMsg::NoRoot, 0, 0};
}
