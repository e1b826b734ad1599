#include "forms/PropertyForm.h"

#include "common/Text.h"
#include "devices/IORecord.h"
#include "devices/PanelObjects.h"
#include "devices/TrackSpecials.h"
#include "document/CVelkorDoc.h"
#include "forms/DevicePanel.h"
#include "forms/FormFields.h"
#include "forms/SectionForm.h"

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

namespace {
constexpr const char* kRecordNumbers[] = {"地址号", "按钮号", "字号", "位号"};
uint16_t IORecord::*const kRecordMembers[] = {&IORecord::address, &IORecord::button,
                                              &IORecord::word, &IORecord::bit};
}  // namespace

void PropertyForm::AddRecordFields(const std::string& group) {
    Add(group, "名称", FormField::Kind::Name);
    for (const char* label : kRecordNumbers) Add(group, label, FormField::Kind::Hex);
}

void PropertyForm::ShowRecord(const std::string& group, const IORecord& rec) {
    Find("名称", group)->value = ToUtf8(rec.Name());
    for (size_t i = 0; i < std::size(kRecordNumbers); ++i) {
        Find(kRecordNumbers[i], group)->value = FormatHexField(rec.*kRecordMembers[i]);
    }
}

void PropertyForm::TakeRecordNumbers(const std::string& group, IORecord& rec) {
    for (size_t i = 0; i < std::size(kRecordNumbers); ++i) {
        TakeHexField(Find(kRecordNumbers[i], group)->value, rec.*kRecordMembers[i], ui_);
    }
}

std::unique_ptr<PropertyForm> MakePropertyForm(CADGraphic& obj, CVelkorDoc& doc) {
    const RuntimeClass& cls = obj.GetRuntimeClass();
    if (&cls == &CADSection::Class()) {
        return std::make_unique<SectionForm>(static_cast<CADSection&>(obj), doc.io,
                                             doc.hasLogicSections != 0, doc.UI());
    }
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
    if (&cls == &CADDeLight::Class()) {
        auto& lamp = static_cast<CADDeLight&>(obj);
        auto form = std::make_unique<DevicePanelForm>("装饰灯属性", lamp, doc.io, doc.UI());
        form->AddNumber("直径", lamp.lamp.Width(), [&lamp](int32_t d) {
            lamp.SetDiameter(d);
            lamp.UpdateShape();
            lamp.PlaceLabel();
        });
        form->AddColours("背景", lamp.colours);
        return form;
    }
    if (&cls == &CADDerailer::Class()) {
        auto& derailer = static_cast<CADDerailer&>(obj);
        auto form = std::make_unique<DevicePanelForm>("脱轨器属性", derailer, doc.io, doc.UI());
        form->AddColours("背景", std::span(derailer.colours).first(3));
        form->AddColours("文本", std::span(derailer.colours).subspan(3));
        // The derailer shows "T" whatever its name.
        form->AfterConfirm([&derailer] { derailer.nameLabel.text = u"T"; });
        return form;
    }
    if (&cls == &CADSealCount::Class()) {
        auto& seal = static_cast<CADSealCount&>(obj);
        auto form = std::make_unique<DevicePanelForm>("铅封属性", seal, doc.io, doc.UI());
        form->AddColour("背景", seal.background);
        form->AddColour("文字背景", seal.textColour);
        form->AddCheck("是否显示名称", seal.showName);
        return form;
    }
    return nullptr;
}

}  // namespace velkor
