#include "base/clock.h"
#include "base/dates.h"
#include "base/fieldtype.h"
#include "dialogs/edtform.h"

#include "app/qtext.h"
#include "dialogs_testing.h"
#include "picker_testing.h"
#include "tests/ui/scriptedprompts.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimeEdit>

namespace {

enum { RowText, RowDone, RowCount, RowRate, RowWhen };

const tFieldDefList Defs = {{"Text", ftString},
                            {"Done", ftBoolean},
                            {"Count", ftInteger},
                            {"Rate", ftFloat},
                            {"When", ftDateTime}};

tCKEditItem Entry() {
    tCKEditItem Data;
    Data.StartTime = EncodeDateTime(2024, 3, 4, 10, 0, 0);
    Data.EndTime = EncodeDateTime(2024, 3, 4, 11, 30, 15);
    Data.Comment = "Besprechung";
    Data.Fields = {{"Count", "7"}, {"Unknown", "x"}, {"Done", "1"}, {"Count", "8"}};
    return Data;
}

class EditFormTest : public ::testing::Test {
protected:
    void Open(const tCKEditItem &Data, const tFieldDefList &FieldDefs = Defs) {
        Form = std::make_unique<TEditForm>(Prompts, FieldDefs);
        Form->SetData(Data);
        Form->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
        Grid = Control<QTableWidget>(*Form, "ValueListEditor1");
    }
    // Opens the value cell of Row for editing and returns the line the user types into.
    QLineEdit *EditCell(int Row) {
        Control<QTabWidget>(*Form, "PageControl1")->setCurrentIndex(1);
        Grid->setCurrentCell(Row, 1);
        Grid->editItem(Grid->item(Row, 1));
        return OpenLine();
    }
    QLineEdit *OpenLine() const {
        for (QWidget *Editor : Grid->viewport()->findChildren<QWidget *>("ValueEditor")) {
            if (!Editor->isVisible())
                continue;
            if (auto *Combo = qobject_cast<QComboBox *>(Editor))
                return Combo->lineEdit();
            return qobject_cast<QLineEdit *>(Editor);
        }
        return nullptr;
    }
    void Type(int Row, const QString &Text) {
        QLineEdit *Line = EditCell(Row);
        ASSERT_NE(Line, nullptr);
        Line->setText(Text);
        QTest::keyClick(Line, Qt::Key_Return);
    }
    tCKEditItem Confirmed() {
        Press(*Form, "OkButton");
        EXPECT_EQ(Form->result(), QDialog::Accepted);
        tCKEditItem Data;
        Form->GetData(Data);
        return Data;
    }

