#include <gtest/gtest.h>

#include <functional>

#include "devices/Composites.h"
#include "devices/PanelObjects.h"
#include "devices/TrackSpecials.h"
#include "document/CVelkorDoc.h"
#include "document/Placing.h"
#include "forms/DevicePanel.h"
#include "forms/FormFields.h"
#include "forms/SectionForm.h"
#include "iotables/TableEditing.h"
#include "support/RecordingPainter.h"
#include "support/ScriptedInteraction.h"
#include "tables/IoTables.h"

namespace velkor {
namespace {

using testing::FixedTextMetrics;
using testing::MeasuredBy;
using testing::ScriptedInteraction;

TEST(FormFields, HexFieldsShowAndTakeOverAsTheDialogsDo) {
    EXPECT_EQ(FormatHexField(0x12), "0X0012");
    EXPECT_EQ(FormatHexField(0xFFFF), "0XFFFF");
    EXPECT_EQ(FormatDecimalField(7), "7");
    struct Case {
        const char* text;
        uint16_t stored;
        bool refused;
    };
    for (const Case& c :
         {Case{"12", 0x0012, false}, Case{"0x1a", 0x001A, false}, Case{"0X00FF", 0x00FF, false},
          Case{"", 0, false}, Case{"12G", 0x0777, true}, Case{"1 2", 0x0777, true}}) {
        SCOPED_TRACE(c.text);
        ScriptedInteraction ui;
        uint16_t member = 0x0777;
        TakeHexField(c.text, member, ui);
        EXPECT_EQ(member, c.stored);
        EXPECT_EQ(ui.Messages("warning"), c.refused
                                              ? std::vector<std::string>{"输入的十六进制数无效"}
                                              : std::vector<std::string>{});
    }
    ScriptedInteraction ui;
    uint8_t gate = 9;
    TakeDecimalField("300", gate, ui);  // kept in the member's 8 bits
    EXPECT_EQ(gate, 300 & 0xFF);
    TakeDecimalField("3a", gate, ui);
    EXPECT_EQ(gate, 300 & 0xFF);
    EXPECT_EQ(ui.Messages("warning"), std::vector<std::string>{"输入的十进制数据无效"});
}

TEST(DisplayNameGroup, FollowsTheNameFieldOrTakesItsOwnText) {
    CADDeLight lamp;
    lamp.nameLabel.text = u"灯1";
    lamp.displayNameFollowsIoName = 0;
    DisplayNameGroup group = DisplayNameGroup::Of(lamp);
    EXPECT_FALSE(group.follows);
    EXPECT_TRUE(group.TextEnabled());
    EXPECT_EQ(group.text, u"灯1");
    group.SetFollows(true, u"D5");
    EXPECT_FALSE(group.TextEnabled());
    EXPECT_EQ(group.text, u"D5");
    group.SetFollows(false, u"D5", u"A");  // the section dialog's last logic character
    EXPECT_EQ(group.text, u"A");
    group.text = u"显示";
    group.Confirm(lamp, u"D5");
    EXPECT_EQ(lamp.displayNameFollowsIoName, 0);
    EXPECT_EQ(lamp.nameLabel.text, u"显示");
    group.SetFollows(true, u"D5");
    group.Confirm(lamp, u"D6");  // the label takes the name confirmed with it
    EXPECT_EQ(lamp.displayNameFollowsIoName, 1);
    EXPECT_EQ(lamp.nameLabel.text, u"D6");
}

class Panel : public ::testing::Test {
protected:
    Panel() {
        Row row = IoTables::NewRow(kLingsanTable);
        row.SetName(u"D5");
        row.SetU16(io::kAddress, 0x12);
        row.SetU16(io::kButton, 0x34);
        row.SetU16(io::kWord, 2);
        row.SetU16(io::kBit, 5);
        tables.Table(kLingsanTable).push_back(row);
        light.SetDrawingContext(&drawing);
        light.SetDragPoints({100, 100}, {100, 100});
        form.AddColours("背景", light.colours);
    }
    std::string& Value(const char* label) { return form.Find(label)->value; }

