#include "gui/display/CWindroseCtrl.h"

#include <QPainter>

#include "gui/ui/ColourValue.h"
#include "gui/ui/QtCanvas.h"

CWindroseCtrl::CWindroseCtrl(QWidget* parent) : QWidget(parent) {
    // The dial covers every pixel: nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(60, 60);
}

void CWindroseCtrl::SetValues(const WindroseValues& values) {
    m_values = values;
    update();
}

void CWindroseCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QtCanvas canvas(painter);
    // A round dial with slanted needles looks ragged without smoothing.
    painter.setRenderHint(QPainter::Antialiasing, true);
    WindroseColours colours;
    colours.sector = ToColourValue(palette().color(QPalette::Button));
    Windrose(canvas, {0, 0, width(), height()}, SharedWindDirectionTracker(), colours)
        .Paint(m_values);
}
