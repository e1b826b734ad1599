#include <gtest/gtest.h>
#include <unistd.h>

#include "common/Text.h"
#include "demo/DemoStation.h"
#include "devices/CADDevice.h"
#include "devices/CADSignal.h"
#include "devices/CADThreeSwitch.h"
#include "devices/Label.h"
#include "devices/PanelObjects.h"
#include "devices/RailSwitch.h"
#include "devices/StationClasses.h"
#include "document/CVelkorDoc.h"
#include "document/EditMenu.h"
#include "document/NameFont.h"
#include "document/Placing.h"
#include "support/RecordingPainter.h"
#include "support/ScriptedInteraction.h"
#include "support/TestFiles.h"

namespace velkor {
namespace {

using testing::FixedTextMetrics;
using testing::Hex;
using testing::ReadBytes;
using testing::ScriptedInteraction;
using testing::TempDir;
using testing::WriteBytes;

std::unique_ptr<Label> MakeLabel(std::u16string text, Rect rect) {
    auto l = std::make_unique<Label>();
    l->text = std::move(text);
    l->CreateWindow(rect);
    return l;
}

// Stand-ins for device classes that carry other names, to watch the grouping
// and the label calls of the document without the real classes.
const RuntimeClass kFakeSignal{"CADSignal", 1, &CADDevice::Class(), nullptr};
const RuntimeClass kFakeArrowLight{"ArrowLight", 1, &CADGraphic::Class(), nullptr};
const RuntimeClass kFakeDeLine{"CADDeLine", 1, &CADGraphic::Class(), nullptr};
const RuntimeClass kFakeTurnTable{"TurnTable", 1, &CADDevice::Class(), nullptr};

class FakeDevice : public CADDevice {
public:
    explicit FakeDevice(const RuntimeClass& cls) : cls_(cls) {}
    const RuntimeClass& GetRuntimeClass() const override { return cls_; }
    void UpdateShape() override { log.push_back("UpdateShape"); }
    void PlaceLabel() override { log.push_back("PlaceLabel"); }
    std::vector<std::string> log;

private:
    const RuntimeClass& cls_;
};

class FakeDeLine : public CADGraphic {
public:
    FakeDeLine(Point a, Point b) : a_(a), b_(b) {}
    const RuntimeClass& GetRuntimeClass() const override { return kFakeDeLine; }
    bool IsDegenerate() const override { return IsDegenerateDecorationLine(a_, b_); }

private:
    Point a_, b_;
};

class DocumentTest : public ::testing::Test {
protected:
    std::filesystem::path Station() const { return dir / "站.lcp"; }
    TempDir dir;
    ScriptedInteraction ui;
};

TEST_F(DocumentTest, EmptyStationIs28BytesWithAn80ByteCompanion) {
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    doc.version = {1, 2, 3, 4};
    ASSERT_TRUE(doc.OnSaveDocument(Station()));
    EXPECT_EQ(Hex(ReadBytes(Station())),
              "01 02 03 04 01 00 00 00 01 00 00 00 00 00 00 00 "
              "40 06 00 00 84 03 00 00 02 00 00 00");
    const auto companion = ReadBytes(dir / "LCPData.lcp");
    ASSERT_EQ(companion.size(), 80u);
    EXPECT_EQ(Hex(companion, 0, 12), "01 02 03 04 01 00 00 00 01 00 00 00");
    for (size_t i = 12; i < 12 + 14 * 4; ++i) EXPECT_EQ(companion[i], 0) << i;
    EXPECT_EQ(Hex(companion, 68), "40 06 00 00 84 03 00 00 02 00 00 00");
    EXPECT_EQ(ui.Messages("question"), std::vector<std::string>{"请确定版本号是否更新！"});
    for (const char* sub : {"x86", "ppc", "x86/ATP", "ppc/ATP", "ATS"}) {
        EXPECT_TRUE(std::filesystem::is_directory(dir / sub)) << sub;
    }
}

TEST_F(DocumentTest, SavingGoesOnWhateverTheVersionAnswer) {
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    ui.answers = {false};
    EXPECT_TRUE(doc.OnSaveDocument(Station()));
    EXPECT_EQ(ReadBytes(Station()).size(), 28u);
}

TEST_F(DocumentTest, StationSavesAndOpensByteForByte) {
    {
        CVelkorDoc doc(ui);
        doc.OnNewDocument();
        doc.version = {9, 8, 7, 6};
        doc.hasLogicSections = 0;
        doc.logicSectionsPerSwitch = 3;
        doc.AddObject(MakeLabel(u"上行", {10, 20, 40, 32}));
        doc.AddObject(MakeLabel(u"下行", {50, 60, 80, 72}));
        ASSERT_TRUE(doc.OnSaveDocument(Station()));
    }
    const auto first = ReadBytes(Station());
    CVelkorDoc doc(ui);
    ASSERT_TRUE(doc.OnOpenDocument(Station()));
    EXPECT_EQ(doc.version, (DataVersion{9, 8, 7, 6}));
    EXPECT_EQ(doc.hasLogicSections, 0);
    EXPECT_EQ(doc.logicSectionsPerSwitch, 3);
    ASSERT_EQ(doc.Objects().size(), 2u);
    auto* label = dynamic_cast<Label*>(doc.Objects()[1].get());
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text, u"下行");
    EXPECT_EQ(label->GetCanvasRect(), (Rect{50, 60, 80, 72}));
    EXPECT_TRUE(label->IsVisible());
    ASSERT_TRUE(doc.OnSaveDocument(Station()));
    EXPECT_EQ(ReadBytes(Station()), first);
}

TEST_F(DocumentTest, ObjectsAreGroupedByClassAndUnsavedClassesLeftOut) {
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    doc.AddObject(MakeLabel(u"L1", {0, 0, 10, 10}));
    doc.AddObject(std::make_unique<FakeDevice>(kFakeTurnTable));  // never saved
    doc.AddObject(std::make_unique<FakeDevice>(kFakeSignal));
    doc.AddObject(std::make_unique<FakeDeLine>(Point{100, 100}, Point{105, 108}));  // too short
    doc.AddObject(std::make_unique<FakeDeLine>(Point{100, 100}, Point{110, 100}));
    doc.AddObject(MakeLabel(u"L2", {0, 0, 10, 10}));
    ASSERT_TRUE(doc.OnSaveDocument(Station()));

    const auto bytes = ReadBytes(Station());
    // Count: one signal, two labels, one decoration line.
    EXPECT_EQ(Hex(bytes, 12, 4), "04 00 00 00");
    const std::string text(bytes.begin(), bytes.end());
    const auto signalAt = text.find("CADSignal");
    const auto labelAt = text.find("Label");
    const auto lineAt = text.find("CADDeLine");
    EXPECT_LT(signalAt, labelAt);
    EXPECT_LT(labelAt, lineAt);
    EXPECT_EQ(text.find("TurnTable"), std::string::npos);
    EXPECT_EQ(text.find("CADDeLine", lineAt + 1), std::string::npos);

    // Companion group sizes: group 2 (signals) 1, group 7 (labels) 2, group 8 (lines) 1.
    const auto companion = ReadBytes(dir / "LCPData.lcp");
    EXPECT_EQ(Hex(companion, 12, 4), "00 00 00 00");
    EXPECT_EQ(Hex(companion, 16, 4), "01 00 00 00");
}

TEST(DecorationLine, DegenerateWhenBothDistancesAreUnderTen) {
    EXPECT_TRUE(IsDegenerateDecorationLine({100, 100}, {105, 108}));
    EXPECT_TRUE(IsDegenerateDecorationLine({100, 100}, {91, 91}));
    EXPECT_FALSE(IsDegenerateDecorationLine({100, 100}, {110, 100}));
    EXPECT_FALSE(IsDegenerateDecorationLine({100, 100}, {100, 90}));
}

TEST_F(DocumentTest, TrailerIsNotReadBackAndMayBeMissing) {
    CVelkorDoc writer(ui);
    writer.OnNewDocument();
    writer.displayWidth = 1920;
    writer.displayHeight = 1080;
    writer.displayCount = 3;
    writer.AddObject(MakeLabel(u"T", {1, 2, 3, 4}));
    ASSERT_TRUE(writer.OnSaveDocument(Station()));

    CVelkorDoc doc(ui);
    ASSERT_TRUE(doc.OnOpenDocument(Station()));
    EXPECT_EQ(doc.displayWidth, 1600);
    EXPECT_EQ(doc.displayHeight, 900);
    EXPECT_EQ(doc.displayCount, 2);

    auto bytes = ReadBytes(Station());
    bytes.resize(bytes.size() - 12);
    WriteBytes(Station(), bytes);
    CVelkorDoc cut(ui);
    ASSERT_TRUE(cut.OnOpenDocument(Station()));
    EXPECT_EQ(cut.Objects().size(), 1u);
    EXPECT_TRUE(ui.Messages("warning").empty());
}

TEST_F(DocumentTest, DamagedFilesReportTheFormatMessageAndOpenNothing) {
    CVelkorDoc writer(ui);
    writer.OnNewDocument();
    writer.AddObject(MakeLabel(u"T", {1, 2, 3, 4}));
    ASSERT_TRUE(writer.OnSaveDocument(Station()));
    const auto good = ReadBytes(Station());

    std::vector<std::vector<uint8_t>> damaged;
    auto more = good;
    more[12] = 2;  // a count larger than the entries present runs into the trailer
    damaged.push_back(more);
    for (size_t cut : {size_t{0}, size_t{3}, size_t{15}, size_t{20}, good.size() - 13}) {
        damaged.emplace_back(good.begin(), good.begin() + static_cast<long>(cut));
    }
    for (const auto& bytes : damaged) {
        WriteBytes(Station(), bytes);
        ui.log.clear();
        CVelkorDoc doc(ui);
        EXPECT_FALSE(doc.OnOpenDocument(Station())) << bytes.size();
        EXPECT_EQ(ui.Messages("warning"), std::vector<std::string>{"意外的文件格式。"})
            << bytes.size();
        EXPECT_TRUE(doc.Objects().empty());
    }

    ui.log.clear();
    CVelkorDoc doc(ui);
    EXPECT_FALSE(doc.OnOpenDocument(dir / "missing.lcp"));
    EXPECT_EQ(ui.Messages("warning"),
              std::vector<std::string>{"打开文档失败。\nNo such file or directory：" +
                                       PathToUtf8(dir / "missing.lcp")});
}

// A companion file opened as a station, alone in a folder: one message, and
// no folders are made beside it.
TEST_F(DocumentTest, ACompanionFileIsNoStation) {
    CVelkorDoc writer(ui);
    writer.OnNewDocument();
    BuildDemoStation(writer, {});
    ASSERT_TRUE(writer.OnSaveDocument(Station()));
    std::filesystem::create_directories(dir / "other");
    std::filesystem::copy_file(dir / "LCPData.lcp", dir / "other" / "LCPData.lcp");
    ui.log.clear();
    CVelkorDoc companion(ui);
    EXPECT_FALSE(companion.OnOpenDocument(dir / "other" / "LCPData.lcp"));
    EXPECT_EQ(ui.Messages("warning"), std::vector<std::string>{"意外的文件格式。"});
    EXPECT_FALSE(std::filesystem::exists(dir / "other" / "x86"));
}

TEST_F(DocumentTest, NullEntriesAndBackReferencesAddNothing) {
    // Header, three entries: a label, a null object, a reference to the label.
    ByteWriter w;
    for (int i = 0; i < 4; ++i) w.U8(0);
    w.I32(1);
    w.I32(1);
    w.I32(3);
    Label label;
    {
        Archive ar(w, StationClassRegistry());
        ar.WriteObject(&label);
    }
    for (int i = 0; i < 4; ++i) w.I32(i);
    w.U16(0);
    for (int i = 0; i < 4; ++i) w.I32(i);
    w.U16(2);
    for (int i = 0; i < 4; ++i) w.I32(i);
    WriteBytes(Station(), w.Data());
    CVelkorDoc doc(ui);
    ASSERT_TRUE(doc.OnOpenDocument(Station()));
    EXPECT_EQ(doc.Objects().size(), 1u);
}

// A store that refuses to stage one file, to show what a failed save keeps.
class FailingStore : public FileStore {
public:
    explicit FailingStore(std::string failName) : failName_(std::move(failName)) {}
    std::optional<Staged> Stage(const fs::path& path, std::span<const uint8_t> bytes) override {
        if (path.filename() == PathFromUtf8(failName_)) return std::nullopt;
        return FileStore::Stage(path, bytes);
    }

private:
    std::string failName_;
};

TEST_F(DocumentTest, FailedSaveLeavesThePreviousFilesUntouched) {
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    ASSERT_TRUE(doc.OnSaveDocument(Station()));
    const auto station = ReadBytes(Station());
    const auto companion = ReadBytes(dir / "LCPData.lcp");

    struct Case {
        const char* failing;
        const char* message;
    };
    for (const Case& c :
         {Case{"LCPData.lcp", "打开二进制文件失败"}, Case{"站.lcp", "保存文档失败。"}}) {
        FailingStore store(c.failing);
        CVelkorDoc changed(ui, store);
        changed.OnNewDocument();
        changed.AddObject(MakeLabel(u"新", {0, 0, 5, 5}));
        ui.log.clear();
        EXPECT_FALSE(changed.OnSaveDocument(Station()));
        // The message, then the file that could not be written.
        ASSERT_EQ(ui.Messages("warning").size(), 1u);
        EXPECT_EQ(ui.Messages("warning")[0].rfind(c.message, 0), 0u) << ui.Messages("warning")[0];
        EXPECT_NE(ui.Messages("warning")[0].find(c.failing), std::string::npos);
        EXPECT_EQ(ReadBytes(Station()), station) << c.failing;
        EXPECT_EQ(ReadBytes(dir / "LCPData.lcp"), companion) << c.failing;
    }
    // No temporary files are left behind.
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
        EXPECT_EQ(e.path().string().find("velkor-tmp"), std::string::npos) << e.path();
    }
}

