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

// Lookups through a cursor give what lookups without one give, whether the
// names come in the order they were inserted, in several interleaved runs
// of that order, at random, or are not there at all.
TEST(NameIndex, ACursorAnswersAsAPlainLookup) {
    NameIndex<int> index;
    std::vector<std::u16string> names;
    for (int i = 0; i < 3000; ++i) {
        names.push_back(u"N" + std::u16string(1, static_cast<char16_t>(u'A' + i % 7)) +
                        std::u16string(static_cast<size_t>(i % 5), u'x') +
                        std::u16string(1, static_cast<char16_t>(0x4E00 + i / 7)));
        index.Insert(names.back(), i);
    }
    names.push_back(u"missing");
    names.push_back(u"");
    std::mt19937 random(3);
    std::vector<size_t> asked;
    for (size_t i = 0; i < names.size(); ++i) asked.push_back(i);  // in order
    for (size_t i = 0; i < 1000; ++i) {                            // three runs interleaved
        for (size_t run : {0u, 1000u, 2000u}) asked.push_back(run + i);
    }
    for (int i = 0; i < 5000; ++i) asked.push_back(random() % names.size());  // at random
    NameIndex<int>::Cursor cursor;
    for (size_t k : asked) {
        const int* plain = index.Find(names[k]);
        const int* guided = index.Find(names[k], cursor);
        ASSERT_EQ(plain, guided) << k;
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
