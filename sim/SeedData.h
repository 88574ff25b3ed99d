#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "sim/RecordLine.h"

namespace orbsim {

struct SeedOptions {
    std::string folder;
    int days = 3;
    int interval = 300;  // seconds between records
    std::vector<SensorSpec> sensors = DefaultSensors();
    std::vector<std::string> invalidSensors;
    std::optional<std::time_t> end;  // last record; default: the last whole interval up to now
    std::string extension = ".orb";
    std::uint64_t seed = 1;
    int resetHour = 0;
};

struct SeedResult {
    bool ok = false;
    std::string error;
    std::vector<std::string> files;  // full paths, oldest month first
    std::size_t records = 0;
};

// The monthly data file name of `time`: "MM_YYYY" + extension, local time.
std::string DataFileName(std::time_t time, const std::string& extension);

// Writes `days` days of records at whole storage intervals, ending at `end`, into
// one file per month ("MM_YYYY.orb", CR LF lines like the program stores them),
// with the values a station of the same seed would have logged. Creates the
// folder; files it writes are replaced, others are left alone.
SeedResult SeedDataFolder(const SeedOptions& options);

}  // namespace orbsim
