#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace velkor {

class CVelkorDoc;
class Interaction;

inline constexpr const char* kMsgZedevDone = "vu信号机文件生成完毕！";
inline constexpr const char* kMsgZedevSaveFailed = "保存ZedevEzura数据失败，无法打开文件";

inline constexpr size_t kZedevRecordBytes = 20;

struct ZedevSignal {
    uint16_t number = 0;  // 1001… up line, 2001… down line
    uint16_t address = 0;
    std::string name;  // GBK IO name
};

// Up-line signals (variants 0 to 3) from 1001, then down-line signals from
// 2001, each in object-list order.
std::vector<ZedevSignal> ZedevSignals(const CVelkorDoc& doc);
std::string ZedevText(const std::vector<ZedevSignal>& list);
std::vector<uint8_t> ZedevBinary(const std::vector<ZedevSignal>& list);

// The command 33008: ZedevEzura\ZedevEzura.txt and .bin. A file that cannot
// be written is reported and the command does not claim success.
bool WriteZedevEzuraFiles(CVelkorDoc& doc);

}  // namespace velkor
