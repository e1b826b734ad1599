#include "siemens/CodeBuilds.h"

#include "common/NameIndex.h"
#include "common/Text.h"
#include "devices/RailSwitch.h"
#include "document/CVelkorDoc.h"
#include "tables/CodeTables.h"

namespace velkor {

namespace {
// ElementCode fields.
constexpr size_t kElName = 2, kElNameBytes = 64, kElKind = 82, kElAddress = 96;
}  // namespace

std::optional<std::vector<Row>> BuildPhysicalSectionCode(const CVelkorDoc& doc) {
    std::vector<Row> grid;
    // A rebuild gives about as many rows as the table has.
    grid.reserve(doc.codes.physical.size() + 1);
    Row pending(PhysicalSectionCodeDesc().size);  // empty name, numbers 0
    for (const Row& t : doc.codes.Table(kTrackSectionCode)) {
        const std::string physical = t.TextGbk(22, 16);
        if (physical != pending.TextGbk(0, 16)) {
            if (!pending.TextGbk(0, 16).empty()) grid.push_back(pending);
            pending = Row(PhysicalSectionCodeDesc().size);
            StoreFixedTextGbk(pending.Bytes().subspan(0, 16), physical);
            pending.SetU16(16, t.U16(38));
            pending.SetU16(18, t.U16(0));
            pending.SetU16(20, t.U16(0));
        } else {
            // Also for the first, empty pending row: the run counts rows.
            const int64_t end = int64_t{pending.U16(20)} + 1;
            if (!NumberFits(doc.UI(), "PhysicalSectionCode", grid.size() + 1, "终止编号", end,
                            kLargestNumber))
                return std::nullopt;
            pending.SetU16(20, static_cast<uint16_t>(end));
        }
    }
    grid.push_back(pending);
    return grid;
}

void TakePhysicalSectionCode(CVelkorDoc& doc, std::vector<Row> rows) {
    DocumentEdit(doc, "创建码位表", doc.codes.physical, std::move(rows)).Commit();
}

void BuildTrackSectionCode(CVelkorDoc& doc) {
    auto& table = doc.codes.Table(kTrackSectionCode);
    std::vector<Row> rows;
    rows.reserve(table.size());
    // The 地址号 of the first section row of each name.
    NameIndex<uint16_t> sectionAddress;
    sectionAddress.Reserve(doc.io.Table(kSectionTable).size());
    for (const Row& s : doc.io.Table(kSectionTable))
        sectionAddress.Insert(s.Name(), s.U16(io::kAddress));
    for (const Row& e : doc.codes.Table(kElementCode)) {
        if (e.U16(kElKind) != 207) continue;
        Row r = CodeTables::NewRow(kTrackSectionCode);
        const std::u16string name = e.Text(kElName, kElNameBytes);
        const std::u16string physical = name.empty() ? name : name.substr(0, name.size() - 1);
        r.SetU16(0, e.U16(kElAddress));
        r.SetText(2, 16, name);
        r.SetU16(18, 207);
        r.SetU16(20, 0);
        r.SetText(22, 16, physical);
        const uint16_t* section = sectionAddress.Find(physical);
        r.SetU16(38, section ? *section : uint16_t{0xFFFF});
        r.SetU16(40, 0);
        rows.push_back(std::move(r));
    }
    DocumentEdit(doc, "创建码位表", table, std::move(rows)).Commit();
}

void BuildCrossCode(CVelkorDoc& doc) {
    auto& table = doc.codes.Table(kCrossCode);
    std::vector<Row> rows;
    rows.reserve(table.size());
    for (const Row& e : doc.codes.Table(kElementCode)) {
        if (e.U16(kElKind) != 203) continue;
        Row r = CodeTables::NewRow(kCrossCode);
        r.SetU16(0, e.U16(kElAddress));
        r.SetText(2, 16, e.Text(kElName, kElNameBytes));
        rows.push_back(std::move(r));
    }
    DocumentEdit(doc, "创建码位表", table, std::move(rows)).Commit();
}

bool BuildSwitchCode(CVelkorDoc& doc) {
    // Built apart: a refusal leaves the table as it was.
    std::vector<Row> built;
    // The last two-way switch of each exact IO name decides the type.
    NameIndex<uint16_t> typeByName;
    for (const RailSwitch* sw : doc.ObjectsOf<RailSwitch>()) {
        const std::u16string name = sw->io.Name();
        const auto type = static_cast<uint16_t>(sw->variant % 4);
        if (uint16_t* known = typeByName.Find(name)) {
            *known = type;
        } else {
            typeByName.Insert(name, type);
        }
    }
    const auto& rows = doc.io.Table(kSwitchTable);
    built.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        Row r = CodeTables::NewRow(kSwitchCode);
        const std::u16string name = rows[i].Name();
        if (!NumberFits(doc.UI(), "SwitchCode", i + 1, "Switch编号", static_cast<int64_t>(i),
                        kLargestNumber))
            return false;
        r.SetU16(0, static_cast<uint16_t>(i));
        r.SetText(2, 16, name);
        if (const uint16_t* type = typeByName.Find(name)) r.SetU16(18, *type);
        built.push_back(std::move(r));
    }
    DocumentEdit(doc, "创建码位表", doc.codes.Table(kSwitchCode), std::move(built)).Commit();
    return true;
}

}  // namespace velkor
