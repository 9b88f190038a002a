#pragma once
// The .ckx document file. TChronarkMan::LoadFromFile and SaveToFile use these; tests, the
// command-line tool and the fuzzer use them on bytes in memory.

#include "base/result.h"

#include <string>

class TChronarkMan;

// How every document the program writes begins; a file shorter than this is no document.
inline constexpr char DocumentHeader[] =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n<ckx version=\"1.1\">\r\n";

// The file's exact bytes for the document.
std::string DocumentText(const TChronarkMan &Man);

// Reads a document from a file's bytes (FileName names it in messages and, when importing,
// the new top-level project). Faults go to Man.OnMessage; a failure answers the last of them
// as its reason, with the byte offset of a fault in the markup.
TResult LoadDocumentFromBytes(TChronarkMan &Man, const std::string &Bytes,
                              const std::string &FileName, bool Import);
