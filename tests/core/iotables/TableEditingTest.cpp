#include <gtest/gtest.h>

#include "devices/CADSignal.h"
#include "devices/CADThreeSwitch.h"
#include "devices/Composites.h"
#include "devices/RailSwitch.h"
#include "iotables/TableEditing.h"
#include "support/ScriptedInteraction.h"

namespace velkor {
namespace {

using testing::ScriptedInteraction;

TEST(TableEditing, NumberChecks) {
    EXPECT_EQ(ParseDecimalField("12"), 12);
    EXPECT_EQ(ParseDecimalField(""), 0);
    EXPECT_EQ(ParseDecimalField("12x"), std::nullopt);
    EXPECT_EQ(ParseDecimalField("70000"), static_cast<uint16_t>(70000));
    EXPECT_EQ(ParseHexField("1A"), 0x001A);
    EXPECT_EQ(ParseHexField("0x1a"), 0x001A);
    EXPECT_EQ(ParseHexField("0X0012"), 0x0012);
    EXPECT_EQ(ParseHexField("12"), 0x0012);
    EXPECT_EQ(ParseHexField(""), 0);
    EXPECT_EQ(ParseHexField("12G"), std::nullopt);
    EXPECT_EQ(SignalTypeFromName(u"七显"), 15);
    EXPECT_EQ(SignalTypeFromName(u"八显"), 0xFFFF);
}

IoTables Tables() {
    IoTables t;
    Row signal = IoTables::NewRow(kSignalTable);
    signal.SetName(u"X1");
    AssignAddresses(kSignalTable, signal, 5);
    t.Append(kSignalTable, signal);
    Row sw = IoTables::NewRow(kSwitchTable);
    sw.SetName(u"5");
    AssignAddresses(kSwitchTable, sw, 2);
    sw.SetU16(io::kSwitchDBJ, 0x0203);
    t.Append(kSwitchTable, sw);
    for (const char16_t* name : {u"FMG_1", u"FMG-2", u"FMG_3", u"FMGX"}) {
        Row misc = IoTables::NewRow(kLingsanTable);
        misc.SetName(name);
        AssignAddresses(kLingsanTable, misc, static_cast<uint16_t>(t.Table(kLingsanTable).size()));
        t.Append(kLingsanTable, misc);
    }
    Row station = IoTables::NewRow(kStationTable);
    station.SetText(io::kStationName, io::kStationNameBytes, u"东站");
    station.SetU16(io::kStation, 12);
    t.Append(kStationTable, station);
    Row section = IoTables::NewRow(kSectionTable);
    section.SetName(u"3DG");
    AssignAddresses(kSectionTable, section, 7);
    section.SetU16(io::kSectionGJ, 0x0101);
    t.Append(kSectionTable, section);
    return t;
}

TEST(NameMatching, IoRecordsAndSecondButtons) {
    const IoTables t = Tables();
    ScriptedInteraction ui;
    CADSignal signal(9);
    signal.usageKind = 2;
    EXPECT_TRUE(MatchIoRecord(t, u"X1", signal.io, ui, &signal));
    EXPECT_EQ(signal.io.address, 5);
    EXPECT_EQ(signal.button2, 0x8510);  // 0x0510 with the top bit

    IORecord rec;
    rec.address = 3;
    EXPECT_FALSE(MatchIoRecord(t, u"X9", rec, ui));
    EXPECT_EQ(rec.address, 0xFFFF);
    EXPECT_FALSE(MatchNamedRecord(t, u"X9", rec, ui));
    EXPECT_EQ(ui.Messages("warning"), (std::vector<std::string>{"IO表中没有名称匹配的设备",
                                                                "IO表中没有名称 X9 匹配的设备"}));
}

TEST(NameMatching, SwitchLogicSections) {
    IoTables t = Tables();
    for (const char16_t* name : {u"21", u"21_A", u"21_B", u"7DG", u"7DG-1"}) {
        Row r = IoTables::NewRow(kSectionTable);
        r.SetName(name);
        AssignAddresses(kSectionTable, r, static_cast<uint16_t>(t.Table(kSectionTable).size()));
        t.Append(kSectionTable, r);
    }
    ScriptedInteraction ui;
    CADThreeSwitch three(30);
    EXPECT_TRUE(MatchThreeWayLogicSections(t, u"21", three, 2, ui));
    EXPECT_EQ(three.logic[1].Name(), u"21_B");
    EXPECT_EQ(three.logic[1].address, 3);
    EXPECT_FALSE(MatchThreeWayLogicSections(t, u"21", three, 3, ui));  // no 21_C
    EXPECT_EQ(ui.Messages("warning"), std::vector<std::string>{"IO表中没有名称 21_C 匹配的设备"});

    RailSwitch two(1);
    two.logic[0].SetName(u"7DG-1");
    EXPECT_TRUE(MatchTwoWaySwitchRecords(t, u"7DG", two, 1, ui));
    EXPECT_EQ(two.switchSection.Name(), u"7DG");
    EXPECT_EQ(two.switchSection.address, 4);
    EXPECT_EQ(two.logic[0].address, 5);
}

TEST(NameMatching, PairedMiscellaneousRowsAndStations) {
    const IoTables t = Tables();
    ScriptedInteraction ui;
    IORecord a, b;
    EXPECT_TRUE(MatchPairedLingsan(t, u"FMG", a, b, ui));
    EXPECT_EQ(a.Name(), u"FMG_1");
    EXPECT_EQ(b.Name(), u"FMG-2");
    EXPECT_EQ(b.address, 1);
    EXPECT_FALSE(MatchPairedLingsan(t, u"FMGX", a, b, ui));  // one row only
    EXPECT_EQ(a.Name(), u"");
    EXPECT_EQ(b.address, 0xFFFF);
    EXPECT_EQ(MatchStation(t, u"东站"), 12);
    EXPECT_EQ(MatchStation(t, u"西站"), 0xFFFF);
}

TEST(NameMatching, StationBoxesAndButtons) {
    const IoTables t = Tables();
    ScriptedInteraction ui;
    CADStation box;
    EXPECT_TRUE(LookUpStationBox(t, u"东站", box, ui));
    EXPECT_EQ(box.name, u"东站");
    EXPECT_EQ(box.stationRow, 1);
    EXPECT_EQ(box.id, 12);
    EXPECT_FALSE(LookUpStationBox(t, u"西站", box, ui));
    EXPECT_EQ(box.name, u"东站");

    IORecord button;
    EXPECT_TRUE(LookUpButtonName(t, u"X1", button, ui));  // an input-table row first
    EXPECT_EQ(button.address, 5);
    EXPECT_TRUE(LookUpButtonName(t, u"闭塞", button, ui));
    EXPECT_EQ(button.Name(), u"闭塞");
    EXPECT_EQ(button.button, 0x0E43);
    EXPECT_EQ(button.address, 0xFFFF);
    EXPECT_FALSE(LookUpButtonName(t, u"XYZ", button, ui));
    EXPECT_EQ(button.Name(), u"闭塞");
    EXPECT_EQ(ui.Messages("warning"), (std::vector<std::string>{"车站信息表中没有名称匹配的车站",
                                                                "按钮名称不匹配，请检查按钮名"}));
}

TEST(SectionCombinations, ConfirmRebuildsEveryEntry) {
    IoTables t = Tables();
    ScriptedInteraction ui;
    const std::vector<std::array<std::u16string, 3>> grid = {
        {u"3DG", u"5", u""}, {u"", u"", u""}, {u"", u"3DG", u""}};
    ASSERT_TRUE(ConfirmSectionCombinations(t, grid, ui));
    ASSERT_EQ(t.combinations.size(), 3u);
    const Row& first = t.combinations[0];
    EXPECT_EQ(first.U32(0), 2u);
    EXPECT_EQ(first.Text(4, 16), u"3DG");
    EXPECT_EQ(first.Text(20, 16), u"5");
    EXPECT_EQ(first.U16(52), 7);
    EXPECT_EQ(first.U16(58), 0x0101);
    EXPECT_EQ(first.U16(54), 2);       // the switch row's number
    EXPECT_EQ(first.U16(60), 0x0203);  // and its DBJ as GJ
    EXPECT_EQ(first.Text(36, 16), u"");
    EXPECT_EQ(t.combinations[1].U32(0), 0u);
    EXPECT_EQ(t.combinations[2].U32(0), 1u);
    EXPECT_EQ(t.combinations[2].Text(4, 16), u"");
    EXPECT_EQ(t.combinations[2].Text(20, 16), u"3DG");

    const std::vector<std::array<std::u16string, 3>> bad = {{u"3DG", u"", u""}, {u"9DG", u"", u""}};
    size_t failed = 99;
    EXPECT_FALSE(ConfirmSectionCombinations(t, bad, ui, &failed));
    // The list is left as it was, and the failing row is named.
    EXPECT_EQ(t.combinations.size(), 3u);
    EXPECT_EQ(failed, 1u);
    EXPECT_EQ(ui.Messages("warning"),
              std::vector<std::string>{"输入表中没有找到对应的设备，请确认区段输入表中数据！"});
    EXPECT_TRUE(ConfirmSectionCombinations(t, {}, ui));
    EXPECT_TRUE(t.combinations.empty());
}

}  // namespace
}  // namespace velkor
