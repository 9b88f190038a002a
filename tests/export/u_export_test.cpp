// The template export: profiles, the project walk and the exact output bytes.
#include "base/cp1252.h"
#include "base/dates.h"
#include "base/formatsettings.h"
#include "export/u_export.h"

#include "export/placeholders.h"
#include "export/u_print.h"
#include "tests/export/recordingcanvas.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path &Path) {
    std::ifstream in(Path, std::ios::binary);
    std::ostringstream data;
    data << in.rdbuf();
    return data.str();
}

void WriteFile(const fs::path &Path, const std::string &Data) {
    fs::create_directories(Path.parent_path());
    std::ofstream(Path, std::ios::binary) << Data;
}

TDateTime At(int Day, int H, int M, int S) {
    return EncodeDateTime(2002, 8, Day, H, M, S);
}

class Export : public ::testing::Test {
protected:
    void SetUp() override {
        SetFormatSettings(GermanFormatSettings());
        Dir = fs::temp_directory_path() /
              ("chronark_export_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(Dir);
        fs::create_directories(Dir);
        Folder = (Dir / "T").string() + "/";
    }
    void TearDown() override { fs::remove_all(Dir); }

    void Templates(const std::map<std::string, std::string> &Files) {
        for (const auto &[name, text] : Files)
            WriteFile(fs::path(Folder) / name, text);
    }

    // The output as one text, lines joined by '\n'.
    std::string Run(const TCKProjectList &Projects, char Separator = ';',
                    const std::string &FileName = "/out/Bericht.csv") {
        TLineOutput out;
        std::string reason;
        EXPECT_EQ(Man.ExportToLines(FileName, Folder, Separator, Doc, Projects, out, reason),
                  TExportResult::Written)
            << reason;
        std::string text;
        for (const std::string &line : out.Lines)
            text += line + "\n";
        return text;
    }

    // The worked example's project.
    TCKProjectItem *KundeA() {
        TCKProjectItem *p = Doc.Root->AddProject("Kunde A");
        p->AddTime({At(7, 11, 0, 0), At(7, 11, 5, 30), "Telefonat", {}});
        p->AddTime({At(7, 9, 0, 0), At(7, 10, 30, 0), "Besprechung", {}});
        return p;
    }

    fs::path Dir;
    std::string Folder;
    TChronarkMan Doc;
    TExportMan Man;
};

const std::map<std::string, std::string> CsvTemplates = {
    {"header.txt", "Start$separator$Ende$separator$Dauer$separator$Bemerkung\r\n"},
    {"prjheader.txt", "Projekt$separator$$Comment$\n"},
    {"item.txt", "$StartTime$$separator$$EndTime$$separator$$Hours$:$Minutes$:$Seconds$"
                 "$separator$$Comment$"},
    {"prjfooter.txt", "Summe$separator$$Hours$:$Minutes$:$Seconds$\r"},
    {"footer.txt", "Gesamt$separator$$Hours$:$Minutes$:$Seconds$\n"},
};

} // namespace

TEST_F(Export, WorkedExampleByteForByte) {
    WriteFile(Dir / "export.ini", "[CSV]\nFilter=csv\nDescription=CSV-Datei\nSeparator=1\n"
                                  "SepChars=Semikolon,;|Komma,,|Tabulator,#9\n");
    ASSERT_TRUE(Man.LoadProfiles(Dir.string() + "/"));
    const tPItem &p = Man.Profiles().at(0);
    EXPECT_EQ(p.Mask, "*.csv");
    EXPECT_EQ(p.Type + " Export", "CSV Export");
    EXPECT_EQ(TExportMan::DefaultSeparator(p), ';');
    Folder = TExportMan::TemplateFolder(Dir.string() + "/", p, false, "");
    Templates(CsvTemplates);
    TCKProjectItem *kunde = KundeA();
    const std::string file = (Dir / "out.csv").string();
    std::string reason;
    ASSERT_EQ(Man.ExportToFile(file, Folder, ';', Doc, {kunde}, reason), TExportResult::Written);
    EXPECT_EQ(ReadFile(file), "Start;Ende;Dauer;Bemerkung\r\n"
                              "Projekt;Kunde A\r\n"
                              "07.08.2002 09:00:00;07.08.2002 10:30:00;1:30:0;Besprechung\r\n"
                              "07.08.2002 11:00:00;07.08.2002 11:05:30;0:5:30;Telefonat\r\n"
                              "Summe;1:35:30\r\n"
                              "Gesamt;1:35:30\r\n");
    // The document order stays.
    EXPECT_EQ(kunde->TimeItems().front()->Comment, "Telefonat");
}

TEST_F(Export, PlaceholdersAreReplacedInTheirOrder) {
    Templates({{"prjheader.txt", "P:$Comment$"},
               {"item.txt", "I:$COMMENT$|$hOuRs$|$fileNAME$|$FullFileName$"},
               {"footer.txt", "$Hours$ $Minutes$ $Seconds$ $separator$"}});
    TCKProjectItem *p = Doc.Root->AddProject("Cap $Hours$ $filename$");
    p->AddTime({At(1, 8, 0, 0), At(1, 10, 0, 0), "C $Hours$ $Filename$", {}});
    EXPECT_EQ(Run({p}, '\0', "/out/Bericht.csv"),
              "P:Cap 2 Bericht.csv\n"
              "I:C $Hours$ Bericht.csv|2|Bericht.csv|/out/Bericht.csv\n" +
                  std::string("2 0 0 ") + '\0' + "\n");
}

