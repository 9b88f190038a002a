#include "dialogs/reporttree.h"

#include "ui/imagelist.h"

#include <QFontMetrics>

TReportTree::TReportTree(const TImageList *AImages, QWidget *Parent)
    : QTreeWidget(Parent), Images(AImages) {
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setIconSize(QSize(16, 16));
    setMinimumHeight(sizeHint().height());
}

void TReportTree::SetFolderIcon(QTreeWidgetItem *Node) const {
    if (Images)
        Node->setIcon(0, Images->Icon(imgFolder));
    // The row as high as an icon row even without images: marks and umlauts are not cut.
    Node->setSizeHint(0, QSize(0, RowHeight()));
}

int TReportTree::RowHeight() const {
    return qMax(iconSize().height(), fontMetrics().height()) + 4;
}

QSize TReportTree::sizeHint() const {
    const int Frame = 2 * frameWidth();
    return QSize(QTreeWidget::sizeHint().width(), VisibleRows * RowHeight() + Frame);
}
