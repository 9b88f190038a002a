#pragma once
// The project tree's side of the main window: the project commands and the tree's menu, its
// keys and in-place edits, dragging projects and rows onto a project, and dropped files. Every
// change goes through the document's commands; the views follow the document's events.

#include "mainwindow/entrycommands.h"

#include <QObject>
#include <QStringList>

#include <functional>

class QMimeData;

class TProjectCommands : public QObject {
    Q_OBJECT
public:
    struct THost {
        // The project the main list shows.
        std::function<TCKProjectItem *()> ShownProject;
        // Files dropped on the tree; the first is opened.
        std::function<void(const QStringList &FileNames)> FilesDropped;
    };

    // Everything passed must outlive this object, which goes before the tree does; TreeMenu
    // is the tree's own menu.
    TProjectCommands(TChronarkMan &ADocument, TPromptService &APrompts, TProjectTree &ATree,
                     QMenu &ATreeMenu, TActionLookup AActions, THost AHost);
    // The tree's drop handlers go with this object.
    ~TProjectCommands() override;

    // The commands on the node the menu was opened on (or the current one for a new project).
    void NewProject();
    void RenameProject();
    void DeleteProject();
    void MakeDefault();
    // The menu's items follow the current node; the node becomes the one the commands act on.
    void MenuAboutToShow();
    // Marks the node of the project measurements go to.
    void ShowDefaultProject();

    // Whether Source's drag (the tree's current node, or a list's selected rows) may go onto
    // Target, and the move when it may.
    bool CanDrop(const QObject *Source, QTreeWidgetItem *Target) const;
    void Drop(const QObject *Source, QTreeWidgetItem *Target);

    // The node the commands act on; it goes when its project does or the tree is refilled.
    QTreeWidgetItem *MenuNode() const { return ProjectNode; }
    void ForgetNode() { ProjectNode = nullptr; }

    // Whether the mime data names a local file.
    static bool HasLocalFile(const QMimeData *Data);

protected:
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    bool KeyDown(int Key);
    void NodeEdited(QTreeWidgetItem *Node, const QString &Text);

    TChronarkMan &Doc;
    TPromptService &Prompts;
    TProjectTree &Tree;
    QMenu &TreeMenu;
    const TActionLookup Action;
    const THost Host;
    QTreeWidgetItem *ProjectNode = nullptr;
};
