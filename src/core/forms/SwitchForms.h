#pragma once
#include "devices/CADThreeSwitch.h"
#include "devices/RailSwitch.h"
#include "forms/PropertyForm.h"

namespace velkor {

// The two-way switch dialog "道岔属性": the IO record with the display-name
// group, the switch-section record, two logic records, the front switch,
// the joints of the three legs and the section-name and delay-time labels.
class SwitchForm : public PropertyForm {
public:
    SwitchForm(RailSwitch& sw, const FormContext& context);

    void Edited(FormField& field) override;
    bool LookUp(FormField& field) override;
    bool Confirm() override;

private:
    FormField& F(const char* group, const char* label) { return *Find(label, group); }
    // The records' names and numbers as the switch holds them now.
    void ShowRecords();
    // Numbers, lists and check boxes into the switch.
    void TakeValues();

    RailSwitch& sw_;
    FormContext context_;
};

// The three-way switch dialog (titled "Dialog"): its "名称" is the shown
// name and the IO name at once; the switch-section record, the front switch
// and the joints of the four legs.
class ThreeSwitchForm : public PropertyForm {
public:
    ThreeSwitchForm(CADThreeSwitch& sw, const FormContext& context);

    bool LookUp(FormField& field) override;
    bool Confirm() override;

private:
    FormField& F(const char* group, const char* label) { return *Find(label, group); }
    void ShowRecords();

    CADThreeSwitch& sw_;
    FormContext context_;
};

}  // namespace velkor
