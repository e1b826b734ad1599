#include <gtest/gtest.h>

#include "devices/CADSection.h"
#include "devices/Label.h"
#include "document/Arrange.h"
#include "document/Placing.h"
#include "support/RecordingPainter.h"
#include "support/ScriptedInteraction.h"

namespace velkor {
namespace {

using testing::FixedTextMetrics;
using testing::ScriptedInteraction;

TEST(Arrange, SelectionDragKeepsTheLargerComponent) {
    struct Case {
        Point drag;
        bool grid;
        Point moved;
    };
    for (const Case& c : {Case{{37, 12}, false, {37, 0}}, Case{{37, 12}, true, {20, 0}},
                          Case{{15, 15}, false, {0, 15}}, Case{{-45, 3}, true, {-40, 0}}}) {
        EXPECT_EQ(SelectionDragOffset({100, 100}, {100 + c.drag.x, 100 + c.drag.y}, c.grid, 20),
                  c.moved);
    }
}

std::unique_ptr<Label> Box(Rect r) {
    auto l = std::make_unique<Label>();
    l->CreateWindow(r);
    return l;
}

TEST(Arrange, SameSpacingMovesTheInnerObjects) {
    auto a = Box({400, 0, 450, 10});
    auto b = Box({0, 0, 50, 10});
    auto c = Box({100, 0, 150, 10});
    std::vector<CADGraphic*> sel{a.get(), b.get(), c.get()};
    SpaceEvenly(sel);
    EXPECT_EQ(sel[0], b.get());  // sorted by left edge
    EXPECT_EQ(c->GetCanvasRect().left, 200);
    EXPECT_EQ(a->GetCanvasRect().left, 400);

    std::vector<CADGraphic*> two{b.get(), a.get()};
    SpaceEvenly(two);
    EXPECT_EQ(a->GetCanvasRect().left, 400);
    EXPECT_EQ(b->GetCanvasRect().left, 0);
}

TEST(Arrange, TopLeavesLabelsLeftPlacesThemAgain) {
    FixedTextMetrics metrics(10, 12);
    ScriptedInteraction ui;
    CVelkorDoc doc(ui);
    doc.Drawing().metrics = &metrics;
    doc.OnNewDocument();
    auto* s1 = dynamic_cast<CADSection*>(PlaceObject(doc, {0, {100, 100}, {300, 100}}));
    auto* s2 = dynamic_cast<CADSection*>(PlaceObject(doc, {0, {150, 200}, {350, 200}}));
    const Rect label2 = s2->nameLabel.GetCanvasRect();
    std::vector<CADGraphic*> sel{s1, s2};
    AlignTop(sel);
    EXPECT_EQ(s2->GetCanvasRect().top, 90);
    EXPECT_EQ(s2->nameLabel.GetCanvasRect(), label2);
    AlignLeft(sel);
    EXPECT_EQ(s2->GetCanvasRect().left, 90);
    EXPECT_EQ(s2->nameLabel.GetCanvasRect(), label2.Offset(-50, -100));

    MoveAll(doc, 20, 0);
    EXPECT_EQ(s1->GetCanvasRect().left, 110);
    EXPECT_EQ(s1->nameLabel.GetCanvasRect().left, s2->nameLabel.GetCanvasRect().left);
}

TEST(Arrange, StraightExtensionOfASectionEnd) {
    ScriptedInteraction ui;
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    auto* s = dynamic_cast<CADSection*>(PlaceObject(doc, {0, {100, 100}, {200, 100}}));
    Point out;
    ASSERT_TRUE(s->HitEndPoint({200, 100}, out));
    EXPECT_EQ(FirstMarkedDevice(doc), s);
    ASSERT_TRUE(ExtendStraight(*s, 50));
    EXPECT_EQ(s->ToCanvas(s->polyline[2]), (Point{250, 100}));
    EXPECT_EQ(s->ToCanvas(s->polyline[3]), (Point{250, 100}));
    EXPECT_EQ(s->ToCanvas(s->polyline[0]), (Point{100, 100}));

    s->markedPoint = -1;
    EXPECT_FALSE(ExtendStraight(*s, 50));
    EXPECT_EQ(FirstMarkedDevice(doc), nullptr);
}

// 斜向: a straight end bends on at the angle; a bent end, a switch and a
// section without a marked end are refused with their reason.
TEST(Arrange, ObliqueExtensionBendsAStraightSectionEnd) {
    ScriptedInteraction ui;
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    auto* s = dynamic_cast<CADSection*>(PlaceObject(doc, {0, {100, 100}, {200, 100}}));
    const char* why = nullptr;
    EXPECT_FALSE(CanExtendOblique(*s, &why));
    EXPECT_STREQ(why, "区段没有选中的端点");
    Point out;
    ASSERT_TRUE(s->HitEndPoint({200, 100}, out));
    ASSERT_TRUE(ExtendOblique(*s, 30, 100));
    EXPECT_EQ(s->ToCanvas(s->polyline[2]), (Point{200, 100}));  // the bend
    EXPECT_EQ(s->ToCanvas(s->polyline[3]), (Point{287, 50}));   // up and on
    EXPECT_EQ(s->ToCanvas(s->polyline[0]), (Point{100, 100}));
    EXPECT_TRUE(s->IsBent());
    EXPECT_FALSE(CanExtendOblique(*s, &why));
    EXPECT_STREQ(why, "这一端已经是折线，区段只能有一个折点");
    // The other end, running left, is still straight: -45 turns it clockwise.
    s->markedPoint = 0;
    ASSERT_TRUE(ExtendOblique(*s, -45, 100));
    EXPECT_EQ(s->ToCanvas(s->polyline[1]), (Point{100, 100}));
    EXPECT_EQ(s->ToCanvas(s->polyline[0]), (Point{29, 29}));

    CADGraphic* sw = PlaceObject(doc, {1, {500, 200}, {500, 200}});
    EXPECT_FALSE(CanExtendOblique(*sw, &why));
    EXPECT_FALSE(ExtendOblique(*sw, 30, 100));
}

}  // namespace
}  // namespace velkor
