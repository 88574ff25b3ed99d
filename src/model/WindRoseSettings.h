#pragma once

// WindRoseSettings are a sensor's azimuth-scale (wind-rose) options.

#include <string>

// Whether a sensor opens a wind rose with its diagram, and which sensors (by
// label) give its direction, second direction and value; an empty label is
// none. The sensor's "Edit" dialog sets them, the sensor files keep them.
struct WindRoseSettings {
    bool enabled = false;
    // Hide the direction while the value sensor reads exactly 0 (a calm).
    bool fadeOutSensor1 = false;
    std::string sensor1;
    std::string sensor2;
    std::string sensor3;

    bool operator==(const WindRoseSettings&) const = default;
};
