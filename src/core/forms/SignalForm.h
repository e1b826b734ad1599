#pragma once
#include "devices/CADSignal.h"
#include "forms/PropertyForm.h"

namespace velkor {

// The signal dialog "信号机": the IO record with the display-name group, the
// lamp colour and flags, "上下移动", the usage kind with its embedded button
// and second button number, the button addresses, the delay time and the
// overlap section types.
class SignalForm : public PropertyForm {
public:
    SignalForm(CADSignal& signal, const FormContext& context);

    // "信号机类型" changes the signal at once (its embedded button is made,
    // placed or removed); the display-name check box its group.
    void Edited(FormField& field) override;
    bool LookUp(FormField& field) override;
    bool Confirm() override;

private:
    FormField& F(const char* group, const char* label) { return *Find(label, group); }
    // The fields as the signal holds them now.
    void Refresh();
    // Every number, list and check box into the signal, as a change of kind
    // and "确定" take them over.
    void TakeValues();

    CADSignal& signal_;
    FormContext context_;
    bool movedAtOpening_;
};

}  // namespace velkor