TEST_F(Export, AReplacementThatFeedsItselfEnds) {
    Templates({{"item.txt", "$Comment$ $comment$ $COMMENT$"}, {"prjheader.txt", "$Comment$"}});
    TCKProjectItem *p = Doc.Root->AddProject("$comment$$Comment$");
    p->AddTime({At(1, 8, 0, 0), At(1, 9, 0, 0), "x$Comment$y", {}});
    const std::string out = Run({p});
    EXPECT_NE(out.find("x$Comment$y x$Comment$y x$Comment$y"), std::string::npos) << out;
}

// The final placeholders act on each line as the handlers left it, whichever template it came
// from and whatever the values put into it.
TEST_F(Export, FinalPlaceholdersActOnTheFilledLines) {
    struct TRow {
        const char *Name, *Item, *Comment, *FileName, *Result;
    } rows[] = {
        {"plain", "$Comment$$separator$$FILENAME$", "c", "/o/B.csv", "c;B.csv\n-;-\n"},
        {"file name holding the separator", "$filename$|$fullfilename$", "c", "/o/$Separator$.csv",
         ";.csv|/o/;.csv\n-;-\n"},
        {"empty comment joining a file name", "$file$Comment$name$", "", "/o/B.csv",
         "B.csv\n-;-\n"},
        {"comment completing the separator", "$$Comment$$", "separator", "/o/B.csv", ";\n-;-\n"},
        {"comment holding the full name", "$Comment$", "<$FullFileName$>", "/o/B.csv",
         "</o/B.csv>\n-;-\n"},
    };
    for (const TRow &r : rows) {
        SCOPED_TRACE(r.Name);
        Templates({{"item.txt", r.Item}, {"separator.txt", "-$separator$-"}});
        TCKProjectItem *p = Doc.Root->AddProject(r.Name);
        p->AddTime({At(1, 8, 0, 0), At(1, 9, 0, 0), r.Comment, {}});
        p->AddTime({At(2, 8, 0, 0), At(2, 9, 0, 0), "", {}});
        const std::string out = Run({p}, ';', r.FileName);
        EXPECT_EQ(out.substr(0, out.find("\n-;-\n") + 5), r.Result);
    }
}

TEST_F(Export, WalkOrderSeparatorsAndSkippedProjects) {
    Templates({{"prjheader.txt", "[$Comment$"},
               {"item.txt", "$Comment$"},
               {"separator.txt", "-"},
               {"prjfooter.txt", "]"}});
    TCKProjectItem *outer = Doc.Root->AddProject("Outer"); // only a sub-project
    TCKProjectItem *one = outer->AddProject("One");
    one->AddTime({At(2, 8, 0, 0), At(2, 9, 0, 0), "only", {}});
    TCKProjectItem *three = Doc.Root->AddProject("Three");
    three->AddTime({At(3, 8, 0, 0), At(3, 9, 0, 0), "b", {}});
    three->AddTime({At(1, 8, 0, 0), At(1, 9, 0, 0), "a", {}});
    three->AddTime({At(5, 8, 0, 0), At(5, 9, 0, 0), "c", {}});
    EXPECT_EQ(Run({outer, one, three}), "[One\nonly\n]\n[Three\na\n-\nb\n-\nc\n]\n");
    // The root with no own entries, and no project at all.
    EXPECT_EQ(Run({Doc.Root.get()}), "");
    TLineOutput out;
    std::string reason;
    EXPECT_EQ(Man.ExportToLines("x", Folder, ';', Doc, {}, out, reason),
              TExportResult::NothingChosen);
}

TEST_F(Export, DurationsRoundAndNetTimesCountOverlapsOnce) {
    Templates({{"item.txt", "$Hours$:$Minutes$:$Seconds$"},
               {"prjfooter.txt", "P $Hours$:$Minutes$:$Seconds$"},
               {"footer.txt", "G $Hours$:$Minutes$:$Seconds$"}});
    TCKProjectItem *a = Doc.Root->AddProject("A");
    const TDateTime start = At(1, 8, 0, 0);
    // The model keeps whole seconds; a file of another program may not.
    a->AddTime({start, start + 59 / SecsPerDay, "", {}})->EndTime = start + 59.5 / SecsPerDay;
    a->AddTime({At(1, 8, 0, 0), At(1, 10, 0, 0), "", {}});
    TCKProjectItem *b = Doc.Root->AddProject("B");
    b->AddTime({At(1, 9, 0, 0), At(1, 11, 0, 0), "", {}});
    EXPECT_EQ(Run({a, b}), "0:1:0\n2:0:0\nP 2:0:0\n2:0:0\nP 2:0:0\nG 3:0:0\n");
}

TEST_F(Export, FilterParsing) {
    struct TRow {
        const char *Filter, *DefaultExt, *Mask;
    } rows[] = {
        {"csv", "csv", "*.csv"}, {"csv; TXT", "csv", "*.csv;*.txt"}, {"csv;;txt", "csv", "*.csv"},
        {";csv", "", ""},        {" CSV ;", "csv", "*.csv"},
    };
    for (const TRow &r : rows) {
        SCOPED_TRACE(r.Filter);
        std::string ext, mask;
        ParseFilter(r.Filter, ext, mask);
        EXPECT_EQ(ext, r.DefaultExt);
        EXPECT_EQ(mask, r.Mask);
    }
}

