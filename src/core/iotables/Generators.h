#pragma once

#include <functional>
#include <string_view>
#include <vector>

namespace velkor {

class CVelkorDoc;
class Row;

inline constexpr const char* kAskTransfer =
    "如果本站包含逻辑区段，请确认已经输入逻辑IO表，该功能不可逆，请保存好数据！";
inline constexpr const char* kTransferOptionsTitle = "输入表属性";
inline constexpr const char* kMsgNoTransferOptions = "请先设置输入板属性！";
inline constexpr const char* kMsgTransferDone = "输入表数据生成完毕!";
inline constexpr const char* kMsgValidationOk = "(^_^)";

// "读取输入板": copies the relay addresses of the input tables into the
// devices of the classes the person ticks, reporting devices not found.
// Returns false when the person stopped it before it ran.
bool TransferInputTables(CVelkorDoc& doc);
// The transfer itself, for the classes ticked in the six boxes (信号机, 区段,
// 道岔, 表示灯, 按钮, 车站), without questions or messages.
void TransferInputTablesInto(CVelkorDoc& doc, const std::vector<bool>& boxes);
// The same with the row lookup given: any lookup that finds what
// IoTables::FindByName finds gives the same result.
using RowLookup = std::function<const Row*(std::u16string_view name)>;
void TransferInputTablesInto(CVelkorDoc& doc, const std::vector<bool>& boxes,
                             const RowLookup& names);

// "校验数据": reports the table files that were missing or damaged when the
// station was opened, else the first fault of the input tables (after the
// continuity message, which does not stop it) or "(^_^)". Returns true when
// no fault stopped it.
bool ValidateInputTables(CVelkorDoc& doc);

}  // namespace velkor
