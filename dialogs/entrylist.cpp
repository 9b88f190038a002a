#include "dialogs/entrylist.h"

#include "base/ckassert.h"
#include "base/collate.h"
#include "base/dates.h"
#include "ui/captiondelegate.h"
#include "ui/imagelist.h"
#include "app/qtext.h"
#include "model/ckm.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QHelpEvent>
#include <QStyle>
#include <QToolTip>

#include <algorithm>

int CompareListRows(const TCKItem *A, const TCKItem *B) {
    if (A == B)
        return 0;
    if (!A || !B)
        return A ? 1 : -1;
    if (A->IsProject() != B->IsProject())
        return A->IsProject() ? -1 : 1;
    if (A->IsProject())
        return CompareCaptions(static_cast<const TCKProjectItem *>(A)->Caption,
                               static_cast<const TCKProjectItem *>(B)->Caption);
    return CompareDateTime(static_cast<const TCKTimeItem *>(A)->StartTime,
                           static_cast<const TCKTimeItem *>(B)->StartTime);
}

bool TEntryRow::operator<(const QTreeWidgetItem &Other) const {
    const auto *List = qobject_cast<const TEntryList *>(treeWidget());
    const auto *O = dynamic_cast<const TEntryRow *>(&Other);
    if (List && O)
        return List->CompareRows(*this, *O) < 0;
    return CompareListRows(Data, TEntryList::ItemOf(&Other)) < 0;
}

TEntryList::TEntryList(const QStringList &Columns, const TImageList *AImages, QWidget *Parent,
                       TOrder AOrder)
    : QTreeWidget(Parent), Images(AImages), Order(AOrder) {
    setColumnCount(Columns.size());
    setHeaderLabels(Columns);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setContextMenuPolicy(Qt::CustomContextMenu);
    header()->setSectionsClickable(false);
    header()->setSortIndicatorShown(false);
    header()->setStretchLastSection(true);

    auto *Delegate = new TCaptionDelegate(this);
    setItemDelegate(Delegate);
    connect(Delegate, &TCaptionDelegate::CaptionEdited, this,
            [this](const QModelIndex &Index, const QString &Text) {
                if (QTreeWidgetItem *R = itemFromIndex(Index))
                    emit RowEdited(R, Text);
            });
}

TCKItem *TEntryList::ItemOf(const QTreeWidgetItem *Row) {
    const auto *R = dynamic_cast<const TEntryRow *>(Row);
    return R ? R->Data : nullptr;
}

TEntryRow *TEntryList::Row(int Index) const {
    return static_cast<TEntryRow *>(topLevelItem(Index));
}

int TEntryList::ImageOf(int Index) const {
    const QTreeWidgetItem *R = topLevelItem(Index);
    return R ? R->data(0, ImageRole).toInt() : imgNone;
}

QList<TEntryRow *> TEntryList::SelectedRows() const {
    // From the selection, not by asking every row: the commands ask often, lists are long.
    QList<int> Indexes;
    for (const QModelIndex &Index : selectionModel()->selectedIndexes())
        if (!Index.parent().isValid())
            Indexes << Index.row();
    std::sort(Indexes.begin(), Indexes.end());
    Indexes.erase(std::unique(Indexes.begin(), Indexes.end()), Indexes.end());
    QList<TEntryRow *> Result;
    for (int I : Indexes)
        Result << Row(I);
    return Result;
}

int TEntryList::CompareRows(const TEntryRow &A, const TEntryRow &B) const {
    if (Order == TOrder::PathThenStart && A.Data && B.Data && A.Data->IsTime() && B.Data->IsTime())
        return CompareSearchRows(A.Path, A.Data->AsTime()->StartTime, B.Path,
                                 B.Data->AsTime()->StartTime);
    return CompareListRows(A.Data, B.Data);
}

void TEntryList::SetSorted(bool Value) {
    if (Value == Sorted)
        return;
    Sorted = Value;
    if (Sorted && topLevelItemCount() > 1)
        sortItems(0, Qt::AscendingOrder);
}

