#include <gtest/gtest.h>

#include "common/Text.h"
#include "demo/DemoStation.h"
#include "devices/RailSwitch.h"
#include "document/CVelkorDoc.h"
#include "document/Placing.h"
#include "iotables/TableEditing.h"
#include "siemens/ElementTable.h"
#include "support/LibreOffice.h"
#include "support/ScriptedInteraction.h"
#include "support/TestFiles.h"
#include "tables/CodeTables.h"
#include "workbook/ExcelHelper.h"

namespace velkor {
namespace {

using testing::ScriptedInteraction;
using testing::TempDir;

class Elements : public ::testing::Test {
protected:
    Elements() { doc.OnNewDocument(); }
    void Add(int table, std::u16string_view name, uint16_t address = 0) {
        Row r = NewEditorRow(table, address);
        r.SetName(name);
        doc.io.Append(table, r);
    }
    static Row Element(std::u16string_view name, std::u16string_view kind, uint16_t kindId) {
        Row e = CodeTables::NewRow(kElementCode);
        e.SetText(2, 64, name);
        e.SetText(66, 16, kind);
        e.SetU16(82, kindId);
        e.SetU16(96, 0xFFFF);
        return e;
    }
    ScriptedInteraction ui;
    CVelkorDoc doc{ui};
};

TEST_F(Elements, LinesSkipFNamesSwitchSectionsAndSortTheLogicTable) {
    doc.hasLogicSections = 1;
    Add(kSwitchTable, u"5F");
    Add(kSwitchTable, u"3");
    Add(kSignalTable, u"");
    Add(kSignalTable, u"X1");
    for (const char16_t* n : {u"D3", u"B2", u"3DGFA", u"7DGA", u"C1A", u"A1", u"7DGB", u"8DGA"})
        Add(kLogicSectionTable, n);
    Add(kSectionTable, u"IG");
    auto* sw = dynamic_cast<RailSwitch*>(PlaceObject(doc, {1, {300, 300}, {300, 300}}));
    sw->switchSection.SetName(u"7DG");
    std::vector<std::string> got;
    for (const ElementLine& l : ElementLines(doc))
        got.push_back(ToUtf8(l.name) + " " + l.kind + " " + l.number);
    EXPECT_EQ(got, (std::vector<std::string>{"3 weiche 200", "X1 signal 201", "8DGA gleis 207",
                                             "A1 gleis 207", "B2 gleis 207", "C1A kreuz 207",
                                             "D3 gleis 207", "IG freimeldung 213"}));
    // The document's logic table keeps the sorted order.
    std::vector<std::u16string> logic;
    for (const Row& r : doc.io.Table(kLogicSectionTable)) logic.push_back(r.Name());
    EXPECT_EQ(logic.front(), u"3DGFA");
    EXPECT_TRUE(std::is_sorted(logic.begin(), logic.end()));
}

// Putting the logic table in name order is one undo step; a table already
// in order makes none, so undo still goes back to the order before.
TEST_F(Elements, SortingTheLogicTableIsOneUndoStepAndASortedTableMakesNone) {
    TempDir dir;
    ASSERT_TRUE(doc.OnSaveDocument(dir / "S.lcp"));
    for (const char16_t* n : {u"B", u"A", u"C"}) Add(kLogicSectionTable, n);
    const auto names = [this] {
        std::u16string all;
        for (const Row& r : doc.io.Table(kLogicSectionTable)) all += r.Name();
        return all;
    };
    EXPECT_FALSE(LogicSectionsInNameOrder(doc.io));
    ASSERT_TRUE(WriteElementTable(doc));
    EXPECT_EQ(names(), u"ABC");
    EXPECT_TRUE(LogicSectionsInNameOrder(doc.io));
    ASSERT_TRUE(WriteElementTable(doc));
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(names(), u"BAC");
    EXPECT_FALSE(doc.Undo());
}

TEST_F(Elements, CreationNumbersKindsAndUpdateTakesTheSiemensColumns) {
    Add(kSectionTable, u"IG", 7);
    Add(kSwitchTable, u"1", 3);
    std::vector<Row> read = {Element(u"1", u"weiche", 200),         Element(u"G1", u"gleis", 207),
                             Element(u"K1", u"kreuz", 203),         Element(u"G2", u"gleis", 207),
                             Element(u"K2", u"kreuz", 203),         Element(u"G3", u"gleis", 207),
                             Element(u"IG", u"freimeldung", 213),   Element(u"ZZ", u"x", 131),
                             Element(u"M1", u"Initial_element", 99)};
    for (size_t i = 0; i < read.size(); ++i) read[i].SetU16(0, static_cast<uint16_t>(i));
    ASSERT_TRUE(ImportElements(doc, read, true));
    const auto& t = doc.codes.Table(kElementCode);
    ASSERT_EQ(t.size(), read.size() + 1);  // the Initial_element row again at the end
    const auto ixl = [&t](size_t i) { return t[i].U16(96); };
    EXPECT_EQ(ixl(0), 3);  // the switch row
    EXPECT_EQ((std::vector<uint16_t>{ixl(1), ixl(3), ixl(5)}), (std::vector<uint16_t>{0, 1, 2}));
    EXPECT_EQ((std::vector<uint16_t>{ixl(2), ixl(4)}), (std::vector<uint16_t>{0, 1}));
    EXPECT_EQ(ixl(6), 7);  // IG
    EXPECT_EQ(ixl(7), 0);  // 131 without a section row: the running number
    EXPECT_EQ(t[0].U16(98), 0);
    EXPECT_EQ(t[0].U16(100), 0xFFFF);
    EXPECT_EQ(t.back().Text(2, 64), u"M1");
    EXPECT_TRUE(doc.IsModified());
    ASSERT_TRUE(doc.Undo());
    EXPECT_TRUE(doc.codes.Table(kElementCode).empty());
    ASSERT_TRUE(doc.Redo());

    // Update: fmG12 of kind freimeldung finds G12; of kind gleis it does not.
    doc.codes.Table(kElementCode) = {Element(u"G12", u"freimeldung", 213),
                                     Element(u"G12", u"gleis", 207)};
    Row a = Element(u"fmG12", u"freimeldung", 213);
    a.SetU16(84, 41);
    Row b = Element(u"fmG12", u"gleis", 207);
    b.SetU16(84, 42);
    ASSERT_TRUE(ImportElements(doc, {a, b}, false));
    EXPECT_EQ(doc.codes.Table(kElementCode)[0].U16(84), 41);
    EXPECT_EQ(doc.codes.Table(kElementCode)[1].U16(84), 0);  // untouched
}

// A workbook saved by LibreOffice (.xls and .xlsx) reads back; an empty J
// cell gives 0xFFFF; a workbook without the sheet is said.
TEST_F(Elements, WorkbooksFromLibreOfficeRead) {
    TempDir dir;
    const std::string csv =
        "A,B,C,D,E,F,G,H,I,J,K,L,M\n"
        "1,weiche,200,1,2,3,4,5,6,,0,0,0\n"
        "G1,gleis,207,7,8,9,10,11,12,70000,0,0,0\n";
    testing::WriteBytes(dir / "interface_elements.csv",
                        std::vector<uint8_t>(csv.begin(), csv.end()));
    for (const char* ext : {"xls", "xlsx"}) {
        SCOPED_TRACE(ext);
        testing::Convert(dir, ext, {dir / "interface_elements.csv"}, "CSV:44,34,76,1");
        std::vector<Row> rows;
        ASSERT_TRUE(ReadElementWorkbook(dir / (std::string("interface_elements.") + ext),
                                        DefaultFileStore(), rows));
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0].Text(2, 64), u"1");
        EXPECT_EQ(rows[0].U16(84), 1);
        EXPECT_EQ(rows[0].U16(96), 0xFFFF);  // empty J
        EXPECT_EQ(rows[1].U16(96), 70000 % 65536);
        EXPECT_EQ(rows[1].U16(0), 1);
    }
    ExcelHelper x;
    x.NewWorkbook(u"other");
    ASSERT_TRUE(x.SaveAs(dir / "other.xls"));
    std::vector<Row> rows;
    const Status s = ReadElementWorkbook(dir / "other.xls", DefaultFileStore(), rows);
    EXPECT_FALSE(s);
    EXPECT_EQ(s.Message(), kMsgNoElementSheet);
}

