#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string>

#include "sim/WeatherModel.h"

namespace {

const std::time_t kStart = 1709251200;  // 2024-03-01 00:00:00 UTC

class OrbsimWeather : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
    }
    static std::time_t RainSince(std::time_t time) {
        return orbsim::WeatherModel::LastDailyReset(time, 7);
    }
};

TEST_F(OrbsimWeather, ValuesStayPlausibleAndChangeSlowlyOverAWeek) {
    const orbsim::WeatherModel model(42);
    double previousTemperature = model.Value("TE", kStart, RainSince(kStart));
    double lowest = 1e9;
    double highest = -1e9;
    for (std::time_t t = kStart + 300; t < kStart + 7 * 86400; t += 300) {
        const double temperature = model.Value("TE", t, RainSince(t));
        EXPECT_LT(std::fabs(temperature - previousTemperature), 1.0) << t;
        previousTemperature = temperature;
        lowest = std::min(lowest, temperature);
        highest = std::max(highest, temperature);

        const double humidity = model.Value("FE", t, RainSince(t));
        EXPECT_TRUE(humidity >= 15.0 && humidity <= 100.0) << humidity;
        const double pressure = model.Value("DR", t, RainSince(t));
        EXPECT_TRUE(pressure > 980.0 && pressure < 1040.0) << pressure;
        const double direction = model.Value("WR", t, RainSince(t));
        EXPECT_TRUE(direction >= 0.0 && direction < 360.0) << direction;
        const double wind = model.Value("WG", t, RainSince(t));
        EXPECT_GE(wind, 0.0);
        EXPECT_GE(model.Value("WS", t, RainSince(t)), wind) << "a gust is never below the mean";
        const int hour = static_cast<int>((t - kStart) % 86400 / 3600);
        if (hour < 6 || hour >= 20) {
            EXPECT_EQ(model.Value("SO", t, RainSince(t)), 0.0) << t;
        }
    }
    EXPECT_GT(highest - lowest, 5.0) << "the temperature has a daily swing";
    EXPECT_TRUE(lowest > -15.0 && highest < 35.0);
}

TEST_F(OrbsimWeather, RainAccumulatesUntilTheResetHourAndRestartsFromZero) {
    const orbsim::WeatherModel model(7);
    bool rained = false;
    double previous = 0.0;
    for (std::time_t t = kStart; t < kStart + 10 * 86400; t += 600) {
        const double rain = model.Value("RE", t, RainSince(t));
        EXPECT_NEAR(rain * 10.0, std::round(rain * 10.0), 1e-9) << "whole tenths of a millimetre";
        if ((t - kStart) % 86400 == 7 * 3600) {
            EXPECT_EQ(rain, 0.0) << "reset at 07:00";
        } else {
            EXPECT_GE(rain, previous) << t;
        }
        rained = rained || rain > 0.0;
        previous = rain;
    }
    EXPECT_TRUE(rained);
}

TEST_F(OrbsimWeather, TheSeedAloneDecidesTheValues) {
    const orbsim::WeatherModel first(3);
    const orbsim::WeatherModel again(3);
    const orbsim::WeatherModel other(4);
    const std::vector<orbsim::SensorSpec> sensors = orbsim::DefaultSensors();
    const std::time_t noon = kStart + 12 * 3600;
    const auto readings = first.Readings(sensors, {"FE"}, noon, RainSince(noon));
    ASSERT_EQ(readings.size(), sensors.size());
    EXPECT_EQ(readings[1].value, orbsim::kInvalidValue) << "FE was named invalid";
    const auto repeated = again.Readings(sensors, {"FE"}, noon, RainSince(noon));
    const auto different = other.Readings(sensors, {"FE"}, noon, RainSince(noon));
    int differing = 0;
    for (std::size_t i = 0; i < readings.size(); ++i) {
        EXPECT_EQ(readings[i].id, sensors[i].id);
        EXPECT_EQ(readings[i].value, repeated[i].value) << readings[i].id;
        differing += readings[i].value != different[i].value;
    }
    EXPECT_GE(differing, 5);
}

}  // namespace