TEST_F(DocumentTest, SaveIntoAMissingFolderFailsCleanly) {
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    // A regular file where the station folder should be: nothing can be created.
    WriteBytes(dir / "blocker", {1});
    EXPECT_FALSE(doc.OnSaveDocument(dir / "blocker" / "s.lcp"));
    const auto warnings = ui.Messages("warning");
    ASSERT_FALSE(warnings.empty());
    // Each table file reports its failure with the system's reason; then the
    // station is given up.
    EXPECT_EQ(warnings.front(), "保存驱采数据失败，无法打开文件：Not a directory：" +
                                    PathToUtf8(dir / "blocker" / "x86" / "Section.le"));
    EXPECT_EQ(warnings.back().rfind("打开二进制文件失败：Not a directory：", 0), 0u)
        << warnings.back();
}

TEST_F(DocumentTest, TableFilesRunInOrderAroundTheStationFile) {
    std::vector<std::string> calls;
    auto record = [&](const char* name, bool onlyLogic) {
        return TableFileStep{name, onlyLogic,
                             [&calls, name](CVelkorDoc&, const StationDir& dir, bool storing) {
                                 calls.push_back(std::string(storing ? "write " : "read ") + name +
                                                 " in " + dir.root.filename().string());
                             }};
    };
    const std::vector<TableFileStep> steps = {record("input", false), record("combinations", false),
                                              record("physical", false), record("codes", false),
                                              record("relation", true)};

    CVelkorDoc doc(ui);
    doc.SetTableFileSteps(steps);
    doc.OnNewDocument();
    doc.hasLogicSections = 0;
    ASSERT_TRUE(doc.OnSaveDocument(Station()));
    const std::string folder = dir.Path().filename().string();
    EXPECT_EQ(calls, (std::vector<std::string>{
                         "write input in " + folder, "write combinations in " + folder,
                         "write physical in " + folder, "write codes in " + folder}));

    // Opening reads every table, the relation too: has-logic-sections still
    // holds its default while the tables are read.
    calls.clear();
    CVelkorDoc reader(ui);
    reader.SetTableFileSteps(steps);
    ASSERT_TRUE(reader.OnOpenDocument(Station()));
    EXPECT_EQ(reader.hasLogicSections, 0);
    EXPECT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls.back(), "read relation in " + folder);
}

