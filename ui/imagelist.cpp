#include "ui/imagelist.h"

#include <iterator>

// Resources of a static library are registered only when something refers to them; the
// macro has to be used outside any namespace.
static void InitImageResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(images);
        return true;
    }();
    (void)done;
}

namespace {

struct TImageFile {
    TImageRole Role;
    const char *Name;
};

// The picture of each role, in role order; imgUnused has an empty one.
constexpr TImageFile ImageFiles[] = {
    {imgNew, "new"},
    {imgOpen, "open"},
    {imgSave, "save"},
    {imgStartMeasure, "start-measure"},
    {imgVersionCheck, "version-check"},
    {imgInfo, "info"},
    {imgExport, "export"},
    {imgClose, "close"},
    {imgDelete, "delete"},
    {imgEdit, "edit"},
    {imgNewEntry, "new-entry"},
    {imgStopMeasure, "stop-measure"},
    {imgMinimize, "minimize"},
    {imgFolderOpen, "folder-open"},
    {imgFolder, "folder"},
    {imgEntryPlain, "entry-plain"},
    {imgUnused, "unused"},
    {imgSettings, "settings"},
    {imgPrint, "print"},
    {imgEntryOverlapping, "entry-overlapping"},
    {imgCut, "cut"},
    {imgPaste, "paste"},
    {imgImport, "import"},
    {imgSaveNothing, "save-nothing"},
    {imgSearch, "search"},
    {imgFilter, "filter"},
};

constexpr bool InRoleOrder() {
    for (int i = 0; i < int(std::size(ImageFiles)); ++i)
        if (ImageFiles[i].Role != i)
            return false;
    return true;
}
static_assert(std::size(ImageFiles) == ImageRoleCount && InRoleOrder(),
              "the list's positions are the roles");

} // namespace

TImageList::TImageList() {
    InitImageResources();
    Images.reserve(ImageRoleCount + 1);
    // Vector images, so that high-density screens get them as sharp as the 16-pixel size.
    for (const TImageFile &File : ImageFiles)
        Images.push_back(
            QIcon(QStringLiteral(":/chronark/images/%1.svg").arg(QLatin1String(File.Name))));
}

QIcon TImageList::Icon(int Index) const {
    if (Index < 0 || Index >= Images.size())
        return QIcon();
    return Images[Index];
}

QPixmap TImageList::Pixmap(int Index) const {
    return Icon(Index).pixmap(Size, Size);
}

int TImageList::Append(const QIcon &AIcon) {
    Images.push_back(AIcon);
    return Images.size() - 1;
}
