#include <gtest/gtest.h>

#include "devices/CADThreeSwitch.h"
#include "devices/DrawingValues.h"
#include "devices/StationClasses.h"
#include "support/RecordingPainter.h"
#include "support/TestFiles.h"

namespace velkor {
namespace {

template <size_t N>
std::vector<Point> Canvas(const CADGraphic& g, const std::array<Point, N>& pts) {
    std::vector<Point> out;
    for (Point p : pts) out.push_back(g.ToCanvas(p));
    return out;
}

TEST(ThreeSwitch, RightStraightVariantPointsAndOutline) {
    CADThreeSwitch sw(34);  // 右直
    sw.markedPoint = 0;
    sw.SetDragPoints({100, 300}, {100, 300});
    EXPECT_EQ(Canvas(sw, sw.t), (std::vector<Point>{{100, 300},
                                                    {100, 300},
                                                    {130, 300},
                                                    {160, 300},
                                                    {160, 300},
                                                    {140, 300},
                                                    {160, 248},
                                                    {160, 248},
                                                    {135, 292},
                                                    {160, 352},
                                                    {160, 352},
                                                    {135, 308}}));
    EXPECT_EQ(Canvas(sw, sw.outline),
              (std::vector<Point>{{100, 304}, {100, 296}, {100, 296}, {128, 296}, {157, 246},
                                  {160, 244}, {160, 252}, {163, 250}, {136, 296}, {140, 296},
                                  {160, 296}, {160, 304}, {140, 304}, {136, 304}, {163, 350},
                                  {160, 348}, {160, 356}, {157, 354}, {128, 304}, {100, 304}}));
    EXPECT_EQ(Canvas(sw, sw.joints), (std::vector<Point>{{100, 304},
                                                         {100, 296},
                                                         {160, 296},
                                                         {160, 304},
                                                         {160, 244},
                                                         {160, 252},
                                                         {160, 348},
                                                         {160, 356}}));
    testing::RecordingPainter p;
    p.SetOrigin(sw.AbsoluteOrigin());
    sw.Paint(p);
    EXPECT_EQ(p.calls[5], "line (130,300)(140,300)");  // closing stroke T2-T5
}

TEST(ThreeSwitch, ConnectionPointShifts) {
    struct Case {
        int code;
        int connection;
        Point shift;
    };
    for (const Case& c : {Case{30, 3, {60, -52}}, Case{30, 2, {60, 52}}, Case{33, 1, {-60, 0}}}) {
        CADThreeSwitch base(c.code), moved(c.code);
        base.markedPoint = 0;
        moved.markedPoint = c.connection;
        base.SetDragPoints({100, 300}, {100, 300});
        moved.SetDragPoints({100, 300}, {100, 300});
        EXPECT_EQ(moved.GetCanvasRect(), base.GetCanvasRect().Offset(c.shift.x, c.shift.y))
            << c.code << "/" << c.connection;
    }
}

TEST(ThreeSwitch, SwitchAngleSettingDoesNotApply) {
    DrawingContext drawing;
    drawing.values.switchAngle = 45;
    CADThreeSwitch sw(30);
    sw.SetDrawingContext(&drawing);
    RailSwitch two(1);
    two.SetDrawingContext(&drawing);
    EXPECT_EQ(sw.lengths.b, 30);
    EXPECT_EQ(two.lengths.b, 52);
}

TEST(ThreeSwitch, BlockIsWrittenAsItStandsWithOneLogicRecord) {
    CADThreeSwitch sw(31);
    sw.markedPoint = 0;
    sw.SetDragPoints({100, 300}, {100, 300});
    sw.outline[0] = {1, 2};  // not rebuilt before writing
    sw.logic[0].SetName(u"7DGA");
    sw.switchSection.SetName(u"7DGA");
    ByteWriter w, companion;
    {
        Archive ar(w, StationClassRegistry());
        ar.SetCompanion(&companion);
        sw.Serialize(ar);
    }
    const size_t prefix = 116 + 4 + 2 * 2 + 16 + 26;
    ASSERT_EQ(w.Size(), prefix + 532 + 26);
    EXPECT_EQ(testing::Hex(w.Data(), prefix + 232, 8), "01 00 00 00 02 00 00 00");
    // Companion: device record and the block, no logic record.
    EXPECT_EQ(companion.Size(), 116u + 64 + 16 + 26 + 532);

    ByteReader r(w.Data());
    Archive ar(r, StationClassRegistry());
    StationContext ctx;  // with logic sections: names still read unchanged
    ar.SetContext(&ctx);
    CADThreeSwitch back;
    back.Serialize(ar);
    EXPECT_EQ(back.switchSection.Name(), u"7DGA");
    EXPECT_EQ(back.logic[0].Name(), u"7DGA");
    EXPECT_EQ(back.outline[0], (Point{1, 2}));
    EXPECT_EQ(back.variant, 1);
}

TEST(ThreeSwitch, ExtendMovesALegEnd) {
    CADThreeSwitch sw(30);
    sw.markedPoint = 0;
    sw.SetDragPoints({300, 300}, {300, 300});
    sw.ExtendTo(200, 200, 2);
    EXPECT_EQ(sw.ToCanvas(sw.t[6]), (Point{200, 200}));
    Point out;
    EXPECT_TRUE(sw.HitEndPoint({205, 195}, out));
    EXPECT_EQ(sw.markedPoint, 2);
}

}  // namespace
}  // namespace velkor
