// What the program writes it reads back, and saving keeps what the user would expect kept.

#include "base/dates.h"
#include "base/fieldtype.h"
#include "base/messages.h"
#include "model/ckfile.h"
#include "model/ckfileio.h"
#include "model/ckm.h"
#include "tests/model/filebytes.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

TDateTime T(int h, int m = 0) {
    return EncodeDateTime(2007, 3, 5, h, m, 0);
}

// Ids of users that own nothing here; root's tests act as them.
constexpr uid_t User = 65534, OtherUser = 65533;

// Runs Check as an ordinary user: as User in a child process when the test runs as root (who
// may write anything), else directly. Check answers "" or what went wrong.
std::string AsOrdinaryUser(const std::function<std::string()> &Check) {
    if (::geteuid() != 0)
        return Check();
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        std::string result = ::setgid(User) == 0 && ::setuid(User) == 0 ? Check() : "no setuid";
        if (::write(pipeFds[1], result.data(), result.size()) < 0)
            ::_exit(2);
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string result;
    char buffer[256];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, static_cast<size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? result : "child failed";
}

class WriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() /
              ("chronark-write-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(Dir);
        Man.OnMessage = Capture(Errors, Warnings);
    }
    void TearDown() override {
        FileIoTestHooks = {};
        std::error_code ec;
        for (const auto &entry : fs::recursive_directory_iterator(Dir, ec))
            fs::permissions(entry.path(), fs::perms::owner_all, ec);
        fs::permissions(Dir, fs::perms::owner_all, ec);
        fs::remove_all(Dir, ec);
        std::string why;
        EXPECT_TRUE(Man.CheckInvariants(&why)) << why;
    }
    static TMessageSink Capture(std::vector<std::string> &E, std::vector<std::string> &W) {
        return [&E, &W](TMessageKind Kind, const std::string &Text) {
            (Kind == TMessageKind::Error ? E : W).push_back(Text);
        };
    }
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto &entry : fs::directory_iterator(Dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path Dir;
    TChronarkMan Man;
    std::vector<std::string> Errors, Warnings;
};

// --- Depth -------------------------------------------------------------------------------

TEST_F(WriteTest, TheDeepestAllowedDocumentSavesAndLoadsAndNothingGoesDeeper) {
    TCKProjectItem *deepest = Man.Root.get();
    TCKProjectItem *almost = nullptr;
    for (int depth = 1; depth <= MaxProjectDepth; ++depth) {
        almost = deepest;
        // Quotes of both kinds put the caption in an element of its own, one level deeper.
        deepest = Man.NewProject(deepest, "a\"b'c");
        ASSERT_NE(deepest, nullptr) << depth;
    }
    ASSERT_EQ(deepest->Depth(), MaxProjectDepth);
    // The deepest nesting an entry writes: item, fields, fielditem and the id as an element.
    Man.AddFieldDef("x<y", ftString);
    deepest->AddTime({T(9), T(10), "Kommentar", {{"x<y", "1"}}});
    const fs::path file = Dir / "tief.ckx";
    ASSERT_TRUE(Man.SaveToFile(file.string()));
    TChronarkMan loaded;
    std::vector<std::string> loadErrors, loadWarnings;
    loaded.OnMessage = Capture(loadErrors, loadWarnings);
    ASSERT_TRUE(loaded.LoadFromFile(file.string(), false));
    EXPECT_TRUE(DocumentText(loaded) == DocumentText(Man));

    // Adding below the deepest project, moving a subtree too deep, importing it one level
    // further down: each refused with a message, the document as it was.
    const std::string before = DocumentText(Man);
    EXPECT_EQ(Man.NewProject(deepest, "zu tief"), nullptr);
    TCKProjectItem *twoLevels = Man.Root->AddProject("zwei");
    twoLevels->AddProject("Ebenen");
    TCKProjectItem *leaf = Man.Root->AddProject("eine");
    EXPECT_FALSE(twoLevels->MoveTo(almost));
    EXPECT_EQ(twoLevels->Parent, Man.Root.get());
    EXPECT_TRUE(leaf->MoveTo(almost)) << "a leaf fits beside the deepest project";
    leaf->Delete();
    twoLevels->Delete();
    EXPECT_FALSE(Man.LoadFromFile(file.string(), true));
    EXPECT_TRUE(DocumentText(Man) == before);
    ASSERT_EQ(Errors.size(), 3u);
    for (const std::string &e : Errors)
        EXPECT_NE(e.find("h\xF6"
                         "chstens 994 Ebenen"),
                  std::string::npos)
            << e;
    EXPECT_NE(Errors[1].find("verschoben"), std::string::npos) << Errors[1];
    EXPECT_NE(Errors[2].find("importiert"), std::string::npos) << Errors[2];
}

