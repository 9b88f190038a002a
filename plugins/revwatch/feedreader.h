#pragma once
// Fetches the version feed from a web address (http, https) or a file (path or file: URL).
// The answer always arrives through finished(), also for a file, after the call returns.

#include <QObject>
#include <QPointer>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;

class TFeedReader : public QObject {
    Q_OBJECT
public:
    // A feed is a few lines; anything larger is not a feed.
    static constexpr qint64 MaxFeedSize = 64 * 1024;
    static constexpr int TimeoutMs = 15000;

    explicit TFeedReader(QObject *Parent = nullptr);
    ~TFeedReader() override;

    // Starts reading Address, abandoning a read still running.
    void Start(const QString &Address);
    bool IsRunning() const { return Running; }

signals:
    // Ok false: Error says why (German).
    void finished(bool Ok, const QByteArray &Text, const QString &Error);

private:
    void ReadFile(const QString &Path);
    void ReplyFinished();
    void Finish(bool Ok, const QByteArray &Text, const QString &Error);
    void AbortReply();

    QNetworkAccessManager *Network = nullptr;
    QPointer<QNetworkReply> Reply;
    bool Running = false;
    int Generation = 0;
};
