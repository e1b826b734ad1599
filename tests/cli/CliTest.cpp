#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "Commands.h"
#include "common/Files.h"
#include "devices/IORecord.h"
#include "devices/Label.h"
#include "document/CVelkorDoc.h"
#include "support/TestFiles.h"

namespace velkor::cli {
namespace {

using velkor::testing::ReadBytes;
using velkor::testing::TempDir;
using velkor::testing::WriteBytes;

struct CliRun {
    int code;
    std::string out;
    std::string err;
};

CliRun Cli(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = RunCli(args, out, err);
    return {code, out.str(), err.str()};
}

TEST(Cli, NewInfoDumpAndResaveWorkTogether) {
    TempDir dir;
    const std::string station = PathToUtf8(dir / "演示.lcp");
    ASSERT_EQ(Cli({"new", station, "--demo"}).code, 0);

    const CliRun info = Cli({"info", station});
    ASSERT_EQ(info.code, 0) << info.err;
    EXPECT_NE(info.out.find("V  0.  0.  0, Build号：  0."), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Label: 1"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("对象总数: 1"), std::string::npos) << info.out;

    const CliRun dump = Cli({"dump", station});
    ASSERT_EQ(dump.code, 0) << dump.err;
    const auto j = nlohmann::json::parse(dump.out);
    EXPECT_EQ(j["header"]["objectCount"], 1);
    EXPECT_EQ(j["objects"][0]["class"], "Label");
    EXPECT_EQ(j["objects"][0]["text"], "Velkor 示例车站");
    EXPECT_EQ(j["objects"][0]["font"]["face"], "宋体");
    EXPECT_EQ(j["trailer"]["displayWidth"], 1600);

    const auto before = ReadBytes(dir / "演示.lcp");
    const CliRun resave = Cli({"resave", station});
    ASSERT_EQ(resave.code, 0) << resave.err;
    EXPECT_NE(resave.err.find("请确定版本号是否更新！"), std::string::npos);
    EXPECT_EQ(ReadBytes(dir / "演示.lcp"), before);
    EXPECT_EQ(ReadBytes(dir / "LCPData.lcp").size(), 80u + 116 + 64);
}

TEST(Cli, DamagedOrMissingStationFailsWithTheMessage) {
    TempDir dir;
    WriteBytes(dir / "bad.lcp", {0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 5, 0, 0, 0, 0xFF, 0xFF});
    for (const char* cmd : {"info", "dump", "resave"}) {
        const CliRun r = Cli({cmd, PathToUtf8(dir / "bad.lcp")});
        EXPECT_EQ(r.code, 1) << cmd;
        EXPECT_NE(r.err.find("意外的文件格式。"), std::string::npos) << cmd << r.err;
    }
    const CliRun missing = Cli({"info", PathToUtf8(dir / "none.lcp")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("打开文档失败。"), std::string::npos);
}

TEST(Cli, HelpForEveryCommandAndUsageErrors) {
    for (const char* cmd : {"info", "dump", "resave", "new"}) {
        const CliRun r = Cli({cmd, "--help"});
        EXPECT_EQ(r.code, 0) << cmd;
        EXPECT_NE(r.out.find(std::string("velkor-cli ") + cmd), std::string::npos) << r.out;
    }
    EXPECT_EQ(Cli({"--help"}).code, 0);
    EXPECT_EQ(Cli({}).code, 2);
    EXPECT_EQ(Cli({"info"}).code, 2);
    const CliRun unknown = Cli({"frobnicate"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_NE(unknown.err.find("unknown command"), std::string::npos);
}

TEST(Cli, OptionsAreTheOnesACommandDeclares) {
    // A mistyped option is refused by name instead of being ignored.
    const CliRun typo = Cli({"transfer", "x.lcp", "--yse"});
    EXPECT_EQ(typo.code, 2);
    EXPECT_NE(typo.err.find("yse"), std::string::npos) << typo.err;
    EXPECT_EQ(Cli({"info", "x.lcp", "--save"}).code, 2);  // info takes no --save
    EXPECT_EQ(Cli({"demo", "x", "--objects"}).code, 2);   // a value is missing
    const CliRun help = Cli({"transfer", "--help"});
    EXPECT_NE(help.out.find("--classes LIST"), std::string::npos) << help.out;
    // A value given with "=" or as the next argument.
    TempDir dir;
    for (const std::vector<std::string>& form :
         {std::vector<std::string>{"--objects=120", "--seed", "2"},
          std::vector<std::string>{"--objects", "120", "--seed=2"}}) {
        std::vector<std::string> args = {"demo", PathToUtf8(dir.Path())};
        args.insert(args.end(), form.begin(), form.end());
        ASSERT_EQ(Cli(args).code, 0);
        const CliRun info = Cli({"info", PathToUtf8(dir / "Demo.lcp")});
        const std::string label = "对象总数: ";
        const auto at = info.out.find(label);
        ASSERT_NE(at, std::string::npos) << info.out;
        EXPECT_GE(std::stoi(info.out.substr(at + label.size())), 120) << info.out;
    }
}

}  // namespace
}  // namespace velkor::cli

namespace velkor::cli {
namespace {

TEST(CliPictures, DemoStationRendersAsSvgAndPng) {
    velkor::testing::TempDir dir;
    const CliRun demo = Cli({"demo", PathToUtf8(dir.Path())});
    ASSERT_EQ(demo.code, 0) << demo.err;
    const auto station = dir / "Demo.lcp";
    ASSERT_TRUE(std::filesystem::exists(station));

    const CliRun svg = Cli({"render", PathToUtf8(station), "-o", PathToUtf8(dir / "s.svg")});
    ASSERT_EQ(svg.code, 0) << svg.err;
    const auto bytes = velkor::testing::ReadBytes(dir / "s.svg");
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"3200\" height=\"900\""),
              std::string::npos);
    EXPECT_NE(text.find(">IG</text>"), std::string::npos);      // a section's label
    EXPECT_NE(text.find(">总取消</text>"), std::string::npos);  // a button's name
    EXPECT_NE(text.find("stroke=\"#5578b6\" stroke-width=\"3\""), std::string::npos);  // track

    const CliRun png = Cli({"render", PathToUtf8(station), "--output", PathToUtf8(dir / "s.png")});
    ASSERT_EQ(png.code, 0) << png.err;
    const auto pngBytes = velkor::testing::ReadBytes(dir / "s.png");
    ASSERT_GT(pngBytes.size(), 8u);
    EXPECT_EQ(velkor::testing::Hex(pngBytes, 0, 4), "89 50 4E 47");
}

// A station with a title far outside the display frames, up and to the right.
std::filesystem::path StationWithFarTitle(const velkor::testing::TempDir& dir, Point at) {
    SilentInteraction ui;
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    auto near = std::make_unique<Label>();
    near->text = u"近处";
    near->SetDragPoints({40, 30}, {40, 30});
    doc.AddObject(std::move(near));
    auto far = std::make_unique<Label>();
    far->text = u"远处";
    far->SetDragPoints(at, at);
    doc.AddObject(std::move(far));
    const auto path = dir / "Far.lcp";
    EXPECT_TRUE(doc.OnSaveDocument(path));
    return path;
}

// The four numbers of the SVG's view box.
std::array<long, 4> ViewBox(const std::string& svg) {
    const auto at = svg.find("viewBox=\"");
    std::istringstream in(svg.substr(at + 9));
    std::array<long, 4> box{};
    for (long& v : box) in >> v;
    return box;
}

TEST(CliPictures, ThePictureCoversTheWholeStationOrTheDisplays) {
    velkor::testing::TempDir dir;
    const auto station = PathToUtf8(StationWithFarTitle(dir, {5000, -1500}));
    const auto svgOf = [&](std::vector<std::string> more) {
        std::vector<std::string> args = {"render", station, "-o", PathToUtf8(dir / "p.svg")};
        args.insert(args.end(), more.begin(), more.end());
        const CliRun run = Cli(args);
        EXPECT_EQ(run.code, 0) << run.err;
        const auto bytes = velkor::testing::ReadBytes(dir / "p.svg");
        return std::string(bytes.begin(), bytes.end());
    };
    const std::string whole = svgOf({});
    EXPECT_NE(whole.find(">远处</text>"), std::string::npos);
    EXPECT_NE(whole.find(">近处</text>"), std::string::npos);
    const auto box = ViewBox(whole);
    EXPECT_LE(box[1], -1500);          // top
    EXPECT_GE(box[0] + box[2], 5000);  // right
    EXPECT_EQ(box[0], 0);              // the displays start the picture
    EXPECT_NE(whole.find("width=\"" + std::to_string(box[2]) + "\""), std::string::npos);

    // The display frames only: the view box leaves the far title out.
    const std::string displays = svgOf({"--area", "display"});
    const auto frames = ViewBox(displays);
    EXPECT_EQ(frames[0], 0);
    EXPECT_EQ(frames[1], 0);
    EXPECT_LT(frames[2], 5000);

    EXPECT_EQ(Cli({"render", station, "-o", PathToUtf8(dir / "p.svg"), "--area", "all"}).code, 2);

    // As a PNG the whole station is a picture of the same size.
    const CliRun png = Cli({"render", station, "-o", PathToUtf8(dir / "p.png")});
    ASSERT_EQ(png.code, 0) << png.err;
    const auto bytes = velkor::testing::ReadBytes(dir / "p.png");
    ASSERT_GT(bytes.size(), 24u);
    const auto be32 = [&](size_t at) {
        return long{bytes[at]} << 24 | long{bytes[at + 1]} << 16 | long{bytes[at + 2]} << 8 |
               long{bytes[at + 3]};
    };
    EXPECT_EQ(be32(16), box[2]);  // IHDR width
    EXPECT_EQ(be32(20), box[3]);  // IHDR height
}

TEST(CliPictures, APictureTooLargeForPngIsRefusedUpFront) {
    velkor::testing::TempDir dir;
    const auto station = PathToUtf8(StationWithFarTitle(dir, {2000000000, 1500000000}));
    const CliRun png = Cli({"render", station, "-o", PathToUtf8(dir / "p.png")});
    EXPECT_EQ(png.code, 1);
    EXPECT_NE(png.err.find("more than a PNG picture here may have"), std::string::npos) << png.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "p.png"));
    // The SVG is only numbers, and the displays alone fit.
    EXPECT_EQ(Cli({"render", station, "-o", PathToUtf8(dir / "p.svg")}).code, 0);
    EXPECT_EQ(Cli({"render", station, "-o", PathToUtf8(dir / "p.png"), "--area", "display"}).code,
              0);
}

TEST(CliPictures, UsageErrors) {
    velkor::testing::TempDir dir;
    EXPECT_EQ(Cli({"render", PathToUtf8(dir / "x.lcp")}).code, 2);  // no -o
    EXPECT_EQ(Cli({"demo", PathToUtf8(dir.Path()), "--objects", "many"}).code, 2);
    EXPECT_EQ(Cli({"render", PathToUtf8(dir / "none.lcp"), "-o", PathToUtf8(dir / "a.svg")}).code,
              1);
}

TEST(CliPictures, LargeDemoHoldsAtLeastTheObjectsAsked) {
    velkor::testing::TempDir dir;
    const CliRun demo = Cli({"demo", PathToUtf8(dir.Path()), "--objects", "400", "--seed", "3"});
    ASSERT_EQ(demo.code, 0) << demo.err;
    const CliRun info = Cli({"info", PathToUtf8(dir / "Demo.lcp")});
    ASSERT_EQ(info.code, 0);
    const auto at = info.out.find("对象总数: ");
    ASSERT_NE(at, std::string::npos);
    EXPECT_GE(std::stoi(info.out.substr(at + std::string("对象总数: ").size())), 400);
}

}  // namespace
}  // namespace velkor::cli

