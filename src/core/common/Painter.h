#pragma once
#include <span>
#include <string_view>

#include "common/Color.h"
#include "common/Font.h"
#include "common/Geometry.h"

namespace velkor {

struct Pen {
    Color color;
    int32_t width = 1;
    bool null = false;  // draws no outline
    friend bool operator==(const Pen&, const Pen&) = default;
};

struct Brush {
    Color color;
    bool hollow = false;  // fills nothing
    friend bool operator==(const Brush&, const Brush&) = default;
};

// What a station object draws with. Objects draw in their own window
// coordinates; whoever paints them sets the origin of the window first.
// Implemented on QPainter in the desktop program, as an SVG writer in the
// command-line tool and as a recorder in tests.
class Painter {
public:
    virtual ~Painter() = default;
    // Canvas position of the window whose coordinates follow.
    virtual void SetOrigin(Point canvasOrigin) = 0;
    virtual void SetPen(const Pen& pen) = 0;
    virtual void SetBrush(const Brush& brush) = 0;
    virtual void Line(Point from, Point to) = 0;
    virtual void Polyline(std::span<const Point> points) = 0;
    virtual void Polygon(std::span<const Point> points) = 0;
    virtual void Ellipse(const Rect& box) = 0;
    virtual void Rectangle(const Rect& box) = 0;
    virtual void FillRect(const Rect& box, Color color) = 0;
    // Text whose top-left corner (before rotation by the font's escapement)
    // is at `origin`, the glyph cells filled with `background`.
    virtual void Text(Point origin, std::u16string_view text, const FontDesc& font, Color color,
                      Color background) = 0;
};

}  // namespace velkor
