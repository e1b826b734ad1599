#include "siemens/CodeBuilds.h"

#include <unordered_map>

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
    DocumentEdit edit(doc, "创建码位表", DocumentEdit::Scope::TablesAndSettings);
    doc.codes.physical = std::move(rows);
    edit.Commit();
}

void BuildTrackSectionCode(CVelkorDoc& doc) {
    DocumentEdit edit(doc, "创建码位表", DocumentEdit::Scope::TablesAndSettings);
    auto& table = doc.codes.Table(kTrackSectionCode);
    table.clear();
    // The 地址号 of the first section row of each name.
    std::unordered_map<std::u16string, uint16_t> sectionAddress;
    for (const Row& s : doc.io.Table(kSectionTable))
        sectionAddress.emplace(s.Name(), s.U16(io::kAddress));
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
        const auto section = sectionAddress.find(physical);
        r.SetU16(38, section == sectionAddress.end() ? uint16_t{0xFFFF} : section->second);
        r.SetU16(40, 0);
        table.push_back(std::move(r));
    }
    edit.Commit();
}

void BuildCrossCode(CVelkorDoc& doc) {
    DocumentEdit edit(doc, "创建码位表", DocumentEdit::Scope::TablesAndSettings);
    auto& table = doc.codes.Table(kCrossCode);
    table.clear();
    for (const Row& e : doc.codes.Table(kElementCode)) {
        if (e.U16(kElKind) != 203) continue;
        Row r = CodeTables::NewRow(kCrossCode);
        r.SetU16(0, e.U16(kElAddress));
        r.SetText(2, 16, e.Text(kElName, kElNameBytes));
        table.push_back(std::move(r));
    }
    edit.Commit();
}

bool BuildSwitchCode(CVelkorDoc& doc) {
    DocumentEdit edit(doc, "创建码位表", DocumentEdit::Scope::TablesAndSettings);
    auto& table = doc.codes.Table(kSwitchCode);
    table.clear();
    // The last two-way switch of each exact IO name decides the type.
    std::unordered_map<std::u16string, uint16_t> typeByName;
    for (const auto& obj : doc.Objects()) {
        if (&obj->GetRuntimeClass() != &RailSwitch::Class()) continue;
        const auto* sw = static_cast<const RailSwitch*>(obj.get());
        typeByName[sw->io.Name()] = static_cast<uint16_t>(sw->variant % 4);
    }
    const auto& rows = doc.io.Table(kSwitchTable);
    for (size_t i = 0; i < rows.size(); ++i) {
        Row r = CodeTables::NewRow(kSwitchCode);
        const std::u16string name = rows[i].Name();
        if (!NumberFits(doc.UI(), "SwitchCode", i + 1, "Switch编号", static_cast<int64_t>(i),
                        kLargestNumber))
            return false;
        r.SetU16(0, static_cast<uint16_t>(i));
        r.SetText(2, 16, name);
        if (const auto type = typeByName.find(name); type != typeByName.end())
            r.SetU16(18, type->second);
        table.push_back(std::move(r));
    }
    edit.Commit();
    return true;
}

}  // namespace velkor
