#include "app/makerlibrary.h"
#include "app/makerlibs.h"
#include "tests/app/appqttest.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

enum class TFake { None, Full, NoExports, Garbage };

// Copies a stand-in library (or a file that is no library) under the maker's file name.
void Put(TFake Kind, const QString &Folder, const QString &BaseName) {
    if (Kind == TFake::None)
        return;
    QDir().mkpath(Folder);
    const QString target = QDir(Folder).filePath(TMakerLibrary::PlatformFileName(BaseName));
    if (Kind == TFake::Garbage) {
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("keine Bibliothek");
        return;
    }
    const QString source = QString::fromUtf8(Kind == TFake::Full ? FAKE_FULL : FAKE_NO_EXPORTS);
    ASSERT_TRUE(QFile::copy(source, target)) << target.toStdString();
}

bool IsMapped(const QString &Path) {
    void *handle = dlopen(QFile::encodeName(Path).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

// What the stand-in at Path recorded.
std::string Calls(const QString &Path) {
    void *handle = dlopen(QFile::encodeName(Path).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle)
        return "(not loaded)";
    auto calls = reinterpret_cast<const char *(*)()>(dlsym(handle, "fake_calls"));
    std::string result = calls ? calls() : "(no recorder)";
    dlclose(handle);
    return result;
}

std::string Pointer(const void *P) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", P);
    return text;
}

TEST(MakerLibrary, Search) {
    struct Case {
        const char *Name;
        TFake Program, Maker;
        bool Loaded;
        const char *From; // "program", "maker" or ""
    } cases[] = {
        {"beside the program", TFake::Full, TFake::None, true, "program"},
        {"in the maker's folder", TFake::None, TFake::Full, true, "maker"},
        {"the program's folder comes first", TFake::Full, TFake::Full, true, "program"},
        {"nowhere", TFake::None, TFake::None, false, ""},
        {"without the export", TFake::NoExports, TFake::None, false, ""},
        {"a file that is no library", TFake::Garbage, TFake::None, false, ""},
        {"a found file is not passed over", TFake::NoExports, TFake::Full, false, ""},
    };
    for (const Case &c : cases) {
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("program"));
        const QString maker = dir.filePath(QStringLiteral("common/Velmoor Software"));
        Put(c.Program, program, QStringLiteral("infopane"));
        Put(c.Maker, maker, QStringLiteral("infopane"));
        const QString inProgram = QDir(program).filePath(QStringLiteral("libinfopane.so"));

        TMakerLibrary library(QStringLiteral("infopane"), "showinfopanedialog_v1_1");
        EXPECT_EQ(library.Load({program, maker}), c.Loaded) << c.Name;
        EXPECT_EQ(library.IsLoaded(), c.Loaded) << c.Name;
        EXPECT_EQ(library.Export() != nullptr, c.Loaded) << c.Name;
        const QString expected = *c.From ? QDir(c.From == std::string("program") ? program : maker)
                                               .filePath(QStringLiteral("libinfopane.so"))
                                         : QString();
        EXPECT_EQ(library.FilePath(), expected) << c.Name;
        if (c.Program == TFake::NoExports) {
            EXPECT_FALSE(IsMapped(inProgram)) << c.Name << ": unloaded again";
        }
        if (c.Loaded) {
            EXPECT_TRUE(IsMapped(expected)) << c.Name;
            library.Free();
            EXPECT_FALSE(library.IsLoaded()) << c.Name;
            EXPECT_FALSE(IsMapped(expected)) << c.Name;
        }
    }
}

TEST(MakerLibrary, PlatformFileName) {
#if defined(Q_OS_WIN)
    EXPECT_EQ(TMakerLibrary::PlatformFileName(QStringLiteral("revwatch")), "revwatch.dll");
#else
    EXPECT_EQ(TMakerLibrary::PlatformFileName(QStringLiteral("revwatch")), "librevwatch.so");
#endif
}

// The program's own functions, with the maker's folder under a temporary common folder.
class MakerLibs : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char *old = std::getenv("CHRONARK_COMMON_FILES_DIR"))
            Saved = old;
        Common = Dir.filePath(QStringLiteral("common"));
        Maker = Common + QStringLiteral("/Velmoor Software");
        setenv("CHRONARK_COMMON_FILES_DIR", QFile::encodeName(Common).constData(), 1);
    }
    void TearDown() override {
        FreeInfoPane();
        FreeRevWatch();
        if (Saved)
            setenv("CHRONARK_COMMON_FILES_DIR", Saved->c_str(), 1);
        else
            unsetenv("CHRONARK_COMMON_FILES_DIR");
    }
    QTemporaryDir Dir;
    QString Common, Maker;
    std::optional<std::string> Saved;
};

