#pragma once
// Memory for the nodes of parsed trees and their child and attribute arrays. A parse makes
// millions of small objects; taking them in sequence from 64 KiB blocks costs a fraction of
// the general allocator. A block is free again when everything taken from it has been freed:
// a few such blocks are kept for reuse, the rest go back to the system, so a released tree
// returns its memory. Any thread may free.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>

// Sanitizer builds take every object from the general allocator, so that use after free and
// leaks of single nodes stay visible.
#if defined(__SANITIZE_ADDRESS__)
#define CHRONARK_XML_POOL 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CHRONARK_XML_POOL 0
#endif
#endif
#ifndef CHRONARK_XML_POOL
#define CHRONARK_XML_POOL 1
#endif

namespace XMLPool {

constexpr bool Enabled = CHRONARK_XML_POOL;
constexpr size_t BlockSize = 64 * 1024;
// Larger requests go to the general allocator.
constexpr size_t MaxSmall = 1024;

struct tBlock {
    // Objects not yet freed, plus a large bias while a thread still carves from the block.
    std::atomic<int64_t> Live;
};

// The calling thread's block: the free room and how many objects it has handed out.
struct tCursor {
    char *Next = nullptr;
    char *Limit = nullptr;
    int64_t Handed = 0;
};
inline constinit thread_local tCursor Cursor;

void *AllocateSlow(size_t Size);
void ReleaseBlock(tBlock *Block) noexcept;
// Blocks holding objects, and freed blocks kept for reuse; for tests.
size_t LiveBlocks();
size_t CachedBlocks();

constexpr size_t RoundUp(size_t Size) {
    return Size == 0 ? 16 : (Size + 15) & ~size_t(15);
}

inline void *Allocate(size_t Size) {
    if constexpr (!Enabled)
        return ::operator new(Size);
    Size = RoundUp(Size);
    tCursor &C = Cursor;
    if (Size <= MaxSmall && static_cast<size_t>(C.Limit - C.Next) >= Size) {
        void *P = C.Next;
        C.Next += Size;
        ++C.Handed;
        return P;
    }
    return AllocateSlow(Size);
}

// Size must be the size given to Allocate.
inline void Free(void *P, size_t Size) noexcept {
    if (!Enabled || RoundUp(Size) > MaxSmall) {
        ::operator delete(P);
        return;
    }
    auto *Block = reinterpret_cast<tBlock *>(reinterpret_cast<uintptr_t>(P) & ~(BlockSize - 1));
    if (Block->Live.fetch_sub(1, std::memory_order_acq_rel) == 1)
        ReleaseBlock(Block);
}

} // namespace XMLPool

// Standard allocator interface over the pool, for the arrays of the tree.
template <class T> struct tXMLAllocator {
    using value_type = T;

    tXMLAllocator() = default;
    template <class U> tXMLAllocator(const tXMLAllocator<U> &) {}

    T *allocate(size_t N) {
        if (N > size_t(-1) / sizeof(T))
            throw std::bad_array_new_length();
        return static_cast<T *>(XMLPool::Allocate(N * sizeof(T)));
    }
    void deallocate(T *P, size_t N) noexcept { XMLPool::Free(P, N * sizeof(T)); }

    template <class U> bool operator==(const tXMLAllocator<U> &) const { return true; }
};
