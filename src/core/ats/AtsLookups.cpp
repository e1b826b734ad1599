#include "ats/AtsLookups.h"

#include <algorithm>

#include "common/Text.h"
#include "devices/CADSection.h"
#include "devices/CADSignal.h"
#include "devices/Composites.h"
#include "devices/PanelObjects.h"
#include "devices/RailSwitch.h"
#include "devices/TrackSpecials.h"
#include "document/CVelkorDoc.h"
#include "tables/IoTables.h"

namespace velkor {

std::string LabelGbk(const std::u16string& text) { return ToGbk(text); }

AtsLookups::AtsLookups(const CVelkorDoc& doc) : logicSections_(doc.hasLogicSections != 0) {
    const size_t perSwitch = static_cast<size_t>(std::clamp(doc.logicSectionsPerSwitch, 0, 4));
    const IoNameIndex names(doc.io);
    for (size_t i = 0; i < doc.Objects().size(); ++i) {
        // Insert keeps the first object of a key: the first in list order wins.
        if (const auto* s = doc.ObjectAs<CADSignal>(i)) {
            signalsByName_.Insert(s->io.NameGbk(), s);
            signalsByAddress_.Insert(s->io.address, s);
        } else if (const auto* w = doc.ObjectAs<RailSwitch>(i)) {
            switchesByAddress_.Insert(w->io.address, w);
            switchesBySection_.Insert(w->switchSection.NameGbk(), w);
            for (size_t i = 0; i < perSwitch; ++i) {
                if (const Row* row = names.Find(w->logic[i].Name())) {
                    switchesByLogicAddress_.Insert(row->U16(io::kAddress), w);
                }
            }
        } else if (const auto* c = doc.ObjectAs<CADSection>(i)) {
            sectionNames_.Insert(c->io.address, c->io.NameGbk());
        } else if (const auto* b = doc.ObjectAs<CADButton>(i)) {
            buttonsByAddress_.Insert(b->io.address, b);
            buttonsByNumber_.Insert(b->io.button, b);
            buttonsByNumberAndAddress_.Insert((uint32_t{b->io.button} << 16) | b->io.address, b);
            buttonsByLabel_.Insert(LabelGbk(b->nameLabel.text), b);
        } else if (const auto* l = doc.ObjectAs<CADDeLight>(i)) {
            lightLabels_.Insert(LabelGbk(l->nameLabel.text));
        } else if (const auto* st = doc.ObjectAs<CADStation>(i)) {
            stationsById_.Insert(st->id, st);
        } else if (const auto* g = doc.ObjectAs<CADAfgDoor>(i)) {
            floodGates_.push_back(g);
        }
    }
}

std::string AtsLookups::Strip(const std::string& name) const {
    return logicSections_ ? ToGbk(RemoveLogicSuffix(FromGbk(name))) : name;
}

const CADSignal* AtsLookups::SignalByIoName(const std::string& name) const {
    return First(signalsByName_, name);
}

std::string AtsLookups::SignalLabelByAddress(uint16_t address) const {
    const CADSignal* s = First(signalsByAddress_, address);
    return s ? LabelGbk(s->nameLabel.text) : std::string();
}

std::string AtsLookups::SwitchLabelByAddress(uint16_t address) const {
    const RailSwitch* w = First(switchesByAddress_, address);
    return w ? LabelGbk(w->nameLabel.text) : std::string();
}

std::string AtsLookups::SectionNameByAddress(uint16_t address) const {
    const std::string* name = sectionNames_.Find(address);
    return name ? *name : std::string();
}

const RailSwitch* AtsLookups::SwitchBySectionName(const std::string& text) const {
    return First(switchesBySection_, Strip(text));
}

const RailSwitch* AtsLookups::SwitchByLogicRecord(uint16_t address) const {
    return First(switchesByLogicAddress_, address);
}

std::string AtsLookups::ButtonLabelByAddress(uint16_t address) const {
    const CADButton* b = First(buttonsByAddress_, address);
    return b ? LabelGbk(b->nameLabel.text) : std::string();
}

std::string AtsLookups::ButtonLabelByButtonNumber(uint16_t button) const {
    const CADButton* b = First(buttonsByNumber_, button);
    return b ? LabelGbk(b->nameLabel.text) : std::string();
}

const CADButton* AtsLookups::ButtonByLabel(const std::string& label) const {
    return First(buttonsByLabel_, label);
}

const CADButton* AtsLookups::ButtonByNumber(uint16_t button,
                                            std::optional<uint16_t> address) const {
    if (!address) return First(buttonsByNumber_, button);
    return First(buttonsByNumberAndAddress_, (uint32_t{button} << 16) | *address);
}

bool AtsLookups::DecorationLightByLabel(const std::string& label) const {
    return lightLabels_.Find(label) != nullptr;
}

const CADStation* AtsLookups::StationById(int32_t id) const { return First(stationsById_, id); }

}  // namespace velkor
