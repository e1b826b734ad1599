#include "common/Clock.h"

namespace velkor {

namespace {
std::function<std::time_t()>& Installed() {
    static std::function<std::time_t()> clock;
    return clock;
}
}  // namespace

std::time_t CurrentTime() {
    const auto& clock = Installed();
    return clock ? clock() : std::time(nullptr);
}

void InstallClock(std::function<std::time_t()> clock) { Installed() = std::move(clock); }

std::string FormatLocalTime(std::time_t t, const char* format) {
    std::tm parts{};
    localtime_r(&t, &parts);
    char buf[128];
    const size_t n = std::strftime(buf, sizeof buf, format, &parts);
    return std::string(buf, n);
}

}  // namespace velkor
