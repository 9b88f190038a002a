#include "dialogs/u_exportform.h"

#include "app/qtext.h"
#include "dialogs_testing.h"
#include "tests/ui/scriptedprompts.h"
#include "ui/filedialogs.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <algorithm>
#include <deque>

namespace {

// The save dialog answered from a script: a name (empty cancels) and the file type chosen.
class TScriptedFileDialogs : public TFileDialogService {
public:
    std::deque<QString> Answers;
    std::deque<int> FilterAnswers;
    std::vector<TFileDialogRequest> Requests;

    bool Execute(QWidget *, TFileDialogRequest &Request) override {
        Requests.push_back(Request);
        if (Answers.empty()) {
            ADD_FAILURE() << "unexpected file dialog";
            return false;
        }
        const QString Name = Answers.front();
        Answers.pop_front();
        if (Name.isEmpty())
            return false;
        Request.FileName = Name;
        if (!FilterAnswers.empty()) {
            Request.FilterIndex = FilterAnswers.front();
            FilterAnswers.pop_front();
        }
        return true;
    }
};

class ExportFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Sorted without regard to case: "alpha" before "Beta" before "gamma".
        Gamma = Doc.Root->AddProject("gamma");
        Beta = Doc.Root->AddProject("Beta");
        Alpha = Doc.Root->AddProject("alpha");
        Child = Doc.NewProject(Alpha, "Kind");
        // Captions whose order depends on how case is ignored (Windows-1252 bytes).
        for (const char *Caption : {"\xD6l", "zebra", "Zebra", "\xB5m", "\x8CS", "Birne"})
            Doc.NewProject(Gamma, Caption);
        Request.Caption = "CSV Export";
        ParseSepChars("Semikolon,;|Komma,,|Tabulator,#9", Request.SepItems, Request.SepChars);
    }

    void Open() {
        Form = std::make_unique<Texportform>(Request, Doc, nullptr);
        Form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        Tree = Control<QTreeWidget>(*Form, "TreeView1");
        Profiles = Control<QComboBox>(*Form, "cbProfile");
        Separators = Control<QComboBox>(*Form, "cbSeparator");
        Char = Control<QLineEdit>(*Form, "edChar");
        Code = Control<QSpinBox>(*Form, "edCode");
    }
    QTreeWidgetItem *Node(const TCKProjectItem *P) const {
        for (QTreeWidgetItemIterator It(Tree); *It; ++It)
            if ((*It)->text(0) ==
                (P == Doc.Root.get() ? QStringLiteral("Projekte") : ToQ(P->Caption)))
                return *It;
        return nullptr;
    }
    // Clicks a node on its check mark or on its text.
    void Click(const TCKProjectItem *P, bool OnMark) {
        const QRect R = Tree->visualItemRect(Node(P));
        QTest::mouseClick(Tree->viewport(), Qt::LeftButton, {},
                          OnMark ? QPoint(R.left() + 8, R.center().y()) : R.center());
    }
    bool Enabled(const char *Label) const {
        for (QLabel *L : Form->findChildren<QLabel *>())
            if (L->text() == QString::fromLatin1(Label))
                return L->isEnabled();
        ADD_FAILURE() << Label;
        return false;
    }

    TChronarkMan Doc;
    TCKProjectItem *Alpha = nullptr, *Beta = nullptr, *Gamma = nullptr, *Child = nullptr;
    TExportFormRequest Request;
    std::unique_ptr<Texportform> Form;
    QTreeWidget *Tree = nullptr;
    QComboBox *Profiles = nullptr, *Separators = nullptr;
    QLineEdit *Char = nullptr;
    QSpinBox *Code = nullptr;
};