void TEntryList::SortRowIntoPlace(int Index) {
    TEntryRow *R = Row(Index);
    Sorted = true;
    if (!R)
        return;
    const auto InOrder = [this](int A, int B) {
        return A < 0 || B >= topLevelItemCount() || CompareRows(*Row(A), *Row(B)) <= 0;
    };
    if (InOrder(Index - 1, Index) && InOrder(Index, Index + 1))
        return;
    const bool Selected = R->isSelected();
    const bool Current = currentItem() == R;
    takeTopLevelItem(Index);
    insertTopLevelItem(SortedPosition(R), R);
    if (Current)
        setCurrentItem(R, 0, QItemSelectionModel::NoUpdate);
    R->setSelected(Selected);
}

void TEntryList::Clear() {
    static_cast<TCaptionDelegate *>(itemDelegate())->DiscardEditor();
    clear();
    RowOfData.clear();
}

TCKItem *TEntryList::RowData(int Index) const {
    const TEntryRow *R = Row(Index);
    return R ? R->Data : nullptr;
}

void TEntryList::Fill(TEntryRow *R, const std::string &Caption, const TStringArray &SubItems,
                      int ImageIndex) const {
    R->setText(0, ToQ(Caption));
    for (int c = 1; c < columnCount(); ++c) {
        const size_t i = size_t(c - 1);
        R->setText(c, i < SubItems.size() ? ToQ(SubItems[i]) : QString());
    }
    R->setData(0, ImageRole, ImageIndex);
    R->setIcon(0, Images ? Images->Icon(ImageIndex) : QIcon());
    if (Order == TOrder::PathThenStart && R->Data)
        R->Path = R->Data->GetPath();
}

int TEntryList::SortedPosition(const TEntryRow *R) const {
    int Lo = 0;
    int Hi = topLevelItemCount();
    while (Lo < Hi) {
        const int Mid = (Lo + Hi) / 2;
        const TEntryRow *M = Row(Mid);
        if (M != R && CompareRows(*R, *M) < 0)
            Hi = Mid;
        else
            Lo = Mid + 1;
    }
    return Lo;
}

int TEntryList::AddRow(const std::string &Caption, const TStringArray &SubItems, int ImageIndex,
                       TCKItem *Data) {
    auto *R = new TEntryRow(Data);
    Fill(R, Caption, SubItems, ImageIndex);
    R->setFlags(R->flags() | Qt::ItemIsEditable | Qt::ItemIsDragEnabled);
    RowOfData[Data] = R;
    if (!Sorted) {
        addTopLevelItem(R);
        return topLevelItemCount() - 1;
    }
    const int Pos = SortedPosition(R);
    insertTopLevelItem(Pos, R);
    return Pos;
}

void TEntryList::SetRow(int Index, const std::string &Caption, const TStringArray &SubItems,
                        int ImageIndex) {
    TEntryRow *R = Row(Index);
    CK_ASSERT(R, return );
    Fill(R, Caption, SubItems, ImageIndex);
    if (Sorted)
        sortItems(0, Qt::AscendingOrder);
}

void TEntryList::SetRowImage(int Index, int ImageIndex) {
    QTreeWidgetItem *R = topLevelItem(Index);
    CK_ASSERT(R, return );
    if (R->data(0, ImageRole).toInt() == ImageIndex)
        return;
    R->setData(0, ImageRole, ImageIndex);
    R->setIcon(0, Images ? Images->Icon(ImageIndex) : QIcon());
}

void TEntryList::DeleteRow(int Index) {
    QTreeWidgetItem *R = takeTopLevelItem(Index);
    if (!R)
        return;
    if (const auto Found = RowOfData.find(ItemOf(R));
        Found != RowOfData.end() && Found->second == R)
        RowOfData.erase(Found);
    delete R;
}

