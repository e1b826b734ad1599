#include "devices/Json.h"

#include "common/Text.h"

namespace velkor {

nlohmann::json JsonPoints(std::span<const Point> pts) {
    auto a = nlohmann::json::array();
    for (Point p : pts) a.push_back({p.x, p.y});
    return a;
}

nlohmann::json JsonRect(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

nlohmann::json JsonIo(const IORecord& r) {
    return {{"name", ToUtf8(r.Name())}, {"address", r.address}, {"button", r.button},
            {"word", r.word},           {"bit", r.bit},         {"station", r.station}};
}

}  // namespace velkor