TEST_F(ExportFormTest, StartsWithEveryProjectTickedInTreeOrderAndTheFirstSeparator) {
    Open();
    EXPECT_EQ(Form->windowTitle(), QStringLiteral("CSV Export"));
    EXPECT_TRUE(Node(Alpha)->isExpanded() && !Tree->rootIsDecorated());
    ExpectReportTreeLook(Tree);
    EXPECT_EQ(Separators->count(), 4);
    EXPECT_EQ(Separators->itemText(0), QStringLiteral("Semikolon (;)"));
    EXPECT_EQ(Separators->itemText(3), QStringLiteral("Benutzerdefiniert"));
    EXPECT_FALSE(Char->isEnabled() || Code->isEnabled() || Enabled("Zeichen:"));
    EXPECT_FALSE(Profiles->isEnabled() || Enabled("Exportprofil:"));

    const TExportChoices C = Form->Choices();
    const TCKProjectList Expected{Doc.Root.get(), Alpha, Child, Beta, Gamma};
    ASSERT_EQ(C.Projects.size(), 11u);
    EXPECT_EQ(TCKProjectList(C.Projects.begin(), C.Projects.begin() + 5), Expected);
    // The command line's order is the one shown here.
    EXPECT_EQ(C.Projects, ProjectsInTreeOrder(Doc));
    EXPECT_EQ(C.Separator, ';');
    EXPECT_FALSE(C.HasSubProfile);
}

TEST_F(ExportFormTest, AClickTogglesOneNodeAloneAndTheTreeStaysOpen) {
    Open();
    struct Row {
        const char *Name;
        bool OnMark;
    };
    for (const Row R : {Row{"on the mark", true}, Row{"on the text", false}}) {
        SCOPED_TRACE(R.Name);
        Click(Doc.Root.get(), R.OnMark);
        Click(Alpha, R.OnMark);
        const TCKProjectList Left = Form->Choices().Projects;
        ASSERT_GE(Left.size(), 3u);
        EXPECT_EQ(TCKProjectList(Left.begin(), Left.begin() + 3),
                  (TCKProjectList{Child, Beta, Gamma}));
        EXPECT_EQ(Left.size(), 9u);
        Click(Doc.Root.get(), R.OnMark);
        Click(Alpha, R.OnMark);
        EXPECT_EQ(Form->Choices().Projects.size(), 11u);
    }
    QTest::mouseDClick(Tree->viewport(), Qt::LeftButton, {},
                       Tree->visualItemRect(Node(Alpha)).center());
    Tree->collapseItem(Node(Alpha));
    EXPECT_TRUE(Node(Alpha)->isExpanded());
    Tree->setCurrentItem(Node(Beta));
    QTest::keyClick(Tree, Qt::Key_Space);
    QTest::keyClick(Tree, Qt::Key_Left);
    EXPECT_EQ(Form->Choices().Projects.size(), 10u);
    EXPECT_TRUE(Node(Doc.Root.get())->isExpanded());
}

TEST_F(ExportFormTest, CustomSeparatorLinksCharacterAndCode) {
    Open();
    Separators->setCurrentIndex(3);
    EXPECT_TRUE(Char->isEnabled() && Code->isEnabled() && Enabled("Dezimal:"));
    QTest::keyClicks(Char, QStringLiteral(";"));
    EXPECT_EQ(Code->value(), 59);
    EXPECT_EQ(Form->Choices().Separator, ';');
    Code->setValue(9);
    EXPECT_EQ(Char->text(), QStringLiteral("\t"));
    EXPECT_EQ(Form->Choices().Separator, '\t');
    // Only the low 8 bits count; a character outside ASCII goes by its 8-bit code.
    Code->setValue(256 + 44);
    EXPECT_EQ(Form->Choices().Separator, ',');
    Char->clear();
    Char->setText(QStringLiteral("ä"));
    EXPECT_EQ(Code->value(), 0xE4);
    Separators->setCurrentIndex(1);
    EXPECT_FALSE(Char->isEnabled() || Code->isEnabled());
    EXPECT_EQ(Form->Choices().Separator, ',');
}

