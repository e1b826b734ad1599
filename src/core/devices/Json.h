#pragma once
#include <nlohmann/json.hpp>
#include <span>

#include "common/Color.h"
#include "common/Geometry.h"
#include "devices/IORecord.h"

namespace velkor {

// JSON forms of the common field types, for `velkor-cli dump`.
nlohmann::json JsonPoints(std::span<const Point> pts);
nlohmann::json JsonRect(const Rect& r);
nlohmann::json JsonIo(const IORecord& r);
inline nlohmann::json JsonPoint(Point p) { return {p.x, p.y}; }
inline uint32_t JsonColor(Color c) { return c.ToColorRef(); }

}  // namespace velkor
