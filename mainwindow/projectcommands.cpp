#include "mainwindow/projectcommands.h"

#include "app/qtext.h"
#include "dialogs/projecttree.h"
#include "mainwindow/typedtext.h"
#include "ui/prompts.h"
#include "ui/refusededit.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

TProjectCommands::TProjectCommands(TChronarkMan &ADocument, TPromptService &APrompts,
                                   TProjectTree &ATree, QMenu &ATreeMenu, TActionLookup AActions,
                                   THost AHost)
    : Doc(ADocument), Prompts(APrompts), Tree(ATree), TreeMenu(ATreeMenu),
      Action(std::move(AActions)), Host(std::move(AHost)) {
    connect(&Tree, &TProjectTree::NodeEdited, this, &TProjectCommands::NodeEdited);
    connect(&Tree, &QWidget::customContextMenuRequested, this, [this](const QPoint &Pos) {
        if (QTreeWidgetItem *Node = Tree.NodeAt(Pos))
            Tree.setCurrentItem(Node);
        MenuAboutToShow();
        TreeMenu.popup(Tree.viewport()->mapToGlobal(Pos));
    });
    Tree.CanDrop = [this](QObject *Source, QTreeWidgetItem *Target) {
        return CanDrop(Source, Target);
    };
    Tree.Drop = [this](QObject *Source, QTreeWidgetItem *Target) { Drop(Source, Target); };
    Tree.CanDropFiles = [](const QMimeData *Data) { return HasLocalFile(Data); };
    Tree.DropFiles = [this](const QMimeData *Data) {
        QStringList Names;
        for (const QUrl &Url : Data->urls())
            if (Url.isLocalFile())
                Names << Url.toLocalFile();
        Host.FilesDropped(Names);
    };
    Tree.installEventFilter(this);
}

TProjectCommands::~TProjectCommands() {
    Tree.CanDrop = nullptr;
    Tree.Drop = nullptr;
    Tree.CanDropFiles = nullptr;
    Tree.DropFiles = nullptr;
}

bool TProjectCommands::HasLocalFile(const QMimeData *Data) {
    if (!Data || !Data->hasUrls())
        return false;
    const QList<QUrl> Urls = Data->urls();
    return std::any_of(Urls.begin(), Urls.end(), [](const QUrl &Url) { return Url.isLocalFile(); });
}

bool TProjectCommands::eventFilter(QObject *Watched, QEvent *Event) {
    if (Watched != &Tree)
        return false;
    if (Event->type() == QEvent::ShortcutOverride) {
        // The tree in focus takes Delete and F2 for its projects; their menu shortcuts only
        // act where no view takes the key.
        const auto *Key = static_cast<QKeyEvent *>(Event);
        if (Key->modifiers() == Qt::NoModifier &&
            (Key->key() == Qt::Key_Delete || Key->key() == Qt::Key_F2)) {
            Event->accept();
            return true;
        }
    }
    return Event->type() == QEvent::KeyPress && KeyDown(static_cast<QKeyEvent *>(Event)->key());
}

bool TProjectCommands::KeyDown(int Key) {
    if (Tree.IsEditing())
        return false;
    QTreeWidgetItem *Node = Tree.currentItem();
    if (!Node || Node == Tree.TopNode())
        return false;
    if (Key == Qt::Key_Delete) {
        ProjectNode = Node;
        DeleteProject();
        return true;
    }
    if (Key == Qt::Key_F2) {
        ProjectNode = Node;
        RenameProject();
        return true;
    }
    return false;
}

void TProjectCommands::NodeEdited(QTreeWidgetItem *Node, const QString &Text) {
    TCKProjectItem *Project = TProjectTree::ProjectOf(Node);
    if (!Project || Node == Tree.TopNode())
        return;
    if (TRefusedEdit::Refused(Tree, Tree.indexFromItem(Node), Text, ToQ(Project->Caption),
                              [&] { return RefuseCaption(Prompts, Text); }))
        return;
    const std::string Caption = FromQ(Text);
    if (Caption == Project->Caption)
        return;
    if (Doc.RenameProject(Project, Caption))
        Tree.scrollToItem(Node);
}