TEST_F(WriteTest, FilesNestingProjectsDeeperThanTheLimitAreRefused) {
    auto nested = [](int Depth, const char *Inner) {
        std::string text = "<ckx><data>";
        for (int i = 0; i < Depth; ++i)
            text += "<project caption=\"p\">";
        text += Inner;
        for (int i = 0; i < Depth; ++i)
            text += "</project>";
        return text + "</data></ckx>";
    };
    const std::string item = "<item starttime=\"20070305090000\" endtime=\"20070305100000\"/>";
    Man.Root->AddProject("offen");
    struct Case {
        const char *name;
        std::string text;
        bool loads;
    } cases[] = {
        {"deepest allowed", nested(MaxProjectDepth, item.c_str()), true},
        {"one project deeper", nested(MaxProjectDepth + 1, ""), false},
        {"an entry one deeper", nested(MaxProjectDepth + 1, item.c_str()), false},
    };
    for (const Case &c : cases) {
        Errors.clear();
        const std::string before = DocumentText(Man);
        EXPECT_EQ(static_cast<bool>(LoadDocumentFromBytes(Man, c.text, "t.ckx", false)), c.loads)
            << c.name;
        EXPECT_EQ(Errors.size(), c.loads ? 0u : 1u) << c.name;
        EXPECT_EQ(DocumentText(Man) == before, !c.loads) << c.name << ": kept when refused";
    }
}

// --- Field ids ---------------------------------------------------------------------------

TEST_F(WriteTest, IllTypedValuesGoToAStringFieldThatStaysOneAcrossSaves) {
    struct Case {
        const char *name, *defs, *valueId;
    } cases[] = {
        {"free .string id", "<fielditem id=\"b\" type=\"boolean\"/>", "b.string"},
        {"string field already",
         "<fielditem id=\"b\" type=\"boolean\"/>"
         "<fielditem id=\"b.string\" type=\"string\"/>",
         "b.string"},
        {".string of another type",
         "<fielditem id=\"b\" type=\"boolean\"/>"
         "<fielditem id=\"b.string\" type=\"boolean\"/>",
         "b.string2"},
        {"several taken, other case",
         "<fielditem id=\"b\" type=\"boolean\"/>"
         "<fielditem id=\"B.STRING\" type=\"integer\"/>"
         "<fielditem id=\"b.String2\" type=\"boolean\"/>",
         "b.string3"},
    };
    for (const Case &c : cases) {
        const std::string item = "<item starttime=\"20070305090000\" endtime=\"20070305100000\">"
                                 "<fields><fielditem id=\"b\">yes</fielditem></fields></item>";
        const std::string text = std::string("<ckx><head><fielddef>") + c.defs +
                                 "</fielddef></head><data>" + item + item + "</data></ckx>";
        TChronarkMan first, second;
        ASSERT_TRUE(LoadDocumentFromBytes(first, text, "t.ckx", false)) << c.name;
        for (const TCKTimeItem *e : first.AllEntries())
            EXPECT_EQ(e->Fields, (tFieldList{{c.valueId, "yes"}})) << c.name;
        EXPECT_EQ(first.FieldDefType(c.valueId), ftString) << c.name;
        const std::string saved = DocumentText(first);
        ASSERT_TRUE(LoadDocumentFromBytes(second, saved, "t.ckx", false)) << c.name;
        EXPECT_EQ(DocumentText(second), saved) << c.name;
    }
}