TEST_F(DocumentTest, AddObjectPlacesLabelsOfDeclaredDevicesOnly) {
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    auto signal = std::make_unique<FakeDevice>(kFakeSignal);
    auto arrow = std::make_unique<FakeDevice>(kFakeArrowLight);
    FakeDevice* s = signal.get();
    FakeDevice* a = arrow.get();
    doc.AddObject(std::move(signal));
    doc.AddObject(std::move(arrow));
    EXPECT_EQ(s->log, (std::vector<std::string>{"UpdateShape", "PlaceLabel"}));
    EXPECT_EQ(a->log, (std::vector<std::string>{"UpdateShape"}));

    // Name alignment follows the structural base: the arrow light carries the
    // device prefix, so it is aligned.
    EditMenu menu(doc);
    menu.SetObject(a);
    menu.AlignName();
    EXPECT_EQ(a->log.back(), "PlaceLabel");
}

TEST_F(DocumentTest, DeleteAndAlignActOnlyOnAContextObjectInTheList) {
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    doc.AddObject(MakeLabel(u"A", {0, 0, 5, 5}));
    doc.AddObject(std::make_unique<FakeDevice>(kFakeSignal));
    auto* device = dynamic_cast<FakeDevice*>(doc.Objects()[1].get());
    EditMenu menu(doc);

    menu.Delete();  // none set: nothing happens
    EXPECT_EQ(doc.Objects().size(), 2u);

    FakeDevice stranger(kFakeSignal);
    menu.SetObject(&stranger);
    menu.Delete();
    menu.AlignName();
    EXPECT_EQ(doc.Objects().size(), 2u);
    EXPECT_TRUE(stranger.log.empty());

    menu.SetObject(doc.Objects()[0].get());
    menu.AlignName();  // a label carries no device prefix: nothing
    menu.SetObject(device);
    menu.AlignName();
    EXPECT_EQ(device->log.back(), "PlaceLabel");
    menu.Delete();
    EXPECT_EQ(doc.Objects().size(), 1u);
    EXPECT_EQ(menu.Object(), nullptr);
    EXPECT_EQ(doc.ObjectsOf<Label>().size(), 1u);
}

