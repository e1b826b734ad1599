#include "forms/SectionForm.h"

#include "common/Text.h"
#include "forms/DevicePanel.h"
#include "forms/FormFields.h"
#include "iotables/TableEditing.h"

namespace velkor {

namespace {
using K = FormField::Kind;
constexpr const char* kDevice = "设备信息";
constexpr const char* kLogic = "逻辑信息";
constexpr const char* kDisplayGroup = "";
constexpr const char* kStations = "关联车站";
constexpr const char* kGate = "关联防淹门";
constexpr const char* kKind = "区段属性";
constexpr const char* kJoints = "绝缘结";
const std::vector<std::string> kJointEntries = {"普通", "超限", "无"};

std::string JointEntry(int32_t kind) {
    return kind >= 0 && kind < 3 ? kJointEntries[static_cast<size_t>(kind)] : "";
}
int32_t JointIndex(const std::string& entry, int32_t old) {
    for (size_t i = 0; i < kJointEntries.size(); ++i) {
        if (kJointEntries[i] == entry) return static_cast<int32_t>(i);
    }
    return old;
}
}  // namespace

SectionForm::SectionForm(CADSection& section, const IoTables& tables, bool hasLogicSections,
                         Interaction& ui)
    : PropertyForm("区段", ui), section_(section), tables_(tables), hasLogic_(hasLogicSections) {
    Add(kDevice, "车站号", K::Decimal);
    AddRecordFields(kDevice);
    Add(kDevice, "按钮是否有效", K::Check);
    AddRecordFields(kLogic);
    Add(kDisplayGroup, "显示名称", K::Text);
    Add(kDisplayGroup, "显示名称是否与IO名称一致", K::Check);
    Add(kStations, "上行车站名称", K::Name);
    Add(kStations, "上行车站号", K::Hex);
    Add(kStations, "下行车站名称", K::Name);
    Add(kStations, "下行车站号", K::Hex);
    Add(kGate, "防淹门名称", K::Name);
    Add(kGate, "防淹门ID1", K::Decimal);
    Add(kGate, "防淹门ID2", K::Decimal);
    Add(kKind, "无岔区段", K::Radio);
    Add(kKind, "股道", K::Radio);
    Add(kKind, "是否显示区段名称", K::Check);
    Add(kKind, "是否显示延时时间", K::Check);
    Add(kJoints, "左", K::List, kJointEntries);
    Add(kJoints, "右", K::List, kJointEntries);
    SetNote(
        "备注：当本站数据包含逻辑区段时，显示名称与逻辑区段名称一致；当本站不包含逻辑区段时，"
        "显示名称与物理区段名称一致。");

    F(kDevice, "车站号").value = FormatDecimalField(section.io.station);
    ShowRecord(kDevice, section.io);
    F(kDevice, "按钮是否有效").value = section.buttonValid ? "1" : "0";
    ShowRecord(kLogic, section.logic);
    const DisplayNameGroup group = DisplayNameGroup::Of(section);
    F(kDisplayGroup, "显示名称").value = ToUtf8(group.text);
    F(kDisplayGroup, "显示名称").enabled = group.TextEnabled();
    F(kDisplayGroup, "显示名称是否与IO名称一致").value = group.follows ? "1" : "0";
    ShowStations();
    ShowFloodGate();
    F(kKind, "无岔区段").value = section.sectionKind == 1 ? "1" : "0";
    F(kKind, "股道").value = section.sectionKind == 1 ? "0" : "1";
    F(kKind, "是否显示区段名称").value = section.showSectionName ? "1" : "0";
    F(kKind, "是否显示延时时间").value = section.showDelayTime ? "1" : "0";
    F(kJoints, "左").value = JointEntry(section.leftJoint);
    F(kJoints, "右").value = JointEntry(section.rightJoint);
}

void SectionForm::ShowStations() {
    // The station name of the first station row with that 车站ID.
    const auto nameOf = [this](uint16_t id) -> std::string {
        for (const Row& row : tables_.Table(kStationTable)) {
            if (row.U16(io::kStation) == id) {
                return ToUtf8(row.Text(io::kStationName, io::kStationNameBytes));
            }
        }
        return {};
    };
    F(kStations, "上行车站名称").value = nameOf(section_.upStation);
    F(kStations, "上行车站号").value = FormatHexField(section_.upStation);
    F(kStations, "下行车站名称").value = nameOf(section_.downStation);
    F(kStations, "下行车站号").value = FormatHexField(section_.downStation);
}

void SectionForm::ShowFloodGate() {
    // The first miscellaneous row whose 地址号 is ID 1, its name cut before
    // its first "_" (or "-"); nothing for a name with neither.
    std::u16string name;
    for (const Row& row : tables_.Table(kLingsanTable)) {
        if (row.U16(io::kAddress) != section_.floodGate1) continue;
        const std::u16string full = row.Name();
        size_t cut = full.find(u'_');
        if (cut == std::u16string::npos) cut = full.find(u'-');
        if (cut != std::u16string::npos) name = full.substr(0, cut);
        break;
    }
    F(kGate, "防淹门名称").value = ToUtf8(name);
    F(kGate, "防淹门ID1").value = FormatDecimalField(section_.floodGate1);
    F(kGate, "防淹门ID2").value = FormatDecimalField(section_.floodGate2);
}

void SectionForm::Edited(FormField& field) {
    if (&field == &F(kKind, "无岔区段") || &field == &F(kKind, "股道")) {
        // One of the two is chosen.
        const bool plain = (&field == &F(kKind, "无岔区段")) == field.Checked();
        F(kKind, "无岔区段").value = plain ? "1" : "0";
        F(kKind, "股道").value = plain ? "0" : "1";
        return;
    }
    if (&field != &F(kDisplayGroup, "显示名称是否与IO名称一致")) return;
    const std::u16string shownName = FromUtf8(F(hasLogic_ ? kLogic : kDevice, "名称").value);
    const std::u16string logicName = FromUtf8(F(kLogic, "名称").value);
    // Cleared in a station with logic sections: the logic name's last character.
    const std::u16string cleared =
        hasLogic_ && !logicName.empty() ? logicName.substr(logicName.size() - 1) : u"";
    DisplayNameGroup group;
    group.SetFollows(field.Checked(), shownName, cleared);
    F(kDisplayGroup, "显示名称").value = ToUtf8(group.text);
    F(kDisplayGroup, "显示名称").enabled = group.TextEnabled();
}

bool SectionForm::LookUp(FormField& field) {
    const std::u16string text = FromUtf8(field.value);
    const bool follows = F(kDisplayGroup, "显示名称是否与IO名称一致").Checked();
    if (&field == &F(kDevice, "名称")) {
        MatchIoRecord(tables_, text, section_.io, UI());
        ShowRecord(kDevice, section_.io);
        if (follows && !hasLogic_) F(kDisplayGroup, "显示名称").value = ToUtf8(section_.io.Name());
    } else if (&field == &F(kLogic, "名称")) {
        MatchIoRecord(tables_, text, section_.logic, UI());
        ShowRecord(kLogic, section_.logic);
        if (follows && hasLogic_) {
            F(kDisplayGroup, "显示名称").value = ToUtf8(section_.logic.Name());
        }
    } else if (&field == &F(kStations, "上行车站名称")) {
        section_.upStation = MatchStation(tables_, text);
        F(kStations, "上行车站号").value = FormatHexField(section_.upStation);
    } else if (&field == &F(kStations, "下行车站名称")) {
        section_.downStation = MatchStation(tables_, text);
        F(kStations, "下行车站号").value = FormatHexField(section_.downStation);
    } else if (&field == &F(kGate, "防淹门名称")) {
        IORecord first, second;
        const bool found = MatchPairedLingsan(tables_, text, first, second, UI());
        section_.floodGate1 = found ? static_cast<uint8_t>(first.address & 0xFF) : 255;
        section_.floodGate2 = found ? static_cast<uint8_t>(second.address & 0xFF) : 255;
        F(kGate, "防淹门ID1").value = FormatDecimalField(section_.floodGate1);
        F(kGate, "防淹门ID2").value = FormatDecimalField(section_.floodGate2);
    } else {
        return false;
    }
    return true;
}

bool SectionForm::Confirm() {
    if (!NameFits(F(kDevice, "名称")) || !NameFits(F(kLogic, "名称"))) return false;
    CADSection& s = section_;
    Interaction& ui = UI();
    // (1) numbers, lists and check boxes.
    TakeDecimalField(F(kDevice, "车站号").value, s.io.station, ui);
    TakeRecordNumbers(kDevice, s.io);
    TakeRecordNumbers(kLogic, s.logic);
    TakeHexField(F(kStations, "上行车站号").value, s.upStation, ui);
    TakeHexField(F(kStations, "下行车站号").value, s.downStation, ui);
    TakeDecimalField(F(kGate, "防淹门ID1").value, s.floodGate1, ui);
    TakeDecimalField(F(kGate, "防淹门ID2").value, s.floodGate2, ui);
    s.leftJoint = JointIndex(F(kJoints, "左").value, s.leftJoint);
    s.rightJoint = JointIndex(F(kJoints, "右").value, s.rightJoint);
    // (2) the logic record's name.
    s.logic.SetName(FromUtf8(F(kLogic, "名称").value));
    // (3) the display name, with the IO name as it was before (5).
    const DisplayNameGroup group{F(kDisplayGroup, "显示名称是否与IO名称一致").Checked(),
                                 FromUtf8(F(kDisplayGroup, "显示名称").value)};
    group.Confirm(s, hasLogic_ ? s.logic.Name() : s.io.Name());
    // (4) flags.
    s.buttonValid = F(kDevice, "按钮是否有效").Checked() ? 1 : 0;
    s.showDelayTime = F(kKind, "是否显示延时时间").Checked() ? 1 : 0;
    s.showSectionName = F(kKind, "是否显示区段名称").Checked() ? 1 : 0;
    // (5) the IO name.
    s.io.SetName(FromUtf8(F(kDevice, "名称").value));
    // (6), (7) the section-name and delay-time labels.
    s.extra.ShowAsConfirmed(s.showSectionName != 0,
                            hasLogic_ ? RemoveLogicSuffix(s.io.Name()) : s.io.Name(),
                            s.showDelayTime != 0);
    // (8) the kind.
    s.sectionKind = F(kKind, "无岔区段").Checked() ? 1 : 0;
    // (9) the labels take the size of their texts, keeping their corners.
    for (Label* label : {&s.nameLabel, &s.extra.sectionName, &s.extra.delayTime})
        label->FitToText();
    s.labelRect = s.nameLabel.GetCanvasRect();
    return true;
}

}  // namespace velkor
