#pragma once

// CDiagramm ("diagram") paints a station's time-series diagram.

#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "display/Canvas.h"
#include "model/CDaten.h"

// Station settings the painter reads ([ZwischenSchritteY], [ZwischenSchritteX]
// and [Display] of the station file); the view reads them, the painter is short-lived.
struct DiagramSettings {
    int minorStepsY = 1;  // [ZwischenSchritteY] Anzahl
    int minorStepsX = 1;  // [ZwischenSchritteX] Anzahl
    int lineWidth = 1;    // [Display] Linienstaerke
};

// The painter of one paint: up to two value axes, a legend entry per sensor,
// one shared time axis and one curve per sensor, then the collected labels on
// top. Sizes derive from the target rectangle and the text extents of a
// 9-point font, so the output scales with the device. Owns no data.
class CDiagramm {
public:
    // The curve modes of DrawCurve.
    static constexpr int kDots = 1;

    CDiagramm(Canvas& canvas, const CanvasRect& clientRect, std::uint32_t axisColour, bool fullSize,
              const DiagramSettings& settings = {});
    virtual ~CDiagramm();
    CDiagramm(const CDiagramm&) = delete;
    CDiagramm& operator=(const CDiagramm&) = delete;

    // One value axis with its grid; `name` is not used. Labels in `colour`.
    void DrawValueAxis(float max, float min, const std::string& unit, const std::string& name,
                       std::uint32_t colour, bool left);
    // Position 1 left, 2 right; any other adds an empty label.
    void AddLegend(const std::string& text, std::uint32_t colour, int position);
    // Draws the time axis with the first curve that has points, then the curve
    // (unless `draw` is false). Returns the newest point at or left of cursorX.
    std::optional<CDaten> DrawCurve(std::span<const CDaten> points, float range, float min,
                                    std::uint32_t colour, int mode, int cursorX, bool draw,
                                    bool showDates);
    // Zoom: appends the points whose plotted position lies inside `rect` to
    // `out`; `min` and `max` become their smallest and largest value (both 0
    // when none qualifies).
    // The time axis is computed from the points as DrawCurve would.
    void CollectPointsInRect(std::span<const CDaten> points, float& min, float& max, float range,
                             const CanvasRect& rect, std::vector<CDaten>& out) const;
    // Draws every collected label, in the order collected.
    void DrawLabels();

    const CanvasRect& Plot() const { return m_plot; }
    const CanvasRect& Inset() const { return m_inset; }

    // Decimal step for the range a..b: 1, 2, 5 or 10 times a power of ten.
    static double NiceStep(double a, double b);
    // Step for short time ranges in seconds.
    static double NiceStep60(double a, double b);
    struct TimeSteps {
        double step = 0;        // seconds
        std::time_t start = 0;  // possibly rounded down
        std::uint32_t total = 0;
    };
    static TimeSteps TimeStep(std::time_t start, std::time_t end);

private:
    struct Label {
        CanvasRect rect;
        std::string text;
        std::uint32_t colour = 0;
    };

    void DrawTimeAxis(std::time_t start, std::time_t end, bool showDates);
    void DrawDottedLine(int x1, int y1, int x2, int y2, int on, int off);

    Canvas& m_canvas;
    CanvasRect m_clientRect;
    CanvasRect m_plot;
    CanvasRect m_inset;
    std::uint32_t m_totalSeconds = 0;
    bool m_fullSize = false;
    bool m_timeAxisDone = false;
    std::time_t m_axisStart = 0;
    std::vector<Label> m_labels;
    std::uint32_t m_axisColour = 0;
    DiagramSettings m_settings;
    // Kept between calls: grid lines and curves are drawn on every mouse move.
    std::vector<CanvasPoint> m_dots;
    std::vector<CanvasPoint> m_segment;
};
