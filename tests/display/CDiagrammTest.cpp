#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "RecordingCanvas.h"
#include "UtcTime.h"
#include "display/CDiagramm.h"

namespace {

using Kind = RecordingCanvas::Kind;

constexpr std::uint32_t kGrid = 0x808080;
constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kBlue = 0xFF0000;
constexpr float kMissing = -99999.0f;

// With 7 px per character and 12 px text height, "0000.00" is 49 x 12: this
// client area gives the plot (49, 20)-(551, 420), 400 px high and 502 px wide.
constexpr CanvasRect kClient = {0, 0, 600, 442};

// Texts and rectangles of the labels drawn, in the order drawn.
struct Drawn {
    std::string text;
    CanvasRect rect;
    bool operator==(const Drawn&) const = default;
};

void PrintTo(const Drawn& drawn, std::ostream* out) {
    *out << '"' << drawn.text << "\" (" << drawn.rect.left << ", " << drawn.rect.top << ", "
         << drawn.rect.right << ", " << drawn.rect.bottom << ')';
}

class DiagramTest : public ::testing::Test {
protected:
    void SetUp() override { UseUtcZone(); }

    std::vector<Drawn> Labels() const {
        std::vector<Drawn> drawn;
        for (const auto& call : canvas.CallsOf(Kind::kText))
            drawn.push_back({call.text, call.rect});
        return drawn;
    }
    std::vector<std::string> Texts() const { return canvas.Texts(); }
    // The grid lines, each as the dots handed over in one call.
    std::vector<RecordingCanvas::Call> GridLines() const { return canvas.CallsOf(Kind::kPoints); }

    // A value axis alone, its labels drawn.
    void PaintAxis(float max, float min, bool left, CanvasRect client = kClient,
                   DiagramSettings settings = {}) {
        CDiagramm diagram(canvas, client, kGrid, false, settings);
        diagram.DrawValueAxis(max, min, "hPa", "Luftdruck", kRed, left);
        diagram.DrawLabels();
    }

    RecordingCanvas canvas;
};

// Ten points 10 minutes apart from 13:00 (values 0, 10, ... 90): the time axis
// runs from 13:00 over 5400 s, and point k lies at x = 49 + (int)(k * 55.78).
std::vector<CDaten> TenPoints() {
    std::vector<CDaten> points;
    for (int k = 0; k < 10; ++k) points.emplace_back(Utc(2024, 3, 10, 13, 0) + k * 600, k * 10.0f);
    return points;
}
constexpr int kPointX[] = {49, 104, 160, 216, 272, 327, 383, 439, 495, 551};

TEST(DiagramSteps, NiceStepGivesFiveToTenDecimalSteps) {
    const struct {
        double range, step;
    } rows[] = {{10, 1},   {20, 2},    {30, 5},     {60, 10}, {0.5, 0.05}, {24, 5},
                {100, 10}, {99.9, 10}, {0.1, 0.01}, {7, 1},   {1e6, 1e5}};
    for (const auto& row : rows) {
        EXPECT_NEAR(CDiagramm::NiceStep(0, row.range), row.step, row.step * 1e-9)
            << "range " << row.range;
    }
    EXPECT_DOUBLE_EQ(CDiagramm::NiceStep(3, 27), 5);
}

TEST(DiagramSteps, NiceStep60GivesSecondSteps) {
    const struct {
        double range, step;
    } rows[] = {{120, 30}, {299, 60}, {10, 2}, {20, 5}, {60, 20}, {12, 2.5}};
    for (const auto& row : rows) {
        EXPECT_NEAR(CDiagramm::NiceStep60(0, row.range), row.step, 1e-9) << "range " << row.range;
    }
}

TEST(DiagramSteps, StepsOfEmptyOrBrokenRangesAreZeroNotGarbage) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const auto& [a, b] : {std::pair{0.0, 0.0}, {5.0, 1.0}, {0.0, nan}, {0.0, inf}}) {
        EXPECT_EQ(CDiagramm::NiceStep(a, b), 0) << a << ".." << b;
        EXPECT_EQ(CDiagramm::NiceStep60(a, b), 0) << a << ".." << b;
    }
}

