#pragma once
// The split dialog "Zeit splitten": chooses the moment at which one entry is cut in two.

#include "base/dates.h"
#include "model/ckm.h"

#include <QDialog>

class QDateEdit;
class QPushButton;
class QTimeEdit;
class TPromptService;

class TSplitForm : public QDialog {
    Q_OBJECT
public:
    // Proposes Proposal; accepts only a moment strictly inside StartTime..EndTime.
    TSplitForm(TPromptService &APrompts, TDateTime AStartTime, TDateTime AEndTime,
               TDateTime Proposal, QWidget *Parent = nullptr);

    TDateTime SplitTime() const { return Chosen; }

private:
    void Confirm();

    TPromptService &Prompts;
    TDateTime StartTime;
    TDateTime EndTime;
    TDateTime Chosen = 0;
    QDateEdit *DatePicker;
    QTimeEdit *TimePicker;
    QPushButton *OkButton;
    QPushButton *CancelButton;
};

// The middle of Entry, rounded down to the second, or false (after saying so) when Entry is
// shorter than two whole seconds and so cannot be cut strictly inside.
bool SplitProposal(TPromptService &Prompts, const TCKTimeItem &Entry, TDateTime &Proposal);
// Asks where to cut Entry; true with SplitTime only when the user confirmed a valid moment.
bool SplitDialog(QWidget *Owner, TPromptService &Prompts, const TCKTimeItem &Entry,
                 TDateTime &SplitTime);
