#pragma once
#include <string>

namespace velkor {

class CVelkorDoc;

inline constexpr const char* kAskRepeatSections =
    "请确认是否已生成复示区段逻辑IO表，\n重复生成将会造成数据错误，\n该功能不可逆，请提前保存好数据"
    "！";
inline constexpr const char* kMsgRepeatSectionsDone = "复示区段IO生成完毕！";
inline constexpr const char* kAskSiemensLogicTable =
    "请确认是否需要\n根据西门子数据生成逻辑区段表数据，\n该功能不可逆，\n请提前保存好数据！";
inline constexpr const char* kMsgLogicTableDone = "逻辑区段表数据生成完毕！";
inline constexpr const char* kMsgSiemensVirtual = "生成西门子虚拟逻辑区段表！";
inline constexpr const char* kAskVirtualLogicTable =
    "请确认是否需要\n根据站场界面设备自动生成虚拟逻辑区段表数据，\n该功能不可逆，\n请提前保存好数据"
    "！";
inline constexpr const char* kMsgVirtualDone = "虚拟逻辑区段表数据生成完毕！";
inline constexpr const char* kMsgMissingSuffix = "名称缺少后缀，请检查!";

// The GBK text without its last whole character (never half of a two-byte one).
std::string DropLastGbkCharacter(const std::string& gbk);

// "生成复示逻辑区段IO": a TrackSectionCode row for every repeat section.
bool GenerateRepeatSectionRows(CVelkorDoc& doc);
// "生成逻辑区段表" (西门子数据): the logic-section table from the code tables.
bool GenerateSiemensLogicTable(CVelkorDoc& doc);
// "生成虚拟逻辑区段表" (西门子数据): a row per section and switch section.
bool GenerateSiemensVirtualLogicTable(CVelkorDoc& doc);
// "生成虚拟逻辑区段表" (自主数据): a row per distinct logic-section name.
bool GenerateHaldeVirtualLogicTable(CVelkorDoc& doc);

}  // namespace velkor
