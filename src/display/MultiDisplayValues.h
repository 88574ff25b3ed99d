#pragma once

// MultiDisplayValues are the numbers and texts one paint of the multi display shows.

#include <array>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "display/MultiDisplaySettings.h"

class CWetterDoc;
class SensorSet;

// How the main direction is rounded.
enum class DirectionSteps { kNormal, kFive, kTen };

inline constexpr int kNoDirection = -1;
// What an additional tile whose identifier names no sensor reads.
inline constexpr float kNotFoundValue = -1.0f;

// One tile's sensor: its value with the definition's digits, unit and name.
struct MultiTile {
    float value = kNotFoundValue;
    int digits = 0;
    std::string unit;
    std::string name;
};

struct MultiDisplayValues {
    int directionMaster = 1;             // 1 "WR" is the main direction, 2 "WV"
    int mainDirection = kNoDirection;    // whole degrees 0 to 359, rounded to the steps
    int secondDirection = kNoDirection;  // whole degrees 0 to 359, never rounded
    MultiTile speed;                     // "WG"
    MultiTile average;                   // "WD"
    MultiTile peak;                      // "WS"
    std::array<MultiTile, MultiDisplaySettings::kTiles> additional;
    std::string timeText;  // "%H:%M:%S    %d.%m.%y"
};

// A direction reading in whole degrees (truncated); anything outside 0 to 359
// (a missing sensor's -1, -99999, a broken reading) is no direction.
int WholeDirection(float value);
// Rounds a direction to steps of 5 (remainder 0 to 2 down, 3 and 4 up) or of
// 10 (below 5 down, else up). A direction rounded up to 360 is north, 0. No
// direction stays no direction.
int RoundDirection(int direction, DirectionSteps steps);

// Collects what the multi display shows of `document`: from its current values
// while it is connected or set to connect, else from the last values of its
// diagrams' series (the last diagram holding a sensor wins). A direction found
// nowhere is no direction, a tile's sensor without a value reads as missing;
// an additional tile whose identifier names no sensor is called "----" and
// reads kNotFoundValue. `now` stands for the data time when there is none.
MultiDisplayValues CollectMultiValues(const CWetterDoc& document,
                                      const MultiDisplaySettings& settings, DirectionSteps steps,
                                      std::time_t now);

// The sensor menu of an additional tile: "identifier  name" for every sensor
// with a name, in the document's order; and the identifier an entry chooses.
std::vector<std::string> SensorMenuEntries(const SensorSet& sensors);
std::string IdentifierOfEntry(std::string_view entry);
