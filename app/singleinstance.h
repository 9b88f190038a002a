#pragma once
// One running copy per user: a program started while another copy runs hands its command line
// to that copy (which shows its window and opens the named document) and ends. The copies
// meet at a local socket only the user can reach.

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

class TSingleInstance : public QObject {
    Q_OBJECT
public:
    // Name: the socket's name, the same for every copy of one user; DefaultName() gives it.
    explicit TSingleInstance(const QString &Name, QObject *Parent = nullptr);
    ~TSingleInstance() override;

    // The user's socket: in the user's runtime folder, else the temporary folder with the
    // user's name in it.
    static QString DefaultName();

    // Hands Arguments to the running copy and answers whether it took them (then this process
    // ends). Blocks for at most TimeoutMs; false when no copy answers.
    bool HandOver(const QStringList &Arguments, int TimeoutMs = 3000) const;
    // Becomes the running copy: later copies reach it through Received. A socket a crashed copy
    // left behind is taken over; false when another copy took the name meanwhile (hand over
    // to it) or the name cannot be had at all.
    bool Listen();

    // The most bytes one request may carry: a command line, never more.
    static constexpr qint64 MaxRequestBytes = 64 * 1024;

signals:
    // A later copy's command line, as it was started.
    void Received(const QStringList &Arguments);

private:
    void Accept();
    void Read(QLocalSocket *Socket);

    QString Name;
    QLocalServer *Server = nullptr;
};
