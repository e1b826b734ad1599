#pragma once
#include <array>
#include <memory>
#include <vector>

#include "devices/PanelObjects.h"
#include "devices/TrackSpecials.h"

namespace velkor {

inline constexpr const char* kMsgNoMatchingStation = "车站信息表中没有名称匹配的车站";

// A station box (车站): its name and ID, four buttons and two screen doors.
class CADStation final : public CADGraphic {
public:
    static constexpr size_t kCompanionNameBytes = 100;

    CADStation();
    static const RuntimeClass& Class();
    const RuntimeClass& GetRuntimeClass() const override { return Class(); }
    void Serialize(Archive& ar) override;
    void Fields(FieldVisitor& v) override;
    void SetDragPoints(Point start, Point current) override;
    void Paint(Painter& painter) const override;
    void Describe(nlohmann::json& out) const override;
    void CollectParts(std::vector<CADGraphic*>& out) override;
    void DestroyWindow() override;
    // Lays out the buttons and doors for the current door flags.
    void Layout();

    std::u16string name = u"NO";
    int32_t stationRow = 0;  // from 1, the matching row of the station table
    int32_t id = 0;
    int32_t buttonCount = 0;
    int32_t upperDoor = 0;
    int32_t lowerDoor = 0;
    std::array<CADButton, 4> buttons;
    std::array<CADDoor, 2> doors;  // upper, lower
    int32_t width = 120;
    int32_t height = 90;

protected:
    void OnWindowCreated() override;

private:
    std::array<Rect, 4> buttonRects_{};
    std::array<Rect, 2> doorRects_{};
};

// A semi-automatic block panel (左64F, 右64F, 64D): arrows, round buttons,
// lights and a counter.
class CADSemiAutoBlock : public CADGraphic {
public:
    explicit CADSemiAutoBlock(int deviceTypeCode = 25);
    static const RuntimeClass& Class();
    const RuntimeClass& GetRuntimeClass() const override { return Class(); }
    void Serialize(Archive& ar) override;
    void Fields(FieldVisitor& v) override;
    void SetDragPoints(Point start, Point current) override;
    bool EditProperties() override { return true; }  // no dialog
    void Paint(Painter& painter) const override;
    void Describe(nlohmann::json& out) const override;
    void CollectParts(std::vector<CADGraphic*>& out) override;
    void DestroyWindow() override;

    int32_t variant = 0;  // 0 左64F, 1 右64F, 2 64D
    std::u16string name = u"NO";
    std::vector<std::unique_ptr<Arrow>> arrows;
    std::vector<std::unique_ptr<CADButton>> buttons;
    std::vector<std::unique_ptr<CADDeLight>> lights;
    Label counter;

protected:
    void OnWindowCreated() override;

private:
    void MakeParts(int32_t arrowCount, int32_t buttonCount);
    // The part counts as the payload stores them, set while it is written
    // or read.
    int32_t arrowCount_ = 0;
    int32_t buttonCount_ = 0;
    std::vector<Rect> rects_;  // arrows, buttons, lights, as read
};

}  // namespace velkor
