// The program: the application titled "Chronark", its main window and the message loop.

#include "mainwindow/mainform.h"
#include "app/regionalformat.h"

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char *argv[]) {
    // Answered before any window system is needed: installers and scripts ask it.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Chronark %s\n", TMainForm::VersionText);
            return 0;
        }
    QApplication App(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Chronark"));
    // The version check of the maker library asks the host for it.
    QApplication::setApplicationVersion(QString::fromLatin1(TMainForm::VersionText));
    // Qt's own dialogs (files, questions) speak German like the rest of the program.
    QTranslator QtGerman;
    if (QtGerman.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&QtGerman);
    // The window may hide in the tray; the program ends when the window's close is accepted.
    QApplication::setQuitOnLastWindowClosed(false);
    // Dates and numbers as the user's system shows them (German on a C/POSIX locale).
    UseSystemRegionalFormat();

    std::vector<std::string> Params;
    const QStringList Arguments = QApplication::arguments();
    for (int i = 1; i < Arguments.size(); ++i)
        Params.push_back(QFile::encodeName(Arguments[i]).toStdString());

    TMainForm Form(Params);
    QObject::connect(&Form, &TMainForm::Closed, &App, &QApplication::quit, Qt::QueuedConnection);
    Form.Start();
    return App.exec();
}
