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

using CodeFactory = std::unique_ptr<CADGraphic> (*)(int code);

// Placing makes most objects plain; switches, signals, arrows and block
// panels take the palette code, which picks their variant.
template <typename T>
std::unique_ptr<CADGraphic> Plain(int) {
    return std::make_unique<T>();
}
template <typename T>
std::unique_ptr<CADGraphic> WithCode(int code) {
    return std::make_unique<T>(code);
}

constexpr int kNone = -1;

}  // namespace

// Every class of the station file in one line: its name, the base it
// declares to the registry (which is not always its C++ base), the palette
// codes that place it (first, last, and how it is made), and its group in
// the station file, which saves the groups in this order and leaves out
// classes without one. Code 20 (the clock) places nothing. Adding a class
// adds its line here.
#define VELKOR_STATION_CLASSES(X)                        \
    X(CADSection, CADDevice, 0, 0, Plain, 0)             \
    X(RailSwitch, CADDevice, 1, 8, WithCode, 2)          \
    X(CADSignal, CADDevice, 9, 16, WithCode, 1)          \
    X(CADThreeSwitch, CADDevice, 30, 35, WithCode, 3)    \
    X(CADDerailer, CADGraphic, 37, 37, Plain, 12)        \
    X(CADAfgDoor, CADGraphic, 38, 38, Plain, 13)         \
    X(CADDoor, CADDevice, kNone, kNone, Plain, kNone)    \
    X(NavigableTrack, CADDevice, 29, 29, Plain, kNone)   \
    X(TurnTable, CADDevice, 28, 28, Plain, kNone)        \
    X(CADButton, CADDevice, 22, 22, Plain, 4)            \
    X(CADDeLight, CADDevice, 21, 21, Plain, 5)           \
    X(Arrow, CADGraphic, kNone, kNone, Plain, kNone)     \
    X(ArrowLight, CADGraphic, 23, 24, WithCode, 10)      \
    X(CADSealCount, CADGraphic, 36, 36, Plain, 11)       \
    X(CADStation, CADGraphic, 17, 17, Plain, 9)          \
    X(Label, CADGraphic, 18, 18, Plain, 6)               \
    X(CADDeLine, CADGraphic, 19, 19, Plain, 7)           \
    X(CADSemiAutoBlock, CADGraphic, 25, 27, WithCode, 8) \
    X(CADDevice, CADGraphic, kNone, kNone, Plain, kNone) \
    X(CADGraphic, kNone, kNone, kNone, Plain, kNone)

namespace {

// The declared base of the root class is no class.
constexpr std::nullptr_t kRC_kNone = nullptr;
constexpr const RuntimeClass* BaseClass(const RuntimeClass& base) { return &base; }
constexpr const RuntimeClass* BaseClass(std::nullptr_t) { return nullptr; }

}  // namespace

#define VELKOR_DECLARE(Name, Base, First, Last, Make, Group) extern const RuntimeClass kRC_##Name;
VELKOR_STATION_CLASSES(VELKOR_DECLARE)
#undef VELKOR_DECLARE

#define VELKOR_DEFINE(Name, Base, First, Last, Make, Group)                           \
    const RuntimeClass kRC_##Name{#Name, 1, BaseClass(kRC_##Base), &MakeEmpty<Name>}; \
    const RuntimeClass& Name::Class() { return kRC_##Name; }
VELKOR_STATION_CLASSES(VELKOR_DEFINE)
#undef VELKOR_DEFINE

namespace {

struct ClassLine {
    const RuntimeClass* cls;
    int firstCode;
    int lastCode;
    CodeFactory make;
    int fileGroup;
};

#define VELKOR_LINE(Name, Base, First, Last, Make, Group) \
    ClassLine{&kRC_##Name, First, Last, &Make<Name>, Group},
const ClassLine kClassLines[] = {VELKOR_STATION_CLASSES(VELKOR_LINE)};
#undef VELKOR_LINE

}  // namespace

const ClassRegistry& StationClassRegistry() {
    static const ClassRegistry registry = [] {
        ClassRegistry r;
        for (const ClassLine& line : kClassLines) r.Register(*line.cls);
        return r;
    }();
    return registry;
}

const RuntimeClass* FindStationClass(std::string_view name) {
    return StationClassRegistry().Find(name);
}

int StationFileGroup(std::string_view className) {
    for (const ClassLine& line : kClassLines) {
        if (line.cls->name == className) return line.fileGroup;
    }
    return -1;
}

std::unique_ptr<CADGraphic> CreateForDeviceType(int code) {
    if (code < 0) return nullptr;
    for (const ClassLine& line : kClassLines) {
        if (code >= line.firstCode && code <= line.lastCode) return line.make(code);
    }
    return nullptr;
}

}  // namespace velkor
