#include "model/ckreducedtime.h"

#include "base/ckassert.h"
#include "base/dates.h"
#include "base/prefetch.h"
#include "model/ckitems.h"

#include <algorithm>
#include <new>
#include <unordered_map>
#include <unordered_set>

namespace {

// Searches from the back: entries and segments are mostly removed in the reverse order of
// their arrival (a project deletes its last child first), which makes this O(1).
template <typename List, typename Value> void EraseOne(List &Items, const Value *Item) {
    for (auto *it = Items.end(); it != Items.begin();) {
        if (*--it == Item) {
            Items.erase(it);
            return;
        }
    }
}

bool SameEntries(const TUsedByList &A, const TUsedByList &B) {
    if (A.size() != B.size())
        return false;
    if (A.size() <= 8) {
        for (const TCKTimeItem *e : A)
            if (std::find(B.begin(), B.end(), e) == B.end())
                return false;
        return true;
    }
    std::vector<TCKTimeItem *> a = A.ToVector(), b = B.ToVector();
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    return a == b;
}

} // namespace

void TCKReducedTime::TBlockDeleter::operator()(TCKReducedTimeItem *Block) const {
    ::operator delete(Block, std::align_val_t(alignof(TCKReducedTimeItem)));
}

TCKReducedTime::~TCKReducedTime() {
    DestroySegments();
}

// Every segment handed out, live or on the free list, is constructed: all of the older blocks,
// and the used part of the newest.
void TCKReducedTime::DestroySegments() {
    for (size_t b = 0; b < Blocks.size(); ++b) {
        TCKReducedTimeItem *block = Blocks[b].get();
        const size_t used = b + 1 == Blocks.size() ? BlockUsed : BlockSizeAt(b);
        for (size_t i = 0; i < used; ++i)
            block[i].~TCKReducedTimeItem();
    }
}

void TCKReducedTime::Reset() {
    DestroySegments();
    Blocks.clear();
    BlockSize = BlockUsed = 0;
    FreeList = nullptr;
    First = Last = nullptr;
    Index.clear();
    TotalCoverage = 0;
}

TCKReducedTimeItem *TCKReducedTime::NewSegment(TDateTime Start, TDateTime End) {
    TCKReducedTimeItem *segment = FreeList;
    if (segment) {
        FreeList = segment->Next;
        segment->Next = nullptr;
    } else {
        if (BlockUsed == BlockSize) {
            BlockSize = BlockSizeAt(Blocks.size());
            void *raw = ::operator new(BlockSize * sizeof(TCKReducedTimeItem),
                                       std::align_val_t(alignof(TCKReducedTimeItem)));
            Blocks.emplace_back(static_cast<TCKReducedTimeItem *>(raw));
            BlockUsed = 0;
        }
        segment = new (Blocks.back().get() + BlockUsed++) TCKReducedTimeItem;
    }
    segment->StartTime = Start;
    segment->EndTime = End;
    Index.Insert(Start, segment);
    return segment;
}

void TCKReducedTime::FreeSegment(TCKReducedTimeItem *Segment) {
    Index.Erase(Segment->StartTime, Segment);
    Segment->~TCKReducedTimeItem();
    new (Segment) TCKReducedTimeItem;
    Segment->Next = FreeList;
    FreeList = Segment;
}

void TCKReducedTime::SplitSegment(TCKReducedTimeItem *G, TDateTime T) {
    TCKReducedTimeItem *n = NewSegment(T, G->EndTime);
    G->EndTime = T;
    n->Items = G->Items;
    TotalCoverage += n->Items.size();
    for (TCKTimeItem *e : n->Items)
        if (e->LastSegment == G)
            e->LastSegment = n;
    n->Prev = G;
    n->Next = G->Next;
    if (G->Next)
        G->Next->Prev = n;
    G->Next = n;
    if (Last == G)
        Last = n;
}

TCKReducedTimeItem *TCKReducedTime::FindStartSegment(TDateTime T) const {
    return T >= Last->StartTime ? Last : Index.FloorLE(T);
}

