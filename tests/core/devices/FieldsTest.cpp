#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "common/Text.h"
#include "devices/BlockCodec.h"
#include "devices/CADGraphic.h"
#include "devices/StationClasses.h"
#include "document/EditHistory.h"
#include "support/RecordingPainter.h"

namespace velkor {
namespace {

using testing::FixedTextMetrics;
using testing::MeasuredBy;
using testing::RecordingPainter;

// Gives every described field a value that differs from what a new object
// holds, so that a field the payload loses or mixes up shows in the
// description after a round trip.
class FillFields final : public FieldVisitor {
public:
    void I32(const char* n, int32_t& v) override {
        // Small values: the variants and kinds stay in their valid ranges.
        if (n) v = v == Next(2, 5) ? v + 1 : v == 0 ? 3 : counter_ % 3 + 2;
    }
    void U32(const char* n, uint32_t& v) override {
        if (n) v = static_cast<uint32_t>(Next(0x10000, 0x7FFF0000));
    }
    void U16(const char* n, uint16_t& v) override {
        if (n) v = static_cast<uint16_t>(Next(100, 60000));
    }
    void U8(const char* n, uint8_t& v) override {
        if (n) v = static_cast<uint8_t>(v == 7 ? 9 : 7);
    }
    void F32(const char* n, float& v) override {
        if (n) v = 0.25f + static_cast<float>(Next(1, 8));
    }
    void Colour(const char* n, Color& c) override {
        if (n) c = Rgb(static_cast<uint8_t>(Next(1, 250)), 17, 99);
    }
    void CanvasPoint(const char* n, Point& p) override {
        if (n) p = {Next(-500, 500), Next(-500, 500)};
    }
    void CanvasRect(const char* n, Rect& r) override {
        if (n) r = {Next(-500, 0), Next(-500, 0), Next(1, 500), Next(1, 500)};
    }
    void WindowPoint(const char* n, Point& p) override { CanvasPoint(n, p); }
    void WindowRect(const char* n, Rect& r) override { CanvasRect(n, r); }
    void WindowPoints(const char* n, std::span<Point> pts) override {
        for (Point& p : pts) CanvasPoint(n, p);
    }
    void Io(const char* n, IORecord& r) override {
        if (!n) return;
        r.SetName(FromUtf8("R" + std::to_string(Next(1, 999))));
        r.address = static_cast<uint16_t>(Next(1, 999));
        r.button = static_cast<uint16_t>(Next(1, 999));
        r.word = static_cast<uint16_t>(Next(1, 999));
        r.bit = static_cast<uint16_t>(Next(1, 15));
        r.station = static_cast<uint16_t>(Next(1, 99));
    }
    void Font(const char* n, FontDesc& f) override {
        if (!n) return;
        f.height = -Next(8, 40);
        f.weight = 700;
        f.italic = 1;
    }
    void Text(const char* n, std::u16string& text) override {
        if (n) text = FromUtf8("文字" + std::to_string(Next(1, 999)));
    }
    void Skip(size_t) override {}
    void Record(const char* n, IORecord& r, bool) override { Io(n, r); }

private:
    int32_t Next(int32_t low, int32_t high) {
        ++counter_;
        return low + (counter_ * 7919) % (high - low + 1);
    }
    int32_t counter_ = 0;
};

// A new object of a station class with a window, or nothing when the class
// makes no drawing object.
std::unique_ptr<CADGraphic> NewObject(const RuntimeClass& cls, const DrawingContext& drawing) {
    std::unique_ptr<CADGraphic> obj(dynamic_cast<CADGraphic*>(cls.factory().release()));
    if (obj) {
        obj->SetDrawingContext(&drawing);
        obj->CreateWindow({100, 200, 180, 260});
    }
    return obj;
}

// Every station class: each field it lists is written and read back by its
// payload, in the station file's form (an undo snapshot keeps names as they
// are) and described the same after the round trip.
TEST(Fields, EveryClassReadsBackEveryDescribedField) {
    FixedTextMetrics metrics{7, 12};
    const DrawingContext drawing = MeasuredBy(metrics);
    for (const RuntimeClass* cls : StationClassRegistry().All()) {
        SCOPED_TRACE(cls->name);
        auto created = NewObject(*cls, drawing);
        CADGraphic* obj = created.get();
        ASSERT_NE(obj, nullptr);

        nlohmann::json fresh;
        obj->Describe(fresh);
        FillFields fill;
        obj->Fields(fill);
        nlohmann::json filled;
        obj->Describe(filled);

        // The filler reached every described field.
        for (const auto& [key, value] : filled.items()) {
            if (key == "class" || key == "rect" || key == "label" || key == "io" ||
                key == "labelRect" || key == "displayNameFollowsIoName" || key == "parts" ||
                key == "arrows" || key == "buttons" || key == "lights" || key == "counter" ||
                key == "button" || key == "text") {
                continue;
            }
            EXPECT_NE(value, fresh[key]) << key;
        }

        const auto restored = RestoreObject(SnapshotObject(*obj, true), true);
        ASSERT_NE(restored, nullptr);
        nlohmann::json back;
        restored->Describe(back);
        // Saving lays out again what follows from other fields: outlines and
        // joint marks from the points, the switch legs in their order, the
        // label rectangles from the labels' windows.
        static const std::map<std::string, std::set<std::string>> kLaidOutOnSave = {
            {"CADSection", {"outline", "joints", "sectionNameRect", "delayTimeRect"}},
            {"RailSwitch", {"outline", "joints", "points", "sectionNameRect", "delayTimeRect"}},
            {"CADSignal", {"delayTimeRect"}},
        };
        const auto laidOut = kLaidOutOnSave.find(cls->name);
        for (const auto& [key, value] : filled.items()) {
            if (laidOut != kLaidOutOnSave.end() && laidOut->second.count(key)) continue;
            EXPECT_EQ(back[key], value) << key;
        }
        // What a round trip gives, a second one keeps.
        const auto again = RestoreObject(SnapshotObject(*restored, true), true);
        nlohmann::json twice;
        again->Describe(twice);
        EXPECT_EQ(twice, back);
    }
}

// Coordinates and fonts at the ends of their ranges, as a damaged station
// file can hold them.
class ExtremeFields final : public FieldVisitor {
public:
    void I32(const char*, int32_t&) override {}
    void U32(const char*, uint32_t&) override {}
    void U16(const char*, uint16_t&) override {}
    void U8(const char*, uint8_t&) override {}
    void F32(const char*, float&) override {}
    void Colour(const char*, Color&) override {}
    void CanvasPoint(const char* n, Point& p) override {
        if (n) p = Next();
    }
    void CanvasRect(const char* n, Rect& r) override {
        if (!n) return;
        const Point a = Next();
        const Point b = Next();
        r = {a.x, a.y, b.x, b.y};
    }
    void WindowPoint(const char* n, Point& p) override { CanvasPoint(n, p); }
    void WindowRect(const char* n, Rect& r) override { CanvasRect(n, r); }
    void WindowPoints(const char* n, std::span<Point> pts) override {
        for (Point& p : pts) CanvasPoint(n, p);
    }
    void Io(const char*, IORecord&) override {}
    void Font(const char* n, FontDesc& f) override {
        if (!n) return;
        f.height = (counter_++ % 2) ? INT32_MIN : INT32_MAX;
        f.escapement = INT32_MIN;
    }
    void Text(const char* n, std::u16string& text) override {
        if (n) text = FromUtf8("文字");
    }
    void Skip(size_t) override {}
    void Record(const char*, IORecord&, bool) override {}

private:
    Point Next() {
        static constexpr int32_t kEnds[] = {INT32_MIN, INT32_MAX, INT32_MIN + 1, INT32_MAX - 1};
        const int i = counter_++;
        return {kEnds[i % 4], kEnds[(i / 4 + i) % 4]};
    }
    int counter_ = 0;
};

// Every station class with its coordinates at the ends of the 32-bit range:
// laying out, painting, moving and hit tests finish (the sanitizer build
// stops on anything undefined on the way) and a round trip is stable.
TEST(Fields, ExtremeCoordinatesAreDrawnAndKept) {
    FixedTextMetrics metrics{7, 12};
    const DrawingContext drawing = MeasuredBy(metrics);
    for (const RuntimeClass* cls : StationClassRegistry().All()) {
        SCOPED_TRACE(cls->name);
        auto created = NewObject(*cls, drawing);
        CADGraphic* obj = created.get();
        ASSERT_NE(obj, nullptr);
        ExtremeFields extreme;
        obj->Fields(extreme);

        auto restored = RestoreObject(SnapshotObject(*obj, true), true);
        ASSERT_NE(restored, nullptr);
        auto* back = dynamic_cast<CADGraphic*>(restored.get());
        ASSERT_NE(back, nullptr);
        back->SetDrawingContext(&drawing);
        // What a round trip of such an object gives, a second one keeps.
        nlohmann::json once;
        back->Describe(once);
        const auto again = RestoreObject(SnapshotObject(*back, true), true);
        nlohmann::json twice;
        again->Describe(twice);
        EXPECT_EQ(twice, once);

        back->PlaceLabel();
        back->UpdateShape();
        RecordingPainter painter;
        back->Paint(painter);
        back->OffsetWindow(INT32_MAX, INT32_MIN);
        back->AfterMove();
        Point end;
        back->HitEndPoint({INT32_MAX, INT32_MIN}, end);
        back->IntersectsRect({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX});
        std::vector<Point> outline;
        back->BuildOutline(outline, INT32_MAX);
    }
}

TEST(Fields, NamesEndingInBracketsGatherAList) {
    nlohmann::json out;
    JsonFields json(out);
    int32_t a = 1, b = 2, reserved = 9;
    json.I32("kinds[]", a);
    json.I32("kinds[]", b);
    json.I32(nullptr, reserved);
    EXPECT_EQ(out, (nlohmann::json{{"kinds", {1, 2}}}));
}

TEST(Fields, BlockCodecRefusesToRunPastItsBlock) {
    std::array<uint8_t, 6> block{};
    BlockCodec codec(block, true);
    int32_t v = 5;
    codec.I32("a", v);
    EXPECT_THROW(codec.I32("b", v), std::logic_error);
}

}  // namespace
}  // namespace velkor
