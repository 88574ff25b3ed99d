#pragma once

// SensorWindowModel is a single-value window without its widgets.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/LayoutStore.h"
#include "calc/SensorStatistics.h"
#include "model/CDaten.h"

class CAktuell;
class CListGraph;
class CSensoren;
class DiagramPeriod;

// Where a window takes its numbers from on a refresh.
struct SensorWindowSource {
    // Null: the identifier is missing from the source (a reload after the
    // sensors changed); the rows then read "-------" and the axis ignores data.
    const SensorStatistics* statistics = nullptr;
    std::optional<float> currentValue;  // converted current value, if any
    bool showsCurrentValue = false;     // period ends at present or momentary mode
    bool momentary = false;
    int dataMode = 0;  // CListGraph::DataMode
    // The view's "Show single values" is on: the value field keeps the cursor's value.
    bool cursorTracking = false;
};

// The source of a window in the view's present mode. Momentary: `current`,
// the document's current-value record of the identifier (without statistics
// while its history is empty). File mode: `series`,
// the view's series of the identifier, with the document's current value when
// the document connects to a station, else the series' last value. Either
// pointer is null when the identifier is missing there.
SensorWindowSource SourceFor(const DiagramPeriod& period, const CAktuell* current,
                             const CListGraph* series, bool connectingDocument,
                             bool cursorTracking);

// The statistics rows, in display order.
enum class SensorRow { kMaximum, kMinimum, kAverage, kTendency, kSum, kActivity };

// Everything a single-value window shows and everything the diagram reads from
// it: the sensor's copies, curve colour and kind, the sliders, the vertical
// ranges and the seven texts. The sensor is not owned and may be null.
class SensorWindowModel {
public:
    static constexpr int kYScaleMin = 1, kYScaleMax = 500, kYScaleDefault = 50;
    static constexpr int kOffsetMin = -100, kOffsetMax = 100, kOffsetDefault = 0;
    // The opacity menu's range; less would leave the window all but invisible.
    static constexpr int kOpacityMin = 30, kOpacityMax = 100;
    static constexpr const char* kNoValue = "-------";

    SensorWindowModel(int key, const CSensoren* sensor);

    // Takes a (new) sensor definition: label, name, unit, colour and chart
    // kind are copied again. The view refreshes afterwards with UpdateDisplay.
    void AttachSensor(const CSensoren* sensor);
    const CSensoren* Sensor() const { return m_sensor; }

    int Key() const { return m_key; }
    const std::string& Label() const { return m_label; }
    const std::string& Name() const { return m_name; }  // also the caption
    const std::string& Unit() const { return m_unit; }
    std::uint32_t CurveColour() const { return m_curveColour; }
    void SetCurveColour(std::uint32_t colour) { m_curveColour = colour; }
    int ChartKind() const { return m_chartKind; }

    // Slider moves; both clamp to the slider's range and recompute the axis.
    int YScale() const { return m_yScale; }
    void SetYScale(int scale);
    int GraphOffset() const { return m_graphOffset; }
    void SetGraphOffset(int offset);

    float AxisMax() const { return m_axisMax; }
    float AxisMin() const { return m_axisMin; }
    float ZoomMax() const { return m_zoomMax; }
    float ZoomMin() const { return m_zoomMin; }
    void SetZoomRange(float min, float max);

    int Opacity() const { return m_opacity; }
    void SetOpacity(int percent);
    // The window's alpha for its opacity.
    int OpacityAlpha() const { return m_opacity * 255 / 100; }

    // 0 full, 1 value and statistics, 2 value only.
    int CollapseState() const { return m_collapseState; }
    // The "_" button: full, statistics, value only, full.
    void CycleCollapseState() { m_collapseState = (m_collapseState + 1) % 3; }

    // The rows the sensor's display flags ask for; none without a sensor.
    std::vector<SensorRow> VisibleRows() const;
    static const char* RowLabel(SensorRow row);  // "max:" ...
    const std::string& RowText(SensorRow row) const;
    const std::string& ValueText() const { return m_valueText; }
    // The value field shows a cursor value, in the small font.
    bool CursorShown() const { return m_cursorShown; }

    // Recomputes all texts and the axis range.
    void UpdateDisplay(const SensorWindowSource& source);
    // The diagram point under the cursor instead of the current value; none
    // when no point lies at or left of the cursor.
    void ShowCursorValue(const std::optional<CDaten>& point, int dataMode);

    // Applies the view's stored windows "Sensor1".. up to `identifierCount`
    // whose "KE" names this window's identifier, in order, until one holds a
    // placement, which is returned. Y-scale and offset only in file mode.
    std::optional<std::string> ApplyStoredSettings(
        const std::vector<LayoutStore::SensorWindowLayout>& entries, std::size_t identifierCount,
        bool fileMode);
    // This window's settings to store; the caller adds the placement.
    LayoutStore::SensorWindowLayout StoredSettings() const;

private:
    int Decimals() const;
    std::string Number(float value) const;  // "%.*f %s"
    std::string ExtremeText(float value, std::time_t time, std::time_t from, std::time_t to,
                            bool intervals) const;
    void UpdateAxisRange();

    const CSensoren* m_sensor = nullptr;
    int m_key = 0;
    std::string m_label;
    std::string m_name;
    std::string m_unit;
    std::uint32_t m_curveColour = 0;
    int m_chartKind = 0;
    int m_yScale = kYScaleDefault;
    int m_graphOffset = kOffsetDefault;
    float m_axisMax = 100.0f;
    float m_axisMin = 0.0f;
    float m_zoomMax = 10.0f;
    float m_zoomMin = 0.0f;
    int m_opacity = 100;
    int m_collapseState = 0;
    bool m_cursorShown = false;

    // The extremes of the latest statistics, kept for slider moves.
    struct Extremes {
        float max = 0.0f;
        float min = 0.0f;
    };
    std::optional<Extremes> m_extremes;

    std::string m_valueText = kNoValue;
    std::string m_maximumText;
    std::string m_minimumText;
    std::string m_averageText;
    std::string m_tendencyText;
    std::string m_sumText;
    std::string m_activityText;
};