#include "document/CVelkorDoc.h"
#include "support/ScriptedInteraction.h"
#include "tables/IoTables.h"
#include "workbook/ExcelHelper.h"

namespace velkor::cli {
namespace {

TEST(CliTables, PrintsRowsWithTheGridFormats) {
    velkor::testing::TempDir dir;
    velkor::testing::ScriptedInteraction ui;
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    Row section = IoTables::NewRow(kSectionTable);
    section.SetName(u"1DG");
    AssignAddresses(kSectionTable, section, 37);
    doc.io.Append(kSectionTable, section);
    Row signal = IoTables::NewRow(kSignalTable);
    signal.SetName(u"X1");
    signal.SetU16(io::kSignalType, 0);  // 一显: DJ, DDJ and SGJ only
    doc.io.Append(kSignalTable, signal);
    ASSERT_TRUE(doc.OnSaveDocument(dir / "s.lcp"));

    const CliRun sections = Cli({"tables", PathToUtf8(dir / "s.lcp"), "section"});
    ASSERT_EQ(sections.code, 0) << sections.err;
    EXPECT_EQ(sections.out,
              "名称\t地址号\t按钮号\t字号\t位号\tGJ\tFWZTJ\n"
              "1DG\t37\t0X0532\t0X0004\t0X000A\t0X0000\t0X0000\n");
    const CliRun signals = Cli({"tables", PathToUtf8(dir / "s.lcp"), "signal"});
    EXPECT_NE(
        signals.out.find(
            "X1\t65535\t0XFFFF\t0XFFFF\t0XFFFF\t0\t0X0000\t\t\t\t\t\t\t0XFFFF\t\t0XFFFF\t0XFFFF\n"),
        std::string::npos)
        << signals.out;
    EXPECT_EQ(Cli({"tables", PathToUtf8(dir / "s.lcp"), "nope"}).code, 2);
}

}  // namespace
}  // namespace velkor::cli

