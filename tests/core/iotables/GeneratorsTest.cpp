#include <gtest/gtest.h>

#include "devices/CADSection.h"
#include "devices/CADSignal.h"
#include "devices/PanelObjects.h"
#include "devices/RailSwitch.h"
#include "document/CVelkorDoc.h"
#include "document/Placing.h"
#include "iotables/Generators.h"
#include "support/ScriptedInteraction.h"

#include <functional>

namespace velkor {
namespace {

using testing::ScriptedInteraction;

Row Named(int table, const char16_t* name, uint16_t n) {
    Row r = IoTables::NewRow(table);
    r.SetName(name);
    AssignAddresses(table, r, n);
    return r;
}

class Transfer : public ::testing::Test {
protected:
    Transfer() { doc.OnNewDocument(); }
    // Yes to the question, then the six boxes.
    void Run(std::vector<bool> boxes) {
        ui.answers = {true};
        ui.options = {boxes};
        ui.log.clear();
        ASSERT_TRUE(TransferInputTables(doc));
    }
    template <typename T>
    T* Place(int code, Point a, Point b = {0, 0}, int choice = 0) {
        return dynamic_cast<T*>(
            PlaceObject(doc, {code, a, b.x ? b : Point{a.x + 100, a.y}, choice}));
    }
    ScriptedInteraction ui;
    CVelkorDoc doc{ui};
};

const std::vector<bool> kAll{true, true, true, true, true, true};

TEST_F(Transfer, DevicesTakeTheirRowsNumbersOrAreReported) {
    doc.io.Append(kSectionTable, Named(kSectionTable, u"1DG", 3));
    doc.io.Append(kLogicSectionTable, Named(kLogicSectionTable, u"1DG-1", 9));
    auto* s = Place<CADSection>(0, {100, 100});
    s->io.SetName(u"1DG");
    s->logic.SetName(u"1DG-1");
    auto* lost = Place<CADSection>(0, {100, 300});
    lost->io.SetName(u"9DG");
    lost->nameLabel.text = u"";  // a shown name that differs: the IO name is told
    lost->logic.address = 5;
    auto* skipped = Place<CADSection>(0, {100, 500});  // IO name "NO"
    skipped->io.address = 77;
    Run(kAll);
    EXPECT_EQ(s->io.address, 3);
    EXPECT_EQ(s->io.button, 0x0330);
    EXPECT_EQ(s->logic.address, 9);
    EXPECT_EQ(lost->io.Name(), u"9DG");
    EXPECT_EQ(lost->io.address, 0xFFFF);
    EXPECT_EQ(lost->logic.address, 0xFFFF);
    EXPECT_EQ(skipped->io.address, 77);
    EXPECT_EQ(ui.Messages("warning"), std::vector<std::string>{"输入表中无此设备：9DG"});
    EXPECT_EQ(ui.Messages("info"), std::vector<std::string>{"输入表数据生成完毕!"});
}

TEST_F(Transfer, NothingTickedStillRaisesLampButtons) {
    auto* lamp = Place<CADDeLight>(21, {10, 10});
    lamp->io.button = 0x0243;
    doc.io.Append(kSectionTable, Named(kSectionTable, u"L1", 1));
    lamp->io.SetName(u"L1");
    Run(std::vector<bool>(6, false));
    EXPECT_EQ(lamp->io.button, 0x0253);
    EXPECT_EQ(lamp->io.address, 0xFFFF);
    EXPECT_EQ(ui.Messages("info"), std::vector<std::string>{"输入表数据生成完毕!"});
}

TEST_F(Transfer, SwitchPairsSectionsAndLogicSections) {
    doc.logicSectionsPerSwitch = 1;
    doc.io.Append(kSwitchTable, Named(kSwitchTable, u"1-3", 4));
    doc.io.Append(kSectionTable, Named(kSectionTable, u"7DG", 6));
    doc.io.Append(kLogicSectionTable, Named(kLogicSectionTable, u"7DG-1", 11));
    auto* sw = Place<RailSwitch>(1, {300, 200});
    sw->io.SetName(u"3");
    sw->switchSection.SetName(u"7DGA");
    sw->logic[0].SetName(u"7DG-1");
    sw->logic[1].SetName(u"7DG-2");
    sw->logic[1].address = 42;
    Run(kAll);
    EXPECT_EQ(sw->io.address, 4);
    EXPECT_EQ(sw->switchSection.address, 6);  // looked up as 7DG
    EXPECT_EQ(sw->logic[0].address, 11);
    EXPECT_EQ(sw->logic[1].address, 42);  // only the first is looked up
    EXPECT_TRUE(ui.Messages("warning").empty());

    sw->switchSection.SetName(u"8DG");
    Run(kAll);
    EXPECT_EQ(ui.Messages("warning"),
              std::vector<std::string>{"输入表中没有找到道岔区段：8DG，所属道岔：NO"});
    EXPECT_EQ(sw->switchSection.Name(), u"NO");
    EXPECT_EQ(sw->logic[0].Name(), u"NO");
}

TEST_F(Transfer, SignalSecondButtonComesFromASignalRowOnly) {
    Row row = Named(kSignalTable, u"X3", 7);
    doc.io.Append(kSignalTable, row);
    auto* g = Place<CADSignal>(9, {500, 300});
    g->io.SetName(u"X3");
    g->ChangeUsageKind(2);
    Run(kAll);
    EXPECT_EQ(g->button2, row.U16(io::kSignalButton2));
}

TEST_F(Transfer, StoppedByNoOrCancel) {
    ui.answers = {false};
    EXPECT_FALSE(TransferInputTables(doc));
    ui.answers = {true};
    ui.options = {std::nullopt};
    EXPECT_FALSE(TransferInputTables(doc));
    EXPECT_EQ(ui.Messages("warning"), std::vector<std::string>{"请先设置输入板属性！"});
}

class Validate : public ::testing::Test {
public:
    Validate() { doc.OnNewDocument(); }
    std::vector<std::string> Run() {
        ui.log.clear();
        ValidateInputTables(doc);
        std::vector<std::string> out;
        for (const auto& e : ui.log) out.push_back(e.text);
        return out;
    }
    void Add(int table, const char16_t* name, uint16_t n) {
        doc.io.Append(table, Named(table, name, n));
    }
    Row& Last(int table) { return doc.io.Table(table).back(); }
    ScriptedInteraction ui;
    CVelkorDoc doc{ui};
};

TEST_F(Validate, EmptyTablesAndGapsOnly) {
    EXPECT_EQ(Run(), std::vector<std::string>{"(^_^)"});
    for (uint16_t n : {0, 1, 3}) {
        Add(kLingsanTable, (u"L" + std::u16string(1, char16_t(u'0' + n))).c_str(), n);
        Last(kLingsanTable).SetU16(io::kLingsanRelay, n);
    }
    EXPECT_EQ(Run(),
              (std::vector<std::string>{
                  "IO表地址存在不连续号码，请点击重新整理IO表，使得IO表地址连续！", "(^_^)"}));
}

TEST_F(Validate, FaultsInOrder) {
    struct Case {
        const char* what;
        std::function<void(Validate&)> build;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"names three apart",
         [](Validate& v) {
             v.Add(kSectionTable, u"1DG", 0);
             v.Last(kSectionTable).SetU16(io::kSectionGJ, 1);
             for (uint16_t n = 1; n <= 2; ++n) {
                 v.Add(kSectionTable, n == 1 ? u"2DG" : u"3DG", n);
                 v.Last(kSectionTable).SetU16(io::kSectionGJ, static_cast<uint16_t>(n + 1));
             }
             v.Add(kSectionTable, u"1DG", 3);
         },
         "设备名称冲突：1DG，冲突距离：3"},
        {"two new sections share GJ 0xFFFF",
         [](Validate& v) {
             v.doc.io.Append(kSectionTable, IoTables::NewRow(kSectionTable));
             v.Last(kSectionTable).SetName(u"A");
             v.Last(kSectionTable).SetU16(io::kAddress, 0);
             v.Last(kSectionTable).SetU16(io::kSectionGJ, 0xFFFF);
             v.doc.io.Append(kSectionTable, IoTables::NewRow(kSectionTable));
             v.Last(kSectionTable).SetName(u"B");
             v.Last(kSectionTable).SetU16(io::kAddress, 1);
             v.Last(kSectionTable).SetU16(io::kSectionGJ, 0xFFFF);
         },
         "两个设备继电器地址冲突 A, B"},
        {"a switch using one relay twice",
         [](Validate& v) {
             v.Add(kSwitchTable, u"1", 0);
             v.Last(kSwitchTable).SetU16(io::kSwitchDBJ, 0x0101);
             v.Last(kSwitchTable).SetU16(io::kSwitchFBJ, 0x0102);
             v.Last(kSwitchTable).SetU16(io::kSwitchSJ, 0x0101);
         },
         "设备内继电器地址冲突 1"},
        {"a logic section disagreeing about its physical section",
         [](Validate& v) {
             v.Add(kLogicSectionTable, u"5DGA", 4);
             v.Last(kLogicSectionTable).SetU16(io::kLogicPhysicalAddress, 7);
             v.Add(kLogicSectionTable, u"5DGB", 5);
             v.Last(kLogicSectionTable).SetU16(io::kLogicPhysicalAddress, 8);
         },
         "设备地址冲突：4，冲突距离：1"},
        {"equal address numbers",
         [](Validate& v) {
             v.Add(kLingsanTable, u"M1", 2);
             v.Last(kLingsanTable).SetU16(io::kLingsanRelay, 1);
             v.Add(kLingsanTable, u"M2", 2);
         },
         "设备地址冲突：2，冲突距离：1"},
    };
    for (const Case& c : cases) {
        doc.OnNewDocument();
        c.build(*this);
        const auto out = Run();
        ASSERT_FALSE(out.empty()) << c.what;
        EXPECT_EQ(out.back(), c.message) << c.what;
    }
}

TEST_F(Validate, NamesAreComparedWithinOneTableOnly) {
    Add(kSectionTable, u"1DG", 0);
    Last(kSectionTable).SetU16(io::kSectionGJ, 0x0101);
    Add(kLingsanTable, u"1DG", 0);
    Last(kLingsanTable).SetU16(io::kLingsanRelay, 0x0101);
    EXPECT_EQ(Run(), std::vector<std::string>{"(^_^)"});
}

TEST_F(Validate, VirtualSignalsTakePartInNoRelayCheck) {
    Add(kSignalTable, u"X1", 0);
    Last(kSignalTable).SetU16(io::kSignalType, 17);
    Add(kSectionTable, u"1DG", 0);
    Last(kSectionTable).SetU16(io::kSectionGJ, 0xFFFF);  // the signal's relays are 0xFFFF too
    EXPECT_EQ(Run(), std::vector<std::string>{"(^_^)"});
    Add(kSignalTable, u"X2", 1);
    Last(kSignalTable).SetU16(io::kSignalType, 3);
    Last(kSignalTable).SetU16(io::kSignalRelays, 0x0A00);       // LXJ
    Last(kSignalTable).SetU16(io::kSignalRelays + 12, 0x0A00);  // DJ
    EXPECT_EQ(Run().back(), "设备内继电器地址冲突 X2");
}

}  // namespace
}  // namespace velkor
