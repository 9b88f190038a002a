#include "export/profiles.h"

#include "base/cp1252.h"
#include "base/numbers.h"
#include "export/filepaths.h"
#include "model/ckfileio.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <system_error>

void ParseFilter(const std::string &Filter, std::string &DefaultExt, std::string &Mask) {
    DefaultExt.clear();
    Mask.clear();
    size_t pos = 0;
    bool first = true, masking = true;
    do {
        size_t end = Filter.find(';', pos);
        if (end == std::string::npos)
            end = Filter.size();
        const std::string piece = LowerCase(Trim(Filter.substr(pos, end - pos)));
        pos = end + 1;
        if (first)
            DefaultExt = piece;
        first = false;
        if (piece.empty())
            masking = false;
        if (masking)
            Mask += (Mask.empty() ? "*." : ";*.") + piece;
    } while (masking && pos < Filter.size());
}

void ParseSepChars(const std::string &SepChars, TStringArray &Items, TCharArray &Chars) {
    Items.clear();
    Chars.clear();
    TStringArray entries;
    SplitToArray(SepChars, '|', entries);
    if (!entries.empty() && entries.back().empty())
        entries.pop_back();
    for (const std::string &entry : entries) {
        const size_t comma = entry.find(',');
        const std::string label = comma == std::string::npos ? entry : entry.substr(0, comma);
        const std::string choice =
            Trim(comma == std::string::npos ? entry : entry.substr(comma + 1));
        if (choice.empty())
            continue;
        char c = choice[0];
        if (choice[0] == '#' && choice.size() > 1) {
            int32_t code;
            if (!TryStrToInt32(choice.substr(1), code))
                continue;
            c = static_cast<char>(static_cast<uint8_t>(code & 0xFF));
        }
        Items.push_back(static_cast<unsigned char>(c) >= 33 ? label + " (" + c + ")" : label);
        Chars.push_back(c);
    }
    Items.push_back(CustomSeparatorText);
}

bool TExportProfiles::LoadProfiles(const std::string &ExportDir) {
    std::string text, reason;
    bool missing = false;
    if (!ReadWholeFile(ExportDir + "export.ini", text, missing, reason))
        text.clear();
    LoadProfiles(TIniFile(text));
    return !FProfiles.empty();
}

void TExportProfiles::LoadProfiles(const TIniFile &Ini) {
    FProfiles.clear();
    FDefaultExt.clear();
    for (const std::string &section : Ini.Sections())
        LoadProfile(Ini, section);
}

void TExportProfiles::LoadProfile(const TIniFile &Ini, const std::string &Section) {
    const std::string filter = Trim(Ini.ReadString(Section, "Filter", ""));
    if (filter.empty())
        return;
    tPItem p;
    ParseFilter(filter, p.DefaultExt, p.Mask);
    if (FProfiles.empty())
        FDefaultExt = p.DefaultExt;
    p.Path = Trim(Ini.ReadString(Section, "Path", Section));
    p.Description = Trim(Ini.ReadString(Section, "Description", Section));
    p.Type = Trim(Ini.ReadString(Section, "Type", Section));
    p.StdProf = Trim(Ini.ReadString(Section, "StdProf", ""));
    p.Profiles = Ini.ReadInteger(Section, "Profiles", 0) != 0;
    p.Separator = Ini.ReadInteger(Section, "Separator", 0) != 0;
    p.SepChars = Ini.ReadString(Section, "SepChars", "");
    p.Section = Section;
    FProfiles.push_back(std::move(p));
}

int TExportProfiles::FindProfile(const std::string &Section) const {
    for (size_t i = 0; i < FProfiles.size(); ++i)
        if (SameText(FProfiles[i].Section, Section))
            return static_cast<int>(i);
    return -1;
}

std::string TExportProfiles::ProposedFileName(const std::string &DocFileName, int Profile) const {
    const std::string ext = Profile >= 0 && static_cast<size_t>(Profile) < FProfiles.size()
                                ? FProfiles[static_cast<size_t>(Profile)].DefaultExt
                                : std::string();
    return ChangeFileExt(ExtractFileName(DocFileName), "." + ext);
}

std::string TExportProfiles::FileTypeChanged(const std::string &Typed, int Profile) const {
    if (Typed.empty() || Profile < 0 || static_cast<size_t>(Profile) >= FProfiles.size())
        return Typed;
    const std::string newExt = "." + FProfiles[static_cast<size_t>(Profile)].DefaultExt;
    const std::string ext = LowerCase(ExtractFileExt(Typed));
    for (const tPItem &p : FProfiles)
        if (ext == "." + p.DefaultExt)
            return ChangeFileExt(Typed, newExt);
    return Typed + newExt;
}

int TExportProfiles::DefaultSubProfile(const tPItem &Profile, const TStringArray &Names) {
    if (Names.empty())
        return -1;
    const std::string wanted = TextToFileName(Profile.StdProf);
    for (size_t i = 0; i < Names.size(); ++i)
        if (SameText(Names[i], wanted))
            return static_cast<int>(i);
    return 0;
}

void SortSubProfiles(TStringArray &Names) {
    std::stable_sort(Names.begin(), Names.end(), [](const std::string &A, const std::string &B) {
        const std::string a = LowerCase(A), b = LowerCase(B);
        return a != b ? a < b : A < B;
    });
}

char TExportProfiles::DefaultSeparator(const tPItem &Profile) {
    if (!Profile.Separator)
        return '\0';
    TStringArray items;
    TCharArray chars;
    ParseSepChars(Profile.SepChars, items, chars);
    return chars.empty() ? '\0' : chars.front();
}

std::string TExportProfiles::TemplateFolder(const std::string &ExportDir, const tPItem &Profile,
                                            bool HasSubProfile, const std::string &SubProfile) {
    std::string folder = ExportDir + TextToFileName(Profile.Path) + PathDelimiter;
    if (HasSubProfile)
        folder += SubProfile + PathDelimiter;
    return folder;
}

std::string MissingTemplateFolderText(const std::string &FolderName) {
    return "Vorlagenordner \"" + FolderName + "\" nicht gefunden.";
}

bool TemplateFolderMissing(const std::string &Folder) {
    std::error_code error;
    return std::filesystem::status(Folder, error).type() == std::filesystem::file_type::not_found;
}

std::string FolderName(const std::string &Folder) {
    return Folder.size() > 1 && IsPathDelimiter(Folder.back()) ? Folder.substr(0, Folder.size() - 1)
                                                               : Folder;
}