TEST_F(Export, SepCharsParsing) {
    struct TRow {
        const char *Name, *SepChars;
        TStringArray Items;
        std::string Chars;
    } rows[] = {
        {"the example",
         "Semikolon,;|Komma,,|Tabulator,#9",
         {"Semikolon (;)", "Komma (,)", "Tabulator", "Benutzerdefiniert"},
         ";,\t"},
        {"empty", "", {"Benutzerdefiniert"}, ""},
        {"codes",
         "A,#$41|B,#0x42|Hoch,#321|Raute,#|Leer,#32",
         {"A (A)", "B (B)", "Hoch (A)", "Raute (#)", "Leer", "Benutzerdefiniert"},
         "ABA# "},
        {"dropped entries",
         "Bad,#x|Blank, |Mitte||Pipe,xyz|",
         {"Mitte (M)", "Pipe (x)", "Benutzerdefiniert"},
         "Mx"},
        {"label unchanged", " Sp a ,  ;", {" Sp a  (;)", "Benutzerdefiniert"}, ";"},
    };
    for (const TRow &r : rows) {
        SCOPED_TRACE(r.Name);
        TStringArray items;
        TCharArray chars;
        ParseSepChars(r.SepChars, items, chars);
        EXPECT_EQ(items, r.Items);
        EXPECT_EQ(std::string(chars.begin(), chars.end()), r.Chars);
    }
}

TEST_F(Export, ProfilesFromTheIniFile) {
    Man.LoadProfiles(TIniFile("[Leer]\nFilter= \n"
                              "[Wort]\nFilter=TXT\nProfiles=true\nSeparator=1\nStdProf= B \n"
                              "[Semi]\nFilter=;csv\nPath= Ordner \nType=Typ\n"));
    ASSERT_EQ(Man.Profiles().size(), 2u);
    const tPItem &wort = Man.Profiles()[0];
    EXPECT_FALSE(wort.Profiles);
    EXPECT_TRUE(wort.Separator);
    EXPECT_EQ(wort.Path, "Wort");
    EXPECT_EQ(wort.Description, "Wort");
    EXPECT_EQ(wort.StdProf, "B");
    EXPECT_EQ(Man.DefaultExt(), "txt");
    const tPItem &semi = Man.Profiles()[1];
    EXPECT_EQ(semi.DefaultExt, "");
    EXPECT_EQ(semi.Mask, "");
    EXPECT_EQ(semi.Path, "Ordner");
    EXPECT_EQ(semi.Type, "Typ");
    EXPECT_EQ(Man.FindProfile("SEMI"), 1);
    EXPECT_EQ(Man.FindProfile("Leer"), -1);
    EXPECT_FALSE(TExportMan().LoadProfiles((Dir / "none").string() + "/"));
}

TEST_F(Export, SaveDialogNamesAndDefaults) {
    Man.LoadProfiles(TIniFile("[CSV]\nFilter=csv\n[HTML]\nFilter=html;htm\n"));
    struct TRow {
        const char *Typed;
        int Profile;
        const char *Result;
    } rows[] = {
        {"bericht.CSV", 1, "bericht.html"},    {"bericht.txt", 1, "bericht.txt.html"},
        {"bericht", 0, "bericht.csv"},         {"", 0, ""},
        {"a.b/bericht", 0, "a.b/bericht.csv"},
    };
    for (const TRow &r : rows) {
        SCOPED_TRACE(r.Typed);
        EXPECT_EQ(Man.FileTypeChanged(r.Typed, r.Profile), r.Result);
    }
    EXPECT_EQ(Man.ProposedFileName("/home/a/Zeiten.ckx", 1), "Zeiten.html");
    EXPECT_EQ(Man.ProposedFileName("", 0), ".csv");
    tPItem p;
    p.StdProf = "zwei";
    EXPECT_EQ(TExportMan::DefaultSubProfile(p, {"Eins", "Zwei"}), 1);
    p.StdProf = "drei";
    EXPECT_EQ(TExportMan::DefaultSubProfile(p, {"Eins", "Zwei"}), 0);
    EXPECT_EQ(TExportMan::DefaultSubProfile(p, {}), -1);
    TStringArray names{"beta", "Alpha", "Gamma"};
    SortSubProfiles(names);
    EXPECT_EQ(names, (TStringArray{"Alpha", "beta", "Gamma"}));
}

TEST_F(Export, TreeOrderIsTheDialogsOrder) {
    TCKProjectItem *b = Doc.Root->AddProject("b");
    b->AddProject("Z");
    b->AddProject("A");
    Doc.Root->AddProject("C");
    Doc.Root->AddProject("a");
    std::string order;
    for (const TCKProjectItem *p : ProjectsInTreeOrder(Doc))
        order += "[" + p->GetPath() + "]";
    // As the tree sorts: without regard to case first, upper case first among equals.
    EXPECT_EQ(order, "[][a][b][b\\A][b\\Z][C]");
    TChronarkMan mixed;
    for (const char *caption : {"\xD6l", "zebra", "Zebra", "\xB5m", "\x8CS", "Birne"})
        mixed.Root->AddProject(caption);
    order.clear();
    for (const TCKProjectItem *p : ProjectsInTreeOrder(mixed))
        order += "[" + p->GetPath() + "]";
    // German order: an umlaut beside its base letter, not after every letter.
    EXPECT_EQ(order, "[][Birne][\xD6l][Zebra][zebra][\x8CS][\xB5m]");
}

