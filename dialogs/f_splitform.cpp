#include "dialogs/f_splitform.h"

#include "base/dates.h"
#include "base/durations.h"
#include "dialogs/pickers.h"
#include "ui/prompts.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

TSplitForm::TSplitForm(TPromptService &APrompts, TDateTime AStartTime, TDateTime AEndTime,
                       TDateTime Proposal, QWidget *Parent)
    : QDialog(Parent), Prompts(APrompts), StartTime(AStartTime), EndTime(AEndTime) {
    setWindowTitle(QStringLiteral("Zeit splitten"));
    DatePicker = NewDatePicker(this);
    DatePicker->setObjectName(QStringLiteral("SplitDate"));
    TimePicker = NewTimePicker(this);
    TimePicker->setObjectName(QStringLiteral("SplitClock"));
    SetPickers(DatePicker, TimePicker, Proposal);

    OkButton = new QPushButton(QStringLiteral("OK"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Abbrechen"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    connect(OkButton, &QPushButton::clicked, this, &TSplitForm::Confirm);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *Pickers = new QHBoxLayout;
    Pickers->addWidget(DatePicker);
    Pickers->addWidget(TimePicker);
    auto *Buttons = new QHBoxLayout;
    Buttons->addStretch();
    Buttons->addWidget(OkButton);
    Buttons->addWidget(CancelButton);
    auto *Main = new QVBoxLayout(this);
    Main->addLayout(Pickers);
    Main->addLayout(Buttons);
    Main->setSizeConstraint(QLayout::SetFixedSize);
}

void TSplitForm::Confirm() {
    const TDateTime T = PickedDateTime(DatePicker, TimePicker);
    if (CompareDateTime(T, StartTime) <= 0 || CompareDateTime(T, EndTime) >= 0) {
        Prompts.ShowMessage(QStringLiteral("Die Zeit liegt außerhalb der Zeitspanne!"));
        return;
    }
    Chosen = T;
    accept();
}

bool SplitProposal(TPromptService &Prompts, const TCKTimeItem &Entry, TDateTime &Proposal) {
    const int64_t Seconds = DurationSeconds(Entry.EndTime, Entry.StartTime);
    if (Seconds < 2) {
        Prompts.ShowMessage(QStringLiteral("Die Zeitspanne ist zu gering, um sie zu splitten!"));
        return false;
    }
    Proposal = AddSeconds(Entry.StartTime, Seconds / 2);
    return true;
}

bool SplitDialog(QWidget *Owner, TPromptService &Prompts, const TCKTimeItem &Entry,
                 TDateTime &SplitTime) {
    TDateTime Proposal;
    if (!SplitProposal(Prompts, Entry, Proposal))
        return false;
    TSplitForm Form(Prompts, Entry.StartTime, Entry.EndTime, Proposal, Owner);
    if (Form.exec() != QDialog::Accepted)
        return false;
    SplitTime = Form.SplitTime();
    return true;
}
