#include "devices/Composites.h"

#include "common/Text.h"
#include "common/TextMetrics.h"
#include "devices/DrawingValues.h"

namespace velkor {

namespace {

void WriteCompanionRect(ByteWriter& w, const Rect& r) {
    for (int32_t v : {r.left, r.top, r.right, r.bottom}) w.I32(v);
}

// A part's payload followed by its rectangle relative to the composite.
void SerializePart(Archive& ar, CADGraphic& part, Rect& rect) {
    if (ar.IsStoring() && part.HasWindow()) rect = part.GetCanvasRect();
    part.Serialize(ar);
    ar.Rectangle(rect);  // must be complete
}

void PaintPanel(Painter& painter, const Rect& window, bool selected) {
    const Rect r{0, 0, window.Width(), window.Height()};
    painter.SetPen({selected ? Rgb(255, 0, 0) : Rgb(255, 255, 255), 1});
    painter.SetBrush({Rgb(0, 0, 0)});
    painter.Rectangle(r);
}

}  // namespace

// ---- station box

CADStation::CADStation() {
    for (auto& b : buttons) b.SetParent(this);
    for (auto& d : doors) d.SetParent(this);
}

void CADStation::Fields(FieldVisitor& v) {
    v.Text("name", name);
    v.I32("stationRow", stationRow);
    v.I32("id", id);
    v.I32("buttonCount", buttonCount);
    v.I32("upperDoor", upperDoor);
    v.I32("lowerDoor", lowerDoor);
}

void CADStation::Serialize(Archive& ar) {
    if (ar.IsStoring()) {
        if (ByteWriter* companion = ar.Companion()) {
            // The companion file has the same fields with the name in a
            // fixed field, then the window in canvas coordinates.
            class CompanionFields final : public NarrowFieldVisitor {
            public:
                explicit CompanionFields(ByteWriter& w) : w_(w) {}
                void I32(const char*, int32_t& v) override { w_.I32(v); }
                void Text(const char*, std::u16string& text) override {
                    std::array<uint8_t, kCompanionNameBytes> field{};
                    StoreFixedText(field, text);
                    w_.Bytes(field);
                }

            private:
                ByteWriter& w_;
            } fields(*companion);
            Fields(fields);
            WriteCompanionRect(*companion, AbsoluteRect());
        }
    }
    StreamFields stream(ar);
    Fields(stream);
    for (size_t i = 0; i < buttons.size(); ++i) SerializePart(ar, buttons[i], buttonRects_[i]);
    if (upperDoor) SerializePart(ar, doors[0], doorRects_[0]);
    if (lowerDoor) SerializePart(ar, doors[1], doorRects_[1]);
}

void CADStation::SetDragPoints(Point start, Point) {
    MoveWindow(Rect::FromOriginSize(start, {width, height}));
    Layout();
}

void CADStation::Layout() {
    const std::array<Point, 4> at = {Point{8, 8}, Point{width - 24, 8},
                                     Point{width - 24, height - 40}, Point{8, height - 40}};
    const auto side = [&](bool shown, size_t first, CADDoor& door, int32_t y) {
        for (size_t i = first; i < first + 2; ++i) {
            if (!shown) {
                buttons[i].DestroyWindow();
                continue;
            }
            buttons[i].SetType(CADButton::kSquare);
            buttons[i].SetDragPoints(at[i], at[i]);
            buttons[i].PlaceLabel();
        }
        if (shown) {
            door.SetDragPoints({3, y}, {width - 3, y});
        } else {
            door.DestroyWindow();
        }
    };
    side(upperDoor != 0, 0, doors[0], 5);
    side(lowerDoor != 0, 2, doors[1], height - 5);
}

void CADStation::OnWindowCreated() {
    // Width and height are not stored: a box read from a file takes them
    // from its window.
    const Rect w = GetCanvasRect();
    if (w.Width() > 0 && w.Height() > 0) {
        width = w.Width();
        height = w.Height();
    }
    for (size_t i = 0; i < 4; ++i) {
        const bool shown = i < 2 ? upperDoor != 0 : lowerDoor != 0;
        if (shown && !buttons[i].HasWindow()) buttons[i].CreateWindow(buttonRects_[i]);
    }
    if (upperDoor && !doors[0].HasWindow()) doors[0].CreateWindow(doorRects_[0]);
    if (lowerDoor && !doors[1].HasWindow()) doors[1].CreateWindow(doorRects_[1]);
}

void CADStation::DestroyWindow() {
    for (auto& b : buttons) b.DestroyWindow();
    for (auto& d : doors) d.DestroyWindow();
    CADGraphic::DestroyWindow();
}

void CADStation::CollectParts(std::vector<CADGraphic*>& out) {
    for (auto& b : buttons) {
        if (b.HasWindow()) out.push_back(&b);
    }
    for (auto& d : doors) {
        if (d.HasWindow()) out.push_back(&d);
    }
}

void CADStation::Paint(Painter& painter) const {
    const Rect w = GetCanvasRect();
    PaintPanel(painter, w, selected != 0);
    const FontDesc font = FontDesc::DefaultLabelFont();
    const Size ext = Drawing().Metrics().Extent(name, font);
    painter.Text({(w.Width() - ext.cx) / 2, (w.Height() - ext.cy) / 2}, name, font,
                 Rgb(255, 255, 255), Rgb(0, 0, 0));
}

void CADStation::Describe(nlohmann::json& out) const {
    CADGraphic::Describe(out);
    auto parts = nlohmann::json::array();
    for (const auto& b : buttons) {
        nlohmann::json j;
        b.Describe(j);
        parts.push_back(std::move(j));
    }
    for (size_t i = 0; i < 2; ++i) {
        if (!(i == 0 ? upperDoor : lowerDoor)) continue;
        nlohmann::json j;
        doors[i].Describe(j);
        parts.push_back(std::move(j));
    }
    out["parts"] = std::move(parts);
}

// ---- semi-automatic block panel

CADSemiAutoBlock::CADSemiAutoBlock(int code) : variant(code >= 25 && code <= 27 ? code - 25 : 0) {
    counter.text = u"0";
    counter.SetParent(this);
    const bool is64D = variant == 2;
    MakeParts(is64D ? 2 : 1, is64D ? 3 : 2);
}

void CADSemiAutoBlock::MakeParts(int32_t n, int32_t m) {
    arrows.clear();
    buttons.clear();
    lights.clear();
    for (int32_t i = 0; i < n; ++i) arrows.push_back(std::make_unique<Arrow>());
    for (int32_t i = 0; i < m; ++i) {
        auto b = std::make_unique<CADButton>();
        b->SetType(CADButton::kRound);
        buttons.push_back(std::move(b));
    }
    for (int32_t i = 0; i < 3 * n; ++i) {
        auto l = std::make_unique<CADDeLight>();
        l->colours = {Rgb(100, 100, 100), Rgb(100, 100, 100), Rgb(100, 100, 100)};
        lights.push_back(std::move(l));
    }
    for (auto& a : arrows) a->SetParent(this);
    for (auto& b : buttons) b->SetParent(this);
    for (auto& l : lights) l->SetParent(this);
    rects_.assign(static_cast<size_t>(n + m + 3 * n), Rect{});
}

void CADSemiAutoBlock::Fields(FieldVisitor& v) {
    v.I32("variant", variant);
    // The part counts, which the parts themselves describe.
    v.I32(nullptr, arrowCount_);
    v.I32(nullptr, buttonCount_);
    v.Text("name", name);
}

void CADSemiAutoBlock::Serialize(Archive& ar) {
    int32_t n = static_cast<int32_t>(arrows.size());
    int32_t m = static_cast<int32_t>(buttons.size());
    std::vector<CADGraphic*> parts;
    if (ar.IsStoring()) {
        for (auto& a : arrows) parts.push_back(a.get());
        for (auto& b : buttons) parts.push_back(b.get());
        for (auto& l : lights) parts.push_back(l.get());
        for (size_t i = 0; i < parts.size(); ++i) {
            if (parts[i]->HasWindow()) rects_[i] = parts[i]->GetCanvasRect();
        }
        if (ByteWriter* companion = ar.Companion()) {
            for (int32_t v : {variant, n, m}) companion->I32(v);
            WriteCompanionRect(*companion, AbsoluteRect());
            const Point o = AbsoluteOrigin();
            for (const Rect& r : rects_) WriteCompanionRect(*companion, r.Offset(o.x, o.y));
        }
    }
    arrowCount_ = n;
    buttonCount_ = m;
    StreamFields stream(ar);
    Fields(stream);
    if (ar.IsLoading()) {
        n = arrowCount_;
        m = buttonCount_;
        // Never trust the counts: every part needs a 16-byte rectangle.
        const int64_t count = int64_t{n} + m + 3 * int64_t{n};
        if (n < 0 || m < 0 || count * 16 > static_cast<int64_t>(ar.Remaining())) {
            throw ArchiveError(ArchiveErrorKind::EndOfFile);
        }
        MakeParts(n, m);
        for (auto& a : arrows) parts.push_back(a.get());
        for (auto& b : buttons) parts.push_back(b.get());
        for (auto& l : lights) parts.push_back(l.get());
    }
    for (Rect& r : rects_) ar.Rectangle(r);
    for (CADGraphic* p : parts) p->Serialize(ar);
    counter.Serialize(ar);
}

void CADSemiAutoBlock::SetDragPoints(Point start, Point) {
    MoveWindow(Rect::FromOriginSize(start, {160, 140}));
    const bool is64D = variant == 2;
    const std::vector<std::pair<int32_t, int32_t>> arrowTips =
        is64D ? std::vector<std::pair<int32_t, int32_t>>{{75, 1}, {85, 0}}
              : std::vector<std::pair<int32_t, int32_t>>{{variant == 0 ? 47 : 113, variant}};
    for (size_t i = 0; i < arrows.size() && i < arrowTips.size(); ++i) {
        arrows[i]->direction = arrowTips[i].second;
        arrows[i]->SetDragPoints({arrowTips[i].first, 36}, {arrowTips[i].first, 36});
        arrows[i]->UpdateShape();
    }
    const auto m = static_cast<int32_t>(buttons.size());
    const int32_t gap = (160 - 20 * m) / (m + 1);
    for (int32_t k = 0; k < m; ++k) {
        const Point at{gap + k * (gap + 20), 95};
        buttons[static_cast<size_t>(k)]->SetDragPoints(at, at);
    }
    std::vector<int32_t> xs;
    if (variant == 0) xs = {116, 131, 146};
    if (variant == 1) xs = {44, 29, 14};
    if (variant == 2) xs = {12, 27, 42, 106, 121, 136};
    for (size_t i = 0; i < lights.size() && i < xs.size(); ++i) {
        lights[i]->MoveWindow({xs[i], 30, xs[i] + 12, 42});
        lights[i]->lamp = {0, 0, 12, 12};
    }
    counter.MoveWindow({56, 65, 103, 75});
}

void CADSemiAutoBlock::OnWindowCreated() {
    size_t i = 0;
    const auto create = [&](CADGraphic& part) {
        if (!part.HasWindow()) part.CreateWindow(rects_[i]);
        part.UpdateShape();
        ++i;
    };
    for (auto& a : arrows) create(*a);
    for (auto& b : buttons) create(*b);
    for (auto& l : lights) create(*l);
}

void CADSemiAutoBlock::DestroyWindow() {
    for (auto& a : arrows) a->DestroyWindow();
    for (auto& b : buttons) b->DestroyWindow();
    for (auto& l : lights) l->DestroyWindow();
    counter.DestroyWindow();
    CADGraphic::DestroyWindow();
}

void CADSemiAutoBlock::CollectParts(std::vector<CADGraphic*>& out) {
    for (auto& a : arrows) out.push_back(a.get());
    for (auto& b : buttons) out.push_back(b.get());
    for (auto& l : lights) out.push_back(l.get());
    out.push_back(&counter);
}

void CADSemiAutoBlock::Paint(Painter& painter) const {
    PaintPanel(painter, GetCanvasRect(), selected != 0);
    painter.SetPen({selected ? DrawingValues::kSelectedGrey : Rgb(255, 255, 255), 2});
    painter.SetBrush({Rgb(0, 0, 0), true});
    painter.Rectangle({55, 61, 105, 81});
}

void CADSemiAutoBlock::Describe(nlohmann::json& out) const {
    CADGraphic::Describe(out);
    auto describeAll = [](const auto& list) {
        auto a = nlohmann::json::array();
        for (const auto& p : list) {
            nlohmann::json j;
            p->Describe(j);
            a.push_back(std::move(j));
        }
        return a;
    };
    out["arrows"] = describeAll(arrows);
    out["buttons"] = describeAll(buttons);
    out["lights"] = describeAll(lights);
    nlohmann::json c;
    counter.Describe(c);
    out["counter"] = std::move(c);
}

}  // namespace velkor
