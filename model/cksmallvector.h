#pragma once
// A growable array of pointers that keeps its first two elements inline. Most segments are
// covered by one entry and most entries cover one or two segments, so the segment list needs
// no heap allocation for them.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

template <typename T> class TSmallPtrVector {
    static_assert(std::is_pointer_v<T>);
    static constexpr uint32_t InlineCapacity = 2;

public:
    using value_type = T;
    using iterator = T *;
    using const_iterator = const T *;

    TSmallPtrVector() = default;
    TSmallPtrVector(const TSmallPtrVector &Other) { Assign(Other.begin(), Other.end()); }
    TSmallPtrVector &operator=(const TSmallPtrVector &Other) {
        if (this != &Other) {
            Size = 0;
            Assign(Other.begin(), Other.end());
        }
        return *this;
    }
    ~TSmallPtrVector() {
        if (Capacity > InlineCapacity)
            std::free(Heap);
    }

    T *begin() { return Data(); }
    T *end() { return Data() + Size; }
    const T *begin() const { return Data(); }
    const T *end() const { return Data() + Size; }
    size_t size() const { return Size; }
    bool empty() const { return Size == 0; }
    T &operator[](size_t I) { return Data()[I]; }
    const T &operator[](size_t I) const { return Data()[I]; }
    T &back() { return Data()[Size - 1]; }

    void push_back(T V) {
        if (Size == Capacity)
            Grow();
        Data()[Size++] = V;
    }
    // Keeps the order of the remaining elements.
    T *erase(T *Pos) {
        std::memmove(Pos, Pos + 1, (end() - Pos - 1) * sizeof(T));
        --Size;
        return Pos;
    }
    void clear() { Size = 0; }
    std::vector<T> ToVector() const { return std::vector<T>(begin(), end()); }

private:
    T *Data() { return Capacity > InlineCapacity ? Heap : Inline; }
    const T *Data() const { return Capacity > InlineCapacity ? Heap : Inline; }

    void Grow() {
        const uint32_t capacity = Capacity * 2;
        T *heap;
        if (Capacity > InlineCapacity) {
            heap = static_cast<T *>(std::realloc(Heap, capacity * sizeof(T)));
        } else {
            heap = static_cast<T *>(std::malloc(capacity * sizeof(T)));
            if (heap)
                std::memcpy(heap, Inline, Size * sizeof(T));
        }
        if (!heap)
            throw std::bad_alloc();
        Heap = heap;
        Capacity = capacity;
    }
    void Assign(const T *First, const T *Last) {
        const size_t n = static_cast<size_t>(Last - First);
        if (Capacity < n) {
            if (Capacity > InlineCapacity)
                std::free(Heap);
            // Room for a few more: a copied segment usually gains an entry right away.
            const uint32_t capacity = static_cast<uint32_t>(n + n / 4 + 2);
            Heap = static_cast<T *>(std::malloc(capacity * sizeof(T)));
            if (!Heap) {
                Capacity = InlineCapacity;
                throw std::bad_alloc();
            }
            Capacity = capacity;
        }
        if (n)
            std::memcpy(Data(), First, n * sizeof(T));
        Size = static_cast<uint32_t>(n);
    }

    union {
        T Inline[InlineCapacity];
        T *Heap;
    };
    uint32_t Size = 0;
    uint32_t Capacity = InlineCapacity;
};
