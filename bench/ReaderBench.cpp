// Reading a year back from the data files: a year of one-minute records with
// twelve sensors in thirteen monthly files (about 44,000 lines each), read as
// a 366-day period in mean mode with six sensors, next to `wc -l` over the same
// files as the floor that any line reader pays.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "../tests/support/ScriptedUi.h"
#include "QuietSeams.h"
#include "YearOfData.h"
#include "app/AppContext.h"
#include "app/CWetterDoc.h"
#include "comm/ProcessValues.h"
#include "model/ErrorLog.h"
#include "platform/EventQueue.h"
#include "platform/IniProfile.h"
#include "platform/ProgramPaths.h"
#include "platform/SystemClock.h"
#include "platform/Timers.h"
#include "storage/CEinlesen.h"
#include "storage/ReaderView.h"
#include "storage/RecordLine.h"

namespace {

using namespace bench;

class CountingView final : public ReaderView {
public:
    void OnReadProgress(int) override {}
    void OnReadFinished(bool) override { ++finished; }
    void OnNothingRead() override { ++nothing; }
    int finished = 0;
    int nothing = 0;
};

void BM_ReadYearMeanSixSensors(benchmark::State& state) {
    const YearOfData& data = Data();
    ProgramPaths paths(data.Home() + "/wetter");
    IniProfile profile;
    SystemClock clock;
    NoTimers timers;
    WaitingQueue events;
    ScriptedUi ui;
    ErrorLog errorLog(paths.InFolder("ErrLog.txt"), clock, events, ui);
    ProcessValues process;
    AppContext context{profile, paths, clock, events, timers, ui, errorLog, process, nullptr};
    CWetterDoc doc(context);
    doc.SensorIdentifiers().assign(std::begin(kIdentifiers), std::end(kIdentifiers));
    doc.LoadSensorDefinitions();
    CountingView view;
    CEinlesen reader(doc.ReadingSources(), &view);
    const std::vector<std::string> read(kIdentifiers, kIdentifiers + kReadSensors);
    const std::time_t start = Local(2023, 1, 15);
    const unsigned period = 366u * 86400u;

    const double cpuBefore = ProcessCpuSeconds();
    for (auto _ : state) {
        const int before = view.finished + view.nothing;
        reader.StartReading(data.DataFolder(), start, start + period, period, CListGraph::kMean,
                            read, data.LastRecord(), false);
        events.RunUntil([&] { return view.finished + view.nothing > before; });
    }
    if (view.nothing != 0 || reader.Series().size() != kReadSensors ||
        reader.Series().front()->Points().size() < 366)
        state.SkipWithError("the read did not give a year of points");
    state.counters["lines"] = static_cast<double>(data.Lines());
    // Wall time suffers from other load on a shared machine; this is what the read itself costs.
    state.counters["cpu_s_per_read"] =
        (ProcessCpuSeconds() - cpuBefore) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ReadYearMeanSixSensors)->Unit(benchmark::kMillisecond);

void BM_WcLinesSameFiles(benchmark::State& state) {
    std::string command = "wc -l";
    for (const std::string& file : Data().Files()) command += " '" + file + "'";
    command += " > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("wc failed");
    }
}
BENCHMARK(BM_WcLinesSameFiles)->Unit(benchmark::kMillisecond);

}  // namespace
