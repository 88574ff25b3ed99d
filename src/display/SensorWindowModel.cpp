#include "display/SensorWindowModel.h"

#include <algorithm>

#include "display/DiagramPeriod.h"
#include "model/CSensoren.h"
#include "model/CSumHour.h"
#include "model/MissingValue.h"
#include "model/TextNumbers.h"
#include "platform/Clock.h"
#include "storage/CAktuell.h"
#include "storage/CListGraph.h"

namespace {

constexpr int kMaxDecimals = 10;
constexpr const char* kTimeFormat = "%H:%M:%S";
constexpr const char* kShortTimeFormat = "%H:%M";
constexpr const char* kDateFormat = "%d.%m.%y";

// A whole number as the profile keeps it, clamped to [low, high]; text that
// holds no number at all gives `fallback`.
int StoredWholeNumber(const std::string& text, int low, int high, int fallback) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return fallback;
    std::size_t digit = first;
    if (text[digit] == '+' || text[digit] == '-') ++digit;
    if (digit >= text.size() || text[digit] < '0' || text[digit] > '9') return fallback;
    return std::clamp(TextNumbers::Atoi(text), low, high);
}

std::string ActivityText(std::int32_t seconds) {
    if (seconds < 60) return std::to_string(seconds) + " sec.  ";
    if (seconds < 3600)
        return std::to_string(seconds / 60) + " min. " + std::to_string(seconds % 60) + " sec.  ";
    return std::to_string(seconds / 3600) + "h " + std::to_string(seconds % 3600 / 60) + "m " +
           std::to_string(seconds % 60) + "s ";
}

}  // namespace

SensorWindowSource SourceFor(const DiagramPeriod& period, const CAktuell* current,
                             const CListGraph* series, bool connectingDocument,
                             bool cursorTracking) {
    SensorWindowSource source;
    source.showsCurrentValue = period.EndsAtPresent();
    source.momentary = period.momentary;
    source.dataMode = period.dataMode;
    source.cursorTracking = cursorTracking;
    if (period.momentary) {
        if (current != nullptr) {
            // Logger records leave the history empty: its statistics are no data yet.
            if (!current->m_history.empty()) source.statistics = &current->m_statistics;
            source.currentValue = current->m_value;
        }
        return source;
    }
    if (series != nullptr) source.statistics = &series->Statistics();
    if (connectingDocument) {
        if (current != nullptr) source.currentValue = current->m_value;
    } else if (series != nullptr && !series->Points().empty()) {
        source.currentValue = series->LastValue();
    }
    return source;
}

SensorWindowModel::SensorWindowModel(int key, const CSensoren* sensor) : m_key(key) {
    AttachSensor(sensor);
}

void SensorWindowModel::AttachSensor(const CSensoren* sensor) {
    m_sensor = sensor;
    if (sensor == nullptr) return;
    m_label = sensor->m_identifier;
    m_name = sensor->m_name;
    m_unit = sensor->m_unit;
    m_curveColour = sensor->m_colour;
    m_chartKind = sensor->m_diagramType;
}

void SensorWindowModel::SetYScale(int scale) {
    m_yScale = std::clamp(scale, kYScaleMin, kYScaleMax);
    UpdateAxisRange();
}

void SensorWindowModel::SetGraphOffset(int offset) {
    m_graphOffset = std::clamp(offset, kOffsetMin, kOffsetMax);
    UpdateAxisRange();
}

void SensorWindowModel::SetZoomRange(float min, float max) {
    m_zoomMin = min;
    m_zoomMax = max;
}

void SensorWindowModel::SetOpacity(int percent) {
    m_opacity = std::clamp(percent, kOpacityMin, kOpacityMax);
}

