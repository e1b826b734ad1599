#include "forms/SignalForm.h"

#include "common/Text.h"
#include "forms/DevicePanel.h"
#include "forms/FormFields.h"
#include "iotables/TableEditing.h"

namespace velkor {

namespace {
using K = FormField::Kind;
constexpr const char* kDevice = "设备信息";
constexpr const char* kDisplayGroup = "";
constexpr const char* kSignal = "信号机属性";
constexpr const char* kFollows = "显示名称与IO名称是否一致";
constexpr uint32_t kRed = 255;
constexpr uint32_t kBlue = 0xFF0000;

// The check boxes of 信号机属性 bound to the signal's flags, in order.
struct SignalFlag {
    const char* label;
    int32_t CADSignal::*member;
};
constexpr SignalFlag kFlags[] = {{"单置", &CADSignal::singleMounted},
                                 {"引导", &CADSignal::guide},
                                 {"自动触发进路", &CADSignal::autoTriggerRoute},
                                 {"自动通过进路", &CADSignal::autoThroughRoute}};
// The hexadecimal fields of 信号机属性.
struct SignalNumber {
    const char* label;
    uint16_t CADSignal::*member;
};
constexpr SignalNumber kNumbers[] = {{"按钮号2", &CADSignal::button2},
                                     {"Btn1地址号", &CADSignal::button1Address},
                                     {"Btn2地址号", &CADSignal::button2Address},
                                     {"Btn3地址号", &CADSignal::button3Address}};

std::u16string Text(const FormField& f) { return FromUtf8(f.value); }
std::string Flag(bool v) { return v ? "1" : "0"; }
}  // namespace

SignalForm::SignalForm(CADSignal& signal, const FormContext& context)
    : PropertyForm("信号机", context.ui),
      signal_(signal),
      context_(context),
      movedAtOpening_(signal.movedAcross != 0) {
    Add(kDevice, "车站号", K::Decimal);
    AddRecordFields(kDevice, "IO名称");
    Add(kDevice, "按钮是否有效", K::Check);
    Add(kDisplayGroup, "显示名称", K::Text);
    Add(kDisplayGroup, kFollows, K::Check);
    Add(kSignal, "默认灯色", K::List, {"红", "蓝"});
    Add(kSignal, "单置", K::Check);
    Add(kSignal, "引导", K::Check);
    Add(kSignal, "信号特开", K::Check);
    Add(kSignal, "自动触发进路", K::Check);
    Add(kSignal, "自动通过进路", K::Check);
    Add(kSignal, "上下移动", K::Check);
    Add(kSignal, "信号机类型", K::List,
        std::vector<std::string>(kSignalUsageNames.begin(), kSignalUsageNames.end()));
    for (const SignalNumber& n : kNumbers) Add(kSignal, n.label, K::Hex);
    Add(kSignal, "是否显示延时时间", K::Check);
    Add(kSignal, "保护区段类型数", K::List, {"0", "1", "2", "3", "4"});

    const DisplayNameGroup group = DisplayNameGroup::Of(signal);
    F(kDisplayGroup, "显示名称").value = ToUtf8(group.text);
    F(kDisplayGroup, kFollows).value = Flag(group.follows);
    F(kSignal, "上下移动").value = Flag(movedAtOpening_);
    F(kDevice, "IO名称").value = ToUtf8(signal.io.Name());
    Refresh();
}

// The typed name stays: the signal takes it on "确定".
void SignalForm::Refresh() {
    const CADSignal& s = signal_;
    F(kDevice, "车站号").value = FormatDecimalField(s.io.station);
    ShowRecordNumbers(kDevice, s.io);
    F(kDevice, "按钮是否有效").value = Flag(s.buttonValid != 0);
    F(kDisplayGroup, "显示名称").enabled = !F(kDisplayGroup, kFollows).Checked();
    F(kSignal, "默认灯色").value = s.defaultLampColour == kBlue ? "蓝" : "红";
    for (const SignalFlag& flag : kFlags) F(kSignal, flag.label).value = Flag(s.*flag.member != 0);
    F(kSignal, "信号特开").value = Flag(s.specialOpening != 0);
    FormField& kind = F(kSignal, "信号机类型");
    kind.value = ListEntry(kind, s.usageKind);
    for (const SignalNumber& n : kNumbers) F(kSignal, n.label).value = FormatHexField(s.*n.member);
    // The second button number belongs to the kinds with an embedded button.
    F(kSignal, "按钮号2").enabled = CADSignal::HasEmbeddedButton(s.usageKind);
    F(kSignal, "是否显示延时时间").value = Flag(s.showDelayTime != 0);
    FormField& overlaps = F(kSignal, "保护区段类型数");
    overlaps.value = ListEntry(overlaps, s.overlapTypes);
}

void SignalForm::TakeValues() {
    CADSignal& s = signal_;
    Interaction& ui = UI();
    TakeDecimalField(F(kDevice, "车站号").value, s.io.station, ui);
    TakeRecordNumbers(kDevice, s.io);
    s.buttonValid = F(kDevice, "按钮是否有效").Checked() ? 1 : 0;
    s.defaultLampColour = F(kSignal, "默认灯色").value == "蓝" ? kBlue : kRed;
    for (const SignalFlag& flag : kFlags) {
        s.*flag.member = F(kSignal, flag.label).Checked() ? 1 : 0;
    }
    s.specialOpening = F(kSignal, "信号特开").Checked() ? 1 : 0;
    s.usageKind = ListIndex(F(kSignal, "信号机类型"), s.usageKind);
    for (const SignalNumber& n : kNumbers) TakeHexField(F(kSignal, n.label).value, s.*n.member, ui);
    s.showDelayTime = F(kSignal, "是否显示延时时间").Checked() ? 1 : 0;
    s.overlapTypes = static_cast<uint8_t>(ListIndex(F(kSignal, "保护区段类型数"), s.overlapTypes));
}

void SignalForm::Edited(FormField& field) {
    if (&field == &F(kDisplayGroup, kFollows)) {
        DisplayNameGroup group;
        group.SetFollows(field.Checked(), Text(F(kDevice, "IO名称")));
        F(kDisplayGroup, "显示名称").value = ToUtf8(group.text);
        F(kDisplayGroup, "显示名称").enabled = group.TextEnabled();
        return;
    }
    if (&field != &F(kSignal, "信号机类型")) return;
    // A new kind: every value is taken over and the embedded button follows
    // at once.
    const int32_t before = signal_.usageKind;
    TakeValues();
    const int32_t kind = signal_.usageKind;
    signal_.usageKind = before;
    signal_.ChangeUsageKind(kind);
    signal_.NameEmbeddedButton(Text(F(kDisplayGroup, "显示名称")));
    Refresh();
}

bool SignalForm::LookUp(FormField& field) {
    if (&field != &F(kDevice, "IO名称")) return false;
    CADSignal& s = signal_;
    const std::u16string text = Text(field);
    MatchIoRecord(context_.tables, text, s.io, UI(), &s);
    ShowRecordNumbers(kDevice, s.io);
    F(kSignal, "按钮号2").value = FormatHexField(s.button2);
    if (F(kDisplayGroup, kFollows).Checked()) {
        F(kDisplayGroup, "显示名称").value = ToUtf8(s.io.Name());
    }
    return true;
}

bool SignalForm::Confirm() {
    if (!NameFits(F(kDevice, "IO名称"))) return false;
    CADSignal& s = signal_;
    // (1) values; (4) the second button number, the button addresses and
    // the lamp colour are among them.
    TakeValues();
    // (2) the IO name and the display name.
    const std::u16string ioName = Text(F(kDevice, "IO名称"));
    s.io.SetName(ioName);
    const DisplayNameGroup group{F(kDisplayGroup, kFollows).Checked(),
                                 Text(F(kDisplayGroup, "显示名称"))};
    group.Confirm(s, s.io.Name());
    // (3) across the track when "上下移动" changed.
    const bool moved = F(kSignal, "上下移动").Checked();
    if (moved != movedAtOpening_) s.MoveAcrossTrack(moved);
    const int32_t kind = s.usageKind;
    // (5) 变更 and 终端: the button alone shows the typed name.
    if (kind == 3 || kind == 6) {
        s.io.SetName(u"");
        s.nameLabel.text.clear();
        s.button.nameLabel.text = ioName;
        s.button.PlaceLabel();
        s.button.nameLabel.textColor = Rgb(255, 255, 255);
        s.button.nameLabel.backgroundColor = Rgb(0, 0, 0);
    }
    // (6) the embedded button's number.
    if (CADSignal::HasEmbeddedButton(kind)) s.button.io.button = s.button2;
    // (7) the delay-time label.
    if (!s.showDelayTime) {
        s.delayTime.DestroyWindow();
    } else if (!s.delayTime.HasWindow()) {
        s.delayTime.CreateWindow(s.delayTimeRect);
        s.delayTime.text = u"000";
    }
    // (8) 列调 and 调列 name their button after the shown name. 变更 and 终端
    // keep the typed name on it.
    if (kind == 2 || kind == 5) s.NameEmbeddedButton(s.nameLabel.text);
    // (9) the labels take the size of their texts.
    for (Label* label : {&s.nameLabel, &s.delayTime, &s.button.nameLabel}) label->FitToText();
    s.labelRect = s.nameLabel.GetCanvasRect();
    Refresh();
    return true;
}

}  // namespace velkor
