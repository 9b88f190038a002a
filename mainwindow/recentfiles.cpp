#include "mainwindow/recentfiles.h"

int TRecentFiles::IndexOf(const QString &FileName) const {
    for (int i = 0; i < FItems.size(); ++i)
        if (FItems[i].compare(FileName, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void TRecentFiles::Add(const QString &FileName) {
    if (FileName.isEmpty())
        return;
    const int Old = IndexOf(FileName);
    if (Old == 0 && FItems[0] == FileName)
        return;
    if (Old >= 0)
        FItems.removeAt(Old);
    FItems.prepend(FileName);
    while (FItems.size() > MaxItems)
        FItems.removeLast();
    emit Changed();
}

void TRecentFiles::Remove(const QString &FileName) {
    const int Old = IndexOf(FileName);
    if (Old < 0)
        return;
    FItems.removeAt(Old);
    emit Changed();
}

void TRecentFiles::Assign(const QStringList &FileNames) {
    QStringList Result;
    for (const QString &Name : FileNames) {
        if (Name.isEmpty() || Result.size() >= MaxItems)
            continue;
        bool Known = false;
        for (const QString &Have : Result)
            Known = Known || Have.compare(Name, Qt::CaseInsensitive) == 0;
        if (!Known)
            Result << Name;
    }
    FItems = Result;
    emit Changed();
}

QString TRecentFiles::MenuCaption(int Index, const QString &FileName) {
    QString Shown = FileName;
    Shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QLatin1Char('&') + QString::number(Index + 1) + QLatin1Char(' ') + Shown;
}
