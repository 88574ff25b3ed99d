#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The text a station speaks: record lines, the data-file line that mirrors them,
// and the 12-digit date-time parameter of "!U" and "?D". All times are local.
namespace orbsim {

// Byte the station puts between the last comma and CR LF of a record it stores.
inline constexpr char kStorageMarker = '\x1F';
// What the station reports for a sensor that fails.
inline constexpr double kInvalidValue = -999999.0;

struct SensorSpec {
    std::string id;
    int decimals = 1;
};

struct Reading {
    std::string id;
    double value = 0.0;
    int decimals = 1;
};

// TE, FE, DR, RE, WG, WR, WS, SO with one decimal each.
std::vector<SensorSpec> DefaultSensors();
// "TE,FE:0,DR" (":N" sets the decimals); nullopt for an empty id or bad decimals.
std::optional<std::vector<SensorSpec>> ParseSensorList(std::string_view text);

// Names the default local zone in TZ when none is set. Without it the C
// library re-reads the zone on every mktime, on every thread.
void PinLocalZone();

// "HH:MM:SS,DD.MM.YY," in local time.
std::string FormatTimeStamp(std::time_t time);
// Fixed-point with `decimals` places, independent of the C locale; never "-0.0".
std::string FormatValue(double value, int decimals);
// Time stamp, one "IDvalue," per reading, then 0x1F when stored, then CR LF.
// Without the trailing comma the last comma before the line end is left out.
std::string FormatRecordLine(std::time_t time, const std::vector<Reading>& readings,
                             bool storageMarker, bool trailingComma = true);

// "HHMMSSDDMMYY" in local time.
std::string FormatCommandTime(std::time_t time);
// Reads exactly 12 digits "HHMMSSDDMMYY"; years up to 90 are 20xx, above 90 19xx.
std::optional<std::time_t> ParseCommandTime(std::string_view digits);

// Seconds since local midnight.
int TimeOfDay(std::time_t time);
// The latest time at or before `time` whose time of day is a multiple of `interval`.
std::time_t LastBoundaryAtOrBefore(std::time_t time, int interval);
// Local "YYYY-MM-DD HH:MM:SS".
std::optional<std::time_t> ParseLocalDateTime(std::string_view text);

}  // namespace orbsim
