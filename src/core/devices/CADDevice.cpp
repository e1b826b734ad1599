#include "devices/CADDevice.h"

#include <nlohmann/json.hpp>

#include "common/Text.h"

namespace velkor {

void CADDevice::Serialize(Archive& ar) {
    std::array<uint8_t, IORecord::kBytes> record{};
    if (ar.IsStoring()) {
        if (displayNameFollowsIoName) nameLabel.text = io.Name();
        if (nameLabel.HasWindow()) labelRect = nameLabel.GetCanvasRect();
        nameLabel.Serialize(ar);
        ar.Rectangle(labelRect);
        io.Store(record);
        ar.Block(record);
        if (ByteWriter* companion = ar.Companion()) {
            companion->I32(labelRect.left);
            companion->I32(labelRect.top);
            companion->I32(labelRect.right);
            companion->I32(labelRect.bottom);
            companion->Bytes(record);
        }
        return;
    }
    nameLabel.Serialize(ar);
    ar.Rectangle(labelRect);  // must be complete
    ar.Block(record);         // read as older files were, without a length check
    io = IORecord::Load(record);
    displayNameFollowsIoName = nameLabel.text == io.Name() ? 1 : 0;
}

void CADDevice::OnWindowCreated() {
    if (!nameLabel.HasWindow()) nameLabel.CreateWindow(labelRect);
}

void CADDevice::DestroyWindow() {
    nameLabel.DestroyWindow();
    CADGraphic::DestroyWindow();
}

void CADDevice::Describe(nlohmann::json& out) const {
    CADGraphic::Describe(out);
    nlohmann::json label;
    nameLabel.Describe(label);
    label.erase("class");
    out["label"] = std::move(label);
    out["labelRect"] = {labelRect.left, labelRect.top, labelRect.right, labelRect.bottom};
    out["io"] = {{"name", ToUtf8(io.Name())}, {"address", io.address}, {"button", io.button},
                 {"word", io.word},           {"bit", io.bit},         {"station", io.station}};
    out["displayNameFollowsIoName"] = displayNameFollowsIoName;
}

bool IsDeclaredDevice(const CADGraphic& obj) {
    return obj.GetRuntimeClass().IsDerivedFrom(CADDevice::Class());
}

void PlaceDeviceLabel(CADDevice& device, int32_t a, int32_t b, int32_t c, int32_t d) {
    device.nameLabel.PlaceAlong(a, b, c, d);
    device.labelRect = device.nameLabel.GetCanvasRect();
}

}  // namespace velkor
