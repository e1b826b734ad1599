#include "tables/IoTables.h"

#include <algorithm>

#include "common/Bytes.h"
#include "common/Interaction.h"
#include "common/Text.h"

namespace velkor {

namespace {

using F = FieldDesc;
constexpr auto T = FieldType::Text;
constexpr auto W = FieldType::U16;
constexpr auto D = FieldType::U32;
constexpr auto Txt = FieldFormat::Text;
constexpr auto Dec = FieldFormat::Decimal;
constexpr auto Hex = FieldFormat::Hex;
constexpr auto Hid = FieldFormat::Hidden;

// The header shared by every input-table row.
std::vector<FieldDesc> Header(bool showButton = true) {
    return {F{0, T, 16, "名称", Txt, false},
            F{16, W, 2, "地址号", Dec, true},
            F{18, W, 2, "按钮号", showButton ? Hex : Hid, true},
            F{20, W, 2, "字号", Hex, true},
            F{22, W, 2, "位号", Hex, true},
            F{24, W, 2, "车站号", Hid, true}};
}

std::vector<FieldDesc> With(std::vector<FieldDesc> a, std::initializer_list<FieldDesc> more) {
    a.insert(a.end(), more);
    return a;
}

const std::array<RecordDesc, kInputTableCount>& Descs() {
    static const std::array<RecordDesc, kInputTableCount> descs = {
        RecordDesc{"SectionIO", 30,
                   With(Header(), {F{26, W, 2, "GJ", Hex, true}, F{28, W, 2, "FWZTJ", Hex, true}})},
        RecordDesc{"SwitchIO", 32,
                   With(Header(), {F{26, W, 2, "DBJ", Hex, true}, F{28, W, 2, "FBJ", Hex, true},
                                   F{30, W, 2, "SJ", Hex, true}})},
        RecordDesc{
            "SignalIO", 50,
            With(Header(), {F{26, W, 2, "类型", Dec, true}, F{28, W, 2, "按钮号2", Hex, true},
                            F{30, W, 2, "LXJ", Hex, true}, F{32, W, 2, "ZXJ", Hex, true},
                            F{34, W, 2, "DXJ", Hex, true}, F{36, W, 2, "TXJ", Hex, true},
                            F{38, W, 2, "LUXJ", Hex, true}, F{40, W, 2, "YXJ", Hex, true},
                            F{42, W, 2, "DJ", Hex, true}, F{44, W, 2, "2DJ", Hex, true},
                            F{46, W, 2, "DDJ", Hex, true}, F{48, W, 2, "SGJ", Hex, true}})},
        RecordDesc{"LogicSectionIO", 46,
                   With(Header(false), {F{26, W, 2, "物理区段地址号", Hex, true},
                                        F{28, T, 16, "物理区段名称", Txt, false},
                                        F{44, W, 2, "方向", Dec, true}})},
        RecordDesc{"LingsanIO", 28, With(Header(), {F{26, W, 2, "继电器", Hex, true}})},
        // The station table shows only its station name and ID. Its 地址号
        // stays little-endian in Station.be: the exchange common to every
        // table is undone for it by the table's own exchange.
        RecordDesc{"StationInfo",
                   126,
                   {F{0, T, 16, "设备名称", Hid, false}, F{16, W, 2, "地址号", Hid, false},
                    F{18, W, 2, "按钮号", Hid, true}, F{20, W, 2, "字号", Hid, true},
                    F{22, W, 2, "位号", Hid, true}, F{26, T, 100, "名称", Txt, false},
                    F{24, W, 2, "车站ID", Dec, true}}},
    };
    return descs;
}

// Relay matrix of the eighteen signal types: LXJ ZXJ DXJ TXJ LUXJ YXJ DJ 2DJ DDJ SGJ.
constexpr uint16_t kRelayMatrix[18] = {
    0b0000001011, 0b0010001011, 0b0010001011, 0b1000001011, 0b1000001011, 0b1010001011,
    0b1000011111, 0b1000011111, 0b1000011111, 0b1110001111, 0b1100011111, 0b1101011111,
    0b1110011111, 0b1101111111, 0b1111011111, 0b1111111111, 0b1110101111, 0b0000000011,
};

}  // namespace

const RecordDesc& InputRecordDesc(int index) { return Descs()[static_cast<size_t>(index)]; }

const RecordDesc& MutiSectionDesc() {
    static const RecordDesc desc{
        "MutiSectionEntry",
        64,
        {F{0, D, 4, "个数", Dec, true}, F{4, T, 16, "区段-1", Txt, false},
         F{20, T, 16, "区段-2", Txt, false}, F{36, T, 16, "区段-3", Txt, false},
         F{52, W, 2, "地址号1", Dec, true}, F{54, W, 2, "地址号2", Dec, true},
         F{56, W, 2, "地址号3", Dec, true}, F{58, W, 2, "GJ1", Hex, true},
         F{60, W, 2, "GJ2", Hex, true}, F{62, W, 2, "GJ3", Hex, true}}};
    return desc;
}

const RecordDesc& AddressRelationDesc() {
    static const RecordDesc desc = [] {
        RecordDesc d{"AddressRelation",
                     24,
                     {F{0, W, 2, "物理区段地址号", Hex, true}, F{2, W, 2, "个数", Dec, true}}};
        static const char* names[10] = {"逻辑区段1", "逻辑区段2", "逻辑区段3", "逻辑区段4",
                                        "逻辑区段5", "逻辑区段6", "逻辑区段7", "逻辑区段8",
                                        "逻辑区段9", "逻辑区段10"};
        for (size_t i = 0; i < 10; ++i) d.fields.push_back(F{4 + 2 * i, W, 2, names[i], Dec, true});
        return d;
    }();
    return desc;
}

const char* InputTableTitle(int index) {
    static const char* titles[kInputTableCount] = {"区段输入表",     "道岔输入表",
                                                   "信号机输入表",   "逻辑区段输入表",
                                                   "零散信息输入表", "车站信息表"};
    return titles[index];
}

bool SignalTypeHasRelay(int type, int relay) {
    if (type < 0 || type >= 18 || relay < 0 || relay >= 10) return false;
    return (kRelayMatrix[type] >> (9 - relay)) & 1;
}

uint16_t Row::U16(size_t o) const { return o + 2 <= size_ ? GetU16LE(&bytes_[o]) : 0; }
void Row::SetU16(size_t o, uint16_t v) {
    if (o + 2 <= size_) PutU16LE(&bytes_[o], v);
}
uint32_t Row::U32(size_t o) const { return o + 4 <= size_ ? GetU32LE(&bytes_[o]) : 0; }
void Row::SetU32(size_t o, uint32_t v) {
    if (o + 4 <= size_) PutU32LE(&bytes_[o], v);
}
std::u16string Row::Text(size_t o, size_t n) const { return FromGbk(TextGbk(o, n)); }
std::string_view Row::TextView(size_t o, size_t n) const {
    if (o + n > size_) return {};
    return FixedTextView(std::span<const uint8_t>(&bytes_[o], n));
}
void Row::SetText(size_t o, size_t n, std::u16string_view text) {
    if (o + n <= size_) StoreFixedText(std::span<uint8_t>(&bytes_[o], n), text);
}

size_t IoTables::Bytes() const {
    size_t n = 0;
    const auto add = [&n](const std::vector<Row>& rows) { n += rows.size() * sizeof(Row); };
    for (const auto& t : tables) add(t);
    add(combinations);
    add(relations);
    return n;
}

Row IoTables::NewRow(int index) {
    Row row(InputRecordDesc(index).size);
    row.SetName(u"NO");
    for (size_t o : {io::kAddress, io::kButton, io::kWord, io::kBit}) row.SetU16(o, 0xFFFF);
    row.SetU16(io::kStation, 0);
    if (index == kSignalTable) {
        for (size_t i = 0; i < 10; ++i) row.SetU16(io::kSignalRelays + 2 * i, 0xFFFF);
    }
    if (index == kStationTable) row.SetText(io::kStationName, io::kStationNameBytes, u"NO");
    return row;
}

namespace {
bool NameMatches(int index, const Row& row, std::u16string_view name) {
    const std::u16string rowName = row.Name();
    if (rowName == name) return true;
    if (index != kSwitchTable) return false;
    const auto parts = SwitchNameParts(rowName);
    return std::find(parts.begin(), parts.end(), name) != parts.end();
}
}  // namespace

const Row* IoTables::FindByName(std::u16string_view name) const {
    for (int i = 0; i < kInputTableCount; ++i) {
        for (const Row& row : Table(i)) {
            if (NameMatches(i, row, name)) return &row;
        }
    }
    return nullptr;
}

Row* IoTables::FindByName(std::u16string_view name) {
    return const_cast<Row*>(static_cast<const IoTables*>(this)->FindByName(name));
}

int IoTables::TableOf(const Row* row) const {
    for (int i = 0; i < kInputTableCount; ++i) {
        const auto& t = Table(i);
        if (!t.empty() && row >= t.data() && row < t.data() + t.size()) return i;
    }
    return -1;
}

std::vector<std::u16string_view> SwitchNameParts(std::u16string_view name) {
    std::vector<std::u16string_view> parts;
    size_t start = 0;
    while (true) {
        const size_t dash = name.find(u'-', start);
        const size_t end = dash == std::u16string_view::npos ? name.size() : dash;
        parts.push_back(name.substr(start, end - start));
        if (dash == std::u16string_view::npos) return parts;
        start = dash + 1;
    }
}

std::vector<size_t> OrderByText(const std::vector<Row>& rows, size_t offset, size_t n) {
    std::vector<std::pair<std::string_view, size_t>> keyed;
    keyed.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) keyed.emplace_back(rows[i].TextView(offset, n), i);
    // Texts compare their bytes as unsigned char.
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<size_t> order;
    order.reserve(keyed.size());
    for (const auto& entry : keyed) order.push_back(entry.second);
    return order;
}

