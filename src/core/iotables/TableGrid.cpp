#include "iotables/TableGrid.h"

#include <cstdio>

#include "common/Text.h"
#include "devices/CADSignal.h"
#include "document/CVelkorDoc.h"
#include "iotables/TableEditing.h"
#include "tables/CodeTables.h"

namespace velkor {

namespace {

using Kind = GridColumn::Kind;

constexpr const char* kSignalRelayHeaders[10] = {"LXJ", "ZXJ", "DXJ", "TXJ", "LUXJ",
                                                 "YXJ", "DJ",  "2DJ", "DDJ", "SGJ"};

// The columns of a dialog by header, in its order, from the table's record
// description; `relays` lists the relay columns.
GridDesc MakeDesc(int table, int width, std::vector<const char*> headers,
                  std::vector<const char*> relays, int firstWidth = 80) {
    const RecordDesc& record = InputRecordDesc(table);
    GridDesc d{table, InputTableTitle(table), width, {}};
    for (const char* h : headers) {
        const FieldDesc* f = record.Field(h);
        Kind kind = f->format == FieldFormat::Text      ? Kind::Text
                    : f->format == FieldFormat::Decimal ? Kind::Decimal
                                                        : Kind::Hex;
        int relay = -1;
        for (const char* r : relays) {
            if (std::string_view(r) == h) kind = Kind::Relay;
        }
        if (table == kSignalTable && kind == Kind::Relay) {
            for (int i = 0; i < 10; ++i) {
                if (std::string_view(kSignalRelayHeaders[i]) == h) relay = i;
            }
        }
        if (table == kSignalTable && std::string_view(h) == "类型") kind = Kind::SignalType;
        d.columns.push_back({h, f, kind, relay, d.columns.empty() ? firstWidth : 80});
    }
    return d;
}

std::string Format(const char* pattern, unsigned value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, pattern, value);
    return buf;
}

bool IsSignalRelay(const GridColumn& c) { return c.kind == Kind::Relay && c.relay >= 0; }

}  // namespace

const GridDesc& InputGridDesc(int table) {
    static const std::array<GridDesc, kInputTableCount> descs = [] {
        std::array<GridDesc, kInputTableCount> d{
            MakeDesc(kSectionTable, 604,
                     {"名称", "地址号", "按钮号", "字号", "位号", "GJ", "FWZTJ"}, {"GJ", "FWZTJ"}),
            MakeDesc(kSwitchTable, 684,
                     {"名称", "地址号", "按钮号", "字号", "位号", "DBJ", "FBJ", "SJ"},
                     {"DBJ", "FBJ", "SJ"}),
            MakeDesc(kSignalTable, 1404,
                     {"名称", "地址号", "按钮号", "字号", "位号", "按钮号2", "类型", "LXJ", "ZXJ",
                      "DXJ", "TXJ", "LUXJ", "YXJ", "DJ", "2DJ", "DDJ", "SGJ"},
                     {"LXJ", "ZXJ", "DXJ", "TXJ", "LUXJ", "YXJ", "DJ", "2DJ", "DDJ", "SGJ"}),
            MakeDesc(kLogicSectionTable, 524,
                     {"名称", "地址号", "字号", "位号", "物理区段地址号", "物理区段名称"}, {}),
            MakeDesc(kLingsanTable, 524, {"名称", "地址号", "按钮号", "字号", "位号", "继电器"},
                     {"继电器"}),
            MakeDesc(kStationTable, 364, {"名称", "车站ID"}, {}, 240),
        };
        // The signal type's names are wider.
        d[kSignalTable].columns[6].width = 90;
        return d;
    }();
    return descs[static_cast<size_t>(table)];
}

const GridDesc& CombinationGridDesc() {
    static const GridDesc desc = [] {
        const RecordDesc& record = MutiSectionDesc();
        GridDesc d{-1, "区段组合", 0, {}};
        for (const char* h : {"区段-1", "区段-2", "区段-3"})
            d.columns.push_back({h, record.Field(h), Kind::Text, -1, 60});
        return d;
    }();
    return desc;
}