TEST_F(Export, HostileTemplatesStayBounded) {
    std::string line;
    for (int i = 0; i < 100000; ++i)
        line += "$Comment$";
    Templates({{"item.txt", line}});
    TCKProjectItem *p = Doc.Root->AddProject("P");
    p->AddTime({At(1, 8, 0, 0), At(1, 9, 0, 0), std::string(100, 'x'), {}});
    EXPECT_EQ(Run({p}).size(), 100u * 100000u + 1u);

    Man.OutputLimit = 1 << 20;
    TLineOutput out;
    std::string reason;
    EXPECT_EQ(Man.ExportToLines("f", Folder, ';', Doc, {p}, out, reason), TExportResult::Failed);
    EXPECT_NE(reason.find("Ausgabe"), std::string::npos);
    // Nothing is written, and an existing file stays.
    const fs::path file = Dir / "keep.txt";
    WriteFile(file, "old");
    EXPECT_EQ(Man.ExportToFile(file.string(), Folder, ';', Doc, {p}, reason),
              TExportResult::Failed);
    EXPECT_EQ(ReadFile(file), "old");
}

TEST_F(Export, AnOutputThatCannotBeCreatedIsAFailure) {
    Templates({{"header.txt", "x"}});
    std::string reason;
    EXPECT_EQ(Man.ExportToFile((Dir / "no" / "such" / "f.csv").string(), Folder, ';', Doc,
                               {Doc.Root.get()}, reason),
              TExportResult::Failed);
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(CannotCreateText("f.csv", "Grund."), "Datei \"f.csv\" kann nicht erstellt werden. "
                                                   "Grund.");
}

// The ready-made profiles over the sample document.
TEST_F(Export, ReadyMadeProfilesMatchTheirGoldenFiles) {
    TChronarkMan sample;
    ASSERT_TRUE(
        sample.LoadFromFile(std::string(CHRONARK_SOURCE_DIR) + "/examples/Beispiel.ckx", false));
    const std::string exportDir = std::string(CHRONARK_SOURCE_DIR) + "/profiles/";
    ASSERT_TRUE(Man.LoadProfiles(exportDir));
    for (const char *section : {"CSV", "HTML", "iCalendar", "Text", "JSON"}) {
        SCOPED_TRACE(section);
        const int index = Man.FindProfile(section);
        ASSERT_GE(index, 0);
        const tPItem &p = Man.Profiles()[static_cast<size_t>(index)];
        const std::string file = (Dir / "Beispiel.out").string();
        std::string reason;
        ASSERT_EQ(Man.ExportToFile(file, TExportMan::TemplateFolder(exportDir, p, false, ""),
                                   TExportMan::DefaultSeparator(p), sample,
                                   ProjectsInTreeOrder(sample), reason),
                  TExportResult::Written)
            << reason;
        EXPECT_EQ(ReadFile(file), ReadFile(std::string(CHRONARK_TEST_DATA) + "/export/Beispiel." +
                                           section + ".golden"));
    }
}

TEST_F(Export, EscapingVariantsBesideThePlainPlaceholders) {
    Templates({{"prjheader.txt", "$Comment$|$COMMENT:HTML$|$comment:csv$"},
               {"item.txt", "$Comment$|$Comment:json$|$StartTime:csv$|$filename:html$|"
                            "$Separator:json$|$Comment:ics$"}});
    TCKProjectItem *p = Doc.Root->AddProject("A&B");
    p->AddTime({At(1, 8, 0, 0), At(1, 9, 0, 0), "\"$Hours$\";", {}});
    // The plain value gives what it always gave; an escaped '$' forms no placeholder, an
    // unescaped one is taken in as by the plain ones. A line with an iCalendar value folds.
    EXPECT_EQ(
        Run({p}, '"', "/o/<B>.csv"),
        "A&B|A&amp;B|\"A&B\"\n"
        "\"$Hours$\";|\\\"\\u0024Hours\\u0024\\\";|\"01.08.2002 08:00:00\"|&lt;B&gt;.csv|\\\"|\"1\n"
        " \"\\;\n");
}

TEST_F(Export, TemplateNamesAreFoundWithoutRegardToCase) {
    Templates({{"Header.TXT", "Kopf"},
               {"ITEM.txt", "$Comment$"},
               {"footer.txt", "unten"},
               {"FOOTER.TXT", "anders"}});
    // Of two names differing in case only, the lower-case one.
    EXPECT_EQ(Run({KundeA()}), "Kopf\nBesprechung\nTelefonat\nunten\n");
}

