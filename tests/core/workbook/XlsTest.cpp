#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "common/Bytes.h"
#include "common/Files.h"
#include "common/Text.h"
#include "support/TestFiles.h"
#include "support/WorkbookCells.h"
#include "workbook/CompoundFile.h"
#include "workbook/Workbook.h"

namespace velkor {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

const auto& Text = testing::TextCell;
const auto& Number = testing::NumberCell;

TEST(CompoundFile, StreamsRoundTripInMiniAndBigSectors) {
    std::vector<CompoundStream> streams = {
        {u"Workbook", std::vector<uint8_t>(100, 7)},
        {u"Big", std::vector<uint8_t>(5000, 9)},
        {u"Exact", std::vector<uint8_t>(4096, 3)},
        {u"Empty", {}},
    };
    streams[1].data[4999] = 1;
    const auto file = WriteCompoundFile(streams);
    Status error;
    const auto back = ReadCompoundFile(file, &error);
    ASSERT_TRUE(back) << error.Message();
    ASSERT_EQ(back->size(), streams.size());
    for (const auto& s : streams) {
        const auto it = std::find_if(back->begin(), back->end(),
                                     [&](const auto& b) { return b.name == s.name; });
        ASSERT_NE(it, back->end());
        EXPECT_EQ(it->data, s.data);
    }
}

TEST(CompoundFile, AStreamInPiecesIsWrittenAsTheJoinedStream) {
    // Pieces that end inside a sector, an empty piece, and streams that fall
    // into the mini stream and into whole sectors.
    std::vector<uint8_t> bytes(9000);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 256);
    const std::span<const uint8_t> all(bytes);
    for (size_t size : {100u, 4095u, 4096u, 9000u}) {
        const auto stream = all.first(size);
        const size_t cut1 = size / 3, cut2 = size / 3 + 1;
        const std::vector<CompoundPieces> pieces = {
            {u"Workbook",
             {stream.first(cut1), stream.subspan(cut1, 0), stream.subspan(cut1, cut2 - cut1),
              stream.subspan(cut2)}},
            {u"Other", {all.first(50)}}};
        const std::vector<CompoundStream> joined = {
            {u"Workbook", std::vector<uint8_t>(stream.begin(), stream.end())},
            {u"Other", std::vector<uint8_t>(bytes.begin(), bytes.begin() + 50)}};
        EXPECT_EQ(WriteCompoundFile(pieces), WriteCompoundFile(joined)) << size;
    }
}

TEST(CompoundFile, AllocationTablesAroundTheHeadersHundredAndNineSectors) {
    // 109 allocation sectors are the most the header lists; one more needs a
    // DIFAT sector.
    for (size_t sectors : {13800u, 13840u, 13860u, 13950u}) {
        std::vector<uint8_t> data(sectors * 512);
        for (size_t i = 0; i < data.size(); i += 4093) data[i] = static_cast<uint8_t>(i);
        const auto file = WriteCompoundFile({{u"Workbook", data}});
        const auto back = ReadCompoundFile(file);
        ASSERT_TRUE(back) << sectors;
        EXPECT_EQ((*back)[0].data, data) << sectors;
    }
}

TEST(CompoundFile, DamagedContainersAreRefused) {
    const auto file = WriteCompoundFile({{u"Workbook", std::vector<uint8_t>(6000, 1)}});
    const uint32_t fatSector = GetU32LE(file.data() + 76);
    auto loop = file;
    PutU32LE(loop.data() + 512 * (fatSector + 1), 0);  // sector 0 follows itself
    auto outside = file;
    PutU32LE(outside.data() + 512 * (fatSector + 1), 100000);  // past the end
    auto huge = file;
    PutU32LE(huge.data() + 44, 0x7FFFFFFF);  // more allocation sectors than the file
    PutU32LE(huge.data() + 68, 5);
    const std::vector<std::vector<uint8_t>> bad = {
        {}, std::vector<uint8_t>(file.begin(), file.begin() + 700), loop, outside, huge};
    for (size_t i = 0; i < bad.size(); ++i) {
        Status error;
        EXPECT_FALSE(ReadCompoundFile(bad[i], &error)) << i;
        EXPECT_FALSE(error.Message().empty()) << i;
    }
}

