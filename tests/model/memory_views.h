#pragma once
// Plain in-memory views for testing what the document manager fills.

#include "model/ckviews.h"

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
