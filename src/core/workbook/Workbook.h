#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace velkor {

// One cell as the workbook keeps it.
struct WorkbookCell {
    enum class Kind { Text, Number, Boolean, Date };
    Kind kind = Kind::Text;
    std::u16string text;
    double number = 0;  // numbers, booleans (0/1) and dates (days since 1899-12-30)
    bool bold = false;
    bool vcenter = false;
};

struct WorkbookSheet {
    std::u16string name;
    std::map<std::pair<uint32_t, uint32_t>, WorkbookCell> cells;  // (row, column), from 1
    std::map<uint32_t, uint16_t> columnWidths;  // column -> width in 1/256 of a character
    std::map<uint32_t, uint16_t> rowHeights;    // row -> height in twips
};

// A workbook in memory, the way ExcelHelper fills and reads it.
struct Workbook {
    std::vector<WorkbookSheet> sheets;
};

// The cell's text as callers read it: text as it is, a number rounded to a
// whole number ("%.0f"), a date as "%d-%d-%d %d:%d:%d".
std::u16string CellText(const WorkbookCell& cell);

// A legacy Excel workbook (BIFF8 in a compound file).
std::vector<uint8_t> WriteXls(const Workbook& book);
// Reads a BIFF8 workbook; a BIFF5 or older file, a damaged file or another
// format gives nothing and the reason in `error`.
std::optional<Workbook> ReadXls(std::span<const uint8_t> file, std::string* error = nullptr);

// Reads an Office Open XML workbook (.xlsx).
std::optional<Workbook> ReadXlsx(std::span<const uint8_t> file, std::string* error = nullptr);
// Either format, by the file's first bytes.
std::optional<Workbook> ReadWorkbook(std::span<const uint8_t> file, std::string* error = nullptr);

}  // namespace velkor
