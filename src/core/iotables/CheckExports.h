#pragma once
#include <string>
#include <vector>

#include "common/Files.h"
#include "common/Geometry.h"
#include "common/Painter.h"
#include "common/Status.h"

namespace velkor {

class CVelkorDoc;
struct IoTables;
struct CodeTables;

inline constexpr const char* kMsgIoTextExists =
    "IO文本校验文件已存在，请先删除文件，才能重新生成！";
inline constexpr const char* kMsgSiemensTextExists =
    "西门子数据文本校验文件已存在，请先删除文件，才能重新生成！";
inline constexpr const char* kMsgChecksDone = "IO校验表生成完毕！";
inline constexpr const char* kMsgChecksFailed = "保存IO校验文件失败";

// One check table as the workbook and the text view both take it: the sheet
// (and text file) name, the headers and the rows, every cell already a text
// in the station's encoding (GBK): names as their bytes, numbers formatted.
struct CheckSheet {
    std::string name;  // UTF-8
    std::vector<std::string> headers;
    std::vector<std::vector<std::string>> rows;
    // Whether a record line ends with a tab before its line end.
    bool trailingTab = true;
};

// The input tables 0 to 4 as "IO信息输入表.xls" and the text views list them.
std::vector<CheckSheet> InputTableSheets(const IoTables& t);
// The IO records the drawing's devices carry ("站场信息IO表.xls").
std::vector<CheckSheet> DrawingIoSheets(const CVelkorDoc& doc);
// The six Siemens code tables ("西门子信息表.xls"), every number in decimal.
std::vector<CheckSheet> SiemensSheets(const CodeTables& c);

// A workbook with one sheet per check table, in order; cells decoded from GBK.
Status WriteCheckWorkbook(const std::vector<CheckSheet>& sheets, const fs::path& file,
                          FileStore& files);
// The text view: GBK, CR LF, the header line with a tab after every header,
// the record lines with a tab after every field but, where the table says
// so, the last.
std::string CheckTextView(const CheckSheet& sheet);

// "生成校验数据表": the two IO workbooks and five text views, then the Siemens
// workbook and six text views in CheckIOExcel of the station, with their
// messages, ending with "IO校验表生成完毕！". False when a file could not be
// written.
bool GenerateCheckFiles(CVelkorDoc& doc);

// The check view: beside each device its 地址号 and 按钮号; a device whose
// IO name is "NO", empty or in no input table is flagged with the reason.
struct CheckMark {
    size_t object;  // index in the object list
    Rect rect;      // the device's window, canvas
    std::string text;
    bool flagged = false;
    std::string reason;
};
std::vector<CheckMark> CheckMarks(const CVelkorDoc& doc);
// Paints the marks over the drawing (flagged devices in red).
void PaintCheckMarks(Painter& painter, const std::vector<CheckMark>& marks);

}  // namespace velkor
