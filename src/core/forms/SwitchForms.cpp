#include "forms/SwitchForms.h"

#include "common/Text.h"
#include "forms/DevicePanel.h"
#include "forms/FormFields.h"
#include "iotables/TableEditing.h"

namespace velkor {

namespace {
using K = FormField::Kind;
constexpr const char* kDevice = "设备信息";
constexpr const char* kDisplayGroup = "";
constexpr const char* kSwitchSection = "有岔区段";
constexpr const char* kLogic[] = {"逻辑区段1", "逻辑区段2"};
constexpr const char* kFront = "前方道岔";
constexpr const char* kLabels = "";
constexpr const char* kFollows = "显示名称与IO名称是否一致";
const std::vector<std::string> kJointEntries = {"正常", "超限", "无"};

std::u16string Text(const FormField& f) { return FromUtf8(f.value); }
std::string Flag(int32_t v) { return v ? "1" : "0"; }
}  // namespace

SwitchForm::SwitchForm(RailSwitch& sw, const FormContext& context)
    : PropertyForm("道岔属性", context.ui), sw_(sw), context_(context) {
    Add(kDevice, "车站号", K::Decimal);
    AddRecordFields(kDevice, "IO名称");
    Add(kDevice, "按钮是否有效", K::Check);
    Add(kDisplayGroup, "显示名称", K::Text);
    Add(kDisplayGroup, kFollows, K::Check);
    Add(kSwitchSection, "车站号", K::Decimal);
    AddRecordFields(kSwitchSection);
    for (const char* group : kLogic) AddRecordFields(group);
    Add(kFront, "名称", K::Name);
    Add(kFront, "地址", K::Hex);
    Add(kFront, "位置", K::List, {"反位", "定位"});
    for (const char* leg : {"区段", "直股", "斜股"}) Add("绝缘结", leg, K::List, kJointEntries);
    Add(kLabels, "是否显示区段名称", K::Check);
    Add(kLabels, "是否显示延时时间", K::Check);

    F(kDevice, "车站号").value = FormatDecimalField(sw.io.station);
    F(kDevice, "按钮是否有效").value = Flag(sw.buttonValid);
    const DisplayNameGroup group = DisplayNameGroup::Of(sw);
    F(kDisplayGroup, "显示名称").value = ToUtf8(group.text);
    F(kDisplayGroup, "显示名称").enabled = group.TextEnabled();
    F(kDisplayGroup, kFollows).value = Flag(group.follows);
    F(kSwitchSection, "车站号").value = FormatDecimalField(sw.switchSection.station);
    ShowRecords();
    F(kFront, "位置").value = ListEntry(F(kFront, "位置"), sw.frontPosition);
    F("绝缘结", "区段").value = ListEntry(F("绝缘结", "区段"), sw.sectionJoint);
    F("绝缘结", "直股").value = ListEntry(F("绝缘结", "直股"), sw.straightJoint);
    F("绝缘结", "斜股").value = ListEntry(F("绝缘结", "斜股"), sw.divergingJoint);
    F(kLabels, "是否显示区段名称").value = Flag(sw.showSectionName);
    F(kLabels, "是否显示延时时间").value = Flag(sw.showDelayTime);
}

void SwitchForm::ShowRecords() {
    ShowRecord(kDevice, sw_.io, "IO名称");
    ShowRecord(kSwitchSection, sw_.switchSection);
    ShowRecord(kLogic[0], sw_.logic[0]);
    ShowRecord(kLogic[1], sw_.logic[1]);
    F(kFront, "名称").value = ToUtf8(sw_.frontSwitch.Name());
    F(kFront, "地址").value = FormatHexField(sw_.frontSwitch.address);
}

void SwitchForm::Edited(FormField& field) {
    if (&field != &F(kDisplayGroup, kFollows)) return;
    DisplayNameGroup group;
    group.SetFollows(field.Checked(), Text(F(kDevice, "IO名称")));
    F(kDisplayGroup, "显示名称").value = ToUtf8(group.text);
    F(kDisplayGroup, "显示名称").enabled = group.TextEnabled();
}

bool SwitchForm::LookUp(FormField& field) {
    RailSwitch& sw = sw_;
    Interaction& ui = UI();
    const std::u16string text = Text(field);
    // The logic records' names first, as the two-way match reads them.
    if (context_.hasLogicSections) {
        for (size_t k = 0; k < 2; ++k) sw.logic[k].SetName(Text(F(kLogic[k], "名称")));
    }
    if (&field == &F(kSwitchSection, "名称")) {
        if (context_.hasLogicSections) {
            MatchTwoWaySwitchRecords(context_.tables, text, sw, context_.logicSectionsPerSwitch,
                                     ui);
        } else {
            MatchIoRecord(context_.tables, text, sw.switchSection, ui);
        }
    } else if (&field == &F(kFront, "名称")) {
        MatchIoRecord(context_.tables, text, sw.frontSwitch, ui);
    } else if (&field == &F(kLogic[0], "名称") || &field == &F(kLogic[1], "名称")) {
        MatchIoRecord(context_.tables, text, sw.logic[&field == &F(kLogic[0], "名称") ? 0 : 1], ui);
    } else if (&field == &F(kDevice, "IO名称")) {
        MatchIoRecord(context_.tables, text, sw.io, ui);
        if (F(kDisplayGroup, kFollows).Checked()) {
            F(kDisplayGroup, "显示名称").value = ToUtf8(sw.io.Name());
        }
    } else {
        return false;
    }
    // The fields show the switch again; the looked-up field keeps its text,
    // which a failed match does not give the record.
    ShowRecords();
    field.value = ToUtf8(text);
    return true;
}

void SwitchForm::TakeValues() {
    RailSwitch& sw = sw_;
    Interaction& ui = UI();
    TakeDecimalField(F(kDevice, "车站号").value, sw.io.station, ui);
    TakeRecordNumbers(kDevice, sw.io);
    TakeDecimalField(F(kSwitchSection, "车站号").value, sw.switchSection.station, ui);
    TakeRecordNumbers(kSwitchSection, sw.switchSection);
    TakeRecordNumbers(kLogic[0], sw.logic[0]);
    TakeRecordNumbers(kLogic[1], sw.logic[1]);
    TakeHexField(F(kFront, "地址").value, sw.frontSwitch.address, ui);
    sw.frontPosition = ListIndex(F(kFront, "位置"), sw.frontPosition);
    sw.sectionJoint = ListIndex(F("绝缘结", "区段"), sw.sectionJoint);
    sw.straightJoint = ListIndex(F("绝缘结", "直股"), sw.straightJoint);
    sw.divergingJoint = ListIndex(F("绝缘结", "斜股"), sw.divergingJoint);
}

bool SwitchForm::Confirm() {
    for (const FormField* name :
         {&F(kDevice, "IO名称"), &F(kSwitchSection, "名称"), &F(kLogic[0], "名称"),
          &F(kLogic[1], "名称"), &F(kFront, "名称")}) {
        if (!NameFits(*name)) return false;
    }
    RailSwitch& sw = sw_;
    // (1) numbers, lists and check boxes.
    TakeValues();
    // (2) the IO name; (3) the display name.
    sw.io.SetName(Text(F(kDevice, "IO名称")));
    const DisplayNameGroup group{F(kDisplayGroup, kFollows).Checked(),
                                 Text(F(kDisplayGroup, "显示名称"))};
    group.Confirm(sw, sw.io.Name());
    // (4) the switch-section and front switch names.
    sw.switchSection.SetName(Text(F(kSwitchSection, "名称")));
    sw.frontSwitch.SetName(Text(F(kFront, "名称")));
    // (5) flags.
    sw.buttonValid = F(kDevice, "按钮是否有效").Checked() ? 1 : 0;
    sw.showDelayTime = F(kLabels, "是否显示延时时间").Checked() ? 1 : 0;
    sw.showSectionName = F(kLabels, "是否显示区段名称").Checked() ? 1 : 0;
    // (6), (7) the section-name and delay-time labels.
    sw.extra.ShowAsConfirmed(sw.showSectionName != 0, sw.switchSection.Name(),
                             sw.showDelayTime != 0);
    // (8) the logic records' names.
    sw.logic[0].SetName(Text(F(kLogic[0], "名称")));
    sw.logic[1].SetName(Text(F(kLogic[1], "名称")));
    // (9) the labels take the size of their texts.
    for (Label* label : {&sw.nameLabel, &sw.extra.sectionName, &sw.extra.delayTime})
        label->FitToText();
    sw.labelRect = sw.nameLabel.GetCanvasRect();
    return true;
}

ThreeSwitchForm::ThreeSwitchForm(CADThreeSwitch& sw, const FormContext& context)
    : PropertyForm("Dialog", context.ui), sw_(sw), context_(context) {
    Add(kDevice, "车站号", K::Decimal);
    AddRecordFields(kDevice);
    Add(kDevice, "按钮是否有效", K::Check);
    Add(kSwitchSection, "车站号", K::Decimal);
    AddRecordFields(kSwitchSection);
    Add(kFront, "名称", K::Name);
    Add(kFront, "地址号", K::Hex);
    Add(kFront, "位置", K::List, {"定位", "反位"});
    for (const char* leg : {"区段", "直股", "上斜股", "下斜股"})
        Add("绝缘节", leg, K::List, kJointEntries);

    F(kDevice, "车站号").value = FormatDecimalField(sw.io.station);
    F(kDevice, "按钮是否有效").value = Flag(sw.buttonValid);
    F(kSwitchSection, "车站号").value = FormatDecimalField(sw.switchSection.station);
    ShowRecords();
    // The device's name field is the shown name.
    F(kDevice, "名称").value = ToUtf8(sw.nameLabel.text);
    F(kFront, "位置").value = ListEntry(F(kFront, "位置"), sw.frontPosition);
    const char* legs[] = {"区段", "直股", "上斜股", "下斜股"};
    for (size_t i = 0; i < 4; ++i) {
        F("绝缘节", legs[i]).value = ListEntry(F("绝缘节", legs[i]), sw.jointKinds[i]);
    }
}

void ThreeSwitchForm::ShowRecords() {
    ShowRecordNumbers(kDevice, sw_.io);
    ShowRecord(kSwitchSection, sw_.switchSection);
    F(kFront, "名称").value = ToUtf8(sw_.frontSwitch.Name());
    F(kFront, "地址号").value = FormatHexField(sw_.frontSwitch.address);
}

bool ThreeSwitchForm::LookUp(FormField& field) {
    CADThreeSwitch& sw = sw_;
    const std::u16string text = Text(field);
    if (&field == &F(kSwitchSection, "名称")) {
        MatchIoRecord(context_.tables, text, sw.switchSection, UI());
    } else if (&field == &F(kDevice, "名称")) {
        if (context_.hasLogicSections) {
            MatchThreeWayLogicSections(context_.tables, text, sw, context_.logicSectionsPerSwitch,
                                       UI());
        } else {
            MatchIoRecord(context_.tables, text, sw.io, UI());
        }
    } else if (&field == &F(kFront, "名称")) {
        MatchIoRecord(context_.tables, text, sw.frontSwitch, UI());
    } else {
        return false;
    }
    // The fields show the switch again; the looked-up field keeps its text.
    ShowRecords();
    field.value = ToUtf8(text);
    return true;
}

bool ThreeSwitchForm::Confirm() {
    for (const FormField* name :
         {&F(kDevice, "名称"), &F(kSwitchSection, "名称"), &F(kFront, "名称")}) {
        if (!NameFits(*name)) return false;
    }
    CADThreeSwitch& sw = sw_;
    Interaction& ui = UI();
    // (1) values.
    TakeDecimalField(F(kDevice, "车站号").value, sw.io.station, ui);
    TakeRecordNumbers(kDevice, sw.io);
    TakeDecimalField(F(kSwitchSection, "车站号").value, sw.switchSection.station, ui);
    TakeRecordNumbers(kSwitchSection, sw.switchSection);
    TakeHexField(F(kFront, "地址号").value, sw.frontSwitch.address, ui);
    sw.frontPosition = ListIndex(F(kFront, "位置"), sw.frontPosition);
    const char* legs[] = {"区段", "直股", "上斜股", "下斜股"};
    for (size_t i = 0; i < 4; ++i) {
        sw.jointKinds[i] = ListIndex(F("绝缘节", legs[i]), sw.jointKinds[i]);
    }
    // (2) the shown name; (3) the record names; (4) button valid; (5) the IO
    // name; (6) the label placed.
    sw.nameLabel.text = Text(F(kDevice, "名称"));
    sw.switchSection.SetName(Text(F(kSwitchSection, "名称")));
    sw.frontSwitch.SetName(Text(F(kFront, "名称")));
    sw.buttonValid = F(kDevice, "按钮是否有效").Checked() ? 1 : 0;
    sw.io.SetName(Text(F(kDevice, "名称")));
    sw.PlaceLabel();
    return true;
}

}  // namespace velkor
