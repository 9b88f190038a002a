#include "export/u_export.h"

#include "base/cp1252.h"
#include "export/filepaths.h"
#include "export/templates.h"
#include "model/ckfileio.h"

#include <algorithm>

TExportResult TExportMan::ExportToLines(const std::string &FileName, const std::string &Folder,
                                        char Separator, const TChronarkMan &Document,
                                        const TCKProjectList &Projects, TLineOutput &Output,
                                        std::string &Reason) const {
    if (Projects.empty())
        return TExportResult::NothingChosen;
    return WalkTemplates(Folder, {FileName, Separator}, OutputLimit, Document, Projects, Output,
                         Reason)
               ? TExportResult::Written
               : TExportResult::Failed;
}

TExportResult TExportMan::ExportToFile(const std::string &FileName, const std::string &Folder,
                                       char Separator, const TChronarkMan &Document,
                                       const TCKProjectList &Projects, std::string &Reason) const {
    TLineOutput output;
    const TExportResult result =
        ExportToLines(FileName, Folder, Separator, Document, Projects, output, Reason);
    if (result != TExportResult::Written)
        return result;
    std::string data;
    data.reserve(output.Bytes);
    for (std::string &line : output.Lines) {
        data += line;
        data += "\r\n";
        std::string().swap(line); // the lines go as the file grows
    }
    TSaveReport report;
    TWriteOptions options;
    options.Protected = Document.DiskFile;
    if (!WriteFileAtomic(FileName, data, report, options)) {
        Reason = report.Reason;
        return TExportResult::Failed;
    }
    return TExportResult::Written;
}

std::string CannotCreateText(const std::string &FileName, const std::string &Reason) {
    return "Datei \"" + FileName + "\" kann nicht erstellt werden. " + Reason;
}

// --- The command ---------------------------------------------------------------------------

void TExportMan::Execute(TExportUi &Ui, const TChronarkMan &Document, const std::string &ExportDir,
                         const std::string &DocFileName) {
    if (!LoadProfiles(ExportDir)) {
        Ui.ShowMessage(NoProfilesText);
        return;
    }
    TExportSaveRequest save;
    for (const tPItem &p : Profiles()) {
        save.FileTypes.push_back(p.Description + " (" + p.Mask + ")");
        save.Masks.push_back(p.Mask);
    }
    const std::string last = Ui.LastFileType();
    const auto remembered = std::find(save.FileTypes.begin(), save.FileTypes.end(), last);
    save.FileType = remembered == save.FileTypes.end()
                        ? 0
                        : static_cast<int>(remembered - save.FileTypes.begin());
    save.FileName = ProposedFileName(DocFileName, save.FileType);
    save.Folder = DocFileName.substr(0, NameStart(DocFileName));
    save.DefaultExt = DefaultExt();
    if (!Ui.AskOutputFile(*this, save))
        return;
    if (save.FileType < 0 || static_cast<size_t>(save.FileType) >= Profiles().size())
        save.FileType = 0;
    const tPItem &profile = Profiles()[static_cast<size_t>(save.FileType)];

    TExportFormRequest form;
    form.Caption = profile.Type + " Export";
    form.SubProfilesEnabled = profile.Profiles;
    if (profile.Profiles) {
        Ui.ListSubFolders(TemplateFolder(ExportDir, profile, false, {}), form.SubProfiles);
        SortSubProfiles(form.SubProfiles);
        form.SubProfile = DefaultSubProfile(profile, form.SubProfiles);
    }
    if (profile.Separator)
        ParseSepChars(profile.SepChars, form.SepItems, form.SepChars);
    TExportChoices choices;
    if (!Ui.AskChoices(form, Document, choices))
        return;
    const std::string folder =
        TemplateFolder(ExportDir, profile, choices.HasSubProfile, choices.SubProfile);
    if (!choices.Projects.empty() && TemplateFolderMissing(folder))
        Ui.ShowMessage(MissingTemplateFolderText(FileNameToText(FolderName(folder))));
    std::string reason;
    const TExportResult result =
        ExportToFile(save.FileName, folder, choices.Separator, Document, choices.Projects, reason);
    if (result == TExportResult::Written)
        Ui.Written(save.FileName);
    else if (result == TExportResult::Failed)
        Ui.ShowMessage(CannotCreateText(FileNameToText(save.FileName), reason));
}
