#include "xml/xmlparser.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <utility>

#include "base/cp1252.h"
#include "xml/xmlreaddocument.h"

namespace {

// A read-only, seekable stream buffer over bytes held elsewhere.
class tMemoryStreamBuf : public std::streambuf {
public:
    tMemoryStreamBuf(const char *Data, size_t Size) {
        char *P = const_cast<char *>(Data);
        setg(P, P, P + Size);
    }

protected:
    pos_type seekoff(off_type Offset, std::ios_base::seekdir Dir,
                     std::ios_base::openmode Which) override {
        if (!(Which & std::ios_base::in))
            return pos_type(off_type(-1));
        off_type Base = 0;
        if (Dir == std::ios_base::cur)
            Base = gptr() - eback();
        else if (Dir == std::ios_base::end)
            Base = egptr() - eback();
        const off_type Target = Base + Offset;
        if (Target < 0 || Target > egptr() - eback())
            return pos_type(off_type(-1));
        setg(eback(), eback() + Target, egptr());
        return pos_type(Target);
    }
    pos_type seekpos(pos_type Pos, std::ios_base::openmode Which) override {
        return seekoff(off_type(Pos), std::ios_base::beg, Which);
    }
};

struct tBytes {
    std::unique_ptr<char[]> Data;
    size_t Size = 0;
};

// The whole stream from offset 0 (from the current position if it cannot seek).
tBytes ReadWholeStream(std::istream &Stream) {
    tBytes Bytes;
    Stream.clear();
    if (Stream.seekg(0, std::ios_base::end)) {
        const std::streamoff Size = Stream.tellg();
        Stream.seekg(0);
        if (Size > 0 && Stream) {
            Bytes.Data = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(Size));
            Stream.read(Bytes.Data.get(), Size);
            Bytes.Size = static_cast<size_t>(Stream.gcount());
        }
    } else {
        Stream.clear();
        const std::string All((std::istreambuf_iterator<char>(Stream)),
                              std::istreambuf_iterator<char>());
        Bytes.Data = std::make_unique_for_overwrite<char[]>(All.size());
        std::copy(All.begin(), All.end(), Bytes.Data.get());
        Bytes.Size = All.size();
    }
    Stream.clear();
    return Bytes;
}

} // namespace

tXMLParser::tXMLParser(TXMLErrorProc OnError) : OnError(std::move(OnError)) {}

bool tXMLParser::ParseFile(const std::string &FileName, tXMLDocument &Doc, int Encoding) {
    std::string Bytes;
    if (std::ifstream File{FileName, std::ios_base::binary}) {
        Bytes.assign(std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>());
    }
    tMemoryStreamBuf Buffer(Bytes.data(), Bytes.size());
    std::istream Stream(&Buffer);
    return ParseBytes(reinterpret_cast<const unsigned char *>(Bytes.data()), Bytes.size(), Stream,
                      FileName, Doc, Encoding);
}

bool tXMLParser::ParseStream(std::istream &Stream, const std::string &FileName, tXMLDocument &Doc,
                             int Encoding) {
    Stream.clear();
    const std::istream::pos_type Saved = Stream.tellg();
    const tBytes Bytes = ReadWholeStream(Stream);
    if (Saved != std::istream::pos_type(-1))
        Stream.seekg(Saved);
    return ParseBytes(reinterpret_cast<const unsigned char *>(Bytes.Data.get()), Bytes.Size, Stream,
                      FileName, Doc, Encoding);
}

bool tXMLParser::ParseBytes(const unsigned char *Data, size_t Size, std::istream &Stream,
                            const std::string &FileName, tXMLDocument &Doc, int Encoding) {
    FileName_ = Cp1252ToUtf16(FileName);
    ReadXMLDocument<true>(Data, Size, Encoding, Doc, Error, OnElementEnd);
    if (Error.HasError && OnError)
        OnError(Error.Msg, Utf16ToCp1252(FileName_), Stream, Error.Pos, Error.Len);
    return !Error.HasError;
}
