#include <gtest/gtest.h>

#include <fstream>

#include <QApplication>
#include <QImage>
#include <QSettings>

#include "devices/CADDevice.h"
#include "devices/CADSection.h"
#include "devices/RailSwitch.h"
#include "dialogs/Dialogs.h"
#include "document/Placing.h"
#include "shell/CMainFrame.h"
#include "shell/CVelkorApp.h"
#include "shell/CommandTable.h"
#include "support/ScriptedInteraction.h"
#include "support/TestFiles.h"

namespace velkor::gui {
namespace {

using velkor::testing::ScriptedInteraction;
using velkor::testing::TempDir;

class Shell : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings(kSettingsOrganisation, QStringLiteral("Velkor")).clear();
        app = std::make_unique<CVelkorApp>(&ui);
        frame().resize(1200, 800);
        frame().show();
    }
    void TearDown() override {
        // Unsaved stations are discarded without questions at the end of a test.
        for (CChildFrame* c : frame().Children()) c->Doc().DiscardChanges();
        frame().close();
        app.reset();
    }
    CMainFrame& frame() { return app->MainFrame(); }
    CChildFrame& child() { return *frame().ActiveChild(); }
    CChildView& view() { return child().View(); }
    CVelkorDoc& doc() { return child().Doc(); }

    ScriptedInteraction ui;
    std::unique_ptr<CVelkorApp> app;
};

TEST_F(Shell, NewStationOpensInATabNamedVelkor1) {
    app->ProcessCommandLine({});
    ASSERT_NE(frame().ActiveChild(), nullptr);
    EXPECT_EQ(child().Title(), QStringLiteral("Velkor1"));
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("Velkor1 - Velkor"));
    EXPECT_TRUE(doc().Objects().empty());
}

TEST_F(Shell, CommandsNobodyHandlesAreDisabled) {
    app->NewDocument();
    frame().UpdateCommandStates();
    // Clipboard commands have no target.
    for (int id : {57637, 57635, 57634, 57642}) {
        EXPECT_FALSE(frame().State(id).enabled) << id;
        for (QToolButton* b : frame().RibbonBar().Buttons(id)) EXPECT_FALSE(b->isEnabled()) << id;
    }
    for (int id : {cmd::kFileSave, cmd::kGrid, cmd::kSettings, cmd::kFirstDevice, cmd::kMoveLeft,
                   cmd::kReadInputBoard, cmd::kValidate}) {
        EXPECT_TRUE(frame().State(id).enabled) << id;
    }
    // 鼠标 and 零散信息 are two elements of one command.
    EXPECT_EQ(frame().RibbonBar().Buttons(32796).size(), 2u);
    // Disabled buttons say why.
    const auto tip = [this](int id) {
        return frame().RibbonBar().Buttons(id).front()->toolTip().toStdString();
    };
    EXPECT_EQ(tip(57637), "粘贴（本功能尚未提供）");
    EXPECT_EQ(tip(cmd::kUndo), "撤销（没有可撤销的操作）");
    EXPECT_EQ(tip(cmd::kAlignLeft), "左（没有选中的设备）");
    EXPECT_EQ(tip(cmd::kGrid), "网格");
    for (CChildFrame* c : frame().Children()) c->Doc().DiscardChanges();
    frame().Execute(cmd::kFileClose);
    QApplication::processEvents();
    frame().UpdateCommandStates();
    EXPECT_EQ(tip(cmd::kReadInputBoard), "读取输入板（没有打开的车站）");
}

TEST_F(Shell, PaletteChoiceIsCheckedUntilTheNextClick) {
    app->NewDocument();
    frame().Execute(32807);  // 信号机 / 上行 / 高单
    EXPECT_EQ(app->Shell().currentCode, 10);
    auto buttons = frame().RibbonBar().Buttons(32807);
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_TRUE(buttons[0]->isChecked());
    EXPECT_FALSE(frame().State(cmd::kSelectMode).checked);
    // A click on the canvas with no menu choice abandons the signal and
    // returns to select mode.
    view().SetMenuChooser([](CChildView::Menu, const std::vector<int>&, Point) { return 0; });
    view().LeftDown({500, 500});
    view().LeftUp({500, 500});
    EXPECT_EQ(app->Shell().currentCode, -1);
    EXPECT_FALSE(buttons[0]->isChecked());
    EXPECT_TRUE(doc().Objects().empty());
}