Workbook Sample() {
    Workbook book;
    WorkbookSheet s;
    s.name = u"码位表";
    s.cells[{1, 1}] = Text(u"名称");
    s.cells[{1, 2}] = Text(u"0x0012");
    s.cells[{2, 1}] = Text(u"1DG");
    s.cells[{2, 2}] = Number(12.6);
    s.columns[1].width = 20 * 256;
    s.rows[1].height = 1000;
    book.sheets.push_back(s);
    WorkbookSheet big;
    big.name = u"Big";
    // Over 8,224 bytes of strings: the table goes on in CONTINUE records and
    // long strings are cut across their boundaries.
    for (uint32_t r = 1; r <= 400; ++r) {
        big.cells[{r, 1}] =
            Text(u"站场信息" + FromUtf8(std::to_string(r)) + std::u16string(r % 37, u'x'));
        big.cells[{r, 2}] = Text(std::u16string(3000 + r, u'长'));
    }
    book.sheets.push_back(big);
    return book;
}

TEST(Xls, WrittenWorkbooksReadBack) {
    const Workbook book = Sample();
    const auto file = WriteXls(book);
    Status error;
    const auto back = ReadXls(file, &error);
    ASSERT_TRUE(back) << error.Message();
    ASSERT_EQ(back->sheets.size(), 2u);
    EXPECT_EQ(back->sheets[0].name, u"码位表");
    EXPECT_EQ(CellText(back->sheets[0].cells.at({1, 1})), u"名称");
    EXPECT_EQ(CellText(back->sheets[0].cells.at({1, 2})), u"0x0012");
    EXPECT_EQ(CellText(back->sheets[0].cells.at({2, 2})), u"13");
    EXPECT_EQ(back->sheets[0].columns.at(1).width, 20 * 256);
    for (const auto& [pos, cell] : book.sheets[1].cells) {
        ASSERT_TRUE(back->sheets[1].cells.count(pos)) << pos.first;
        EXPECT_EQ(back->sheets[1].cells.at(pos).text, cell.text) << pos.first << "," << pos.second;
    }
}

TEST(Xls, DatesReadAsTheirParts) {
    WorkbookCell d;
    d.kind = WorkbookCell::Kind::Date;
    d.number = 45678.5;  // 2025-01-21 12:00:00
    EXPECT_EQ(CellText(d), u"2025-1-21 12:0:0");
}

TEST(Xls, XlrdReadsWhatVelkorWrites) {
    TempDir dir;
    const auto file = WriteXls(Sample());
    WriteBytes(dir / "book.xls", file);
    const std::string script = PathToUtf8(dir / "check.py");
    std::ofstream(script) << "import sys, xlrd\n"
                             "b = xlrd.open_workbook(sys.argv[1])\n"
                             "s = b.sheet_by_index(0)\n"
                             "assert b.sheet_names()[0] == '码位表', b.sheet_names()\n"
                             "assert s.cell_value(0, 0) == '名称'\n"
                             "assert s.cell_value(1, 1) == 12.6\n"
                             "t = b.sheet_by_index(1)\n"
                             "assert t.nrows == 400, t.nrows\n"
                             "assert t.cell_value(399, 1) == '长' * 3400\n"
                             "assert t.cell_value(36, 0) == '站场信息37'\n"
                             "print('ok')\n";
    const std::string cmd = "/usr/bin/python3 " + script + " " + PathToUtf8(dir / "book.xls") +
                            " > " + PathToUtf8(dir / "out.txt") + " 2>&1";
    const int rc = std::system(cmd.c_str());
    const auto out = ReadBytes(dir / "out.txt");
    EXPECT_EQ(rc, 0) << std::string(out.begin(), out.end());
    EXPECT_EQ(std::string(out.begin(), out.end()), "ok\n");
}

TEST(Xls, OtherFilesAreRefusedWithAReason) {
    Status error;
    EXPECT_FALSE(ReadXls(std::vector<uint8_t>(600, 0), &error));
    EXPECT_EQ(error.Message(), "not a compound file");
    const auto book5 = WriteCompoundFile({{u"Book", std::vector<uint8_t>(200, 0)}});
    EXPECT_FALSE(ReadXls(book5, &error));
    EXPECT_EQ(error.Message(), "BIFF5 或更早版本的工作簿不受支持");
    // A workbook stream cut inside a record.
    std::vector<uint8_t> stream = {0x09, 0x08, 0x10, 0x00, 0x00, 0x06, 0x05, 0x00};
    EXPECT_FALSE(ReadXls(WriteCompoundFile({{u"Workbook", stream}}), &error));
}

}  // namespace
}  // namespace velkor

