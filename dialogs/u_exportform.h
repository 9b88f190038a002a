#pragma once
// The windows of the export command: the save dialog "Exportieren" (through the shared file
// dialogs) and Texportform, which asks for the projects, the sub-profile and the separator.

#include "export/u_export.h"

#include <QDialog>
#include <QString>

#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;
class TProjectTree;
class TFileDialogService;
class TImageList;
class TPromptService;

class Texportform : public QDialog {
    Q_OBJECT
public:
    Texportform(const TExportFormRequest &Request, const TChronarkMan &Document,
                const TImageList *Images, QWidget *Parent = nullptr);

    // What the dialog holds now, as the export reads it after OK.
    TExportChoices Choices() const;

private:
    void SeparatorChanged(int Index);
    void CharacterTyped(const QString &Text);
    void CodeChanged(int Code);
    bool CustomSeparator() const;

    TExportFormRequest Request;
    TProjectTree *TreeView1;
    QLabel *ProfileLabel;
    QComboBox *cbProfile;
    QLabel *SeparatorLabel;
    QComboBox *cbSeparator;
    QLabel *CharLabel;
    QLineEdit *edChar;
    QLabel *CodeLabel;
    QSpinBox *edCode;
    // Set while one box writes the other, so that the other does not answer in turn.
    bool Linking = false;
};

// The export command's questions answered by the program's windows.
class TQtExportUi : public TExportUi {
public:
    // LastFileType is the save dialog's memory of the file type; it outlives this object.
    // FallbackFolder is where the save dialog opens for a document never saved.
    TQtExportUi(QWidget *Owner, TPromptService &Prompts, TFileDialogService &Dialogs,
                const TImageList *Images, std::string &LastFileType, QString FallbackFolder);

    void ShowMessage(const std::string &Text) override;
    std::string LastFileType() override;
    bool AskOutputFile(const TExportMan &Man, TExportSaveRequest &Request) override;
    void ListSubFolders(const std::string &Path, TStringList &Names) override;
    bool AskChoices(const TExportFormRequest &Request, const TChronarkMan &Document,
                    TExportChoices &Choices) override;
    void Written(const std::string &FileName) override;
    // The file the export went to; empty when none was written.
    const QString &WrittenFile() const { return FWrittenFile; }

private:
    QString FWrittenFile;
    QWidget *Owner;
    TPromptService &Prompts;
    TFileDialogService &Dialogs;
    const TImageList *Images;
    std::string &RememberedType;
    QString FallbackFolder;
};