std::vector<SensorRow> SensorWindowModel::VisibleRows() const {
    std::vector<SensorRow> rows;
    if (m_sensor == nullptr) return rows;
    if (m_sensor->m_showMaximum) rows.push_back(SensorRow::kMaximum);
    if (m_sensor->m_showMinimum) rows.push_back(SensorRow::kMinimum);
    if (m_sensor->m_showMean) rows.push_back(SensorRow::kAverage);
    if (m_sensor->m_showTendency) rows.push_back(SensorRow::kTendency);
    if (m_sensor->m_showSum) rows.push_back(SensorRow::kSum);
    if (m_sensor->m_showActivity) rows.push_back(SensorRow::kActivity);
    return rows;
}

const char* SensorWindowModel::RowLabel(SensorRow row) {
    switch (row) {
        case SensorRow::kMaximum:
            return "max:";
        case SensorRow::kMinimum:
            return "min:";
        case SensorRow::kAverage:
            return "Average:";
        case SensorRow::kTendency:
            return "Tendency:";
        case SensorRow::kSum:
            return "Sum:";
        case SensorRow::kActivity:
            return "Activity:";
    }
    return "";
}

const std::string& SensorWindowModel::RowText(SensorRow row) const {
    switch (row) {
        case SensorRow::kMaximum:
            return m_maximumText;
        case SensorRow::kMinimum:
            return m_minimumText;
        case SensorRow::kAverage:
            return m_averageText;
        case SensorRow::kTendency:
            return m_tendencyText;
        case SensorRow::kSum:
            return m_sumText;
        case SensorRow::kActivity:
            break;
    }
    return m_activityText;
}

int SensorWindowModel::Decimals() const {
    return m_sensor != nullptr ? std::clamp(m_sensor->m_decimals, 0, kMaxDecimals) : 0;
}

std::string SensorWindowModel::Number(float value) const {
    return TextNumbers::FormatFixed(value, Decimals()) + " " + m_unit;
}

std::string SensorWindowModel::ExtremeText(float value, std::time_t time, std::time_t from,
                                           std::time_t to, bool intervals) const {
    if (intervals)
        return Number(value) + "\n" + FormatLocalTime(from, kShortTimeFormat) + " - " +
               FormatLocalTime(to, kShortTimeFormat) + "  " + FormatLocalTime(to, kDateFormat);
    return Number(value) + "\n" + FormatLocalTime(time, kTimeFormat) + "    " +
           FormatLocalTime(time, kDateFormat);
}

void SensorWindowModel::UpdateDisplay(const SensorWindowSource& source) {
    if (!source.cursorTracking) {
        m_cursorShown = false;
        std::optional<float> value = source.currentValue;
        if (m_sensor != nullptr && m_sensor->m_hourlySum && m_sensor->m_sumHour)
            value = m_sensor->m_sumHour->Total;
        // The missing marker (a sensor that only logger records have reached so
        // far, a gap, a value out of limits) is no reading to show.
        if (m_sensor != nullptr && source.showsCurrentValue && value && IsValidValue(*value))
            m_valueText = Number(*value);
        else
            m_valueText = kNoValue;
    }

    const SensorStatistics* statistics = source.statistics;
    if (statistics == nullptr) {
        for (std::string* text : {&m_maximumText, &m_minimumText, &m_averageText, &m_tendencyText,
                                  &m_sumText, &m_activityText})
            *text = kNoValue;
        m_extremes.reset();
        UpdateAxisRange();
        return;
    }

    const bool intervals = !source.momentary && source.dataMode == CListGraph::kMean;
    m_maximumText = ExtremeText(statistics->Max, statistics->MaxTime, statistics->MaxFrom,
                                statistics->MaxTo, intervals);
    m_minimumText = ExtremeText(statistics->Min, statistics->MinTime, statistics->MinFrom,
                                statistics->MinTo, intervals);
    m_averageText = Number(statistics->Average) + "  ";
    m_tendencyText = Number(statistics->Tendency);
    if (statistics->WhFlag) {
        const float sum = statistics->Sum;
        if (sum < 1000.0f)
            m_sumText = TextNumbers::FormatFixed(sum, Decimals()) + " Wh  ";
        else if (sum < 1000000.0f)
            m_sumText = TextNumbers::FormatFixed(sum / 1000.0f, Decimals()) + " kWh  ";
        else
            m_sumText = TextNumbers::FormatFixed(sum / 1000000.0f, Decimals()) + " MWh  ";
    } else {
        m_sumText = Number(statistics->Sum) + "  ";
    }
    m_activityText = ActivityText(statistics->ActivitySeconds);

    m_extremes = Extremes{statistics->Max, statistics->Min};
    UpdateAxisRange();
}

