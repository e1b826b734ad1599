#include <gtest/gtest.h>

#include <algorithm>

#include "devices/CADSection.h"
#include "devices/RailSwitch.h"
#include "document/CVelkorDoc.h"
#include "document/Placing.h"
#include "siemens/CodeBuilds.h"
#include "siemens/LogicTables.h"
#include "support/ScriptedInteraction.h"
#include "tables/CodeTables.h"

namespace velkor {
namespace {

using testing::ScriptedInteraction;

class Generation : public ::testing::Test {
protected:
    Generation() { doc.OnNewDocument(); }
    CADSection* Section(const char16_t* io, uint16_t address, const char16_t* logic = u"NO") {
        auto* s = dynamic_cast<CADSection*>(PlaceObject(doc, {0, {100, y}, {300, y}}));
        y += 40;
        s->io.SetName(io);
        s->io.address = address;
        s->logic.SetName(logic);
        return s;
    }
    RailSwitch* Switch(const char16_t* label, const char16_t* section, uint16_t address) {
        auto* w = dynamic_cast<RailSwitch*>(PlaceObject(doc, {1, {600, y}, {600, y}, 0}));
        y += 80;
        w->nameLabel.text = label;
        w->switchSection.SetName(section);
        w->switchSection.address = address;
        return w;
    }
    std::vector<std::u16string> Names() const {
        std::vector<std::u16string> out;
        for (const Row& r : doc.io.Table(kLogicSectionTable)) out.push_back(r.Name());
        return out;
    }
    const Row& LogicRow(size_t i) const { return doc.io.Table(kLogicSectionTable)[i]; }
    int32_t y = 100;
    ScriptedInteraction ui;
    CVelkorDoc doc{ui};
};

TEST(GbkNames, DropLastWholeCharacter) {
    EXPECT_EQ(DropLastGbkCharacter("7DGF"), "7DG");
    EXPECT_EQ(DropLastGbkCharacter(""), "");
    EXPECT_EQ(DropLastGbkCharacter("A\xD5\xBE"), "A");  // both bytes of the last character
}

TEST_F(Generation, RepeatSectionRowsSortedByNameAndNumberedOn) {
    Row last = CodeTables::NewRow(kTrackSectionCode);
    last.SetU16(0, 40);
    doc.codes.Table(kTrackSectionCode).push_back(last);
    Section(u"12GF", 5, u"12GFA");
    Section(u"3GF", 6, u"3GFB");
    Section(u"5DG", 7, u"5DGF");  // F last: not a repeat section
    ui.answers = {true};
    ASSERT_TRUE(GenerateRepeatSectionRows(doc));
    const auto& t = doc.codes.Table(kTrackSectionCode);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[1].Text(2, 16), u"12GF");
    EXPECT_EQ(t[1].U16(0), 41);
    EXPECT_EQ(t[2].Text(2, 16), u"3GF");
    EXPECT_EQ(t[2].U16(0), 42);
    EXPECT_EQ(t[1].U16(18), 207);
    EXPECT_EQ(t[1].Text(22, 16), u"12G");
    EXPECT_EQ(t[1].U16(38), 5);
    EXPECT_EQ(ui.Messages("info"), std::vector<std::string>{"复示区段IO生成完毕！"});

