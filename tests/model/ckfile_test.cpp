#include "base/clock.h"
#include "base/dates.h"
#include "base/fieldtype.h"
#include "base/formatsettings.h"
#include "base/messages.h"
#include "model/ckfile.h"
#include "model/ckfileio.h"
#include "model/ckm.h"
#include "tests/model/filebytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

TDateTime T(int day, int h, int m, int s = 0) {
    return EncodeDateTime(2007, 3, day, h, m, s);
}

std::string Lines(std::initializer_list<const char *> L) {
    std::string out;
    for (const char *line : L) {
        if (!out.empty())
            out += "\r\n";
        out += line;
    }
    return out;
}

class FileTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetFormatSettings(GermanFormatSettings());
        Dir = fs::temp_directory_path() /
              ("chronark-file-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(Dir);
        Man.OnMessage = Capture();
    }
    void TearDown() override {
        SetClock({});
        std::error_code ec;
        fs::permissions(Dir, fs::perms::owner_all, ec);
        fs::remove_all(Dir, ec);
        std::string why;
        EXPECT_TRUE(Man.CheckInvariants(&why)) << why;
    }
    // Collects a document's messages in Errors and Warnings.
    TMessageSink Capture() {
        return [this](TMessageKind Kind, const std::string &Text) {
            (Kind == TMessageKind::Error ? Errors : Warnings).push_back(Text);
        };
    }
    TResult Load(const std::string &Bytes, bool Import = false, const std::string &Name = "t.ckx") {
        return LoadDocumentFromBytes(Man, Bytes, Name, Import);
    }

    fs::path Dir;
    TChronarkMan Man;
    std::vector<std::string> Errors, Warnings;
};

const std::string WorkedExample = Lines({
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>",
    "<ckx version=\"1.1\">",
    "<head>",
    "<fielddef>",
    "<fielditem id=\"Kunde\" type=\"string\"/>",
    "<fielditem id=\"abrechenbar\" type=\"boolean\"/>",
    "</fielddef>",
    "</head>",
    "<data>",
    "<project caption=\"Projekt A\" default=\"1\">",
    "<item starttime=\"20070305090000\" endtime=\"20070305103000\">",
    "<comment><![CDATA[Besprechung]]></comment>",
    "<fields>",
    "<fielditem id=\"Kunde\"><![CDATA[Meier]]></fielditem>",
    "<fielditem id=\"abrechenbar\">true</fielditem>",
    "</fields>",
    "</item>",
    "<project caption=\"Unterprojekt\">",
    "<item starttime=\"20070306140000\" endtime=\"20070306141500\">",
    "</item>",
    "</project>",
    "</project>",
    "<item starttime=\"20070307080000\" endtime=\"20070307081000\">",
    "<comment><![CDATA[Zeile 1\r\nZeile 2]]></comment>",
    "</item>",
    "</data>",
    "</ckx>",
});

TEST_F(FileTest, WritesTheWorkedExampleByteForByte) {
    Man.AddFieldDef("Kunde", ftString);
    Man.AddFieldDef("abrechenbar", ftBoolean);
    TCKProjectItem *a = Man.Root->AddProject("Projekt A");
    a->AddTime(
        {T(5, 9, 0), T(5, 10, 30), "Besprechung", {{"Kunde", "Meier"}, {"abrechenbar", "true"}}});
    a->AddProject("Unterprojekt")->AddTime({T(6, 14, 0), T(6, 14, 15), "", {}});
    Man.Root->AddTime({T(7, 8, 0), T(7, 8, 10), "Zeile 1\r\nZeile 2", {}});
    Man.DefaultProject = a;
    EXPECT_EQ(DocumentText(Man), WorkedExample);

    const fs::path file = Dir / "beispiel.ckx";
    ASSERT_TRUE(Man.SaveToFile(file.string())) << (Errors.empty() ? "" : Errors.back());
    EXPECT_TRUE(Errors.empty());
    EXPECT_EQ(ReadFile(file), WorkedExample);
    EXPECT_FALSE(Man.Modified);
}

TEST_F(FileTest, EmptyDocumentAndRootDefault) {
    EXPECT_EQ(DocumentText(Man), Lines({"<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>",
                                        "<ckx version=\"1.1\">", "<data>", "</data>", "</ckx>"}));
    Man.Root->AddProject("P");
    EXPECT_EQ(DocumentText(Man).find("default"), std::string::npos);
}

