#include "export/templates.h"

#include "base/cp1252.h"
#include "base/dates.h"
#include "base/durations.h"
#include "base/numbers.h"
#include "export/filepaths.h"
#include "export/placeholders.h"
#include "model/ckfileio.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace {

// Lines end at CR, LF or CR LF; a final line break adds no empty line.
void TextToLines(const std::string &Text, TStringList &Lines) {
    Lines.clear();
    size_t pos = 0;
    while (pos < Text.size()) {
        size_t end = Text.find_first_of("\r\n", pos);
        if (end == std::string::npos)
            end = Text.size();
        Lines.push_back(Text.substr(pos, end - pos));
        pos = end;
        if (pos < Text.size() && Text[pos] == '\r')
            ++pos;
        if (pos < Text.size() && Text[pos] == '\n')
            ++pos;
    }
}

// The next '$' at or after From: lines are short, so a plain loop beats a library search.
size_t NextDollar(const std::string &Line, size_t From) {
    const char *data = Line.data();
    for (size_t i = From; i < Line.size(); ++i)
        if (data[i] == '$')
            return i;
    return std::string::npos;
}

// Whether the placeholder Find (lower case, '$' only at its ends) starts at Pos, in any case.
bool PlaceholderAt(const std::string &Line, size_t Pos, const std::string &Find) {
    if (Pos + Find.size() > Line.size())
        return false;
    for (size_t i = 1; i < Find.size(); ++i) {
        char c = Line[Pos + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
        if (c != Find[i])
            return false;
    }
    return true;
}

// ReplaceText's result in one pass, for values that cannot form a new occurrence: a value
// without '$' can only become part of one between a '$' before it and one after it, so never
// when the placeholder does not contain it.
bool ReplacesInOnePass(const std::string &Find, const std::string &LowerValue) {
    return !LowerValue.empty() && LowerValue.find('$') == std::string::npos &&
           Find.find(LowerValue) == std::string::npos;
}

void ReplaceInOnePass(std::string &Line, const std::string &Find, const std::string &Value) {
    std::string out;
    size_t copied = 0;
    for (size_t pos = NextDollar(Line, 0); pos != std::string::npos;) {
        if (PlaceholderAt(Line, pos, Find)) {
            out.append(Line, copied, pos - copied);
            out += Value;
            copied = pos + Find.size();
            pos = NextDollar(Line, copied);
        } else {
            pos = NextDollar(Line, pos + 1);
        }
    }
    if (copied == 0)
        return;
    out.append(Line, copied, std::string::npos);
    Line = std::move(out);
}

// How often the placeholder Find (a lower-case text beginning with '$') stands in Line, in any
// case; counted without overlap. Most lines hold none, which this finds without copying them.
size_t CountPlaceholder(const std::string &Line, const std::string &Find) {
    size_t count = 0;
    for (size_t pos = NextDollar(Line, 0); pos != std::string::npos;) {
        const bool found = PlaceholderAt(Line, pos, Find);
        count += found;
        pos = NextDollar(Line, found ? pos + Find.size() : pos + 1);
    }
    return count;
}

bool HasPlaceholder(const std::string &Line, const std::string &Find) {
    for (size_t pos = NextDollar(Line, 0); pos != std::string::npos;
         pos = NextDollar(Line, pos + 1))
        if (PlaceholderAt(Line, pos, Find))
            return true;
    return false;
}

std::string Num(int64_t N) {
    return std::to_string(N);
}

// Date and time in the basic ISO 8601 form (20020807T090000), whatever the regional format:
// what calendar files need.
std::string IsoStamp(TDateTime T) {
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(T, y, mo, d, h, mi, s, ms);
    return PadNum(y, 4, '0') + PadNum(mo, 2, '0') + PadNum(d, 2, '0') + "T" + PadNum(h, 2, '0') +
           PadNum(mi, 2, '0') + PadNum(s, 2, '0');
}

// The values a template is filled with: the entry, project or selection it is filled for, and
// the output file's values, the same for every template.
struct TFinalValues {
    std::string FileName, FullFileName, Separator;
};
struct TFillSource {
    const TFinalValues *Final = nullptr;
    const TCKTimeItem *Entry = nullptr;          // item.txt
    const TCKProjectItem *Project = nullptr;     // prjheader.txt, prjfooter.txt
    int64_t Hours = 0, Minutes = 0, Seconds = 0; // the entry's duration or a net time
};

constexpr unsigned In(TTemplateKind Kind) {
    return 1u << Kind;
}
constexpr unsigned ItemFile = In(tkItem);
constexpr unsigned ProjectFiles = In(tkProjectHeader) | In(tkProjectFooter);
constexpr unsigned TimedFiles = In(tkHeader) | In(tkFooter) | ProjectFiles | ItemFile;
constexpr unsigned EveryFile = TimedFiles | In(tkSeparator);

// A placeholder: its name, the template files that replace it, whether its value is free text
// (the escaping variants exist for those) and how the value is made, in Keep where it is not
// held by the source.
struct TPlaceholder {
    const char *Name; // "$name$", lower case, no '$' inside
    unsigned Files;   // In(kind) for each template file replacing it
    bool Text;
    std::string_view (*Value)(const TFillSource &Source, std::string &Keep);
};

// Every placeholder, in the order the templates replace them: where a value holds '$' it can
// form a placeholder replaced after it. The ISO stamps come first: their values hold no '$', so
// the order of the others stays as templates expect it. The output file's values come last, as
// the final pass over the whole output would replace them: every output line comes from one
// template line and that pass works line by line, so they are filled in as the line is made.
constexpr TPlaceholder Placeholders[] = {
    {"$startiso$", ItemFile, false,
     [](const TFillSource &S, std::string &Keep) -> std::string_view {
         return Keep = IsoStamp(S.Entry->StartTime);
     }},
    {"$endiso$", ItemFile, false,
     [](const TFillSource &S, std::string &Keep) -> std::string_view {
         return Keep = IsoStamp(S.Entry->EndTime);
     }},
    {"$starttime$", ItemFile, true,
     [](const TFillSource &S, std::string &Keep) -> std::string_view {
         return Keep = DateTimeText(S.Entry->StartTime);
     }},
    {"$endtime$", ItemFile, true,
     [](const TFillSource &S, std::string &Keep) -> std::string_view {
         return Keep = DateTimeText(S.Entry->EndTime);
     }},
    {"$comment$", ProjectFiles, true,
     [](const TFillSource &S, std::string &) -> std::string_view { return S.Project->Caption; }},
    {"$hours$", TimedFiles, false,
     [](const TFillSource &S, std::string &Keep) -> std::string_view {
         return Keep = Num(S.Hours);
     }},
    {"$minutes$", TimedFiles, false,
     [](const TFillSource &S, std::string &Keep) -> std::string_view {
         return Keep = Num(S.Minutes);
     }},
    {"$seconds$", TimedFiles, false,
     [](const TFillSource &S, std::string &Keep) -> std::string_view {
         return Keep = Num(S.Seconds);
     }},
    {"$comment$", ItemFile, true,
     [](const TFillSource &S, std::string &) -> std::string_view { return S.Entry->Comment; }},
    {"$filename$", EveryFile, true,
     [](const TFillSource &S, std::string &) -> std::string_view { return S.Final->FileName; }},
    {"$fullfilename$", EveryFile, true,
     [](const TFillSource &S, std::string &) -> std::string_view { return S.Final->FullFileName; }},
    {"$separator$", EveryFile, true,
     [](const TFillSource &S, std::string &) -> std::string_view { return S.Final->Separator; }},
};

// How many placeholders the template file of Kind replaces, escaping variants included.
constexpr size_t FindCount(TTemplateKind Kind) {
    size_t count = 0;
    for (const TPlaceholder &p : Placeholders)
        if (p.Files & In(Kind))
            count += 1 + (p.Text ? std::size(EscapeSuffixes) : 0);
    return count;
}
constexpr size_t MostFinds =
    std::max({FindCount(tkHeader), FindCount(tkFooter), FindCount(tkProjectHeader),
              FindCount(tkProjectFooter), FindCount(tkItem), FindCount(tkSeparator)});

// A template's placeholders in the order they are replaced. The escaping variants come first:
// no stored template holds them, so the plain ones meet the text they always met.
struct TFinds {
    std::vector<std::string> Names;
    std::vector<const TPlaceholder *> Rows; // the placeholder giving the value
    std::vector<TEscape> Escapes;
};

TFinds MakeFinds(TTemplateKind Kind) {
    TFinds finds;
    for (const TPlaceholder &p : Placeholders)
        if ((p.Files & In(Kind)) && p.Text)
            for (const TEscapeSuffix &suffix : EscapeSuffixes) {
                const std::string name = p.Name;
                finds.Names.push_back(name.substr(0, name.size() - 1) + suffix.Suffix + "$");
                finds.Rows.push_back(&p);
                finds.Escapes.push_back(suffix.Escape);
            }
    for (const TPlaceholder &p : Placeholders)
        if (p.Files & In(Kind)) {
            finds.Names.push_back(p.Name);
            finds.Rows.push_back(&p);
            finds.Escapes.push_back(TEscape::None);
        }
    return finds;
}

const TFinds &FindsOf(TTemplateKind Kind) {
    static const TFinds finds[TemplateKinds] = {
        MakeFinds(tkHeader),        MakeFinds(tkFooter), MakeFinds(tkProjectHeader),
        MakeFinds(tkProjectFooter), MakeFinds(tkItem),   MakeFinds(tkSeparator),
    };
    return finds[Kind];
}

// The names a template folder holds, found without regard to the case of A to Z: profiles come
// from Windows, where "Header.txt" is the file "header.txt".
class TFolderNames {
public:
    explicit TFolderNames(const std::string &Folder) {
        std::error_code error;
        for (std::filesystem::directory_iterator it(Folder, error), end; !error && it != end;
             it.increment(error)) {
            std::string name = it->path().filename().string();
            auto [found, fresh] = FNames.try_emplace(LowerCase(name), name);
            // Of names differing in case only, the lower-case one, else the first by bytes.
            if (!fresh && found->first != found->second &&
                (name == found->first || name < found->second))
                found->second = std::move(name);
        }
    }
    // The folder's spelling of Name (lower case), or Name itself when there is none.
    const std::string &Spelling(const std::string &Name) const {
        const auto it = FNames.find(Name);
        return it == FNames.end() ? Name : it->second;
    }

private:
    std::unordered_map<std::string, std::string> FNames; // lower case -> as the folder spells it
};

// The export's handlers: each template file is read and planned once per export.
class TTemplateHandlers final : public TReportCallbacks {
public:
    TTemplateHandlers(uint64_t Limit, const tSubstRec &Subst)
        : FLimit(Limit), FFinal{FileNameToText(ExtractFileName(Subst.FileName)),
                                FileNameToText(Subst.FileName), std::string(1, Subst.Separator)} {}

    void Header(TReportOutput &Output, const std::string &Folder, const TCKProjectList &Projects,
                const TChronarkMan &Document) override {
        Sums(Output, Folder, tkHeader, Projects, Document);
    }
    void Footer(TReportOutput &Output, const std::string &Folder, const TCKProjectList &Projects,
                const TChronarkMan &Document) override {
        Sums(Output, Folder, tkFooter, Projects, Document);
    }
    void Separator(TReportOutput &Output, const std::string &Folder) override {
        Fill(Lines(Output), Template(Folder, tkSeparator), {&FFinal});
    }
    void Item(TReportOutput &Output, const std::string &Folder, const TCKTimeItem &Entry,
              const TChronarkMan &) override {
        const TTemplate &t = Template(Folder, tkItem);
        if (t.Lines.empty())
            return;
        int32_t h, m, s;
        DurationHMS(Entry.EndTime, Entry.StartTime, h, m, s);
        Fill(Lines(Output), t, {&FFinal, &Entry, nullptr, h, m, s});
    }
    void ProjectHeader(TReportOutput &Output, const std::string &Folder,
                       const TCKProjectItem &Project, const TChronarkMan &Document) override {
        ProjectSums(Output, Folder, tkProjectHeader, Project, Document);
    }
    void ProjectFooter(TReportOutput &Output, const std::string &Folder,
                       const TCKProjectItem &Project, const TChronarkMan &Document) override {
        ProjectSums(Output, Folder, tkProjectFooter, Project, Document);
    }
    // The final placeholders were filled in as each line was made (with the same values).
    void Finish(TReportOutput &, const tSubstRec &) override {}
    bool Failed() const override { return !FReason.empty(); }
    const std::string &Reason() const { return FReason; }

private:
    struct TTemplate {
        TStringList Lines;
        const TFinds *Finds = nullptr;
        TPlaceholderPlan Plan;
        // The lines holding an iCalendar variant: what they make are content lines, folded.
        std::vector<bool> Folds;
        bool AnyFolds = false;
    };

    static TLineOutput &Lines(TReportOutput &Output) { return dynamic_cast<TLineOutput &>(Output); }

    const TTemplate &Template(const std::string &Folder, TTemplateKind Kind) {
        if (Folder != FFolder || !FNames) {
            FFolder = Folder;
            FByKind.fill(nullptr);
            FNames.emplace(Folder);
        }
        if (FByKind[Kind])
            return *FByKind[Kind];
        const std::string path = Folder + FNames->Spelling(TemplateNames[Kind]);
        const auto [found, fresh] = FTemplates.try_emplace(path);
        TTemplate &t = found->second;
        if (fresh) {
            std::string data, reason;
            bool missing = false;
            if (!ReadWholeFile(path, data, missing, reason))
                FReason = "Die Vorlage \"" + FileNameToText(path) +
                          "\" kann nicht gelesen werden. " + reason;
            else if (!missing)
                TextToLines(data, t.Lines);
            t.Finds = &FindsOf(Kind);
            t.Plan = TPlaceholderPlan(t.Lines, t.Finds->Names);
            for (const std::string &line : t.Lines) {
                bool folds = false;
                for (size_t i = 0; i < t.Finds->Names.size() && !folds; ++i)
                    folds = t.Finds->Escapes[i] == TEscape::Ics &&
                            HasPlaceholder(line, t.Finds->Names[i]);
                t.Folds.push_back(folds);
                t.AnyFolds = t.AnyFolds || folds;
            }
        }
        FByKind[Kind] = &t;
        return t;
    }

    // Appends the template's lines with its placeholders replaced by the values made from
    // Source; lines holding an iCalendar variant folded.
    void Fill(TLineOutput &Out, const TTemplate &T, const TFillSource &Source) {
        if (Failed() || T.Lines.empty())
            return;
        if (!T.AnyFolds) {
            FillLines(Out, T, Source);
            return;
        }
        TLineOutput made; // counts from the output's size, so the limit holds as it does there
        made.Bytes = Out.Bytes;
        FillLines(made, T, Source);
        if (Failed() || made.Lines.size() != T.Lines.size())
            return;
        TStringList folded;
        for (size_t i = 0; i < made.Lines.size(); ++i)
            if (T.Folds[i])
                FoldContentLine(made.Lines[i], folded);
            else
                folded.push_back(std::move(made.Lines[i]));
        Emit(Out, folded);
    }

    // In one pass where that gives the same lines, else one placeholder after the other.
    void FillLines(TLineOutput &Out, const TTemplate &T, const TFillSource &Source) {
        const TFinds &finds = *T.Finds;
        const auto valueOf = [&](size_t Find, std::string &Keep) -> std::string_view {
            const TPlaceholder &row = *finds.Rows[Find];
            if (finds.Escapes[Find] == TEscape::None)
                return row.Value(Source, Keep);
            std::string raw;
            return Keep = EscapeValue(row.Value(Source, raw), finds.Escapes[Find]);
        };
        const size_t count = finds.Names.size();
        std::array<std::string, MostFinds> keep;
        std::array<std::string_view, MostFinds> values;
        for (size_t i = 0; i < count; ++i)
            if (T.Plan.Uses(i))
                values[i] = valueOf(i, keep[i]);
        const uint64_t budget = Out.Bytes < FLimit ? FLimit - Out.Bytes : 0;
        if (T.Plan.Fill({values.data(), count}, budget, Out.Lines, Out.Bytes))
            return;
        TStringList lines = T.Lines;
        for (size_t i = 0; i < count; ++i) {
            const auto text = [&] {
                std::string kept;
                return std::string(valueOf(i, kept));
            };
            if (!Replace(Out, lines, finds.Names[i], text))
                return;
        }
        Emit(Out, lines);
    }

    // Replaces Find in every line unless the lines would then take the output past its limit.
    template <typename ValueFn>
    bool Replace(const TLineOutput &Output, TStringList &Lines, const std::string &Find,
                 ValueFn Value) {
        if (Failed())
            return false;
        if (std::none_of(Lines.begin(), Lines.end(),
                         [&](const std::string &line) { return HasPlaceholder(line, Find); }))
            return true;
        const std::string value = Value();
        if (value.size() > Find.size()) {
            uint64_t bytes = Output.Bytes, count = 0;
            for (const std::string &line : Lines) {
                bytes += line.size() + 2;
                count += CountPlaceholder(line, Find);
            }
            if (bytes + count * (value.size() - Find.size()) > FLimit)
                return Overflow();
        }
        const bool onePass = ReplacesInOnePass(Find, LowerCase(value));
        for (std::string &line : Lines)
            if (onePass)
                ReplaceInOnePass(line, Find, value);
            else if (HasPlaceholder(line, Find))
                ReplaceText(line, Find, value, false);
        return true;
    }

    bool Emit(TReportOutput &Output, const TStringList &More) {
        TLineOutput &out = Lines(Output);
        uint64_t bytes = out.Bytes;
        for (const std::string &line : More)
            bytes += line.size() + 2;
        if (bytes > FLimit)
            return Overflow();
        out.Append(More);
        return true;
    }

    // Written in Windows-1252 like every message: the window and the terminal convert once.
    bool Overflow() {
        FReason = "Die Ausgabe w\xFCrde gr\xF6\xDF"
                  "er als " +
                  Num(static_cast<int64_t>(FLimit)) + " Bytes.";
        return false;
    }

    void Sums(TReportOutput &Output, const std::string &Folder, TTemplateKind Kind,
              const TCKProjectList &Projects, const TChronarkMan &Document) {
        const TTemplate &t = Template(Folder, Kind);
        if (t.Lines.empty())
            return;
        if (!FSelected) {
            int32_t h, m, s;
            Document.NetTimeOfProjects(Projects, h, m, s);
            FSelected = {h, m, s};
        }
        const auto &[h, m, s] = *FSelected;
        Fill(Lines(Output), t, {&FFinal, nullptr, nullptr, h, m, s});
    }

    void ProjectSums(TReportOutput &Output, const std::string &Folder, TTemplateKind Kind,
                     const TCKProjectItem &Project, const TChronarkMan &Document) {
        const TTemplate &t = Template(Folder, Kind);
        if (t.Lines.empty())
            return;
        // Every project's net time in one pass over the segments, not one pass per project.
        if (!FNetTimes)
            FNetTimes = Document.NetTimesByProject();
        const int64_t secs = FNetTimes->Seconds(&Project);
        Fill(Lines(Output), t,
             {&FFinal, nullptr, &Project, secs / 3600, secs / 60 % 60, secs % 60});
    }

    const uint64_t FLimit;
    const TFinalValues FFinal;
    std::string FReason;
    std::unordered_map<std::string, TTemplate> FTemplates;
    std::string FFolder;
    std::optional<TFolderNames> FNames; // FFolder's
    std::array<TTemplate *, TemplateKinds> FByKind{};
    std::optional<TNetTimes> FNetTimes;
    std::optional<std::array<int32_t, 3>> FSelected;
};

} // namespace

bool WalkTemplates(const std::string &Folder, const tSubstRec &Subst, uint64_t Limit,
                   const TChronarkMan &Document, const TCKProjectList &Projects,
                   TLineOutput &Output, std::string &Reason) {
    TTemplateHandlers handlers(Limit, Subst);
    if (WalkReport(Output, Projects, Document, Folder, handlers, Subst))
        return true;
    if (handlers.Failed())
        Reason = handlers.Reason();
    return false;
}

std::vector<TPlaceholderName> TemplatePlaceholders(TTemplateKind Kind) {
    std::vector<TPlaceholderName> names;
    for (const TPlaceholder &p : Placeholders)
        if (p.Files & In(Kind))
            names.push_back({p.Name, p.Text});
    return names;
}