const GridDesc& CodeGridDesc(int codeTable) {
    static const std::array<GridDesc, kSiemensTableCount + 1> descs = [] {
        static constexpr const char* kTitles[kSiemensTableCount] = {
            "西门子逻辑区段码位表", "西门子元素码位表", "西门子Cross码位表", "西门子Switch码位表",
            "西门子道岔区段码位表"};
        static constexpr int kWidths[kSiemensTableCount] = {674, 1664, 674, 854, 854};
        std::array<GridDesc, kSiemensTableCount + 1> d;
        const auto make = [](const RecordDesc& record, const char* title, int width, int column,
                             int code) {
            GridDesc g{-2, title, width, {}, code};
            for (const FieldDesc& f : record.fields) {
                g.columns.push_back({f.header, &f,
                                     f.type == FieldType::Text ? Kind::Text : Kind::Decimal, -1,
                                     column});
            }
            return g;
        };
        d[0] = make(PhysicalSectionCodeDesc(), "西门子物理区段码位表", 524, 120, -1);
        for (int i = 0; i < kSiemensTableCount; ++i)
            d[static_cast<size_t>(i + 1)] = make(CodeTableDesc(i), kTitles[i], kWidths[i], 90, i);
        return d;
    }();
    return descs[static_cast<size_t>(codeTable + 1)];
}

int InputTableByName(std::string_view name) {
    static constexpr const char* kRibbon[kInputTableCount] = {"区段",     "道岔",     "信号机",
                                                              "逻辑区段", "零散信息", "车站信息表"};
    static constexpr const char* kStems[kInputTableCount] = {"Section",      "Switch",  "Signal",
                                                             "LogicSection", "Lingsan", "Station"};
    for (int i = 0; i < kInputTableCount; ++i) {
        if (name == kRibbon[i] || name == kStems[i] || name == InputTableTitle(i)) return i;
    }
    return -1;
}

namespace {
// The number field of a code table's rows.
size_t CodeNumberOffset(int codeTable) {
    return codeTable < 0 ? PhysicalSectionCodeDesc().Field("物理区段编号")->offset : 0;
}
}  // namespace

int TableGrid::SignalTypeOf(const GridRow& row) const {
    return SignalTypeFromName(FromUtf8(row.cells[6]));
}

TableGrid::Colour TableGrid::CellColour(size_t row, size_t column) const {
    const GridColumn& c = desc_.columns[column];
    if (c.kind != Kind::Relay) return Colour::White;
    if (IsSignalRelay(c) && !SignalTypeHasRelay(SignalTypeOf(rows_[row]), c.relay))
        return Colour::Black;
    return Colour::Green;
}

void TableGrid::FromRecord(const Row& record, GridRow& row) const {
    row.record = record;
    row.cells.assign(desc_.columns.size(), {});
    const int type = desc_.table == kSignalTable ? record.U16(io::kSignalType) : -1;
    for (size_t i = 0; i < desc_.columns.size(); ++i) {
        const GridColumn& c = desc_.columns[i];
        const FieldDesc& f = *c.field;
        switch (c.kind) {
            case Kind::Text:
                row.cells[i] = ToUtf8(record.Text(f.offset, f.size));
                break;
            case Kind::Decimal:
                row.cells[i] = Format("%u", record.U16(f.offset));
                break;
            case Kind::SignalType:
                row.cells[i] = type >= 0 && static_cast<size_t>(type) < kSignalTypeNames.size()
                                   ? kSignalTypeNames[static_cast<size_t>(type)]
                                   : "";
                break;
            case Kind::Relay:
                if (IsSignalRelay(c) && !SignalTypeHasRelay(type, c.relay)) break;
                [[fallthrough]];
            case Kind::Hex:
                row.cells[i] = Format("0X%04X", record.U16(f.offset));
                break;
        }
    }
}