TEST(DiagramSteps, TimeStepRoundsTheStartByTheLengthOfTheAxis) {
    UseUtcZone();
    const std::time_t from = Utc(2024, 3, 10, 13, 27, 10);
    const struct {
        const char* name;
        std::time_t end;
        std::time_t start;
        double step;
        std::uint32_t total;
    } rows[] = {
        {"3 days: full hour, 10 h", from + 3 * 86400, Utc(2024, 3, 10, 13, 0), 36000,
         3 * 86400 + 27 * 60 + 10},
        {"6 days: midnight, 1 day", from + 6 * 86400, Utc(2024, 3, 10, 0, 0), 86400,
         6 * 86400 + 13 * 3600 + 27 * 60 + 10},
        {"1 hour: full minute, 10 min", from + 3600, Utc(2024, 3, 10, 13, 27), 600, 3610},
        {"2 minutes: as it is, 30 s", from + 120, from, 30, 120},
        {"no time: 10 s", from, from, 2, 10},
        {"end before start: 10 s", from - 500, from, 2, 10},
    };
    for (const auto& row : rows) {
        const CDiagramm::TimeSteps steps = CDiagramm::TimeStep(from, row.end);
        EXPECT_EQ(steps.start, row.start) << row.name;
        EXPECT_DOUBLE_EQ(steps.step, row.step) << row.name;
        EXPECT_EQ(steps.total, row.total) << row.name;
    }
}

TEST_F(DiagramTest, LayoutComesFromTheSampleTextAndSavesTheCanvasState) {
    {
        CDiagramm normal(canvas, kClient, kGrid, false);
        EXPECT_EQ(normal.Inset(), (CanvasRect{49, 20, 551, 420}));
        EXPECT_EQ(normal.Plot(), normal.Inset());
        CDiagramm full(canvas, kClient, kGrid, true);
        EXPECT_EQ(full.Inset(), (CanvasRect{49, 20, 551, 420}));
        EXPECT_EQ(full.Plot(), (CanvasRect{0, 0, 600, 441}));
    }
    const auto fonts = canvas.CallsOf(Kind::kSetFont);
    ASSERT_EQ(fonts.size(), 2u);
    EXPECT_EQ(fonts[0].text, "arial");
    EXPECT_EQ(fonts[0].width, 9);
    EXPECT_EQ(canvas.OpenSaves(), 0);
}

TEST_F(DiagramTest, ZeroToHundredOnFourHundredPixels) {
    PaintAxis(100, 0, true);
    std::vector<Drawn> expected = {{"(hPa)", {2, 2, 37, 14}}};
    for (int i = 0; i < 10; ++i) {
        const int y = 420 - 40 * i;
        const std::string text = std::to_string(10 * i);
        expected.push_back({text, {2, y - 6, 2 + 7 * static_cast<int>(text.size()), y + 6}});
    }
    EXPECT_EQ(Labels(), expected) << "no label for 100 on the plot's top edge";

    const auto grid = GridLines();
    ASSERT_EQ(grid.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        ASSERT_FALSE(grid[i].points.empty());
        EXPECT_EQ(grid[i].points.front(), (CanvasPoint{51, 420 - 40 * i})) << "one on, two off";
        EXPECT_EQ(grid[i].points.back(), (CanvasPoint{549, 420 - 40 * i}));
        EXPECT_EQ(grid[i].points.size(), 167u);
        EXPECT_EQ(grid[i].colour, kGrid);
    }
    for (const auto& call : canvas.CallsOf(Kind::kText)) EXPECT_EQ(call.colour, kRed);
    EXPECT_EQ(canvas.OpenSaves(), 0);
}

TEST_F(DiagramTest, FirstTickIsTheFirstStepAtOrAboveMin) {
    PaintAxis(27, 3, true);
    // step 5, 83 px per step, first tick 5 at 420 - (int)(2 / 24 * 400)
    const std::vector<Drawn> expected = {{"(hPa)", {2, 2, 37, 14}}, {"5", {2, 381, 9, 393}},
                                         {"10", {2, 298, 16, 310}}, {"15", {2, 215, 16, 227}},
                                         {"20", {2, 132, 16, 144}}, {"25", {2, 49, 16, 61}}};
    EXPECT_EQ(Labels(), expected);
}

