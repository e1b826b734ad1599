// The drawing view on a 20,000-object station: a full repaint of a 1920 x
// 1080 view and one mouse move (object under the pointer and hover test).
// Goals: the repaint under 16 ms, the mouse move under 2 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <filesystem>

#include "QtTextMetrics.h"
#include "demo/DemoStation.h"
#include "document/CVelkorDoc.h"
#include "view/CChildView.h"

namespace {

using namespace velkor;

struct Fixture {
    SilentInteraction ui;
    CVelkorDoc doc{ui};
    std::unique_ptr<gui::CChildView> view;
    Fixture() {
        doc.OnNewDocument();
        BuildDemoStation(doc, {20000, 1});
        // The whole generated station in the scroll range, so the view can
        // show its busiest corner.
        view = std::make_unique<gui::CChildView>(doc);
        view->SetCanvasSize({7000, 6000});
        view->resize(1920, 1080);
    }
};

Fixture& Station() {
    static Fixture f;
    return f;
}

void BM_RepaintFullView(benchmark::State& state) {
    Fixture& f = Station();
    QImage image(1920, 1080, QImage::Format_RGB32);
    for (auto _ : state) {
        f.view->viewport()->render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
    state.counters["objects"] = static_cast<double>(f.doc.Objects().size());
}
BENCHMARK(BM_RepaintFullView)->Unit(benchmark::kMillisecond);

void BM_MouseMove(benchmark::State& state) {
    Fixture& f = Station();
    int i = 0;
    for (auto _ : state) {
        // Across the track of the first group, where objects are dense.
        const Point p{100 + (i++ % 1400), 300};
        f.view->Move(p, false);
    }
}
BENCHMARK(BM_MouseMove)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    UseQtTextMetrics();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
