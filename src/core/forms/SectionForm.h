#pragma once
#include "devices/CADSection.h"
#include "forms/PropertyForm.h"
#include "tables/IoTables.h"

namespace velkor {

// The section dialog "区段": the IO and logic records, the display-name
// group, the neighbouring stations, the flood gate, the section's kind and
// labels and its joints.
class SectionForm : public PropertyForm {
public:
    SectionForm(CADSection& section, const IoTables& tables, bool hasLogicSections,
                Interaction& ui);

    void Edited(FormField& field) override;
    bool LookUp(FormField& field) override;
    bool Confirm() override;

private:
    FormField& F(const char* group, const char* label) { return *Find(label, group); }
    void ShowStations();
    void ShowFloodGate();

    CADSection& section_;
    const IoTables& tables_;
    bool hasLogic_;
};

}  // namespace velkor
