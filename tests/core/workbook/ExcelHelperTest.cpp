#include <gtest/gtest.h>

#include "support/TestFiles.h"
#include "workbook/ExcelHelper.h"

namespace velkor {
namespace {

TEST(ExcelHelper, SheetsAreAddedInFrontOfTheDefaultOnes) {
    ExcelHelper x;
    x.NewWorkbook();
    EXPECT_EQ(x.CurrentSheetName(), u"Sheet1");
    for (const char16_t* name : {u"A", u"B", u"C"}) x.AddSheet(name);
    std::vector<std::u16string> names;
    for (const auto& s : x.Book()->sheets) names.push_back(s.name);
    EXPECT_EQ(names,
              (std::vector<std::u16string>{u"C", u"B", u"A", u"Sheet1", u"Sheet2", u"Sheet3"}));
    EXPECT_EQ(x.CurrentSheetName(), u"C");
    EXPECT_TRUE(x.SelectSheet(u"Sheet2"));
    EXPECT_EQ(x.CurrentSheetName(), u"Sheet2");
    EXPECT_FALSE(x.SelectSheet(u"nope"));
    EXPECT_TRUE(x.SelectSheet(2));
    EXPECT_EQ(x.CurrentSheetName(), u"B");
    EXPECT_FALSE(x.SelectSheet(7));
}

TEST(ExcelHelper, CellsSaveAndOpenAgain) {
    testing::TempDir dir;
    ExcelHelper x;
    x.NewWorkbook();
    x.AddSheet(u"表示码位表");
    x.SetCell(1, 1, u"名称");
    x.SetCell(2, 3, u"0x0012");
    x.SetBlock(3, 1, {{u"a", u"b"}, {u"c", u"d"}});
    x.SetColumnWidth(1, 15);
    x.SetRowHeight(1, 50);
    x.SetBoldVCentered(1, 1, 3);
    ASSERT_TRUE(x.SaveAs(dir / "码位表.xls"));
    x.CloseWorkbook();
    EXPECT_FALSE(x.HasWorkbook());

    ASSERT_TRUE(x.OpenWorkbook(dir / "码位表.xls")) << x.LastError();
    EXPECT_EQ(x.CurrentSheetName(), u"表示码位表");
    EXPECT_EQ(x.GetCell(1, 1), u"名称");
    EXPECT_EQ(x.GetCell(2, 3), u"0x0012");
    EXPECT_EQ(x.GetCell(4, 2), u"d");
    EXPECT_EQ(x.GetCell(9, 9), u"");
    EXPECT_EQ(x.Book()->sheets.size(), 4u);
    EXPECT_EQ(x.Book()->sheets[0].columns.at(1).width, 15 * 256);
    EXPECT_EQ(x.Book()->sheets[0].rows.at(1).height, 1000);
    EXPECT_FALSE(x.OpenWorkbook(dir / "none.xls"));
    EXPECT_FALSE(x.HasWorkbook());
}

TEST(ExcelHelper, AWorkbookTooLargeForTheLegacyFormatIsNotWritten) {
    testing::TempDir dir;
    ExcelHelper x;
    x.NewWorkbook();
    x.SetCell(1, 1, u"a");
    x.SetCell(65537, 1, u"lost");
    EXPECT_FALSE(x.SaveAs(dir / "big.xls"));
    EXPECT_NE(x.LastError().find("65536"), std::string::npos) << x.LastError();
    EXPECT_FALSE(std::filesystem::exists(dir / "big.xls"));
    x.NewWorkbook();
    x.SetCell(1, 257, u"lost");
    EXPECT_FALSE(x.SaveAs(dir / "wide.xls"));
    x.NewWorkbook();
    x.SetCell(65536, 256, u"last");
    ASSERT_TRUE(x.SaveAs(dir / "fits.xls")) << x.LastError();
    ExcelHelper y;
    ASSERT_TRUE(y.OpenWorkbook(dir / "fits.xls"));
    EXPECT_EQ(y.GetCell(65536, 256), u"last");
}

TEST(ExcelHelper, WritingACellKeepsItsFormat) {
    Workbook book;
    WorkbookSheet s;
    s.name = u"S";
    WorkbookCell c;
    c.text = u"old";
    c.xf = 20;
    s.cells[{1, 1}] = c;
    book.sheets.push_back(s);
    testing::TempDir dir;
    testing::WriteBytes(dir / "in.xls", WriteXls(book));
    ExcelHelper x;
    ASSERT_TRUE(x.OpenWorkbook(dir / "in.xls"));
    const int32_t xf = x.Book()->sheets[0].cells.at({1, 1}).xf;
    EXPECT_GE(xf, 0);
    x.SetCell(1, 1, u"new");
    EXPECT_EQ(x.Book()->sheets[0].cells.at({1, 1}).xf, xf);
    EXPECT_EQ(x.GetCell(1, 1), u"new");
}

}  // namespace
}  // namespace velkor