    TScriptedPrompts Prompts;
    std::unique_ptr<TEditForm> Form;
    QTableWidget *Grid = nullptr;
};

TEST_F(EditFormTest, ShowsTheEntryWithGermanWeekdaysAndKeepsItWhenConfirmed) {
    Open(Entry());
    EXPECT_EQ(Form->windowTitle(), QStringLiteral("Eintrag"));
    EXPECT_EQ(Control<QTabWidget>(*Form, "PageControl1")->currentIndex(), 0);
    const QString Start = Control<QDateEdit>(*Form, "StartDate")->text();
    EXPECT_TRUE(Start.startsWith(QStringLiteral("Mo"))) << Start.toStdString();
    EXPECT_TRUE(Start.endsWith(QStringLiteral(", 04.03.2024"))) << Start.toStdString();
    EXPECT_EQ(Control<QTimeEdit>(*Form, "EndClock")->text(), QStringLiteral("11:30:15"));
    EXPECT_EQ(Control<QLineEdit>(*Form, "CommentEdit")->text(), QStringLiteral("Besprechung"));
    ASSERT_EQ(Grid->rowCount(), 5);
    EXPECT_EQ(Grid->horizontalHeaderItem(0)->text(), QStringLiteral("Schlüssel"));
    EXPECT_EQ(Grid->horizontalHeaderItem(1)->text(), QStringLiteral("Wert"));
    EXPECT_EQ(Grid->item(RowCount, 1)->text(),
              QStringLiteral("8")); // a later value of a field wins

    const tCKEditItem Data = Confirmed();
    EXPECT_EQ(Data.StartTime, Entry().StartTime);
    EXPECT_EQ(Data.EndTime, Entry().EndTime);
    EXPECT_EQ(Data.Comment, "Besprechung");
    // Definition order; the value without a definition is gone; "1" stays as stored.
    const tFieldList Expected = {{"Done", "1"}, {"Count", "8"}};
    EXPECT_EQ(Data.Fields, Expected);
    EXPECT_TRUE(Prompts.Messages.isEmpty());
}

TEST_F(EditFormTest, BooleansStoredAsDigitsReadAsWords) {
    const struct {
        std::string Stored;
        QString Shown;
    } Cases[] = {{"1", "True"}, {"0", "False"}, {"tRuE", "True"}, {"ja", "ja"}};
    for (const auto &Case : Cases) {
        tCKEditItem Data = Entry();
        Data.Fields = {{"Done", Case.Stored}};
        Open(Data);
        EXPECT_EQ(Grid->item(RowDone, 1)->text(), Case.Shown) << Case.Stored;
        EXPECT_EQ(Confirmed().Fields, Data.Fields) << Case.Stored;
    }
}

struct TCellCase {
    const char *Name;
    int Row;
    QString Typed;
    QString Message; // empty when the value is taken
    std::string Stored;
};

class EditFormCellTest : public EditFormTest, public ::testing::WithParamInterface<TCellCase> {};

TEST_P(EditFormCellTest, ChecksTheValueByItsFieldType) {
    const TCellCase &Case = GetParam();
    tCKEditItem Data = Entry();
    Data.Fields = {{"Text", "a"}, {"Done", "1"}, {"Count", "7"}, {"Rate", "0,5"}, {"When", "b"}};
    Open(Data);
    Type(Case.Row, Case.Typed);
    EXPECT_TRUE(Form->isVisible()); // the key closed the cell, not the dialog
    if (Case.Message.isEmpty()) {
        EXPECT_TRUE(Prompts.Messages.isEmpty()) << Prompts.Messages.join('|').toStdString();
        // The cell keeps what was typed; the row holds the normalised value.
        EXPECT_EQ(Grid->item(Case.Row, 1)->text(), Case.Typed);
    } else {
        EXPECT_EQ(Prompts.Messages, QStringList{Case.Message});
        // The cell opens again with the refused text.
        ASSERT_TRUE(QTest::qWaitFor([&] {
            const QLineEdit *Line = OpenLine();
            return Line && Line->hasFocus() && Line->text() == Case.Typed;
        }));
        QTest::keyClick(OpenLine(), Qt::Key_Escape);
        ASSERT_TRUE(QTest::qWaitFor([&] { return OpenLine() == nullptr; }));
        EXPECT_TRUE(Form->isVisible());
        Prompts.Messages.clear();
    }
    const tCKEditItem Result = Confirmed();
    std::string Value;
    for (const tFieldItem &Field : Result.Fields)
        if (Field.Id == Defs[Case.Row].Id)
            Value = Field.Value;
    EXPECT_EQ(Value, Case.Message.isEmpty() ? Case.Stored : Data.Fields[Case.Row].Value);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, EditFormCellTest,
    ::testing::Values(
        TCellCase{"BooleanCapitals", RowDone, "TRUE", "", "True"},
        TCellCase{"BooleanFalse", RowDone, "false", "", "False"},
        TCellCase{"BooleanDigit", RowDone, "1", "ungültiger Eigenschaftswert", ""},
        TCellCase{"BooleanWord", RowDone, "ja", "ungültiger Eigenschaftswert", ""},
        TCellCase{"Integer", RowCount, "-42", "", "-42"},
        TCellCase{"IntegerText", RowCount, "12x", "'12x' ist kein gültiger Integerwert", ""},
        TCellCase{"Float", RowRate, "1,25", "", "1,25"},
        TCellCase{"FloatPoint", RowRate, "1.25", "'1.25' ist kein gültiger Gleitkommawert", ""},
        TCellCase{"Text", RowText, "beliebig", "", "beliebig"},
        TCellCase{"DateTimeUnchecked", RowWhen, "irgendwann", "", "irgendwann"},
        TCellCase{"ClearedBoolean", RowDone, "", "", ""},
        TCellCase{"ClearedInteger", RowCount, "", "", ""},
        TCellCase{"Unstorable", RowText, "a\u20ACb\u4E00",
                  "Diese Zeichen können im Dokument nicht gespeichert werden: \u4E00", ""}),
    [](const ::testing::TestParamInfo<TCellCase> &Info) { return Info.param.Name; });

// The cell opened again for a refused value, left as it is, closes: the user has been told
// once, the row keeps its value, and the cell does not open again and again.
TEST_F(EditFormTest, ARefusedValueLeftUnchangedClosesTheCellWithTheStoredValue) {
    tCKEditItem Data = Entry();
    Data.Fields = {{"Count", "7"}};
    Open(Data);
    Type(RowCount, QStringLiteral("12x"));
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const QLineEdit *Line = OpenLine();
        return Line && Line->hasFocus() && Line->selectedText() == QStringLiteral("12x");
    }));
    QTest::keyClick(OpenLine(), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return OpenLine() == nullptr; }));
    QTest::qWait(50);
    EXPECT_EQ(OpenLine(), nullptr);
    EXPECT_EQ(Prompts.Messages.size(), 1);
    EXPECT_EQ(Grid->item(RowCount, 1)->text(), QStringLiteral("7"));
    // A mended value is taken from a cell opened anew.
    Type(RowCount, QStringLiteral("12x"));
    EXPECT_EQ(Prompts.Messages.size(), 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return OpenLine() != nullptr; }));
    OpenLine()->setText(QStringLiteral("12"));
    QTest::keyClick(OpenLine(), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return OpenLine() == nullptr; }));
    const tFieldList Expected = {{"Count", "12"}};
    EXPECT_EQ(Confirmed().Fields, Expected);
    EXPECT_EQ(Prompts.Messages.size(), 2);
}

