#include <gtest/gtest.h>

#include "devices/CADSignal.h"
#include "devices/CADThreeSwitch.h"
#include "devices/Fields.h"
#include "devices/RailSwitch.h"
#include "document/CVelkorDoc.h"
#include "document/Placing.h"
#include "forms/PropertyForm.h"
#include "iotables/TableEditing.h"
#include "support/RecordingPainter.h"
#include "support/ScriptedInteraction.h"

namespace velkor {
namespace {

using testing::ScriptedInteraction;

// A new station with a few named rows, and the forms of placed devices.
class TrackDialogs : public ::testing::Test {
protected:
    TrackDialogs() {
        doc.OnNewDocument();
        AddRow(kSwitchTable, u"9", 0x30);
        AddRow(kSectionTable, u"9DG", 0x31);
        AddRow(kSectionTable, u"9DGA", 0x32);
        AddRow(kSwitchTable, u"21", 0x40);
        AddRow(kSectionTable, u"21_A", 0x41);
        Row& signal = AddRow(kSignalTable, u"X1", 0x50);
        signal.SetU16(io::kSignalButton2, 0x0777);
    }
    Row& AddRow(int table, std::u16string_view name, uint16_t address) {
        Row row = IoTables::NewRow(table);
        row.SetName(name);
        row.SetU16(io::kAddress, address);
        row.SetU16(io::kButton, 1);
        row.SetU16(io::kWord, 2);
        row.SetU16(io::kBit, 3);
        doc.io.Table(table).push_back(row);
        return doc.io.Table(table).back();
    }
    template <class T>
    T& Place(int code, Point at, int choice = 0) {
        CADGraphic* obj = PlaceObject(doc, {code, at, at, choice});
        EXPECT_NE(obj, nullptr);
        return dynamic_cast<T&>(*obj);
    }
    std::string& Set(PropertyForm& form, const char* label, const char* group = "") {
        FormField* f = form.Find(label, group);
        EXPECT_NE(f, nullptr) << label;
        return f->value;
    }
    // A check box or list changed as a click changes it.
    void Click(PropertyForm& form, const char* label, const char* value) {
        FormField* f = form.Find(label);
        ASSERT_NE(f, nullptr) << label;
        f->value = value;
        form.Edited(*f);
    }

