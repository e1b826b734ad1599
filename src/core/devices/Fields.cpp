#include "devices/Fields.h"

#include <string_view>

#include "common/Text.h"

namespace velkor {

void JsonFields::Put(const char* name, nlohmann::json value) {
    if (!name) return;
    const std::string_view key(name);
    if (key.ends_with("[]")) {
        nlohmann::json& list = out_[std::string(key.substr(0, key.size() - 2))];
        if (!list.is_array()) list = nlohmann::json::array();
        list.push_back(std::move(value));
        return;
    }
    out_[std::string(key)] = std::move(value);
}

void JsonFields::WindowPoints(const char* name, std::span<Point> pts) {
    auto a = nlohmann::json::array();
    for (Point p : pts) a.push_back({p.x, p.y});
    Put(name, std::move(a));
}

void JsonFields::Font(const char* name, FontDesc& f) {
    Put(name, {{"height", f.height},
               {"width", f.width},
               {"escapement", f.escapement},
               {"orientation", f.orientation},
               {"weight", f.weight},
               {"italic", f.italic},
               {"underline", f.underline},
               {"strikeOut", f.strikeOut},
               {"charSet", f.charSet},
               {"outPrecision", f.outPrecision},
               {"clipPrecision", f.clipPrecision},
               {"quality", f.quality},
               {"pitchAndFamily", f.pitchAndFamily},
               {"face", ToUtf8(f.FaceName())}});
}

void JsonFields::Text(const char* name, std::u16string& text) { Put(name, ToUtf8(text)); }

nlohmann::json JsonFields::IoRecord(const IORecord& r) {
    return {{"name", ToUtf8(r.Name())}, {"address", r.address}, {"button", r.button},
            {"word", r.word},           {"bit", r.bit},         {"station", r.station}};
}

}  // namespace velkor
