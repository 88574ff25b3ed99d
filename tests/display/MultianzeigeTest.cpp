#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "RecordingCanvas.h"
#include "display/Multianzeige.h"

namespace {

using Kind = RecordingCanvas::Kind;

constexpr CanvasRect kWide = {0, 0, 1600, 900};
constexpr std::uint32_t kNoticeFill = 0x00C8C8;  // RGB(200, 200, 0)

MultiTile Tile(float value, int digits, const char* unit, const char* name = "") {
    return {value, digits, unit, name};
}

// A station with every sensor: the wind from 40 degrees, the second direction 200.
MultiDisplayValues Station() {
    MultiDisplayValues values;
    values.mainDirection = 40;
    values.secondDirection = 200;
    values.speed = Tile(3.4f, 1, "m/s");
    values.average = Tile(2.1f, 1, "m/s");
    values.peak = Tile(7.9f, 1, "m/s");
    values.additional = {Tile(12.5f, 1,
                              "\xB0"
                              "C",
                              "Temperature"),
                         Tile(80, 0, "%", "Humidity"), Tile(1013.2f, 1, "hPa", "Pressure"),
                         Tile(0, 1, "mm", "Rain"), Tile(5, 0, "h", "Sunshine")};
    values.timeText = "12:00:00    10.07.24";
    return values;
}

DirectionSwing SwingOf(std::initializer_list<int> directions) {
    DirectionSwing swing;
    for (int direction : directions) swing.Take(direction);
    return swing;
}

struct Painted {
    RecordingCanvas canvas;
    MultiDisplayLayout layout{kWide};

    Painted(const MultiDisplayValues& values, const DirectionSwing& swing, bool notice = false,
            const CanvasRect& client = kWide)
        : layout(client) {
        Multianzeige(canvas, client, {}).Paint(values, swing, notice);
    }