    ui.answers = {false};
    EXPECT_FALSE(GenerateRepeatSectionRows(doc));
    EXPECT_EQ(t.size(), 3u);
}

TEST_F(Generation, RepeatSectionsOnAnEmptyTableStartAtZero) {
    Section(u"7DGF", 9, u"7DGFA");
    ui.answers = {true};
    ASSERT_TRUE(GenerateRepeatSectionRows(doc));
    ASSERT_EQ(doc.codes.Table(kTrackSectionCode).size(), 1u);
    EXPECT_EQ(doc.codes.Table(kTrackSectionCode)[0].U16(0), 0);
    EXPECT_EQ(doc.codes.Table(kTrackSectionCode)[0].Text(22, 16), u"7DG");
}

TEST_F(Generation, SiemensLogicTableFromTheCodeTables) {
    for (uint16_t n : {10, 20, 30}) {
        Row t = CodeTables::NewRow(kTrackSectionCode);
        t.SetU16(0, n);
        t.SetText(2, 16, u"T" + std::u16string(1, char16_t(u'0' + n / 10)));
        t.SetU16(40, 1);
        doc.codes.Table(kTrackSectionCode).push_back(t);
    }
    auto* w = Switch(u"5", u"5DG", 33);
    w->logic[0].SetName(u"5DG-1");
    for (const char16_t* name : {u"5", u"21"}) {  // 21 is no two-way switch
        Row s = CodeTables::NewRow(kSwitchCode);
        s.SetText(2, 16, name);
        doc.codes.Table(kSwitchCode).push_back(s);
    }
    Row x = CodeTables::NewRow(kCrossCode);
    x.SetText(2, 16, u"X1");
    x.SetU16(26, 77);
    doc.codes.Table(kCrossCode).push_back(x);
    doc.io.Append(kLogicSectionTable, IoTables::NewRow(kLogicSectionTable));  // replaced
    ui.answers = {true};
    ASSERT_TRUE(GenerateSiemensLogicTable(doc));
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"T1", u"T2", u"T3", u"5DG-1", u"NO", u"X1"}));
    const std::vector<std::pair<uint16_t, uint16_t>> wordBit = {{0, 0}, {0, 2}, {0, 4},
                                                                {0, 6}, {1, 0}, {1, 2}};
    const std::vector<uint16_t> numbers = {10, 20, 30, 3, 4, 5};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(LogicRow(i).U16(io::kAddress), numbers[i]) << i;
        EXPECT_EQ(LogicRow(i).U16(io::kWord), wordBit[i].first) << i;
        EXPECT_EQ(LogicRow(i).U16(io::kBit), wordBit[i].second) << i;
        EXPECT_EQ(LogicRow(i).U16(io::kButton), 0xFFFF) << i;
    }
    EXPECT_EQ(LogicRow(0).U16(io::kLogicDirection), 1);
    EXPECT_EQ(LogicRow(3).Text(io::kLogicPhysicalName, 16), u"5DG");
    EXPECT_EQ(LogicRow(3).U16(io::kLogicPhysicalAddress), 33);
    EXPECT_EQ(LogicRow(5).U16(io::kLogicPhysicalAddress), 77);
    EXPECT_EQ(ui.Messages("info"), std::vector<std::string>{"逻辑区段表数据生成完毕！"});
}

TEST_F(Generation, SiemensVirtualTableFromSectionsAndSwitchSections) {
    Section(u"1GA", 3);
    Section(u"1GB", 4);
    Section(u"5G", 8);
    Switch(u"w0", u"7DGA", 0xFFFF);
    Switch(u"w1", u"9DGA", 11);
    Switch(u"w2", u"9DGB", 12);
    ui.answers = {true};
    ASSERT_TRUE(GenerateSiemensVirtualLogicTable(doc));
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"1GA", u"1GB", u"5G", u"9DGA", u"9DGB"}));
    EXPECT_EQ(LogicRow(0).Text(io::kLogicPhysicalName, 16), u"1G");
    EXPECT_EQ(LogicRow(2).Text(io::kLogicPhysicalName, 16), u"5");
    EXPECT_EQ(LogicRow(3).U16(io::kAddress), 4);  // n + j with j = 1
    EXPECT_EQ(LogicRow(4).U16(io::kAddress), 5);
    EXPECT_EQ(LogicRow(3).U16(io::kBit), 6);
    EXPECT_EQ(LogicRow(1).U16(io::kLogicPhysicalAddress), 4);
    EXPECT_EQ(ui.Messages("warning"), std::vector<std::string>{"5G名称缺少后缀，请检查!"});
    EXPECT_EQ(ui.Messages("info"), (std::vector<std::string>{"生成西门子虚拟逻辑区段表！",
                                                             "虚拟逻辑区段表数据生成完毕！"}));
}

TEST_F(Generation, SiemensVirtualSuffixTestSeesTheNameTheRowHolds) {
    // A 16-byte name without terminator: the row keeps its first 15 bytes,
    // so "...A" loses its suffix letter there and the message says so.
    CADSection* full = Section(u"", 3);
    const char* bytes = "SECTIONNAME1234A";
    std::copy(bytes, bytes + 16, full->io.name.begin());
    CADSection* cutBefore = Section(u"", 4);
    const char* plain = "SECTIONNAME12345";
    std::copy(plain, plain + 16, cutBefore->io.name.begin());
    ui.answers = {true};
    ASSERT_TRUE(GenerateSiemensVirtualLogicTable(doc));
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"SECTIONNAME1234", u"SECTIONNAME1234"}));
    EXPECT_EQ(ui.Messages("warning"),
              (std::vector<std::string>{"SECTIONNAME1234名称缺少后缀，请检查!",
                                        "SECTIONNAME1234名称缺少后缀，请检查!"}));
}

