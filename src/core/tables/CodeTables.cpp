#include "tables/CodeTables.h"

#include "common/Files.h"
#include "common/Interaction.h"
#include "common/StationDir.h"
#include "tables/TableFiles.h"

namespace velkor {

namespace {

using F = FieldDesc;
constexpr auto T = FieldType::Text;
constexpr auto W = FieldType::U16;
constexpr auto Txt = FieldFormat::Text;
constexpr auto Dec = FieldFormat::Decimal;
constexpr auto Hex = FieldFormat::Hex;

const std::array<RecordDesc, kSiemensTableCount>& Descs() {
    static const std::array<RecordDesc, kSiemensTableCount> descs = {
        RecordDesc{"TrackSectionCode",
                   42,
                   {F{0, W, 2, "逻辑区段编号", Dec, true}, F{2, T, 16, "逻辑区段名称", Txt, false},
                    F{18, W, 2, "元素类", Dec, true}, F{20, W, 2, "元素索引", Dec, true},
                    F{22, T, 16, "物理区段名称", Txt, false},
                    F{38, W, 2, "物理区段地址", Hex, true}, F{40, W, 2, "方向", Dec, true}}},
        // ElementCode.be keeps IO类型, 输入地址 and 输出地址 little-endian:
        // nine of the twelve numbers are exchanged.
        RecordDesc{
            "ElementCode",
            104,
            {F{0, W, 2, "Serial_Num", Dec, true}, F{2, T, 64, "ixl_element", Txt, false},
             F{66, T, 16, "ixl_ele_kind", Txt, false}, F{82, W, 2, "ixl_elekind_id", Dec, true},
             F{84, W, 2, "ixl_ele_index", Dec, true}, F{86, W, 2, "kind_id_to_wcu", Dec, true},
             F{88, W, 2, "kind_id_from_wcu", Dec, true},
             F{90, W, 2, "ixl_instance_index", Dec, true},
             F{92, W, 2, "ixl_instance_id", Dec, true},
             F{94, W, 2, "wcu_instance_index", Dec, true}, F{96, W, 2, "IxL地址号", Dec, true},
             F{98, W, 2, "IO类型", Dec, false}, F{100, W, 2, "输入地址", Hex, false},
             F{102, W, 2, "输出地址", Hex, false}}},
        RecordDesc{"CrossCode",
                   28,
                   {F{0, W, 2, "Cross编号", Dec, true}, F{2, T, 16, "Cross名称", Txt, false},
                    F{18, W, 2, "道岔A地址号", Hex, true}, F{20, W, 2, "道岔B地址号", Hex, true},
                    F{22, W, 2, "道岔C地址号", Hex, true}, F{24, W, 2, "道岔D地址号", Hex, true},
                    F{26, W, 2, "区段地址号", Hex, true}}},
        RecordDesc{"SwitchCode",
                   32,
                   {F{0, W, 2, "Switch编号", Dec, true}, F{2, T, 16, "Switch名称", Txt, false},
                    F{18, W, 2, "道岔类型", Dec, true}, F{20, W, 2, "A元素类别", Dec, true},
                    F{22, W, 2, "A设备地址号", Hex, true}, F{24, W, 2, "B元素类别", Dec, true},
                    F{26, W, 2, "B设备地址号", Hex, true}, F{28, W, 2, "C元素类别", Dec, true},
                    F{30, W, 2, "C设备地址号", Hex, true}}},
        RecordDesc{"SwitSectCode",
                   32,
                   {F{0, W, 2, "道岔区段编号", Dec, true}, F{2, T, 16, "道岔区段名称", Txt, false},
                    F{18, W, 2, "道岔区段地址号", Hex, true}, F{20, W, 2, "A元素类型", Dec, true},
                    F{22, W, 2, "A元素地址号", Hex, true}, F{24, W, 2, "B元素类型", Dec, true},
                    F{26, W, 2, "B元素地址号", Hex, true}, F{28, W, 2, "C元素类型", Dec, true},
                    F{30, W, 2, "C元素地址号", Hex, true}}},
    };
    return descs;
}

// One group of tables: every .le file, then every .be file.
void StoreGroup(const TableFileContext& doc, const StationDir& dir,
                const std::vector<std::pair<const RecordDesc*, const std::vector<Row>*>>& group) {
    for (const auto& [desc, rows] : group) {
        const fs::path le = dir.X86Atp() / (std::string(desc->name) + ".le");
        if (!doc.Files().WriteAtomic(le, EncodeTableFile(*desc, *rows, false))) {
            doc.UI().Warning(WithCause(kMsgSaveCodesFailed, doc.Files()));
        }
    }
    for (const auto& [desc, rows] : group) {
        const fs::path be = dir.PpcAtp() / (std::string(desc->name) + ".be");
        if (!doc.Files().WriteAtomic(be, EncodeTableFile(*desc, *rows, true))) {
            doc.UI().Warning(WithCause(kMsgSavePpcFailed, doc.Files()));
        }
    }
}

void LoadTable(const TableFileContext& doc, const StationDir& dir, const RecordDesc& desc,
               const Row& defaults, std::vector<Row>& rows) {
    // A missing file and a damaged one are reported with the file and the
    // cause; the complete records of a damaged one are kept, nothing past
    // its end is read.
    std::string cause;
    const fs::path file = fs::path("x86") / "ATP" / (std::string(desc.name) + ".le");
    if (!ReadTableFile(doc, dir, file, desc, rows, &defaults, cause)) {
        doc.UI().Warning(std::string(kMsgReadCodesFailed) + "：" + PathToUtf8(file) + "（" + cause +
                         "）");
    }
}

}  // namespace

const RecordDesc& PhysicalSectionCodeDesc() {
    static const RecordDesc desc{
        "PhysicalSectionCode",
        22,
        {F{0, T, 16, "物理区段名称", Txt, false}, F{16, W, 2, "物理区段编号", Dec, true},
         F{18, W, 2, "起始编号", Dec, true}, F{20, W, 2, "终止编号", Dec, true}}};
    return desc;
}

const RecordDesc& CodeTableDesc(int index) { return Descs()[static_cast<size_t>(index)]; }

Row CodeTables::NewPhysicalRow() {
    Row r(PhysicalSectionCodeDesc().size);
    r.SetText(0, 16, u"NO");
    return r;
}

size_t CodeTables::Bytes() const {
    size_t n = 0;
    n += physical.size() * sizeof(Row);
    for (const auto& t : tables) {
        n += t.size() * sizeof(Row);
    }
    return n;
}

Row CodeTables::NewRow(int index) {
    Row r(CodeTableDesc(index).size);
    switch (index) {
        case kTrackSectionCode:
            r.SetU16(38, 0xFFFF);
            break;
        case kCrossCode:
            for (size_t o : {18, 20, 22, 24, 26}) r.SetU16(o, 0xFFFF);
            break;
        case kSwitchCode:
            for (size_t o : {18, 22, 26, 30}) r.SetU16(o, 0xFFFF);
            break;
        default:
            break;
    }
    return r;
}

Row CodeTables::NewDialogRow(int index) {
    if (index != kSwitSectCode) return NewRow(index);
    Row r = NewRow(index);
    for (size_t o : {18, 22, 26, 30}) r.SetU16(o, 0xFFFF);
    return r;
}

void SerializePhysicalSectionCode(const TableFileContext& doc, const StationDir& dir,
                                  bool storing) {
    if (storing) {
        StoreGroup(doc, dir, {{&PhysicalSectionCodeDesc(), &doc.codes.physical}});
        return;
    }
    LoadTable(doc, dir, PhysicalSectionCodeDesc(), CodeTables::NewPhysicalRow(),
              doc.codes.physical);
}

void SerializeCodeTables(const TableFileContext& doc, const StationDir& dir, bool storing) {
    if (storing) {
        std::vector<std::pair<const RecordDesc*, const std::vector<Row>*>> group;
        for (int i = 0; i < kSiemensTableCount; ++i)
            group.push_back({&CodeTableDesc(i), &doc.codes.Table(i)});
        StoreGroup(doc, dir, group);
        return;
    }
    for (int i = 0; i < kSiemensTableCount; ++i) {
        LoadTable(doc, dir, CodeTableDesc(i), CodeTables::NewRow(i), doc.codes.Table(i));
    }
}

}  // namespace velkor
