#pragma once
// Ordered index from segment start time to segment: a sorted array cut into chunks, so that
// searches touch two short contiguous arrays and inserts move at most one chunk. Much kinder
// to the cache than a node-based tree once the document holds hundreds of thousands of
// segments.

#include "model/cstring.h"

#include <utility>
#include <vector>

class TCKReducedTimeItem;

class TSegmentIndex {
public:
    using Value = TCKReducedTimeItem *;

    void Insert(TDateTime Key, Value V);
    // Removes Key when it names V; answers whether it did.
    bool Erase(TDateTime Key, Value V);
    Value Find(TDateTime Key) const;
    // The entry with the greatest key <= Key, or < Key; nullptr when there is none.
    Value FloorLE(TDateTime Key) const;
    Value FloorLT(TDateTime Key) const;

    size_t size() const { return Count; }
    bool empty() const { return Count == 0; }

private:
    using Item = std::pair<TDateTime, Value>;
    using Chunk = std::vector<Item>;
    static constexpr size_t MaxChunk = 256;

    // Index of the chunk whose range holds Key (the last chunk starting at or before it).
    size_t ChunkFor(TDateTime Key) const;
    void RemoveChunk(size_t I);

    std::vector<TDateTime> Firsts; // first key of every chunk
    std::vector<Chunk> Chunks;
    size_t Count = 0;
};