std::string NumberTooLarge(std::string_view table, size_t row, std::string_view field,
                           int64_t value, int64_t largest) {
    return std::string(table) + " 第 " + std::to_string(row) + " 行的" + std::string(field) +
           "将是 " + std::to_string(value) + "，超出该字段能存的范围（最大 " +
           std::to_string(largest) + "），已取消，表未改变。";
}

bool NumberFits(Interaction& ui, std::string_view table, size_t row, std::string_view field,
                int64_t value, int64_t largest) {
    if (value <= largest) return true;
    ui.Warning(NumberTooLarge(table, row, field, value, largest));
    return false;
}

IoNameIndex::IoNameIndex(const IoTables& t) {
    size_t rows = 0;
    for (int i = 0; i < kInputTableCount; ++i) rows += t.Table(i).size();
    rows_.Reserve(rows + 2 * t.Table(kSwitchTable).size());
    for (int i = 0; i < kInputTableCount; ++i) {
        for (const Row& row : t.Table(i)) {
            // Insert keeps the first row of a name.
            const std::u16string name = row.Name();
            rows_.Insert(name, &row);
            if (i != kSwitchTable) continue;
            for (std::u16string_view part : SwitchNameParts(name)) rows_.Insert(part, &row);
        }
    }
}

const Row* IoNameIndex::Find(std::u16string_view name) const {
    const Row* const* row = rows_.Find(name);
    return row ? *row : nullptr;
}

