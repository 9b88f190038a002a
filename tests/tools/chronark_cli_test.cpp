// chronark-cli as a user runs it: exit codes, stdout and stderr of the built program.
#include "base/dates.h"
#include "base/durations.h"
#include "base/fieldtype.h"
#include "model/ckfile.h"
#include "model/ckm.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string ToolData = std::string(CHRONARK_TEST_DATA) + "/tools";
const std::string Sample = std::string(CHRONARK_SOURCE_DIR) + "/examples/Beispiel.ckx";

struct TRun {
    int Code = -1;
    std::string Out;
    std::string Err;
};

std::string ReadFile(const fs::path &Path) {
    std::ifstream in(Path, std::ios::binary);
    std::ostringstream data;
    data << in.rdbuf();
    return data.str();
}

std::string Quote(const std::string &S) {
    std::string q = "'";
    for (char c : S)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// A scratch folder per test, removed afterwards.
class ChronarkCli : public ::testing::Test {
protected:
    void SetUp() override {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        Scratch = fs::temp_directory_path() /
                  ("chronark_cli_" + std::to_string(::getpid()) + "_" + info->name());
        fs::remove_all(Scratch);
        fs::create_directories(Scratch);
    }
    void TearDown() override { fs::remove_all(Scratch); }

    // Runs the tool in Dir; StdoutTo replaces the captured stdout (e.g. /dev/full).
    TRun Run(const std::vector<std::string> &Args, const std::string &Dir = ToolData,
             const std::string &StdoutTo = "") {
        const fs::path out = Scratch / "stdout.txt";
        const fs::path err = Scratch / "stderr.txt";
        std::string command = "cd " + Quote(Dir) + " && " + Quote(CHRONARK_CLI);
        for (const std::string &a : Args)
            command += " " + Quote(a);
        command += " >" + Quote(StdoutTo.empty() ? out.string() : StdoutTo);
        command += " 2>" + Quote(err.string());
        const int status = std::system(command.c_str());
        TRun run;
        run.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (StdoutTo.empty())
            run.Out = ReadFile(out);
        run.Err = ReadFile(err);
        return run;
    }

    fs::path Scratch;
};

struct TUsageCase {
    const char *Name;
    std::vector<std::string> Args;
    const char *Says;
};

TEST_F(ChronarkCli, UsageErrorsGoToStderrWithCodeTwo) {
    const TUsageCase cases[] = {
        {"no arguments", {}, "Es fehlt der Befehl"},
        {"unknown command", {"pruefe", "klein.ckx"}, "Unbekannter Befehl \"pruefe\""},
        {"check without file", {"check"}, "Es fehlt der Name der Datei"},
        {"summary without file", {"summary"}, "Es fehlt der Name der Datei"},
        {"two files", {"check", "klein.ckx", "neuer.ckx"}, "Zu viele Argumente"},
        {"unknown option", {"--ausfuehrlich", "check", "klein.ckx"}, "Unbekannte Option"},
        {"empty file name", {"summary", ""}, "Der Name der Datei ist leer"},
        {"help with a file", {"help", "klein.ckx"}, "help erwartet keine"},
    };
    for (const TUsageCase &c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun run = Run(c.Args);
        EXPECT_EQ(run.Code, 2);
        EXPECT_EQ(run.Out, "");
        EXPECT_NE(run.Err.find(c.Says), std::string::npos) << run.Err;
        EXPECT_NE(run.Err.find("Aufruf: chronark-cli"), std::string::npos) << run.Err;
    }
}

TEST_F(ChronarkCli, HelpWinsOverEverythingElse) {
    const std::vector<std::string> calls[] = {
        {"--help"}, {"-h"}, {"help"}, {"check", "--help"}, {"pruefe", "-h", "x", "y"}};
    for (const auto &args : calls) {
        SCOPED_TRACE(args.front());
        const TRun run = Run(args);
        EXPECT_EQ(run.Code, 0);
        EXPECT_EQ(run.Err, "");
        EXPECT_EQ(run.Out.rfind("Aufruf: chronark-cli", 0), 0u) << run.Out;
        EXPECT_NE(run.Out.find("R\xC3\xBC"
                               "ckgabewerte"),
                  std::string::npos);
    }
    const TRun version = Run({"--version", "check"});
    EXPECT_EQ(version.Code, 0);
    EXPECT_EQ(version.Out.rfind("chronark-cli ", 0), 0u);
}

struct TCheckCase {
    const char *File;
    int Code;
    const char *Output;
};

// The exact messages the program would show, with line and column where it gives them.
TEST_F(ChronarkCli, CheckPrintsTheProgramsMessagesAndAnswersByExitCode) {
    const TCheckCase cases[] = {
        {"klein.ckx", 0,
         "Ergebnis: geladen (3 Projekte, 4 Eintr\xC3\xA4ge; 0 Fehler, 0 Warnungen)\n"},
        {"kaputt.ckx", 1,
         "Fehler in \"kaputt.ckx\":\n\n4:22 - Doppeltes Attribut\n\n"
         "Ergebnis: nicht geladen (1 Fehler, 0 Warnungen)\n"},
        {"falscheswurzel.ckx", 1,
         "Fehler in \"falscheswurzel.ckx\":\n\n3:1 - Ung\xC3\xBCltiges Rootelement\n\n"
         "Ergebnis: nicht geladen (1 Fehler, 0 Warnungen)\n"},
        // The document loads, but an entry was dropped: worth a failing check.
        {"zeitfehler.ckx", 1,
         "Fehler in \"zeitfehler.ckx\":\n\n7:3 - Ung\xC3\xBCltige Zeitangabe(n)\n\n"
         "Ergebnis: geladen (1 Projekt, 1 Eintrag; 1 Fehler, 0 Warnungen)\n"},
        // A newer file version is only a warning: the document loads.
        {"neuer.ckx", 0,
         "Warnung: Die Datei wurde mit einer aktuelleren Version von Chronark erstellt.\n"
         "Einige Informationen k\xC3\xB6nnen m\xC3\xB6glicherweise nicht verarbeitet werden.\n\n"
         "Ergebnis: geladen (1 Projekt, 1 Eintrag; 0 Fehler, 1 Warnung)\n"},
        {"fehlt.ckx", 1,
         "Fehler in \"fehlt.ckx\":\n\nDie Datei kann nicht gelesen werden. Der Ordner oder die "
         "Datei existiert nicht.\n\nErgebnis: nicht geladen (1 Fehler, 0 Warnungen)\n"},
        {".", 1,
         "Fehler in \".\":\n\nDie Datei kann nicht gelesen werden. Der Name bezeichnet einen "
         "Ordner.\n\nErgebnis: nicht geladen (1 Fehler, 0 Warnungen)\n"},
    };
    for (const TCheckCase &c : cases) {
        SCOPED_TRACE(c.File);
        const TRun run = Run({"check", c.File});
        EXPECT_EQ(run.Code, c.Code);
        EXPECT_EQ(run.Out, c.Output);
        EXPECT_EQ(run.Err, "");
    }
}

TEST_F(ChronarkCli, SummaryOfTheSmallFixtureMatchesTheGoldenText) {
    const TRun run = Run({"summary", "klein.ckx"});
    EXPECT_EQ(run.Code, 0);
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.Out, ReadFile(ToolData + "/klein.summary.txt"));
}

