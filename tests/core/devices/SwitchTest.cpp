#include <gtest/gtest.h>

#include "devices/CADSection.h"
#include "devices/DrawingValues.h"
#include "devices/RailSwitch.h"
#include "devices/StationClasses.h"
#include "document/CVelkorDoc.h"
#include "document/EditMenu.h"
#include "support/RecordingPainter.h"
#include "support/ScriptedInteraction.h"
#include "support/TestFiles.h"

namespace velkor {
namespace {

using testing::FixedTextMetrics;
using testing::Hex;
using testing::MeasuredBy;
using testing::ScriptedInteraction;

template <size_t N>
std::vector<Point> Canvas(const CADGraphic& g, const std::array<Point, N>& pts) {
    std::vector<Point> out;
    for (Point p : pts) out.push_back(g.ToCanvas(p));
    return out;
}

std::unique_ptr<RailSwitch> Placed(int code, Point at, int connection = 0,
                                   const DrawingContext* drawing = nullptr) {
    auto sw = std::make_unique<RailSwitch>(code);
    sw->SetDrawingContext(drawing);
    sw->markedPoint = connection;
    sw->SetDragPoints(at, at);
    return sw;
}

TEST(Switch, DerivedLengthsFromHeightAndAngle) {
    const SwitchLengths l = SwitchLengths::Derive(52, 60);
    EXPECT_EQ(l.b, 30);
    EXPECT_EQ(l.dy, 8);
    EXPECT_EQ(l.dx, 5);
    const SwitchLengths flat = SwitchLengths::Derive(40, 45);
    EXPECT_EQ(flat.b, 40);
    EXPECT_EQ(flat.dy, 7);  // 400 / int(56.57)
    EXPECT_EQ(flat.dx, 6);  // int(sqrt(51)) - 1
}

TEST(Switch, VariantZeroPointsOutlineAndJoints) {
    auto sw = Placed(1, {300, 200});
    EXPECT_EQ(Canvas(*sw, sw->q), (std::vector<Point>{{300, 200},
                                                      {300, 200},
                                                      {270, 200},
                                                      {240, 200},
                                                      {240, 200},
                                                      {260, 200},
                                                      {240, 148},
                                                      {240, 148},
                                                      {265, 192}}));
    EXPECT_EQ(Canvas(*sw, sw->outline), (std::vector<Point>{{300, 204},
                                                            {300, 196},
                                                            {270, 196},
                                                            {271, 196},
                                                            {268, 190},
                                                            {243, 146},
                                                            {237, 150},
                                                            {262, 194},
                                                            {263, 196},
                                                            {260, 196},
                                                            {240, 196},
                                                            {240, 204},
                                                            {260, 204},
                                                            {270, 204}}));
    EXPECT_EQ(Canvas(*sw, sw->joints),
              (std::vector<Point>{
                  {300, 204}, {300, 196}, {240, 196}, {240, 204}, {243, 146}, {237, 150}}));
    EXPECT_EQ(sw->GetCanvasRect(), (Rect{230, 138, 310, 210}));
}

TEST(Switch, EveryVariantOpensIntoItsQuadrant) {
    for (int code = 1; code <= 8; ++code) {
        auto sw = Placed(code, {500, 500});
        const Point toe = sw->ToCanvas(sw->q[2]);
        const Point diverging = sw->ToCanvas(sw->q[6]);
        const int v = code - 1;
        EXPECT_EQ(toe.x, v % 4 < 2 ? 470 : 530) << code;
        EXPECT_EQ(diverging.y, v % 2 == 0 ? 448 : 552) << code;
    }
}

TEST(Switch, ConnectionPointShiftsTheWindow) {
    struct Case {
        int code;
        int connection;
        Point shift;
    };
    for (const Case& c : {Case{1, 1, {60, 0}}, Case{1, 2, {60, 52}}, Case{4, 2, {-60, -52}},
                          Case{3, 1, {-60, 0}}}) {
        auto base = Placed(c.code, {300, 200}, 0);
        auto moved = Placed(c.code, {300, 200}, c.connection);
        EXPECT_EQ(moved->GetCanvasRect(), base->GetCanvasRect().Offset(c.shift.x, c.shift.y))
            << c.code << "/" << c.connection;
    }
    // With the diverging end chosen, that end lies on the pressed point.
    auto sw = Placed(1, {300, 200}, 2);
    EXPECT_EQ(sw->ToCanvas(sw->q[6]), (Point{300, 200}));
}

TEST(Switch, NoConnectionChoiceShowsTheMessage) {
    ScriptedInteraction ui;
    DrawingContext drawing;
    drawing.messages = &ui;
    auto sw = Placed(1, {300, 200}, -1, &drawing);
    EXPECT_EQ(ui.Messages("warning"), std::vector<std::string>{"道岔连接点选择错误"});
    EXPECT_EQ(sw->GetCanvasRect(), (Rect{230, 138, 310, 210}));
}

TEST(Switch, StretchModesOnTheStraightLeg) {
    auto sw = Placed(1, {300, 200});
    sw->stretchMode = RailSwitch::kNoStretch;
    sw->ExtendTo(200, 200, 1);
    EXPECT_EQ(sw->ToCanvas(sw->q[3]), (Point{200, 200}));
    EXPECT_EQ(sw->ToCanvas(sw->q[4]), (Point{240, 200}));

    sw->stretchMode = RailSwitch::kMovePoint1;
    sw->ExtendTo(220, 200, 1);
    EXPECT_EQ(sw->ToCanvas(sw->q[4]), (Point{220, 200}));

    sw->stretchMode = RailSwitch::kStretch;
    sw->ExtendTo(150, 200, 1);
    EXPECT_EQ(sw->ToCanvas(sw->q[3]), (Point{150, 200}));
    EXPECT_EQ(sw->ToCanvas(sw->q[4]), (Point{150, 200}));
    EXPECT_EQ(sw->ToCanvas(sw->q[5]), (Point{260, 200}));

    sw->ExtendTo(200, 100, 2);  // diverging leg to a new height
    EXPECT_EQ(sw->ToCanvas(sw->q[6]), (Point{200, 100}));
    EXPECT_EQ(sw->ToCanvas(sw->q[8]), (Point{265, 192}));
}

TEST(Switch, NormalizingBeforeSaveOrdersTheLegEnds) {
    auto left = Placed(1, {300, 200});
    left->q[1].x = left->q[0].x + 5;  // inner point beyond the end
    left->q[4].x = left->q[3].x - 5;
    left->NormalizeLegs();
    EXPECT_EQ(left->q[1].x, left->q[0].x);
    EXPECT_EQ(left->q[4].x, left->q[3].x);
    auto right = Placed(3, {300, 200});
    right->q[1].x = right->q[0].x - 5;
    right->q[4].x = right->q[3].x + 5;
    right->NormalizeLegs();
    EXPECT_EQ(right->q[1].x, right->q[0].x);
    EXPECT_EQ(right->q[4].x, right->q[3].x);
}

TEST(Switch, RotationTurnsEveryPointAboutTheToe) {
    auto sw = Placed(1, {300, 200});
    sw->Rotate(3.14159265358979 / 2);
    EXPECT_EQ(sw->ToCanvas(sw->q[2]), (Point{270, 200}));
    EXPECT_EQ(sw->ToCanvas(sw->q[0]), (Point{270, 230}));
    // cos(pi/2) is not quite zero: 270 - 1.8e-15 truncates to 269, as it
    // always has for rotated switches.
    EXPECT_EQ(sw->ToCanvas(sw->q[3]), (Point{269, 170}));
    EXPECT_EQ(sw->pendingRotation, 0);
}

TEST(Switch, EditMenuCommandsActOnlyOnAContextSwitch) {
    ScriptedInteraction ui;
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    doc.AddObject(Placed(1, {300, 200}));
    doc.AddObject(std::make_unique<CADSection>());
    auto* sw = dynamic_cast<RailSwitch*>(doc.Objects()[0].get());
    EditMenu menu(doc);
    menu.SetObject(doc.Objects()[1].get());
    menu.SetStretchMode(1);
    menu.RotateSwitch(1.0);
    EXPECT_EQ(sw->stretchMode, 0);
    menu.SetObject(sw);
    menu.SetStretchMode(2);
    EXPECT_EQ(sw->stretchMode, 2);
}

TEST(Switch, LogicSuffixOfNamesOnReading) {
    RailSwitch sw(1);
    sw.io.SetName(u"9A");
    sw.switchSection.SetName(u"9DGA");
    ByteWriter w;
    {
        Archive ar(w, StationClassRegistry());
        sw.Serialize(ar);
    }
    EXPECT_EQ(w.Size(), 116u + 4 + 4 + 16 + 26 + 440 + 104);
    for (bool logic : {true, false}) {
        ByteReader r(w.Data());
        Archive ar(r, StationClassRegistry());
        StationContext ctx;
        ctx.hasLogicSections = logic;
        ar.SetContext(&ctx);
        RailSwitch back;
        back.Serialize(ar);
        EXPECT_EQ(back.switchSection.Name(), logic ? u"9DG" : u"9DGA");
        EXPECT_EQ(back.io.Name(), logic ? u"9" : u"9A");
    }
}

TEST(Switch, LabelsBesideTheLegs) {
    FixedTextMetrics metrics(10, 12);
    const DrawingContext drawing = MeasuredBy(metrics);
    auto sw = Placed(1, {300, 200}, 0, &drawing);
    sw->io.SetName(u"1");
    sw->nameLabel.text = u"1";
    sw->PlaceLabel();
    // Along Q1-Q4 (300,200)-(240,200): x = (540 - 10) / 2 = 265, y = 206; then (+15, -22).
    EXPECT_EQ(sw->nameLabel.GetCanvasRect(), (Rect{280, 184, 290, 196}));
    EXPECT_EQ(sw->labelRect, sw->nameLabel.GetCanvasRect());
}

TEST(Switch, PaintsLegsClosingStrokeAndJoints) {
    auto sw = Placed(5, {300, 200});  // diverging route drawn: closes Q2-Q8
    testing::RecordingPainter p;
    p.SetOrigin(sw->AbsoluteOrigin());
    sw->Paint(p);
    ASSERT_GE(p.calls.size(), 5u);
    EXPECT_EQ(p.calls[1], "polyline (300,200)(300,200)(270,200)");
    EXPECT_EQ(p.calls[4], "line (270,200)(265,192)");
}

}  // namespace
}  // namespace velkor