const Row* IoNameIndex::Find(std::u16string_view name, Cursor& cursor) const {
    const Row* const* row = rows_.Find(name, cursor);
    return row ? *row : nullptr;
}

void AssignAddresses(int index, Row& row, uint16_t n) {
    const auto button = [n](uint16_t base) {
        return static_cast<uint16_t>((n % 16) * 256 + n / 16 + base);
    };
    row.SetU16(io::kAddress, n);
    if (index == kSignalTable) {
        const uint16_t b = button(0x10);
        row.SetU16(io::kButton, b);
        row.SetU16(io::kSignalButton2, static_cast<uint16_t>(b + 0x8000));
        row.SetU16(io::kWord, n);
        row.SetU16(io::kBit, 0);
        return;
    }
    static constexpr uint16_t kBase[kInputTableCount] = {0x30, 0x23, 0x10, 0x80, 0x50, 0x60};
    row.SetU16(io::kButton, button(kBase[index]));
    row.SetU16(io::kWord, static_cast<uint16_t>(n / 8));
    row.SetU16(io::kBit, static_cast<uint16_t>((n % 8) * 2));
}

void RebuildRelations(IoTables& t) {
    t.relations.clear();
    // The relation of each physical address, by the address: one pass over
    // the logic sections however many there are.
    std::vector<int32_t> relationOf(0x10000, -1);
    for (const Row& logic : t.Table(kLogicSectionTable)) {
        const uint16_t phys = logic.U16(io::kLogicPhysicalAddress);
        int32_t& index = relationOf[phys];
        if (index < 0) {
            index = static_cast<int32_t>(t.relations.size());
            Row e(AddressRelationDesc().size);
            e.SetU16(0, phys);
            e.SetU16(2, 1);
            e.SetU16(4, logic.U16(io::kAddress));
            t.relations.push_back(std::move(e));
            continue;
        }
        // Rows without a physical section (0xFFFF) share one relation of
        // one. A relation holds ten logic sections; a physical section with
        // more keeps the first ten.
        Row& e = t.relations[static_cast<size_t>(index)];
        const uint16_t count = e.U16(2);
        if (phys == 0xFFFF || count == 10) continue;
        e.SetU16(4 + 2 * size_t{count}, logic.U16(io::kAddress));
        e.SetU16(2, static_cast<uint16_t>(count + 1));
    }
}

}  // namespace velkor
