#pragma once
// The window's image list: 16 x 16 images shared by menus, toolbar, tree, list and the dialogs.
// Indexes are fixed roles (see TImageRole); the program's own icon is appended last.

#include "base/imageroles.h"

#include <QIcon>
#include <QPixmap>
#include <QVector>

class TImageList {
public:
    static constexpr int DrawnCount = ImageRoleCount;
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
