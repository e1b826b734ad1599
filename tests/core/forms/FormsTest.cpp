#include <gtest/gtest.h>

#include "devices/PanelObjects.h"
#include "forms/DevicePanel.h"
#include "forms/FormFields.h"
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
    }
    FixedTextMetrics metrics{10, 12};
    DrawingContext drawing = MeasuredBy(metrics);
    IoTables tables;
    ScriptedInteraction ui;
};

TEST_F(Panel, ALookUpChangesTheDeviceAtOnceAndStaysWithoutConfirm) {
    ArrowLight light(23);
    light.SetDrawingContext(&drawing);
    light.SetDragPoints({100, 100}, {100, 100});
    DevicePanel panel(light, tables, ui);
    EXPECT_EQ(panel.address, "0XFFFF");
    panel.name = u"D5";
    panel.LookUpName();
    // The device has the row's numbers; the fields show them.
    EXPECT_EQ(light.io.address, 0x12);
    EXPECT_EQ(light.io.Name(), u"D5");
    EXPECT_EQ(panel.address, "0X0012");
    EXPECT_EQ(panel.bit, "0X0005");
    EXPECT_EQ(panel.display.text, u"D5");  // following the name
    // The label was placed: above the arrow, its rectangle remembered.
    EXPECT_GT(light.labelRect.Width(), 0);
    EXPECT_LT(light.labelRect.top, light.GetCanvasRect().top);
    EXPECT_EQ(light.labelRect, light.nameLabel.GetCanvasRect());
    // Not confirmed: the looked-up numbers stay.
    EXPECT_EQ(light.io.button, 0x34);

    panel.name = u"NONE";
    panel.LookUpName();
    EXPECT_EQ(ui.Messages("warning"), std::vector<std::string>{"IO表中没有名称匹配的设备"});
    EXPECT_EQ(light.io.address, IORecord::kUnset);
}

TEST_F(Panel, ConfirmTakesTheFieldsOverAndKeepsARefusedNumber) {
    ArrowLight light(23);
    light.SetDrawingContext(&drawing);
    light.SetDragPoints({100, 100}, {100, 100});
    light.io.address = 0x40;
    DevicePanel panel(light, tables, ui);
    ASSERT_TRUE(panel.HasButtonValid());
    EXPECT_TRUE(panel.buttonValid);
    panel.station = "3";
    panel.name = u"D9";
    panel.address = "12G";
    panel.word = "0x1a";
    panel.buttonValid = false;
    panel.SetFollows(false);
    panel.display.text = u"九";
    panel.Confirm();
    EXPECT_EQ(ui.Messages("warning"), std::vector<std::string>{"输入的十六进制数无效"});
    EXPECT_EQ(light.io.address, 0x40);  // refused: as it was
    EXPECT_EQ(light.io.word, 0x001A);
    EXPECT_EQ(light.io.station, 3);
    EXPECT_EQ(light.io.Name(), u"D9");
    EXPECT_EQ(light.buttonValid, 0);
    EXPECT_EQ(light.displayNameFollowsIoName, 0);
    EXPECT_EQ(light.nameLabel.text, u"九");
}

TEST_F(Panel, ALampHasNoButtonValidFlag) {
    CADDeLight lamp;
    DevicePanel panel(lamp, tables, ui);
    EXPECT_FALSE(panel.HasButtonValid());
    panel.buttonValid = true;
    panel.Confirm();  // nothing to store it in, nothing else touched
    EXPECT_EQ(lamp.io.Name(), u"NO");
}

}  // namespace
}  // namespace velkor
