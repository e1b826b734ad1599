#include "forms/DevicePanel.h"

#include "common/Text.h"
#include "forms/FormFields.h"
#include "iotables/TableEditing.h"

namespace velkor {

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

DevicePanel::DevicePanel(CADDevice& device, const IoTables& tables, Interaction& ui)
    : device_(device),
      tables_(tables),
      ui_(ui),
      buttonValidField_(FindI32Field(device, "buttonValid")) {
    Refresh();
}

void DevicePanel::Refresh() {
    const IORecord& io = device_.io;
    station = FormatDecimalField(io.station);
    name = io.Name();
    address = FormatHexField(io.address);
    button = FormatHexField(io.button);
    word = FormatHexField(io.word);
    bit = FormatHexField(io.bit);
    buttonValid = buttonValidField_ && *buttonValidField_ != 0;
    display = DisplayNameGroup::Of(device_);
}

void DevicePanel::LookUpName() {
    MatchIoRecord(tables_, name, device_.io, ui_);
    device_.PlaceLabel();
    // The lookup changed the device; the fields show it, the display name
    // as the dialog had it unless it follows the name.
    const DisplayNameGroup shown = display;
    Refresh();
    display = shown;
    if (display.follows) display.text = device_.io.Name();
}

void DevicePanel::Confirm() {
    IORecord& io = device_.io;
    TakeDecimalField(station, io.station, ui_);
    TakeHexField(address, io.address, ui_);
    TakeHexField(button, io.button, ui_);
    TakeHexField(word, io.word, ui_);
    TakeHexField(bit, io.bit, ui_);
    io.SetName(name);
    if (buttonValidField_) *buttonValidField_ = buttonValid ? 1 : 0;
    display.Confirm(device_, io.Name());
}

}  // namespace velkor