TEST(Settings, VersionText) {
    EXPECT_EQ(FormatDataVersion({1, 2, 3, 45}), "V  1.  2.  3, Build号： 45.");
    EXPECT_EQ(FormatDataVersion({255, 0, 10, 255}), "V255.  0. 10, Build号：255.");
}

TEST(Settings, GlobalSettingsTakeEffectOnTheDocument) {
    ScriptedInteraction ui;
    CVelkorDoc doc(ui);
    DrawingValues drawing;
    GlobalSettings s = GlobalSettings::From(doc, drawing);
    EXPECT_EQ(s.drawing.sectionWidth, 3);
    EXPECT_EQ(s.drawing.jointHeight, 8);
    EXPECT_EQ(s.drawing.divergingHeight, 52);
    EXPECT_EQ(s.drawing.switchAngle, 60);
    EXPECT_EQ(s.drawing.gridSpacing, 20);

    s.displayWidth = 1920;
    s.displayHeight = 1080;
    s.displayCount = 3;
    s.hasLogicSections = 0;  // the per-switch value is stored all the same
    s.logicSectionsPerSwitch = 2;
    s.drawing.sectionWidth = 5;
    ASSERT_FALSE(ValidateGlobalSettings(s));
    EXPECT_EQ(ApplyGlobalSettings(s, doc, drawing), (Size{5760, 3240}));
    EXPECT_EQ(doc.hasLogicSections, 0);
    EXPECT_EQ(doc.logicSectionsPerSwitch, 2);
    EXPECT_EQ(drawing.SectionPen(), (Pen{Rgb(85, 120, 182), 5}));

    for (int bad : {5, -1}) {
        s.logicSectionsPerSwitch = bad;
        EXPECT_EQ(ValidateGlobalSettings(s), "请输入一个 0 至 4 之间的整数。");
    }
}

