#pragma once
// Generates realistic .ckx documents for benchmarks and load tests: the exact bytes the
// document writer produces (Windows-1252, CR LF line ends), deterministic for a seed.

#include <cstddef>
#include <cstdint>
#include <string>

struct tDocGenOptions {
    size_t Entries = 100000;
    size_t Projects = 300;
    // Deepest nesting of projects below the data element.
    int MaxProjectDepth = 5;
    uint64_t Seed = 1;
};

// About 180 bytes per entry: comments with umlauts, '&' and line breaks in CDATA, field
// values of a string and a boolean field, entries spread over a tree of nested projects.
std::string GenerateCkx(const tDocGenOptions &Options = {});

// Re-encodes one-byte text (each byte is the character of that code) with a byte-order mark.
std::string Latin1ToUtf8Bom(const std::string &Latin1);
std::string Latin1ToUtf16LEBom(const std::string &Latin1);
std::string Latin1ToUtf16BEBom(const std::string &Latin1);
