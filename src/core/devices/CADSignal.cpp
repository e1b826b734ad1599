#include "devices/CADSignal.h"

#include <cmath>

#include "devices/DrawingValues.h"
#include "devices/TrackGeometry.h"

namespace velkor {

const std::array<const char*, 18> kSignalTypeNames = {
    "一显",         "二显（蓝白）", "二显（红白）", "二显（红黄）", "二显（红绿）", "三显（绿白）",
    "三显（绿引）", "三显（黄引）", "三显（黄白）", "四显（调）",   "四显（引）",   "五显（双黄)",
    "五显（调白）", "六显（绿黄）", "六显（双黄）", "七显",         "三方向出站",   "虚拟"};

const std::array<const char*, 7> kSignalUsageNames = {"列车", "调车", "列调", "变更",
                                                      "尽头", "调列", "终端"};

namespace {
// Products of the layout use the angle as stored, a 32-bit float, and are
// computed in single precision: at 60 degrees cos is 0.49999997, which moves
// pixels compared with double precision, and stored stations have those pixels.
int32_t F(float v) { return static_cast<int32_t>(v); }
}  // namespace

CADSignal::CADSignal(int code) : variant(code >= 9 && code <= 16 ? code - 9 : 0) {
    lampCount = (variant % 2 == 0) ? 2 : 1;
    PutU16LE(raw_.data() + 302, 0xFFFF);
}

void CADSignal::Fields(FieldVisitor& v) {
    BlockPrefixFields(v, "buttonValid", buttonValid, reservedInt);
    for (Point* p : {&p0, &p1, &p2, &p3, &p4}) v.WindowPoint("points[]", *p);
    v.WindowPoints("outline", outline);
    v.WindowPoints("reservedPoints", reservedPoints);
    v.WindowPoints("directionMark", mark);
    v.WindowRect("lamps[]", lamp1);
    v.WindowRect("lamps[]", lamp2);
    v.I32("lampCount", lampCount);
    v.U32("defaultLampColour", defaultLampColour);
    v.U16("button2", button2);
    v.Skip(2);
    v.I32("variant", variant);
    v.I32("singleMounted", singleMounted);
    v.I32("usageKind", usageKind);
    v.I32("guide", guide);
    v.F32("angle", angle);
    v.U16("buttonAddresses[]", button1Address);
    v.U16("buttonAddresses[]", button2Address);
    v.U16("buttonAddresses[]", button3Address);
    v.Skip(2);
    v.I32("autoTriggerRoute", autoTriggerRoute);
    v.I32("autoThroughRoute", autoThroughRoute);
    v.U8("specialOpening", specialOpening);
    v.U8("showDelayTime", showDelayTime);
    v.U8("overlapTypes", overlapTypes);
    v.Skip(1);
    v.CanvasRect("delayTimeRect", delayTimeRect);
}

void CADSignal::Serialize(Archive& ar) {
    CADDevice::Serialize(ar);
    if (ar.IsStoring() && delayTime.HasWindow()) delayTimeRect = delayTime.GetCanvasRect();
    SerializeFields(ar, raw_, *this);
    if (ar.IsLoading()) {
        if (variant < 0 || variant > 7) variant = 0;
        delayTime.font = nameLabel.font;
    }
    if (!HasEmbeddedButton(usageKind)) return;
    if (ar.IsStoring()) {
        if (usageKind == 2 || usageKind == 5) {
            button.io.button = button2;
            button.io.address = button.io.word = button.io.bit = IORecord::kUnset;
        }
        if (button.HasWindow()) buttonRect = button.GetCanvasRect();
    }
    button.Serialize(ar);
    ar.Rectangle(buttonRect);  // must be complete
}

std::array<Point, 4> CADSignal::Outline(int32_t width) const {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    int32_t len = width + (High() ? 8 : 0);
    float ux = c;
    float uy = s;
    if (UpLine()) {
        ux = -c;
        uy = -s;
        len += 1;
    }
    const auto flen = static_cast<float>(len);
    const Point d{F(flen * ux), F(flen * uy)};
    std::array<Point, 4> o = {p1, p2, p2 + d, p1 + d};
    if (!UpLine()) {
        o[0].x -= 1;
        o[1].x -= 1;
    }
    return o;
}

void CADSignal::BuildOutline(std::vector<Point>& out, int width) {
    const auto o = Outline(width);
    out.assign(o.begin(), o.end());
}

void CADSignal::SetDragPoints(Point start, Point) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const int32_t dir = UpLine() ? -1 : 1;
    const auto sf = static_cast<float>(dir);
    const int32_t x = start.x;
    const int32_t y = start.y;
    const int32_t k1 = UpLine() ? 21 : -5;
    const int32_t k2 = UpLine() ? -22 : 5;
    const int32_t k3 = UpLine() ? 5 : -21;