TEST_F(Shell, SectionPlacedByDraggingKeepsItsRow) {
    app->NewDocument();
    frame().Execute(cmd::kFirstDevice);  // 区段
    view().LeftDown({100, 200});
    view().Move({300, 206}, true);
    view().LeftUp({300, 206});
    ASSERT_EQ(doc().Objects().size(), 1u);
    auto* s = dynamic_cast<CADSection*>(doc().Objects()[0].get());
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->ToCanvas(s->polyline[3]), (Point{300, 200}));
    EXPECT_TRUE(doc().IsModified());

    // A click that hardly moves adds nothing.
    frame().Execute(cmd::kFirstDevice);
    view().LeftDown({600, 600});
    view().LeftUp({605, 604});
    EXPECT_EQ(doc().Objects().size(), 1u);
}

TEST_F(Shell, SwitchPlacedAtTheChosenConnectionPoint) {
    app->NewDocument();
    std::vector<int> offered;
    view().SetMenuChooser([&](CChildView::Menu menu, const std::vector<int>& ids, Point) {
        EXPECT_EQ(menu, CChildView::Menu::Connection);
        offered = ids;
        return 32773;  // 斜股(&R)
    });
    frame().Execute(cmd::kFirstDevice + 1);  // 直股 左上
    view().LeftDown({300, 200});
    QApplication::processEvents();  // the release the menu posts
    EXPECT_EQ(offered, (std::vector<int>{32771, 32772, 32773}));
    ASSERT_EQ(doc().Objects().size(), 1u);
    auto* sw = dynamic_cast<RailSwitch*>(doc().Objects()[0].get());
    ASSERT_NE(sw, nullptr);
    EXPECT_EQ(sw->ToCanvas(sw->q[6]), (Point{300, 200}));
    EXPECT_EQ(app->Shell().currentCode, -1);
}

TEST_F(Shell, DraggingATrackEndSnapsOntoAnotherEnd) {
    app->NewDocument();
    PlaceObject(doc(), {0, {100, 200}, {300, 200}});
    PlaceObject(doc(), {0, {400, 300}, {600, 300}});
    auto* first = dynamic_cast<CADSection*>(doc().Objects()[0].get());
    // The pointer near the free end (300, 200), outside the section's shape.
    view().Move({305, 209}, false);
    EXPECT_TRUE(view().EndPointHit());
    view().LeftDown({305, 209});
    view().Move({395, 295}, true);  // near the other section's start
    view().LeftUp({395, 295});
    EXPECT_EQ(first->ToCanvas(first->polyline[3]), (Point{400, 300}));
}

TEST_F(Shell, RubberBandSelectionDragsOnTheLargerAxis) {
    app->NewDocument();
    PlaceObject(doc(), {0, {100, 200}, {300, 200}});
    PlaceObject(doc(), {0, {100, 300}, {300, 300}});
    view().LeftDown({50, 150});
    view().Move({400, 350}, true);
    view().LeftUp({400, 350});
    ASSERT_EQ(view().Selector().Selection().size(), 2u);
    EXPECT_EQ(doc().Objects()[0]->selected, 1);
    // Drag the selection by (37, 12): it moves by (37, 0).
    view().LeftDown({200, 250});
    view().Move({237, 262}, true);
    view().LeftUp({237, 262});
    EXPECT_EQ(doc().Objects()[0]->GetCanvasRect().left, 90 + 37);
    EXPECT_EQ(doc().Objects()[1]->GetCanvasRect().top, 290);
    EXPECT_TRUE(view().Selector().Selection().empty());
    EXPECT_EQ(doc().Objects()[0]->selected, 0);
}

// The edit menu offers what applies to the object under the pointer and
// acts on it alone; on the background it deletes nothing.
TEST_F(Shell, EditMenuActsOnlyOnTheObjectUnderThePointer) {
    app->NewDocument();
    PlaceObject(doc(), {0, {100, 200}, {300, 200}});
    PlaceObject(doc(), {1, {500, 200}, {500, 200}});  // a switch
    std::vector<int> offered;
    int answer = 0;
    view().SetMenuChooser([&](CChildView::Menu menu, const std::vector<int>& ids, Point) {
        EXPECT_EQ(menu, CChildView::Menu::Edit);
        offered = ids;
        return answer;
    });
    // A switch: delete, name alignment, eight rotations and three stretch modes.
    const Rect sw = doc().Objects()[1]->GetCanvasRect();
    Point onSwitch{};
    for (int x = sw.left; x < sw.right && onSwitch == Point{}; ++x) {
        for (int y = sw.top; y < sw.bottom; ++y) {
            if (view().ObjectAt({x, y}) == doc().Objects()[1].get()) {
                onSwitch = {x, y};
                break;
            }
        }
    }
    view().RightUp(onSwitch);
    EXPECT_EQ(offered.size(), 13u);
    // The section: delete and name alignment only.
    view().RightUp({200, 200});
    EXPECT_EQ(offered, (std::vector<int>{cmd::kDelete, cmd::kAlignName}));
    // The background after that: nothing to act on.
    answer = cmd::kDelete;
    view().RightUp({200, 600});
    EXPECT_TRUE(offered.empty());
    EXPECT_EQ(doc().Objects().size(), 2u);
    view().RightUp({200, 200});
    ASSERT_EQ(doc().Objects().size(), 1u);
    EXPECT_EQ(doc().Objects()[0]->GetRuntimeClass().name, std::string("RailSwitch"));
}

