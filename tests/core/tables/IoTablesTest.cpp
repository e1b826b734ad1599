#include <gtest/gtest.h>

#include "document/CVelkorDoc.h"
#include "support/ScriptedInteraction.h"
#include "support/TestFiles.h"
#include "tables/IoTables.h"
#include "tables/TableFiles.h"

namespace velkor {
namespace {

using testing::Hex;
using testing::ReadBytes;
using testing::ScriptedInteraction;
using testing::TempDir;
using testing::WriteBytes;

Row SectionRow() {
    Row r = IoTables::NewRow(kSectionTable);
    r.SetName(u"1DG");
    r.SetU16(io::kAddress, 5);
    r.SetU16(io::kButton, 0x0530);
    r.SetU16(io::kWord, 0);
    r.SetU16(io::kBit, 10);
    r.SetU16(io::kSectionGJ, 0x0102);
    r.SetU16(io::kSectionFWZTJ, 0xFFFF);
    return r;
}

TEST(IoFiles, SectionRecordInBothByteOrders) {
    const std::vector<Row> rows{SectionRow()};
    const auto le = EncodeTableFile(InputRecordDesc(kSectionTable), rows, false);
    const auto be = EncodeTableFile(InputRecordDesc(kSectionTable), rows, true);
    ASSERT_EQ(le.size(), 4u + 30);
    EXPECT_EQ(Hex(le, 0, 4), "01 00 00 00");
    EXPECT_EQ(Hex(le, 4, 4), "31 44 47 00");
    EXPECT_EQ(Hex(le, 20, 14), "05 00 30 05 00 00 0A 00 00 00 02 01 FF FF");
    EXPECT_EQ(Hex(be, 0, 4), "00 00 00 01");
    EXPECT_EQ(Hex(be, 4, 16), Hex(le, 4, 16));  // text unchanged
    EXPECT_EQ(Hex(be, 20, 14), "00 05 05 30 00 00 00 0A 00 00 01 02 FF FF");
}

TEST(IoFiles, StationBigEndianKeepsItsAddressLittleEndian) {
    Row r = IoTables::NewRow(kStationTable);
    r.SetU16(io::kAddress, 1);
    r.SetU16(io::kStation, 0x0102);
    const auto be = EncodeTableFile(InputRecordDesc(kStationTable), {r}, true);
    EXPECT_EQ(Hex(be, 4 + 16, 2), "01 00");
    EXPECT_EQ(Hex(be, 4 + 24, 2), "01 02");
    EXPECT_EQ(Hex(be, 4 + 18, 2), "FF FF");
    EXPECT_EQ(r.Text(io::kStationName, io::kStationNameBytes), u"NO");
}

TEST(IoTables, NumberingRule) {
    Row section = IoTables::NewRow(kSectionTable);
    AssignAddresses(kSectionTable, section, 37);
    EXPECT_EQ(section.U16(io::kAddress), 37);
    EXPECT_EQ(section.U16(io::kButton), 0x0532);
    EXPECT_EQ(section.U16(io::kWord), 0x0004);
    EXPECT_EQ(section.U16(io::kBit), 0x000A);
    Row signal = IoTables::NewRow(kSignalTable);
    AssignAddresses(kSignalTable, signal, 37);
    EXPECT_EQ(signal.U16(io::kButton), 0x0512);
    EXPECT_EQ(signal.U16(io::kSignalButton2), 0x8512);
    EXPECT_EQ(signal.U16(io::kWord), 37);
    EXPECT_EQ(signal.U16(io::kBit), 0);
    const std::pair<int, uint16_t> bases[] = {{kSwitchTable, 0x23},
                                              {kLogicSectionTable, 0x80},
                                              {kLingsanTable, 0x50},
                                              {kStationTable, 0x60}};
    for (const auto& [table, base] : bases) {
        Row r = IoTables::NewRow(table);
        AssignAddresses(table, r, 17);
        EXPECT_EQ(r.U16(io::kButton), 0x0101 + base) << table;
    }
    // Shown as the grids show it.
    const RecordDesc& d = InputRecordDesc(kSectionTable);
    EXPECT_EQ(d.Show(*d.Field("按钮号"), section.Bytes()), "0X0532");
    EXPECT_EQ(d.Show(*d.Field("地址号"), section.Bytes()), "37");
}

TEST(IoTables, RelationsFollowTheFirstOccurrence) {
    IoTables t;
    const auto logic = [&](uint16_t address, uint16_t phys) {
        Row r = IoTables::NewRow(kLogicSectionTable);
        r.SetU16(io::kAddress, address);
        r.SetU16(io::kLogicPhysicalAddress, phys);
        t.Append(kLogicSectionTable, std::move(r));
    };
    logic(1, 7);
    logic(2, 9);
    logic(3, 7);
    logic(4, 0xFFFF);
    logic(5, 0xFFFF);
    RebuildRelations(t);
    ASSERT_EQ(t.relations.size(), 3u);
    EXPECT_EQ(Hex({t.relations[0].Bytes().begin(), t.relations[0].Bytes().end()}, 0, 8),
              "07 00 02 00 01 00 03 00");
    EXPECT_EQ(t.relations[1].U16(0), 9);
    EXPECT_EQ(t.relations[1].U16(2), 1);
    EXPECT_EQ(t.relations[1].U16(4), 2);
    // Two rows with 0xFFFF give one relation with the first row alone.
    EXPECT_EQ(t.relations[2].U16(0), 0xFFFF);
    EXPECT_EQ(t.relations[2].U16(2), 1);
    EXPECT_EQ(t.relations[2].U16(4), 4);
}

TEST(IoTables, FindByNameAcrossTablesAndSwitchPairs) {
    IoTables t;
    Row sw = IoTables::NewRow(kSwitchTable);
    sw.SetName(u"1-3");
    t.Append(kSwitchTable, sw);
    Row section = IoTables::NewRow(kSectionTable);
    section.SetName(u"3");
    t.Append(kSectionTable, section);
    Row station = IoTables::NewRow(kStationTable);
    station.SetText(io::kStationName, io::kStationNameBytes, u"东站");
    t.Append(kStationTable, station);
    ASSERT_NE(t.FindByName(u"1"), nullptr);
    EXPECT_EQ(t.TableOf(t.FindByName(u"1")), kSwitchTable);
    EXPECT_EQ(t.TableOf(t.FindByName(u"3")), kSectionTable);  // the section table comes first
    EXPECT_EQ(t.FindByName(u"1-"), nullptr);
    EXPECT_EQ(t.FindByName(u"东站"), nullptr);  // station rows go by their header name
    EXPECT_EQ(t.TableOf(t.FindByName(u"NO")), kStationTable);
}

TEST(IoTables, LingsanButtonRaise) {
    EXPECT_EQ(RaiseLingsanButton(0x0342), 0x0352);
    EXPECT_EQ(RaiseLingsanButton(0x034F), 0x035F);
    EXPECT_EQ(RaiseLingsanButton(0x0352), 0x0352);
    EXPECT_EQ(RaiseLingsanButton(0x0362), 0x0362);
}

class TableFiles : public ::testing::Test {
protected:
    TempDir dir;
    ScriptedInteraction ui;
    std::filesystem::path Station() const { return dir / "s.lcp"; }
};

TEST_F(TableFiles, SaveWritesEveryFileAndOpenReadsThemBack) {
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    doc.io.Append(kSectionTable, SectionRow());
    Row misc = IoTables::NewRow(kLingsanTable);
    misc.SetU16(io::kButton, 0x0342);
    doc.io.Append(kLingsanTable, misc);
    ASSERT_TRUE(doc.OnSaveDocument(Station()));
    EXPECT_EQ(doc.io.Table(kLingsanTable)[0].U16(io::kButton), 0x0352);
    for (const char* f :
         {"x86/Section.le", "x86/Switch.le", "x86/Signal.le", "x86/LogicSection.le",
          "x86/LingSan.le", "x86/station.le", "ppc/Section.be", "ppc/Switch.be", "ppc/Signal.be",
          "ppc/LogicSection.be", "ppc/LingSan.be", "ppc/Station.be", "x86/MutiSection.le",
          "ppc/MutiSection.be", "x86/Relation.le", "ppc/relation.be"}) {
        EXPECT_TRUE(std::filesystem::exists(dir / f)) << f;
    }
    EXPECT_EQ(ReadBytes(dir / "x86/Switch.le"), (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(ReadBytes(dir / "ppc/Switch.be"), (std::vector<uint8_t>{0, 0, 0, 0}));

    CVelkorDoc again(ui);
    ASSERT_TRUE(again.OnOpenDocument(Station()));
    ASSERT_EQ(again.io.Table(kSectionTable).size(), 1u);
    EXPECT_EQ(again.io.Table(kSectionTable)[0], SectionRow());
    EXPECT_EQ(again.io.Table(kLingsanTable)[0].U16(io::kButton), 0x0352);
    EXPECT_TRUE(ui.Messages("warning").empty());
}

TEST_F(TableFiles, WithoutLogicSectionsThreeFilesAreNotWritten) {
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    doc.hasLogicSections = 0;
    ASSERT_TRUE(doc.OnSaveDocument(Station()));
    EXPECT_FALSE(std::filesystem::exists(dir / "x86/LogicSection.le"));
    EXPECT_FALSE(std::filesystem::exists(dir / "ppc/LogicSection.be"));
    EXPECT_FALSE(std::filesystem::exists(dir / "x86/Relation.le"));
    EXPECT_TRUE(std::filesystem::exists(dir / "x86/station.le"));
    EXPECT_TRUE(std::filesystem::exists(dir / "ppc/Station.be"));
}

TEST_F(TableFiles, MissingAndDamagedFilesAreReportedAndNeverOverread) {
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    doc.io.Append(kSectionTable, SectionRow());
    doc.io.Append(kSectionTable, SectionRow());
    ASSERT_TRUE(doc.OnSaveDocument(Station()));
    std::filesystem::remove(dir / "x86/Signal.le");
    // A count of 1000 over two records, and a negative count.
    auto sections = ReadBytes(dir / "x86/Section.le");
    sections[0] = 0xE8;
    sections[1] = 0x03;
    WriteBytes(dir / "x86/Section.le", sections);
    WriteBytes(dir / "x86/Switch.le", {0xFF, 0xFF, 0xFF, 0xFF});
    ui.log.clear();
    CVelkorDoc again(ui);
    ASSERT_TRUE(again.OnOpenDocument(Station()));
    EXPECT_EQ(again.io.Table(kSectionTable).size(), 2u);
    EXPECT_TRUE(again.io.Table(kSwitchTable).empty());
    EXPECT_TRUE(again.io.Table(kSignalTable).empty());
    // Each names the file and what is wrong with it.
    EXPECT_EQ(ui.Messages("warning"),
              (std::vector<std::string>{
                  "读取驱采数据失败，无法打开文件：x86/Section.le（记录数为 1000，文件只有 2 "
                  "条完整记录）",
                  "读取驱采数据失败，无法打开文件：x86/Switch.le（记录数为负（-1））",
                  "读取驱采数据失败，无法打开文件：x86/Signal.le（文件不存在）"}));
}

TEST_F(TableFiles, MissingRelationIsReportedOnOpen) {
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    ASSERT_TRUE(doc.OnSaveDocument(Station()));
    std::filesystem::remove(dir / "x86/Relation.le");
    ui.log.clear();
    CVelkorDoc again(ui);
    ASSERT_TRUE(again.OnOpenDocument(Station()));
    EXPECT_EQ(ui.Messages("warning"),
              std::vector<std::string>{
                  "读取逻辑地址和物理地址关系表失败，无法打开文件：x86/Relation.le（文件不存在）"});
}

}  // namespace
}  // namespace velkor