void TEntryList::DeleteRowsOf(const std::unordered_set<const TCKItem *> &Gone) {
    std::vector<int> Doomed;
    for (int i = Count(); i-- > 0;)
        if (Gone.count(RowData(i)))
            Doomed.push_back(i);
    // Row by row, each removal moves every later row: fine for a few, not for thousands.
    constexpr size_t FewRows = 64;
    if (Doomed.size() <= FewRows) {
        for (const int Index : Doomed)
            DeleteRow(Index);
        return;
    }
    static_cast<TCaptionDelegate *>(itemDelegate())->DiscardEditor();
    QTreeWidgetItem *Current = currentItem();
    std::unordered_set<const QTreeWidgetItem *> Selected;
    for (TEntryRow *R : SelectedRows())
        Selected.insert(R);
    QList<QTreeWidgetItem *> Kept;
    const QList<QTreeWidgetItem *> Rows = invisibleRootItem()->takeChildren();
    Kept.reserve(Rows.size());
    for (QTreeWidgetItem *R : Rows) {
        if (!Gone.count(ItemOf(R))) {
            Kept << R;
            continue;
        }
        if (const auto Found = RowOfData.find(ItemOf(R));
            Found != RowOfData.end() && Found->second == R)
            RowOfData.erase(Found);
        if (R == Current)
            Current = nullptr;
        delete R;
    }
    addTopLevelItems(Kept);
    if (Current)
        setCurrentItem(Current, 0, QItemSelectionModel::NoUpdate);
    for (QTreeWidgetItem *R : Kept)
        if (Selected.count(R))
            R->setSelected(true);
}

int TEntryList::IndexOfData(const TCKItem *Data) const {
    const auto Found = RowOfData.find(Data);
    if (Found == RowOfData.end())
        return -1;
    // A scan of addresses, no row is touched: cheap even for long lists.
    const int Index = IndexOf(Found->second);
    return Index >= 0 && RowData(Index) == Data ? Index : -1;
}

void TEntryList::GiveGrowthTo(int Column) {
    if (GrowthColumn < 0)
        connect(header(), &QHeaderView::sectionResized, this,
                [this](int Logical, int, int NewSize) {
                    // The user (or the stored settings) set the width: that is the column's own.
                    if (!Adjusting && Logical == GrowthColumn)
                        BaseWidth = qMax(header()->minimumSectionSize(), NewSize - Gain());
                });
    GrowthColumn = Column;
    BaseWidth = header()->sectionSize(Column);
    BaseViewport = viewport()->width();
}

int TEntryList::StoredWidth(int Column) const {
    return Column == GrowthColumn ? BaseWidth : header()->sectionSize(Column);
}

int TEntryList::Gain() const {
    return qMax(0, viewport()->width() - BaseViewport);
}

void TEntryList::ApplyGain() {
    Adjusting = true;
    header()->resizeSection(GrowthColumn, BaseWidth + Gain());
    Adjusting = false;
}

QString TEntryList::CutOffText(const QTreeWidgetItem *Row, int Column) const {
    if (!Row)
        return QString();
    const QString Text = Row->text(Column);
    if (SingleLineCaption(Text) != Text)
        return Text;
    // The cell's room for text: its width less the icon and the style's margins.
    const QModelIndex Index = indexFromItem(const_cast<QTreeWidgetItem *>(Row), Column);
    int Room = visualRect(Index).width();
    if (!Row->icon(Column).isNull())
        Room -= iconSize().width() > 0 ? iconSize().width() : 16;
    Room -= 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 4;
    return QFontMetrics(font()).horizontalAdvance(Text) > Room ? Text : QString();
}

bool TEntryList::viewportEvent(QEvent *Event) {
    if (Event->type() == QEvent::ToolTip) {
        const auto *Help = static_cast<QHelpEvent *>(Event);
        const QModelIndex Index = indexAt(Help->pos());
        const QString Full = CutOffText(itemFromIndex(Index), Index.column());
        if (!Full.isEmpty()) {
            QToolTip::showText(Help->globalPos(), Full, viewport(), visualRect(Index));
            return true;
        }
    }
    const bool Result = QTreeWidget::viewportEvent(Event);
    if (Event->type() == QEvent::Resize && GrowthColumn >= 0)
        ApplyGain();
    return Result;
}
