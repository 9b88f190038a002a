#pragma once
// The project tree: a QTreeWidget whose single top node "Projekte" stands for the document's
// invisible root. It is the view the document fills (TCKTreeView) and the drop target for
// entries and projects.

#include "model/ckviews.h"

#include <QTreeWidget>

#include <functional>
#include <vector>

class TImageList;

// A node of the tree; keeps itself sorted among its siblings by text, ignoring letter case.
class TProjectNode : public QTreeWidgetItem {
public:
    TProjectNode(TCKProjectItem *AProject, const QString &Text, const TImageList *Images);
    bool operator<(const QTreeWidgetItem &Other) const override;

    TCKProjectItem *Project;
};

class TProjectTree : public QTreeWidget, public TCKTreeView {
    Q_OBJECT
public:
    static constexpr int ImageRole = Qt::UserRole + 1;
    static constexpr int SelectedImageRole = Qt::UserRole + 2;

    TProjectTree(const TImageList *Images, QWidget *Parent = nullptr);

    QTreeWidgetItem *TopNode() const { return topLevelItem(0); }
    static TCKProjectItem *ProjectOf(const QTreeWidgetItem *Node);
    // Linear search over every node.
    QTreeWidgetItem *FindProjectNode(const TCKProjectItem *Project) const;
    QTreeWidgetItem *AddProjectNode(QTreeWidgetItem *Parent, TCKProjectItem *Project,
                                    const QString &Text);
    // Re-sorts the children of Parent (after a rename or a move).
    void SortChildrenOf(QTreeWidgetItem *Parent);
    // Moves Node with its subtree to the end of NewParent's children, then sorts it into place.
    void MoveNode(QTreeWidgetItem *Node, QTreeWidgetItem *NewParent);
    void DeleteNode(QTreeWidgetItem *Node);
    // Shows which project measurements go to: its node bold with a tooltip, every other node
    // plain. Runs over all nodes, so a node added or moved since is covered too.
    void MarkDefaultProject(const TCKProjectItem *Project);
    static bool IsMarkedDefault(const QTreeWidgetItem *Node);
    static const QString DefaultProjectToolTip;
    QTreeWidgetItem *NodeAt(const QPoint &ViewportPos) const { return itemAt(ViewportPos); }
    bool IsEditing() const { return state() == QAbstractItemView::EditingState; }

    // TCKTreeView
    void ClearRootChildren() override;
    Node AddNode(Node Parent, const std::string &Caption, TCKProjectItem *Data, int ImageIndex,
                 int SelectedIndex) override;
    void SortAll() override;
    void ExpandRootOneLevel() override;

    // The window decides about drops of rows and nodes (Source is the dragging view) and of
    // files from the desktop.
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

private:
    bool IsExternalFileDrag(const QDropEvent *Event) const;
    bool AnswerFileDrag(QDragMoveEvent *Event);

    const TImageList *Images;
    // Handles of TCKTreeView: index -> node; 0 is the top node.
    std::vector<QTreeWidgetItem *> Nodes;
};
