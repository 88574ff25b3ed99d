#pragma once

// SensorDisplayInput holds what both sensor definition dialogs show of a
// sensor's diagram and statistics settings.

#include <cstdint>
#include <string>

class CSensoren;

// The "Graphical display" and "Displayed values in the sensor dialog" fields,
// as typed: the station sensors' and the virtual sensors' dialogs share them.
struct SensorDisplayInput {
    std::string minScale;
    std::string maxScale;
    bool considerMinScale = false;
    bool considerMaxScale = false;
    int scalingRange = 0;  // 0 selected area, 1 complete area
    int diagramType = 0;   // 0 line, 1 dots
    std::uint32_t colour = 0;
    bool showMaximum = false;
    bool showMinimum = false;
    bool showMean = false;
    bool showSum = false;
    int sumMode = 0;
    bool showActivity = false;
    int activityMode = 0;
    std::string activityThreshold;
    bool showTendency = false;
    int tendencyMode = 1;
    int tendencyTimeBase = 300;

    bool operator==(const SensorDisplayInput&) const = default;
};

// The fields as `sensor` holds them; the threshold as the shortest text that
// reads back as the same number.
SensorDisplayInput DisplayInputOf(const CSensoren& sensor);
