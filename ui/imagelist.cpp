#include "ui/imagelist.h"

#include <QPainter>

namespace {

QPixmap Render(int Index, int Size, qreal Ratio) {
    QPixmap Pix(QSize(Size, Size) * Ratio);
    Pix.setDevicePixelRatio(Ratio);
    Pix.fill(Qt::transparent);
    QPainter P(&Pix);
    P.setRenderHint(QPainter::Antialiasing);
    P.scale(Size / 16.0, Size / 16.0);
    DrawImageListArt(P, Index);
    return Pix;
}

} // namespace

TImageList::TImageList() {
    Images.reserve(DrawnCount + 1);
    for (int i = 0; i < DrawnCount; ++i) {
        QIcon Icon;
        // A sharp 16-pixel image plus a doubled one for high-density screens.
        Icon.addPixmap(Render(i, Size, 1.0));
        Icon.addPixmap(Render(i, Size, 2.0));
        Images.push_back(Icon);
    }
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

QPixmap TImageList::DrawProgramIcon(int ASize) {
    return Render(imgProgram, ASize, 1.0);
}