// --- Saving ------------------------------------------------------------------------------

TEST_F(WriteTest, PermissionsOfFileAndFolderDecideHowTheFileIsSaved) {
    Man.Root->AddProject("neu");
    const std::string text = DocumentText(Man);
    struct Case {
        const char *name;
        fs::perms folder, file;
        bool saves;
    } cases[] = {
        {"write-protected file", fs::perms::owner_all, fs::perms::owner_read, false},
        {"writable file in a read-only folder", fs::perms::owner_read | fs::perms::owner_exec,
         fs::perms::owner_read | fs::perms::owner_write, true},
    };
    for (const Case &c : cases) {
        const fs::path folder = Dir / c.name, file = folder / "doc.ckx";
        fs::create_directory(folder);
        WriteFile(file, "alt");
        if (::geteuid() == 0) {
            ASSERT_EQ(::chown(folder.c_str(), User, User), 0);
            ASSERT_EQ(::chown(file.c_str(), User, User), 0);
        }
        struct stat st {};
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        const ino_t inode = st.st_ino;
        fs::permissions(file, c.file);
        fs::permissions(folder, c.folder);
        const std::string result = AsOrdinaryUser([&]() -> std::string {
            std::vector<std::string> e, w;
            Man.OnMessage = Capture(e, w);
            const bool saved = static_cast<bool>(Man.SaveToFile(file.string()));
            if (saved != c.saves)
                return saved ? "saved" : "not saved: " + e.front();
            if (!saved && e.front().find("Zugriff verweigert.") == std::string::npos)
                return "message: " + e.front();
            return "";
        });
        Man.OnMessage = Capture(Errors, Warnings);
        EXPECT_EQ(result, "") << c.name;
        EXPECT_EQ(ReadFile(file), c.saves ? text : "alt") << c.name;
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_ino, inode) << c.name << ": the same file, not a new one";
    }
}

TEST_F(WriteTest, AWritableFileOfAnotherUserInASharedStickyFolderIsSavedInPlace) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs a second user";
    const fs::path folder = Dir / "shared", file = folder / "doc.ckx";
    fs::create_directory(folder);
    WriteFile(file, "alt");
    ASSERT_EQ(::chown(folder.c_str(), OtherUser, OtherUser), 0);
    ASSERT_EQ(::chown(file.c_str(), OtherUser, OtherUser), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 01777), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
    Man.Root->AddProject("neu");
    EXPECT_EQ(AsOrdinaryUser([&]() -> std::string {
                  return Man.SaveToFile(file.string()) ? "" : "not saved";
              }),
              "");
    EXPECT_EQ(ReadFile(file), DocumentText(Man));
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, OtherUser);
}

TEST_F(WriteTest, SavesKeepOwnerAndGroupWhereTheSystemAllows) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give files away";
    const fs::path file = Dir / "fremd.ckx";
    WriteFile(file, "alt");
    ASSERT_EQ(::chown(file.c_str(), User, OtherUser), 0);
    ASSERT_EQ(::chmod(file.c_str(), 02640), 0);
    ASSERT_TRUE(Man.SaveToFile(file.string()));
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, User);
    EXPECT_EQ(st.st_gid, OtherUser);
    EXPECT_EQ(st.st_mode & 07777, 02640u);
}

TEST_F(WriteTest, NamesAtTheLengthLimitSave) {
    const std::string name = std::string(251, 'n') + ".ckx";
    ASSERT_TRUE(Man.SaveToFile((Dir / name).string()));
    EXPECT_TRUE(Man.SaveToFile((Dir / name).string()));
    EXPECT_EQ(Entries(), std::vector<std::string>{name});
}

