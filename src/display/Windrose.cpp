#include "display/Windrose.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "display/DiagramPeriod.h"
#include "model/TextNumbers.h"
#include "model/WindRoseSettings.h"
#include "storage/SensorSet.h"

namespace {

constexpr double kRadiansPerDegree = 6.28318 / 360;
constexpr double kLogicalExtent = 1000;
constexpr double kProbePoints = 100;

constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kGrey = 0x9C9C9C;

constexpr const char* kTimes = "Times New Roman";
constexpr const char* kArial = "Arial";
constexpr const char* kCompassLabels[] = {"N", "NO", "O", "SO", "S", "SW", "W", "NW"};

constexpr int kLabelRadius = 830;
constexpr int kSectorRadius = 800;

std::string Degrees(int degrees) {
    char text[24];
    std::snprintf(text, sizeof text, "%ddeg", degrees);
    return text;
}

// -180..179 back to 0..359.
int CompassDegrees(int degrees) { return degrees < 0 ? degrees + 360 : degrees; }

const CAktuell* FindCurrentValue(const SensorSet& sensors, const std::string& label) {
    if (label.empty()) return nullptr;
    for (const auto& current : sensors.CurrentValues())
        if (current->m_identifier == label) return current.get();
    return nullptr;
}

double CurrentValueOf(const SensorSet& sensors, const std::string& label) {
    const CAktuell* current = FindCurrentValue(sensors, label);
    return current != nullptr ? current->m_value : -1.0;
}

}  // namespace

// ---- Tracker ---------------------------------------------------------------

void WindDirectionTracker::Track(int direction) {
    const int degrees = direction > 179 ? direction - 360 : direction;
    if (degrees < m_minimum || m_minimum == kNone) {
        m_minimum = degrees;
        m_minimumCount = 0;
    } else if (++m_minimumCount > kHoldPaints) {
        m_minimum = degrees;
        m_minimumCount = 0;
    }
    if (degrees > m_maximum || m_maximum == kNone) {
        m_maximum = degrees;
        m_maximumCount = 0;
    } else if (++m_maximumCount > kHoldPaints) {
        m_maximum = degrees;
        m_maximumCount = 0;
    }
}

WindDirectionTracker& SharedWindDirectionTracker() {
    static WindDirectionTracker tracker;
    return tracker;
}

// ---- Values ----------------------------------------------------------------

bool WindroseValues::HasValue() const { return value >= -0.01; }

int DirectionFromValue(double value) {
    // Truncation towards zero: -0.5 is still 0 degrees. Anything outside
    // never reaches the integer conversion.
    if (!(value > -1.0 && value < 360.0)) return WindroseValues::kNoDirection;
    return static_cast<int>(value);
}

WindroseValues WindroseUpdate(const WindRoseSettings& settings, const DiagramPeriod& period,
                              const SensorSet& sensors) {
    WindroseValues values;
    if (!period.momentary && period.periodType != 1 && period.periodType != 3) return values;
    const double direction = CurrentValueOf(sensors, settings.sensor1);
    const double second = CurrentValueOf(sensors, settings.sensor2);
    const double value = CurrentValueOf(sensors, settings.sensor3);
    values.secondDirection = DirectionFromValue(second);
    if (settings.fadeOutSensor1 && value == 0.0) return values;
    values.direction = DirectionFromValue(direction);
    // No number is no value, rather than a "nan" on the dial.
    values.value = std::isfinite(value) ? value : WindroseValues::kNoValue;
    if (const CSensoren* sensor = sensors.FindSensor(settings.sensor3))
        values.unit = sensor->m_unit;
    return values;
}

std::string WindroseCaption(const WindRoseSettings& settings, const SensorSet& sensors) {
    // A sensor missing from the station is named by its label.
    auto name = [&](const std::string& label) {
        const CSensoren* sensor = label.empty() ? nullptr : sensors.FindSensor(label);
        return sensor != nullptr ? sensor->m_name : label;
    };
    std::string caption = "Windrose   (\"" + name(settings.sensor1);
    for (const std::string* label : {&settings.sensor2, &settings.sensor3})
        if (!label->empty()) caption += "\\" + name(*label);
    return caption + "\")";
}

