#include <gtest/gtest.h>

#include "devices/RailSwitch.h"
#include "document/CVelkorDoc.h"
#include "document/Placing.h"
#include "siemens/CodeBuilds.h"
#include "support/ScriptedInteraction.h"
#include "tables/CodeTables.h"

namespace velkor {
namespace {

using testing::ScriptedInteraction;

class Builds : public ::testing::Test {
protected:
    Builds() { doc.OnNewDocument(); }
    void Track(const char16_t* physical, uint16_t number, uint16_t address) {
        Row t = CodeTables::NewRow(kTrackSectionCode);
        t.SetU16(0, number);
        t.SetText(22, 16, physical);
        t.SetU16(38, address);
        doc.codes.Table(kTrackSectionCode).push_back(t);
    }
    void Element(const char16_t* name, uint16_t kind, uint16_t address) {
        Row e = CodeTables::NewRow(kElementCode);
        e.SetText(2, 64, name);
        e.SetU16(82, kind);
        e.SetU16(96, address);
        doc.codes.Table(kElementCode).push_back(e);
    }
    ScriptedInteraction ui;
    CVelkorDoc doc{ui};
};

TEST_F(Builds, PhysicalSectionsAreRunsOfOnePhysicalName) {
    Track(u"P1", 5, 100);
    Track(u"P1", 6, 101);
    Track(u"P2", 7, 200);
    Track(u"P1", 8, 102);
    const auto rows = *BuildPhysicalSectionCode(doc);
    ASSERT_EQ(rows.size(), 3u);
    const std::vector<std::tuple<std::u16string, uint16_t, uint16_t, uint16_t>> expected = {
        {u"P1", 100, 5, 6}, {u"P2", 200, 7, 7}, {u"P1", 102, 8, 8}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(rows[i].Text(0, 16), std::get<0>(expected[i]));
        EXPECT_EQ(rows[i].U16(16), std::get<1>(expected[i]));
        EXPECT_EQ(rows[i].U16(18), std::get<2>(expected[i]));
        EXPECT_EQ(rows[i].U16(20), std::get<3>(expected[i]));
    }
}

TEST_F(Builds, PhysicalSectionsOfAnEmptyOrUnnamedTable) {
    auto rows = *BuildPhysicalSectionCode(doc);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Text(0, 16), u"");
    EXPECT_EQ(rows[0].U16(20), 0);
    // Rows without a physical name count on the initial, empty row.
    Track(u"", 3, 9);
    Track(u"", 4, 9);
    rows = *BuildPhysicalSectionCode(doc);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].U16(20), 2);
}

TEST_F(Builds, TrackSectionsAndCrossingsFromTheElements) {
    Row section = IoTables::NewRow(kSectionTable);
    section.SetName(u"1DG");
    AssignAddresses(kSectionTable, section, 4);
    doc.io.Append(kSectionTable, section);
    Element(u"1DGA", 207, 12);
    Element(u"X7", 203, 30);
    Element(u"2DGA", 207, 13);
    Element(u"S1", 100, 40);
    BuildTrackSectionCode(doc);
    const auto& t = doc.codes.Table(kTrackSectionCode);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].U16(0), 12);
    EXPECT_EQ(t[0].Text(2, 16), u"1DGA");
    EXPECT_EQ(t[0].U16(18), 207);
    EXPECT_EQ(t[0].Text(22, 16), u"1DG");
    EXPECT_EQ(t[0].U16(38), 4);
    EXPECT_EQ(t[1].U16(38), 0xFFFF);
    BuildCrossCode(doc);
    const auto& x = doc.codes.Table(kCrossCode);
    ASSERT_EQ(x.size(), 1u);
    EXPECT_EQ(x[0].U16(0), 30);
    EXPECT_EQ(x[0].Text(2, 16), u"X7");
    EXPECT_EQ(x[0].U16(26), 0xFFFF);
}

TEST_F(Builds, SwitchCodeNumbersInTableOrderWithTheLastSwitchsVariant) {
    for (const char16_t* name : {u"7", u"1-3", u"5"}) {
        Row r = IoTables::NewRow(kSwitchTable);
        r.SetName(name);
        doc.io.Append(kSwitchTable, r);
    }
    auto* a = dynamic_cast<RailSwitch*>(PlaceObject(doc, {2, {100, 100}, {0, 0}, 0}));
    a->io.SetName(u"5");
    auto* b = dynamic_cast<RailSwitch*>(PlaceObject(doc, {8, {300, 100}, {0, 0}, 0}));
    b->io.SetName(u"5");
    auto* c = dynamic_cast<RailSwitch*>(PlaceObject(doc, {1, {500, 100}, {0, 0}, 0}));
    c->io.SetName(u"1");
    BuildSwitchCode(doc);
    const auto& s = doc.codes.Table(kSwitchCode);
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[2].U16(0), 2);
    EXPECT_EQ(s[0].U16(18), 0xFFFF);  // no switch named 7
    EXPECT_EQ(s[1].U16(18), 0xFFFF);  // 1-3 matches no switch exactly
    EXPECT_EQ(s[2].U16(18), 3);       // variant 7 of the last switch named 5, modulo 4
}

}  // namespace
}  // namespace velkor