namespace velkor {
namespace {

TEST(Xls, BlankCellsBooleansDatesMergesAndSheetStatesRoundTrip) {
    Workbook book;
    WorkbookSheet a;
    a.name = u"接口";
    WorkbookCell blank;
    blank.kind = WorkbookCell::Kind::Blank;
    a.cells[{1, 1}] = blank;
    WorkbookCell yes;
    yes.kind = WorkbookCell::Kind::Boolean;
    yes.number = 1;
    a.cells[{1, 2}] = yes;
    WorkbookCell date;
    date.kind = WorkbookCell::Kind::Date;
    date.number = 45678.5;
    a.cells[{2, 1}] = date;
    // More merged areas than one record holds.
    for (uint32_t r = 1; r <= 1500; ++r) a.merges.push_back({r + 10, r + 10, 1, 3});
    book.sheets.push_back(a);
    WorkbookSheet b;
    b.name = u"隐藏";
    b.visibility = 1;
    b.cells[{1, 1}] = Text(u"x");
    book.sheets.push_back(b);

    Status error;
    const auto back = ReadXls(WriteXls(book), &error);
    ASSERT_TRUE(back) << error.Message();
    ASSERT_EQ(back->sheets.size(), 2u);
    const auto& cells = back->sheets[0].cells;
    ASSERT_TRUE(cells.count({1, 1}));
    EXPECT_EQ(cells.at({1, 1}).kind, WorkbookCell::Kind::Blank);
    EXPECT_EQ(CellText(cells.at({1, 1})), u"");
    EXPECT_EQ(cells.at({1, 2}).kind, WorkbookCell::Kind::Boolean);
    EXPECT_EQ(CellText(cells.at({1, 2})), u"1");
    EXPECT_EQ(cells.at({2, 1}).kind, WorkbookCell::Kind::Date);
    EXPECT_EQ(CellText(cells.at({2, 1})), u"2025-1-21 12:0:0");
    EXPECT_EQ(back->sheets[0].merges, a.merges);
    EXPECT_EQ(back->sheets[0].visibility, 0);
    EXPECT_EQ(back->sheets[1].visibility, 1);
    // Only the first sheet is selected: all selected would group the sheets.
    for (size_t i = 0; i < 2; ++i) {
        const auto& after = back->sheets[i].settingsAfter;
        const auto win = std::find_if(after.begin(), after.end(),
                                      [](const auto& r) { return r.type == 0x023E; });
        ASSERT_NE(win, after.end()) << i;
        EXPECT_EQ((GetU16LE(win->body.data()) & 0x0200) != 0, i == 0) << i;
    }
}

TEST(Xls, SavingAReadWorkbookAgainAndAgainDoesNotGrowIt) {
    Workbook book = Sample();
    book.sheets[0].cells[{1, 1}].bold = true;
    Status error;
    auto once = ReadXls(WriteXls(book), &error);
    ASSERT_TRUE(once && once->formats) << error.Message();
    const size_t formats = once->formats->xfs.size();
    const auto second = WriteXls(*once);
    auto twice = ReadXls(second, &error);
    ASSERT_TRUE(twice) << error.Message();
    EXPECT_EQ(twice->formats->xfs.size(), formats);
    EXPECT_EQ(WriteXls(*twice), second);
    // A header made bold in the read workbook gets the writer's formats
    // behind the workbook's own, once.
    twice->sheets[0].cells[{3, 1}] = Text(u"新");
    twice->sheets[0].cells[{3, 1}].bold = true;
    auto thrice = ReadXls(WriteXls(*twice), &error);
    ASSERT_TRUE(thrice) << error.Message();
    EXPECT_EQ(thrice->formats->xfs.size(), formats + 3);
    EXPECT_EQ(thrice->sheets[0].cells.at({3, 1}).xf, static_cast<int32_t>(formats));
    EXPECT_EQ(ReadXls(WriteXls(*thrice))->formats->xfs.size(), formats + 3);
}

TEST(Xls, DatesOfA1904WorkbookReadAsTheirDays) {
    Workbook book;
    WorkbookSheet s;
    s.name = u"S";
    WorkbookCell date;
    date.kind = WorkbookCell::Kind::Date;
    date.number = 45678.0 - 1462;  // 2025-01-21 counted from 1904-01-01
    s.cells[{1, 1}] = date;
    book.sheets.push_back(s);
    auto streams = ReadCompoundFile(WriteXls(book));
    ASSERT_TRUE(streams);
    auto& data = (*streams)[0].data;
    // The code page record (two bytes) becomes DATEMODE 1: same length, so
    // every stream offset stays right.
    bool found = false;
    for (size_t pos = 0; pos + 4 <= data.size(); pos += 4 + GetU16LE(&data[pos + 2])) {
        if (GetU16LE(&data[pos]) == 0x0042) {
            PutU16LE(&data[pos], 0x0022);
            PutU16LE(&data[pos + 4], 1);
            found = true;
            break;
        }
    }
    ASSERT_TRUE(found);
    Status error;
    const auto back = ReadXls(WriteCompoundFile(*streams), &error);
    ASSERT_TRUE(back) << error.Message();
    EXPECT_EQ(CellText(back->sheets[0].cells.at({1, 1})), u"2025-1-21 0:0:0");
}

}  // namespace
}  // namespace velkor

