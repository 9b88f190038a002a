#include "base/dates.h"
#include "base/formatsettings.h"
#include "dialogs/f_printform.h"

#include "dialogs_testing.h"
#include "ui/filedialogs.h"
#include "ui/printcanvas.h"

#include <QApplication>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <deque>

namespace {

TDateTime At(int Day, int H) {
    return EncodeDateTime(2002, 8, Day, H, 0, 0);
}

// An empty answer cancels; a question nobody expected fails the test.
class TScriptedFiles : public TFileDialogService {
public:
    std::deque<QString> Answers;
    std::vector<TFileDialogRequest> Requests;
    bool Execute(QWidget *, TFileDialogRequest &Request) override {
        Requests.push_back(Request);
        if (Answers.empty()) {
            ADD_FAILURE() << "unexpected file dialog";
            return false;
        }
        Request.FileName = Answers.front();
        Answers.pop_front();
        return !Request.FileName.isEmpty();
    }
};

class PrintFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetFormatSettings(GermanFormatSettings());
        A = Doc.Root->AddProject("Alpha");
        Sub = A->AddProject("Sub");
        B = Doc.Root->AddProject("beta");
        A->AddTime({At(1, 8), At(1, 9), "Planung", {}});
        Sub->AddTime({At(2, 8), At(2, 10), "", {}});
        B->AddTime({At(3, 8), At(3, 11), "", {}});
        ASSERT_TRUE(Dir.isValid());
        // The page setup is answered as a user who keeps the paper would.
        Ui.PageSetup = [this](QPrinter &, QWidget *) {
            ++PageSetups;
            return true;
        };
    }
    // The printer-less user's print command, the dialog answered by Act.
    TPrintResult PrintWith(std::function<void(Tprintform &)> Act, bool Printer = false) {
        Ui.HasPrinter = [Printer] { return Printer; };
        WhenModal([Act](QDialog &D) { Act(dynamic_cast<Tprintform &>(D)); });
        // As the print command runs it: the report, then the PDF file written whole.
        const TPrintResult Result = ExecutePrint(Ui, Doc, "/home/u/Stunden.ckx");
        if (Result == TPrintResult::Printed && !Ui.DeliverPdf())
            return TPrintResult::Failed;
        return Result;
    }
    static QTreeWidget *Tree(Tprintform &Form) { return Control<QTreeWidget>(Form, "TreeView1"); }
    static QTreeWidgetItem *NodeOf(Tprintform &Form, const char *Caption) {
        const auto Found = Tree(Form)->findItems(QString::fromLatin1(Caption),
                                                 Qt::MatchExactly | Qt::MatchRecursive);
        return Found.isEmpty() ? nullptr : Found.front();
    }
    static void ClickText(Tprintform &Form, const char *Caption) {
        QTreeWidget *T = Tree(Form);
        const QRect R = T->visualItemRect(NodeOf(Form, Caption));
        QTest::mouseClick(T->viewport(), Qt::LeftButton, {}, R.center() + QPoint(20, 0));
    }
    QString Pdf(const char *Name) const { return Dir.filePath(QString::fromLatin1(Name)); }

    TChronarkMan Doc;
    TCKProjectItem *A, *Sub, *B;
    QTemporaryDir Dir;
    TScriptedFiles Files;
    TPrintDialogUi Ui{nullptr, Files, QStringLiteral("/home/u/Stunden.ckx")};
    int PageSetups = 0;
};

