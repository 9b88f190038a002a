// Two copies of the program meeting at the user's socket; the later one runs in a thread of its
// own, as it would in its own process, since handing over blocks while the running copy answers.

#include "app/singleinstance.h"

#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    QTemporaryDir Dir;
    const QString Name = Dir.filePath(QStringLiteral("chronark.socket"));

    // Hands Arguments over from another thread and waits, serving the running copy meanwhile.
    bool HandOverFromAnotherCopy(const QStringList &Arguments) {
        std::atomic<int> Result{-1};
        std::thread Later([&] { Result = TSingleInstance(Name).HandOver(Arguments, 2000); });
        (void)QTest::qWaitFor([&] { return Result >= 0; }, 5000);
        Later.join();
        return Result == 1;
    }

    // What a made-up client sends, raw.
    void SendRaw(const QByteArray &Bytes) {
        std::atomic<bool> Done{false};
        std::thread Client([&] {
            QLocalSocket Socket;
            Socket.connectToServer(Name);
            if (Socket.waitForConnected(2000)) {
                Socket.write(Bytes);
                Socket.waitForBytesWritten(2000);
                Socket.waitForReadyRead(300);
            }
            Done = true;
        });
        (void)QTest::qWaitFor([&] { return Done.load(); }, 5000);
        Client.join();
    }
};

TEST_F(SingleInstanceTest, TheLaterCopyHandsItsCommandLineToTheRunningOne) {
    EXPECT_FALSE(TSingleInstance(Name).HandOver({QStringLiteral("x")}, 300)) << "no copy runs yet";
    TSingleInstance Running(Name);
    ASSERT_TRUE(Running.Listen());
    QSignalSpy Received(&Running, &TSingleInstance::Received);
    const QStringList Arguments{QStringLiteral("/home/anna/Zeiten März.ckx"),
                                QStringLiteral("--start"), QString()};
    EXPECT_TRUE(HandOverFromAnotherCopy(Arguments));
    ASSERT_EQ(Received.count(), 1);
    EXPECT_EQ(Received.at(0).at(0).toStringList(), Arguments);

    // A second copy that starts anyway does not take the name from the running one.
    TSingleInstance Second(Name);
    EXPECT_FALSE(Second.Listen());
    EXPECT_TRUE(HandOverFromAnotherCopy({}));
    EXPECT_EQ(Received.count(), 2);
}

TEST_F(SingleInstanceTest, WhatACrashedCopyLeftAtTheNameIsTakenOver) {
    QFile Left(Name);
    ASSERT_TRUE(Left.open(QIODevice::WriteOnly));
    Left.close();
    TSingleInstance Running(Name);
    ASSERT_TRUE(Running.Listen());
    QSignalSpy Received(&Running, &TSingleInstance::Received);
    EXPECT_TRUE(HandOverFromAnotherCopy({QStringLiteral("a.ckx")}));
    EXPECT_EQ(Received.count(), 1);
}

TEST_F(SingleInstanceTest, MadeUpRequestsAreDroppedAndTheCopyGoesOnServing) {
    TSingleInstance Running(Name);
    ASSERT_TRUE(Running.Listen());
    QSignalSpy Received(&Running, &TSingleInstance::Received);
    const auto Number = [](quint32 N) {
        QByteArray Bytes(4, '\0');
        qToBigEndian(N, Bytes.data());
        return Bytes;
    };
    // Too large, not ours, counts beyond the bytes sent, bytes left over.
    SendRaw(Number(0x7fffffff));
    SendRaw(Number(8) + QByteArray("XXXX") + Number(0));
    SendRaw(Number(8) + QByteArray("CKI1") + Number(0x40000000));
    SendRaw(Number(12) + QByteArray("CKI1") + Number(1) + Number(0xffffff00));
    SendRaw(Number(9) + QByteArray("CKI1") + Number(0) + QByteArray("!"));
    QTest::qWait(50);
    EXPECT_EQ(Received.count(), 0);
    EXPECT_TRUE(HandOverFromAnotherCopy({QStringLiteral("b.ckx")}));
    ASSERT_EQ(Received.count(), 1);
    EXPECT_EQ(Received.at(0).at(0).toStringList(), QStringList{QStringLiteral("b.ckx")});
}

} // namespace
