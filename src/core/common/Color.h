#pragma once
#include <cstdint>

namespace velkor {

// A colour as the station file stores it: 0x00BBGGRR.
struct Color {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    friend bool operator==(const Color&, const Color&) = default;

    uint32_t ToColorRef() const {
        return static_cast<uint32_t>(r) | (static_cast<uint32_t>(g) << 8) |
               (static_cast<uint32_t>(b) << 16);
    }
    static Color FromColorRef(uint32_t v) {
        return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                static_cast<uint8_t>(v >> 16)};
    }
};

constexpr Color Rgb(uint8_t r, uint8_t g, uint8_t b) { return {r, g, b}; }

}  // namespace velkor
