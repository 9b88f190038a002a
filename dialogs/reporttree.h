#pragma once
// The project tree of the export and print windows: every node shown with its mark, no
// expand buttons or root lines, rows as high as the main window's tree, room for twenty.

#include <QTreeWidget>

class TImageList;

class TReportTree : public QTreeWidget {
public:
    static constexpr int VisibleRows = 20;

    TReportTree(const TImageList *AImages, QWidget *Parent);
    // A node's folder image, as the main tree shows it.
    void SetFolderIcon(QTreeWidgetItem *Node) const;
    QSize sizeHint() const override;

protected:
    // Nothing to open or close: every node stays expanded, so no branch is drawn.
    void drawBranches(QPainter *, const QRect &, const QModelIndex &) const override {}

private:
    int RowHeight() const;
    const TImageList *Images;
};
