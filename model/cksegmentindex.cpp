#include "model/cksegmentindex.h"

#include <algorithm>

namespace {

bool KeyLess(const std::pair<TDateTime, TSegmentIndex::Value> &Item, TDateTime Key) {
    return Item.first < Key;
}

bool LessKey(TDateTime Key, const std::pair<TDateTime, TSegmentIndex::Value> &Item) {
    return Key < Item.first;
}

} // namespace

size_t TSegmentIndex::ChunkFor(TDateTime Key) const {
    const auto it = std::upper_bound(Firsts.begin(), Firsts.end(), Key);
    return it == Firsts.begin() ? 0 : static_cast<size_t>(it - Firsts.begin()) - 1;
}

void TSegmentIndex::Insert(TDateTime Key, Value V) {
    if (Chunks.empty()) {
        Chunks.emplace_back();
        Chunks.back().reserve(MaxChunk);
        Firsts.push_back(Key);
    }
    const size_t c = ChunkFor(Key);
    Chunk &chunk = Chunks[c];
    auto pos = std::lower_bound(chunk.begin(), chunk.end(), Key, KeyLess);
    if (pos != chunk.end() && pos->first == Key) {
        pos->second = V;
        return;
    }
    chunk.insert(pos, {Key, V});
    Firsts[c] = chunk.front().first;
    ++Count;
    if (chunk.size() > MaxChunk) {
        Chunk upper(chunk.begin() + MaxChunk / 2, chunk.end());
        upper.reserve(MaxChunk);
        chunk.resize(MaxChunk / 2);
        Firsts.insert(Firsts.begin() + static_cast<std::ptrdiff_t>(c) + 1, upper.front().first);
        Chunks.insert(Chunks.begin() + static_cast<std::ptrdiff_t>(c) + 1, std::move(upper));
    }
}

void TSegmentIndex::RemoveChunk(size_t I) {
    Chunks.erase(Chunks.begin() + static_cast<std::ptrdiff_t>(I));
    Firsts.erase(Firsts.begin() + static_cast<std::ptrdiff_t>(I));
}

bool TSegmentIndex::Erase(TDateTime Key, Value V) {
    if (Chunks.empty())
        return false;
    const size_t c = ChunkFor(Key);
    Chunk &chunk = Chunks[c];
    auto pos = std::lower_bound(chunk.begin(), chunk.end(), Key, KeyLess);
    if (pos == chunk.end() || pos->first != Key || pos->second != V)
        return false;
    chunk.erase(pos);
    --Count;
    if (chunk.empty()) {
        RemoveChunk(c);
        return true;
    }
    Firsts[c] = chunk.front().first;
    // Keep chunks from thinning out after many removals.
    if (c + 1 < Chunks.size() && chunk.size() + Chunks[c + 1].size() <= MaxChunk / 2) {
        chunk.insert(chunk.end(), Chunks[c + 1].begin(), Chunks[c + 1].end());
        RemoveChunk(c + 1);
    }
    return true;
}

TSegmentIndex::Value TSegmentIndex::Find(TDateTime Key) const {
    if (Chunks.empty())
        return nullptr;
    const Chunk &chunk = Chunks[ChunkFor(Key)];
    auto pos = std::lower_bound(chunk.begin(), chunk.end(), Key, KeyLess);
    return pos != chunk.end() && pos->first == Key ? pos->second : nullptr;
}

TSegmentIndex::Value TSegmentIndex::FloorLE(TDateTime Key) const {
    if (Chunks.empty())
        return nullptr;
    const Chunk &chunk = Chunks[ChunkFor(Key)];
    auto pos = std::upper_bound(chunk.begin(), chunk.end(), Key, LessKey);
    return pos == chunk.begin() ? nullptr : std::prev(pos)->second;
}

TSegmentIndex::Value TSegmentIndex::FloorLT(TDateTime Key) const {
    if (Chunks.empty())
        return nullptr;
    size_t c = ChunkFor(Key);
    const Chunk &chunk = Chunks[c];
    auto pos = std::lower_bound(chunk.begin(), chunk.end(), Key, KeyLess);
    if (pos != chunk.begin())
        return std::prev(pos)->second;
    // Key is the first of its chunk: the answer ends the previous chunk.
    return c == 0 ? nullptr : Chunks[c - 1].back().second;
}
