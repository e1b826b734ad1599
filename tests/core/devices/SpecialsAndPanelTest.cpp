#include <gtest/gtest.h>

#include "devices/Composites.h"
#include "devices/PanelObjects.h"
#include "devices/StationClasses.h"
#include "devices/TrackSpecials.h"
#include "support/RecordingPainter.h"
#include "support/ScriptedInteraction.h"
#include "support/TestFiles.h"

namespace velkor {
namespace {

using testing::FixedTextMetrics;
using testing::Hex;
using testing::MeasuredBy;

std::vector<uint8_t> Save(ArchiveObject& obj, std::vector<uint8_t>* companion = nullptr) {
    ByteWriter w, c;
    Archive ar(w, StationClassRegistry());
    if (companion) ar.SetCompanion(&c);
    obj.Serialize(ar);
    if (companion) *companion = c.Data();
    return w.Data();
}

template <typename T>
std::unique_ptr<T> Load(const std::vector<uint8_t>& bytes) {
    auto obj = std::make_unique<T>();
    ByteReader r(bytes);
    Archive ar(r, StationClassRegistry());
    obj->Serialize(ar);
    EXPECT_TRUE(r.AtEnd());
    return obj;
}

const size_t kPrefix = 116 + 4 + 4 + 16 + 26;  // label "NO", rectangle, IO record

TEST(TrackSpecials, FloodGateGeometryAndPayload) {
    CADAfgDoor gate;
    gate.SetDragPoints({200, 100}, {200, 100});
    EXPECT_EQ(gate.GetCanvasRect(), (Rect{192, 77, 208, 123}));
    EXPECT_EQ(gate.ToCanvas(gate.f[4]), (Point{200, 115}));
    gate.relay2.SetName(u"FMG2");
    std::vector<uint8_t> companion;
    const auto bytes = Save(gate, &companion);
    ASSERT_EQ(bytes.size(), kPrefix + 224 + 26);
    EXPECT_EQ(Hex(bytes, kPrefix + 72, 8), "00 00 00 00 00 00 00 00");
    EXPECT_EQ(Hex(bytes, kPrefix + 136, 4), "FF 00 00 00");
    const size_t c = 116 + 64 + 16 + 26;
    ASSERT_EQ(companion.size(), c + 224 + 26);
    EXPECT_EQ(Hex(companion, c + 72, 8), "C0 00 00 00 4D 00 00 00");  // F0 = (192, 77)
    EXPECT_EQ(Load<CADAfgDoor>(bytes)->relay2.Name(), u"FMG2");
}

TEST(TrackSpecials, DerailerShowsTUntilSavedWithItsIoName) {
    CADDerailer d;
    d.SetDragPoints({50, 60}, {50, 60});
    EXPECT_EQ(d.GetCanvasRect(), (Rect{50, 52, 66, 60}));
    EXPECT_EQ(d.nameLabel.text, u"T");
    const auto bytes = Save(d);
    ASSERT_EQ(bytes.size(), kPrefix + 184);
    EXPECT_EQ(Load<CADDerailer>(bytes)->nameLabel.text, u"NO");
    EXPECT_EQ(d.ToCanvas(d.d[1]), (Point{58, 52}));
}

TEST(TrackSpecials, ScreenDoorTurntableAndNavigableTrack) {
    CADDoor door;
    door.SetDragPoints({300, 50}, {100, 60});
    EXPECT_EQ(door.GetCanvasRect(), (Rect{100, 48, 300, 62}));
    EXPECT_EQ(door.s, (std::array<Point, 4>{{{0, 2}, {200, 2}, {30, 2}, {170, 2}}}));

    TurnTable table;
    table.SetDragPoints({0, 0}, {30, 40});
    EXPECT_EQ(table.GetCanvasRect(), (Rect{-10, -5, 40, 45}));
    table.UpdateShape();
    EXPECT_EQ(table.Shape().kind, WindowShape::Kind::Ellipse);
    EXPECT_EQ(table.Shape().box, (Rect{-2, -2, 52, 52}));
    EXPECT_TRUE(table.EditProperties());

    NavigableTrack nav;
    nav.SetDragPoints({100, 100}, {300, 100});
    EXPECT_EQ(nav.GetCanvasRect(), (Rect{100, 96, 300, 132}));
    EXPECT_EQ(nav.r1, (Rect{1, 1, 197, 8}));
    EXPECT_EQ(nav.r2, (Rect{1, 29, 197, 36}));
    EXPECT_EQ(nav.IsBent(), 1);
}

TEST(PanelObjects, ButtonSizesAndLabels) {
    FixedTextMetrics metrics(10, 12);
    const DrawingContext drawing = MeasuredBy(metrics);
    CADButton plain;
    plain.SetDrawingContext(&drawing);
    plain.SetDragPoints({10, 10}, {10, 10});
    plain.PlaceLabel();
    EXPECT_EQ(plain.GetCanvasRect(), (Rect{10, 10, 90, 40}));
    // Inside the button: relative to it, centred.
    EXPECT_EQ(plain.nameLabel.Parent(), &plain);
    EXPECT_EQ(plain.nameLabel.GetCanvasRect(), (Rect{30, 9, 50, 21}));
    EXPECT_EQ(plain.nameLabel.AbsoluteRect(), (Rect{40, 19, 60, 31}));

    CADButton round;
    round.SetDrawingContext(&drawing);
    round.SetType(CADButton::kRound);
    round.SetDragPoints({10, 10}, {10, 10});
    round.PlaceLabel();
    EXPECT_EQ(round.GetCanvasRect(), (Rect{10, 10, 30, 30}));
    EXPECT_EQ(round.nameLabel.GetCanvasRect(), (Rect{10, 36, 30, 48}));
    EXPECT_EQ(round.rect, (Rect{0, 0, 20, 20}));
    EXPECT_EQ(round.text1, Rgb(255, 255, 255));
}

TEST(PanelObjects, ButtonFunctionCodes) {
    const std::vector<std::pair<std::u16string, int>> cases = {
        {u"闭塞", 0x0E43},         {u"复原", 0x0F43},  {u"事故", 0x0044},     {u"辅助", 0x0040},
        {u"ZDZ1", 0x0144},         {u"ZDZ16", 0xF144}, {u"取消ZDZ3", 0x2244}, {u"故障抢权", 0x0D45},
        {u"取消引导总锁", 0x1E42}, {u"XYZ", -1},
    };
    for (const auto& [name, code] : cases) {
        const auto found = ButtonFunctionCode(name);
        EXPECT_EQ(found ? int(*found) : -1, code);
    }
    IORecord rec;
    rec.SetName(u"闭塞");
    rec.address = 5;
    EXPECT_TRUE(ApplyButtonFunction(rec));
    EXPECT_EQ(rec.button, 0x0E43);
    EXPECT_EQ(rec.address, 0xFFFF);
}

TEST(PanelObjects, ArrowLightGeometryAndBadDirection) {
    ArrowLight left(23);
    left.SetDragPoints({100, 50}, {100, 50});
    EXPECT_EQ(left.ToCanvas(left.tip), (Point{100, 50}));
    EXPECT_EQ(left.ToCanvas(left.corner1), (Point{109, 41}));
    EXPECT_EQ(left.ToCanvas(left.corner2), (Point{109, 59}));
    EXPECT_EQ(left.body.Offset(left.GetCanvasRect().left, left.GetCanvasRect().top),
              (Rect{109, 46, 123, 54}));
    EXPECT_EQ(left.GetCanvasRect(), (Rect{100, 41, 123, 59}));

    ArrowLight right(24);
    right.SetDragPoints({100, 50}, {100, 50});
    EXPECT_EQ(right.GetCanvasRect(), (Rect{77, 41, 100, 59}));

    testing::ScriptedInteraction ui;
    DrawingContext drawing;
    drawing.messages = &ui;
    ArrowLight bad(23);
    bad.SetDrawingContext(&drawing);
    bad.direction = 5;
    bad.SetDragPoints({0, 0}, {0, 0});
    EXPECT_EQ(ui.Messages("warning"), std::vector<std::string>{"箭头错误：未定义的方向"});

    Arrow old;
    old.SetDragPoints({100, 50}, {100, 50});
    EXPECT_EQ(old.GetCanvasRect(), (Rect{100, 34, 166, 66}));
    EXPECT_EQ(Save(old).size(), kPrefix + 120);
    EXPECT_EQ(Save(left).size(), kPrefix + 128);
}

TEST(PanelObjects, LightLineAndSealCounter) {
    CADDeLight light;
    light.SetDragPoints({20, 30}, {20, 30});
    EXPECT_EQ(light.GetCanvasRect(), (Rect{20, 30, 32, 42}));
    std::vector<uint8_t> companion;
    EXPECT_EQ(Save(light, &companion).size(), kPrefix + 12 + 16);
    EXPECT_EQ(Hex(companion, companion.size() - 16, 4), "14 00 00 00");

    CADDeLine line;
    line.SetDragPoints({100, 100}, {150, 80});
    EXPECT_EQ(line.GetCanvasRect(), (Rect{97, 77, 153, 103}));
    companion.clear();
    const auto bytes = Save(line, &companion);
    ASSERT_EQ(bytes.size(), 24u);
    EXPECT_EQ(Hex(bytes, 0, 8), "03 00 00 00 17 00 00 00");
    EXPECT_EQ(Hex(companion, 0, 8), "64 00 00 00 64 00 00 00");
    EXPECT_EQ(Hex(bytes, 16, 8), "55 78 B6 00 03 00 00 00");

    CADSealCount seal;
    seal.SetDragPoints({5, 5}, {5, 5});
    EXPECT_EQ(seal.GetCanvasRect(), (Rect{5, 5, 39, 19}));
    EXPECT_EQ(seal.nameLabel.text, u"铅封计数");
    const auto sealBytes = Save(seal);
    // Saved, the label follows the IO name "NO" like every device's.
    ASSERT_EQ(sealBytes.size(), kPrefix + 196);
    std::vector<CADGraphic*> parts;
    seal.showName = 0;
    seal.CollectParts(parts);
    EXPECT_TRUE(parts.empty());
}

TEST(Composites, StationBoxWithoutDoorsWritesFourButtonsAndNoDoor) {
    CADStation box;
    box.SetDragPoints({100, 100}, {100, 100});
    box.name = u"东站";
    std::vector<uint8_t> companion;
    const auto bytes = Save(box, &companion);
    const size_t buttonPayload = kPrefix + 116;
    EXPECT_EQ(bytes.size(), 4 + 2 * 2 + 5 * 4 + 4 * (buttonPayload + 16));
    // Companion: the box first (100-byte name, five integers, rectangle), then the buttons.
    EXPECT_EQ(companion.size(), 100 + 20 + 16 + 4 * (116 + 64 + 16 + 26 + 116));
    EXPECT_EQ(Hex(companion, 120, 16), "64 00 00 00 64 00 00 00 DC 00 00 00 BE 00 00 00");
    auto back = Load<CADStation>(bytes);
    EXPECT_EQ(back->name, u"东站");
}

TEST(Composites, StationBoxDoorsBringTheirButtons) {
    CADStation box;
    box.upperDoor = 1;
    box.SetDragPoints({100, 100}, {100, 100});
    EXPECT_TRUE(box.buttons[0].HasWindow());
    EXPECT_TRUE(box.buttons[1].HasWindow());
    EXPECT_FALSE(box.buttons[2].HasWindow());
    EXPECT_EQ(box.buttons[1].GetCanvasRect(), (Rect{96, 8, 112, 24}));
    EXPECT_EQ(box.buttons[1].AbsoluteRect(), (Rect{196, 108, 212, 124}));
    EXPECT_EQ(box.doors[0].GetCanvasRect(), (Rect{3, 3, 117, 7}));
    const auto bytes = Save(box);
    EXPECT_EQ(bytes.size(), 4 + 2 * 2 + 5 * 4 + 4 * (kPrefix + 116 + 16) + kPrefix + 104 + 16);
    auto back = Load<CADStation>(bytes);
    back->CreateWindow({100, 100, 220, 190});
    EXPECT_TRUE(back->buttons[1].HasWindow());
    EXPECT_EQ(back->buttons[1].GetCanvasRect(), (Rect{96, 8, 112, 24}));
    EXPECT_FALSE(back->buttons[3].HasWindow());
}

TEST(Composites, SemiAutoBlockPanels) {
    CADSemiAutoBlock d64(27);
    d64.SetDragPoints({0, 0}, {0, 0});
    ASSERT_EQ(d64.arrows.size(), 2u);
    ASSERT_EQ(d64.buttons.size(), 3u);
    ASSERT_EQ(d64.lights.size(), 6u);
    EXPECT_EQ(d64.buttons[0]->GetCanvasRect().left, 25);
    EXPECT_EQ(d64.buttons[1]->GetCanvasRect().left, 70);
    EXPECT_EQ(d64.buttons[2]->GetCanvasRect().left, 115);
    EXPECT_EQ(d64.lights[3]->GetCanvasRect().left, 106);
    EXPECT_EQ(d64.lights[5]->GetCanvasRect().left, 136);
    EXPECT_EQ(d64.arrows[0]->direction, 1);
    EXPECT_EQ(d64.arrows[0]->ToCanvas(d64.arrows[0]->tip), (Point{75, 36}));
    EXPECT_EQ(d64.counter.GetCanvasRect(), (Rect{56, 65, 103, 75}));

    std::vector<uint8_t> companion;
    const auto bytes = Save(d64, &companion);
    // Variant, counts, name "NO", then 2 + 3 + 6 rectangles before the parts.
    EXPECT_EQ(Hex(bytes, 0, 12), "02 00 00 00 02 00 00 00 03 00 00 00");
    const size_t rects = 12 + 8;
    EXPECT_EQ(Hex(bytes, rects + 2 * 16 + 3 * 16, 4), "0C 00 00 00");  // light 1 at x = 12
    auto back = Load<CADSemiAutoBlock>(bytes);
    EXPECT_EQ(back->lights.size(), 6u);
    EXPECT_EQ(back->variant, 2);

    CADSemiAutoBlock left(25);
    left.SetDragPoints({0, 0}, {0, 0});
    EXPECT_EQ(left.buttons[0]->GetCanvasRect().left, 40);
    EXPECT_EQ(left.buttons[1]->GetCanvasRect().left, 100);
    EXPECT_EQ(left.lights[0]->GetCanvasRect().left, 116);
    EXPECT_TRUE(left.EditProperties());
}

TEST(Composites, DamagedPartCountsFailCleanly) {
    CADSemiAutoBlock panel(25);
    auto bytes = Save(panel);
    bytes[4] = 0xFF;  // arrow count 255: more rectangles than bytes left
    ByteReader r(bytes);
    Archive ar(r, StationClassRegistry());
    CADSemiAutoBlock back;
    try {
        back.Serialize(ar);
        ADD_FAILURE();
    } catch (const ArchiveError& e) {
        EXPECT_EQ(e.Kind(), ArchiveErrorKind::EndOfFile);
    }
}

}  // namespace
}  // namespace velkor