TEST_F(ExportFormTest, SeparatorAndSubProfileBoxesFollowTheProfile) {
    struct Row {
        const char *Name;
        std::string SepChars;
        bool Separator, Profiles;
        TStringArray SubProfiles;
        int SubProfile;
        // Expected
        int SepCount;
        bool SepEnabled, CustomOn, ProfilesEnabled;
        int ProfileIndex;
        char Sep;
        const char *SubProfileText;
    };
    const Row Rows[] = {
        {"no separator asked", "", false, false, {}, -1, 0, false, false, false, -1, '\0', ""},
        {"only custom, code 0", "", true, false, {}, -1, 1, true, true, false, -1, '\0', ""},
        {"sub-profiles, second pre-set",
         "",
         false,
         true,
         {"Kurz", "Lang"},
         1,
         0,
         false,
         false,
         true,
         1,
         '\0',
         "Lang"},
        {"sub-profiles enabled but none",
         "",
         false,
         true,
         {},
         -1,
         0,
         false,
         false,
         true,
         -1,
         '\0',
         ""},
    };
    for (const Row &R : Rows) {
        SCOPED_TRACE(R.Name);
        Request = {};
        Request.SubProfilesEnabled = R.Profiles;
        Request.SubProfiles = R.SubProfiles;
        Request.SubProfile = R.SubProfile;
        if (R.Separator)
            ParseSepChars(R.SepChars, Request.SepItems, Request.SepChars);
        Open();
        EXPECT_EQ(Separators->count(), R.SepCount);
        EXPECT_EQ(Separators->isEnabled(), R.SepEnabled);
        EXPECT_EQ(Enabled("Trennzeichen:"), R.SepEnabled);
        EXPECT_EQ(Code->isEnabled(), R.CustomOn);
        EXPECT_EQ(Profiles->isEnabled(), R.ProfilesEnabled);
        EXPECT_EQ(Profiles->currentIndex(), R.ProfileIndex);
        const TExportChoices C = Form->Choices();
        EXPECT_EQ(C.Separator, R.Sep);
        EXPECT_EQ(C.HasSubProfile, R.ProfileIndex >= 0);
        EXPECT_EQ(C.SubProfile, R.SubProfileText);
    }
}

// --- the command's questions through the program's windows --------------------------------

class ExportUiTest : public ExportFormTest {
protected:
    TQtExportUi Ui() {
        return TQtExportUi(nullptr, Prompts, Dialogs, nullptr, Remembered,
                           QStringLiteral("/fallback"));
    }
    // Two profiles, CSV and HTML, as export.ini declares them.
    void LoadTwoProfiles() {
        const TIniFile Ini("[CSV]\nFilter=csv\nDescription=CSV-Datei\n"
                           "[HTML]\nFilter=html;htm\nDescription=HTML-Bericht\n");
        Man.LoadProfiles(Ini);
        ASSERT_EQ(Man.Profiles().size(), 2u);
    }
    TExportSaveRequest SaveRequest() const {
        TExportSaveRequest S;
        S.FileTypes = {"CSV-Datei (*.csv)", "HTML-Bericht (*.html;*.htm)"};
        S.Masks = {"*.csv", "*.html;*.htm"};
        S.FileType = 1;
        S.FileName = "Beispiel.html";
        S.DefaultExt = "csv";
        return S;
    }

    TScriptedPrompts Prompts;
    TScriptedFileDialogs Dialogs;
    std::string Remembered;
    TExportMan Man;
};

TEST_F(ExportUiTest, SaveDialogOffersOneTypePerProfileAndRemembersTheChosenOne) {
    LoadTwoProfiles();
    TExportSaveRequest S = SaveRequest();
    Dialogs.Answers = {QStringLiteral("/out/Bericht.csv")};
    Dialogs.FilterAnswers = {0};
    auto Ui = this->Ui();
    ASSERT_TRUE(Ui.AskOutputFile(Man, S));
    ASSERT_EQ(Dialogs.Requests.size(), 1u);
    const TFileDialogRequest &R = Dialogs.Requests[0];
    EXPECT_EQ(R.Kind, TFileDialogRequest::Save);
    EXPECT_EQ(R.Title, QStringLiteral("Exportieren"));
    EXPECT_EQ(R.Filter,
              QStringLiteral("CSV-Datei (*.csv)|*.csv|HTML-Bericht (*.html;*.htm)|*.html;*.htm"));
    EXPECT_EQ(R.FilterIndex, 1);
    EXPECT_EQ(R.FileName, QStringLiteral("Beispiel.html"));
    EXPECT_EQ(R.InitialDir, QStringLiteral("/fallback"));
    EXPECT_EQ(R.DefaultSuffix, QStringLiteral("csv"));
    // The name field follows a change of type: a known extension swapped, another kept.
    ASSERT_TRUE(R.FilterChanged);
    EXPECT_EQ(R.FilterChanged(QStringLiteral("Bericht.HTML"), 0), QStringLiteral("Bericht.csv"));
    EXPECT_EQ(R.FilterChanged(QStringLiteral("Bericht.v2"), 1), QStringLiteral("Bericht.v2.html"));

    EXPECT_EQ(S.FileName, "/out/Bericht.csv");
    EXPECT_EQ(S.FileType, 0);
    EXPECT_EQ(Ui.LastFileType(), "CSV-Datei (*.csv)");

    // A cancelled dialog changes nothing.
    Dialogs.Answers = {QString()};
    S = SaveRequest();
    EXPECT_FALSE(Ui.AskOutputFile(Man, S));
    EXPECT_EQ(Ui.LastFileType(), "CSV-Datei (*.csv)");
    EXPECT_EQ(S.FileName, "Beispiel.html");
}

