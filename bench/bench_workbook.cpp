// Writing and reading a workbook of six sheets with 10,000 rows of 14 text
// and number cells each, as the check exports and the element table produce.
#include <benchmark/benchmark.h>

#include <string>

#include "common/Text.h"
#include "workbook/Workbook.h"

namespace {

using namespace velkor;

Workbook SixSheets() {
    Workbook book;
    for (int s = 0; s < 6; ++s) {
        WorkbookSheet sheet;
        sheet.name = u"表" + FromUtf8(std::to_string(s + 1));
        for (uint32_t r = 1; r <= 10000; ++r) {
            for (uint32_t c = 1; c <= 14; ++c) {
                WorkbookCell cell;
                if (c % 2) {
                    cell.text = u"区段" + FromUtf8(std::to_string(r * 14 + c));
                } else {
                    cell.kind = WorkbookCell::Kind::Number;
                    cell.number = r * 100.0 + c;
                }
                sheet.cells[{r, c}] = std::move(cell);
            }
        }
        book.sheets.push_back(std::move(sheet));
    }
    return book;
}

void BM_WriteXls(benchmark::State& state) {
    const Workbook book = SixSheets();
    size_t bytes = 0;
    for (auto _ : state) {
        const auto file = WriteXls(book);
        bytes = file.size();
        benchmark::DoNotOptimize(file.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_WriteXls)->Unit(benchmark::kMillisecond);

void BM_ReadXls(benchmark::State& state) {
    const auto file = WriteXls(SixSheets());
    for (auto _ : state) {
        auto book = ReadXls(file);
        benchmark::DoNotOptimize(book);
    }
}
BENCHMARK(BM_ReadXls)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