TEST_F(DiagramTest, RightAxisLabelsEndAtTheRightEdgeWithSparseGridUpToThem) {
    PaintAxis(100, 0, false);
    const auto labels = Labels();
    ASSERT_EQ(labels.size(), 11u);
    EXPECT_EQ(labels[0], (Drawn{"(hPa)", {563, 2, 598, 14}}));
    EXPECT_EQ(labels[1], (Drawn{"0", {591, 414, 598, 426}}));
    EXPECT_EQ(labels[2], (Drawn{"10", {584, 374, 598, 386}}));
    const auto grid = GridLines();
    ASSERT_EQ(grid.size(), 10u);
    EXPECT_EQ(grid[0].points.front(), (CanvasPoint{69, 420})) << "one on, twenty off";
    EXPECT_EQ(grid[0].points[1], (CanvasPoint{90, 420}));
    EXPECT_LE(grid[0].points.back().x, 589) << "ends 2 px before the label";
    EXPECT_GT(grid[0].points.back().x, 589 - 21);
    EXPECT_LE(grid[1].points.back().x, 582);
}

TEST_F(DiagramTest, LabelsThatWouldTouchTheOneBelowAreSkippedWithTheirGridLine) {
    // A plot 60 px high: 6 px per step of 10, labels 12 px high.
    PaintAxis(100, 0, true, {0, 0, 600, 102});
    EXPECT_EQ(Texts(), (std::vector<std::string>{"(hPa)", "0", "30", "60", "90"}));
    std::vector<int> lines;
    for (const auto& line : GridLines()) lines.push_back(line.points.front().y);
    EXPECT_EQ(lines, (std::vector<int>{80, 62, 44, 26}));
}

TEST_F(DiagramTest, MinorStepsLabelEachTickHalfwayBelow) {
    PaintAxis(100, 0, true, kClient, {.minorStepsY = 2});
    const auto labels = Labels();
    // "0" gets no minor label: -5 lies below the axis.
    std::vector<std::string> texts;
    for (const auto& label : labels) texts.push_back(label.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"(hPa)", "0",  "10", "5",  "20", "15", "30",
                                               "25",    "40", "35", "50", "45", "60", "55",
                                               "70",    "65", "80", "75", "90", "85"}));
    EXPECT_EQ(labels[3], (Drawn{"5", {2, 394, 9, 406}})) << "the tick of 10 moved down by 20";
    std::vector<int> lines;
    for (const auto& line : GridLines()) lines.push_back(line.points.front().y);
    EXPECT_EQ(lines.size(), 19u);
    EXPECT_EQ(lines[1], 400) << "the minor line of 10 first";
    EXPECT_EQ(lines[2], 380);
}

TEST_F(DiagramTest, FlatRangeGetsAnAxisOfTenAboveTheValue) {
    // As the view draws such a curve over 5..15.
    PaintAxis(5, 5, true);
    const auto texts = Texts();
    ASSERT_EQ(texts.size(), 11u);
    EXPECT_EQ(texts[1], "5");
    EXPECT_EQ(texts.back(), "14");
}

TEST_F(DiagramTest, AxisUpToZeroEndsAtZeroAsItsCurve) {
    PaintAxis(0, -20, true);
    const auto texts = Texts();
    ASSERT_EQ(texts.size(), 11u);
    EXPECT_EQ(texts[1], "-20");
    EXPECT_EQ(texts.back(), "-2");
    canvas.Clear();
    PaintAxis(0, 0, true);
    EXPECT_EQ(Texts().back(), "9") << "0..0 spans 0..10";
}

TEST_F(DiagramTest, TickValuesHaveNoRoundingResidue) {
    PaintAxis(1, -1, true);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"(hPa)", "-1", "-0.8", "-0.6", "-0.4", "-0.2", "0",
                                                 "0.2", "0.4", "0.6", "0.8"}));
}

TEST_F(DiagramTest, BrokenRangesAndTinyAreasFinish) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        const char* name;
        float max, min;
        CanvasRect client;
    } rows[] = {
        {"NaN", nan, 0, kClient},
        {"infinite", inf, 0, kClient},
        {"both infinite", inf, -inf, kClient},
        {"widest floats", 3.4e38f, -3.4e38f, kClient},
        {"1e38 flat", 1e38f, 1e38f, kClient},
        {"tiny range", 1.00001f, 1.0f, kClient},
        {"upside down", 10, 50, kClient},
        {"negative zero", -0.0f, 0, kClient},
        {"3 px area", 100, 0, {0, 0, 3, 3}},
        {"empty area", 100, 0, {0, 0, 0, 0}},
    };
    for (const auto& row : rows) {
        canvas.Clear();
        for (bool left : {true, false}) {
            for (bool full : {false, true}) {
                CDiagramm diagram(canvas, row.client, kGrid, full, {.minorStepsY = 3});
                diagram.DrawValueAxis(row.max, row.min, "", "", kRed, left);
                diagram.DrawLabels();
            }
        }
        EXPECT_LT(canvas.Calls().size(), 2000u) << row.name;
        EXPECT_EQ(canvas.OpenSaves(), 0) << row.name;
    }
}

