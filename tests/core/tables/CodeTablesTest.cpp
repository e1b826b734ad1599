#include <gtest/gtest.h>

#include "document/CVelkorDoc.h"
#include "support/ScriptedInteraction.h"
#include "support/TestFiles.h"
#include "tables/CodeTables.h"
#include "tables/TableFiles.h"

namespace velkor {
namespace {

using testing::Hex;
using testing::ReadBytes;
using testing::ScriptedInteraction;
using testing::TempDir;
using testing::WriteBytes;

TEST(CodeTables, PhysicalSectionRecordInBothByteOrders) {
    Row r = CodeTables::NewPhysicalRow();
    r.SetU16(16, 0x0102);
    r.SetU16(18, 1);
    r.SetU16(20, 2);
    const auto le = EncodeTableFile(PhysicalSectionCodeDesc(), {r}, false);
    const auto be = EncodeTableFile(PhysicalSectionCodeDesc(), {r}, true);
    ASSERT_EQ(le.size(), 4u + 22);
    EXPECT_EQ(Hex(le, 4, 3), "4E 4F 00");
    EXPECT_EQ(Hex(le, 20, 6), "02 01 01 00 02 00");
    EXPECT_EQ(Hex(be, 0, 4), "00 00 00 01");
    EXPECT_EQ(Hex(be, 20, 6), "01 02 00 01 00 02");
}

TEST(CodeTables, ElementCodeKeepsItsLastThreeNumbersLittleEndian) {
    Row r = CodeTables::NewRow(kElementCode);
    r.SetU16(0, 0x0A0B);
    r.SetU16(96, 0x0304);
    r.SetU16(98, 0x0506);
    r.SetU16(100, 0x0102);
    const auto le = EncodeTableFile(CodeTableDesc(kElementCode), {r}, false);
    const auto be = EncodeTableFile(CodeTableDesc(kElementCode), {r}, true);
    EXPECT_EQ(Hex(le, 4 + 100, 2), "02 01");
    EXPECT_EQ(Hex(be, 4 + 100, 2), "02 01");
    EXPECT_EQ(Hex(be, 4 + 98, 2), "06 05");
    EXPECT_EQ(Hex(be, 4 + 96, 2), "03 04");
    EXPECT_EQ(Hex(be, 4, 2), "0A 0B");
}

TEST(CodeTables, NewRowDefaults) {
    struct Case {
        int table;
        std::vector<size_t> unset;  // offsets holding 0xFFFF
    };
    for (const Case& c :
         {Case{kTrackSectionCode, {38}}, Case{kCrossCode, {18, 20, 22, 24, 26}},
          Case{kSwitchCode, {18, 22, 26, 30}}, Case{kSwitSectCode, {}}, Case{kElementCode, {}}}) {
        const Row r = CodeTables::NewRow(c.table);
        const RecordDesc& d = CodeTableDesc(c.table);
        ASSERT_EQ(r.Size(), d.size);
        for (const FieldDesc& f : d.fields) {
            if (f.type != FieldType::U16) continue;
            const bool unset = std::find(c.unset.begin(), c.unset.end(), f.offset) != c.unset.end();
            EXPECT_EQ(r.U16(f.offset), unset ? 0xFFFF : 0) << d.name << " " << f.header;
        }
    }
    const Row dialogRow = CodeTables::NewDialogRow(kSwitSectCode);
    EXPECT_EQ(dialogRow.U16(18), 0xFFFF);
    EXPECT_EQ(dialogRow.U16(20), 0);
    EXPECT_EQ(dialogRow.U16(30), 0xFFFF);
}

TEST(CodeTables, SavedAndOpenedWithTheStation) {
    TempDir dir;
    ScriptedInteraction ui;
    CVelkorDoc doc(ui);
    doc.OnNewDocument();
    Row phys = CodeTables::NewPhysicalRow();
    phys.SetText(0, 16, u"1DG");
    doc.codes.physical.push_back(phys);
    Row sw = CodeTables::NewRow(kSwitchCode);
    sw.SetText(2, 16, u"1");
    doc.codes.Table(kSwitchCode).push_back(sw);
    ASSERT_TRUE(doc.OnSaveDocument(dir / "s.lcp"));
    for (const char* name : {"PhysicalSectionCode", "TrackSectionCode", "ElementCode", "CrossCode",
                             "SwitchCode", "SwitSectCode"}) {
        EXPECT_TRUE(std::filesystem::exists(dir / "x86/ATP" / (std::string(name) + ".le"))) << name;
        EXPECT_TRUE(std::filesystem::exists(dir / "ppc/ATP" / (std::string(name) + ".be"))) << name;
    }
    EXPECT_EQ(ReadBytes(dir / "x86/ATP/CrossCode.le"), (std::vector<uint8_t>{0, 0, 0, 0}));

    // The .be files do not matter on opening; a missing .le is reported once.
    WriteBytes(dir / "ppc/ATP/SwitchCode.be", {1, 2, 3});
    std::filesystem::remove(dir / "x86/ATP/ElementCode.le");
    ui.log.clear();
    CVelkorDoc again(ui);
    ASSERT_TRUE(again.OnOpenDocument(dir / "s.lcp"));
    EXPECT_EQ(ui.Messages("warning"),
              std::vector<std::string>{
                  "读取码位失败，无法打开文件：x86/ATP/ElementCode.le（文件不存在）"});
    ASSERT_EQ(again.codes.physical.size(), 1u);
    EXPECT_EQ(again.codes.physical[0], phys);
    ASSERT_EQ(again.codes.Table(kSwitchCode).size(), 1u);
    EXPECT_EQ(again.codes.Table(kSwitchCode)[0], sw);
    EXPECT_TRUE(again.codes.Table(kElementCode).empty());
}

}  // namespace
}  // namespace velkor
