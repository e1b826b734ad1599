#pragma once
#include <cstdint>
#include <ctime>
#include <span>
#include <string>
#include <vector>

#include "document/Settings.h"
#include "tables/AtsItem.h"

namespace velkor {

class CVelkorDoc;
class Interaction;

inline constexpr const char* kMsgOpenStationFirst = "请先打开站场文件！";
// The most items an ATS text or binary file holds.
inline constexpr size_t kLargestAtsItems = 65535;
inline constexpr const char* kMsgAtsSaveFailed = "保存ATS数据失败，无法打开文件";
inline constexpr const char* kMsgAtsReadFailed = "数据读取失败，无法打开文件！";
inline constexpr const char* kMsgAtsConvertDone = "ATS文件转换成bin文件，转换完毕！";
inline constexpr const char* kMsgAtsConvertFailed = "ATS文件转换成bin文件，转换失败!";

// The three files of the ATS data, in the order they are written and read.
inline constexpr const char* kAtsCommandText = "AtsCmd.txt";
inline constexpr const char* kAtsIndicationText = "AtsShow.txt";
inline constexpr const char* kAtsLogicText = "LogicSection.txt";
inline constexpr const char* kAtsCommandBinary = "AtsCmd.bin";
inline constexpr const char* kAtsIndicationBinary = "AtsShow.bin";
inline constexpr const char* kAtsLogicBinary = "LogicSection.bin";

inline constexpr size_t kAtsBinaryHeaderBytes = 16;
inline constexpr size_t kAtsBinaryRecordBytes = 27;
inline constexpr size_t kAtsBinaryNameBytes = 20;

// An ATS text file (GBK, CR LF): the count, the version line with the local
// time, one "%d\t%s\t%d\t0x%04X" line per item. An item without a name is
// named "NULL" first, and keeps that name.
std::string AtsTextFile(const std::vector<AtsItem*>& items, const DataVersion& version,
                        std::time_t now);

// An ATS binary file: the 16-byte header and a 27-byte record per item.
std::vector<uint8_t> AtsBinaryFile(const std::vector<const AtsItem*>& items,
                                   const DataVersion& version, std::time_t now);

// What the conversion reads from one text file.
struct AtsTextContent {
    int32_t expected = 0;  // the count line
    std::vector<AtsItem> items;
    bool lineTooLong = false;  // a line the ATS record cannot hold
};
// Reads the lines as a C program reading with fgets would: a last line
// without a line break is a line, nothing after the final line break is not.
// Every line after the version line is an item, whatever it holds.
AtsTextContent ParseAtsText(std::span<const uint8_t> text);

// Writes AtsCmd.bin, AtsShow.bin and LogicSection.bin into the ATS folder.
// A file that cannot be written is reported with "保存ATS数据失败，无法打开文件";
// the conversion stops there, the generation goes on with the next file.
// True when all three were written.
bool WriteAtsBinaryFiles(CVelkorDoc& doc, const std::vector<const AtsItem*>& commands,
                         const std::vector<const AtsItem*>& indications,
                         const std::vector<const AtsItem*>& logicSections, bool stopOnFailure);

// "ATS文本转换成二进制": the three text files of the ATS folder, possibly edited
// by hand, into the binary files. Messages as it goes; true on success.
bool ConvertAtsTextToBinary(CVelkorDoc& doc);
// The command 33006 around it: the outcome message, also without a document.
bool RunAtsTextToBinaryCommand(CVelkorDoc* doc, Interaction& ui);

}  // namespace velkor
