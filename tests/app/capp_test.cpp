#include "app/capp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

namespace fs = std::filesystem;

namespace {

struct TCmdCase {
    const char *Name;
    std::vector<std::string> Params;
    std::string FileName;
    std::vector<TCommandSwitch> Switches;
};

void ExpectParsed(const TCmdCase &C, const TSwitchPrefixes &Prefixes) {
    tAppParam cmd;
    ParseCommandLine(cmd, C.Params, Prefixes);
    EXPECT_EQ(cmd.FileName, C.FileName) << C.Name;
    EXPECT_EQ(cmd.Switches, C.Switches) << C.Name;
}

TEST(CommandLine, WindowsSlashSwitches) {
    const TCmdCase cases[] = {
        {"switches and last file wins",
         {"/Start", "C:\\a.ckx", "/X:Y:Z", "b.ckx"},
         "b.ckx",
         {{"start", ""}, {"x", "y:z"}}},
        {"lone slash is a nameless switch", {"/"}, "", {{"", ""}}},
        {"empty parameter replaces the file name", {"a.ckx", ""}, "", {}},
        {"dash is no switch on Windows", {"-silent"}, "-silent", {}},
        {"only A-Z are lowered", {"/SILENT:\xC4RGER"}, "", {{"silent", "\xC4rger"}}},
        {"colon first gives an empty name", {"/:v"}, "", {{"", "v"}}},
        {"nothing", {}, "", {}},
    };
    for (const TCmdCase &c : cases)
        ExpectParsed(c, {"/"});
}

TEST(CommandLine, UnixDashSwitches) {
    const TSwitchPrefixes prefixes{"--", "-"};
    const TCmdCase cases[] = {
        {"double dash", {"--start", "/home/u/a.ckx"}, "/home/u/a.ckx", {{"start", ""}}},
        {"single dash with value",
         {"-Silent", "-X:Y:Z", "b.ckx"},
         "b.ckx",
         {{"silent", ""}, {"x", "y:z"}}},
        {"a path starting with slash is a file", {"/tmp/x.ckx"}, "/tmp/x.ckx", {}},
        {"lone dash", {"-"}, "", {{"", ""}}},
        {"lone double dash", {"--"}, "", {{"", ""}}},
    };
    for (const TCmdCase &c : cases)
        ExpectParsed(c, prefixes);
}

TEST(CommandLine, NativeParseSkipsProgramName) {
    const char *argv[] = {"/usr/bin/chronark", "doc.ckx", nullptr};
    tAppParam cmd;
    ParseCommandLine(cmd, 2, argv);
    EXPECT_EQ(cmd.FileName, "doc.ckx");
    EXPECT_TRUE(cmd.Switches.empty());
}

TEST(CommandLine, IndexOfSwitchFindsFirstExactName) {
    tAppParam cmd;
    ParseCommandLine(cmd, {"/start", "/silent:1", "/silent", "/starter"}, {"/"});
    EXPECT_EQ(IndexOfSwitch(cmd, "start"), 0);
    EXPECT_EQ(IndexOfSwitch(cmd, "silent"), 1);
    EXPECT_EQ(IndexOfSwitch(cmd, "starter"), 3);
    EXPECT_EQ(IndexOfSwitch(cmd, "Start"), -1);
    EXPECT_EQ(IndexOfSwitch(cmd, "sta"), -1);
    EXPECT_EQ(IndexOfSwitch(tAppParam(), "start"), -1);
}

TEST(Folders, SetTrailingBackslash) {
    struct Case {
        std::string Path;
        bool Include;
        char Separator;
        std::string Expected;
    } cases[] = {
        {"C:\\", false, '\\', "C:"},
        {"C:", true, '\\', "C:\\"},
        {"C:\\x", true, '\\', "C:\\x\\"},
        {"C:\\x\\", true, '\\', "C:\\x\\"},
        {"C:\\x\\\\", false, '\\', "C:\\x\\"},
        {"", true, '\\', ""},
        {"", false, '/', ""},
        {"/home/u", true, '/', "/home/u/"},
        {"/home/u/", false, '/', "/home/u"},
        {"/", false, '/', "/"},
        {"a\\b", true, '/', "a\\b/"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(SetTrailingBackslash(c.Path, c.Include, c.Separator), c.Expected)
            << c.Path << " include=" << c.Include << " sep=" << c.Separator;
    }
}

#ifndef _WIN32
class CommonFilesDir : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char *old = std::getenv("CHRONARK_COMMON_FILES_DIR"))
            Saved = old;
    }
    void TearDown() override {
        if (Saved)
            setenv("CHRONARK_COMMON_FILES_DIR", Saved->c_str(), 1);
        else
            unsetenv("CHRONARK_COMMON_FILES_DIR");
    }
    std::optional<std::string> Saved;
};

TEST_F(CommonFilesDir, DefaultAndOverride) {
    unsetenv("CHRONARK_COMMON_FILES_DIR");
    EXPECT_EQ(GetCommonFilesDir(), "/usr/local/lib");
    EXPECT_EQ(GetMakerFilesDir(), "/usr/local/lib/Velmoor Software");
    setenv("CHRONARK_COMMON_FILES_DIR", "/opt/common/", 1);
    EXPECT_EQ(GetMakerFilesDir(), "/opt/common/Velmoor Software");
}

TEST_F(CommonFilesDir, UnknownFolderGivesBareMakerName) {
    setenv("CHRONARK_COMMON_FILES_DIR", "", 1);
    EXPECT_EQ(GetCommonFilesDir(), "");
    EXPECT_EQ(GetMakerFilesDir(), "Velmoor Software");
}
#endif

class SubFolders : public ::testing::Test {
protected:
    void SetUp() override {
        Root = fs::temp_directory_path() /
               ("capp_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(Root);
        fs::create_directories(Root);
    }
    void TearDown() override { fs::remove_all(Root); }
    void File(const std::string &Name) { std::ofstream(Root / Name) << "x"; }
    static TStringList Sorted(TStringList L) {
        std::sort(L.begin(), L.end());
        return L;
    }
    fs::path Root;
};

TEST_F(SubFolders, FilesOnlyAddNothing) {
    File("a.txt");
    File("b");
    TStringList list{"kept"};
    ListSubFolders(Root.string(), list, true);
    EXPECT_EQ(list, TStringList{"kept"});
}

TEST_F(SubFolders, NamesOrPathsOfVisibleFolders) {
    fs::create_directory(Root / "Profil A");
    fs::create_directory(Root / "zweites");
    fs::create_directory(Root / ".versteckt");
    File("datei.ini");
    TStringList names;
    ListSubFolders(Root.string(), names, true);
    EXPECT_EQ(Sorted(names), (TStringList{"Profil A", "zweites"}));

    const std::string base = Root.string();
    const std::string withSep = SetTrailingBackslash(base, true);
    TStringList paths{"kept"};
    ListSubFolders(base, paths, false);
    EXPECT_EQ(Sorted(paths), (TStringList{withSep + "Profil A", withSep + "zweites", "kept"}));
    TStringList same;
    ListSubFolders(withSep, same, false);
    EXPECT_EQ(Sorted(same), (TStringList{withSep + "Profil A", withSep + "zweites"}));
}

TEST_F(SubFolders, MissingFolderAddsNothing) {
    TStringList list;
    ListSubFolders((Root / "gibt es nicht").string(), list, true);
    EXPECT_TRUE(list.empty());
}

} // namespace
