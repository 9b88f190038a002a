#pragma once
// The document's 8-bit text (Windows-1252) at the boundary to Qt's strings: the one place
// every Qt layer converts through.

#include "base/cp1252.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <string>

inline QString ToQ(const std::string &S) {
    const std::u16string U = Cp1252ToUtf16(S);
    return QString::fromUtf16(U.data(), static_cast<qsizetype>(U.size()));
}

// A file name as the system spells it in bytes, which is how the standard-C++ layers take it.
inline std::string NativeFileName(const QString &Name) {
    return QFile::encodeName(Name).toStdString();
}

inline std::string FromQ(const QString &S) {
    return Utf16ToCp1252(std::u16string(reinterpret_cast<const char16_t *>(S.utf16()),
                                        static_cast<size_t>(S.size())));
}

// The characters of S that the document's 8-bit text cannot hold (FromQ would store them as
// '?'), each once, in the order they first occur; empty when S can be stored as it is.
inline QStringList UnstorableCharacters(const QString &S) {
    QStringList Found;
    for (qsizetype i = 0; i < S.size();) {
        const qsizetype Length =
            S[i].isHighSurrogate() && i + 1 < S.size() && S[i + 1].isLowSurrogate() ? 2 : 1;
        const QString C = S.mid(i, Length);
        i += Length;
        if (C != QStringLiteral("?") && FromQ(C) == "?" && !Found.contains(C))
            Found << C;
    }
    return Found;
}

// A message for a box or a label: the program's messages end lines with CR LF, Qt's widgets
// expect LF alone.
inline QString ToQMessage(const std::string &S) {
    QString Text = ToQ(S);
    Text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return Text;
}