Row TableGrid::ToRecord(const GridRow& row, bool report) const {
    Row record = row.record;
    for (size_t i = 0; i < desc_.columns.size(); ++i) {
        const GridColumn& c = desc_.columns[i];
        const FieldDesc& f = *c.field;
        const std::string& text = row.cells[i];
        switch (c.kind) {
            case Kind::Text: {
                const std::u16string value = FromUtf8(text);
                // A text that does not fit its field is stored empty.
                const bool fits = ToGbk(value).size() < f.size;
                record.SetText(f.offset, f.size, fits ? value : u"");
                break;
            }
            case Kind::Decimal:
                if (const auto v = ParseDecimalField(text)) {
                    record.SetU16(f.offset, *v);
                } else if (report) {
                    ui_.Warning(kMsgBadGridDecimal);
                }
                break;
            case Kind::SignalType:
                record.SetU16(f.offset, SignalTypeFromName(FromUtf8(text)));
                break;
            case Kind::Relay:
                // A relay the row's type lacks stays unset.
                if (IsSignalRelay(c) && !SignalTypeHasRelay(record.U16(io::kSignalType), c.relay)) {
                    record.SetU16(f.offset, 0xFFFF);
                    break;
                }
                [[fallthrough]];
            case Kind::Hex:
                if (const auto v = ParseHexField(text)) {
                    record.SetU16(f.offset, *v);
                } else if (report) {
                    ui_.Warning(kMsgBadHex);
                }
                break;
        }
    }
    return record;
}

void TableGrid::Load(const std::vector<Row>& records) {
    rows_.clear();
    current = -1;
    if (desc_.table == -1) {
        // A combination shows as many of its names as it counts.
        for (const Row& entry : records) {
            GridRow row{std::vector<std::string>(3), entry};
            const uint32_t count = entry.U32(0);
            for (size_t k = 0; k < 3; ++k) {
                if (k == 0 || k < count) {
                    const FieldDesc& f = *desc_.columns[k].field;
                    row.cells[k] = ToUtf8(entry.Text(f.offset, f.size));
                }
            }
            rows_.push_back(std::move(row));
        }
        return;
    }
    for (const Row& record : records) {
        GridRow row;
        FromRecord(record, row);
        rows_.push_back(std::move(row));
    }
}

std::vector<Row> TableGrid::Records() {
    std::vector<Row> out;
    out.reserve(rows_.size());
    for (const GridRow& row : rows_) out.push_back(ToRecord(row, true));
    return out;
}

std::vector<std::array<std::u16string, 3>> TableGrid::CombinationNames() const {
    std::vector<std::array<std::u16string, 3>> out;
    for (const GridRow& row : rows_) {
        out.push_back({FromUtf8(row.cells[0]), FromUtf8(row.cells[1]), FromUtf8(row.cells[2])});
    }
    return out;
}

bool TableGrid::OpensRelayDialog(size_t row, size_t column) const {
    return CellColour(row, column) == Colour::Green;
}

bool TableGrid::Edit(size_t row, size_t column, std::string_view text, Interaction& ui) {
    const GridColumn& c = desc_.columns[column];
    switch (c.kind) {
        case Kind::Text: {
            const size_t limit = c.field->size - 1;
            if (ToGbk(FromUtf8(text)).size() > limit) {
                char message[512];
                std::snprintf(message, sizeof message, kMsgCellTooLong, static_cast<int>(row + 1),
                              c.header, static_cast<int>(limit), std::string(text).c_str());
                ui.Warning(message);
                return false;
            }
            break;
        }
        case Kind::Decimal:
            if (!ParseDecimalField(text)) {
                ui.Warning(kMsgBadDecimal);
                return false;
            }
            break;
        case Kind::Relay:
            // A relay the row lacks is never stored: any text may stand there.
            if (!OpensRelayDialog(row, column)) break;
            [[fallthrough]];
        case Kind::Hex:
            if (!ParseHexField(text)) {
                ui.Warning(kMsgBadHex);
                return false;
            }
            break;
        case Kind::SignalType:
            break;
    }
    rows_[row].cells[column] = std::string(text);
    return true;
}

