#include "plugins/revwatch/feedreader.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

TFeedReader::TFeedReader(QObject *Parent) : QObject(Parent) {}

TFeedReader::~TFeedReader() {
    AbortReply();
}

void TFeedReader::AbortReply() {
    if (!Reply)
        return;
    QNetworkReply *reply = Reply;
    Reply = nullptr;
    reply->disconnect(this);
    // The reply belongs to the network manager and goes with it (and with this reader);
    // deleting it here could pull it away from under its own signal.
    reply->abort();
}

void TFeedReader::Start(const QString &Address) {
    AbortReply();
    ++Generation;
    Running = true;
    const QString address = Address.trimmed();
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
        if (!Network)
            Network = new QNetworkAccessManager(this);
        QNetworkRequest request(url);
        request.setTransferTimeout(TimeoutMs);
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                             QNetworkRequest::NoLessSafeRedirectPolicy);
        Reply = Network->get(request);
        connect(Reply, &QNetworkReply::finished, this, &TFeedReader::ReplyFinished);
        connect(Reply, &QNetworkReply::downloadProgress, this, [this](qint64 Received, qint64) {
            if (Received > MaxFeedSize && Reply) {
                AbortReply();
                Finish(false, {}, QStringLiteral("die Antwort ist zu gro\u00df"));
            }
        });
        return;
    }
    // A drive letter ("C:") parses as a scheme too; everything that is no web address is a file.
    ReadFile(scheme == QLatin1String("file") ? url.toLocalFile() : address);
}

void TFeedReader::ReadFile(const QString &Path) {
    const int generation = Generation;
    bool ok = false;
    QByteArray text;
    QString error;
    QFile file(Path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("Datei \u201e%1\u201c: %2").arg(Path, file.errorString());
    } else if (file.size() > MaxFeedSize) {
        error = QStringLiteral("die Datei ist zu gro\u00df");
    } else {
        text = file.read(MaxFeedSize);
        ok = true;
    }
    QTimer::singleShot(0, this, [=, this] {
        if (generation == Generation)
            Finish(ok, text, error);
    });
}

void TFeedReader::ReplyFinished() {
    if (!Reply)
        return;
    QNetworkReply *reply = Reply;
    Reply = nullptr;
    const bool ok = reply->error() == QNetworkReply::NoError;
    const QByteArray text = ok ? reply->read(MaxFeedSize) : QByteArray();
    const QString error = ok ? QString() : reply->errorString();
    reply->disconnect(this);
    Finish(ok, text, error);
}

void TFeedReader::Finish(bool Ok, const QByteArray &Text, const QString &Error) {
    Running = false;
    emit finished(Ok, Text, Error);
}