namespace velkor::cli {
namespace {

TEST(CliGenerators, TransferNeedsYesAndValidateReports) {
    velkor::testing::TempDir dir;
    velkor::testing::ScriptedInteraction ui;
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    Row section = IoTables::NewRow(kSectionTable);
    section.SetName(u"1DG");
    AssignAddresses(kSectionTable, section, 0);
    doc.io.Append(kSectionTable, section);
    ASSERT_TRUE(doc.OnSaveDocument(dir / "s.lcp"));
    const std::string station = PathToUtf8(dir / "s.lcp");

    EXPECT_EQ(Cli({"transfer", station}).code, 2);
    const CliRun run = Cli({"transfer", station, "--yes", "--classes=section,light", "--save"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.err.find("输入表数据生成完毕!"), std::string::npos);
    EXPECT_EQ(Cli({"transfer", station, "--yes", "--classes=lamp"}).code, 2);

    const CliRun ok = Cli({"validate", station});
    EXPECT_EQ(ok.code, 0) << ok.err;
    EXPECT_NE(ok.err.find("(^_^)"), std::string::npos);
    doc.io.Append(kSectionTable, section);  // the same name and number twice
    ASSERT_TRUE(doc.OnSaveDocument(dir / "s.lcp"));
    const CliRun bad = Cli({"validate", station});
    EXPECT_EQ(bad.code, 1);
    EXPECT_NE(bad.err.find("设备名称冲突：1DG，冲突距离：1"), std::string::npos) << bad.err;
}

}  // namespace
}  // namespace velkor::cli

namespace velkor::cli {
namespace {

TEST(CliGenerators, LogicTablesFromTheCommandLine) {
    velkor::testing::TempDir dir;
    const std::string station = PathToUtf8(dir.Path() / "Demo.lcp");
    ASSERT_EQ(Cli({"demo", PathToUtf8(dir.Path())}).code, 0);
    // The demo's input tables are complete and sound.
    const CliRun valid = Cli({"validate", station});
    EXPECT_EQ(valid.code, 0) << valid.err;
    EXPECT_NE(valid.err.find("(^_^)"), std::string::npos);
    EXPECT_EQ(Cli({"virtual-logic-table", station, "--yes"}).code, 2);  // which one?
    EXPECT_EQ(Cli({"logic-table", station}).code, 2);                   // no --yes
    const CliRun run = Cli({"virtual-logic-table", station, "--halde", "--yes", "--save"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.err.find("虚拟逻辑区段表数据生成完毕！"), std::string::npos);
    const CliRun logic = Cli({"tables", station, "logic"});
    ASSERT_EQ(logic.code, 0);
    // The demo's sections carry their own names as logic names: a row each.
    EXPECT_NE(logic.out.find("\nIG\t"), std::string::npos) << logic.out;
    EXPECT_EQ(Cli({"repeat-io", station, "--yes"}).code, 0);
    EXPECT_EQ(Cli({"logic-table", station, "--yes"}).code, 0);
    for (const char* table :
         {"PhysicalSectionCode", "TrackSectionCode", "CrossCode", "SwitchCode"}) {
        EXPECT_EQ(Cli({"build-codes", station, table, "--yes", "--save"}).code, 0) << table;
    }
    EXPECT_EQ(Cli({"build-codes", station, "ElementCode", "--yes"}).code, 2);
    const CliRun switches = Cli({"tables", station, "SwitchCode"});
    EXPECT_EQ(switches.out.rfind("Switch编号\tSwitch名称", 0), 0u) << switches.out;
}

}  // namespace
}  // namespace velkor::cli

namespace velkor::cli {
namespace {

TEST(CliWorkbook, DumpPrintsEveryCellEscaped) {
    velkor::testing::TempDir dir;
    ExcelHelper x;
    x.NewWorkbook();
    x.AddSheet(u"表\t1");
    x.SetCell(1, 2, u"a\\b\nc");
    x.SetCell(3, 1, u"站");
    ASSERT_TRUE(x.SaveAs(dir / "w.xls"));
    const CliRun r = Cli({"workbook", "dump", PathToUtf8(dir / "w.xls")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "表\\t1\t1\t2\ta\\\\b\\nc\n表\\t1\t3\t1\t站\n");
    EXPECT_EQ(Cli({"workbook", "dump", PathToUtf8(dir / "none.xls")}).code, 1);
    EXPECT_EQ(Cli({"workbook", "list", "x"}).code, 2);
}

}  // namespace
}  // namespace velkor::cli

namespace velkor::cli {
namespace {

TEST(CliAts, GenerationConversionAndFieldFilesFromTheCommandLine) {
    velkor::testing::TempDir dir;
    const std::string station = PathToUtf8(dir.Path() / "Demo.lcp");
    ASSERT_EQ(Cli({"demo", PathToUtf8(dir.Path())}).code, 0);

    EXPECT_EQ(Cli({"ats", station}).code, 2);  // asks: needs --yes
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "ATS" / "AtsCmd.txt"));
    const CliRun ats = Cli({"ats", station, "--yes"});
    EXPECT_EQ(ats.code, 0) << ats.err;
    EXPECT_NE(ats.err.find("ATS数据生成完毕！"), std::string::npos) << ats.err;
    for (const char* f : {"AtsCmd.txt", "AtsShow.txt", "LogicSection.txt", "AtsCmd.bin",
                          "AtsShow.bin", "LogicSection.bin"}) {
        EXPECT_TRUE(std::filesystem::exists(dir.Path() / "ATS" / f)) << f;
    }
    const CliRun again = Cli({"ats", station, "--yes"});
    EXPECT_EQ(again.code, 1);
    EXPECT_NE(again.err.find("ATS文件已存在，请先删除文件，才能重新生成！"), std::string::npos)
        << again.err;