TCKReducedTimeItem *TCKReducedTime::FindEndSegment(TCKReducedTimeItem *From, TDateTime T) const {
    if (T > Last->StartTime)
        return Last;
    // Most entries cover a few segments: stepping on from the first is cheaper than a second
    // search, and touches segments that are about to be updated anyway.
    TCKReducedTimeItem *s = From;
    for (int steps = 0; s && steps < 8; ++steps, s = s->Next)
        if (T <= s->EndTime)
            return s;
    return Index.FloorLT(T);
}

void TCKReducedTime::AddToSegments(TCKTimeItem *Entry) {
    // A segment of no length would break the list's order; such an entry stays outside.
    CK_ASSERT(Entry->StartTime < Entry->EndTime, return );
    TCKReducedTimeItem *s1;
    TCKReducedTimeItem *s2;
    if (!First) {
        s1 = s2 = First = Last = NewSegment(Entry->StartTime, Entry->EndTime);
    } else {
        if (Entry->StartTime < First->StartTime) {
            TCKReducedTimeItem *front = NewSegment(Entry->StartTime, First->StartTime);
            front->Next = First;
            First->Prev = front;
            First = front;
        }
        if (Entry->EndTime > Last->EndTime) {
            TCKReducedTimeItem *back = NewSegment(Last->EndTime, Entry->EndTime);
            back->Prev = Last;
            Last->Next = back;
            Last = back;
        }
        s1 = FindStartSegment(Entry->StartTime);
        // Splitting relinks the following segment; fetch it while the split is prepared.
        if (s1->Next)
            CK_PREFETCH(s1->Next);
        if (s1->StartTime < Entry->StartTime) {
            SplitSegment(s1, Entry->StartTime);
            s1 = s1->Next;
        }
        s2 = FindEndSegment(s1, Entry->EndTime);
        if (Entry->EndTime < s2->EndTime)
            SplitSegment(s2, Entry->EndTime);
    }
    for (TCKReducedTimeItem *s = s1;; s = s->Next) {
        s->Items.push_back(Entry);
        ++TotalCoverage;
        if (s == s2)
            break;
    }
    Entry->FirstSegment = s1;
    Entry->LastSegment = s2;
}

// Removing an entry mostly merges its segments with their neighbours, which erases their starts
// from the index: the lookup runs while the segments are still on their way from memory.
void TCKReducedTime::PrepareRemoval(const TCKTimeItem *Entry) const {
    CK_PREFETCH(Entry->FirstSegment);
    CK_PREFETCH(Entry->LastSegment);
    Index.Touch(Entry->StartTime);
}

void TCKReducedTime::RemoveFromSegments(TCKTimeItem *Entry) {
    for (TCKReducedTimeItem *s = Entry->FirstSegment; s; s = s->Next) {
        EraseOne(s->Items, Entry);
        --TotalCoverage;
        if (s == Entry->LastSegment)
            break;
    }
}

void TCKReducedTime::Normalize(TCKReducedTimeItem *A, TCKReducedTimeItem *B) {
    if (A != B) {
        TCKReducedTimeItem *lo = A ? A : First;
        TCKReducedTimeItem *hi = B ? B : Last;
        if (hi && lo) {
            TCKReducedTimeItem *stop = lo->Prev;
            for (TCKReducedTimeItem *c = hi->Prev; c && c != stop; c = c->Prev) {
                TCKReducedTimeItem *r = c->Next;
                if (!r || c->EndTime != r->StartTime || !SameEntries(c->Items, r->Items))
                    continue;
                for (TCKTimeItem *e : r->Items)
                    if (e->LastSegment == r)
                        e->LastSegment = c;
                c->EndTime = r->EndTime;
                TotalCoverage -= r->Items.size();
                c->Next = r->Next;
                if (r->Next)
                    r->Next->Prev = c;
                if (Last == r)
                    Last = c;
                FreeSegment(r);
            }
        }
    }
    if (!A && First && First->Items.empty()) {
        TCKReducedTimeItem *old = First;
        First = old->Next;
        if (First)
            First->Prev = nullptr;
        else
            Last = nullptr;
        FreeSegment(old);
    }
    if (!B && Last && Last->Items.empty()) {
        TCKReducedTimeItem *old = Last;
        Last = old->Prev;
        if (Last)
            Last->Next = nullptr;
        else
            First = nullptr;
        FreeSegment(old);
    }
}

