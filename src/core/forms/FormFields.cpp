#include "forms/FormFields.h"

#include <cstdio>

#include "iotables/TableEditing.h"

namespace velkor {

std::string FormatHexField(uint16_t value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0X%04X", static_cast<unsigned>(value));
    return buf;
}

std::string FormatDecimalField(uint32_t value) { return std::to_string(value); }

void TakeHexField(std::string_view text, uint16_t& member, Interaction& ui) {
    if (const auto v = ParseHexField(text)) {
        member = *v;
    } else {
        ui.Warning(kMsgBadHexInput);
    }
}

void TakeDecimalField(std::string_view text, uint16_t& member, Interaction& ui) {
    if (const auto v = ParseDecimalField(text)) {
        member = *v;
    } else {
        ui.Warning(kMsgBadDecimalInput);
    }
}

void TakeDecimalField(std::string_view text, uint8_t& member, Interaction& ui) {
    if (const auto v = ParseDecimalField(text)) {
        member = static_cast<uint8_t>(*v);
    } else {
        ui.Warning(kMsgBadDecimalInput);
    }
}

}  // namespace velkor
