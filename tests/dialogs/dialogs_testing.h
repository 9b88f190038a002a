#pragma once
// Shared pieces of the dialog tests: finding a form's controls, pressing its buttons, and
// answering a dialog that runs with exec().

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <functional>
#include <ostream>

inline void PrintTo(const QString &S, std::ostream *Out) {
    *Out << '"' << S.toStdString() << '"';
}

template <class T> T *Control(const QWidget &Form, const char *Name) {
    T *Found = Form.findChild<T *>(QString::fromLatin1(Name));
    EXPECT_NE(Found, nullptr) << Name;
    return Found;
}

inline void Press(const QWidget &Form, const char *Button) {
    QTest::mouseClick(Control<QPushButton>(Form, Button), Qt::LeftButton);
}

// Once a modal dialog is up, hands it to Act (which should close it); gives up after 5 s so a
// dialog that never opens fails the test instead of hanging it.
inline void WhenModal(std::function<void(QDialog &)> Act) {
    auto *Poll = new QTimer;
    auto *Clock = new QElapsedTimer;
    Clock->start();
    QObject::connect(Poll, &QTimer::timeout, [Poll, Clock, Act] {
        auto *Dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!Dialog && Clock->elapsed() < 5000)
            return;
        Poll->stop();
        Poll->deleteLater();
        delete Clock;
        if (!Dialog) {
            ADD_FAILURE() << "no modal dialog opened";
            return;
        }
        Act(*Dialog);
        if (Dialog->isVisible()) {
            ADD_FAILURE() << "the dialog stayed open";
            Dialog->reject();
        }
    });
    Poll->start(10);
}
