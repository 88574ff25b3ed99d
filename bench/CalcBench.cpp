// Throughput of the per-record computations: the virtual sensors of a record
// and the statistics recomputation over a full current-value history.
#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "calc/CFormelParser.h"
#include "calc/SensorStatistics.h"
#include "calc/VirtualSensors.h"
#include "model/CSensoren.h"
#include "storage/CAktuell.h"

namespace {

constexpr std::array<const char*, 12> kIdentifiers = {"TA", "TI", "FE", "FI", "DR", "RE",
                                                      "WG", "WR", "WS", "SO", "UV", "TB"};

std::unique_ptr<CSensoren> VirtualSensor(const char* id, const char* formula) {
    auto sensor = std::make_unique<CSensoren>();
    sensor->m_identifier = id;
    sensor->m_virtual = true;
    sensor->m_formula = formula;
    sensor->m_lowerLimit = -1000.0f;
    sensor->m_upperLimit = 100000.0f;
    return sensor;
}

// One record: fill the twelve measured values, then evaluate five virtual sensors.
void BM_VirtualSensorsPerRecord(benchmark::State& state) {
    std::vector<std::unique_ptr<CSensoren>> sensors;
    sensors.push_back(VirtualSensor("TM", "(TA+TI)/2"));
    sensors.push_back(VirtualSensor("FR", "SQRT(FE)*2"));
    sensors.push_back(VirtualSensor("TQ", "POW(TA;2)/100"));
    sensors.push_back(VirtualSensor("WC", "TA-WG*0.1"));
    sensors.push_back(VirtualSensor("DP", "TA-(100-FE)/5"));
    CFormelParser parser;
    float values[kIdentifiers.size()];
    for (std::size_t i = 0; i < kIdentifiers.size(); ++i) values[i] = 10.0f + static_cast<float>(i);
    float sink = 0;
    for (auto _ : state) {
        parser.ClearVariables();
        for (std::size_t i = 0; i < kIdentifiers.size(); ++i) {
            parser.AddVariable(kIdentifiers[i]);
            parser.SetVariable(kIdentifiers[i], values[i]);
        }
        ComputeVirtualSensors(parser, sensors, [&sink](std::size_t, const CSensoren&, float value) {
            sink += value;
        });
        values[0] += 0.01f;
    }
    benchmark::DoNotOptimize(sink);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_VirtualSensorsPerRecord);

// Recomputing the statistics of a sensor whose history is full.
void BM_StatisticsOverFullHistory(benchmark::State& state) {
    CSensoren sensor;
    sensor.m_showSum = true;
    sensor.m_sumMode = static_cast<int>(state.range(0));
    sensor.m_showActivity = true;
    sensor.m_activityThreshold = 5.0f;
    sensor.m_showTendency = true;
    CAktuell current("RE", &sensor);
    for (int i = 0; i < 400; ++i)
        current.AppendToHistory(static_cast<float>((i * 7) % 23), 1700000000 + i * 60);
    for (auto _ : state) {
        current.UpdateStatistics();
        benchmark::DoNotOptimize(current.m_statistics);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StatisticsOverFullHistory)->Arg(0)->Arg(1)->Arg(2);

}  // namespace
