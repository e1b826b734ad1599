// Every device kind of the demo station edited through its dialog, as a
// user double-clicks, types, confirms with Enter or leaves with Esc.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>

#include "AppTest.h"
#include "demo/DemoStation.h"
#include "devices/CADDevice.h"
#include "devices/CADSignal.h"
#include "devices/Label.h"
#include "devices/PanelObjects.h"
#include "devices/RailSwitch.h"
#include "dialogs/PropertyDialog.h"
#include "document/EditHistory.h"

namespace velkor::gui {
namespace {

class DemoDialogs : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        BuildDemoStation(doc(), {});
    }

    // The first object of a class, by index (undo replaces the objects).
    size_t IndexOf(const char* cls) {
        const auto& objects = doc().Objects();
        for (size_t i = 0; i < objects.size(); ++i) {
            if (std::string(objects[i]->GetRuntimeClass().name) == cls) return i;
        }
        ADD_FAILURE() << "no " << cls << " in the demo station";
        return 0;
    }
    CADGraphic& At(size_t i) { return *doc().Objects()[i]; }
    std::vector<uint8_t> Bytes(size_t i) { return SnapshotObject(At(i), doc().hasLogicSections); }
    // A point of the canvas where the view finds the object.
    Point HitPoint(size_t i) {
        const Rect r = At(i).AbsoluteRect();
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                if (view().ObjectAt({x, y}) == &At(i)) return {x, y};
            }
        }
        ADD_FAILURE() << "the object cannot be hit";
        return r.TopLeft();
    }
    // Double-clicks the object and runs `inDialog` on the dialog it opens.
    void DoubleClick(size_t i, const std::function<void(QDialog&)>& inDialog) {
        const Point p = HitPoint(i);
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            seen = true;
            inDialog(*dialog);
        });
        view().DoubleClick(p);
        EXPECT_TRUE(seen) << "no dialog opened";
    }
};

// The dialog of each class: its title, a field the user types into and the
// member it changes.
struct Kind {
    const char* cls;
    const char* title;
    const char* field;  // "<group>/<label>"
    const char* typed;
    std::function<bool(CADGraphic&)> changed;
};

bool AddressIs77(CADGraphic& g) { return dynamic_cast<CADDevice&>(g).io.address == 0x77; }

const std::vector<Kind>& Kinds() {
    static const std::vector<Kind> kinds = {
        {"CADSection", "区段", "设备信息/地址号", "0x77", AddressIs77},
        {"RailSwitch", "道岔属性", "设备信息/地址号", "77", AddressIs77},
        {"CADThreeSwitch", "Dialog", "设备信息/地址号", "0x77", AddressIs77},
        {"CADSignal", "信号机", "设备信息/地址号", "0X77", AddressIs77},
        {"ArrowLight", "箭头指示灯属性", "设备信息/地址号", "77", AddressIs77},
        {"CADDeLight", "装饰灯属性", "设备信息/地址号", "77", AddressIs77},
        {"CADDerailer", "脱轨器属性", "设备信息/地址号", "77", AddressIs77},
        {"CADSealCount", "铅封属性", "设备信息/地址号", "77", AddressIs77},
        {"CADAfgDoor", "防淹门属性", "继电器1信息/地址号", "77", AddressIs77},
        {"CADButton", "按钮属性", "设备信息/地址号", "77", AddressIs77},
        {"CADStation", "车站属性", "/宽度", "150",
         [](CADGraphic& g) { return g.GetCanvasRect().Width() == 150; }},
        {"CADDeLine", "装饰线", "/宽度", "6",
         [](CADGraphic& g) { return dynamic_cast<CADDeLine&>(g).width == 6; }},
        {"Label", "静态文字", "/文字", "新文字",
         [](CADGraphic& g) { return dynamic_cast<Label&>(g).text == u"新文字"; }},
    };
    return kinds;
}

TEST_F(DemoDialogs, EnterTakesATypedValueOverAndUndoRestoresTheBytes) {
    for (const Kind& k : Kinds()) {
        SCOPED_TRACE(k.cls);
        const size_t i = IndexOf(k.cls);
        const std::vector<uint8_t> before = Bytes(i);
        DoubleClick(i, [&](QDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle().toStdString(), k.title);
            auto* edit = dialog.findChild<QLineEdit*>(QString::fromStdString(k.field));
            ASSERT_NE(edit, nullptr) << k.field;
            edit->setFocus();
            edit->setText(QString::fromStdString(k.typed));
            QTest::keyClick(edit, Qt::Key_Return);
            EXPECT_FALSE(dialog.isVisible());
        });
        EXPECT_TRUE(k.changed(At(i)));
        EXPECT_NE(Bytes(i), before);
        EXPECT_TRUE(doc().IsModified());
        ASSERT_TRUE(doc().Undo());
        EXPECT_EQ(Bytes(i), before);
    }
    EXPECT_TRUE(ui.Messages("warning").empty());
}

TEST_F(DemoDialogs, EscapeChangesNothing) {
    for (const Kind& k : Kinds()) {
        SCOPED_TRACE(k.cls);
        const size_t i = IndexOf(k.cls);
        const std::vector<uint8_t> before = Bytes(i);
        DoubleClick(i, [&](QDialog& dialog) {
            auto* edit = dialog.findChild<QLineEdit*>(QString::fromStdString(k.field));
            ASSERT_NE(edit, nullptr);
            edit->setText(QString::fromStdString(k.typed));
            QTest::keyClick(&dialog, Qt::Key_Escape);
            EXPECT_FALSE(dialog.isVisible());
        });
        EXPECT_FALSE(k.changed(At(i)));
        EXPECT_EQ(Bytes(i), before);
    }
}

// The signal's kind list changes the signal while the dialog is open; the
// list shows no entry for a switch without a front position.
TEST_F(DemoDialogs, SignalKindActsAtOnceAndAnEmptyListStaysEmpty) {
    const size_t s = IndexOf("CADSignal");
    DoubleClick(s, [&](QDialog& dialog) {
        auto* kind = dialog.findChild<QComboBox*>("信号机属性/信号机类型");
        auto* button2 = dialog.findChild<QLineEdit*>("信号机属性/按钮号2");
        ASSERT_TRUE(kind && button2);
        EXPECT_FALSE(button2->isEnabled());
        kind->setCurrentText("列调");
        emit kind->activated(kind->currentIndex());
        EXPECT_TRUE(button2->isEnabled());
        EXPECT_TRUE(dynamic_cast<CADSignal&>(At(s)).button.HasWindow());
        dialog.reject();
    });
    // Cancelled, the new kind and its button stay, as one undoable step.
    EXPECT_TRUE(dynamic_cast<CADSignal&>(At(s)).button.HasWindow());
    ASSERT_TRUE(doc().Undo());
    EXPECT_FALSE(dynamic_cast<CADSignal&>(At(s)).button.HasWindow());

    const size_t sw = IndexOf("RailSwitch");
    DoubleClick(sw, [&](QDialog& dialog) {
        auto* position = dialog.findChild<QComboBox*>("前方道岔/位置");
        ASSERT_NE(position, nullptr);
        EXPECT_EQ(position->currentIndex(), -1);
        dialog.accept();
    });
    EXPECT_EQ(dynamic_cast<RailSwitch&>(At(sw)).frontPosition, -1);
}

}  // namespace
}  // namespace velkor::gui