TEST_F(ChronarkCli, SummaryReportsLoadMessagesOnStderr) {
    const TRun broken = Run({"summary", "kaputt.ckx"});
    EXPECT_EQ(broken.Code, 1);
    EXPECT_EQ(broken.Out, "");
    EXPECT_EQ(broken.Err, "Fehler in \"kaputt.ckx\":\n\n4:22 - Doppeltes Attribut\n");

    // A dropped entry does not stop the summary of what did load.
    const TRun partial = Run({"summary", "zeitfehler.ckx"});
    EXPECT_EQ(partial.Code, 0);
    EXPECT_NE(partial.Err.find("7:3 - Ung\xC3\xBCltige Zeitangabe(n)"), std::string::npos);
    EXPECT_NE(partial.Out.find("Eintr\xC3\xA4ge: 1\n"), std::string::npos) << partial.Out;
}

// The name in "Fehler in" is the file system's spelling, not 8-bit text to be converted.
TEST_F(ChronarkCli, FileNamesStayAsTheyAreAndMayBeginWithADash) {
    const std::string name = "kaputt \xC3\xA4 'x'.ckx";
    fs::copy_file(ToolData + "/kaputt.ckx", Scratch / name);
    const TRun broken = Run({"check", name}, Scratch.string());
    EXPECT_EQ(broken.Code, 1);
    EXPECT_EQ(broken.Out.rfind("Fehler in \"" + name + "\":\n\n4:22 - ", 0), 0u) << broken.Out;

    fs::copy_file(ToolData + "/klein.ckx", Scratch / "-klein.ckx");
    const TRun dashed = Run({"summary", "--", "-klein.ckx"}, Scratch.string());
    EXPECT_EQ(dashed.Code, 0) << dashed.Err;
    EXPECT_EQ(dashed.Out.rfind("Datei: -klein.ckx\n", 0), 0u) << dashed.Out;
}

