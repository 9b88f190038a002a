#include "base/clock.h"
#include "base/dates.h"
#include "dialogs/u_searchform.h"

#include "dialogs/entrylist.h"
#include "dialogs_testing.h"
#include "picker_testing.h"
#include "ui/imagelist.h"
#include "tests/ui/scriptedprompts.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimeEdit>

namespace {

const QString BoundsText = QStringLiteral("Die Startzeit ist größer oder gleich der Endzeit");

TDateTime At(int Day, int H, int M = 0) {
    return EncodeDateTime(2024, 3, Day, H, M, 0);
}

// A document over three projects whose paths sort by bytes, not as a person would, and a
// search window over it (the row commands are the main window's, tested there).
class SearchFormTest : public testing::Test {
protected:
    void SetUp() override {
        SetClock([] { return At(4, 15, 30); });
        TCKProjectItem &Root = *Doc.Root;
        TCKProjectItem *Lower = Root.AddProject("kunden");
        TCKProjectItem *Upper = Root.AddProject("Kunden");
        TCKProjectItem *Meier = Upper->AddProject("Meier");
        Add(Lower, 4, 8, 9, "kleinbuchstaben Kunde");
        Add(Upper, 4, 11, 12, "Rechnung Februar");
        Add(Upper, 4, 9, 10, "Anruf", {{"Kontakt", "KUNDE Meier"}});
        Add(Meier, 5, 9, 10, "\xF6l kaufen");
        Root.AddTime({At(3, 22), At(4, 2), "Nachtschicht", {}});
        Form = std::make_unique<TSearchForm>(Doc, Images, Prompts, TSearchForm::THost{});
    }
    void TearDown() override {
        Form.reset();
        SetClock({});
    }

    TCKTimeItem *Add(TCKProjectItem *P, int Day, int H1, int H2, const std::string &Comment,
                     tFieldList Fields = {}) {
        return P->AddTime({At(Day, H1), At(Day, H2), Comment, std::move(Fields)});
    }

    // Enters the criteria as a user would (empty Date: box left unticked) and presses Start.
    void Search(const QString &Words, QDateTime From = {}, QDateTime To = {}) {
        auto Bound = [&](const char *Box, const char *Date, const char *Time, QDateTime T) {
            Control<QCheckBox>(*Form, Box)->setChecked(T.isValid());
            if (!T.isValid())
                return;
            Control<QDateEdit>(*Form, Date)->setDate(T.date());
            Control<QTimeEdit>(*Form, Time)->setTime(T.time());
        };
        Bound("CheckBox1", "sddate", "sdtime", From);
        Bound("CheckBox2", "eddate", "edtime", To);
        Control<QLineEdit>(*Form, "Edit1")->setText(Words);
        Press(*Form, "StartButton");
    }
    QStringList Column(int C) const {
        QStringList Texts;
        for (int i = 0; i < List().Count(); ++i)
            Texts << List().Row(i)->text(C);
        return Texts;
    }
    TEntryList &List() const { return Form->ResultList(); }
    QString Status() const { return Control<QLabel>(*Form, "StatusBar1")->text(); }

