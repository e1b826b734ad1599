// Which form each class's dialog is, and the dialogs that need no rules of
// their own beyond their bound fields.
#include <charconv>
#include <cstdlib>

#include "common/Text.h"
#include "devices/Composites.h"
#include "devices/PanelObjects.h"
#include "devices/TrackSpecials.h"
#include "document/CVelkorDoc.h"
#include "forms/DevicePanel.h"
#include "forms/FormFields.h"
#include "forms/SectionForm.h"
#include "forms/SignalForm.h"
#include "forms/SwitchForms.h"
#include "iotables/TableEditing.h"

namespace velkor {

namespace {

inline constexpr const char* kMsgBadPoint = "坐标无效（应为 x,y）：";

// "x,y" of a point field, and back.
std::string FormatPoint(Point p) { return std::to_string(p.x) + "," + std::to_string(p.y); }
std::optional<Point> ParsePoint(std::string_view text) {
    const auto comma = text.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    Point p;
    const auto number = [](std::string_view s, int32_t& out) {
        while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
        while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
        const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
        return ec == std::errc() && end == s.data() + s.size() && !s.empty();
    };
    if (!number(text.substr(0, comma), p.x) || !number(text.substr(comma + 1), p.y))
        return std::nullopt;
    return p;
}

// The flood gate's dialog "防淹门属性": relay 1 is the device panel under
// "继电器1信息", whose name finds the two paired rows of the gate; relay 2
// stands under "继电器2信息"; then the six colours.
class FloodGateForm : public DevicePanelForm {
public:
    static constexpr const char* kRelay2 = "继电器2信息";

    FloodGateForm(CADAfgDoor& gate, const FormContext& context)
        : DevicePanelForm("防淹门属性", gate, context.tables, context.ui, "继电器1信息"),
          gate_(gate),
          tables_(context.tables) {
        SetLookUp([this](std::u16string_view text) {
            MatchPairedLingsan(tables_, text, gate_.io, gate_.relay2, UI());
        });
        Add(kRelay2, "车站号", FormField::Kind::Decimal);
        AddRecordFields(kRelay2);
        ShowRelay2();
        AddColours("背景", std::span(gate.colours).first(3));
        AddColours("文本", std::span(gate.colours).subspan(3));
        // Relay 2 after the panel and the colours.
        AfterConfirm([this] {
            TakeDecimalField(Find("车站号", kRelay2)->value, gate_.relay2.station, UI());
            TakeRecordNumbers(kRelay2, gate_.relay2);
            gate_.relay2.SetName(FromUtf8(Find("名称", kRelay2)->value));
        });
    }

    bool LookUp(FormField& field) override {
        if (&field == Find("名称", kRelay2)) {
            const std::u16string text = FromUtf8(field.value);
            MatchIoRecord(tables_, text, gate_.relay2, UI());
            ShowRecordNumbers(kRelay2, gate_.relay2);
            return true;
        }
        if (!DevicePanelForm::LookUp(field)) return false;
        ShowRelay2();  // the paired match fills both relays
        return true;
    }

    bool Confirm() override {
        return NameFits(*Find("名称", kRelay2)) && DevicePanelForm::Confirm();
    }

private:
    void ShowRelay2() {
        Find("车站号", kRelay2)->value = FormatDecimalField(gate_.relay2.station);
        ShowRecord(kRelay2, gate_.relay2);
    }

