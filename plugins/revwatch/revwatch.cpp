// The maker's version-check library: one export that shows the version check modally.

#include "app/makerlibsabi.h"
#include "plugins/pluginexport.h"
#include "plugins/revwatch/revwatchdialog.h"

#include <QCoreApplication>

#include <type_traits>

MAKER_LIBRARY_EXPORT void showrevwatchdialog_v1_11(QWidget *Owner,
                                                   const TShortString *InstalledVersion,
                                                   const TShortString *ProductId,
                                                   const TShortString *Feed) {
    QString installed = ShortStringToQString(InstalledVersion);
    if (installed.isEmpty())
        installed = QCoreApplication::applicationVersion();
    TRevWatchDialog dialog(Owner, installed, ShortStringToQString(ProductId),
                           ShortStringToQString(Feed));
    dialog.exec();
}

static_assert(std::is_same_v<decltype(&showrevwatchdialog_v1_11), TShowRevWatchDialog>);
