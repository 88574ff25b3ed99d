#include "gui/display/CMultianzeigeCtrl.h"

#include <QContextMenuEvent>
#include <QPainter>

#include "gui/ui/QtCanvas.h"

namespace {

CanvasRect ToCanvasRect(const QRect& rect) {
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

}  // namespace

CMultianzeigeCtrl::CMultianzeigeCtrl(QWidget* parent) : QWidget(parent) {
    // Painted whole every time; the widget's backing store is the off-screen copy.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    setMinimumSize(160, 120);
}

void CMultianzeigeCtrl::SetValues(const MultiDisplayValues& values) {
    m_values = values;
    m_swing.Take(values.mainDirection);
    update();
}

void CMultianzeigeCtrl::SetColours(const MultiDisplayColours& colours) {
    m_colours = colours;
    update();
}

void CMultianzeigeCtrl::SetDataNotice(bool shown) {
    if (m_dataNotice == shown) return;
    m_dataNotice = shown;
    update();
}

void CMultianzeigeCtrl::Render(QPainter& painter, const QRect& rect) const {
    painter.drawImage(rect.topLeft(), Background(rect.size(), painter.device()->devicePixelRatioF(),
                                                 Multianzeige::ShowsWind(m_values)));
    QtCanvas canvas(painter);
    // Unlike the diagram's grid, the compass is round: smooth edges, undone
    // with the canvas's state.
    painter.setRenderHint(QPainter::Antialiasing);
    Multianzeige(canvas, ToCanvasRect(rect), m_colours)
        .PaintValues(m_values, m_swing, m_dataNotice);
}

const QImage& CMultianzeigeCtrl::Background(const QSize& size, qreal pixelRatio,
                                            bool windTiles) const {
    const QSize pixels = size * pixelRatio;
    if (pixels.isEmpty()) {
        m_background = QImage();
        return m_background;
    }
    if (m_background.size() == pixels && m_background.devicePixelRatio() == pixelRatio &&
        m_backgroundColours == m_colours && m_backgroundWind == windTiles)
        return m_background;
    m_background = QImage(pixels, QImage::Format_RGB32);
    m_background.setDevicePixelRatio(pixelRatio);
    m_backgroundColours = m_colours;
    m_backgroundWind = windTiles;
    QPainter painter(&m_background);
    QtCanvas canvas(painter);
    painter.setRenderHint(QPainter::Antialiasing);
    Multianzeige(canvas, {0, 0, size.width(), size.height()}, m_colours).PaintBackground(windTiles);
    return m_background;
}

int CMultianzeigeCtrl::AdditionalTileAt(const QPoint& point) const {
    return MultiDisplayLayout(ToCanvasRect(rect())).AdditionalTileAt({point.x(), point.y()});
}

void CMultianzeigeCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Render(painter, rect());
}

void CMultianzeigeCtrl::contextMenuEvent(QContextMenuEvent* event) {
    if (const int tile = AdditionalTileAt(event->pos()))
        emit TileMenuRequested(tile, event->globalPos());
    else
        emit ColourMenuRequested(event->globalPos());
    event->accept();
}
