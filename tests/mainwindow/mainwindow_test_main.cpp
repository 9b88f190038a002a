// The GUI tests run on an offscreen QApplication with the German formats pinned.

#include "base/formatsettings.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication App(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Chronark"));
    QApplication::setQuitOnLastWindowClosed(false);
    SetFormatSettings(GermanFormatSettings());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