// 校验视图 toggles the check marks over the drawing; 生成校验数据表 writes
// the check files of the station.
TEST_F(Shell, CheckViewAndCheckFiles) {
    TempDir dir;
    app->NewDocument();
    PlaceObject(doc(), {0, {100, 200}, {300, 200}});
    ui.answers = {true};
    ASSERT_TRUE(doc().OnSaveDocument(dir / "S.lcp"));
    EXPECT_FALSE(frame().State(cmd::kCheckView).checked);
    const QImage plain = view().viewport()->grab().toImage();
    frame().Execute(cmd::kCheckView);
    EXPECT_TRUE(frame().State(cmd::kCheckView).checked);
    EXPECT_NE(view().viewport()->grab().toImage(), plain);  // the marks show
    frame().Execute(cmd::kCheckView);
    EXPECT_EQ(view().viewport()->grab().toImage(), plain);
    ui.log.clear();
    frame().Execute(cmd::kCheckFiles);
    EXPECT_EQ(ui.Messages("info"), std::vector<std::string>{"IO校验表生成完毕！"});
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "CheckIOExcel" / "textView"));
}

// 生成逻辑区段表 asks for the two workbooks; a station never saved has no
// interface workbook to fill, which is said instead of completion.
TEST_F(Shell, CiZcCommandAsksForBothWorkbooks) {
    app->NewDocument();
    ui.files = {std::nullopt, std::nullopt};
    frame().Execute(cmd::kCiZcWorkbook);
    EXPECT_EQ(ui.Messages("info"),
              (std::vector<std::string>{"请先选择“CI_ZC接口码位数据”！", "请先选择“设备编号”！"}));
    ASSERT_EQ(ui.Messages("warning").size(), 1u);
    EXPECT_NE(ui.Messages("warning")[0].find("车站尚未保存"), std::string::npos);
    EXPECT_EQ(ui.Messages("open").size(), 2u);
}

TEST_F(Shell, GridAndMoveFlagsToggleAndShowChecked) {
    app->NewDocument();
    frame().Execute(cmd::kGrid);
    EXPECT_TRUE(app->Drawing().gridOn);
    EXPECT_TRUE(frame().State(cmd::kGrid).checked);
    frame().Execute(cmd::kGrid);
    EXPECT_FALSE(frame().State(cmd::kGrid).checked);
    frame().Execute(cmd::kMove);
    EXPECT_TRUE(app->Shell().moveMode);
    // Placing switches move mode off.
    frame().Execute(cmd::kFirstDevice);
    view().LeftDown({10, 10});
    view().LeftUp({200, 10});
    EXPECT_FALSE(app->Shell().moveMode);
}

TEST_F(Shell, GridSnapsReleases) {
    app->NewDocument();
    app->Drawing().gridOn = true;
    EXPECT_EQ(view().SnapRelease({29, 31}), (Point{20, 40}));
    EXPECT_EQ(view().SnapRelease({30, 30}), (Point{40, 40}));
    app->Drawing().gridOn = false;
}

TEST_F(Shell, NotAddedFeatureSaysSoOnlyWithAStation) {
    frame().Execute(cmd::kNotAdded);
    EXPECT_TRUE(ui.Messages("info").empty());
    app->NewDocument();
    frame().Execute(cmd::kNotAdded);
    EXPECT_EQ(ui.Messages("info"), std::vector<std::string>{"本功能未添加！"});
}

