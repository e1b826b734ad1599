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
constexpr const char* kMsgBadColour = "颜色无效（应为 #RRGGBB）：";
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

std::string FormatColourField(Color c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", c.r, c.g, c.b);
    return buf;
}

std::optional<Color> ParseColourField(std::string_view text) {
    if (text.size() != 7 || text[0] != '#') return std::nullopt;
    uint32_t v = 0;
    for (char ch : text.substr(1)) {
        const int d = ch >= '0' && ch <= '9'   ? ch - '0'
                      : ch >= 'a' && ch <= 'f' ? ch - 'a' + 10
                      : ch >= 'A' && ch <= 'F' ? ch - 'A' + 10
                                               : -1;
        if (d < 0) return std::nullopt;
        v = v << 4 | static_cast<uint32_t>(d);
    }
    return Rgb(static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
               static_cast<uint8_t>(v));
}

DevicePanelForm::DevicePanelForm(std::string title, CADDevice& device, const IoTables& tables,
                                 Interaction& ui)
    : PropertyForm(std::move(title), ui),
      device_(device),
      tables_(tables),
      buttonValidField_(FindI32Field(device, "buttonValid")) {
    using K = FormField::Kind;
    Add(kGroup, kStation, K::Decimal);
    AddRecordFields(kGroup);
    Add(kGroup, kButtonValid, K::Check).enabled = buttonValidField_ != nullptr;
    Add(kGroup, kFollows, K::Check);
    Add(kGroup, kDisplay, K::Text);
    Refresh();
}

void DevicePanelForm::AddColour(const std::string& label, Color& colour) {
    Add("", label, FormField::Kind::Colour).value = FormatColourField(colour);
    host_.push_back({Fields().size() - 1,
                     [this](const FormField& f) {
                         if (ParseColourField(f.value)) return true;
                         UI().Warning(kMsgBadColour + f.label + " " + f.value);
                         return false;
                     },
                     [&colour](const FormField& f) { colour = *ParseColourField(f.value); }});
}

void DevicePanelForm::AddColours(const std::string& prefix, std::span<Color> colours) {
    for (size_t i = 0; i < colours.size(); ++i)
        AddColour(prefix + std::to_string(i + 1), colours[i]);
}

void DevicePanelForm::AddCheck(const std::string& label, int32_t& flag) {
    Add("", label, FormField::Kind::Check).value = flag ? "1" : "0";
    host_.push_back({Fields().size() - 1, [](const FormField&) { return true; },
                     [&flag](const FormField& f) { flag = f.Checked() ? 1 : 0; }});
}

void DevicePanelForm::AddNumber(const std::string& label, int32_t value,
                                std::function<void(int32_t)> take) {
    Add("", label, FormField::Kind::Decimal).value = std::to_string(value);
    host_.push_back({Fields().size() - 1, [](const FormField&) { return true; },
                     [this, value, take = std::move(take)](const FormField& f) {
                         uint16_t v = static_cast<uint16_t>(value);
                         TakeDecimalField(f.value, v, UI());
                         take(v);
                     }});
}

void DevicePanelForm::Refresh() {
    const IORecord& io = device_.io;
    Panel(kStation).value = FormatDecimalField(io.station);
    ShowRecord(kGroup, io);
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
    MatchIoRecord(tables_, FromUtf8(field.value), device_.io, UI());
    device_.PlaceLabel();
    // The numbers show the device again; the display-name group keeps what
    // the dialog shows, a following name taking the looked-up one.
    const std::string follows = Panel(kFollows).value;
    const std::string display = Panel(kDisplay).value;
    Refresh();
    Panel(kFollows).value = follows;
    Panel(kDisplay).enabled = follows != "1";
    Panel(kDisplay).value = follows == "1" ? ToUtf8(device_.io.Name()) : display;
    return true;
}

bool DevicePanelForm::Confirm() {
    if (!NameFits(Panel(kName))) return false;
    for (const HostField& h : host_) {
        if (!h.accepts(Fields()[h.field])) return false;
    }
    IORecord& io = device_.io;
    TakeDecimalField(Panel(kStation).value, io.station, UI());
    TakeRecordNumbers(kGroup, io);
    io.SetName(FromUtf8(Panel(kName).value));
    if (buttonValidField_) *buttonValidField_ = Panel(kButtonValid).Checked() ? 1 : 0;
    DisplayNameGroup group{Panel(kFollows).Checked(), FromUtf8(Panel(kDisplay).value)};
    group.Confirm(device_, io.Name());
    // The host's own fields after the panel.
    for (const HostField& h : host_) h.take(Fields()[h.field]);
    if (after_) after_();
    return true;
}

}  // namespace velkor
