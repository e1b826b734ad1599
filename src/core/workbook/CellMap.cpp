#include <algorithm>
#include <iterator>
#include <stdexcept>

#include "workbook/Workbook.h"

namespace velkor {

namespace {

// A new cell this close to the end of the array is inserted there: the
// cells moved to make room are few.
constexpr size_t kNearEnd = 64;

bool KeyBefore(const CellMap::value_type& cell, CellKey key) { return cell.first < key; }

}  // namespace

// A key goes into the tree only when it lies more than kNearEnd cells
// before the end of the array, and the array only grows until a merge
// empties the tree: a key of the tree never comes after the array's last
// cell nor near its end, so the array takes such keys without a look at the
// tree and no key is ever in both.
WorkbookCell& CellMap::operator[](CellKey key) {
    if (cells_.empty() || cells_.back().first < key)
        return cells_.emplace_back(key, WorkbookCell{}).second;
    const auto at = std::lower_bound(cells_.begin(), cells_.end(), key, KeyBefore);
    if (at != cells_.end() && at->first == key) return at->second;
    if (static_cast<size_t>(cells_.end() - at) <= kNearEnd)
        return cells_.emplace(at, key, WorkbookCell{})->second;
    return outOfOrder_[key];
}

WorkbookCell* CellMap::Find(CellKey key) {
    const auto at = std::lower_bound(cells_.begin(), cells_.end(), key, KeyBefore);
    if (at != cells_.end() && at->first == key) return &at->second;
    const auto it = outOfOrder_.find(key);
    return it == outOfOrder_.end() ? nullptr : &it->second;
}

WorkbookCell& CellMap::at(CellKey key) {
    WorkbookCell* cell = Find(key);
    if (!cell) throw std::out_of_range("no cell at this row and column");
    return *cell;
}

CellMap::iterator CellMap::find(CellKey key) {
    const iterator at = lower_bound(key);
    return at != cells_.end() && at->first == key ? at : cells_.end();
}

CellMap::iterator CellMap::lower_bound(CellKey key) {
    auto& cells = Merged();
    return std::lower_bound(cells.begin(), cells.end(), key, KeyBefore);
}

std::vector<CellMap::value_type>& CellMap::Merged() const {
    if (outOfOrder_.empty()) return cells_;
    std::vector<value_type> merged;
    merged.reserve(size());
    auto a = cells_.begin();
    auto b = outOfOrder_.begin();
    while (a != cells_.end() || b != outOfOrder_.end()) {
        if (b == outOfOrder_.end() || (a != cells_.end() && a->first < b->first)) {
            merged.push_back(std::move(*a++));
        } else {
            merged.emplace_back(b->first, std::move(b->second));
            ++b;
        }
    }
    cells_ = std::move(merged);
    outOfOrder_.clear();
    return cells_;
}

}  // namespace velkor