TEST_F(FileTest, ReadsTheWorkedExample) {
    ASSERT_TRUE(Load(WorkedExample));
    EXPECT_FALSE(Man.Modified);
    EXPECT_TRUE(Errors.empty());
    EXPECT_TRUE(Warnings.empty());
    auto *a = Man.Root->FirstChild->AsProject();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(Man.DefaultProject, a);
    auto *first = a->FirstChild->AsTime();
    EXPECT_EQ(first->StartTime, T(5, 9, 0));
    EXPECT_EQ(first->Fields, (tFieldList{{"Kunde", "Meier"}, {"abrechenbar", "true"}}));
    auto *last = Man.Root->LastChild->AsTime();
    EXPECT_EQ(last->Comment, "Zeile 1\nZeile 2"); // the parser reads CR LF as LF
    EXPECT_EQ(Man.FieldDefs, (tFieldDefList{{"Kunde", ftString}, {"abrechenbar", ftBoolean}}));
}

struct VersionCase {
    const char *name;
    const char *attribute;
    bool warns;
};

TEST_F(FileTest, WarnsAboutNewerOrUnreadableVersions) {
    const VersionCase cases[] = {
        {"missing attribute", "", false},         {"1.0", " version=\"1.0\"", false},
        {"1.1", " version=\"1.1\"", false},       {"1.2", " version=\"1.2\"", true},
        {"2.0", " version=\"2.0\"", true},        {"1.1.9", " version=\"1.1.9\"", false},
        {"not a number", " version=\"x\"", true},
    };
    for (const auto &c : cases) {
        Warnings.clear();
        ASSERT_TRUE(Load(std::string("<ckx") + c.attribute +
                         "><data><project caption=\"p\"/>"
                         "</data></ckx>"))
            << c.name;
        EXPECT_EQ(Warnings.size(), c.warns ? 1u : 0u) << c.name;
        EXPECT_EQ(Man.LoadedNewerVersion, c.warns) << c.name;
        EXPECT_NE(Man.Root->FirstChild, nullptr) << c.name << ": loading goes on";
    }
    EXPECT_NE(Warnings.empty() ? std::string() : Warnings[0], "");
}

TEST_F(FileTest, ReaderRulesAndTolerances) {
    const std::string file = Lines({
        "<ckx><head><fielddef>",
        "<fielditem id=\"bill\" type=\"BOOLEAN\"/>",
        "<fielditem type=\"weird\"/>",
        "</fielddef></head><data>",
        "<project caption=\"A\" default=\"ja\"><project caption=\"B\" default=\"2\"/></project>",
        "<item starttime=\"\" endtime=\"20070305100000\"/>",
        "<item endtime=\"20070305100000\"/>",
        "<item starttime=\"20071305090000\" endtime=\"20070305100000\"/>",
        "<item starttime=\"20070305100000\" endtime=\"20070305100000\"/>",
        "<item starttime=\"20070305090000\" endtime=\"20070305100000\"><unknown/>",
        "<comment><![CDATA[a]]>  <![CDATA[b]]>  text  </comment>",
        "<fields><fielditem id=\"bill\">yes</fielditem><fielditem>frei</fielditem>",
        "<fielditem id=\"bill\"> TRUE </fielditem></fields>",
        "</item><!-- ignored --></data></ckx>",
    });
    ASSERT_TRUE(Load(file));
    EXPECT_EQ(Errors.size(), 4u); // four bad items, each reported once
    for (const std::string &e : Errors)
        EXPECT_NE(e.find("Ung\xFCltige Zeitangabe(n)"), std::string::npos) << e;
    const TCKTimeItemList entries = Man.AllEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0]->Comment, "a b text");
    EXPECT_EQ(entries[0]->Fields,
              (tFieldList{{"bill.string", "yes"}, {"id2", "frei"}, {"bill", "TRUE"}}));
    EXPECT_EQ(
        Man.FieldDefs,
        (tFieldDefList{
            {"bill", ftBoolean}, {"id1", ftString}, {"bill.string", ftString}, {"id2", ftString}}));
    ASSERT_EQ(Man.DefaultProject->Caption, "B"); // "ja" is no integer, 2 is
}

