#include "display/DiagramScales.h"

#include <algorithm>

#include "display/SensorWindowModel.h"

namespace {

template <typename Max, typename Min>
AxisRange SharedRange(std::span<const SensorWindowModel* const> windows,
                      const SensorWindowModel& window, bool unityScale, Max max, Min min) {
    AxisRange range{max(window), min(window)};
    if (!unityScale) return range;
    for (const SensorWindowModel* other : windows) {
        if (other == nullptr || other->Unit() != window.Unit()) continue;
        range.max = std::max(range.max, max(*other));
        range.min = std::min(range.min, min(*other));
    }
    return range;
}

}  // namespace

AxisRange DisplayRange(std::span<const SensorWindowModel* const> windows,
                       const SensorWindowModel& window, bool unityScale) {
    return SharedRange(
        windows, window, unityScale, [](const SensorWindowModel& w) { return w.AxisMax(); },
        [](const SensorWindowModel& w) { return w.AxisMin(); });
}

AxisRange ZoomRange(std::span<const SensorWindowModel* const> windows,
                    const SensorWindowModel& window, bool unityScale) {
    return SharedRange(
        windows, window, unityScale, [](const SensorWindowModel& w) { return w.ZoomMax(); },
        [](const SensorWindowModel& w) { return w.ZoomMin(); });
}

float CurveSpan(const AxisRange& range) {
    const float span = range.max - range.min;
    return span == 0.0f ? 10.0f : span;
}

AxisSide AxisSideFor(std::size_t position) {
    if (position == 1) return AxisSide::kLeft;
    if (position == 2) return AxisSide::kRight;
    return AxisSide::kNone;
}

int LegendPositionFor(std::size_t position) {
    return position == 1 || position == 2 ? static_cast<int>(position) : 3;
}
