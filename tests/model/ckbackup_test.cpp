// Each save keeps the version it replaces as NAME.ckx.bak, one generation, and a file that is
// no version worth keeping never pushes a good backup out.

#include "base/messages.h"
#include "model/ckfile.h"
#include "model/ckfileio.h"
#include "model/ckm.h"
#include "tests/model/filebytes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class BackupTest : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() /
              ("chronark-backup-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(Dir);
        File = Dir / "doc.ckx";
        Bak = Dir / "doc.ckx.bak";
        Man.OnMessage = [this](TMessageKind Kind, const std::string &Text) {
            (Kind == TMessageKind::Error ? Errors : Warnings).push_back(Text);
        };
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(Dir, ec);
    }
    // Saves the document with one more project, answering the bytes written.
    std::string SaveWith(const std::string &Project) {
        Man.Root->AddProject(Project);
        EXPECT_TRUE(Man.SaveToFile(File.string()));
        return ReadFile(File);
    }

    fs::path Dir, File, Bak;
    TChronarkMan Man;
    std::vector<std::string> Errors, Warnings;
};

TEST_F(BackupTest, EachSaveKeepsExactlyThePreviousVersion) {
    EXPECT_EQ(BackupFileName("a/doc.ckx"), "a/doc.ckx.bak");
    SaveWith("eins");
    EXPECT_FALSE(fs::exists(Bak)) << "a new file has no earlier version";
    const std::string first = ReadFile(File);
    const std::string second = SaveWith("zwei");
    EXPECT_EQ(ReadFile(Bak), first);
    SaveWith("drei");
    EXPECT_EQ(ReadFile(Bak), second) << "one generation: the oldest is gone";
    EXPECT_TRUE(Errors.empty());
    EXPECT_TRUE(Warnings.empty());
    EXPECT_TRUE(Man.CheckInvariants());
}

TEST_F(BackupTest, TheBackupIsReplacedWholeNotOverwritten) {
    SaveWith("eins");
    SaveWith("zwei");
    const std::string older = ReadFile(Bak);
    // A second name of the old backup sees it unchanged: the new one is a new file.
    const fs::path Link = Dir / "link.bak";
    fs::create_hard_link(Bak, Link);
    SaveWith("drei");
    EXPECT_EQ(ReadFile(Link), older);
    EXPECT_NE(ReadFile(Bak), older);
}

TEST_F(BackupTest, AFileThatIsNoVersionNeverReplacesAGoodBackup) {
    const std::string header = DocumentHeader;
    struct Case {
        const char *name;
        std::string onDisk;
        bool kept; // the file on disk became the backup
    } cases[] = {
        {"empty file", "", false},
        {"cut off inside the header", header.substr(0, header.size() - 1), false},
        {"just the header", header, true},
    };
    for (const Case &c : cases) {
        const std::string good = "<?xml version=\"1.0\"?><ckx>gute Sicherung</ckx>" + header;
        WriteFile(Bak, good);
        WriteFile(File, c.onDisk);
        Man.Root->AddProject(c.name);
        ASSERT_TRUE(Man.SaveToFile(File.string())) << c.name;
        EXPECT_EQ(ReadFile(Bak), c.kept ? c.onDisk : good) << c.name;
        EXPECT_EQ(ReadFile(File), DocumentText(Man)) << c.name;
    }
    EXPECT_TRUE(Warnings.empty());
}

TEST_F(BackupTest, ABackupThatCannotBeWrittenStillLetsTheSaveGoAhead) {
    SaveWith("eins");
    fs::create_directory(Bak); // something that is no file sits on the backup's name
    const std::string written = SaveWith("zwei");
    EXPECT_EQ(written, DocumentText(Man));
    EXPECT_FALSE(Man.Modified);
    EXPECT_TRUE(Errors.empty());
    ASSERT_EQ(Warnings.size(), 1u);
    EXPECT_NE(Warnings[0].find("Die Sicherungskopie \"" + Bak.string() +
                               "\" konnte nicht geschrieben werden."),
              std::string::npos)
        << Warnings[0];
    EXPECT_TRUE(fs::is_directory(Bak));
}

} // namespace
