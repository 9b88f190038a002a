#include "export/inifile.h"

#include "base/numbers.h"

namespace {

bool IsBlank(char C) {
    return C == ' ' || C == '\t';
}

} // namespace

TIniFile::TIniFile(const std::string &Text) {
    TSection *current = nullptr;
    size_t pos = 0;
    // A UTF-8 byte-order mark written by an editor is not part of the first section's name.
    if (Text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        pos = 3;
    while (pos < Text.size()) {
        size_t end = Text.find_first_of("\r\n", pos);
        if (end == std::string::npos)
            end = Text.size();
        size_t first = pos;
        while (first < end && IsBlank(Text[first]))
            ++first;
        if (first < end && Text[first] == '[') {
            const size_t close = Text.find(']', first + 1);
            const size_t nameEnd = close == std::string::npos || close > end ? end : close;
            const std::string name = Trim(Text.substr(first + 1, nameEnd - first - 1));
            // A second section of the same name is never read: lookups find the first.
            current = nullptr;
            if (FIndex.try_emplace(LowerCase(name), FSections.size()).second) {
                FSections.push_back({name, {}});
                FNames.push_back(name);
                current = &FSections.back();
            }
        } else if (current && first < end && Text[first] != ';') {
            const size_t eq = Text.find('=', first);
            if (eq != std::string::npos && eq < end) {
                const std::string key = Trim(Text.substr(first, eq - first));
                std::string value = Trim(Text.substr(eq + 1, end - eq - 1));
                if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                    value.back() == value.front())
                    value = value.substr(1, value.size() - 2);
                if (!key.empty())
                    current->Values.try_emplace(LowerCase(key), std::move(value));
            }
        }
        pos = end;
        if (pos < Text.size() && Text[pos] == '\r')
            ++pos;
        if (pos < Text.size() && Text[pos] == '\n')
            ++pos;
    }
}

const TIniFile::TSection *TIniFile::Find(const std::string &Section) const {
    const auto it = FIndex.find(LowerCase(Section));
    return it == FIndex.end() ? nullptr : &FSections[it->second];
}

bool TIniFile::SectionExists(const std::string &Section) const {
    return Find(Section) != nullptr;
}

std::string TIniFile::SectionName(const std::string &Section) const {
    const TSection *section = Find(Section);
    return section ? section->Name : std::string();
}

std::string TIniFile::ReadString(const std::string &Section, const std::string &Key,
                                 const std::string &Default) const {
    const TSection *section = Find(Section);
    if (!section)
        return Default;
    const auto it = section->Values.find(LowerCase(Key));
    return it == section->Values.end() ? Default : it->second;
}

int32_t TIniFile::ReadInteger(const std::string &Section, const std::string &Key,
                              int32_t Default) const {
    int32_t value;
    return TryStrToInt32(ReadString(Section, Key, std::string()), value) ? value : Default;
}
