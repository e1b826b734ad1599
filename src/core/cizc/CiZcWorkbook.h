#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/Files.h"

namespace velkor {

class CVelkorDoc;
class ExcelHelper;
class Interaction;

inline constexpr const char* kMsgChooseCiZcCodes = "请先选择“CI_ZC接口码位数据”！";
inline constexpr const char* kMsgChooseDeviceNumbers = "请先选择“设备编号”！";
inline constexpr const char* kMsgCiZcDone = "生成Halde逻辑区段表";
inline constexpr const char* kMsgAxleCountWrong = "保护区段页面中，包含计轴数目有错，请检查！";
inline constexpr const char* kCiZcWorkbookName = "码位及配置数据格式定义.xls";

// One row of the CI–ZC interface: a device with the interlocking's address,
// the ZC's number for it, its ZC link and its code values.
struct InterfaceRow {
    std::u16string name;
    uint16_t ciAddress = 0xFFFF;
    uint16_t number = 0xFFFF;
    uint16_t zc = 0xFFFF;
    std::array<uint16_t, 6> codes{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    std::u16string physicalName;  // axle sections: the physical section holding them
    uint16_t axleCount = 0;       // protection and physical sections
    std::vector<uint16_t> axles;  // their axle-section numbers (at most five read)
};

// The lists of one run, by kind.
enum CiZcList : int {
    kZcSwitches,
    kZcSignals,
    kZcScreenDoors,
    kZcEmergencyStops,
    kZcAxleSections,
    kZcLogicSections,
    kZcRoutes,
    kZcProtectionSections,
    kZcTurnbacks,
    kZcFloodGates,
    kZcPhysicalSections,
    kCiZcListCount
};

// One run of "生成逻辑区段表": the lists read from the two workbooks, the
// addresses looked up in the drawing, and the interface workbook filled.
class CiZcRun {
public:
    explicit CiZcRun(CVelkorDoc& doc) : doc_(doc) {}

    // Reads the code sheets and device sheets a workbook holds.
    void ReadWorkbook(const fs::path& file);
    // The interlocking's address of every row, from the drawing.
    void ResolveAddresses();
    // Reads Z and the route list from the interface workbook, fills its
    // sheets and saves it. False, with the reason told, when it cannot be
    // read or written.
    bool FillInterfaceWorkbook(const fs::path& file);

    const std::vector<InterfaceRow>& List(int kind) const { return lists_[kind]; }
    const std::vector<InterfaceRow>& Routes() const { return routes_; }
    uint16_t Z() const { return z_; }

    // The number in a cell's text: its leading ASCII digits, modulo 65536;
    // none give 0.
    static uint16_t Number(std::u16string_view text);

private:
    void ReadCodeSheet(ExcelHelper& x, int kind, const std::vector<int>& columns);
    void ReadDeviceSheet(ExcelHelper& x, int kind);
    void ReadProtectionSheet(ExcelHelper& x);
    void ReadPhysicalSheet(ExcelHelper& x);
    // The physical section holding axle section `a` on ZC link `zc`.
    const InterfaceRow* PlaceAxle(uint16_t a, uint16_t zc) const;
    std::u16string ProtectionName(const InterfaceRow& row) const;

    static uint32_t AxleKey(uint16_t axle, uint16_t zc) { return uint32_t{zc} << 16 | axle; }

    CVelkorDoc& doc_;
    std::array<std::vector<InterfaceRow>, kCiZcListCount> lists_;
    // Axle section and ZC link → its physical section's row.
    std::unordered_map<uint32_t, size_t> axlePlaces_;
    std::vector<InterfaceRow> routes_;
    uint16_t z_ = 0xFFFF;
};

// The whole command: the two prompts (`choose` answers each with a file, or
// nothing for a cancelled dialog), the reading, the lookups, the interface
// workbook of the station filled, then "生成Halde逻辑区段表". False when the
// interface workbook is missing, unreadable or could not be saved.
bool GenerateCiZcWorkbook(CVelkorDoc* doc, Interaction& ui,
                          const std::function<std::optional<fs::path>(const char* prompt)>& choose);

}  // namespace velkor
