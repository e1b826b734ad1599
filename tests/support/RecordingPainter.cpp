#include "support/RecordingPainter.h"

#include "common/Text.h"

namespace velkor::testing {

std::string RecordingPainter::P(Point p) const {
    const Point c = p + origin_;
    return "(" + std::to_string(c.x) + "," + std::to_string(c.y) + ")";
}

namespace {
std::string C(Color c) {
    return "rgb(" + std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) +
           ")";
}
std::string R(const Rect& r, Point o) {
    return "[" + std::to_string(r.left + o.x) + "," + std::to_string(r.top + o.y) + "," +
           std::to_string(r.right + o.x) + "," + std::to_string(r.bottom + o.y) + "]";
}
}  // namespace

void RecordingPainter::SetPen(const Pen& pen) {
    calls.push_back("pen " + C(pen.color) + " " + std::to_string(pen.width) +
                    (pen.null ? " null" : ""));
}
void RecordingPainter::SetBrush(const Brush& brush) {
    calls.push_back("brush " + C(brush.color) + (brush.hollow ? " hollow" : ""));
}
void RecordingPainter::Line(Point from, Point to) { calls.push_back("line " + P(from) + P(to)); }
void RecordingPainter::Polyline(std::span<const Point> points) {
    std::string s = "polyline ";
    for (Point p : points) s += P(p);
    calls.push_back(s);
}
void RecordingPainter::Polygon(std::span<const Point> points) {
    std::string s = "polygon ";
    for (Point p : points) s += P(p);
    calls.push_back(s);
}
void RecordingPainter::Ellipse(const Rect& box) { calls.push_back("ellipse " + R(box, origin_)); }
void RecordingPainter::Rectangle(const Rect& box) { calls.push_back("rect " + R(box, origin_)); }
void RecordingPainter::FillRect(const Rect& box, Color color) {
    calls.push_back("fill " + R(box, origin_) + " " + C(color));
}
void RecordingPainter::Text(Point origin, std::u16string_view text, const FontDesc& font,
                            Color color, Color background) {
    calls.push_back("text " + P(origin) + " " + ToUtf8(text) + " esc=" +
                    std::to_string(font.escapement) + " " + C(color) + " on " + C(background));
}

}  // namespace velkor::testing