TEST_F(ChronarkCli, OutputThatCannotBeWrittenIsAFailure) {
    const TRun run = Run({"summary", "klein.ckx"}, ToolData, "/dev/full");
    EXPECT_EQ(run.Code, 1);
    EXPECT_NE(run.Err.find("Ausgabe konnte nicht geschrieben werden"), std::string::npos);
}

// --- The sample document -----------------------------------------------------------------

TEST_F(ChronarkCli, SampleDocumentChecksCleanAndItsSummaryAgreesWithTheModel) {
    const TRun check = Run({"check", Sample});
    EXPECT_EQ(check.Code, 0) << check.Out;
    EXPECT_NE(check.Out.find("; 0 Fehler, 0 Warnungen)"), std::string::npos) << check.Out;

    TChronarkMan man;
    ASSERT_TRUE(man.LoadFromFile(Sample, false));
    const TRun summary = Run({"summary", Sample});
    ASSERT_EQ(summary.Code, 0) << summary.Err;
    const std::string total = "\nGesamt: " + man.NetTimeText(nullptr) + "\n";
    EXPECT_NE(summary.Out.find(total), std::string::npos) << summary.Out;
    size_t overlapping = 0;
    for (const TCKTimeItem *e : man.AllEntries())
        overlapping += e->IsOverlapFree() ? 0 : 1;
    EXPECT_GT(overlapping, 0u);
    EXPECT_NE(summary.Out.find("\n\xC3\x9C"
                               "berlappende Eintr\xC3\xA4ge: " +
                               std::to_string(overlapping) + "\n"),
              std::string::npos)
        << summary.Out;
}

