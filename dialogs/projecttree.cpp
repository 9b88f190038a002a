#include "dialogs/projecttree.h"

#include "app/qtext.h"
#include "ui/captiondelegate.h"
#include "ui/imagelist.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
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

TProjectNode::TProjectNode(TCKProjectItem *AProject, const QString &Text)
    : QTreeWidgetItem(QStringList(Text)), Project(AProject) {}

bool TProjectNode::operator<(const QTreeWidgetItem &Other) const {
    return CaptionBefore(*this, Other);
}

TProjectTree::TProjectTree(const TImageList *AImages, int AOptions, QWidget *Parent)
    : QTreeWidget(Parent), Images(AImages), Options(AOptions) {
    setColumnCount(1);
    setHeaderHidden(true);
    setIndentation(19);
    setIconSize(QSize(16, 16));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(true);

    auto *Delegate = new TCaptionDelegate(this);
    setItemDelegate(Delegate);
    if (Has(EditCaptions))
        connect(Delegate, &TCaptionDelegate::CaptionEdited, this,
                [this](const QModelIndex &Index, const QString &Text) {
                    if (QTreeWidgetItem *Node = itemFromIndex(Index))
                        emit NodeEdited(Node, Text);
                });
    if (Has(DragAndDrop)) {
        setDragEnabled(true);
        setAcceptDrops(true);
        setDragDropMode(QAbstractItemView::DragDrop);
        setDefaultDropAction(Qt::CopyAction);
    }
    if (Has(CheckMarks)) {
        setRootIsDecorated(false);
        setItemsExpandable(false);
        setExpandsOnDoubleClick(false);
        setMinimumHeight(sizeHint().height());
        connect(this, &QTreeWidget::itemClicked, this, &TProjectTree::Toggle);
        // Nothing the user does may hide a node that could hold a mark.
        connect(this, &QTreeWidget::itemCollapsed, this,
                [](QTreeWidgetItem *Node) { Node->setExpanded(true); });
    }

    auto *Top = NewNode(nullptr, QStringLiteral("Projekte"), imgFolder, imgFolderOpen);
    // The top node is neither renamed nor dragged.
    Top->setFlags(Top->flags() & ~(Qt::ItemIsEditable | Qt::ItemIsDragEnabled));
    addTopLevelItem(Top);
    Nodes.push_back(Top);
}

TProjectNode *TProjectTree::NewNode(TCKProjectItem *Project, const QString &Text, int Image,
                                    int SelectedImage) const {
    auto *Node = new TProjectNode(Project, Text);
    Node->setIcon(0, NodeIcon(Images, Image, SelectedImage));
    Qt::ItemFlags Flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (Has(EditCaptions))
        Flags |= Qt::ItemIsEditable;
    if (Has(DragAndDrop))
        Flags |= Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    Node->setFlags(Flags);
    if (Has(CheckMarks)) {
        // Not user-checkable: the tree turns the mark itself, on the mark and on the text.
        Node->setCheckState(0, Qt::Checked);
        // As high as an icon row even without images: marks and umlauts are not cut.
        Node->setSizeHint(0, QSize(0, RowHeight()));
    }
    return Node;
}

void TProjectTree::SetRootProject(TCKProjectItem *Root) {
    static_cast<TProjectNode *>(TopNode())->Project = Root;
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
    auto *Node = NewNode(Project, Text, imgFolder, imgFolderOpen);
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
    if (!Has(DefaultMark))
        return;
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

void TProjectTree::Toggle(QTreeWidgetItem *Node) {
    if (Node && Has(CheckMarks))
        Node->setCheckState(0, Node->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

TCKProjectList TProjectTree::Ticked() const {
    TCKProjectList Result;
    if (!Has(CheckMarks))
        return Result;
    std::vector<QTreeWidgetItem *> Stack{TopNode()};
    while (!Stack.empty()) {
        QTreeWidgetItem *Node = Stack.back();
        Stack.pop_back();
        if (Node->checkState(0) == Qt::Checked)
            Result.push_back(ProjectOf(Node));
        for (int i = Node->childCount() - 1; i >= 0; --i)
            Stack.push_back(Node->child(i));
    }
    return Result;
}

int TProjectTree::RowHeight() const {
    return qMax(iconSize().height(), fontMetrics().height()) + 4;
}

QSize TProjectTree::sizeHint() const {
    if (!Has(CheckMarks))
        return QTreeWidget::sizeHint();
    return QSize(QTreeWidget::sizeHint().width(), VisibleRows * RowHeight() + 2 * frameWidth());
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
    // The document hands siblings over in their order: appended, not sorted.
    ParentNode->addChild(NewNode(Data, ToQ(Caption), ImageIndex, SelectedIndex));
    Nodes.push_back(ParentNode->child(ParentNode->childCount() - 1));
    return Node(Nodes.size() - 1);
}

void TProjectTree::ExpandRootOneLevel() {
    TopNode()->setExpanded(true);
}

void TProjectTree::keyPressEvent(QKeyEvent *Event) {
    if (Has(CheckMarks) && Event->key() == Qt::Key_Space && Event->modifiers() == Qt::NoModifier &&
        currentItem()) {
        Toggle(currentItem());
        return;
    }
    QTreeWidget::keyPressEvent(Event);
}

void TProjectTree::drawBranches(QPainter *Painter, const QRect &Rect,
                                const QModelIndex &Index) const {
    if (!Has(CheckMarks))
        QTreeWidget::drawBranches(Painter, Rect, Index);
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
