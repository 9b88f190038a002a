// Parses one generated document once, for instruction counts under callgrind:
//   valgrind --tool=callgrind --toggle-collect='*OursParseOnce*' bench_xml_once utf8
// Arguments: latin1 | utf8 | utf16le | utf16be | expat, then optionally "warm" (parse and free
// the document once before the measured parse, so that the allocator reuses memory as in a
// running program) and the number of entries. Prints the input size.

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "bench/bench_xml_expat.h"
#include "bench/docgen.h"
#include "xml/xmlparser.h"

namespace {

// Kept out of line so that callgrind can collect exactly the parse (not freeing the tree).
__attribute__((noinline)) bool OursParseOnce(const std::string &Bytes, tXMLDocument &Doc) {
    std::istringstream Stream(Bytes);
    tXMLParser Parser;
    return Parser.ParseStream(Stream, "bench.ckx", Doc, ceDetect);
}

__attribute__((noinline)) bool ExpatParseOnce(const std::string &Bytes, tExpatNode &Root) {
    tExpatTreeBuilder Builder;
    return Builder.Parse(Bytes.data(), Bytes.size(), "UTF-8", Root);
}

bool ParseOnce(const std::string &Bytes, bool WithExpat) {
    if (WithExpat) {
        tExpatNode Root;
        return ExpatParseOnce(Bytes, Root);
    }
    tXMLDocument Doc;
    return OursParseOnce(Bytes, Doc);
}

} // namespace

int main(int argc, char **argv) {
    const std::string Which = argc > 1 ? argv[1] : "utf8";
    const bool Warm = argc > 2 && std::string(argv[2]) == "warm";
    tDocGenOptions Options;
    if (argc > 3)
        Options.Entries = std::strtoul(argv[3], nullptr, 10);
    const std::string Latin1 = GenerateCkx(Options);
    std::string Bytes = Latin1;
    if (Which == "utf8" || Which == "expat")
        Bytes = Latin1ToUtf8Bom(Latin1);
    else if (Which == "utf16le")
        Bytes = Latin1ToUtf16LEBom(Latin1);
    else if (Which == "utf16be")
        Bytes = Latin1ToUtf16BEBom(Latin1);

    const bool WithExpat = Which == "expat";
    if (Warm && !ParseOnce(Bytes, WithExpat))
        return 1;
    const bool Ok = ParseOnce(Bytes, WithExpat);
    std::printf("%s: %zu bytes, %s\n", Which.c_str(), Bytes.size(), Ok ? "ok" : "FAILED");
    return Ok ? 0 : 1;
}
