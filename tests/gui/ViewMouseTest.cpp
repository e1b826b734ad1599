// The drawing view driven by real mouse events on its viewport.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSettings>
#include <QTest>

#include <QTimer>
#include <functional>

#include "AppTest.h"
#include "devices/CADSection.h"
#include "devices/CADThreeSwitch.h"
#include "devices/Composites.h"
#include "devices/DrawingValues.h"
#include "devices/PanelObjects.h"
#include "devices/RailSwitch.h"
#include "dialogs/Dialogs.h"
#include "document/EditHistory.h"
#include "document/Placing.h"
#include "shell/CMainFrame.h"
#include "shell/CVelkorApp.h"
#include "shell/CommandTable.h"
#include "support/ScriptedInteraction.h"

namespace velkor::gui {
namespace {

using velkor::testing::ScriptedInteraction;

class Mouse : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        view().horizontalScrollBar()->setValue(0);
        view().verticalScrollBar()->setValue(0);
    }
    void TearDown() override {
        for (CChildFrame* c : frame().Children()) c->Doc().DiscardChanges();
        while (doc().CanUndo()) doc().Undo();
        AppTest::TearDown();
    }

    void Send(QEvent::Type type, Point p, Qt::MouseButton button, Qt::MouseButtons held) {
        const QPointF at = view().ToClient(p);
        QMouseEvent e(type, at, view().viewport()->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(view().viewport(), &e);
    }
    void Press(Point p) { Send(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton); }
    void Drag(Point p) { Send(QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton); }
    void Hover(Point p) { Send(QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton); }
    void Release(Point p) { Send(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton); }
    void Click(Point from, Point to) {
        Hover(from);  // the pointer reaches the press point first
        Press(from);
        Drag(to);
        Release(to);
        QApplication::processEvents();
    }
    void Place(int code, Point from, Point to) {
        frame().Execute(cmd::kFirstDevice + code);
        Click(from, to);
    }
};

TEST_F(Mouse, NewPlacementKeepsToTheRowOrColumnOfThePreviousStart) {
    const auto startOfLast = [&] {
        auto* s = dynamic_cast<CADSection*>(doc().Objects().back().get());
        return s->ToCanvas(s->polyline[0]);
    };
    Place(0, {300, 200}, {500, 200});
    Place(0, {105, 207}, {105, 400});  // within 10 of the row: y = 200
    EXPECT_EQ(startOfLast(), (Point{105, 200}));
    Place(0, {300, 190}, {300, 60});  // snaps onto the first section's start
    EXPECT_EQ(startOfLast(), (Point{300, 200}));
    Place(0, {305, 260}, {500, 260});  // within 10 of the column: x = 300
    EXPECT_EQ(startOfLast(), (Point{300, 260}));
}

TEST_F(Mouse, TinySectionAndTurntableAreDiscarded) {
    Place(0, {100, 100}, {109, 109});
    Place(28, {300, 100}, {305, 200});
    EXPECT_TRUE(doc().Objects().empty());
    EXPECT_EQ(app->Shell().currentCode, -1);
}

TEST_F(Mouse, PressOnAnExistingObjectPlacesNothing) {
    Place(0, {100, 200}, {300, 200});
    frame().Execute(cmd::kFirstDevice);
    Click({200, 200}, {250, 200});  // on the section's window
    EXPECT_EQ(doc().Objects().size(), 1u);
    EXPECT_EQ(app->Shell().currentCode, -1);  // the forwarded release still resets it
}

TEST_F(Mouse, SwitchesAtEveryConnectionPoint) {
    int choice = 0;
    view().SetMenuChooser([&](CChildView::Menu, const std::vector<int>& ids, Point) {
        return ids[static_cast<size_t>(choice)];
    });
    for (choice = 0; choice < 3; ++choice) {
        frame().Execute(cmd::kFirstDevice + 1);
        Press({300, 200 + 150 * choice});
        QApplication::processEvents();
        auto* sw = dynamic_cast<RailSwitch*>(doc().Objects().back().get());
        ASSERT_NE(sw, nullptr);
        EXPECT_EQ(sw->ToCanvas(sw->q[static_cast<size_t>(3 * choice)]),
                  (Point{300, 200 + 150 * choice}));
    }
    for (choice = 0; choice < 4; ++choice) {
        frame().Execute(cmd::kFirstDevice + 30);
        Press({900, 200 + 150 * choice});
        QApplication::processEvents();
        auto* sw = dynamic_cast<CADThreeSwitch*>(doc().Objects().back().get());
        ASSERT_NE(sw, nullptr);
        EXPECT_EQ(sw->ToCanvas(sw->t[static_cast<size_t>(3 * choice)]),
                  (Point{900, 200 + 150 * choice}));
    }
    EXPECT_EQ(doc().Objects().size(), 7u);
}

TEST_F(Mouse, SelectionDragsWithAndWithoutTheGrid) {
    struct Case {
        Point drag;
        bool grid;
        Point moved;
    };
    Place(0, {100, 200}, {300, 200});
    for (const Case& c : {Case{{37, 12}, false, {37, 0}}, Case{{37, 12}, true, {20, 0}},
                          Case{{15, 15}, false, {0, 15}}}) {
        const Rect before = doc().Objects()[0]->GetCanvasRect();
        Click({50, 150}, {350, 250});  // rubber band around the section
        ASSERT_EQ(view().Selector().Selection().size(), 1u);
        app->Drawing().gridOn = c.grid;
        // Released on a grid point, so the grid's release snapping keeps the drag.
        Click({203, 188}, {203 + c.drag.x, 188 + c.drag.y});
        app->Drawing().gridOn = false;
        EXPECT_EQ(doc().Objects()[0]->GetCanvasRect(), before.Offset(c.moved.x, c.moved.y));
    }
}

TEST_F(Mouse, EndDraggedOntoAnotherSectionsEnd) {
    Place(0, {100, 200}, {300, 200});
    Place(0, {400, 300}, {600, 300});
    auto* first = dynamic_cast<CADSection*>(doc().Objects()[0].get());
    Hover({306, 208});
    Press({306, 208});
    Hover({397, 296});
    Drag({397, 296});
    Release({397, 296});
    EXPECT_EQ(first->ToCanvas(first->polyline[3]), (Point{400, 300}));
}

TEST_F(Mouse, UndoAndRedoFromTheKeyboard) {
    Place(0, {100, 200}, {300, 200});
    Click({50, 150}, {350, 250});
    Click({200, 180}, {260, 180});
    const Rect moved = doc().Objects()[0]->GetCanvasRect();
    EXPECT_TRUE(frame().State(cmd::kUndo).enabled);
    QTest::keyClick(&frame(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(doc().Objects()[0]->GetCanvasRect(), moved.Offset(-60, 0));
    QTest::keyClick(&frame(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(doc().Objects().empty());
    EXPECT_FALSE(doc().IsModified());
    QTest::keyClick(&frame(), Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(&frame(), Qt::Key_Y, Qt::ControlModifier);
    ASSERT_EQ(doc().Objects().size(), 1u);
    EXPECT_EQ(doc().Objects()[0]->GetCanvasRect(), moved);
    EXPECT_FALSE(frame().State(cmd::kRedo).enabled);
}

TEST_F(Mouse, DeleteNeedsAContextObject) {
    Place(0, {100, 200}, {300, 200});
    frame().Execute(cmd::kDelete);  // no context object yet
    EXPECT_EQ(doc().Objects().size(), 1u);
    view().SetMenuChooser(
        [](CChildView::Menu, const std::vector<int>&, Point) { return cmd::kDelete; });
    Send(QEvent::MouseButtonRelease, {200, 200}, Qt::RightButton, Qt::NoButton);
    EXPECT_TRUE(doc().Objects().empty());
}

TEST_F(Mouse, SettingsWidenTheCanvasAndRefuseABadCount) {
    frame().SetSettingsEditor([](const GlobalSettings& s) {
        GlobalSettings changed = s;
        changed.displayWidth = 1920;
        changed.displayHeight = 1080;
        changed.displayCount = 3;
        return std::optional<GlobalSettings>(changed);
    });
    frame().Execute(cmd::kSettings);
    EXPECT_EQ(view().CanvasSize(), (Size{5760, 3240}));
    EXPECT_EQ(doc().displayCount, 3);

    GlobalSettingsDialog dialog(GlobalSettings::From(doc(), app->Drawing().values), nullptr, &ui);
    dialog.PerSwitchField()->setText(QStringLiteral("5"));
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(ui.Messages("warning"), std::vector<std::string>{"请输入一个 0 至 4 之间的整数。"});
    dialog.HasLogicBox()->setChecked(false);
    EXPECT_FALSE(dialog.PerSwitchField()->isEnabled());
}

}  // namespace
}  // namespace velkor::gui

namespace velkor::gui {
namespace {

// A double click on a block panel's arrow opens "箭头属性": the space bar in
// 名称 looks the name up at once, "确定" takes the fields over, and the
// whole dialog is one undoable edit.
TEST_F(Mouse, DoubleClickOpensTheArrowDialog) {
    Row row = IoTables::NewRow(kLingsanTable);
    row.SetName(u"ZA");
    row.SetU16(io::kAddress, 0x21);
    doc().io.Table(kLingsanTable).push_back(row);
    auto* panel = dynamic_cast<CADSemiAutoBlock*>(PlaceObject(doc(), {25, {200, 200}, {200, 200}}));
    ASSERT_NE(panel, nullptr);
    Arrow& arrow = *panel->arrows[0];
    const Rect r = arrow.AbsoluteRect();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = true;
        EXPECT_EQ(dialog->windowTitle(), "箭头属性");
        auto* name = dialog->findChild<QLineEdit*>("设备信息/名称");
        auto* word = dialog->findChild<QLineEdit*>("设备信息/字号");
        ASSERT_TRUE(name && word);
        name->setText("ZA");
        QTest::keyClick(name, Qt::Key_Space);
        EXPECT_EQ(name->text(), "ZA");  // no space typed
        EXPECT_EQ(dialog->findChild<QLineEdit*>("设备信息/地址号")->text(), "0X0021");
        word->setText("0x1a");
        dialog->accept();
    });
    view().DoubleClick({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    ASSERT_TRUE(seen);
    Arrow& after = *dynamic_cast<CADSemiAutoBlock*>(doc().Objects().back().get())->arrows[0];
    EXPECT_EQ(after.io.Name(), u"ZA");
    EXPECT_EQ(after.io.address, 0x21);
    EXPECT_EQ(after.io.word, 0x1A);
    ASSERT_TRUE(doc().Undo());  // the dialog
    Arrow& undone = *dynamic_cast<CADSemiAutoBlock*>(doc().Objects().back().get())->arrows[0];
    EXPECT_EQ(undone.io.Name(), u"NO");
}

}  // namespace
}  // namespace velkor::gui

namespace velkor::gui {
namespace {

// Every part's window of the station's objects, in list order.
std::vector<Rect> PartWindows(CVelkorDoc& doc) {
    std::vector<Rect> out;
    std::function<void(CADGraphic&)> walk = [&](CADGraphic& g) {
        out.push_back(g.AbsoluteRect());
        std::vector<CADGraphic*> parts;
        g.CollectParts(parts);
        for (CADGraphic* p : parts) walk(*p);
    };
    for (const auto& o : doc.Objects()) walk(*o);
    return out;
}

// A dragged selection takes every label along: names, section names, delay
// times, a shaped button's caption; undo puts every byte back.
TEST_F(Mouse, SelectionDragMovesEveryLabelAndUndoRestoresTheBytes) {
    PlaceObject(doc(), {0, {100, 200}, {300, 200}});
    PlaceObject(doc(), {1, {500, 200}, {500, 200}});
    auto* button = dynamic_cast<CADButton*>(PlaceObject(doc(), {22, {700, 190}, {700, 190}}));
    ASSERT_NE(button, nullptr);
    button->SetType(CADButton::kRound);
    button->PlaceLabel();
    std::vector<std::vector<uint8_t>> bytes;
    for (const auto& o : doc().Objects()) bytes.push_back(SnapshotObject(*o, true));
    const std::vector<Rect> before = PartWindows(doc());
    ASSERT_GT(before.size(), 9u);  // the labels are there to be moved

    Click({40, 100}, {900, 400});
    ASSERT_EQ(view().Selector().Selection().size(), 3u);
    Click({203, 200}, {203, 240});
    const std::vector<Rect> after = PartWindows(doc());
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        if (before[i].Width() == 0 && before[i].Height() == 0) continue;  // no window
        EXPECT_EQ(after[i], before[i].Offset(0, 40)) << "part " << i;
    }
    ASSERT_TRUE(doc().Undo());
    for (size_t i = 0; i < bytes.size(); ++i)
        EXPECT_EQ(SnapshotObject(*doc().Objects()[i], true), bytes[i]) << "object " << i;
}

}  // namespace
}  // namespace velkor::gui

namespace velkor::gui {
namespace {

// Zoom changes what the user sees, never what is stored: a section dragged
// at 200 % lands on the same canvas points as at 100 %.
TEST_F(Mouse, ZoomedPlacementStoresTheSameCoordinates) {
    Place(0, {100, 200}, {300, 200});
    ASSERT_EQ(doc().Objects().size(), 1u);
    const auto at100 = SnapshotObject(*doc().Objects()[0], true);
    ASSERT_TRUE(doc().Undo());
    view().SetZoom(2.0, {0, 0});
    view().horizontalScrollBar()->setValue(0);
    view().verticalScrollBar()->setValue(0);
    EXPECT_EQ(view().ToClient({100, 200}), QPoint(200, 400));
    EXPECT_EQ(view().ToCanvas(QPoint(201, 401)), (Point{100, 200}));
    Place(0, {100, 200}, {300, 200});
    ASSERT_EQ(doc().Objects().size(), 1u);
    EXPECT_EQ(SnapshotObject(*doc().Objects()[0], true), at100);
    // Zooming about a point keeps the canvas point under it.
    view().SetZoom(1.0, {0, 0});
    view().horizontalScrollBar()->setValue(0);
    view().verticalScrollBar()->setValue(0);
    const QPoint about(300, 200);
    const Point under = view().ToCanvas(about);
    view().SetZoom(2.0, about);
    EXPECT_LE(std::abs(view().ToCanvas(about).x - under.x), 2);
    EXPECT_LE(std::abs(view().ToCanvas(about).y - under.y), 2);
}

// The scroll range reaches every object, however far, without 设置.
TEST_F(Mouse, ScrollRangeCoversFarObjects) {
    PlaceObject(doc(), {0, {100, 100}, {300, 100}});
    PlaceObject(doc(), {0, {6500, 3000}, {6670, 3000}});
    view().Refresh();
    const int reach = view().horizontalScrollBar()->maximum() + view().viewport()->width();
    EXPECT_GE(reach, 6670);
    EXPECT_GE(view().verticalScrollBar()->maximum() + view().viewport()->height(), 3000);
    // 适合窗口 shows both ends of the station.
    view().FitToWindow();
    EXPECT_LT(view().Zoom(), 1.0);
    for (const auto& obj : doc().Objects()) {
        const Rect r = obj->GetCanvasRect();
        for (Point corner : {Point{r.left, r.top}, Point{r.right, r.bottom}}) {
            EXPECT_TRUE(view().viewport()->rect().contains(view().ToClient(corner)))
                << corner.x << "," << corner.y;
        }
    }
}

}  // namespace
}  // namespace velkor::gui

namespace velkor::gui {
namespace {

// Esc drops the palette's choice; Delete removes the selection as one step
// that undo puts back.
TEST_F(Mouse, EscapeDisarmsThePaletteAndDeleteRemovesTheSelection) {
    frame().Execute(cmd::kFirstDevice);  // 区段
    EXPECT_EQ(app->Shell().currentCode, 0);
    view().setFocus();
    QTest::keyClick(&view(), Qt::Key_Escape);
    EXPECT_EQ(app->Shell().currentCode, -1);
    Click({100, 300}, {300, 300});  // no device chosen: a band, nothing placed
    EXPECT_TRUE(doc().Objects().empty());

    PlaceObject(doc(), {0, {100, 200}, {300, 200}});
    PlaceObject(doc(), {0, {100, 400}, {300, 400}});
    PlaceObject(doc(), {0, {600, 400}, {800, 400}});
    Click({50, 150}, {350, 450});
    ASSERT_EQ(view().Selector().Selection().size(), 2u);
    frame().activateWindow();
    QTest::keyClick(&view(), Qt::Key_Delete);
    ASSERT_EQ(doc().Objects().size(), 1u);
    EXPECT_EQ(doc().Objects()[0]->GetCanvasRect().left, 590);
    ASSERT_TRUE(doc().Undo());
    EXPECT_EQ(doc().Objects().size(), 3u);
}

}  // namespace
}  // namespace velkor::gui