TEST_F(ExportUiTest, QtSaveDialogSwapsTheExtensionWhenTheTypeChanges) {
    LoadTwoProfiles();
    QTemporaryDir Dir;
    TQtFileDialogs Qt;
    std::string Last;
    TQtExportUi Ui(nullptr, Prompts, Qt, nullptr, Last, Dir.path());
    TExportSaveRequest S = SaveRequest();
    S.FileType = 0;
    S.FileName = "Beispiel.csv";
    S.Folder = QFile::encodeName(Dir.path() + QLatin1Char('/')).toStdString();
    QStringList Seen;
    WhenModal([&Seen](QDialog &D) {
        auto *Types = D.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        auto *Name = D.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        ASSERT_TRUE(Types && Name);
        Seen << Name->text();
        Types->setFocus();
        QTest::keyClick(Types, Qt::Key_Down);
        Seen << Name->text();
        Name->setText(QStringLiteral("Bericht.v2"));
        QTest::keyClick(Types, Qt::Key_Up);
        Seen << Name->text();
        QTest::keyClick(Name, Qt::Key_Return);
    });
    ASSERT_TRUE(Ui.AskOutputFile(Man, S));
    EXPECT_EQ(Seen, (QStringList{QStringLiteral("Beispiel.csv"), QStringLiteral("Beispiel.html"),
                                 QStringLiteral("Bericht.v2.csv")}));
    EXPECT_EQ(S.FileType, 0);
    EXPECT_EQ(QFile::decodeName(QByteArray::fromStdString(S.FileName)),
              QDir::toNativeSeparators(Dir.filePath(QStringLiteral("Bericht.v2.csv"))));
    EXPECT_EQ(Last, "CSV-Datei (*.csv)");
}

TEST_F(ExportUiTest, SubFoldersAreListedWithoutDotNamesAndFiles) {
    QTemporaryDir Dir;
    for (const char *Sub : {"Lang", ".git", "Kurz"})
        ASSERT_TRUE(QDir(Dir.path()).mkdir(QString::fromLatin1(Sub)));
    QFile(Dir.filePath(QStringLiteral("export.ini"))).open(QIODevice::WriteOnly);
    TStringList Names{"stale"};
    auto Ui = this->Ui();
    Ui.ListSubFolders(QFile::encodeName(Dir.path() + QLatin1Char('/')).toStdString(), Names);
    std::sort(Names.begin(), Names.end());
    EXPECT_EQ(Names, (TStringList{"Kurz", "Lang"}));
}

TEST_F(ExportUiTest, ExportFormAnswersOnOkOnlyAndMessagesReachThePrompts) {
    auto Ui = this->Ui();
    TExportChoices C;
    C.Separator = 'x';
    WhenModal([](QDialog &D) { Press(D, "CancelButton"); });
    EXPECT_FALSE(Ui.AskChoices(Request, Doc, C));
    EXPECT_EQ(C.Separator, 'x');

    WhenModal([](QDialog &D) {
        auto *Tree = Control<QTreeWidget>(D, "TreeView1");
        QTest::mouseClick(Tree->viewport(), Qt::LeftButton, {},
                          Tree->visualItemRect(Tree->topLevelItem(0)).center());
        Press(D, "OkButton");
    });
    ASSERT_TRUE(Ui.AskChoices(Request, Doc, C));
    ASSERT_EQ(C.Projects.size(), 10u);
    EXPECT_EQ(C.Projects.front(), Alpha);
    EXPECT_EQ(C.Separator, ';');

    Ui.ShowMessage(NoProfilesText);
    EXPECT_EQ(Prompts.Messages, QStringList{QStringLiteral("Keine Exportprofile vorhanden!")});
}

} // namespace
