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
    QtCanvas canvas(painter);
    // Unlike the diagram's grid, the compass is round: smooth edges, undone
    // with the canvas's state.
    painter.setRenderHint(QPainter::Antialiasing);
    Multianzeige painterObject(canvas, ToCanvasRect(rect), m_colours);
    painterObject.Paint(m_values, m_swing, m_dataNotice);
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
