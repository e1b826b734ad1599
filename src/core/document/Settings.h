#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "common/Geometry.h"
#include "devices/DrawingValues.h"

namespace velkor {

class CVelkorDoc;

// Version of the station data: high, middle, low, build.
struct DataVersion {
    uint8_t high = 0;
    uint8_t middle = 0;
    uint8_t low = 0;
    uint8_t build = 0;
    friend bool operator==(const DataVersion&, const DataVersion&) = default;
};

// The settings a station keeps, with the values of a new station.
struct StationSettings {
    DataVersion version;
    int32_t hasLogicSections = 1;
    int32_t logicSectionsPerSwitch = 1;
    int32_t displayWidth = 1600;
    int32_t displayHeight = 900;
    int32_t displayCount = 2;
    std::u16string stationName = u"NO";
    int32_t stationNumber = 0;
    int32_t bufferWidth = 12288;
    int32_t bufferHeight = 6480;
};

// "V  1.  2.  3, Build号： 45." for 1, 2, 3, 45.
std::string FormatDataVersion(const DataVersion& v);

// The fixed texts of the version dialog.
inline constexpr const char* kSoftwareVersionText = "CAD软件版本号：V001.000.000";
inline constexpr const char* kReleaseTimeText = "软件发布时间：2017年3月13日 11:01";
inline constexpr const char* kVersionQuestion = "请确定版本号是否更新！";

// The values the global settings dialog edits, document and application alike.
// Their defaults are a new station's.
struct GlobalSettings {
    std::u16string stationName = StationSettings{}.stationName;
    int32_t stationNumber = StationSettings{}.stationNumber;
    int32_t displayWidth = StationSettings{}.displayWidth;
    int32_t displayHeight = StationSettings{}.displayHeight;
    int32_t displayCount = StationSettings{}.displayCount;
    int32_t hasLogicSections = StationSettings{}.hasLogicSections;
    int32_t logicSectionsPerSwitch = StationSettings{}.logicSectionsPerSwitch;
    DrawingValues drawing;

    static GlobalSettings From(const CVelkorDoc& doc, const DrawingValues& drawing);
};

constexpr int32_t kMinLogicSectionsPerSwitch = 0;
constexpr int32_t kMaxLogicSectionsPerSwitch = 4;

// The message refusing a logic-section count outside 0 to 4, or nothing when
// the values can be taken over.
std::optional<std::string> ValidateGlobalSettings(const GlobalSettings& s);

// Takes the confirmed values over into the document and the application's
// drawing values and returns the new scrollable canvas size of the views.
// The caller has validated the values.
Size ApplyGlobalSettings(const GlobalSettings& s, CVelkorDoc& doc, DrawingValues& drawing);

}  // namespace velkor
