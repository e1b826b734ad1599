#pragma once
#include <optional>
#include <string_view>
#include <vector>

#include "common/Files.h"
#include "common/Status.h"
#include "tables/IoTables.h"

namespace velkor {

class CVelkorDoc;

inline constexpr const char* kElementSheet = "interface_elements";
inline constexpr const char* kElementWorkbook = "元素表.xls";
inline constexpr const char* kMsgElementsDone = "元素表生成完毕!";
inline constexpr const char* kMsgAppendSiemensMisc = "需要在表后追加西门子零散信息？";
inline constexpr const char* kMsgNoElementSheet =
    "工作簿中没有“interface_elements”页，没有读入元素。";

// The element lines of "生成元素表": name, kind text and kind number of each
// interlocking element, from the switch, signal, logic-section and section
// input tables. The logic-section table of the document is sorted by name
// on the way (it keeps that order).
struct ElementLine {
    std::u16string name;
    const char* kind;
    const char* number;
};
std::vector<ElementLine> ElementLines(CVelkorDoc& doc);
// True when the logic-section table is in that order already.
bool LogicSectionsInNameOrder(const IoTables& io);
// "生成元素表": `元素表.xls` in the station directory, then "元素表生成完毕!".
// False when the workbook could not be written.
bool WriteElementTable(CVelkorDoc& doc);

// The rows of an element workbook's sheet "interface_elements" as ElementCode
// rows (Serial_Num their position). A workbook without the sheet gives no
// rows and a Damaged status.
Status ReadElementWorkbook(const fs::path& file, FileStore& files, std::vector<Row>& rows);
// The element import: an empty ElementCode table is created from the rows
// (IxL地址号 by kind), a filled one takes their Siemens columns; with
// `appendMisc` the "Initial_element" rows are appended at the end. Names
// too long for their fields are refused (the user is told which) and nothing
// changes: false.
bool ImportElements(CVelkorDoc& doc, const std::vector<Row>& read, bool appendMisc);

// A code table by name as the ribbon and the files name it
// (PhysicalSectionCode, TrackSectionCode, ElementCode, CrossCode, SwitchCode,
// SwitSectCode): its code-table index, -1 for PhysicalSectionCode, or
// nothing.
std::optional<int> CodeTableByName(std::string_view name);
// "导出Excel" of a code-table dialog: the headers in row 1 (bold, 50 high,
// vertically centred), the columns as wide as the dialog's divided by 6, the
// rows from A2 as texts (numbers in decimal).
Status WriteCodeTableWorkbook(const std::vector<Row>& rows, int codeTable, const fs::path& file,
                              FileStore& files);

}  // namespace velkor
