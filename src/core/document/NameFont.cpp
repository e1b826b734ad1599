#include "document/NameFont.h"

#include "devices/CADDevice.h"
#include "devices/CADSection.h"
#include "devices/CADSignal.h"
#include "devices/RailSwitch.h"

namespace velkor {

void ApplyNameFont(CVelkorDoc& doc, std::u16string_view face, int32_t height,
                   std::optional<int32_t> weight) {
    std::vector<CADDevice*> devices;
    for (const auto& obj : doc.Objects()) {
        const RuntimeClass& cls = obj->GetRuntimeClass();
        if (cls.IsDerivedFrom(CADSection::Class()) || cls.IsDerivedFrom(RailSwitch::Class()) ||
            cls.IsDerivedFrom(CADSignal::Class())) {
            devices.push_back(static_cast<CADDevice*>(obj.get()));
        }
    }
    DocumentEdit edit(doc, "名称字体", std::vector<CADGraphic*>(devices.begin(), devices.end()));
    for (CADDevice* d : devices) {
        FontDesc& font = d->nameLabel.font;
        font.height = height;
        font.SetFaceName(face);
        if (weight) font.weight = *weight;
        d->PlaceLabel();
    }
    edit.Commit();
}

}  // namespace velkor
