#pragma once
// Shared pieces of the dialog tests: finding a form's controls, pressing its buttons, and
// answering a dialog that runs with exec().

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QImage>
#include <QTreeWidget>
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

// The report trees of the export and print windows: room for twenty rows, rows high enough
// for an icon and the marks of "Ö", and no expand buttons beside nodes that have children.
inline void ExpectReportTreeLook(QTreeWidget *Tree) {
    ASSERT_NE(Tree, nullptr);
    Tree->resize(Tree->sizeHint());
    Tree->show();
    const int RowMin = qMax(16, QFontMetrics(Tree->font()).height()) + 2;
    QTreeWidgetItem *Top = Tree->topLevelItem(0);
    ASSERT_NE(Top, nullptr);
    EXPECT_GE(Tree->visualItemRect(Top).height(), RowMin);
    EXPECT_GE(Tree->sizeHint().height(), 20 * RowMin);
    EXPECT_GE(Tree->minimumHeight(), 20 * RowMin);
    // Where an expand button would stand, left of a node with children, all is background.
    const QImage Shot = Tree->viewport()->grab().toImage();
    for (QTreeWidgetItemIterator It(Tree); *It; ++It) {
        if ((*It)->childCount() == 0 || !(*It)->parent())
            continue;
        const QRect Row = Tree->visualItemRect(*It);
        const QRect Button(Row.left() - Tree->indentation(), Row.top(), Tree->indentation(),
                           Row.height());
        const QRgb Background = Shot.pixel(Button.left() + 1, Button.top() + 1);
        for (int Y = Button.top(); Y <= Button.bottom(); ++Y)
            for (int X = qMax(0, Button.left()); X <= Button.right(); ++X)
                if (Shot.pixel(X, Y) != Background) {
                    ADD_FAILURE() << "something drawn left of " << (*It)->text(0).toStdString();
                    return;
                }
    }
}