std::vector<WindroseSensorChoice> WindroseSensorChoices(const SensorSet& sensors,
                                                        const WindRoseSettings& chosen) {
    std::vector<WindroseSensorChoice> choices{{"", ""}};
    for (const auto& sensor : sensors.Sensors())
        if (!sensor->m_name.empty())
            choices.push_back({sensor->m_identifier, sensor->m_identifier + "  " + sensor->m_name});
    for (const std::string* label : {&chosen.sensor1, &chosen.sensor2, &chosen.sensor3})
        if (!label->empty() && WindroseChoiceIndex(choices, *label) == 0)
            choices.push_back({*label, *label});
    return choices;
}

int WindroseChoiceIndex(const std::vector<WindroseSensorChoice>& choices,
                        const std::string& label) {
    for (std::size_t i = 1; i < choices.size(); ++i)
        if (choices[i].label == label) return static_cast<int>(i);
    return 0;
}

// ---- Painter ---------------------------------------------------------------

Windrose::Windrose(Canvas& canvas, const CanvasRect& client, WindDirectionTracker& tracker,
                   const WindroseColours& colours)
    : m_canvas(canvas), m_client(client), m_tracker(tracker), m_colours(colours) {
    m_centreX = client.left + client.Width() / 2.0;
    m_centreY = client.top + client.Height() / 2.0;
    // Isotropic: the shorter half of the client rectangle holds 1000 units.
    m_scale = std::max(std::min(client.Width(), client.Height()), 0) / 2.0 / kLogicalExtent;
}

CanvasPoint Windrose::Turned(double x, double y, double degrees) const {
    const double a = degrees * kRadiansPerDegree;
    const double turnedX = x * std::cos(a) + y * std::sin(a);
    const double turnedY = y * std::cos(a) - x * std::sin(a);
    return {static_cast<int>(std::lround(m_centreX + turnedX * m_scale)),
            static_cast<int>(std::lround(m_centreY - turnedY * m_scale))};
}

