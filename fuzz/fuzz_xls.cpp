// Feeds arbitrary bytes to the compound-file and BIFF8 readers: a damaged or
// hostile workbook is refused and never crashes, hangs or overreads. A
// workbook that is read is written again (what opening, changing and saving
// does) and must read back with the same cells.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "workbook/Workbook.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    velkor::Status error;
    auto book = velkor::ReadXls(std::span<const uint8_t>(data, size), &error);
    if (!book) return 0;
    bool fits = true;
    for (const auto& sheet : book->sheets) {
        for (const auto& [pos, cell] : sheet.cells) {
            (void)velkor::CellText(cell);
            fits = fits && pos.second <= 256;
        }
    }
    if (!fits) return 0;  // saving refuses such a workbook
    const auto again = velkor::ReadXls(velkor::WriteXls(*book), &error);
    if (!again || again->sheets.size() != book->sheets.size()) std::abort();
    for (size_t i = 0; i < book->sheets.size(); ++i) {
        if (again->sheets[i].cells.size() != book->sheets[i].cells.size()) std::abort();
    }
    return 0;
}
