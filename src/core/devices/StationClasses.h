#pragma once
#include <functional>
#include <memory>

#include "archive/Archive.h"
#include "devices/CADGraphic.h"

namespace velkor {

// The class names a station file may hold, each with schema 1.
const ClassRegistry& StationClassRegistry();
// The registry's record for a stored class name, or nullptr.
const RuntimeClass* FindStationClass(std::string_view name);

// The station file saves its objects in groups of classes, in a fixed order.
constexpr int kStationFileGroupCount = 14;
// The group of a class in the station file, by the class's stored name, or
// -1 for a class the station file does not save.
int StationFileGroup(std::string_view className);

// Device type codes: the palette command number minus 32797. -1 is select mode.
constexpr int kSelectMode = -1;
constexpr int kFirstDeviceCommand = 32797;
constexpr int kDeviceTypeCodeCount = 39;

// Creates the object that a press on the canvas places for a device type
// code, or nullptr when the code places nothing (the clock, code 20, and
// codes outside the palette).
std::unique_ptr<CADGraphic> CreateForDeviceType(int code);

}  // namespace velkor
