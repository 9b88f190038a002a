#pragma once
// The search window "Eintrag suchen": finds entries anywhere in the document by words in their
// comment or field values and by a time range, and lists them with their project path. It is
// not modal; the window that owns the document keeps its rows current through UpdateSearch.

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

class TSearchForm : public QWidget {
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

    // After entries changed: Mode -1 re-checks every row against the search (Flag: first drop
    // rows of entries no longer in the document), Mode >= 0 only re-sorts, -2 leaves the rows.
    // The status line then counts the rows.
    void UpdateSearch(int Mode, bool Flag);
    // The document was replaced: its rows name entries that are gone.
    void ForgetResults();
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
