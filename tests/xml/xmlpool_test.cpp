// The block pool behind parsed trees: a block is free again when everything in it is freed,
// whichever thread frees it.

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "xml/xmlnodes.h"
#include "xml/xmlpool.h"

namespace {

class XMLPoolTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!XMLPool::Enabled)
            GTEST_SKIP() << "sanitizer build: objects come from the general allocator";
    }
};

TEST_F(XMLPoolTest, BlocksReturnWhenTheirObjectsAreFreed) {
    const size_t Before = XMLPool::LiveBlocks();
    std::vector<void *> Objects;
    for (int I = 0; I < 20000; ++I) {
        void *P = XMLPool::Allocate(48);
        std::memset(P, 0xAB, 48);
        Objects.push_back(P);
    }
    // 20000 * 48 bytes need more than ten 64 KiB blocks.
    EXPECT_GE(XMLPool::LiveBlocks(), Before + 10);
    for (void *P : Objects)
        XMLPool::Free(P, 48);
    // Only the block the thread still carves from may stay.
    EXPECT_LE(XMLPool::LiveBlocks(), Before + 1);
}

// A document read element by element frees blocks while it fills new ones: freed blocks are
// used again rather than asked anew from the system, and only a few are kept once a large
// tree is released.
TEST_F(XMLPoolTest, FreedBlocksAreReusedAndFewAreKept) {
    std::vector<void *> Objects;
    auto fill = [&Objects](int Count) {
        for (int I = 0; I < Count; ++I)
            Objects.push_back(XMLPool::Allocate(512));
    };
    auto release = [&Objects] {
        for (void *P : Objects)
            XMLPool::Free(P, 512);
        Objects.clear();
    };
    // About 400 blocks: more than are kept.
    fill(50000);
    release();
    const size_t Kept = XMLPool::CachedBlocks();
    EXPECT_GT(Kept, 10u);
    EXPECT_LT(Kept, 200u);
    // The next blocks come from those kept.
    fill(2000);
    EXPECT_LT(XMLPool::CachedBlocks(), Kept);
    release();
}

TEST_F(XMLPoolTest, ObjectsAreDistinctAndAligned) {
    std::vector<char *> Objects;
    for (size_t Size : {1u, 15u, 16u, 17u, 100u, 1024u, 1025u, 5000u}) {
        auto *P = static_cast<char *>(XMLPool::Allocate(Size));
        EXPECT_EQ(reinterpret_cast<uintptr_t>(P) % 16, 0u) << Size;
        std::memset(P, static_cast<int>(Size & 0xFF), Size);
        Objects.push_back(P);
    }
    size_t I = 0;
    for (size_t Size : {1u, 15u, 16u, 17u, 100u, 1024u, 1025u, 5000u}) {
        EXPECT_EQ(static_cast<unsigned char>(Objects[I][Size - 1]), Size & 0xFF);
        XMLPool::Free(Objects[I++], Size);
    }
}

TEST_F(XMLPoolTest, TreeBuiltInOneThreadIsFreedInAnother) {
    const size_t Before = XMLPool::LiveBlocks();
    {
        tXMLDocument Doc;
        std::thread Builder([&Doc] {
            for (int I = 0; I < 5000; ++I) {
                auto Element = std::make_unique<tXMLMarkupItem>();
                Element->AddAttribute(tAttribItem{u"n", u"v"});
                Doc.AddChild(std::move(Element));
            }
        });
        Builder.join();
        EXPECT_GT(XMLPool::LiveBlocks(), Before);
    }
    // The builder thread has ended, so no block is kept for it either.
    EXPECT_EQ(XMLPool::LiveBlocks(), Before);
}

} // namespace
