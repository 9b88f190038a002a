#include "model/ckitems.h"

#include "base/dates.h"
#include "model/ckmanager.h"
#include "base/ckassert.h"
#include "base/prefetch.h"
#include "model/ckreducedtime.h"

#include <algorithm>

void EnsurePositiveLength(TDateTime &StartTime, TDateTime &EndTime) {
    if (EndTime < StartTime)
        std::swap(StartTime, EndTime);
    if (CompareDateTime(StartTime, EndTime) == 0)
        EndTime = AddSeconds(StartTime, 1);
}

// --- TCKItem -----------------------------------------------------------------------------

TCKProjectItem *TCKItem::AsProject() {
    return IsProject() ? static_cast<TCKProjectItem *>(this) : nullptr;
}

TCKTimeItem *TCKItem::AsTime() {
    return IsTime() ? static_cast<TCKTimeItem *>(this) : nullptr;
}

int TCKItem::Depth() const {
    int depth = 0;
    for (const TCKProjectItem *p = Parent; p; p = p->Parent)
        ++depth;
    return depth;
}

bool TCKItem::IsInSubtreeOf(const TCKItem *Ancestor) const {
    for (const TCKItem *node = this; node; node = node->Parent)
        if (node == Ancestor)
            return true;
    return false;
}

void TCKItem::Unlink() {
    if (Parent) {
        if (Prev)
            Prev->Next = Next;
        else
            Parent->FirstChild = Next;
        if (Next)
            Next->Prev = Prev;
        else
            Parent->LastChild = Prev;
        if (Manager) {
            if (Manager->LastAdded == this)
                Manager->LastAdded = nullptr;
            Manager->SetSaved(false);
        }
    }
    Parent = nullptr;
    Next = nullptr;
    Prev = nullptr;
    if (Manager && Manager->Root.get() != this)
        Manager = nullptr;
}

void TCKItem::Detach() {
    Unlink();
}

void TCKItem::Delete() {
    Detach();
    delete this;
}

bool TCKItem::MoveTo(TCKProjectItem *Project) {
    if (!Project || Project->IsInSubtreeOf(this))
        return false;
    // Entries bound for another document enter its segment list, which may refuse them.
    if (Project->Manager && Project->Manager != Manager) {
        std::vector<std::pair<TDateTime, TDateTime>> spans;
        const auto collect = [&](TCKTimeItem *e) { spans.emplace_back(e->StartTime, e->EndTime); };
        if (TCKProjectItem *project = AsProject())
            ForEachEntry(project, collect);
        else
            collect(AsTime());
        if (!Project->Manager->AdmitEntries(spans, false, "",
                                            "\r\nDie Elemente wurden nicht verschoben."))
            return false;
    }
    if (TCKProjectItem *project = AsProject()) {
        const int room = MaxProjectDepth - Project->Depth() - 1;
        if (room < 0 || !project->SubtreeWithin(room)) {
            TChronarkMan *man = Project->Manager ? Project->Manager : Manager;
            DeliverMessage(man ? man->OnMessage : TMessageSink(), TMessageKind::Error,
                           "Das Projekt \"" + project->Caption +
                               "\" kann nicht verschoben werden: " + DepthLimitText());
            return false;
        }
        // Within one document a project's entries keep their segments, and the default project
        // stays chosen wherever it goes. Bound for another document the entries leave this
        // one's list (Add enters them into the target's), and this document must not go on
        // naming a node of the subtree.
        if (Manager && Manager != Project->Manager) {
            ForEachEntry(project, [](TCKTimeItem *e) { e->LeaveSegments(); });
            if (Manager->DefaultProject && Manager->DefaultProject->IsInSubtreeOf(this))
                Manager->DefaultProject = Manager->Root.get();
            if (Manager->LastAdded && Manager->LastAdded->IsInSubtreeOf(this))
                Manager->LastAdded = nullptr;
        }
        Unlink();
    } else {
        Detach();
    }
    Project->Add(this);
    return true;
}

std::string TCKItem::GetPath() const {
    return Parent ? Parent->GetPath() : std::string();
}

// --- TCKProjectItem ------------------------------------------------------------------------

TCKProjectItem::~TCKProjectItem() {
    DeleteChildren();
}

void TCKProjectItem::DeleteChildren() {
    // Post-order walk with an explicit cursor: deep trees must not grow the call stack.
    TCKItem *node = LastChild;
    while (node) {
        TCKProjectItem *project = node->AsProject();
        if (project && project->LastChild) {
            node = project->LastChild;
            continue;
        }
        TCKProjectItem *parent = node->Parent;
        node->Delete();
        node = parent == this ? LastChild : parent;
    }
}

