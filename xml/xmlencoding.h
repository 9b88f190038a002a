#pragma once
// Byte-order-mark detection and the character decoders of the parser's input.

#include <cstdint>
#include <istream>

enum : int { ceDetect = -1, ceLatin1 = 0, ceUTF8 = 1, ceUTF16LE = 2, ceUTF16BE = 3 };

// The encoding announced by a byte-order mark at offset 0 and the mark's length; without a
// mark ceLatin1 and 0. -1 when no stream is given. The stream position is left as it was.
int DetectBOM(std::istream *Stream, int64_t &MarkLength);
int DetectBOM(const unsigned char *Data, size_t Size, int64_t &MarkLength);

// One decoder per encoding, each reading one character from the current stream position.
// None fails: malformed UTF-8 is decoded leniently, and bytes missing at the end of the stream
// count as zero bits.
using TReadCharProc = char16_t (*)(std::istream &Stream);
char16_t ReadCharLatin1(std::istream &Stream);
char16_t ReadCharUTF8(std::istream &Stream);
char16_t ReadCharUTF16LE(std::istream &Stream);
char16_t ReadCharUTF16BE(std::istream &Stream);
// Codes other than the four encodings read one byte per character.
TReadCharProc ReadCharProcFor(int Encoding);
