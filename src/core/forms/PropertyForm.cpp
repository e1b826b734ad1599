#include "forms/PropertyForm.h"

#include "common/Text.h"
#include "devices/IORecord.h"
#include "devices/PanelObjects.h"
#include "document/CVelkorDoc.h"
#include "forms/DevicePanel.h"

namespace velkor {

FormField* PropertyForm::Find(std::string_view label, std::string_view group) {
    for (FormField& f : fields_) {
        if (f.label == label && (group.empty() || f.group == group)) return &f;
    }
    return nullptr;
}

bool PropertyForm::IsAmbiguous(std::string_view label) const {
    int n = 0;
    for (const FormField& f : fields_) n += f.label == label ? 1 : 0;
    return n > 1;
}

FormField& PropertyForm::Add(std::string group, std::string label, FormField::Kind kind,
                             std::vector<std::string> entries) {
    fields_.push_back({std::move(group), std::move(label), kind, std::move(entries), {}, true});
    return fields_.back();
}

bool PropertyForm::NameFits(const FormField& field) {
    if (ToGbk(FromUtf8(field.value)).size() < IORecord::kNameBytes) return true;
    std::string message = kMsgNameTooLong;
    message.replace(message.find("%s"), 2, field.label);
    message.replace(message.find("%s"), 2, field.value);
    ui_.Warning(message);
    return false;
}

std::unique_ptr<PropertyForm> MakePropertyForm(CADGraphic& obj, CVelkorDoc& doc) {
    const RuntimeClass& cls = obj.GetRuntimeClass();
    if (&cls == &Arrow::Class()) {
        return std::make_unique<DevicePanelForm>("箭头属性", static_cast<Arrow&>(obj), doc.io,
                                                 doc.UI());
    }
    if (&cls == &ArrowLight::Class()) {
        auto& light = static_cast<ArrowLight&>(obj);
        auto form = std::make_unique<DevicePanelForm>("箭头指示灯属性", light, doc.io, doc.UI());
        form->AddColours("背景", light.colours);
        return form;
    }
    return nullptr;
}

}  // namespace velkor
