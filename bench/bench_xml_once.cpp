// Parses one generated document once, for instruction counts:
//   valgrind --tool=callgrind --toggle-collect='tXMLParser::ParseStream*' bench_xml_once utf8
// Arguments: latin1 | utf8 | utf16le | utf16be | expat [entries]. Prints the input size.

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "bench/bench_xml_expat.h"
#include "bench/docgen.h"
#include "xml/xmlparser.h"

// Kept out of line so that callgrind can collect exactly this call.
__attribute__((noinline)) bool ExpatParseOnce(const std::string &Bytes) {
    tExpatTreeBuilder Builder;
    tExpatNode Root;
    return Builder.Parse(Bytes.data(), Bytes.size(), "UTF-8", Root);
}

int main(int argc, char **argv) {
    const std::string Which = argc > 1 ? argv[1] : "utf8";
    tDocGenOptions Options;
    if (argc > 2)
        Options.Entries = std::strtoul(argv[2], nullptr, 10);
    const std::string Latin1 = GenerateCkx(Options);
    std::string Bytes = Latin1;
    if (Which == "utf8" || Which == "expat")
        Bytes = Latin1ToUtf8Bom(Latin1);
    else if (Which == "utf16le")
        Bytes = Latin1ToUtf16LEBom(Latin1);
    else if (Which == "utf16be")
        Bytes = Latin1ToUtf16BEBom(Latin1);

    bool Ok;
    if (Which == "expat") {
        Ok = ExpatParseOnce(Bytes);
    } else {
        std::istringstream Stream(Bytes);
        tXMLParser Parser;
        tXMLDocument Doc;
        Ok = Parser.ParseStream(Stream, "bench.ckx", Doc, ceDetect);
    }
    std::printf("%s: %zu bytes, %s\n", Which.c_str(), Bytes.size(), Ok ? "ok" : "FAILED");
    return Ok ? 0 : 1;
}
