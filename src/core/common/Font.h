#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace velkor {

// The 92-byte font record that labels store: the layout of a Windows LOGFONTW,
// little-endian, because station files are exchanged with Windows users.
struct FontDesc {
    static constexpr size_t kBytes = 92;
    static constexpr size_t kFaceUnits = 32;

    int32_t height = -12;  // negative: character height in pixels
    int32_t width = 0;
    int32_t escapement = 0;  // tenths of a degree, counter-clockwise
    int32_t orientation = 0;
    int32_t weight = 400;  // 700 is bold
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 134;  // GB2312
    uint8_t outPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = 0;
    uint8_t pitchAndFamily = 0;
    std::array<char16_t, kFaceUnits> face{};

    // The face of a new label: the usual Chinese interface face of the
    // stations' Windows users, so files exchanged with them look as they expect.
    static FontDesc DefaultLabelFont();

    std::u16string FaceName() const;
    void SetFaceName(std::u16string_view name);  // cut to 31 units

    void Store(std::span<uint8_t, kBytes> out) const;
    static FontDesc Load(std::span<const uint8_t, kBytes> in);

    // Pixel height of the characters, as a painter would size the font.
    int32_t PixelHeight() const { return height < 0 ? -height : (height == 0 ? 12 : height); }

    friend bool operator==(const FontDesc&, const FontDesc&) = default;
};

}  // namespace velkor
