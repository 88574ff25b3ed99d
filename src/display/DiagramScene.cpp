#include "display/DiagramScene.h"

#include <algorithm>

#include "display/DiagramScales.h"
#include "display/SensorWindowModel.h"

namespace {

constexpr std::time_t kEmptyDiagramSeconds = 86400;
constexpr float kEmptyAxisMax = 100.0f;

}  // namespace

void DiagramScene::PaintEmpty(Canvas& canvas, const CanvasRect& clientRect,
                              const DiagramSceneOptions& options) {
    CDiagramm diagram(canvas, clientRect, options.gridColour, options.fullSize, options.settings);
    diagram.DrawValueAxis(kEmptyAxisMax, 0.0f, "", "", options.gridColour, true);
    diagram.DrawValueAxis(kEmptyAxisMax, 0.0f, "", "", options.gridColour, false);
    diagram.AddLegend("", options.gridColour, 1);
    diagram.AddLegend("", options.gridColour, 2);
    const CDaten day[2] = {CDaten(options.now - kEmptyDiagramSeconds, 50.0f),
                           CDaten(options.now, 50.0f)};
    diagram.DrawCurve(day, kEmptyAxisMax, 0.0f, options.gridColour, 0, options.cursorX, false,
                      options.showDates);
    diagram.DrawLabels();
}

std::vector<std::optional<CDaten>> DiagramScene::Paint(Canvas& canvas, const CanvasRect& clientRect,
                                                       const DiagramSceneOptions& options,
                                                       const std::vector<DiagramCurve>& curves) {
    std::vector<std::optional<CDaten>> cursorPoints(curves.size());
    if (curves.empty()) {
        PaintEmpty(canvas, clientRect, options);
        return cursorPoints;
    }
    CDiagramm diagram(canvas, clientRect, options.gridColour, options.fullSize, options.settings);

    std::vector<const SensorWindowModel*> all;
    for (const DiagramCurve& curve : curves) all.push_back(curve.window);

    // Zoomed, each series keeps the points inside the rectangle, measured on
    // the normal scales; a series without points takes no axis.
    std::vector<std::size_t> shown;
    std::vector<const SensorWindowModel*> shownWindows;
    for (std::size_t i = 0; i < curves.size(); ++i) {
        const DiagramCurve& curve = curves[i];
        if (options.zoomed) {
            if (curve.zoomPoints == nullptr || curve.points.empty()) continue;
            curve.zoomPoints->clear();
            const AxisRange normal = DisplayRange(all, *curve.window, options.unityScale);
            float min = 0.0f, max = 0.0f;
            diagram.CollectPointsInRect(curve.points, min, max, CurveSpan(normal), options.zoomRect,
                                        *curve.zoomPoints);
            curve.window->SetZoomRange(min, max);
        }
        shown.push_back(i);
        shownWindows.push_back(curve.window);
    }
    auto rangeOf = [&](const SensorWindowModel& window) {
        return options.zoomed ? ZoomRange(shownWindows, window, options.unityScale)
                              : DisplayRange(shownWindows, window, options.unityScale);
    };

    std::size_t position = 1;
    for (std::size_t i : shown) {
        const SensorWindowModel& window = *curves[i].window;
        const AxisRange range = rangeOf(window);
        const AxisSide side = AxisSideFor(position);
        if (side != AxisSide::kNone)
            diagram.DrawValueAxis(range.max, range.min, window.Unit(), window.Name(),
                                  window.CurveColour(), side == AxisSide::kLeft);
        diagram.AddLegend(window.Name(), window.CurveColour(), LegendPositionFor(position));
        ++position;
    }

    for (auto i = shown.rbegin(); i != shown.rend(); ++i) {
        const DiagramCurve& curve = curves[*i];
        const SensorWindowModel& window = *curve.window;
        if (window.Sensor() == nullptr) continue;
        const AxisRange range = rangeOf(window);
        const std::span<const CDaten> points =
            options.zoomed ? std::span<const CDaten>(*curve.zoomPoints) : curve.points;
        cursorPoints[*i] =
            diagram.DrawCurve(points, CurveSpan(range), range.min, window.CurveColour(),
                              window.ChartKind(), options.cursorX, true, options.showDates);
    }
    diagram.DrawLabels();
    return cursorPoints;
}
