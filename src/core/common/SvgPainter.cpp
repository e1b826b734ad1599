#include "common/SvgPainter.h"

#include <cstdio>

#include "common/Text.h"
#include "common/TextMetrics.h"

namespace velkor {

namespace {

std::string Hex(Color c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", c.r, c.g, c.b);
    return buf;
}

std::string Escape(const std::string& s) {
    std::string out;
    for (char ch : s) {
        switch (ch) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += ch;
        }
    }
    return out;
}

}  // namespace

SvgPainter::SvgPainter(const Rect& area, const TextMetrics& metrics)
    : metrics_(metrics), area_(area) {}

std::string SvgPainter::Stroke() const {
    if (pen_.null) return " stroke=\"none\"";
    return " stroke=\"" + Hex(pen_.color) + "\" stroke-width=\"" + std::to_string(pen_.width) +
           "\"";
}

std::string SvgPainter::Fill() const {
    return brush_.hollow ? " fill=\"none\"" : " fill=\"" + Hex(brush_.color) + "\"";
}

std::string SvgPainter::Points(std::span<const Point> pts) const {
    std::string s;
    for (Point p : pts) {
        if (!s.empty()) s += ' ';
        s += std::to_string(p.x + origin_.x) + "," + std::to_string(p.y + origin_.y);
    }
    return s;
}

void SvgPainter::Line(Point a, Point b) {
    const std::array<Point, 2> pts{a, b};
    body_ << "<polyline points=\"" << Points(pts) << "\" fill=\"none\"" << Stroke() << "/>\n";
}

void SvgPainter::Polyline(std::span<const Point> pts) {
    body_ << "<polyline points=\"" << Points(pts) << "\" fill=\"none\"" << Stroke() << "/>\n";
}

void SvgPainter::Polygon(std::span<const Point> pts) {
    body_ << "<polygon points=\"" << Points(pts) << "\"" << Fill() << Stroke() << "/>\n";
}

void SvgPainter::Ellipse(const Rect& r) {
    const double cx = origin_.x + (r.left + r.right) / 2.0;
    const double cy = origin_.y + (r.top + r.bottom) / 2.0;
    body_ << "<ellipse cx=\"" << cx << "\" cy=\"" << cy << "\" rx=\"" << r.Width() / 2.0
          << "\" ry=\"" << r.Height() / 2.0 << "\"" << Fill() << Stroke() << "/>\n";
}

void SvgPainter::Rectangle(const Rect& r) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    body_ << "<rect x=\"" << r.left + origin_.x << "\" y=\"" << r.top + origin_.y << "\" width=\""
          << r.Width() << "\" height=\"" << r.Height() << "\"" << Fill() << Stroke() << "/>\n";
}

void SvgPainter::FillRect(const Rect& r, Color c) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    body_ << "<rect x=\"" << r.left + origin_.x << "\" y=\"" << r.top + origin_.y << "\" width=\""
          << r.Width() << "\" height=\"" << r.Height() << "\" fill=\"" << Hex(c) << "\"/>\n";
}

void SvgPainter::Text(Point at, std::u16string_view text, const FontDesc& font, Color color,
                      Color background) {
    if (text.empty()) return;
    const Size ext = metrics_.Extent(text, font);
    const int32_t x = at.x + origin_.x;
    const int32_t y = at.y + origin_.y;
    body_ << "<g";
    if (font.escapement != 0) {
        // Escapement turns counter-clockwise; SVG turns clockwise.
        body_ << " transform=\"rotate(" << -double(font.escapement) / 10.0 << " " << x << " " << y
              << ")\"";
    }
    body_ << "><rect x=\"" << x << "\" y=\"" << y << "\" width=\"" << ext.cx << "\" height=\""
          << ext.cy << "\" fill=\"" << Hex(background) << "\"/>";
    const int32_t px = font.PixelHeight();
    body_ << "<text x=\"" << x << "\" y=\"" << y + px * 0.86 << "\" font-size=\"" << px
          << "px\" font-family=\"" << Escape(ToUtf8(font.FaceName()))
          << ", WenQuanYi Micro Hei, Noto Sans CJK SC, sans-serif\""
          << (font.weight >= 700 ? " font-weight=\"bold\"" : "") << " fill=\"" << Hex(color)
          << "\">" << Escape(ToUtf8(text)) << "</text></g>\n";
}

std::string SvgPainter::Finish() const {
    std::ostringstream out;
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << area_.Width() << "\" height=\""
        << area_.Height() << "\" viewBox=\"" << area_.left << " " << area_.top << " "
        << area_.Width() << " " << area_.Height() << "\">\n"
        << body_.str() << "</svg>\n";
    return out.str();
}

}  // namespace velkor
