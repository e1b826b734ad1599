#include "common/TextMetrics.h"

namespace velkor {

Size ApproximateTextMetrics::Extent(std::u16string_view text, const FontDesc& font) {
    const int32_t h = font.PixelHeight();
    int32_t w = 0;
    for (char16_t c : text) w += c < 0x80 ? (h + 1) / 2 : h;
    return {w, h};
}

namespace {
TextMetrics*& Installed() {
    static TextMetrics* metrics = nullptr;
    return metrics;
}
}  // namespace

TextMetrics& CurrentTextMetrics() {
    static ApproximateTextMetrics fallback;
    TextMetrics* m = Installed();
    return m ? *m : fallback;
}

void InstallTextMetrics(TextMetrics* metrics) { Installed() = metrics; }

}  // namespace velkor
