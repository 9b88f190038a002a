#include "app/singleinstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QtEndian>

namespace {

// A request: "CKI1", the number of arguments, then each as its byte count and UTF-8 bytes,
// all behind the request's own byte count. The answer is one byte.
constexpr char Magic[] = "CKI1";
constexpr char Taken = 'k';

void AppendNumber(QByteArray &Out, quint32 N) {
    char Bytes[4];
    qToBigEndian(N, Bytes);
    Out.append(Bytes, 4);
}

bool ReadNumber(const QByteArray &In, qsizetype &At, quint32 &N) {
    if (In.size() - At < 4)
        return false;
    N = qFromBigEndian<quint32>(In.constData() + At);
    At += 4;
    return true;
}

QByteArray Encode(const QStringList &Arguments) {
    QByteArray Body(Magic, 4);
    AppendNumber(Body, static_cast<quint32>(Arguments.size()));
    for (const QString &Argument : Arguments) {
        const QByteArray Utf8 = Argument.toUtf8();
        AppendNumber(Body, static_cast<quint32>(Utf8.size()));
        Body += Utf8;
    }
    QByteArray Request;
    AppendNumber(Request, static_cast<quint32>(Body.size()));
    return Request + Body;
}

// Every count is checked against the bytes that are there, so a made-up request cannot make
// the reader reserve or read beyond it.
bool Decode(const QByteArray &Body, QStringList &Arguments) {
    if (!Body.startsWith(QByteArray(Magic, 4)))
        return false;
    qsizetype At = 4;
    quint32 Count = 0;
    if (!ReadNumber(Body, At, Count) || Count > (Body.size() - At) / 4)
        return false;
    for (quint32 i = 0; i < Count; ++i) {
        quint32 Length = 0;
        if (!ReadNumber(Body, At, Length) || Length > Body.size() - At)
            return false;
        Arguments.append(QString::fromUtf8(Body.constData() + At, Length));
        At += Length;
    }
    return At == Body.size();
}

} // namespace

TSingleInstance::TSingleInstance(const QString &AName, QObject *Parent)
    : QObject(Parent), Name(AName) {}

TSingleInstance::~TSingleInstance() = default;

QString TSingleInstance::DefaultName() {
    const QString Runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!Runtime.isEmpty())
        return QDir(Runtime).filePath(QStringLiteral("chronark.socket"));
    QString User = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    User.remove(QLatin1Char('/'));
    return QDir(QDir::tempPath())
        .filePath(QStringLiteral("chronark-") + User + QStringLiteral(".socket"));
}

bool TSingleInstance::HandOver(const QStringList &Arguments, int TimeoutMs) const {
    QLocalSocket Socket;
    Socket.connectToServer(Name);
    if (!Socket.waitForConnected(TimeoutMs))
        return false;
    Socket.write(Encode(Arguments));
    if (!Socket.waitForBytesWritten(TimeoutMs))
        return false;
    // Taken only when the running copy says so: one that hangs or dies on the way leaves this
    // copy to start after all, so the user's command is never lost.
    while (Socket.bytesAvailable() < 1)
        if (!Socket.waitForReadyRead(TimeoutMs))
            return false;
    char Answer = 0;
    return Socket.read(&Answer, 1) == 1 && Answer == Taken;
}

bool TSingleInstance::Listen() {
    if (Server)
        return true;
    // Asked first, since taking the name replaces whatever lies there: a copy that started at
    // the same moment may have just taken it, and then this one hands over after all.
    {
        QLocalSocket Probe;
        Probe.connectToServer(Name);
        if (Probe.waitForConnected(500))
            return false;
    }
    // Nobody answers: what lies at the name is a crashed copy's.
    QLocalServer::removeServer(Name);
    auto *NewServer = new QLocalServer(this);
    NewServer->setSocketOptions(QLocalServer::UserAccessOption);
    if (!NewServer->listen(Name)) {
        delete NewServer;
        return false;
    }
    Server = NewServer;
    connect(Server, &QLocalServer::newConnection, this, &TSingleInstance::Accept);
    return true;
}

void TSingleInstance::Accept() {
    while (QLocalSocket *Socket = Server->nextPendingConnection()) {
        connect(Socket, &QLocalSocket::disconnected, Socket, &QObject::deleteLater);
        connect(Socket, &QLocalSocket::readyRead, this, [this, Socket] { Read(Socket); });
        Read(Socket);
    }
}

void TSingleInstance::Read(QLocalSocket *Socket) {
    QByteArray Head = Socket->peek(4);
    if (Head.size() < 4)
        return;
    qsizetype At = 0;
    quint32 Size = 0;
    ReadNumber(Head, At, Size);
    if (Size > MaxRequestBytes) {
        Socket->abort();
        return;
    }
    if (Socket->bytesAvailable() < 4 + static_cast<qint64>(Size))
        return;
    Socket->skip(4);
    QStringList Arguments;
    const bool Valid = Decode(Socket->read(Size), Arguments);
    if (!Valid) {
        Socket->abort();
        return;
    }
    Socket->write(&Taken, 1);
    Socket->flush();
    emit Received(Arguments);
}