TEST_F(DiagramTest, LegendsStandLeftAndRightOfTheTopAndAThirdShowsNothing) {
    {
        CDiagramm diagram(canvas, kClient, kGrid, false);
        diagram.AddLegend("Temp", kRed, 1);
        diagram.AddLegend("Wind", kBlue, 2);
        diagram.AddLegend("Regen", kRed, 3);
        diagram.DrawLabels();
    }
    EXPECT_EQ(Labels(),
              (std::vector<Drawn>{{"Temp", {61, 2, 89, 14}}, {"Wind", {511, 2, 539, 14}}}));
    const auto texts = canvas.CallsOf(Kind::kText);
    EXPECT_EQ(texts[0].colour, kRed);
    EXPECT_EQ(texts[1].colour, kBlue);
    EXPECT_EQ(texts[0].align, TextAlign::kCentre);
}

TEST_F(DiagramTest, TimeLabelsCloserThanTheirWidthAreSkipped) {
    const auto points = TenPoints();
    {
        CDiagramm diagram(canvas, kClient, kGrid, false);
        diagram.DrawCurve(points, 100, 0, kRed, 0, 0, false, true);
        diagram.DrawLabels();
    }
    // 55 px per 10 minutes, labels 56 px wide: every other one, counted from
    // the right, where 14:30 would touch "(t)".
    EXPECT_EQ(Labels(), (std::vector<Drawn>{{"(t)", {577, 428, 598, 440}},
                                            {"14:20:00", {468, 428, 524, 440}},
                                            {"14:00:00", {356, 428, 412, 440}},
                                            {"13:40:00", {245, 428, 301, 440}},
                                            {"13:20:00", {133, 428, 189, 440}},
                                            {"13:00:00", {21, 428, 77, 440}}}));
    std::vector<int> lines;
    for (const auto& line : GridLines()) {
        lines.push_back(line.points.front().x);
        EXPECT_EQ(line.points.front().y, 22);
        EXPECT_EQ(line.points.back(), (CanvasPoint{line.points.front().x, 418}));
    }
    EXPECT_EQ(lines, (std::vector<int>{496, 384, 273, 161, 49}));
    EXPECT_TRUE(canvas.CallsOf(Kind::kPolyline).empty()) << "draw = false: axis only";
}

TEST_F(DiagramTest, MinorTimeStepsDrawLinesBetweenTicks) {
    const auto points = TenPoints();
    CDiagramm diagram(canvas, kClient, kGrid, false, {.minorStepsX = 2});
    diagram.DrawCurve(points, 100, 0, kRed, 0, 0, false, true);
    std::vector<int> lines;
    for (const auto& line : GridLines()) lines.push_back(line.points.front().x);
    // 55 px per step: a minor line 27 px right of each labelled tick.
    EXPECT_EQ(lines, (std::vector<int>{496, 523, 384, 411, 273, 300, 161, 188, 49, 76}));
}

TEST_F(DiagramTest, DatesStandAboveTheEarliestLabelledTickOfEachLaterDay) {
    const std::vector<CDaten> points = {{Utc(2024, 3, 10, 13, 0), 1}, {Utc(2024, 3, 12, 13, 0), 2}};
    for (bool showDates : {true, false}) {
        canvas.Clear();
        {
            CDiagramm diagram(canvas, kClient, kGrid, false);
            diagram.DrawCurve(points, 100, 0, kRed, 0, 0, true, showDates);
            diagram.DrawLabels();
        }
        // 5 h steps; labelled ticks 12th 10:00 and 00:00, 11th 14:00 and 04:00, 10th 18:00.
        std::vector<Drawn> dates;
        for (const auto& label : Labels()) {
            if (label.text.find('.') != std::string::npos) dates.push_back(label);
        }
        if (showDates) {
            EXPECT_EQ(dates, (std::vector<Drawn>{{"12.03.24", {388, 14, 444, 26}},
                                                 {"11.03.24", {178, 14, 234, 26}}}));
        } else {
            EXPECT_TRUE(dates.empty());
        }
    }
}

