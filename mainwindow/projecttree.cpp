#include "mainwindow/projecttree.h"

#include "ui/captiondelegate.h"
#include "ui/imagelist.h"
#include "app/qtext.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>

namespace {

QIcon NodeIcon(const TImageList *Images, int Image, int SelectedImage) {
    if (!Images)
        return QIcon();
    QIcon Icon;
    for (QIcon::State S : {QIcon::Off, QIcon::On}) {
        Icon.addPixmap(Images->Pixmap(Image), QIcon::Normal, S);
        Icon.addPixmap(Images->Pixmap(Image), QIcon::Active, S);
        Icon.addPixmap(Images->Pixmap(SelectedImage), QIcon::Selected, S);
    }
    return Icon;
}

} // namespace

TProjectNode::TProjectNode(TCKProjectItem *AProject, const QString &Text, const TImageList *Images)
    : QTreeWidgetItem(QStringList(Text)), Project(AProject) {
    setIcon(0, NodeIcon(Images, imgFolder, imgFolderOpen));
    setData(0, TProjectTree::ImageRole, int(imgFolder));
    setData(0, TProjectTree::SelectedImageRole, int(imgFolderOpen));
    setFlags(flags() | Qt::ItemIsEditable | Qt::ItemIsDragEnabled);
}

bool TProjectNode::operator<(const QTreeWidgetItem &Other) const {
    return CaptionBefore(*this, Other);
}

TProjectTree::TProjectTree(const TImageList *AImages, QWidget *Parent)
    : QTreeWidget(Parent), Images(AImages) {
    setColumnCount(1);
    setHeaderHidden(true);
    setIndentation(19);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
    setContextMenuPolicy(Qt::CustomContextMenu);
    header()->setStretchLastSection(true);

    auto *Delegate = new TCaptionDelegate(this);
    setItemDelegate(Delegate);
    connect(Delegate, &TCaptionDelegate::CaptionEdited, this,
            [this](const QModelIndex &Index, const QString &Text) {
                if (QTreeWidgetItem *Node = itemFromIndex(Index))
                    emit NodeEdited(Node, Text);
            });

    auto *Top = new TProjectNode(nullptr, QStringLiteral("Projekte"), Images);
    // The top node is neither renamed nor dragged.
    Top->setFlags(Top->flags() & ~(Qt::ItemIsEditable | Qt::ItemIsDragEnabled));
    addTopLevelItem(Top);
    Nodes.push_back(Top);
}

TCKProjectItem *TProjectTree::ProjectOf(const QTreeWidgetItem *Node) {
    const auto *P = dynamic_cast<const TProjectNode *>(Node);
    return P ? P->Project : nullptr;
}

QTreeWidgetItem *TProjectTree::FindProjectNode(const TCKProjectItem *Project) const {
    if (!Project)
        return nullptr;
    std::vector<QTreeWidgetItem *> Stack{TopNode()};
    while (!Stack.empty()) {
        QTreeWidgetItem *Node = Stack.back();
        Stack.pop_back();
        if (ProjectOf(Node) == Project)
            return Node;
        for (int i = Node->childCount() - 1; i >= 0; --i)
            Stack.push_back(Node->child(i));
    }
    return nullptr;
}

QTreeWidgetItem *TProjectTree::AddProjectNode(QTreeWidgetItem *Parent, TCKProjectItem *Project,
                                              const QString &Text) {
    auto *Node = new TProjectNode(Project, Text, Images);
    Parent->addChild(Node);
    SortChildrenOf(Parent);
    return Node;
}

void TProjectTree::SortChildrenOf(QTreeWidgetItem *Parent) {
    if (Parent)
        Parent->sortChildren(0, Qt::AscendingOrder);
}

void TProjectTree::MoveNode(QTreeWidgetItem *Node, QTreeWidgetItem *NewParent) {
    if (!Node || !NewParent || !Node->parent())
        return;
    const bool WasExpanded = Node->isExpanded();
    QTreeWidgetItem *OldParent = Node->parent();
    OldParent->removeChild(Node);
    NewParent->addChild(Node);
    SortChildrenOf(NewParent);
    Node->setExpanded(WasExpanded);
}

void TProjectTree::DeleteNode(QTreeWidgetItem *Node) {
    if (!Node || Node == TopNode())
        return;
    // Forget the handles of the node and everything below it.
    for (auto &Handle : Nodes) {
        for (QTreeWidgetItem *Up = Handle; Up; Up = Up->parent())
            if (Up == Node) {
                Handle = nullptr;
                break;
            }
    }
    delete Node;
}

const QString TProjectTree::DefaultProjectToolTip =
    QStringLiteral("Standard f\u00fcr Zeitmessungen");

