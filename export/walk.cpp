#include "export/walk.h"

#include "base/collate.h"
#include "base/dates.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

// Start times as whole milliseconds: entries less than a millisecond apart sort as equal, and
// the order stays a strict weak ordering whatever the document holds.
int64_t SortKey(TDateTime T) {
    const double ms = T * SecsPerDay * 1000.0;
    if (!std::isfinite(ms) || std::fabs(ms) > 9.0e18)
        return ms < 0 ? INT64_MIN : (std::isnan(ms) ? 0 : INT64_MAX);
    return std::llround(ms);
}

// The project tree as the export dialog shows it, to read its order.
class TOrderTree final : public TCKTreeView {
public:
    explicit TOrderTree(TCKProjectItem *Root) { Nodes.push_back({Root, {}, {}}); }

    void ClearRootChildren() override {
        Nodes.resize(1);
        Nodes[0].Children.clear();
    }
    Node AddNode(Node Parent, const std::string &Caption, TCKProjectItem *Data, int, int) override {
        Nodes.push_back({Data, Caption, {}});
        const Node id = static_cast<Node>(Nodes.size() - 1);
        Nodes[static_cast<size_t>(Parent)].Children.push_back(id);
        return id;
    }
    void ExpandRootOneLevel() override {}

    TCKProjectList PreOrder() const {
        TCKProjectList order;
        std::vector<Node> stack{RootNode};
        while (!stack.empty()) {
            const TNode &node = Nodes[static_cast<size_t>(stack.back())];
            stack.pop_back();
            order.push_back(node.Project);
            stack.insert(stack.end(), node.Children.rbegin(), node.Children.rend());
        }
        return order;
    }

private:
    struct TNode {
        TCKProjectItem *Project;
        std::string Caption;
        std::vector<Node> Children;
    };
    std::vector<TNode> Nodes;
};

} // namespace

void TLineOutput::Append(const TStringList &More) {
    for (const std::string &line : More) {
        Bytes += line.size() + 2;
        Lines.push_back(line);
    }
}

bool WalkReport(TReportOutput &Output, const TCKProjectList &Projects, const TChronarkMan &Document,
                const std::string &Folder, TReportCallbacks &Handlers, const tSubstRec &Subst) {
    if (Projects.empty())
        return false;
    Handlers.Header(Output, Folder, Projects, Document);
    for (const TCKProjectItem *project : Projects) {
        if (Handlers.Failed())
            return false;
        if (!project)
            continue;
        TCKTimeItemList entries = project->TimeItems();
        if (entries.empty())
            continue;
        Handlers.ProjectHeader(Output, Folder, *project, Document);
        if (entries.size() >= 2) {
            std::vector<std::pair<int64_t, TCKTimeItem *>> keyed;
            keyed.reserve(entries.size());
            for (TCKTimeItem *e : entries)
                keyed.emplace_back(SortKey(e->StartTime), e);
            std::stable_sort(keyed.begin(), keyed.end(),
                             [](const auto &A, const auto &B) { return A.first < B.first; });
            for (size_t i = 0; i < keyed.size(); ++i)
                entries[i] = keyed[i].second;
        }
        for (size_t i = 0; i < entries.size() && !Handlers.Failed(); ++i) {
            if (i > 0)
                Handlers.Separator(Output, Folder);
            Handlers.Item(Output, Folder, *entries[i], Document);
        }
        Handlers.ProjectFooter(Output, Folder, *project, Document);
    }
    if (Handlers.Failed())
        return false;
    Handlers.Footer(Output, Folder, Projects, Document);
    if (!Handlers.Failed())
        Handlers.Finish(Output, Subst);
    return !Handlers.Failed();
}

TCKProjectList ProjectsInTreeOrder(const TChronarkMan &Document) {
    TOrderTree tree(Document.Root.get());
    Document.FillProjectTree(tree);
    return tree.PreOrder();
}
