// Every file the program writes beside a document, against every shape its name can take:
// the document, its backup, an export, and the PDF of the print command (from the window's
// print dialog and from chronark-cli) each refuse or write as the others do.

#include "base/dates.h"
#include "dialogs/f_printform.h"
#include "export/u_export.h"
#include "model/ckfile.h"
#include "model/ckfileio.h"
#include "tests/mainwindow/mainwindow_testing.h"
#include "tools/cliexport.h"
#include "tools/cliprint.h"

#include <QDialog>
#include <QTimer>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path &File) {
    std::ifstream In(File, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

void WriteBytes(const fs::path &File, const std::string &Bytes) {
    std::ofstream(File, std::ios::binary) << Bytes;
}

enum class TWriter { Document, Backup, Export, WindowPdf, CliPdf };

const char *WriterName(TWriter W) {
    switch (W) {
    case TWriter::Document:
        return "document";
    case TWriter::Backup:
        return "backup";
    case TWriter::Export:
        return "export";
    case TWriter::WindowPdf:
        return "window PDF";
    default:
        return "CLI PDF";
    }
}

// What a writer must do with a shape: refuse and leave it as it was, write the file the name
// leads to, or (the backup) put a file of its own in place of a link.
enum class TOutcome { Refused, Written, LinkReplaced };

struct TShape {
    const char *Name;
    // Makes the shape at Target; Elsewhere is a regular file outside, Document the input.
    std::function<void(const fs::path &Target, const fs::path &Elsewhere, const fs::path &Doc)>
        Make;
    TOutcome Expect;       // for the document, export and PDF writers
    TOutcome ExpectBackup; // for the backup, which never follows a link
    bool NeedsNonRoot = false;
    bool NeedsRoot = false;
};

const std::string Old = "alter Inhalt, der bleiben muss";

const std::vector<TShape> &Shapes() {
    static const std::vector<TShape> All = {
        {"missing folder",
         [](const fs::path &T, const fs::path &, const fs::path &) {
             fs::remove_all(T.parent_path());
         },
         TOutcome::Refused, TOutcome::Refused},
        {"directory",
         [](const fs::path &T, const fs::path &, const fs::path &) { fs::create_directory(T); },
         TOutcome::Refused, TOutcome::Refused},
        {"fifo",
         [](const fs::path &T, const fs::path &, const fs::path &) { ::mkfifo(T.c_str(), 0600); },
         TOutcome::Refused, TOutcome::Refused},
        {"device",
         [](const fs::path &T, const fs::path &, const fs::path &) {
             // The null device once more, at the target's name.
             ::mknod(T.c_str(), S_IFCHR | 0600, makedev(1, 3));
         },
         TOutcome::Refused, TOutcome::Refused, false, true},
        {"link to a device",
         [](const fs::path &T, const fs::path &, const fs::path &) {
             fs::create_symlink("/dev/null", T);
         },
         TOutcome::Refused, TOutcome::LinkReplaced},
        {"link to a file",
         [](const fs::path &T, const fs::path &E, const fs::path &) { fs::create_symlink(E, T); },
         TOutcome::Written, TOutcome::LinkReplaced},
        {"dangling link",
         [](const fs::path &T, const fs::path &E, const fs::path &) {
             fs::remove(E);
             fs::create_symlink(E, T);
         },
         TOutcome::Written, TOutcome::LinkReplaced},
        {"read-only file",
         [](const fs::path &T, const fs::path &, const fs::path &) {
             WriteBytes(T, Old);
             fs::permissions(T, fs::perms::owner_read);
         },
         TOutcome::Refused, TOutcome::Refused, true},
        {"existing file",
         [](const fs::path &T, const fs::path &, const fs::path &) { WriteBytes(T, Old); },
         TOutcome::Written, TOutcome::Written},
        {"full disk",
         [](const fs::path &T, const fs::path &, const fs::path &) { WriteBytes(T, Old); },
         TOutcome::Refused, TOutcome::Refused},
        {"link to the input document",
         [](const fs::path &T, const fs::path &, const fs::path &D) { fs::create_symlink(D, T); },
         TOutcome::Refused, TOutcome::LinkReplaced},
    };
    return All;
}

// Writes fail with EFBIG beyond a few bytes while it lives, as on a disk that is full.
class TFullDisk {
public:
    TFullDisk() {
        ::getrlimit(RLIMIT_FSIZE, &Saved);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit Small = Saved;
        Small.rlim_cur = 16;
        ::setrlimit(RLIMIT_FSIZE, &Small);
    }
    ~TFullDisk() {
        ::setrlimit(RLIMIT_FSIZE, &Saved);
        std::signal(SIGXFSZ, SIG_DFL);
    }

private:
    rlimit Saved{};
};

class WriteShapesTest : public testing::TestWithParam<std::tuple<TWriter, size_t>> {
protected:
    void SetUp() override {
        Root = fs::temp_directory_path() / ("chronark-shapes-" + std::to_string(::getpid()));
        fs::remove_all(Root);
        fs::create_directories(Root / "out");
        Doc = Root / "Dokument.ckx";
        Elsewhere = Root / "anderswo.txt";
        WriteBytes(Elsewhere, Old);
        TChronarkMan Man;
        TCKProjectItem *P = Man.Root->AddProject("Kunden");
        tCKEditItem E;
        E.StartTime = EncodeDateTime(2024, 3, 4, 9, 0, 0);
        E.EndTime = EncodeDateTime(2024, 3, 4, 10, 0, 0);
        E.Comment = "Besprechung";
        P->AddTime(E);
        ASSERT_TRUE(Man.SaveToFile(Doc.string()));
        DocBytes = ReadBytes(Doc);
    }
    void TearDown() override {
        std::error_code Ignored;
        fs::permissions(Root / "out", fs::perms::owner_all, Ignored);
        fs::remove_all(Root, Ignored);
    }

    // What a writer needs beside the target before it runs.
    void Prepare(TWriter Writer, const fs::path &Target) {
        if (Writer == TWriter::Backup && fs::exists(Target.parent_path()))
            WriteBytes(Target.parent_path() / Target.stem(), DocBytes);
    }

    // Runs Writer onto Target; false when it refused or failed.
    bool Write(TWriter Writer, const fs::path &Target) {
        switch (Writer) {
        case TWriter::Document: {
            TChronarkMan Man;
            Man.OnMessage = [](TMessageKind, const std::string &) {};
            return Man.LoadFromFile(Doc.string(), false) && Man.SaveToFile(Target.string());
        }
        case TWriter::Backup: {
            // The backup of the document Prepare put at the target's name without ".bak".
            const fs::path Source = Target.parent_path() / Target.stem();
            return KeepBackup(Source.string(), 1) && fs::exists(Source) &&
                   ReadBytes(Target) == DocBytes;
        }
        case TWriter::Export:
        case TWriter::CliPdf: {
            TCliArgs Args;
            Args.FileName = Doc.string();
            Args.Export.Profile = "CSV";
            Args.Export.Output = Target.string();
            Args.Pdf = Target.string();
            std::ostringstream Err;
            return (Writer == TWriter::Export
                        ? RunExport(Args, std::string(CHRONARK_SOURCE_DIR) + "/profiles/", Err)
                        : RunPrint(Args, Err)) == ExitOk;
        }
        case TWriter::WindowPdf: {
            TChronarkMan Man;
            if (!Man.LoadFromFile(Doc.string(), false))
                return false;
            TScriptedFileDialogs Files;
            Files.Answers.push_back(QFile::decodeName(QByteArray::fromStdString(Target)));
            TPrintDialogUi Ui(nullptr, Files, QString());
            Ui.HasPrinter = [] { return false; };
            QTimer::singleShot(0, [] {
                if (auto *Dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                    Dialog->accept();
            });
            return ExecutePrint(Ui, Man, Doc.string()) == TPrintResult::Printed && Ui.DeliverPdf();
        }
        }
        return false;
    }

    fs::path Root, Doc, Elsewhere;
    std::string DocBytes;
};

TEST_P(WriteShapesTest, RefusesOrWritesAsEveryOtherWriter) {
    const auto [Writer, Index] = GetParam();
    const TShape &Shape = Shapes()[Index];
    if (Shape.NeedsNonRoot && ::geteuid() == 0)
        GTEST_SKIP() << "root may write any file";
    if (Shape.NeedsRoot && ::geteuid() != 0)
        GTEST_SKIP() << "only root makes device nodes";
    const fs::path Target = Root / "out" / (Writer == TWriter::Backup ? "Ziel.ckx.bak" : "Ziel");
    Shape.Make(Target, Elsewhere, Doc);
    if (Shape.NeedsRoot && fs::symlink_status(Target).type() != fs::file_type::character)
        GTEST_SKIP() << "no device node could be made here";
    Prepare(Writer, Target);
    const auto Before = fs::symlink_status(Target).type();
    bool Done;
    if (std::string(Shape.Name) == "full disk") {
        TFullDisk Full;
        Done = Write(Writer, Target);
    } else {
        Done = Write(Writer, Target);
    }
    const bool SaveOverItself =
        Writer == TWriter::Document && std::string(Shape.Name) == "link to the input document";
    const TOutcome Expect = SaveOverItself              ? TOutcome::Written
                            : Writer == TWriter::Backup ? Shape.ExpectBackup
                                                        : Shape.Expect;
    const auto After = fs::symlink_status(Target).type();
    // The input document is never touched by what writes beside it.
    EXPECT_EQ(ReadBytes(Doc), DocBytes);
    switch (Expect) {
    case TOutcome::Refused:
        EXPECT_FALSE(Done);
        EXPECT_EQ(After, Before) << "the target changed its kind";
        if (After == fs::file_type::regular)
            EXPECT_EQ(ReadBytes(Target), Old) << "the old file was not kept";
        break;
    case TOutcome::Written:
        EXPECT_TRUE(Done);
        EXPECT_EQ(After, Before == fs::file_type::not_found ? fs::file_type::regular : Before)
            << "a link must stay a link";
        EXPECT_NE(ReadBytes(Target), Old);
        EXPECT_FALSE(ReadBytes(Target).empty());
        break;
    case TOutcome::LinkReplaced:
        EXPECT_TRUE(Done);
        EXPECT_EQ(After, fs::file_type::regular);
        EXPECT_EQ(ReadBytes(Target), DocBytes);
        break;
    }
    // A link is never followed to the file elsewhere unless the writer writes through links.
    if (std::string(Shape.Name) == "link to a file" && Writer == TWriter::Backup)
        EXPECT_EQ(ReadBytes(Elsewhere), Old);
}

// A name in no particular encoding (here Latin-1 bytes, no UTF-8) reaches the file system as
// it was given, as the export's does.
TEST_F(WriteShapesTest, APdfNameThatIsNoUtf8PassesUnchanged) {
    const fs::path Target = Root / "out" /
                            std::string("B\xE4"
                                        "ckerei.pdf");
    ASSERT_TRUE(Write(TWriter::CliPdf, Target));
    EXPECT_EQ(ReadBytes(Target).substr(0, 5), "%PDF-");
    ASSERT_TRUE(Write(TWriter::WindowPdf, Target));
    EXPECT_EQ(ReadBytes(Target).substr(0, 5), "%PDF-");
}

INSTANTIATE_TEST_SUITE_P(EveryWriterEveryShape, WriteShapesTest,
                         testing::Combine(testing::Values(TWriter::Document, TWriter::Backup,
                                                          TWriter::Export, TWriter::WindowPdf,
                                                          TWriter::CliPdf),
                                          testing::Range(size_t{0}, Shapes().size())),
                         [](const testing::TestParamInfo<std::tuple<TWriter, size_t>> &I) {
                             std::string Name = std::string(WriterName(std::get<0>(I.param))) +
                                                "_" + Shapes()[std::get<1>(I.param)].Name;
                             for (char &C : Name)
                                 if (!std::isalnum(static_cast<unsigned char>(C)))
                                     C = '_';
                             return Name;
                         });

} // namespace
