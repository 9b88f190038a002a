#pragma once
// Whole-file reading and crash-safe writing.

#include <cstdint>
#include <string>

// The largest document file read: far beyond any real document, and small enough that every
// position in it fits the parser's 32-bit positions.
constexpr uint64_t MaxDocumentBytes = uint64_t{1} << 30;

// "Die Datei ist mit <size> Bytes zu groß ...", the size with thousands separators.
std::string FileTooLargeText(uint64_t Size);

// Reads the whole file. Answers false with a German reason when it exists but cannot be
// read, is no regular file (a device or a pipe never ends or blocks), or is larger than
// MaxDocumentBytes; a missing file is read as empty (Missing is set).
bool ReadWholeFile(const std::string &FileName, std::string &Data, bool &Missing,
                   std::string &Reason);

// Replaces FileName with Data so that a crash or a failure at any moment leaves either the
// old or the new content: a temporary file beside it is written, flushed to disk and renamed
// over it. Symbolic links are followed; a special file (a device, a pipe) is written in
// place. On failure the old file is untouched and Reason holds a German explanation.
bool WriteFileAtomic(const std::string &FileName, const std::string &Data, std::string &Reason);
