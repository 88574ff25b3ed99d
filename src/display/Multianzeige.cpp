#include "display/Multianzeige.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <tuple>
#include <vector>

#include "model/TextNumbers.h"

namespace {

constexpr const char* kFace = "Arial";
constexpr double kHalfExtent = 1050;  // logical units over half the smaller client side
constexpr double kOriginYDivisor = 1.95;
constexpr double kColumnLeft = 1050;
constexpr double kEdgeGap = 50;
constexpr double kTopGap = 25;
constexpr double kWindTileInner = 420;
constexpr double kWindTileOuter = 1000;
constexpr double kFrameUnits = 4;
constexpr double kTextInset = 30;  // each side: tile width minus 60

constexpr double kRingRadius = 800;
constexpr double kCompassReach = 850;  // the ring with its largest dots and a margin
constexpr double kMainPointRadius = 680;
constexpr double kMainPointHeight = 130;
constexpr double kMinorPointRadius = 690;
constexpr double kMinorPointHeight = 60;
constexpr double kNeedleLength = 750;
constexpr double kSwingOuter = 600;
constexpr double kSwingInner = 500;
constexpr double kSwingLabelRadius = 430;
constexpr double kSwingLabelHeight = 55;
constexpr double kSwingLabelOffset = 16;  // degrees
constexpr double kNeedleLabelRadius = 330;
constexpr double kNeedleLabelHeight = 110;
constexpr double kWindFromHeight = 150;
constexpr double kTimeHeight = 100;
constexpr double kNoticeHeight = 70;
// Texts under and over the compass stay between the wind tiles.
constexpr double kCentreTextHalfWidth = 410;

constexpr std::uint32_t kNoticeColour = 0x00C8C8;  // RGB(200, 200, 0)
constexpr std::uint32_t kNeedleColour = 0x0000B4;  // dark red
constexpr std::uint32_t kSecondColour = 0xC86400;  // blue
constexpr std::uint32_t kSwingColour = 0x8CD2FF;   // light orange

constexpr const char* kMainPoints[] = {"N", "NE", "E", "SE", "S", "SW", "W", "NW"};
constexpr const char* kMinorPoints[] = {"NNE", "ENE", "ESE", "SSE", "SSW", "WSW", "WNW", "NNW"};

double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

// A point at `radius` in the compass direction `degrees` (clockwise from north).
void Polar(double degrees, double radius, double& x, double& y) {
    x = radius * std::sin(Radians(degrees));
    y = radius * std::cos(Radians(degrees));
}

std::string Degrees(int direction) { return std::to_string(direction) + "deg"; }

// Missing values, and what a broken formula leaves (infinite, not a number), read as dashes.
bool Shown(float value) { return std::isfinite(value) && value >= Multianzeige::kNoValueLimit; }

std::string WindValueText(const MultiTile& tile) {
    if (!Shown(tile.value)) return Multianzeige::kNoValue;
    return TextNumbers::FormatFixed(tile.value, tile.digits) + tile.unit;
}

// The additional tiles write the decimal comma of the station's owners.
std::string AdditionalValueText(const MultiTile& tile) {
    if (!Shown(tile.value)) return Multianzeige::kNoValue;
    std::string number = TextNumbers::FormatFixed(tile.value, tile.digits);
    std::replace(number.begin(), number.end(), '.', ',');
    return number + tile.unit;
}

CanvasRect UpperHalf(const CanvasRect& rect) {
    return {rect.left, rect.top, rect.right, rect.top + rect.Height() / 2};
}

CanvasRect LowerHalf(const CanvasRect& rect) {
    return {rect.left, rect.top + rect.Height() / 2, rect.right, rect.bottom};
}

}  // namespace

// ---- Layout ----------------------------------------------------------------

MultiDisplayLayout::MultiDisplayLayout(const CanvasRect& client) : m_client(client) {
    const int width = client.Width();
    const int height = client.Height();
    if (width <= 0 || height <= 0) return;
    m_scale = std::min(width, height) / (2 * kHalfExtent);
    // A narrow window (docked at the side) would cut the compass at its left
    // edge: there the compass sets the scale.
    m_scale = std::min(m_scale, width / 3.0 / kCompassReach);
    m_originX = client.left + width / 3.0;
    m_originY = client.top + height / kOriginYDivisor;
    m_top = (m_originY - client.top) / m_scale;
    m_bottom = -(client.bottom - m_originY) / m_scale;
    m_left = -(m_originX - client.left) / m_scale;
    m_right = (client.right - m_originX) / m_scale;
    m_tileHeight = height / m_scale / 6 - kEdgeGap;
}

