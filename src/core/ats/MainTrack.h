#pragma once
#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "document/Settings.h"

namespace velkor {

class CVelkorDoc;
class Interaction;

inline constexpr const char* kMsgMainTrackMissing = "无法打开配置文件MainTrack.txt！";
inline constexpr const char* kMsgMainTrackCount =
    "股道信息数量读取错误，请核查配置文件MainTrack.txt";
inline constexpr const char* kMsgMainTrackTooManyNames =
    "股道名称超过20个，请核查配置文件MainTrack.txt";
inline constexpr const char* kMsgMainTrackNameTooLong =
    "股道名称超过15个字节，请核查配置文件MainTrack.txt";
inline constexpr const char* kMsgMainTrackSaveFailed = "保存MainTrack.bin数据失败，无法打开文件";
inline constexpr const char* kMsgMainTrackDone = "股道文件转换成bin文件，转换完毕！";
inline constexpr const char* kMsgMainTrackFailed = "股道文件转换成bin文件，转换失败!";

inline constexpr size_t kMainTrackNames = 20;
inline constexpr size_t kMainTrackNameBytes = 16;  // 15 bytes and the terminator
inline constexpr size_t kMainTrackRecordBytes = 2 + kMainTrackNames * kMainTrackNameBytes;
inline constexpr long kMostMainTracks = 65535;

struct MainTrack {
    uint16_t count = 0;              // n as written on the line
    std::vector<std::string> names;  // the bytes of the file
};

// What reading MainTrack.txt gives: the tracks, or the message that refuses
// the file.
struct MainTrackText {
    std::vector<MainTrack> tracks;
    const char* error = nullptr;
};
MainTrackText ParseMainTrackText(std::span<const uint8_t> text);

std::vector<uint8_t> MainTrackBinary(const std::vector<MainTrack>& tracks,
                                     const DataVersion& version, std::time_t now);

// "股道文本转换成二进制": MainTrack\MainTrack.txt into MainTrack\MainTrack.bin.
bool ConvertMainTrack(CVelkorDoc& doc);
// The command 33007 around it: the outcome message, also without a document.
bool RunMainTrackCommand(CVelkorDoc* doc, Interaction& ui);

}  // namespace velkor
