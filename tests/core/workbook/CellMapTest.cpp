#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>

#include "workbook/Workbook.h"

namespace velkor {
namespace {

std::u16string Label(uint32_t n) { return u"c" + std::u16string(n % 23, u'x'); }

// Fills and reads a sheet's cells in every order a caller may use and
// compares each answer with an ordered map fed the same way.
TEST(CellMap, AnswersAsAnOrderedMapWhateverTheOrderOfFilling) {
    struct Fill {
        const char* name;
        std::function<CellKey(uint32_t i, std::mt19937&)> key;
    };
    const std::vector<Fill> fills = {
        {"row by row",
         [](uint32_t i, std::mt19937&) {
             return CellKey{i / 7 + 1, i % 7 + 1};
         }},
        {"column by column",
         [](uint32_t i, std::mt19937&) {
             return CellKey{i % 300 + 1, i / 300 + 1};
         }},
        {"backwards",
         [](uint32_t i, std::mt19937&) {
             return CellKey{5000 - i, 1};
         }},
        {"random with repeats",
         [](uint32_t, std::mt19937& rng) {
             return CellKey{rng() % 400 + 1, rng() % 6 + 1};
         }},
        {"mostly in order",
         [](uint32_t i, std::mt19937& rng) {
             return rng() % 50 == 0 ? CellKey{rng() % (i / 5 + 1) + 1, rng() % 5 + 1}
                                    : CellKey{i / 5 + 1, i % 5 + 1};
         }},
    };
    for (const Fill& fill : fills) {
        SCOPED_TRACE(fill.name);
        std::mt19937 rng(7);
        CellMap cells;
        std::map<CellKey, std::u16string> expected;
        for (uint32_t i = 0; i < 3000; ++i) {
            const CellKey key = fill.key(i, rng);
            const std::u16string text = Label(i);
            cells[key].text = text;
            expected[key] = text;
            // Now and then a lookup, a walk from a position, or a count,
            // as readers of a sheet being filled do.
            if (i % 97 == 0) {
                const CellKey probe{rng() % 500 + 1, rng() % 8 + 1};
                const WorkbookCell* found = cells.Find(probe);
                ASSERT_EQ(found != nullptr, expected.count(probe) == 1);
                if (found) {
                    EXPECT_EQ(found->text, expected[probe]);
                }
                EXPECT_EQ(cells.size(), expected.size());
            }
            if (i % 499 == 0) {
                const CellKey from{rng() % 500 + 1, 0};
                auto it = cells.lower_bound(from);
                auto want = expected.lower_bound(from);
                for (int k = 0; k < 10 && want != expected.end(); ++k, ++it, ++want) {
                    ASSERT_NE(it, cells.end());
                    EXPECT_EQ(it->first, want->first);
                    EXPECT_EQ(it->second.text, want->second);
                }
                if (want == expected.end()) {
                    EXPECT_EQ(it, cells.end());
                }
            }
        }
        ASSERT_EQ(cells.size(), expected.size());
        auto want = expected.begin();
        for (const auto& [key, cell] : cells) {
            ASSERT_EQ(key, want->first);
            EXPECT_EQ(cell.text, want->second);
            ++want;
        }
        EXPECT_EQ(cells.rbegin()->first, expected.rbegin()->first);
        const CellKey missing{9999, 9};
        EXPECT_EQ(cells.find(missing), cells.end());
        EXPECT_EQ(cells.count(missing), 0u);
        EXPECT_THROW(cells.at(missing), std::out_of_range);
    }
}

// A sheet filled from its last cell to its first, as a file whose records
// run backwards fills it, takes the cells in their order; copies and moved
// sheets keep theirs.
TEST(CellMap, ALargeSheetFilledBackwardsIsInOrderAndCopiesStandAlone) {
    CellMap cells;
    const uint32_t rows = 200000;
    for (uint32_t r = rows; r >= 1; --r) cells[{r, 2}].number = r;
    for (uint32_t r = rows; r >= 1; r -= 1000) cells[{r, 1}].text = u"a";
    ASSERT_EQ(cells.size(), rows + rows / 1000);
    uint32_t lastRow = 0;
    for (const auto& [key, cell] : cells) {
        if (key.second == 2) {
            ASSERT_EQ(key.first, lastRow + 1);
            ASSERT_EQ(cell.number, key.first);
            lastRow = key.first;
        }
    }
    EXPECT_EQ(lastRow, rows);

    CellMap copy = cells;
    copy[{1, 2}].number = -1;
    copy[{rows + 1, 1}].text = u"new";
    EXPECT_EQ(cells.at({1, 2}).number, 1);
    EXPECT_EQ(cells.count({rows + 1, 1}), 0u);
    CellMap moved = std::move(copy);
    EXPECT_EQ(moved.at({1, 2}).number, -1);
    EXPECT_EQ(moved.size(), cells.size() + 1);
}

}  // namespace
}  // namespace velkor
