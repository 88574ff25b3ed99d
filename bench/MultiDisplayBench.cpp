// The multi display on an 800x600 image through the Qt canvas: a repaint as
// the window does it after every new set of values (its kept background of
// frames and compass, with the values painted over it), and a first paint
// that draws everything. Both also at a wall screen's 1920x1080.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "display/Multianzeige.h"
#include "gui/display/CMultianzeigeCtrl.h"
#include "gui/ui/QtCanvas.h"

namespace {

MultiDisplayValues StationValues() {
    MultiDisplayValues values;
    values.mainDirection = 245;
    values.secondDirection = 230;
    values.speed = {12.4f, 1, "km/h", "Wind speed"};
    values.average = {9.8f, 1, "km/h", "Wind average"};
    values.peak = {31.0f, 1, "km/h", "Wind peak"};
    values.additional = {
        MultiTile{21.5f, 1,
                  "\xB0"
                  "C",
                  "Temperature"},
        MultiTile{64.0f, 0, "%", "Humidity"}, MultiTile{1013.2f, 1, "hPa", "Air pressure"},
        MultiTile{-99999.0f, 1, "mm", "Precipitation"}, MultiTile{-1.0f, 0, "", "----"}};
    values.timeText = "14:35:00    10.07.24";
    return values;
}

QImage Screen(const benchmark::State& state) {
    return QImage(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                  QImage::Format_RGB32);
}

// What the window paints after new values: every other time with the "Data..." notice.
void BM_MultiDisplayRepaint(benchmark::State& state) {
    QImage image = Screen(state);
    CMultianzeigeCtrl control;
    control.resize(image.size());
    for (int direction : {230, 262}) {
        MultiDisplayValues values = StationValues();
        values.mainDirection = direction;
        control.SetValues(values);
    }
    control.SetValues(StationValues());
    bool notice = false;
    for (auto _ : state) {
        control.SetDataNotice(notice);
        QPainter painter(&image);
        control.Render(painter, image.rect());
        notice = !notice;
    }
}
BENCHMARK(BM_MultiDisplayRepaint)
    ->Args({800, 600})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMicrosecond);

// Everything drawn anew, as after a resize or a new colour.
void BM_MultiDisplayFirstPaint(benchmark::State& state) {
    const MultiDisplayValues values = StationValues();
    DirectionSwing swing;
    for (int direction : {230, 262, 245}) swing.Take(direction);
    QImage image = Screen(state);
    for (auto _ : state) {
        QPainter painter(&image);
        QtCanvas canvas(painter);
        painter.setRenderHint(QPainter::Antialiasing);
        Multianzeige(canvas, {0, 0, image.width(), image.height()}, {}).Paint(values, swing, false);
    }
}
BENCHMARK(BM_MultiDisplayFirstPaint)
    ->Args({800, 600})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

// Painting needs an application object; no display is needed.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
