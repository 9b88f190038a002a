#pragma once
// The document settings dialog "Dokumenteinstellungen": the default project of measurements and
// the document's field definitions, edited on a copy and written back only on OK.

#include "model/ckfieldsettings.h"

#include <QDialog>
#include <QString>

class QPushButton;
class QTabWidget;
class QTableWidget;
class QTreeWidgetItem;
class TFieldDefDelegate;
class TImageList;
class TPromptService;
class TProjectTree;

class TFileSettingsForm : public QDialog {
    Q_OBJECT
public:
    // Fills the project tree and the field grid from Doc, which stays untouched.
    TFileSettingsForm(TPromptService &APrompts, const TChronarkMan &Doc,
                      const TImageList *Images = nullptr, QWidget *Parent = nullptr);

    // The dialog's state; what OK hands to the document.
    const TFieldSettings &Settings() const { return Fields; }

private:
    friend class TFieldDefDelegate;

    // Checks Text for a cell of Row and stores it when accepted; otherwise says why.
    bool CommitCell(int Row, int Column, const QString &Text);
    // Commits a cell still being edited; false (the cell stays open) when it is refused.
    bool CommitOpenEditor();
    // What an accepted cell shows: the name as typed, the type by its name.
    QString ShownText(int Row, int Column, const QString &Typed) const;
    void AppendGridRow(int Row);
    void AddClick();
    void DeleteClick();
    void TreeView1Change(QTreeWidgetItem *Node);
    void Confirm();

    TPromptService &Prompts;
    TFieldSettings Fields;
    // Set while a refusal is shown: the editor losing its focus to the message box must not
    // be checked a second time.
    bool Refusing = false;

    QTabWidget *PageControl1;
    TProjectTree *TreeView1;
    QTableWidget *ValueListEditor1;
    TFieldDefDelegate *Delegate;
    QPushButton *AddButton;
    QPushButton *DeleteButton;
    QPushButton *OkButton;
    QPushButton *CancelButton;
};

// How the dialog ended: cancelled, or OK with or without a change to the document.
enum class TSettingsOutcome { Cancelled, Unchanged, Changed };

// Shows the dialog over Doc; on OK writes its settings into Doc.
TSettingsOutcome FileSettingsDialog(QWidget *Owner, TPromptService &Prompts,
                                    const TImageList *Images, TChronarkMan &Doc);
