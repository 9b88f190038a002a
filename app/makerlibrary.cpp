#include "app/makerlibrary.h"

#include <QDir>
#include <QFileInfo>

TMakerLibrary::TMakerLibrary(const QString &BaseName, const QByteArray &ExportName)
    : BaseName(BaseName), ExportName(ExportName) {}

TMakerLibrary::~TMakerLibrary() {
    Free();
}

QString TMakerLibrary::PlatformFileName(const QString &BaseName) {
#if defined(Q_OS_WIN)
    return BaseName + QStringLiteral(".dll");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("lib") + BaseName + QStringLiteral(".dylib");
#else
    return QStringLiteral("lib") + BaseName + QStringLiteral(".so");
#endif
}

bool TMakerLibrary::Load(const QStringList &Folders) {
    Free();
    const QString fileName = PlatformFileName(BaseName);
    QString path;
    for (const QString &folder : Folders) {
        if (folder.isEmpty())
            continue;
        const QString candidate = QDir(folder).filePath(fileName);
        if (QFileInfo(candidate).isFile()) {
            path = candidate;
            break;
        }
    }
    if (path.isEmpty())
        return false;
    Library.setFileName(path);
    if (!Library.load())
        return false;
    Proc = Library.resolve(ExportName.constData());
    if (!Proc) {
        Library.unload();
        return false;
    }
    return true;
}

void TMakerLibrary::Free() {
    if (!Proc)
        return;
    Proc = nullptr;
    Library.unload();
}
