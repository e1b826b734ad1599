#include "common/Font.h"

#include "common/Bytes.h"

namespace velkor {

FontDesc FontDesc::DefaultLabelFont() {
    static const FontDesc font = [] {
        FontDesc f;
        f.SetFaceName(u"宋体");
        return f;
    }();
    return font;
}

std::u16string FontDesc::FaceName() const {
    size_t n = 0;
    while (n < face.size() && face[n] != 0) ++n;
    return std::u16string(face.data(), n);
}

void FontDesc::SetFaceName(std::u16string_view name) {
    face.fill(0);
    const size_t n = std::min(name.size(), kFaceUnits - 1);
    for (size_t i = 0; i < n; ++i) face[i] = name[i];
}

void FontDesc::Store(std::span<uint8_t, kBytes> out) const {
    uint8_t* p = out.data();
    PutI32LE(p + 0, height);
    PutI32LE(p + 4, width);
    PutI32LE(p + 8, escapement);
    PutI32LE(p + 12, orientation);
    PutI32LE(p + 16, weight);
    p[20] = italic;
    p[21] = underline;
    p[22] = strikeOut;
    p[23] = charSet;
    p[24] = outPrecision;
    p[25] = clipPrecision;
    p[26] = quality;
    p[27] = pitchAndFamily;
    for (size_t i = 0; i < kFaceUnits; ++i) PutU16LE(p + 28 + 2 * i, face[i]);
}

FontDesc FontDesc::Load(std::span<const uint8_t, kBytes> in) {
    const uint8_t* p = in.data();
    FontDesc f;
    f.height = GetI32LE(p + 0);
    f.width = GetI32LE(p + 4);
    f.escapement = GetI32LE(p + 8);
    f.orientation = GetI32LE(p + 12);
    f.weight = GetI32LE(p + 16);
    f.italic = p[20];
    f.underline = p[21];
    f.strikeOut = p[22];
    f.charSet = p[23];
    f.outPrecision = p[24];
    f.clipPrecision = p[25];
    f.quality = p[26];
    f.pitchAndFamily = p[27];
    for (size_t i = 0; i < kFaceUnits; ++i) f.face[i] = GetU16LE(p + 28 + 2 * i);
    return f;
}

}  // namespace velkor
