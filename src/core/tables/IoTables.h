#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "common/NameIndex.h"
#include "tables/RecordDesc.h"

namespace velkor {

class Interaction;

// The six input tables, by table index.
enum TableIndex : int {
    kSectionTable = 0,       // SectionIO, 区段输入表
    kSwitchTable = 1,        // SwitchIO, 道岔输入表
    kSignalTable = 2,        // SignalIO, 信号机输入表
    kLogicSectionTable = 3,  // LogicSectionIO, 逻辑区段输入表
    kLingsanTable = 4,       // LingsanIO, 零散信息输入表
    kStationTable = 5,       // StationInfo, 车站信息表
};
inline constexpr int kInputTableCount = 6;

// Offsets of the 26-byte header every input-table row begins with (the
// layout of a device's IO record).
namespace io {
inline constexpr size_t kName = 0;
inline constexpr size_t kNameBytes = 16;
inline constexpr size_t kAddress = 16;  // 地址号
inline constexpr size_t kButton = 18;   // 按钮号
inline constexpr size_t kWord = 20;     // 字号
inline constexpr size_t kBit = 22;      // 位号
inline constexpr size_t kStation = 24;  // 车站号 (车站ID in the station table)
inline constexpr size_t kHeader = 26;
// Type-specific fields.
inline constexpr size_t kSectionGJ = 26;
inline constexpr size_t kSectionFWZTJ = 28;
inline constexpr size_t kSwitchDBJ = 26;
inline constexpr size_t kSwitchFBJ = 28;
inline constexpr size_t kSwitchSJ = 30;
inline constexpr size_t kSignalType = 26;
inline constexpr size_t kSignalButton2 = 28;
inline constexpr size_t kSignalRelays = 30;  // LXJ .. SGJ, ten u16
inline constexpr size_t kLogicPhysicalAddress = 26;
inline constexpr size_t kLogicPhysicalName = 28;
inline constexpr size_t kLogicDirection = 44;
inline constexpr size_t kLingsanRelay = 26;
inline constexpr size_t kStationName = 26;
inline constexpr size_t kStationNameBytes = 100;
}  // namespace io

// The record descriptions: the six input tables, the section combination
// (MutiSectionEntry) and the address relation (AddressRelation).
const RecordDesc& InputRecordDesc(int tableIndex);
const RecordDesc& MutiSectionDesc();
const RecordDesc& AddressRelationDesc();
// The dialog title of an input table ("区段输入表" ...).
const char* InputTableTitle(int tableIndex);
// Which of the ten signal relays (LXJ .. SGJ) a signal type has.
bool SignalTypeHasRelay(int type, int relay);

// One stored record: its bytes are exactly its image in the little-endian
// file, read and written through typed accessors. The bytes live in the row
// itself (no record is longer than 128 bytes), so a table is one block of
// memory: copying, comparing and dropping a large table cost no allocation
// per row.
class Row {
public:
    static constexpr size_t kLargest = 128;
    explicit Row(size_t size) : size_(Checked(size)) {}
    std::span<uint8_t> Bytes() { return {bytes_.data(), size_}; }
    std::span<const uint8_t> Bytes() const { return {bytes_.data(), size_}; }
    size_t Size() const { return size_; }

    uint16_t U16(size_t offset) const;
    void SetU16(size_t offset, uint16_t v);
    uint32_t U32(size_t offset) const;
    void SetU32(size_t offset, uint32_t v);
    std::u16string Text(size_t offset, size_t n) const;
    std::string TextGbk(size_t offset, size_t n) const { return std::string(TextView(offset, n)); }
    // The same bytes, without a copy: valid while the row is.
    std::string_view TextView(size_t offset, size_t n) const;
    // Cut at a character boundary to n - 1 bytes; the rest of the field zeroed.
    void SetText(size_t offset, size_t n, std::u16string_view text);

