#pragma once
#include <string>
#include <vector>

#include "common/Files.h"
#include "common/Status.h"
#include "iotables/TableGrid.h"

namespace velkor {

// A table as texts, the header row first: what the exports write and the
// imports read, whatever the file kind.
using TextTable = std::vector<std::vector<std::string>>;

// The table dialog's columns and texts of a grid.
TextTable GridTexts(const TableGrid& grid);

// Writes a text table as a workbook of one sheet (.xls).
Status WriteTableWorkbook(const TextTable& table, std::u16string_view sheet, const fs::path& file,
                          FileStore& files);
// The first sheet of a workbook (.xls, .xlsx) or the rows of a .csv (UTF-8,
// comma or tab separated, quoted fields) as texts; empty trailing rows
// dropped.
Status ReadTextTable(const fs::path& file, FileStore& files, TextTable& out);

// Takes a sheet's rows over into a grid opened on the table: the header row
// must name the dialog's columns in order; sheet row k stands for grid row
// k - 2 (a new row, numbered by its position, where the grid has none), each
// non-empty cell typed into its cell with the in-place editor's checks, and
// grid rows beyond the sheet dropped. The first refused cell ends the import
// with its sheet row, column and reason; the grid is then not to be stored.
Status TakeTextTable(const TextTable& table, TableGrid& grid);

}  // namespace velkor
