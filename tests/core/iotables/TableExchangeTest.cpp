#include <gtest/gtest.h>

#include "common/Text.h"
#include "demo/DemoStation.h"
#include "document/CVelkorDoc.h"
#include "iotables/TableExchange.h"
#include "support/LibreOffice.h"
#include "support/ScriptedInteraction.h"
#include "support/TestFiles.h"

namespace velkor {
namespace {

using testing::ScriptedInteraction;
using testing::TempDir;
using testing::WriteBytes;

// Export then import of every table of the demo station gives the table's
// rows back unchanged, byte for byte.
TEST(TableExchange, ExportThenImportIsTheIdentityOnEveryTable) {
    ScriptedInteraction ui;
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    BuildDemoStation(doc, {});
    TempDir dir;
    for (int t = 0; t < kInputTableCount; ++t) {
        SCOPED_TRACE(InputTableTitle(t));
        ASSERT_FALSE(doc.io.Table(t).empty());
        TableGrid out(InputGridDesc(t), ui);
        out.Load(doc.io.Table(t));
        const fs::path file = dir / (std::to_string(t) + ".xls");
        ASSERT_TRUE(WriteTableWorkbook(GridTexts(out), u"表", file, DefaultFileStore()));
        TextTable read;
        ASSERT_TRUE(ReadTextTable(file, DefaultFileStore(), read));
        EXPECT_EQ(read.size(), doc.io.Table(t).size() + 1);
        TableGrid in(InputGridDesc(t), ui);
        in.Load(doc.io.Table(t));
        ASSERT_TRUE(TakeTextTable(read, in));
        EXPECT_EQ(in.Records(), doc.io.Table(t));
    }
    EXPECT_TRUE(ui.Messages("warning").empty());
}

class Import : public ::testing::Test {
protected:
    Status Take(const std::string& csv, int table = kSectionTable) {
        const std::vector<uint8_t> bytes(csv.begin(), csv.end());
        WriteBytes(dir / "in.csv", bytes);
        TextTable texts;
        if (Status s = ReadTextTable(dir / "in.csv", DefaultFileStore(), texts); !s) return s;
        grid = std::make_unique<TableGrid>(InputGridDesc(table), ui);
        return TakeTextTable(texts, *grid);
    }
    TempDir dir;
    ScriptedInteraction ui;
    std::unique_ptr<TableGrid> grid;
};

TEST_F(Import, RowsAreNumberedAndCheckedAsGridRows) {
    const Status s = Take(
        "名称,地址号,按钮号,字号,位号,GJ,FWZTJ\n"
        "1DG,,,,,0X0101,\n"
        "\"3,DG\",5,1A,,,,\n");
    ASSERT_TRUE(s) << s.Message();
    const std::vector<Row> rows = grid->Records();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Name(), u"1DG");
    EXPECT_EQ(rows[0].U16(io::kAddress), 0);  // empty: numbered by position
    EXPECT_EQ(rows[0].U16(io::kSectionGJ), 0x0101);
    EXPECT_EQ(rows[0].U16(io::kSectionFWZTJ), 0xFFFF);
    EXPECT_EQ(rows[1].Name(), u"3,DG");
    EXPECT_EQ(rows[1].U16(io::kAddress), 5);
    EXPECT_EQ(rows[1].U16(io::kButton), 0x001A);
    EXPECT_EQ(rows[1].U16(io::kBit), 2);
}

TEST_F(Import, TheFirstRefusedCellOrAWrongHeaderStopsIt) {
    struct Case {
        std::string csv;
        std::string message;
    };
    const Case cases[] = {
        {"名称,地址号,按钮号,字号,位号,GJ,FWZTJ\n1DG,0\n3DG,12x\n5DG,7G\n",
         "第 3 行第 2 列（地址号）：输入的十进制数据无效"},
        {"名称\t地址号\t按钮号\t字号\t位号\tGJ\tFWZTJ\n一二三四五六七八\n",
         "第 2 行第 1 列（名称）：第 1 行“名称”超过 15 个字节，请缩短：一二三四五六七八"},
        {"名称,地址,按钮号\n", "表头与“区段输入表”的列不符：第 2 列应为“地址号”，而不是“地址”"},
        {"", "表头与“区段输入表”的列不符：第 1 列应为“名称”，而不是“”"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.csv);
        const Status s = Take(c.csv);
        EXPECT_FALSE(s);
        EXPECT_EQ(s.Message(), c.message);
    }
}

TEST_F(Import, AWorkbookWrittenByLibreOfficeFromACsvImports) {
    const std::string csv =
        "名称,地址号,按钮号,字号,位号,按钮号2,类型,LXJ,ZXJ,DXJ,TXJ,LUXJ,YXJ,DJ,2DJ,DDJ,SGJ\n"
        "X1,0,0X0010,0X0000,0X0000,0X8010,一显,,,,,,,0X0102,,0X0103,0X0104\n"
        "S2,1,0X0110,0X0001,0X0000,0X8110,虚拟,,,,,,,,,0X0203,0X0204\n";
    WriteBytes(dir / "signals.csv", std::vector<uint8_t>(csv.begin(), csv.end()));
    testing::Convert(dir, "xls", {dir / "signals.csv"}, "CSV:44,34,76,1");
    TextTable texts;
    ASSERT_TRUE(ReadTextTable(dir / "signals.xls", DefaultFileStore(), texts));
    TableGrid g(InputGridDesc(kSignalTable), ui);
    const Status s = TakeTextTable(texts, g);
    ASSERT_TRUE(s) << s.Message();
    const std::vector<Row> rows = g.Records();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].Name(), u"S2");
    EXPECT_EQ(rows[1].U16(io::kAddress), 1);  // a number cell in the workbook
    EXPECT_EQ(rows[1].U16(io::kSignalType), 17);
    EXPECT_EQ(rows[1].U16(io::kSignalRelays + 18), 0x0204);
    EXPECT_EQ(rows[0].U16(io::kSignalRelays + 12), 0x0102);
}

}  // namespace
}  // namespace velkor
