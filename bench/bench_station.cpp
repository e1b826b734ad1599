// Opening and saving stations, and the view's hover test. The goals: opening
// and saving cost no more than ten times reading and writing the same bytes
// from the page cache; the hover test over 20,000 objects stays under a
// millisecond; an open 20,000-object station stays under 200 MB.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>

#include "common/Files.h"
#include "common/Text.h"
#include "demo/DemoStation.h"
#include "devices/CADGraphic.h"
#include "document/CVelkorDoc.h"
#include "forms/PropertyForm.h"
#include "iotables/CheckExports.h"
#include "iotables/TableEditing.h"
#include "iotables/TableGrid.h"

namespace {

using namespace velkor;

SilentInteraction g_ui;

// The stations live in a temporary folder on disk, so the figures include
// the file system as a user meets it (the files stay in the page cache).
fs::path StationPath(int objects) {
    static const fs::path root = fs::temp_directory_path() / "velkor-bench";
    const fs::path dir = root / std::to_string(objects);
    const fs::path path = dir / "Demo.lcp";
    if (!fs::exists(path)) {
        fs::create_directories(dir);
        CVelkorDoc doc(g_ui);
        doc.OnNewDocument();
        BuildDemoStation(doc, {objects, 1});
        doc.OnSaveDocument(path);
    }
    return path;
}

double PeakMegabytes() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}

void BM_OpenStation(benchmark::State& state) {
    const fs::path path = StationPath(static_cast<int>(state.range(0)));
    size_t objects = 0;
    for (auto _ : state) {
        CVelkorDoc doc(g_ui);
        if (!doc.OnOpenDocument(path)) state.SkipWithError("open failed");
        objects = doc.Objects().size();
    }
    state.counters["objects"] = static_cast<double>(objects);
    state.counters["bytes"] = static_cast<double>(fs::file_size(path));
    state.counters["peak_MB"] = PeakMegabytes();
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(path)));
}
BENCHMARK(BM_OpenStation)->Arg(0)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_SaveStation(benchmark::State& state) {
    const fs::path path = StationPath(static_cast<int>(state.range(0)));
    CVelkorDoc doc(g_ui);
    doc.OnOpenDocument(path);
    for (auto _ : state) {
        if (!doc.OnSaveDocument(path)) state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(path)));
}
BENCHMARK(BM_SaveStation)->Arg(0)->Arg(20000)->Unit(benchmark::kMillisecond);

// The yardstick: reading and writing the same bytes as plain files.
void BM_ReadSameBytes(benchmark::State& state) {
    const fs::path path = StationPath(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto bytes = ReadWholeFile(path);
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(path)));
}
BENCHMARK(BM_ReadSameBytes)->Arg(0)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_WriteSameBytes(benchmark::State& state) {
    const fs::path path = StationPath(static_cast<int>(state.range(0)));
    const auto bytes = *ReadWholeFile(path);
    const fs::path copy = path.parent_path() / "copy.bin";
    for (auto _ : state) {
        if (!WriteFileAtomic(copy, bytes)) state.SkipWithError("write failed");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_WriteSameBytes)->Arg(0)->Arg(20000)->Unit(benchmark::kMillisecond);

// Every mouse move: the object list is walked with HitEndPoint until one
// reports a hit. A point far from every object walks the whole list.
void BM_HoverTest(benchmark::State& state) {
    CVelkorDoc doc(g_ui);
    doc.OnOpenDocument(StationPath(20000));
    const Point pointer{-5000, -5000};
    for (auto _ : state) {
        Point snap;
        bool hit = false;
        for (const auto& obj : doc.Objects()) {
            if (obj->HitEndPoint(pointer, snap)) {
                hit = true;
                break;
            }
        }
        benchmark::DoNotOptimize(hit);
    }
    state.counters["objects"] = static_cast<double>(doc.Objects().size());
}
BENCHMARK(BM_HoverTest)->Unit(benchmark::kMicrosecond);

// A confirmed property dialog on a large station: the form is built, a
// field and the signal kind changed, "确定" taken and the whole kept as one
// undo step. Goal: well under the 100 ms a user notices.
void BM_ConfirmSignalDialog(benchmark::State& state) {
    CVelkorDoc doc(g_ui);
    doc.OnOpenDocument(StationPath(20000));
    CADGraphic* signal = nullptr;
    for (const auto& obj : doc.Objects()) {
        if (std::string(obj->GetRuntimeClass().name) == "CADSignal") {
            signal = obj.get();
            break;
        }
    }
    if (!signal) state.SkipWithError("no signal");
    int n = 0;
    for (auto _ : state) {
        DocumentEdit edit(doc, "属性", {signal});
        auto form = MakePropertyForm(*signal, doc);
        form->Find("地址号")->value = std::to_string(++n % 100);
        FormField& kind = *form->Find("信号机类型");
        kind.value = n % 2 ? "列调" : "列车";
        form->Edited(kind);
        form->Confirm();
        edit.Commit();
    }
    state.counters["objects"] = static_cast<double>(doc.Objects().size());
    state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(BM_ConfirmSignalDialog)->Unit(benchmark::kMicrosecond);

// A table dialog on a large signal table (the widest rows, with the relay
// columns of each type): the grid opened from the records, then the records
// taken back on closing. Goal: well under the 100 ms a user notices.
void BM_TableGridOpenAndStore(benchmark::State& state) {
    std::vector<Row> rows;
    for (int i = 0; i < state.range(0); ++i) {
        Row r = NewEditorRow(kSignalTable, static_cast<uint16_t>(i));
        r.SetName(u"X" + FromUtf8(std::to_string(i)));
        r.SetU16(io::kSignalType, static_cast<uint16_t>(i % 18));
        rows.push_back(std::move(r));
    }
    for (auto _ : state) {
        TableGrid grid(InputGridDesc(kSignalTable), g_ui);
        grid.Load(rows);
        benchmark::DoNotOptimize(grid.Records());
    }
    state.counters["rows"] = static_cast<double>(rows.size());
}
BENCHMARK(BM_TableGridOpenAndStore)->Arg(5000)->Unit(benchmark::kMillisecond);

// The check tables of a large station: the drawing's IO records and the
// input tables as the check workbooks and text views take them.
void BM_CheckSheets(benchmark::State& state) {
    CVelkorDoc doc(g_ui);
    doc.OnOpenDocument(StationPath(20000));
    size_t rows = 0;
    for (auto _ : state) {
        const auto drawing = DrawingIoSheets(doc);
        const auto input = InputTableSheets(doc.io);
        rows = 0;
        for (const auto& s : drawing) rows += s.rows.size();
        benchmark::DoNotOptimize(input.data());
    }
    state.counters["drawing_rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_CheckSheets)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
