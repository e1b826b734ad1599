// Feeds arbitrary bytes to the compound-file and BIFF8 readers: a damaged or
// hostile workbook is refused and never crashes, hangs or overreads.
#include <cstddef>
#include <cstdint>
#include <span>

#include "workbook/Workbook.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    auto book = velkor::ReadXls(std::span<const uint8_t>(data, size), &error);
    if (book) {
        for (const auto& sheet : book->sheets) {
            for (const auto& [pos, cell] : sheet.cells) (void)velkor::CellText(cell);
        }
    }
    return 0;
}
