#include <gtest/gtest.h>

#include <map>

#include "cizc/CiZcWorkbook.h"
#include "common/Text.h"
#include "demo/DemoStation.h"
#include "devices/CADSection.h"
#include "devices/CADSignal.h"
#include "devices/RailSwitch.h"
#include "document/CVelkorDoc.h"
#include "support/LibreOffice.h"
#include "support/ScriptedInteraction.h"
#include "support/TestFiles.h"
#include "workbook/ExcelHelper.h"

namespace velkor {
namespace {

using testing::ScriptedInteraction;
using testing::TempDir;
using Sheet = std::pair<std::string, std::vector<std::vector<std::string>>>;

// A flat OpenDocument spreadsheet of these sheets, every cell a text, the
// header row bold and the first column wide: LibreOffice turns it into the
// .xls or .xlsx a user would bring.
std::string Fods(const std::vector<Sheet>& sheets) {
    std::string x =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
        "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
        "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
        "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
        "xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\" "
        "office:version=\"1.2\" "
        "office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\">\n"
        "<office:automatic-styles>"
        "<style:style style:name=\"co1\" style:family=\"table-column\">"
        "<style:table-column-properties style:column-width=\"40mm\"/></style:style>"
        "<style:style style:name=\"ce1\" style:family=\"table-cell\">"
        "<style:text-properties fo:font-weight=\"bold\"/></style:style>"
        "</office:automatic-styles>\n<office:body><office:spreadsheet>\n";
    for (const auto& [name, rows] : sheets) {
        x += "<table:table table:name=\"" + name +
             "\"><table:table-column table:style-name=\"co1\"/>"
             "<table:table-column table:number-columns-repeated=\"9\"/>\n";
        for (size_t r = 0; r < rows.size(); ++r) {
            x += "<table:table-row>";
            if (rows[r].empty()) x += "<table:table-cell/>";  // a row needs a cell
            for (const std::string& cell : rows[r]) {
                if (cell.empty()) {
                    x += "<table:table-cell/>";
                    continue;
                }
                x += std::string("<table:table-cell office:value-type=\"string\"") +
                     (r == 0 ? " table:style-name=\"ce1\"" : "") + "><text:p>" + cell +
                     "</text:p></table:table-cell>";
            }
            x += "</table:table-row>\n";
        }
        x += "</table:table>\n";
    }
    return x + "</office:spreadsheet></office:body></office:document>\n";
}

// Writes the sheets as NAME.fods and converts them to NAME.ext.
fs::path MakeWorkbook(const TempDir& dir, const std::string& name, const std::string& ext,
                      const std::vector<Sheet>& sheets) {
    const std::string text = Fods(sheets);
    testing::WriteBytes(dir / (name + ".fods"), std::vector<uint8_t>(text.begin(), text.end()));
    testing::Convert(dir, ext, {dir / (name + ".fods")});
    return dir / (name + "." + ext);
}

const std::vector<Sheet> kCodes = {
    {"CI_ZC道岔码位",
     {{"码位表"},
      {"", "", "2"},
      {},
      {"A", "B", "C", "D", "E"},
      {"1", "10", "11", "12", "2"},
      {"2", "20", "21", "22", "1"}}},
    {"CI_ZC信号机码位", {{"码位表"}, {"", "", "1"}, {}, {"A"}, {"5", "31", "32", "33", "2"}}},
    {"CI_ZC计轴区段码位",
     {{"码位表"},
      {"", "", "2"},
      {},
      {"A"},
      {"11", "3", "4", "5", "6", "1", "2", "2"},
      {"12", "13", "14", "15", "16", "11", "12", "2"}}},
    {"CI_ZC保护区段码位", {{"码位表"}, {"", "", "1"}, {}, {"A"}, {"21", "7", "2"}}},
    {"CI_ZC进路码位", {{"码位表"}, {"", "", "1"}, {}, {"A"}, {"31", "42", "43", "41", "2"}}},
    // C2 = 0: nothing is read, whatever lies below.
    {"CI_ZC逻辑区段码位", {{"码位表"}, {"", "", "0"}, {}, {"A"}, {"99", "1", "1", "2"}}},
};

const std::vector<Sheet> kDevices = {
    {"道岔", {{"编号", "名称"}, {"1", "1"}, {"2", "3"}}},
    {"信号机", {{"编号", "名称"}, {"5", "X1"}}},
    {"物理区段",
     {{"编号", "名称", "ZC", "计轴数", "计轴1"},
      {"100", "1DG", "2", "1", "11"},
      {"101", "5DG", "2", "1", "12"}}},
    {"计轴区段", {{"编号", "名称"}, {"11", "a"}, {"12", "b"}}},
    {"保护区段", {{"编号", "计轴数", "计轴1", "计轴2"}, {"21", "2", "11", "12"}}},
    {"进路表", {{"编号", "名称"}, {"31", "3-5"}}},
};

const std::vector<Sheet> kInterface = {
    {"说明", {{"本表由联锁数据生成"}, {"请勿修改格式"}}},
    {"ZC-CI序号", {{"项目", "值"}, {"ZC", "2"}}},
    {"道岔", {{"名称", "联锁地址", "编号", "码位1", "码位2", "码位3"}}},
    {"信号机", {{"名称", "联锁地址", "编号", "码位1", "码位2", "码位3"}}},
    {"物理区段", {{"名称", "联锁地址", "编号", "码1", "码2", "码3", "码4", "码5", "码6"}}},
    {"保护区段", {{"名称", "联锁地址", "编号", "码位1"}}},
    {"进路",
     {{"始端", "名称", "终端", "编号", "码位1", "码位2", "码位3"},
      {"S3", "3-5F", "X5"},
      {"S9", "9-9", "X9"}}},
};

class CiZc : public ::testing::Test {
protected:
    CiZc() {
        doc.OnNewDocument();
        BuildDemoStation(doc, {});
        EXPECT_TRUE(doc.OnSaveDocument(dir / "Demo.lcp"));
        fs::create_directories(dir / "ZC_CI");
    }
    // The 地址号 a plain walk over the drawing finds for a name.
    uint16_t SwitchAddress(std::u16string_view label) {
        for (const auto& o : doc.Objects()) {
            auto* sw = dynamic_cast<RailSwitch*>(o.get());
            if (sw && sw->nameLabel.text == label) return sw->io.address;
        }
        return 0xFFFF;
    }
    template <class T>
    uint16_t IoAddress(std::u16string_view name) {
        for (const auto& o : doc.Objects()) {
            auto* d = dynamic_cast<T*>(o.get());
            if (d && d->io.Name() == name) return d->io.address;
        }
        return 0xFFFF;
    }
    fs::path Interface() { return dir / "ZC_CI" / PathFromUtf8(kCiZcWorkbookName); }

