#include "common/NameIndex.h"

#include <gtest/gtest.h>

#include <random>
#include <unordered_map>

namespace velkor {
namespace {

// Random names from a small alphabet, so that many repeat and many share
// prefixes; some are empty. The index must answer as a map that keeps the
// first value of each name, whether it was reserved for or grew as it went.
TEST(NameIndex, KeepsTheFirstValueOfEachNameAsItGrows) {
    std::mt19937 random(11);
    for (const bool reserve : {false, true}) {
        NameIndex<int> index;
        std::unordered_map<std::u16string, int> first;
        std::vector<std::u16string> names;
        const int count = 40000;
        if (reserve) index.Reserve(count);
        for (int i = 0; i < count; ++i) {
            std::u16string name;
            const int length = static_cast<int>(random() % 6);
            for (int k = 0; k < length; ++k) name.push_back(u"AB-1站"[random() % 5]);
            names.push_back(name);
            const bool added = first.emplace(name, i).second;
            ASSERT_EQ(index.Insert(name, i), added) << i;
        }
        EXPECT_EQ(index.size(), first.size());
        for (const auto& [name, value] : first) {
            const int* found = index.Find(name);
            ASSERT_NE(found, nullptr);
            EXPECT_EQ(*found, value);
        }
        // Names never inserted, including one longer than any inserted.
        EXPECT_EQ(index.Find(u"AAAAAAAAAAAA"), nullptr);
        EXPECT_EQ(index.Find(u"Z"), nullptr);
    }
}

TEST(NameIndex, EmptyIndexFindsNothingAndValuesCanBeChanged) {
    NameIndex<int> index;
    EXPECT_EQ(index.Find(u""), nullptr);
    EXPECT_TRUE(index.Insert(u"", 1));
    EXPECT_TRUE(index.Insert(u"1DG", 2));
    *index.Find(u"1DG") = 5;
    EXPECT_EQ(*index.Find(u"1DG"), 5);
    EXPECT_EQ(*index.Find(u""), 1);
    EXPECT_FALSE(index.Insert(u"1DG", 9));
    EXPECT_EQ(*index.Find(u"1DG"), 5);
}

}  // namespace
}  // namespace velkor
