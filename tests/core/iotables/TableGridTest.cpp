#include <gtest/gtest.h>

#include "document/CVelkorDoc.h"
#include "iotables/TableEditing.h"
#include "iotables/TableGrid.h"
#include "support/ScriptedInteraction.h"
#include "tables/CodeTables.h"

namespace velkor {
namespace {

using testing::ScriptedInteraction;

std::vector<std::string> Column(const TableGrid& g, size_t column) {
    std::vector<std::string> out;
    for (size_t r = 0; r < g.Rows(); ++r) out.push_back(g.Cell(r, column));
    return out;
}

TEST(TableGrid, DialogsTakeTheirColumnsFromTheRecordDescriptions) {
    const GridDesc& signal = InputGridDesc(kSignalTable);
    EXPECT_STREQ(signal.title, "信号机输入表");
    ASSERT_EQ(signal.columns.size(), 17u);
    EXPECT_STREQ(signal.columns[5].header, "按钮号2");
    EXPECT_EQ(signal.columns[5].field->offset, io::kSignalButton2);
    EXPECT_EQ(signal.columns[6].kind, GridColumn::Kind::SignalType);
    EXPECT_EQ(signal.columns[6].width, 90);
    EXPECT_EQ(signal.columns[16].relay, 9);
    const GridDesc& station = InputGridDesc(kStationTable);
    EXPECT_EQ(station.columns[0].field->offset, io::kStationName);
    EXPECT_EQ(station.columns[0].width, 240);
    const GridDesc& logic = InputGridDesc(kLogicSectionTable);
    EXPECT_STREQ(logic.columns[2].header, "字号");  // no 按钮号
    for (const char* name : {"区段", "Section", "车站信息表", "Station", "零散信息"})
        EXPECT_GE(InputTableByName(name), 0) << name;
    EXPECT_EQ(InputTableByName("信号"), -1);
}

TEST(TableGrid, AppendInsertAndDeleteKeepTheNumbering) {
    ScriptedInteraction ui;
    TableGrid g(InputGridDesc(kSectionTable), ui);
    for (int i = 0; i < 3; ++i) g.Append();
    EXPECT_EQ(Column(g, 1), (std::vector<std::string>{"0", "1", "2"}));
    EXPECT_EQ(Column(g, 2), (std::vector<std::string>{"0X0030", "0X0130", "0X0230"}));
    EXPECT_EQ(Column(g, 3), (std::vector<std::string>{"0X0000", "0X0000", "0X0000"}));
    EXPECT_EQ(Column(g, 4), (std::vector<std::string>{"0X0000", "0X0002", "0X0004"}));
    EXPECT_EQ(g.Cell(0, 5), "0XFFFF");
    EXPECT_EQ(g.CellColour(0, 5), TableGrid::Colour::Green);
    EXPECT_EQ(g.CellColour(0, 1), TableGrid::Colour::White);

    EXPECT_FALSE(g.Insert());  // no current row
    ASSERT_TRUE(g.Edit(1, 0, "5DG"));
    g.current = 1;
    ASSERT_TRUE(g.Insert());
    EXPECT_EQ(g.current, -1);
    EXPECT_EQ(Column(g, 1), (std::vector<std::string>{"0", "1", "2", "3"}));
    EXPECT_EQ(Column(g, 0), (std::vector<std::string>{"", "", "5DG", ""}));
    EXPECT_EQ(g.Cell(3, 2), "0X0330");

    g.current = 0;
    ui.answers = {false, true};
    EXPECT_FALSE(g.Delete());  // "确认删除这个设备？" answered No
    EXPECT_EQ(g.Rows(), 4u);
    g.current = 0;
    ASSERT_TRUE(g.Delete());
    EXPECT_EQ(Column(g, 1), (std::vector<std::string>{"0", "1", "2"}));
    EXPECT_EQ(g.Cell(1, 0), "5DG");
    EXPECT_EQ(ui.Messages("question"),
              (std::vector<std::string>{"确认删除这个设备？", "确认删除这个设备？"}));
}

TEST(TableGrid, CellEditsAreCheckedByColumn) {
    ScriptedInteraction ui;
    TableGrid g(InputGridDesc(kSectionTable), ui);
    g.Append();
    struct Case {
        size_t column;
        const char* text;
        bool taken;
        const char* message;
    };
    const Case cases[] = {
        {1, "12x", false, "输入的十进制数据无效"},
        {1, "12", true, nullptr},
        {2, "1A", true, nullptr},
        {3, "0x1G", false, "输入的十六进制数据无效"},
        {0, "一二三四五六七八", false, "第 1 行“名称”超过 15 个字节，请缩短：一二三四五六七八"},
        {0, "一二三四五六七", true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string before = g.Cell(0, c.column);
        const size_t warnings = ui.Messages("warning").size();
        EXPECT_EQ(g.Edit(0, c.column, c.text), c.taken);
        EXPECT_EQ(g.Cell(0, c.column), c.taken ? c.text : before);
        if (c.message) {
            ASSERT_EQ(ui.Messages("warning").size(), warnings + 1);
            EXPECT_EQ(ui.Messages("warning").back(), c.message);
        }
    }
    // 1A shows as typed and is stored as 0x001A.
    const std::vector<Row> rows = g.Records();
    EXPECT_EQ(rows[0].U16(io::kButton), 0x001A);
    EXPECT_EQ(rows[0].U16(io::kAddress), 12);
}

TEST(TableGrid, SignalRelaysFollowTheType) {
    ScriptedInteraction ui;
    TableGrid g(InputGridDesc(kSignalTable), ui);
    EXPECT_TRUE(g.NewRowNeedsDialog());
    g.Append({u"X1", 0});  // 一显: DJ, DDJ and SGJ
    const auto relayColumn = [&](const char* header) {
        for (size_t c = 0; c < g.Columns(); ++c) {
            if (std::string(g.Desc().columns[c].header) == header) return c;
        }
        return size_t{0};
    };
    EXPECT_EQ(g.Cell(0, 6), "一显");
    for (const char* h : {"DJ", "DDJ", "SGJ"}) {
        EXPECT_EQ(g.CellColour(0, relayColumn(h)), TableGrid::Colour::Green) << h;
        EXPECT_EQ(g.Cell(0, relayColumn(h)), "0XFFFF");
    }
    const size_t lxj = relayColumn("LXJ");
    EXPECT_EQ(g.CellColour(0, lxj), TableGrid::Colour::Black);
    EXPECT_EQ(g.Cell(0, lxj), "");
    EXPECT_FALSE(g.OpensRelayDialog(0, lxj));
    // A black cell takes any text and it changes nothing.
    EXPECT_TRUE(g.Edit(0, lxj, "0X0102"));
    ASSERT_TRUE(g.OpensRelayDialog(0, relayColumn("DJ")));
    EXPECT_EQ(g.RelayTitle(0, relayColumn("DJ")), "X1 : DJ");
    g.SetRelay(0, relayColumn("DJ"), 3, 7);
    EXPECT_EQ(g.Cell(0, relayColumn("DJ")), "0X0307");
    EXPECT_EQ(g.Relay(0, relayColumn("DJ")), (std::pair<uint16_t, uint16_t>{3, 7}));
    std::vector<Row> rows = g.Records();
    EXPECT_EQ(rows[0].U16(io::kSignalRelays), 0xFFFF);  // LXJ untouched
    EXPECT_EQ(rows[0].U16(io::kSignalRelays + 12), 0x0307);
    // A type text that is no type name stores 0xFFFF, and no relay then.
    ASSERT_TRUE(g.Edit(0, 6, "八显"));
    EXPECT_EQ(g.CellColour(0, relayColumn("DJ")), TableGrid::Colour::Black);
    rows = g.Records();
    EXPECT_EQ(rows[0].U16(io::kSignalType), 0xFFFF);
    EXPECT_EQ(rows[0].U16(io::kSignalRelays + 12), 0xFFFF);
}

TEST(TableGrid, StoringKeepsWhatTheGridDoesNotShow) {
    ScriptedInteraction ui;
    std::vector<Row> logic;
    for (uint16_t n = 0; n < 2; ++n) {
        Row r = NewEditorRow(kLogicSectionTable, n);
        r.SetName(n ? u"3DGB" : u"3DGA");
        r.SetU16(io::kLogicDirection, 1);  // from a code table, not shown
        r.SetU16(io::kStation, 4);
        r.SetU16(io::kButton, 0xFFFF);  // logic rows have none
        logic.push_back(r);
    }
    TableGrid g(InputGridDesc(kLogicSectionTable), ui);
    g.Load(logic);
    EXPECT_EQ(g.Records(), logic);  // opened and closed: nothing changes
    g.Append();
    ASSERT_TRUE(g.Edit(2, 0, "3DGC"));
    const std::vector<Row> rows = g.Records();
    EXPECT_EQ(rows[1].U16(io::kLogicDirection), 1);
    EXPECT_EQ(rows[2].U16(io::kLogicDirection), 0);  // a new row's
    EXPECT_EQ(rows[2].U16(io::kButton), 0xFFFF);     // never shown
    EXPECT_TRUE(ui.Messages("warning").empty());
}

TEST(TableGrid, CombinationsShowTheirCountedNames) {
    ScriptedInteraction ui;
    Row entry(MutiSectionDesc().size);
    entry.SetU32(0, 1);
    entry.SetText(20, 16, u"5DG");  // first cell empty, second named
    TableGrid g(CombinationGridDesc(), ui);
    g.Load({entry});
    EXPECT_EQ(g.Cell(0, 0), "");
    EXPECT_EQ(g.Cell(0, 1), "");  // count 1: only the first slot shows
    g.Append();
    EXPECT_FALSE(g.Edit(1, 0, "一二三四五六七八"));
    ASSERT_TRUE(g.Edit(1, 2, "7DG"));
    g.current = 0;
    ASSERT_TRUE(g.Delete());  // no question: the row just goes
    ASSERT_EQ(g.CombinationNames().size(), 1u);
    EXPECT_EQ(g.CombinationNames()[0][2], u"7DG");
}

TEST(TableGrid, StoringIsOneUndoableStep) {
    ScriptedInteraction ui;
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    const IoTables before = doc.io;
    TableGrid g(InputGridDesc(kLingsanTable), ui);
    g.Load(doc.io.Table(kLingsanTable));
    StoreInputTable(doc, kLingsanTable, g.Records());  // unchanged
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(doc.CanUndo());
    g.Append();
    ASSERT_TRUE(g.Edit(g.Rows() - 1, 0, "ZA"));
    StoreInputTable(doc, kLingsanTable, g.Records());
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.io.Table(kLingsanTable).back().Name(), u"ZA");
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.io, before);
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(doc.io.Table(kLingsanTable).back().Name(), u"ZA");
}

}  // namespace
}  // namespace velkor

