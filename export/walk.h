#pragma once
// The walk over the chosen projects that the template export and the printed report share, and
// the order the project tree shows them in.

#include "base/cstring.h"
#include "model/ckm.h"

#include <cstdint>
#include <string>

// The values of the final pass over the whole output.
struct tSubstRec {
    std::string FileName; // full path of the output file
    char Separator = '\0';
};

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

// Every project of Document in the export dialog's tree order: the root first, each project
// before its children, siblings sorted by caption as the tree sorts them.
TCKProjectList ProjectsInTreeOrder(const TChronarkMan &Document);
