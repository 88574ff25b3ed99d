#include "gui/display/CWetterView.h"

#include <QPainter>

#include "app/CWetterDoc.h"
#include "gui/ui/Text.h"

CWetterView::CWetterView(CWetterDoc& document, QWidget* parent)
    : QWidget(parent), m_document(document) {
    m_document.AttachView(this);
    setMinimumSize(200, 120);
}

CWetterView::~CWetterView() { m_document.DetachView(this); }

void CWetterView::ReloadData() {}

void CWetterView::DropSensor(const std::string&) {}

void CWetterView::UpdateView() { update(); }

void CWetterView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(Qt::darkGray);
    painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     FromPath(m_document.Storage().dataFolder));
}
