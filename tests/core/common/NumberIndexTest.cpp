#include "common/NumberIndex.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <random>
#include <string>

namespace velkor {
namespace {

// Keys drawn so that many repeat, with the extremes of the type and, for a
// signed type, negative keys: the index must answer as a map that keeps the
// first value of each key, through every growth of its slots.
template <class K>
void KeepsTheFirstValueOfEachKey(uint32_t seed, K spread) {
    std::mt19937 random(seed);
    NumberIndex<K, std::string> index;
    std::map<K, std::string> first;
    const auto insert = [&](K key, int i) {
        const bool added = first.emplace(key, std::to_string(i)).second;
        ASSERT_EQ(index.Insert(key, std::to_string(i)), added) << +key;
    };
    insert(std::numeric_limits<K>::max(), -1);
    insert(std::numeric_limits<K>::min(), -2);
    for (int i = 0; i < 30000; ++i) {
        const K key = static_cast<K>(static_cast<K>(random() % static_cast<uint32_t>(spread)) -
                                     (std::is_signed_v<K> ? spread / 2 : 0));
        insert(key, i);
    }
    EXPECT_EQ(index.size(), first.size());
    for (const auto& [key, value] : first) {
        const std::string* found = index.Find(key);
        ASSERT_NE(found, nullptr) << +key;
        EXPECT_EQ(*found, value) << +key;
    }
}

TEST(NumberIndex, KeepsTheFirstValueOfEachKeyAsItGrows) {
    KeepsTheFirstValueOfEachKey<uint16_t>(3, 20000);
    KeepsTheFirstValueOfEachKey<uint32_t>(5, 100000);
    KeepsTheFirstValueOfEachKey<int32_t>(7, 50000);
}

TEST(NumberIndex, FindsNothingThatWasNotInserted) {
    NumberIndex<uint16_t, const int*> index;
    EXPECT_EQ(index.Find(0), nullptr);  // empty: no slots at all
    const int a = 1;
    for (uint16_t k = 0; k < 1000; k += 2) index.Insert(k, &a);
    for (uint16_t k = 1; k < 1000; k += 2) EXPECT_EQ(index.Find(k), nullptr) << k;
    EXPECT_EQ(index.Find(0xFFFF), nullptr);
}

}  // namespace
}  // namespace velkor