bool TProjectCommands::CanDrop(const QObject *Source, QTreeWidgetItem *Target) const {
    if (!qobject_cast<const QAbstractItemView *>(Source) || !Target)
        return false;
    TCKProjectItem *Project = TProjectTree::ProjectOf(Target);
    if (!Project || Project == Host.ShownProject())
        return false;
    if (Source == &Tree) {
        QTreeWidgetItem *Dragged = Tree.currentItem();
        if (!Dragged || Dragged == Tree.TopNode())
            return false;
        // A project cannot go into its own subtree.
        return !Project->IsInSubtreeOf(TProjectTree::ProjectOf(Dragged));
    }
    // Nor can a sub-project row: the whole drop is refused rather than carried out in part.
    const TCKList Items = TEntryCommands::RowItems(Source, true);
    return std::none_of(Items.begin(), Items.end(), [Project](const TCKItem *Item) {
        return Item->IsProject() && Project->IsInSubtreeOf(Item);
    });
}

void TProjectCommands::Drop(const QObject *Source, QTreeWidgetItem *Target) {
    if (!CanDrop(Source, Target))
        return;
    TCKProjectItem *Project = TProjectTree::ProjectOf(Target);
    if (Source != &Tree) {
        Doc.MoveItems(TEntryCommands::RowItems(Source, true), Project);
        return;
    }
    // The moved project's node stays the selected and shown one.
    QTreeWidgetItem *Dragged = Tree.currentItem();
    if (Doc.MoveItems({TProjectTree::ProjectOf(Dragged)}, Project))
        Target->setExpanded(true);
    Tree.scrollToItem(Dragged);
}

void TProjectCommands::MenuAboutToShow() {
    ProjectNode = Tree.currentItem();
    const bool Movable = ProjectNode && ProjectNode != Tree.TopNode();
    Action("acRenProject")->setEnabled(Movable);
    Action("acDelProject")->setEnabled(Movable);
    if (ProjectNode) {
        const bool IsDefault = TProjectTree::ProjectOf(ProjectNode) == Doc.DefaultProject;
        Action("acDefaultMeasure")->setChecked(IsDefault);
        Action("acDefaultMeasure")->setEnabled(!IsDefault);
    }
}

void TProjectCommands::NewProject() {
    QTreeWidgetItem *Parent = ProjectNode ? ProjectNode : Tree.currentItem();
    if (!Parent)
        Parent = Tree.TopNode();
    TCKProjectItem *Owner = TProjectTree::ProjectOf(Parent);
    // Refused below the deepest project a file can hold; the document has said so.
    TCKProjectItem *Project = Doc.NewProject(Owner, "Neues Projekt");
    QTreeWidgetItem *Node = Project ? Tree.FindProjectNode(Project) : nullptr;
    if (!Node)
        return;
    Parent->setExpanded(true);
    Tree.scrollToItem(Node);
    Tree.editItem(Node, 0);
}

void TProjectCommands::RenameProject() {
    if (ProjectNode && ProjectNode != Tree.TopNode())
        Tree.editItem(ProjectNode, 0);
}

void TProjectCommands::DeleteProject() {
    if (!ProjectNode || ProjectNode == Tree.TopNode())
        return;
    if (Prompts.Confirm(ProjectDeleteQuestion, false) != TPromptAnswer::Yes)
        return;
    Doc.DeleteItems({TProjectTree::ProjectOf(ProjectNode)});
}

void TProjectCommands::MakeDefault() {
    if (!ProjectNode)
        return;
    Doc.SetDefaultProject(TProjectTree::ProjectOf(ProjectNode));
    Action("acDefaultMeasure")->setChecked(true);
    Action("acDefaultMeasure")->setEnabled(false);
}

void TProjectCommands::ShowDefaultProject() {
    Tree.MarkDefaultProject(Doc.DefaultProject);
}
