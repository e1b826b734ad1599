// Generated numbers live in 16-bit fields. A number past what its field
// holds is refused with the table, row, field and number, and the tables
// stay as they were; nothing is written wrapped round.
#include <gtest/gtest.h>

#include <functional>

#include "devices/CADSection.h"
#include "document/CVelkorDoc.h"
#include "document/Placing.h"
#include "siemens/CodeBuilds.h"
#include "siemens/ElementTable.h"
#include "siemens/LogicTables.h"
#include "support/ScriptedInteraction.h"
#include "tables/CodeTables.h"

namespace velkor {
namespace {

using testing::ScriptedInteraction;

void AddRows(std::vector<Row>& table, size_t n, const std::function<Row(size_t)>& make) {
    table.reserve(table.size() + n);
    for (size_t i = 0; i < n; ++i) table.push_back(make(i));
}

Row TrackRow(size_t number, const char16_t* physical) {
    Row t = CodeTables::NewRow(kTrackSectionCode);
    t.SetU16(0, static_cast<uint16_t>(number));
    t.SetText(22, 16, physical);
    return t;
}

struct LimitCase {
    const char* name;
    // Fills the document up to the limit.
    std::function<void(CVelkorDoc&)> fill;
    // Runs the generator; false when it refused.
    std::function<bool(CVelkorDoc&)> run;
    const char* message;
};

class NumberLimits : public ::testing::TestWithParam<LimitCase> {};

TEST_P(NumberLimits, PastTheFieldIsRefusedAndNothingChanges) {
    const LimitCase& c = GetParam();
    ScriptedInteraction ui;
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    c.fill(doc);
    const IoTables io = doc.io;
    const CodeTables codes = doc.codes;
    ui.answers.assign(4, true);
    EXPECT_FALSE(c.run(doc));
    const auto warnings = ui.Messages("warning");
    ASSERT_FALSE(warnings.empty());
    EXPECT_EQ(warnings.back(), c.message);
    EXPECT_TRUE(doc.io == io);
    EXPECT_TRUE(doc.codes == codes);
}

INSTANTIATE_TEST_SUITE_P(
    Generators, NumberLimits,
    ::testing::Values(
        // 生成复示逻辑区段IO numbers on from the last row: 65,535 is the last.
        LimitCase{"RepeatSections",
                  [](CVelkorDoc& doc) {
                      doc.codes.Table(kTrackSectionCode).push_back(TrackRow(65534, u"P"));
                      for (int i = 0; i < 2; ++i) {
                          auto* s = dynamic_cast<CADSection*>(
                              PlaceObject(doc, {0, {100, 100 + 40 * i}, {300, 100 + 40 * i}}));
                          s->io.SetName(i ? u"3GF" : u"5GF");
                          s->logic.SetName(i ? u"3GFA" : u"5GFA");
                      }
                  },
                  GenerateRepeatSectionRows,
                  "TrackSectionCode 第 3 行的逻辑区段编号将是 65536，超出该字段能存的范围（最大 "
                  "65535），已取消，表未改变。"},
        // 生成逻辑区段表: the switch and crossing rows are numbered after the
        // track sections; 0xFFFF would read as an unset address.
        LimitCase{"SiemensLogicTable",
                  [](CVelkorDoc& doc) {
                      AddRows(doc.codes.Table(kTrackSectionCode), 65533,
                              [](size_t i) { return TrackRow(i, u"P"); });
                      AddRows(doc.codes.Table(kSwitchCode), 3,
                              [](size_t) { return CodeTables::NewRow(kSwitchCode); });
                  },
                  GenerateSiemensLogicTable,
                  "LogicSection 第 65536 行的地址号将是 65535，超出该字段能存的范围（最大 "
                  "65534），已取消，表未改变。"},
        // 创建码位表 PhysicalSectionCode: a run's 终止编号 counts on.
        LimitCase{"PhysicalSectionCode",
                  [](CVelkorDoc& doc) {
                      doc.codes.Table(kTrackSectionCode).push_back(TrackRow(65535, u"P"));
                      doc.codes.Table(kTrackSectionCode).push_back(TrackRow(3, u"P"));
                  },
                  [](CVelkorDoc& doc) { return BuildPhysicalSectionCode(doc).has_value(); },
                  "PhysicalSectionCode 第 1 行的终止编号将是 65536，超出该字段能存的范围（最大 "
                  "65535），已取消，表未改变。"},
        // 创建码位表 SwitchCode: a row per switch row, numbered from 0.
        LimitCase{"SwitchCode",
                  [](CVelkorDoc& doc) {
                      AddRows(doc.io.Table(kSwitchTable), 65537,
                              [](size_t) { return IoTables::NewRow(kSwitchTable); });
                  },
                  BuildSwitchCode,
                  "SwitchCode 第 65537 行的Switch编号将是 65536，超出该字段能存的范围（最大 "
                  "65535），已取消，表未改变。"},
        // The element import numbers the track elements (kind 207) on.
        LimitCase{"ElementImport", [](CVelkorDoc&) {},
                  [](CVelkorDoc& doc) {
                      std::vector<Row> read;
                      AddRows(read, 65536, [](size_t) {
                          Row e = CodeTables::NewRow(kElementCode);
                          e.SetU16(82, 207);
                          return e;
                      });
                      return ImportElements(doc, read, false);
                  },
                  "ElementCode 第 65536 行的IxL地址号将是 65535，超出该字段能存的范围（最大 "
                  "65534），已取消，表未改变。"}),
    [](const auto& info) { return std::string(info.param.name); });

// Up to the limit the numbers are all there; the bit rule's word numbers go
// on rising past 32,768 rows instead of starting again at 0.
TEST(NumberLimitsReached, LogicTableOfManyRowsKeepsCounting) {
    ScriptedInteraction ui;
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    AddRows(doc.codes.Table(kTrackSectionCode), 40000, [](size_t i) { return TrackRow(i, u"P"); });
    ui.answers = {true};
    ASSERT_TRUE(GenerateSiemensLogicTable(doc));
    const auto& logic = doc.io.Table(kLogicSectionTable);
    ASSERT_EQ(logic.size(), 40000u);
    EXPECT_EQ(logic[32767].U16(io::kWord), 8191);
    EXPECT_EQ(logic[32768].U16(io::kWord), 8192);
    EXPECT_EQ(logic[39999].U16(io::kWord), 9999);
    EXPECT_EQ(logic[39999].U16(io::kBit), 6);
}

}  // namespace
}  // namespace velkor
