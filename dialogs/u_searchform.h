#pragma once
// The search window "Eintrag suchen": finds entries anywhere in the document by words in their
// comment or field values and by a time range, and lists them with their project path. It is
// not modal, and follows the document's changes while it is open.

#include "model/ckm.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimeEdit;
class QTreeWidgetItem;
class TEntryList;
class TImageList;
class TPromptService;
class TRegistry;

class TSearchForm : public QWidget, private TCKDocumentListener {
    Q_OBJECT
public:
    // The commands on result rows belong to the window that owns the document.
    struct THost {
        // The shared row menu over List at GlobalPos.
        std::function<void(TEntryList &List, const QPoint &GlobalPos)> RowMenu;
        // The entry edit dialog for Row's entry (a double click).
        std::function<void(TEntryList &List, QTreeWidgetItem *Row)> EditRow;
        // The in-place edit of Row's comment ended with Text.
        std::function<void(TEntryList &List, QTreeWidgetItem *Row, const QString &Text)>
            CommentEdited;
        // Delete in the list: the selected rows go as through the row menu.
        std::function<void(TEntryList &List)> DeleteRows;
        // The window is about to close (its placement is still the user's).
        std::function<void(const TSearchForm &Form)> Closing;
    };

    // Document and the services must outlive the window.
    TSearchForm(const TChronarkMan &ADocument, const TImageList &Images, TPromptService &APrompts,
                THost AHost, QWidget *Parent = nullptr);
    ~TSearchForm() override;

    // The status line counts the rows.
    void ShowCount();

    TEntryList &ResultList() const { return *ListView1; }
    const tFilterItem &Parameters() const { return SearchParams; }

    // The placement kept under the program's key AppName, sub-key "SearchForm": bounds and
    // column widths. Restore applies what is stored, fitted into Area (invalid: the screen
    // the window lands on); without stored bounds the window opens over the middle of Beside.
    void RestorePlacement(TRegistry &Registry, const QString &AppName, const QRect &Area,
                          const QRect &Beside);
    void SavePlacement(TRegistry &Registry, const QString &AppName) const;

protected:
    void showEvent(QShowEvent *Event) override;
    void closeEvent(QCloseEvent *Event) override;
    void keyPressEvent(QKeyEvent *Event) override;
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    // The rows follow the document: changed entries are checked again (those that no longer
    // match leave), removed ones go unread, changed paths check every row, a document
    // replaced empties the list. New entries join with the next search.
    void EntriesAdded(const TCKEntriesEvent &Event) override;
    void EntriesChanged(const TCKEntriesEvent &Event) override;
    void ItemsRemoved(const TCKRemovedEvent &Event) override;
    void ItemsMoved(const TCKMovedEvent &Event) override;
    void ProjectRenamed(TCKProjectItem *Project) override;
    void DocumentReplaced(bool Imported) override;
    // Every row checked again and counted.
    void RecheckRows();

    void BuildLayout();
    // Widths that show the date and duration texts whole; the comment takes the rest.
    void SizeColumns();
    // F2 and Delete on the result list, as the row menu offers them; true when handled.
    bool ListKeyDown(int Key);
    void StartClick();
    void NewSearchClick();
    void CheckBox1Click();
    void CheckBox2Click();

    const TChronarkMan &Document;
    TPromptService &Prompts;
    THost Host;
    tFilterItem SearchParams;

    QCheckBox *CheckBox1 = nullptr;
    QDateEdit *sddate = nullptr;
    QTimeEdit *sdtime = nullptr;
    QCheckBox *CheckBox2 = nullptr;
    QDateEdit *eddate = nullptr;
    QTimeEdit *edtime = nullptr;
    QLineEdit *Edit1 = nullptr;
    QPushButton *StartButton = nullptr;
    QPushButton *NewSearchButton = nullptr;
    TEntryList *ListView1 = nullptr;
    QLabel *StatusBar1 = nullptr;
    bool Shown = false;
};