namespace velkor {
namespace {

// Code-table grids: numbers in decimal, SwitSectCode renumbers on delete and
// insert, SwitchCode keeps its numbers, a number above 65535 keeps its low
// 16 bits and 12a is refused.
TEST(CodeTableGrid, NumberingByTable) {
    ScriptedInteraction ui;
    ui.answers = {true, true};
    TableGrid sect(CodeGridDesc(kSwitSectCode), ui);
    for (int i = 0; i < 3; ++i) sect.Append();
    EXPECT_EQ(Column(sect, 0), (std::vector<std::string>{"0", "1", "2"}));
    EXPECT_EQ(sect.Cell(0, 2), "65535");  // 道岔区段地址号 of a dialog row
    sect.current = 1;
    ASSERT_TRUE(sect.Delete());
    EXPECT_EQ(Column(sect, 0), (std::vector<std::string>{"0", "1"}));
    sect.current = 0;
    ASSERT_TRUE(sect.Insert());
    EXPECT_EQ(Column(sect, 0), (std::vector<std::string>{"0", "1", "2"}));

    std::vector<Row> switches;
    for (uint16_t i = 0; i < 3; ++i) {
        Row r = CodeTables::NewRow(kSwitchCode);
        r.SetU16(0, i);
        switches.push_back(r);
    }
    TableGrid sw(CodeGridDesc(kSwitchCode), ui);
    sw.Load(switches);
    sw.current = 1;
    ASSERT_TRUE(sw.Delete());
    EXPECT_EQ(Column(sw, 0), (std::vector<std::string>{"0", "2"}));
    ASSERT_TRUE(sw.Edit(0, 2, "65538"));
    EXPECT_EQ(sw.Records()[0].U16(18), 2);
    EXPECT_FALSE(sw.Edit(0, 2, "12a"));
    EXPECT_EQ(ui.Messages("warning"), std::vector<std::string>{"输入的十进制数据无效"});
    // ElementCode: an empty row with the number of the row it goes before.
    std::vector<Row> elements;
    for (uint16_t i : {10, 11}) {
        Row e = CodeTables::NewRow(kElementCode);
        e.SetU16(0, i);
        elements.push_back(e);
    }
    TableGrid el(CodeGridDesc(kElementCode), ui);
    el.Load(elements);
    el.current = 1;
    ASSERT_TRUE(el.Insert());
    EXPECT_EQ(Column(el, 0), (std::vector<std::string>{"10", "11", "12"}));
    EXPECT_STREQ(CodeGridDesc(-1).title, "西门子物理区段码位表");
    EXPECT_EQ(CodeGridDesc(-1).columns[0].width, 120);
}

}  // namespace
}  // namespace velkor
