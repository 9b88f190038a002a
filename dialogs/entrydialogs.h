#pragma once
// The entry windows a command opens, behind one service, so that the main window's tests
// script them as they script the prompts and file dialogs.

#include "base/dates.h"
#include "model/ckm.h"

class QWidget;
class TPromptService;

class TEntryDialogService {
public:
    virtual ~TEntryDialogService() = default;
    // The entry edit dialog over Data, its "Felder" rows from FieldDefs; true, with Data
    // overwritten, only after OK.
    virtual bool EditEntry(QWidget *Owner, const tFieldDefList &FieldDefs, tCKEditItem &Data) = 0;
    // A fresh record (now without milliseconds, one second long, nothing else) through
    // EditEntry; true, with Data filled, only after OK.
    virtual bool NewEntry(QWidget *Owner, const tFieldDefList &FieldDefs, tCKEditItem &Data) = 0;
    // The split dialog for Entry; false when the entry is too short to split (after saying
    // so) or the user cancelled.
    virtual bool Split(QWidget *Owner, const TCKTimeItem &Entry, TDateTime &SplitTime) = 0;
};

// The real windows; their notices go through Prompts.
class TQtEntryDialogs : public TEntryDialogService {
public:
    explicit TQtEntryDialogs(TPromptService &APrompts) : Prompts(APrompts) {}

    bool EditEntry(QWidget *Owner, const tFieldDefList &FieldDefs, tCKEditItem &Data) override;
    bool NewEntry(QWidget *Owner, const tFieldDefList &FieldDefs, tCKEditItem &Data) override;
    bool Split(QWidget *Owner, const TCKTimeItem &Entry, TDateTime &SplitTime) override;

private:
    TPromptService &Prompts;
};