    bool Drew(const std::string& text) const {
        const auto texts = canvas.Texts();
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
    // The texts drawn inside `area`, in order.
    std::vector<std::string> TextsIn(const CanvasRect& area) const {
        std::vector<std::string> found;
        for (const auto& call : canvas.CallsOf(Kind::kText)) {
            const int x = (call.rect.left + call.rect.right) / 2;
            const int y = (call.rect.top + call.rect.bottom) / 2;
            if (x >= area.left && x < area.right && y >= area.top && y < area.bottom)
                found.push_back(call.text);
        }
        return found;
    }
    std::size_t Count(Kind kind) const { return canvas.CallsOf(kind).size(); }
    // The dots of the compass ring, largest first: north, east, south, west;
    // the other multiples of 45 degrees; every other 5 degrees.
    std::vector<std::size_t> RingDots() const {
        std::vector<std::size_t> sizes;
        for (const auto& call : canvas.CallsOf(Kind::kPoints)) sizes.push_back(call.points.size());
        return sizes;
    }
};

// ---- Layout ------------------------------------------------------------------------

class MultiLayoutSizes : public ::testing::TestWithParam<CanvasRect> {};

TEST_P(MultiLayoutSizes, TilesStayInsideTheClientWithEvenGaps) {
    const CanvasRect client = GetParam();
    const MultiDisplayLayout layout(client);
    auto inside = [&](const CanvasRect& r) {
        return r.left >= client.left && r.right <= client.right && r.top >= client.top &&
               r.bottom <= client.bottom && r.Width() > 0 && r.Height() > 0;
    };
    const int height = layout.ColumnTile(0).Height();
    for (int i = 0; i < 6; ++i) {
        const CanvasRect tile = layout.ColumnTile(i);
        EXPECT_TRUE(inside(tile)) << "column tile " << i;
        EXPECT_NEAR(tile.Height(), height, 1) << "column tile " << i;
        EXPECT_GT(tile.left, layout.Point(800 + 60, 0).x) << "right of the compass ring";
    }
    // As much room above the first tile as below the last.
    EXPECT_NEAR(layout.ColumnTile(0).top - client.top, client.bottom - layout.ColumnTile(5).bottom,
                1);
    for (const CanvasRect& tile : {layout.SpeedTile(), layout.AverageTile(), layout.PeakTile()}) {
        EXPECT_TRUE(inside(tile));
        EXPECT_NEAR(tile.Height(), height, 1);
    }
    // The compass ring with its largest dots fits between top and bottom.
    EXPECT_GE(layout.Point(0, 830).y, client.top);
    EXPECT_LE(layout.Point(0, -830).y, client.bottom);
    EXPECT_GE(layout.Point(-830, 0).x, client.left);
}

INSTANTIATE_TEST_SUITE_P(Screens, MultiLayoutSizes,
                         ::testing::Values(CanvasRect{0, 0, 1600, 900}, CanvasRect{0, 0, 800, 600},
                                           CanvasRect{0, 0, 1920, 1080},
                                           CanvasRect{0, 0, 1280, 1024},
                                           CanvasRect{10, 20, 1034, 620},
                                           CanvasRect{0, 0, 420, 600}, CanvasRect{0, 0, 600, 900}));

TEST(MultiLayout, RightClickFindsTheAdditionalTileUnderIt) {
    const MultiDisplayLayout layout(kWide);
    auto centre = [](const CanvasRect& r) {
        return CanvasPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    };
    for (int tile = 1; tile <= 5; ++tile)
        EXPECT_EQ(layout.AdditionalTileAt(centre(layout.ColumnTile(tile))), tile);
    EXPECT_EQ(layout.AdditionalTileAt(centre(layout.ColumnTile(0))), 0) << "direction tile";
    EXPECT_EQ(layout.AdditionalTileAt(layout.Point(0, 0)), 0) << "compass";
    EXPECT_EQ(MultiDisplayLayout({0, 0, 0, 0}).AdditionalTileAt({0, 0}), 0);
}

// ---- What is drawn ---------------------------------------------------------------------

TEST(Multianzeige, WithAMainDirectionEveryPartIsDrawn) {
    const Painted painted(Station(), SwingOf({20, 40}));
    const MultiDisplayLayout& layout = painted.layout;
    EXPECT_EQ(
        painted.TextsIn(layout.ColumnTile(0)),
        (std::vector<std::string>{"    Main direction", "200deg", "From: 20deg    To: 40deg"}));
    EXPECT_EQ(painted.TextsIn(layout.SpeedTile()),
              (std::vector<std::string>{"Windspeed", "3.4m/s"}));
    EXPECT_EQ(painted.TextsIn(layout.AverageTile()),
              (std::vector<std::string>{"Windaverage", "2.1m/s"}));
    EXPECT_EQ(painted.TextsIn(layout.PeakTile()), (std::vector<std::string>{"Windpeak", "7.9m/s"}));
    // The additional tiles write a decimal comma; the wind tiles do not.
    EXPECT_EQ(painted.TextsIn(layout.ColumnTile(1)), (std::vector<std::string>{"Temperature",
                                                                               "12,5\xB0"
                                                                               "C"}));
    EXPECT_EQ(painted.TextsIn(layout.ColumnTile(3)),
              (std::vector<std::string>{"Pressure", "1013,2hPa"}));
    for (const char* text : {"Wind from", "40deg", "20deg", "N",   "NE",
                             "E",         "SE",    "S",     "SW",  "W",
                             "NW",        "NNE",   "ENE",   "ESE", "SSE",
                             "SSW",       "WSW",   "WNW",   "NNW", "12:00:00    10.07.24"})
        EXPECT_TRUE(painted.Drew(text)) << text;
    EXPECT_FALSE(painted.Drew("Data..."));
    // The background, the six column frames and the three wind tiles.
    const auto fills = painted.canvas.CallsOf(Kind::kFillRect);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills.front().rect, kWide);
    EXPECT_EQ(fills.front().colour, MultiDisplaySettings::kDefaultBackground);
    EXPECT_EQ(painted.Count(Kind::kRectangle), 9u);
    // Needle, second direction and swing band; the needle's hub.
    EXPECT_EQ(painted.Count(Kind::kPolygon), 3u);
    EXPECT_EQ(painted.Count(Kind::kEllipse), 1u);
    EXPECT_EQ(painted.RingDots(), (std::vector<std::size_t>{4, 4, 64}));
}

// The window keeps the background and paints the values over it: together they
// must show what one whole paint shows.
TEST(Multianzeige, BackgroundAndValuesTogetherAreTheWholePicture) {
    for (const int main : {40, kNoDirection}) {
        MultiDisplayValues values = Station();
        values.mainDirection = main;
        const Painted whole(values, SwingOf({20, 40}), true);
        RecordingCanvas layered;
        Multianzeige(layered, kWide, {}).PaintBackground(Multianzeige::ShowsWind(values));
        Multianzeige(layered, kWide, {}).PaintValues(values, SwingOf({20, 40}), true);
        EXPECT_EQ(layered.Texts(), whole.canvas.Texts()) << "main direction " << main;
        EXPECT_EQ(layered.CallsOf(Kind::kRectangle).size(), whole.Count(Kind::kRectangle));
    }
}

TEST(Multianzeige, WithoutMainSensorOnlyTheFramesAdditionalTilesCompassAndTimeAreDrawn) {
    MultiDisplayValues values = Station();
    values.mainDirection = kNoDirection;
    const Painted painted(values, SwingOf({20, 40}));
    EXPECT_TRUE(painted.TextsIn(painted.layout.ColumnTile(0)).empty()) << "frame only";
    for (const char* text : {"Windspeed", "Windaverage", "Windpeak", "Wind from", "20deg"})
        EXPECT_FALSE(painted.Drew(text)) << text;
    for (const char* text : {"Temperature",
                             "12,5\xB0"
                             "C",
                             "N", "NNW", "12:00:00    10.07.24"})
        EXPECT_TRUE(painted.Drew(text)) << text;
    EXPECT_EQ(painted.Count(Kind::kRectangle), 6u);
    EXPECT_EQ(painted.Count(Kind::kPolygon), 0u) << "no needle, marker or swing";
    EXPECT_EQ(painted.Count(Kind::kEllipse), 0u) << "no hub";
    EXPECT_EQ(painted.RingDots(), (std::vector<std::size_t>{4, 4, 64})) << "the ring stays";
}

TEST(Multianzeige, WithoutSecondDirectionTheTileShowsDashesAndTheSwing) {
    MultiDisplayValues values = Station();
    values.secondDirection = kNoDirection;
    const Painted painted(values, SwingOf({40}));
    EXPECT_EQ(painted.TextsIn(painted.layout.ColumnTile(0)),
              (std::vector<std::string>{"-----", "From: 40deg    To: 40deg"}));
    EXPECT_EQ(painted.Count(Kind::kPolygon), 1u) << "the needle; no marker, no band for one value";
}

TEST(Multianzeige, TheMasterNamesTheDirectionTile) {
    for (const auto& [master, label] :
         {std::pair{1, "    Main direction"}, std::pair{2, "    Winddirection"}}) {
        MultiDisplayValues values = Station();
        values.directionMaster = master;
        const Painted painted(values, SwingOf({40}));
        EXPECT_EQ(painted.TextsIn(painted.layout.ColumnTile(0)).front(), label);
    }
}

TEST(Multianzeige, NorthIsADirection) {
    MultiDisplayValues values = Station();
    values.mainDirection = RoundDirection(358, DirectionSteps::kFive);
    const Painted painted(values, SwingOf({values.mainDirection}));
    EXPECT_TRUE(painted.Drew("Windspeed"));
    EXPECT_TRUE(painted.Drew("From: 0deg    To: 0deg"));
    // The swing's mark lies north, the needle's label opposite its point, south.
    const auto texts = painted.canvas.CallsOf(Kind::kText);
    const int centre = painted.layout.Point(0, 0).y;
    EXPECT_EQ(std::count_if(
                  texts.begin(), texts.end(),
                  [&](const auto& call) { return call.text == "0deg" && call.rect.top > centre; }),
              1);
}

struct ValueCase {
    const char* name;
    float value;
    int digits;
    const char* unit;
    const char* windText;
    const char* additionalText;
};

class MultiValueTexts : public ::testing::TestWithParam<ValueCase> {};

TEST_P(MultiValueTexts, WindAndAdditionalTilesWriteTheValue) {
    const ValueCase& c = GetParam();
    MultiDisplayValues values = Station();
    values.speed = Tile(c.value, c.digits, c.unit);
    values.additional[0] = Tile(c.value, c.digits, c.unit, "Name");
    const Painted painted(values, SwingOf({40}));
    EXPECT_EQ(painted.TextsIn(painted.layout.SpeedTile()),
              (std::vector<std::string>{"Windspeed", c.windText}));
    EXPECT_EQ(painted.TextsIn(painted.layout.ColumnTile(1)),
              (std::vector<std::string>{"Name", c.additionalText}));
}

INSTANTIATE_TEST_SUITE_P(
    Values, MultiValueTexts,
    ::testing::Values(
        ValueCase{"OneDigit", 12.5f, 1,
                  "\xB0"
                  "C",
                  "12.5\xB0"
                  "C",
                  "12,5\xB0"
                  "C"},
        ValueCase{"TwoDigits", 1013.25f, 2, "hPa", "1013.25hPa", "1013,25hPa"},
        ValueCase{"NoDigits", 80.4f, 0, "%", "80%", "80%"},
        ValueCase{"Missing", -99999.0f, 1,
                  "\xB0"
                  "C",
                  "-----", "-----"},
        ValueCase{"JustBelowLimit", -9000.5f, 1, "", "-----", "-----"},
        ValueCase{"AtLimit", -9000.0f, 0, "", "-9000", "-9000"},
        ValueCase{"NotFound", -1.0f, 0, "", "-1", "-1"},
        ValueCase{"NotANumber", std::numeric_limits<float>::quiet_NaN(), 1, "", "-----", "-----"},
        ValueCase{"Infinite", std::numeric_limits<float>::infinity(), 1, "", "-----", "-----"}),
    [](const auto& info) { return info.param.name; });

TEST(Multianzeige, DataNoticeIsAYellowBoxWithItsText) {
    const Painted shown(Station(), SwingOf({40}), true);
    EXPECT_TRUE(shown.Drew("Data..."));
    const auto boxes = shown.canvas.CallsOf(Kind::kRectangle);
    EXPECT_TRUE(std::any_of(boxes.begin(), boxes.end(),
                            [](const auto& call) { return call.colour == kNoticeFill; }));
    const Painted hidden(Station(), SwingOf({40}), false);
    EXPECT_FALSE(hidden.Drew("Data..."));
}

TEST(Multianzeige, SwingAcrossNorthIsShadedTheShortWayWithItsExtremes) {
    const Painted painted(Station(), SwingOf({350, 20}));
    EXPECT_TRUE(painted.Drew("350deg"));
    EXPECT_TRUE(painted.Drew("20deg"));
    EXPECT_TRUE(painted.Drew("From: 350deg    To: 20deg"));
    // The band lies right and left of north only, above the centre.
    const auto polygons = painted.canvas.CallsOf(Kind::kPolygon);
    const auto band = std::max_element(polygons.begin(), polygons.end(), [](auto& a, auto& b) {
        return a.points.size() < b.points.size();
    });
    for (const CanvasPoint& point : band->points) EXPECT_LT(point.y, painted.layout.Point(0, 0).y);
}

TEST(Multianzeige, ClientsWithoutRoomOnlyGetTheirBackground) {
    for (const CanvasRect client : {CanvasRect{0, 0, 0, 0}, CanvasRect{5, 5, 3, 2}}) {
        const Painted painted(Station(), SwingOf({40}), true, client);
        EXPECT_EQ(painted.Count(Kind::kFillRect), 1u);
        EXPECT_TRUE(painted.canvas.Texts().empty());
    }
    // The smallest window still draws without trouble.
    const Painted tiny(Station(), SwingOf({40}), true, {0, 0, 2, 1});
    EXPECT_EQ(tiny.canvas.OpenSaves(), 0);
}

}  // namespace
