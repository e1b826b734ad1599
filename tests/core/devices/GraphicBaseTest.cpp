#include <gtest/gtest.h>

#include "common/Text.h"
#include "devices/CADDevice.h"
#include "devices/Label.h"
#include "devices/StationClasses.h"
#include "support/RecordingPainter.h"
#include "support/TestFiles.h"

namespace velkor {
namespace {

using testing::FixedTextMetrics;
using testing::Hex;
using testing::MeasuredBy;

std::vector<uint8_t> Payload(ArchiveObject& obj, std::vector<uint8_t>* companion = nullptr) {
    ByteWriter w;
    ByteWriter c;
    Archive ar(w, StationClassRegistry());
    if (companion) ar.SetCompanion(&c);
    obj.Serialize(ar);
    if (companion) *companion = c.Data();
    return w.Data();
}

template <typename T>
std::unique_ptr<T> ReadBack(const std::vector<uint8_t>& payload) {
    auto obj = std::make_unique<T>();
    ByteReader r(payload);
    Archive ar(r, StationClassRegistry());
    obj->Serialize(ar);
    EXPECT_TRUE(r.AtEnd());
    return obj;
}

TEST(Device, NewDeviceHasTheUnsetIoRecordAndLabelNo) {
    CADDevice d;
    std::array<uint8_t, IORecord::kBytes> rec{};
    d.io.Store(rec);
    EXPECT_EQ(Hex({rec.begin(), rec.end()}),
              "4E 4F 00 00 00 00 00 00 00 00 00 00 00 00 00 00 FF FF FF FF FF FF FF FF 00 00");
    EXPECT_EQ(d.nameLabel.text, u"NO");
    EXPECT_EQ(d.displayNameFollowsIoName, 1);
    EXPECT_EQ(d.markedPoint, -1);
    EXPECT_EQ(d.hover, 0);

    d.io.Reset();
    d.io.Store(rec);
    EXPECT_EQ(Hex({rec.begin(), rec.end()}),
              "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 FF FF FF FF FF FF FF FF 00 00");
}

TEST(Device, DefaultLabelFontIsSongTiTwelvePixels) {
    Label l;
    EXPECT_EQ(l.font.FaceName(), u"宋体");
    EXPECT_EQ(l.font.height, -12);
    EXPECT_EQ(l.font.weight, 400);
    EXPECT_EQ(l.font.charSet, 134);
    EXPECT_EQ(l.textColor, Rgb(255, 255, 255));
    EXPECT_EQ(l.backgroundColor, Rgb(0, 0, 0));
}

TEST(Device, DisplayNameFollowsIoNameOnSaving) {
    CADDevice d;
    d.io.SetName(u"1DG");
    d.nameLabel.text = u"旧名";
    auto back = ReadBack<CADDevice>(Payload(d));
    EXPECT_EQ(back->nameLabel.text, u"1DG");
    EXPECT_EQ(back->displayNameFollowsIoName, 1);

    // With the flag off the label keeps its own text, and reading sees that
    // it differs from the IO name.
    d.displayNameFollowsIoName = 0;
    d.nameLabel.text = u"显示名";
    back = ReadBack<CADDevice>(Payload(d));
    EXPECT_EQ(back->nameLabel.text, u"显示名");
    EXPECT_EQ(back->displayNameFollowsIoName, 0);

    // Same text, flag off: reading turns the flag on.
    d.nameLabel.text = u"1DG";
    EXPECT_EQ(ReadBack<CADDevice>(Payload(d))->displayNameFollowsIoName, 1);
}

TEST(Device, PrefixPayloadAndCompanionRecordLayout) {
    CADDevice d;
    d.io.SetName(u"X1");
    d.io.address = 0x0102;
    d.labelRect = {1, 2, 3, 4};
    std::vector<uint8_t> companion;
    const auto payload = Payload(d, &companion);
    // Label block, text "X1" wide, label rectangle, IO record.
    ASSERT_EQ(payload.size(), 116u + 4 + 4 + 16 + 26);
    EXPECT_EQ(Hex(payload, 116, 8), "FF FE FF 02 58 00 31 00");
    EXPECT_EQ(Hex(payload, 124, 16), "01 00 00 00 02 00 00 00 03 00 00 00 04 00 00 00");
    EXPECT_EQ(Hex(payload, 140, 4), "58 31 00 00");
    EXPECT_EQ(Hex(payload, 156, 2), "02 01");
    // Companion: label block, 64-byte GBK text, label rectangle, IO record.
    ASSERT_EQ(companion.size(), 116u + 64 + 16 + 26);
    EXPECT_EQ(Hex(companion, 0, 116), Hex(payload, 0, 116));
    EXPECT_EQ(Hex(companion, 116, 3), "58 31 00");
    EXPECT_EQ(Hex(companion, 180, 42), Hex(payload, 124, 42));

    auto back = ReadBack<CADDevice>(payload);
    EXPECT_EQ(back->io, d.io);
    EXPECT_EQ(back->labelRect, d.labelRect);
}

TEST(Device, LabelBlockRoundTripsEveryField) {
    Label l;
    l.textColor = Rgb(1, 2, 3);
    l.backgroundColor = Rgb(4, 5, 6);
    l.font.height = -20;
    l.font.escapement = 450;
    l.font.weight = 700;
    l.font.SetFaceName(u"黑体");
    l.textOrigin = {7, 8};
    l.textBoxCorner = {-9, 10};
    l.text = u"站台";
    const auto payload = Payload(l);
    EXPECT_EQ(Hex(payload, 0, 8), "01 02 03 00 04 05 06 00");  // 0x00BBGGRR
    auto back = ReadBack<Label>(payload);
    EXPECT_EQ(back->textColor, l.textColor);
    EXPECT_EQ(back->backgroundColor, l.backgroundColor);
    EXPECT_EQ(back->font, l.font);
    EXPECT_EQ(back->textOrigin, l.textOrigin);
    EXPECT_EQ(back->textBoxCorner, l.textBoxCorner);
    EXPECT_EQ(back->text, l.text);
}

TEST(Device, LabelCompanionCutsLongTextAtACharacterBoundary) {
    Label l;
    l.text = std::u16string(40, u'站');  // 80 GBK bytes
    std::vector<uint8_t> companion;
    Payload(l, &companion);
    ASSERT_EQ(companion.size(), 116u + 64);
    EXPECT_EQ(companion[116 + 61], 0xBE);  // the 31st character ends at byte 62
    EXPECT_EQ(companion[116 + 62], 0);
    EXPECT_EQ(companion[116 + 63], 0);
}

TEST(Label, PlacedAlongAHorizontalSegment) {
    FixedTextMetrics metrics(10, 12);
    const DrawingContext drawing = MeasuredBy(metrics);
    Label l;
    l.SetDrawingContext(&drawing);
    l.text = u"ABCD";  // 40 pixels wide
    l.PlaceAlong(0, 100, 200, 100);
    EXPECT_EQ(l.GetCanvasRect(), (Rect{80, 106, 120, 118}));
    EXPECT_EQ(l.font.escapement, 0);
    EXPECT_EQ(l.Shape().kind, WindowShape::Kind::Rectangle);
}

struct SlopeCase {
    Point a, b;
    int32_t escapement;
    Rect window;
    std::vector<Point> corners;  // in label-window coordinates
};

TEST(Label, PlacedAlongASlopeWithTheRotatedTextBox) {
    FixedTextMetrics metrics(8, 12);
    const DrawingContext drawing = MeasuredBy(metrics);
    const std::vector<SlopeCase> cases = {
        // Given right to left: the ends are swapped first.
        {{110, 0}, {10, 50}, 265, {41, 13, 89, 56}, {{10, 22}, {33, 10}, {38, 21}, {15, 33}}},
        // 45 degrees: pi as a float (3.1415927) makes the angle -449, not -450.
        {{0, 0}, {100, 100}, -449, {18, 36, 65, 82}, {{19, 10}, {37, 27}, {29, 36}, {10, 17}}},
        {{0, 0}, {0, 100}, -899, {-28, 27, 5, 73}, {{21, 11}, {23, 36}, {10, 36}, {10, 10}}},
    };
    for (const SlopeCase& c : cases) {
        Label l;
        l.SetDrawingContext(&drawing);
        l.text = u"1DG";  // 24 x 12
        l.PlaceAlong(c.a.x, c.a.y, c.b.x, c.b.y);
        EXPECT_EQ(l.font.escapement, c.escapement);
        EXPECT_EQ(l.GetCanvasRect(), c.window);
        ASSERT_EQ(l.Shape().kind, WindowShape::Kind::Polygon);
        EXPECT_EQ(l.Shape().points, c.corners);
        EXPECT_EQ(l.textOrigin, c.corners[0]);
        EXPECT_EQ(l.textBoxCorner, c.corners[2]);
    }
}

TEST(Label, StandAloneLabelTakesTheSizeOfItsText) {
    FixedTextMetrics metrics(7, 14);
    const DrawingContext drawing = MeasuredBy(metrics);
    Label l;
    l.SetDrawingContext(&drawing);
    l.text = u"站场";
    l.SetDragPoints({30, 40}, {90, 90});
    EXPECT_EQ(l.GetCanvasRect(), (Rect{30, 40, 44, 54}));
}

TEST(Label, PaintsItsTextGreyWhenSelected) {
    Label l;
    l.text = u"X";
    testing::RecordingPainter p;
    l.Paint(p);
    l.selected = 1;
    l.Paint(p);
    ASSERT_EQ(p.calls.size(), 2u);
    EXPECT_EQ(p.calls[0], "text (0,0) X esc=0 rgb(255,255,255) on rgb(0,0,0)");
    EXPECT_EQ(p.calls[1], "text (0,0) X esc=0 rgb(100,100,100) on rgb(0,0,0)");
}

TEST(Graphic, RectanglesThatShareOnlyAnEdgeDoNotIntersect) {
    struct Case {
        Rect a, b;
        bool hit;
    };
    const std::vector<Case> cases = {
        {{0, 0, 10, 10}, {10, 0, 20, 10}, false},   // shared vertical edge
        {{0, 0, 10, 10}, {0, 10, 10, 20}, false},   // shared horizontal edge
        {{0, 0, 10, 10}, {10, 10, 20, 20}, false},  // shared corner
        {{0, 0, 10, 10}, {9, 9, 20, 20}, true},    {{0, 0, 10, 10}, {2, 2, 4, 4}, true},  // inside
        {{0, 0, 10, 10}, {-5, 3, 30, 4}, true},  // crossing
        {{0, 0, 10, 10}, {20, 20, 30, 30}, false},
    };
    for (const Case& c : cases) {
        CADGraphic g;
        g.CreateWindow(c.a);
        EXPECT_EQ(g.IntersectsRect(c.b), c.hit);
        EXPECT_EQ(RectanglesIntersect(c.b, c.a), c.hit);
    }
    CADGraphic noWindow;
    EXPECT_EQ(noWindow.GetCanvasRect(), Rect{});
}

TEST(Graphic, BaseOperationsDoNothing) {
    CADDevice d;
    d.CreateWindow({10, 10, 50, 50});
    Point out{7, 7};
    EXPECT_FALSE(d.HitEndPoint({10, 10}, out));
    EXPECT_EQ(out, (Point{7, 7}));
    EXPECT_EQ(d.IsBent(), 1);
    EXPECT_TRUE(d.EditProperties());
    d.PlaceLabel();
    EXPECT_EQ(d.nameLabel.GetCanvasRect(), Rect{});
}

TEST(Graphic, DeviceWindowBringsItsLabelWindow) {
    CADDevice d;
    d.labelRect = {5, 6, 25, 18};
    d.CreateWindow({0, 0, 100, 20});
    EXPECT_TRUE(d.nameLabel.IsVisible());
    EXPECT_EQ(d.nameLabel.GetCanvasRect(), d.labelRect);
    d.DestroyWindow();
    EXPECT_FALSE(d.nameLabel.HasWindow());
}

TEST(DeviceTypes, PaletteCodesCreateTheirObjects) {
    EXPECT_EQ(CreateForDeviceType(20), nullptr);  // the clock places nothing
    EXPECT_EQ(CreateForDeviceType(kSelectMode), nullptr);
    EXPECT_EQ(CreateForDeviceType(39), nullptr);
    auto label = CreateForDeviceType(18);
    ASSERT_NE(label, nullptr);
    EXPECT_STREQ(label->GetRuntimeClass().name, "Label");
}

}  // namespace
}  // namespace velkor