TEST_F(Generation, HaldeVirtualTableOfDistinctLogicNames) {
    Section(u"3DG", 3, u"3DGB");
    Section(u"1DG", 1, u"1DGA");
    Section(u"1DG", 1, u"1DGA");
    Section(u"2DG", 2, u"2DGFA");
    Section(u"1G", 0xFFFF, u"NO");
    auto* w = Switch(u"1", u"1G", 12);
    w->logic[0].SetName(u"1GA");
    ui.answers = {true};
    ASSERT_TRUE(GenerateHaldeVirtualLogicTable(doc));
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"1DGA", u"1GA", u"3DGB", u"2DGFA"}));
    EXPECT_EQ(LogicRow(0).U16(io::kAddress), 0);
    EXPECT_EQ(LogicRow(0).Text(io::kLogicPhysicalName, 16), u"1DG");
    EXPECT_EQ(LogicRow(0).U16(io::kLogicPhysicalAddress), 1);
    // 1G is a section with 0xFFFF: the switch section's address is taken.
    EXPECT_EQ(LogicRow(1).U16(io::kLogicPhysicalAddress), 12);
    EXPECT_EQ(LogicRow(3).Text(io::kLogicPhysicalName, 16), u"2DGF");

    doc.hasLogicSections = 0;
    doc.logicSectionsPerSwitch = 0;
    ui.answers = {true};
    ASSERT_TRUE(GenerateHaldeVirtualLogicTable(doc));
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"1DGA", u"3DGB", u"2DGFA"}));
    EXPECT_EQ(LogicRow(0).Text(io::kLogicPhysicalName, 16), u"1DGA");
}

// The order is the plain order of the names: names that agree in their
// first eight units and differ after them, a name that is the start of
// another, and units above 0xFF (站 and 区 order by their code).
TEST_F(Generation, HaldeVirtualTableInTheOrderOfTheNames) {
    const std::vector<std::u16string> names = {
        u"SECTION10A", u"SECTION1A", u"SECTION1", u"SECTIONXYZA", u"SECTION0",
        u"站台1A",     u"区间1A",    u"A",        u"SECTION10B",  u"SECTION1AB"};
    for (const std::u16string& name : names) Section(u"X", 1, name.c_str());
    ui.answers = {true};
    ASSERT_TRUE(GenerateHaldeVirtualLogicTable(doc));
    std::vector<std::u16string> sorted = names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(Names(), sorted);
}

TEST(SuffixRule, PhysicalNamesOfTheHaldeTable) {
    EXPECT_EQ(RemoveLogicSuffix(u"4GFF"), u"4GF");
    EXPECT_EQ(RemoveLogicSuffix(u"4GF"), u"4GF");
    EXPECT_EQ(RemoveLogicSuffix(u"4GE"), u"4G");
}

}  // namespace
}  // namespace velkor

namespace velkor {
namespace {

// Every generator and build that changes the tables leaves the station
// unsaved, through the GUI or the command line alike; one that is declined
// leaves it as it was.
TEST(GenerationMarksTheStation, OnlyWhenItRuns) {
    struct Case {
        const char* name;
        bool (*run)(CVelkorDoc&);
    };
    const std::vector<Case> cases = {
        {"repeat sections", &GenerateRepeatSectionRows},
        {"Siemens logic table", &GenerateSiemensLogicTable},
        {"Siemens virtual table", &GenerateSiemensVirtualLogicTable},
        {"Halde virtual table", &GenerateHaldeVirtualLogicTable},
        {"TrackSectionCode",
         [](CVelkorDoc& d) {
             BuildTrackSectionCode(d);
             return true;
         }},
        {"SwitchCode", [](CVelkorDoc& d) { return BuildSwitchCode(d); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedInteraction ui;
        CVelkorDoc doc(ui);
        doc.OnNewDocument();
        ui.answers = {false};
        const bool ran = c.run(doc);
        EXPECT_EQ(doc.IsModified(), ran);
        ui.answers = {true, true};
        ASSERT_TRUE(c.run(doc));
        EXPECT_TRUE(doc.IsModified());
    }
}

}  // namespace
}  // namespace velkor
