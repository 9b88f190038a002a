#pragma once
// The version check: shows the installed version, reads the version feed the user set, and
// says whether a newer version exists, or plainly that it could not find out.

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class TFeedReader;

class TRevWatchDialog : public QDialog {
    Q_OBJECT
public:
    // Feed empty: the feed stored in the user's settings. A feed that is configured is read
    // at once when the dialog opens.
    TRevWatchDialog(QWidget *Owner, const QString &Installed, const QString &Product,
                    const QString &Feed);

    // Where the user's feed address is kept: the maker's settings, program "RevWatch".
    static QString StoredFeed();
    static void StoreFeed(const QString &Feed);

    void StartCheck();

private:
    void FeedRead(bool Ok, const QByteArray &Text, const QString &Error);
    void ShowStatus(const QString &Text);
    void FitToText();

    QString Installed;
    QString Product;
    bool FeedGiven;
    QLineEdit *FeedEdit;
    QLabel *NewestLabel;
    QLabel *StatusLabel;
    QPushButton *CheckButton;
    TFeedReader *Reader;
};