TEST_F(WriteTest, NamedTemporariesAreOursAndOnlyOurStaleOnesGo) {
    FileIoTestHooks.NoUnnamedTemporaries = true;
    const fs::path file = Dir / "doc.ckx";
    const auto twoHoursAgo = fs::file_time_type::clock::now() - std::chrono::hours(2);
    const char *old[] = {".chronark-aB3dE9.tmp", "doc.ckx.aB3dE9", ".chronark-abc.tmp",
                         ".chronark-aB3dE9.tmp.bak"};
    for (const char *name : old) {
        WriteFile(Dir / name, "x");
        fs::last_write_time(Dir / name, twoHoursAgo);
    }
    WriteFile(Dir / ".chronark-Fresh1.tmp", "x"); // a save running now
    ASSERT_TRUE(Man.SaveToFile(file.string()));
    EXPECT_EQ(Entries(),
              (std::vector<std::string>{".chronark-Fresh1.tmp", ".chronark-aB3dE9.tmp.bak",
                                        ".chronark-abc.tmp", "doc.ckx", "doc.ckx.aB3dE9"}));
    EXPECT_EQ(ReadFile(file), DocumentText(Man));
}

int FailingSync(int) {
    errno = EIO;
    return -1;
}

TEST_F(WriteTest, AFolderThatCannotBeSyncedIsAWarningOnASuccessfulSave) {
    FileIoTestHooks.SyncFolder = FailingSync;
    Man.Root->AddProject("neu");
    ASSERT_TRUE(Man.SaveToFile((Dir / "doc.ckx").string()));
    EXPECT_FALSE(Man.Modified);
    EXPECT_TRUE(Errors.empty());
    ASSERT_EQ(Warnings.size(), 1u);
    EXPECT_NE(Warnings[0].find("wurde gespeichert"), std::string::npos) << Warnings[0];
    EXPECT_NE(Warnings[0].find("Ein-/Ausgabefehler."), std::string::npos) << Warnings[0];
}

int (*SyncErrorWith(int Error))(int) {
    static int chosen;
    chosen = Error;
    return [](int) {
        errno = chosen;
        return -1;
    };
}

// --- Results -----------------------------------------------------------------------------

TEST_F(WriteTest, AWholeFileReadAnswersWhatKeptItFromTheBytes) {
    const fs::path file = Dir / "doc.ckx";
    WriteFile(file, "inhalt");
    const TResultWith<std::string> read = ReadWholeFile(file.string());
    ASSERT_TRUE(read.Result) << read.Result.Message();
    EXPECT_EQ(read.Value, "inhalt");
    EXPECT_EQ(read.Result.Message(), "");
    EXPECT_EQ(read.Result.Position(), -1);

    struct Case {
        const char *name;
        fs::path path;
        TStatus status;
        std::string message;
    } cases[] = {
        {"missing file", Dir / "fehlt.ckx", TStatus::NotFound,
         "Der Ordner oder die Datei existiert nicht."},
        {"missing folder", Dir / "fehlt" / "doc.ckx", TStatus::NotFound,
         "Der Ordner oder die Datei existiert nicht."},
        {"folder", Dir, TStatus::NotAFile, "Der Name bezeichnet einen Ordner."},
        {"a file as folder", file / "doc.ckx", TStatus::NotFound,
         "Ein Teil des Pfades ist kein Ordner."},
        {"device", "/dev/null", TStatus::NotAFile,
         "Der Name bezeichnet keine gew\xF6hnliche Datei, sondern ein Ger\xE4t oder eine Pipe."},
    };
    for (const Case &c : cases) {
        const TResultWith<std::string> failed = ReadWholeFile(c.path.string());
        EXPECT_FALSE(failed.Result) << c.name;
        EXPECT_EQ(failed.Result.Status(), c.status) << c.name;
        EXPECT_EQ(failed.Result.Message(), c.message) << c.name;
        EXPECT_EQ(failed.Value, "") << c.name;
    }

    // Sparse: the size is what counts, not the blocks.
    const fs::path huge = Dir / "huge.ckx";
    WriteFile(huge, "");
    ASSERT_EQ(::truncate(huge.c_str(), static_cast<off_t>(MaxDocumentBytes) + 1), 0);
    const TResultWith<std::string> tooLarge = ReadWholeFile(huge.string());
    EXPECT_EQ(tooLarge.Result.Status(), TStatus::TooLarge);
    EXPECT_EQ(tooLarge.Result.Message(), FileTooLargeText(MaxDocumentBytes + 1));
    EXPECT_EQ(tooLarge.Value, "");

    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(file.c_str(), User, User), 0);
    }
    fs::permissions(file, fs::perms::none);
    const std::string denied = AsOrdinaryUser([&]() -> std::string {
        const TResultWith<std::string> r = ReadWholeFile(file.string());
        return r.Result.Status() == TStatus::AccessDenied &&
                       r.Result.Message() == "Zugriff verweigert." && r.Value.empty()
                   ? ""
                   : "status " + std::to_string(static_cast<int>(r.Result.Status())) + ": " +
                         r.Result.Message();
    });
    EXPECT_EQ(denied, "");
}

