// One repaint of a wind rose on an 800x600 image through the Qt canvas: the
// dial with ticks and labels, the recent range as a sector with both extreme
// needles, the needle, a second direction and the value, as the control paints
// on every update.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "display/Windrose.h"
#include "gui/ui/QtCanvas.h"

namespace {

void BM_WindRoseRepaint(benchmark::State& state) {
    QImage image(800, 600, QImage::Format_RGB32);
    WindDirectionTracker tracker;
    WindroseValues values;
    values.secondDirection = 200;
    values.value = 5.43;
    values.unit = "m/s";
    int paint = 0;
    for (auto _ : state) {
        // Swinging between 300 and 60 degrees: a wide sector across north.
        values.direction = (300 + (paint++ % 120)) % 360;
        QPainter painter(&image);
        QtCanvas canvas(painter);
        painter.setRenderHint(QPainter::Antialiasing, state.range(0) != 0);
        Windrose(canvas, {0, 0, image.width(), image.height()}, tracker).Paint(values);
        benchmark::ClobberMemory();
    }
}
// 1: smoothed as the control paints, 0: without smoothing.
BENCHMARK(BM_WindRoseRepaint)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    // Fonts need the application object; offscreen unless a platform is chosen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
