#pragma once
#include <cstdint>
#include <vector>

namespace velkor {

// An uncompressed 24-bit BMP file: the 14-byte file header, the 40-byte
// information header and the rows bottom-up, each padded to four bytes.
// `pixel(x, y)` gives 0x00RRGGBB for the top-down row y.
template <typename PixelFn>
std::vector<uint8_t> EncodeBmp24(int32_t width, int32_t height, PixelFn pixel) {
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t dataSize = stride * static_cast<uint32_t>(height);
    std::vector<uint8_t> out;
    out.reserve(54 + dataSize);
    auto u16 = [&](uint16_t v) {
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
    };
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    u16(0x4D42);  // "BM"
    u32(54 + dataSize);
    u16(0);
    u16(0);
    u32(54);
    u32(40);
    u32(static_cast<uint32_t>(width));
    u32(static_cast<uint32_t>(height));  // positive: rows run bottom-up
    u16(1);
    u16(24);
    for (int i = 0; i < 6; ++i) u32(0);
    for (int32_t y = height - 1; y >= 0; --y) {
        const size_t rowStart = out.size();
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t rgb = pixel(x, y);
            out.push_back(static_cast<uint8_t>(rgb));        // blue
            out.push_back(static_cast<uint8_t>(rgb >> 8));   // green
            out.push_back(static_cast<uint8_t>(rgb >> 16));  // red
        }
        while (out.size() - rowStart < stride) out.push_back(0);
    }
    return out;
}

}  // namespace velkor
