#include "devices/StationClasses.h"

#include "devices/CADDevice.h"
#include "devices/CADSection.h"
#include "devices/RailSwitch.h"
#include "devices/Label.h"

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
const RuntimeClass kRC_CADSignal{"CADSignal", 1, &kRC_CADDevice, nullptr};
const RuntimeClass kRC_CADThreeSwitch{"CADThreeSwitch", 1, &kRC_CADDevice, nullptr};
const RuntimeClass kRC_CADDerailer{"CADDerailer", 1, &kRC_CADGraphic, nullptr};
const RuntimeClass kRC_CADAfgDoor{"CADAfgDoor", 1, &kRC_CADGraphic, nullptr};
const RuntimeClass kRC_CADDoor{"CADDoor", 1, &kRC_CADDevice, nullptr};
const RuntimeClass kRC_NavigableTrack{"NavigableTrack", 1, &kRC_CADDevice, nullptr};
const RuntimeClass kRC_TurnTable{"TurnTable", 1, &kRC_CADDevice, nullptr};
const RuntimeClass kRC_CADButton{"CADButton", 1, &kRC_CADDevice, nullptr};
const RuntimeClass kRC_CADDeLight{"CADDeLight", 1, &kRC_CADDevice, nullptr};
const RuntimeClass kRC_Arrow{"Arrow", 1, &kRC_CADGraphic, nullptr};
const RuntimeClass kRC_ArrowLight{"ArrowLight", 1, &kRC_CADGraphic, nullptr};
const RuntimeClass kRC_CADSealCount{"CADSealCount", 1, &kRC_CADGraphic, nullptr};
const RuntimeClass kRC_CADStation{"CADStation", 1, &kRC_CADGraphic, nullptr};
const RuntimeClass kRC_CADDeLine{"CADDeLine", 1, &kRC_CADGraphic, nullptr};
const RuntimeClass kRC_CADSemiAutoBlock{"CADSemiAutoBlock", 1, &kRC_CADGraphic, nullptr};

const RuntimeClass& CADGraphic::Class() { return kRC_CADGraphic; }
const RuntimeClass& CADDevice::Class() { return kRC_CADDevice; }
const RuntimeClass& Label::Class() { return kRC_Label; }
const RuntimeClass& CADSection::Class() { return kRC_CADSection; }
const RuntimeClass& RailSwitch::Class() { return kRC_RailSwitch; }

const ClassRegistry& StationClassRegistry() {
    static const ClassRegistry registry = [] {
        ClassRegistry r;
        for (const RuntimeClass* c :
             {&kRC_CADSection, &kRC_RailSwitch, &kRC_CADSignal, &kRC_CADThreeSwitch,
              &kRC_CADDerailer, &kRC_CADAfgDoor, &kRC_CADDoor, &kRC_NavigableTrack,
              &kRC_TurnTable, &kRC_CADButton, &kRC_CADDeLight, &kRC_Arrow, &kRC_ArrowLight,
              &kRC_CADSealCount, &kRC_CADStation, &kRC_Label, &kRC_CADDeLine,
              &kRC_CADSemiAutoBlock, &kRC_CADDevice, &kRC_CADGraphic}) {
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
    {0, 0, &MakeForCode<CADSection>},
    {1, 8, &MakeWithCode<RailSwitch>},
    {18, 18, &MakeForCode<Label>},
};

}  // namespace

std::unique_ptr<CADGraphic> CreateForDeviceType(int code) {
    for (const CodeRange& r : kCodeFactories) {
        if (code >= r.first && code <= r.last) return r.make(code);
    }
    return nullptr;
}

}  // namespace velkor
