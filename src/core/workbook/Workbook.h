#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <type_traits>
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

// Memory for the cells of one sheet, taken in large blocks and given back
// all at once with the sheet: a sheet may hold hundreds of thousands of
// cells, and one allocation per cell (and its release) would cost more than
// reading or writing the cell.
class CellArena {
public:
    void* Allocate(size_t bytes, size_t align);

private:
    static constexpr size_t kBlock = 256 * 1024;
    std::vector<std::unique_ptr<std::byte[]>> blocks_;
    size_t used_ = kBlock;
};

template <typename T>
struct CellAllocator {
    using value_type = T;
    using propagate_on_container_move_assignment = std::true_type;
    using propagate_on_container_swap = std::true_type;
    using is_always_equal = std::false_type;

    CellAllocator() = default;
    template <typename U>
    CellAllocator(const CellAllocator<U>& other)
        : arena(other.arena) {}  // NOLINT: rebinding converts
    // The arena is made on the first cell, also for a map whose allocator
    // was moved away with its cells.
    T* allocate(size_t n) {
        if (!arena) arena = std::make_shared<CellArena>();
        return static_cast<T*>(arena->Allocate(n * sizeof(T), alignof(T)));
    }
    void deallocate(T*, size_t) {}  // released with the arena
    // A copied sheet gets memory of its own.
    CellAllocator select_on_container_copy_construction() const { return CellAllocator(); }
    template <typename U>
    bool operator==(const CellAllocator<U>& other) const {
        return arena == other.arena;
    }

    std::shared_ptr<CellArena> arena;
};

using CellKey = std::pair<uint32_t, uint32_t>;  // (row, column), from 1

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
    std::map<CellKey, WorkbookCell, std::less<CellKey>,
             CellAllocator<std::pair<const CellKey, WorkbookCell>>>
        cells;
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