TEST_F(DocumentTest, StationNameAndNumberAreNotStored) {
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    doc.stationName = u"东站";
    doc.stationNumber = 7;
    ASSERT_TRUE(doc.OnSaveDocument(Station()));
    CVelkorDoc again(ui);
    ASSERT_TRUE(again.OnOpenDocument(Station()));
    EXPECT_EQ(again.stationName, u"NO");
    EXPECT_EQ(again.stationNumber, 0);
    EXPECT_EQ(again.bufferWidth, 12288);
    EXPECT_EQ(again.bufferHeight, 6480);
}

}  // namespace
}  // namespace velkor

namespace velkor {
namespace {

// A station that does not open says why: the kind of failure for the caller
// (the command line's exit, the shell's next step) and the message the user
// was shown.
TEST_F(DocumentTest, OpenFailuresCarryTheirKindAndTheUsersMessage) {
    WriteBytes(dir / "damaged.lcp", {1, 2, 3, 4, 1, 0, 0, 0, 1, 0, 0, 0, 5, 0, 0, 0, 0xFF});
    struct Case {
        const char* file;
        Status::Code code;
        const char* message;
    };
    const std::string missing =
        "打开文档失败。\nNo such file or directory：" + PathToUtf8(dir / "missing.lcp");
    for (const Case& c : {Case{"missing.lcp", Status::Code::kIoError, missing.c_str()},
                          Case{"damaged.lcp", Status::Code::kDamaged, "意外的文件格式。"}}) {
        SCOPED_TRACE(c.file);
        ScriptedInteraction told;
        CVelkorDoc doc(told);
        const Status status = doc.OnOpenDocument(dir / c.file);
        EXPECT_FALSE(status);
        EXPECT_EQ(status.GetCode(), c.code);
        EXPECT_EQ(status.Message(), c.message);
        // After the missing table files, the station file's own failure.
        ASSERT_FALSE(told.Messages("warning").empty());
        EXPECT_EQ(told.Messages("warning").back(), c.message);
        EXPECT_TRUE(doc.Objects().empty());
    }
}

}  // namespace
}  // namespace velkor