void TCKProjectItem::TakeChildrenOf(TCKProjectItem &Source) {
    CK_ASSERT(&Source != this, return );
    TCKItem *first = Source.FirstChild;
    if (!first)
        return;
    if (LastChild)
        LastChild->Next = first;
    else
        FirstChild = first;
    first->Prev = LastChild;
    LastChild = Source.LastChild;
    Source.FirstChild = Source.LastChild = nullptr;
    // Managers follow down every new subtree.
    std::vector<std::pair<TDateTime, TCKTimeItem *>> entries;
    const auto adopt = [&](TCKTimeItem *e) {
        e->Manager = Manager;
        entries.emplace_back(e->StartTime, e);
    };
    for (TCKItem *c = first; c; c = c->Next) {
        c->Parent = this;
        c->Manager = Manager;
        if (TCKProjectItem *p = c->AsProject())
            WalkSubtree(
                p, [this](TCKProjectItem *sub) { sub->Manager = Manager; }, adopt,
                [](TCKProjectItem *) {});
        else
            adopt(c->AsTime());
    }
    // Entered in time order, entries keep the segment list's work near its end: much faster
    // for large documents than the order of the projects. The list comes out the same.
    if (Manager) {
        std::stable_sort(entries.begin(), entries.end(),
                         [](const auto &a, const auto &b) { return a.first < b.first; });
        // The entries lie in memory in file order, not in time order: fetch a few ahead.
        constexpr size_t ahead = 8;
        for (size_t i = 0; i < entries.size(); ++i) {
            if (i + ahead < entries.size())
                CK_PREFETCH(&entries[i + ahead].second->EndTime);
            Manager->ReducedTime->AddToSegments(entries[i].second);
        }
    }
    if (Manager) {
        Manager->LastAdded = LastChild;
        Manager->SetSaved(false);
    }
}

void TCKProjectItem::Detach() {
    DeleteChildren();
    // A removed default project would leave the manager pointing at freed memory.
    if (Manager && Manager->DefaultProject == this)
        Manager->DefaultProject = Manager->Root.get();
    Unlink();
}

std::string TCKProjectItem::GetPath() const {
    std::vector<const TCKProjectItem *> chain;
    for (const TCKProjectItem *p = this; p; p = p->Parent)
        chain.push_back(p);
    std::string path;
    for (size_t i = chain.size(); i-- > 0;) {
        if (!path.empty())
            path += '\\';
        path += chain[i]->Caption;
    }
    return path;
}

void TCKProjectItem::Add(TCKItem *Item) {
    CK_ASSERT(Item, return );
    Item->Prev = LastChild;
    Item->Next = nullptr;
    if (LastChild)
        LastChild->Next = Item;
    else
        FirstChild = Item;
    LastChild = Item;
    Item->Parent = this;
    Item->Manager = Manager;
    if (TCKProjectItem *project = Item->AsProject()) {
        // A project moved in from a detached state or another document brings a subtree that
        // must know its manager, and entries that are in no segment list yet.
        std::vector<TCKProjectItem *> pending{project};
        while (!pending.empty()) {
            TCKProjectItem *p = pending.back();
            pending.pop_back();
            for (TCKItem *c = p->FirstChild; c; c = c->Next) {
                c->Manager = Manager;
                if (TCKProjectItem *sub = c->AsProject())
                    pending.push_back(sub);
                else if (Manager && !c->AsTime()->InSegments())
                    Manager->ReducedTime->AddToSegments(c->AsTime());
            }
        }
    }
    if (Manager) {
        Manager->LastAdded = Item;
        if (TCKTimeItem *entry = Item->AsTime())
            Manager->ReducedTime->AddToSegments(entry);
        Manager->SetSaved(false);
    }
}

bool TCKProjectItem::SubtreeWithin(int Levels) const {
    // The walk stops at the first project too deep, and is linear in the subtree otherwise.
    int level = 0;
    const TCKItem *node = FirstChild;
    while (node) {
        if (node->IsProject()) {
            if (++level > Levels)
                return false;
            const auto *project = static_cast<const TCKProjectItem *>(node);
            if (project->FirstChild) {
                node = project->FirstChild;
                continue;
            }
            --level;
        }
        while (node && !node->Next) {
            node = node->Parent;
            if (node == this)
                node = nullptr;
            else
                --level;
        }
        if (node)
            node = node->Next;
    }
    return true;
}