CanvasPoint MultiDisplayLayout::Point(double x, double y) const {
    return {static_cast<int>(std::lround(m_originX + x * m_scale)),
            static_cast<int>(std::lround(m_originY - y * m_scale))};
}

CanvasRect MultiDisplayLayout::Rect(double left, double top, double right, double bottom) const {
    const CanvasPoint topLeft = Point(left, top);
    const CanvasPoint bottomRight = Point(right, bottom);
    return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

int MultiDisplayLayout::Pixels(double units) const {
    return std::max(1, static_cast<int>(std::lround(units * m_scale)));
}

CanvasRect MultiDisplayLayout::ColumnTile(int index) const {
    const double top = m_top - kTopGap - index * (m_tileHeight + kEdgeGap);
    return Rect(kColumnLeft, top, m_right - kEdgeGap, top - m_tileHeight);
}

CanvasRect MultiDisplayLayout::SpeedTile() const {
    const double top = m_top - kTopGap;
    return Rect(kWindTileInner, top, kWindTileOuter, top - m_tileHeight);
}

CanvasRect MultiDisplayLayout::AverageTile() const {
    const double bottom = m_bottom + kTopGap;
    return Rect(m_left + kEdgeGap, bottom + m_tileHeight, -kWindTileInner, bottom);
}

CanvasRect MultiDisplayLayout::PeakTile() const {
    const double bottom = m_bottom + kTopGap;
    return Rect(kWindTileInner, bottom + m_tileHeight, kWindTileOuter, bottom);
}

int MultiDisplayLayout::AdditionalTileAt(CanvasPoint point) const {
    if (!Usable()) return 0;
    for (int index = 1; index <= static_cast<int>(MultiDisplaySettings::kTiles); ++index) {
        const CanvasRect tile = ColumnTile(index);
        if (tile.Width() > 0 && tile.Height() > 0 && point.x >= tile.left && point.x < tile.right &&
            point.y >= tile.top && point.y < tile.bottom)
            return index;
    }
    return 0;
}

// ---- Painter ---------------------------------------------------------------

Multianzeige::Multianzeige(Canvas& canvas, const CanvasRect& client,
                           const MultiDisplayColours& colours)
    : m_canvas(canvas), m_layout(client), m_colours(colours) {
    // Fonts are asked for in points but sized here in pixels: measure once how
    // the device turns the one into the other.
    constexpr double kProbePoints = 24;
    m_canvas.SetFont(kFace, kProbePoints, true);
    const int probeHeight = m_canvas.TextSize("Xg").cy;
    if (probeHeight > 0) m_pointsPerPixel = kProbePoints / probeHeight;
}

bool Multianzeige::ShowsWind(const MultiDisplayValues& values) {
    return values.mainDirection >= 0 && values.mainDirection <= 359;
}

void Multianzeige::Paint(const MultiDisplayValues& values, const DirectionSwing& swing,
                         bool dataNotice) {
    PaintBackground(ShowsWind(values));
    PaintValues(values, swing, dataNotice);
}

void Multianzeige::PaintBackground(bool windTiles) {
    m_canvas.FillRect(m_layout.Client(), m_colours.background);
    if (!m_layout.Usable()) return;
    m_canvas.SetTextColour(m_colours.text);
    DrawColumn();
    DrawCompass();
    if (windTiles) DrawWindFrames();
}

void Multianzeige::PaintValues(const MultiDisplayValues& values, const DirectionSwing& swing,
                               bool dataNotice) {
    if (!m_layout.Usable()) return;
    m_canvas.SetTextColour(m_colours.text);
    if (dataNotice) DrawDataNotice();

    if (ShowsWind(values)) {
        DrawDirectionTile(values, swing);
        if (swing.Known()) DrawSwing(swing);
        if (values.secondDirection >= 0 && values.secondDirection <= 359)
            DrawSecondDirection(values.secondDirection);
        DrawNeedle(values.mainDirection);
        DrawWindValue(m_layout.AverageTile(), values.average);
        DrawWindValue(m_layout.PeakTile(), values.peak);
        DrawWindValue(m_layout.SpeedTile(), values.speed);
    }

    for (std::size_t i = 0; i < values.additional.size(); ++i)
        DrawAdditionalTile(m_layout.ColumnTile(static_cast<int>(i) + 1), values.additional[i]);
    DrawTimeText(values.timeText);
}

void Multianzeige::DrawDataNotice() {
    m_canvas.SetPen(m_colours.text, 1);
    m_canvas.SetBrush(kNoticeColour);
    m_canvas.Rectangle(m_layout.Rect(-150, -350, 150, -450));
    TextAt("Data...", 0, -400, kNoticeHeight);
}

void Multianzeige::DrawColumn() {
    m_canvas.SetPen(m_colours.text, m_layout.Pixels(kFrameUnits));
    m_canvas.SetBrush(m_colours.tile);
    for (int index = 0; index <= static_cast<int>(MultiDisplaySettings::kTiles); ++index)
        m_canvas.Rectangle(m_layout.ColumnTile(index));
}

void Multianzeige::DrawDirectionTile(const MultiDisplayValues& values,
                                     const DirectionSwing& swing) {
    const CanvasRect tile = m_layout.ColumnTile(0);
    const bool second = values.secondDirection >= 0 && values.secondDirection <= 359;
    const std::string label = !second                       ? kNoValue
                              : values.directionMaster == 1 ? "    Main direction"
                                                            : "    Winddirection";
    const std::string value =
        second ? TextNumbers::FormatFixed(values.secondDirection, 0) + "deg" : "";
    const std::string range =
        swing.Known() ? "From: " + Degrees(swing.From()) + "    To: " + Degrees(swing.To()) : "";
    const int inset = m_layout.Pixels(kTextInset);
    FitFont(tile.Height() / 3.0, tile.Width() - 2 * inset, {label, value, range});
    const int row = tile.Height() / 3;
    const int left = tile.left + inset;
    Text(label, {left, tile.top, tile.right, tile.top + row}, TextAlign::kLeft);
    if (!value.empty())
        Text(value, {left, tile.top + row, tile.right, tile.top + 2 * row}, TextAlign::kLeft);
    if (!range.empty())
        Text(range, {left, tile.top + 2 * row, tile.right, tile.bottom}, TextAlign::kLeft);
}

void Multianzeige::DrawSwing(const DirectionSwing& swing) {
    const int from = swing.FromSigned();
    const int to = swing.ToSigned();
    if (to > from) {
        std::vector<CanvasPoint> band;
        constexpr int kStep = 3;
        double x = 0, y = 0;
        for (int angle = from;; angle = std::min(angle + kStep, to)) {
            Polar(angle, kSwingOuter, x, y);
            band.push_back(m_layout.Point(x, y));
            if (angle == to) break;
        }
        for (int angle = to;; angle = std::max(angle - kStep, from)) {
            Polar(angle, kSwingInner, x, y);
            band.push_back(m_layout.Point(x, y));
            if (angle == from) break;
        }
        m_canvas.SetPen(m_colours.text, 1);
        m_canvas.SetBrush(kSwingColour);
        m_canvas.Polygon(band);
    }
    // Just outside the sector: the needle always lies inside it.
    double x = 0, y = 0;
    Polar(from - kSwingLabelOffset, kSwingLabelRadius, x, y);
    TextAt(Degrees(swing.From()), x, y, kSwingLabelHeight);
    if (to != from) {
        Polar(to + kSwingLabelOffset, kSwingLabelRadius, x, y);
        TextAt(Degrees(swing.To()), x, y, kSwingLabelHeight);
    }
}

void Multianzeige::DrawSecondDirection(int direction) {
    // A wedge on the ring that points at the centre.
    double x = 0, y = 0;
    CanvasPoint wedge[3];
    Polar(direction, kRingRadius - 60, x, y);
    wedge[0] = m_layout.Point(x, y);
    Polar(direction - 4, kRingRadius + 60, x, y);
    wedge[1] = m_layout.Point(x, y);
    Polar(direction + 4, kRingRadius + 60, x, y);
    wedge[2] = m_layout.Point(x, y);
    m_canvas.SetPen(m_colours.text, 1);
    m_canvas.SetBrush(kSecondColour);
    m_canvas.Polygon(wedge);
}

void Multianzeige::DrawNeedle(int direction) {
    double x = 0, y = 0;
    CanvasPoint needle[4];
    Polar(direction, kNeedleLength, x, y);
    needle[0] = m_layout.Point(x, y);
    Polar(direction + 90, 45, x, y);
    needle[1] = m_layout.Point(x, y);
    Polar(direction + 180, 200, x, y);
    needle[2] = m_layout.Point(x, y);
    Polar(direction - 90, 45, x, y);
    needle[3] = m_layout.Point(x, y);
    m_canvas.SetPen(m_colours.text, m_layout.Pixels(kFrameUnits / 2));
    m_canvas.SetBrush(kNeedleColour);
    m_canvas.Polygon(needle);
    m_canvas.SetBrush(m_colours.text);
    m_canvas.Ellipse(m_layout.Rect(-40, 40, 40, -40));
    // Opposite the point, where the needle never covers it.
    Polar(direction + 180, kNeedleLabelRadius, x, y);
    TextAt(Degrees(direction), x, y, kNeedleLabelHeight);
}

void Multianzeige::DrawWindFrames() {
    constexpr const char* kLabels[] = {"Windaverage", "Windpeak", "Windspeed"};
    const CanvasRect tiles[] = {m_layout.AverageTile(), m_layout.PeakTile(), m_layout.SpeedTile()};
    m_canvas.SetPen(m_colours.text, m_layout.Pixels(kFrameUnits));
    m_canvas.SetBrush(m_colours.tile);
    int narrowest = tiles[0].Width();
    for (const CanvasRect& tile : tiles) {
        m_canvas.Rectangle(tile);
        narrowest = std::min(narrowest, tile.Width());
    }
    // One size for the three labels, so that they read alike.
    FitFont(tiles[0].Height() / 2.0, narrowest - 2 * m_layout.Pixels(kTextInset),
            {kLabels[0], kLabels[1], kLabels[2]});
    for (int i = 0; i < 3; ++i) Text(kLabels[i], UpperHalf(tiles[i]));

    const double top = m_layout.Top();
    SetFontHeight(m_layout.Pixels(kWindFromHeight));
    Text("Wind from",
         m_layout.Rect(-kCentreTextHalfWidth, top - kTopGap, kCentreTextHalfWidth, top - 200));
}

void Multianzeige::DrawWindValue(const CanvasRect& tile, const MultiTile& value) {
    const std::string text = WindValueText(value);
    FitFont(tile.Height() / 2.0, tile.Width() - 2 * m_layout.Pixels(kTextInset), {text});
    Text(text, LowerHalf(tile));
}

void Multianzeige::DrawAdditionalTile(const CanvasRect& tile, const MultiTile& value) {
    const std::string text = AdditionalValueText(value);
    FitFont(tile.Height() / 2.0, tile.Width() - 2 * m_layout.Pixels(kTextInset),
            {value.name, text});
    Text(value.name, UpperHalf(tile));
    Text(text, LowerHalf(tile));
}

void Multianzeige::DrawCompass() {
    // The ring: round dots drawn as points of a round pen, one call per size.
    double x = 0, y = 0;
    std::vector<CanvasPoint> dots;
    for (const auto& [size, every, skip] :
         {std::tuple{60, 90, 0}, std::tuple{45, 45, 90}, std::tuple{15, 5, 45}}) {
        dots.clear();
        for (int angle = 0; angle < 360; angle += every) {
            if (skip != 0 && angle % skip == 0) continue;
            Polar(angle, kRingRadius, x, y);
            dots.push_back(m_layout.Point(x, y));
        }
        m_canvas.SetPen(m_colours.text, m_layout.Pixels(size));
        m_canvas.Points(dots);
    }
    for (int i = 0; i < 8; ++i) {
        Polar(45.0 * i, kMainPointRadius, x, y);
        TextAt(kMainPoints[i], x, y, kMainPointHeight);
    }
    for (int i = 0; i < 8; ++i) {
        Polar(22.5 + 45.0 * i, kMinorPointRadius, x, y);
        TextAt(kMinorPoints[i], x, y, kMinorPointHeight);
    }
}

void Multianzeige::DrawTimeText(const std::string& text) {
    const double bottom = m_layout.Bottom();
    const CanvasRect rect = m_layout.Rect(-kCentreTextHalfWidth, bottom + 15 + kTimeHeight,
                                          kCentreTextHalfWidth, bottom + 15);
    FitFont(m_layout.Pixels(kTimeHeight), rect.Width(), {text});
    Text(text, rect);
}

void Multianzeige::SetFontHeight(double pixels) {
    m_canvas.SetFont(kFace, std::max(1.0, pixels * m_pointsPerPixel), true);
}

void Multianzeige::FitFont(double pixels, int width,
                           std::initializer_list<std::string_view> texts) {
    SetFontHeight(pixels);
    int widest = 0;
    for (std::string_view text : texts) widest = std::max(widest, m_canvas.TextSize(text).cx);
    if (widest > width && widest > 0) SetFontHeight(pixels * std::max(width, 0) / widest * 0.97);
}

void Multianzeige::Text(std::string_view text, const CanvasRect& rect, TextAlign align) {
    m_canvas.DrawText(text, rect, align);
}

void Multianzeige::TextAt(std::string_view text, double x, double y, double units) {
    const int height = m_layout.Pixels(units);
    SetFontHeight(height);
    // Centred in a box wider than any label: no measuring needed.
    const int halfWidth = height * 4;
    const CanvasPoint centre = m_layout.Point(x, y);
    Text(text, {centre.x - halfWidth, centre.y - height / 2, centre.x + halfWidth,
                centre.y + height / 2 + 1});
}
