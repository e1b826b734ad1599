#pragma once
#include <string_view>

#include "common/Font.h"
#include "common/Geometry.h"

namespace velkor {

// Measures text as it will be painted. Label placement depends on it.
class TextMetrics {
public:
    virtual ~TextMetrics() = default;
    // Width and height of the text in the font, unrotated.
    virtual Size Extent(std::u16string_view text, const FontDesc& font) const = 0;
};

// An estimate for when no real font engine is at hand: Latin characters half
// the pixel height wide, all others the full height.
class ApproximateTextMetrics : public TextMetrics {
public:
    Size Extent(std::u16string_view text, const FontDesc& font) const override;
};

}  // namespace velkor
