#include "display/DiagramZoom.h"

#include <algorithm>

void DiagramZoom::ButtonDown(CanvasPoint point) {
    m_dragging = true;
    m_dragStart = point;
    m_dragEnd = point;
}

bool DiagramZoom::MouseMove(CanvasPoint point, bool trackingCursor) {
    if (!m_dragging || trackingCursor) return false;
    m_dragEnd = point;
    return true;
}

DiagramZoom::TitleChange DiagramZoom::ButtonUp() {
    // A release without a press here (pressed outside the view) is no drag.
    if (!m_dragging) return TitleChange::kNone;
    m_dragging = false;
    if (m_dragEnd == m_dragStart) {
        m_zoomActive = false;
        m_zoomSet = false;
        return TitleChange::kRestore;
    }
    if (m_zoomSet) return TitleChange::kNone;

    const CanvasRect spanned{
        std::min(m_dragStart.x, m_dragEnd.x), std::min(m_dragStart.y, m_dragEnd.y),
        std::max(m_dragStart.x, m_dragEnd.x), std::max(m_dragStart.y, m_dragEnd.y)};
    // A straight stroke spans no area: the previous rectangle stays.
    if (spanned.Width() != 0 && spanned.Height() != 0) m_zoomRect = spanned;
    // With no earlier rectangle to fall back on, zooming would show an empty plot.
    if (m_zoomRect.Width() == 0 || m_zoomRect.Height() == 0) return TitleChange::kNone;
    m_zoomActive = true;
    m_zoomSet = true;
    return TitleChange::kAppendZoom;
}

DiagramZoom::TitleChange DiagramZoom::SwitchOff() {
    const bool wasZoomed = m_zoomSet || m_zoomActive;
    m_zoomActive = false;
    m_zoomSet = false;
    return wasZoomed ? TitleChange::kRestore : TitleChange::kNone;
}

std::string DiagramZoom::Decorate(const std::string& title) const {
    return m_zoomActive ? title + kTitleSuffix : title;
}
