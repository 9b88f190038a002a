#pragma once
// Helpers shared by the maker libraries' exports.

#include "app/qtext.h"
#include "app/shortstring.h"

#include <QString>
#include <QtGlobal>

#define MAKER_LIBRARY_EXPORT extern "C" Q_DECL_EXPORT

// A short string argument as text; a missing argument counts as empty.
inline QString ShortStringToQString(const TShortString *S) {
    if (!S)
        return QString();
    return ToQ(ShortStringText(*S));
}