TEST_F(Shell, AtsAndFieldFileCommandsRunOnTheActiveStation) {
    // Without a station the conversions say they failed; the generation asks first.
    frame().Execute(cmd::kAtsTextToBinary);
    frame().Execute(cmd::kMainTrackToBinary);
    EXPECT_EQ(ui.Messages("warning"),
              (std::vector<std::string>{"ATS文件转换成bin文件，转换失败!",
                                        "股道文件转换成bin文件，转换失败!"}));
    ui.log.clear();
    frame().Execute(cmd::kAtsGeneration);
    EXPECT_EQ(ui.Messages("question"),
              std::vector<std::string>{"请确定是否需要重新生成本站ATS数据！"});

    TempDir dir;
    app->NewDocument();
    ASSERT_TRUE(doc().OnSaveDocument(dir / "S.lcp"));
    ui.log.clear();
    ui.answers = {true};
    frame().Execute(cmd::kAtsGeneration);
    frame().Execute(cmd::kAtsTextToBinary);
    // 33008 has an element of its own, beside the other field files.
    ASSERT_EQ(frame().RibbonBar().Buttons(cmd::kZedevEzura).size(), 1u);
    frame().RibbonBar().Buttons(cmd::kZedevEzura)[0]->click();
    EXPECT_EQ(ui.Messages("info"),
              (std::vector<std::string>{"ATS数据生成完毕！", "ATS文件转换成bin文件，转换完毕！",
                                        "vu信号机文件生成完毕！"}));
    for (const char* f : {"ATS/AtsCmd.txt", "ATS/AtsShow.bin", "ATS/LogicSection.bin",
                          "ZedevEzura/ZedevEzura.bin"}) {
        EXPECT_TRUE(std::filesystem::exists(dir / f)) << f;
    }
    EXPECT_TRUE(
        std::filesystem::exists(dir.Path() / "ATS" / std::filesystem::path(u8"码位表.xls")));
    std::filesystem::create_directories(dir / "MainTrack");
    std::ofstream(dir / "MainTrack" / "MainTrack.txt") << "1\n2 IG IIG";
    ui.log.clear();
    frame().Execute(cmd::kMainTrackToBinary);
    EXPECT_EQ(ui.Messages("info"), std::vector<std::string>{"股道文件转换成bin文件，转换完毕！"});
    EXPECT_EQ(std::filesystem::file_size(dir / "MainTrack" / "MainTrack.bin"), 16u + 322);
}

TEST_F(Shell, ClosingAChangedStationAsksToSave) {
    app->NewDocument();
    EXPECT_EQ(child().windowTitle(), "Velkor1");
    PlaceObject(doc(), {0, {100, 200}, {300, 200}});
    frame().UpdateCommandStates();
    // Unsaved changes show in the tab and the title.
    EXPECT_EQ(child().windowTitle(), "Velkor1*");
    EXPECT_EQ(frame().windowTitle(), "Velkor1* - Velkor");
    ui.saveAnswers = {std::nullopt};  // 取消: the station stays open
    frame().Execute(cmd::kFileClose);
    QApplication::processEvents();
    EXPECT_EQ(frame().Children().size(), 1u);
    ui.saveAnswers = {false};  // 不保存
    frame().Execute(cmd::kFileClose);
    QApplication::processEvents();
    EXPECT_EQ(ui.Messages("question"), (std::vector<std::string>{"是否保存对“Velkor1”的更改？",
                                                                 "是否保存对“Velkor1”的更改？"}));
    EXPECT_TRUE(frame().Children().empty());
}

// Two stations of one file name tell their folders apart in the tabs, and
// Save As puts the new file at the head of the recent list.
TEST_F(Shell, SameFileNamesAndSaveAsInTheRecentList) {
    TempDir a, b;
    for (const TempDir* d : {&a, &b}) {
        CVelkorDoc station(ui);
        station.OnNewDocument();
        ASSERT_TRUE(station.OnSaveDocument(*d / "Demo.lcp"));
        ASSERT_TRUE(app->OpenDocument(QString::fromStdString(PathToUtf8(*d / "Demo.lcp"))));
    }
    frame().UpdateCommandStates();
    std::vector<QString> titles;
    for (CChildFrame* c : frame().Children()) {
        if (c->Title() == "Demo.lcp") titles.push_back(c->windowTitle());
    }
    ASSERT_EQ(titles.size(), 2u);
    EXPECT_NE(titles[0], titles[1]);
    EXPECT_TRUE(titles[0].startsWith("Demo.lcp — "));
    ui.files = {PathToUtf8(a / "Other.lcp")};
    ui.answers = {true};
    frame().Execute(cmd::kFileSaveAs);
    ASSERT_FALSE(app->RecentFiles().isEmpty());
    EXPECT_TRUE(app->RecentFiles().front().endsWith("Other.lcp"));
    EXPECT_EQ(child().Title(), "Other.lcp");
}

