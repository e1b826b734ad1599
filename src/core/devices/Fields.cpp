#include "devices/Fields.h"

#include <string_view>

#include "common/Text.h"
#include "devices/CADGraphic.h"

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

int32_t* FindI32Field(CADGraphic& obj, std::string_view name) {
    // Takes the address of the number field of that name and ignores the rest.
    class Finder final : public FieldVisitor {
    public:
        explicit Finder(std::string_view name) : name_(name) {}
        int32_t* found = nullptr;
        void I32(const char* n, int32_t& v) override {
            if (n && !found && name_ == n) found = &v;
        }
        void U32(const char*, uint32_t&) override {}
        void U16(const char*, uint16_t&) override {}
        void U8(const char*, uint8_t&) override {}
        void F32(const char*, float&) override {}
        void Colour(const char*, Color&) override {}
        void CanvasPoint(const char*, Point&) override {}
        void CanvasRect(const char*, Rect&) override {}
        void WindowPoint(const char*, Point&) override {}
        void WindowRect(const char*, Rect&) override {}
        void WindowPoints(const char*, std::span<Point>) override {}
        void Io(const char*, IORecord&) override {}
        void Font(const char*, FontDesc&) override {}
        void Text(const char*, std::u16string&) override {}
        void Skip(size_t) override {}
        void Record(const char*, IORecord&, bool) override {}

    private:
        std::string_view name_;
    } finder(name);
    obj.Fields(finder);
    return finder.found;
}

nlohmann::json JsonFields::IoRecord(const IORecord& r) {
    return {{"name", ToUtf8(r.Name())}, {"address", r.address}, {"button", r.button},
            {"word", r.word},           {"bit", r.bit},         {"station", r.station}};
}

}  // namespace velkor