// Elements are taken as the parser finishes them; the result must still be that of reading
// the whole tree: child order, ignored places, field rules with a head written last.
TEST_F(FileTest, ReadingWhileParsingKeepsOrderPlacesAndRules) {
    const std::string file = Lines({
        "<ckx><data>",
        "<item starttime=\"20070305080000\" endtime=\"20070305081000\"/>",
        "<project caption=\"A\"><project caption=\"leer\"/>",
        "<item starttime=\"20070305090000\" endtime=\"20070305091000\">",
        "<fields><fielditem id=\"b\">vielleicht</fielditem><fielditem>x</fielditem></fields>",
        "</item><project caption=\"B\" default=\"1\"><project caption=\"C\">",
        "<item starttime=\"20070305100000\" endtime=\"20070305101000\"/></project></project>",
        "<other><item starttime=\"20070305110000\" endtime=\"20070305111000\"/></other>",
        "</project>",
        "<item starttime=\"20070305120000\" endtime=\"20070305121000\"/>",
        "</data><data><item starttime=\"20070305130000\" endtime=\"20070305131000\"/></data>",
        "<head><fielddef><fielditem id=\"b\" type=\"boolean\"/></fielddef></head></ckx>",
    });
    ASSERT_TRUE(Load(file));
    std::vector<std::string> outline;
    std::vector<std::pair<TCKItem *, std::string>> pending;
    for (TCKItem *c = Man.Root->LastChild; c; c = c->Prev)
        pending.push_back({c, ""});
    while (!pending.empty()) {
        auto [node, indent] = pending.back();
        pending.pop_back();
        if (TCKProjectItem *p = node->AsProject()) {
            outline.push_back(indent + p->Caption);
            for (TCKItem *c = p->LastChild; c; c = c->Prev)
                pending.push_back({c, indent + " "});
        } else {
            outline.push_back(indent + DateTimeText(node->AsTime()->StartTime).substr(11, 5));
        }
    }
    EXPECT_EQ(outline, (std::vector<std::string>{"08:00", "A", " leer", " 09:00", " B", "  C",
                                                 "   10:00", "12:00"}));
    EXPECT_EQ(Man.DefaultProject->Caption, "B");
    // The head came last, yet "vielleicht" was checked against the boolean definition.
    EXPECT_EQ(Man.AllEntries()[1]->Fields, (tFieldList{{"b.string", "vielleicht"}, {"id1", "x"}}));
    EXPECT_EQ(Man.FieldDefs,
              (tFieldDefList{{"b", ftBoolean}, {"b.string", ftString}, {"id1", ftString}}));
}

TEST_F(FileTest, AFaultLateInALargeFileLeavesTheDocumentUntouched) {
    Man.Root->AddProject("Bleibt");
    Man.SetSaved(true);
    std::string file = "<ckx><data><project caption=\"neu\">";
    for (int i = 0; i < 2000; ++i)
        file += "<item starttime=\"20070305090000\" endtime=\"20070305100000\"/>";
    file += "</project></data><broken></ckx>";
    EXPECT_FALSE(Load(file));
    EXPECT_EQ(Man.Root->FirstChild, Man.Root->LastChild);
    EXPECT_EQ(Man.Root->FirstChild->AsProject()->Caption, "Bleibt");
    EXPECT_EQ(Man.ReducedTime->First, nullptr);
    EXPECT_FALSE(Man.Modified);
}

TEST_F(FileTest, FaultsLeaveTheOpenDocumentUntouched) {
    Man.Root->AddProject("Bleibt");
    Man.SetSaved(true);
    EXPECT_FALSE(Load("<ckx><data></ckx>"));
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_NE(Errors[0].find("Fehler in \"t.ckx\":\r\n\r\n1:"), std::string::npos) << Errors[0];

    EXPECT_FALSE(Load("<?xml version=\"1.0\"?>\n<kcx version=\"1.1\"></kcx>"));
    ASSERT_EQ(Errors.size(), 2u);
    EXPECT_EQ(Errors[1], "Fehler in \"t.ckx\":\r\n\r\n2:1 - Ung\xFCltiges Rootelement");

    EXPECT_FALSE(Man.LoadFromFile((Dir / "fehlt.ckx").string(), false));
    EXPECT_NE(Errors.back().find("Document mu\xDF ein Rootelement enthalten"), std::string::npos);
    EXPECT_EQ(static_cast<TCKProjectItem *>(Man.Root->FirstChild)->Caption, "Bleibt");
    EXPECT_FALSE(Man.Modified);
}

