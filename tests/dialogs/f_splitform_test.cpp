#include "base/dates.h"
#include "dialogs/f_splitform.h"

#include "dialogs_testing.h"
#include "picker_testing.h"
#include "tests/ui/scriptedprompts.h"

#include <QDateEdit>
#include <QTimeEdit>

namespace {

const QString TooShort = QStringLiteral("Die Zeitspanne ist zu gering, um sie zu splitten!");
const QString Outside = QStringLiteral("Die Zeit liegt außerhalb der Zeitspanne!");

const TDateTime Start = EncodeDateTime(2024, 5, 6, 12, 0, 0);

void SetSpan(TCKTimeItem &Entry, TDateTime From, double Seconds) {
    Entry.StartTime = From;
    Entry.EndTime = From + Seconds / SecsPerDay;
}

TEST(SplitProposalTest, MiddleRoundedDownOrTooShort) {
    const struct {
        const char *Name;
        double Seconds;
        int Offset; // -1: too short
    } Cases[] = {{"2 s", 2, 1},  {"3 s", 3, 1},       {"1.4 s", 1.4, -1}, {"1.6 s", 1.6, 1},
                 {"1 s", 1, -1}, {"1 h", 3600, 1800}, {"61 s", 61, 30}};
    for (const auto &Case : Cases) {
        TScriptedPrompts Prompts;
        TCKTimeItem Entry;
        SetSpan(Entry, Start, Case.Seconds);
        TDateTime Proposal = 0;
        const bool Possible = SplitProposal(Prompts, Entry, Proposal);
        EXPECT_EQ(Possible, Case.Offset >= 0) << Case.Name;
        if (Possible) {
            EXPECT_EQ(CompareDateTime(Proposal, AddSeconds(Start, Case.Offset)), 0) << Case.Name;
            EXPECT_TRUE(Prompts.Messages.isEmpty()) << Case.Name;
        } else {
            EXPECT_EQ(Prompts.Messages, QStringList{TooShort}) << Case.Name;
        }
    }
}

TEST(SplitDialogTest, ProposesTheMiddleAndReturnsIt) {
    TScriptedPrompts Prompts;
    TCKTimeItem Entry;
    SetSpan(Entry, Start, 3);
    TDateTime SplitTime = 0;
    QString Caption, Clock;
    WhenModal([&](QDialog &Dialog) {
        Caption = Dialog.windowTitle();
        Clock = Control<QTimeEdit>(Dialog, "SplitClock")->text();
        Press(Dialog, "OkButton");
    });
    ASSERT_TRUE(SplitDialog(nullptr, Prompts, Entry, SplitTime));
    EXPECT_EQ(Caption, QStringLiteral("Zeit splitten"));
    EXPECT_EQ(Clock, QStringLiteral("12:00:01"));
    EXPECT_EQ(SplitTime, AddSeconds(Start, 1));
    EXPECT_TRUE(Prompts.Messages.isEmpty());
}

TEST(SplitDialogTest, CancelReturnsFalse) {
    TScriptedPrompts Prompts;
    TCKTimeItem Entry;
    SetSpan(Entry, Start, 10);
    TDateTime SplitTime = 42;
    WhenModal([](QDialog &Dialog) { Press(Dialog, "CancelButton"); });
    EXPECT_FALSE(SplitDialog(nullptr, Prompts, Entry, SplitTime));
    EXPECT_EQ(SplitTime, 42);
}

// An entry from 23:59:50 to 00:00:10 next day: the proposal is midnight; either day works
// when the pickers are set to it, the bounds and moments outside do not.
TEST(SplitFormTest, AcceptsOnlyMomentsStrictlyInsideAlsoAcrossMidnight) {
    const TDateTime From = EncodeDateTime(2024, 5, 6, 23, 59, 50);
    const TDateTime To = EncodeDateTime(2024, 5, 7, 0, 0, 10);
    const struct {
        const char *Name;
        QDate Day;
        QTime Time;
        bool Inside;
    } Cases[] = {{"before midnight", {2024, 5, 6}, {23, 59, 55}, true},
                 {"after midnight", {2024, 5, 7}, {0, 0, 5}, true},
                 {"the start", {2024, 5, 6}, {23, 59, 50}, false},
                 {"the end", {2024, 5, 7}, {0, 0, 10}, false},
                 {"a day late", {2024, 5, 7}, {23, 59, 55}, false},
                 {"a day early", {2024, 5, 6}, {0, 0, 5}, false}};
    for (const auto &Case : Cases) {
        TScriptedPrompts Prompts;
        TCKTimeItem Entry;
        Entry.StartTime = From;
        Entry.EndTime = To;
        TDateTime Proposal = 0;
        ASSERT_TRUE(SplitProposal(Prompts, Entry, Proposal));
        TSplitForm Form(Prompts, From, To, Proposal);
        Form.show();
        EXPECT_EQ(Control<QDateEdit>(Form, "SplitDate")->date(), QDate(2024, 5, 7)) << Case.Name;
        EXPECT_EQ(Control<QTimeEdit>(Form, "SplitClock")->time(), QTime(0, 0)) << Case.Name;
        Control<QDateEdit>(Form, "SplitDate")->setDate(Case.Day);
        Control<QTimeEdit>(Form, "SplitClock")->setTime(Case.Time);
        Press(Form, "OkButton");
        EXPECT_EQ(Form.result() == QDialog::Accepted, Case.Inside) << Case.Name;
        if (Case.Inside) {
            TDateTime Expected;
            ASSERT_TRUE(TryEncodeDateTime(Case.Day.year(), Case.Day.month(), Case.Day.day(),
                                          Case.Time.hour(), Case.Time.minute(), Case.Time.second(),
                                          0, Expected));
            EXPECT_EQ(Form.SplitTime(), Expected) << Case.Name;
            EXPECT_TRUE(Prompts.Messages.isEmpty()) << Case.Name;
        } else {
            EXPECT_EQ(Prompts.Messages, QStringList{Outside}) << Case.Name;
            EXPECT_TRUE(Form.isVisible()) << Case.Name;
        }
    }
}

// The proposal shows as "Di., 07.05.2024"; a click into the day selects it for the digits.
TEST(SplitFormTest, DigitsTypedAfterAClickIntoTheDayReplaceIt) {
    TScriptedPrompts Prompts;
    const TDateTime From = EncodeDateTime(2024, 5, 6, 11, 0, 0);
    const TDateTime To = EncodeDateTime(2024, 5, 8, 13, 0, 0);
    TSplitForm Form(Prompts, From, To, EncodeDateTime(2024, 5, 7, 12, 0, 0));
    Form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Form));
    auto *Date = Control<QDateEdit>(Form, "SplitDate");
    EXPECT_EQ(Date->text(), QStringLiteral("Di., 07.05.2024"));
    ClickAndType(Date, 6, QStringLiteral("06"));
    Press(Form, "OkButton");
    EXPECT_EQ(Form.result(), QDialog::Accepted);
    EXPECT_EQ(Form.SplitTime(), EncodeDateTime(2024, 5, 6, 12, 0, 0));
    EXPECT_TRUE(Prompts.Messages.isEmpty());
}

} // namespace
