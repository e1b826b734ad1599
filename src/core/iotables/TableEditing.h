#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "common/Interaction.h"
#include "devices/IORecord.h"
#include "tables/IoTables.h"

namespace velkor {

class CVelkorDoc;
class CADSignal;
class CADThreeSwitch;
class CADStation;
class RailSwitch;

inline constexpr const char* kMsgNoMatchingDevice = "IO表中没有名称匹配的设备";
inline constexpr const char* kMsgNoMatchingName = "IO表中没有名称 %s 匹配的设备";
inline constexpr const char* kMsgBadDecimal = "输入的十进制数据无效";
inline constexpr const char* kMsgBadHex = "输入的十六进制数据无效";
inline constexpr const char* kMsgConfirmDelete = "确认删除这个设备？";
inline constexpr const char* kMsgCombinationNotFound =
    "输入表中没有找到对应的设备，请确认区段输入表中数据！";

// The number checks of the table grids and the device dialogs. Hexadecimal
// takes digits, a-f, A-F, x and X with an optional 0x prefix; decimal takes
// digits only. Both keep 16 bits; an empty text is 0; nothing when refused.
std::optional<uint16_t> ParseHexField(std::string_view text);
std::optional<uint16_t> ParseDecimalField(std::string_view text);

// The signal type of a 类型 cell: the index of the equal type name, or
// 0xFFFF when it is none of the eighteen.
uint16_t SignalTypeFromName(std::u16string_view name);

// A row as a table dialog adds it: empty name, station 0, every relay (and
// a logic section's physical address) unset, numbered for position n.
Row NewEditorRow(int tableIndex, uint16_t n);

// Name-matching services of the device dialogs.
// The record takes the name and the four numbers of the row of that name;
// a signal with a second button also its 按钮号2 (from a signal row). Not
// found: numbers unset and "IO表中没有名称匹配的设备".
bool MatchIoRecord(const IoTables& t, std::u16string_view text, IORecord& rec, Interaction& ui,
                   CADSignal* signal = nullptr);
// As MatchIoRecord with the message naming the name.
bool MatchNamedRecord(const IoTables& t, std::u16string_view text, IORecord& rec, Interaction& ui);
// The three-way switch dialog: the IO record under the text, then logic
// record k (k < logic sections per switch) under "text_A", "text_B" ...
bool MatchThreeWayLogicSections(const IoTables& t, std::u16string_view text, CADThreeSwitch& sw,
                                int perSwitch, Interaction& ui);
// The two-way switch dialog: each of the first logic records under its own
// name, then the switch-section record under the text.
bool MatchTwoWaySwitchRecords(const IoTables& t, std::u16string_view text, RailSwitch& sw,
                              int perSwitch, Interaction& ui);
// The two miscellaneous rows whose names, cut at "_" (or "-"), equal the
// text fill the two records; both empty and the message when not two.
bool MatchPairedLingsan(const IoTables& t, std::u16string_view text, IORecord& first,
                        IORecord& second, Interaction& ui);
// The 车站ID of the first station row of that station name, or 0xFFFF.
uint16_t MatchStation(const IoTables& t, std::u16string_view text);

inline constexpr const char* kMsgButtonNameMismatch = "按钮名称不匹配，请检查按钮名";

// The station box dialog's name lookup: the first station row of that
// station name gives the box its name, row (from 1) and ID; otherwise
// "车站信息表中没有名称匹配的车站" and nothing changes.
bool LookUpStationBox(const IoTables& t, std::u16string_view text, CADStation& box,
                      Interaction& ui);
// The button dialog's name lookup: an input-table row of that name gives the
// IO record; else a panel function gives its code as button number; else
// "按钮名称不匹配，请检查按钮名".
bool LookUpButtonName(const IoTables& t, std::u16string_view text, IORecord& rec, Interaction& ui);

// "区段组合" confirmed: rebuilds every combination from the grid's names.
// False when a name is in no table: the message is shown, `failedRow` names
// the row and the list is left as it was.
bool ConfirmSectionCombinations(IoTables& t, const std::vector<std::array<std::u16string, 3>>& grid,
                                Interaction& ui, size_t* failedRow = nullptr);

}  // namespace velkor
