#include "tools/clisummary.h"

#include "base/cp1252.h"
#include "base/dates.h"
#include "base/durations.h"
#include "base/fieldtype.h"
#include "model/ckfieldsettings.h"
#include "model/ckm.h"
#include "tools/climessages.h"

#include <algorithm>
#include <sstream>
#include <utility>
#include <vector>

namespace {

// Beyond this depth lines are no longer indented further: a pathological nesting must not
// make the output grow with the square of the depth.
constexpr int MaxIndent = 32;

std::string ProjectLine(const TNetTimes &NetTimes, const TCKProjectItem &P, const std::string &Name,
                        int Depth) {
    std::string line(static_cast<size_t>(std::min(Depth, MaxIndent)) * 2, ' ');
    if (Depth > MaxIndent)
        line += "(Ebene " + std::to_string(Depth + 1) + ") ";
    line += Name + ": " + EntryCount(static_cast<int>(P.TimeItems().size())) + "; " +
            SecondsText(NetTimes.Seconds(&P));
    return line;
}

void WriteTree(std::ostringstream &Out, const TChronarkMan &Man, const TNetTimes &NetTimes) {
    // Pre-order walk with an explicit stack: the depth of a file's nesting must not decide
    // the call stack's.
    std::vector<std::pair<const TCKItem *, int>> stack;
    for (const TCKItem *c = Man.Root->LastChild; c; c = c->Prev)
        stack.emplace_back(c, 0);
    bool any = false;
    while (!stack.empty()) {
        const auto [node, depth] = stack.back();
        stack.pop_back();
        if (!node->IsProject())
            continue;
        const auto *project = static_cast<const TCKProjectItem *>(node);
        if (!any)
            Out << "Projekte (direkte Eintr\xC3\xA4ge; deren Nettozeit):\n";
        any = true;
        Out << ProjectLine(NetTimes, *project, Cp1252ToUtf8(project->Caption), depth) << '\n';
        for (const TCKItem *c = project->LastChild; c; c = c->Prev)
            stack.emplace_back(c, depth + 1);
    }
    if (!Man.Root->TimeItems().empty()) {
        if (!any)
            Out << "Projekte (direkte Eintr\xC3\xA4ge; deren Nettozeit):\n";
        any = true;
        Out << ProjectLine(NetTimes, *Man.Root, "(ohne Projekt)", 0) << '\n';
    }
    if (!any)
        Out << "Projekte: keine\n";
}

} // namespace

std::string ProjectCount(int N) {
    return std::to_string(N) + (N == 1 ? " Projekt" : " Projekte");
}

std::string EntryCount(int N) {
    return std::to_string(N) + (N == 1 ? " Eintrag" : " Eintr\xC3\xA4ge");
}

TDocumentCounts CountDocument(const TChronarkMan &Man) {
    TDocumentCounts counts;
    std::vector<const TCKItem *> stack{Man.Root.get()};
    while (!stack.empty()) {
        const TCKItem *node = stack.back();
        stack.pop_back();
        if (node->IsProject()) {
            const auto *project = static_cast<const TCKProjectItem *>(node);
            if (project != Man.Root.get())
                ++counts.Projects;
            for (const TCKItem *c = project->FirstChild; c; c = c->Next)
                stack.push_back(c);
        } else {
            ++counts.Entries;
            if (!static_cast<const TCKTimeItem *>(node)->IsOverlapFree())
                ++counts.Overlapping;
        }
    }
    return counts;
}

std::string SummaryText(const TChronarkMan &Man, const std::string &FileName) {
    std::ostringstream out;
    out << "Datei: " << FileName << '\n';

    out << "Felder: ";
    if (Man.FieldDefs.empty())
        out << "keine";
    for (size_t i = 0; i < Man.FieldDefs.size(); ++i)
        out << (i ? ", " : "") << Cp1252ToUtf8(Man.FieldDefs[i].Id) << " ("
            << FieldTypeName(Man.FieldDefs[i].FieldType) << ')';
    out << '\n';

    out << "Standardprojekt: "
        << (Man.DefaultProject && Man.DefaultProject != Man.Root.get()
                ? Cp1252ToUtf8(Man.DefaultProject->GetPath())
                : std::string("keines"))
        << '\n';

    const TCKReducedTimeItem *first = Man.ReducedTime->First;
    const TCKReducedTimeItem *last = Man.ReducedTime->Last;
    if (first && last)
        out << "Zeitraum: " << DateTimeText(first->StartTime) << " bis "
            << DateTimeText(last->EndTime) << '\n';
    out << '\n';

    const TNetTimes netTimes = Man.NetTimesByProject();
    WriteTree(out, Man, netTimes);
    out << '\n';

    const TDocumentCounts counts = CountDocument(Man);
    int64_t gross = 0;
    for (const TCKTimeItem *e : Man.AllEntries())
        gross += DurationSeconds(e->EndTime, e->StartTime);
    out << "Projekte: " << counts.Projects << '\n';
    out << "Eintr\xC3\xA4ge: " << counts.Entries << '\n';
    out << "\xC3\x9C"
           "berlappende Eintr\xC3\xA4ge: "
        << counts.Overlapping << '\n';
    out << "Summe der Einzeldauern: " << SecondsText(gross) << '\n';
    out << "Gesamt: " << SecondsText(netTimes.Total()) << '\n';
    return EscapeControls(out.str());
}