TEST_F(EditFormTest, OkRefusesReversedAndEqualTimesAndStaysOpen) {
    const struct {
        const char *Name;
        int EndSecond;
        QString Message;
    } Cases[] = {{"reversed", 59, "Die Endzeit leigt vor der StartZeit!"},
                 {"equal", 0, "Die Start- und Enzeit sind gleich!"},
                 {"one second", 1, ""}};
    for (const auto &Case : Cases) {
        Prompts.Messages.clear();
        Open(Entry());
        Control<QDateEdit>(*Form, "EndDate")->setDate(QDate(2024, 3, 4));
        const QTime End = Case.EndSecond == 59 ? QTime(9, 59, 59) : QTime(10, 0, Case.EndSecond);
        Control<QTimeEdit>(*Form, "EndClock")->setTime(End);
        Press(*Form, "OkButton");
        if (Case.Message.isEmpty()) {
            EXPECT_EQ(Form->result(), QDialog::Accepted) << Case.Name;
            EXPECT_TRUE(Prompts.Messages.isEmpty()) << Case.Name;
            continue;
        }
        EXPECT_EQ(Prompts.Messages, QStringList{Case.Message}) << Case.Name;
        EXPECT_TRUE(Form->isVisible()) << Case.Name;
        EXPECT_EQ(Control<QTimeEdit>(*Form, "EndClock")->time(), End) << Case.Name;
    }
}

TEST_F(EditFormTest, CommentIsCutTo255Characters) {
    tCKEditItem Data = Entry();
    Data.Comment = std::string(300, 'x');
    Open(Data);
    EXPECT_EQ(Control<QLineEdit>(*Form, "CommentEdit")->text().size(), 255);
    EXPECT_EQ(Confirmed().Comment, std::string(255, 'x'));
}

