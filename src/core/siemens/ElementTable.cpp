#include "siemens/ElementTable.h"

#include <algorithm>
#include <map>
#include <optional>
#include <unordered_map>

#include "common/NameIndex.h"
#include "common/Text.h"
#include "devices/CADSection.h"
#include "devices/RailSwitch.h"
#include "document/CVelkorDoc.h"
#include "tables/CodeTables.h"
#include "workbook/ExcelHelper.h"

namespace velkor {

namespace {

// ElementCode fields.
constexpr size_t kSerial = 0;
constexpr size_t kElement = 2, kElementBytes = 64;
constexpr size_t kKind = 66, kKindBytes = 16;
constexpr size_t kKindId = 82;      // columns C .. M: 82, 84 .. 102
constexpr size_t kIxlAddress = 96;  // J
constexpr size_t kIoType = 98;      // K
constexpr size_t kInput = 100;      // L
constexpr size_t kOutput = 102;     // M

bool EndsWithF(const std::u16string& s) { return !s.empty() && s.back() == u'F'; }

// A number cell: its leading digits modulo 65536, 0 without any, 0xFFFF
// for an empty cell.
uint16_t CellNumber(const std::u16string& text) {
    return text.empty() ? 0xFFFF : CellLeadingNumber(text);
}

// The 地址号 of the first row of each name of a table.
class AddressByName {
public:
    explicit AddressByName(const std::vector<Row>& table) {
        for (const Row& r : table) addresses_.emplace(r.Name(), r.U16(io::kAddress));
    }
    uint16_t operator()(const std::u16string& name) const {
        const auto it = addresses_.find(name);
        return it == addresses_.end() ? uint16_t{0xFFFF} : it->second;
    }

private:
    std::unordered_map<std::u16string, uint16_t> addresses_;
};

}  // namespace

std::vector<ElementLine> ElementLines(CVelkorDoc& doc) {
    std::vector<ElementLine> lines;
    size_t rows = 0;
    for (int table : {kSwitchTable, kSignalTable, kLogicSectionTable, kSectionTable})
        rows += doc.io.Table(table).size();
    lines.reserve(rows);
    const auto pass = [&](int table, const char* kind, const char* number) {
        for (const Row& r : doc.io.Table(table)) {
            const std::u16string name = r.Name();
            if (name.empty() || EndsWithF(name)) continue;
            lines.push_back({name, kind, number});
        }
    };
    pass(kSwitchTable, "weiche", "200");
    pass(kSignalTable, "signal", "201");
    // The logic sections in name order (bytes compared), kept so by the
    // document; equal names keep their order.
    auto& logic = doc.io.Table(kLogicSectionTable);
    if (!LogicSectionsInNameOrder(doc.io)) {
        std::vector<Row> sorted;
        sorted.reserve(logic.size());
        for (size_t i : OrderByText(logic, io::kName, io::kNameBytes))
            sorted.push_back(std::move(logic[i]));
        logic = std::move(sorted);
    }
    NameSet switchSections;
    for (const RailSwitch* sw : doc.ObjectsOf<RailSwitch>())
        switchSections.Insert(sw->switchSection.Name());
    for (const Row& r : logic) {
        const std::u16string name = r.Name();
        if (name.empty()) continue;
        if (name.size() >= 2 && name[name.size() - 2] == u'F') continue;
        const std::u16string section = doc.hasLogicSections ? RemoveLogicSuffix(name) : name;
        if (switchSections.Find(section)) continue;  // a logic section of a switch section
        lines.push_back({name, name.front() == u'C' ? "kreuz" : "gleis", "207"});
    }
    pass(kSectionTable, "freimeldung", "213");
    return lines;
}

bool LogicSectionsInNameOrder(const IoTables& io) {
    const auto& logic = io.Table(kLogicSectionTable);
    for (size_t i = 1; i < logic.size(); ++i) {
        if (logic[i].TextView(io::kName, io::kNameBytes) <
            logic[i - 1].TextView(io::kName, io::kNameBytes))
            return false;
    }
    return true;
}

bool WriteElementTable(CVelkorDoc& doc) {
    // Putting the logic sections in name order is an undoable change of the
    // tables; a table already in order needs no edit, and no copy of the
    // tables to compare.
    std::optional<DocumentEdit> edit;
    if (!LogicSectionsInNameOrder(doc.io))
        edit.emplace(doc, "生成元素表", DocumentEdit::Scope::InputTables);
    const std::vector<ElementLine> lines = ElementLines(doc);
    if (edit) edit->Commit();
    ExcelHelper x(doc.Files());
    x.NewWorkbook(FromUtf8(kElementSheet));
    x.ReserveCells(lines.size() * 3);
    // The kinds and their numbers are a handful of texts, each converted once.
    std::map<const char*, std::u16string> wide;
    const auto Wide = [&wide](const char* text) -> const std::u16string& {
        auto [at, added] = wide.try_emplace(text);
        if (added) at->second = FromUtf8(text);
        return at->second;
    };
    uint32_t row = 2;
    for (const ElementLine& l : lines) {
        x.SetCell(row, 1, l.name);
        x.SetCell(row, 2, Wide(l.kind));
        x.SetCell(row, 3, Wide(l.number));
        ++row;
    }
    if (!x.SaveAs(doc.Directory() / PathFromUtf8(kElementWorkbook))) {
        doc.UI().Warning(x.LastError());
        return false;
    }
    doc.UI().Info(kMsgElementsDone);
    return true;
}

Status ReadElementWorkbook(const fs::path& file, FileStore& files, std::vector<Row>& rows) {
    rows.clear();
    ExcelHelper x(files);
    if (!x.OpenWorkbook(file)) return x.LastStatus();
    if (!x.SelectSheet(FromUtf8(kElementSheet))) return Status::Damaged(kMsgNoElementSheet);
    for (uint32_t r = 2; !x.GetCell(r, 1).empty(); ++r) {
        if (static_cast<int64_t>(rows.size()) > kLargestNumber)
            return Status::Damaged(NumberTooLarge("ElementCode", rows.size() + 1, "Serial_Num",
                                                  static_cast<int64_t>(rows.size()),
                                                  kLargestNumber));
        Row e = CodeTables::NewRow(kElementCode);
        e.SetU16(kSerial, static_cast<uint16_t>(rows.size()));
        // Names are kept as read here; the import refuses what does not fit.
        const std::u16string name = x.GetCell(r, 1);
        const std::u16string kind = x.GetCell(r, 2);
        if (ToGbk(name).size() >= kElementBytes)
            return Status::Damaged("第 " + std::to_string(r) + " 行 ixl_element 超过 63 个字节：" +
                                   ToUtf8(name));
        if (ToGbk(kind).size() >= kKindBytes)
            return Status::Damaged("第 " + std::to_string(r) + " 行 ixl_ele_kind 超过 15 个字节：" +
                                   ToUtf8(kind));
        e.SetText(kElement, kElementBytes, name);
        e.SetText(kKind, kKindBytes, kind);
        for (uint32_t c = 3; c <= 13; ++c)
            e.SetU16(kKindId + 2 * (c - 3), CellNumber(x.GetCell(r, c)));
        rows.push_back(std::move(e));
    }
    return {};
}

bool ImportElements(CVelkorDoc& doc, const std::vector<Row>& read, bool appendMisc) {
    DocumentEdit edit(doc, "创建码位表", DocumentEdit::Scope::InputTables);
    auto& table = doc.codes.Table(kElementCode);
    const auto name = [](const Row& r) { return r.Text(kElement, kElementBytes); };
    const auto kind = [](const Row& r) { return r.Text(kKind, kKindBytes); };
    const bool creating = table.empty();
    if (creating) {
        table = read;
        const AddressByName sectionAddress(doc.io.Table(kSectionTable));
        const AddressByName switchAddress(doc.io.Table(kSwitchTable));
        const AddressByName signalAddress(doc.io.Table(kSignalTable));
        // The running numbers are IxL地址号: past 65,534 the import is
        // refused rather than numbering from 0 again.
        int64_t n207 = 0, n203 = 0, n131 = 0;
        size_t position = 0;
        for (Row& t : table) {
            ++position;
            const std::u16string element = name(t);
            uint16_t found = 0xFFFF;
            std::optional<int64_t> counted;  // a running number
            switch (t.U16(kKindId)) {
                case 213:
                    found = sectionAddress(element);
                    break;
                case 200:
                    found = switchAddress(element);
                    break;
                case 201:
                    found = signalAddress(element);
                    break;
                case 207:
                    counted = n207++;
                    break;
                case 203:
                    counted = n203++;
                    break;
                case 131:
                    // A name no section row has takes the running number.
                    found = sectionAddress(element);
                    if (found == 0xFFFF) counted = n131++;
                    break;
                default:
                    break;
            }
            if (counted) {
                if (!NumberFits(doc.UI(), "ElementCode", position, "IxL地址号", *counted,
                                kLargestAddress))
                    return false;
                found = static_cast<uint16_t>(*counted);
            }
            if (found != 0xFFFF) t.SetU16(kIxlAddress, found);
            t.SetU16(kIoType, 0);
            t.SetU16(kInput, 0xFFFF);
            t.SetU16(kOutput, 0xFFFF);
        }
    } else {
        // The last row read of each name and kind ("fm" dropped from the
        // names of freimeldung rows) is the one that stays.
        std::map<std::pair<std::u16string, std::u16string>, const Row*> lastRead;
        for (const Row& r : read) {
            std::u16string key = name(r);
            if (kind(r) == u"freimeldung" && key.rfind(u"fm", 0) == 0) key = key.substr(2);
            lastRead[{std::move(key), kind(r)}] = &r;
        }
        for (Row& t : table) {
            const auto r = lastRead.find({name(t), kind(t)});
            if (r == lastRead.end()) continue;
            // The Siemens columns; the table keeps its own name, number,
            // address and IO fields.
            for (size_t o = kKindId; o < kIxlAddress; o += 2) t.SetU16(o, r->second->U16(o));
        }
    }
    if (appendMisc) {
        // Created: copies of the rows as created (their addresses and IO
        // fields); updated: the rows as read.
        const std::vector<Row>& source = creating ? std::vector<Row>(table) : read;
        for (const Row& r : source) {
            if (kind(r) == u"Initial_element") table.push_back(r);
        }
    }
    edit.Commit();
    return true;
}

std::optional<int> CodeTableByName(std::string_view name) {
    if (name == "PhysicalSectionCode") return -1;
    for (int i = 0; i < kSiemensTableCount; ++i) {
        if (name == CodeTableDesc(i).name) return i;
    }
    return std::nullopt;
}

Status WriteCodeTableWorkbook(const std::vector<Row>& rows, int codeTable, const fs::path& file,
                              FileStore& files) {
    const RecordDesc& desc = codeTable < 0 ? PhysicalSectionCodeDesc() : CodeTableDesc(codeTable);
    const int width = codeTable < 0 ? 120 : 90;  // the dialog's columns, pixels
    ExcelHelper x(files);
    x.NewWorkbook();
    const auto columns = static_cast<uint32_t>(desc.fields.size());
    for (uint32_t c = 0; c < columns; ++c) {
        x.SetCell(1, c + 1, FromUtf8(desc.fields[c].header));
        x.SetColumnWidth(c + 1, width / 6);
    }
    x.SetRowHeight(1, 50);
    x.SetBoldVCentered(1, 1, columns);
    std::vector<std::vector<std::u16string>> block;
    for (const Row& r : rows) {
        std::vector<std::u16string> cells;
        for (const FieldDesc& f : desc.fields) {
            cells.push_back(f.type == FieldType::Text ? r.Text(f.offset, f.size)
                                                      : FromUtf8(std::to_string(r.U16(f.offset))));
        }
        block.push_back(std::move(cells));
    }
    if (!block.empty()) x.SetBlock(2, 1, block);
    if (!x.SaveAs(file)) return x.LastStatus();
    return {};
}

}  // namespace velkor