    const auto before = ReadBytes(dir.Path() / "ATS" / "AtsShow.bin");
    const CliRun bin = Cli({"ats-bin", station});
    EXPECT_EQ(bin.code, 0) << bin.err;
    EXPECT_NE(bin.err.find("ATS文件转换成bin文件，转换完毕！"), std::string::npos);
    const auto after = ReadBytes(dir.Path() / "ATS" / "AtsShow.bin");
    ASSERT_EQ(after.size(), before.size());
    // The same records; only the time in the header may differ.
    EXPECT_TRUE(std::equal(after.begin() + 16, after.end(), before.begin() + 16));

    const CliRun noTrack = Cli({"maintrack", station});
    EXPECT_EQ(noTrack.code, 1);
    EXPECT_NE(noTrack.err.find("无法打开配置文件MainTrack.txt！"), std::string::npos)
        << noTrack.err;
    const std::string tracks = "2\n3 1G 2G 3G\n1 IIG";
    WriteBytes(dir.Path() / "MainTrack" / "MainTrack.txt",
               std::vector<uint8_t>(tracks.begin(), tracks.end()));
    EXPECT_EQ(Cli({"maintrack", station}).code, 0);
    EXPECT_EQ(std::filesystem::file_size(dir.Path() / "MainTrack" / "MainTrack.bin"), 660u);

