#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "UtcTime.h"
#include "display/DiagramPeriod.h"
#include "display/DiagramScales.h"
#include "display/SensorWindowModel.h"
#include "model/CSensoren.h"
#include "model/CSumHour.h"
#include "storage/CAktuell.h"
#include "storage/CListGraph.h"

namespace {

using LayoutStore::SensorWindowLayout;

std::unique_ptr<CSensoren> Sensor(const char* identifier, const char* unit, int decimals = 1) {
    auto sensor = std::make_unique<CSensoren>();
    sensor->m_identifier = identifier;
    sensor->m_name = std::string("Name ") + identifier;
    sensor->m_unit = unit;
    sensor->m_decimals = decimals;
    sensor->m_colour = 0x0000FF;
    sensor->m_diagramType = 1;
    return sensor;
}

SensorStatistics Extremes(float max, float min) {
    SensorStatistics statistics;
    statistics.Max = max;
    statistics.Min = min;
    return statistics;
}

SensorWindowSource Present(const SensorStatistics* statistics, std::optional<float> value = {}) {
    SensorWindowSource source;
    source.statistics = statistics;
    source.currentValue = value;
    source.showsCurrentValue = true;
    source.dataMode = CListGraph::kMaximum;
    return source;
}

class SensorWindowModelTest : public ::testing::Test {
protected:
    void SetUp() override { UseUtcZone(); }

