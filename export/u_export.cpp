#include "export/u_export.h"

#include "base/collate.h"
#include "export/placeholders.h"
#include "model/ckfileio.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <optional>
#include <unordered_map>

namespace {

#ifdef _WIN32
constexpr char PathDelimiter = '\\';
bool IsDelimiter(char C) {
    return C == '\\' || C == '/' || C == ':';
}
#else
constexpr char PathDelimiter = '/';
bool IsDelimiter(char C) {
    return C == '/';
}
#endif

// Blanks and control characters around a text, as the profile's values are trimmed.
std::string Trim(const std::string &S) {
    size_t from = 0, to = S.size();
    while (from < to && static_cast<unsigned char>(S[from]) <= ' ')
        ++from;
    while (to > from && static_cast<unsigned char>(S[to - 1]) <= ' ')
        --to;
    return S.substr(from, to - from);
}

size_t NameStart(const std::string &Path) {
    size_t i = Path.size();
    while (i > 0 && !IsDelimiter(Path[i - 1]))
        --i;
    return i;
}

std::string ExtractFileName(const std::string &Path) {
    return Path.substr(NameStart(Path));
}

// From the last '.' of the file name part, or empty.
std::string ExtractFileExt(const std::string &Path) {
    const size_t dot = Path.rfind('.');
    return dot == std::string::npos || dot < NameStart(Path) ? std::string() : Path.substr(dot);
}

std::string ChangeFileExt(const std::string &Path, const std::string &Ext) {
    const size_t dot = Path.rfind('.');
    if (dot == std::string::npos || dot < NameStart(Path))
        return Path + Ext;
    return Path.substr(0, dot) + Ext;
}

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

// Start times as whole milliseconds: entries less than a millisecond apart sort as equal, and
// the order stays a strict weak ordering whatever the document holds.
int64_t SortKey(TDateTime T) {
    const double ms = T * SecsPerDay * 1000.0;
    if (!std::isfinite(ms) || std::fabs(ms) > 9.0e18)
        return ms < 0 ? INT64_MIN : (std::isnan(ms) ? 0 : INT64_MAX);
    return std::llround(ms);
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

// The templates of the export, and the placeholders each replaces, in their order. Each ends
// with those of the final pass over the whole output: every output line comes from one template
// line and that pass works line by line, so they are filled in as the line is made.
enum TTemplateKind { tkHeader, tkFooter, tkProjectHeader, tkProjectFooter, tkItem, tkSeparator };
constexpr size_t TemplateKinds = 6;
constexpr const char *TemplateNames[TemplateKinds] = {
    "header.txt", "footer.txt", "prjheader.txt", "prjfooter.txt", "item.txt", "separator.txt"};
constexpr size_t FinalFinds = 3;

// The placeholders whose values are free text, which the escaping variants exist for.
bool IsTextPlaceholder(const std::string &Find) {
    for (const char *text :
         {"$comment$", "$starttime$", "$endtime$", "$filename$", "$fullfilename$", "$separator$"})
        if (Find == text)
            return true;
    return false;
}

// A template's placeholders in the order they are replaced. The escaping variants come first:
// no stored template holds them, so the plain ones meet the text they always met.
struct TFinds {
    std::vector<std::string> Names;
    std::vector<size_t> Value; // the plain placeholder (an index into Plain) giving the value
    std::vector<TEscape> Escapes;
    size_t Plain = 0; // how many plain placeholders; the final ones are the last
};

TFinds MakeFinds(const std::vector<std::string> &Plain) {
    TFinds finds;
    finds.Plain = Plain.size();
    for (size_t p = 0; p < Plain.size(); ++p)
        if (IsTextPlaceholder(Plain[p]))
            for (const TEscapeSuffix &suffix : EscapeSuffixes) {
                finds.Names.push_back(Plain[p].substr(0, Plain[p].size() - 1) + suffix.Suffix +
                                      "$");
                finds.Value.push_back(p);
                finds.Escapes.push_back(suffix.Escape);
            }
    for (size_t p = 0; p < Plain.size(); ++p) {
        finds.Names.push_back(Plain[p]);
        finds.Value.push_back(p);
        finds.Escapes.push_back(TEscape::None);
    }
    return finds;
}

const TFinds &FindsOf(TTemplateKind Kind) {
    static const TFinds finds[TemplateKinds] = {
        MakeFinds(
            {"$hours$", "$minutes$", "$seconds$", "$filename$", "$fullfilename$", "$separator$"}),
        MakeFinds(
            {"$hours$", "$minutes$", "$seconds$", "$filename$", "$fullfilename$", "$separator$"}),
        MakeFinds({"$comment$", "$hours$", "$minutes$", "$seconds$", "$filename$", "$fullfilename$",
                   "$separator$"}),
        MakeFinds({"$comment$", "$hours$", "$minutes$", "$seconds$", "$filename$", "$fullfilename$",
                   "$separator$"}),
        // The ISO stamps come first: their values hold no '$', so the order of the others
        // stays as templates expect it.
        MakeFinds({"$startiso$", "$endiso$", "$starttime$", "$endtime$", "$hours$", "$minutes$",
                   "$seconds$", "$comment$", "$filename$", "$fullfilename$", "$separator$"}),
        MakeFinds({"$filename$", "$fullfilename$", "$separator$"}),
    };
    return finds[Kind];
}
// The item's 11 plain placeholders, 6 of them text with 4 variants each.
constexpr size_t MostFinds = 11 + 6 * std::size(EscapeSuffixes);

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
        Fill(Lines(Output), Template(Folder, tkSeparator),
             [](size_t, std::string &) { return std::string_view(); });
    }
    void Item(TReportOutput &Output, const std::string &Folder, const TCKTimeItem &Entry,
              const TChronarkMan &) override {
        const TTemplate &t = Template(Folder, tkItem);
        if (t.Lines.empty())
            return;
        int32_t h, m, s;
        DurationHMS(Entry.EndTime, Entry.StartTime, h, m, s);
        Fill(Lines(Output), t, [&](size_t Find, std::string &Keep) -> std::string_view {
            switch (Find) {
            case 0:
                return Keep = IsoStamp(Entry.StartTime);
            case 1:
                return Keep = IsoStamp(Entry.EndTime);
            case 2:
                return Keep = DateTimeText(Entry.StartTime);
            case 3:
                return Keep = DateTimeText(Entry.EndTime);
            case 4:
                return Keep = Num(h);
            case 5:
                return Keep = Num(m);
            case 6:
                return Keep = Num(s);
            default:
                return Entry.Comment;
            }
        });
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

    // Appends the template's lines with its placeholders replaced: the own ones with the values
    // of Value(index of the plain placeholder, storage), then the final ones; lines holding an
    // iCalendar variant folded.
    template <typename ValueFn> void Fill(TLineOutput &Out, const TTemplate &T, ValueFn Value) {
        if (Failed() || T.Lines.empty())
            return;
        if (!T.AnyFolds) {
            FillLines(Out, T, Value);
            return;
        }
        TLineOutput made; // counts from the output's size, so the limit holds as it does there
        made.Bytes = Out.Bytes;
        FillLines(made, T, Value);
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
    template <typename ValueFn>
    void FillLines(TLineOutput &Out, const TTemplate &T, ValueFn Value) {
        const TFinds &finds = *T.Finds;
        const size_t own = finds.Plain - FinalFinds;
        const auto valueOf = [&](size_t Find, std::string &Keep) -> std::string_view {
            const size_t plain = finds.Value[Find];
            if (finds.Escapes[Find] == TEscape::None)
                return plain < own ? Value(plain, Keep) : std::string_view(FFinal[plain - own]);
            std::string raw;
            const std::string_view text =
                plain < own ? Value(plain, raw) : std::string_view(FFinal[plain - own]);
            return Keep = EscapeValue(text, finds.Escapes[Find]);
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
        Fill(Lines(Output), t, [&](size_t Find, std::string &Keep) -> std::string_view {
            return Keep = Num((*FSelected)[Find]);
        });
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
        Fill(Lines(Output), t, [&](size_t Find, std::string &Keep) -> std::string_view {
            switch (Find) {
            case 0:
                return Project.Caption;
            case 1:
                return Keep = Num(secs / 3600);
            case 2:
                return Keep = Num(secs / 60 % 60);
            default:
                return Keep = Num(secs % 60);
            }
        });
    }

    const uint64_t FLimit;
    const std::array<std::string, FinalFinds> FFinal; // $filename$, $fullfilename$, $separator$
    std::string FReason;
    std::unordered_map<std::string, TTemplate> FTemplates;
    std::string FFolder;
    std::optional<TFolderNames> FNames; // FFolder's
    std::array<TTemplate *, TemplateKinds> FByKind{};
    std::optional<TNetTimes> FNetTimes;
    std::optional<std::array<int32_t, 3>> FSelected;
};

// The project tree as the export dialog shows it, to read its order.
class TOrderTree final : public TCKTreeView {
public:
    explicit TOrderTree(TCKProjectItem *Root) { Nodes.push_back({Root, {}, {}}); }

    void ClearRootChildren() override {
        Nodes.resize(1);
        Nodes[0].Children.clear();
    }
    Node AddNode(Node Parent, const std::string &Caption, TCKProjectItem *Data, int, int) override {
        Nodes.push_back({Data, Caption, {}});
        const Node id = static_cast<Node>(Nodes.size() - 1);
        Nodes[static_cast<size_t>(Parent)].Children.push_back(id);
        return id;
    }
    void ExpandRootOneLevel() override {}

    TCKProjectList PreOrder() const {
        TCKProjectList order;
        std::vector<Node> stack{RootNode};
        while (!stack.empty()) {
            const TNode &node = Nodes[static_cast<size_t>(stack.back())];
            stack.pop_back();
            order.push_back(node.Project);
            stack.insert(stack.end(), node.Children.rbegin(), node.Children.rend());
        }
        return order;
    }

private:
    struct TNode {
        TCKProjectItem *Project;
        std::string Caption;
        std::vector<Node> Children;
    };
    std::vector<TNode> Nodes;
};

} // namespace

// --- Profiles ------------------------------------------------------------------------------

void ParseFilter(const std::string &Filter, std::string &DefaultExt, std::string &Mask) {
    DefaultExt.clear();
    Mask.clear();
    size_t pos = 0;
    bool first = true, masking = true;
    do {
        size_t end = Filter.find(';', pos);
        if (end == std::string::npos)
            end = Filter.size();
        const std::string piece = LowerCase(Trim(Filter.substr(pos, end - pos)));
        pos = end + 1;
        if (first)
            DefaultExt = piece;
        first = false;
        if (piece.empty())
            masking = false;
        if (masking)
            Mask += (Mask.empty() ? "*." : ";*.") + piece;
    } while (masking && pos < Filter.size());
}

void ParseSepChars(const std::string &SepChars, TStringArray &Items, TCharArray &Chars) {
    Items.clear();
    Chars.clear();
    TStringArray entries;
    SplitToArray(SepChars, '|', entries);
    if (!entries.empty() && entries.back().empty())
        entries.pop_back();
    for (const std::string &entry : entries) {
        const size_t comma = entry.find(',');
        const std::string label = comma == std::string::npos ? entry : entry.substr(0, comma);
        const std::string choice =
            Trim(comma == std::string::npos ? entry : entry.substr(comma + 1));
        if (choice.empty())
            continue;
        char c = choice[0];
        if (choice[0] == '#' && choice.size() > 1) {
            int32_t code;
            if (!TryStrToInt32(choice.substr(1), code))
                continue;
            c = static_cast<char>(static_cast<uint8_t>(code & 0xFF));
        }
        Items.push_back(static_cast<unsigned char>(c) >= 33 ? label + " (" + c + ")" : label);
        Chars.push_back(c);
    }
    Items.push_back(CustomSeparatorText);
}

void TLineOutput::Append(const TStringList &More) {
    for (const std::string &line : More) {
        Bytes += line.size() + 2;
        Lines.push_back(line);
    }
}

bool TExportMan::LoadProfiles(const std::string &ExportDir) {
    std::string text, reason;
    bool missing = false;
    if (!ReadWholeFile(ExportDir + "export.ini", text, missing, reason))
        text.clear();
    LoadProfiles(TIniFile(text));
    return !FProfiles.empty();
}

void TExportMan::LoadProfiles(const TIniFile &Ini) {
    FProfiles.clear();
    FDefaultExt.clear();
    for (const std::string &section : Ini.Sections())
        LoadProfile(Ini, section);
}

void TExportMan::LoadProfile(const TIniFile &Ini, const std::string &Section) {
    const std::string filter = Trim(Ini.ReadString(Section, "Filter", ""));
    if (filter.empty())
        return;
    tPItem p;
    ParseFilter(filter, p.DefaultExt, p.Mask);
    if (FProfiles.empty())
        FDefaultExt = p.DefaultExt;
    p.Path = Trim(Ini.ReadString(Section, "Path", Section));
    p.Description = Trim(Ini.ReadString(Section, "Description", Section));
    p.Type = Trim(Ini.ReadString(Section, "Type", Section));
    p.StdProf = Trim(Ini.ReadString(Section, "StdProf", ""));
    p.Profiles = Ini.ReadInteger(Section, "Profiles", 0) != 0;
    p.Separator = Ini.ReadInteger(Section, "Separator", 0) != 0;
    p.SepChars = Ini.ReadString(Section, "SepChars", "");
    p.Section = Section;
    FProfiles.push_back(std::move(p));
}

int TExportMan::FindProfile(const std::string &Section) const {
    for (size_t i = 0; i < FProfiles.size(); ++i)
        if (SameText(FProfiles[i].Section, Section))
            return static_cast<int>(i);
    return -1;
}

std::string TExportMan::ProposedFileName(const std::string &DocFileName, int Profile) const {
    const std::string ext = Profile >= 0 && static_cast<size_t>(Profile) < FProfiles.size()
                                ? FProfiles[static_cast<size_t>(Profile)].DefaultExt
                                : std::string();
    return ChangeFileExt(ExtractFileName(DocFileName), "." + ext);
}

std::string TExportMan::FileTypeChanged(const std::string &Typed, int Profile) const {
    if (Typed.empty() || Profile < 0 || static_cast<size_t>(Profile) >= FProfiles.size())
        return Typed;
    const std::string newExt = "." + FProfiles[static_cast<size_t>(Profile)].DefaultExt;
    const std::string ext = LowerCase(ExtractFileExt(Typed));
    for (const tPItem &p : FProfiles)
        if (ext == "." + p.DefaultExt)
            return ChangeFileExt(Typed, newExt);
    return Typed + newExt;
}

int TExportMan::DefaultSubProfile(const tPItem &Profile, const TStringArray &Names) {
    if (Names.empty())
        return -1;
    const std::string wanted = TextToFileName(Profile.StdProf);
    for (size_t i = 0; i < Names.size(); ++i)
        if (SameText(Names[i], wanted))
            return static_cast<int>(i);
    return 0;
}

void SortSubProfiles(TStringArray &Names) {
    std::stable_sort(Names.begin(), Names.end(), [](const std::string &A, const std::string &B) {
        const std::string a = LowerCase(A), b = LowerCase(B);
        return a != b ? a < b : A < B;
    });
}

char TExportMan::DefaultSeparator(const tPItem &Profile) {
    if (!Profile.Separator)
        return '\0';
    TStringArray items;
    TCharArray chars;
    ParseSepChars(Profile.SepChars, items, chars);
    return chars.empty() ? '\0' : chars.front();
}

std::string TExportMan::TemplateFolder(const std::string &ExportDir, const tPItem &Profile,
                                       bool HasSubProfile, const std::string &SubProfile) {
    std::string folder = ExportDir + TextToFileName(Profile.Path) + PathDelimiter;
    if (HasSubProfile)
        folder += SubProfile + PathDelimiter;
    return folder;
}

// --- The walk ------------------------------------------------------------------------------

bool WalkReport(TReportOutput &Output, const TCKProjectList &Projects, const TChronarkMan &Document,
                const std::string &Folder, TReportCallbacks &Handlers, const tSubstRec &Subst) {
    if (Projects.empty())
        return false;
    Handlers.Header(Output, Folder, Projects, Document);
    for (const TCKProjectItem *project : Projects) {
        if (Handlers.Failed())
            return false;
        if (!project)
            continue;
        TCKTimeItemList entries = project->TimeItems();
        if (entries.empty())
            continue;
        Handlers.ProjectHeader(Output, Folder, *project, Document);
        if (entries.size() >= 2) {
            std::vector<std::pair<int64_t, TCKTimeItem *>> keyed;
            keyed.reserve(entries.size());
            for (TCKTimeItem *e : entries)
                keyed.emplace_back(SortKey(e->StartTime), e);
            std::stable_sort(keyed.begin(), keyed.end(),
                             [](const auto &A, const auto &B) { return A.first < B.first; });
            for (size_t i = 0; i < keyed.size(); ++i)
                entries[i] = keyed[i].second;
        }
        for (size_t i = 0; i < entries.size() && !Handlers.Failed(); ++i) {
            if (i > 0)
                Handlers.Separator(Output, Folder);
            Handlers.Item(Output, Folder, *entries[i], Document);
        }
        Handlers.ProjectFooter(Output, Folder, *project, Document);
    }
    if (Handlers.Failed())
        return false;
    Handlers.Footer(Output, Folder, Projects, Document);
    if (!Handlers.Failed())
        Handlers.Finish(Output, Subst);
    return !Handlers.Failed();
}

// --- Writing -------------------------------------------------------------------------------

TExportResult TExportMan::ExportToLines(const std::string &FileName, const std::string &Folder,
                                        char Separator, const TChronarkMan &Document,
                                        const TCKProjectList &Projects, TLineOutput &Output,
                                        std::string &Reason) const {
    if (Projects.empty())
        return TExportResult::NothingChosen;
    TTemplateHandlers handlers(OutputLimit, {FileName, Separator});
    if (WalkReport(Output, Projects, Document, Folder, handlers, {FileName, Separator}))
        return TExportResult::Written;
    Reason = handlers.Reason();
    return TExportResult::Failed;
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

std::string MissingTemplateFolderText(const std::string &FolderName) {
    return "Vorlagenordner \"" + FolderName + "\" nicht gefunden.";
}

bool TemplateFolderMissing(const std::string &Folder) {
    std::error_code error;
    return std::filesystem::status(Folder, error).type() == std::filesystem::file_type::not_found;
}

std::string FolderName(const std::string &Folder) {
    return Folder.size() > 1 && IsDelimiter(Folder.back()) ? Folder.substr(0, Folder.size() - 1)
                                                           : Folder;
}

TCKProjectList ProjectsInTreeOrder(const TChronarkMan &Document) {
    TOrderTree tree(Document.Root.get());
    Document.FillProjectTree(tree);
    return tree.PreOrder();
}

// --- The command ---------------------------------------------------------------------------

void TExportMan::Execute(TExportUi &Ui, const TChronarkMan &Document, const std::string &ExportDir,
                         const std::string &DocFileName) {
    if (!LoadProfiles(ExportDir)) {
        Ui.ShowMessage(NoProfilesText);
        return;
    }
    TExportSaveRequest save;
    for (const tPItem &p : FProfiles) {
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
    save.DefaultExt = FDefaultExt;
    if (!Ui.AskOutputFile(*this, save))
        return;
    if (save.FileType < 0 || static_cast<size_t>(save.FileType) >= FProfiles.size())
        save.FileType = 0;
    const tPItem &profile = FProfiles[static_cast<size_t>(save.FileType)];

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
