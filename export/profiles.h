#pragma once
// The export profiles of export.ini: what the save dialog offers, the export dialog's
// sub-profiles and separators, and the template folder each choice reads.

#include "base/cstring.h"
#include "export/inifile.h"

#include <string>
#include <vector>

// One profile of export.ini.
struct tPItem {
    std::string Path;        // template folder below the export folder
    std::string Mask;        // "*.csv;*.txt"
    std::string Type;        // the export dialog's caption is Type + " Export"
    std::string Description; // the file type's name in the save dialog
    std::string StdProf;     // sub-profile chosen at first
    std::string DefaultExt;  // lower case, no dot
    std::string SepChars;    // the separators offered (ParseSepChars)
    bool Profiles = false;   // the template folder holds sub-profile folders
    bool Separator = false;  // a separator character is asked for
    std::string Section;     // the section it was read from, for choosing it by name
};
using tPList = std::vector<tPItem>;
using TCharArray = std::vector<char>;

// "csv; TXT" -> DefaultExt "csv", Mask "*.csv;*.txt"; the mask ends at the first empty piece.
void ParseFilter(const std::string &Filter, std::string &DefaultExt, std::string &Mask);

// The separator box of the export dialog: display texts (with "Benutzerdefiniert" last) and the
// characters of the entries before it, in the same order.
void ParseSepChars(const std::string &SepChars, TStringArray &Items, TCharArray &Chars);
inline constexpr char CustomSeparatorText[] = "Benutzerdefiniert";
inline constexpr char NoProfilesText[] = "Keine Exportprofile vorhanden!";

class TExportProfiles {
public:
    // Reads ExportDir + "export.ini" afresh. False when it holds no usable profile.
    bool LoadProfiles(const std::string &ExportDir);
    void LoadProfiles(const TIniFile &Ini);
    void LoadProfile(const TIniFile &Ini, const std::string &Section);
    const tPList &Profiles() const { return FProfiles; }
    const std::string &DefaultExt() const { return FDefaultExt; }
    // The profile read from Section (without regard to case), or -1.
    int FindProfile(const std::string &Section) const;

    // Save dialog helpers. The proposed name is DocFileName's file name with the profile's
    // extension ("." + DefaultExt alone for a document never saved).
    std::string ProposedFileName(const std::string &DocFileName, int Profile) const;
    // The typed name after the file type changed to Profile: a known extension swapped, any
    // other kept and the new one appended. An empty name stays empty.
    std::string FileTypeChanged(const std::string &Typed, int Profile) const;

    // Export dialog defaults: StdProf when Names holds it (without regard to case), else the
    // first name; -1 for no names. Names are folder names in the list's order.
    static int DefaultSubProfile(const tPItem &Profile, const TStringArray &Names);
    // The separator when the dialog is confirmed untouched: the first offered character, or
    // code 0 (none asked for, or only "Benutzerdefiniert" with its code box at 0).
    static char DefaultSeparator(const tPItem &Profile);
    // ExportDir + Path + separator, and the sub-profile's folder below it when one is chosen.
    // Profile.Path, Windows-1252 text of export.ini, is spelled as the file system spells
    // names; SubProfile is a folder name as ListSubFolders found it.
    static std::string TemplateFolder(const std::string &ExportDir, const tPItem &Profile,
                                      bool HasSubProfile, const std::string &SubProfile);

private:
    tPList FProfiles;
    std::string FDefaultExt;
};

// Sub-profile names in the order the export dialog lists them: alphabetically, without regard
// to case (A to Z).
void SortSubProfiles(TStringArray &Names);

// "Vorlagenordner "<name>" nicht gefunden.": the export still writes what its templates give.
// Like CannotCreateText, it takes the name spelled as the caller's text needs it.
std::string MissingTemplateFolderText(const std::string &FolderName);
// Whether Folder (a TemplateFolder) does not exist at all; a folder that exists but cannot be
// read is reported by the export itself.
bool TemplateFolderMissing(const std::string &Folder);
// Folder without its final path separator, as a message names it.
std::string FolderName(const std::string &Folder);
