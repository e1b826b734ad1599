#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <tuple>

#include "common/Text.h"
#include "demo/DemoStation.h"
#include "devices/CADSection.h"
#include "devices/CADSignal.h"
#include "devices/Composites.h"
#include "devices/PanelObjects.h"
#include "devices/RailSwitch.h"
#include "document/CVelkorDoc.h"
#include "document/Placing.h"
#include "iotables/CheckExports.h"
#include "iotables/TableEditing.h"
#include "support/LibreOffice.h"
#include "support/ScriptedInteraction.h"
#include "support/TestFiles.h"
#include "tables/CodeTables.h"

namespace velkor {
namespace {

using testing::ReadBytes;
using testing::ScriptedInteraction;
using testing::TempDir;

std::string Utf8(const std::string& gbk) { return ToUtf8(FromGbk(gbk)); }

// The lines of a GBK text view, decoded.
std::string TextView(const CheckSheet& sheet) { return Utf8(CheckTextView(sheet)); }

TEST(CheckSheets, TextViewLinesAsTheTablesFormatThem) {
    IoTables t;
    Row section = IoTables::NewRow(kSectionTable);
    section.SetName(u"1DG");
    section.SetU16(io::kAddress, 5);
    section.SetU16(io::kButton, 0x0530);
    section.SetU16(io::kWord, 0);
    section.SetU16(io::kBit, 10);
    section.SetU16(io::kSectionGJ, 0x0102);
    section.SetU16(io::kSectionFWZTJ, 0xFFFF);
    t.Append(kSectionTable, section);
    Row signal = NewEditorRow(kSignalTable, 0);
    signal.SetName(u"X1");
    signal.SetU16(io::kSignalType, 40);  // no type of the eighteen
    t.Append(kSignalTable, signal);
    const auto sheets = InputTableSheets(t);
    ASSERT_EQ(sheets.size(), 5u);
    EXPECT_EQ(TextView(sheets[0]),
              "名称\t地址号\t按钮号\t字号\t位号\tGJ\tFWZTJ\t\r\n"
              "1DG\t5\t0X0530\t0X0000\t0X000A\t0X0102\t0XFFFF\r\n");
    // Signal lines: 按钮号2, then 类型 (no name for a type out of range), then
    // all ten relays, with a tab at the end.
    const std::string signalView = TextView(sheets[2]);
    EXPECT_NE(signalView.find("\r\nX1\t0\t0X0010\t0X0000\t0X0000\t0X8010\t\t0XFFFF\t"),
              std::string::npos)
        << signalView;
    EXPECT_EQ(signalView.substr(signalView.size() - 9), "0XFFFF\t\r\n");
    // An empty table: the header line only.
    EXPECT_EQ(TextView(sheets[4]), "名称\t地址号\t按钮号\t字号\t位号\t继电器\t\r\n");
    EXPECT_EQ(Utf8(sheets[3].headers.back()), "物理区段地址");

    CodeTables codes;
    Row physical = CodeTables::NewPhysicalRow();
    physical.SetText(0, 16, u"3DG");
    const RecordDesc& pd = PhysicalSectionCodeDesc();
    physical.SetU16(pd.Field("物理区段编号")->offset, 0x0102);
    physical.SetU16(pd.Field("起始编号")->offset, 1);
    physical.SetU16(pd.Field("终止编号")->offset, 2);
    codes.physical.push_back(physical);
    const auto siemens = SiemensSheets(codes);
    ASSERT_EQ(siemens.size(), 6u);
    EXPECT_EQ(siemens[2].name, "PhysicalSectionCode");
    EXPECT_EQ(TextView(siemens[2]),
              "物理区段名称\t物理区段编号\t起始编号\t终止编号\t\r\n3DG\t258\t1\t2\t\r\n");
    EXPECT_EQ(siemens[0].name, "ElementCode");
    EXPECT_EQ(siemens[0].headers.size(), 14u);
}

class CheckFiles : public ::testing::Test {
protected:
    CheckFiles() { doc.OnNewDocument(); }
    fs::path Out(const char* name) { return dir / "CheckIOExcel" / PathFromUtf8(name); }
    TempDir dir;
    ScriptedInteraction ui;
    CVelkorDoc doc{ui};
};

TEST_F(CheckFiles, StationRowsLogicSheetAndASecondRun) {
    doc.hasLogicSections = 0;
    Row logic = NewEditorRow(kLogicSectionTable, 0);
    logic.SetName(u"1DGA");
    doc.io.Append(kLogicSectionTable, logic);
    PlaceObject(doc, {0, {100, 100}, {300, 100}});
    auto* box = dynamic_cast<CADStation*>(PlaceObject(doc, {17, {400, 300}, {400, 300}}));
    ASSERT_NE(box, nullptr);
    box->name = u"东站";
    box->upperDoor = 0;
    box->lowerDoor = 1;
    box->buttons[2].io.SetName(u"B3");
    box->buttons[3].io.SetName(u"B4");
    box->doors[1].io.SetName(u"下门");
    const auto drawing = DrawingIoSheets(doc);
    ASSERT_EQ(drawing.size(), 5u);
    // Without logic sections: headers only, while the input tables list the table.
    EXPECT_TRUE(drawing[3].rows.empty());
    EXPECT_EQ(InputTableSheets(doc.io)[3].rows.size(), 1u);
    // The box with only the lower door: buttons 3 and 4 and the lower door.
    ASSERT_EQ(drawing[4].rows.size(), 3u);
    EXPECT_EQ(Utf8(drawing[4].rows[0][0]), "B3");
    EXPECT_EQ(Utf8(drawing[4].rows[1][0]), "B4");
    EXPECT_EQ(Utf8(drawing[4].rows[2][0]), "下门");
    EXPECT_EQ(Utf8(drawing[4].rows[2][5]), "东站");
    EXPECT_EQ(drawing[0].rows[0].size(), 9u);  // with the station and gate IDs

    ASSERT_TRUE(doc.OnSaveDocument(dir / "S.lcp"));
    ui.log.clear();
    ASSERT_TRUE(GenerateCheckFiles(doc));
    EXPECT_EQ(ui.Messages("info"), std::vector<std::string>{kMsgChecksDone});
    EXPECT_TRUE(ui.Messages("warning").empty());
    const auto sectionText = ReadBytes(Out("textView/区段IO信息表.txt"));
    const auto workbook = ReadBytes(Out("IO信息输入表.xls"));

    // Second run after a table changed: the workbooks are written again, the
    // text files stay, and each text step says so once.
    doc.io.Table(kLogicSectionTable)[0].SetName(u"1DGB");
    ui.log.clear();
    ASSERT_TRUE(GenerateCheckFiles(doc));
    EXPECT_EQ(ui.Messages("warning"),
              (std::vector<std::string>{kMsgIoTextExists, kMsgSiemensTextExists}));
    EXPECT_EQ(ReadBytes(Out("textView/区段IO信息表.txt")), sectionText);
    EXPECT_NE(ReadBytes(Out("IO信息输入表.xls")), workbook);
}

// What a workbook should hold, walked from the tables and the drawing here:
// sheet, row, column → text.
using Cells = std::map<std::tuple<std::string, uint32_t, uint32_t>, std::string>;

std::string Hex(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0X%04X", v);
    return buf;
}

void PutRow(Cells& cells, const std::string& sheet, uint32_t row,
            const std::vector<std::string>& values) {
    for (size_t c = 0; c < values.size(); ++c) {
        if (!values[c].empty()) cells[{sheet, row, static_cast<uint32_t>(c + 1)}] = values[c];
    }
}

std::vector<std::string> Record(const std::u16string& name, const IORecord& r) {
    return {ToUtf8(name), std::to_string(r.address), Hex(r.button), Hex(r.word), Hex(r.bit)};
}

Cells ExpectedInputWorkbook(const IoTables& t) {
    Cells cells;
    struct Sheet {
        const char* name;
        int table;
        std::vector<std::string> extraHeaders;
        std::vector<size_t> extraOffsets;
    };
    const Sheet sheets[] = {
        {"区段IO信息表", kSectionTable, {"GJ", "FWZTJ"}, {26, 28}},
        {"道岔IO信息表", kSwitchTable, {"DBJ", "FBJ", "SJ"}, {26, 28, 30}},
        {"信号机IO信息表",
         kSignalTable,
         {"按钮号2", "类型", "LXJ", "ZXJ", "DXJ", "TXJ", "LUXJ", "YXJ", "DJ", "2DJ", "DDJ", "SGJ"},
         {28, 26, 30, 32, 34, 36, 38, 40, 42, 44, 46, 48}},
        {"逻辑区段IO信息表", kLogicSectionTable, {"物理区段地址"}, {26}},
        {"零散信息IO信息表", kLingsanTable, {"继电器"}, {26}},
    };
    for (const Sheet& s : sheets) {
        std::vector<std::string> header = {"名称", "地址号", "按钮号", "字号", "位号"};
        header.insert(header.end(), s.extraHeaders.begin(), s.extraHeaders.end());
        PutRow(cells, s.name, 1, header);
        uint32_t r = 2;
        for (const Row& row : t.Table(s.table)) {
            std::vector<std::string> v = {ToUtf8(row.Name()), std::to_string(row.U16(16)),
                                          Hex(row.U16(18)), Hex(row.U16(20)), Hex(row.U16(22))};
            for (size_t o : s.extraOffsets) {
                if (s.table == kSignalTable && o == 26) {
                    const uint16_t type = row.U16(26);
                    v.push_back(type < 18 ? kSignalTypeNames[type] : "");
                } else {
                    v.push_back(Hex(row.U16(o)));
                }
            }
            PutRow(cells, s.name, r++, v);
        }
    }
    return cells;
}

Cells ExpectedDrawingWorkbook(const CVelkorDoc& doc) {
    Cells cells;
    const std::vector<std::string> header = {"名称", "地址号", "按钮号", "字号", "位号"};
    for (const char* s : {"区段IO信息表", "道岔IO信息表", "信号机IO信息表", "逻辑区段IO信息表",
                          "零散信息IO信息表"}) {
        PutRow(cells, s, 1, header);
    }
    PutRow(cells, "区段IO信息表", 1,
           {"名称", "地址号", "按钮号", "字号", "位号", "上行站台ID", "下行站台ID", "防淹门ID1",
            "防淹门ID2"});
    std::map<std::string, uint32_t> next;
    const auto add = [&](const std::string& sheet, std::vector<std::string> v) {
        uint32_t& r = next[sheet];
        if (r == 0) r = 2;
        PutRow(cells, sheet, r++, v);
    };
    for (const auto& o : doc.Objects()) {
        if (auto* s = dynamic_cast<const CADSection*>(o.get())) {
            auto v = Record(s->nameLabel.text, s->io);
            for (uint32_t x : {uint32_t{s->upStation}, uint32_t{s->downStation},
                               uint32_t{s->floodGate1}, uint32_t{s->floodGate2}}) {
                v.push_back(Hex(x));
            }
            add("区段IO信息表", v);
            if (doc.hasLogicSections) add("逻辑区段IO信息表", Record(s->logic.Name(), s->logic));
        } else if (auto* sw = dynamic_cast<const RailSwitch*>(o.get())) {
            add("道岔IO信息表", Record(sw->io.Name(), sw->io));
            for (int k = 0; doc.hasLogicSections && k < doc.logicSectionsPerSwitch; ++k) {
                const IORecord& l = sw->logic[static_cast<size_t>(k)];
                add("逻辑区段IO信息表", Record(l.Name(), l));
            }
        } else if (auto* g = dynamic_cast<const CADSignal*>(o.get())) {
            add("信号机IO信息表", Record(g->io.Name(), g->io));
        } else if (auto* lamp = dynamic_cast<const CADDeLight*>(o.get())) {
            add("零散信息IO信息表", Record(lamp->io.Name(), lamp->io));
        } else if (auto* box = dynamic_cast<const CADStation*>(o.get())) {
            const bool lower = box->lowerDoor != 0, upper = box->upperDoor != 0;
            const IORecord* rows[] = {&box->buttons[lower ? 2 : 0].io,
                                      &box->buttons[lower   ? 3
                                                    : upper ? 1
                                                            : 0]
                                           .io,
                                      &box->doors[lower ? 1 : 0].io};
            for (const IORecord* r : rows) {
                auto v = Record(r->Name(), *r);
                v.push_back(ToUtf8(box->name));
                add("零散信息IO信息表", v);
            }
        }
    }
    return cells;
}

Cells ExpectedSiemensWorkbook(const CodeTables& c) {
    Cells cells;
    const auto sheet = [&](const RecordDesc& d, const std::vector<Row>& rows) {
        std::vector<std::string> header;
        for (const FieldDesc& f : d.fields) header.push_back(f.header);
        PutRow(cells, d.name, 1, header);
        uint32_t r = 2;
        for (const Row& row : rows) {
            std::vector<std::string> v;
            for (const FieldDesc& f : d.fields) {
                v.push_back(f.type == FieldType::Text ? ToUtf8(row.Text(f.offset, f.size))
                                                      : std::to_string(row.U16(f.offset)));
            }
            PutRow(cells, d.name, r++, v);
        }
    };
    sheet(CodeTableDesc(kElementCode), c.Table(kElementCode));
    sheet(CodeTableDesc(kTrackSectionCode), c.Table(kTrackSectionCode));
    sheet(PhysicalSectionCodeDesc(), c.physical);
    sheet(CodeTableDesc(kCrossCode), c.Table(kCrossCode));
    sheet(CodeTableDesc(kSwitchCode), c.Table(kSwitchCode));
    sheet(CodeTableDesc(kSwitSectCode), c.Table(kSwitSectCode));
    return cells;
}

// Every cell as xlrd reads it, each required to be a text cell.
Cells ReadWithXlrd(const TempDir& dir, const fs::path& book) {
    const auto [rc, out] = testing::RunCommand(
        dir, "/usr/bin/python3 '" +
                 PathToUtf8(fs::path(VELKOR_FIXTURES_DIR) / "workbook" / "xls_cells.py") + "' '" +
                 PathToUtf8(book) + "'");
    EXPECT_EQ(rc, 0) << out;
    Cells cells;
    size_t start = 0;
    while (start < out.size()) {
        const size_t end = out.find('\n', start);
        const std::string line = out.substr(start, end - start);
        start = end == std::string::npos ? out.size() : end + 1;
        if (line.empty()) continue;
        std::vector<std::string> f;
        size_t p = 0;
        for (size_t q; (q = line.find('\t', p)) != std::string::npos; p = q + 1)
            f.push_back(line.substr(p, q - p));
        f.push_back(line.substr(p));
        if (f.size() != 5) continue;
        EXPECT_EQ(f[3], "text") << f[0] << " " << f[1] << "," << f[2];
        if (f[4].empty()) continue;  // an empty name: an empty text, as no cell
        cells[{f[0], std::stoul(f[1]), std::stoul(f[2])}] = f[4];
    }
    return cells;
}

// Every cell as LibreOffice reads it (one CSV per sheet).
Cells ReadWithLibreOffice(const TempDir& dir, const fs::path& book, const Cells& expected) {
    testing::Convert(dir, testing::kCsvAllSheets, {book});
    std::set<std::string> sheets;
    for (const auto& [key, value] : expected) sheets.insert(std::get<0>(key));
    Cells cells;
    for (const std::string& sheet : sheets) {
        const fs::path csv =
            dir.Path() / PathFromUtf8(PathToUtf8(book.stem()) + "-" + sheet + ".csv");
        const auto bytes = ReadBytes(csv);
        const auto rows = testing::ParseCsv(std::string(bytes.begin(), bytes.end()));
        for (uint32_t r = 1; r <= rows.size(); ++r) {
            for (uint32_t c = 1; c <= rows[r - 1].size(); ++c) {
                const std::string v = testing::CsvCell(rows, r, c);
                if (!v.empty()) cells[{sheet, r, c}] = v;
            }
        }
    }
    return cells;
}

// The cells that differ, named, rather than two whole maps.
void ExpectSameCells(const Cells& got, const Cells& want, const char* reader) {
    for (const auto& [key, value] : want) {
        const auto it = got.find(key);
        EXPECT_TRUE(it != got.end() && it->second == value)
            << reader << " " << std::get<0>(key) << " " << std::get<1>(key) << ","
            << std::get<2>(key) << ": want \"" << value << "\", got \""
            << (it == got.end() ? "(none)" : it->second) << "\"";
    }
    for (const auto& [key, value] : got) {
        EXPECT_TRUE(want.count(key))
            << reader << " " << std::get<0>(key) << " " << std::get<1>(key) << ","
            << std::get<2>(key) << ": unexpected \"" << value << "\"";
    }
}

// The demo station's three workbooks, read back by two readers, hold exactly
// what walks over its tables and drawing expect, every cell a text.
TEST_F(CheckFiles, DemoWorkbooksReadBackCellForCell) {
    BuildDemoStation(doc, {});
    ASSERT_TRUE(doc.OnSaveDocument(dir / "Demo.lcp"));
    ASSERT_TRUE(GenerateCheckFiles(doc));
    const struct {
        const char* file;
        Cells expected;
    } books[] = {{"IO信息输入表.xls", ExpectedInputWorkbook(doc.io)},
                 {"站场信息IO表.xls", ExpectedDrawingWorkbook(doc)},
                 {"西门子信息表.xls", ExpectedSiemensWorkbook(doc.codes)}};
    for (const auto& b : books) {
        SCOPED_TRACE(b.file);
        ASSERT_GT(b.expected.size(), 20u);
        TempDir work;
        const fs::path copy = work / "book.xls";
        fs::copy_file(Out(b.file), copy);
        ExpectSameCells(ReadWithXlrd(work, copy), b.expected, "xlrd");
        ExpectSameCells(ReadWithLibreOffice(work, copy, b.expected), b.expected, "LibreOffice");
    }
}

}  // namespace
}  // namespace velkor
