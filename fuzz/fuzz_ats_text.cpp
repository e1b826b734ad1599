// Feeds arbitrary bytes to the reader of the ATS text files (which people
// edit by hand): any line is an item, nothing crashes or overreads, and the
// items read convert to binary records of the fixed size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "ats/AtsFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const velkor::AtsTextContent read = velkor::ParseAtsText(std::span<const uint8_t>(data, size));
    std::vector<const velkor::AtsItem*> items;
    for (const auto& item : read.items) {
        if (item.name.size() > 49) std::abort();
        items.push_back(&item);
    }
    const auto bin = velkor::AtsBinaryFile(items, {}, 0);
    if (bin.size() != velkor::kAtsBinaryHeaderBytes + items.size() * velkor::kAtsBinaryRecordBytes)
        std::abort();
    return 0;
}
