#pragma once
#include "common/Painter.h"

namespace velkor {

// Drawing values of the running application, shared by every open station
// and never stored: they govern objects drawn or created after a change.
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

// The application's one set of drawing values.
DrawingValues& AppDrawing();

}  // namespace velkor
