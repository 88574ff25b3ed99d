#include "sim/SeedData.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include "sim/WeatherModel.h"

namespace orbsim {

std::string DataFileName(std::time_t time, const std::string& extension) {
    std::tm fields{};
    localtime_r(&time, &fields);
    char name[32];
    std::snprintf(name, sizeof name, "%02d_%04d", fields.tm_mon + 1, fields.tm_year + 1900);
    return name + extension;
}

SeedResult SeedDataFolder(const SeedOptions& options) {
    PinLocalZone();
    SeedResult result;
    if (options.folder.empty() || options.days < 0 || options.interval <= 0 ||
        options.interval > 86400 || options.sensors.empty()) {
        result.error = "seed needs a folder, days >= 0, an interval of 1..86400 s and sensors";
        return result;
    }
    std::error_code code;
    std::filesystem::create_directories(options.folder, code);
    if (code) {
        result.error = "cannot create " + options.folder + ": " + code.message();
        return result;
    }

    const std::time_t end =
        LastBoundaryAtOrBefore(options.end.value_or(std::time(nullptr)), options.interval);
    const std::time_t start = end - static_cast<std::time_t>(options.days) * 86400;
    std::vector<std::time_t> times;
    for (std::time_t t = end; t > start; t = LastBoundaryAtOrBefore(t - 1, options.interval)) {
        times.push_back(t);
    }

    const WeatherModel model(options.seed);
    std::map<std::string, std::string> contents;  // "YYYYMM" -> lines
    std::map<std::string, std::string> names;
    for (auto it = times.rbegin(); it != times.rend(); ++it) {
        const std::time_t rainSince = WeatherModel::LastDailyReset(*it, options.resetHour);
        const auto readings =
            model.Readings(options.sensors, options.invalidSensors, *it, rainSince);
        const std::string name = DataFileName(*it, options.extension);
        const std::string key = name.substr(3, 4) + name.substr(0, 2);
        names[key] = name;
        contents[key] += FormatRecordLine(*it, readings, false);
    }
    for (const auto& [key, lines] : contents) {
        const std::string path = (std::filesystem::path(options.folder) / names[key]).string();
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file << lines;
        file.close();
        if (!file) {
            result.error = "cannot write " + path;
            return result;
        }
        result.files.push_back(path);
    }
    result.records = times.size();
    result.ok = true;
    return result;
}

}  // namespace orbsim
