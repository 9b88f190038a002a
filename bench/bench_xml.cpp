// Parsing a generated document of 100,000 entries: our parser in each encoding against
// libexpat on the very same bytes.

#include <benchmark/benchmark.h>

#include <sstream>

#include "bench/bench_xml_expat.h"
#include "bench/docgen.h"
#include "xml/xmlparser.h"

namespace {

struct tInputs {
    std::string Latin1, Utf8, Utf16LE, Utf16BE;
};

const tInputs &Inputs() {
    static const tInputs Result = [] {
        tInputs I;
        I.Latin1 = GenerateCkx();
        I.Utf8 = Latin1ToUtf8Bom(I.Latin1);
        I.Utf16LE = Latin1ToUtf16LEBom(I.Latin1);
        I.Utf16BE = Latin1ToUtf16BEBom(I.Latin1);
        return I;
    }();
    return Result;
}

void ParseOurs(benchmark::State &State, const std::string &Bytes) {
    std::istringstream Stream(Bytes);
    for (auto _ : State) {
        tXMLParser Parser;
        tXMLDocument Doc;
        if (!Parser.ParseStream(Stream, "bench.ckx", Doc, ceDetect))
            State.SkipWithError("parse failed");
        benchmark::DoNotOptimize(Doc.Children.data());
    }
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations() * Bytes.size()));
}

void ParseExpat(benchmark::State &State, const std::string &Bytes, const char *Encoding) {
    for (auto _ : State) {
        tExpatTreeBuilder Builder;
        tExpatNode Root;
        if (!Builder.Parse(Bytes.data(), Bytes.size(), Encoding, Root))
            State.SkipWithError("expat failed");
        benchmark::DoNotOptimize(Root.Children.data());
    }
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations() * Bytes.size()));
}

void BM_Ours_Latin1(benchmark::State &State) {
    ParseOurs(State, Inputs().Latin1);
}
void BM_Ours_UTF8(benchmark::State &State) {
    ParseOurs(State, Inputs().Utf8);
}
void BM_Ours_UTF16LE(benchmark::State &State) {
    ParseOurs(State, Inputs().Utf16LE);
}
void BM_Ours_UTF16BE(benchmark::State &State) {
    ParseOurs(State, Inputs().Utf16BE);
}
void BM_Expat_Latin1(benchmark::State &State) {
    ParseExpat(State, Inputs().Latin1, "ISO-8859-1");
}
// The documents declare ISO-8859-1; the encoding given here overrides the declaration.
void BM_Expat_UTF8(benchmark::State &State) {
    ParseExpat(State, Inputs().Utf8, "UTF-8");
}
void BM_Expat_UTF16LE(benchmark::State &State) {
    ParseExpat(State, Inputs().Utf16LE, "UTF-16");
}

// Freeing the tree on its own, as the document reader does after loading.
void BM_Ours_FreeTree(benchmark::State &State) {
    std::istringstream Stream(Inputs().Latin1);
    for (auto _ : State) {
        State.PauseTiming();
        auto Doc = std::make_unique<tXMLDocument>();
        tXMLParser().ParseStream(Stream, "bench.ckx", *Doc, ceDetect);
        State.ResumeTiming();
        Doc.reset();
    }
}

} // namespace

BENCHMARK(BM_Ours_Latin1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ours_UTF8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ours_UTF16LE)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ours_UTF16BE)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Expat_Latin1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Expat_UTF8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Expat_UTF16LE)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ours_FreeTree)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
