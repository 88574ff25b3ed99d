// The data table of a diagram view with two sensors of 366 points each (a
// year of daily means): building its cells from the series and saving it as
// a comma-separated file, as "Show table" and "Save" do.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "display/DataList.h"

namespace {

constexpr int kPoints = 366;

std::vector<CDaten> YearOfDailyMeans(float base, float swing) {
    const std::time_t start = 1704067200;  // 2024-01-01
    std::vector<CDaten> points;
    for (int i = 0; i < kPoints; ++i) {
        const float value = i % 50 == 49
                                ? -99999.0f
                                : base + swing * static_cast<float>(std::sin(2 * M_PI * i / 365));
        points.emplace_back(start + static_cast<std::time_t>(i) * 86400, value);
    }
    return points;
}

void BM_DataTableFillAndSave(benchmark::State& state) {
    const std::vector<CDaten> temperature = YearOfDailyMeans(10.0f, 12.0f);
    const std::vector<CDaten> pressure = YearOfDailyMeans(1013.0f, 15.0f);
    const DataListWindow windows[] = {{"Temperatur",
                                       "\xB0"
                                       "C",
                                       1, &temperature},
                                      {"Luftdruck", "hPa", 1, &pressure}};
    char folder[] = "/tmp/wetter-bench-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string path = std::string(folder) + "/Wetterdat.csv";
    for (auto _ : state) {
        const DataList table(windows);
        if (!table.Save(path)) state.SkipWithError("saving failed");
    }
    std::remove(path.c_str());
    rmdir(folder);
}
BENCHMARK(BM_DataTableFillAndSave)->Unit(benchmark::kMillisecond);

}  // namespace
