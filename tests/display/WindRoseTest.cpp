#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "RecordingCanvas.h"
#include "TempFolder.h"
#include "display/DiagramPeriod.h"
#include "display/Windrose.h"
#include "platform/IniProfile.h"
#include "storage/SensorSet.h"

namespace {

using Kind = RecordingCanvas::Kind;

constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kGrey = 0x9C9C9C;

// 400 x 400 pixels: the centre is (200, 200) and one pixel holds 5 logical units.
constexpr CanvasRect kClient = {0, 0, 400, 400};

WindroseValues Dial(int direction, int second = -1, double value = -1, std::string unit = "") {
    WindroseValues values;
    values.direction = direction;
    values.secondDirection = second;
    values.value = value;
    values.unit = std::move(unit);
    return values;
}

CanvasPoint Centre(const CanvasRect& rect) {
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

class WindroseTest : public ::testing::Test {
protected:
    // One paint with this test's tracker.
    void Paint(const WindroseValues& values, CanvasRect client = kClient) {
        canvas.Clear();
        Windrose(canvas, client, tracker).Paint(values);
    }
    std::vector<RecordingCanvas::Call> Shapes(Kind kind, std::size_t corners) const {
        std::vector<RecordingCanvas::Call> found;
        for (const auto& call : canvas.CallsOf(kind))
            if (corners == 0 || call.points.size() == corners) found.push_back(call);
        return found;
    }
    std::vector<std::string> TextsIn(std::uint32_t colour) const {
        std::vector<std::string> texts;
        for (const auto& call : canvas.CallsOf(Kind::kText))
            if (call.colour == colour) texts.push_back(call.text);
        return texts;
    }

    RecordingCanvas canvas;
    WindDirectionTracker tracker;
};

// ---- Tracker ---------------------------------------------------------------

struct TrackerCase {
    const char* name;
    std::vector<int> directions;
    int minimum;
    int maximum;
};

const TrackerCase kTrackerCases[] = {
    {"FirstDirectionIsBothExtremes", {90}, 90, 90},
    {"WestIsKeptBelowNorth", {90, 270}, -90, 90},
    {"RangeAcrossNorthStaysOneInterval", {350, 10}, -10, 10},
    // 359 is kept as -1, which also means "none": it becomes the minimum and
    // the next direction replaces it, so the range collapses.
    {"Direction359BecomesMinusOne", {10, 20, 359}, -1, 20},
    {"AfterDirection359TheNextReplacesTheMinimum", {10, 20, 359, 30}, 30, 30},
    {"AnExtremeHoldsFor19FurtherPaints",
     {0, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90},
     0,
     90},
    {"AnExtremeFallsBackOnThe20thPaint",
     {0, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90},
     90,
     90},
};

class TrackerTest : public ::testing::TestWithParam<TrackerCase> {};

TEST_P(TrackerTest, Extremes) {
    WindDirectionTracker tracker;
    for (int direction : GetParam().directions) tracker.Track(direction);
    EXPECT_EQ(tracker.Minimum(), GetParam().minimum);
    EXPECT_EQ(tracker.Maximum(), GetParam().maximum);
}

INSTANTIATE_TEST_SUITE_P(Windrose, TrackerTest, ::testing::ValuesIn(kTrackerCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Directions from sensor values -----------------------------------------

TEST(WindroseDirectionTest, ValuesOutside0To359AreNoDirection) {
    const struct {
        double value;
        int direction;
    } cases[] = {{0.0, 0},       {-0.5, 0},  {359.9, 359}, {360.0, -1}, {-1.0, -1},
                 {-99999.0, -1}, {1e30, -1}, {-1e30, -1},  {270.4, 270}};
    for (const auto& c : cases) EXPECT_EQ(DirectionFromValue(c.value), c.direction) << c.value;
}

// ---- Painting ----------------------------------------------------------------

TEST_F(WindroseTest, InvalidDirectionsDrawTheDialWithoutNeedleSectorOrText) {
    for (int direction : {-1, -5, 360, 1000, -99999}) {
        Paint(Dial(direction));
        SCOPED_TRACE(direction);
        EXPECT_EQ(canvas.Texts(),
                  (std::vector<std::string>{"N", "NO", "O", "SO", "S", "SW", "W", "NW"}));
        EXPECT_TRUE(canvas.CallsOf(Kind::kPolygon).empty());
        EXPECT_TRUE(canvas.CallsOf(Kind::kLine).empty());
        EXPECT_EQ(canvas.CallsOf(Kind::kEllipse).size(), 72u) << "the ticks only";
        EXPECT_EQ(tracker.Minimum(), WindDirectionTracker::kNone) << "not tracked";
        EXPECT_EQ(canvas.OpenSaves(), 0);
    }
}

TEST_F(WindroseTest, DirectionGivesNeedleTextAndBothExtremeNeedles) {
    Paint(Dial(90));
    const auto needles = Shapes(Kind::kPolygon, 11);
    ASSERT_EQ(needles.size(), 1u);
    // The tip (0, 750) turned to east: 150 px right of the centre.
    EXPECT_EQ(needles[0].points.front(), (CanvasPoint{350, 200}));
    EXPECT_EQ(needles[0].colour, 0u);
    EXPECT_EQ(Shapes(Kind::kPolygon, 0).size(), 1u) << "equal extremes: no sector";

    const auto redLines = canvas.CallsOf(Kind::kLine);
    ASSERT_EQ(redLines.size(), 2u);
    for (const auto& line : redLines) {
        EXPECT_EQ(line.colour, kRed);
        EXPECT_EQ(line.points[0], (CanvasPoint{200, 200}));
        EXPECT_EQ(line.points[1], (CanvasPoint{360, 200})) << "to the rim";
    }
    EXPECT_EQ(TextsIn(kRed), (std::vector<std::string>{"90deg", "90deg"}));
    const auto texts = canvas.Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "90deg"), 3);
    // The direction's box lies above the centre: y from 470 down to 180 units.
    for (const auto& call : canvas.CallsOf(Kind::kText)) {
        if (call.text == "90deg" && call.colour == 0u) {
            EXPECT_EQ(call.rect, (CanvasRect{122, 106, 278, 164}));
        }
    }
    EXPECT_EQ(canvas.CallsOf(Kind::kEllipse).size(), 73u) << "ticks and hub";
}

TEST_F(WindroseTest, RecentRangeAcrossNorthIsASectorWithItsNeedleTexts) {
    Paint(Dial(350));
    Paint(Dial(10));
    const auto polygons = canvas.CallsOf(Kind::kPolygon);
    ASSERT_EQ(polygons.size(), 2u) << "sector, then the needle";
    const auto& sector = polygons[0];
    EXPECT_EQ(sector.colour, 0xF0F0F0u);
    // The centre, then the rim from -10 to 10 degrees clockwise.
    ASSERT_EQ(sector.points.size(), 22u);
    EXPECT_EQ(sector.points[0], (CanvasPoint{200, 200}));
    EXPECT_LT(sector.points[1].x, 200);
    EXPECT_EQ(sector.points[11], (CanvasPoint{200, 40})) << "north on the way";
    EXPECT_GT(sector.points[21].x, 200);
    EXPECT_EQ(TextsIn(kRed), (std::vector<std::string>{"350deg", "10deg"}));
}

TEST_F(WindroseTest, SecondDirectionIsAGreyMarkerOnTheRim) {
    Paint(Dial(-1, 180));
    const auto markers = Shapes(Kind::kPolygon, 3);
    ASSERT_EQ(markers.size(), 1u);
    EXPECT_EQ(markers[0].colour, kGrey);
    // Tip at the rim in the south, the base outside it.
    EXPECT_EQ(markers[0].points[0], (CanvasPoint{200, 360}));
    EXPECT_EQ(markers[0].points[1], (CanvasPoint{212, 390}));
    EXPECT_TRUE(canvas.CallsOf(Kind::kLine).empty()) << "no direction, no needles";
}

TEST_F(WindroseTest, ValueWithUnitBelowTheCentre) {
    const struct {
        double value;
        const char* unit;
        const char* text;  // null: none drawn
    } cases[] = {{5.256, "m/s", "5.26m/s"},
                 {0.0, "Bft", "0.00Bft"},
                 {-0.01, "", "-0.01"},
                 {-0.02, "m/s", nullptr},
                 {-1.0, "m/s", nullptr}};
    for (const auto& c : cases) {
        Paint(Dial(-1, -1, c.value, c.unit));
        const auto texts = canvas.Texts();
        ASSERT_EQ(texts.size(), c.text != nullptr ? 9u : 8u) << c.value;
        if (c.text == nullptr) continue;
        EXPECT_EQ(texts.back(), c.text);
        EXPECT_EQ(canvas.CallsOf(Kind::kText).back().rect, (CanvasRect{120, 230, 280, 300}));
    }
}

TEST_F(WindroseTest, LabelsAndTicksSitOnTheRim) {
    Paint(Dial(-1));
    const auto labels = canvas.CallsOf(Kind::kText);
    // "N" 7 x 12 px centred 830 units plus half its height (30 units) above the centre.
    EXPECT_EQ(Centre(labels[0].rect), (CanvasPoint{200, 28}));
    EXPECT_EQ(Centre(labels[2].rect), (CanvasPoint{372, 200})) << "O to the east";
    EXPECT_EQ(labels[2].align, TextAlign::kCentre);

    const auto ticks = canvas.CallsOf(Kind::kEllipse);
    ASSERT_EQ(ticks.size(), 72u);
    EXPECT_EQ(ticks[0].rect, (CanvasRect{194, 34, 206, 46})) << "north: 60 units";
    EXPECT_EQ(ticks[9].rect.Width(), 6) << "45 degrees: 30 units";
    EXPECT_EQ(ticks[1].rect.Width(), 4) << "5 degrees: 15 units";
    EXPECT_EQ(Centre(ticks[18].rect), (CanvasPoint{360, 200})) << "east";
}

TEST_F(WindroseTest, TheDialFitsTheShorterSideAroundTheCentre) {
    Paint(Dial(0), {0, 0, 800, 400});
    const auto needle = Shapes(Kind::kPolygon, 11);
    ASSERT_EQ(needle.size(), 1u);
    EXPECT_EQ(needle[0].points.front(), (CanvasPoint{400, 50}));
}

TEST_F(WindroseTest, TinyOrEmptyClientsPaintWithoutFault) {
    for (CanvasRect client : {CanvasRect{0, 0, 0, 0}, CanvasRect{0, 0, 1, 1},
                              CanvasRect{0, 0, 3, 500}, CanvasRect{10, 10, 5, 5}}) {
        Paint(Dial(123, 45, 3.0, "m/s"), client);
        EXPECT_EQ(canvas.OpenSaves(), 0);
        EXPECT_EQ(canvas.CallsOf(Kind::kFillRect).size(), 1u);
    }
}

// ---- Update from the station's current values ------------------------------

class WindroseUpdateTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder.Write("define.ini",
                     "[WR]\nName=Wind direction\nUnit=deg\n"
                     "Windrose=Enabled\nSens1Ausblenden=Enabled\n"
                     "WindroseSensor1=WR\nWindroseSensor2=WB\nWindroseSensor3=WG\n"
                     "[WB]\nName=Gust direction\n"
                     "Windrose=enabled\n"
                     "[WG]\nName=Wind speed\nUnit=m/s\n");
        sensors.Load(profile, folder.File("define.ini"), folder.File("intern.ini"),
                     {"WR", "WB", "WG"});
        Set("WR", 270.7f);
        Set("WB", 90.0f);
        Set("WG", 5.5f);
    }
    void Set(const char* label, float value) {
        for (const auto& current : sensors.CurrentValues())
            if (current->m_identifier == label) current->m_value = value;
    }
    const WindRoseSettings& Settings() { return sensors.FindSensor("WR")->m_windRose; }

