#pragma once
// The entry edit dialog "Eintrag": start, end, comment and the document's field values of one
// entry, edited on a copy of its data.

#include "base/dates.h"
#include "model/ckm.h"

#include <QDialog>
#include <QString>

#include <string>
#include <vector>

class QDateEdit;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QTimeEdit;
class TFieldValueDelegate;
class TPromptService;

// One grid row per field definition of the document, in definition order.
struct tEditFieldItem {
    std::string Name;
    std::string Value;
};
using tEditFieldList = std::vector<tEditFieldItem>;

class TEditForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int MaxCommentLength = 255;

    TEditForm(TPromptService &APrompts, const tFieldDefList &AFieldDefs, QWidget *Parent = nullptr);

    // Fills the dialog from Data; values of fields the document does not define are left out.
    void SetData(const tCKEditItem &Data);
    // Writes the dialog's times, comment and the non-empty field values into Data.
    void GetData(tCKEditItem &Data) const;

private:
    friend class TFieldValueDelegate;

    // Checks Text for row Row's field; stores it (normalised) when it is accepted, otherwise
    // says why and stores nothing.
    bool CommitValue(int Row, const QString &Text);
    int FieldType(int Row) const;
    void FillGrid();
    void Confirm();
    bool RefuseUnstorable(const QString &Text);

    TPromptService &Prompts;
    tFieldDefList FieldDefs;
    tEditFieldList Rows;
    TDateTime StartTime = 0;
    TDateTime EndTime = 0;
    std::string Comment;
    // Set while a refusal is being shown: the editor losing its focus to the message box
    // must not be checked a second time.
    bool Refusing = false;

    QTabWidget *PageControl1;
    QDateEdit *StartDate;
    QTimeEdit *StartClock;
    QDateEdit *EndDate;
    QTimeEdit *EndClock;
    QLineEdit *CommentEdit;
    QTableWidget *ValueListEditor1;
    TFieldValueDelegate *ValueDelegate;
    QPushButton *OkButton;
    QPushButton *CancelButton;
};

// Shows the dialog over Data; true, with Data overwritten, only when the user confirmed it.
bool EditEntryDialog(QWidget *Owner, TPromptService &Prompts, const tFieldDefList &FieldDefs,
                     tCKEditItem &Data);
// A fresh one-second entry at the current second through EditEntryDialog; true, with Data
// filled, only when the user confirmed it.
bool NewEntryDialog(QWidget *Owner, TPromptService &Prompts, const tFieldDefList &FieldDefs,
                    tCKEditItem &Data);
// The text the windows show when a text holds characters the document cannot store.
QString UnstorableCharactersText(const QStringList &Characters);
// Text cut to Length characters without tearing a surrogate pair apart.
QString CutText(const QString &Text, qsizetype Length);