// The element workbook of the demo station read back by xlrd and by
// LibreOffice: one line per element from row 2, every cell a text.
TEST_F(Elements, DemoElementWorkbookReadBackByTwoReaders) {
    TempDir dir;
    BuildDemoStation(doc, {});
    ASSERT_TRUE(doc.OnSaveDocument(dir / "Demo.lcp"));
    const std::vector<ElementLine> lines = ElementLines(doc);
    ASSERT_GT(lines.size(), 10u);
    ASSERT_TRUE(WriteElementTable(doc));
    const fs::path book = dir / PathFromUtf8(kElementWorkbook);
    const auto [rc, out] = testing::RunCommand(
        dir, "/usr/bin/python3 '" +
                 PathToUtf8(fs::path(VELKOR_FIXTURES_DIR) / "workbook" / "xls_cells.py") + "' '" +
                 PathToUtf8(book) + "'");
    ASSERT_EQ(rc, 0) << out;
    std::string want;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string r = std::to_string(i + 2);
        want += "interface_elements\t" + r + "\t1\ttext\t" + ToUtf8(lines[i].name) + "\n";
        want += "interface_elements\t" + r + "\t2\ttext\t" + lines[i].kind + "\n";
        want += "interface_elements\t" + r + "\t3\ttext\t" + lines[i].number + "\n";
    }
    EXPECT_EQ(out, want);
    fs::copy_file(book, dir / "elements.xls");
    testing::Convert(dir, "csv:Text - txt - csv (StarCalc):44,34,76,1", {dir / "elements.xls"});
    const auto csv = testing::ReadBytes(dir / "elements.csv");
    const auto rows = testing::ParseCsv(std::string(csv.begin(), csv.end()));
    ASSERT_EQ(rows.size(), lines.size() + 1);  // row 1 is empty
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(rows[i + 1], (std::vector<std::string>{ToUtf8(lines[i].name), lines[i].kind,
                                                         lines[i].number}));
    }
}

}  // namespace
}  // namespace velkor