    TempFolder folder;
    IniProfile profile;
    SensorSet sensors;
    DiagramPeriod period;  // momentary
};

TEST_F(WindroseUpdateTest, SettingsComeFromTheSensorFile) {
    const WindRoseSettings& settings = Settings();
    EXPECT_TRUE(settings.enabled);
    EXPECT_TRUE(settings.fadeOutSensor1);
    EXPECT_EQ(settings.sensor1, "WR");
    EXPECT_EQ(settings.sensor2, "WB");
    EXPECT_EQ(settings.sensor3, "WG");
    EXPECT_FALSE(sensors.FindSensor("WB")->m_windRose.enabled) << "only \"Enabled\" exactly";
    EXPECT_FALSE(sensors.FindSensor("WG")->m_windRose.enabled);
    EXPECT_EQ(WindroseCaption(settings, sensors),
              "Windrose   (\"Wind direction\\Gust direction\\Wind speed\")");
    WindRoseSettings alone;
    alone.sensor1 = "WR";
    EXPECT_EQ(WindroseCaption(alone, sensors), "Windrose   (\"Wind direction\")");
}

TEST_F(WindroseUpdateTest, MomentaryAndPresentPeriodsShowTheCurrentValues) {
    for (int type : {1, 3}) {
        period.momentary = false;
        period.periodType = type;
        EXPECT_EQ(WindroseUpdate(Settings(), period, sensors), Dial(270, 90, 5.5, "m/s")) << type;
    }
    period.momentary = true;
    EXPECT_EQ(WindroseUpdate(Settings(), period, sensors), Dial(270, 90, 5.5, "m/s"));
}