    FixedTextMetrics metrics{10, 12};
    DrawingContext drawing = MeasuredBy(metrics);
    IoTables tables;
    ScriptedInteraction ui;
    ArrowLight light{23};
    DevicePanelForm form{"箭头指示灯属性", light, tables, ui};
};

TEST_F(Panel, FieldsInTheDialogsOrderAndForm) {
    std::vector<std::string> labels;
    for (const FormField& f : form.Fields()) labels.push_back(f.group + "/" + f.label);
    EXPECT_EQ(labels, (std::vector<std::string>{
                          "设备信息/车站号", "设备信息/名称", "设备信息/地址号", "设备信息/按钮号",
                          "设备信息/字号", "设备信息/位号", "设备信息/按钮是否有效",
                          "设备信息/显示名称与IO名称是否一致", "设备信息/显示名称", "/背景1",
                          "/背景2", "/背景3"}));
    EXPECT_EQ(Value("背景1"), "#FF0000");
    EXPECT_EQ(Value("地址号"), "0XFFFF");
    EXPECT_EQ(Value("车站号"), "0");
    EXPECT_EQ(Value("按钮是否有效"), "1");
    EXPECT_FALSE(form.Find("显示名称")->enabled);  // follows the IO name
}

TEST_F(Panel, ALookUpChangesTheDeviceAtOnceAndStaysWithoutConfirm) {
    Value("名称") = "D5";
    ASSERT_TRUE(form.LookUp(*form.Find("名称")));
    EXPECT_FALSE(form.LookUp(*form.Find("地址号")));  // no lookup there
    // The device has the row's numbers; the fields show them.
    EXPECT_EQ(light.io.address, 0x12);
    EXPECT_EQ(light.io.Name(), u"D5");
    EXPECT_EQ(Value("地址号"), "0X0012");
    EXPECT_EQ(Value("位号"), "0X0005");
    EXPECT_EQ(Value("显示名称"), "D5");  // following the name
    // The label was placed: above the arrow, its rectangle remembered.
    EXPECT_GT(light.labelRect.Width(), 0);
    EXPECT_LT(light.labelRect.top, light.GetCanvasRect().top);
    EXPECT_EQ(light.labelRect, light.nameLabel.GetCanvasRect());
    // Not confirmed: the looked-up numbers stay.
    EXPECT_EQ(light.io.button, 0x34);

    Value("名称") = "NONE";
    form.LookUp(*form.Find("名称"));
    EXPECT_EQ(ui.Messages("warning"), std::vector<std::string>{"IO表中没有名称匹配的设备"});
    EXPECT_EQ(light.io.address, IORecord::kUnset);
}

TEST_F(Panel, ConfirmTakesTheFieldsOverAndKeepsARefusedNumber) {
    light.io.address = 0x40;
    form.Refresh();
    Value("车站号") = "3";
    Value("名称") = "D9";
    Value("地址号") = "12G";
    Value("字号") = "0x1a";
    Value("按钮是否有效") = "0";
    Value("显示名称与IO名称是否一致") = "0";
    form.Edited(*form.Find("显示名称与IO名称是否一致"));
    EXPECT_TRUE(form.Find("显示名称")->enabled);
    EXPECT_EQ(Value("显示名称"), "");
    Value("显示名称") = "九";
    Value("背景2") = "#00FF00";
    ASSERT_TRUE(form.Confirm());
    EXPECT_EQ(ui.Messages("warning"), std::vector<std::string>{"输入的十六进制数无效"});
    EXPECT_EQ(light.io.address, 0x40);  // refused: as it was
    EXPECT_EQ(light.io.word, 0x001A);
    EXPECT_EQ(light.io.station, 3);
    EXPECT_EQ(light.io.Name(), u"D9");
    EXPECT_EQ(light.buttonValid, 0);
    EXPECT_EQ(light.displayNameFollowsIoName, 0);
    EXPECT_EQ(light.nameLabel.text, u"九");
    EXPECT_EQ(light.colours[1], Rgb(0, 255, 0));
}

TEST_F(Panel, ALongNameOrABadColourIsRefusedBeforeAnythingIsTakenOver) {
    struct Case {
        const char* field;
        const char* value;
        const char* message;
    };
    for (const Case& c :
         {Case{"名称", "一二三四五六七八", "“名称”的名称超过 15 个字节，请缩短：一二三四五六七八"},
          Case{"背景1", "red", "颜色无效（应为 #RRGGBB）：背景1 red"}}) {
        SCOPED_TRACE(c.field);
        ScriptedInteraction told;
        DevicePanelForm fresh("箭头指示灯属性", light, tables, told);
        fresh.AddColours("背景", light.colours);
        fresh.Find("车站号")->value = "9";
        fresh.Find(c.field)->value = c.value;
        EXPECT_FALSE(fresh.Confirm());
        EXPECT_EQ(told.Messages("warning"), std::vector<std::string>{c.message});
        EXPECT_EQ(light.io.station, 0);
    }
    // Fifteen bytes fit.
    Value("名称") = "一二三四五六七A";
    EXPECT_TRUE(form.Confirm());
    EXPECT_EQ(light.io.Name(), u"一二三四五六七A");
}

TEST(PropertyForms, ALampHasNoButtonValidFlag) {
    ScriptedInteraction ui;
    IoTables tables;
    CADDeLight lamp;
    DevicePanelForm form("装饰灯属性", lamp, tables, ui);
    EXPECT_FALSE(form.Find("按钮是否有效")->enabled);
    form.Find("按钮是否有效")->value = "1";
    EXPECT_TRUE(form.Confirm());  // nothing to store it in, nothing else touched
    EXPECT_EQ(lamp.io.Name(), u"NO");
}

}  // namespace
}  // namespace velkor

