#pragma once

// DiagramScales are the value ranges and axis places of a view's curves.

#include <cstddef>
#include <span>

class SensorWindowModel;

struct AxisRange {
    float max = 0.0f;
    float min = 0.0f;

    bool operator==(const AxisRange&) const = default;
};

// The vertical range of one window's curve. With unity scale every window of
// the same unit shares the largest AxisMax and the smallest AxisMin among them.
AxisRange DisplayRange(std::span<const SensorWindowModel* const> windows,
                       const SensorWindowModel& window, bool unityScale);
// The same over ZoomMax/ZoomMin. `windows` are those drawn zoomed: a window
// without points keeps an old zoom range that must not widen the others.
AxisRange ZoomRange(std::span<const SensorWindowModel* const> windows,
                    const SensorWindowModel& window, bool unityScale);
// The span a curve is scaled by; a flat range is drawn as 10 units.
float CurveSpan(const AxisRange& range);

// Where the n-th drawn window (from 1, in window order) gets its value axis:
// the first on the left, the second on the right, the others none. Its legend
// position is the same number, 3 for all that follow.
enum class AxisSide { kLeft, kRight, kNone };
AxisSide AxisSideFor(std::size_t position);
int LegendPositionFor(std::size_t position);
