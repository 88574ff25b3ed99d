#pragma once

#include <QColor>
#include <QFontMetrics>
#include <QPen>
#include <QPoint>
#include <optional>
#include <string>
#include <vector>

#include "display/Canvas.h"

class QPainter;

// QtCanvas draws the painters' output with a QPainter on a widget, an image or
// a printer alike: font sizes are points that the painter's device resolves.
// The painter's state is saved on construction and restored on destruction.
class QtCanvas : public Canvas {
public:
    explicit QtCanvas(QPainter& painter);
    ~QtCanvas() override;
    QtCanvas(const QtCanvas&) = delete;
    QtCanvas& operator=(const QtCanvas&) = delete;

    void Save() override;
    void Restore() override;

    void SetPen(std::uint32_t colour, int width, PenStyle style = PenStyle::kSolid) override;
    void SetBrush(std::uint32_t colour) override;
    void SetHollowBrush() override;
    void SetFont(std::string_view face, double pointSize, bool bold = false) override;
    void SetTextColour(std::uint32_t colour) override;
    TextExtent TextSize(std::string_view text) override;

    void Line(int x1, int y1, int x2, int y2) override;
    void Polyline(std::span<const CanvasPoint> points) override;
    void Points(std::span<const CanvasPoint> points) override;
    void Rectangle(const CanvasRect& rect) override;
    void Ellipse(const CanvasRect& rect) override;
    void Polygon(std::span<const CanvasPoint> points) override;
    void FillRect(const CanvasRect& rect, std::uint32_t colour) override;
    void DrawText(std::string_view text, const CanvasRect& rect, TextAlign align) override;

    void ClipTo(const CanvasRect& rect) override;

private:
    // What QPainter::save does not keep, or keeps where it costs a lookup.
    struct State {
        QPen pen;
        QColor textColour;
        std::optional<QFontMetrics> metrics;
        std::string fontFace;
        double fontPoints = 0;
        bool fontBold = false;
    };

    const QFontMetrics& Metrics();
    const QPoint* ToQPoints(std::span<const CanvasPoint> points);

    QPainter& m_painter;
    State m_state;
    std::vector<State> m_saved;
    std::vector<QPoint> m_points;  // kept: grid dots come on every mouse move
};