    const CliRun zedev = Cli({"zedev", station});
    EXPECT_EQ(zedev.code, 0) << zedev.err;
    EXPECT_NE(zedev.err.find("vu信号机文件生成完毕！"), std::string::npos);
    const auto text = ReadBytes(dir.Path() / "ZedevEzura" / "ZedevEzura.txt");
    const auto count = std::stoi(std::string(text.begin(), text.end()));
    EXPECT_GT(count, 0);
    EXPECT_EQ(std::filesystem::file_size(dir.Path() / "ZedevEzura" / "ZedevEzura.bin"),
              4u + 20u * count);
}

}  // namespace
}  // namespace velkor::cli

namespace velkor::cli {
namespace {

using velkor::testing::ReadBytes;
using velkor::testing::TempDir;

// velkor-cli props on the demo station's first arrow light: list, show,
// set with "确定", and a refused value that leaves the station file as it was.
TEST(CliProps, ListShowSetAndRefuse) {
    TempDir dir;
    ASSERT_EQ(Cli({"demo", PathToUtf8(dir.Path())}).code, 0);
    const std::string station = PathToUtf8(dir / "Demo.lcp");
    const CliRun list = Cli({"props", station, "--list"});
    ASSERT_EQ(list.code, 0);
    const auto at = list.out.find("\tArrowLight\t");
    ASSERT_NE(at, std::string::npos) << list.out;
    const std::string index =
        list.out.substr(list.out.rfind('\n', at) + 1, at - list.out.rfind('\n', at) - 1);

    const CliRun show = Cli({"props", station, index});
    ASSERT_EQ(show.code, 0) << show.err;
    EXPECT_EQ(show.out.substr(0, show.out.find('\n')), "箭头指示灯属性");
    EXPECT_NE(show.out.find("设备信息\t地址号\t0XFFFF\n"), std::string::npos) << show.out;

    const CliRun set =
        Cli({"props", station, index, "--set", "地址号=12", "--set", "背景1=#00FF00", "--save"});
    ASSERT_EQ(set.code, 0) << set.err;
    const CliRun again = Cli({"props", station, index});
    EXPECT_NE(again.out.find("设备信息\t地址号\t0X0012\n"), std::string::npos) << again.out;
    EXPECT_NE(again.out.find("\t背景1\t#00FF00\n"), std::string::npos) << again.out;

    const auto before = ReadBytes(dir / "Demo.lcp");
    const CliRun refused = Cli({"props", station, index, "--set", "字号=12G", "--save"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find("输入的十六进制数无效"), std::string::npos) << refused.err;
    EXPECT_EQ(ReadBytes(dir / "Demo.lcp"), before);
    EXPECT_EQ(Cli({"props", station, index, "--set", "没有=1"}).code, 2);
    // A class without a dialog: the block panel.
    const auto box = list.out.find("\tCADSemiAutoBlock\t");
    ASSERT_NE(box, std::string::npos);
    const size_t boxLine = list.out.rfind('\n', box) + 1;
    EXPECT_EQ(Cli({"props", station, list.out.substr(boxLine, box - boxLine)}).code, 1);
}

// A signal edited from a script: a typed name looked up, values set in a
// group, a kind that makes the embedded button; the record is in the file.
TEST(CliProps, SignalLookUpKindAndSavedRecord) {
    TempDir dir;
    ASSERT_EQ(Cli({"demo", PathToUtf8(dir.Path())}).code, 0);
    const std::string station = PathToUtf8(dir / "Demo.lcp");
    const CliRun list = Cli({"props", station, "--list"});
    const auto at = list.out.find("\tCADSignal\t");
    ASSERT_NE(at, std::string::npos);
    const size_t line = list.out.rfind('\n', at) + 1;
    const std::string index = list.out.substr(line, at - line);

    // The section name 5DG, typed and looked up, gives its row's numbers.
    const CliRun looked = Cli({"props", station, index, "--set", "IO名称=5DG", "--lookup", "IO名称",
                               "--group", "设备信息"});
    ASSERT_EQ(looked.code, 0) << looked.err;
    EXPECT_NE(looked.out.find("设备信息\t按钮号\t0X0230\n"), std::string::npos) << looked.out;
    const CliRun missing =
        Cli({"props", station, index, "--set", "IO名称=NOSUCH", "--lookup", "IO名称"});
    EXPECT_NE(missing.err.find("IO表中没有名称匹配的设备"), std::string::npos) << missing.err;

    const CliRun set = Cli({"props", station, index, "--set", "IO名称=X7", "--set", "地址号=0x1234",
                            "--set", "按钮号=21", "--set", "字号=3", "--set", "位号=55", "--set",
                            "车站号=2", "--set", "信号机类型=列调", "--save"});
    ASSERT_EQ(set.code, 0) << set.err;
    IORecord expected;
    expected.SetName(u"X7");
    expected.address = 0x1234;
    expected.button = 0x21;
    expected.word = 3;
    expected.bit = 0x55;
    expected.station = 2;
    std::array<uint8_t, IORecord::kBytes> bytes{};
    expected.Store(bytes);
    const auto file = ReadBytes(dir / "Demo.lcp");
    EXPECT_NE(std::search(file.begin(), file.end(), bytes.begin(), bytes.end()), file.end());
    const CliRun again = Cli({"props", station, index});
    EXPECT_NE(again.out.find("信号机属性\t信号机类型\t列调\n"), std::string::npos);
    EXPECT_NE(again.out.find("信号机属性\t按钮号2\t0XFFFF\n"), std::string::npos);
    const auto j = nlohmann::json::parse(Cli({"dump", station}).out);
    EXPECT_EQ(j["objects"][std::stoi(index)]["button"]["io"]["name"], "X7DA");
}

}  // namespace
}  // namespace velkor::cli

namespace velkor::cli {
namespace {

using velkor::testing::ReadBytes;
using velkor::testing::TempDir;
using velkor::testing::WriteBytes;

// The table files of a station folder, by name.
std::map<std::string, std::vector<uint8_t>> TableFiles(const TempDir& dir) {
    std::map<std::string, std::vector<uint8_t>> out;
    for (const char* sub : {"x86", "ppc"}) {
        for (const auto& e : std::filesystem::directory_iterator(dir / sub)) {
            if (e.is_regular_file())
                out[PathToUtf8(e.path().filename()) + sub] = ReadBytes(e.path());
        }
    }
    return out;
}

// Every table exported and imported again leaves the table files as they
// were; a refused cell and an unknown table change nothing.
TEST(CliTables, ExportImportAndCombine) {
    TempDir dir;
    ASSERT_EQ(Cli({"demo", PathToUtf8(dir.Path())}).code, 0);
    const std::string station = PathToUtf8(dir / "Demo.lcp");
    const auto before = TableFiles(dir);
    for (const char* table :
         {"区段", "Switch", "信号机", "LogicSection", "零散信息", "车站信息表"}) {
        SCOPED_TRACE(table);
        const std::string file = PathToUtf8(dir / (std::string(table) + ".xls"));
        const CliRun out = Cli({"table-export", station, table, file});
        ASSERT_EQ(out.code, 0) << out.err;
        const CliRun in = Cli({"table-import", station, table, file, "--save"});
        ASSERT_EQ(in.code, 0) << in.err;
    }
    EXPECT_EQ(TableFiles(dir), before);

    const std::string csv = "名称,地址号,按钮号,字号,位号,GJ,FWZTJ\n1DG,0\n3DG,x1\n";
    WriteBytes(dir / "bad.csv", std::vector<uint8_t>(csv.begin(), csv.end()));
    const auto station0 = ReadBytes(dir / "Demo.lcp");
    const CliRun bad =
        Cli({"table-import", station, "区段", PathToUtf8(dir / "bad.csv"), "--save"});
    EXPECT_EQ(bad.code, 1);
    EXPECT_NE(bad.err.find("第 3 行第 2 列（地址号）：输入的十进制数据无效"), std::string::npos)
        << bad.err;
    EXPECT_EQ(Cli({"table-import", station, "区", PathToUtf8(dir / "bad.csv")}).code, 2);
    EXPECT_EQ(ReadBytes(dir / "Demo.lcp"), station0);
    EXPECT_EQ(TableFiles(dir), before);

    // Combinations: a name in no table changes nothing; then two entries.
    const std::string wrong = "1DG\t5DG\nNOSUCH\n";
    WriteBytes(dir / "wrong.tsv", std::vector<uint8_t>(wrong.begin(), wrong.end()));
    const CliRun refused = Cli({"combine", station, PathToUtf8(dir / "wrong.tsv"), "--save"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find("line 2"), std::string::npos) << refused.err;
    EXPECT_EQ(TableFiles(dir), before);
    const std::string grid = "1DG\t5DG\n\t\t7DG\n";
    WriteBytes(dir / "grid.tsv", std::vector<uint8_t>(grid.begin(), grid.end()));
    ASSERT_EQ(Cli({"combine", station, PathToUtf8(dir / "grid.tsv"), "--save"}).code, 0);
    const auto muti = ReadBytes(dir / "x86" / "MutiSection.le");
    ASSERT_EQ(muti.size(), 4u + 2 * 64);  // the entry count, then the entries
    EXPECT_EQ(muti[0], 2);
    EXPECT_EQ(muti[4], 2);       // count of the first entry
    EXPECT_EQ(muti[4 + 64], 1);  // the second names only its third slot
    EXPECT_EQ(std::string(muti.begin() + 4 + 64 + 36, muti.begin() + 4 + 64 + 39), "7DG");
}

// The check picture flags the device renamed to a name no table has, and
// velkor-cli checks writes the three workbooks.
TEST(CliChecks, CheckPictureFlagsAnUnmatchedDeviceAndChecksWritesTheFiles) {
    TempDir dir;
    ASSERT_EQ(Cli({"demo", PathToUtf8(dir.Path())}).code, 0);
    const std::string station = PathToUtf8(dir / "Demo.lcp");
    const std::string picture = PathToUtf8(dir / "check.svg");
    const CliRun before = Cli({"render", station, "-o", picture, "--check"});
    ASSERT_EQ(before.code, 0) << before.err;
    EXPECT_EQ(before.out.find("0\tCADSection"), std::string::npos) << before.out;
    ASSERT_EQ(
        Cli({"props", station, "0", "--set", "名称=NOSUCH", "--group", "设备信息", "--save"}).code,
        0);
    const CliRun after = Cli({"render", station, "-o", picture, "--check"});
    EXPECT_NE(after.out.find("0\tCADSection\tNOSUCH\t输入表中无NOSUCH\n"), std::string::npos)
        << after.out;
    const auto svg = ReadBytes(dir / "check.svg");
    EXPECT_NE(std::string(svg.begin(), svg.end()).find("输入表中无NOSUCH"), std::string::npos);

    const CliRun checks = Cli({"checks", station});
    EXPECT_EQ(checks.code, 0) << checks.err;
    EXPECT_NE(checks.err.find("IO校验表生成完毕！"), std::string::npos);
    for (const char* f : {"IO信息输入表.xls", "站场信息IO表.xls", "西门子信息表.xls"})
        EXPECT_TRUE(std::filesystem::exists(dir.Path() / "CheckIOExcel" / PathFromUtf8(f))) << f;
}

// Commands that only read leave the file system as it was, even for a
// station that is not there; a command that completes with warnings on the
// way is a success.
TEST(CliExitCodes, ReadersWriteNothingAndWarningsAreSuccess) {
    TempDir dir;
    const std::string missing = PathToUtf8(dir / "none" / "S.lcp");
    for (std::vector<std::string> args : {std::vector<std::string>{"info", missing},
                                          {"dump", missing},
                                          {"tables", missing},
                                          {"validate", missing},
                                          {"render", missing, "-o", PathToUtf8(dir / "x.svg")}}) {
        EXPECT_EQ(Cli(args).code, 1) << args[0];
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "none"));
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));