    std::u16string Name() const { return Text(io::kName, io::kNameBytes); }
    void SetName(std::u16string_view name) { SetText(io::kName, io::kNameBytes, name); }

    friend bool operator==(const Row& a, const Row& b) {
        return a.size_ == b.size_ &&
               std::equal(a.bytes_.begin(), a.bytes_.begin() + a.size_, b.bytes_.begin());
    }

private:
    static uint8_t Checked(size_t size) {
        if (size > kLargest) throw std::length_error("record longer than 128 bytes");
        return static_cast<uint8_t>(size);
    }
    uint8_t size_;
    std::array<uint8_t, kLargest> bytes_{};
};

// The input tables of a station, its section combinations and the address
// relation, as the document keeps them.
struct IoTables {
    std::array<std::vector<Row>, kInputTableCount> tables;
    std::vector<Row> combinations;  // MutiSectionEntry
    std::vector<Row> relations;     // AddressRelation

    std::vector<Row>& Table(int index) { return tables[static_cast<size_t>(index)]; }
    const std::vector<Row>& Table(int index) const { return tables[static_cast<size_t>(index)]; }
    void Clear(int index) { Table(index).clear(); }
    // A row with the defaults: name "NO", numbers unset, station 0; a signal
    // row's relays unset; a station row's name "NO" and ID 0.
    static Row NewRow(int index);
    void Append(int index, Row row) { Table(index).push_back(std::move(row)); }
    // The first row, tables in index order, whose name equals `name`; a
    // switch row "1-3" is found under 1 and under 3. Station rows are found
    // by their header name, not the station name.
    Row* FindByName(std::u16string_view name);
    const Row* FindByName(std::u16string_view name) const;
    // The table a row of FindByName belongs to, or -1.
    int TableOf(const Row* row) const;
    // The bytes the rows take, for the memory bound of the undo history.
    size_t Bytes() const;

    friend bool operator==(const IoTables&, const IoTables&) = default;
};

// The parts of a switch row's name between "-": "1-3" gives "1" and "3".
std::vector<std::u16string_view> SwitchNameParts(std::u16string_view name);

// The positions of `rows` in order of their text field at (offset, n),
// bytes compared unsigned, rows of equal text in their order. Each text is
// taken out of its row once.
std::vector<size_t> OrderByText(const std::vector<Row>& rows, size_t offset, size_t n);

// FindByName for a run of many lookups: every row's name indexed once, as
// FindByName compares them (the first row in table order wins; a switch row
// also stands under each part of its name between "-"). Valid while the
// tables keep their rows.
class IoNameIndex {
public:
    explicit IoNameIndex(const IoTables& t);
    const Row* Find(std::u16string_view name) const;
    // The same answer, found quicker when names are asked in table order.
    using Cursor = NameIndex<const Row*>::Cursor;
    const Row* Find(std::u16string_view name, Cursor& cursor) const;

private:
    NameIndex<const Row*> rows_;
};

// The generators number rows and addresses in 16-bit fields. A number past
// what its field holds would wrap round: the run is refused instead, with
// this message naming the table, the row (from 1), the field and the number.
// 地址号 stop at 65,534 because 0xFFFF marks an unset address.
inline constexpr int64_t kLargestNumber = 0xFFFF;
inline constexpr int64_t kLargestAddress = 0xFFFE;
std::string NumberTooLarge(std::string_view table, size_t row, std::string_view field,
                           int64_t value, int64_t largest);
// True when `value` fits; otherwise tells the user NumberTooLarge.
bool NumberFits(Interaction& ui, std::string_view table, size_t row, std::string_view field,
                int64_t value, int64_t largest);

// The numbering rule: the row's 地址号, 按钮号, 字号 and 位号 (and a signal's
// 按钮号2) from the address number n.
void AssignAddresses(int tableIndex, Row& row, uint16_t n);

// Rebuilds the relation table from the logic-section table: one relation per
// physical address, in the order it first occurs.
void RebuildRelations(IoTables& t);

}  // namespace velkor
