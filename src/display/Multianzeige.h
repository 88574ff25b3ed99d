#pragma once

// Multianzeige ("multi display") paints a station's wind compass and value tiles.

#include <cstdint>
#include <string>
#include <string_view>

#include "display/Canvas.h"
#include "display/DirectionSwing.h"
#include "display/MultiDisplayValues.h"

struct MultiDisplayColours {
    std::uint32_t tile = MultiDisplaySettings::kDefaultTile;
    std::uint32_t background = MultiDisplaySettings::kDefaultBackground;
    std::uint32_t text = MultiDisplaySettings::kDefaultText;
    bool operator==(const MultiDisplayColours&) const = default;
};

// The geometry of the multi display on a client rectangle. Positions are
// logical units with y growing upwards: 1050 units span half the smaller side
// of the client (in a window narrower than 1.2 times its height, less, so
// that the compass fits left of its centre), the origin (the compass centre)
// lies at a third of the width and at the height divided by 1.95. The compass
// ring has a radius of 800; the right-hand column of tiles starts at x = 1050.
class MultiDisplayLayout {
public:
    explicit MultiDisplayLayout(const CanvasRect& client);

    const CanvasRect& Client() const { return m_client; }
    // False when the client is too small to draw anything but its background.
    bool Usable() const { return m_scale > 0; }

    CanvasPoint Point(double x, double y) const;
    // A rectangle from its logical corners (top above bottom).
    CanvasRect Rect(double left, double top, double right, double bottom) const;
    // A length in device pixels, at least 1.
    int Pixels(double units) const;

    // The client edges in logical units.
    double Top() const { return m_top; }
    double Bottom() const { return m_bottom; }
    double Left() const { return m_left; }
    double Right() const { return m_right; }
    // A sixth of the client height less 50: the column tiles and the wind tiles.
    double TileHeight() const { return m_tileHeight; }

    // The right-hand column: 0 the direction tile, 1 to 5 the additional tiles.
    CanvasRect ColumnTile(int index) const;
    CanvasRect SpeedTile() const;    // "WG", top right of the compass
    CanvasRect AverageTile() const;  // "WD", bottom left
    CanvasRect PeakTile() const;     // "WS", bottom right
    // The additional tile (1 to 5) under a device point; 0 when none is.
    int AdditionalTileAt(CanvasPoint point) const;

private:
    CanvasRect m_client;
    double m_scale = 0;  // device pixels per logical unit
    double m_originX = 0;
    double m_originY = 0;
    double m_top = 0;
    double m_bottom = 0;
    double m_left = 0;
    double m_right = 0;
    double m_tileHeight = 0;
};

// One paint of the multi display: the background, the frames of the tiles and
// the compass; over them the wind situation while there is a main direction
// (direction tile, swing, second direction, needle, wind values), the
// additional tiles and the data time. Texts are sized in pixels and shrunk until they fit their
// tile. Owns no data.
class Multianzeige {
public:
    static constexpr const char* kNoValue = "-----";
    // Values below this are shown as kNoValue.
    static constexpr float kNoValueLimit = -9000.0f;

    Multianzeige(Canvas& canvas, const CanvasRect& client, const MultiDisplayColours& colours);

    // The whole display: PaintBackground, then PaintValues.
    void Paint(const MultiDisplayValues& values, const DirectionSwing& swing, bool dataNotice);
    // What changes only with the size, the colours and whether the wind is
    // shown: the background, the frames of the tiles with the wind tiles'
    // labels, and the compass ring with its points. A window keeps it and
    // paints the values over it.
    void PaintBackground(bool windTiles);
    // Everything that follows the values, over the background.
    void PaintValues(const MultiDisplayValues& values, const DirectionSwing& swing,
                     bool dataNotice);
    // There is a main direction (0 to 359): the wind tiles, needle and swing are shown.
    static bool ShowsWind(const MultiDisplayValues& values);

    const MultiDisplayLayout& Layout() const { return m_layout; }

private:
    void DrawDataNotice();
    void DrawColumn();
    void DrawDirectionTile(const MultiDisplayValues& values, const DirectionSwing& swing);
    void DrawSwing(const DirectionSwing& swing);
    void DrawSecondDirection(int direction);
    void DrawNeedle(int direction);
    void DrawWindFrames();
    void DrawWindValue(const CanvasRect& tile, const MultiTile& value);
    void DrawAdditionalTile(const CanvasRect& tile, const MultiTile& value);
    void DrawCompass();
    void DrawTimeText(const std::string& text);

    // A bold Arial font whose line is `pixels` high.
    void SetFontHeight(double pixels);
    // The same, made smaller until the widest of `texts` fits `width` pixels.
    void FitFont(double pixels, int width, std::initializer_list<std::string_view> texts);
    void Text(std::string_view text, const CanvasRect& rect, TextAlign align = TextAlign::kCentre);
    // A text of `units` height centred on a logical point.
    void TextAt(std::string_view text, double x, double y, double units);

    Canvas& m_canvas;
    MultiDisplayLayout m_layout;
    MultiDisplayColours m_colours;
    double m_pointsPerPixel = 0.75;
};
