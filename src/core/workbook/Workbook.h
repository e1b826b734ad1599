#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "common/Status.h"

namespace velkor {

// The largest workbook or table text read: far above any station's tables
// (an .xls sheet holds at most 65,536 rows of 256 cells).
inline constexpr uint64_t kLargestWorkbookFile = uint64_t{256} << 20;

// One cell as the workbook keeps it.
struct WorkbookCell {
    // Blank: a cell with a format and no value (a bordered empty cell).
    enum class Kind { Text, Number, Boolean, Date, Blank };
    Kind kind = Kind::Text;
    std::u16string text;
    double number = 0;  // numbers, booleans (0/1) and dates (days since 1899-12-30)
    bool bold = false;
    bool vcenter = false;
    // The cell format of a workbook read from a file, as an index into its
    // format records; -1 for cells that take the writer's own formats.
    int32_t xf = -1;
};

using CellKey = std::pair<uint32_t, uint32_t>;  // (row, column), from 1

// The cells of a sheet in (row, column) order, as an ordered map of cells.
// Sheets are filled row by row, left to right, and walked in that order by
// the writers, and a sheet may hold hundreds of thousands of cells: they sit
// in one array, a cell after the last one is appended, and a walk reads
// memory in order. A new cell that does not come after the last one goes
// into the array when it lands near its end, else into a tree of cells set
// out of order, so that no order of filling (a file whose records are not
// in row order, cells set column by column) makes it quadratic; the first
// walk after them, or a lookup that returns a position, merges the tree into
// the array. Lookups of one cell (Find, at, count) search both. Merging
// happens inside const walks too: a sheet with cells set out of order is not
// walked from two threads at once.
//
// References to cells stay valid as a vector's do: until a cell is added.
class CellMap {
public:
    using key_type = CellKey;
    using mapped_type = WorkbookCell;
    using value_type = std::pair<CellKey, WorkbookCell>;
    using iterator = std::vector<value_type>::iterator;
    using const_iterator = std::vector<value_type>::const_iterator;
    using reverse_iterator = std::vector<value_type>::reverse_iterator;
    using const_reverse_iterator = std::vector<value_type>::const_reverse_iterator;

    // The cell at `key`, made empty (a text cell without text) where missing.
    WorkbookCell& operator[](CellKey key);
    // The cell at `key`, or null; never merges.
    WorkbookCell* Find(CellKey key);
    const WorkbookCell* Find(CellKey key) const { return const_cast<CellMap*>(this)->Find(key); }
    // Throws std::out_of_range where there is no cell.
    WorkbookCell& at(CellKey key);
    const WorkbookCell& at(CellKey key) const { return const_cast<CellMap*>(this)->at(key); }
    size_t count(CellKey key) const { return Find(key) ? 1 : 0; }
    size_t size() const { return cells_.size() + outOfOrder_.size(); }
    bool empty() const { return cells_.empty() && outOfOrder_.empty(); }
    void clear() {
        cells_.clear();
        outOfOrder_.clear();
    }
    // Room for `n` cells in order, for a writer that knows how many it sets.
    void reserve(size_t n) { cells_.reserve(n); }

    iterator find(CellKey key);
    const_iterator find(CellKey key) const { return const_cast<CellMap*>(this)->find(key); }
    // The first cell at or after `key`.
    iterator lower_bound(CellKey key);
    const_iterator lower_bound(CellKey key) const {
        return const_cast<CellMap*>(this)->lower_bound(key);
    }
    iterator begin() { return Merged().begin(); }
    iterator end() { return Merged().end(); }
    const_iterator begin() const { return Merged().begin(); }
    const_iterator end() const { return Merged().end(); }
    reverse_iterator rbegin() { return Merged().rbegin(); }
    reverse_iterator rend() { return Merged().rend(); }
    const_reverse_iterator rbegin() const { return Merged().rbegin(); }
    const_reverse_iterator rend() const { return Merged().rend(); }

private:
    std::vector<value_type>& Merged() const;

    mutable std::vector<value_type> cells_;
    mutable std::map<CellKey, WorkbookCell> outOfOrder_;  // never holds a key of cells_
};

// A column's width and, for workbooks read from a file, its format and flags
// (hidden, outline level) as stored.
struct WorkbookColumn {
    uint16_t width = 0;  // 1/256 of a character
    uint16_t xf = 15;
    uint16_t options = 0;
};

// A row's height and, for workbooks read from a file, its flags and format
// word as stored.
struct WorkbookRow {
    uint16_t height = 0;        // twips
    uint16_t options = 0x0140;  // custom height
    uint16_t xfWord = 15;
};

struct WorkbookRange {
    uint32_t firstRow = 0, lastRow = 0, firstColumn = 0, lastColumn = 0;  // from 1
    bool operator==(const WorkbookRange&) const = default;
};

// A record kept as it was read, written back unchanged.
struct WorkbookRecord {
    uint16_t type = 0;
    std::vector<uint8_t> body;
};

struct WorkbookSheet {
    std::u16string name;
    CellMap cells;
    std::map<uint32_t, WorkbookColumn> columns;  // from 1
    std::map<uint32_t, WorkbookRow> rows;        // from 1
    std::vector<WorkbookRange> merges;
    uint8_t visibility = 0;  // 0 visible, 1 hidden, 2 very hidden
    // Page setup, window, pane and selection records of a sheet read from an
    // .xls file; none of them refers to anything else in the file.
    std::vector<WorkbookRecord> settingsBefore;  // before the cells
    std::vector<WorkbookRecord> settingsAfter;   // after the cells (the window and panes)
};

// The format records of an .xls file read from disk, kept so that saving it
// again changes nothing but the cells written. Fonts, number formats and cell
// formats keep their indexes; the writer's own formats go behind them.
struct WorkbookFormats {
    std::vector<std::vector<uint8_t>> fonts;
    std::vector<WorkbookRecord> numberFormats;
    std::vector<std::vector<uint8_t>> xfs;
    std::vector<WorkbookRecord> rest;  // styles, palette and their extensions, in order
};

// A workbook in memory, the way ExcelHelper fills and reads it.
struct Workbook {
    std::vector<WorkbookSheet> sheets;
    std::optional<WorkbookFormats> formats;  // only for a workbook read from an .xls file
};

// The cell's text as callers read it: text as it is, a number rounded to a
// whole number ("%.0f"), a date as "%d-%d-%d %d:%d:%d".
std::u16string CellText(const WorkbookCell& cell);

// A legacy Excel workbook (BIFF8 in a compound file).
std::vector<uint8_t> WriteXls(const Workbook& book);
// Reads a BIFF8 workbook; a BIFF5 or older file (unsupported, with the
// user's message), a damaged file or another format (damaged, with a
// diagnostic) gives nothing and the reason in `status`.
std::optional<Workbook> ReadXls(std::span<const uint8_t> file, Status* status = nullptr);

// Reads an Office Open XML workbook (.xlsx).
std::optional<Workbook> ReadXlsx(std::span<const uint8_t> file, Status* status = nullptr);
// Either format, by the file's first bytes.
std::optional<Workbook> ReadWorkbook(std::span<const uint8_t> file, Status* status = nullptr);

}  // namespace velkor
