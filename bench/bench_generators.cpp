// How the generators grow with the station. Each runs on demo stations of
// 2,000, 20,000 and 60,000 objects with full input tables, an ElementCode
// table from the station's own element workbook and the code tables built
// from it; "per_object" makes the growth visible. The goals: on 20,000
// objects each generator takes at most twice the time of opening the
// station, and from 20,000 to 60,000 objects each grows at most 3.5 times,
// measured in pairs of runs (BM_Growth_*). The program ends with a table of
// these figures.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ats/AtsGeneration.h"
#include "common/Files.h"
#include "common/Text.h"
#include "demo/DemoStation.h"
#include "document/CVelkorDoc.h"
#include "iotables/CheckExports.h"
#include "iotables/Generators.h"
#include "siemens/CodeBuilds.h"
#include "siemens/ElementTable.h"
#include "siemens/LogicTables.h"

namespace {

using namespace velkor;

SilentInteraction g_ui;

fs::path Root() { return fs::temp_directory_path() / "velkor-bench" / "generators"; }

// A station with everything the generators read, built once per size and
// kept on disk between runs of the benchmark program.
fs::path StationPath(int objects) {
    const fs::path dir = Root() / std::to_string(objects);
    const fs::path path = dir / "Demo.lcp";
    if (fs::exists(path)) return path;
    fs::create_directories(dir);
    CVelkorDoc doc(g_ui);
    doc.OnNewDocument();
    BuildDemoStation(doc, {objects, 1, true});
    doc.hasLogicSections = 1;
    doc.logicSectionsPerSwitch = 1;
    // Station rows all named "NO" would stop the validation at its name
    // check; named apart, every check runs through the whole tables.
    auto& stations = doc.io.Table(kStationTable);
    for (size_t i = 0; i < stations.size(); ++i)
        stations[i].SetName(u"ST" + FromUtf8(std::to_string(i)));
    doc.OnSaveDocument(path);
    // The ElementCode table from the station's element workbook, and the
    // Siemens code tables from it, as a designer builds them.
    WriteElementTable(doc);
    std::vector<Row> rows;
    ReadElementWorkbook(dir / "元素表.xls", doc.Files(), rows);
    ImportElements(doc, rows, false);
    BuildTrackSectionCode(doc);
    BuildCrossCode(doc);
    BuildSwitchCode(doc);
    TakePhysicalSectionCode(doc, *BuildPhysicalSectionCode(doc));
    doc.OnSaveDocument(path);
    fs::remove(dir / "元素表.xls");
    return path;
}

// A generator as the benchmarks run it: what it does to an open station and
// the files or folders it writes beside the station.
struct Generator {
    std::string name;
    std::function<bool(CVelkorDoc&)> run;
    std::vector<std::string> outputs;
};

const std::vector<Generator>& Generators() {
    static const std::vector<Generator> list = {
        {"Transfer",
         [](CVelkorDoc& d) {
             TransferInputTablesInto(d, std::vector<bool>(6, true));
             return true;
         },
         {}},
        {"Validate", [](CVelkorDoc& d) { return ValidateInputTables(d); }, {}},
        {"RepeatIo", [](CVelkorDoc& d) { return GenerateRepeatSectionRows(d); }, {}},
        {"SiemensLogicTable", [](CVelkorDoc& d) { return GenerateSiemensLogicTable(d); }, {}},
        {"SiemensVirtualLogicTable",
         [](CVelkorDoc& d) { return GenerateSiemensVirtualLogicTable(d); },
         {}},
        {"HaldeVirtualLogicTable",
         [](CVelkorDoc& d) { return GenerateHaldeVirtualLogicTable(d); },
         {}},
        {"BuildCodes",
         [](CVelkorDoc& d) {
             auto physical = BuildPhysicalSectionCode(d);
             if (!physical) return false;
             TakePhysicalSectionCode(d, std::move(*physical));
             BuildTrackSectionCode(d);
             BuildCrossCode(d);
             return BuildSwitchCode(d);
         },
         {}},
        {"Ats", [](CVelkorDoc& d) { return GenerateAtsData(d); }, {"ATS"}},
        {"Elements", [](CVelkorDoc& d) { return WriteElementTable(d); }, {"元素表.xls"}},
        {"CheckFiles", [](CVelkorDoc& d) { return GenerateCheckFiles(d); }, {"CheckIOExcel"}},
    };
    return list;
}

// A station opened as a designer has it open, with a copy of its tables to
// put back: before each run (untimed) the tables are put back as they were
// opened and earlier outputs removed, so every run does the same work.
class OpenStation {
public:
    OpenStation(int objects, const Generator& generator)
        : path_(StationPath(objects)), generator_(generator) {
        opened_ = static_cast<bool>(doc_.OnOpenDocument(path_));
        io_ = doc_.io;
        codes_ = doc_.codes;
    }
    bool Opened() const { return opened_; }
    size_t Objects() const { return doc_.Objects().size(); }
    void Restore() {
        for (const std::string& o : generator_.outputs) fs::remove_all(path_.parent_path() / o);
        doc_.io = io_;
        doc_.codes = codes_;
    }
    bool Run() { return generator_.run(doc_); }
    // Restored and run, the run alone timed: milliseconds, or nothing when
    // the generator failed.
    std::optional<double> TimedRun() {
        Restore();
        const auto start = std::chrono::steady_clock::now();
        const bool ok = Run();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        return ok ? std::optional<double>(took.count()) : std::nullopt;
    }

private:
    fs::path path_;
    const Generator& generator_;
    CVelkorDoc doc_{g_ui};
    bool opened_ = false;
    IoTables io_;
    CodeTables codes_;
};

// Runs a generator on the opened station each iteration. One run before
// the timed ones is not counted: the first run after an open also pays for
// the heap growing to the size of its outputs, and a large station, timed
// over fewer iterations, would count that share more often than a small one.
void RunOnStation(benchmark::State& state, const Generator& generator) {
    OpenStation station(static_cast<int>(state.range(0)), generator);
    if (!station.Opened()) {
        state.SkipWithError("open failed");
        return;
    }
    if (!station.TimedRun()) {
        state.SkipWithError("the generator failed");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        station.Restore();
        state.ResumeTiming();
        if (!station.Run()) {
            state.SkipWithError("the generator failed");
            break;
        }
    }
    // Seconds per object of the timed runs, shown with a unit prefix (u: µs).
    state.counters["per_object"] = benchmark::Counter(
        static_cast<double>(station.Objects()) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The middle value (the upper of the two middle ones); 0 for none.
double Median(std::vector<double> v) {
    if (v.empty()) return 0.0;
    const auto middle = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), middle, v.end());
    return *middle;
}

// The growth from 20,000 to 60,000 objects of each pair of runs, by
// generator, over all repetitions.
std::map<std::string, std::vector<double>> g_growth;

// The growth from 20,000 to 60,000 objects, measured in pairs: both
// stations are open, and each iteration runs the generator on one and then
// on the other, so that both runs of a pair find the machine as busy; the
// growth of a pair is the ratio of its two times. Runs of each size taken
// apart, seconds apart, would count a shared machine's slower spells as
// growth (or hide growth in its faster ones).
void RunGrowth(benchmark::State& state, const Generator& generator) {
    OpenStation small(20000, generator), large(60000, generator);
    if (!small.Opened() || !large.Opened()) {
        state.SkipWithError("open failed");
        return;
    }
    // Not counted, as above.
    if (!small.TimedRun() || !large.TimedRun()) {
        state.SkipWithError("the generator failed");
        return;
    }
    std::vector<double> growth;
    bool smallFirst = true;  // the order of a pair alternates, so that neither
                             // size always runs just after the other
    for (auto _ : state) {
        std::optional<double> a, b;
        if (smallFirst) {
            a = small.TimedRun();
            b = large.TimedRun();
        } else {
            b = large.TimedRun();
            a = small.TimedRun();
        }
        smallFirst = !smallFirst;
        if (!a || !b) {
            state.SkipWithError("the generator failed");
            break;
        }
        growth.push_back(*b / *a);
        state.SetIterationTime((*a + *b) / 1000.0);
    }
    auto& all = g_growth[generator.name];
    all.insert(all.end(), growth.begin(), growth.end());
    if (!growth.empty()) state.counters["growth"] = Median(growth);
}

// The fastest of the repetitions: on a shared machine other work only adds
// time to a run, so the fastest is the closest to the generator's own cost.
double Fastest(const std::vector<double>& v) {
    return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end());
}

