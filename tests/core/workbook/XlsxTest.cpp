#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "common/Files.h"
#include "support/TestFiles.h"
#include "workbook/ExcelHelper.h"
#include "workbook/Workbook.h"

namespace velkor {
namespace {

using testing::ReadBytes;
using testing::TempDir;

// Builds an .xlsx from its XML parts with Python's zipfile module.
std::vector<uint8_t> MakeXlsx(const TempDir& dir, const std::string& sharedStrings) {
    const std::string script = PathToUtf8(dir / "make.py");
    std::ofstream(script)
        << "import sys, zipfile\n"
           "z = zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED)\n"
           "z.writestr('xl/workbook.xml', '<workbook "
           "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
           "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/"
           "relationships\"><sheets>"
           "<sheet name=\"进路\" sheetId=\"1\" r:id=\"rId2\"/><sheet name=\"Data\" sheetId=\"2\" "
           "r:id=\"rId1\"/>"
           "</sheets></workbook>')\n"
           "z.writestr('xl/_rels/workbook.xml.rels', '<Relationships><Relationship Id=\"rId1\" "
           "Target=\"worksheets/sheet2.xml\"/><Relationship Id=\"rId2\" "
           "Target=\"/xl/worksheets/sheet1.xml\"/>"
           "</Relationships>')\n"
           "z.writestr('xl/sharedStrings.xml', open(sys.argv[2], encoding='utf-8').read())\n"
           "z.writestr('xl/styles.xml', '<styleSheet><numFmts><numFmt numFmtId=\"164\" "
           "formatCode=\"yyyy/m/d\"/>"
           "</numFmts><cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf numFmtId=\"164\"/><xf "
           "numFmtId=\"2\"/>"
           "</cellXfs></styleSheet>')\n"
           "z.writestr('xl/worksheets/sheet1.xml', '<worksheet><cols><col min=\"1\" max=\"2\" "
           "width=\"12\"/></cols>"
           "<sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" "
           "t=\"s\"><v>1</v></c>"
           "<c r=\"C1\"><v>12.6</v></c></row><row r=\"2\"><c r=\"A2\" "
           "t=\"inlineStr\"><is><t>内联</t></is></c>"
           "<c r=\"B2\" t=\"b\"><v>1</v></c><c r=\"C2\" t=\"str\"><f>A1</f><v>公式</v></c>"
           "<c r=\"D2\" s=\"1\"><v>45678.5</v></c><c r=\"E2\" s=\"2\"><v>45678</v></c><c r=\"F2\" "
           "s=\"3\"><v>3</v></c>"
           "<c r=\"G2\"/></row></sheetData></worksheet>')\n"
           "z.writestr('xl/worksheets/sheet2.xml', '<worksheet><sheetData><row r=\"3\"><c "
           "r=\"AB3\"><v>-2</v></c>"
           "</row></sheetData></worksheet>')\n"
           "z.close()\n";
    const std::string sst = PathToUtf8(dir / "sst.xml");
    std::ofstream(sst) << sharedStrings;
    const std::string cmd =
        "/usr/bin/python3 " + script + " " + PathToUtf8(dir / "book.xlsx") + " " + sst;
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    return ReadBytes(dir / "book.xlsx");
}

TEST(Xlsx, CellsOfEveryKindAndSheetsInOrder) {
    TempDir dir;
    const auto file = MakeXlsx(dir,
                               "<sst><si><t>名称</t></si><si><r><t>0x</t></r><r><t>0012</t></"
                               "r><rPh><t>x</t></rPh></si></sst>");
    Status error;
    const auto book = ReadWorkbook(file, &error);
    ASSERT_TRUE(book) << error.Message();
    ASSERT_EQ(book->sheets.size(), 2u);
    EXPECT_EQ(book->sheets[0].name, u"进路");
    EXPECT_EQ(book->sheets[1].name, u"Data");
    const auto& cells = book->sheets[0].cells;
    const auto text = [&](uint32_t r, uint32_t c) { return CellText(cells.at({r, c})); };
    EXPECT_EQ(text(1, 1), u"名称");
    EXPECT_EQ(text(1, 2), u"0x0012");
    EXPECT_EQ(text(1, 3), u"13");
    EXPECT_EQ(text(2, 1), u"内联");
    EXPECT_EQ(text(2, 2), u"1");
    EXPECT_EQ(text(2, 3), u"公式");
    EXPECT_EQ(text(2, 4), u"2025-1-21 12:0:0");
    EXPECT_EQ(text(2, 5), u"2025-1-21 0:0:0");
    EXPECT_EQ(text(2, 6), u"3");
    EXPECT_EQ(cells.count({2, 7}), 0u);
    EXPECT_EQ(book->sheets[0].columns.at(2).width, 12 * 256);
    EXPECT_EQ(CellText(book->sheets[1].cells.at({3, 28})), u"-2");

    // Through ExcelHelper, which takes either format.
    ExcelHelper x;
    ASSERT_TRUE(x.OpenWorkbook(dir / "book.xlsx")) << x.LastError();
    ASSERT_TRUE(x.SelectSheet(u"进路"));
    EXPECT_EQ(x.GetCell(1, 3), u"13");
}

TEST(Xlsx, EntitiesAndBrokenPartsAreRefused) {
    TempDir dir;
    const auto file = MakeXlsx(dir,
                               "<!DOCTYPE sst [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
                               "\"&a;&a;&a;&a;&a;&a;\">]><sst><si><t>&b;</t></si></sst>");
    Status error;
    EXPECT_FALSE(ReadWorkbook(file, &error));
    EXPECT_EQ(error.Message(), "damaged sharedStrings.xml");
    const auto external = MakeXlsx(
        dir,
        "<!DOCTYPE sst [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><sst><si><t>&x;</t></si></sst>");
    EXPECT_FALSE(ReadWorkbook(external, &error));
    const std::vector<uint8_t> notZip = {'P', 'K', 3, 4, 0, 0};
    EXPECT_FALSE(ReadWorkbook(notZip, &error));
    EXPECT_EQ(error.Message(), "not a zip file");
}

}  // namespace
}  // namespace velkor
