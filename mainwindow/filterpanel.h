#pragma once
// The filter above the entry list: a from and a to bound, each with its box, and keywords. It
// sets the document's filter itself (the document keeps the bounds in order) and tells the
// window through Changed that the shown rows must follow.

#include <QFrame>

class QCheckBox;
class QDateEdit;
class QLineEdit;
class QTimeEdit;
class TChronarkMan;
class TPromptService;

class TFilterPanel : public QFrame {
    Q_OBJECT
public:
    // The document and the prompts must outlive the panel. It starts closed.
    TFilterPanel(TChronarkMan &ADocument, TPromptService &APrompts, QWidget *Parent);

    // Opening resets the fields (no bounds, today from 00:00:00 to 23:59:59, no keywords)
    // and filters by them; closing shows every row again. Changed follows either way.
    void SetOpen(bool Open);
    bool IsOpen() const { return !isHidden(); }

signals:
    // The document's filter is set anew.
    void Changed();
    // The header's close button was clicked; the window decides.
    void CloseClicked();

private:
    void BoundToggled(QCheckBox *Box, QDateEdit *Date, QTimeEdit *Time);
    // Sender: the control whose change ran it; only the four pickers correct the bounds.
    void Apply(const QObject *Sender);

    TChronarkMan &Doc;
    TPromptService &Prompts;
    QCheckBox *CheckBox1 = nullptr;
    QDateEdit *sddate = nullptr;
    QTimeEdit *sdtime = nullptr;
    QCheckBox *CheckBox2 = nullptr;
    QDateEdit *eddate = nullptr;
    QTimeEdit *edtime = nullptr;
    QLineEdit *Edit1 = nullptr;
};