TEST_F(FileTest, ALoadKeepsTheRootAndMovesEverythingBelowIt) {
    TCKProjectItem *const root = Man.Root.get();
    Man.DefaultProject = Man.Root->AddProject("Alt");
    ASSERT_TRUE(Load(WorkedExample));
    // Whoever holds the root (the tree's top node) still holds this document's root.
    EXPECT_EQ(Man.Root.get(), root);
    for (TCKItem *child = root->FirstChild; child; child = child->Next)
        EXPECT_EQ(child->Parent, root);
    ASSERT_NE(root->FirstChild, nullptr);
    EXPECT_EQ(root->FirstChild->AsProject()->Caption, "Projekt A");
    std::string why;
    EXPECT_TRUE(Man.CheckInvariants(&why)) << why;

    // A document whose default is its root keeps that: the default is this root.
    ASSERT_TRUE(Load("<?xml version=\"1.0\"?>\n<ckx version=\"1.1\"><data/></ckx>"));
    EXPECT_EQ(Man.Root.get(), root);
    EXPECT_EQ(Man.DefaultProject, root);
    EXPECT_EQ(root->FirstChild, nullptr);
}

TEST_F(FileTest, ImportAddsAProjectNamedAfterTheFileWithPrefixedFields) {
    TCKProjectItem *mine = Man.Root->AddProject("Mein Projekt");
    Man.DefaultProject = mine;
    Man.SetSaved(true);
    SetClock([] { return T(5, 7, 4, 3); });
    ASSERT_TRUE(Load(WorkedExample, true, "C:\\Daten\\a.ckx"));
    SetClock([] { return T(5, 7, 4, 4); });
    ASSERT_TRUE(Load(WorkedExample, true, "C:\\Daten\\a.ckx"));
    EXPECT_EQ(Man.DefaultProject, mine);
    EXPECT_TRUE(Man.Modified);
    auto *first = mine->Next->AsProject();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Caption, "C:\\Daten\\a.ckx");
    EXPECT_EQ(first->Next->AsProject()->Caption, "C:\\Daten\\a.ckx");
    EXPECT_TRUE(Man.FieldDefExists("20070305070403_Kunde"));
    EXPECT_TRUE(Man.FieldDefExists("20070305070404_Kunde"));
    EXPECT_EQ(first->FirstChild->AsProject()->FirstChild->AsTime()->Fields[0].Id,
              "20070305070403_Kunde");
}

TEST_F(FileTest, FileNamesBecomeDocumentTextInMessagesAndImportCaptions) {
    const fs::path file = Dir / "B\xC3\xBCro.ckx"; // UTF-8 on disk
    EXPECT_FALSE(Man.LoadFromFile(file.string(), false));
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_NE(Errors[0].find("B\xFCro.ckx\""), std::string::npos) << Errors[0];

    WriteFile(file, WorkedExample);
    ASSERT_TRUE(Man.LoadFromFile(file.string(), true));
    EXPECT_EQ(Man.Root->LastChild->AsProject()->Caption, (Dir / "B\xFCro.ckx").string());

    EXPECT_FALSE(Man.SaveToFile((Dir / "fehlt" / "\xC3\xA4.ckx").string()));
    ASSERT_EQ(Errors.size(), 2u);
    const std::string &error = Errors[1];
    EXPECT_NE(error.find("\xE4.ckx\""), std::string::npos) << error;
}