std::string DepthLimitText() {
    return "Projekte lassen sich h\xF6"
           "chstens " +
           std::to_string(MaxProjectDepth) + " Ebenen tief verschachteln.";
}

TCKProjectItem *TCKProjectItem::AddProject(const std::string &ACaption) {
    auto *project = new TCKProjectItem(ACaption);
    Add(project);
    return project;
}

TCKTimeItem *TCKProjectItem::AddTime(const tCKEditItem &Data) {
    const TDateTime start = RecodeMilliSecond(Data.StartTime, 0);
    // Where the entry goes in the segment list is fetched while the entry is built.
    if (Manager)
        Manager->ReducedTime->PrepareEntering(start);
    auto *entry = new TCKTimeItem;
    entry->StartTime = start;
    entry->EndTime = RecodeMilliSecond(Data.EndTime, 0);
    EnsurePositiveLength(entry->StartTime, entry->EndTime);
    if (Manager && !Manager->AdmitEntries({{entry->StartTime, entry->EndTime}}, false, "",
                                          "\r\nDie Zeit wurde nicht hinzugef\xFCgt.")) {
        delete entry;
        return nullptr;
    }
    entry->Comment = Data.Comment;
    entry->Fields = Data.Fields;
    Add(entry);
    return entry;
}

TCKTimeItemList TCKProjectItem::TimeItems() const {
    TCKTimeItemList items;
    for (TCKItem *c = FirstChild; c; c = c->Next)
        if (TCKTimeItem *entry = c->AsTime())
            items.push_back(entry);
    return items;
}

void TCKProjectItem::FillListView(TCKListView &View) const {
    View.SetSorted(false);
    View.Clear();
    std::string caption;
    TStringArray subItems;
    for (TCKItem *c = FirstChild; c; c = c->Next) {
        if (TCKProjectItem *project = c->AsProject()) {
            View.AddRow(project->Caption, {}, imgFolder, project);
        } else {
            TCKTimeItem *entry = c->AsTime();
            if (Manager && !entry->MatchesFilter(Manager->Filter, Manager->FilterActive))
                continue;
            EntryRowTexts(entry, false, caption, subItems);
            View.AddRow(caption, subItems, EntryImage(entry), entry);
        }
    }
    View.SetSorted(true);
}

void TCKProjectItem::AddRows(TCKListView &View, const TCKList &Items) const {
    std::string caption;
    TStringArray subItems;
    View.SetSorted(false);
    for (TCKItem *item : Items) {
        if (item->Parent != this)
            continue;
        if (TCKProjectItem *project = item->AsProject()) {
            View.AddRow(project->Caption, {}, imgFolder, project);
            continue;
        }
        TCKTimeItem *entry = item->AsTime();
        if (Manager && !entry->MatchesFilter(Manager->Filter, Manager->FilterActive))
            continue;
        EntryRowTexts(entry, false, caption, subItems);
        View.AddRow(caption, subItems, EntryImage(entry), entry);
    }
    View.SetSorted(true);
}

// --- TCKTimeItem ---------------------------------------------------------------------------

TCKTimeItem::~TCKTimeItem() {
    // The segment list would keep the freed entry's address.
    CK_ASSERT(!InSegments(), LeaveSegments());
}

void TCKTimeItem::LeaveSegments() {
    if (!InSegments() || !Manager)
        return;
    Manager->ReducedTime->PrepareRemoval(this);
    TCKReducedTimeItem *a = FirstSegment->Prev;
    TCKReducedTimeItem *b = LastSegment->Next;
    Manager->ReducedTime->RemoveFromSegments(this);
    FirstSegment = nullptr;
    LastSegment = nullptr;
    Manager->ReducedTime->Normalize(a, b);
}

void TCKTimeItem::Detach() {
    LeaveSegments();
    Unlink();
}

tCKEditItem TCKTimeItem::GetData() const {
    return {StartTime, EndTime, Comment, Fields};
}

void TCKTimeItem::SetData(const tCKEditItem &Data) {
    StartTime = RecodeMilliSecond(Data.StartTime, 0);
    EndTime = RecodeMilliSecond(Data.EndTime, 0);
    Fields = Data.Fields;
    Comment = Data.Comment;
    // The segment list needs a positive length; callers refuse other times, but the model
    // must stay consistent even if one does not.
    EnsurePositiveLength(StartTime, EndTime);
    if (!Manager)
        return;
    LeaveSegments();
    Manager->ReducedTime->AddToSegments(this);
    Manager->SetSaved(false);
}