    std::unique_ptr<CSensoren> m_sensor = Sensor("TE", "C");
    SensorWindowModel m_window{3, m_sensor.get()};
};

TEST_F(SensorWindowModelTest, CopiesTheSensorAndStartsWithItsDefaults) {
    EXPECT_EQ(m_window.Key(), 3);
    EXPECT_EQ(m_window.Label(), "TE");
    EXPECT_EQ(m_window.Name(), "Name TE");
    EXPECT_EQ(m_window.Unit(), "C");
    EXPECT_EQ(m_window.CurveColour(), 0x0000FFu);
    EXPECT_EQ(m_window.ChartKind(), 1);
    EXPECT_EQ(m_window.YScale(), 50);
    EXPECT_EQ(m_window.GraphOffset(), 0);
    EXPECT_EQ(m_window.AxisMax(), 100.0f);
    EXPECT_EQ(m_window.AxisMin(), 0.0f);
    EXPECT_EQ(m_window.ZoomMax(), 10.0f);
    EXPECT_EQ(m_window.ZoomMin(), 0.0f);
    EXPECT_EQ(m_window.Opacity(), 100);
}

TEST_F(SensorWindowModelTest, CollapseStateCycles) {
    std::vector<int> states;
    for (int i = 0; i < 4; ++i) {
        states.push_back(m_window.CollapseState());
        m_window.CycleCollapseState();
    }
    EXPECT_EQ(states, (std::vector<int>{0, 1, 2, 0}));
}

TEST_F(SensorWindowModelTest, RowsFollowTheDisplayFlagsInFixedOrder) {
    m_sensor->m_showActivity = true;
    m_sensor->m_showMaximum = true;
    m_sensor->m_showTendency = true;
    EXPECT_EQ(
        m_window.VisibleRows(),
        (std::vector<SensorRow>{SensorRow::kMaximum, SensorRow::kTendency, SensorRow::kActivity}));
    m_window.AttachSensor(nullptr);
    EXPECT_TRUE(m_window.VisibleRows().empty());
}

TEST_F(SensorWindowModelTest, ActivityFormats) {
    struct Row {
        std::int32_t seconds;
        const char* text;
    } const rows[] = {{0, "0 sec.  "},         {59, "59 sec.  "},
                      {60, "1 min. 0 sec.  "}, {3599, "59 min. 59 sec.  "},
                      {3600, "1h 0m 0s "},     {90061, "25h 1m 1s "}};
    for (const Row& row : rows) {
        SensorStatistics statistics;
        statistics.ActivitySeconds = row.seconds;
        m_window.UpdateDisplay(Present(&statistics));
        EXPECT_EQ(m_window.RowText(SensorRow::kActivity), row.text) << row.seconds;
    }
}

TEST_F(SensorWindowModelTest, SumFormats) {
    struct Row {
        float sum;
        bool wh;
        const char* text;
    } const rows[] = {{999.9f, true, "999.9 Wh  "},
                      {1000.0f, true, "1.0 kWh  "},
                      {999999.0f, true, "1000.0 kWh  "},
                      {1000000.0f, true, "1.0 MWh  "},
                      {12.5f, false, "12.5 C  "}};
    for (const Row& row : rows) {
        SensorStatistics statistics;
        statistics.Sum = row.sum;
        statistics.WhFlag = row.wh;
        m_window.UpdateDisplay(Present(&statistics));
        EXPECT_EQ(m_window.RowText(SensorRow::kSum), row.text) << row.sum;
    }
}

TEST_F(SensorWindowModelTest, ExtremesShowExactTimesOrTheMeanInterval) {
    SensorStatistics statistics = Extremes(30.26f, -4.0f);
    statistics.MaxTime = Utc(2024, 7, 9, 14, 3, 7);
    statistics.MaxFrom = Utc(2024, 7, 9, 13, 56, 0);
    statistics.MaxTo = Utc(2024, 7, 10, 0, 0, 0);
    statistics.MinTime = Utc(2024, 7, 8, 4, 0, 1);
    statistics.Average = 12.04f;
    statistics.Tendency = -1.5f;

    SensorWindowSource source = Present(&statistics);
    m_window.UpdateDisplay(source);
    EXPECT_EQ(m_window.RowText(SensorRow::kMaximum), "30.3 C\n14:03:07    09.07.24");
    EXPECT_EQ(m_window.RowText(SensorRow::kMinimum), "-4.0 C\n04:00:01    08.07.24");
    EXPECT_EQ(m_window.RowText(SensorRow::kAverage), "12.0 C  ");
    EXPECT_EQ(m_window.RowText(SensorRow::kTendency), "-1.5 C");

    source.dataMode = CListGraph::kMean;
    m_window.UpdateDisplay(source);
    EXPECT_EQ(m_window.RowText(SensorRow::kMaximum), "30.3 C\n13:56 - 00:00  10.07.24");

    // Momentary values have no intervals, whatever the stored data mode.
    source.momentary = true;
    m_window.UpdateDisplay(source);
    EXPECT_EQ(m_window.RowText(SensorRow::kMaximum), "30.3 C\n14:03:07    09.07.24");
}

TEST_F(SensorWindowModelTest, CurrentValueOnlyForAPeriodEndingAtPresent) {
    const SensorStatistics statistics;
    SensorWindowSource source = Present(&statistics, 21.46f);
    m_window.UpdateDisplay(source);
    EXPECT_EQ(m_window.ValueText(), "21.5 C");

    source.showsCurrentValue = false;
    m_window.UpdateDisplay(source);
    EXPECT_EQ(m_window.ValueText(), "-------");

    source.showsCurrentValue = true;
    source.currentValue.reset();
    m_window.UpdateDisplay(source);
    EXPECT_EQ(m_window.ValueText(), "-------");
}

// Logger records set only the raw value: until a live record comes the
// converted value is still the missing marker, in either mode.
TEST_F(SensorWindowModelTest, AMissingCurrentValueShowsDashesNotTheMarker) {
    CAktuell current("TE", m_sensor.get());
    current.SetRawValue(12.5f, Utc(2024, 7, 10, 10, 0, 0));
    DiagramPeriod period;
    period.momentary = true;
    m_window.UpdateDisplay(SourceFor(period, &current, nullptr, true, false));
    EXPECT_EQ(m_window.ValueText(), "-------");
    EXPECT_EQ(m_window.RowText(SensorRow::kMaximum), "-------")
        << "no history yet: no 0.0 of 01.01.70";

    const SensorStatistics statistics;
    for (float missing : {-99999.0f, -99990.0f, -999999.0f}) {
        m_window.UpdateDisplay(Present(&statistics, missing));
        EXPECT_EQ(m_window.ValueText(), "-------") << missing;
    }
    m_window.UpdateDisplay(Present(&statistics, -99989.0f));
    EXPECT_EQ(m_window.ValueText(), "-99989.0 C") << "a very low value that is no marker";
}

TEST_F(SensorWindowModelTest, HourlySumSensorShowsItsHourlySum) {
    m_sensor->m_hourlySum = true;
    m_sensor->m_sumHour = std::make_unique<CSumHour>();
    m_sensor->m_sumHour->Total = 4.27f;
    const SensorStatistics statistics;
    m_window.UpdateDisplay(Present(&statistics, 0.5f));
    EXPECT_EQ(m_window.ValueText(), "4.3 C");
}

TEST_F(SensorWindowModelTest, WindowWithoutSensorShowsNoValue) {
    SensorWindowModel window(1, nullptr);
    const SensorStatistics statistics = Extremes(5, 1);
    window.UpdateDisplay(Present(&statistics, 3.0f));
    EXPECT_EQ(window.ValueText(), "-------");
}

TEST_F(SensorWindowModelTest, MissingIdentifierShowsNoStaleNumbers) {
    const SensorStatistics statistics = Extremes(30, 10);
    m_window.UpdateDisplay(Present(&statistics, 20.0f));
    ASSERT_NE(m_window.RowText(SensorRow::kMaximum), "-------");

    m_window.UpdateDisplay(Present(nullptr, 20.0f));
    for (SensorRow row : {SensorRow::kMaximum, SensorRow::kMinimum, SensorRow::kAverage,
                          SensorRow::kTendency, SensorRow::kSum, SensorRow::kActivity})
        EXPECT_EQ(m_window.RowText(row), "-------") << SensorWindowModel::RowLabel(row);
    EXPECT_EQ(m_window.AxisMax(), 100.0f);
    EXPECT_EQ(m_window.AxisMin(), 0.0f);
    // The current value does not come from the series.
    EXPECT_EQ(m_window.ValueText(), "20.0 C");
}

TEST_F(SensorWindowModelTest, CursorValueReplacesTheCurrentValueUntilTrackingEnds) {
    CDaten point;
    point.m_start = Utc(2024, 7, 9, 23, 50, 0);
    point.m_end = Utc(2024, 7, 10, 0, 10, 0);
    point.m_time = Utc(2024, 7, 10, 0, 4, 9);
    point.m_value = 7.0f;

    m_window.ShowCursorValue(point, CListGraph::kMean);
    EXPECT_TRUE(m_window.CursorShown());
    EXPECT_EQ(m_window.ValueText(), "7.0 C \n 23:50 - 00:10   09.07.24");
    m_window.ShowCursorValue(point, CListGraph::kLastValue);
    EXPECT_EQ(m_window.ValueText(), "7.0 C \n 00:04:09   10.07.24");
    m_window.ShowCursorValue(std::nullopt, CListGraph::kLastValue);
    EXPECT_EQ(m_window.ValueText(), "-------");

    const SensorStatistics statistics;
    SensorWindowSource source = Present(&statistics, 1.0f);
    source.cursorTracking = true;
    m_window.UpdateDisplay(source);
    EXPECT_EQ(m_window.ValueText(), "-------");  // still the cursor's
    source.cursorTracking = false;
    m_window.UpdateDisplay(source);
    EXPECT_FALSE(m_window.CursorShown());
    EXPECT_EQ(m_window.ValueText(), "1.0 C");
}

// --- Axis range ---

struct AxisCase {
    const char* name;
    float max, min;
    int yScale, offset;
    bool showMinScale, showMaxScale;
    int minScale, maxScale, scalingRange;
    float axisMin, axisMax;
};

const AxisCase kAxisCases[] = {
    {"FlatSeriesGetsAMarginOfOne", 20, 20, 50, 0, false, false, 0, 0, 0, 19, 21},
    {"FullOffsetShiftsByTheMargin", 30, 10, 50, 100, false, false, 0, 0, 0, -10, 30},
    {"FlatSeriesIsNotShifted", 20, 20, 50, 100, false, false, 0, 0, 0, 19, 21},
    {"BothBoundsOverTheCompleteArea", 30, 10, 50, 0, true, true, -20, 50, 1, -20, 50},
    {"BothBoundsOverTheSelectedAreaOnlyClamp", 30, 10, 50, 0, true, true, 5, 35, 0, 5, 35},
    {"MaxBoundClampsOnlyAbove", 30, 10, 50, 0, false, true, 0, 100, 0, 0, 40},
    {"MinBoundAboveTheRangeLiftsTheMax", 30, 10, 50, 0, true, false, 50, 0, 0, 50, 50},
    {"LargeScaleWidens", 30, 10, 500, 0, false, false, 0, 0, 0, -90, 130},
};

class SensorWindowAxisTest : public ::testing::TestWithParam<AxisCase> {};

TEST_P(SensorWindowAxisTest, Range) {
    const AxisCase& c = GetParam();
    auto sensor = Sensor("TE", "C");
    sensor->m_showMinScale = c.showMinScale;
    sensor->m_showMaxScale = c.showMaxScale;
    sensor->m_minScale = c.minScale;
    sensor->m_maxScale = c.maxScale;
    sensor->m_scalingRange = c.scalingRange;
    SensorWindowModel window(1, sensor.get());
    window.SetYScale(c.yScale);
    window.SetGraphOffset(c.offset);
    const SensorStatistics statistics = Extremes(c.max, c.min);
    window.UpdateDisplay(Present(&statistics));
    EXPECT_FLOAT_EQ(window.AxisMin(), c.axisMin);
    EXPECT_FLOAT_EQ(window.AxisMax(), c.axisMax);
}

INSTANTIATE_TEST_SUITE_P(Window, SensorWindowAxisTest, ::testing::ValuesIn(kAxisCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SensorWindowModelTest, SliderMoveRecomputesTheRangeWithinTheSliderBounds) {
    const SensorStatistics statistics = Extremes(30, 10);
    m_window.UpdateDisplay(Present(&statistics));
    m_window.SetGraphOffset(250);
    EXPECT_EQ(m_window.GraphOffset(), 100);
    EXPECT_FLOAT_EQ(m_window.AxisMin(), -10);
    m_window.SetYScale(0);
    EXPECT_EQ(m_window.YScale(), 1);
    EXPECT_FLOAT_EQ(m_window.AxisMax(), 30.0f);
    EXPECT_FLOAT_EQ(m_window.AxisMin(), 9.6f);
}

// --- Data source ---

TEST_F(SensorWindowModelTest, SourceFollowsTheViewMode) {
    CAktuell current("TE", m_sensor.get());
    current.m_value = 18.0f;
    current.m_history.emplace_back(Utc(2024, 7, 10, 10, 5, 0), 18.0f);
    CListGraph series(*m_sensor);
    series.TakeValue(12.0f, Utc(2024, 7, 10, 10, 0, 0), CListGraph::kMaximum);
    series.CloseInterval(Utc(2024, 7, 10, 9, 55, 0), Utc(2024, 7, 10, 10, 0, 0));
    series.FinishRead();
    series.MergeNewPoints();

    DiagramPeriod period;
    period.momentary = true;
    SensorWindowSource source = SourceFor(period, &current, &series, false, false);
    EXPECT_EQ(source.statistics, &current.m_statistics);
    EXPECT_EQ(source.currentValue, 18.0f);
    EXPECT_TRUE(source.showsCurrentValue);
    EXPECT_EQ(SourceFor(period, nullptr, &series, true, false).statistics, nullptr);

    period.momentary = false;
    period.periodType = 4;
    source = SourceFor(period, &current, &series, true, false);
    EXPECT_EQ(source.statistics, &series.Statistics());
    EXPECT_EQ(source.currentValue, 18.0f);
    EXPECT_FALSE(source.showsCurrentValue);
    EXPECT_EQ(SourceFor(period, &current, &series, false, false).currentValue, 12.0f);
    EXPECT_EQ(SourceFor(period, &current, nullptr, false, false).statistics, nullptr);
}

// --- Stored settings ---

SensorWindowLayout Stored(const char* ke, std::optional<int> colour, const char* sy, const char* sv,
                          int opacity, bool placed) {
    SensorWindowLayout layout;
    layout.ke = ke;
    layout.colour = colour;
    layout.sy = sy;
    layout.sv = sv;
    layout.opacity = opacity;
    if (placed) layout.placement = std::string("geometry of ") + ke + sy;
    return layout;
}

TEST_F(SensorWindowModelTest, StoredSettingsOfTheSameIdentifierApplyUpToTheFirstPlacement) {
    const std::vector<SensorWindowLayout> entries = {
        Stored("FE", 0x111111, "7", "7", 40, true),
        Stored("TE", 0x00FF00, "80", "-20", 70, false),
        Stored("TE", std::nullopt, "120", "30", 90, true),
        Stored("TE", 0x222222, "5", "5", 50, true),
    };
    const std::optional<std::string> placement = m_window.ApplyStoredSettings(entries, 4, true);
    EXPECT_EQ(placement, "geometry of TE120");
    EXPECT_EQ(m_window.CurveColour(), 0x0000FFu);  // the sensor's own when not stored
    EXPECT_EQ(m_window.YScale(), 120);
    EXPECT_EQ(m_window.GraphOffset(), 30);
    EXPECT_EQ(m_window.Opacity(), 90);
}

TEST_F(SensorWindowModelTest, StoredEntriesBeyondTheViewsSensorsAreIgnored) {
    const std::vector<SensorWindowLayout> entries = {Stored("FE", 1, "7", "7", 40, false),
                                                     Stored("TE", 2, "80", "8", 70, true)};
    EXPECT_EQ(m_window.ApplyStoredSettings(entries, 1, true), std::nullopt);
    EXPECT_EQ(m_window.YScale(), 50);
    EXPECT_EQ(m_window.CurveColour(), 0x0000FFu);
}

TEST_F(SensorWindowModelTest, StoredSlidersApplyOnlyInFileMode) {
    const std::vector<SensorWindowLayout> entries = {Stored("TE", 0x123456, "80", "8", 70, true)};
    EXPECT_TRUE(m_window.ApplyStoredSettings(entries, 1, false));
    EXPECT_EQ(m_window.YScale(), 50);
    EXPECT_EQ(m_window.GraphOffset(), 0);
    EXPECT_EQ(m_window.CurveColour(), 0x123456u);
    EXPECT_EQ(m_window.Opacity(), 70);
}

TEST_F(SensorWindowModelTest, DamagedStoredValuesStayWithinTheControlsRanges) {
    struct Row {
        const char* sy;
        const char* sv;
        int opacity;
        int yScale, offset, storedOpacity;
    } const rows[] = {
        {"abc", "", 0, 50, 0, 30},
        {"0", "-999", 255, 1, -100, 100},
        {"99999999999", "+42x", 55, 500, 42, 55},
        {" 75 ", "12.9", 100, 75, 12, 100},
    };
    for (const Row& row : rows) {
        SensorWindowModel window(1, m_sensor.get());
        window.ApplyStoredSettings({Stored("TE", 1, row.sy, row.sv, row.opacity, true)}, 1, true);
        EXPECT_EQ(window.YScale(), row.yScale) << row.sy;
        EXPECT_EQ(window.GraphOffset(), row.offset) << row.sv;
        EXPECT_EQ(window.Opacity(), row.storedOpacity) << row.opacity;
    }
}

TEST_F(SensorWindowModelTest, StoredSettingsComeBack) {
    m_window.SetCurveColour(0xABCDEF);
    m_window.SetYScale(123);
    m_window.SetGraphOffset(-45);
    m_window.SetOpacity(60);
    SensorWindowLayout stored = m_window.StoredSettings();
    EXPECT_EQ(stored, Stored("TE", 0xABCDEF, "123", "-45", 60, false));

    stored.placement = "placed";
    SensorWindowModel restored(9, m_sensor.get());
    EXPECT_EQ(restored.ApplyStoredSettings({stored}, 1, true), "placed");
    EXPECT_EQ(restored.StoredSettings(), m_window.StoredSettings());
}

// --- Shared scales ---

TEST(DiagramScalesTest, UnityScaleSharesTheRangeOfTheSameUnit) {
    auto inside = Sensor("TI", "C");
    auto outside = Sensor("TA", "C");
    auto humidity = Sensor("FE", "%");
    SensorWindowModel a(1, inside.get()), b(2, outside.get()), c(3, humidity.get());
    const SensorStatistics insideRange = Extremes(24, 18);    // axis 15..27
    const SensorStatistics outsideRange = Extremes(30, -10);  // axis -30..50
    const SensorStatistics humidityRange = Extremes(90, 40);  // axis 15..115
    a.UpdateDisplay(Present(&insideRange));
    b.UpdateDisplay(Present(&outsideRange));
    c.UpdateDisplay(Present(&humidityRange));
    const SensorWindowModel* windows[] = {&a, &b, &c};

    EXPECT_EQ(DisplayRange(windows, a, true), (AxisRange{50, -30}));
    EXPECT_EQ(DisplayRange(windows, b, true), (AxisRange{50, -30}));
    EXPECT_EQ(DisplayRange(windows, c, true), (AxisRange{115, 15}));
    EXPECT_EQ(DisplayRange(windows, a, false), (AxisRange{27, 15}));

    a.SetZoomRange(19, 22);
    b.SetZoomRange(-5, 20);
    EXPECT_EQ(ZoomRange(windows, a, true), (AxisRange{22, -5}));
    EXPECT_EQ(ZoomRange(windows, a, false), (AxisRange{22, 19}));
}

TEST(DiagramScalesTest, AxesForTheFirstTwoCurvesOnly) {
    EXPECT_EQ(AxisSideFor(1), AxisSide::kLeft);
    EXPECT_EQ(AxisSideFor(2), AxisSide::kRight);
    EXPECT_EQ(AxisSideFor(3), AxisSide::kNone);
    EXPECT_EQ(LegendPositionFor(2), 2);
    EXPECT_EQ(LegendPositionFor(5), 3);
    EXPECT_EQ(CurveSpan({20, 20}), 10.0f);
    EXPECT_EQ(CurveSpan({20, -5}), 25.0f);
}

}  // namespace