    TChronarkMan Doc;
    TImageList Images;
    TScriptedPrompts Prompts;
    std::unique_ptr<TSearchForm> Form;
};

QDateTime On(int Day, int H, int M = 0) {
    return QDateTime(QDate(2024, 3, Day), QTime(H, M));
}

TEST_F(SearchFormTest, OpensResetWithTheResultColumns) {
    EXPECT_EQ(Form->windowTitle(), QStringLiteral("Eintrag suchen"));
    EXPECT_FALSE(Form->isModal());
    EXPECT_TRUE(Form->testAttribute(Qt::WA_DeleteOnClose));
    QStringList Headers;
    for (int c = 0; c < List().columnCount(); ++c)
        Headers << List().headerItem()->text(c);
    EXPECT_EQ(Headers,
              (QStringList{"Bemerkung", "Startzeit", "Endzeit", "Dauer", "Projektordner"}));
    EXPECT_FALSE(List().header()->sectionsClickable());
    EXPECT_EQ(List().selectionMode(), QAbstractItemView::ExtendedSelection);
    for (const char *Box : {"CheckBox1", "CheckBox2"})
        EXPECT_FALSE(Control<QCheckBox>(*Form, Box)->isChecked()) << Box;
    for (const char *Picker : {"sddate", "sdtime", "eddate", "edtime"})
        EXPECT_FALSE(Control<QWidget>(*Form, Picker)->isEnabled()) << Picker;
    EXPECT_EQ(Control<QDateEdit>(*Form, "sddate")->date(), QDate(2024, 3, 4));
    EXPECT_EQ(Control<QDateEdit>(*Form, "eddate")->date(), QDate(2024, 3, 4));
    EXPECT_EQ(Control<QTimeEdit>(*Form, "sdtime")->time(), QTime(0, 0, 0));
    EXPECT_EQ(Control<QTimeEdit>(*Form, "edtime")->time(), QTime(23, 59, 59));
    EXPECT_TRUE(Control<QLineEdit>(*Form, "Edit1")->text().isEmpty());
    EXPECT_TRUE(Status().isEmpty());
    EXPECT_EQ(List().Count(), 0);

    Control<QCheckBox>(*Form, "CheckBox2")->setChecked(true);
    EXPECT_TRUE(Control<QWidget>(*Form, "eddate")->isEnabled());
    EXPECT_TRUE(Control<QWidget>(*Form, "edtime")->isEnabled());
    EXPECT_FALSE(Control<QWidget>(*Form, "sddate")->isEnabled());
}

TEST_F(SearchFormTest, FindsByKeywordsAndStrictBounds) {
    const struct {
        const char *Name;
        QString Words;
        QDateTime From, To;
        QStringList Found; // comments in list order
    } Cases[] = {
        {"nothing entered lists every entry",
         "",
         {},
         {},
         {"Nachtschicht", "Anruf", "Rechnung Februar", QStringLiteral("öl kaufen"),
          "kleinbuchstaben Kunde"}},
        {"keywords are alternatives",
         "Rechnung Nachtschicht",
         {},
         {},
         {"Nachtschicht", "Rechnung Februar"}},
        {"A to Z in any case, also in field values",
         "kunde",
         {},
         {},
         {"Anruf", "kleinbuchstaben Kunde"}},
        {"a capital umlaut does not find the small one", QStringLiteral("ÖL"), {}, {}, {}},
        {"the small umlaut finds itself",
         QStringLiteral("öL"),
         {},
         {},
         {QStringLiteral("öl kaufen")}},
        {"project captions and field ids are not searched", "Meier Kontakt", {}, {}, {"Anruf"}},
        {"runs of blanks are no keywords", "   februar   ", {}, {}, {"Rechnung Februar"}},
        {"from: ending at the bound is out",
         "",
         On(4, 9),
         {},
         {"Anruf", "Rechnung Februar", QStringLiteral("öl kaufen")}},
        {"from: started before but ends after",
         "",
         On(4, 1),
         {},
         {"Nachtschicht", "Anruf", "Rechnung Februar", QStringLiteral("öl kaufen"),
          "kleinbuchstaben Kunde"}},
        {"to: starting at the bound is out",
         "",
         {},
         On(4, 9),
         {"Nachtschicht", "kleinbuchstaben Kunde"}},
        {"both bounds with a keyword",
         "kunde",
         On(4, 8, 30),
         On(4, 9, 30),
         {"Anruf", "kleinbuchstaben Kunde"}},
    };
    for (const auto &Case : Cases) {
        Search(Case.Words, Case.From, Case.To);
        QStringList Found = Column(0);
        EXPECT_EQ(Found, Case.Found) << Case.Name;
        EXPECT_EQ(Status(), QString::number(Case.Found.size()) + " Item(s) gefunden!") << Case.Name;
        Press(*Form, "NewSearchButton");
    }
    EXPECT_TRUE(Prompts.Messages.isEmpty());
}

TEST_F(SearchFormTest, SortsByPathBytesThenStartAndShowsTheRowTexts) {
    Search("");
    EXPECT_EQ(Column(4), (QStringList{"", "Kunden", "Kunden", "Kunden\\Meier", "kunden"}));
    ASSERT_EQ(List().Count(), 5);
    QStringList Night;
    for (int c = 0; c < 5; ++c)
        Night << List().Row(0)->text(c);
    EXPECT_EQ(Night, (QStringList{"Nachtschicht", "03.03.2024 22:00:00", "04.03.2024 02:00:00",
                                  "04:00:00", ""}));
    EXPECT_EQ(List().ImageOf(0), int(imgEntryPlain));
}

TEST_F(SearchFormTest, BoundsTheWrongWayRoundAreSaidButSearched) {
    Search("", On(4, 10), On(4, 10));
    EXPECT_EQ(Prompts.Messages, QStringList{BoundsText});
    // Only what runs across the moment.
    EXPECT_EQ(Column(0), QStringList{});
    Search("", On(4, 9, 30), On(4, 9, 15));
    EXPECT_EQ(Prompts.Messages, (QStringList{BoundsText, BoundsText}));
    EXPECT_EQ(Column(0), QStringList{"Anruf"});
    EXPECT_EQ(Status(), QStringLiteral("1 Item(s) gefunden!"));
}

TEST_F(SearchFormTest, NewSearchClearsEverythingAndNoBoundStaysInForce) {
    Search("Anruf", On(4, 9, 30), On(4, 9, 45));
    ASSERT_EQ(List().Count(), 1);
    Press(*Form, "NewSearchButton");
    EXPECT_EQ(List().Count(), 0);
    EXPECT_TRUE(Status().isEmpty());
    EXPECT_FALSE(Control<QCheckBox>(*Form, "CheckBox1")->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(*Form, "CheckBox2")->isChecked());
    EXPECT_FALSE(Control<QWidget>(*Form, "sdtime")->isEnabled());
    EXPECT_EQ(Control<QTimeEdit>(*Form, "sdtime")->time(), QTime(0, 0, 0));
    EXPECT_EQ(Control<QTimeEdit>(*Form, "edtime")->time(), QTime(23, 59, 59));
    EXPECT_FALSE(Form->Parameters().UseFromDate);
    EXPECT_FALSE(Form->Parameters().UseToDate);
    Press(*Form, "StartButton");
    EXPECT_EQ(List().Count(), 5);
}

TEST_F(SearchFormTest, RowsFollowTheDocumentsChanges) {
    Search("anruf nacht");
    ASSERT_EQ(Column(0), (QStringList{"Nachtschicht", "Anruf"}));
    TCKTimeItem *Night = List().RowData(0)->AsTime();
    TCKTimeItem *Call = List().RowData(1)->AsTime();

    // A changed comment shows, an entry that no longer matches leaves; the count follows.
    tCKEditItem Data = Call->GetData();
    Data.Comment = "Anruf bei Meier";
    ASSERT_TRUE(Doc.SetEntryData(Call, Data));
    EXPECT_EQ(Column(0), (QStringList{"Nachtschicht", "Anruf bei Meier"}));
    Data = Night->GetData();
    Data.Comment = "Fruehschicht";
    ASSERT_TRUE(Doc.SetEntryData(Night, Data));
    EXPECT_EQ(Column(0), QStringList{"Anruf bei Meier"});
    EXPECT_EQ(Status(), QStringLiteral("1 Item(s) gefunden!"));

    // A renamed project shows in the paths; a deleted one takes its entries' rows along.
    TCKProjectItem *Upper = Call->Parent;
    ASSERT_TRUE(Doc.RenameProject(Upper, "Kundschaft"));
    EXPECT_EQ(Column(4), QStringList{"Kundschaft"});
    ASSERT_TRUE(Doc.DeleteItems({Upper}));
    EXPECT_EQ(List().Count(), 0);
    EXPECT_EQ(Status(), QStringLiteral("0 Item(s) gefunden!"));

    // A new document leaves nothing to show.
    Search("");
    ASSERT_GT(List().Count(), 0);
    Doc.NewDocument();
    EXPECT_EQ(List().Count(), 0);
}

TEST_F(SearchFormTest, AnEditedStartTimeMovesItsRow) {
    Search("");
    TCKTimeItem *First = List().RowData(1)->AsTime(); // Kunden 09:00
    tCKEditItem Data = First->GetData();
    Data.StartTime = At(4, 11, 30);
    Data.EndTime = At(4, 11, 45);
    ASSERT_TRUE(Doc.SetEntryData(First, Data));
    EXPECT_EQ(List().RowData(2), First);
    EXPECT_EQ(Status(), QStringLiteral("5 Item(s) gefunden!"));
}

// The bounds show as every window's dates do; a click into a part selects it for the digits.
TEST_F(SearchFormTest, BoundPickersTakeDigitsWhereClicked) {
    Control<QCheckBox>(*Form, "CheckBox1")->setChecked(true);
    Control<QCheckBox>(*Form, "CheckBox2")->setChecked(true);
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    auto *From = Control<QDateEdit>(*Form, "sddate");
    auto *To = Control<QDateEdit>(*Form, "eddate");
    EXPECT_EQ(From->text(), QStringLiteral("Mo., 04.03.2024"));
    ClickAndType(From, 5, QStringLiteral("03"));
    ClickAndType(To, 9, QStringLiteral("04"));
    EXPECT_EQ(From->text(), QStringLiteral("So., 03.03.2024"));
    EXPECT_EQ(To->text(), QStringLiteral("Do., 04.04.2024"));
}

TEST_F(SearchFormTest, EnterInTheKeywordsSearches) {
    auto *Words = Control<QLineEdit>(*Form, "Edit1");
    Words->setText(QStringLiteral("anruf"));
    QTest::keyClick(Words, Qt::Key_Return);
    EXPECT_EQ(Column(0), QStringList{"Anruf"});
    EXPECT_EQ(Status(), QStringLiteral("1 Item(s) gefunden!"));
}

TEST_F(SearchFormTest, DatesShowWholeAndOnlyTheCommentColumnGrows) {
    Form->show();
    QApplication::processEvents();
    Search("");
    ASSERT_GT(List().Count(), 0);
    const QFontMetrics Metrics(List().font());
    for (int c = 1; c <= 3; ++c)
        for (int r = 0; r < List().Count(); ++r) {
            EXPECT_TRUE(List().CutOffText(List().Row(r), c).isEmpty()) << c << " " << r;
            EXPECT_GT(List().header()->sectionSize(c),
                      Metrics.horizontalAdvance(List().Row(r)->text(c)))
                << c << " " << r;
        }
    QList<int> Before;
    for (int c = 0; c < 5; ++c)
        Before << List().header()->sectionSize(c);
    Form->resize(Form->width() + 200, Form->height());
    QApplication::processEvents();
    QList<int> After;
    for (int c = 0; c < 5; ++c)
        After << List().header()->sectionSize(c);
    EXPECT_EQ(After, (QList<int>{Before[0] + 200, Before[1], Before[2], Before[3], Before[4]}));
}

} // namespace
