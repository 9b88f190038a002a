#pragma once
// The project tree of every window: a QTreeWidget whose single top node "Projekte" stands for
// the document's invisible root, filled by the document (TCKTreeView) in caption order. What
// a window does with it is chosen at construction (TOption).

#include "model/ckviews.h"

#include <QTreeWidget>

#include <functional>
#include <vector>

class TImageList;

// A node of the tree and the project it shows.
class TProjectNode : public QTreeWidgetItem {
public:
    TProjectNode(TCKProjectItem *AProject, const QString &Text);
    // Siblings in the program's caption order, when a level is sorted again.
    bool operator<(const QTreeWidgetItem &Other) const override;

    TCKProjectItem *Project;
};

class TProjectTree : public QTreeWidget, public TCKTreeView {
    Q_OBJECT
public:
    enum TOption {
        // Every node carries a mark of its own, toggled by a click on it or Space; no node is
        // ever collapsed, and the tree has room for VisibleRows rows (export and print).
        CheckMarks = 1,
        // F2 or the window opens a caption's editor; NodeEdited hands the text over.
        EditCaptions = 2,
        // Nodes are dragged, and rows, nodes and files dropped (CanDrop, Drop, ...).
        DragAndDrop = 4,
        // MarkDefaultProject shows the project measurements go to.
        DefaultMark = 8,
    };
    static constexpr int VisibleRows = 20;

    // Options: TOption values or-ed together; none gives a tree to pick one project from.
    TProjectTree(const TImageList *Images, int Options, QWidget *Parent = nullptr);

    QTreeWidgetItem *TopNode() const { return topLevelItem(0); }
    // The project the top node stands for: the document's root.
    void SetRootProject(TCKProjectItem *Root);
    static TCKProjectItem *ProjectOf(const QTreeWidgetItem *Node);
    // Linear search over every node.
    QTreeWidgetItem *FindProjectNode(const TCKProjectItem *Project) const;
    QTreeWidgetItem *AddProjectNode(QTreeWidgetItem *Parent, TCKProjectItem *Project,
                                    const QString &Text);
    // Puts the children of Parent into caption order again (after a rename or a move).
    void SortChildrenOf(QTreeWidgetItem *Parent);
    // Moves Node with its subtree to the end of NewParent's children, then sorts it into place.
    void MoveNode(QTreeWidgetItem *Node, QTreeWidgetItem *NewParent);
    void DeleteNode(QTreeWidgetItem *Node);
    QTreeWidgetItem *NodeAt(const QPoint &ViewportPos) const { return itemAt(ViewportPos); }
    bool IsEditing() const { return state() == QAbstractItemView::EditingState; }

    // With DefaultMark: shows which project measurements go to, its node bold with a tooltip,
    // every other node plain. Runs over all nodes, so a node added or moved since is covered.
    void MarkDefaultProject(const TCKProjectItem *Project);
    static bool IsMarkedDefault(const QTreeWidgetItem *Node);
    static const QString DefaultProjectToolTip;

    // With CheckMarks: turns the mark of Node alone; its children keep theirs.
    void Toggle(QTreeWidgetItem *Node);
    // The projects of the marked nodes, each node before its children.
    TCKProjectList Ticked() const;

    QSize sizeHint() const override;

    // TCKTreeView
    void ClearRootChildren() override;
    Node AddNode(Node Parent, const std::string &Caption, TCKProjectItem *Data, int ImageIndex,
                 int SelectedIndex) override;
    void ExpandRootOneLevel() override;

    // With DragAndDrop the window decides about drops of rows and nodes (Source is the
    // dragging view) and of files from the desktop.
    std::function<bool(QObject *Source, QTreeWidgetItem *Target)> CanDrop;
    std::function<void(QObject *Source, QTreeWidgetItem *Target)> Drop;
    std::function<bool(const QMimeData *)> CanDropFiles;
    std::function<void(const QMimeData *)> DropFiles;

signals:
    void NodeEdited(QTreeWidgetItem *Node, const QString &Text);

protected:
    void dragEnterEvent(QDragEnterEvent *Event) override;
    void dragMoveEvent(QDragMoveEvent *Event) override;
    void dropEvent(QDropEvent *Event) override;
    void keyPressEvent(QKeyEvent *Event) override;
    // With CheckMarks nothing opens or closes: every node stays expanded, no branch is drawn.
    void drawBranches(QPainter *Painter, const QRect &Rect,
                      const QModelIndex &Index) const override;

private:
    bool Has(TOption Option) const { return (Options & Option) != 0; }
    TProjectNode *NewNode(TCKProjectItem *Project, const QString &Text, int Image,
                          int SelectedImage) const;
    int RowHeight() const;
    bool IsExternalFileDrag(const QDropEvent *Event) const;
    bool AnswerFileDrag(QDragMoveEvent *Event);

    const TImageList *Images;
    const int Options;
    // Handles of TCKTreeView: index -> node; 0 is the top node.
    std::vector<QTreeWidgetItem *> Nodes;
};
