#pragma once
#include <ctime>
#include <functional>
#include <string>

namespace velkor {

// The time written into generated files (version lines, binary headers).
// Tests install a fixed clock so that the files they compare are fixed too.
std::time_t CurrentTime();
// Installs a clock; an empty function restores the system clock.
void InstallClock(std::function<std::time_t()> clock);

// The local time of `t` formatted as strftime does with `format`.
std::string FormatLocalTime(std::time_t t, const char* format);

}  // namespace velkor
