#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "common/Text.h"
#include "demo/DemoStation.h"
#include "devices/CADSection.h"
#include "devices/CADSignal.h"
#include "devices/PanelObjects.h"
#include "devices/TrackSpecials.h"
#include "document/CVelkorDoc.h"
#include "document/Placing.h"
#include "support/RecordingPainter.h"
#include "support/ScriptedInteraction.h"
#include "support/TestFiles.h"

namespace velkor {
namespace {

using testing::FixedTextMetrics;
using testing::ReadBytes;
using testing::ScriptedInteraction;
using testing::TempDir;

class RoundTrip : public ::testing::Test {
protected:
    FixedTextMetrics metrics{7, 12};
    TempDir dir;
    ScriptedInteraction ui;
};

std::vector<std::string> ClassOrder(const CVelkorDoc& doc) {
    std::vector<std::string> order;
    for (const auto& o : doc.Objects()) {
        const std::string name = o->GetRuntimeClass().name;
        if (order.empty() || order.back() != name) order.push_back(name);
    }
    return order;
}

TEST_F(RoundTrip, DemoStationSavesOpensAndSavesByteForByte) {
    CVelkorDoc doc(ui);
    doc.Drawing().metrics = &metrics;
    doc.OnNewDocument();
    BuildDemoStation(doc, {});
    const size_t placed = doc.Objects().size();
    ASSERT_GT(placed, 100u);
    ASSERT_TRUE(doc.OnSaveDocument(dir / "Demo.lcp"));
    const auto first = ReadBytes(dir / "Demo.lcp");
    const auto firstCompanion = ReadBytes(dir / "LCPData.lcp");

    CVelkorDoc again(ui);

    again.Drawing().metrics = &metrics;
    ASSERT_TRUE(again.OnOpenDocument(dir / "Demo.lcp"));
    EXPECT_EQ(again.Objects().size(), placed);
    // Read back in class-group order, each class once.
    EXPECT_EQ(ClassOrder(again),
              (std::vector<std::string>{"CADSection", "CADSignal", "RailSwitch", "CADThreeSwitch",
                                        "CADButton", "CADDeLight", "Label", "CADDeLine",
                                        "CADSemiAutoBlock", "CADStation", "ArrowLight",
                                        "CADSealCount", "CADDerailer", "CADAfgDoor"}));
    ASSERT_TRUE(again.OnSaveDocument(dir / "Demo.lcp"));
    EXPECT_EQ(ReadBytes(dir / "Demo.lcp"), first);
    EXPECT_EQ(ReadBytes(dir / "LCPData.lcp"), firstCompanion);
    EXPECT_TRUE(ui.Messages("warning").empty());
}

TEST_F(RoundTrip, LargeGeneratedStationWithEveryVariant) {
    CVelkorDoc doc(ui);
    doc.Drawing().metrics = &metrics;
    doc.OnNewDocument();
    BuildDemoStation(doc, {1500, 7});
    // Every palette code that places a saved object, once more with each variant.
    for (int code = 0; code <= 38; ++code) {
        for (int choice = 0; choice < 4; ++choice) {
            const Point at{200 + code * 60, 5000 + choice * 120};
            PlaceObject(doc, {code, at, {at.x + 40, at.y}, code >= 9 && code <= 16 ? choice : 0});
        }
    }
    ASSERT_GE(doc.Objects().size(), 1500u);
    ASSERT_TRUE(doc.OnSaveDocument(dir / "Big.lcp"));
    const auto first = ReadBytes(dir / "Big.lcp");
    CVelkorDoc again(ui);
    again.Drawing().metrics = &metrics;
    ASSERT_TRUE(again.OnOpenDocument(dir / "Big.lcp"));
    ASSERT_TRUE(again.OnSaveDocument(dir / "Big.lcp"));
    EXPECT_EQ(ReadBytes(dir / "Big.lcp"), first);
}

TEST_F(RoundTrip, ObjectsOutsideTheGroupsAreLeftOut) {
    CVelkorDoc doc(ui);
    doc.Drawing().metrics = &metrics;
    doc.OnNewDocument();
    PlaceObject(doc, {28, {0, 0}, {30, 40}});      // turntable
    PlaceObject(doc, {29, {0, 100}, {200, 100}});  // navigable track
    auto door = std::make_unique<CADDoor>();
    door->SetDragPoints({0, 300}, {100, 300});
    doc.AddObject(std::move(door));
    auto arrow = std::make_unique<Arrow>();
    arrow->SetDragPoints({0, 400}, {0, 400});
    doc.AddObject(std::move(arrow));
    PlaceObject(doc, {19, {100, 100}, {105, 108}});  // too short: not even placed
    PlaceObject(doc, {0, {100, 500}, {300, 500}});
    EXPECT_EQ(doc.Objects().size(), 5u);
    // The user is told when placing them, and the station can say so later.
    EXPECT_EQ(
        ui.Messages("warning"),
        (std::vector<std::string>{"转盘不能保存到车站文件中：保存并重新打开车站后它将消失。",
                                  "地航不能保存到车站文件中：保存并重新打开车站后它将消失。"}));
    EXPECT_EQ(doc.UnsavedObjects(), "1 个转盘、1 个地航");
    ASSERT_TRUE(doc.OnSaveDocument(dir / "s.lcp"));
    CVelkorDoc again(ui);
    again.Drawing().metrics = &metrics;
    ASSERT_TRUE(again.OnOpenDocument(dir / "s.lcp"));
    ASSERT_EQ(again.Objects().size(), 1u);
    EXPECT_STREQ(again.Objects()[0]->GetRuntimeClass().name, "CADSection");
}

TEST_F(RoundTrip, SectionNamesFollowTheStationsLogicSetting) {
    for (int logic : {0, 1}) {
        CVelkorDoc doc(ui);
        doc.Drawing().metrics = &metrics;
        doc.OnNewDocument();
        doc.hasLogicSections = logic;
        auto* s = dynamic_cast<CADSection*>(PlaceObject(doc, {0, {100, 200}, {300, 200}}));
        ASSERT_NE(s, nullptr);
        s->io.SetName(u"5DGA");
        s->logic.SetName(u"5DG-L");
        ASSERT_TRUE(doc.OnSaveDocument(dir / "s.lcp"));
        CVelkorDoc again(ui);
        again.Drawing().metrics = &metrics;
        ASSERT_TRUE(again.OnOpenDocument(dir / "s.lcp"));
        auto* back = dynamic_cast<CADSection*>(again.Objects()[0].get());
        EXPECT_EQ(back->io.Name(), logic ? u"5DG" : u"5DGA");
        // The label followed the logic name with logic sections, the IO name without.
        EXPECT_EQ(back->nameLabel.text, logic ? u"5DG-L" : u"5DGA");
        EXPECT_EQ(back->displayNameFollowsIoName, 1);
    }
}

TEST(Placing, ShortDragsAndClockPlaceNothing) {
    ScriptedInteraction ui;
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    EXPECT_EQ(PlaceObject(doc, {0, {100, 100}, {109, 109}}), nullptr);
    EXPECT_EQ(PlaceObject(doc, {28, {100, 100}, {109, 300}}), nullptr);
    EXPECT_EQ(PlaceObject(doc, {20, {100, 100}, {300, 300}}), nullptr);
    EXPECT_NE(PlaceObject(doc, {0, {100, 100}, {110, 100}}), nullptr);
    EXPECT_EQ(doc.Objects().size(), 1u);
    EXPECT_FLOAT_EQ(SignalAngleOfIndex(0), static_cast<float>(3.14159265358979 / 3));
    EXPECT_FLOAT_EQ(RotationOfIndex(7), static_cast<float>(-3.14159265358979 / 2));
}

}  // namespace
}  // namespace velkor