namespace velkor {
namespace {

// The dialogs built on the device panel: their titles, host fields and what
// "确定" does with them.
TEST(PropertyForms, PanelHostsTakeTheirOwnFieldsAfterThePanel) {
    ScriptedInteraction ui;
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    struct Case {
        int code;
        const char* title;
        std::vector<std::pair<const char*, const char*>> set;
        std::function<void(CADGraphic&)> check;
    };
    const std::vector<Case> cases = {
        {21,
         "装饰灯属性",
         {{"直径", "20"}, {"背景3", "#0000FF"}},
         [](CADGraphic& g) {
             auto& lamp = dynamic_cast<CADDeLight&>(g);
             EXPECT_EQ(lamp.GetCanvasRect().Width(), 20);
             EXPECT_EQ(lamp.lamp, (Rect{0, 0, 20, 20}));
             EXPECT_EQ(lamp.colours[2], Rgb(0, 0, 255));
             // The label is centred below the resized lamp again.
             EXPECT_GE(lamp.nameLabel.GetCanvasRect().top, lamp.GetCanvasRect().bottom);
         }},
        {23,
         "箭头指示灯属性",
         {{"背景1", "#123456"}},
         [](CADGraphic& g) {
             EXPECT_EQ(dynamic_cast<ArrowLight&>(g).colours[0], Rgb(0x12, 0x34, 0x56));
         }},
        {36,
         "铅封属性",
         {{"是否显示名称", "0"}, {"文字背景", "#000000"}},
         [](CADGraphic& g) {
             auto& seal = dynamic_cast<CADSealCount&>(g);
             EXPECT_EQ(seal.showName, 0);
             EXPECT_EQ(seal.textColour, Rgb(0, 0, 0));
         }},
        {37,
         "脱轨器属性",
         {{"名称", "T3"}, {"文本2", "#00FF00"}},
         [](CADGraphic& g) {
             auto& derailer = dynamic_cast<CADDerailer&>(g);
             EXPECT_EQ(derailer.io.Name(), u"T3");
             EXPECT_EQ(derailer.nameLabel.text, u"T");  // "T" again whatever its name
             EXPECT_EQ(derailer.colours[4], Rgb(0, 255, 0));
         }},
        {22,
         "按钮属性",
         {{"类型", "圆形"}, {"密码", "双密码"}, {"自复", "0"}},
         [](CADGraphic& g) {
             auto& button = dynamic_cast<CADButton&>(g);
             EXPECT_EQ(button.type, CADButton::kRound);
             EXPECT_EQ(button.GetCanvasRect().Width(), 20);  // the new type's size
             EXPECT_EQ(button.text1, Rgb(255, 255, 255));    // and its colours
             EXPECT_EQ(button.password, 2);
             EXPECT_EQ(button.selfReset, 0);
         }},
        {22,
         "按钮属性",
         {{"宽度", "100"}, {"文字1", "#00FF00"}},
         [](CADGraphic& g) {
             auto& button = dynamic_cast<CADButton&>(g);
             EXPECT_EQ(button.rect, (Rect{0, 0, 100, 30}));
             EXPECT_EQ(button.GetCanvasRect().Width(), 100);
             EXPECT_EQ(button.text1, Rgb(0, 255, 0));
         }},
        {17,
         "车站属性",
         {{"上侧门", "1"}, {"下侧门", "0"}, {"宽度", "150"}, {"按钮个数", "2"}},
         [](CADGraphic& g) {
             auto& box = dynamic_cast<CADStation&>(g);
             EXPECT_EQ(box.GetCanvasRect().Width(), 150);
             EXPECT_EQ(box.buttonCount, 2);
             EXPECT_TRUE(box.buttons[1].HasWindow());
             EXPECT_FALSE(box.buttons[2].HasWindow());
             EXPECT_FALSE(box.doors[1].HasWindow());
             // The upper door spans the new width.
             EXPECT_EQ(box.doors[0].GetCanvasRect().Width(), 150 - 6);
         }},
        {19,
         "装饰线",
         {{"PT2", "400, 180"}, {"宽度", "5"}, {"颜色", "#010203"}},
         [](CADGraphic& g) {
             auto& line = dynamic_cast<CADDeLine&>(g);
             EXPECT_EQ(line.ToCanvas(line.p2), (Point{400, 180}));
             EXPECT_EQ(line.width, 5);
             EXPECT_EQ(line.colour, Rgb(1, 2, 3));
         }},
        {18,
         "静态文字",
         {{"文字", "站台"}, {"大小", "16"}, {"粗体", "1"}, {"字体", "黑体"}},
         [](CADGraphic& g) {
             auto& label = dynamic_cast<Label&>(g);
             EXPECT_EQ(label.text, u"站台");
             EXPECT_EQ(label.font.height, -16);
             EXPECT_EQ(label.font.weight, 700);
             EXPECT_EQ(label.font.FaceName(), u"黑体");
             EXPECT_EQ(label.GetCanvasRect().Width(), label.TextExtent().cx);
         }},
        {29,
         "地航",
         {{"间距", "40"}},
         [](CADGraphic& g) {
             auto& track = dynamic_cast<NavigableTrack&>(g);
             EXPECT_EQ(track.r2.top - track.r1.top, 40);
             EXPECT_EQ(track.GetCanvasRect().Height(), 56);
         }},
    };
    int y = 100;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        CADGraphic* obj = PlaceObject(doc, {c.code, {100, y}, {300, y}});
        y += 100;
        ASSERT_NE(obj, nullptr);
        const auto form = MakePropertyForm(*obj, doc);
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->Title(), c.title);
        for (const auto& [label, value] : c.set) {
            FormField* f = form->Find(label);
            ASSERT_NE(f, nullptr) << label;
            f->value = value;
        }
        ASSERT_TRUE(form->Confirm());
        c.check(*obj);
    }
    // The navigable track was placed with the word that it is not saved.
    EXPECT_EQ(ui.Messages("warning").size(), 1u);
}

}  // namespace
}  // namespace velkor

