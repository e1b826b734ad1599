#pragma once
#include <array>
#include <vector>

#include "tables/IoTables.h"

namespace velkor {

struct StationDir;
struct TableFileContext;

// The five Siemens code tables by code-table index; PhysicalSectionCode
// stands apart with its own routine.
enum CodeTableIndex : int {
    kTrackSectionCode = 0,
    kElementCode = 1,
    kCrossCode = 2,
    kSwitchCode = 3,
    kSwitSectCode = 4,
};
inline constexpr int kSiemensTableCount = 5;

inline constexpr const char* kMsgSaveCodesFailed = "保存码位失败，无法打开文件";
inline constexpr const char* kMsgReadCodesFailed = "读取码位失败，无法打开文件";

const RecordDesc& PhysicalSectionCodeDesc();
const RecordDesc& CodeTableDesc(int codeTableIndex);

// The six code tables of a station.
struct CodeTables {
    std::vector<Row> physical;  // PhysicalSectionCode
    std::array<std::vector<Row>, kSiemensTableCount> tables;

    std::vector<Row>& Table(int index) { return tables[static_cast<size_t>(index)]; }
    const std::vector<Row>& Table(int index) const { return tables[static_cast<size_t>(index)]; }
    void Clear(int index) { Table(index).clear(); }
    // Rows with their defaults.
    static Row NewPhysicalRow();
    static Row NewRow(int codeTableIndex);
    // The row a code-table dialog adds: a SwitSectCode row starts with the
    // SwitchCode pattern of unset addresses.
    static Row NewDialogRow(int codeTableIndex);
    size_t Bytes() const;

    friend bool operator==(const CodeTables&, const CodeTables&) = default;
};

// The code-table file routines: PhysicalSectionCode first, then the five
// Siemens tables in index order; .le files under x86/ATP, .be under ppc/ATP.
void SerializePhysicalSectionCode(const TableFileContext& doc, const StationDir& dir, bool storing);
void SerializeCodeTables(const TableFileContext& doc, const StationDir& dir, bool storing);

}  // namespace velkor