    ASSERT_EQ(Cli({"demo", PathToUtf8(dir.Path())}).code, 0);
    const std::string station = PathToUtf8(dir / "Demo.lcp");
    ASSERT_EQ(
        Cli({"props", station, "0", "--set", "名称=NOSUCH", "--group", "设备信息", "--save"}).code,
        0);
    const CliRun transfer = Cli({"transfer", station, "--yes", "--save"});
    EXPECT_EQ(transfer.code, 0) << transfer.err;
    EXPECT_NE(transfer.err.find("输入表中无此设备：NOSUCH"), std::string::npos) << transfer.err;
    EXPECT_NE(transfer.err.find("输入表数据生成完毕!"), std::string::npos);
}

TEST(CliNameFont, AppliesFaceAndHeightToTrackNameLabels) {
    velkor::testing::TempDir dir;
    ASSERT_EQ(Cli({"demo", PathToUtf8(dir.Path())}).code, 0);
    const std::string station = PathToUtf8(dir / "Demo.lcp");
    EXPECT_EQ(Cli({"name-font", station, "--height", "16"}).code, 2);  // no face
    ASSERT_EQ(Cli({"name-font", station, "--face", "黑体", "--height", "16", "--save"}).code, 0);
    const auto j = nlohmann::json::parse(Cli({"dump", station}).out);
    int sections = 0, lamps = 0;
    for (const auto& o : j["objects"]) {
        if (o["class"] == "CADSection") {
            ++sections;
            EXPECT_EQ(o["label"]["font"]["face"], "黑体");
            EXPECT_EQ(o["label"]["font"]["height"], -16);
        } else if (o["class"] == "CADDeLight") {
            ++lamps;
            EXPECT_NE(o["label"]["font"]["face"], "黑体");
        }
    }
    EXPECT_GT(sections, 0);
    EXPECT_GT(lamps, 0);
}

}  // namespace
}  // namespace velkor::cli