TEST_F(DiagramTest, AxisEndingAfterMidnightPutsNoDateOverThePreviousDay) {
    // 10 h steps from the 10th 13:00; the rightmost tick is the 12th 15:00,
    // while the axis ends on the 13th.
    const std::vector<CDaten> points = {{Utc(2024, 3, 10, 13, 0), 1}, {Utc(2024, 3, 13, 0, 30), 2}};
    {
        CDiagramm diagram(canvas, kClient, kGrid, false);
        diagram.DrawCurve(points, 100, 0, kRed, 0, 0, true, true);
        diagram.DrawLabels();
    }
    std::vector<Drawn> dates;
    for (const auto& label : Labels()) {
        if (label.text.find('.') != std::string::npos) dates.push_back(label);
    }
    // Above the 12th 05:00 and the 11th 09:00.
    EXPECT_EQ(dates, (std::vector<Drawn>{{"12.03.24", {359, 14, 415, 26}},
                                         {"11.03.24", {190, 14, 246, 26}}}));
}

TEST_F(DiagramTest, AxesShorterThanADayShowNoDates) {
    const std::vector<CDaten> points = {{Utc(2024, 3, 10, 13, 0), 1}, {Utc(2024, 3, 11, 12, 0), 2}};
    CDiagramm diagram(canvas, kClient, kGrid, false);
    diagram.DrawCurve(points, 100, 0, kRed, 0, 0, true, true);
    diagram.DrawLabels();
    for (const auto& text : Texts()) EXPECT_EQ(text.find('.'), std::string::npos) << text;
}

TEST_F(DiagramTest, CurveIsOnePolylinePerUnbrokenRunNewestFirst) {
    auto points = TenPoints();
    points[6].m_value = kMissing;
    points[2].m_value = -99990.0f;
    points[3].m_value = std::numeric_limits<float>::quiet_NaN();
    {
        CDiagramm diagram(canvas, kClient, kGrid, false, {.lineWidth = 3});
        diagram.DrawCurve(points, 100, 0, kBlue, 0, 0, true, true);
    }
    std::vector<std::vector<CanvasPoint>> runs;
    for (const auto& line : canvas.CallsOf(Kind::kPolyline)) {
        runs.push_back(line.points);
        EXPECT_EQ(line.colour, kBlue);
        EXPECT_EQ(line.width, 3);
    }
    auto at = [](int k) { return CanvasPoint{kPointX[k], 420 - 40 * k}; };
    EXPECT_EQ(runs, (std::vector<std::vector<CanvasPoint>>{
                        {at(9), at(8), at(7)}, {at(5), at(4)}, {at(1), at(0)}}));
}

TEST_F(DiagramTest, PointsOffThePlotAreLeftOutWithoutBreakingTheLine) {
    auto points = TenPoints();
    points[5].m_value = 200;    // above the plot
    points[4].m_value = -50;    // below it
    points[8].m_value = 1e38f;  // beyond any pixel
    {
        CDiagramm diagram(canvas, kClient, kGrid, false);
        diagram.DrawCurve(points, 100, 0, kBlue, 0, 0, true, true);
    }
    const auto lines = canvas.CallsOf(Kind::kPolyline);
    ASSERT_EQ(lines.size(), 1u);
    std::vector<int> xs;
    for (const auto& point : lines[0].points) xs.push_back(point.x);
    EXPECT_EQ(xs, (std::vector<int>{551, 439, 383, 216, 160, 104, 49}));
}

TEST_F(DiagramTest, DotsModeDrawsACrossAndADotPerPoint) {
    const auto all = TenPoints();
    {
        CDiagramm diagram(canvas, kClient, kGrid, false);
        diagram.DrawCurve(std::span(all).first(2), 100, 0, kBlue, CDiagramm::kDots, 0, true, true);
    }
    // Point 1 (x 551 at the right end of a 600 s axis), then point 0 (x 49).
    const auto lines = canvas.CallsOf(Kind::kLine);
    const auto dots = canvas.CallsOf(Kind::kEllipse);
    ASSERT_EQ(lines.size(), 4u);
    ASSERT_EQ(dots.size(), 2u);
    EXPECT_EQ(lines[2].points, (std::vector<CanvasPoint>{{49, 416}, {49, 424}}));
    EXPECT_EQ(lines[3].points, (std::vector<CanvasPoint>{{45, 420}, {53, 420}}));
    EXPECT_EQ(dots[1].rect, (CanvasRect{47, 418, 51, 422}));
    EXPECT_EQ(dots[1].colour, kBlue);
    EXPECT_TRUE(canvas.CallsOf(Kind::kPolyline).empty());
}

