#pragma once
// The export's template handlers: the template files of a folder, stitched into the output
// file's lines with their placeholders filled in.

#include "export/walk.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The template files, in the order of TTemplateKind.
enum TTemplateKind { tkHeader, tkFooter, tkProjectHeader, tkProjectFooter, tkItem, tkSeparator };
inline constexpr size_t TemplateKinds = 6;
inline constexpr const char *TemplateNames[TemplateKinds] = {
    "header.txt", "footer.txt", "prjheader.txt", "prjfooter.txt", "item.txt", "separator.txt"};

// The walk over Projects with the templates in Folder (a TemplateFolder), the lines appended to
// Output; $filename$, $fullfilename$ and $separator$ take their values from Subst. False with
// Reason where a template cannot be read or the output would grow past Limit bytes, and false
// (Reason untouched) for no projects.
bool WalkTemplates(const std::string &Folder, const tSubstRec &Subst, uint64_t Limit,
                   const TChronarkMan &Document, const TCKProjectList &Projects,
                   TLineOutput &Output, std::string &Reason);

// A placeholder that a template file replaces: "$name$" in lower case, and whether its value is
// free text, for which the escaping variants "$name:csv$" and so on are replaced as well.
struct TPlaceholderName {
    std::string Name;
    bool Text = false;
};
// The plain placeholders of Kind's template file in the order they are replaced.
std::vector<TPlaceholderName> TemplatePlaceholders(TTemplateKind Kind);
