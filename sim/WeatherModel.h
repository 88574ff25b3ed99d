#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "sim/RecordLine.h"

namespace orbsim {

// Plausible, slowly changing weather that depends only on the seed, the sensor
// and the time, so a test can recompute any value the station sent or stored.
// TE temperature, FE humidity, DR pressure, RE rain since the last reset,
// WG wind speed, WR direction, WS gust, SO sunshine; any other id gets a
// generic slowly varying value. Const methods are safe from any thread.
class WeatherModel {
public:
    explicit WeatherModel(std::uint64_t seed) : m_seed(seed) {}

    // The value of sensor `id` at `time`; rain counts from `rainSince`.
    double Value(std::string_view id, std::time_t time, std::time_t rainSince) const;

    // One reading per sensor; the sensors named in `invalid` report kInvalidValue.
    std::vector<Reading> Readings(const std::vector<SensorSpec>& sensors,
                                  const std::vector<std::string>& invalid, std::time_t time,
                                  std::time_t rainSince) const;

    // The latest local HH:00:00 with HH == resetHour at or before `time`.
    static std::time_t LastDailyReset(std::time_t time, int resetHour);

private:
    // Smooth noise in [-1, 1] with knots `period` seconds apart.
    double Noise(std::uint64_t channel, double time, double period) const;
    double Uniform(std::uint64_t channel, std::int64_t index) const;  // [0, 1)
    double RainBetween(std::time_t from, std::time_t to) const;

    std::uint64_t m_seed;
};

}  // namespace orbsim