bool TCKTimeItem::SplitAt(TDateTime T) {
    // A detached entry has no project to take the second part.
    if (!(StartTime < T && T < EndTime) || !Parent)
        return false;
    LeaveSegments();
    auto *second = new TCKTimeItem;
    second->Comment = Comment;
    second->StartTime = T;
    second->EndTime = EndTime;
    second->Fields = Fields;
    EndTime = T;
    if (Manager)
        Manager->ReducedTime->AddToSegments(this);
    Parent->Add(second);
    return true;
}

int TCKTimeItem::FieldIndex(const std::string &Id) const {
    for (size_t i = 0; i < Fields.size(); ++i)
        if (Fields[i].Id == Id)
            return static_cast<int>(i);
    return -1;
}

TTimeBlockList TCKTimeItem::Segments() const {
    TTimeBlockList list;
    for (TCKReducedTimeItem *s = FirstSegment; s; s = s->Next) {
        list.push_back(s);
        if (s == LastSegment)
            break;
    }
    return list;
}

bool TCKTimeItem::IsOverlapFree() const {
    for (const TCKReducedTimeItem *s = FirstSegment; s; s = s->Next) {
        if (s->Items.size() > 1)
            return false;
        if (s == LastSegment)
            break;
    }
    return true;
}

bool TCKTimeItem::AddTimeSharers(TCKConstTimeItems &Sharers, size_t Limit) const {
    // Sharers stays at most Limit long, so the membership test is a short scan; every
    // segment is visited once, and one holding more than Limit entries ends the walk.
    const auto Add = [&](const TCKTimeItem *E) {
        if (std::find(Sharers.begin(), Sharers.end(), E) != Sharers.end())
            return true;
        if (Sharers.size() >= Limit)
            return false;
        Sharers.push_back(E);
        return true;
    };
    if (!Add(this))
        return false;
    for (const TCKReducedTimeItem *s = FirstSegment; s; s = s->Next) {
        for (const TCKTimeItem *e : s->Items)
            if (!Add(e))
                return false;
        if (s == LastSegment)
            break;
    }
    return true;
}

namespace {

bool DatesMatch(const TCKTimeItem &E, const tFilterItem &Filter) {
    bool result = true;
    if (Filter.UseFromDate)
        result = E.EndTime > Filter.FromDate;
    if (Filter.UseToDate)
        result = result && E.StartTime < Filter.ToDate;
    return result;
}

unsigned char FoldAZ(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A'))
                                : static_cast<unsigned char>(c);
}

// ContainsText(LowerCase(Text), LowerNeedle) without a lower-cased copy of every text: the
// search and the filter test each entry's comment and field values.
bool ContainsFolded(const std::string &Text, const std::string &LowerNeedle) {
    const size_t n = LowerNeedle.size();
    if (n == 0 || n > Text.size())
        return false;
    const auto first = static_cast<unsigned char>(LowerNeedle[0]);
    for (size_t i = 0; i + n <= Text.size(); ++i) {
        if (FoldAZ(Text[i]) != first)
            continue;
        size_t k = 1;
        while (k < n && FoldAZ(Text[i + k]) == static_cast<unsigned char>(LowerNeedle[k]))
            ++k;
        if (k == n)
            return true;
    }
    return false;
}

} // namespace

bool TCKTimeItem::MatchesFilter(const tFilterItem &Filter, bool Active) const {
    if (!Active)
        return true;
    if (!DatesMatch(*this, Filter))
        return false;
    if (Filter.Keywords.empty())
        return true;
    for (const std::string &keyword : Filter.Keywords) {
        const std::string k = LowerCase(keyword);
        if (ContainsFolded(Comment, k) ||
            std::any_of(Fields.begin(), Fields.end(),
                        [&](const tFieldItem &f) { return ContainsFolded(f.Value, k); }))
            return true;
    }
    return false;
}

bool TCKTimeItem::MatchesSearch(const tFilterItem &Filter, const std::string &Text) const {
    bool result = DatesMatch(*this, Filter);
    if (!Filter.Keywords.empty()) {
        const std::string text = LowerCase(Text);
        const bool found =
            std::any_of(Filter.Keywords.begin(), Filter.Keywords.end(),
                        [&](const std::string &k) { return ContainsText(text, LowerCase(k)); });
        result = result && found;
    }
    return result;
}
