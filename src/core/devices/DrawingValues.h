#pragma once
#include <string>

#include "common/Interaction.h"
#include "common/Painter.h"
#include "common/TextMetrics.h"

namespace velkor {

// Drawing values shared by every open station of a program and never
// stored: they govern objects drawn or created after a change.
struct DrawingValues {
    int32_t sectionWidth = 3;      // line width of the section pen
    int32_t jointHeight = 8;       // outline width and insulation-joint diameter
    int32_t divergingHeight = 52;  // vertical extent of a switch's diverging leg
    int32_t switchAngle = 60;      // degrees
    int32_t gridSpacing = 20;      // pixels

    Pen SectionPen() const { return {kSectionColor, sectionWidth}; }

    static constexpr Color kSectionColor = Rgb(85, 120, 182);
    static constexpr Color kSelectedGrey = Rgb(100, 100, 100);
    static constexpr Pen kRedPen{Rgb(255, 0, 0), 1};
    static constexpr Brush kRedBrush{Rgb(255, 0, 0)};
    static constexpr Pen kBluePen{Rgb(0, 0, 255), 1};
    static constexpr Brush kBlueBrush{Rgb(0, 0, 255)};
    static constexpr Pen kWhitePen1{Rgb(255, 255, 255), 1};
    static constexpr Pen kWhitePen2{Rgb(255, 255, 255), 2};
    // Made once at start with the initial section width; later changes of
    // the width do not reach it.
    static constexpr Pen kBlackSectionPen{Rgb(0, 0, 0), 3};
};

// What station objects consult while they are drawn, moved, laid out or
// saved: the drawing values, whether moves snap onto the grid, and where an
// object's own messages go. A document holds one (the desktop program gives
// all its documents the same); an object reaches it through the document it
// belongs to, or through its parent for a part.
struct DrawingContext {
    DrawingValues values;
    bool gridOn = false;
    Interaction* messages = nullptr;
    // How text is measured where labels are placed; an estimate without one.
    const TextMetrics* metrics = nullptr;

    const TextMetrics& Metrics() const {
        static const ApproximateTextMetrics kEstimate;
        return metrics ? *metrics : kEstimate;
    }

    // Shows a warning through `messages`, if any.
    void Warn(const std::string& text) const {
        if (messages) messages->Warning(text);
    }
};

}  // namespace velkor