namespace velkor {
namespace {

class SectionDialog : public ::testing::Test {
protected:
    SectionDialog() {
        Row station = IoTables::NewRow(kStationTable);
        station.SetText(io::kStationName, io::kStationNameBytes, u"东站");
        station.SetU16(io::kStation, 7);
        tables.Table(kStationTable).push_back(station);
        for (const auto& [name, address] :
             {std::pair{u"FMG1_A", 0x35}, std::pair{u"FMG1_B", 0x0136}}) {
            Row gate = IoTables::NewRow(kLingsanTable);
            gate.SetName(name);
            gate.SetU16(io::kAddress, static_cast<uint16_t>(address));
            tables.Table(kLingsanTable).push_back(gate);
        }
        Row row = IoTables::NewRow(kSectionTable);
        row.SetName(u"3DG");
        row.SetU16(io::kAddress, 0x44);
        tables.Table(kSectionTable).push_back(row);
        section.SetDrawingContext(&drawing);
        section.SetDragPoints({100, 200}, {300, 200});
        section.CreateWindow(section.GetCanvasRect());
        section.PlaceLabel();
    }
    FixedTextMetrics metrics{10, 12};
    DrawingContext drawing = MeasuredBy(metrics);
    IoTables tables;
    ScriptedInteraction ui;
    CADSection section;
};

TEST_F(SectionDialog, OpensWithStationAndFloodGateNames) {
    section.upStation = 7;
    section.floodGate1 = 0x35;
    SectionForm form(section, tables, true, ui);
    EXPECT_EQ(form.Title(), "区段");
    EXPECT_EQ(form.Find("上行车站名称")->value, "东站");
    EXPECT_EQ(form.Find("下行车站名称")->value, "");  // 0xFFFF: no such station
    EXPECT_EQ(form.Find("防淹门名称")->value, "FMG1");
    EXPECT_EQ(form.Find("无岔区段")->value, "1");
    EXPECT_EQ(form.Find("左")->value, "普通");
    EXPECT_TRUE(form.IsAmbiguous("名称"));
    EXPECT_FALSE(form.Note().empty());
}

TEST_F(SectionDialog, ClearingTheFollowFlagWithLogicSectionsKeepsTheLastLogicCharacter) {
    SectionForm form(section, tables, true, ui);
    form.Find("名称", "逻辑信息")->value = "3DGA";
    FormField& follows = *form.Find("显示名称是否与IO名称一致");
    follows.value = "0";
    form.Edited(follows);
    EXPECT_EQ(form.Find("显示名称")->value, "A");
    EXPECT_TRUE(form.Find("显示名称")->enabled);
    follows.value = "1";
    form.Edited(follows);
    EXPECT_EQ(form.Find("显示名称")->value, "3DGA");
    // Without logic sections, cleared is empty.
    SectionForm plain(section, tables, false, ui);
    plain.Find("显示名称是否与IO名称一致")->value = "0";
    plain.Edited(*plain.Find("显示名称是否与IO名称一致"));
    EXPECT_EQ(plain.Find("显示名称")->value, "");
}

TEST_F(SectionDialog, LookUpsFillStationsFloodGateAndRecords) {
    SectionForm form(section, tables, false, ui);
    form.Find("上行车站名称")->value = "东站";
    ASSERT_TRUE(form.LookUp(*form.Find("上行车站名称")));
    EXPECT_EQ(section.upStation, 7);
    EXPECT_EQ(form.Find("上行车站号")->value, "0X0007");
    form.Find("防淹门名称")->value = "FMG1";
    form.LookUp(*form.Find("防淹门名称"));
    EXPECT_EQ(section.floodGate1, 0x35);
    EXPECT_EQ(section.floodGate2, 0x36);
    form.Find("防淹门名称")->value = "FMG9";
    form.LookUp(*form.Find("防淹门名称"));
    EXPECT_EQ(section.floodGate1, 255);
    EXPECT_EQ(section.floodGate2, 255);
    form.Find("名称", "设备信息")->value = "3DG";
    form.LookUp(*form.Find("名称", "设备信息"));
    EXPECT_EQ(section.io.address, 0x44);
    EXPECT_EQ(form.Find("显示名称")->value, "3DG");  // follows, no logic sections
}

TEST_F(SectionDialog, ConfirmInTheDialogsOrder) {
    section.io.SetName(u"OLD");
    SectionForm form(section, tables, false, ui);
    form.Find("名称", "设备信息")->value = "5DG";
    form.Find("名称", "逻辑信息")->value = "5DGA";
    form.Find("地址号", "逻辑信息")->value = "0x20";
    form.Find("股道")->value = "1";
    form.Edited(*form.Find("股道"));
    form.Find("是否显示延时时间")->value = "0";
    form.Find("右")->value = "超限";
    form.Find("防淹门ID2")->value = "12";
    ASSERT_TRUE(form.Confirm());
    EXPECT_TRUE(ui.Messages("warning").empty());
    EXPECT_EQ(section.io.Name(), u"5DG");
    EXPECT_EQ(section.logic.Name(), u"5DGA");
    EXPECT_EQ(section.logic.address, 0x20);
    // The display name is computed with the IO name as it was before.
    EXPECT_EQ(section.nameLabel.text, u"OLD");
    EXPECT_EQ(section.nameLabel.GetCanvasRect().Width(), 30);  // resized to "OLD"
    EXPECT_EQ(section.extra.sectionName.text, u"5DG");
    EXPECT_TRUE(section.extra.sectionName.HasWindow());
    EXPECT_FALSE(section.extra.delayTime.HasWindow());
    EXPECT_EQ(section.sectionKind, 0);
    EXPECT_EQ(section.rightJoint, 1);
    EXPECT_EQ(section.floodGate2, 12);
}

}  // namespace
}  // namespace velkor

