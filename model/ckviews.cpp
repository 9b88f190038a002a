#include "model/ckmanager.h"

#include "base/collate.h"

#include <algorithm>
#include <utility>
#include <vector>

void TChronarkMan::FillProjectTree(TCKTreeView &Tree) const {
    Tree.ClearRootChildren();
    // Each level goes over in caption order: the views show it as handed over.
    std::vector<std::pair<const TCKProjectItem *, TCKTreeView::Node>> open{
        {Root.get(), TCKTreeView::RootNode}};
    std::vector<TCKProjectItem *> level;
    while (!open.empty()) {
        const auto [parent, node] = open.back();
        open.pop_back();
        level.clear();
        for (TCKItem *c = parent->FirstChild; c; c = c->Next)
            if (c->IsProject())
                level.push_back(c->AsProject());
        std::stable_sort(level.begin(), level.end(), [](const auto *a, const auto *b) {
            return CompareCaptions(a->Caption, b->Caption) < 0;
        });
        for (TCKProjectItem *p : level)
            open.emplace_back(p, Tree.AddNode(node, p->Caption, p, imgFolder, imgFolderOpen));
    }
    Tree.ExpandRootOneLevel();
}
