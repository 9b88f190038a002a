#pragma once
// The window's image list: 16 x 16 images shared by menus, toolbar, tree, list and the dialogs.
// Indexes are fixed roles (see TImageIndex); the program's own icon is appended last.

#include <QIcon>
#include <QPixmap>
#include <QVector>

enum TImageIndex : int {
    imgNew = 0,
    imgOpen = 1,
    imgSave = 2,
    imgStartMeasure = 3,
    imgVersionCheck = 4,
    imgInfo = 5,
    imgExport = 6,
    imgClose = 7,
    imgDelete = 8,
    imgEdit = 9,
    imgNewEntry = 10,
    imgStopMeasure = 11,
    imgMinimize = 12,
    imgFolderOpen = 13,
    imgFolder = 14,
    imgEntryPlain = 15,
    imgUnused = 16,
    imgSettings = 17,
    imgPrint = 18,
    imgEntryOverlapping = 19,
    imgCut = 20,
    imgPaste = 21,
    imgImport = 22,
    imgSaveNothing = 23,
    imgSearch = 24,
    imgFilter = 25,
    imgProgram = 26,
    imgNone = -1,
};

class TImageList {
public:
    static constexpr int DrawnCount = 26;
    static constexpr int Size = 16;

    // The 26 drawn images; the program icon is added with Append.
    TImageList();

    int Count() const { return Images.size(); }
    // Empty icon for imgNone or an index out of range.
    QIcon Icon(int Index) const;
    QPixmap Pixmap(int Index) const;
    int Append(const QIcon &Icon);

    // The program's icon drawn at any size (window, tray, desktop file).
    static QPixmap DrawProgramIcon(int Size);

private:
    QVector<QIcon> Images;
};

// Draws image Index (0..25) into a painter whose coordinates span 16 x 16.
void DrawImageListArt(class QPainter &P, int Index);
