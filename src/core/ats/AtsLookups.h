#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/NameIndex.h"
#include "common/NumberIndex.h"

namespace velkor {

class CVelkorDoc;
class CADSignal;
class RailSwitch;
class CADButton;
class CADStation;
class CADAfgDoor;

// The device lookups of the ATS generation. Each walks the top-level objects
// of one class in the order of the object list and takes the first match;
// buttons inside station boxes, block panels and signals are not buttons of
// the drawing here, and a switch is the two-way switch. The indexes are built
// once, so a large station costs one pass over its objects, not one per row.
// Texts are compared as GBK bytes, the form of the IO names.
class AtsLookups {
public:
    explicit AtsLookups(const CVelkorDoc& doc);

    const CADSignal* SignalByIoName(const std::string& name) const;
    std::string SignalLabelByAddress(uint16_t address) const;
    std::string SwitchLabelByAddress(uint16_t address) const;
    // The IO name of the first section with that address number.
    std::string SectionNameByAddress(uint16_t address) const;
    // The switch whose switch-section name equals the text, the text losing
    // its logic suffix once when the station has logic sections.
    const RailSwitch* SwitchBySectionName(const std::string& text) const;
    // The switch one of whose first logic records names an input-table row
    // with this 地址号.
    const RailSwitch* SwitchByLogicRecord(uint16_t address) const;
    std::string ButtonLabelByAddress(uint16_t address) const;
    std::string ButtonLabelByButtonNumber(uint16_t button) const;
    const CADButton* ButtonByLabel(const std::string& label) const;
    // The first button with the button number and, when given, the address number.
    const CADButton* ButtonByNumber(uint16_t button, std::optional<uint16_t> address) const;
    bool DecorationLightByLabel(const std::string& label) const;
    const CADStation* StationById(int32_t id) const;
    const std::vector<const CADAfgDoor*>& FloodGates() const { return floodGates_; }

    // The logic suffix rule as the generation applies it: only when the
    // station has logic sections.
    std::string Strip(const std::string& name) const;

private:
    template <typename I, typename K>
    static auto First(const I& index, const K& key) {
        const auto* found = index.Find(key);
        return found ? *found : nullptr;
    }

    // Flat indexes: every device of a large station goes into them and the
    // generation asks them per item. Names are GBK bytes.
    bool logicSections_;
    NameIndex<const CADSignal*, char> signalsByName_;
    NumberIndex<uint16_t, const CADSignal*> signalsByAddress_;
    NumberIndex<uint16_t, const RailSwitch*> switchesByAddress_;
    NameIndex<const RailSwitch*, char> switchesBySection_;
    NumberIndex<uint16_t, const RailSwitch*> switchesByLogicAddress_;
    NumberIndex<uint16_t, std::string> sectionNames_;
    NumberIndex<uint16_t, const CADButton*> buttonsByAddress_;
    NumberIndex<uint16_t, const CADButton*> buttonsByNumber_;
    NumberIndex<uint32_t, const CADButton*> buttonsByNumberAndAddress_;
    NameIndex<const CADButton*, char> buttonsByLabel_;
    NameIndex<NoValue, char> lightLabels_;
    NumberIndex<int32_t, const CADStation*> stationsById_;
    std::vector<const CADAfgDoor*> floodGates_;
};

// The GBK form of a label text.
std::string LabelGbk(const std::u16string& text);

}  // namespace velkor
