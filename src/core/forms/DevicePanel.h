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

// "#RRGGBB" for a colour field, and back (nothing for another text).
std::string FormatColourField(Color c);
std::optional<Color> ParseColourField(std::string_view text);

// The dialogs built on the device panel "设备信息" (arrows, screen doors,
// arrow lights, lamps, derailers, seal counters): the IO record, the
// button-valid flag of the classes that store one and the display-name
// group, then the host dialog's own fields.
class DevicePanelForm : public PropertyForm {
public:
    static constexpr const char* kGroup = "设备信息";

    DevicePanelForm(std::string title, CADDevice& device, const IoTables& tables, Interaction& ui);

    // The host dialog's own fields, taken over after the panel in the order
    // they were added: a colour ("#RRGGBB"; another text is refused before
    // anything is taken over), colours "<prefix>1", "<prefix>2" ..., a check
    // box over a flag, a decimal number handed to `take`.
    void AddColour(const std::string& label, Color& colour);
    void AddColours(const std::string& prefix, std::span<Color> colours);
    void AddCheck(const std::string& label, int32_t& flag);
    void AddNumber(const std::string& label, int32_t value, std::function<void(int32_t)> take);
    // Runs last on "确定".
    void AfterConfirm(std::function<void()> step) { after_ = std::move(step); }

    // The panel's fields as the device holds them now.
    void Refresh();
    void Edited(FormField& field) override;
    bool LookUp(FormField& field) override;
    bool Confirm() override;

private:
    // A host field: its index, a check before anything is taken over and
    // its takeover.
    struct HostField {
        size_t field;
        std::function<bool(const FormField&)> accepts;
        std::function<void(const FormField&)> take;
    };
    FormField& Panel(const char* label) { return *Find(label, kGroup); }

    CADDevice& device_;
    const IoTables& tables_;
    int32_t* buttonValidField_;
    std::vector<HostField> host_;
    std::function<void()> after_;
};

}  // namespace velkor
