#include "devices/PanelObjects.h"

#include <map>

#include "common/Text.h"
#include "devices/DrawingValues.h"
#include "devices/TrackGeometry.h"

namespace velkor {

namespace {

// Centred below a rectangle of the label's parent, 6 pixels down.
void PutLabelBelow(Label& label, const Rect& r) {
    const Size ext = label.TextExtent();
    label.PlaceAt({(r.left + r.right - ext.cx) / 2, r.bottom + 6});
}

}  // namespace

// ---- decoration line

void CADDeLine::Fields(FieldVisitor& v) {
    v.WindowPoint("p1", p1);
    v.WindowPoint("p2", p2);
    v.Colour("colour", colour);
    v.I32("width", width);
}

void CADDeLine::Serialize(Archive& ar) { SerializeFields(ar, raw_, *this); }

void CADDeLine::SetDragPoints(Point start, Point current) {
    const Rect r = Rect{std::min(start.x, current.x), std::min(start.y, current.y),
                        std::max(start.x, current.x), std::max(start.y, current.y)}
                       .Inflate(width);
    MoveWindow(r);
    p1 = ToWindow(start);
    p2 = ToWindow(current);
}

void CADDeLine::UpdateShape() {
    const Band band = MakeBand(p1, p2, width + 2);
    WindowShape shape;
    shape.kind = WindowShape::Kind::Polygon;
    shape.points.assign(band.c.begin(), band.c.end());
    SetShape(std::move(shape));
}

bool CADDeLine::HitEndPoint(Point p, Point& out) {
    const std::array<Point, 2> ends{p1, p2};
    return HitEndPointList(*this, ends, p, out, markedPoint);
}

void CADDeLine::Paint(Painter& painter) const {
    painter.SetPen({selected ? DrawingValues::kSelectedGrey : colour, width});
    painter.Line(p1, p2);
    const std::array<Point, 2> ends{p1, p2};
    PaintMarkedEndPoint(painter, ends, markedPoint);
}

// ---- light

void CADDeLight::Fields(FieldVisitor& v) {
    v.Colours("colours[]", colours);
    v.CanvasRect("lamp", lamp);  // must be complete
}

void CADDeLight::Serialize(Archive& ar) {
    CADDevice::Serialize(ar);
    StreamFields stream(ar);
    Fields(stream);
    // The companion file has the colours and the window in canvas coordinates.
    if (ByteWriter* companion = ar.Companion(); companion && ar.IsStoring()) {
        for (Color c : colours) companion->U32(c.ToColorRef());
        const Rect w = AbsoluteRect();
        for (int32_t v : {w.left, w.top, w.right, w.bottom}) companion->I32(v);
    }
}

void CADDeLight::SetDragPoints(Point start, Point) {
    MoveWindow({start.x, start.y, start.x + 12, start.y + 12});
    lamp = {0, 0, 12, 12};
    PlaceLabel();
}

void CADDeLight::SetDiameter(int32_t diameter) {
    const Rect w = GetCanvasRect();
    MoveWindow({w.left, w.top, w.left + diameter, w.top + diameter});
    lamp = {0, 0, diameter, diameter};
}

void CADDeLight::PlaceLabel() {
    PutLabelBelow(nameLabel, GetCanvasRect());
    labelRect = nameLabel.GetCanvasRect();
}

void CADDeLight::Paint(Painter& painter) const {
    painter.SetPen(DrawingValues::kWhitePen1);
    painter.SetBrush({selected ? DrawingValues::kSelectedGrey : colours[0]});
    painter.Ellipse(lamp);
}

// ---- button

CADButton::CADButton() { PutI32LE(raw_.data(), valid); }

Size CADButton::SizeOf(int32_t t) {
    switch (t) {
        case kSquare:
            return {16, 16};
        case kRound:
            return {20, 20};
        default:
            return {80, 30};
    }
}

void CADButton::SetType(int32_t newType) {
    type = newType;
    const Size size = SizeOf(type);
    rect = {0, 0, size.cx, size.cy};
    const Color text = type == kPlain ? kButtonText : Rgb(255, 255, 255);
    text1 = text2 = text;
    background1 = background2 = kButtonFace;
    nameLabel.SetParent(LabelParent());
    if (HasWindow()) MoveWindow(Rect::FromOriginSize(GetCanvasRect().TopLeft(), size));
}

void CADButton::Fields(FieldVisitor& v) {
    BlockPrefixFields(v, "buttonValid", valid, reservedInt);
    v.CanvasRect("buttonRect", rect);
    for (Color* c : {&background1, &background2, &text1, &text2}) v.Colour("colours[]", *c);
    v.I32("type", type);
    v.I32("password", password);
    v.I32("selfReset", selfReset);
}

void CADButton::Serialize(Archive& ar) {
    SerializeDevice(ar, raw_);
    if (ar.IsLoading()) nameLabel.SetParent(LabelParent());
}

void CADButton::SetDragPoints(Point start, Point) {
    const Size size = SizeOf(type);
    MoveWindow(Rect::FromOriginSize(start, size));
    rect = {0, 0, size.cx, size.cy};
}

void CADButton::PlaceLabel() {
    nameLabel.SetParent(LabelParent());
    if (type == kPlain) {
        const Size ext = nameLabel.TextExtent();
        const Rect w = GetCanvasRect();
        nameLabel.PlaceAt({(w.Width() - ext.cx) / 2, (w.Height() - ext.cy) / 2});
    } else {
        PutLabelBelow(nameLabel, GetCanvasRect());
    }
    labelRect = nameLabel.GetCanvasRect();
}

void CADButton::Paint(Painter& painter) const {
    const Color grey = DrawingValues::kSelectedGrey;
    painter.SetPen({selected ? grey : Rgb(255, 255, 255), 2});
    painter.SetBrush({selected ? grey : background1});
    if (type == kRound) {
        painter.Ellipse(rect);
        painter.Ellipse(rect.Inflate(-2));
        return;
    }
    painter.Rectangle(rect);
    // A raised frame one pixel inside: light above and left, shadow below and right.
    const Rect f = rect.Inflate(-1);
    painter.SetPen({kHighlight, 1});
    painter.Line({f.left, f.bottom - 1}, {f.left, f.top});
    painter.Line({f.left, f.top}, {f.right - 1, f.top});
    painter.SetPen({kShadow, 1});
    painter.Line({f.right - 1, f.top}, {f.right - 1, f.bottom - 1});
    painter.Line({f.right - 1, f.bottom - 1}, {f.left, f.bottom - 1});
}

namespace {

const std::map<std::u16string, uint16_t>& FunctionTable() {
    static const std::map<std::u16string, uint16_t> table = [] {
        const std::pair<const char16_t*, uint16_t> listed[] = {
            {u"辅助", 0x0040},         {u"总人解", 0x0140},         {u"总取消", 0x0240},
            {u"区故解锁", 0x0340},     {u"总定位", 0x0440},         {u"总反位", 0x0540},
            {u"单锁", 0x0640},         {u"单解", 0x0740},           {u"封锁", 0x0840},
            {u"解封", 0x0940},         {u"引导", 0x0A40},           {u"信号重开", 0x0C40},
            {u"计轴复位", 0x0D40},     {u"自动进路", 0x0E40},       {u"取消自动进路", 0x0F40},
            {u"快速进路", 0x0041},     {u"取消快速进路", 0x0141},   {u"点灯命令", 0x0241},
            {u"灭灯命令", 0x0341},     {u"坡道解", 0x0441},         {u"引导14秒", 0x0541},
            {u"请求命令", 0x0641},     {u"一次确认命令", 0x0741},   {u"二次确认命令", 0x0841},
            {u"扣车", 0x0A41},         {u"取消扣车", 0x0B41},       {u"PSD开门", 0x0C41},
            {u"PSD关门", 0x0D41},      {u"PSD切除", 0x0E41},        {u"PSD取消切除", 0x0F41},
            {u"紧急停车", 0x0042},     {u"取消紧急停车", 0x0142},   {u"下发临时限速", 0x0242},
            {u"取消临时限速", 0x0342}, {u"信号特开", 0x0442},       {u"跳停", 0x0642},
            {u"取消跳停", 0x0742},     {u"PSD人工模式", 0x0842},    {u"PSD自动模式", 0x0942},
            {u"DRB", 0x0A42},          {u"取消DRB", 0x0B42},        {u"设置保护区段", 0x0C42},
            {u"清除保护区段", 0x0D42}, {u"引导总锁", 0x0E42},       {u"取消引导总锁", 0x1E42},
            {u"上电解锁", 0x0043},     {u"复原", 0x0143},           {u"全站非CBTC模式", 0x0243},
            {u"全站CBTC模式", 0x0343}, {u"全自动进路", 0x0443},     {u"取消全自动进路", 0x0543},
            {u"全快速进路", 0x0643},   {u"取消全快速进路", 0x0743}, {u"遥控", 0x0843},
            {u"站控", 0x0943},         {u"计轴总复位", 0x0A43},     {u"闭塞", 0x0B43},
            {u"复原", 0x0C43},         {u"事故", 0x0D43},           {u"闭塞", 0x0E43},
            {u"复原", 0x0F43},         {u"事故", 0x0044},
        };
        std::map<std::u16string, uint16_t> t;
        // A name listed twice keeps its last code.
        for (const auto& [name, code] : listed) t[name] = code;
        for (uint16_t k = 0; k < 16; ++k) {
            const std::u16string n = FromUtf8(std::to_string(k + 1));
            t[u"ZDZ" + n] = static_cast<uint16_t>(0x0144 + 0x1000 * k);
            t[u"取消ZDZ" + n] = static_cast<uint16_t>(0x0244 + 0x1000 * k);
        }
        const std::pair<const char16_t*, uint16_t> tail[] = {
            {u"洗车请求", 0x0245},     {u"取消洗车请求", 0x0345},   {u"洗车通过请求", 0x0445},
            {u"取消洗车通过", 0x0545}, {u"同意试车", 0x0645},       {u"非进路建立", 0x0745},
            {u"非进路取消", 0x1745},   {u"请求试车", 0x0945},       {u"试车开始", 0x0A45},
            {u"试车结束", 0x0B45},     {u"非进路故障解锁", 0x0C45}, {u"故障抢权", 0x0D45},
        };
        for (const auto& [name, code] : tail) t[name] = code;
        return t;
    }();
    return table;
}

}  // namespace

std::optional<uint16_t> ButtonFunctionCode(std::u16string_view name) {
    const auto& t = FunctionTable();
    auto it = t.find(std::u16string(name));
    if (it == t.end()) return std::nullopt;
    return it->second;
}

bool ApplyButtonFunction(IORecord& rec) {
    const auto code = ButtonFunctionCode(rec.Name());
    if (!code) return false;
    rec.button = *code;
    rec.address = rec.word = rec.bit = IORecord::kUnset;
    return true;
}

// ---- arrows

void ArrowShape::GeometryFields(FieldVisitor& v) {
    BlockPrefixFields(v, "buttonValid", buttonValid, reservedInt);
    v.WindowPoint("tip", tip);
    v.WindowPoint("corners[]", corner1);
    v.WindowPoint("corners[]", corner2);
    v.WindowRect("body", body);
}

void ArrowShape::SetDragPoints(Point start, Point) {
    if (direction != 0 && direction != 1) {
        Drawing().Warn(kMsgBadArrowDirection);
        return;
    }
    const Sizes s = ShapeSizes();
    const int32_t g = direction == 0 ? s.head : -s.head;
    const int32_t shift = direction == 0 ? s.bodyShift : -s.bodyShift;
    const int32_t x = start.x;
    const int32_t y = start.y;
    const Point c1{x + g, y - s.head};
    const Point c2{x + g, y + s.head};
    const Rect b{x - s.halfBody + shift, y - s.bodyHalfY, x + s.halfBody + shift, y + s.bodyHalfY};
    const Rect window{std::min(x, b.left), y - s.head, std::max(x, b.right), y + s.head};
    MoveWindow(window);
    const Point o = window.TopLeft();
    tip = start - o;
    corner1 = c1 - o;
    corner2 = c2 - o;
    body = b.Offset(-o.x, -o.y);
}

void ArrowShape::UpdateShape() {
    // The head and the body meet where the body starts: one outline for both.
    const int32_t far = direction == 0 ? body.right : body.left;
    WindowShape shape;
    shape.kind = WindowShape::Kind::Polygon;
    shape.points = {tip,
                    corner1,
                    {corner1.x, body.top},
                    {far, body.top},
                    {far, body.bottom},
                    {corner2.x, body.bottom},
                    corner2};
    SetShape(std::move(shape));
}

void ArrowShape::PlaceLabel() {
    const Rect w = GetCanvasRect();
    nameLabel.PlaceAlong(w.left, w.top - 16, w.right, w.top - 16);
    labelRect = nameLabel.GetCanvasRect();
}

void ArrowShape::Paint(Painter& painter) const {
    const Color fill = selected ? DrawingValues::kSelectedGrey : FillColour();
    painter.SetPen({fill, 1});
    painter.SetBrush({fill});
    const std::array<Point, 3> head{tip, corner1, corner2};
    painter.Polygon(head);
    painter.FillRect(body, fill);
}

ArrowLight::ArrowLight(int code) {
    direction = code - 23;
    PutI32LE(raw_.data(), 1);
}

void ArrowLight::Fields(FieldVisitor& v) {
    GeometryFields(v);
    v.Colours("colours[]", colours);
    v.I32("direction", direction);
}

void ArrowLight::Serialize(Archive& ar) { SerializeDevice(ar, raw_); }

Arrow::Arrow() { PutI32LE(raw_.data(), 1); }

void Arrow::Fields(FieldVisitor& v) {
    GeometryFields(v);
    v.Colour("colour", colour);
    v.I32("direction", direction);
}

void Arrow::Serialize(Archive& ar) { SerializeDevice(ar, raw_); }

// ---- seal counter

FontDesc CADSealCount::CounterFont() {
    FontDesc f;
    f.height = -10;
    f.width = 5;
    f.weight = 0;
    f.charSet = 0;
    return f;
}

CADSealCount::CADSealCount() { PutI32LE(raw_.data(), showName); }

void CADSealCount::Fields(FieldVisitor& v) {
    BlockPrefixFields(v, "showName", showName, reservedInt);
    v.CanvasRect("frame", frame);
    v.WindowPoint("textOrigin", textOrigin);
    v.Font("counterFont", font);
    v.Colour("background", background);
    v.Colour("textColour", textColour);
}

void CADSealCount::Serialize(Archive& ar) { SerializeDevice(ar, raw_); }

void CADSealCount::SetDragPoints(Point start, Point) {
    MoveWindow(Rect::FromOriginSize(start, {34, 14}));
    font = CounterFont();
    nameLabel.text = u"铅封计数";
}

void CADSealCount::PlaceLabel() {
    const Rect w = GetCanvasRect();
    nameLabel.PlaceAlong(w.left, w.top + 20, w.right, w.top + 20);
    labelRect = nameLabel.GetCanvasRect();
}

void CADSealCount::Paint(Painter& painter) const {
    painter.FillRect(frame, background);
    painter.Text(textOrigin, u"00000", font, textColour, background);
}

void CADSealCount::CollectParts(std::vector<CADGraphic*>& out) {
    if (showName) CADDevice::CollectParts(out);
}

}  // namespace velkor
