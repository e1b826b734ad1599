#pragma once
#include "devices/Label.h"

namespace velkor {

// The section-name and delay-time labels that sections and switches show
// below their name. Their texts are not stored; their rectangles are, in
// canvas coordinates.
struct TrackLabels {
    Label sectionName;
    Label delayTime;
    Rect sectionNameRect{};
    Rect delayTimeRect{};

    void CreateWindows() {
        if (!sectionName.HasWindow()) sectionName.CreateWindow(sectionNameRect);
        if (!delayTime.HasWindow()) delayTime.CreateWindow(delayTimeRect);
    }
    void DestroyWindows() {
        sectionName.DestroyWindow();
        delayTime.DestroyWindow();
    }
    // Before saving: the rectangles are taken from the windows.
    void RefreshRects() {
        if (sectionName.HasWindow()) sectionNameRect = sectionName.GetCanvasRect();
        if (delayTime.HasWindow()) delayTimeRect = delayTime.GetCanvasRect();
    }
    // After reading: the labels take the name label's font.
    void TakeFont(const FontDesc& font) {
        sectionName.font = font;
        delayTime.font = font;
    }
    void SetTexts(bool showName, std::u16string name, bool showDelay) {
        sectionName.text = showName ? std::move(name) : std::u16string();
        delayTime.text = showDelay ? u"000" : u"";
    }
    // As a confirmed property dialog leaves them: a shown label is created
    // where missing (the delay time reading "000") and the section name
    // shows `name`; a label not shown loses its window.
    void ShowAsConfirmed(bool showName, std::u16string_view name, bool showDelay) {
        if (showName) {
            if (!sectionName.HasWindow()) sectionName.CreateWindow(sectionNameRect);
            sectionName.text = name;
        } else {
            sectionName.DestroyWindow();
        }
        if (!showDelay) {
            delayTime.DestroyWindow();
        } else if (!delayTime.HasWindow()) {
            delayTime.CreateWindow(delayTimeRect);
            delayTime.text = u"000";
        }
    }
    void SetDrawingContext(const DrawingContext* context) {
        sectionName.SetDrawingContext(context);
        delayTime.SetDrawingContext(context);
    }
    void Collect(std::vector<CADGraphic*>& out) {
        out.push_back(&sectionName);
        out.push_back(&delayTime);
    }
};

}  // namespace velkor
