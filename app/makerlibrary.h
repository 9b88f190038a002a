#pragma once
// One of the maker's optional libraries: found by file name in a list of folders, loaded,
// and bound to its one export.

#include <QByteArray>
#include <QLibrary>
#include <QString>
#include <QStringList>

class TMakerLibrary {
public:
    TMakerLibrary(const QString &BaseName, const QByteArray &ExportName);
    ~TMakerLibrary();
    TMakerLibrary(const TMakerLibrary &) = delete;
    TMakerLibrary &operator=(const TMakerLibrary &) = delete;

    // The platform's file name: libinfopane.so, infopane.dll, ...
    static QString PlatformFileName(const QString &BaseName);

    // Uses the first folder that holds the file; false when none does, when that file does
    // not load, or when it lacks the export (it is unloaded again then).
    bool Load(const QStringList &Folders);
    void Free();
    bool IsLoaded() const { return Proc != nullptr; }
    QFunctionPointer Export() const { return Proc; }
    // Full path of the loaded file; empty when not loaded.
    QString FilePath() const { return IsLoaded() ? Library.fileName() : QString(); }

private:
    QString BaseName;
    QByteArray ExportName;
    QLibrary Library;
    QFunctionPointer Proc = nullptr;
};