TEST_F(PrintFormTest, EveryProjectTickedAndExpanded) {
    Tprintform Form(Doc);
    EXPECT_EQ(Form.windowTitle(), QStringLiteral("Drucken"));
    QTreeWidget *T = Tree(Form);
    ASSERT_EQ(T->topLevelItemCount(), 1);
    EXPECT_EQ(T->topLevelItem(0)->text(0), QStringLiteral("Projekte"));
    EXPECT_FALSE(T->rootIsDecorated());
    for (QTreeWidgetItemIterator It(T); *It; ++It) {
        EXPECT_EQ((*It)->checkState(0), Qt::Checked);
        EXPECT_TRUE((*It)->childCount() == 0 || (*It)->isExpanded());
    }
    EXPECT_EQ(Form.Ticked(), (TCKProjectList{Doc.Root.get(), A, Sub, B}));
    EXPECT_NE(Control<QPushButton>(Form, "SetupButton"), nullptr);
    EXPECT_EQ(Control<QPushButton>(Form, "SetupButton")->text(), QStringLiteral("Setup..."));
    EXPECT_EQ(Control<QPushButton>(Form, "CancelButton")->text(), QStringLiteral("Abbrechen"));
    ExpectReportTreeLook(T);
}

TEST_F(PrintFormTest, ClickOnTextTogglesThatNodeAlone) {
    Tprintform Form(Doc);
    Form.show();
    ClickText(Form, "Alpha");
    EXPECT_EQ(NodeOf(Form, "Alpha")->checkState(0), Qt::Unchecked);
    EXPECT_EQ(Form.Ticked(), (TCKProjectList{Doc.Root.get(), Sub, B}));
    ClickText(Form, "Alpha");
    EXPECT_EQ(Form.Ticked(), (TCKProjectList{Doc.Root.get(), A, Sub, B}));
    Tree(Form)->setCurrentItem(NodeOf(Form, "beta"));
    QTest::keyClick(Tree(Form), Qt::Key_Space);
    EXPECT_EQ(Form.Ticked(), (TCKProjectList{Doc.Root.get(), A, Sub}));
}

struct RefusalRow {
    const char *Name;
    bool UntickAll;
    const char *Button;
};

class PrintFormRefusal : public PrintFormTest, public ::testing::WithParamInterface<RefusalRow> {};

TEST_P(PrintFormRefusal, NothingPrintedNothingAsked) {
    const RefusalRow Row = GetParam();
    const TPrintResult Result = PrintWith([Row](Tprintform &Form) {
        if (Row.UntickAll)
            for (QTreeWidgetItemIterator It(Tree(Form)); *It; ++It)
                Form.Toggle(*It);
        Press(Form, Row.Button);
    });
    EXPECT_EQ(Result, TPrintResult::NothingChosen);
    EXPECT_TRUE(Files.Requests.empty());
}

INSTANTIATE_TEST_SUITE_P(Choices, PrintFormRefusal,
                         ::testing::Values(RefusalRow{"cancelled", false, "CancelButton"},
                                           RefusalRow{"nothingTicked", true, "OkButton"}),
                         [](const auto &Info) { return std::string(Info.param.Name); });

TEST_F(PrintFormTest, WithoutPrinterTheReportGoesToAPdfFileChosenOnOk) {
    Files.Answers = {Pdf("a.pdf")};
    EXPECT_EQ(PrintWith([](Tprintform &Form) { Press(Form, "OkButton"); }), TPrintResult::Printed);
    ASSERT_EQ(Files.Requests.size(), 1u);
    EXPECT_EQ(Files.Requests[0].Kind, TFileDialogRequest::Save);
    EXPECT_EQ(Files.Requests[0].FileName, QStringLiteral("Stunden.pdf"));
    EXPECT_EQ(Files.Requests[0].InitialDir, QStringLiteral("/home/u"));
    QFile F(Pdf("a.pdf"));
    ASSERT_TRUE(F.open(QIODevice::ReadOnly));
    EXPECT_TRUE(F.read(5) == "%PDF-");
}

TEST_F(PrintFormTest, WithoutPrinterCancellingTheFilePrintsNothing) {
    Files.Answers = {QString()};
    EXPECT_EQ(PrintWith([](Tprintform &Form) { Press(Form, "OkButton"); }),
              TPrintResult::NothingChosen);
}

