#include "common/TextMetrics.h"

namespace velkor {

Size ApproximateTextMetrics::Extent(std::u16string_view text, const FontDesc& font) const {
    const int32_t h = font.PixelHeight();
    int32_t w = 0;
    for (char16_t c : text) w = AddI32(w, c < 0x80 ? (h + 1) / 2 : h);
    return {w, h};
}

}  // namespace velkor