uint64_t
TCKReducedTime::CoverageGain(const std::vector<std::pair<TDateTime, TDateTime>> &Spans) const {
    // Each new start and end cuts the segment it falls inside, whose entries are then listed
    // twice; and each stretch between consecutive new bounds adds its new entries once for
    // every segment it then consists of.
    std::vector<std::pair<TDateTime, int>> bounds;
    bounds.reserve(Spans.size() * 2);
    for (const auto &[start, end] : Spans) {
        bounds.emplace_back(start, 1);
        bounds.emplace_back(end, -1);
    }
    std::sort(bounds.begin(), bounds.end());
    if (bounds.empty())
        return 0;
    // The first segment ending after the current bound.
    const TCKReducedTimeItem *seg = nullptr;
    if (First) {
        const TDateTime t0 = bounds[0].first;
        seg = t0 < First->StartTime ? First : Index.FloorLE(t0);
        if (seg && !(t0 < seg->EndTime))
            seg = seg->Next;
    }
    uint64_t gain = 0;
    int64_t open = 0;
    TDateTime at = bounds[0].first;
    for (size_t i = 0; i < bounds.size();) {
        const TDateTime t = bounds[i].first;
        uint64_t pieces = 1;
        if (First && at < First->StartTime && First->StartTime < t)
            ++pieces;
        for (; seg && seg->EndTime < t; seg = seg->Next)
            ++pieces;
        if (open > 0)
            gain += static_cast<uint64_t>(open) * pieces;
        if (seg && seg->StartTime < t && t < seg->EndTime)
            gain += seg->Items.size();
        if (seg && !(t < seg->EndTime))
            seg = seg->Next;
        for (; i < bounds.size() && bounds[i].first == t; ++i)
            open += bounds[i].second;
        at = t;
    }
    return gain;
}

bool TCKReducedTime::CheckInvariants(std::string *Why) const {
    auto fail = [&](const std::string &what) {
        if (Why)
            *Why = what;
        return false;
    };
    if (!Index.CheckStructure(Why))
        return false;
    if (!First || !Last) {
        if (First || Last || !Index.empty() || TotalCoverage != 0)
            return fail("segment list: First/Last/index disagree on emptiness");
        return true;
    }
    if (First->Prev || Last->Next)
        return fail("segment list: links beyond First/Last");
    if (First->Items.empty() || Last->Items.empty())
        return fail("segment list: first or last segment without entries");
    std::unordered_map<const TCKTimeItem *, size_t> coverage;
    size_t count = 0;
    for (const TCKReducedTimeItem *s = First; s; s = s->Next) {
        ++count;
        if (!(s->StartTime < s->EndTime))
            return fail("segment list: segment without positive length");
        if (s->Next && (s->Next->Prev != s || s->EndTime != s->Next->StartTime))
            return fail("segment list: broken link or gap between segments");
        if (!s->Next && s != Last)
            return fail("segment list: Last is not the end of the chain");
        if (Index.Find(s->StartTime) != s)
            return fail("segment list: index does not name a segment");
        std::unordered_set<const TCKTimeItem *> seen;
        for (const TCKTimeItem *e : s->Items) {
            if (!seen.insert(e).second)
                return fail("segment list: entry listed twice in one segment");
            ++coverage[e];
        }
    }
    if (count != Index.size())
        return fail("segment list: index holds stale segments");
    uint64_t listed = 0;
    for (const TCKReducedTimeItem *s = First; s; s = s->Next)
        listed += s->Items.size();
    if (listed != TotalCoverage)
        return fail("segment list: coverage count differs from the lists");
    for (const auto &[e, n] : coverage) {
        if (!e->FirstSegment || !e->LastSegment || e->FirstSegment->StartTime != e->StartTime ||
            e->LastSegment->EndTime != e->EndTime)
            return fail("segment list: entry bounds differ from its first/last segment");
        // Every segment of the run lists the entry, and no other segment does.
        size_t run = 0;
        for (const TCKReducedTimeItem *s = e->FirstSegment; s; s = s->Next) {
            if (std::find(s->Items.begin(), s->Items.end(), e) == s->Items.end())
                return fail("segment list: a segment of an entry's run does not list it");
            ++run;
            if (s == e->LastSegment)
                break;
        }
        if (run != n)
            return fail("segment list: segments outside an entry's run list it");
    }
    return true;
}