TEST_F(EditFormTest, CommentTheDocumentCannotHoldIsRefused) {
    Open(Entry());
    Control<QLineEdit>(*Form, "CommentEdit")->setText(QStringLiteral("Treffen \u2192 Büro"));
    Press(*Form, "OkButton");
    EXPECT_EQ(Prompts.Messages,
              QStringList{"Diese Zeichen können im Dokument nicht gespeichert werden: \u2192"});
    EXPECT_TRUE(Form->isVisible());
    Control<QLineEdit>(*Form, "CommentEdit")->setText(QStringLiteral("Treffen im Büro"));
    EXPECT_EQ(Confirmed().Comment, FromQ(QStringLiteral("Treffen im Büro")));
}

TEST_F(EditFormTest, WithoutFieldDefinitionsTheGridIsEmptyAndDisabled) {
    Open(Entry(), {});
    EXPECT_EQ(Grid->rowCount(), 0);
    EXPECT_FALSE(Grid->isEnabled());
    EXPECT_TRUE(Confirmed().Fields.empty());
}

// The pickers show "Mo., 04.03.2024" and "10:00:00" / "11:30:15"; a click selects the part
// it hits, wherever in the part, and the digits typed replace it.
TEST_F(EditFormTest, DigitsTypedAfterAClickReplaceThePartClicked) {
    const struct {
        const char *Name;
        const char *Picker;
        int Index;
        QString Keys;
        TDateTime Start, End;
    } Cases[] = {
        {"the end's day", "EndDate", 5, "15", Entry().StartTime,
         EncodeDateTime(2024, 3, 15, 11, 30, 15)},
        {"the second digit of the day", "StartDate", 6, "02", EncodeDateTime(2024, 3, 2, 10, 0, 0),
         Entry().EndTime},
        {"the end's month", "EndDate", 8, "11", Entry().StartTime,
         EncodeDateTime(2024, 11, 4, 11, 30, 15)},
        {"the start's year", "StartDate", 13, "2023", EncodeDateTime(2023, 3, 4, 10, 0, 0),
         Entry().EndTime},
        {"the end's hour", "EndClock", 1, "12", Entry().StartTime,
         EncodeDateTime(2024, 3, 4, 12, 30, 15)},
    };
    for (const auto &Case : Cases) {
        Open(Entry());
        ClickAndType(Control<QDateTimeEdit>(*Form, Case.Picker), Case.Index, Case.Keys);
        const tCKEditItem Data = Confirmed();
        EXPECT_EQ(Data.StartTime, Case.Start) << Case.Name;
        EXPECT_EQ(Data.EndTime, Case.End) << Case.Name;
    }
}

TEST(EditEntryDialogTest, CancelLeavesTheRecordAlone) {
    TScriptedPrompts Prompts;
    tCKEditItem Data = Entry();
    Data.Comment = std::string(300, 'y');
    const tCKEditItem Before = Data;
    WhenModal([](QDialog &Dialog) {
        Control<QLineEdit>(Dialog, "CommentEdit")->setText(QStringLiteral("anders"));
        Control<QTimeEdit>(Dialog, "StartClock")->setTime(QTime(8, 0));
        Press(Dialog, "CancelButton");
    });
    EXPECT_FALSE(EditEntryDialog(nullptr, Prompts, Defs, Data));
    EXPECT_EQ(Data, Before);
}

TEST(EditEntryDialogTest, NewEntryIsOneSecondAtTheCurrentSecond) {
    TScriptedPrompts Prompts;
    SetClock([] { return EncodeDateTime(2024, 12, 31, 23, 59, 59, 640); });
    tCKEditItem Data;
    Data.Comment = "alt";
    WhenModal([](QDialog &Dialog) { Press(Dialog, "OkButton"); });
    const bool Confirmed = NewEntryDialog(nullptr, Prompts, Defs, Data);
    SetClock({});
    ASSERT_TRUE(Confirmed);
    EXPECT_EQ(Data.StartTime, EncodeDateTime(2024, 12, 31, 23, 59, 59));
    EXPECT_EQ(Data.EndTime, EncodeDateTime(2025, 1, 1, 0, 0, 0));
    EXPECT_EQ(Data.Comment, "");
    EXPECT_TRUE(Data.Fields.empty());
}

} // namespace