namespace velkor {
namespace {

// 大小端反转: face and height of the name labels of sections, switches and
// signals; everything else of their fonts, and every other object, stays.
TEST_F(DocumentTest, NameFontReachesSectionsSwitchesAndSignalsOnly) {
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    auto* section = AsDevice(PlaceObject(doc, {0, {100, 100}, {300, 100}}));
    auto* sw = AsDevice(PlaceObject(doc, {1, {400, 100}, {400, 100}, 0}));
    auto* signal = AsDevice(PlaceObject(doc, {9, {100, 300}, {100, 300}, 1}));  // rotated 45°
    auto* three = AsDevice(PlaceObject(doc, {30, {600, 300}, {600, 300}, 0}));
    auto* lamp = AsDevice(PlaceObject(doc, {21, {100, 500}, {100, 500}}));
    signal->nameLabel.font.weight = 700;
    const int32_t escapement = signal->nameLabel.font.escapement;
    const FontDesc threeBefore = three->nameLabel.font;
    const FontDesc lampBefore = lamp->nameLabel.font;

    ApplyNameFont(doc, u"黑体", -20);
    for (CADDevice* d : {section, sw, signal}) {
        EXPECT_EQ(d->nameLabel.font.FaceName(), u"黑体");
        EXPECT_EQ(d->nameLabel.font.height, -20);
    }
    EXPECT_EQ(signal->nameLabel.font.weight, 700);
    EXPECT_EQ(signal->nameLabel.font.escapement, escapement);
    EXPECT_EQ(three->nameLabel.font.FaceName(), threeBefore.FaceName());
    EXPECT_EQ(three->nameLabel.font.height, threeBefore.height);
    EXPECT_EQ(lamp->nameLabel.font.height, lampBefore.height);
    // One undo step puts every font back.
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(AsDevice(doc.Objects()[0].get())->nameLabel.font.FaceName(),
              FontDesc::DefaultLabelFont().FaceName());
    EXPECT_EQ(doc.Objects().size(), 5u);
}

}  // namespace
}  // namespace velkor

namespace velkor {
namespace {

// Temporary files an interrupted save left (its process gone) are removed
// by the next save; those of a save still running are kept.
TEST(StaleTemporaries, TheNextSaveRemovesWhatAKilledSaveLeft) {
    TempDir dir;
    ScriptedInteraction ui;
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    ASSERT_TRUE(doc.OnSaveDocument(dir / "S.lcp"));
    // pid 2^22 + 1 is above Linux's pid limit: no such process.
    const auto stale = dir / "x86" / "Section.le.velkor-tmp-4194305-12";
    // The parent process (the test runner) is running: its file is kept.
    const auto live = dir / ("S.lcp.velkor-tmp-" + std::to_string(::getppid()) + "-7");
    WriteBytes(stale, {1, 2, 3});
    WriteBytes(live, {4});
    ASSERT_TRUE(doc.OnSaveDocument(dir / "S.lcp"));
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(live));
}

}  // namespace
}  // namespace velkor