TEST_F(WriteTest, ARefusedWriteAnswersWhyAndKeepsTheOldFile) {
    const fs::path file = Dir / "doc.ckx", open = Dir / "offen.ckx", link = Dir / "link.ckx";
    WriteFile(file, "alt");
    WriteFile(open, "offen");
    fs::create_symlink(open, link);
    TWriteOptions keepOpen;
    keepOpen.Protected = open.string();
    // The checks before the work know no more than the target itself: a missing folder shows
    // only when the write tries it.
    struct Case {
        const char *name;
        fs::path target;
        TWriteOptions options;
        TStatus status;
        bool checked;
    } cases[] = {
        {"folder", Dir, {}, TStatus::NotAFile, true},
        {"missing folder", Dir / "fehlt" / "x.ckx", {}, TStatus::NotFound, false},
        {"the open document", open, keepOpen, TStatus::Refused, true},
        {"a link to the open document", link, keepOpen, TStatus::Refused, true},
    };
    for (const Case &c : cases) {
        const TResult checked = CheckOutputTarget(c.target.string(), c.options);
        EXPECT_EQ(checked.Status(), c.checked ? c.status : TStatus::Ok) << c.name;
        const TResultWith<TFileStamp> written =
            WriteFileAtomic(c.target.string(), "neu", c.options);
        EXPECT_EQ(written.Result.Status(), c.status) << c.name;
        if (c.checked) {
            EXPECT_EQ(written.Result.Message(), checked.Message()) << c.name;
        }
        EXPECT_FALSE(written.Value.Exists) << c.name;
    }
    EXPECT_EQ(ReadFile(open), "offen");

    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(file.c_str(), User, User), 0);
    }
    fs::permissions(file, fs::perms::owner_read);
    const std::string refused = AsOrdinaryUser([&]() -> std::string {
        const TResultWith<TFileStamp> r = WriteFileAtomic(file.string(), "neu");
        if (r.Result.Status() != TStatus::AccessDenied ||
            r.Result.Message() != "Zugriff verweigert.")
            return "write-protected: " + r.Result.Message();
        return ReadFile(file) == "alt" ? "" : "the old file changed";
    });
    EXPECT_EQ(refused, "");

    // A success answers the stamp of the file as written.
    const TResultWith<TFileStamp> done = WriteFileAtomic((Dir / "neu.ckx").string(), "neu");
    ASSERT_TRUE(done.Result) << done.Result.Message();
    EXPECT_EQ(done.Value, FileStampOf((Dir / "neu.ckx").string()));
    EXPECT_EQ(done.Value.Size, 3);
}

