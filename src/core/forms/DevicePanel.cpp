#include "forms/DevicePanel.h"

#include <cstdio>

#include "common/Text.h"
#include "forms/FormFields.h"
#include "iotables/TableEditing.h"

namespace velkor {

namespace {
constexpr const char* kStation = "车站号";
constexpr const char* kName = "名称";
constexpr const char* kButtonValid = "按钮是否有效";
constexpr const char* kFollows = "显示名称与IO名称是否一致";
constexpr const char* kDisplay = "显示名称";
}  // namespace

DisplayNameGroup DisplayNameGroup::Of(const CADDevice& device) {
    return {device.displayNameFollowsIoName != 0, device.nameLabel.text};
}

void DisplayNameGroup::SetFollows(bool ticked, std::u16string_view nameField,
                                  std::u16string_view clearedText) {
    follows = ticked;
    text = ticked ? nameField : clearedText;
}

void DisplayNameGroup::Confirm(CADDevice& device, std::u16string_view followedName) const {
    device.displayNameFollowsIoName = follows ? 1 : 0;
    device.nameLabel.text = follows ? std::u16string(followedName) : text;
}

DevicePanelForm::DevicePanelForm(std::string title, CADDevice& device, const IoTables& tables,
                                 Interaction& ui, std::string group)
    : PropertyForm(std::move(title), ui),
      device_(device),
      tables_(tables),
      buttonValidField_(FindI32Field(device, "buttonValid")),
      group_(std::move(group)) {
    using K = FormField::Kind;
    Add(group_, kStation, K::Decimal);
    AddRecordFields(group_);
    Add(group_, kButtonValid, K::Check).enabled = buttonValidField_ != nullptr;
    Add(group_, kFollows, K::Check);
    Add(group_, kDisplay, K::Text);
    Refresh();
}

void DevicePanelForm::Refresh() {
    const IORecord& io = device_.io;
    Panel(kStation).value = FormatDecimalField(io.station);
    ShowRecord(group_, io);
    Panel(kButtonValid).value = buttonValidField_ && *buttonValidField_ ? "1" : "0";
    const DisplayNameGroup group = DisplayNameGroup::Of(device_);
    Panel(kFollows).value = group.follows ? "1" : "0";
    Panel(kDisplay).value = ToUtf8(group.text);
    Panel(kDisplay).enabled = group.TextEnabled();
}

void DevicePanelForm::Edited(FormField& field) {
    if (&field != &Panel(kFollows)) return;
    DisplayNameGroup group;
    group.SetFollows(field.Checked(), FromUtf8(Panel(kName).value));
    Panel(kDisplay).value = ToUtf8(group.text);
    Panel(kDisplay).enabled = group.TextEnabled();
}

bool DevicePanelForm::LookUp(FormField& field) {
    if (&field != &Panel(kName)) return false;
    const std::string typed = field.value;
    const std::u16string nameBefore = device_.io.Name();
    if (lookUp_) {
        lookUp_(FromUtf8(field.value));
    } else {
        MatchIoRecord(tables_, FromUtf8(field.value), device_.io, UI());
    }
    device_.PlaceLabel();
    // The numbers show the device again; the display-name group keeps what
    // the dialog shows, a following name taking the looked-up one.
    const std::string follows = Panel(kFollows).value;
    const std::string display = Panel(kDisplay).value;
    Refresh();
    // A lookup that gave the record no new name leaves the typed one.
    if (device_.io.Name().empty() || device_.io.Name() == nameBefore) Panel(kName).value = typed;
    Panel(kFollows).value = follows;
    Panel(kDisplay).enabled = follows != "1";
    Panel(kDisplay).value = follows == "1" ? Panel(kName).value : display;
    return true;
}

bool DevicePanelForm::Confirm() {
    if (!NameFits(Panel(kName))) return false;
    if (!BoundFieldsAccepted()) return false;
    IORecord& io = device_.io;
    TakeDecimalField(Panel(kStation).value, io.station, UI());
    TakeRecordNumbers(group_, io);
    io.SetName(FromUtf8(Panel(kName).value));
    if (buttonValidField_) *buttonValidField_ = Panel(kButtonValid).Checked() ? 1 : 0;
    DisplayNameGroup group{Panel(kFollows).Checked(), FromUtf8(Panel(kDisplay).value)};
    group.Confirm(device_, io.Name());
    // The host's own fields after the panel.
    TakeBoundFields();
    return true;
}

}  // namespace velkor
