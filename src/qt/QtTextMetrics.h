#pragma once
#include <QFont>

#include "common/TextMetrics.h"

namespace velkor {

// The Qt font for a stored font description. Faces the machine lacks (the
// Windows users' 宋体 on Linux) fall back to an installed Chinese face.
QFont ToQFont(const FontDesc& font);

class QtTextMetrics : public TextMetrics {
public:
    Size Extent(std::u16string_view text, const FontDesc& font) const override;
};

// Qt's text measurement, for the drawing contexts of a program. Starts Qt's
// offscreen platform when no Qt application runs yet (programs without a
// window).
const TextMetrics& UseQtTextMetrics();

}  // namespace velkor