// The yardstick of the goals.
void BM_Open(benchmark::State& state) {
    const fs::path path = StationPath(static_cast<int>(state.range(0)));
    size_t objects = 0;
    for (auto _ : state) {
        CVelkorDoc doc(g_ui);
        if (!doc.OnOpenDocument(path)) state.SkipWithError("open failed");
        objects = doc.Objects().size();
    }
    state.counters["objects"] = static_cast<double>(objects);
}

// Each size for half a second: the largest station gets several timed runs
// of the slowest generator and the whole program stays within a few minutes.
benchmark::internal::Benchmark* OnEachSize(benchmark::internal::Benchmark* b) {
    return b->Arg(2000)
        ->Arg(20000)
        ->Arg(60000)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(0.5)
        ->ComputeStatistics("min", Fastest);
}

// The open, each generator on each size, then each generator's growth in
// pairs, a second each.
void RegisterGenerators() {
    OnEachSize(benchmark::RegisterBenchmark("BM_Open", BM_Open));
    for (const Generator& g : Generators()) {
        OnEachSize(benchmark::RegisterBenchmark(("BM_" + g.name).c_str(),
                                                [&g](benchmark::State& s) { RunOnStation(s, g); }));
    }
    for (const Generator& g : Generators()) {
        benchmark::RegisterBenchmark(("BM_Growth_" + g.name).c_str(),
                                     [&g](benchmark::State& s) { RunGrowth(s, g); })
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->MinTime(1.0);
    }
}

