#pragma once
// The message for a fault in a document file: file name, line and column, and the text.
// The Show functions send it as an error to the sink they are given (base/messages.h).

#include "base/messages.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

// Line (1-based) and byte column of the byte at Position, counting from the stream's
// current position; CR, LF and CR LF each end a line. A negative position gives 1 and 0.
void GetLineColumn(std::istream &Stream, int32_t Position, int32_t &Line, int32_t &Column);

// Lines and columns as GetLineColumn counts them, for positions asked for in ascending order:
// one pass over the bytes for all of them (an earlier position starts over).
class TLineCounter {
public:
    explicit TLineCounter(std::string_view ABytes) : Bytes(ABytes) {}
    void Get(int64_t Position, int32_t &Line, int32_t &Column);

private:
    std::string_view Bytes;
    size_t Next = 0; // bytes counted so far
    int32_t CurLine = 1, CurColumn = 0;
    unsigned char Previous = 0;
};

// "Fehler in "<file>":" CR LF CR LF "line:col - " Message.
std::string ComposePositionError(const std::string &Message, const std::string &FileName,
                                 int32_t Line, int32_t Column);

// "Fehler in "<file>":" CR LF CR LF ["line:col - "] Message; the position only when
// Length > 0. Reads the stream from its current position.
std::string ComposeStreamError(const std::string &Message, const std::string &FileName,
                               std::istream &Stream, int32_t Position, int32_t Length);

void ShowStreamError(const TMessageSink &Sink, const std::string &Message,
                     const std::string &FileName, std::istream &Stream, int32_t Position,
                     int32_t Length);

// Reads the whole file to find the line and column. A file that cannot be read still gets
// the message, without a position and with a note that the file could not be opened.
void ShowFileError(const TMessageSink &Sink, const std::string &Message,
                   const std::string &FileName, int32_t Position, int32_t Length);

// What the parser's error callback calls: counts from the start of the stream and leaves the
// stream's position and state as they were.
void XMLErrorHandler(const TMessageSink &Sink, const std::string &Message,
                     const std::string &FileName, std::istream &Stream, int32_t Position,
                     int32_t Length);
