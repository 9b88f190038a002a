#pragma once
// The views the document manager fills. The windows implement them over their widgets,
// tests over plain vectors. Texts are 8-bit (Windows-1252).

#include "model/cktypes.h"

#include <unordered_set>

// A report list: rows with a caption, sub-items, an image and the node they show.
class TCKListView {
public:
    virtual ~TCKListView() = default;
    // Automatic sorting: off while rows are added in bulk, on again afterwards.
    virtual void SetSorted(bool Sorted) = 0;
    virtual void Clear() = 0;
    virtual int Count() const = 0;
    virtual TCKItem *RowData(int Index) const = 0;
    virtual int AddRow(const std::string &Caption, const TStringArray &SubItems, int ImageIndex,
                       TCKItem *Data) = 0;
    virtual void SetRow(int Index, const std::string &Caption, const TStringArray &SubItems,
                        int ImageIndex) = 0;
    virtual void SetRowImage(int Index, int ImageIndex) = 0;
    virtual void DeleteRow(int Index) = 0;
    // Deletes the rows whose item is one of Gone, comparing addresses only; the others keep
    // their order. A list that can drop many rows at once overrides this row-by-row default.
    virtual void DeleteRowsOf(const std::unordered_set<const TCKItem *> &Gone) {
        for (int i = Count(); i-- > 0;)
            if (Gone.count(RowData(i)))
                DeleteRow(i);
    }
    // The row showing Data, or -1. A list that keeps an index overrides this scan.
    virtual int IndexOfData(const TCKItem *Data) const {
        for (int i = 0; i < Count(); ++i)
            if (RowData(i) == Data)
                return i;
        return -1;
    }
};

// A project tree whose first node (handle 0) stands for the invisible root. The document adds
// each node's children in caption order (CompareCaptions); a view keeps the order it is given.
class TCKTreeView {
public:
    using Node = int;
    static constexpr Node RootNode = 0;

    virtual ~TCKTreeView() = default;
    virtual void ClearRootChildren() = 0;
    virtual Node AddNode(Node Parent, const std::string &Caption, TCKProjectItem *Data,
                         int ImageIndex, int SelectedIndex) = 0;
    virtual void ExpandRootOneLevel() = 0;
};
