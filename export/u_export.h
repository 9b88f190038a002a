#pragma once
// The export command: the save dialog over the profiles, the export dialog, and the output file
// the template handlers write.

#include "base/cstring.h"
#include "export/profiles.h"
#include "export/walk.h"
#include "model/ckm.h"

#include <cstdint>
#include <string>

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

class TExportMan : public TExportProfiles {
public:
    // The largest output written (and held): far beyond any real export, and small enough that
    // a template repeating a long value cannot exhaust memory.
    static constexpr uint64_t MaxOutputBytes = uint64_t{1} << 30;
    uint64_t OutputLimit = MaxOutputBytes; // tests lower it

    // The whole export command. ExportDir ends with a path separator.
    void Execute(TExportUi &Ui, const TChronarkMan &Document, const std::string &ExportDir,
                 const std::string &DocFileName);

    // Runs the walk with the template handlers into lines.
    TExportResult ExportToLines(const std::string &FileName, const std::string &Folder,
                                char Separator, const TChronarkMan &Document,
                                const TCKProjectList &Projects, TLineOutput &Output,
                                std::string &Reason) const;
    // The same, and writes them atomically to FileName in CR LF lines.
    TExportResult ExportToFile(const std::string &FileName, const std::string &Folder,
                               char Separator, const TChronarkMan &Document,
                               const TCKProjectList &Projects, std::string &Reason) const;
};

// "Datei "<name>" kann nicht erstellt werden. <reason>"
std::string CannotCreateText(const std::string &FileName, const std::string &Reason);
