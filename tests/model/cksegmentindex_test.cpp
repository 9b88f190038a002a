#include "model/cksegmentindex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <random>

namespace {

TSegmentIndex::Value ValueOf(double Key) {
    return reinterpret_cast<TSegmentIndex::Value>(static_cast<uintptr_t>(Key * 8 + 8));
}

// Every query of the index against std::map at a handful of probe keys.
void ExpectSameAnswers(const TSegmentIndex &Index,
                       const std::map<double, TSegmentIndex::Value> &Ref,
                       std::initializer_list<double> Probes) {
    ASSERT_EQ(Index.size(), Ref.size());
    std::string why;
    ASSERT_TRUE(Index.CheckStructure(&why)) << why;
    for (double q : Probes) {
        auto le = Ref.upper_bound(q);
        EXPECT_EQ(Index.FloorLE(q), le == Ref.begin() ? nullptr : std::prev(le)->second) << q;
        auto lt = Ref.lower_bound(q);
        EXPECT_EQ(Index.FloorLT(q), lt == Ref.begin() ? nullptr : std::prev(lt)->second) << q;
        auto f = Ref.find(q);
        EXPECT_EQ(Index.Find(q), f == Ref.end() ? nullptr : f->second) << q;
    }
}

// Thousands of random inserts and erases over enough keys for three levels of nodes: splits,
// empty leaves, merges of thin nodes and roots coming and going.
TEST(SegmentIndexTest, AgreesWithAnOrderedMap) {
    std::mt19937 rng(11);
    TSegmentIndex index;
    std::map<double, TSegmentIndex::Value> reference;
    for (int round = 0; round < 60000; ++round) {
        const double key = static_cast<double>(rng() % 5000);
        if (rng() % 3 != 0) {
            index.Insert(key, ValueOf(key));
            reference[key] = ValueOf(key);
        } else {
            EXPECT_EQ(index.Erase(key, ValueOf(key)), reference.erase(key) == 1);
        }
        if (round % 97 == 0)
            ExpectSameAnswers(index, reference, {key, key + 0.5, key - 0.5, -1.0, 6000.0});
    }
    EXPECT_FALSE(index.Erase(-5, nullptr));
    // A key is only erased for the value it names.
    const double some = reference.begin()->first;
    EXPECT_FALSE(index.Erase(some, nullptr));
    EXPECT_EQ(index.Find(some), reference.begin()->second);
}

// Keys arriving in order fill nodes completely; draining in either order, or from the middle
// outwards, must keep every answer right and leave no node behind.
TEST(SegmentIndexTest, OrderedFillsAndDrains) {
    constexpr int N = 20000;
    std::vector<int> order(N);
    std::iota(order.begin(), order.end(), 0);
    for (int pattern = 0; pattern < 3; ++pattern) {
        TSegmentIndex index;
        std::map<double, TSegmentIndex::Value> reference;
        for (int k : order) {
            index.Insert(k, ValueOf(k));
            reference[k] = ValueOf(k);
        }
        ExpectSameAnswers(index, reference, {-1.0, 0.0, 0.5, 9999.5, 19999.0, 25000.0});
        std::vector<int> drain = order;
        if (pattern == 1)
            std::reverse(drain.begin(), drain.end());
        if (pattern == 2)
            std::stable_sort(drain.begin(), drain.end(), [](int a, int b) {
                return std::abs(a - N / 2) < std::abs(b - N / 2);
            });
        for (size_t i = 0; i < drain.size(); ++i) {
            ASSERT_TRUE(index.Erase(drain[i], ValueOf(drain[i])));
            reference.erase(drain[i]);
            if (i % 1999 == 0)
                ExpectSameAnswers(index, reference,
                                  {static_cast<double>(drain[i]), drain[i] + 0.5, -1.0, 30000.0});
        }
        EXPECT_TRUE(index.empty());
        EXPECT_EQ(index.FloorLE(5), nullptr);
        EXPECT_TRUE(index.CheckStructure());
    }
}

} // namespace
