#include "model/cksegmentindex.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace {

// Compares every query against std::map through thousands of random inserts and erases,
// enough to split, empty and merge many chunks.
TEST(SegmentIndexTest, AgreesWithAnOrderedMap) {
    std::mt19937 rng(11);
    TSegmentIndex index;
    std::map<double, TSegmentIndex::Value> reference;
    auto value = [](double k) {
        return reinterpret_cast<TSegmentIndex::Value>(static_cast<uintptr_t>(k * 8 + 8));
    };
    for (int round = 0; round < 60000; ++round) {
        const double key = static_cast<double>(rng() % 5000);
        if (rng() % 3 != 0) {
            index.Insert(key, value(key));
            reference[key] = value(key);
        } else {
            EXPECT_EQ(index.Erase(key, value(key)), reference.erase(key) == 1);
        }
        if (round % 97 != 0)
            continue;
        ASSERT_EQ(index.size(), reference.size());
        for (double q : {key, key + 0.5, key - 0.5, -1.0, 6000.0}) {
            auto le = reference.upper_bound(q);
            EXPECT_EQ(index.FloorLE(q), le == reference.begin() ? nullptr : std::prev(le)->second);
            auto lt = reference.lower_bound(q);
            EXPECT_EQ(index.FloorLT(q), lt == reference.begin() ? nullptr : std::prev(lt)->second);
            auto f = reference.find(q);
            EXPECT_EQ(index.Find(q), f == reference.end() ? nullptr : f->second);
        }
    }
    EXPECT_FALSE(index.Erase(-5, nullptr));
}

} // namespace
