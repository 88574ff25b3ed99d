// One paint of the diagram view: six sensors of 366 points each (a year of
// daily means) with both value axes, grid, legends and labels, on a 1200x800
// image through the Qt canvas, as the view paints on every mouse move. And a
// year of one-minute records in the diagram window, from "Get data" to the
// finished paint.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <ctime>
#include <vector>

#include "../tests/support/ScriptedUi.h"
#include "QuietSeams.h"
#include "YearOfData.h"
#include "app/AppContext.h"
#include "app/CWetterDoc.h"
#include "comm/ProcessValues.h"
#include "display/CDiagramm.h"
#include "gui/display/CWetterView.h"
#include "gui/platform/QtEventQueue.h"
#include "gui/ui/QtCanvas.h"
#include "model/ErrorLog.h"
#include "platform/IniProfile.h"
#include "platform/ProgramPaths.h"
#include "platform/SystemClock.h"

namespace {

constexpr int kSensors = 6;
constexpr int kPoints = 366;
constexpr std::uint32_t kColours[kSensors] = {0x0000DC, 0xB40000, 0x008C00,
                                              0x0080C0, 0x800080, 0x606060};

struct Sensor {
    std::vector<CDaten> points;
    float max = 0;
    float min = 0;
};

std::vector<Sensor> MakeSensors() {
    const std::time_t start = 1704067200;  // 2024-01-01
    std::vector<Sensor> sensors(kSensors);
    for (int s = 0; s < kSensors; ++s) {
        Sensor& sensor = sensors[s];
        sensor.min = -10.0f * s;
        sensor.max = 30.0f + 20.0f * s;
        for (int i = 0; i < kPoints; ++i) {
            const double phase = 2 * M_PI * i / 365 + s;
            const float value =
                i % 50 == 49 ? -99999.0f
                             : static_cast<float>(sensor.min + (sensor.max - sensor.min) *
                                                                   (0.5 + 0.4 * std::sin(phase)));
            sensor.points.emplace_back(start + static_cast<std::time_t>(i) * 86400, value);
        }
    }
    return sensors;
}

void Paint(QImage& image, const std::vector<Sensor>& sensors, int cursorX, int mode) {
    QPainter painter(&image);
    QtCanvas canvas(painter);
    const CanvasRect client = {0, 0, image.width(), image.height()};
    canvas.FillRect(client, 0xFFFFFF);
    CDiagramm diagram(canvas, client, 0x808080, false, {2, 2, 1});
    for (int s = 0; s < kSensors; ++s) {
        const Sensor& sensor = sensors[s];
        if (s < 2) {
            diagram.DrawValueAxis(sensor.max, sensor.min, "unit", "name", kColours[s], s == 0);
        }
        diagram.AddLegend("Sensor " + std::to_string(s + 1), kColours[s], s + 1);
    }
    for (int s = kSensors - 1; s >= 0; --s) {
        const Sensor& sensor = sensors[s];
        benchmark::DoNotOptimize(diagram.DrawCurve(sensor.points, sensor.max - sensor.min,
                                                   sensor.min, kColours[s], mode, cursorX, true,
                                                   true));
    }
    diagram.DrawLabels();
}

void BM_DiagramPaint(benchmark::State& state) {
    const auto sensors = MakeSensors();
    QImage image(1200, 800, QImage::Format_RGB32);
    int cursorX = 0;
    for (auto _ : state) {
        Paint(image, sensors, cursorX, static_cast<int>(state.range(0)));
        cursorX = (cursorX + 7) % image.width();
    }
}
BENCHMARK(BM_DiagramPaint)->Arg(0)->ArgName("lines")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DiagramPaint)->Arg(CDiagramm::kDots)->ArgName("dots")->Unit(benchmark::kMillisecond);

// The diagram window reads 366 days of six sensors and paints them.
void BM_YearFromGetDataToPaint(benchmark::State& state) {
    const bench::YearOfData& data = bench::Data();
    ProgramPaths paths(data.Home() + "/wetter");
    IniProfile profile;
    SystemClock clock;
    NoTimers timers;
    QtEventQueue events;
    ScriptedUi ui;
    ErrorLog errorLog(paths.InFolder("ErrLog.txt"), clock, events, ui);
    ProcessValues process;
    AppContext context{profile, paths, clock, events, timers, ui, errorLog, process, nullptr};
    CWetterDoc document(context);
    document.SensorIdentifiers().assign(std::begin(bench::kIdentifiers),
                                        std::end(bench::kIdentifiers));
    document.LoadSensorDefinitions();
    document.SetLastStoredTime(data.LastRecord());
    CWetterView view(document);
    view.resize(1200, 800);

    PeriodChoice choice;
    choice.lastHours = false;
    choice.presentTime = false;
    choice.start = bench::Local(2023, 1, 15);
    choice.end = choice.start + 366 * 86400;
    choice.checkedIdentifiers.assign(bench::kIdentifiers,
                                     bench::kIdentifiers + bench::kReadSensors);
    const PeriodAcceptance acceptance = AcceptPeriod(choice, std::time(nullptr));
    QImage image(1200, 800, QImage::Format_RGB32);
    for (auto _ : state) {
        view.ApplyPeriodChoice(choice, acceptance);
        while (!view.IsReady()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        view.render(&image);
    }
    if (view.SensorWindows().size() != bench::kReadSensors)
        state.SkipWithError("the year was not read");
}
BENCHMARK(BM_YearFromGetDataToPaint)->Unit(benchmark::kMillisecond);

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
