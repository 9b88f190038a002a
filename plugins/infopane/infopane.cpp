// The maker's About library: one export that shows the About box modally.

#include "app/makerlibsabi.h"
#include "plugins/infopane/aboutdialog.h"
#include "plugins/pluginexport.h"

#include <type_traits>

MAKER_LIBRARY_EXPORT void showinfopanedialog_v1_1(QWidget *Owner, const TShortString *ProgramText,
                                                  const TShortString *Extra1,
                                                  const TShortString *Extra2,
                                                  const TShortString *ParserText, int32_t) {
    TAboutDialog dialog(Owner, ShortStringToQString(ProgramText),
                        {ShortStringToQString(Extra1), ShortStringToQString(Extra2)},
                        ShortStringToQString(ParserText));
    dialog.exec();
}

static_assert(std::is_same_v<decltype(&showinfopanedialog_v1_1), TShowInfoPaneDialog>);