namespace {

// UTF-8 text as UTF-16LE bytes with a byte-order mark.
std::string Utf16LeFile(const std::string &Utf8) {
    std::string out = "\xFF\xFE";
    auto unit = [&out](unsigned u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    for (size_t i = 0; i < Utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(Utf8[i]);
        const int len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        unsigned cp = len == 1 ? c : len == 2 ? c & 0x1F : len == 3 ? c & 0x0F : c & 0x07;
        for (int k = 1; k < len; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(Utf8[i + k]) & 0x3F);
        i += static_cast<size_t>(len);
        if (cp < 0x10000) {
            unit(cp);
        } else {
            unit(0xD800 + ((cp - 0x10000) >> 10));
            unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
        }
    }
    return out;
}

// Caption "Łódź?" loses Ł and ź (ó and the file's own '?' stay), the comment loses the emoji
// (one character in two UTF-16 units) but keeps "€", the field value and the field id lose one
// each; the faulty entry is dropped and its comment is no loss of the document's.
const std::string LossyBody =
    "<ckx version=\"1.2\"><head><fielddef><fielditem id=\"\xC4\xA3\"/></fielddef></head><data>"
    "<project caption=\"\xC5\x81\xC3\xB3"
    "d\xC5\xBA?\">"
    "<item starttime=\"20070305080000\" endtime=\"20070305090000\">"
    "<comment>\xF0\x9F\x98\x80 \xE2\x82\xAC</comment>"
    "<fields><fielditem id=\"x\">\xE2\x86\x92</fielditem></fields></item>"
    "<item starttime=\"x\" endtime=\"y\"><comment>\xE2\x86\x92</comment></item>"
    "</project></data></ckx>";

const std::string LostFive = "Beim Lesen wurden 5 Zeichen, die das Dokument nicht speichern "
                             "kann, durch \"?\" ersetzt.";

struct LossCase {
    const char *Name;
    std::string Bytes;
    bool Import;
    bool Loads;
    std::string Warning; // the last message; empty: no loss reported
};

} // namespace

// Texts the document cannot hold still become '?', and one warning after the file's other
// messages says how many characters were replaced, so that the next save is no silent loss.
TEST_F(FileTest, CharactersTheDocumentCannotHoldAreCountedInOneWarning) {
    // UTF-8 is known by its byte-order mark.
    const std::string utf8 = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + LossyBody;
    const LossCase cases[] = {
        {"UTF-8", utf8, false, true, LostFive},
        {"UTF-16", Utf16LeFile("<?xml version=\"1.0\" encoding=\"UTF-16\"?>" + LossyBody), false,
         true, LostFive},
        {"import", utf8, true, true, LostFive},
        {"one character",
         "\xEF\xBB\xBF<ckx><data><project caption=\"\xC5\x81\xC3\xA9?\"/></data></ckx>", false,
         true,
         "Beim Lesen wurde 1 Zeichen, das das Dokument nicht speichern kann, durch \"?\" "
         "ersetzt."},
        {"only Windows-1252 and question marks",
         "\xEF\xBB\xBF<ckx><data><project "
         "caption=\"\xE2\x82\xAC \xC5\xA0? ??\"/></data></ckx>",
         false, true, ""},
        {"wrong root element", "\xEF\xBB\xBF<x>\xC5\x81</x>", false, false, ""},
    };
    for (const LossCase &c : cases) {
        TChronarkMan man;
        std::vector<std::string> heard;
        man.OnMessage = [&heard](TMessageKind Kind, const std::string &Text) {
            heard.push_back((Kind == TMessageKind::Warning ? "W:" : "E:") + Text);
        };
        EXPECT_EQ(static_cast<bool>(LoadDocumentFromBytes(man, c.Bytes, "t.ckx", c.Import)),
                  c.Loads)
            << c.Name;
        const size_t reports = std::count_if(heard.begin(), heard.end(), [](const std::string &m) {
            return m.find("Beim Lesen") != std::string::npos;
        });
        if (c.Warning.empty()) {
            EXPECT_EQ(reports, 0u) << c.Name;
            continue;
        }
        EXPECT_EQ(reports, 1u) << c.Name;
        ASSERT_FALSE(heard.empty()) << c.Name;
        EXPECT_EQ(heard.back(), "W:" + c.Warning) << c.Name << ": the last message";
    }

    // What was read is what the document holds: '?' where a character was lost.
    ASSERT_TRUE(Load(utf8));
    const auto *p = Man.Root->FirstChild->AsProject();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Caption, "?\xF3"
                          "d??");
    EXPECT_EQ(p->FirstChild->AsTime()->Comment, "? \x80");
    EXPECT_EQ(p->FirstChild->AsTime()->Fields, (tFieldList{{"x", "?"}}));
    EXPECT_TRUE(Man.FieldDefExists("?"));
    // The version warning and the faulty entry come first.
    ASSERT_EQ(Warnings.size(), 2u);
    EXPECT_NE(Warnings[0].find("aktuelleren Version"), std::string::npos);
    EXPECT_EQ(Warnings[1], LostFive);
    EXPECT_EQ(Errors.size(), 1u);
}

