// Opening and saving large stations: the desktop program must open a station
// of tens of thousands of objects without a pause.
#include <benchmark/benchmark.h>

#include "common/Files.h"
#include "devices/CADDevice.h"
#include "devices/Label.h"
#include "document/CVelkorDoc.h"

namespace {

using namespace velkor;

class QuietInteraction : public Interaction {
public:
    void Info(const std::string&) override {}
    void Warning(const std::string&) override {}
    bool AskYesNo(const std::string&) override { return true; }
    std::optional<std::string> ChooseOpenFile(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> ChooseSaveFile(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::vector<bool>> ChooseOptions(const std::string&,
                                                   const std::vector<std::string>&,
                                                   const std::vector<bool>& initial) override {
        return initial;
    }
};

const fs::path kPath = "/bench/station.lcp";

// A station of n labels in a memory store, so the benchmark measures the
// archive and not the disk.
void MakeStation(MemoryFileStore& files, QuietInteraction& ui, int n) {
    CVelkorDoc doc(ui, files);
    doc.OnNewDocument();
    for (int i = 0; i < n; ++i) {
        auto label = std::make_unique<Label>();
        label->text = u"区段" + std::u16string(1, char16_t(u'0' + i % 10));
        label->CreateWindow({i % 600 * 20, i / 600 * 20, i % 600 * 20 + 40, i / 600 * 20 + 12});
        doc.AddObject(std::move(label));
    }
    doc.OnSaveDocument(kPath);
}

void BM_OpenStation(benchmark::State& state) {
    QuietInteraction ui;
    MemoryFileStore files;
    MakeStation(files, ui, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CVelkorDoc doc(ui, files);
        const bool ok = doc.OnOpenDocument(kPath);
        benchmark::DoNotOptimize(ok);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["bytes"] = static_cast<double>(files.files[kPath].size());
}
BENCHMARK(BM_OpenStation)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_SaveStation(benchmark::State& state) {
    QuietInteraction ui;
    MemoryFileStore files;
    MakeStation(files, ui, static_cast<int>(state.range(0)));
    CVelkorDoc doc(ui, files);
    doc.OnOpenDocument(kPath);
    for (auto _ : state) {
        const bool ok = doc.OnSaveDocument(kPath);
        benchmark::DoNotOptimize(ok);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SaveStation)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
