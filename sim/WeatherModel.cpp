#include "sim/WeatherModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orbsim {

namespace {

std::uint64_t Mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

std::uint64_t Channel(std::string_view id, std::uint64_t salt) {
    std::uint64_t hash = 1469598103934665603ull ^ salt;
    for (const char c : id) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return hash;
}

// Daily swing peaking at 15:00 local time.
double Daily(std::time_t time) {
    return std::sin(2.0 * std::numbers::pi * (TimeOfDay(time) / 86400.0 - 0.375));
}

}  // namespace

double WeatherModel::Uniform(std::uint64_t channel, std::int64_t index) const {
    const std::uint64_t bits = Mix(Mix(m_seed ^ channel) + static_cast<std::uint64_t>(index));
    return static_cast<double>(bits >> 11) / 9007199254740992.0;
}

double WeatherModel::Noise(std::uint64_t channel, double time, double period) const {
    const double position = time / period;
    const double knot = std::floor(position);
    const double fraction = position - knot;
    const double a = Uniform(channel, static_cast<std::int64_t>(knot)) * 2.0 - 1.0;
    const double b = Uniform(channel, static_cast<std::int64_t>(knot) + 1) * 2.0 - 1.0;
    const double s = (1.0 - std::cos(std::numbers::pi * fraction)) / 2.0;
    return a + (b - a) * s;
}

double WeatherModel::RainBetween(std::time_t from, std::time_t to) const {
    if (to <= from) return 0.0;
    const std::uint64_t showers = Channel("RE", 1);
    const std::uint64_t amounts = Channel("RE", 2);
    double total = 0.0;
    for (std::int64_t hour = from / 3600; hour * 3600 < to; ++hour) {
        if (Uniform(showers, hour) >= 0.12) continue;
        const double millimetres = 0.2 + 3.0 * Uniform(amounts, hour);
        const double start = std::max<double>(from, hour * 3600.0);
        const double end = std::min<double>(to, hour * 3600.0 + 3600.0);
        total += millimetres * (end - start) / 3600.0;
    }
    return total;
}

double WeatherModel::Value(std::string_view id, std::time_t time, std::time_t rainSince) const {
    const double t = static_cast<double>(time);
    auto noise = [&](std::uint64_t salt, double period) {
        return Noise(Channel(id, salt), t, period);
    };
    if (id == "TE")
        return 10.0 + 6.0 * Daily(time) + 3.0 * noise(1, 6 * 3600.0) + 0.3 * noise(2, 1200.0);
    if (id == "FE") {
        return std::clamp(70.0 - 18.0 * Daily(time) + 8.0 * noise(1, 4 * 3600.0), 15.0, 100.0);
    }
    if (id == "DR") return 1013.0 + 12.0 * noise(1, 36 * 3600.0) + 2.0 * noise(2, 3 * 3600.0);
    if (id == "RE") {
        // A tipping bucket counts whole tenths of a millimetre.
        return std::floor(RainBetween(rainSince, time) * 10.0 + 1e-9) / 10.0;
    }
    if (id == "WG" || id == "WS") {
        const double wind = std::max(0.0, 3.0 + 2.5 * Noise(Channel("WG", 1), t, 7200.0) +
                                              Noise(Channel("WG", 2), t, 600.0));
        if (id == "WG") return wind;
        return wind * (1.35 + 0.2 * Noise(Channel("WS", 1), t, 300.0));
    }
    if (id == "WR") {
        const double direction = 240.0 + 100.0 * noise(1, 8 * 3600.0) + 20.0 * noise(2, 900.0);
        return std::fmod(direction + 360.0, 360.0);
    }
    if (id == "SO") {
        const double hours = TimeOfDay(time) / 3600.0;
        if (hours <= 6.0 || hours >= 20.0) return 0.0;
        const double clear = 850.0 * std::sin(std::numbers::pi * (hours - 6.0) / 14.0);
        return clear * std::clamp(0.65 + 0.45 * noise(1, 3600.0), 0.1, 1.0);
    }
    return 50.0 + 20.0 * noise(1, 3 * 3600.0);
}

std::vector<Reading> WeatherModel::Readings(const std::vector<SensorSpec>& sensors,
                                            const std::vector<std::string>& invalid,
                                            std::time_t time, std::time_t rainSince) const {
    std::vector<Reading> readings;
    readings.reserve(sensors.size());
    for (const SensorSpec& sensor : sensors) {
        const bool broken = std::find(invalid.begin(), invalid.end(), sensor.id) != invalid.end();
        readings.push_back({sensor.id, broken ? kInvalidValue : Value(sensor.id, time, rainSince),
                            sensor.decimals});
    }
    return readings;
}

std::time_t WeatherModel::LastDailyReset(std::time_t time, int resetHour) {
    std::tm fields{};
    localtime_r(&time, &fields);
    fields.tm_hour = resetHour;
    fields.tm_min = 0;
    fields.tm_sec = 0;
    fields.tm_isdst = -1;
    std::time_t reset = std::mktime(&fields);
    if (reset > time) {
        localtime_r(&time, &fields);
        fields.tm_mday -= 1;
        fields.tm_hour = resetHour;
        fields.tm_min = 0;
        fields.tm_sec = 0;
        fields.tm_isdst = -1;
        reset = std::mktime(&fields);
    }
    return reset;
}

}  // namespace orbsim