namespace {

// Every entry's comment in the order the walk exports them.
class TCommentsInWalkOrder final : public TReportCallbacks {
public:
    TStringList Comments;
    void Header(TReportOutput &, const std::string &, const TCKProjectList &,
                const TChronarkMan &) override {}
    void Footer(TReportOutput &, const std::string &, const TCKProjectList &,
                const TChronarkMan &) override {}
    void Separator(TReportOutput &, const std::string &) override {}
    void Item(TReportOutput &, const std::string &, const TCKTimeItem &Entry,
              const TChronarkMan &) override {
        Comments.push_back(Entry.Comment);
    }
    void ProjectHeader(TReportOutput &, const std::string &, const TCKProjectItem &,
                       const TChronarkMan &) override {}
    void ProjectFooter(TReportOutput &, const std::string &, const TCKProjectItem &,
                       const TChronarkMan &) override {}
    void Finish(TReportOutput &, const tSubstRec &) override {}
};

std::string BreaksAsLf(std::string S) {
    ReplaceText(S, "\r\n", "\n", true);
    ReplaceText(S, "\r", "\n", true);
    return S;
}

// A strict reader of an iCalendar file: lines end with CR LF and hold at most 75 octets, no
// bare CR or LF; after unfolding each line is NAME[;params]:value, BEGIN and END pair up, and
// SUMMARY is TEXT (unescaped into Summaries). Returns what is wrong, or empty.
std::string ReadCalendar(const std::string &Data, TStringList &Summaries) {
    TStringList lines;
    for (size_t pos = 0, end; pos < Data.size(); pos = end + 2) {
        end = Data.find("\r\n", pos);
        if (end == std::string::npos)
            return "a line without CR LF at " + std::to_string(pos);
        const std::string line = Data.substr(pos, end - pos);
        if (line.size() > ContentLineOctets || line.find_first_of("\r\n") != std::string::npos)
            return "a line too long or broken: " + line;
        if (!line.empty() && (line[0] == ' ' || line[0] == '\t') && !lines.empty())
            lines.back() += line.substr(1);
        else
            lines.push_back(line);
    }
    TStringList open;
    for (const std::string &line : lines) {
        const size_t name = line.find_first_not_of(
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-");
        const size_t colon = line.find(':', name);
        if (name == 0 || name == std::string::npos || colon == std::string::npos ||
            (line[name] != ':' && line[name] != ';'))
            return "not NAME[;params]:value: " + line;
        const std::string key = line.substr(0, name), value = line.substr(colon + 1);
        if (key == "BEGIN")
            open.push_back(value);
        else if (key == "END" && (open.empty() || open.back() != value))
            return "END without its BEGIN: " + line;
        else if (key == "END")
            open.pop_back();
        else if (key == "SUMMARY") {
            std::string text;
            for (size_t i = 0; i < value.size(); ++i) {
                if (value[i] == ';' || value[i] == ',' ||
                    static_cast<unsigned char>(value[i]) < 0x20)
                    return "SUMMARY is no TEXT: " + line;
                if (value[i] != '\\') {
                    text += value[i];
                    continue;
                }
                const char next = ++i < value.size() ? value[i] : '\0';
                if (next == 'n' || next == 'N')
                    text += '\n';
                else if (next == '\\' || next == ';' || next == ',')
                    text += next;
                else
                    return "SUMMARY is no TEXT: " + line;
            }
            Summaries.push_back(text);
        }
    }
    return open.empty() ? std::string() : "BEGIN:" + open.back() + " never ends";
}

// Reads an export as Python's own readers do and writes the entries' comments in
// Windows-1252. csv: the rows of four fields after the heading; html: a strict
// parse (tags balanced, no bare & < >) and the fourth cell of each row of four; json: the
// file as ASCII, the rows of kind "Eintrag". Each comment ends with a NUL.
const char ReaderScript[] = R"(import csv, html, html.parser, json, sys
kind, path, out = sys.argv[1], sys.argv[2], sys.argv[3]
comments = []
if kind == 'csv':
    with open(path, encoding='cp1252', newline='') as f:
        comments = [r[3] for r in csv.reader(f, delimiter=sys.argv[4])
                    if len(r) == 4 and r[0] != 'Start']
elif kind == 'json':
    with open(path, encoding='ascii') as f:
        comments = [r['bemerkung'] for r in json.load(f) if r['art'] == 'Eintrag']
else:
    class Strict(html.parser.HTMLParser):
        def __init__(self):
            super().__init__(convert_charrefs=False)
            self.open, self.row, self.cell = [], [], None
        def handle_starttag(self, tag, attrs):
            if tag == 'br' and self.cell is not None:
                self.cell.append('\n')
            if tag in ('br', 'meta'):
                return
            self.open.append(tag)
            if tag == 'tr':
                self.row = []
            if tag == 'td':
                self.cell = []
        def handle_endtag(self, tag):
            if not self.open or self.open.pop() != tag:
                sys.exit('unbalanced </%s> at %s' % (tag, self.getpos()))
            if tag == 'td':
                self.row.append(''.join(self.cell))
                self.cell = None
            if tag == 'tr' and len(self.row) == 4:
                comments.append(self.row[3])
        def handle_data(self, data):
            if any(c in data for c in '&<>'):
                sys.exit('bare & < > at %s' % (self.getpos(),))
            if self.cell is not None:
                self.cell.append(data)
        def handle_entityref(self, name):
            self.handle_charref(name, '&%s;')
        def handle_charref(self, name, form='&#%s;'):
            if self.cell is not None:
                self.cell.append(html.unescape(form % name))
    with open(path, encoding='cp1252') as f:
        parser = Strict()
        parser.feed(f.read())
        parser.close()
    if parser.open:
        sys.exit('unclosed <%s>' % parser.open[-1])
with open(out, 'wb') as f:
    f.write(''.join(c + '\0' for c in comments).encode('cp1252'))
)";

} // namespace

