#pragma once
// A file's exact bytes, read and written whole, for the file tests.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

inline std::string ReadFile(const std::filesystem::path &P) {
    std::ifstream in(P, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void WriteFile(const std::filesystem::path &P, const std::string &Bytes) {
    std::ofstream(P, std::ios::binary) << Bytes;
}