TEST_F(MakerLibs, SearchFolders) {
    EXPECT_EQ(MakerLibraryFolders(), (QStringList{QCoreApplication::applicationDirPath(), Maker}));
    setenv("CHRONARK_COMMON_FILES_DIR", "", 1);
    EXPECT_EQ(MakerLibraryFolders(), QStringList{QCoreApplication::applicationDirPath()});
}

TEST_F(MakerLibs, RelativeMakerFolderIsNotSearched) {
    setenv("CHRONARK_COMMON_FILES_DIR", "", 1);
    Put(TFake::Full, Dir.filePath(QStringLiteral("Velmoor Software")), QStringLiteral("infopane"));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(Dir.path());
    EXPECT_FALSE(LoadInfoPane());
    QDir::setCurrent(previous);
}

TEST_F(MakerLibs, MissingLibrariesFallBack) {
    EXPECT_FALSE(LoadRevWatch());
    EXPECT_FALSE(LoadInfoPane());
    EXPECT_FALSE(RevWatchLoaded());
    EXPECT_FALSE(InfoPaneLoaded());

    QWidget owner;
    QString text;
    int buttons = 0;
    auto inspected = InspectModal([&](QWidget *W) {
        auto *box = qobject_cast<QMessageBox *>(W);
        ASSERT_NE(box, nullptr);
        text = box->text();
        buttons = int(box->buttons().size());
    });
    ShowAboutBox(&owner, QStringLiteral("Chronark 1.3 Beta 2"));
    EXPECT_TRUE(*inspected);
    EXPECT_EQ(text, FallbackAboutText());
    EXPECT_EQ(buttons, 1);
    EXPECT_TRUE(
        text.startsWith(QStringLiteral("Ein Programm von Velmoor Software.\n\nHomepage: ")));
    ShowVersionCheck(&owner); // nothing to show, nothing to crash
}

TEST_F(MakerLibs, ExportsReceiveTheirArguments) {
    Put(TFake::Full, Maker, QStringLiteral("infopane"));
    Put(TFake::Full, Maker, QStringLiteral("revwatch"));
    ASSERT_TRUE(LoadRevWatch());
    ASSERT_TRUE(LoadInfoPane());
    EXPECT_TRUE(RevWatchLoaded());
    EXPECT_TRUE(InfoPaneLoaded());

    QWidget owner;
    const std::string own = Pointer(&owner);
    ShowAboutBox(&owner, QStringLiteral("Chronark 1.3 Beta 2"));
    ShowAboutBox(&owner, QStringLiteral("Z\u00e4hler \u20ac ") + QString(300, QLatin1Char('x')));
    ShowVersionCheck(&owner);

    const QString info = Maker + QStringLiteral("/libinfopane.so");
    EXPECT_EQ(Calls(info), "info(" + own +
                               "|19:Chronark 1.3 Beta 2|0:|0:|27:XML-Parser: "
                               "0.11.2007.1124w|0)info(" +
                               own + "|255:Z\xE4hler \x80 " + std::string(246, 'x') +
                               "|0:|0:|27:XML-Parser: 0.11.2007.1124w|0)");
    const QString rev = Maker + QStringLiteral("/librevwatch.so");
    EXPECT_EQ(Calls(rev), "revwatch(" + own + "|0:|8:chronark|0:)");

    FreeInfoPane();
    FreeRevWatch();
    EXPECT_FALSE(InfoPaneLoaded());
    EXPECT_FALSE(RevWatchLoaded());
    EXPECT_FALSE(IsMapped(info));
    EXPECT_FALSE(IsMapped(rev));
}

TEST_F(MakerLibs, LibraryWithoutExportIsUnloaded) {
    Put(TFake::NoExports, Maker, QStringLiteral("revwatch"));
    EXPECT_FALSE(LoadRevWatch());
    EXPECT_FALSE(RevWatchLoaded());
    EXPECT_FALSE(IsMapped(Maker + QStringLiteral("/librevwatch.so")));
}

} // namespace
