#pragma once
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "common/Color.h"
#include "common/Interaction.h"
#include "devices/CADDevice.h"
#include "forms/PropertyForm.h"
#include "tables/IoTables.h"

namespace velkor {

// The display-name group of the property dialogs: whether the name shown
// beside the device follows its IO name, and the text shown otherwise.
struct DisplayNameGroup {
    bool follows = true;
    std::u16string text;

    // "显示名称" is editable only while the name does not follow.
    bool TextEnabled() const { return !follows; }
    // On opening: the device's flag and its name label's text.
    static DisplayNameGroup Of(const CADDevice& device);
    // The check box clicked: ticked, the text takes `nameField`; cleared, it
    // becomes `clearedText` (empty for every dialog but the section dialog
    // of a station with logic sections).
    void SetFollows(bool ticked, std::u16string_view nameField,
                    std::u16string_view clearedText = {});
    // On "确定": the flag, and the label text `followedName` or the text.
    void Confirm(CADDevice& device, std::u16string_view followedName) const;
};

// The dialogs built on the device panel "设备信息" (arrows, screen doors,
// arrow lights, lamps, derailers, seal counters): the IO record, the
// button-valid flag of the classes that store one and the display-name
// group, then the host dialog's own fields.
class DevicePanelForm : public PropertyForm {
public:
    static constexpr const char* kGroup = "设备信息";

    // `group` names the panel's group where the host calls it otherwise.
    DevicePanelForm(std::string title, CADDevice& device, const IoTables& tables, Interaction& ui,
                    std::string group = kGroup);

    // The name field's lookup where the host has its own (the default
    // matches the IO record); the device's label is placed after it.
    void SetLookUp(std::function<void(std::u16string_view text)> lookUp) {
        lookUp_ = std::move(lookUp);
    }
    // Whether the field is the panel's name field.
    bool IsPanelName(const FormField& field) { return &field == &Panel("名称"); }

    // The panel's fields as the device holds them now.
    void Refresh();
    void Edited(FormField& field) override;
    bool LookUp(FormField& field) override;
    bool Confirm() override;

private:
    FormField& Panel(const char* label) { return *Find(label, group_); }

    CADDevice& device_;
    const IoTables& tables_;
    int32_t* buttonValidField_;
    std::string group_;
    std::function<void(std::u16string_view)> lookUp_;
};

}  // namespace velkor
