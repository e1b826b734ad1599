#pragma once

namespace velkor {

class CVelkorDoc;
class Interaction;

inline constexpr const char* kAskAtsGeneration = "请确定是否需要重新生成本站ATS数据！";
inline constexpr const char* kMsgAtsFileExists = "ATS文件已存在，请先删除文件，才能重新生成！";
inline constexpr const char* kMsgAtsDone = "ATS数据生成完毕！";

// "ATS数据生成": the command and indication vocabularies and the logic-section
// list of the station, written into its ATS folder as text files, the
// workbook 码位表.xls and binary files. Reports by messages; true when every
// file was written.
bool GenerateAtsData(CVelkorDoc& doc);

// The command 32907 around it: asks first, then runs on the document if there is one.
bool RunAtsGenerationCommand(CVelkorDoc* doc, Interaction& ui);

}  // namespace velkor
