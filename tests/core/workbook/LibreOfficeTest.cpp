// Velkor's workbooks checked against a real spreadsheet application:
// LibreOffice (headless) reads what Velkor writes and writes what Velkor
// reads, and xlrd compares formats before and after Velkor saved a workbook
// that LibreOffice made.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "common/Files.h"
#include "common/Text.h"
#include "support/LibreOffice.h"
#include "support/TestFiles.h"
#include "support/WorkbookCells.h"
#include "workbook/ExcelHelper.h"
#include "workbook/Workbook.h"

namespace velkor {
namespace {

using testing::Convert;
using testing::CsvCell;
using testing::kCsvAllSheets;
using testing::ParseCsv;
using testing::ReadBytes;
using testing::RunCommand;
using testing::TempDir;
using testing::WriteBytes;

const fs::path kFixtures = fs::path(VELKOR_FIXTURES_DIR) / "workbook";

const auto& Text = testing::TextCell;
const auto& Number = testing::NumberCell;

TEST(LibreOffice, ReadsEveryCellVelkorWrites) {
    Workbook book;
    WorkbookSheet codes;
    codes.name = u"码位表";
    codes.cells[{1, 1}] = Text(u"名称");
    codes.cells[{1, 2}] = Text(u"地址号");
    codes.cells[{2, 1}] = Text(u"0x0012");
    codes.cells[{2, 2}] = Number(12.6);
    codes.cells[{3, 1}] = Text(u"逗号,引号\"换行\n制表\t");
    codes.cells[{3, 2}] = Number(-40000);
    codes.cells[{4, 3}] = Text(u"0012");
    codes.cells[{5, 1}] = Text(u"\U0001F686 地铁");
    book.sheets.push_back(codes);
    // Enough text for the shared strings to run over several CONTINUE
    // records, strings cut across them included.
    WorkbookSheet big;
    big.name = u"站场信息";
    for (uint32_t r = 1; r <= 1500; ++r) {
        big.cells[{r, 1}] = Text(u"站场信息" + FromUtf8(std::to_string(r)));
        big.cells[{r, 2}] = Number(r * 3.5);
        if (r % 100 == 0) big.cells[{r, 3}] = Text(std::u16string(3000 + r, u'长'));
    }
    book.sheets.push_back(big);
    WorkbookSheet sheet3;
    sheet3.name = u"Sheet3";
    sheet3.cells[{1, 1}] = Text(u"x");
    book.sheets.push_back(sheet3);

    TempDir dir;
    WriteBytes(dir / "book.xls", WriteXls(book));
    Convert(dir, kCsvAllSheets, {dir / "book.xls"});
    for (const WorkbookSheet& sheet : book.sheets) {
        const auto csvFile = dir.Path() / PathFromUtf8("book-" + ToUtf8(sheet.name) + ".csv");
        ASSERT_TRUE(fs::exists(csvFile)) << ToUtf8(sheet.name);
        const auto bytes = ReadBytes(csvFile);
        const auto rows = ParseCsv(std::string(bytes.begin(), bytes.end()));
        size_t cellsSeen = 0;
        for (uint32_t r = 1; r <= rows.size(); ++r) {
            for (uint32_t c = 1; c <= rows[r - 1].size(); ++c) {
                const std::string got = CsvCell(rows, r, c);
                const auto it = sheet.cells.find({r, c});
                if (it == sheet.cells.end()) {
                    EXPECT_EQ(got, "") << ToUtf8(sheet.name) << " " << r << "," << c;
                    continue;
                }
                ++cellsSeen;
                std::string want = ToUtf8(it->second.text);
                if (it->second.kind == WorkbookCell::Kind::Number) {
                    std::ostringstream n;
                    n << it->second.number;
                    want = n.str();
                }
                EXPECT_EQ(got, want) << ToUtf8(sheet.name) << " " << r << "," << c;
            }
        }
        EXPECT_EQ(cellsSeen, sheet.cells.size()) << ToUtf8(sheet.name);
    }
}

TEST(LibreOffice, VelkorReadsWhatLibreOfficeWritesFromCsv) {
    TempDir dir;
    std::string csv;
    for (int r = 1; r <= 3000; ++r) {
        csv += "\"站场信息" + std::to_string(r) + (r % 500 == 0 ? std::string(2500, 'x') : "") +
               "\"," + std::to_string(r) + ".5,\"0x" + std::to_string(1000 + r) + "\",\"0012\"\n";
    }
    const auto path = dir / "data.csv";
    WriteBytes(path, std::vector<uint8_t>(csv.begin(), csv.end()));
    // Quoted fields stay text, so "0012" is not taken for a number.
    const std::string filter = "CSV:44,34,76,1,,0,true,true";
    Convert(dir, "xls", {path}, filter);
    Convert(dir, "xlsx", {path}, filter);
    for (const char* name : {"data.xls", "data.xlsx"}) {
        ExcelHelper x;
        ASSERT_TRUE(x.OpenWorkbook(dir / name)) << name << ": " << x.LastError();
        ASSERT_TRUE(x.SelectSheet(1));
        EXPECT_EQ(x.CurrentSheetName(), u"data") << name;
        for (int r = 1; r <= 3000; ++r) {
            const auto row = static_cast<uint32_t>(r);
            ASSERT_EQ(ToUtf8(x.GetCell(row, 1)),
                      "站场信息" + std::to_string(r) + (r % 500 == 0 ? std::string(2500, 'x') : ""))
                << name << " row " << r;
            // r + 0.5 rounds half away from zero with "%.0f" only where the
            // binary value is above the half; 0.5 steps are exact, so they
            // round to even.
            char rounded[32];
            std::snprintf(rounded, sizeof rounded, "%.0f", r + 0.5);
            ASSERT_EQ(ToUtf8(x.GetCell(row, 2)), rounded) << name << " row " << r;
            ASSERT_EQ(ToUtf8(x.GetCell(row, 3)), "0x" + std::to_string(1000 + r)) << name;
            ASSERT_EQ(ToUtf8(x.GetCell(row, 4)), "0012") << name;
        }
        EXPECT_EQ(x.GetCell(3001, 1), u"") << name;
    }
}

TEST(LibreOffice, FormatsMergesAndDatesOfItsWorkbooksAreRead) {
    TempDir dir;
    Convert(dir, "xls", {kFixtures / "formatted.fods"});
    Convert(dir, "xlsx", {kFixtures / "formatted.fods"});
    for (const char* name : {"formatted.xls", "formatted.xlsx"}) {
        Status error;
        const auto book = ReadWorkbook(ReadBytes(dir / name), &error);
        ASSERT_TRUE(book) << name << ": " << error.Message();
        ASSERT_GE(book->sheets.size(), 2u);
        const WorkbookSheet& s = book->sheets[0];
        EXPECT_EQ(s.name, u"接口") << name;
        EXPECT_EQ(book->sheets[1].name, u"Other") << name;
        EXPECT_EQ(CellText(s.cells.at({1, 1})), u"标题") << name;
        EXPECT_EQ(CellText(s.cells.at({2, 1})), u"13") << name;
        EXPECT_EQ(CellText(s.cells.at({2, 2})), u"2025-1-21 0:0:0") << name;
        EXPECT_EQ(CellText(s.cells.at({2, 3})), u"0x0012") << name;
        ASSERT_EQ(s.merges.size(), 1u) << name;
        EXPECT_EQ(s.merges[0], (WorkbookRange{1, 1, 1, 2})) << name;
        // 40 mm and 15 mm columns, a 12 mm row (34 points).
        ASSERT_TRUE(s.columns.count(1) && s.columns.count(2)) << name;
        EXPECT_GT(s.columns.at(1).width, s.columns.at(2).width * 2) << name;
        ASSERT_TRUE(s.rows.count(1)) << name;
        EXPECT_NEAR((s.rows.at(1).height & 0x7FFF) / 20.0, 34.0, 1.0) << name;
    }
}

TEST(LibreOffice, SavingItsWorkbookChangesOnlyTheCellsWritten) {
    TempDir dir;
    Convert(dir, "xls", {kFixtures / "formatted.fods"});
    ExcelHelper x;
    ASSERT_TRUE(x.OpenWorkbook(dir / "formatted.xls")) << x.LastError();
    ASSERT_TRUE(x.SelectSheet(u"接口"));
    x.SetCell(2, 3, u"0x0099");  // a bordered cell: it keeps its border
    x.SetCell(5, 1, u"新行");
    fs::create_directories(dir / "saved");
    ASSERT_TRUE(x.SaveAs(dir / "saved" / "formatted.xls")) << x.LastError();

    const std::string compare = "/usr/bin/python3 '" + PathToUtf8(kFixtures / "xls_compare.py") +
                                "' '" + PathToUtf8(dir / "formatted.xls") + "' '" +
                                PathToUtf8(dir / "saved" / "formatted.xls") + "'";
    const auto [rc, out] = RunCommand(dir, compare + " 接口:2:3 接口:5:1");
    EXPECT_EQ(rc, 0) << out;
    EXPECT_EQ(out, "ok\n");
    // Without naming the changed cell, the comparison sees it.
    const auto [rc2, out2] = RunCommand(dir, compare);
    EXPECT_EQ(rc2, 0) << out2;
    EXPECT_NE(out2.find("接口: cell 2,3 '0x0012' != '0x0099'"), std::string::npos) << out2;

    // LibreOffice opens the saved workbook and sees the new values.
    Convert(dir, kCsvAllSheets, {dir / "saved" / "formatted.xls"});
    const auto bytes = ReadBytes(dir.Path() / PathFromUtf8("formatted-接口.csv"));
    const auto rows = ParseCsv(std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(CsvCell(rows, 1, 1), "标题");
    EXPECT_EQ(CsvCell(rows, 2, 3), "0x0099");
    EXPECT_EQ(CsvCell(rows, 5, 1), "新行");
    const auto other = ReadBytes(dir / "formatted-Other.csv");
    EXPECT_EQ(std::string(other.begin(), other.end()), "keep\n");
}

}  // namespace
}  // namespace velkor
