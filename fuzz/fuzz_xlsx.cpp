// Feeds arbitrary bytes to the .xlsx reader (zip container and XML parts):
// a damaged or hostile workbook is refused and never crashes or hangs.
#include <cstddef>
#include <cstdint>
#include <span>

#include "workbook/Workbook.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    velkor::Status error;
    auto book = velkor::ReadXlsx(std::span<const uint8_t>(data, size), &error);
    if (book) {
        for (const auto& sheet : book->sheets) {
            for (const auto& [pos, cell] : sheet.cells) (void)velkor::CellText(cell);
        }
    }
    return 0;
}
