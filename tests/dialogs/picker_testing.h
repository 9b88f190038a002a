#pragma once
// Pointing at a part of a date or time picker and typing there, as a user does.

#include <QDateTimeEdit>
#include <QLineEdit>
#include <QtTest/QTest>

// Clicks the middle of the picker's character at Index and types Keys. The picker's window
// must be shown and active.
inline void ClickAndType(QDateTimeEdit *Picker, int Index, const QString &Keys) {
    auto *Line = Picker->findChild<QLineEdit *>();
    const QString Text = Line->text();
    const QFontMetrics Metrics = Line->fontMetrics();
    // QLineEdit keeps two pixels between its contents and the text.
    const int X = Line->contentsRect().left() + 2 + Metrics.horizontalAdvance(Text.left(Index)) +
                  Metrics.horizontalAdvance(Text.at(Index)) / 2;
    QTest::mouseClick(Line, Qt::LeftButton, {}, QPoint(X, Line->height() / 2));
    QTest::keyClicks(Picker, Keys);
}
