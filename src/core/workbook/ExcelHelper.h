#pragma once
#include <optional>
#include <string>
#include <vector>

#include "common/Files.h"
#include "workbook/Workbook.h"

namespace velkor {

// The number a cell's text holds as the imports read it: its leading ASCII
// digits, modulo 65536; a text without any gives 0.
uint16_t CellLeadingNumber(std::u16string_view text);

// All workbook reading and writing goes through this: one open workbook, a
// current sheet, cells addressed by row and column from 1 and exchanged as
// text. It reads and writes the files itself; no spreadsheet application is
// needed, so starting it never fails.
class ExcelHelper {
public:
    // Workbooks are read and written through `files`.
    explicit ExcelHelper(FileStore& files = DefaultFileStore()) : files_(&files) {}

    // Opens a workbook file; the one already open is closed first, opening it
    // again does nothing. False (with the reason in LastError) when the file
    // cannot be read; the helper then holds no workbook.
    bool OpenWorkbook(const fs::path& path);
    // A new workbook with the default sheets Sheet1, Sheet2 and Sheet3; the
    // first is current.
    void NewWorkbook();
    // A new workbook of one sheet of that name.
    void NewWorkbook(std::u16string_view onlySheet);
    // A new sheet in front of the first sheet, named and made current: A, B,
    // C added one after the other end up as C, B, A.
    void AddSheet(std::u16string_view name);
    // By index from 1; false when there is no such sheet.
    bool SelectSheet(size_t index);
    bool SelectSheet(std::u16string_view name);
    std::u16string CurrentSheetName() const;
    void SetCell(uint32_t row, uint32_t column, std::u16string_view text);
    // Room for `more` cells beyond those of the current sheet: a writer that
    // knows how many cells it sets spares the sheet growing as it fills.
    void ReserveCells(size_t more);
    std::u16string GetCell(uint32_t row, uint32_t column) const;
    // Writes the workbook (.xls), replacing a file of that name atomically.
    bool SaveAs(const fs::path& path);
    void CloseWorkbook();

    // What the code-table export needs beyond that, on the current sheet.
    void SetColumnWidth(uint32_t column, double characters);
    void SetRowHeight(uint32_t row, double points);
    void SetBoldVCentered(uint32_t row, uint32_t firstColumn, uint32_t lastColumn);
    void SetBlock(uint32_t row, uint32_t column,
                  const std::vector<std::vector<std::u16string>>& cells);

    bool HasWorkbook() const { return book_.has_value(); }
    // Why the last open or save failed.
    const Status& LastStatus() const { return status_; }
    const std::string& LastError() const { return status_.Message(); }
    const Workbook* Book() const { return book_ ? &*book_ : nullptr; }

private:
    WorkbookSheet* Current();
    FileStore* files_;
    std::optional<Workbook> book_;
    size_t current_ = 0;
    fs::path path_;
    Status status_;
};

}  // namespace velkor