std::string TableGrid::RelayTitle(size_t row, size_t column) const {
    return rows_[row].cells[0] + " : " + desc_.columns[column].header;
}

std::pair<uint16_t, uint16_t> TableGrid::Relay(size_t row, size_t column) const {
    const uint16_t v = ParseHexField(rows_[row].cells[column]).value_or(0);
    return {static_cast<uint16_t>(v / 256), static_cast<uint16_t>(v % 256)};
}

void TableGrid::SetRelay(size_t row, size_t column, uint16_t board, uint16_t position) {
    rows_[row].cells[column] =
        Format("0X%04X", static_cast<unsigned>((board * 256 + position) & 0xFFFF));
}

bool TableGrid::NewRowNeedsDialog() const {
    return desc_.table == kSwitchTable || desc_.table == kSignalTable;
}

void TableGrid::InsertRow(size_t position, const NewRow& input) {
    if (position > rows_.size()) position = rows_.size();
    GridRow row;
    if (desc_.IsCodeTable()) {
        // A code row of the dialog's defaults, numbered by its position.
        Row record = desc_.codeTable < 0 ? CodeTables::NewPhysicalRow()
                                         : CodeTables::NewDialogRow(desc_.codeTable);
        record.SetU16(CodeNumberOffset(desc_.codeTable), static_cast<uint16_t>(position));
        FromRecord(record, row);
    } else if (desc_.table < 0) {
        row.cells.assign(3, {});
        row.record = Row(MutiSectionDesc().size);
    } else {
        Row record = NewEditorRow(desc_.table, static_cast<uint16_t>(position));
        // The logic-section grid shows no 按钮号: its new rows have none.
        if (desc_.table == kLogicSectionTable) record.SetU16(io::kButton, 0xFFFF);
        if (NewRowNeedsDialog()) record.SetName(input.name);
        if (desc_.table == kSignalTable) record.SetU16(io::kSignalType, input.signalType);
        FromRecord(record, row);
    }
    rows_.insert(rows_.begin() + static_cast<long>(position), std::move(row));
}

void TableGrid::Renumber(size_t first, int delta) {
    if (desc_.IsCodeTable()) {
        const size_t o = CodeNumberOffset(desc_.codeTable);
        for (size_t i = first; i < rows_.size(); ++i) {
            Row record = ToRecord(rows_[i], false);
            record.SetU16(o, static_cast<uint16_t>(record.U16(o) + delta));
            FromRecord(record, rows_[i]);
        }
        return;
    }
    for (size_t i = first; i < rows_.size(); ++i) {
        Row record = ToRecord(rows_[i], false);
        const uint16_t button = record.U16(io::kButton);
        AssignAddresses(desc_.table, record,
                        static_cast<uint16_t>(record.U16(io::kAddress) + delta));
        if (desc_.table == kLogicSectionTable) record.SetU16(io::kButton, button);
        FromRecord(record, rows_[i]);
    }
}

bool TableGrid::Insert(const NewRow& input) {
    if (current < 0 || static_cast<size_t>(current) >= rows_.size()) return false;
    const size_t at = static_cast<size_t>(current);
    current = -1;
    // An ElementCode row takes the number of the row it goes before.
    const bool element = desc_.IsCodeTable() && desc_.codeTable == kElementCode;
    const uint16_t selected = element ? ToRecord(rows_[at], false).U16(0) : 0;
    InsertRow(at, input);
    if (element) {
        Row record = ToRecord(rows_[at], false);
        record.SetU16(0, selected);
        FromRecord(record, rows_[at]);
    }
    if (desc_.table >= 0 || desc_.IsCodeTable()) Renumber(at + 1, +1);
    return true;
}