TEST_F(Shell, SaveAsOpenAndRecentFiles) {
    TempDir dir;
    app->NewDocument();
    PlaceObject(doc(), {0, {100, 200}, {300, 200}});
    const std::string path = PathToUtf8(dir / "东站");
    ui.files = {path};
    ui.answers = {true};  // the version reminder
    frame().Execute(cmd::kFileSave);
    EXPECT_TRUE(std::filesystem::exists(dir / "东站.lcp"));
    EXPECT_EQ(child().Title(), QStringLiteral("东站.lcp"));
    EXPECT_FALSE(doc().IsModified());

    frame().Execute(cmd::kFileClose);
    QApplication::processEvents();
    ASSERT_TRUE(frame().Children().empty());
    ui.files = {PathToUtf8(dir / "东站.lcp")};
    frame().Execute(cmd::kFileOpen);
    ASSERT_EQ(frame().Children().size(), 1u);
    EXPECT_EQ(doc().Objects().size(), 1u);
    ASSERT_EQ(app->RecentFiles().size(), 1);
    EXPECT_TRUE(app->RecentFiles()[0].endsWith(QStringLiteral("东站.lcp")));
    EXPECT_TRUE(frame().State(cmd::kFileMru1).enabled);
    EXPECT_FALSE(frame().State(cmd::kFileMru1 + 1).enabled);
    // Opening the same file again shows the tab it has.
    EXPECT_TRUE(app->OpenDocument(app->RecentFiles()[0]));
    EXPECT_EQ(frame().Children().size(), 1u);
}

TEST_F(Shell, PrintWritesAScreenshotInsteadOfPrinting) {
    TempDir dir;
    app->NewDocument();
    ui.answers = {true};
    ASSERT_TRUE(doc().OnSaveDocument(dir / "s.lcp"));
    frame().Execute(cmd::kFilePrintDirect);
    const auto bmp = velkor::testing::ReadBytes(dir / "Screenshot.bmp");
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(bmp[28], 24);  // bits per pixel
}

TEST_F(Shell, MoveAllAndAlignmentCommands) {
    app->NewDocument();
    PlaceObject(doc(), {0, {100, 200}, {300, 200}});
    frame().Execute(cmd::kMoveRight);
    EXPECT_EQ(doc().Objects()[0]->GetCanvasRect().left, 110);
    frame().Execute(cmd::kMoveDown);
    EXPECT_EQ(doc().Objects()[0]->GetCanvasRect().top, 210);
    // Alignment needs a selection.
    EXPECT_FALSE(frame().State(cmd::kAlignLeft).enabled);
}

TEST(Dialogs, GlobalSettingsDialogReturnsTheEditedValues) {
    GlobalSettings in;
    in.displayWidth = 1920;
    GlobalSettingsDialog dialog(in);
    const GlobalSettings out = dialog.Values();
    EXPECT_EQ(out.displayWidth, 1920);
    EXPECT_EQ(out.stationName, u"NO");
    EXPECT_EQ(out.drawing.gridSpacing, 20);
    VersionDialog version({1, 2, 3, 45});
    EXPECT_EQ(version.Version(), (DataVersion{1, 2, 3, 45}));
    EXPECT_EQ(version.windowTitle(), QStringLiteral("CAD软件版本号及设置数据版本号"));
}

}  // namespace
}  // namespace velkor::gui

namespace velkor::gui {
namespace {

TEST_F(Shell, NameFontCommandAppliesTheChosenFontOrNothing) {
    app->NewDocument();
    auto* section = AsDevice(PlaceObject(doc(), {0, {100, 200}, {300, 200}}));
    const FontDesc before = section->nameLabel.font;
    frame().SetFontChooser([] { return std::nullopt; });  // cancelled
    frame().Execute(cmd::kNameFont);
    EXPECT_EQ(section->nameLabel.font.height, before.height);
    frame().SetFontChooser([] {
        return std::optional<std::pair<std::u16string, int32_t>>({u"黑体", 16});
    });
    frame().Execute(cmd::kNameFont);
    auto* after = AsDevice(doc().Objects()[0].get());
    EXPECT_EQ(after->nameLabel.font.FaceName(), u"黑体");
    EXPECT_EQ(after->nameLabel.font.height, -16);
    EXPECT_TRUE(frame().State(cmd::kUndo).enabled);
}

}  // namespace
}  // namespace velkor::gui