// The ready-made profiles over the sample and entries that break unescaped files, read back
// by readers of those formats: every entry one row, its comment as the document holds it.
TEST_F(Export, ReadyMadeProfilesAreReadByOtherPrograms) {
    TChronarkMan doc;
    ASSERT_TRUE(
        doc.LoadFromFile(std::string(CHRONARK_SOURCE_DIR) + "/examples/Beispiel.ckx", false));
    TCKProjectItem *odd = doc.Root->AddProject("<Sonderf\xE4lle> & \"Zitate\", ja; $Hours$");
    const char *comments[] = {"Komma, \"Zitat\"; Semikolon \\ Backslash",
                              "Zeile 1\r\nZeile 2\nZeile 3\rZeile 4", "<b>fett</b> & 'so' 5 $ \x80",
                              "Lang: \xE4\xF6\xFC \xE4\xF6\xFC \xE4\xF6\xFC \xE4\xF6\xFC "
                              "\xE4\xF6\xFC \xE4\xF6\xFC \xE4\xF6\xFC \xE4\xF6\xFC \xE4\xF6\xFC "
                              "und noch mehr Text, der \xFC"
                              "ber 75 Oktette reicht."};
    for (int i = 0; i < 4; ++i)
        odd->AddTime({At(i + 1, 8, 0, 0), At(i + 1, 9, 0, 0), comments[i], {}});
    const TCKProjectList projects = ProjectsInTreeOrder(doc);
    TCommentsInWalkOrder walk;
    TLineOutput none;
    ASSERT_TRUE(WalkReport(none, projects, doc, "", walk, {}));

    const std::string exportDir = std::string(CHRONARK_SOURCE_DIR) + "/profiles/";
    ASSERT_TRUE(Man.LoadProfiles(exportDir));
    const bool python = std::system("python3 -c '' >/dev/null 2>&1") == 0;
    WriteFile(Dir / "reader.py", ReaderScript);
    struct TRow {
        const char *Profile;
        char Separator;
        const char *Reader;
    } rows[] = {{"CSV", ',', "csv"},    {"CSV", ';', "csv"},    {"CSV", '\t', "csv"},
                {"HTML", '\0', "html"}, {"JSON", '\0', "json"}, {"iCalendar", '\0', "ics"}};
    for (const TRow &r : rows) {
        SCOPED_TRACE(std::string(r.Profile) + " " + r.Separator);
        const int index = Man.FindProfile(r.Profile);
        ASSERT_GE(index, 0);
        const fs::path file = Dir / "out";
        std::string reason;
        ASSERT_EQ(
            Man.ExportToFile(file.string(),
                             TExportMan::TemplateFolder(
                                 exportDir, Man.Profiles()[static_cast<size_t>(index)], false, ""),
                             r.Separator, doc, projects, reason),
            TExportResult::Written)
            << reason;
        TStringList read, expected;
        for (const std::string &comment : walk.Comments)
            expected.push_back(r.Reader == std::string("ics")    ? Cp1252ToUtf8(BreaksAsLf(comment))
                               : r.Reader == std::string("html") ? BreaksAsLf(comment)
                                                                 : comment);
        if (r.Reader == std::string("ics")) {
            EXPECT_EQ(ReadCalendar(ReadFile(file), read), "");
        } else if (python) {
            const std::string command = "python3 '" + (Dir / "reader.py").string() + "' " +
                                        r.Reader + " '" + file.string() + "' '" +
                                        (Dir / "read").string() + "'" +
                                        (r.Separator ? std::string(" '") + r.Separator + "'" : "");
            ASSERT_EQ(std::system(command.c_str()), 0) << command;
            SplitToLines(ReadFile(Dir / "read"), '\0', read);
        } else {
            continue;
        }
        EXPECT_EQ(read, expected);
    }
    if (!python)
        GTEST_SKIP() << "python3 is missing: CSV, HTML and JSON were not read back";
}

// --- Text encodings: export.ini, file names and messages ------------------------------------

namespace {

// The export command's questions answered as the dialogs' defaults would: the file type
// chosen, every project ticked, the pre-selected sub-profile and the first separator.
class TScriptedExportUi : public TExportUi {
public:
    TScriptedExportUi(std::string AOutput, int AFileType = 0)
        : Output(std::move(AOutput)), FileType(AFileType) {}

    void ShowMessage(const std::string &Text) override { Messages.push_back(Text); }
    std::string LastFileType() override { return {}; }
    bool AskOutputFile(const TExportMan &, TExportSaveRequest &Request) override {
        Save = Request;
        Request.FileName = Output;
        Request.FileType = FileType;
        return true;
    }
    void ListSubFolders(const std::string &Path, TStringList &Names) override {
        Names.clear();
        std::error_code error;
        for (const fs::directory_entry &e : fs::directory_iterator(Path, error))
            if (e.is_directory() && e.path().filename().string()[0] != '.')
                Names.push_back(e.path().filename().string());
    }
    bool AskChoices(const TExportFormRequest &Request, const TChronarkMan &Document,
                    TExportChoices &Choices) override {
        Form = Request;
        Choices.Projects = ProjectsInTreeOrder(Document);
        if (Request.SubProfile >= 0) {
            Choices.HasSubProfile = true;
            Choices.SubProfile = Request.SubProfiles.at(static_cast<size_t>(Request.SubProfile));
        }
        Choices.Separator = Request.SepChars.empty() ? '\0' : Request.SepChars.front();
        return true;
    }