namespace velkor {
namespace {

TEST(Xls, SheetsCopiedMovedAndDroppedKeepTheirOwnCells) {
    auto original = std::make_unique<Workbook>();
    for (int s = 0; s < 3; ++s) {
        WorkbookSheet sheet;
        sheet.name = u"S" + FromUtf8(std::to_string(s));
        for (uint32_t r = 1; r <= 5000; ++r)
            sheet.cells[{r, 1}] = Text(u"行" + FromUtf8(std::to_string(r)));
        // Sheets move inside the vector as others go in front of them.
        original->sheets.insert(original->sheets.begin(), std::move(sheet));
    }
    Workbook copy = *original;
    copy.sheets[0].cells[{1, 1}].text = u"改";
    copy.sheets[1].cells = original->sheets[2].cells;  // copy assignment between sheets
    EXPECT_EQ(original->sheets[0].cells.at({1, 1}).text, u"行1");
    original.reset();  // the copy's cells live on their own
    EXPECT_EQ(copy.sheets[0].name, u"S2");
    EXPECT_EQ(copy.sheets[0].cells.at({1, 1}).text, u"改");
    EXPECT_EQ(copy.sheets[1].cells.at({5000, 1}).text, u"行5000");
    EXPECT_EQ(copy.sheets[2].cells.size(), 5000u);
    // A sheet whose cells were moved away takes new ones.
    WorkbookSheet moved = std::move(copy.sheets[1]);
    copy.sheets[1].cells[{2, 2}] = Text(u"新");
    EXPECT_EQ(moved.cells.size(), 5000u);
    EXPECT_EQ(copy.sheets[1].cells.size(), 1u);
    std::swap(copy.sheets[0].cells, copy.sheets[2].cells);
    EXPECT_EQ(copy.sheets[2].cells.at({1, 1}).text, u"改");
    const auto back = ReadXls(WriteXls(copy));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->sheets[2].cells.at({1, 1}).text, u"改");
}

}  // namespace
}  // namespace velkor

namespace velkor {
namespace {

TEST(Xls, AnOlderWorkbookIsUnsupportedAndADamagedOneDamaged) {
    Status status;
    EXPECT_FALSE(ReadXls(WriteCompoundFile({{u"Book", std::vector<uint8_t>(200, 0)}}), &status));
    EXPECT_EQ(status.GetCode(), Status::Code::kUnsupported);
    std::vector<uint8_t> cut = WriteXls(Workbook{{WorkbookSheet{}}, std::nullopt});
    auto streams = ReadCompoundFile(cut);
    ASSERT_TRUE(streams);
    (*streams)[0].data.resize((*streams)[0].data.size() / 2);  // cut inside its records
    EXPECT_FALSE(ReadXls(WriteCompoundFile(*streams), &status));
    EXPECT_EQ(status.GetCode(), Status::Code::kDamaged);
}

}  // namespace
}  // namespace velkor