void TProjectTree::MarkDefaultProject(const TCKProjectItem *Project) {
    std::vector<QTreeWidgetItem *> Stack{TopNode()};
    while (!Stack.empty()) {
        QTreeWidgetItem *Node = Stack.back();
        Stack.pop_back();
        const bool IsDefault = Project && ProjectOf(Node) == Project;
        if (IsMarkedDefault(Node) != IsDefault) {
            QFont Font = Node->font(0);
            Font.setBold(IsDefault);
            Node->setFont(0, Font);
            Node->setToolTip(0, IsDefault ? DefaultProjectToolTip : QString());
        }
        for (int i = 0; i < Node->childCount(); ++i)
            Stack.push_back(Node->child(i));
    }
}

bool TProjectTree::IsMarkedDefault(const QTreeWidgetItem *Node) {
    return Node && Node->font(0).bold();
}

void TProjectTree::ClearRootChildren() {
    static_cast<TCaptionDelegate *>(itemDelegate())->DiscardEditor();
    QTreeWidgetItem *Top = TopNode();
    const QList<QTreeWidgetItem *> Children = Top->takeChildren();
    qDeleteAll(Children);
    Nodes.assign(1, Top);
}

TCKTreeView::Node TProjectTree::AddNode(Node Parent, const std::string &Caption,
                                        TCKProjectItem *Data, int ImageIndex, int SelectedIndex) {
    QTreeWidgetItem *ParentNode =
        (Parent >= 0 && size_t(Parent) < Nodes.size()) ? Nodes[size_t(Parent)] : nullptr;
    if (!ParentNode)
        ParentNode = TopNode();
    auto *N = new TProjectNode(Data, ToQ(Caption), Images);
    if (ImageIndex != imgFolder || SelectedIndex != imgFolderOpen) {
        N->setIcon(0, NodeIcon(Images, ImageIndex, SelectedIndex));
        N->setData(0, ImageRole, ImageIndex);
        N->setData(0, SelectedImageRole, SelectedIndex);
    }
    ParentNode->addChild(N);
    Nodes.push_back(N);
    return Node(Nodes.size() - 1);
}

void TProjectTree::SortAll() {
    std::vector<QTreeWidgetItem *> Stack{TopNode()};
    while (!Stack.empty()) {
        QTreeWidgetItem *Node = Stack.back();
        Stack.pop_back();
        Node->sortChildren(0, Qt::AscendingOrder);
        for (int i = 0; i < Node->childCount(); ++i)
            Stack.push_back(Node->child(i));
    }
}

void TProjectTree::ExpandRootOneLevel() {
    TopNode()->setExpanded(true);
}

bool TProjectTree::IsExternalFileDrag(const QDropEvent *Event) const {
    return Event->source() == nullptr && Event->mimeData() && Event->mimeData()->hasUrls();
}

// Accepts or refuses files dragged in from outside; false for any other drag.
bool TProjectTree::AnswerFileDrag(QDragMoveEvent *Event) {
    if (!IsExternalFileDrag(Event))
        return false;
    if (CanDropFiles && CanDropFiles(Event->mimeData()))
        Event->acceptProposedAction();
    else
        Event->ignore();
    return true;
}

void TProjectTree::dragEnterEvent(QDragEnterEvent *Event) {
    if (AnswerFileDrag(Event))
        return;
    // Rows and nodes are decided per position in dragMoveEvent.
    if (qobject_cast<QAbstractItemView *>(Event->source())) {
        Event->setDropAction(Qt::CopyAction);
        Event->accept();
    } else {
        Event->ignore();
    }
}

void TProjectTree::dragMoveEvent(QDragMoveEvent *Event) {
    if (AnswerFileDrag(Event))
        return;
    QTreeWidgetItem *Target = itemAt(Event->position().toPoint());
    // The source view keeps its rows: the window moves the items itself, so never report a
    // move action back to it.
    if (CanDrop && CanDrop(Event->source(), Target)) {
        Event->setDropAction(Qt::CopyAction);
        Event->accept();
    } else {
        Event->ignore();
    }
}

void TProjectTree::dropEvent(QDropEvent *Event) {
    if (IsExternalFileDrag(Event)) {
        Event->acceptProposedAction();
        if (DropFiles)
            DropFiles(Event->mimeData());
        return;
    }
    QTreeWidgetItem *Target = itemAt(Event->position().toPoint());
    if (!CanDrop || !CanDrop(Event->source(), Target)) {
        Event->ignore();
        return;
    }
    Event->setDropAction(Qt::CopyAction);
    Event->accept();
    if (Drop)
        Drop(Event->source(), Target);
}
