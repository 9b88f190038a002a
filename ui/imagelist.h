#pragma once
// The window's image list: 16 x 16 images shared by menus, toolbar, tree, list and the dialogs.
// Indexes are fixed roles (see TImageRole); the program's own icon is appended last.

#include "base/imageroles.h"

#include <QIcon>
#include <QPixmap>
#include <QVector>

class TImageList {
public:
    static constexpr int Size = 16;

    // The images that come with the program; the program icon is added with Append.
    TImageList();

    int Count() const { return Images.size(); }
    // Empty icon for imgNone or an index out of range.
    QIcon Icon(int Index) const;
    QPixmap Pixmap(int Index) const;
    int Append(const QIcon &Icon);

private:
    QVector<QIcon> Images;
};
