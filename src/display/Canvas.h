#pragma once

// Canvas: where the painters draw (screen, image or printer).

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// A rectangle in device pixels; right and bottom lie outside it, as the
// painters' layouts count them.
struct CanvasRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const CanvasRect&) const = default;
};

struct CanvasPoint {
    int x = 0;
    int y = 0;
    bool operator==(const CanvasPoint&) const = default;
};

struct TextExtent {
    int cx = 0;
    int cy = 0;
    bool operator==(const TextExtent&) const = default;
};

enum class PenStyle { kSolid, kDotted, kNone };
enum class TextAlign { kLeft, kCentre, kRight };

// The drawing operations the painters need. Colours are Windows values (red in
// the low byte); texts are Windows-1252 bytes. A pen, brush, font or text
// colour stays selected until it is changed or the state is restored.
class Canvas {
public:
    virtual ~Canvas() = default;

    // Keeps pen, brush, font, text colour and clipping; Restore brings back the
    // latest saved state. Calls nest.
    virtual void Save() = 0;
    virtual void Restore() = 0;

    virtual void SetPen(std::uint32_t colour, int width, PenStyle style = PenStyle::kSolid) = 0;
    virtual void SetBrush(std::uint32_t colour) = 0;
    // Shapes are outlined only.
    virtual void SetHollowBrush() = 0;
    // A face ("arial") at a size in points, scaled to the device's resolution.
    virtual void SetFont(std::string_view face, double pointSize, bool bold = false) = 0;
    virtual void SetTextColour(std::uint32_t colour) = 0;
    // Width and height of one line of text in the selected font.
    virtual TextExtent TextSize(std::string_view text) = 0;

    // A line with the pen from (x1, y1) up to, not including, (x2, y2).
    virtual void Line(int x1, int y1, int x2, int y2) = 0;
    // Connected lines through the points with the pen.
    virtual void Polyline(std::span<const CanvasPoint> points) = 0;
    // Single pixels in the pen's colour.
    virtual void Points(std::span<const CanvasPoint> points) = 0;
    // Outlined with the pen, filled with the brush.
    virtual void Rectangle(const CanvasRect& rect) = 0;
    virtual void Ellipse(const CanvasRect& rect) = 0;
    virtual void Polygon(std::span<const CanvasPoint> points) = 0;
    // Filled with a colour, no outline; the brush stays.
    virtual void FillRect(const CanvasRect& rect, std::uint32_t colour) = 0;
    // One line of text in the text colour, vertically centred in the rectangle.
    virtual void DrawText(std::string_view text, const CanvasRect& rect, TextAlign align) = 0;

    // Limits drawing to the rectangle (until Restore).
    virtual void ClipTo(const CanvasRect& rect) = 0;
};
