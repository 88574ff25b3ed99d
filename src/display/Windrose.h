#pragma once

// Windrose paints the wind-rose dial.

#include <cstdint>
#include <string>
#include <vector>

#include "display/Canvas.h"

class DiagramPeriod;
class SensorSet;
struct WindRoseSettings;

// The recent extremes of the wind direction, shared by every wind rose of the
// process. Directions are kept from -180 to 179 so that a range across north
// stays one interval; -1 stands for "none yet", which is why 359 degrees (kept
// as -1) always replaces both extremes. An extreme not renewed for 20 paints
// falls back to the direction of that paint.
class WindDirectionTracker {
public:
    static constexpr int kNone = -1;
    static constexpr int kHoldPaints = 19;

    // One paint with a valid direction (0..359).
    void Track(int direction);
    void Reset() { *this = WindDirectionTracker(); }

    int Minimum() const { return m_minimum; }
    int Maximum() const { return m_maximum; }

private:
    int m_minimum = kNone;
    int m_maximum = kNone;
    int m_minimumCount = 0;
    int m_maximumCount = 0;
};

// The tracker all wind-rose windows share; user-interface thread only.
WindDirectionTracker& SharedWindDirectionTracker();

// What the dial shows: directions in whole degrees (valid 0..359), a value
// (valid from -0.01 up) with its unit.
struct WindroseValues {
    static constexpr int kNoDirection = -1;
    static constexpr double kNoValue = -1.0;

    int direction = kNoDirection;
    int secondDirection = kNoDirection;
    double value = kNoValue;
    std::string unit;

    bool HasDirection() const { return IsDirection(direction); }
    bool HasSecondDirection() const { return IsDirection(secondDirection); }
    bool HasValue() const;
    static bool IsDirection(int degrees) { return degrees >= 0 && degrees <= 359; }
    bool operator==(const WindroseValues&) const = default;
};

// A sensor value as a direction: truncated to whole degrees; none when that is
// outside 0..359 or the value is no number (the missing value -99999 included).
int DirectionFromValue(double value);

// The dial's values after an update: the current values of the settings'
// sensors while the view shows momentary values or a period up to the present
// (types 1 and 3), an empty dial otherwise. A sensor without a current value
// reads -1. With fade out, a value of exactly 0 hides the direction and the value.
WindroseValues WindroseUpdate(const WindRoseSettings& settings, const DiagramPeriod& period,
                              const SensorSet& sensors);

// "Windrose   (\"name1\\name2\\name3\")" with the names of the sensors that are set.
std::string WindroseCaption(const WindRoseSettings& settings, const SensorSet& sensors);

// One entry of the wind-rose settings' sensor lists: the label it stands for
// (empty: none) and what the list shows, "label  name".
struct WindroseSensorChoice {
    std::string label;
    std::string text;
    bool operator==(const WindroseSensorChoice&) const = default;
};

// The entries of each of the three sensor lists: none first, then every sensor
// of the station that has a name. A label in `chosen` the station no longer
// has is listed by itself at the end, so that OK does not drop it unseen.
std::vector<WindroseSensorChoice> WindroseSensorChoices(const SensorSet& sensors,
                                                        const WindRoseSettings& chosen);
// The index of `label` in `choices`; 0 (none) when it is not there.
int WindroseChoiceIndex(const std::vector<WindroseSensorChoice>& choices, const std::string& label);

// Colours of the dial (Windows values). The sector of the recent range takes
// the desktop's button face.
struct WindroseColours {
    std::uint32_t background = 0xFFFFFF;
    std::uint32_t foreground = 0x000000;
    std::uint32_t sector = 0xF0F0F0;
};

// One paint of the dial on `client`: a logical square of 2000 x 2000 units
// (y upwards, 0 degrees north, clockwise) fitted into the client rectangle
// around its centre. Sizes of pens and fonts scale with the dial.
class Windrose {
public:
    static constexpr int kRim = 800;

    Windrose(Canvas& canvas, const CanvasRect& client, WindDirectionTracker& tracker,
             const WindroseColours& colours = {});

    void Paint(const WindroseValues& values);

    // The device point of a logical point (x, y) turned by `degrees`.
    CanvasPoint Turned(double x, double y, double degrees) const;
    // Logical units per pixel are 1 / Scale().
    double Scale() const { return m_scale; }

private:
    void DrawSecondDirection(int degrees);
    void DrawCompassLabels();
    void DrawRecentRange();
    void DrawExtremeNeedle(int degrees);
    void DrawDirection(int degrees);
    void DrawValue(const WindroseValues& values);
    void DrawTicks();

    // A font of `height` logical units; faces keep their own proportions.
    void SelectFont(const char* face, int height);
    int PenWidth(int logicalWidth) const;
    // Text centred on the point (0, radius + half its height) turned by `degrees`.
    void DrawTextAtRim(const std::string& text, int radius, double degrees);
    // Text centred in the logical box from (-width/2, top) to (width/2, bottom).
    void DrawTextInBox(const std::string& text, int width, int top, int bottom);
    CanvasRect LogicalRect(double left, double top, double right, double bottom) const;

    Canvas& m_canvas;
    CanvasRect m_client;
    WindDirectionTracker& m_tracker;
    WindroseColours m_colours;
    double m_centreX = 0;
    double m_centreY = 0;
    double m_scale = 0;
};