    TempDir dir;
    TempDir work;
    ScriptedInteraction ui;
    CVelkorDoc doc{ui};
};

TEST(CiZcNumbers, LeadingDigitsModulo65536) {
    EXPECT_EQ(CiZcRun::Number(u"123abc"), 123);
    EXPECT_EQ(CiZcRun::Number(u""), 0);
    EXPECT_EQ(CiZcRun::Number(u"x12"), 0);
    EXPECT_EQ(CiZcRun::Number(u"65537"), 1);
}

// The two workbooks (an .xls and an .xlsx) fill the interface workbook: the
// cells the command writes hold what the test expects, every other cell,
// format, width and sheet stays as LibreOffice made it.
TEST_F(CiZc, FillsTheInterfaceWorkbookAndKeepsTheRest) {
    const fs::path codes = MakeWorkbook(work, "codes", "xls", kCodes);
    const fs::path devices = MakeWorkbook(work, "devices", "xlsx", kDevices);
    const fs::path template_ = MakeWorkbook(work, "interface", "xls", kInterface);
    fs::copy_file(template_, Interface());
    std::vector<std::string> prompts;
    ASSERT_TRUE(GenerateCiZcWorkbook(&doc, ui, [&](const char* prompt) -> std::optional<fs::path> {
        prompts.push_back(prompt);
        return prompts.size() == 1 ? codes : devices;
    }));
    EXPECT_EQ(prompts, (std::vector<std::string>{kMsgChooseCiZcCodes, kMsgChooseDeviceNumbers}));
    EXPECT_EQ(ui.Messages("info"), std::vector<std::string>{kMsgCiZcDone});
    const auto n = [](uint32_t v) { return std::to_string(v); };
    const std::string s1 = n(IoAddress<CADSection>(u"1DG"));
    const std::string s5 = n(IoAddress<CADSection>(u"5DG"));
    ASSERT_NE(s1, "65535");
    // Sheet → rows written (from row 2); Z = 2 leaves out switch 2 (ZC 1).
    const std::map<std::string, std::vector<std::vector<std::string>>> expected = {
        {"道岔", {{"1", n(SwitchAddress(u"1")), "1", "10", "11", "12"}}},
        {"信号机", {{"X1", n(IoAddress<CADSignal>(u"X1")), "5", "32", "33", "31"}}},
        {"物理区段",
         {{"1DG", s1, "11", "1", "2", "3", "4", "5", "6"},
          {"5DG", s5, "12", "11", "12", "13", "14", "15", "16"}}},
        {"保护区段", {{"1DG,5DG", s1, "21", "7"}}},
        {"进路",
         {{"S3", "3-5F", "X5", "31", "41", "42", "43"},
          {"S9", "9-9", "X9", "65535", "65535", "65535", "65535"}}},
    };
    ExcelHelper x;
    ASSERT_TRUE(x.OpenWorkbook(Interface()));
    std::vector<std::string> written;
    for (const auto& [sheet, rows] : expected) {
        ASSERT_TRUE(x.SelectSheet(FromUtf8(sheet))) << sheet;
        for (size_t r = 0; r < rows.size(); ++r) {
            for (size_t c = 0; c < rows[r].size(); ++c) {
                const auto row = static_cast<uint32_t>(r + 2);
                const auto col = static_cast<uint32_t>(c + 1);
                EXPECT_EQ(ToUtf8(x.GetCell(row, col)), rows[r][c])
                    << sheet << " " << row << "," << col;
                if (!(sheet == "进路" && c < 3))
                    written.push_back(sheet + ":" + n(row) + ":" + n(col));
            }
        }
        EXPECT_EQ(ToUtf8(x.GetCell(static_cast<uint32_t>(rows.size() + 2), 1)), "") << sheet;
    }
    // Everything else, formats included, as it was.
    std::string compare =
        "/usr/bin/python3 '" +
        PathToUtf8(fs::path(VELKOR_FIXTURES_DIR) / "workbook" / "xls_compare.py") + "' '" +
        PathToUtf8(template_) + "' '" + PathToUtf8(Interface()) + "'";
    for (const std::string& w : written) compare += " '" + w + "'";
    const auto [rc, out] = testing::RunCommand(work, compare);
    EXPECT_EQ(rc, 0) << out;
    EXPECT_EQ(out, "ok\n");
}

// Devices first, codes second: the device sheets add rows (with their names)
// and the code rows follow without names.
TEST_F(CiZc, DeviceWorkbookFirstAddsRowsThenCodeRowsWithoutNames) {
    const fs::path codes = MakeWorkbook(work, "codes", "xlsx", kCodes);
    const fs::path devices = MakeWorkbook(work, "devices", "xls", kDevices);
    CiZcRun run(doc);
    run.ReadWorkbook(devices);
    run.ReadWorkbook(codes);
    const auto& switches = run.List(kZcSwitches);
    ASSERT_EQ(switches.size(), 4u);
    EXPECT_EQ(switches[0].name, u"1");
    EXPECT_EQ(switches[0].zc, 0xFFFF);
    EXPECT_EQ(switches[2].name, u"");
    EXPECT_EQ(switches[2].codes[0], 10);
    EXPECT_TRUE(run.List(kZcLogicSections).empty());  // C2 = 0
}

// One number twice on either side: the first list row with it takes the name
// of the last device row read; the second list row stays without one.
TEST_F(CiZc, SameNumberTwice) {
    const fs::path book = MakeWorkbook(work, "both", "xls",
                                       {{"CI_ZC道岔码位",
                                         {{"码位表"},
                                          {"", "", "2"},
                                          {},
                                          {"A"},
                                          {"7", "1", "1", "1", "2"},
                                          {"7", "2", "2", "2", "2"}}},
                                        {"道岔", {{"编号", "名称"}, {"7", "P"}, {"7", "Q"}}}});
    CiZcRun run(doc);
    run.ReadWorkbook(book);
    const auto& switches = run.List(kZcSwitches);
    ASSERT_EQ(switches.size(), 2u);
    EXPECT_EQ(switches[0].name, u"Q");
    EXPECT_EQ(switches[1].name, u"");
}

TEST_F(CiZc, MissingInterfaceWorkbookOrCancelledPromptsWriteNothing) {
    int asked = 0;
    EXPECT_FALSE(GenerateCiZcWorkbook(&doc, ui, [&](const char*) -> std::optional<fs::path> {
        ++asked;
        return std::nullopt;  // both dialogs cancelled
    }));
    EXPECT_EQ(asked, 2);
    ASSERT_EQ(ui.Messages("warning").size(), 1u);
    EXPECT_NE(ui.Messages("warning")[0].find(kCiZcWorkbookName), std::string::npos);
    EXPECT_TRUE(ui.Messages("info").empty());  // no word of completion
    EXPECT_FALSE(fs::exists(Interface()));

    // Cancelled prompts with the workbook in place: the sheets keep their
    // headers, the routes get 65535.
    const fs::path template_ = MakeWorkbook(work, "interface", "xls", kInterface);
    fs::copy_file(template_, Interface());
    ui.log.clear();
    EXPECT_TRUE(GenerateCiZcWorkbook(&doc, ui, [](const char*) { return std::nullopt; }));
    ExcelHelper x;
    ASSERT_TRUE(x.OpenWorkbook(Interface()));
    ASSERT_TRUE(x.SelectSheet(u"道岔"));
    EXPECT_EQ(x.GetCell(2, 1), u"");
    ASSERT_TRUE(x.SelectSheet(u"进路"));
    EXPECT_EQ(x.GetCell(2, 4), u"65535");
}

}  // namespace
}  // namespace velkor
