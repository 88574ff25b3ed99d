#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

class SensorSet;
struct StationSettings;

// What a page, an upload or a diagram reads of one station, and nothing it
// could change. Read on the user-interface thread.
class StationView {
public:
    virtual ~StationView() = default;

    // The station's settings as last loaded.
    virtual const StationSettings& Settings() const = 0;
    // Sensor definitions with their current values: measured sensors first, in
    // the station's order, then the virtual ones.
    virtual const SensorSet& Sensors() const = 0;
    // The identifiers the station sends, in its order.
    virtual const std::vector<std::string>& SensorIdentifiers() const = 0;
    // The time of the last stored record and of the last received line; 0 before the first.
    virtual std::time_t LastStoredTime() const = 0;
    virtual std::time_t LastReceivedTime() const = 0;
    // Where the monthly data files lie, and the extension their names end in.
    virtual const std::string& DataFolder() const = 0;
    virtual const std::string& DataFileExtension() const = 0;
    // The activity seconds of `identifier` today as the station's first diagram
    // that reads data files shows them; nothing when no such diagram shows a
    // period (the current value's total applies then).
    virtual std::optional<std::int32_t> SunshineSeconds(const std::string& identifier) const {
        (void)identifier;
        return std::nullopt;
    }
};