    ScriptedInteraction ui;
    CVelkorDoc doc{ui};
};

TEST_F(TrackDialogs, ButtonValidIsStoredByBothSwitchKinds) {
    for (const int code : {1, 30}) {
        for (const auto& [ticked, stored] : {std::pair{"0", 0}, std::pair{"1", 1}}) {
            SCOPED_TRACE(::testing::Message() << code << " " << ticked);
            CADGraphic* sw = PlaceObject(doc, {code, {300, 300}, {300, 300}});
            ASSERT_NE(sw, nullptr);
            auto form = MakePropertyForm(*sw, doc);
            EXPECT_EQ(form->Title(), code == 1 ? "道岔属性" : "Dialog");
            Set(*form, "按钮是否有效", "设备信息") = ticked;
            ASSERT_TRUE(form->Confirm());
            EXPECT_EQ(*FindI32Field(*sw, "buttonValid"), stored);
        }
    }
}

TEST_F(TrackDialogs, SwitchConfirmTakesTheFieldsOverInItsOrder) {
    auto& sw = Place<RailSwitch>(1, {300, 300});
    sw.io.SetName(u"OLD");
    auto form = MakePropertyForm(sw, doc);
    EXPECT_EQ(Set(*form, "位置", "前方道岔"), "");  // no front position yet
    Set(*form, "IO名称", "设备信息") = "9";
    Set(*form, "名称", "有岔区段") = "9DG";
    Set(*form, "名称", "逻辑区段1") = "9DGA";
    Set(*form, "名称", "前方道岔") = "11";
    Set(*form, "地址", "前方道岔") = "0x21";
    Set(*form, "斜股", "绝缘结") = "超限";
    Set(*form, "是否显示延时时间") = "0";
    ASSERT_TRUE(form->Confirm());
    EXPECT_TRUE(ui.Messages("warning").empty());
    EXPECT_EQ(sw.io.Name(), u"9");
    // The IO name is taken before the display name, which follows it.
    EXPECT_EQ(sw.nameLabel.text, u"9");
    EXPECT_EQ(sw.switchSection.Name(), u"9DG");
    EXPECT_EQ(sw.extra.sectionName.text, u"9DG");
    EXPECT_TRUE(sw.extra.sectionName.HasWindow());
    EXPECT_FALSE(sw.extra.delayTime.HasWindow());
    EXPECT_EQ(sw.logic[0].Name(), u"9DGA");
    EXPECT_EQ(sw.frontSwitch.Name(), u"11");
    EXPECT_EQ(sw.frontSwitch.address, 0x21);
    EXPECT_EQ(sw.frontPosition, -1);  // left without a choice
    EXPECT_EQ(sw.divergingJoint, 1);

    auto again = MakePropertyForm(sw, doc);
    Set(*again, "位置", "前方道岔") = "定位";
    ASSERT_TRUE(again->Confirm());
    EXPECT_EQ(sw.frontPosition, 1);
}

TEST_F(TrackDialogs, SwitchLookUpsChangeTheSwitchAtOnce) {
    auto& sw = Place<RailSwitch>(1, {300, 300});
    auto form = MakePropertyForm(sw, doc);
    // With logic sections the switch section finds its logic records too.
    Set(*form, "名称", "逻辑区段1") = "9DGA";
    Set(*form, "名称", "有岔区段") = "9DG";
    ASSERT_TRUE(form->LookUp(*form->Find("名称", "有岔区段")));
    EXPECT_EQ(sw.switchSection.address, 0x31);
    EXPECT_EQ(sw.logic[0].address, 0x32);
    EXPECT_EQ(Set(*form, "地址号", "有岔区段"), "0X0031");
    EXPECT_EQ(Set(*form, "地址号", "逻辑区段1"), "0X0032");
    Set(*form, "IO名称", "设备信息") = "9";
    form->LookUp(*form->Find("IO名称"));
    EXPECT_EQ(sw.io.address, 0x30);
    EXPECT_EQ(Set(*form, "显示名称"), "9");
    // Failed: the message names the name and the numbers are unset.
    Set(*form, "名称", "有岔区段") = "XX";
    form->LookUp(*form->Find("名称", "有岔区段"));
    EXPECT_EQ(ui.Messages("warning"), std::vector<std::string>{"IO表中没有名称 XX 匹配的设备"});
    EXPECT_EQ(sw.switchSection.address, 0xFFFF);
    EXPECT_EQ(Set(*form, "名称", "有岔区段"), "XX");
    // "取消": the form is dropped; the looked-up numbers stay.
    form.reset();
    EXPECT_EQ(sw.io.address, 0x30);
    EXPECT_EQ(sw.logic[0].address, 0x32);
}

TEST_F(TrackDialogs, ThreeWaySwitchNameIsLabelAndIoName) {
    auto& sw = Place<CADThreeSwitch>(30, {300, 300});
    auto form = MakePropertyForm(sw, doc);
    EXPECT_EQ(form->Find("显示名称"), nullptr);  // no display-name group
    Set(*form, "名称", "设备信息") = "21";
    ASSERT_TRUE(form->LookUp(*form->Find("名称", "设备信息")));
    EXPECT_EQ(sw.io.address, 0x40);
    EXPECT_EQ(sw.logic[0].address, 0x41);  // 21_A, one logic section per switch
    Set(*form, "下斜股", "绝缘节") = "无";
    Set(*form, "位置", "前方道岔") = "反位";
    ASSERT_TRUE(form->Confirm());
    EXPECT_EQ(sw.nameLabel.text, u"21");
    EXPECT_EQ(sw.io.Name(), u"21");
    EXPECT_EQ(sw.jointKinds[3], 2);
    EXPECT_EQ(sw.frontPosition, 1);
    // Without logic sections the name matches the IO record alone.
    doc.hasLogicSections = 0;
    sw.logic[0].address = 0xFFFF;
    auto plain = MakePropertyForm(sw, doc);
    plain->LookUp(*plain->Find("名称", "设备信息"));
    EXPECT_EQ(sw.logic[0].address, 0xFFFF);
}

class SignalDialog : public TrackDialogs {
protected:
    // Choice 2: a signal at angle 0.
    SignalDialog() : signal(Place<CADSignal>(9, {300, 300}, 2)) {
        signal.io.SetName(u"X1");
        signal.nameLabel.text = u"X1";
    }
    CADSignal& signal;
};

TEST_F(SignalDialog, UsageKindMakesAndRemovesTheEmbeddedButton) {
    ASSERT_TRUE(signal.UpLine());
    auto form = MakePropertyForm(signal, doc);
    EXPECT_FALSE(form->Find("按钮号2")->enabled);
    Click(*form, "信号机类型", "列调");
    ASSERT_TRUE(signal.button.HasWindow());
    EXPECT_EQ(signal.button.type, CADButton::kSquare);
    EXPECT_EQ(signal.button.io.Name(), u"X1DA");
    EXPECT_EQ(signal.button.GetCanvasRect().left, signal.GetCanvasRect().right + 2);
    EXPECT_TRUE(form->Find("按钮号2")->enabled);
    EXPECT_EQ(form->Find("按钮号2")->value, "0XFFFF");
    // The lookup fills the second button number of a kind that has one.
    form->LookUp(*form->Find("IO名称"));
    EXPECT_EQ(signal.button2, 0x0777);
    EXPECT_EQ(form->Find("按钮号2")->value, "0X0777");
    ASSERT_TRUE(form->Confirm());
    EXPECT_EQ(signal.button.io.button, 0x0777);
    EXPECT_EQ(signal.button.nameLabel.text, u"X1DA");

    auto back = MakePropertyForm(signal, doc);
    Click(*back, "信号机类型", "列车");
    EXPECT_FALSE(signal.button.HasWindow());
    EXPECT_FALSE(back->Find("按钮号2")->enabled);
}

TEST_F(SignalDialog, ChangeOfKindTakesTheOtherValuesOverAtOnce) {
    auto form = MakePropertyForm(signal, doc);
    Set(*form, "默认灯色") = "蓝";
    Set(*form, "地址号", "设备信息") = "0x44";
    Click(*form, "信号机类型", "调列");
    // "取消" now: what the change took over stays.
    form.reset();
    EXPECT_EQ(signal.usageKind, 5);
    EXPECT_EQ(signal.defaultLampColour, 0xFF0000u);
    EXPECT_EQ(signal.io.address, 0x44);
    EXPECT_EQ(signal.button.io.Name(), u"X1LA");
}

TEST_F(SignalDialog, UpDownMoveCrossesTheTrackAndBack) {
    const Rect before = signal.GetCanvasRect();
    const Point p0 = signal.ToCanvas(signal.p0);
    auto form = MakePropertyForm(signal, doc);
    Set(*form, "上下移动") = "1";
    ASSERT_TRUE(form->Confirm());
    EXPECT_EQ(signal.GetCanvasRect(), before.Offset(0, 27));
    EXPECT_EQ(signal.ToCanvas(signal.p0), p0);
    // A later dialog shows the flag, and confirming unchanged moves nothing.
    auto unchanged = MakePropertyForm(signal, doc);
    EXPECT_EQ(unchanged->Find("上下移动")->value, "1");
    ASSERT_TRUE(unchanged->Confirm());
    EXPECT_EQ(signal.GetCanvasRect(), before.Offset(0, 27));
    auto back = MakePropertyForm(signal, doc);
    Set(*back, "上下移动") = "0";
    ASSERT_TRUE(back->Confirm());
    EXPECT_EQ(signal.GetCanvasRect(), before);
    EXPECT_EQ(signal.ToCanvas(signal.p0), p0);
}

TEST_F(SignalDialog, ChangeKindLeavesTheTypedNameOnTheButton) {
    auto form = MakePropertyForm(signal, doc);
    Click(*form, "信号机类型", "变更");
    EXPECT_FALSE(signal.IsVisible());
    Set(*form, "IO名称") = "X9";
    ASSERT_TRUE(form->Confirm());
    EXPECT_EQ(signal.io.Name(), u"");
    EXPECT_EQ(signal.nameLabel.text, u"");
    EXPECT_EQ(signal.button.nameLabel.text, u"X9");
}

TEST_F(SignalDialog, ConfirmKeepsARefusedNumberAndTakesTheRest) {
    signal.io.address = 0x10;
    auto form = MakePropertyForm(signal, doc);
    Set(*form, "地址号", "设备信息") = "12G";
    Set(*form, "按钮号", "设备信息") = "12";
    Set(*form, "保护区段类型数") = "3";
    Set(*form, "是否显示延时时间") = "0";
    Set(*form, "信号特开") = "1";
    Set(*form, "Btn2地址号") = "0x1a";
    ASSERT_TRUE(form->Confirm());
    EXPECT_EQ(ui.Messages("warning"), std::vector<std::string>{"输入的十六进制数无效"});
    EXPECT_EQ(signal.io.address, 0x10);
    EXPECT_EQ(signal.io.button, 0x12);
    EXPECT_EQ(signal.overlapTypes, 3);
    EXPECT_EQ(signal.specialOpening, 1);
    EXPECT_EQ(signal.button2Address, 0x1A);
    EXPECT_FALSE(signal.delayTime.HasWindow());
    EXPECT_EQ(form->Find("Btn2地址号")->value, "0X001A");
}

}  // namespace
}  // namespace velkor
