#pragma once
// Plain in-memory views for testing what the document manager fills.

#include "model/ckmanager.h"
#include "model/ckviews.h"

#include <functional>
#include <string>
#include <vector>

struct MemoryRow {
    std::string Caption;
    TStringArray SubItems;
    int Image = -1;
    TCKItem *Data = nullptr;
};

class MemoryListView : public TCKListView {
public:
    std::vector<MemoryRow> Rows;
    bool Sorted = true;
    int SortSwitches = 0;

    void SetSorted(bool S) override {
        Sorted = S;
        ++SortSwitches;
    }
    void Clear() override { Rows.clear(); }
    int Count() const override { return static_cast<int>(Rows.size()); }
    TCKItem *RowData(int Index) const override { return Rows.at(Index).Data; }
    int AddRow(const std::string &Caption, const TStringArray &SubItems, int ImageIndex,
               TCKItem *Data) override {
        Rows.push_back({Caption, SubItems, ImageIndex, Data});
        return Count() - 1;
    }
    void SetRow(int Index, const std::string &Caption, const TStringArray &SubItems,
                int ImageIndex) override {
        Rows.at(Index).Caption = Caption;
        Rows.at(Index).SubItems = SubItems;
        Rows.at(Index).Image = ImageIndex;
    }
    void SetRowImage(int Index, int ImageIndex) override { Rows.at(Index).Image = ImageIndex; }
    void DeleteRow(int Index) override { Rows.erase(Rows.begin() + Index); }
    void DeleteRowsOf(const std::unordered_set<const TCKItem *> &Gone) override {
        std::erase_if(Rows, [&Gone](const MemoryRow &r) { return Gone.count(r.Data) != 0; });
    }

    std::vector<std::string> Captions() const {
        std::vector<std::string> c;
        for (const auto &r : Rows)
            c.push_back(r.Caption);
        return c;
    }
};

// Keeps the children in the order the document added them, so a test sees that order.
class MemoryTreeView : public TCKTreeView {
public:
    struct TreeNode {
        std::string Caption;
        TCKProjectItem *Data = nullptr;
        int Image = -1, Selected = -1;
        std::vector<int> Children;
        bool Expanded = false;
    };
    std::vector<TreeNode> Nodes{TreeNode{" Projekte", nullptr, -1, -1, {}, false}};

    void ClearRootChildren() override {
        Nodes.resize(1);
        Nodes[0].Children.clear();
    }
    Node AddNode(Node Parent, const std::string &Caption, TCKProjectItem *Data, int ImageIndex,
                 int SelectedIndex) override {
        Nodes.push_back({Caption, Data, ImageIndex, SelectedIndex, {}, false});
        const int id = static_cast<int>(Nodes.size()) - 1;
        Nodes[Parent].Children.push_back(id);
        return id;
    }
    void ExpandRootOneLevel() override { Nodes[0].Expanded = true; }

    // "A(B,C),D" style outline of the tree below the root.
    std::string Outline(int Id = 0) const {
        std::string out;
        for (int c : Nodes[Id].Children) {
            if (!out.empty())
                out += ",";
            out += Nodes[c].Caption;
            if (!Nodes[c].Children.empty())
                out += "(" + Outline(c) + ")";
        }
        return out;
    }
};

// Hears every event of one document, in order, for as long as it lives.
class RecordingListener : public TCKDocumentListener {
public:
    struct Heard {
        std::string Kind;
        TCKTimeItemList Entries;                   // added or changed
        TCKList Items;                             // removed or moved
        std::unordered_set<const TCKItem *> Nodes; // removed
        TCKTouched Touched;
        TCKProjectItem *Project = nullptr; // added, renamed, move target
        bool Imported = false;
    };

    explicit RecordingListener(const TChronarkMan &AMan) : Man(AMan) { Man.Subscribe(*this); }
    ~RecordingListener() override { Man.Unsubscribe(*this); }
    RecordingListener(const RecordingListener &) = delete;
    RecordingListener &operator=(const RecordingListener &) = delete;

    std::vector<Heard> Events;
    // Runs inside every removal event, while the nodes are still allocated.
    std::function<void(const TCKRemovedEvent &)> WhileRemoving;

    std::vector<std::string> Kinds() const {
        std::vector<std::string> k;
        for (const Heard &h : Events)
            k.push_back(h.Kind);
        return k;
    }
    const Heard &Last() const { return Events.back(); }

    void EntriesAdded(const TCKEntriesEvent &E) override { Entries("EntriesAdded", E); }
    void EntriesChanged(const TCKEntriesEvent &E) override { Entries("EntriesChanged", E); }
    void ItemsRemoved(const TCKRemovedEvent &E) override {
        if (WhileRemoving)
            WhileRemoving(E);
        Heard &h = Push("ItemsRemoved");
        h.Items = E.Items;
        h.Nodes = E.Nodes;
        h.Touched = E.Touched;
    }
    void ItemsMoved(const TCKMovedEvent &E) override {
        Heard &h = Push("ItemsMoved");
        h.Items = E.Items;
        h.Project = E.Target;
    }
    void ProjectAdded(TCKProjectItem *P) override { Push("ProjectAdded").Project = P; }
    void ProjectRenamed(TCKProjectItem *P) override { Push("ProjectRenamed").Project = P; }
    void DocumentReplaced(bool Imported) override { Push("DocumentReplaced").Imported = Imported; }
    void DefaultProjectChanged() override { Push("DefaultProjectChanged"); }
    void FieldDefsChanged() override { Push("FieldDefsChanged"); }

private:
    Heard &Push(const char *Kind) {
        Events.emplace_back();
        Events.back().Kind = Kind;
        return Events.back();
    }
    void Entries(const char *Kind, const TCKEntriesEvent &E) {
        Heard &h = Push(Kind);
        h.Entries = E.Entries;
        h.Touched = E.Touched;
    }
    const TChronarkMan &Man;
};
