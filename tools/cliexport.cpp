#include "tools/cliexport.h"

#include "app/capp.h"
#include "base/cp1252.h"
#include "export/u_export.h"
#include "model/ckm.h"
#include "tools/climessages.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <unordered_set>

namespace {

// Captions and section names are 8-bit text; the command line is UTF-8.
std::string Show(const std::string &Cp1252) {
    return EscapeControls(Cp1252ToUtf8(Cp1252));
}

std::string ShowTyped(const std::string &Utf8) {
    return EscapeControls(Utf8);
}

struct TFailure {
    std::string Text;
};

const tPItem &ChooseProfile(TExportMan &Man, const std::string &ExportDir,
                            const std::string &Section) {
    if (!Man.LoadProfiles(ExportDir))
        throw TFailure{std::string(NoProfilesText) + " (" + ShowTyped(ExportDir + "export.ini") +
                       ")"};
    const int index = Man.FindProfile(Utf8ToCp1252(Section));
    if (index < 0) {
        std::string known;
        for (const tPItem &p : Man.Profiles())
            known += (known.empty() ? "" : ", ") + Show(p.Section);
        throw TFailure{"Das Exportprofil \"" + ShowTyped(Section) + "\" gibt es nicht (" +
                       "vorhanden: " + known + ")."};
    }
    return Man.Profiles()[static_cast<size_t>(index)];
}

// The sub-profile the export dialog would use: the one named, else its pre-selection.
void ChooseSubProfile(const TCliExport &Export, const std::string &ExportDir, const tPItem &Profile,
                      bool &HasSub, std::string &Sub) {
    HasSub = false;
    if (!Profile.Profiles) {
        if (Export.HasSubProfile)
            throw TFailure{"Das Exportprofil \"" + Show(Profile.Section) +
                           "\" hat keine Unterprofile."};
        return;
    }
    TStringList names;
    ListSubFolders(TExportMan::TemplateFolder(ExportDir, Profile, false, {}), names, true);
    SortSubProfiles(names);
    int chosen = TExportMan::DefaultSubProfile(Profile, names);
    if (Export.HasSubProfile) {
        chosen = -1;
        for (size_t i = 0; i < names.size() && chosen < 0; ++i)
            if (SameText(names[i], Export.SubProfile))
                chosen = static_cast<int>(i);
        if (chosen < 0)
            throw TFailure{"Das Unterprofil \"" + ShowTyped(Export.SubProfile) +
                           "\" gibt es nicht im Exportprofil \"" + Show(Profile.Section) + "\"."};
    }
    if (chosen >= 0) {
        HasSub = true;
        Sub = names[static_cast<size_t>(chosen)];
    }
}

char ChooseSeparator(const TCliExport &Export, const tPItem &Profile) {
    if (!Export.HasSeparator && !Export.HasSeparatorCode)
        return TExportMan::DefaultSeparator(Profile);
    if (!Profile.Separator)
        throw TFailure{"Das Exportprofil \"" + Show(Profile.Section) +
                       "\" bietet kein Trennzeichen an."};
    if (Export.HasSeparatorCode)
        return static_cast<char>(static_cast<uint8_t>(Export.SeparatorCode & 0xFF));
    const std::string c = Utf8ToCp1252(Export.Separator);
    if (c.size() != 1)
        throw TFailure{"--separator erwartet genau ein Zeichen, nicht \"" +
                       ShowTyped(Export.Separator) + "\"."};
    return c[0];
}

// The ticked projects in the export dialog's tree order.
TCKProjectList ChooseProjects(const TCliExport &Export, const TChronarkMan &Document) {
    const TCKProjectList all = ProjectsInTreeOrder(Document);
    if (!Export.HasProjects)
        return all;
    std::unordered_set<const TCKProjectItem *> ticked;
    for (const std::string &typed : Export.Projects) {
        const std::string path = Utf8ToCp1252(typed);
        const TCKProjectItem *found = nullptr;
        for (const TCKProjectItem *p : all) {
            if (p->GetPath() != path)
                continue;
            if (found)
                throw TFailure{"Der Pfad \"" + ShowTyped(typed) +
                               "\" bezeichnet mehrere Projekte."};
            found = p;
        }
        if (!found)
            throw TFailure{"Das Projekt \"" + ShowTyped(typed) + "\" gibt es nicht."};
        ticked.insert(found);
    }
    TCKProjectList chosen;
    std::copy_if(all.begin(), all.end(), std::back_inserter(chosen),
                 [&](const TCKProjectItem *p) { return ticked.count(p) > 0; });
    return chosen;
}

} // namespace

bool ChooseReportProjects(const TCliExport &Export, const TChronarkMan &Document,
                          TCKProjectList &Projects, std::string &Error) {
    try {
        Projects = ChooseProjects(Export, Document);
    } catch (const TFailure &failure) {
        Error = failure.Text;
        return false;
    }
    return true;
}

bool LoadCliDocument(const std::string &FileName, TChronarkMan &Document, std::ostream &Err) {
    TCliMessageSink sink(Err, FileName);
    Document.OnMessage = sink.Sink();
    std::error_code error;
    const bool exists = std::filesystem::exists(FileName, error);
    if (!exists && !error) {
        DeliverMessage(Document.OnMessage, TMessageKind::Error,
                       "Fehler in \"" + FileName +
                           "\":\r\n\r\nDie Datei kann nicht gelesen werden. Der Ordner "
                           "oder die Datei existiert nicht.");
        Document.OnMessage = nullptr;
        return false;
    }
    const bool loaded = Document.LoadFromFile(FileName, false);
    Document.OnMessage = nullptr;
    return loaded;
}

int RunExport(const TCliArgs &Args, const std::string &DefaultExportDir, std::ostream &Err) {
    const TCliExport &options = Args.Export;
    TChronarkMan document;
    if (!LoadCliDocument(Args.FileName, document, Err))
        return ExitFailed;
    const std::string exportDir = SetTrailingBackslash(
        options.ExportDir.empty() ? DefaultExportDir : options.ExportDir, true);
    try {
        TExportMan man;
        const tPItem &profile = ChooseProfile(man, exportDir, options.Profile);
        bool hasSub;
        std::string sub;
        ChooseSubProfile(options, exportDir, profile, hasSub, sub);
        const char separator = ChooseSeparator(options, profile);
        const TCKProjectList projects = ChooseProjects(options, document);
        // The save dialog hands over a full path; $fullfilename$ shows it.
        std::error_code error;
        std::string output = std::filesystem::absolute(options.Output, error).string();
        if (error)
            output = options.Output;
        std::string reason;
        const std::string folder = TExportMan::TemplateFolder(exportDir, profile, hasSub, sub);
        // As the window warns; the export itself goes on. The folder's name is UTF-8 already.
        if (!projects.empty() && TemplateFolderMissing(folder))
            Err << "Warnung: " << ShowTyped(MissingTemplateFolderText(FolderName(folder))) << '\n';
        if (man.ExportToFile(output, folder, separator, document, projects, reason) ==
            TExportResult::Failed)
            throw TFailure{ShowTyped(CannotCreateText(output, Cp1252ToUtf8(reason)))};
    } catch (const TFailure &failure) {
        Err << "Fehler: " << failure.Text << '\n';
        return ExitFailed;
    }
    return ExitOk;
}