namespace velkor {
namespace {

// The labels of rotated signals land where placing put them, after a save
// and after reopening: window, text position and angle.
TEST_F(RoundTrip, RotatedSignalLabelsKeepTheirPlaces) {
    CVelkorDoc doc(ui);
    doc.Drawing().metrics = &metrics;
    doc.OnNewDocument();
    BuildDemoStation(doc, {});
    // By the signal's window, which a reopened station keeps.
    const auto key = [](const CADSignal& s) {
        const Rect r = s.GetCanvasRect();
        return std::tuple{r.left, r.top, r.right, r.bottom};
    };
    // What a label paints: its window, its text's origin and its font.
    const auto look = [](const Label& l) {
        return std::tuple{l.GetCanvasRect(), l.textOrigin, l.font.escapement, l.font.height,
                          l.text};
    };
    using Look = decltype(look(Label{}));
    std::map<std::tuple<int32_t, int32_t, int32_t, int32_t>, std::pair<Look, Look>> placed;
    for (const auto& o : doc.Objects()) {
        if (auto* s = dynamic_cast<CADSignal*>(o.get()); s && s->angle != 0) {
            placed[key(*s)] = {look(s->nameLabel), look(s->delayTime)};
        }
    }
    ASSERT_FALSE(placed.empty());
    ASSERT_TRUE(doc.OnSaveDocument(dir / "Demo.lcp"));
    CVelkorDoc again(ui);
    again.Drawing().metrics = &metrics;
    ASSERT_TRUE(again.OnOpenDocument(dir / "Demo.lcp"));
    for (CVelkorDoc* d : {&doc, &again}) {
        for (const auto& o : d->Objects()) {
            auto* s = dynamic_cast<CADSignal*>(o.get());
            if (!s || s->angle == 0) continue;
            SCOPED_TRACE(ToUtf8(s->io.Name()));
            ASSERT_EQ(placed.count(key(*s)), 1u);
            EXPECT_TRUE(look(s->nameLabel) == placed[key(*s)].first);
            const auto& delay = s->delayTime.textOrigin;
            EXPECT_TRUE(look(s->delayTime) == placed[key(*s)].second)
                << "delay time text at " << delay.x << "," << delay.y << " instead of "
                << std::get<1>(placed[key(*s)].second).x << ","
                << std::get<1>(placed[key(*s)].second).y;
        }
    }
}

}  // namespace
}  // namespace velkor
