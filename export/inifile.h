#pragma once
// The reader of export.ini. It follows the Windows profile functions rather than any other INI
// dialect: commas, backslashes and '#' are ordinary characters in a value (SepChars holds all
// three), only a line starting with ';' is a comment, and nothing is unescaped.

#include "base/cstring.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class TIniFile {
public:
    TIniFile() = default;
    // Reads Text (8-bit): sections in file order, keys and section names without regard to
    // case (A to Z), names and values without the blanks and tabs around them, a value in
    // matching quotes without them. Where a section or a key stands twice, the first counts.
    explicit TIniFile(const std::string &Text);

    // Each section name once, in the order the sections first appear.
    const TStringArray &Sections() const { return FNames; }
    bool SectionExists(const std::string &Section) const;
    // The section's name as the file spells it, or empty when there is none.
    std::string SectionName(const std::string &Section) const;

    std::string ReadString(const std::string &Section, const std::string &Key,
                           const std::string &Default) const;
    // Default unless the value is a whole number (TryStrToInt32: decimal, or hexadecimal after "$"
    // or "0x").
    int32_t ReadInteger(const std::string &Section, const std::string &Key, int32_t Default) const;

private:
    struct TSection {
        std::string Name;
        std::unordered_map<std::string, std::string> Values; // lower-cased key -> value
    };
    const TSection *Find(const std::string &Section) const;

    std::vector<TSection> FSections;
    std::unordered_map<std::string, size_t> FIndex; // lower-cased name -> FSections
    TStringArray FNames;
};
