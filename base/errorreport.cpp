#include "base/errorreport.h"

#include <algorithm>
#include <fstream>
#include <istream>
#include <sstream>

namespace {

// Counts Byte into Line and Column: CR, LF and CR LF each end a line.
void CountByte(unsigned char Byte, unsigned char &Previous, int32_t &Line, int32_t &Column) {
    if (Byte == 10) {
        if (Previous != 13) {
            ++Line;
            Column = 0;
        }
    } else if (Byte == 13) {
        ++Line;
        Column = 0;
    } else {
        ++Column;
    }
    Previous = Byte;
}

} // namespace

void GetLineColumn(std::istream &Stream, int32_t Position, int32_t &Line, int32_t &Column) {
    Line = 1;
    Column = 0;
    if (Position < 0)
        return;
    char buffer[64 * 1024];
    int64_t left = int64_t(Position) + 1;
    unsigned char previous = 0;
    while (left > 0 && Stream) {
        Stream.read(buffer, std::streamsize(std::min<int64_t>(left, sizeof(buffer))));
        const std::streamsize got = Stream.gcount();
        if (got <= 0)
            break;
        for (std::streamsize i = 0; i < got; ++i)
            CountByte(static_cast<unsigned char>(buffer[i]), previous, Line, Column);
        left -= got;
    }
}

void TLineCounter::Get(int64_t Position, int32_t &Line, int32_t &Column) {
    if (Position < 0) {
        Line = 1;
        Column = 0;
        return;
    }
    if (static_cast<uint64_t>(Position) + 1 < Next) {
        Next = 0;
        CurLine = 1;
        CurColumn = 0;
        Previous = 0;
    }
    const size_t stop = std::min<uint64_t>(static_cast<uint64_t>(Position) + 1, Bytes.size());
    for (; Next < stop; ++Next)
        CountByte(static_cast<unsigned char>(Bytes[Next]), Previous, CurLine, CurColumn);
    Line = CurLine;
    Column = CurColumn;
}

std::string ComposePositionError(const std::string &Message, const std::string &FileName,
                                 int32_t Line, int32_t Column) {
    return "Fehler in \"" + FileName + "\":\r\n\r\n" + std::to_string(Line) + ":" +
           std::to_string(Column) + " - " + Message;
}

std::string ComposeStreamError(const std::string &Message, const std::string &FileName,
                               std::istream &Stream, int32_t Position, int32_t Length) {
    std::string position;
    if (Length > 0) {
        int32_t line = 0;
        int32_t column = 0;
        GetLineColumn(Stream, Position, line, column);
        position = std::to_string(line) + ":" + std::to_string(column) + " - ";
    }
    return "Fehler in \"" + FileName + "\":\r\n\r\n" + position + Message;
}

void ShowStreamError(const TMessageSink &Sink, const std::string &Message,
                     const std::string &FileName, std::istream &Stream, int32_t Position,
                     int32_t Length) {
    DeliverMessage(Sink, TMessageKind::Error,
                   ComposeStreamError(Message, FileName, Stream, Position, Length));
}

void ShowFileError(const TMessageSink &Sink, const std::string &Message,
                   const std::string &FileName, int32_t Position, int32_t Length) {
    std::ifstream file(FileName, std::ios::binary);
    if (!file) {
        std::istringstream none;
        DeliverMessage(Sink, TMessageKind::Error,
                       ComposeStreamError(Message, FileName, none, Position, 0) +
                           "\r\n\r\n(Die Datei kann nicht ge\xF6"
                           "ffnet werden.)");
        return;
    }
    std::stringstream memory;
    memory << file.rdbuf();
    memory.clear(); // an empty file leaves the failbit set
    ShowStreamError(Sink, Message, FileName, memory, Position, Length);
}

void XMLErrorHandler(const TMessageSink &Sink, const std::string &Message,
                     const std::string &FileName, std::istream &Stream, int32_t Position,
                     int32_t Length) {
    const std::ios::iostate state = Stream.rdstate();
    Stream.clear();
    const std::streampos saved = Stream.tellg();
    Stream.seekg(0);
    const std::string text = ComposeStreamError(Message, FileName, Stream, Position, Length);
    Stream.clear();
    if (saved != std::streampos(-1))
        Stream.seekg(saved);
    Stream.setstate(state);
    DeliverMessage(Sink, TMessageKind::Error, text);
}