    CADAfgDoor& gate_;
    const IoTables& tables_;
};

// "按钮属性": the device panel, whose name finds an input-table row or a
// panel-button function, then the button's own fields. The colours are taken
// before the type, which gives a new type its own colours, and the size after
// it where the user changed it.
std::unique_ptr<PropertyForm> ButtonForm(CADButton& button, const FormContext& context) {
    auto form = std::make_unique<DevicePanelForm>("按钮属性", button, context.tables, context.ui);
    Interaction& ui = context.ui;
    const IoTables& tables = context.tables;
    form->SetLookUp([&button, &tables, &ui](std::u16string_view text) {
        LookUpButtonName(tables, text, button.io, ui);
    });
    form->AddList("密码", {"无", "密码", "双密码"}, button.password);
    form->AddCheck("自复", button.selfReset);
    form->AddColour("背景1", button.background1);
    form->AddColour("背景2", button.background2);
    form->AddColour("文字1", button.text1);
    form->AddColour("文字2", button.text2);
    form->AddList("类型", {"普通", "方形", "圆形"}, button.type, [&button](int32_t type) {
        if (type != button.type) button.SetType(type);
    });
    const auto resize = [&button](int32_t w, int32_t h) {
        button.rect = {0, 0, w, h};
        if (button.HasWindow())
            button.MoveWindow(Rect::FromOriginSize(button.GetCanvasRect().TopLeft(), {w, h}));
    };
    const int32_t width = button.rect.Width();
    const int32_t height = button.rect.Height();
    form->AddNumber("宽度", width, [&button, width, resize](int32_t w) {
        if (w != width) resize(w, button.rect.Height());
    });
    form->AddNumber("高度", height, [&button, height, resize](int32_t h) {
        if (h != height) resize(button.rect.Width(), h);
    });
    form->AfterConfirm([&button] { button.PlaceLabel(); });
    return form;
}

// "车站属性": the name looked up in the station table, the ID it gives, the
// button count, the box's size and its doors.
class StationBoxForm : public PropertyForm {
public:
    StationBoxForm(CADStation& box, const FormContext& context)
        : PropertyForm("车站属性", context.ui),
          box_(box),
          tables_(context.tables),
          width_(box.width),
          height_(box.height),
          upper_(box.upperDoor),
          lower_(box.lowerDoor) {
        Add("", "名称", FormField::Kind::Name).value = ToUtf8(box.name);
        FormField& id = Add("", "ID", FormField::Kind::Hex);
        id.value = FormatHexField(static_cast<uint16_t>(box.id));
        id.enabled = false;  // given by the lookup
        AddList("按钮个数", {"0", "1", "2", "3", "4"}, box.buttonCount);
        AddNumber("宽度", box.width, [this](int32_t w) { box_.width = w; });
        AddNumber("高度", box.height, [this](int32_t h) { box_.height = h; });
        AddCheck("上侧门", box.upperDoor);
        AddCheck("下侧门", box.lowerDoor);
        AfterConfirm([this] {
            box_.name = FromUtf8(Find("名称")->value);
            // A new size or new doors lay the box out again.
            if (box_.width == width_ && box_.height == height_ && box_.upperDoor == upper_ &&
                box_.lowerDoor == lower_) {
                return;
            }
            if (box_.HasWindow()) {
                box_.MoveWindow(Rect::FromOriginSize(box_.GetCanvasRect().TopLeft(),
                                                     {box_.width, box_.height}));
            }
            box_.Layout();
        });
    }

