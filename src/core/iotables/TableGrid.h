#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Interaction.h"
#include "tables/IoTables.h"

namespace velkor {

class CVelkorDoc;

inline constexpr const char* kMsgBadGridDecimal = "SyncItemDec Failed: Not a DEC NUM";
inline constexpr const char* kMsgCellTooLong = "第 %d 行“%s”超过 %d 个字节，请缩短：%s";

// One column of a table dialog: its header, the field of the record
// description that holds its value, and how its cells are shown and checked.
struct GridColumn {
    enum class Kind {
        Text,        // a GBK text field
        Decimal,     // "%d", digits only
        Hex,         // "0X%04X", hexadecimal digits
        Relay,       // a relay address "0X%04X", set as board and position
        SignalType,  // a signal type's name
    };
    const char* header;
    const FieldDesc* field;
    Kind kind;
    int relay = -1;  // the signal relays: LXJ 0 .. SGJ 9
    int width = 80;  // pixels
};

// A table dialog: which table, its title, its window width and its columns
// in order. Built from the record descriptions of the tables.
struct GridDesc {
    int table;  // the input-table index; -1 for the section combinations, -2 for a code table
    const char* title;
    int windowWidth;
    std::vector<GridColumn> columns;
    int codeTable = 0;  // a code table's index; -1 for PhysicalSectionCode
    bool IsCodeTable() const { return table == -2; }
};
const GridDesc& InputGridDesc(int table);
const GridDesc& CombinationGridDesc();
// The dialog of a code table (its index, -1 for PhysicalSectionCode): every
// field in record order, numbers in decimal.
const GridDesc& CodeGridDesc(int codeTable);
// The input table of a ribbon name (区段, 道岔, 信号机, 逻辑区段, 零散信息,
// 车站信息表) or file stem (Section, Switch, Signal, LogicSection, Lingsan,
// Station), or -1.
int InputTableByName(std::string_view name);

// What the dialogs "道岔名称" and "新建信号机" give a new row.
struct NewGridRow {
    std::u16string name;
    uint16_t signalType = 0xFFFF;
};

// The working copy of a table dialog: rows of cell texts (UTF-8), each with
// the record it stands for. Edits stay here until the dialog stores them.
class TableGrid {
public:
    enum class Colour { White, Green, Black };
    using NewRow = NewGridRow;

    TableGrid(const GridDesc& desc, Interaction& ui) : desc_(desc), ui_(ui) {}

    const GridDesc& Desc() const { return desc_; }
    size_t Rows() const { return rows_.size(); }
    size_t Columns() const { return desc_.columns.size(); }
    const std::string& Cell(size_t row, size_t column) const { return rows_[row].cells[column]; }
    // Relay cells are green; in the signal table a relay the row's type lacks
    // is black.
    Colour CellColour(size_t row, size_t column) const;

    // Opening: one row per record (input tables) or per combination.
    void Load(const std::vector<Row>& records);
    // Closing: the records of the rows in order. Each starts from the record
    // its row was opened with (a new row from a new row's defaults), so the
    // fields the grid does not show keep their values. A number that fails
    // its check is reported and keeps that value.
    std::vector<Row> Records();
    // The combination grid's names, row by row.
    std::vector<std::array<std::u16string, 3>> CombinationNames() const;

    // A double click on a relay cell whose relay applies opens the relay
    // dialog; every other cell opens the in-place editor.
    bool OpensRelayDialog(size_t row, size_t column) const;
    // The in-place editor's text: checked by the column (decimal, hexadecimal,
    // a name that fits its field); a refused text is reported and the cell
    // keeps its old text. True when the cell took the text.
    bool Edit(size_t row, size_t column, std::string_view text) {
        return Edit(row, column, text, ui_);
    }
    // The same, telling `ui` why a text is refused.
    bool Edit(size_t row, size_t column, std::string_view text, Interaction& ui);
    // The relay dialog: its title "<name> : <header>", the cell as board and
    // position, and the cell set from them.
    std::string RelayTitle(size_t row, size_t column) const;
    std::pair<uint16_t, uint16_t> Relay(size_t row, size_t column) const;
    void SetRelay(size_t row, size_t column, uint16_t board, uint16_t position);

    // The row last clicked; none (-1) after every insert or delete.
    int current = -1;
    // Whether a new row needs a name (and a type) first: switches, signals.
    bool NewRowNeedsDialog() const;
    // A new row at `position`, numbered by its position.
    void InsertRow(size_t position, const NewRow& input = {});
    void Append(const NewRow& input = {}) { InsertRow(rows_.size(), input); }
    // Before the current row; the rows after it are numbered on. False
    // without a current row.
    bool Insert(const NewRow& input = {});
    // The current row, after "确认删除这个设备？"; the rows after it are
    // numbered back. In the combination grid the row just goes.
    bool Delete();
    // Drops the rows from `count` on.
    void DropRowsFrom(size_t count) {
        if (count < rows_.size()) rows_.resize(count);
    }

private:
    struct GridRow {
        std::vector<std::string> cells;
        Row record{0};
    };
    // A row's record from its cells; failures reported when `report`.
    Row ToRecord(const GridRow& row, bool report) const;
    void FromRecord(const Row& record, GridRow& row) const;
    int SignalTypeOf(const GridRow& row) const;
    // Renumbers the rows from `first` by `delta` on their 地址号.
    void Renumber(size_t first, int delta);

    const GridDesc& desc_;
    Interaction& ui_;
    std::vector<GridRow> rows_;
};

// The dialog "新建信号机": its kinds (radio buttons) with their sub-kinds in
// list order, and the type index of the kind or of its first sub-kind.
struct NewSignalKind {
    const char* name;
    std::vector<const char*> subKinds;
    uint16_t firstType;
};
const std::vector<NewSignalKind>& NewSignalKinds();
inline constexpr const char* kMsgNewSignalName = "名称不能空, 并且不要超过 16 个字符";
inline constexpr const char* kMsgNewSignalKind = "请选择信号机类型";
inline constexpr const char* kMsgNewSignalSubKind = "请选择信号机子类型";
inline constexpr const char* kMsgRowNameTooLong = "名称超过 15 个字节，请缩短：%s";
// "确定" of "新建信号机": the checks in order (a name of 1 to 16 characters
// that fits the 15 bytes of a row name, a kind, a sub-kind where the kind
// has some; kind and sub-kind -1 for none), then the signal type.
std::optional<uint16_t> NewSignalType(std::u16string_view name, int kind, int subKind,
                                      Interaction& ui);
// "确定" of "道岔名称": the name, or both names joined by "-" for a
// double-acting switch ("双动道岔"); refused when too long for a row name.
std::optional<std::u16string> NewSwitchName(std::u16string_view name, bool doubleActing,
                                            std::u16string_view second, Interaction& ui);

// Stores a table dialog's rows into the station as one undoable step; a
// station whose tables did not change stays unchanged.
void StoreInputTable(CVelkorDoc& doc, int table, std::vector<Row> rows);
void StoreCodeTable(CVelkorDoc& doc, int codeTable, std::vector<Row> rows);

}  // namespace velkor
