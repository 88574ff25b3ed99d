#pragma once

// DiagramScene lays out a diagram view's sensors on the painter.

#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <vector>

#include "display/CDiagramm.h"
#include "model/CDaten.h"

class SensorWindowModel;

// One displayed sensor: its window (colour, kind, ranges) and its points.
struct DiagramCurve {
    SensorWindowModel* window = nullptr;
    // The series' displayed points, or the momentary values.
    std::span<const CDaten> points;
    // The series' zoom points; null in momentary mode, which does not zoom.
    std::vector<CDaten>* zoomPoints = nullptr;
};

struct DiagramSceneOptions {
    std::uint32_t gridColour = 0;
    bool fullSize = false;
    bool unityScale = true;
    bool zoomed = false;
    CanvasRect zoomRect;
    int cursorX = 0;
    bool showDates = true;
    DiagramSettings settings;
    // The empty diagram shows the 24 hours up to now.
    std::time_t now = 0;
};

// Paints what a view shows: the empty diagram without sensors, the normal
// diagram, or the zoomed one. The first curve's sensor gets the left axis, the
// second the right one; later ones only a curve.
class DiagramScene {
public:
    // The point under the cursor for each curve (the newest at or left of the
    // cursor), in the curves' order.
    static std::vector<std::optional<CDaten>> Paint(Canvas& canvas, const CanvasRect& clientRect,
                                                    const DiagramSceneOptions& options,
                                                    const std::vector<DiagramCurve>& curves);

private:
    static void PaintEmpty(Canvas& canvas, const CanvasRect& clientRect,
                           const DiagramSceneOptions& options);
};
