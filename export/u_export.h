#pragma once
// Template export: profiles from export.ini, the project walk shared with the printed report,
// and the handlers that stitch the template files into the output file.

#include "base/cstring.h"
#include "export/inifile.h"
#include "model/ckm.h"

#include <cstdint>
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

// The values of the final pass over the whole output.
struct tSubstRec {
    std::string FileName; // full path of the output file
    char Separator = '\0';
};

// "csv; TXT" -> DefaultExt "csv", Mask "*.csv;*.txt"; the mask ends at the first empty piece.
void ParseFilter(const std::string &Filter, std::string &DefaultExt, std::string &Mask);

// The separator box of the export dialog: display texts (with "Benutzerdefiniert" last) and the
// characters of the entries before it, in the same order.
void ParseSepChars(const std::string &SepChars, TStringArray &Items, TCharArray &Chars);
inline constexpr char CustomSeparatorText[] = "Benutzerdefiniert";
inline constexpr char NoProfilesText[] = "Keine Exportprofile vorhanden!";

// Where the walk writes. Export writes lines; the printed report gives its page layout.
class TReportOutput {
public:
    virtual ~TReportOutput() = default;
};

// The export's output: lines of 8-bit text, and the bytes they take written with CR LF.
class TLineOutput : public TReportOutput {
public:
    TStringList Lines;
    uint64_t Bytes = 0;
    void Append(const TStringList &More);
};

// The handlers of WalkReport, called in the walk's order. Folder is the template folder of the
// export (the document's file name for the printed report).
class TReportCallbacks {
public:
    virtual ~TReportCallbacks() = default;
    virtual void Header(TReportOutput &Output, const std::string &Folder,
                        const TCKProjectList &Projects, const TChronarkMan &Document) = 0;
    virtual void Footer(TReportOutput &Output, const std::string &Folder,
                        const TCKProjectList &Projects, const TChronarkMan &Document) = 0;
    virtual void Separator(TReportOutput &Output, const std::string &Folder) = 0;
    virtual void Item(TReportOutput &Output, const std::string &Folder, const TCKTimeItem &Entry,
                      const TChronarkMan &Document) = 0;
    virtual void ProjectHeader(TReportOutput &Output, const std::string &Folder,
                               const TCKProjectItem &Project, const TChronarkMan &Document) = 0;
    virtual void ProjectFooter(TReportOutput &Output, const std::string &Folder,
                               const TCKProjectItem &Project, const TChronarkMan &Document) = 0;
    virtual void Finish(TReportOutput &Output, const tSubstRec &Subst) = 0;
    // A handler that cannot go on (its output would grow past any sensible size, a template
    // cannot be read) says so here; the walk then calls nothing more and answers false.
    virtual bool Failed() const { return false; }
};

// Header, then per project with own entries ProjectHeader, its entries by start time with
// Separator between them, ProjectFooter; then Footer and Finish. False, with nothing called,
// when Projects is empty, and false when a handler failed.
bool WalkReport(TReportOutput &Output, const TCKProjectList &Projects, const TChronarkMan &Document,
                const std::string &Folder, TReportCallbacks &Handlers, const tSubstRec &Subst);

// The outcome of writing an export file.
enum class TExportResult {
    Written,
    NothingChosen, // no project: no file, no message
    Failed,        // Reason says why; an existing file is untouched
};

// What the save dialog needs to offer the profiles.
struct TExportSaveRequest {
    std::string Title = "Exportieren";
    TStringArray FileTypes; // Description + " (" + Mask + ")", one per profile
    TStringArray Masks;
    int FileType = 0;       // in: proposed; out: chosen (an index into the profiles)
    std::string FileName;   // in: proposed name; out: the full path chosen
    std::string Folder;     // initial folder
    std::string DefaultExt; // the first profile's
};

// What the export dialog shows for the chosen profile.
struct TExportFormRequest {
    std::string Caption; // Type + " Export"
    bool SubProfilesEnabled = false;
    TStringArray SubProfiles; // sorted as the list shows them
    int SubProfile = -1;      // pre-selected, or -1
    TStringArray SepItems;    // empty when no separator is asked for
    TCharArray SepChars;
};

// The export dialog's answer.
struct TExportChoices {
    TCKProjectList Projects; // ticked, in tree order
    bool HasSubProfile = false;
    std::string SubProfile;
    char Separator = '\0';
};

// The questions the export command asks; the windows answer them, tests script them.
class TExportUi {
public:
    virtual ~TExportUi() = default;
    virtual void ShowMessage(const std::string &Text) = 0;
    // The file type text the save dialog last used, empty when none.
    virtual std::string LastFileType() = 0;
    // The save dialog (it asks before overwriting). While it is open, a change of the file
    // type puts Man.FileTypeChanged(typed name, new type) into the name field.
    virtual bool AskOutputFile(const class TExportMan &Man, TExportSaveRequest &Request) = 0;
    // Names of the sub-folders of Path not beginning with ".".
    virtual void ListSubFolders(const std::string &Path, TStringList &Names) = 0;
    virtual bool AskChoices(const TExportFormRequest &Request, const TChronarkMan &Document,
                            TExportChoices &Choices) = 0;
    // The export was written to FileName (the name as the save dialog gave it).
    virtual void Written(const std::string &FileName) { (void)FileName; }
};

class TPrintUi;
enum class TPrintResult;

class TExportMan {
public:
    // The largest output written (and held): far beyond any real export, and small enough that
    // a template repeating a long value cannot exhaust memory.
    static constexpr uint64_t MaxOutputBytes = uint64_t{1} << 30;
    uint64_t OutputLimit = MaxOutputBytes; // tests lower it

    // The whole export command. ExportDir ends with a path separator.
    void Execute(TExportUi &Ui, const TChronarkMan &Document, const std::string &ExportDir,
                 const std::string &DocFileName);

    // The print command: the print dialog, then the report of the ticked projects (u_print).
    TPrintResult Print(TPrintUi &Ui, const TChronarkMan &Document, const std::string &DocFileName);

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

    // Runs the walk with the template handlers into lines (Walked false when nothing ran).
    TExportResult ExportToLines(const std::string &FileName, const std::string &Folder,
                                char Separator, const TChronarkMan &Document,
                                const TCKProjectList &Projects, TLineOutput &Output,
                                std::string &Reason) const;
    // The same, and writes them atomically to FileName in CR LF lines.
    TExportResult ExportToFile(const std::string &FileName, const std::string &Folder,
                               char Separator, const TChronarkMan &Document,
                               const TCKProjectList &Projects, std::string &Reason) const;

private:
    tPList FProfiles;
    std::string FDefaultExt;
};

// "Datei "<name>" kann nicht erstellt werden. <reason>"
std::string CannotCreateText(const std::string &FileName, const std::string &Reason);

// "Vorlagenordner "<name>" nicht gefunden.": the export still writes what its templates give.
// Like CannotCreateText, it takes the name spelled as the caller's text needs it.
std::string MissingTemplateFolderText(const std::string &FolderName);
// Whether Folder (a TemplateFolder) does not exist at all; a folder that exists but cannot be
// read is reported by the export itself.
bool TemplateFolderMissing(const std::string &Folder);
// Folder without its final path separator, as a message names it.
std::string FolderName(const std::string &Folder);

// Every project of Document in the export dialog's tree order: the root first, each project
// before its children, siblings sorted by caption as the tree sorts them.
TCKProjectList ProjectsInTreeOrder(const TChronarkMan &Document);

// Sub-profile names in the order the export dialog lists them: alphabetically, without regard
// to case (A to Z).
void SortSubProfiles(TStringArray &Names);
