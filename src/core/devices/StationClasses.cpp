#include "devices/StationClasses.h"

#include "devices/CADDevice.h"
#include "devices/CADSection.h"
#include "devices/CADSignal.h"
#include "devices/CADThreeSwitch.h"
#include "devices/Composites.h"
#include "devices/Label.h"
#include "devices/PanelObjects.h"
#include "devices/RailSwitch.h"
#include "devices/TrackSpecials.h"

namespace velkor {

namespace {

template <typename T>
std::unique_ptr<ArchiveObject> MakeEmpty() {
    return std::make_unique<T>();
}

}  // namespace

// Every class of the station file, with the base it declares to the registry
// (which is not always its C++ base) and, once the class is built, the
// factory that reads it. One line per class.
const RuntimeClass kRC_CADGraphic{"CADGraphic", 1, nullptr, &MakeEmpty<CADGraphic>};
const RuntimeClass kRC_CADDevice{"CADDevice", 1, &kRC_CADGraphic, &MakeEmpty<CADDevice>};
const RuntimeClass kRC_Label{"Label", 1, &kRC_CADGraphic, &MakeEmpty<Label>};
const RuntimeClass kRC_CADSection{"CADSection", 1, &kRC_CADDevice, &MakeEmpty<CADSection>};
const RuntimeClass kRC_RailSwitch{"RailSwitch", 1, &kRC_CADDevice, &MakeEmpty<RailSwitch>};
const RuntimeClass kRC_CADSignal{"CADSignal", 1, &kRC_CADDevice, &MakeEmpty<CADSignal>};
const RuntimeClass kRC_CADThreeSwitch{"CADThreeSwitch", 1, &kRC_CADDevice,
                                      &MakeEmpty<CADThreeSwitch>};
const RuntimeClass kRC_CADDerailer{"CADDerailer", 1, &kRC_CADGraphic, &MakeEmpty<CADDerailer>};
const RuntimeClass kRC_CADAfgDoor{"CADAfgDoor", 1, &kRC_CADGraphic, &MakeEmpty<CADAfgDoor>};
const RuntimeClass kRC_CADDoor{"CADDoor", 1, &kRC_CADDevice, &MakeEmpty<CADDoor>};
const RuntimeClass kRC_NavigableTrack{"NavigableTrack", 1, &kRC_CADDevice,
                                      &MakeEmpty<NavigableTrack>};
const RuntimeClass kRC_TurnTable{"TurnTable", 1, &kRC_CADDevice, &MakeEmpty<TurnTable>};
const RuntimeClass kRC_CADButton{"CADButton", 1, &kRC_CADDevice, &MakeEmpty<CADButton>};
const RuntimeClass kRC_CADDeLight{"CADDeLight", 1, &kRC_CADDevice, &MakeEmpty<CADDeLight>};
const RuntimeClass kRC_Arrow{"Arrow", 1, &kRC_CADGraphic, &MakeEmpty<Arrow>};
const RuntimeClass kRC_ArrowLight{"ArrowLight", 1, &kRC_CADGraphic, &MakeEmpty<ArrowLight>};
const RuntimeClass kRC_CADSealCount{"CADSealCount", 1, &kRC_CADGraphic, &MakeEmpty<CADSealCount>};
const RuntimeClass kRC_CADStation{"CADStation", 1, &kRC_CADGraphic, &MakeEmpty<CADStation>};
const RuntimeClass kRC_CADDeLine{"CADDeLine", 1, &kRC_CADGraphic, &MakeEmpty<CADDeLine>};
const RuntimeClass kRC_CADSemiAutoBlock{"CADSemiAutoBlock", 1, &kRC_CADGraphic,
                                        &MakeEmpty<CADSemiAutoBlock>};

const RuntimeClass& CADGraphic::Class() { return kRC_CADGraphic; }
const RuntimeClass& CADDevice::Class() { return kRC_CADDevice; }
const RuntimeClass& Label::Class() { return kRC_Label; }
const RuntimeClass& CADSection::Class() { return kRC_CADSection; }
const RuntimeClass& RailSwitch::Class() { return kRC_RailSwitch; }
const RuntimeClass& CADThreeSwitch::Class() { return kRC_CADThreeSwitch; }
const RuntimeClass& CADSignal::Class() { return kRC_CADSignal; }
const RuntimeClass& CADSemiAutoBlock::Class() { return kRC_CADSemiAutoBlock; }
const RuntimeClass& CADStation::Class() { return kRC_CADStation; }
const RuntimeClass& CADDeLine::Class() { return kRC_CADDeLine; }
const RuntimeClass& CADSealCount::Class() { return kRC_CADSealCount; }
const RuntimeClass& ArrowLight::Class() { return kRC_ArrowLight; }
const RuntimeClass& Arrow::Class() { return kRC_Arrow; }
const RuntimeClass& CADDeLight::Class() { return kRC_CADDeLight; }
const RuntimeClass& CADButton::Class() { return kRC_CADButton; }
const RuntimeClass& TurnTable::Class() { return kRC_TurnTable; }
const RuntimeClass& NavigableTrack::Class() { return kRC_NavigableTrack; }
const RuntimeClass& CADDoor::Class() { return kRC_CADDoor; }
const RuntimeClass& CADAfgDoor::Class() { return kRC_CADAfgDoor; }
const RuntimeClass& CADDerailer::Class() { return kRC_CADDerailer; }

const ClassRegistry& StationClassRegistry() {
    static const ClassRegistry registry = [] {
        ClassRegistry r;
        for (const RuntimeClass* c :
             {&kRC_CADSection,  &kRC_RailSwitch,       &kRC_CADSignal,  &kRC_CADThreeSwitch,
              &kRC_CADDerailer, &kRC_CADAfgDoor,       &kRC_CADDoor,    &kRC_NavigableTrack,
              &kRC_TurnTable,   &kRC_CADButton,        &kRC_CADDeLight, &kRC_Arrow,
              &kRC_ArrowLight,  &kRC_CADSealCount,     &kRC_CADStation, &kRC_Label,
              &kRC_CADDeLine,   &kRC_CADSemiAutoBlock, &kRC_CADDevice,  &kRC_CADGraphic}) {
            r.Register(*c);
        }
        return r;
    }();
    return registry;
}

const RuntimeClass* FindStationClass(std::string_view name) {
    return StationClassRegistry().Find(name);
}

namespace {

using CodeFactory = std::unique_ptr<CADGraphic> (*)(int code);

template <typename T>
std::unique_ptr<CADGraphic> MakeForCode(int) {
    return std::make_unique<T>();
}

template <typename T>
std::unique_ptr<CADGraphic> MakeWithCode(int code) {
    return std::make_unique<T>(code);
}

struct CodeRange {
    int first;
    int last;
    CodeFactory make;
};

// What each palette code places. Code 20 (the clock) places nothing; each
// device class adds its codes here in one line.
const CodeRange kCodeFactories[] = {
    {0, 0, &MakeForCode<CADSection>},     {1, 8, &MakeWithCode<RailSwitch>},
    {9, 16, &MakeWithCode<CADSignal>},    {17, 17, &MakeForCode<CADStation>},
    {18, 18, &MakeForCode<Label>},        {19, 19, &MakeForCode<CADDeLine>},
    {21, 21, &MakeForCode<CADDeLight>},   {22, 22, &MakeForCode<CADButton>},
    {23, 24, &MakeWithCode<ArrowLight>},  {30, 35, &MakeWithCode<CADThreeSwitch>},
    {36, 36, &MakeForCode<CADSealCount>}, {25, 27, &MakeWithCode<CADSemiAutoBlock>},
    {28, 28, &MakeForCode<TurnTable>},    {29, 29, &MakeForCode<NavigableTrack>},
    {37, 37, &MakeForCode<CADDerailer>},  {38, 38, &MakeForCode<CADAfgDoor>},
};

}  // namespace

std::unique_ptr<CADGraphic> CreateForDeviceType(int code) {
    for (const CodeRange& r : kCodeFactories) {
        if (code >= r.first && code <= r.last) return r.make(code);
    }
    return nullptr;
}

}  // namespace velkor