namespace velkor {
namespace {

// The lookups of the smaller dialogs and what they refuse.
class SmallDialogs : public ::testing::Test {
protected:
    SmallDialogs() {
        doc.OnNewDocument();
        for (const auto& [name, address] :
             {std::pair{u"FMG1_A", 0x35}, std::pair{u"FMG1_B", 0x0136}}) {
            Row gate = IoTables::NewRow(kLingsanTable);
            gate.SetName(name);
            gate.SetU16(io::kAddress, static_cast<uint16_t>(address));
            doc.io.Table(kLingsanTable).push_back(gate);
        }
        Row station = IoTables::NewRow(kStationTable);
        station.SetText(io::kStationName, io::kStationNameBytes, u"东站");
        station.SetU16(io::kStation, 7);
        doc.io.Table(kStationTable).push_back(station);
    }
    ScriptedInteraction ui;
    CVelkorDoc doc{ui};
};

TEST_F(SmallDialogs, FloodGateNameFindsBothRelays) {
    auto& gate = dynamic_cast<CADAfgDoor&>(*PlaceObject(doc, {38, {200, 100}, {200, 100}}));
    auto form = MakePropertyForm(gate, doc);
    EXPECT_EQ(form->Title(), "防淹门属性");
    form->Find("名称", "继电器1信息")->value = "FMG1";
    ASSERT_TRUE(form->LookUp(*form->Find("名称", "继电器1信息")));
    EXPECT_EQ(gate.io.address, 0x35);
    EXPECT_EQ(gate.relay2.address, 0x0136);
    EXPECT_EQ(form->Find("地址号", "继电器2信息")->value, "0X0136");
    EXPECT_EQ(form->Find("名称", "继电器2信息")->value, "FMG1_B");
    form->Find("位号", "继电器2信息")->value = "9";
    form->Find("文本3")->value = "#00FF00";
    ASSERT_TRUE(form->Confirm());
    EXPECT_EQ(gate.relay2.Name(), u"FMG1_B");
    EXPECT_EQ(gate.relay2.bit, 9);
    EXPECT_EQ(gate.colours[5], Rgb(0, 255, 0));
}

TEST_F(SmallDialogs, ButtonAndStationNamesFindTheirCodes) {
    auto& button = dynamic_cast<CADButton&>(*PlaceObject(doc, {22, {10, 10}, {10, 10}}));
    auto form = MakePropertyForm(button, doc);
    form->Find("名称")->value = "闭塞";
    form->LookUp(*form->Find("名称"));
    EXPECT_EQ(button.io.button, 0x0E43);
    EXPECT_EQ(form->Find("按钮号")->value, "0X0E43");
    form->Find("名称")->value = "XYZ";
    form->LookUp(*form->Find("名称"));
    EXPECT_EQ(ui.Messages("warning"), std::vector<std::string>{kMsgButtonNameMismatch});

    auto& box = dynamic_cast<CADStation&>(*PlaceObject(doc, {17, {300, 10}, {300, 10}}));
    auto station = MakePropertyForm(box, doc);
    EXPECT_FALSE(station->Find("ID")->enabled);
    station->Find("名称")->value = "东站";
    station->LookUp(*station->Find("名称"));
    EXPECT_EQ(box.id, 7);
    EXPECT_EQ(box.stationRow, 1);
    EXPECT_EQ(station->Find("ID")->value, "0X0007");
}

TEST_F(SmallDialogs, ABadPointIsRefusedBeforeAnythingIsTakenOver) {
    auto& line = dynamic_cast<CADDeLine&>(*PlaceObject(doc, {19, {10, 10}, {200, 10}}));
    auto form = MakePropertyForm(line, doc);
    form->Find("宽度")->value = "7";
    form->Find("PT1")->value = "10;10";
    EXPECT_FALSE(form->Confirm());
    EXPECT_EQ(ui.Messages("warning").size(), 1u);
    EXPECT_EQ(line.width, 3);
}

}  // namespace
}  // namespace velkor
