#pragma once
#include <string>

#include "common/Interaction.h"
#include "devices/CADDevice.h"
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

// The device panel "设备信息" that the dialogs of arrows, screen doors, arrow
// lights, lamps, derailers and seal counters hold: the IO record, the
// button-valid flag of the classes that store one, and the display name.
// Fields are kept as the dialog shows them; "确定" takes them over.
class DevicePanel {
public:
    DevicePanel(CADDevice& device, const IoTables& tables, Interaction& ui);

    // The fields as the device holds them now.
    void Refresh();
    // The space bar in "名称": the IO record takes the row of that name at
    // once, the label is placed again, and a following display name takes
    // the name.
    void LookUpName();
    // "显示名称与IO名称是否一致" clicked.
    void SetFollows(bool ticked) { display.SetFollows(ticked, name); }
    // "确定": numbers, IO name, button valid, display name.
    void Confirm();

    // Whether the class stores "按钮是否有效".
    bool HasButtonValid() const { return buttonValidField_ != nullptr; }

    std::string station;                     // "车站号", decimal
    std::u16string name;                     // "名称"
    std::string address, button, word, bit;  // hexadecimal
    bool buttonValid = false;
    DisplayNameGroup display;

private:
    CADDevice& device_;
    const IoTables& tables_;
    Interaction& ui_;
    int32_t* buttonValidField_;
};

}  // namespace velkor