TEST_F(DiagramTest, CursorPointIsTheNewestAtOrLeftOfTheCursor) {
    auto points = TenPoints();
    points[3].m_value = kMissing;
    const struct {
        int cursorX;
        int expected;  // index into points, -1 for none
    } rows[] = {{200, 2}, {216, 2}, {217, 2}, {272, 4}, {600, 9}, {104, 1}, {48, -1}};
    for (const auto& row : rows) {
        CDiagramm diagram(canvas, kClient, kGrid, false);
        const auto cursor = diagram.DrawCurve(points, 100, 0, kRed, 0, row.cursorX, true, true);
        if (row.expected < 0) {
            EXPECT_FALSE(cursor) << row.cursorX;
        } else {
            ASSERT_TRUE(cursor) << row.cursorX;
            EXPECT_EQ(cursor->m_start, points[row.expected].m_start) << row.cursorX;
        }
    }
}

TEST_F(DiagramTest, OnlyTheFirstCurveWithPointsDrawsTheTimeAxis) {
    auto later = TenPoints();
    for (auto& point : later) point.m_start = point.m_end = point.m_start + 86400 * 10;
    {
        CDiagramm diagram(canvas, kClient, kGrid, false);
        EXPECT_FALSE(diagram.DrawCurve({}, 100, 0, kRed, 0, 300, true, true));
        EXPECT_TRUE(canvas.CallsOf(Kind::kPoints).empty()) << "no axis without points";
        diagram.DrawCurve(TenPoints(), 100, 0, kRed, 0, 300, true, true);
        diagram.DrawCurve(later, 100, 0, kBlue, 0, 300, true, true);
        diagram.DrawLabels();
    }
    const auto texts = Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "(t)"), 1);
    EXPECT_EQ(texts.size(), 6u);
    EXPECT_EQ(canvas.CallsOf(Kind::kPolyline).size(), 1u) << "the later curve lies off the axis";
}

TEST_F(DiagramTest, CollectPointsInRectCopiesThePointsDrawnThere) {
    auto points = TenPoints();
    points[3].m_value = kMissing;
    const CDiagramm diagram(canvas, kClient, kGrid, false);
    std::vector<CDaten> out;
    float min = 0;
    float max = -1;
    // x 100..300 holds points 1..4; y 250..400 values 5..42.
    diagram.CollectPointsInRect(points, min, max, 100, {100, 250, 300, 400}, out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].m_value, 10);
    EXPECT_EQ(out[1].m_value, 20);
    EXPECT_EQ(out[2].m_value, 40);
    EXPECT_EQ(min, 10);
    EXPECT_EQ(max, 40);

    out.clear();
    min = 50;
    diagram.CollectPointsInRect(points, min, max, 100, {100, 250, 300, 400}, out);
    EXPECT_TRUE(out.empty()) << "with min 50 the values lie lower";
    EXPECT_EQ(min, 0);
    EXPECT_EQ(max, 0);
}

TEST_F(DiagramTest, WholePaintOnTinyOrFullSizeAreasFinishesBalanced) {
    auto points = TenPoints();
    points[2].m_value = kMissing;
    for (const CanvasRect client :
         {CanvasRect{0, 0, 3, 3}, CanvasRect{0, 0, 0, 0}, CanvasRect{0, 0, 60, 40}, kClient}) {
        for (bool full : {false, true}) {
            canvas.Clear();
            {
                CDiagramm diagram(canvas, client, kGrid, full, {3, 3, 2});
                diagram.DrawValueAxis(100, 0, "C", "T", kRed, true);
                diagram.AddLegend("T", kRed, 1);
                diagram.DrawValueAxis(1e38f, -1e38f, "%", "F", kBlue, false);
                diagram.AddLegend("F", kBlue, 2);
                diagram.DrawCurve(points, 100, 0, kRed, 0, 10, true, true);
                diagram.DrawCurve(points, 0, 0, kBlue, CDiagramm::kDots, 10, true, true);
                diagram.DrawLabels();
            }
            EXPECT_EQ(canvas.OpenSaves(), 0);
            EXPECT_LT(canvas.Calls().size(), 2000u);
        }
    }
}

}  // namespace
