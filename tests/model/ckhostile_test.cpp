// Documents built to make loading slow or large, and inputs that are not ordinary files: each
// ends with the document or a clean message, in bounded time and memory.
#include "base/dates.h"
#include "base/fieldtype.h"
#include "model/ckfile.h"
#include "model/ckfileio.h"
#include "model/ckm.h"
#include "tests/model/hostile_documents.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define CK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CK_ASAN 1
#endif
#endif

namespace {

struct TMessages {
    std::vector<std::string> Texts;
    TMessageSink Sink() {
        return [this](TMessageKind, const std::string &Text) { Texts.push_back(Text); };
    }
};

// A document with one project and one entry, to see that a refused load leaves it alone.
void FillSmall(TChronarkMan &Man) {
    tCKEditItem e;
    e.StartTime = EncodeDateTime(2007, 3, 5, 9, 0, 0, 0);
    e.EndTime = EncodeDateTime(2007, 3, 5, 10, 0, 0, 0);
    Man.Root->AddProject("alt")->AddTime(e);
    Man.SetSaved(true);
}

bool StillSmall(const TChronarkMan &Man) {
    return Man.AllEntries().size() == 1 && Man.Root->FirstChild &&
           Man.Root->FirstChild->AsProject()->Caption == "alt" && Man.CheckInvariants();
}

// Runs Body in a child under an address-space limit (none under AddressSanitizer, which
// reserves far more) and a time limit; the child's answer is its exit code.
int RunLimited(size_t LimitBytes, unsigned Seconds, const std::function<int()> &Body) {
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
#ifndef CK_ASAN
        const rlimit limit{LimitBytes, LimitBytes};
        setrlimit(RLIMIT_AS, &limit);
#else
        (void)LimitBytes;
#endif
        alarm(Seconds);
        _exit(Body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

// Memory in use now, so that limits are counted on top of what the test process holds.
size_t AddressSpace() {
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0;
    statm >> pages;
    return pages * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

constexpr size_t MiB = size_t{1} << 20;

// AddressSanitizer makes every allocation many times dearer: there the shapes are smaller and
// the time limit wider, and the optimised build keeps the sizes that expose a square.
#ifdef CK_ASAN
constexpr long Scale = 10;
constexpr unsigned TimeLimit = 120;
#else
constexpr long Scale = 1;
constexpr unsigned TimeLimit = 20;
#endif

// Each shape at a size that takes minutes or gigabytes when its cost grows with the square;
// Loaded: whether the document is to load, or to be refused with a message.
TEST(HostileDocuments, LoadInBoundedTimeAndMemory) {
    struct TRow {
        const char *Name;
        std::string Bytes;
        bool Loaded;
        size_t Entries;
    };
    const TRow rows[] = {
        {"staircase", hostile::Staircase(80000), false, 0},
        {"chain", hostile::Chain(100000 / Scale), true, 100000 / Scale},
        {"empty field ids", hostile::EmptyFieldIds(20000 / Scale), true, 1},
        {"distinct field ids", hostile::ManyFieldIds(40000 / Scale), true, 1},
        {"bad times", hostile::BadTimes(40000 / Scale), true, 0},
        {"ignored elements", hostile::IgnoredElements(2500000 / Scale), true, 1},
    };
    for (const TRow &row : rows) {
        SCOPED_TRACE(row.Name);
        const size_t limit = AddressSpace() + 400 * MiB;
        const int code = RunLimited(limit, TimeLimit, [&] {
            TChronarkMan man;
            TMessages messages;
            man.OnMessage = messages.Sink();
            FillSmall(man);
            const bool loaded =
                static_cast<bool>(LoadDocumentFromBytes(man, row.Bytes, "h.ckx", false));
            if (loaded != row.Loaded)
                return 1;
            if (!loaded)
                return StillSmall(man) && messages.Texts.size() == 1 ? 0 : 2;
            return man.AllEntries().size() == row.Entries && man.CheckInvariants() ? 0 : 3;
        });
        EXPECT_EQ(code, 0);
    }
}

TEST(HostileDocuments, EmptyFieldIdsGetTheSameIdsAsBefore) {
    TChronarkMan man;
    man.AddFieldDef("ID2", ftString);
    ASSERT_TRUE(LoadDocumentFromBytes(man, hostile::EmptyFieldIds(3), "h.ckx", true));
    std::vector<std::string> ids;
    for (const tFieldDefItem &d : man.FieldDefs)
        ids.push_back(d.Id);
    // The import prefix is a time stamp: compare what follows it.
    ASSERT_EQ(ids.size(), 4u);
    EXPECT_EQ(ids[1].substr(ids[1].find('_')), "_id1");
    EXPECT_EQ(man.UniqueFieldId("id"), "id1");
    man.AddFieldDef("Id1", ftString);
    EXPECT_EQ(man.UniqueFieldId("iD"), "iD3");
    man.Clear();
    EXPECT_EQ(man.UniqueFieldId("id"), "id1");
    EXPECT_TRUE(LoadDocumentFromBytes(man, hostile::EmptyFieldIds(3), "h.ckx", false));
    EXPECT_EQ(man.FieldDefs,
              (tFieldDefList{{"id1", ftString}, {"id2", ftString}, {"id3", ftString}}));
    EXPECT_TRUE(man.FieldDefExists("ID3"));
    EXPECT_FALSE(man.FieldDefExists("id4"));
}

TEST(HostileDocuments, BadTimesShowTenAndACount) {
    struct TRow {
        const char *Name;
        long Faults;
        bool All;
        size_t Messages;
        const char *Last;
    };
    const TRow rows[] = {
        {"ten", 10, false, 10, "13:1 - Ung\xFCltige Zeitangabe(n)"},
        {"eleven", 11, false, 11,
         "\x85 und ein weiterer Eintrag mit ung\xFCltiger Zeitangabe "
         "wurde \xFC"
         "bergangen."},
        {"many", 500, false, 11,
         "\x85 und 490 weitere Eintr\xE4ge mit ung\xFCltiger Zeitangabe "
         "wurden \xFC"
         "bergangen."},
        {"all asked for", 500, true, 500, "503:1 - Ung\xFCltige Zeitangabe(n)"},
    };
    for (const TRow &row : rows) {
        SCOPED_TRACE(row.Name);
        TChronarkMan man;
        TMessages messages;
        man.OnMessage = messages.Sink();
        man.ReportAllTimeFaults = row.All;
        ASSERT_TRUE(LoadDocumentFromBytes(man, hostile::BadTimes(row.Faults), "b.ckx", false));
        ASSERT_EQ(messages.Texts.size(), row.Messages);
        EXPECT_EQ(messages.Texts[0],
                  "Fehler in \"b.ckx\":\r\n\r\n4:1 - Ung\xFCltige Zeitangabe(n)");
        EXPECT_EQ(messages.Texts.back(), std::string("Fehler in \"b.ckx\":\r\n\r\n") + row.Last);
    }
}

// The bound on the segment list, lowered so that a test reaches it: every way in refuses
// with the message and leaves the document as it was.
TEST(HostileDocuments, OverlapBoundRefusesEveryWayIn) {
    tCKEditItem e;
    const TDateTime day = EncodeDateTime(2007, 3, 5, 0, 0, 0, 0);
    const auto staircase = [&](TCKProjectItem *P, int N) {
        for (int i = 0; i < N; ++i) {
            e.StartTime = day + i / 86400.0;
            e.EndTime = day + 0.5;
            if (!P->AddTime(e))
                return i;
        }
        return N;
    };
    TChronarkMan man;
    TMessages messages;
    man.OnMessage = messages.Sink();
    man.CoverageLimit = 100;
    // 13 entries of the staircase hold 91, the fourteenth would make it 105.
    EXPECT_EQ(staircase(man.Root.get(), 20), 13);
    EXPECT_EQ(man.ReducedTime->Coverage(), 91u);
    ASSERT_EQ(messages.Texts.size(), 1u);
    EXPECT_EQ(messages.Texts[0], "Zu viele einander \xFC"
                                 "berlappende Zeiten: Die Zeitabschnitte des Dokuments k\xE4men "
                                 "zusammen auf 105 Eintr\xE4ge, h\xF6"
                                 "chstens 100 sind m\xF6glich.\r\nDie Zeit wurde nicht "
                                 "hinzugef\xFCgt.");
    const std::string before = DocumentText(man);

    TChronarkMan other;
    TCKProjectItem *moved = other.Root->AddProject("p");
    staircase(moved, 5);
    EXPECT_FALSE(moved->MoveTo(man.Root.get()));
    EXPECT_EQ(moved->Parent, other.Root.get());
    EXPECT_EQ(other.AllEntries().size(), 5u);

    const std::string file = hostile::Staircase(14);
    EXPECT_FALSE(LoadDocumentFromBytes(man, file, "s.ckx", true));
    EXPECT_NE(messages.Texts.back().find("Die Datei wurde nicht importiert."), std::string::npos);
    EXPECT_FALSE(LoadDocumentFromBytes(man, file, "s.ckx", false));
    EXPECT_NE(messages.Texts.back().find("Die Datei wurde nicht geladen."), std::string::npos);
    EXPECT_EQ(DocumentText(man), before);
    EXPECT_TRUE(man.CheckInvariants());
    // A file within the bound on its own replaces the document.
    EXPECT_TRUE(LoadDocumentFromBytes(man, hostile::Staircase(13), "s.ckx", false));
    EXPECT_TRUE(man.CheckInvariants());
}

// The gain foretold for a set of entries is what entering them adds, for random documents.
TEST(HostileDocuments, CoverageGainForetellsTheList) {
    std::mt19937 rng(7);
    const TDateTime day = EncodeDateTime(2007, 3, 5, 0, 0, 0, 0);
    for (int round = 0; round < 200; ++round) {
        TChronarkMan man;
        const auto span = [&] {
            const int start = static_cast<int>(rng() % 60);
            return std::make_pair(day + start / 86400.0,
                                  day + (start + 1 + static_cast<int>(rng() % 20)) / 86400.0);
        };
        for (unsigned i = rng() % 12; i > 0; --i) {
            const auto [s, t] = span();
            man.Root->AddTime({s, t, "", {}});
        }
        std::vector<std::pair<TDateTime, TDateTime>> spans(1 + rng() % 5);
        for (auto &s : spans)
            s = span();
        const uint64_t before = man.ReducedTime->Coverage();
        const uint64_t gain = man.ReducedTime->CoverageGain(spans);
        for (const auto &[s, t] : spans)
            man.Root->AddTime({s, t, "", {}});
        ASSERT_EQ(man.ReducedTime->Coverage(), before + gain) << "round " << round;
        std::string why;
        ASSERT_TRUE(man.CheckInvariants(&why)) << why;
    }
}

// Devices, pipes and huge files are refused with a message; the open document stays.
TEST(HostileDocuments, OnlyRegularFilesOfBoundedSizeAreRead) {
    const std::string dir =
        std::filesystem::temp_directory_path() / ("chronark-hostile-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string fifo = dir + "/pipe.ckx";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string huge = dir + "/huge.ckx";
    std::ofstream(huge).close();
    ASSERT_EQ(truncate(huge.c_str(), off_t{3} << 30), 0);
    const std::string notRead = "\":\r\n\r\nDie Datei kann nicht gelesen werden. ";
    const std::string special = "Der Name bezeichnet keine gew\xF6hnliche Datei, sondern ein "
                                "Ger\xE4t oder eine Pipe.";
    struct TRow {
        std::string File, Reason;
        TStatus Status;
    } rows[] = {
        {fifo, special, TStatus::NotAFile},
        {"/dev/zero", special, TStatus::NotAFile},
        {huge,
         "Die Datei ist mit 3.221.225.472 Bytes zu gro\xDF; h\xF6"
         "chstens 1.073.741.824 Bytes sind m\xF6glich.",
         TStatus::TooLarge},
    };
    for (const TRow &row : rows) {
        SCOPED_TRACE(row.File);
        const int code = RunLimited(AddressSpace() + 256 * MiB, TimeLimit, [&] {
            TChronarkMan man;
            TMessages messages;
            man.OnMessage = messages.Sink();
            FillSmall(man);
            const TResult loaded = man.LoadFromFile(row.File, false);
            if (loaded || !StillSmall(man))
                return 1;
            const std::string expected = "Fehler in \"" + row.File + notRead + row.Reason;
            if (messages.Texts != std::vector<std::string>{expected})
                return 2;
            return loaded.Status() == row.Status && loaded.Message() == expected ? 0 : 3;
        });
        EXPECT_EQ(code, 0);
    }
    std::filesystem::remove_all(dir);
}

#ifndef CK_ASAN
// Running out of memory while reading gives a message and keeps the open document.
TEST(HostileDocuments, OutOfMemoryKeepsTheOpenDocument) {
    const std::string file = hostile::Chain(400000);
    const int code = RunLimited(AddressSpace() + 48 * MiB, TimeLimit, [&] {
        TChronarkMan man;
        TMessages messages;
        man.OnMessage = messages.Sink();
        FillSmall(man);
        if (LoadDocumentFromBytes(man, file, "m.ckx", false))
            return 1;
        return StillSmall(man) && messages.Texts.size() == 1 &&
                       messages.Texts[0].find("Arbeitsspeicher") != std::string::npos
                   ? 0
                   : 2;
    });
    EXPECT_EQ(code, 0);
}
#endif

} // namespace