// Captions, field ids and file names reach the terminal with their control characters
// escaped, so a document cannot retitle or clear it.
TEST_F(ChronarkCli, ControlCharactersInTheOutputAreEscaped) {
    TChronarkMan man;
    man.AddFieldDef("f\x7F", ftString);
    // Windows-1252 0x81 becomes U+0081, a C1 control.
    man.Root->AddProject("a\x1B]0;Titel\x07 b\x1B[2J\tc\x81");
    ASSERT_TRUE(man.SaveToFile((Scratch / "steuer.ckx").string()));
    const std::string missing = "fehlt\x1B[2J.ckx";
    auto clean = [](const std::string &Out) {
        for (const char c : Out)
            if ((static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\t') || c == 0x7F)
                return false;
        return Out.find("\xC2\x81") == std::string::npos;
    };
    const TRun summary = Run({"summary", "steuer.ckx"}, Scratch.string());
    ASSERT_EQ(summary.Code, 0) << summary.Err;
    EXPECT_TRUE(clean(summary.Out)) << summary.Out;
    EXPECT_NE(summary.Out.find("a\\x1B]0;Titel\\x07 b\\x1B[2J\tc\\u0081:"), std::string::npos)
        << summary.Out;
    EXPECT_NE(summary.Out.find("f\\x7F (String)"), std::string::npos) << summary.Out;
    const TRun check = Run({"check", missing}, Scratch.string());
    EXPECT_EQ(check.Code, 1);
    EXPECT_TRUE(clean(check.Out)) << check.Out;
    EXPECT_NE(check.Out.find("fehlt\\x1B[2J.ckx"), std::string::npos) << check.Out;
    const TRun usage = Run({"--\x1B[2J"}, Scratch.string());
    EXPECT_TRUE(clean(usage.Err)) << usage.Err;
}

// --- Net time per project ------------------------------------------------------------------

void ExpectSameAsManager(const TChronarkMan &Man) {
    const TNetTimes netTimes = Man.NetTimesByProject();
    std::vector<const TCKProjectItem *> projects{Man.Root.get()};
    for (size_t i = 0; i < projects.size(); ++i)
        for (const TCKItem *c = projects[i]->FirstChild; c; c = c->Next)
            if (c->IsProject())
                projects.push_back(static_cast<const TCKProjectItem *>(c));
    for (const TCKProjectItem *p : projects)
        EXPECT_EQ(SecondsText(netTimes.Seconds(p)), Man.NetTimeText(p)) << p->GetPath();
}

// Nested projects, entries in the root, overlaps within and across projects, touching
// entries and odd seconds that carry: the one-pass sums must equal the manager's, also with
// the entry filter on.
TEST(DirectNetTimes, EqualTheManagersNetTimeOfEveryProject) {
    std::mt19937 random(20260302);
    TChronarkMan man;
    std::vector<TCKProjectItem *> projects{man.Root.get()};
    for (int i = 0; i < 12; ++i)
        projects.push_back(
            projects[random() % projects.size()]->AddProject("P" + std::to_string(i)));
    const TDateTime day = EncodeDateTime(2026, 3, 2, 8, 0, 0);
    for (int i = 0; i < 300; ++i) {
        tCKEditItem e;
        e.StartTime = AddSeconds(day, random() % (3 * 86400));
        e.EndTime = AddSeconds(e.StartTime, 1 + random() % 7200);
        if (i % 7 == 0)
            e.Comment = "Besprechung";
        projects[random() % projects.size()]->AddTime(e);
    }
    ExpectSameAsManager(man);

    man.Filter.Keywords = {"besprechung"};
    man.Filter.UseFromDate = true;
    man.Filter.FromDate = AddSeconds(day, 86400);
    man.FilterActive = true;
    ExpectSameAsManager(man);
}

TEST(DirectNetTimes, EqualTheManagersOnTheSampleAndAnEmptyDocument) {
    TChronarkMan empty;
    EXPECT_EQ(SecondsText(empty.NetTimesByProject().Seconds(empty.Root.get())),
              "0 Std, 0 Min, 0 Sek");
    TChronarkMan man;
    ASSERT_TRUE(man.LoadFromFile(Sample, false));
    ExpectSameAsManager(man);
}

// The file is what the writer produces for the document it holds, byte for byte.
TEST(SampleDocument, IsExactlyWhatTheWriterProduces) {
    const std::string bytes = ReadFile(Sample);
    TChronarkMan man;
    ASSERT_TRUE(LoadDocumentFromBytes(man, bytes, Sample, false));
    EXPECT_EQ(DocumentText(man), bytes);
}

// What the main window and its screenshot rely on the sample to show.
TEST(SampleDocument, ShowsWhatTheProgramCanDo) {
    TChronarkMan man;
    ASSERT_TRUE(man.LoadFromFile(Sample, false));
    const TCKTimeItemList entries = man.AllEntries();
    EXPECT_GE(entries.size(), 40u);
    EXPECT_LE(entries.size(), 80u);

    const tFieldDefList expectedDefs{{"Kunde", ftString}, {"abrechenbar", ftBoolean}};
    EXPECT_EQ(man.FieldDefs, expectedDefs);
    EXPECT_EQ(man.DefaultProject->GetPath(), "Kunden\\B\xE4"
                                             "ckerei Schulz\\Webseite");

    int touching = 0, multiLine = 0, ampersand = 0, umlaut = 0, withFields = 0;
    for (const TCKTimeItem *a : entries) {
        for (const TCKTimeItem *b : entries)
            touching += a != b && a->EndTime == b->StartTime ? 1 : 0;
        multiLine += a->Comment.find('\n') != std::string::npos ? 1 : 0;
        ampersand += a->Comment.find('&') != std::string::npos ? 1 : 0;
        umlaut += a->Comment.find_first_of("\xE4\xF6\xFC\xC4\xD6\xDC\xDF") != std::string::npos;
        withFields += a->Fields.empty() ? 0 : 1;
    }
    EXPECT_GT(touching, 0);
    EXPECT_GT(multiLine, 0);
    EXPECT_GT(ampersand, 0);
    EXPECT_GT(umlaut, 0);
    EXPECT_GT(withFields, 0);
    EXPECT_LT(withFields, static_cast<int>(entries.size()));

    // 8-bit text in the file itself, as the writer keeps it: no UTF-8 sequences.
    const std::string bytes = ReadFile(Sample);
    EXPECT_NE(bytes.find('\xFC'), std::string::npos);
    EXPECT_EQ(bytes.find("\xC3\xBC"), std::string::npos);
}

} // namespace

// export writes what the program's export writes; the golden files come from the engine's test.
TEST_F(ChronarkCli, ExportWritesTheProfilesOutput) {
    const std::string out = (Scratch / "Beispiel.out").string();
    for (const char *profile : {"CSV", "html", "iCalendar", "Text", "JSON"}) {
        SCOPED_TRACE(profile);
        const TRun run = Run({"export", Sample, "--profile", profile, "--output", out});
        EXPECT_EQ(run.Code, 0) << run.Err;
        EXPECT_EQ(run.Err, "");
        std::string golden = std::string(CHRONARK_TEST_DATA) + "/export/Beispiel." +
                             (std::string(profile) == "html" ? "HTML" : profile) + ".golden";
        EXPECT_EQ(ReadFile(out), ReadFile(golden));
    }
}

TEST_F(ChronarkCli, ExportChoicesAsTheDialogMakesThem) {
    const fs::path dir = Scratch / "export";
    fs::create_directories(dir / "P" / "Lang");
    fs::create_directories(dir / "P" / "kurz");
    std::ofstream(dir / "export.ini") << "[P]\nFilter=txt\nProfiles=1\nSeparator=1\n"
                                         "SepChars=Komma,,\n";
    std::ofstream(dir / "P" / "Lang" / "prjheader.txt") << "L $Comment$$separator$\n";
    std::ofstream(dir / "P" / "kurz" / "prjheader.txt") << "K $Comment$$separator$\n";
    const std::string out = (Scratch / "o.txt").string();
    const std::vector<std::string> base = {
        "export", "klein.ckx", "--profile=P", "--export-dir", dir.string(), "--output", out};
    const auto run = [&](std::vector<std::string> More) {
        std::vector<std::string> args = base;
        args.insert(args.end(), More.begin(), More.end());
        const TRun r = Run(args);
        return r.Code == 0 ? ReadFile(out) : "exit " + std::to_string(r.Code) + ": " + r.Err;
    };
    const std::string all = run({});
    // The first sub-profile without regard to case.
    EXPECT_EQ(all.rfind("K ", 0), 0u) << all;
    EXPECT_NE(all.find(",\r\n"), std::string::npos) << all;
    const std::string one = run({"--subprofile", "LANG", "--separator-code", "59"});
    EXPECT_EQ(one.rfind("L ", 0), 0u) << one;
    EXPECT_NE(one.find(";\r\n"), std::string::npos) << one;
    EXPECT_NE(run({"--subprofile", "Mittel"}).find("Unterprofil"), std::string::npos);
    EXPECT_NE(run({"--project", "Gibt\\es nicht"}).find("exit 1"), std::string::npos);
    EXPECT_NE(run({"--separator", "ab"}).find("genau ein Zeichen"), std::string::npos);
    const TRun wrong = Run(
        {"export", "klein.ckx", "--profile", "X", "--export-dir", dir.string(), "--output", out});
    EXPECT_EQ(wrong.Code, 1);
    EXPECT_NE(wrong.Err.find("vorhanden: P"), std::string::npos) << wrong.Err;
}

TEST_F(ChronarkCli, ExportUsageErrors) {
    const TUsageCase cases[] = {
        {"no profile", {"export", "klein.ckx", "--output", "x"}, "--profile"},
        {"no output", {"export", "klein.ckx", "--profile", "CSV"}, "--output"},
        {"missing value", {"export", "klein.ckx", "--output", "x", "--profile"}, "fehlt ihr"},
        {"both separators",
         {"export", "klein.ckx", "--profile", "C", "--output", "x", "--separator", ";",
          "--separator-code", "9"},
         "Nur eine"},
        {"option of export elsewhere", {"check", "klein.ckx", "--profile", "C"}, "nur f"},
    };
    for (const TUsageCase &c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun run = Run(c.Args);
        EXPECT_EQ(run.Code, 2);
        EXPECT_NE(run.Err.find(c.Says), std::string::npos) << run.Err;
    }
}

// export.ini is Windows-1252, the folders on the disk and the terminal are UTF-8.
TEST_F(ChronarkCli, ExportFindsFoldersOfNonAsciiNamesAndWarnsOfAMissingOne) {
    const fs::path dir = Scratch / "Vorl\xC3\xA4ufig";
    const fs::path profile = dir / "\xC3\x9C"
                                   "bersicht";
    fs::create_directories(profile / "Januar");
    fs::create_directories(profile / "M\xC3\xA4rz");
    std::ofstream(dir / "export.ini", std::ios::binary)
        << "[Bericht]\nFilter=txt\nPath=\xDC"
           "bersicht\nProfiles=1\nStdProf=m\xE4rz\n"
           "Separator=1\nSepChars=Paragraph,\xA7\n"
           "[Fehlt]\nFilter=txt\nPath=\xC4nderungen\n[Text]\nFilter=txt\n";
    std::ofstream(profile / "Januar" / "footer.txt") << "Januar";
    std::ofstream(profile / "M\xC3\xA4rz" / "footer.txt", std::ios::binary) << "M\xE4rz$separator$";
    const std::string out = (Scratch / "o.txt").string();
    const auto run = [&](const char *Profile) {
        return Run({"export", "klein.ckx", "--profile", Profile, "--export-dir", dir.string(),
                    "--output", out});
    };

    const TRun found = run("Bericht");
    EXPECT_EQ(found.Code, 0) << found.Err;
    EXPECT_EQ(found.Err, "");
    EXPECT_EQ(ReadFile(out), "M\xE4rz\xA7\r\n");

    const TRun missing = run("Fehlt");
    EXPECT_EQ(missing.Code, 0);
    EXPECT_EQ(missing.Err, "Warnung: Vorlagenordner \"" + dir.string() +
                               "/\xC3\x84nderungen\" nicht gefunden.\n");
    EXPECT_TRUE(fs::exists(out));
    EXPECT_EQ(ReadFile(out), "");

    // A template that cannot be read names its path in the terminal's UTF-8.
    fs::create_directories(dir / "Text" / "header.txt");
    const TRun unreadable = run("Text");
    EXPECT_EQ(unreadable.Code, 1);
    EXPECT_NE(unreadable.Err.find("Vorl\xC3\xA4ufig/Text/header.txt\" kann nicht gelesen"),
              std::string::npos)
        << unreadable.Err;
}

TEST_F(ChronarkCli, PrintUsageErrors) {
    const TUsageCase cases[] = {
        {"no pdf", {"print", "klein.ckx"}, "--pdf"},
        {"empty pdf", {"print", "klein.ckx", "--pdf="}, "--pdf"},
        {"pdf twice", {"print", "klein.ckx", "--pdf", "a", "--pdf", "b"}, "doppelt"},
        {"pdf elsewhere", {"export", "klein.ckx", "--pdf", "a"}, "nur für print"},
        {"export option for print",
         {"print", "klein.ckx", "--pdf", "a", "--profile", "C"},
         "nur für export"},
        {"project for check", {"check", "klein.ckx", "--project", "A"}, "export und print"},
    };
    for (const TUsageCase &c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun run = Run(c.Args);
        EXPECT_EQ(run.Code, 2);
        EXPECT_NE(run.Err.find(c.Says), std::string::npos) << run.Err;
    }
}

#ifdef CHRONARK_CLI_PRINT
// The report as a PDF: the sample document read back with pdftotext when it is installed.
TEST_F(ChronarkCli, PrintWritesTheReportAsPdf) {
    const std::string out = (Scratch / "Bericht.pdf").string();
    const TRun run = Run({"print", Sample, "--pdf", out});
    ASSERT_EQ(run.Code, 0) << run.Err;
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(ReadFile(out).rfind("%PDF-", 0), 0u);
    // Nothing left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(Scratch), fs::directory_iterator()), 3);
    if (std::system("command -v pdftotext >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const std::string text = (Scratch / "Bericht.txt").string();
    ASSERT_EQ(std::system(("pdftotext " + Quote(out) + " " + Quote(text)).c_str()), 0);
    const std::string all = ReadFile(text);
    for (const char *expected : {"Beispiel.ckx", "Zeiten", "Projekt: Intern\\Buchhaltung",
                                 "Projektsumme:", "Summe:", "10:30:00 Std.", "Bäckerei"})
        EXPECT_NE(all.find(expected), std::string::npos) << expected;

    // --project chooses as export does.
    ASSERT_EQ(Run({"print", Sample, "--pdf", out, "--project", "Fortbildung"}).Code, 0);
    ASSERT_EQ(std::system(("pdftotext " + Quote(out) + " " + Quote(text)).c_str()), 0);
    const std::string one = ReadFile(text);
    EXPECT_NE(one.find("Projekt: Fortbildung"), std::string::npos);
    EXPECT_EQ(one.find("Buchhaltung"), std::string::npos);
    EXPECT_NE(one.find("Summe:"), std::string::npos);
}

TEST_F(ChronarkCli, PrintFailuresLeaveNoFile) {
    const std::string out = (Scratch / "Bericht.pdf").string();
    const TRun unknown = Run({"print", Sample, "--pdf", out, "--project", "Gibt\\es nicht"});
    EXPECT_EQ(unknown.Code, 1);
    EXPECT_NE(unknown.Err.find("gibt es nicht"), std::string::npos) << unknown.Err;
    const std::string nowhere = (Scratch / "fehlt" / "Bericht.pdf").string();
    const TRun unwritable = Run({"print", Sample, "--pdf", nowhere});
    EXPECT_EQ(unwritable.Code, 1);
    EXPECT_NE(unwritable.Err.find("kann nicht geschrieben werden"), std::string::npos)
        << unwritable.Err;
    const TRun folder = Run({"print", Sample, "--pdf", Scratch.string()});
    EXPECT_EQ(folder.Code, 1);
    EXPECT_NE(folder.Err.find("Ordner"), std::string::npos) << folder.Err;
    const TRun missing = Run({"print", "fehlt.ckx", "--pdf", out});
    EXPECT_EQ(missing.Code, 1);
    EXPECT_FALSE(fs::exists(out));
}
#endif
