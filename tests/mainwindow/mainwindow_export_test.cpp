// "Exportieren...": the save dialog, the export window and the file written, end to end.
#include "mainwindow_testing.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

namespace {

QByteArray Bytes(const QString &Path) {
    QFile F(Path);
    return F.open(QIODevice::ReadOnly) ? F.readAll() : QByteArray("<missing>");
}

class ExportCommandTest : public MainFormTest {
protected:
    TMainFormTestPeer &MakeStartedWithExport(const QString &ExportDir,
                                             const std::vector<std::string> &Params) {
        TMainForm::TOptions Options;
        Options.Prompts = &Prompts;
        Options.FileDialogs = &Dialogs;
        Options.EntryDialogs = &EntryDialogs;
        Options.SettingsFolder = SettingsFolder();
        Options.ExportDir = ExportDir;
        Form.Create(Params, Options).Start();
        return *Form;
    }
    // A copy of the sample: an open document takes a lock file beside it, and tests running
    // side by side must not meet in the source tree.
    TMainFormTestPeer &OpenSample() {
        const QString Copy = FilePath(QStringLiteral("Beispiel.ckx"));
        EXPECT_TRUE(
            QFile::copy(QStringLiteral(CHRONARK_SOURCE_DIR "/examples/Beispiel.ckx"), Copy));
        return MakeStartedWithExport(QStringLiteral(CHRONARK_SOURCE_DIR "/profiles"),
                                     {Copy.toStdString()});
    }

    // Presses Button of the export window once it is up; counts the windows seen.
    void AnswerExportForm(const char *Button) {
        QTimer::singleShot(0, [this, Button] {
            auto *Dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!Dialog) {
                ADD_FAILURE() << "no export window";
                return;
            }
            ++FormsSeen;
            Captions << Dialog->windowTitle();
            QTest::mouseClick(Dialog->findChild<QPushButton *>(QString::fromLatin1(Button)),
                              Qt::LeftButton);
        });
    }

    int FormsSeen = 0;
    QStringList Captions;
};

TEST_F(ExportCommandTest, ExportsTheSampleWithTheCsvProfileByteForByte) {
    TMainFormTestPeer &F = OpenSample();
    ASSERT_TRUE(F.Action("acExport")->isEnabled());
    const QString Out = FilePath(QStringLiteral("Beispiel.csv"));
    Dialogs.Answers = {Out};
    AnswerExportForm("OkButton");
    F.Action("acExport")->trigger();

    ASSERT_EQ(Dialogs.Requests.size(), 1u);
    const TFileDialogRequest &R = Dialogs.Requests[0];
    EXPECT_EQ(R.Title, QStringLiteral("Exportieren"));
    EXPECT_TRUE(R.Filter.startsWith(QStringLiteral("CSV-Datei (*.csv)|*.csv|")));
    EXPECT_EQ(R.FilterIndex, 0);
    EXPECT_EQ(R.FileName, QStringLiteral("Beispiel.csv"));
    EXPECT_EQ(QDir(R.InitialDir), QDir(FilePath(QString())));
    EXPECT_EQ(Captions, QStringList{QStringLiteral("CSV Export")});
    EXPECT_EQ(Bytes(Out), Bytes(QStringLiteral(CHRONARK_TEST_DATA "/export/Beispiel.CSV.golden")));
    EXPECT_TRUE(Prompts.Messages.isEmpty() && Prompts.Errors.isEmpty());
}

TEST_F(ExportCommandTest, TheSaveDialogRemembersTheFileTypeOfTheLastExport) {
    TMainFormTestPeer &F = OpenSample();
    // The fourth profile, the text timesheet, with a name of the user's.
    Dialogs.Answers = {FilePath(QStringLiteral("Zettel.txt")), QString()};
    Dialogs.FilterAnswers = {3};
    AnswerExportForm("OkButton");
    F.Action("acExport")->trigger();
    EXPECT_EQ(Captions, QStringList{QStringLiteral("Stundenzettel Export")});
    EXPECT_EQ(Bytes(FilePath(QStringLiteral("Zettel.txt"))),
              Bytes(QStringLiteral(CHRONARK_TEST_DATA "/export/Beispiel.Text.golden")));

    F.Action("acExport")->trigger(); // cancelled in the save dialog: no export window follows
    ASSERT_EQ(Dialogs.Requests.size(), 2u);
    EXPECT_EQ(Dialogs.Requests[1].FilterIndex, 3);
    EXPECT_EQ(Dialogs.Requests[1].FileName, QStringLiteral("Beispiel.txt"));
    EXPECT_EQ(FormsSeen, 1);
}

TEST_F(ExportCommandTest, CancellingTheExportWindowWritesNothing) {
    TMainFormTestPeer &F = OpenSample();
    const QString Out = FilePath(QStringLiteral("nie.csv"));
    Dialogs.Answers = {Out};
    AnswerExportForm("CancelButton");
    F.Action("acExport")->trigger();
    EXPECT_EQ(FormsSeen, 1);
    EXPECT_FALSE(QFile::exists(Out));
    EXPECT_TRUE(Prompts.Messages.isEmpty());
}

TEST_F(ExportCommandTest, WithoutAUsableProfileOnlyTheMessageIsShown) {
    struct Row {
        const char *Name;
        const char *Ini; // nullptr: no export.ini at all
    };
    for (const Row R : {Row{"no export.ini", nullptr}, Row{"no section", "; nur Text\n"},
                        Row{"no filter", "[CSV]\nDescription=CSV-Datei\n[Leer]\nFilter= \n"}}) {
        SCOPED_TRACE(R.Name);
        QTemporaryDir ExportDir;
        if (R.Ini) {
            QFile Ini(ExportDir.filePath(QStringLiteral("export.ini")));
            ASSERT_TRUE(Ini.open(QIODevice::WriteOnly));
            Ini.write(R.Ini);
        }
        Prompts.Messages.clear();
        Dialogs.Requests.clear();
        TMainFormTestPeer &F = MakeStartedWithExport(ExportDir.path(), {});
        F.Action("acExport")->trigger();
        EXPECT_EQ(Prompts.Messages, QStringList{QStringLiteral("Keine Exportprofile vorhanden!")});
        EXPECT_TRUE(Dialogs.Requests.empty());
    }
}

} // namespace

// After an export and after a report printed into a PDF file, the status bar says where the
// file went, beside the totals.
TEST_F(ExportCommandTest, TheStatusBarNamesTheFileWrittenAndKeepsTheTotals) {
    TMainFormTestPeer &F = OpenSample();
    const QString Totals = F.Find<QLabel>("StatusPanel0")->text();
    const QString Csv = FilePath(QStringLiteral("zeiten.csv"));
    Dialogs.Answers = {Csv};
    AnswerExportForm("OkButton");
    F.Action("acExport")->trigger();
    EXPECT_EQ(F.Find<QLabel>("StatusPanel2")->text(), QStringLiteral("Exportiert nach: ") + Csv);
    EXPECT_EQ(F.Find<QLabel>("StatusPanel0")->text(), Totals);

    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "a printer is installed: the report would go to it";
    const QString Pdf = FilePath(QStringLiteral("bericht.pdf"));
    Dialogs.Answers = {Pdf};
    AnswerExportForm("OkButton");
    F.Action("acPrint")->trigger();
    EXPECT_TRUE(QFile::exists(Pdf));
    EXPECT_EQ(F.Find<QLabel>("StatusPanel2")->text(),
              QStringLiteral("PDF gespeichert unter: ") + Pdf);
    EXPECT_EQ(F.Find<QLabel>("StatusPanel0")->text(), Totals);
}