TEST_F(WriteTest, LoadAndSaveAnswerTheErrorTheyReported) {
    const fs::path file = Dir / "doc.ckx";
    WriteFile(file, "<?xml version=\"1.0\"?>\r\n<ckx><data><item></data></ckx>");
    const TResult broken = Man.LoadFromFile(file.string(), false);
    EXPECT_EQ(broken.Status(), TStatus::BadDocument);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(broken.Message(), Errors.back());
    // The byte offset the message's line and column stand for.
    EXPECT_GT(broken.Position(), 20);
    EXPECT_LT(broken.Position(), 50);

    WriteFile(file, "<?xml version=\"1.0\"?>\r\n<kcx/>");
    const TResult wrongRoot = Man.LoadFromFile(file.string(), false);
    EXPECT_EQ(wrongRoot.Status(), TStatus::BadDocument);
    EXPECT_EQ(wrongRoot.Message(), Errors.back());
    EXPECT_EQ(wrongRoot.Position(), 23);

    const TResult missing = Man.LoadFromFile((Dir / "fehlt.ckx").string(), false);
    EXPECT_EQ(missing.Status(), TStatus::NotFound);
    EXPECT_EQ(missing.Message(), Errors.back());

    const TResult folder = Man.LoadFromFile(Dir.string(), false);
    EXPECT_EQ(folder.Status(), TStatus::NotAFile);
    EXPECT_EQ(folder.Message(), Errors.back());
    EXPECT_NE(folder.Message().find("Die Datei kann nicht gelesen werden. Der Name bezeichnet "
                                    "einen Ordner."),
              std::string::npos)
        << folder.Message();
    EXPECT_EQ(Errors.size(), 4u);

    const TResult notSaved = Man.SaveToFile((Dir / "fehlt" / "x.ckx").string());
    EXPECT_EQ(notSaved.Status(), TStatus::NotFound);
    EXPECT_EQ(notSaved.Message(), Errors.back());
    EXPECT_EQ(Errors.size(), 5u);

    // A success carries the warning it reported; the sink is the one it had before.
    FileIoTestHooks.SyncFolder = FailingSync;
    const TResult saved = Man.SaveToFile(file.string());
    ASSERT_TRUE(saved);
    ASSERT_EQ(Warnings.size(), 1u);
    EXPECT_EQ(saved.Message(), Warnings[0]);
    FileIoTestHooks = {};
    const TResult loaded = Man.LoadFromFile(file.string(), false);
    EXPECT_TRUE(loaded);
    EXPECT_EQ(loaded.Message(), "");
    Man.OnMessage = nullptr;
    EXPECT_EQ(Errors.size(), 5u);
}

TEST_F(WriteTest, EveryReasonIsGerman) {
    for (int error : {EXDEV, EBUSY, ELOOP, EFBIG, ENOMEM, EMFILE, ESTALE, EBADF, EPIPE, ENOLCK,
                      EOVERFLOW, 12345}) {
        Warnings.clear();
        FileIoTestHooks.SyncFolder = SyncErrorWith(error);
        ASSERT_TRUE(Man.SaveToFile((Dir / "doc.ckx").string()));
        ASSERT_EQ(Warnings.size(), 1u);
        EXPECT_EQ(Warnings[0].find(std::strerror(error)), std::string::npos) << Warnings[0];
        EXPECT_EQ(Warnings[0].find("error"), std::string::npos) << Warnings[0];
    }
}

TEST_F(WriteTest, ChangesByOthersSinceLoadOrSaveAreSeen) {
    const fs::path file = Dir / "doc.ckx", other = Dir / "other.ckx";
    ASSERT_TRUE(Man.SaveToFile(file.string()));
    EXPECT_FALSE(Man.ChangedOnDisk(file.string()));
    EXPECT_FALSE(Man.ChangedOnDisk(other.string())) << "not the document's file";

    WriteFile(file, "<ckx><data><project caption=\"fremd\"/></data></ckx>");
    EXPECT_TRUE(Man.ChangedOnDisk(file.string())) << "written by another program";
    ASSERT_TRUE(Man.SaveToFile(file.string()));
    EXPECT_FALSE(Man.ChangedOnDisk(file.string()));

    // Replaced by a file of the same size and time, as another program saving by renaming.
    WriteFile(other, ReadFile(file));
    fs::last_write_time(other, fs::last_write_time(file));
    fs::rename(other, file);
    EXPECT_TRUE(Man.ChangedOnDisk(file.string()));

    ASSERT_TRUE(Man.LoadFromFile(file.string(), false));
    EXPECT_FALSE(Man.ChangedOnDisk(file.string()));
    fs::remove(file);
    EXPECT_FALSE(Man.ChangedOnDisk(file.string())) << "nothing there to lose";
    Man.Clear();
    EXPECT_EQ(Man.DiskFile, "");
}

} // namespace
