#pragma once
// Every question and notice of the main window goes through one prompt service, so that tests
// can script the answers instead of clicking message boxes.

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

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

    // The window the boxes belong to while a command of another window asks (see
    // TPromptOwnerScope); null: the service's own window.
    QWidget *Owner() const { return CurrentOwner; }
    void SetOwner(QWidget *Owner) { CurrentOwner = Owner; }

private:
    QPointer<QWidget> CurrentOwner;
};

// Within its scope the boxes of Prompts belong to Owner: a box over another window would bring
// that window up over the one the user works in.
class TPromptOwnerScope {
public:
    TPromptOwnerScope(TPromptService &APrompts, QWidget *Owner)
        : Prompts(APrompts), Previous(APrompts.Owner()) {
        Prompts.SetOwner(Owner);
    }
    ~TPromptOwnerScope() { Prompts.SetOwner(Previous); }
    TPromptOwnerScope(const TPromptOwnerScope &) = delete;
    TPromptOwnerScope &operator=(const TPromptOwnerScope &) = delete;

private:
    TPromptService &Prompts;
    QPointer<QWidget> Previous;
};

// Message boxes parented to a window, or to the owner of the moment.
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
    QWidget *BoxParent() const { return Owner() ? Owner() : Parent; }

    QWidget *Parent;
};