    std::string Output;
    int FileType;
    TStringArray Messages;
    TExportSaveRequest Save;
    TExportFormRequest Form;
};

// Why Text is no Windows-1252 text a user can read, or empty: a byte the code page leaves
// undefined, a control character other than CR, LF and tab, or a UTF-8 sequence (such as
// C3 BC for "ü") that would show as two or three wrong characters.
std::string NotCp1252Text(const std::string &Text) {
    for (size_t i = 0; i < Text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(Text[i]);
        if (c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D)
            return "undefined byte at " + std::to_string(i);
        if ((c < 0x20 && c != '\r' && c != '\n' && c != '\t') || c == 0x7F)
            return "control character at " + std::to_string(i);
        const size_t follow = c >= 0xC2 && c <= 0xDF   ? 1
                              : c >= 0xE0 && c <= 0xEF ? 2
                              : c >= 0xF0 && c <= 0xF4 ? 3
                                                       : 0;
        size_t k = 1;
        while (k <= follow && i + k < Text.size() &&
               (static_cast<unsigned char>(Text[i + k]) & 0xC0) == 0x80)
            ++k;
        if (follow > 0 && k == follow + 1)
            return "UTF-8 sequence at " + std::to_string(i);
    }
    return {};
}

const char Cp1252Ini[] =
    "[\xDC"
    "bersicht]\nFilter=txt\nPath=\xDC"
    "bersicht\nType=Monats\xFC"
    "bersicht\n"
    "Profiles=1\nStdProf=M\xE4RZ\nSeparator=1\nSepChars=Paragraph,\xA7|Komma,,\n"
    "[Fehlt]\nFilter=csv\nPath=Fehlt\n";

} // namespace

// Every message the export and the printed report hand to the window or the command line,
// each provoked through the engine, is Windows-1252 text that says what it should.
TEST_F(Export, EveryMessageIsWindows1252Text) {
    const std::string dir = Dir.string() + "/";
    WriteFile(Dir / "export.ini", Cp1252Ini);
    const fs::path sub = Dir /
                         "\xC3\x9C"
                         "bersicht" /
                         "M\xC3\xA4rz";
    WriteFile(sub / "item.txt", std::string(1000, 'x'));
    TCKProjectItem *kunde = KundeA();

    struct TRow {
        const char *Name;
        std::function<std::string()> Message;
        std::string Says;
    };
    const std::vector<TRow> rows = {
        {"output past its limit",
         [&] {
             Man.OutputLimit = 100;
             TLineOutput out;
             std::string reason;
             Man.ExportToLines("f", sub.string() + "/", ';', Doc, {kunde}, out, reason);
             Man.OutputLimit = TExportMan::MaxOutputBytes;
             return reason;
         },
         "Die Ausgabe w\xFCrde gr\xF6\xDF"
         "er als 100 Bytes."},
        {"template that cannot be read",
         [&] {
             fs::create_directories(sub / "header.txt");
             TLineOutput out;
             std::string reason;
             Man.ExportToLines("f", sub.string() + "/", ';', Doc, {kunde}, out, reason);
             fs::remove(sub / "header.txt");
             return reason;
         },
         "\xDC"
         "bersicht/M\xE4rz/header.txt\" kann nicht gelesen werden. "},
        {"no profiles",
         [&] {
             TScriptedExportUi ui(dir + "a.txt");
             Man.Execute(ui, Doc, dir + "leer/", "");
             return ui.Messages.empty() ? std::string() : ui.Messages.front();
         },
         NoProfilesText},
        {"output that cannot be created",
         [&] {
             TScriptedExportUi ui(dir + "fehlt/B\xC3\xA4"
                                        "ckerei.txt");
             Man.Execute(ui, Doc, dir, "");
             return ui.Messages.empty() ? std::string() : ui.Messages.front();
         },
         "/fehlt/B\xE4"
         "ckerei.txt\" kann nicht erstellt werden. Der Ordner oder die Datei"},
        {"missing template folder",
         [&] {
             TScriptedExportUi ui(dir + "a.csv", 1);
             Man.Execute(ui, Doc, dir, "");
             return ui.Messages.empty() ? std::string() : ui.Messages.front();
         },
         "Vorlagenordner \"" + dir + "Fehlt\" nicht gefunden."},
        {"export dialog's caption",
         [&] {
             TScriptedExportUi ui(dir + "a.txt");
             Man.Execute(ui, Doc, dir, "");
             return ui.Form.Caption;
         },
         "Monats\xFC"
         "bersicht Export"},
        {"separator box",
         [&] {
             TScriptedExportUi ui(dir + "a.txt");
             Man.Execute(ui, Doc, dir, "");
             std::string items;
             for (const std::string &item : ui.Form.SepItems)
                 items += item + "|";
             return items;
         },
         "Paragraph (\xA7)|Komma (,)|Benutzerdefiniert|"},
        {"save dialog",
         [&] {
             TScriptedExportUi ui(dir + "a.txt");
             Man.Execute(ui, Doc, dir, "");
             return ui.Save.Title + "|" + ui.Save.FileTypes.at(0);
         },
         "Exportieren|\xDC"
         "bersicht (*.txt)"},
        {"printed report",
         [&] {
             kunde
                 ->AddProject("Gr\xFC"
                              "n")
                 ->AddTime({At(9, 8, 0, 0), At(9, 9, 0, 0), "\x80", {}});
             TRecordingCanvas canvas;
             PrintReport(canvas, Doc,
                         "B\xE4"
                         "ckerei.ckx",
                         ProjectsInTreeOrder(Doc));
             std::string texts = canvas.Title;
             for (const TDrawn *d : canvas.Texts())
                 texts += "|" + d->Text;
             return texts;
         },
         "Chronark - B\xE4"
         "ckerei.ckx|B\xE4"
         "ckerei.ckx|Zeiten|"},
    };
    for (const TRow &r : rows) {
        SCOPED_TRACE(r.Name);
        const std::string message = r.Message();
        EXPECT_EQ(NotCp1252Text(message), "") << message;
        EXPECT_NE(message.find(r.Says), std::string::npos) << message;
    }
}

