#pragma once
// The exports of the maker's optional libraries (About box and version check). Both the
// program and the libraries build against this header; the names and argument lists are
// fixed because other programs of the maker load the same libraries.

#include "app/shortstring.h"

#include <cstdint>

class QWidget;

// Shows the About box modally over Owner. ProgramText is name and version; Extra1 and
// Extra2 are further lines shown when not empty; ParserText names the parser's version.
// Flags is 0 (reserved).
extern "C" typedef void (*TShowInfoPaneDialog)(QWidget *Owner, const TShortString *ProgramText,
                                               const TShortString *Extra1,
                                               const TShortString *Extra2,
                                               const TShortString *ParserText, int32_t Flags);

// Shows the version check modally over Owner for the product ProductId (lower case).
// InstalledVersion empty: the version the host application reports. Feed empty: the
// version feed the user configured in the dialog.
extern "C" typedef void (*TShowRevWatchDialog)(QWidget *Owner, const TShortString *InstalledVersion,
                                               const TShortString *ProductId,
                                               const TShortString *Feed);

inline constexpr char InfoPaneExport[] = "showinfopanedialog_v1_1";
inline constexpr char RevWatchExport[] = "showrevwatchdialog_v1_11";