void SensorWindowModel::ShowCursorValue(const std::optional<CDaten>& point, int dataMode) {
    m_cursorShown = true;
    if (m_sensor == nullptr || !point) {
        m_valueText = kNoValue;
        return;
    }
    std::string timeText;
    std::time_t dateTime = point->m_time;
    if (dataMode == CListGraph::kMean) {
        timeText = FormatLocalTime(point->m_start, kShortTimeFormat) + " - " +
                   FormatLocalTime(point->m_end, kShortTimeFormat);
        dateTime = point->m_start;
    } else {
        timeText = FormatLocalTime(point->m_time, kTimeFormat);
    }
    m_valueText =
        Number(point->m_value) + " \n " + timeText + "   " + FormatLocalTime(dateTime, kDateFormat);
}

void SensorWindowModel::UpdateAxisRange() {
    const bool useMax = m_sensor != nullptr && m_sensor->m_showMaxScale;
    const bool useMin = m_sensor != nullptr && m_sensor->m_showMinScale;
    const float maxScale = m_sensor != nullptr ? static_cast<float>(m_sensor->m_maxScale) : 0.0f;
    const float minScale = m_sensor != nullptr ? static_cast<float>(m_sensor->m_minScale) : 0.0f;

    if (useMax && useMin && m_sensor->m_scalingRange == 1) {
        m_axisMax = maxScale;
        m_axisMin = minScale;
    } else {
        if (m_extremes) {
            float margin = (m_extremes->max - m_extremes->min) / 100.0f * m_yScale;
            const float shift = margin / 100.0f * m_graphOffset;
            if (margin == 0.0f) margin = 1.0f;
            m_axisMax = m_extremes->max + margin - shift;
            m_axisMin = m_extremes->min - margin - shift;
        } else {
            // No data to scale by: the range a new window starts with.
            m_axisMax = 100.0f;
            m_axisMin = 0.0f;
        }
        if (useMax && m_axisMax > maxScale) m_axisMax = maxScale;
        if (useMin && m_axisMin < minScale) m_axisMin = minScale;
    }
    if (m_axisMin > m_axisMax) m_axisMax = m_axisMin;
}

std::optional<std::string> SensorWindowModel::ApplyStoredSettings(
    const std::vector<LayoutStore::SensorWindowLayout>& entries, std::size_t identifierCount,
    bool fileMode) {
    const std::size_t count = std::min(identifierCount, entries.size());
    for (std::size_t j = 0; j < count; ++j) {
        const LayoutStore::SensorWindowLayout& entry = entries[j];
        if (entry.ke != m_label) continue;
        if (entry.colour)
            m_curveColour = static_cast<std::uint32_t>(*entry.colour) & 0xFFFFFFu;
        else if (m_sensor != nullptr)
            m_curveColour = m_sensor->m_colour;
        if (fileMode) {
            m_yScale = StoredWholeNumber(entry.sy, kYScaleMin, kYScaleMax, kYScaleDefault);
            m_graphOffset = StoredWholeNumber(entry.sv, kOffsetMin, kOffsetMax, kOffsetDefault);
        }
        SetOpacity(entry.opacity);
        if (entry.placement) {
            UpdateAxisRange();
            return entry.placement;
        }
    }
    UpdateAxisRange();
    return std::nullopt;
}

LayoutStore::SensorWindowLayout SensorWindowModel::StoredSettings() const {
    LayoutStore::SensorWindowLayout layout;
    layout.ke = m_label;
    layout.colour = static_cast<int>(m_curveColour);
    layout.sy = std::to_string(m_yScale);
    layout.sv = std::to_string(m_graphOffset);
    layout.opacity = m_opacity;
    return layout;
}