bool TableGrid::Delete() {
    if (current < 0 || static_cast<size_t>(current) >= rows_.size()) return false;
    const size_t at = static_cast<size_t>(current);
    current = -1;
    if (desc_.table == -1) {
        rows_.erase(rows_.begin() + static_cast<long>(at));
        return true;
    }
    if (!ui_.AskYesNo(kMsgConfirmDelete)) return false;
    rows_.erase(rows_.begin() + static_cast<long>(at));
    // SwitchCode and ElementCode keep the numbers of the rows after it.
    if (desc_.IsCodeTable() && desc_.codeTable != kSwitSectCode) return true;
    Renumber(at, -1);
    return true;
}

const std::vector<NewSignalKind>& NewSignalKinds() {
    static const std::vector<NewSignalKind> kinds = {
        {"一显", {}, 0},
        {"两显", {"蓝白", "红白", "红黄", "红绿"}, 1},
        {"三显", {"红绿白", "红绿引导", "红黄引导", "红黄引导白"}, 5},
        {"四显", {"红绿2绿调车白", "红绿黄引导"}, 9},
        {"五显", {"双黄", "调白"}, 11},
        {"六显", {"1黄绿红双黄引导白", "1黄绿红双黄引导白调车"}, 13},
        {"七显", {}, 15},
        {"三方向出站", {}, 16},
        {"虚拟", {}, 17},
    };
    return kinds;
}

namespace {
bool RowNameFits(std::u16string_view name, Interaction& ui) {
    if (ToGbk(name).size() < io::kNameBytes) return true;
    std::string message = kMsgRowNameTooLong;
    message.replace(message.find("%s"), 2, ToUtf8(name));
    ui.Warning(message);
    return false;
}
}  // namespace

std::optional<uint16_t> NewSignalType(std::u16string_view name, int kind, int subKind,
                                      Interaction& ui) {
    if (name.empty() || name.size() > 16) {
        ui.Warning(kMsgNewSignalName);
        return std::nullopt;
    }
    if (!RowNameFits(name, ui)) return std::nullopt;
    const auto& kinds = NewSignalKinds();
    if (kind < 0 || static_cast<size_t>(kind) >= kinds.size()) {
        ui.Warning(kMsgNewSignalKind);
        return std::nullopt;
    }
    const NewSignalKind& k = kinds[static_cast<size_t>(kind)];
    if (k.subKinds.empty()) return k.firstType;
    if (subKind < 0 || static_cast<size_t>(subKind) >= k.subKinds.size()) {
        ui.Warning(kMsgNewSignalSubKind);
        return std::nullopt;
    }
    return static_cast<uint16_t>(k.firstType + subKind);
}

std::optional<std::u16string> NewSwitchName(std::u16string_view name, bool doubleActing,
                                            std::u16string_view second, Interaction& ui) {
    std::u16string out(name);
    if (doubleActing) out += u"-" + std::u16string(second);
    if (!RowNameFits(out, ui)) return std::nullopt;
    return out;
}

void StoreCodeTable(CVelkorDoc& doc, int codeTable, std::vector<Row> rows) {
    DocumentEdit edit(doc, CodeGridDesc(codeTable).title, DocumentEdit::Scope::InputTables);
    if (codeTable < 0) {
        doc.codes.physical = std::move(rows);
    } else {
        doc.codes.Table(codeTable) = std::move(rows);
    }
    edit.Commit();
}

void StoreInputTable(CVelkorDoc& doc, int table, std::vector<Row> rows) {
    DocumentEdit edit(doc, InputTableTitle(table), DocumentEdit::Scope::InputTables);
    doc.io.Table(table) = std::move(rows);
    edit.Commit();
}

}  // namespace velkor
