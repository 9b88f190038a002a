#pragma once
// A report list of projects and entries: the view the document fills (TCKListView). Rows keep
// the list's order while sorting is on (CompareListRows for a project's list, CompareSearchRows
// for search results); the column headers do not re-sort.

#include "model/ckviews.h"

#include <QTreeWidget>

#include <unordered_map>

class TImageList;

// Sub-project rows first, by caption (character codes, shorter prefix first); then entries by
// start time. Negative, zero or positive like strcmp.
int CompareListRows(const TCKItem *A, const TCKItem *B);

class TEntryRow : public QTreeWidgetItem {
public:
    explicit TEntryRow(TCKItem *AData) : QTreeWidgetItem(UserType), Data(AData) {}
    bool operator<(const QTreeWidgetItem &Other) const override;

    TCKItem *Data;
    // The project path of an entry while its list orders by path; kept so that sorting does
    // not build it anew for every comparison.
    std::string Path;
};

class TEntryList : public QTreeWidget, public TCKListView {
    Q_OBJECT
public:
    static constexpr int ImageRole = Qt::UserRole + 1;
    enum class TOrder {
        ProjectsThenStart, // a project's rows: sub-projects by caption, then entries
        PathThenStart,     // search results: by project path, then start time
    };

    TEntryList(const QStringList &Columns, const TImageList *Images, QWidget *Parent = nullptr,
               TOrder AOrder = TOrder::ProjectsThenStart);

    static TCKItem *ItemOf(const QTreeWidgetItem *Row);
    TEntryRow *Row(int Index) const;
    int IndexOf(const QTreeWidgetItem *Row) const {
        return indexOfTopLevelItem(const_cast<QTreeWidgetItem *>(Row));
    }
    int ImageOf(int Index) const;
    bool IsSorted() const { return Sorted; }
    bool IsEditing() const { return state() == QAbstractItemView::EditingState; }
    QList<TEntryRow *> SelectedRows() const;
    // Negative, zero or positive as A comes before, with or after B in this list's order.
    int CompareRows(const TEntryRow &A, const TEntryRow &B) const;

    // From now on the width the list gains beyond its present width goes to Column, so that a
    // wider window shows more of it while the other columns keep their widths.
    void GiveGrowthTo(int Column);
    // The width to store for Column: for the growing column its width without the gain.
    int StoredWidth(int Column) const;
    // The full text of Row in Column when the row shows it cut off (too narrow, or only its
    // first line); empty when it is shown whole.
    QString CutOffText(const QTreeWidgetItem *Row, int Column) const;

    // Switches sorting on again after only the row at Index changed: that row moves to its
    // place (keeping its selection) instead of the whole list being sorted. No row at Index
    // (it left the list): the rest is in order as it is.
    void SortRowIntoPlace(int Index);

    // TCKListView
    void SetSorted(bool Value) override;
    void Clear() override;
    int Count() const override { return topLevelItemCount(); }
    TCKItem *RowData(int Index) const override;
    int AddRow(const std::string &Caption, const TStringArray &SubItems, int ImageIndex,
               TCKItem *Data) override;
    void SetRow(int Index, const std::string &Caption, const TStringArray &SubItems,
                int ImageIndex) override;
    void SetRowImage(int Index, int ImageIndex) override;
    void DeleteRow(int Index) override;
    // Many rows go in one pass; the rows kept stay selected and current as they were.
    void DeleteRowsOf(const std::unordered_set<const TCKItem *> &Gone) override;
    int IndexOfData(const TCKItem *Data) const override;

signals:
    void RowEdited(QTreeWidgetItem *Row, const QString &Text);

protected:
    bool viewportEvent(QEvent *Event) override;

private:
    void Fill(TEntryRow *Row, const std::string &Caption, const TStringArray &SubItems,
              int ImageIndex) const;
    int SortedPosition(const TEntryRow *Row) const;

    const TImageList *Images;
    TOrder Order;
    bool Sorted = true;
    int Gain() const;
    void ApplyGain();

    int GrowthColumn = -1;
    int BaseWidth = 0;    // the growing column's own width, as set or stored
    int BaseViewport = 0; // the viewport's width when that width was laid out
    bool Adjusting = false;
    // The row last added for each item. Only ever compared as an address until the list
    // confirms the row is still one of its own, so a row removed some other way is harmless.
    std::unordered_map<const TCKItem *, const QTreeWidgetItem *> RowOfData;
};
