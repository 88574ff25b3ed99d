#include "gui/ui/QtCanvas.h"

#include <algorithm>
#include <utility>

#include <QFont>
#include <QPainter>
#include <QRect>

#include "gui/ui/ColourValue.h"
#include "gui/ui/Text.h"

namespace {

QRect ToQRect(const CanvasRect& rect) {
    return QRect(rect.left, rect.top, rect.Width(), rect.Height());
}

// The outline of a shape covers its right and bottom edge in Qt but not in the
// painters' rectangles.
QRect OutlineRect(const CanvasRect& rect) {
    return QRect(rect.left, rect.top, std::max(rect.Width() - 1, 0),
                 std::max(rect.Height() - 1, 0));
}

Qt::PenStyle ToQtStyle(PenStyle style) {
    switch (style) {
        case PenStyle::kDotted:
            return Qt::DotLine;
        case PenStyle::kNone:
            return Qt::NoPen;
        case PenStyle::kSolid:
            break;
    }
    return Qt::SolidLine;
}

Qt::Alignment ToQtAlignment(TextAlign align) {
    switch (align) {
        case TextAlign::kCentre:
            return Qt::AlignHCenter;
        case TextAlign::kRight:
            return Qt::AlignRight;
        case TextAlign::kLeft:
            break;
    }
    return Qt::AlignLeft;
}

}  // namespace

QtCanvas::QtCanvas(QPainter& painter) : m_painter(painter) {
    m_painter.save();
    // Grid dots and 1-px lines stay crisp; texts keep their own smoothing.
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_state.pen = m_painter.pen();
    m_state.textColour = Qt::black;
}

QtCanvas::~QtCanvas() {
    for (std::size_t i = 0; i < m_saved.size(); ++i) m_painter.restore();
    m_painter.restore();
}

void QtCanvas::Save() {
    m_painter.save();
    m_saved.push_back(m_state);
}

void QtCanvas::Restore() {
    if (m_saved.empty()) return;
    m_painter.restore();
    m_state = std::move(m_saved.back());
    m_saved.pop_back();
}

void QtCanvas::SetPen(std::uint32_t colour, int width, PenStyle style) {
    m_state.pen =
        QPen(ToQColor(colour), std::max(width, 1), ToQtStyle(style), Qt::RoundCap, Qt::RoundJoin);
    m_painter.setPen(m_state.pen);
}

void QtCanvas::SetBrush(std::uint32_t colour) { m_painter.setBrush(ToQColor(colour)); }

void QtCanvas::SetHollowBrush() { m_painter.setBrush(Qt::NoBrush); }

void QtCanvas::SetFont(std::string_view face, double pointSize, bool bold) {
    if (m_state.metrics && m_state.fontFace == face && m_state.fontPoints == pointSize &&
        m_state.fontBold == bold) {
        return;
    }
    QFont font(FromBytes(face));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    m_painter.setFont(font);
    // The painter's font is resolved for its device (screen, image or printer
    // resolution), and so are these metrics.
    m_state.metrics.emplace(m_painter.fontMetrics());
    m_state.fontFace = face;
    m_state.fontPoints = pointSize;
    m_state.fontBold = bold;
}

void QtCanvas::SetTextColour(std::uint32_t colour) { m_state.textColour = ToQColor(colour); }

const QFontMetrics& QtCanvas::Metrics() {
    if (!m_state.metrics) m_state.metrics.emplace(m_painter.fontMetrics());
    return *m_state.metrics;
}

TextExtent QtCanvas::TextSize(std::string_view text) {
    const QFontMetrics& metrics = Metrics();
    return {metrics.horizontalAdvance(FromBytes(text)), metrics.height()};
}

const QPoint* QtCanvas::ToQPoints(std::span<const CanvasPoint> points) {
    m_points.resize(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) m_points[i] = {points[i].x, points[i].y};
    return m_points.data();
}

void QtCanvas::Line(int x1, int y1, int x2, int y2) { m_painter.drawLine(x1, y1, x2, y2); }

void QtCanvas::Polyline(std::span<const CanvasPoint> points) {
    if (points.size() < 2) return;
    m_painter.drawPolyline(ToQPoints(points), static_cast<int>(points.size()));
}

void QtCanvas::Points(std::span<const CanvasPoint> points) {
    if (points.empty()) return;
    m_painter.drawPoints(ToQPoints(points), static_cast<int>(points.size()));
}

void QtCanvas::Rectangle(const CanvasRect& rect) { m_painter.drawRect(OutlineRect(rect)); }

void QtCanvas::Ellipse(const CanvasRect& rect) { m_painter.drawEllipse(OutlineRect(rect)); }

void QtCanvas::Polygon(std::span<const CanvasPoint> points) {
    if (points.empty()) return;
    m_painter.drawPolygon(ToQPoints(points), static_cast<int>(points.size()));
}

void QtCanvas::FillRect(const CanvasRect& rect, std::uint32_t colour) {
    m_painter.fillRect(ToQRect(rect), ToQColor(colour));
}

void QtCanvas::DrawText(std::string_view text, const CanvasRect& rect, TextAlign align) {
    // QPainter draws text with the pen; the pen comes back for the shapes.
    m_painter.setPen(m_state.textColour);
    m_painter.drawText(ToQRect(rect),
                       static_cast<int>(ToQtAlignment(align) | Qt::AlignVCenter) |
                           Qt::TextSingleLine | Qt::TextDontClip,
                       FromBytes(text));
    m_painter.setPen(m_state.pen);
}

void QtCanvas::ClipTo(const CanvasRect& rect) {
    m_painter.setClipRect(ToQRect(rect), Qt::IntersectClip);
}