// export.ini is Windows-1252; the folders it names are spelled in UTF-8 on the disk. Names
// are converted where they become paths, and texts of the output keep their bytes.
TEST_F(Export, IniNamesFindFoldersSpelledAsTheFileSystemSpellsThem) {
    const std::string dir = Dir.string() + "/";
    WriteFile(Dir / "export.ini", Cp1252Ini);
    const fs::path profile = Dir / "\xC3\x9C"
                                   "bersicht";
    WriteFile(profile / "Januar" / "prjheader.txt", "Januar$separator$$Comment$");
    WriteFile(profile / "M\xC3\xA4rz" / "prjheader.txt", "M\xE4rz$separator$$Comment$");
    KundeA();
    ASSERT_TRUE(Man.LoadProfiles(dir));
    const tPItem &p = Man.Profiles().at(0);
    EXPECT_EQ(p.Path, "\xDC"
                      "bersicht");
    EXPECT_EQ(p.SepChars, "Paragraph,\xA7|Komma,,");
    EXPECT_EQ(TExportMan::DefaultSeparator(p), '\xA7');
    EXPECT_EQ(TExportMan::TemplateFolder(dir, p, true, "M\xC3\xA4rz"),
              profile.string() + "/M\xC3\xA4rz/");
    // StdProf without regard to the case of A to Z, and not merely the first folder.
    EXPECT_EQ(TExportMan::DefaultSubProfile(p, {"Januar", "M\xC3\xA4rz"}), 1);

    const std::string out = dir + "Bericht.txt";
    TScriptedExportUi ui(out);
    Man.Execute(ui, Doc, dir, "");
    EXPECT_EQ(ui.Form.SubProfiles, (TStringArray{"Januar", "M\xC3\xA4rz"}));
    EXPECT_EQ(ui.Form.SubProfile, 1);
    EXPECT_EQ(ui.Messages, TStringArray{});
    EXPECT_EQ(ReadFile(out), "M\xE4rz\xA7Kunde A\r\n");
}

// A template folder that is not there still gives the file its templates give (none: an
// empty file), now with a warning that names the folder.
TEST_F(Export, AMissingTemplateFolderIsWrittenWithAWarning) {
    struct TRow {
        const char *Name, *Ini, *Folder;
        bool Warned;
        const char *Output;
    } rows[] = {
        {"no folder", "[P]\nFilter=txt\nPath=\xC4nderungen\n", nullptr, true, ""},
        {"no profile folder for sub-profiles", "[P]\nFilter=txt\nPath=\xC4nderungen\nProfiles=1\n",
         nullptr, true, ""},
        {"folder without templates", "[P]\nFilter=txt\nPath=\xC4nderungen\n", "", false, ""},
        {"folder with a template", "[P]\nFilter=txt\nPath=\xC4nderungen\n", "K $Comment$", false,
         "K Kunde A\r\n"},
    };
    KundeA();
    const std::string dir = Dir.string() + "/";
    const fs::path folder = Dir / "\xC3\x84nderungen";
    for (const TRow &r : rows) {
        SCOPED_TRACE(r.Name);
        fs::remove_all(folder);
        WriteFile(Dir / "export.ini", r.Ini);
        if (r.Folder) {
            fs::create_directories(folder);
            if (*r.Folder)
                WriteFile(folder / "prjheader.txt", r.Folder);
        }
        const std::string out = dir + "Bericht.txt";
        fs::remove(out);
        TScriptedExportUi ui(out);
        Man.Execute(ui, Doc, dir, "");
        EXPECT_EQ(ui.Messages, r.Warned ? TStringArray{"Vorlagenordner \"" + Dir.string() +
                                                       "/\xC4nderungen\" nicht gefunden."}
                                        : TStringArray{});
        EXPECT_TRUE(fs::exists(out));
        EXPECT_EQ(ReadFile(out), r.Output);
    }
}

// The output is Windows-1252 text: the file system's UTF-8 name goes into it converted.
TEST_F(Export, FileNamesAreInsertedInTheOutputsEncoding) {
    struct TRow {
        const char *Name, *FileName, *Result;
    } rows[] = {
        {"umlaut and euro sign",
         "/out/B\xC3\xA4"
         "ckerei \xE2\x82\xAC.txt",
         "B\xE4"
         "ckerei \x80.txt|/out/B\xE4"
         "ckerei \x80.txt"},
        {"folder outside ASCII",
         "/\xC3\x9C"
         "ber/a.txt",
         "a.txt|/\xDC"
         "ber/a.txt"},
        {"characters the code page lacks", "/out/\xE6\x97\xA5\xF0\x9F\x98\x80.txt",
         "??.txt|/out/??.txt"},
    };
    Templates({{"footer.txt", "$filename$|$FullFileName$"}});
    TCKProjectItem *kunde = KundeA();
    for (const TRow &r : rows) {
        SCOPED_TRACE(r.Name);
        const std::string out = Run({kunde}, ';', r.FileName);
        EXPECT_EQ(out, std::string(r.Result) + "\n");
        EXPECT_EQ(NotCp1252Text(out), "");
    }
}