TEST_F(PrintFormTest, SetupWithoutPrinterChoosesTheFileBeforehand) {
    Files.Answers = {Pdf("setup.pdf")};
    EXPECT_EQ(PrintWith([](Tprintform &Form) {
                  Press(Form, "SetupButton");
                  Press(Form, "OkButton");
              }),
              TPrintResult::Printed);
    EXPECT_EQ(Files.Requests.size(), 1u);
    EXPECT_TRUE(QFile::exists(Pdf("setup.pdf")));
}

// The paper chosen in the page setup is the PDF's: A4 portrait by default, then Letter across.
TEST_F(PrintFormTest, SetupWithoutPrinterOffersPaperAndTheReportFollowsIt) {
    auto MediaBox = [](const QString &File) {
        QFile F(File);
        EXPECT_TRUE(F.open(QIODevice::ReadOnly));
        const QRegularExpressionMatch M =
            QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"))
                .match(QString::fromLatin1(F.readAll()));
        return M.hasMatch() ? QSizeF(M.captured(1).toDouble(), M.captured(2).toDouble()) : QSizeF();
    };
    Files.Answers = {Pdf("a4.pdf")};
    ASSERT_EQ(PrintWith([](Tprintform &Form) {
                  Press(Form, "SetupButton");
                  Press(Form, "OkButton");
              }),
              TPrintResult::Printed);
    EXPECT_EQ(PageSetups, 1);
    EXPECT_NEAR(MediaBox(Pdf("a4.pdf")).width(), 595, 1);
    EXPECT_NEAR(MediaBox(Pdf("a4.pdf")).height(), 842, 1);

    Ui.PageSetup = [](QPrinter &Printer, QWidget *) {
        Printer.setPageSize(QPageSize(QPageSize::Letter));
        Printer.setPageOrientation(QPageLayout::Landscape);
        return true;
    };
    Files.Answers = {Pdf("letter.pdf")};
    ASSERT_EQ(PrintWith([](Tprintform &Form) {
                  Press(Form, "SetupButton");
                  Press(Form, "OkButton");
              }),
              TPrintResult::Printed);
    EXPECT_NEAR(MediaBox(Pdf("letter.pdf")).width(), 792, 1);
    EXPECT_NEAR(MediaBox(Pdf("letter.pdf")).height(), 612, 1);
}

// The real preview window, as "Seitenansicht" opens it: it shows the report's pages and writes
// no file.
TEST_F(PrintFormTest, ThePreviewShowsTheReportAndWritesNothing) {
    int Pages = -1;
    Ui.HasPrinter = [] { return false; };
    WhenModal([&Pages](QDialog &Form) {
        QTimer::singleShot(0, [&Pages] {
            auto *Preview = qobject_cast<QPrintPreviewDialog *>(QApplication::activeModalWidget());
            if (!Preview)
                return;
            if (auto *Pane = Preview->findChild<QPrintPreviewWidget *>())
                Pages = Pane->pageCount();
            Preview->reject();
        });
        Press(Form, "PreviewButton");
        Press(Form, "CancelButton");
    });
    TCKProjectList Projects;
    EXPECT_FALSE(Ui.AskProjects(Doc, Projects));
    EXPECT_GE(Pages, 1);
    EXPECT_TRUE(Files.Requests.empty());
}

TEST_F(PrintFormTest, PrinterChosenInSetupGetsTheReport) {
    int Setups = 0;
    // The system's dialog, answered as a user picking another printer would: here one that
    // writes a file, so the test can see where the report went.
    Ui.PrinterSetup = [&](QPrinter &Printer, QWidget *) {
        ++Setups;
        SetPdfOutput(Printer, Pdf("chosen.pdf"));
        return true;
    };
    EXPECT_EQ(PrintWith(
                  [](Tprintform &Form) {
                      Press(Form, "SetupButton");
                      Press(Form, "OkButton");
                  },
                  true),
              TPrintResult::Printed);
    EXPECT_EQ(Setups, 1);
    EXPECT_TRUE(Files.Requests.empty());
    EXPECT_TRUE(QFile::exists(Pdf("chosen.pdf")));
}

