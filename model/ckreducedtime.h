#pragma once
// The segment list: the time axis cut at every entry start and end, each segment listing the
// entries that cover it. Overlaps and net time are read from it.

#include "base/dates.h"
#include "model/cktypes.h"

#include "model/cksegmentindex.h"

#include <algorithm>
#include <memory>
#include <vector>

class TCKReducedTimeItem {
public:
    TUsedByList Items;
    TCKReducedTimeItem *Next = nullptr;
    TCKReducedTimeItem *Prev = nullptr;
    TDateTime StartTime = 0;
    TDateTime EndTime = 0;
};

class TCKReducedTime {
public:
    TCKReducedTime() = default;
    ~TCKReducedTime();
    TCKReducedTime(const TCKReducedTime &) = delete;
    TCKReducedTime &operator=(const TCKReducedTime &) = delete;

    TCKReducedTimeItem *First = nullptr;
    TCKReducedTimeItem *Last = nullptr;

    // Entry must have StartTime < EndTime.
    void AddToSegments(TCKTimeItem *Entry);
    void RemoveFromSegments(TCKTimeItem *Entry);
    // Ask ahead for what entering an entry starting at Start, or removing Entry, will touch.
    // Entries at the end, the common case, need no lookup.
    void PrepareEntering(TDateTime Start) const {
        if (Last && Start < Last->StartTime)
            Index.Touch(Start);
    }
    void PrepareRemoval(const TCKTimeItem *Entry) const;
    void Normalize(TCKReducedTimeItem *A, TCKReducedTimeItem *B);

    // Drops every segment at once, for a document emptied as a whole; the caller has already
    // cut its entries loose.
    void Reset();

    size_t SegmentCount() const { return Index.size(); }
    // The sum over segments of the entries listed: what the lists hold, and what memory and
    // most walks over the list grow with. Mutually overlapping entries make it grow with the
    // square of their number.
    uint64_t Coverage() const { return TotalCoverage; }
    // How much Coverage would grow if entries with these spans (start before end, none of them
    // in the list) entered it; costs one walk over the segments the spans reach.
    uint64_t CoverageGain(const std::vector<std::pair<TDateTime, TDateTime>> &Spans) const;
    // Checks links, contiguity, the index and every entry's segment membership.
    bool CheckInvariants(std::string *Why = nullptr) const;

private:
    // Blocks grow with the document: 64 segments first, doubling up to 4,096.
    static size_t BlockSizeAt(size_t Block) { return size_t{64} << std::min<size_t>(Block, 6); }
    void DestroySegments();
    TCKReducedTimeItem *NewSegment(TDateTime Start, TDateTime End);
    void FreeSegment(TCKReducedTimeItem *Segment);
    void SplitSegment(TCKReducedTimeItem *G, TDateTime T);
    TCKReducedTimeItem *FindStartSegment(TDateTime T) const;
    // The segment ending at or after T, searched from From on (From starts before T).
    TCKReducedTimeItem *FindEndSegment(TCKReducedTimeItem *From, TDateTime T) const;

    // Segment start -> segment, so entering an entry finds its ends in O(log n).
    TSegmentIndex Index;
    // Segments come from blocks and go back to a free list: one allocation per block. A block
    // is raw memory until its segments are handed out one by one, so fresh memory is written
    // once, when it is first used.
    struct TBlockDeleter {
        void operator()(TCKReducedTimeItem *Block) const;
    };
    std::vector<std::unique_ptr<TCKReducedTimeItem, TBlockDeleter>> Blocks;
    size_t BlockSize = 0; // segments in the newest block
    size_t BlockUsed = 0; // of which handed out
    TCKReducedTimeItem *FreeList = nullptr;
    uint64_t TotalCoverage = 0;
};
