#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace velkor {

// One entry of the ATS vocabularies: an indication the interlocking reports
// or a command the ATS may send. The name is kept as GBK bytes, the form in
// which it is written to the text and binary files and read back from them.
struct AtsItem {
    int32_t serial = 0;
    std::string name;  // GBK
    uint8_t deviceType = 0;
    uint16_t ioCode = 0;
    friend bool operator==(const AtsItem&, const AtsItem&) = default;
};

// Indications carry the device's address number as IO code, commands its
// button number; otherwise the two are the same record.
using AtsIndicationItem = AtsItem;
using AtsCommandItem = AtsItem;

}  // namespace velkor