TEST_F(PrintFormTest, UnwritablePdfFileFails) {
    Files.Answers = {Pdf("missing/dir/a.pdf")};
    EXPECT_EQ(PrintWith([](Tprintform &Form) { Press(Form, "OkButton"); }), TPrintResult::Failed);
}

// Hands every call on to a real canvas and counts the pages.
class TCountingCanvas : public TPrintCanvas {
public:
    explicit TCountingCanvas(TPrintCanvas &AInner) : Inner(AInner) {}
    int Pages = 0;
    bool BeginDoc(const std::string &Title) override {
        Pages = 1;
        return Inner.BeginDoc(Title);
    }
    void NewPage() override {
        ++Pages;
        Inner.NewPage();
    }
    bool EndDoc() override { return Inner.EndDoc(); }
    int DpiX() const override { return Inner.DpiX(); }
    int DpiY() const override { return Inner.DpiY(); }
    int PrintableWidth() const override { return Inner.PrintableWidth(); }
    int PrintableHeight() const override { return Inner.PrintableHeight(); }
    void SetFont(const std::string &Face, int Points, bool Bold) override {
        Inner.SetFont(Face, Points, Bold);
    }
    double TextWidth(const std::string &Text) override { return Inner.TextWidth(Text); }
    int TextHeight(const std::string &Text) override { return Inner.TextHeight(Text); }
    void TextOut(int X, int Y, const std::string &Text) override { Inner.TextOut(X, Y, Text); }
    void FillRect(int L, int T, int R, int B, TPrintColor C) override {
        Inner.FillRect(L, T, R, B, C);
    }
    void SetClip(int L, int T, int R, int B) override { Inner.SetClip(L, T, R, B); }

private:
    TPrintCanvas &Inner;
};

// The sample document as a PDF, read back as text.
TEST_F(PrintFormTest, SampleDocumentPdfReadsBack) {
    const QString PdfToText = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    const QString PdfInfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (PdfToText.isEmpty() || PdfInfo.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    TChronarkMan Sample;
    ASSERT_TRUE(Sample.LoadFromFile(CHRONARK_SOURCE_DIR "/examples/Beispiel.ckx", false));
    const TCKProjectList All = ProjectsInTreeOrder(Sample);
    QPrinter Printer(QPrinter::HighResolution);
    SetPdfOutput(Printer, Pdf("sample.pdf"));
    TQtPrintCanvas Qt(Printer);
    TCountingCanvas Pages(Qt);
    ASSERT_EQ(PrintReport(Pages, Sample, "/x/Beispiel.ckx", All), TPrintResult::Printed);

    QProcess Text;
    Text.start(PdfToText, {QStringLiteral("-layout"), Pdf("sample.pdf"), QStringLiteral("-")});
    ASSERT_TRUE(Text.waitForFinished(30000));
    const QString Out = QString::fromUtf8(Text.readAllStandardOutput());
    for (const char *Expected :
         {"Beispiel.ckx", "Zeiten", "Projekt: ", "Projektsumme:", "Summe:", " Std.", "Von "})
        EXPECT_TRUE(Out.contains(QString::fromUtf8(Expected))) << Expected;

    EXPECT_GT(Pages.Pages, 1);
    QProcess Info;
    Info.start(PdfInfo, {Pdf("sample.pdf")});
    ASSERT_TRUE(Info.waitForFinished(30000));
    const QString InfoText = QString::fromUtf8(Info.readAllStandardOutput());
    EXPECT_TRUE(
        InfoText.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(Pages.Pages))))
        << InfoText.toStdString() << " expected " << Pages.Pages;
    EXPECT_EQ(Out.count(QChar('\f')), Pages.Pages);
}

} // namespace
