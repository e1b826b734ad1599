// Writing and reading a workbook of six sheets with 10,000 rows of 14 text
// and number cells each, as the check exports and the element table produce,
// beside LibreOffice (headless) converting the same data: its conversion of
// the six sheets as CSV into .xls files, and of Velkor's workbook back into
// CSV. The LibreOffice cases are skipped when soffice is not installed.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "common/Files.h"
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

// Both directions through files on disk, as a user of either tool pays them.
void BM_WriteAndReadXlsFiles(benchmark::State& state) {
    const Workbook book = SixSheets();
    const fs::path file = fs::temp_directory_path() / "velkor-bench-six-sheets.xls";
    for (auto _ : state) {
        if (!WriteFileAtomic(file, WriteXls(book))) state.SkipWithError("cannot write");
        const auto bytes = ReadWholeFile(file);
        auto back = bytes ? ReadXls(*bytes) : std::nullopt;
        if (!back || back->sheets.size() != 6) state.SkipWithError("cannot read back");
        benchmark::DoNotOptimize(back);
    }
    fs::remove(file);
}
BENCHMARK(BM_WriteAndReadXlsFiles)->Unit(benchmark::kMillisecond);

struct LibreOfficeDir {
    fs::path dir = fs::temp_directory_path() / "velkor-bench-libreoffice";
    bool ok = false;
    LibreOfficeDir() {
        if (std::system("command -v soffice > /dev/null 2>&1") != 0) return;
        fs::remove_all(dir);
        fs::create_directories(dir / "in");
        const Workbook book = SixSheets();
        for (const WorkbookSheet& sheet : book.sheets) {
            std::ofstream csv(dir / "in" / PathFromUtf8(ToUtf8(sheet.name) + ".csv"),
                              std::ios::binary);
            uint32_t lastRow = 0;
            for (const auto& [pos, cell] : sheet.cells) {
                if (pos.first != lastRow && lastRow != 0) csv << '\n';
                if (pos.second != 1) csv << ',';
                lastRow = pos.first;
                if (cell.kind == WorkbookCell::Kind::Text) {
                    csv << ToUtf8(cell.text);
                } else {
                    csv << static_cast<long long>(cell.number);
                }
            }
            csv << '\n';
        }
        std::ofstream(dir / "velkor.xls", std::ios::binary) << std::string([&] {
            const auto b = WriteXls(book);
            return std::string(b.begin(), b.end());
        }());
        // A first run makes LibreOffice's profile, which a user has already.
        ok = Soffice("xls", {dir / "in" / PathFromUtf8("表1.csv")}, dir / "warm");
    }
    ~LibreOfficeDir() { fs::remove_all(dir); }
    bool Soffice(const std::string& to, const std::vector<fs::path>& files,
                 const fs::path& out) const {
        const bool csvIn = files.front().extension() == ".csv";
        std::string cmd = "soffice -env:UserInstallation=file://" + PathToUtf8(dir / "profile") +
                          " --headless --norestore" + (csvIn ? " --infilter=CSV:44,34,76,1" : "") +
                          " --convert-to '" + to + "' --outdir '" + PathToUtf8(out) + "'";
        for (const auto& f : files) cmd += " '" + PathToUtf8(f) + "'";
        return std::system((cmd + " > /dev/null 2>&1").c_str()) == 0;
    }
};

void BM_LibreOfficeWritesXls(benchmark::State& state) {
    static LibreOfficeDir lo;
    if (!lo.ok) {
        state.SkipWithError("soffice is not installed");
        return;
    }
    std::vector<fs::path> csvs;
    for (const auto& e : fs::directory_iterator(lo.dir / "in")) csvs.push_back(e.path());
    for (auto _ : state) {
        if (!lo.Soffice("xls", csvs, lo.dir / "out")) state.SkipWithError("conversion failed");
    }
}
BENCHMARK(BM_LibreOfficeWritesXls)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_LibreOfficeReadsXls(benchmark::State& state) {
    static LibreOfficeDir lo;
    if (!lo.ok) {
        state.SkipWithError("soffice is not installed");
        return;
    }
    for (auto _ : state) {
        if (!lo.Soffice(
                "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1",
                {lo.dir / "velkor.xls"}, lo.dir / "csv")) {
            state.SkipWithError("conversion failed");
        }
    }
}
BENCHMARK(BM_LibreOfficeReadsXls)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