// Two open documents (a window's and a tool's, or two windows') must not hear each other: each
// reports to its own sink, in the order the messages arise, and a document without one writes
// to stderr.
TEST_F(FileTest, EachDocumentReportsToItsOwnSink) {
    TChronarkMan other;
    std::vector<std::string> heard;
    other.OnMessage = [&heard](TMessageKind Kind, const std::string &Text) {
        heard.push_back((Kind == TMessageKind::Warning ? "W:" : "E:") + Text);
    };
    const std::string newerWithABadItem = "<ckx version=\"2.0\"><data><item starttime=\"\" "
                                          "endtime=\"20070305100000\"/></data></ckx>";
    ASSERT_TRUE(LoadDocumentFromBytes(other, newerWithABadItem, "o.ckx", false));
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].substr(0, 2), "W:");
    EXPECT_NE(heard[1].find("E:Fehler in \"o.ckx\":\r\n\r\n1:"), std::string::npos) << heard[1];

    EXPECT_FALSE(Load("<ckx><data></ckx>"));
    EXPECT_FALSE(Man.SaveToFile((Dir / "fehlt" / "x.ckx").string()));
    EXPECT_EQ(Errors.size(), 2u);
    EXPECT_TRUE(Warnings.empty());
    EXPECT_EQ(heard.size(), 2u) << "the other document heard nothing of these";

    EXPECT_FALSE(other.SaveToFile((Dir / "fehlt" / "o.ckx").string()));
    ASSERT_EQ(heard.size(), 3u);
    EXPECT_NE(heard[2].find("o.ckx\" konnte nicht gespeichert werden.\r\n"), std::string::npos);
    EXPECT_EQ(Errors.size(), 2u);

    TChronarkMan silent;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(LoadDocumentFromBytes(silent, "<kcx/>", "s.ckx", false));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Fehler: Fehler in \"s.ckx\":\n\n1:1 - Ung\xC3\xBCltiges Rootelement\n");
    EXPECT_EQ(Errors.size(), 2u);
    EXPECT_EQ(heard.size(), 3u);
}

TEST_F(FileTest, TextsThatPlainConcatenationCannotCarryComeBackEqual) {
    Man.AddFieldDef("say \"hi\" it's <b>", ftString);
    Man.AddFieldDef("n", ftInteger);
    Man.AddFieldDef("d", ftDateTime);
    TCKProjectItem *p = Man.Root->AddProject("Tom's \"Kiste\" <alt> & \xE4\xF6\xFC \x80");
    p->AddTime({T(5, 9, 0),
                T(5, 10, 0),
                "ende ]]> mitten ]]]]> <tag> &amp;",
                {{"say \"hi\" it's <b>", "x]]>y"}, {"n", " 42"}, {"d", "05.03.2007 10:00:00"}}});
    Man.Root->AddProject("plain 'quote'");
    const std::string text = DocumentText(Man);
    TChronarkMan loaded;
    loaded.OnMessage = Capture();
    ASSERT_TRUE(LoadDocumentFromBytes(loaded, text, "x.ckx", false)) << text;
    EXPECT_EQ(DocumentText(loaded), text);
    EXPECT_TRUE(Errors.empty());
}

// --- Saving safely ---------------------------------------------------------------------

