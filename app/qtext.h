#pragma once
// The document's 8-bit text (Windows-1252) at the boundary to Qt's strings: the one place
// every Qt layer converts through.

#include "base/cstring.h"

#include <QString>

#include <string>

inline QString ToQ(const std::string &S) {
    const std::u16string U = Cp1252ToUtf16(S);
    return QString::fromUtf16(U.data(), static_cast<qsizetype>(U.size()));
}

inline std::string FromQ(const QString &S) {
    return Utf16ToCp1252(std::u16string(reinterpret_cast<const char16_t *>(S.utf16()),
                                        static_cast<size_t>(S.size())));
}

// A message for a box or a label: the program's messages end lines with CR LF, Qt's widgets
// expect LF alone.
inline QString ToQMessage(const std::string &S) {
    QString Text = ToQ(S);
    Text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return Text;
}