CanvasRect Windrose::LogicalRect(double left, double top, double right, double bottom) const {
    const CanvasPoint topLeft = Turned(left, top, 0);
    const CanvasPoint bottomRight = Turned(right, bottom, 0);
    return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

int Windrose::PenWidth(int logicalWidth) const {
    return std::max(1, static_cast<int>(std::lround(logicalWidth * m_scale)));
}

void Windrose::SelectFont(const char* face, int height) {
    // The canvas takes points; a probe tells how tall a point is on this device.
    m_canvas.SetFont(face, kProbePoints, true);
    const int probeHeight = m_canvas.TextSize("N").cy;
    const double pixels = height * m_scale;
    const double points = probeHeight > 0 ? kProbePoints * pixels / probeHeight : pixels;
    m_canvas.SetFont(face, std::max(points, 1.0), true);
}

void Windrose::DrawTextAtRim(const std::string& text, int radius, double degrees) {
    const TextExtent extent = m_canvas.TextSize(text);
    const double halfHeight = m_scale > 0 ? extent.cy / m_scale / 2 : 0;
    const CanvasPoint centre = Turned(0, radius + halfHeight, degrees);
    const CanvasRect box{centre.x - extent.cx / 2, centre.y - extent.cy / 2,
                         centre.x - extent.cx / 2 + extent.cx,
                         centre.y - extent.cy / 2 + extent.cy};
    m_canvas.DrawText(text, box, TextAlign::kCentre);
}

void Windrose::DrawTextInBox(const std::string& text, int width, int top, int bottom) {
    m_canvas.DrawText(text, LogicalRect(-width / 2.0, top, width / 2.0, bottom),
                      TextAlign::kCentre);
}

void Windrose::Paint(const WindroseValues& values) {
    m_canvas.Save();
    m_canvas.FillRect(m_client, m_colours.background);
    if (m_scale <= 0) {
        m_canvas.Restore();
        return;
    }
    if (values.HasDirection()) m_tracker.Track(values.direction);
    if (values.HasSecondDirection()) DrawSecondDirection(values.secondDirection);
    DrawCompassLabels();
    if (values.HasDirection()) {
        if (m_tracker.Minimum() != m_tracker.Maximum()) DrawRecentRange();
        DrawExtremeNeedle(m_tracker.Minimum());
        DrawExtremeNeedle(m_tracker.Maximum());
        DrawDirection(values.direction);
    }
    if (values.HasValue()) DrawValue(values);
    DrawTicks();
    m_canvas.Restore();
}

void Windrose::DrawSecondDirection(int degrees) {
    const CanvasPoint corners[] = {Turned(0, kRim, degrees), Turned(-60, 950, degrees),
                                   Turned(60, 950, degrees)};
    m_canvas.SetPen(kGrey, 1);
    m_canvas.SetBrush(kGrey);
    m_canvas.Polygon(corners);
}

void Windrose::DrawCompassLabels() {
    SelectFont(kTimes, 150);
    m_canvas.SetTextColour(m_colours.foreground);
    for (int i = 0; i < 8; ++i) DrawTextAtRim(kCompassLabels[i], kLabelRadius, i * 45.0);
}

void Windrose::DrawRecentRange() {
    // Clockwise from the minimum to the maximum: the tracker keeps minimum <= maximum.
    const int from = m_tracker.Minimum();
    const int to = std::max(m_tracker.Maximum(), from);
    std::vector<CanvasPoint> sector;
    sector.reserve(static_cast<std::size_t>(to - from) + 2);
    sector.push_back(Turned(0, 0, 0));
    for (int degrees = from; degrees <= to; ++degrees)
        sector.push_back(Turned(0, kSectorRadius, degrees));
    m_canvas.SetPen(m_colours.foreground, PenWidth(2));
    m_canvas.SetBrush(m_colours.sector);
    m_canvas.Polygon(sector);
}

void Windrose::DrawExtremeNeedle(int degrees) {
    m_canvas.SetPen(kRed, PenWidth(4));
    const CanvasPoint centre = Turned(0, 0, 0);
    const CanvasPoint end = Turned(0, kRim, degrees);
    m_canvas.Line(centre.x, centre.y, end.x, end.y);
    SelectFont(kTimes, 80);
    m_canvas.SetTextColour(kRed);
    DrawTextAtRim(Degrees(CompassDegrees(degrees)), kLabelRadius, degrees);
}

void Windrose::DrawDirection(int degrees) {
    SelectFont(kTimes, 270);
    m_canvas.SetTextColour(m_colours.foreground);
    DrawTextInBox(Degrees(degrees), 780, 470, 180);

    static constexpr int kNeedle[][2] = {{0, 750},   {8, 750},  {8, 100},   {55, 100},
                                         {8, -100},  {8, -750}, {-8, -750}, {-8, -100},
                                         {-55, 100}, {-8, 100}, {-8, 750}};
    CanvasPoint needle[std::size(kNeedle)];
    for (std::size_t i = 0; i < std::size(kNeedle); ++i)
        needle[i] = Turned(kNeedle[i][0], kNeedle[i][1], degrees);
    m_canvas.SetPen(m_colours.foreground, PenWidth(5));
    m_canvas.SetBrush(m_colours.foreground);
    m_canvas.Polygon(needle);
    m_canvas.Ellipse(LogicalRect(-30, 30, 30, -30));
}

void Windrose::DrawValue(const WindroseValues& values) {
    SelectFont(kArial, 150);
    m_canvas.SetTextColour(m_colours.foreground);
    DrawTextInBox(TextNumbers::FormatFixed(values.value, 2) + values.unit, 800, -150, -500);
}

void Windrose::DrawTicks() {
    // A dot with a 3-unit outline in its own colour is a filled dot 3 units
    // wider; filling alone costs a fraction of stroking 72 outlines.
    constexpr int kOutline = 3;
    m_canvas.SetPen(m_colours.foreground, PenWidth(kOutline), PenStyle::kNone);
    m_canvas.SetBrush(m_colours.foreground);
    for (int degrees = 0; degrees < 360; degrees += 5) {
        const int diameter = degrees % 90 == 0 ? 60 : degrees % 45 == 0 ? 30 : 15;
        const CanvasPoint centre = Turned(0, kRim, degrees);
        const int radius =
            std::max(1, static_cast<int>(std::lround((diameter + kOutline) * m_scale / 2)));
        m_canvas.Ellipse(
            {centre.x - radius, centre.y - radius, centre.x + radius, centre.y + radius});
    }
}