    // Everything is laid out in canvas coordinates, then moved into the new window.
    std::array<Point, 4> reserved;
    for (size_t i = 0; i < 4; ++i) reserved[i] = ToCanvas(reservedPoints[i]);
    p0 = {x, y};
    p1 = {x + F(s * float(k1)), y + F(c * float(k2))};
    p2 = {x + F(s * float(k3)), p1.y - F(-16.0f * c)};
    p3 = {(p1.x + p2.x) / 2, (p1.y + p2.y) / 2};
    p4 = High() ? p3 + Point{F(8 * sf * c), F(8 * sf * s)} : p3;
    const Point c1 = p4 + Point{F(9 * sf * c), F(9 * sf * s)};
    const Point c2 = p4 + Point{F(25 * sf * c), F(25 * sf * s)};
    lamp1 = {c1.x - 8, c1.y - 8, c1.x + 8, c1.y + 8};
    lamp2 = {c2.x - 8, c2.y - 8, c2.x + 8, c2.y + 8};
    const Point a = p4 + Point{F(4 * sf * c), F(4 * sf * s)};
    const Point up{F(2 * s), F(-2 * c)};
    const Point down{F(-2 * s), F(2 * c)};
    const Point along6{F(6 * sf * c), F(6 * sf * s)};
    mark[0] = a + up;
    mark[1] = mark[0] + along6;
    mark[2] = mark[1] + up;
    mark[3] = a + Point{F(10 * sf * c), F(10 * sf * s)};
    mark[6] = a + down;
    mark[5] = mark[6] + along6;
    mark[4] = mark[5] + down;
    outline = Outline(lampCount == 1 ? 16 : 32);

    const Point o3 = outline[2];
    const Rect window =
        Rect{std::min(p1.x, o3.x), std::min(p1.y, o3.y), std::max(p1.x, o3.x), std::max(p1.y, o3.y)}
            .Inflate(20);
    MoveWindow(window);
    const Point o = AbsoluteOrigin();
    for (Point* p : {&p0, &p1, &p2, &p3, &p4}) *p = *p - o;
    for (Point& p : outline) p = p - o;
    for (Point& p : mark) p = p - o;
    for (size_t i = 0; i < 4; ++i) reservedPoints[i] = reserved[i] - o;
    lamp1 = lamp1.Offset(-o.x, -o.y);
    lamp2 = lamp2.Offset(-o.x, -o.y);
}

void CADSignal::UpdateShape() { SetPolygonShape(outline); }

void CADSignal::AfterMove() { SnapToGridAfterMove(p0); }

void CADSignal::PlaceSignalLabel(Label& label) const {
    const Point at = ToCanvas(p1);
    if (angle == 0) {
        const Size ext = label.TextExtent();
        const Point corner = UpLine() ? Point{at.x + 4, at.y} : Point{at.x - ext.cx - 4, at.y + 15};
        label.MoveWindow(Rect::FromOriginSize(corner, ext));
        return;
    }
    const double theta = angle;
    label.font.escapement = static_cast<int32_t>(theta * 180 / 3.14159265358979 * -10);
    const Size ext = label.TextExtent();
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const auto m = static_cast<float>(UpLine() ? 6 : -ext.cx - 4);
    label.PlaceRotatedBox(at.x + F(c * m), at.y + F(s * m), c, s, ext);
}

void CADSignal::PlaceLabel() {
    PlaceSignalLabel(nameLabel);
    labelRect = nameLabel.GetCanvasRect();
    if (!showDelayTime) return;
    delayTime.text = u"000";
    PlaceSignalLabel(delayTime);
    if (angle == 0) {
        delayTime.MoveBy(0, UpLine() ? -15 : 15);
    } else {
        const double rest = 3.14159265358979 / 2 - angle;
        const int32_t sign = UpLine() ? -1 : 1;
        delayTime.MoveBy(static_cast<int32_t>(std::cos(rest) * -18 * sign),
                         static_cast<int32_t>(std::sin(rest) * 18 * sign));
    }
    delayTimeRect = delayTime.GetCanvasRect();
}

void CADSignal::NameEmbeddedButton(std::u16string_view displayName) {
    if (!button.HasWindow()) return;
    std::u16string name(displayName);
    if (usageKind == 2) {
        name += u"DA";
    } else if (usageKind == 5) {
        name += u"LA";
    } else {
        name.clear();
    }
    button.io.SetName(name);
    button.nameLabel.text = name;
}