// The peak memory of `velkor-cli dump` in a process of its own (its output
// thrown away), against the station file's size: the goal is at most three
// times the file's size over the empty station's peak (Arg 0).
//
// A process forked from this one would count this one's memory as its own
// peak, so the runs are started by a small process forked before any
// station is built: it reads a station path per line and answers with the
// exit status and the peak resident kilobytes of `velkor-cli dump` on it.
struct Spawner {
    int request = -1;
    int reply = -1;
};
Spawner g_spawner;

void StartSpawner() {
    int toSpawner[2], fromSpawner[2];
    if (pipe(toSpawner) != 0 || pipe(fromSpawner) != 0) return;
    const pid_t pid = fork();
    if (pid < 0) return;
    if (pid > 0) {
        close(toSpawner[0]);
        close(fromSpawner[1]);
        g_spawner = {toSpawner[1], fromSpawner[0]};
        return;
    }
    close(toSpawner[1]);
    close(fromSpawner[0]);
    FILE* in = fdopen(toSpawner[0], "r");
    char line[4096];
    while (in && fgets(line, sizeof line, in)) {
        line[strcspn(line, "\n")] = 0;
        const pid_t child = fork();
        if (child == 0) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            execl(VELKOR_CLI, VELKOR_CLI, "dump", line, static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        const bool ok = child > 0 && wait4(child, &status, 0, &usage) == child &&
                        WIFEXITED(status) && WEXITSTATUS(status) == 0;
        const std::string answer =
            std::to_string(ok ? 0 : 1) + " " + std::to_string(usage.ru_maxrss) + "\n";
        if (write(fromSpawner[1], answer.data(), answer.size()) < 0) break;
    }
    _exit(0);
}

// The peak kilobytes of one dump, or nothing when it failed.
std::optional<long> DumpPeak(const fs::path& station) {
    if (g_spawner.request < 0) return std::nullopt;
    const std::string request = station.string() + "\n";
    if (write(g_spawner.request, request.data(), request.size()) < 0) return std::nullopt;
    std::string answer;
    char c;
    while (read(g_spawner.reply, &c, 1) == 1 && c != '\n') answer += c;
    int failed = 1;
    long kilobytes = 0;
    if (std::sscanf(answer.c_str(), "%d %ld", &failed, &kilobytes) != 2 || failed)
        return std::nullopt;
    return kilobytes;
}

void BM_DumpPeakMemory(benchmark::State& state) {
    const int objects = static_cast<int>(state.range(0));
    fs::path path;
    if (objects == 0) {
        path = Root() / "empty" / "Demo.lcp";
        if (!fs::exists(path)) {
            fs::create_directories(path.parent_path());
            CVelkorDoc doc(g_ui);
            doc.OnNewDocument();
            doc.OnSaveDocument(path);
        }
    } else {
        path = StationPath(objects);
    }
    double peak = 0;
    for (auto _ : state) {
        const auto kilobytes = DumpPeak(path);
        if (!kilobytes) {
            state.SkipWithError("velkor-cli dump failed");
            break;
        }
        peak = static_cast<double>(*kilobytes) / 1024.0;
    }
    state.counters["peak_MB"] = peak;
    state.counters["station_MB"] = static_cast<double>(fs::file_size(path)) / (1024.0 * 1024.0);
}
BENCHMARK(BM_DumpPeakMemory)
    ->Arg(0)
    ->Arg(2000)
    ->Arg(20000)
    ->Arg(60000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// The console report, and after it the goals' figures: per generator its
// fastest time on 20,000 and 60,000 objects (or the one run when there is
// only one) and their ratio, the first against the open of the
// 20,000-object station, and its growth from 20,000 to 60,000 objects as
// the median of the paired runs.
class GrowthReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_name.args.empty()) continue;
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if (!single && run.aggregate_name != "min") continue;
            const int objects = std::stoi(run.run_name.args);
            if (objects != 20000 && objects != 60000) continue;
            std::string name = run.run_name.function_name;
            if (name.rfind("BM_", 0) == 0) name = name.substr(3);
            ms_[name][objects] = run.GetAdjustedRealTime();
            order_[run.family_index] = name;  // the runs come in a random order
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const auto open = ms_.find("Open");
        if (open == ms_.end() || !open->second.count(20000)) return;
        std::printf("\n%-26s %10s %10s %8s %11s %8s %s\n", "generator", "20000 ms", "60000 ms",
                    "ratio", "x open@20k", "growth", "(paired runs: count, range)");
        for (const auto& [family, name] : order_) {
            const auto& t = ms_[name];
            if (name == "Open" || !t.count(20000) || !t.count(60000)) continue;
            std::printf("%-26s %10.3f %10.3f %7.2fx %10.2fx", name.c_str(), t.at(20000),
                        t.at(60000), t.at(60000) / t.at(20000),
                        t.at(20000) / open->second.at(20000));
            const auto& pairs = g_growth[name];
            if (!pairs.empty()) {
                const double growth = Median(pairs);
                const auto [least, most] = std::minmax_element(pairs.begin(), pairs.end());
                std::printf(" %7.2fx (%zu, %.2f-%.2f)%s", growth, pairs.size(), *least, *most,
                            growth > 3.5 ? "  growth over 3.5" : "");
            }
            std::printf("\n");
        }
    }

private:
    std::map<std::string, std::map<int, double>> ms_;
    std::map<int64_t, std::string> order_;  // as the benchmarks are declared
};

}  // namespace

int main(int argc, char** argv) {
    StartSpawner();  // while this process is still small
    // Unless told otherwise: five repetitions of every benchmark, taken in
    // a random order, so that a slower spell of a shared machine falls on
    // all station sizes alike instead of on the runs of one size.
    std::vector<char*> args(argv, argv + argc);
    const auto given = [&](std::string_view flag) {
        return std::any_of(args.begin(), args.end(),
                           [&](const char* a) { return std::string_view(a).rfind(flag, 0) == 0; });
    };
    static char repetitions[] = "--benchmark_repetitions=5";
    static char interleaving[] = "--benchmark_enable_random_interleaving=true";
    static char aggregates[] = "--benchmark_report_aggregates_only=true";
    if (!given("--benchmark_repetitions")) {
        args.push_back(repetitions);
        if (!given("--benchmark_enable_random_interleaving")) args.push_back(interleaving);
        if (!given("--benchmark_report_aggregates_only")) args.push_back(aggregates);
    }
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    RegisterGenerators();
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    GrowthReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