TEST_F(FileTest, FailedSavesKeepTheOldFileAndTheModifiedState) {
    Man.Root->AddProject("neu");
    struct Target {
        const char *name;
        std::string path;
    };
    const fs::path existing = Dir / "alt.ckx";
    WriteFile(existing, "alter Inhalt");
    // Outside Dir, whose entries are counted below.
    const fs::path Pipe =
        fs::temp_directory_path() / ("chronark-pipe-" + std::to_string(::getpid()));
    fs::remove(Pipe);
    std::vector<Target> targets = {
        {"missing folder", (Dir / "fehlt" / "x.ckx").string()},
        {"full disk", "/dev/full"},
        {"folder without write access for anybody", "/sys/chronark-test.ckx"},
        {"a folder", Dir.string()},
        {"a pipe, which would wait for a reader", Pipe.string()},
    };
    ASSERT_EQ(::mkfifo(Pipe.c_str(), 0600), 0);
    if (::geteuid() != 0) { // root writes into read-only folders anyway
        fs::permissions(Dir, fs::perms::owner_read | fs::perms::owner_exec);
        targets.push_back({"new file in a read-only folder", (Dir / "neu.ckx").string()});
    }
    for (const auto &t : targets) {
        const size_t before = Errors.size();
        EXPECT_FALSE(Man.SaveToFile(t.path)) << t.name;
        ASSERT_EQ(Errors.size(), before + 1) << t.name << ": one error for one failed save";
        const std::string &error = Errors.back();
        EXPECT_TRUE(Man.Modified) << t.name;
        EXPECT_NE(error.find(t.path), std::string::npos) << t.name << ": " << error;
        EXPECT_NE(error.find("konnte nicht gespeichert werden"), std::string::npos) << error;
    }
    fs::permissions(Dir, fs::perms::owner_all);
    EXPECT_EQ(ReadFile(existing), "alter Inhalt");
    EXPECT_EQ(std::distance(fs::directory_iterator(Dir), fs::directory_iterator()), 1)
        << "no temporary file is left behind";
    fs::remove(Pipe);
}

TEST_F(FileTest, SavingKeepsPermissionsAndFollowsLinks) {
    const fs::path real = Dir / "real.ckx", link = Dir / "link.ckx";
    WriteFile(real, "alt");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(real, link);
    ASSERT_TRUE(Man.SaveToFile(link.string()));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFile(real), DocumentText(Man));
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// A process killed at any moment of a save leaves the old or the new file, never a mix.
TEST_F(FileTest, KilledSavesLeaveTheOldOrTheNewFile) {
    auto build = [](TChronarkMan &M, const char *Word) {
        TCKProjectItem *p = M.Root->AddProject(Word);
        for (int i = 0; i < 5000; ++i)
            p->AddTime({T(1, 0, 0) + i / 24.0, T(1, 0, 30) + i / 24.0, Word, {}});
    };
    TChronarkMan oldDoc, newDoc;
    build(oldDoc, "alt");
    build(newDoc, "neu");
    const std::string oldText = DocumentText(oldDoc), newText = DocumentText(newDoc);
    const fs::path file = Dir / "doc.ckx";
    // Kill within about three saves' time, whatever the build and the machine's load.
    const auto begin = std::chrono::steady_clock::now();
    ASSERT_TRUE(newDoc.SaveToFile((Dir / "timing.ckx").string()));
    fs::remove(Dir / "timing.ckx");
    const auto saveMicros = std::chrono::duration_cast<std::chrono::microseconds>(
                                std::chrono::steady_clock::now() - begin)
                                .count();
    std::mt19937 rng(5);
    const int rounds = 200;
    int sawNew = 0, leftovers = 0;
    WriteFile(file, oldText);
    for (int round = 0; round < rounds; ++round) {
        // The child saves the two versions in turn, so every save replaces one by the other.
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) {
                newDoc.SaveToFile(file.string());
                oldDoc.SaveToFile(file.string());
            }
        }
        ::usleep(static_cast<useconds_t>(rng() % (3 * saveMicros + 1)));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const std::string now = ReadFile(file);
        ASSERT_TRUE(now == oldText || now == newText) << "round " << round << ": " << now.size();
        sawNew += now == newText;
        for (const auto &entry : fs::directory_iterator(Dir)) {
            if (entry.path() == file)
                continue;
            // The backup is written the same way: one version or the other, whole.
            if (entry.path() == BackupFileName(file.string())) {
                const std::string kept = ReadFile(entry.path());
                EXPECT_TRUE(kept == oldText || kept == newText) << "round " << round;
                continue;
            }
            // Temporary file of the killed save: unnamed until complete, so only a kill
            // between naming and renaming leaves one, under a name recognisably ours.
            ++leftovers;
            EXPECT_EQ(entry.path().filename().string().rfind(".chronark-", 0), 0u) << entry.path();
            fs::remove(entry.path());
        }
    }
    EXPECT_LE(leftovers, rounds / 20);
    EXPECT_GT(sawNew, 0);
    TChronarkMan reloaded;
    ASSERT_TRUE(reloaded.LoadFromFile(file.string(), false));
}

