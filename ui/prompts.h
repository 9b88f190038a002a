#pragma once
// Every question and notice of the main window goes through one prompt service, so that tests
// can script the answers instead of clicking message boxes.

#include <QString>
#include <QStringList>

class QWidget;

enum class TPromptAnswer { Yes, No, Cancel };

class TPromptService {
public:
    virtual ~TPromptService() = default;
    // A notice with one OK button.
    virtual void ShowMessage(const QString &Text) = 0;
    // An error notice with one OK button (file errors).
    virtual void ShowError(const QString &Text) = 0;
    // A warning with one OK button (a file read with remarks).
    virtual void ShowWarning(const QString &Text) = 0;
    // "Bestätigung" with "&Ja" and "&Nein", plus "Abbrechen" when WithCancel. Closing the box
    // answers Cancel when offered, otherwise No.
    virtual TPromptAnswer Confirm(const QString &Text, bool WithCancel) = 0;
    // "Bestätigung" with one button per caption, for questions with more than yes or no;
    // answers the index of the button chosen, -1 when the box was closed without a choice.
    virtual int Choose(const QString &Text, const QStringList &Buttons) = 0;
};

// Message boxes parented to a window.
class TMessageBoxPrompts : public TPromptService {
public:
    explicit TMessageBoxPrompts(QWidget *AParent = nullptr) : Parent(AParent) {}
    void SetParent(QWidget *AParent) { Parent = AParent; }

    void ShowMessage(const QString &Text) override;
    void ShowError(const QString &Text) override;
    void ShowWarning(const QString &Text) override;
    TPromptAnswer Confirm(const QString &Text, bool WithCancel) override;
    int Choose(const QString &Text, const QStringList &Buttons) override;

private:
    QWidget *Parent;
};
