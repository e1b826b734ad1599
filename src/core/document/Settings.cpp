#include "document/Settings.h"

#include <cstdio>

#include "document/CVelkorDoc.h"

namespace velkor {

std::string FormatDataVersion(const DataVersion& v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "V%3d.%3d.%3d, Build号：%3d.", v.high, v.middle, v.low, v.build);
    return buf;
}

GlobalSettings GlobalSettings::From(const CVelkorDoc& doc, const DrawingValues& drawing) {
    GlobalSettings s;
    s.stationName = doc.stationName;
    s.stationNumber = doc.stationNumber;
    s.displayWidth = doc.displayWidth;
    s.displayHeight = doc.displayHeight;
    s.displayCount = doc.displayCount;
    s.hasLogicSections = doc.hasLogicSections;
    s.logicSectionsPerSwitch = doc.logicSectionsPerSwitch;
    s.drawing = drawing;
    return s;
}

std::optional<std::string> ValidateGlobalSettings(const GlobalSettings& s) {
    if (s.logicSectionsPerSwitch < kMinLogicSectionsPerSwitch ||
        s.logicSectionsPerSwitch > kMaxLogicSectionsPerSwitch) {
        return "请输入一个 " + std::to_string(kMinLogicSectionsPerSwitch) + " 至 " +
               std::to_string(kMaxLogicSectionsPerSwitch) + " 之间的整数。";
    }
    return std::nullopt;
}

Size ApplyGlobalSettings(const GlobalSettings& s, CVelkorDoc& doc, DrawingValues& drawing) {
    DocumentEdit edit(doc, "设置", DocumentEdit::Scope::TablesAndSettings);
    doc.stationName = s.stationName;
    doc.stationNumber = s.stationNumber;
    doc.displayWidth = s.displayWidth;
    doc.displayHeight = s.displayHeight;
    doc.displayCount = s.displayCount;
    drawing = s.drawing;  // the section pen follows the new section width
    doc.hasLogicSections = s.hasLogicSections;
    doc.logicSectionsPerSwitch = s.logicSectionsPerSwitch;
    edit.Commit();
    return {doc.displayCount * doc.displayWidth, doc.displayCount * doc.displayHeight};
}

}  // namespace velkor