// --- Round trip of random documents ----------------------------------------------------

class RandomDocument {
public:
    explicit RandomDocument(unsigned Seed) : Rng(Seed) {}

    std::string Text(size_t MaxLen) {
        static const std::string pieces[] = {
            "a",   "Z", " ",    "  ", "\xE4", "\xDF", "&",    "\"",   "'", "<",     ">",
            "]]>", "]", "\r\n", "\n", "\r",   "\t",   "\x80", "\x01", "=", "&amp;", "\xFF"};
        std::string s;
        const size_t n = Rng() % (MaxLen + 1);
        while (s.size() < n)
            s += pieces[Rng() % std::size(pieces)];
        return s;
    }
    std::string Value(int Type) {
        switch (Type) {
        case ftBoolean:
            return Rng() % 2 ? "true" : "0";
        case ftInteger:
            return std::to_string(static_cast<int>(Rng() % 2000) - 1000);
        case ftFloat:
            return "3,25";
        case ftDateTime:
            return Rng() % 2 ? "05.03.2007 10:00:00" : "05.03.2007";
        default:
            return Text(12);
        }
    }
    void Fill(TChronarkMan &M) {
        for (int i = 0; i < 5; ++i)
            M.AddFieldDef("f" + std::to_string(i) + Text(4), static_cast<int>(i));
        std::vector<TCKProjectItem *> projects{M.Root.get()};
        for (int i = 0; i < 40; ++i) {
            TCKProjectItem *parent = projects[Rng() % projects.size()];
            if (Rng() % 3 == 0) {
                projects.push_back(parent->AddProject(Text(10)));
                continue;
            }
            tCKEditItem e;
            e.StartTime = T(5, 0, 0) + static_cast<double>(Rng() % 100000) / SecsPerDay;
            e.EndTime = e.StartTime + static_cast<double>(1 + Rng() % 10000) / SecsPerDay;
            e.Comment = Text(30);
            for (const auto &d : M.FieldDefs)
                if (Rng() % 2)
                    e.Fields.push_back({d.Id, Value(d.FieldType)});
            parent->AddTime(e);
        }
        M.DefaultProject = projects[Rng() % projects.size()];
    }

    std::mt19937 Rng;
};

// The parser reads CR LF and a lone CR as LF.
std::string LineFeeds(std::string S) {
    std::string out;
    for (size_t i = 0; i < S.size(); ++i) {
        if (S[i] == '\r') {
            out += '\n';
            if (i + 1 < S.size() && S[i + 1] == '\n')
                ++i;
        } else {
            out += S[i];
        }
    }
    return out;
}

TEST_F(FileTest, RandomDocumentsLoadBackEqual) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
        TChronarkMan original;
        RandomDocument(seed).Fill(original);
        const std::string bytes = DocumentText(original);
        TChronarkMan loaded;
        loaded.OnMessage = Capture();
        ASSERT_TRUE(LoadDocumentFromBytes(loaded, bytes, "r.ckx", false)) << bytes;
        ASSERT_TRUE(Errors.empty()) << Errors[0];

        for (auto &d : original.FieldDefs)
            d.Id = LineFeeds(d.Id);
        original.ReindexFieldDefs();
        std::vector<TCKProjectItem *> pending{original.Root.get()};
        while (!pending.empty()) {
            TCKProjectItem *p = pending.back();
            pending.pop_back();
            p->Caption = LineFeeds(p->Caption);
            for (TCKItem *c = p->FirstChild; c; c = c->Next) {
                if (c->IsProject()) {
                    pending.push_back(c->AsProject());
                    continue;
                }
                TCKTimeItem *e = c->AsTime();
                e->Comment = LineFeeds(e->Comment);
                for (auto &f : e->Fields) {
                    f.Id = LineFeeds(f.Id);
                    f.Value = LineFeeds(f.Value);
                }
            }
        }
        ASSERT_EQ(DocumentText(loaded), DocumentText(original)) << "seed " << seed;
        std::string why;
        ASSERT_TRUE(loaded.CheckInvariants(&why)) << why;
    }
}

} // namespace