void CADSignal::ChangeUsageKind(int32_t kind) {
    usageKind = kind;
    if (!HasEmbeddedButton(kind)) {
        button.DestroyWindow();
        return;
    }
    if (!button.HasWindow()) {
        button.SetType(CADButton::kSquare);
        button.nameLabel.textColor = Rgb(255, 255, 255);
        button.nameLabel.backgroundColor = Rgb(0, 0, 0);
        const Rect r = GetCanvasRect();
        const Size label =
            nameLabel.GetCanvasRect().Width() > 0
                ? Size{nameLabel.GetCanvasRect().Width(), nameLabel.GetCanvasRect().Height()}
                : Size{};
        Point at;
        Point labelAt;
        if (UpLine()) {
            at = {r.right + 2, r.top + 2};
            labelAt = {r.right - label.cx / 2, r.top - 2 - label.cy};
        } else {
            at = {r.left - 18, r.bottom};
            labelAt = {r.left - 16 - label.cx, r.bottom + 2 + label.cy};
        }
        button.SetDragPoints(at, at);
        NameEmbeddedButton(nameLabel.text);
        button.nameLabel.MoveWindow(Rect::FromOriginSize(labelAt, button.nameLabel.TextExtent()));
        button.labelRect = button.nameLabel.GetCanvasRect();
    }
    if (kind == 3 || kind == 6) {
        // The button alone stands for the signal.
        const int32_t dx = UpLine() ? -4 : 4;
        OffsetWindow(dx, 0);
        button.OffsetWindow(dx, 0);
        const Point corner = GetCanvasRect().TopLeft();
        MoveWindow({corner.x, corner.y, corner.x, corner.y});
        Show(false);
        nameLabel.Show(false);
        delayTime.Show(false);
    }
    button2 = 0xFFFF;
}

void CADSignal::MoveAcrossTrack(bool ticked) {
    const int32_t s = ticked == UpLine() ? 27 : -27;
    const auto dx = static_cast<int32_t>(-s * std::sin(static_cast<double>(angle)));
    const auto dy = static_cast<int32_t>(s * std::cos(static_cast<double>(angle)));
    OffsetWindow(dx, dy);
    p0 = {p0.x - dx, p0.y - dy};
    movedAcross = ticked ? 1 : 0;
}

void CADSignal::OnWindowCreated() {
    CADDevice::OnWindowCreated();
    if (!delayTime.HasWindow()) delayTime.CreateWindow(delayTimeRect);
    delayTime.text = showDelayTime ? u"000" : u"";
    // The file keeps only the delay time's rectangle: a rotated signal's
    // text box is built again inside it, as placing built it.
    if (angle != 0 && showDelayTime && delayTimeRect.Width() > 0) {
        delayTime.font.escapement =
            TruncateI32(static_cast<double>(angle) * 180 / 3.14159265358979 * -10);
        delayTime.PlaceRotatedBoxInto(delayTimeRect, std::cos(angle), std::sin(angle));
    }
    if (HasEmbeddedButton(usageKind) && !button.HasWindow()) {
        button.CreateWindow(buttonRect);
        button.UpdateShape();
    }
}

void CADSignal::DestroyWindow() {
    delayTime.DestroyWindow();
    button.DestroyWindow();
    CADDevice::DestroyWindow();
}

void CADSignal::CollectParts(std::vector<CADGraphic*>& out) {
    CADDevice::CollectParts(out);
    out.push_back(&delayTime);
    if (button.HasWindow()) out.push_back(&button);
}

void CADSignal::Paint(Painter& painter) const {
    painter.SetPen(DrawingValues::kWhitePen2);
    painter.Line(p1, p2);
    painter.Line(p3, p4);
    painter.SetPen(DrawingValues::kWhitePen1);
    painter.SetBrush({defaultLampColour == 255 ? Rgb(255, 0, 0) : Rgb(0, 0, 255)});
    painter.Ellipse(lamp1);
    if (lampCount == 2) {
        painter.SetBrush({Rgb(0, 0, 0)});
        painter.Ellipse(lamp2);
    }
    PaintHoverOutline(painter, outline);
}

void CADSignal::Describe(nlohmann::json& out) const {
    CADDevice::Describe(out);
    if (HasEmbeddedButton(usageKind)) {
        nlohmann::json b;
        button.Describe(b);
        b["rect"] = JsonFields::Rectangle(buttonRect);
        out["button"] = std::move(b);
    }
}

}  // namespace velkor
