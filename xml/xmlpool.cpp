#include "xml/xmlpool.h"

#include <mutex>
#include <vector>

namespace XMLPool {

namespace {

std::atomic<size_t> BlockCount{0};

// Blocks given back, kept for the next ones needed. A document read element by element frees
// blocks as fast as it fills new ones; handing each back to the system and asking for a fresh
// one costs a system call, fresh pages and flushing other processors' address caches, which
// for a large file cost more than the parse.
constexpr size_t MaxCached = 64;

struct tBlockCache {
    std::mutex Lock;
    std::vector<void *> Blocks;
    ~tBlockCache() {
        for (void *Block : Blocks)
            ::operator delete(Block, std::align_val_t(BlockSize));
    }
};

tBlockCache &Cache() {
    static tBlockCache Instance;
    return Instance;
}

// Keeps a block alive while its thread still carves from it.
constexpr int64_t CarvingBias = int64_t(1) << 40;

tBlock *NewBlock() {
    void *Memory = nullptr;
    {
        tBlockCache &C = Cache();
        std::lock_guard<std::mutex> Guard(C.Lock);
        if (!C.Blocks.empty()) {
            Memory = C.Blocks.back();
            C.Blocks.pop_back();
        }
    }
    if (!Memory)
        Memory = ::operator new(BlockSize, std::align_val_t(BlockSize));
    BlockCount.fetch_add(1, std::memory_order_relaxed);
    return new (Memory) tBlock{{CarvingBias}};
}

char *FirstObject(tBlock *Block) {
    return reinterpret_cast<char *>(Block) + RoundUp(sizeof(tBlock));
}

// Publishes how many objects the thread took from its block and drops the bias.
void Retire(tCursor &C) noexcept {
    if (!C.Limit)
        return;
    auto *Block = reinterpret_cast<tBlock *>(C.Limit - BlockSize);
    const int64_t Delta = C.Handed - CarvingBias;
    C = tCursor{};
    if (Block->Live.fetch_add(Delta, std::memory_order_acq_rel) + Delta == 0)
        ReleaseBlock(Block);
}

constinit thread_local bool ThreadEnding = false;

struct tThreadExit {
    ~tThreadExit() {
        ThreadEnding = true;
        Retire(Cursor);
    }
};

} // namespace

size_t LiveBlocks() {
    return BlockCount.load(std::memory_order_relaxed);
}

size_t CachedBlocks() {
    tBlockCache &C = Cache();
    std::lock_guard<std::mutex> Guard(C.Lock);
    return C.Blocks.size();
}

void ReleaseBlock(tBlock *Block) noexcept {
    BlockCount.fetch_sub(1, std::memory_order_relaxed);
    Block->~tBlock();
    {
        tBlockCache &C = Cache();
        std::lock_guard<std::mutex> Guard(C.Lock);
        if (C.Blocks.size() < MaxCached) {
            C.Blocks.push_back(Block);
            return;
        }
    }
    ::operator delete(static_cast<void *>(Block), std::align_val_t(BlockSize));
}

void *AllocateSlow(size_t Size) {
    if (Size > MaxSmall)
        return ::operator new(Size);
    if (ThreadEnding) {
        // Destructors at the end of the thread: a block of its own for this one object.
        tBlock *Block = NewBlock();
        Block->Live.store(1, std::memory_order_release);
        return FirstObject(Block);
    }
    static thread_local tThreadExit ThreadExit;
    (void)ThreadExit;
    tCursor &C = Cursor;
    Retire(C);
    tBlock *Block = NewBlock();
    char *First = FirstObject(Block);
    C.Next = First + Size;
    C.Limit = reinterpret_cast<char *>(Block) + BlockSize;
    C.Handed = 1;
    return First;
}

} // namespace XMLPool
