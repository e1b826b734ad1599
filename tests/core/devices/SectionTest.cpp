#include <gtest/gtest.h>

#include "devices/CADSection.h"
#include "devices/DrawingValues.h"
#include "devices/StationClasses.h"
#include "support/RecordingPainter.h"
#include "support/TestFiles.h"

namespace velkor {
namespace {

using testing::FixedTextMetrics;
using testing::Hex;
using testing::MeasuredBy;

std::vector<Point> ToCanvas(const CADGraphic& g, std::span<const Point> pts) {
    std::vector<Point> out;
    for (Point p : pts) out.push_back(g.ToCanvas(p));
    return out;
}

TEST(Section, PlacedByADragWithWindowOutlineAndJoints) {
    CADSection s;
    s.SetDragPoints({100, 200}, {300, 200});
    EXPECT_EQ(s.GetCanvasRect(), (Rect{90, 190, 310, 210}));
    EXPECT_EQ(s.polyline, (std::array<Point, 4>{{{10, 10}, {10, 10}, {210, 10}, {210, 10}}}));
    EXPECT_EQ(ToCanvas(s, s.outline), (std::vector<Point>{{100, 204},
                                                          {300, 204},
                                                          {300, 204},
                                                          {300, 204},
                                                          {300, 196},
                                                          {300, 196},
                                                          {300, 196},
                                                          {100, 196}}));
    EXPECT_EQ(ToCanvas(s, s.joints),
              (std::vector<Point>{{100, 204}, {100, 196}, {300, 204}, {300, 196}}));
    EXPECT_EQ(s.IsBent(), 1);  // P1 and P2 differ
}

// The coincident-line rule takes the far end of the straight part, so the
// outer corner keeps a notch: (100, 4) and (100, -4), as stored files have it.
TEST(Section, BentSectionOutlineFollowsTheLineRules) {
    CADSection s;
    s.SetDragPoints({0, 0}, {100, 0});
    s.ExtendTo(100, 100, 1);  // y differs from P1 and P2: only P3 moves
    EXPECT_EQ(ToCanvas(s, s.polyline), (std::vector<Point>{{0, 0}, {0, 0}, {100, 0}, {100, 100}}));
    EXPECT_EQ(s.IsBent(), 1);
    EXPECT_EQ(
        ToCanvas(s, s.outline),
        (std::vector<Point>{
            {0, 4}, {100, 4}, {96, 4}, {96, 100}, {104, 100}, {104, -4}, {100, -4}, {0, -4}}));
}

TEST(Section, ExtendMovesTheInnerPointOnAFlatSection) {
    CADSection s;
    s.SetDragPoints({100, 200}, {300, 200});
    s.ExtendTo(400, 200, 1);
    EXPECT_EQ(ToCanvas(s, s.polyline),
              (std::vector<Point>{{100, 200}, {100, 200}, {400, 200}, {400, 200}}));
    s.ExtendTo(40, 200, 0);
    EXPECT_EQ(ToCanvas(s, s.polyline),
              (std::vector<Point>{{40, 200}, {40, 200}, {400, 200}, {400, 200}}));
    EXPECT_EQ(s.GetCanvasRect(), (Rect{30, 190, 410, 210}));
}

TEST(Section, EndPointHitMarksAndReturnsTheEnd) {
    CADSection s;
    s.SetDragPoints({100, 200}, {300, 200});
    Point out;
    EXPECT_TRUE(s.HitEndPoint({292, 209}, out));
    EXPECT_EQ(out, (Point{300, 200}));
    EXPECT_EQ(s.markedPoint, 1);
    EXPECT_TRUE(s.HitEndPoint({110, 190}, out));
    EXPECT_EQ(s.markedPoint, 0);
    EXPECT_FALSE(s.HitEndPoint({111, 200}, out));
    EXPECT_EQ(s.markedPoint, -1);
}

TEST(Section, LogicSuffixRule) {
    const std::vector<std::pair<std::u16string, std::u16string>> cases = {
        {u"5DGA", u"5DG"}, {u"5DGE", u"5DG"}, {u"5DGF", u"5DGF"}, {u"12DGFF", u"12DGF"},
        {u"5DG", u"5DG"},  {u"A", u""},       {u"", u""},         {u"站a", u"站a"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(RemoveLogicSuffix(in), out);
}

std::vector<uint8_t> Save(CADSection& s, bool hasLogic, std::vector<uint8_t>* companion = nullptr) {
    ByteWriter w, c;
    Archive ar(w, StationClassRegistry());
    StationContext ctx;
    ctx.hasLogicSections = hasLogic;
    ar.SetContext(&ctx);
    if (companion) ar.SetCompanion(&c);
    s.Serialize(ar);
    if (companion) *companion = c.Data();
    return w.Data();
}

std::unique_ptr<CADSection> Load(const std::vector<uint8_t>& bytes, bool hasLogic) {
    auto s = std::make_unique<CADSection>();
    ByteReader r(bytes);
    Archive ar(r, StationClassRegistry());
    StationContext ctx;
    ctx.hasLogicSections = hasLogic;
    ar.SetContext(&ctx);
    s->Serialize(ar);
    EXPECT_TRUE(r.AtEnd());
    return s;
}

TEST(Section, LogicSuffixIsRemovedOnReadingOnlyWithLogicSections) {
    CADSection s;
    s.io.SetName(u"5DGA");
    s.logic.SetName(u"5DGA");
    const auto bytes = Save(s, false);
    EXPECT_EQ(Load(bytes, false)->io.Name(), u"5DGA");
    EXPECT_EQ(Load(bytes, true)->io.Name(), u"5DG");
    // The logic record keeps its name either way.
    EXPECT_EQ(Load(bytes, true)->logic.Name(), u"5DGA");
}

TEST(Section, PayloadLayoutAndCompanionInCanvasCoordinates) {
    CADSection s;
    s.SetDragPoints({100, 200}, {300, 200});
    s.io.SetName(u"1DG");
    s.logic.SetName(u"1DG-1");
    std::vector<uint8_t> companion;
    const auto bytes = Save(s, true, &companion);
    // The label follows the logic record's name on a station with logic sections.
    const size_t labelText = 4 + 2 * 5;
    const size_t block = 116 + labelText + 16 + 26;
    ASSERT_EQ(bytes.size(), block + 276 + 26);
    EXPECT_EQ(Hex(bytes, block, 4), "01 00 00 00");
    // P0 relative to the window (10, 10).
    EXPECT_EQ(Hex(bytes, block + 72, 8), "0A 00 00 00 0A 00 00 00");
    EXPECT_EQ(Hex(bytes, block + 224, 12), "01 00 00 00 FF FF FF FF FF FF 01 01");
    // Companion: label block + 64-byte text + rect + IO, then the block in canvas coordinates.
    const size_t cblock = 116 + 64 + 16 + 26;
    ASSERT_EQ(companion.size(), cblock + 276 + 26);
    EXPECT_EQ(Hex(companion, cblock + 72, 8), "64 00 00 00 C8 00 00 00");
    auto back = Load(bytes, true);
    EXPECT_EQ(back->nameLabel.text, u"1DG-1");
    EXPECT_EQ(back->polyline, s.polyline);
    EXPECT_EQ(back->outline, s.outline);
    EXPECT_EQ(back->logic.Name(), u"1DG-1");
}

TEST(Section, ExtraLabelTextsFollowTheFlags) {
    CADSection s;
    s.logic.SetName(u"3DGB");
    s.CreateWindow({0, 0, 10, 10});
    EXPECT_EQ(s.extra.sectionName.text, u"3DG");
    EXPECT_EQ(s.extra.delayTime.text, u"000");
    s.showSectionName = 0;
    s.showDelayTime = 0;
    s.RefreshLabelTexts();
    EXPECT_EQ(s.extra.sectionName.text, u"");
    EXPECT_EQ(s.extra.delayTime.text, u"");
    s.showSectionName = 1;
    s.stationHasLogic = false;
    s.RefreshLabelTexts();
    EXPECT_EQ(s.extra.sectionName.text, u"3DGB");
}

TEST(Section, PlaceLabelPutsTheThreeLabelsBelowTheTrack) {
    FixedTextMetrics metrics(10, 12);
    const DrawingContext drawing = MeasuredBy(metrics);
    CADSection s;
    s.SetDrawingContext(&drawing);
    s.io.SetName(u"1DG");
    s.nameLabel.text = u"1DG";
    s.logic.SetName(u"1DG");
    s.SetDragPoints({100, 200}, {300, 200});
    s.PlaceLabel();
    EXPECT_EQ(s.nameLabel.GetCanvasRect(), (Rect{185, 206, 215, 218}));
    EXPECT_EQ(s.labelRect, s.nameLabel.GetCanvasRect());
    EXPECT_EQ(s.extra.sectionName.GetCanvasRect(), (Rect{185, 221, 215, 233}));
    EXPECT_EQ(s.extra.delayTime.GetCanvasRect(), (Rect{185, 236, 215, 248}));
}

TEST(Section, JointKindsPaintAsTrackSegments) {
    CADSection s;
    s.SetDragPoints({100, 200}, {300, 200});
    s.leftJoint = kJointOverrun;
    s.rightJoint = kJointNone;
    testing::RecordingPainter p;
    p.SetOrigin(s.AbsoluteOrigin());
    s.Paint(p);
    const std::vector<std::string> expected = {
        "pen rgb(85,120,182) 3",    "polyline (100,200)(100,200)(300,200)(300,200)",
        "pen rgb(85,120,182) 3",    "brush rgb(0,0,0) hollow",
        "ellipse [96,196,104,204]", "pen rgb(0,0,0) 3",
        "line (300,204)(300,196)",  "pen rgb(255,255,255) 1",
        "brush rgb(0,0,0) hollow",  "rect [90,190,90,190]",
    };
    EXPECT_EQ(p.calls, expected);
}

TEST(Section, GridSnapAfterAMove) {
    DrawingContext drawing;
    drawing.gridOn = true;
    CADSection s;
    s.SetDrawingContext(&drawing);
    s.SetDragPoints({100, 200}, {300, 200});
    s.OffsetWindow(13, -9);  // P0 now at (113, 191)
    s.AfterMove();
    EXPECT_EQ(s.ToCanvas(s.polyline[0]), (Point{120, 200}));
}

}  // namespace
}  // namespace velkor
