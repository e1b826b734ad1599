#include <gtest/gtest.h>

#include <cmath>

#include "devices/CADSignal.h"
#include "devices/StationClasses.h"
#include "support/RecordingPainter.h"
#include "support/TestFiles.h"

namespace velkor {
namespace {

using testing::FixedTextMetrics;
using testing::Hex;
using testing::MeasuredBy;

struct LayoutCase {
    int code;
    Point at;
    double angle;
    Point p1, p2, p3, p4;
    Point lamp1Centre, lamp2Centre;
    std::array<Point, 4> outline;
    Rect window;
};

TEST(Signal, LayoutInSinglePrecisionAtTheFiveAngles) {
    const double pi = 3.14159265358979;
    const std::vector<LayoutCase> cases = {
        // Up-line high double at angle 0.
        {9,
         {100, 200},
         0,
         {100, 178},
         {100, 194},
         {100, 186},
         {92, 186},
         {83, 186},
         {67, 186},
         {{{100, 178}, {100, 194}, {59, 194}, {59, 178}}},
         {39, 158, 120, 214}},
        // At 60 degrees cos is 0.49999997: -22 * cos truncates to -10, not -11.
        {9,
         {100, 200},
         pi / 3,
         {118, 190},
         {104, 197},
         {111, 193},
         {108, 187},
         {104, 180},
         {96, 166},
         {{{118, 190}, {104, 197}, {84, 162}, {98, 155}}},
         {64, 142, 138, 210}},
        // Down-line low single at -45 degrees: outline points 1 and 2 one pixel left.
        {16,
         {300, 300},
         -pi / 4,
         {303, 303},
         {314, 314},
         {308, 308},
         {308, 308},
         {314, 302},
         {325, 291},
         {{{302, 303}, {313, 314}, {325, 303}, {314, 292}}},
         {283, 283, 345, 323}},
        {14,
         {300, 300},
         pi / 3,
         {296, 302},
         {282, 309},
         {289, 305},
         {292, 311},
         {296, 318},
         {304, 332},
         {{{295, 302}, {281, 309}, {293, 329}, {307, 322}}},
         {273, 282, 316, 349}},
    };
    for (const LayoutCase& c : cases) {
        CADSignal s(c.code);
        s.angle = static_cast<float>(c.angle);
        s.SetDragPoints(c.at, c.at);
        const auto canvas = [&](Point p) { return s.ToCanvas(p); };
        EXPECT_EQ(s.GetCanvasRect(), c.window) << c.code;
        EXPECT_EQ(canvas(s.p0), c.at);
        EXPECT_EQ(canvas(s.p1), c.p1) << c.code;
        EXPECT_EQ(canvas(s.p2), c.p2) << c.code;
        EXPECT_EQ(canvas(s.p3), c.p3) << c.code;
        EXPECT_EQ(canvas(s.p4), c.p4) << c.code;
        const Rect l1 = s.lamp1.Offset(s.GetCanvasRect().left, s.GetCanvasRect().top);
        const Rect l2 = s.lamp2.Offset(s.GetCanvasRect().left, s.GetCanvasRect().top);
        EXPECT_EQ(l1, (Rect{c.lamp1Centre.x - 8, c.lamp1Centre.y - 8, c.lamp1Centre.x + 8,
                            c.lamp1Centre.y + 8}));
        EXPECT_EQ(l2.left + 8, c.lamp2Centre.x);
        for (size_t i = 0; i < 4; ++i) EXPECT_EQ(canvas(s.outline[i]), c.outline[i]) << c.code << i;
        // The four reserved points start at zero in canvas coordinates.
        EXPECT_EQ(canvas(s.reservedPoints[0]), (Point{0, 0}));
    }
}

TEST(Signal, VariantsDecideLampsAndDirection) {
    for (int code = 9; code <= 16; ++code) {
        CADSignal s(code);
        EXPECT_EQ(s.variant, code - 9);
        EXPECT_EQ(s.lampCount, (code - 9) % 2 == 0 ? 2 : 1) << code;
        EXPECT_EQ(s.UpLine(), code < 13);
    }
}

std::vector<uint8_t> Save(CADSignal& s, std::vector<uint8_t>* companion = nullptr) {
    ByteWriter w, c;
    Archive ar(w, StationClassRegistry());
    if (companion) ar.SetCompanion(&c);
    s.Serialize(ar);
    if (companion) *companion = c.Data();
    return w.Data();
}

TEST(Signal, EmbeddedButtonOnlyForItsUsageKinds) {
    CADSignal s(9);
    s.SetDragPoints({100, 200}, {100, 200});
    s.nameLabel.text = u"X1";
    s.io.SetName(u"X1");
    const size_t prefix = 116 + 4 + 4 + 16 + 26;
    EXPECT_EQ(Save(s).size(), prefix + 348);

    s.ChangeUsageKind(2);
    ASSERT_TRUE(s.button.HasWindow());
    EXPECT_EQ(s.button.type, CADButton::kSquare);
    EXPECT_EQ(s.button.io.Name(), u"X1DA");
    // Right of an up-line signal: (r + 2, t + 2).
    EXPECT_EQ(s.button.GetCanvasRect(), (Rect{122, 160, 138, 176}));
    s.button2 = 0x1234;
    std::vector<uint8_t> companion;
    const auto bytes = Save(s, &companion);
    const size_t buttonPayload = 116 + 4 + 2 * 4 + 16 + 26 + 116;
    ASSERT_EQ(bytes.size(), prefix + 348 + buttonPayload + 16);
    // The button's record takes the second button number, the rest unset.
    const size_t buttonIo = prefix + 348 + 116 + 12 + 16;
    EXPECT_EQ(Hex(bytes, buttonIo + 16, 10), "FF FF 34 12 FF FF FF FF 00 00");
    EXPECT_EQ(Hex(bytes, bytes.size() - 16, 16), "7A 00 00 00 A0 00 00 00 8A 00 00 00 B0 00 00 00");
    // Companion: signal record then the button's.
    EXPECT_EQ(companion.size(), (116u + 64 + 16 + 26 + 348) + (116 + 64 + 16 + 26 + 116));

    ByteReader r(bytes);
    Archive ar(r, StationClassRegistry());
    CADSignal back;
    back.Serialize(ar);
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(back.usageKind, 2);
    EXPECT_EQ(back.buttonRect, (Rect{122, 160, 138, 176}));
    EXPECT_EQ(back.button.io.button, 0x1234);

    s.ChangeUsageKind(0);
    EXPECT_FALSE(s.button.HasWindow());
    EXPECT_EQ(Save(s).size(), prefix + 348);
}

TEST(Signal, CutEmbeddedButtonRectangleIsEndOfFile) {
    CADSignal s(9);
    s.usageKind = 5;
    auto bytes = Save(s);
    bytes.resize(bytes.size() - 4);
    ByteReader r(bytes);
    Archive ar(r, StationClassRegistry());
    CADSignal back;
    try {
        back.Serialize(ar);
        ADD_FAILURE();
    } catch (const ArchiveError& e) {
        EXPECT_EQ(e.Kind(), ArchiveErrorKind::EndOfFile);
    }
}

TEST(Signal, BlockFieldOffsets) {
    CADSignal s(12);
    s.angle = 0.5f;
    s.usageKind = 4;
    s.button1Address = 0x0102;
    s.showDelayTime = 0;
    const auto bytes = Save(s);
    const size_t b = 116 + 4 + 4 + 16 + 26;
    float stored;
    std::memcpy(&stored, bytes.data() + b + 292, 4);
    EXPECT_EQ(stored, 0.5f);
    EXPECT_EQ(Hex(bytes, b + 264, 16), "01 00 00 00 FF 00 00 00 FF FF 00 00 03 00 00 00");
    EXPECT_EQ(Hex(bytes, b + 284, 4), "04 00 00 00");
    EXPECT_EQ(Hex(bytes, b + 296, 8), "02 01 FF FF FF FF FF FF");
    EXPECT_EQ(Hex(bytes, b + 312, 4), "00 00 00 00");
}

TEST(Signal, LabelsAtAngleZero) {
    FixedTextMetrics metrics(10, 12);
    const DrawingContext drawing = MeasuredBy(metrics);
    CADSignal up(9);
    up.SetDrawingContext(&drawing);
    up.nameLabel.text = u"X1";
    up.SetDragPoints({100, 200}, {100, 200});
    up.PlaceLabel();
    EXPECT_EQ(up.nameLabel.GetCanvasRect(), (Rect{104, 178, 124, 190}));
    EXPECT_EQ(up.delayTime.GetCanvasRect(), (Rect{104, 163, 134, 175}));

    CADSignal down(13);
    down.SetDrawingContext(&drawing);
    down.nameLabel.text = u"S2";
    down.SetDragPoints({100, 200}, {100, 200});
    down.PlaceLabel();
    // P1 = (100, 205): left top at (100 - 20 - 4, 205 + 15).
    EXPECT_EQ(down.nameLabel.GetCanvasRect(), (Rect{76, 220, 96, 232}));
}

TEST(Signal, RotatedLabelGetsTheEscapement) {
    FixedTextMetrics metrics(10, 12);
    const DrawingContext drawing = MeasuredBy(metrics);
    CADSignal s(9);
    s.SetDrawingContext(&drawing);
    s.angle = static_cast<float>(3.14159265358979 / 4);
    s.SetDragPoints({100, 200}, {100, 200});
    s.PlaceLabel();
    EXPECT_EQ(s.nameLabel.font.escapement, -450);
    EXPECT_EQ(s.nameLabel.Shape().kind, WindowShape::Kind::Polygon);
}

TEST(Signal, PaintsMastLampsAndDefaultColour) {
    CADSignal s(9);
    s.SetDragPoints({100, 200}, {100, 200});
    s.defaultLampColour = 0xFF0000;
    testing::RecordingPainter p;
    p.SetOrigin(s.AbsoluteOrigin());
    s.Paint(p);
    EXPECT_EQ(p.calls[1], "line (100,178)(100,194)");
    EXPECT_EQ(p.calls[2], "line (100,186)(92,186)");
    EXPECT_EQ(p.calls[4], "brush rgb(0,0,255)");
    EXPECT_EQ(p.calls[5], "ellipse [75,178,91,194]");
}

}  // namespace
}  // namespace velkor