    bool LookUp(FormField& field) override {
        if (&field != Find("名称")) return false;
        LookUpStationBox(tables_, FromUtf8(field.value), box_, UI());
        field.value = ToUtf8(box_.name);
        Find("ID")->value = FormatHexField(static_cast<uint16_t>(box_.id));
        return true;
    }

private:
    CADStation& box_;
    const IoTables& tables_;
    int32_t width_, height_, upper_, lower_;
};

// "装饰线": width, colour and the two end points ("x,y" on the canvas).
std::unique_ptr<PropertyForm> DecorationLineForm(CADDeLine& line, Interaction& ui) {
    auto form = std::make_unique<PropertyForm>("装饰线", ui);
    form->AddNumber("宽度", line.width, [&line](int32_t w) { line.width = w; });
    form->AddColour("颜色", line.colour);
    auto ends = std::make_shared<std::array<Point, 2>>();
    const auto accepts = [&ui](const std::string& text) {
        if (ParsePoint(text)) return true;
        ui.Warning(kMsgBadPoint + text);
        return false;
    };
    const char* labels[] = {"PT1", "PT2"};
    const Point points[] = {line.ToCanvas(line.p1), line.ToCanvas(line.p2)};
    for (size_t i = 0; i < 2; ++i) {
        form->AddText(
            labels[i], FormatPoint(points[i]),
            [ends, i](const std::string& text) { (*ends)[i] = *ParsePoint(text); }, accepts);
    }
    // The line laid out again from its ends, with its new width.
    form->AfterConfirm([&line, ends] {
        line.SetDragPoints((*ends)[0], (*ends)[1]);
        line.UpdateShape();
    });
    return form;
}

// "静态文字": text, face, colour, size (the character height) and bold.
std::unique_ptr<PropertyForm> TextForm(Label& label, Interaction& ui) {
    auto form = std::make_unique<PropertyForm>("静态文字", ui);
    form->AddText("文字", ToUtf8(label.text),
                  [&label](const std::string& text) { label.text = FromUtf8(text); });
    form->AddText("字体", ToUtf8(label.font.FaceName()),
                  [&label](const std::string& face) { label.font.SetFaceName(FromUtf8(face)); });
    form->AddColour("颜色", label.textColor);
    // Fonts store the character height negative.
    const int32_t size = std::abs(label.font.height);
    form->AddNumber("大小", size, [&label, size](int32_t h) {
        if (h != size) label.font.height = -h;
    });
    auto bold = std::make_shared<int32_t>(label.font.weight >= 700 ? 1 : 0);
    form->AddCheck("粗体", *bold);
    form->AfterConfirm([&label, bold] {
        label.font.weight = *bold ? 700 : 400;
        label.FitToText();
    });
    return form;
}

}  // namespace

std::unique_ptr<PropertyForm> MakePropertyForm(CADGraphic& obj, CVelkorDoc& doc) {
    const FormContext context{doc.io, doc.UI(), doc.hasLogicSections != 0,
                              doc.logicSectionsPerSwitch};
    const RuntimeClass& cls = obj.GetRuntimeClass();
    const auto is = [&cls](const RuntimeClass& c) { return &cls == &c; };
    if (is(CADSection::Class())) {
        return std::make_unique<SectionForm>(static_cast<CADSection&>(obj), doc.io,
                                             context.hasLogicSections, doc.UI());
    }
    if (is(RailSwitch::Class()))
        return std::make_unique<SwitchForm>(static_cast<RailSwitch&>(obj), context);
    if (is(CADThreeSwitch::Class()))
        return std::make_unique<ThreeSwitchForm>(static_cast<CADThreeSwitch&>(obj), context);
    if (is(CADSignal::Class()))
        return std::make_unique<SignalForm>(static_cast<CADSignal&>(obj), context);
    if (is(CADAfgDoor::Class()))
        return std::make_unique<FloodGateForm>(static_cast<CADAfgDoor&>(obj), context);
    if (is(CADButton::Class())) return ButtonForm(static_cast<CADButton&>(obj), context);
    if (is(CADStation::Class()))
        return std::make_unique<StationBoxForm>(static_cast<CADStation&>(obj), context);
    if (is(CADDeLine::Class())) return DecorationLineForm(static_cast<CADDeLine&>(obj), doc.UI());
    if (is(Label::Class())) return TextForm(static_cast<Label&>(obj), doc.UI());
    if (is(Arrow::Class())) {
        return std::make_unique<DevicePanelForm>("箭头属性", static_cast<Arrow&>(obj), doc.io,
                                                 doc.UI());
    }
    if (is(ArrowLight::Class())) {
        auto& light = static_cast<ArrowLight&>(obj);
        auto form = std::make_unique<DevicePanelForm>("箭头指示灯属性", light, doc.io, doc.UI());
        form->AddColours("背景", light.colours);
        return form;
    }
    if (is(CADDeLight::Class())) {
        auto& lamp = static_cast<CADDeLight&>(obj);
        auto form = std::make_unique<DevicePanelForm>("装饰灯属性", lamp, doc.io, doc.UI());
        form->AddNumber("直径", lamp.lamp.Width(), [&lamp](int32_t d) {
            lamp.SetDiameter(d);
            lamp.UpdateShape();
            lamp.PlaceLabel();
        });
        form->AddColours("背景", lamp.colours);
        return form;
    }
    if (is(CADDerailer::Class())) {
        auto& derailer = static_cast<CADDerailer&>(obj);
        auto form = std::make_unique<DevicePanelForm>("脱轨器属性", derailer, doc.io, doc.UI());
        form->AddColours("背景", std::span(derailer.colours).first(3));
        form->AddColours("文本", std::span(derailer.colours).subspan(3));
        // The derailer shows "T" whatever its name.
        form->AfterConfirm([&derailer] { derailer.nameLabel.text = u"T"; });
        return form;
    }
    if (is(CADSealCount::Class())) {
        auto& seal = static_cast<CADSealCount&>(obj);
        auto form = std::make_unique<DevicePanelForm>("铅封属性", seal, doc.io, doc.UI());
        form->AddColour("背景", seal.background);
        form->AddColour("文字背景", seal.textColour);
        form->AddCheck("是否显示名称", seal.showName);
        return form;
    }
    if (is(CADDoor::Class())) {
        // Point1 and Point2 are the door's ends S0 and S1 in its window; the
        // 30-pixel stubs follow them.
        auto& door = static_cast<CADDoor&>(obj);
        auto form = std::make_unique<DevicePanelForm>("屏蔽门属性", door, doc.io, doc.UI());
        form->AddNumber("Point1.X", door.s[0].x, [&door](int32_t v) { door.s[0].x = v; });
        form->AddNumber("Point1.Y", door.s[0].y, [&door](int32_t v) { door.s[0].y = v; });
        form->AddNumber("Point2.X", door.s[1].x, [&door](int32_t v) { door.s[1].x = v; });
        form->AddNumber("Point2.Y", door.s[1].y, [&door](int32_t v) { door.s[1].y = v; });
        form->AfterConfirm([&door] {
            door.s[2] = {door.s[0].x + 30, door.s[0].y};
            door.s[3] = {door.s[1].x - 30, door.s[1].y};
        });
        return form;
    }
    if (is(NavigableTrack::Class())) {
        auto& track = static_cast<NavigableTrack&>(obj);
        auto form = std::make_unique<PropertyForm>("地航", doc.UI());
        form->AddNumber("间距", track.r2.top - track.r1.top, [&track](int32_t spacing) {
            track.SetSpacing(spacing);
            track.PlaceLabel();
        });
        return form;
    }
    return nullptr;
}

}  // namespace velkor
