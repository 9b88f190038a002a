#include "app/makerlibs.h"

#include "app/capp.h"
#include "app/makerinfo.h"
#include "app/makerlibrary.h"
#include "app/makerlibsabi.h"
#include "app/qtext.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMessageBox>

namespace {

TMakerLibrary &InfoPane() {
    static TMakerLibrary library(QStringLiteral("infopane"), InfoPaneExport);
    return library;
}

TMakerLibrary &RevWatch() {
    static TMakerLibrary library(QStringLiteral("revwatch"), RevWatchExport);
    return library;
}

} // namespace

QStringList MakerLibraryFolders() {
    QStringList folders{QCoreApplication::applicationDirPath()};
    const QString maker = QFile::decodeName(GetMakerFilesDir().c_str());
    if (QDir::isAbsolutePath(maker))
        folders << maker;
    return folders;
}

bool LoadInfoPane() {
    return InfoPane().Load(MakerLibraryFolders());
}

bool LoadRevWatch() {
    return RevWatch().Load(MakerLibraryFolders());
}

void FreeInfoPane() {
    InfoPane().Free();
}

void FreeRevWatch() {
    RevWatch().Free();
}

bool InfoPaneLoaded() {
    return InfoPane().IsLoaded();
}

bool RevWatchLoaded() {
    return RevWatch().IsLoaded();
}

QString FallbackAboutText() {
    return QString::fromUtf8(MakerNotice) + QStringLiteral("\n\nHomepage: ") +
           QString::fromUtf8(MakerHomepage);
}

void ShowAboutBox(QWidget *Owner, const QString &ProgramText) {
    if (!InfoPane().IsLoaded()) {
        QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(),
                        FallbackAboutText(), QMessageBox::Ok, Owner);
        box.exec();
        return;
    }
    const TShortString program = MakeShortString(FromQ(ProgramText));
    const TShortString empty;
    const TShortString parser = MakeShortString(ParserVersionText);
    const auto show = reinterpret_cast<TShowInfoPaneDialog>(InfoPane().Export());
    show(Owner, &program, &empty, &empty, &parser, 0);
}

void ShowVersionCheck(QWidget *Owner) {
    if (!RevWatch().IsLoaded())
        return;
    const TShortString empty;
    const TShortString product = MakeShortString("chronark");
    const auto show = reinterpret_cast<TShowRevWatchDialog>(RevWatch().Export());
    show(Owner, &empty, &product, &empty);
}
