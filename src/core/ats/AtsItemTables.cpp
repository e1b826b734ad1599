#include "ats/AtsItemTables.h"

#include <string>

#include "ats/AtsLookups.h"
#include "common/Text.h"
#include "devices/PanelObjects.h"

namespace velkor {

namespace {

AtsItem Item(int32_t serial, std::string name, uint8_t type, uint16_t code) {
    return AtsItem{serial, std::move(name), type, code};
}

std::string Gbk(const char* utf8) { return ToGbk(FromUtf8(utf8)); }

// Equipment, auxiliary and command buttons of the fixed vocabulary.
constexpr uint16_t kRemoteButton = 0x0E42;
constexpr uint16_t kSecondButton = 0x0745;
constexpr uint16_t kAuxiliaryCode = 0x0040;

// Items named after the buttons 0x0E42 with address 1 to 3 and 0x0745 with
// address 1 and 2 (lists B and E share them): serial numbers 60 to 64, and
// the IO code 0x0E42 for all five.
void AddAddressedButtons(const AtsLookups& lookups, std::vector<AtsItem>& group) {
    for (uint16_t j = 1; j <= 3; ++j) {
        if (const auto* b = lookups.ButtonByNumber(kRemoteButton, j)) {
            group.push_back(Item(59 + j, LabelGbk(b->nameLabel.text), 9, kRemoteButton));
        }
    }
    for (uint16_t k = 1; k <= 2; ++k) {
        if (const auto* b = lookups.ButtonByNumber(kSecondButton, k)) {
            group.push_back(Item(62 + k, LabelGbk(b->nameLabel.text), 9, kRemoteButton));
        }
    }
}

std::string Zdz(int n) { return "ZDZ" + std::to_string(n); }

uint16_t ZdzCode(int c) { return static_cast<uint16_t>((c << 12) | 0x0144); }

}  // namespace

AtsItemTables::AtsItemTables(const AtsLookups& lookups) {
    // A: equipment indications; serial numbers 6 and 16 are not used.
    const struct {
        int serial;
        const char* name;
        uint8_t type;
    } equipment[] = {
        {1, "熔丝报警", 5},  {2, "灯丝报警", 6},  {3, "电源报警", 6},  {4, "一路电源", 6},
        {5, "二路电源", 6},  {7, "I系", 6},       {8, "I系", 7},       {9, "II系", 6},
        {10, "II系", 7},     {11, "DA-FAN", 6},   {12, "DA-ON", 6},    {13, "板卡状态", 6},
        {14, "维修机", 6},   {15, "DA-RE", 5},    {17, "ATP-A网", 6},  {18, "ATP-B网", 6},
        {19, "试车请求", 6}, {20, "试车同意", 6}, {21, "试车开始", 6}, {22, "通信状态", 6},
        {23, "维修点灯", 6},
    };
    for (const auto& e : equipment)
        equipmentIndications.push_back(Item(e.serial, Gbk(e.name), e.type, 0));

    // B: auxiliary indications.
    AddAddressedButtons(lookups, auxiliaryIndications);
    for (int c = 0; c < 16; ++c)
        auxiliaryIndications.push_back(Item(65 + c, Zdz(c + 1), 9, ZdzCode(c)));

    // C: power-up prompts.
    powerUpPrompts.push_back(Item(1, Gbk("可上电解锁"), 10, 0));
    powerUpPrompts.push_back(Item(2, Gbk("已解除临时限速"), 10, 0));

    // D: prompt messages.
    for (int n = 1; n <= 10; ++n)
        promptMessages.push_back(Item(n, Gbk("提示信息") + std::to_string(n), 14, 0));

    // E: auxiliary commands.
    const uint16_t commandButtons[] = {0x0645, 0x0745, 0x0C45, 0x0D45, 0x0945, 0x0A45, 0x0B45};
    for (int i = 0; i < 7; ++i) {
        if (const auto* b = lookups.ButtonByNumber(commandButtons[i], std::nullopt)) {
            auxiliaryCommands.push_back(
                Item(52 + i, LabelGbk(b->nameLabel.text), 9, commandButtons[i]));
        }
    }
    AddAddressedButtons(lookups, auxiliaryCommands);
    for (int c = 0; c < 16; ++c)
        auxiliaryCommands.push_back(Item(c + 1, Zdz(c + 1), 9, ZdzCode(c)));
    auxiliaryCommands.push_back(Item(17, Gbk("辅助"), 9, kAuxiliaryCode));
}

void AtsItemTables::CombineIndications() {
    indications_.clear();
    auxiliaryCopies_.clear();
    // The copies are made first, so that the pointers to them stay valid.
    for (size_t i = 0; i < auxiliaryIndications.size(); ++i) {
        AtsItem copy = auxiliaryIndications[i];
        copy.serial = 65 + static_cast<int32_t>(i);
        auxiliaryCopies_.push_back(std::move(copy));
    }
    const auto add = [this](std::vector<AtsItem>& group) {
        for (AtsItem& item : group) indications_.push_back(&item);
    };
    add(signalIndications);
    add(switchIndications);
    add(sectionIndications);
    add(equipmentIndications);
    add(auxiliaryCopies_);
    add(powerUpPrompts);
    add(floodGateIndications);
    add(platformIndications);
}

void AtsItemTables::CombineCommands() {
    commands_.clear();
    const auto add = [this](std::vector<AtsItem>& group) {
        for (AtsItem& item : group) commands_.push_back(&item);
    };
    add(signalButtonCommands);
    add(signalCommands);
    add(switchCommands);
    add(sectionCommands);
    add(floodGateCommands);
    add(platformCommands);
    add(auxiliaryCommands);
}

}  // namespace velkor
