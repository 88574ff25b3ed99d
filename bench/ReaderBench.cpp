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

constexpr const char* kIdentifiers[] = {"TE", "FE", "DR", "WG", "WR", "RE",
                                        "TI", "FI", "SO", "UV", "WS", "TB"};
constexpr int kSensors = 12;
constexpr int kReadSensors = 6;
constexpr int kStepSeconds = 60;

std::time_t Local(int year, int month, int day) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_isdst = -1;
    return std::mktime(&fields);
}

double ProcessCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

class CountingView final : public ReaderView {
public:
    void OnReadProgress(int) override {}
    void OnReadFinished(bool) override { ++finished; }
    void OnNothingRead() override { ++nothing; }
    int finished = 0;
    int nothing = 0;
};

// A station home with a year of data: January 2023 to January 2024.
class YearOfData {
public:
    YearOfData() {
        m_home = std::filesystem::temp_directory_path() /
                 ("wetter-reader-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_home / "Daten");
        std::ofstream define(m_home / "wetterdefine.ini", std::ios::binary);
        for (const char* id : kIdentifiers) define << "[" << id << "]\r\nFaktor=1\r\n";
        define.close();

        const std::time_t begin = Local(2023, 1, 1);
        const std::time_t end = Local(2024, 2, 1);
        std::ofstream file;
        int openMonth = -1;
        std::string line;
        for (std::time_t t = begin; t < end; t += kStepSeconds) {
            const std::tm local = LocalTime(t);
            if (local.tm_mon != openMonth) {
                file.close();
                char name[32];
                std::snprintf(name, sizeof name, "%02d_%d.orb", local.tm_mon + 1,
                              local.tm_year + 1900);
                const std::string path = (m_home / "Daten" / name).string();
                m_files.push_back(path);
                file.open(path, std::ios::binary);
                openMonth = local.tm_mon;
            }
            line = RecordLine::TimePrefix(t);
            const long minute = static_cast<long>((t - begin) / kStepSeconds);
            for (int s = 0; s < kSensors; ++s) {
                char field[32];
                const int value = static_cast<int>((minute * (s + 7) + s * 1000) % 20000);
                std::snprintf(field, sizeof field, "%s%d.%02d,", kIdentifiers[s], value / 100,
                              value % 100);
                line += field;
            }
            line += "\r\n";
            file << line;
            ++m_lines;
        }
        m_last = end - kStepSeconds;
    }
    ~YearOfData() {
        std::error_code ignored;
        std::filesystem::remove_all(m_home, ignored);
    }

    std::string Home() const { return m_home.string(); }
    std::string DataFolder() const { return (m_home / "Daten").string(); }
    const std::vector<std::string>& Files() const { return m_files; }
    std::time_t LastRecord() const { return m_last; }
    long Lines() const { return m_lines; }

private:
    std::filesystem::path m_home;
    std::vector<std::string> m_files;
    std::time_t m_last = 0;
    long m_lines = 0;
};

const YearOfData& Data() {
    static const YearOfData data;
    return data;
}

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