TEST_F(WindroseUpdateTest, HistoricPeriodsShowAnEmptyDial) {
    period.momentary = false;
    for (int type : {0, 2, 4}) {
        period.periodType = type;
        EXPECT_EQ(WindroseUpdate(Settings(), period, sensors), WindroseValues{}) << type;
    }
}

TEST_F(WindroseUpdateTest, CalmFadesOutTheDirectionButKeepsTheSecond) {
    Set("WG", 0.0f);
    EXPECT_EQ(WindroseUpdate(Settings(), period, sensors), Dial(-1, 90));
    WindRoseSettings noFade = Settings();
    noFade.fadeOutSensor1 = false;
    EXPECT_EQ(WindroseUpdate(noFade, period, sensors), Dial(270, 90, 0.0, "m/s"));
}

TEST_F(WindroseUpdateTest, MissingValuesAndSensorsShowNothing) {
    Set("WR", -99999.0f);
    Set("WB", 360.0f);
    const WindroseValues missing = WindroseUpdate(Settings(), period, sensors);
    EXPECT_FALSE(missing.HasDirection());
    EXPECT_FALSE(missing.HasSecondDirection());

    WindRoseSettings unknown;
    unknown.sensor1 = "XX";
    unknown.sensor3 = "YY";
    const WindroseValues none = WindroseUpdate(unknown, period, sensors);
    EXPECT_EQ(none, WindroseValues{});
    EXPECT_EQ(WindroseCaption(unknown, sensors), "Windrose   (\"XX\\YY\")");
}

TEST_F(WindroseUpdateTest, SensorListsOfferNoneAndEveryNamedSensorKeepingAVanishedChoice) {
    const std::vector<WindroseSensorChoice> choices = WindroseSensorChoices(sensors, Settings());
    ASSERT_GE(choices.size(), 4u);
    EXPECT_EQ(choices[0], (WindroseSensorChoice{"", ""}));
    EXPECT_EQ(choices[1], (WindroseSensorChoice{"WR", "WR  Wind direction"}));
    EXPECT_EQ(WindroseChoiceIndex(choices, "WG"), 3);
    EXPECT_EQ(WindroseChoiceIndex(choices, ""), 0);
    EXPECT_EQ(WindroseChoiceIndex(choices, "XX"), 0);

    WindRoseSettings vanished;
    vanished.sensor3 = "XX";
    const std::vector<WindroseSensorChoice> kept = WindroseSensorChoices(sensors, vanished);
    EXPECT_EQ(kept.back(), (WindroseSensorChoice{"XX", "XX"}));
    EXPECT_EQ(WindroseChoiceIndex(kept, "XX"), static_cast<int>(kept.size()) - 1);
}

}  // namespace
