#include "tools/cliexport.h"

#include "app/capp.h"
#include "base/cp1252.h"
#include "export/u_export.h"
#include "model/ckm.h"
#include "tools/climessages.h"

#include <algorithm>
#include <filesystem>
#include <optional>
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

TResult Failure(TStatus Status, std::string Text) {
    return TResult::Failure(Status, std::move(Text));
}

// The profile named Section, as an index into Man.Profiles().
TResultWith<size_t> ChooseProfile(TExportMan &Man, const std::string &ExportDir,
                                  const std::string &Section) {
    if (!Man.LoadProfiles(ExportDir))
        return {Failure(TStatus::NotFound, std::string(NoProfilesText) + " (" +
                                               ShowTyped(ExportDir + "export.ini") + ")")};
    const int index = Man.FindProfile(Utf8ToCp1252(Section));
    if (index < 0) {
        std::string known;
        for (const tPItem &p : Man.Profiles())
            known += (known.empty() ? "" : ", ") + Show(p.Section);
        return {Failure(TStatus::NotFound, "Das Exportprofil \"" + ShowTyped(Section) +
                                               "\" gibt es nicht (" + "vorhanden: " + known +
                                               ").")};
    }
    return {TResult(), static_cast<size_t>(index)};
}

// The sub-profile the export dialog would use: the one named, else its pre-selection; none
// for a profile without sub-profiles.
TResultWith<std::optional<std::string>>
ChooseSubProfile(const TCliExport &Export, const std::string &ExportDir, const tPItem &Profile) {
    if (!Profile.Profiles) {
        if (Export.HasSubProfile)
            return {Failure(TStatus::BadRequest, "Das Exportprofil \"" + Show(Profile.Section) +
                                                     "\" hat keine Unterprofile.")};
        return {};
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
            return {Failure(TStatus::NotFound, "Das Unterprofil \"" + ShowTyped(Export.SubProfile) +
                                                   "\" gibt es nicht im Exportprofil \"" +
                                                   Show(Profile.Section) + "\".")};
    }
    if (chosen < 0)
        return {};
    return {TResult(), names[static_cast<size_t>(chosen)]};
}

TResultWith<char> ChooseSeparator(const TCliExport &Export, const tPItem &Profile) {
    if (!Export.HasSeparator && !Export.HasSeparatorCode)
        return {TResult(), TExportMan::DefaultSeparator(Profile)};
    if (!Profile.Separator)
        return {Failure(TStatus::BadRequest, "Das Exportprofil \"" + Show(Profile.Section) +
                                                 "\" bietet kein Trennzeichen an.")};
    if (Export.HasSeparatorCode)
        return {TResult(), static_cast<char>(static_cast<uint8_t>(Export.SeparatorCode & 0xFF))};
    const std::string c = Utf8ToCp1252(Export.Separator);
    if (c.size() != 1)
        return {Failure(TStatus::BadRequest, "--separator erwartet genau ein Zeichen, nicht \"" +
                                                 ShowTyped(Export.Separator) + "\".")};
    return {TResult(), c[0]};
}

// What the export dialog would be given, and the export it starts.
TResult ExportDocument(const TCliExport &Options, const std::string &ExportDir,
                       const TChronarkMan &Document, std::ostream &Err) {
    TExportMan man;
    const TResultWith<size_t> profileIndex = ChooseProfile(man, ExportDir, Options.Profile);
    if (!profileIndex.Result)
        return profileIndex.Result;
    const tPItem &profile = man.Profiles()[profileIndex.Value];
    const TResultWith<std::optional<std::string>> sub =
        ChooseSubProfile(Options, ExportDir, profile);
    if (!sub.Result)
        return sub.Result;
    const TResultWith<char> separator = ChooseSeparator(Options, profile);
    if (!separator.Result)
        return separator.Result;
    const TResultWith<TCKProjectList> projects = ChooseReportProjects(Options, Document);
    if (!projects.Result)
        return projects.Result;
    // The save dialog hands over a full path; $fullfilename$ shows it.
    std::error_code error;
    std::string output = std::filesystem::absolute(Options.Output, error).string();
    if (error)
        output = Options.Output;
    std::string reason;
    const std::string folder = TExportMan::TemplateFolder(ExportDir, profile, sub.Value.has_value(),
                                                          sub.Value.value_or(""));
    // As the window warns; the export itself goes on. The folder's name is UTF-8 already.
    if (!projects.Value.empty() && TemplateFolderMissing(folder))
        Err << "Warnung: " << ShowTyped(MissingTemplateFolderText(FolderName(folder))) << '\n';
    if (man.ExportToFile(output, folder, separator.Value, Document, projects.Value, reason) ==
        TExportResult::Failed)
        return Failure(TStatus::SystemError,
                       ShowTyped(CannotCreateText(output, Cp1252ToUtf8(reason))));
    return {};
}

} // namespace

// The ticked projects in the export dialog's tree order.
TResultWith<TCKProjectList> ChooseReportProjects(const TCliExport &Export,
                                                 const TChronarkMan &Document) {
    const TCKProjectList all = ProjectsInTreeOrder(Document);
    if (!Export.HasProjects)
        return {TResult(), all};
    std::unordered_set<const TCKProjectItem *> ticked;
    for (const std::string &typed : Export.Projects) {
        const std::string path = Utf8ToCp1252(typed);
        const TCKProjectItem *found = nullptr;
        for (const TCKProjectItem *p : all) {
            if (p->GetPath() != path)
                continue;
            if (found)
                return {Failure(TStatus::BadRequest, "Der Pfad \"" + ShowTyped(typed) +
                                                         "\" bezeichnet mehrere Projekte.")};
            found = p;
        }
        if (!found)
            return {Failure(TStatus::NotFound,
                            "Das Projekt \"" + ShowTyped(typed) + "\" gibt es nicht.")};
        ticked.insert(found);
    }
    TResultWith<TCKProjectList> chosen;
    std::copy_if(all.begin(), all.end(), std::back_inserter(chosen.Value),
                 [&](const TCKProjectItem *p) { return ticked.count(p) > 0; });
    return chosen;
}

TResult LoadCliFile(TChronarkMan &Man, const std::string &FileName) {
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::path(FileName), error) && !error) {
        const std::string text = "Fehler in \"" + FileName +
                                 "\":\r\n\r\nDie Datei kann nicht gelesen werden. Der Ordner "
                                 "oder die Datei existiert nicht.";
        DeliverMessage(Man.OnMessage, TMessageKind::Error, text);
        return Failure(TStatus::NotFound, text);
    }
    return Man.LoadFromFile(FileName, false);
}

TResult LoadCliDocument(const std::string &FileName, TChronarkMan &Document, std::ostream &Err) {
    TCliMessageSink sink(Err, FileName);
    Document.OnMessage = sink.Sink();
    TResult loaded = LoadCliFile(Document, FileName);
    Document.OnMessage = nullptr;
    return loaded;
}

int RunExport(const TCliArgs &Args, const std::string &DefaultExportDir, std::ostream &Err) {
    TChronarkMan document;
    // Its messages are out already.
    if (const TResult loaded = LoadCliDocument(Args.FileName, document, Err); !loaded)
        return ExitCode(loaded);
    const std::string exportDir = SetTrailingBackslash(
        Args.Export.ExportDir.empty() ? DefaultExportDir : Args.Export.ExportDir, true);
    const TResult exported = ExportDocument(Args.Export, exportDir, document, Err);
    if (!exported)
        Err << "Fehler: " << exported.Message() << '\n';
    return ExitCode(exported);
}
