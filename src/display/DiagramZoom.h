#pragma once

// DiagramZoom is the zoom of a diagram view by dragging a rectangle.

#include <string>

#include "display/Canvas.h"

// The mouse side of zooming: a drag spans the zoom rectangle, a click returns
// to the full view. The view clears its series' zoom points whenever the zoom
// is switched off and sets its title as the returned change says.
class DiagramZoom {
public:
    static constexpr const char* kTitleSuffix = " [Zoom]";

    enum class TitleChange {
        kNone,
        kAppendZoom,  // the title gets kTitleSuffix
        kRestore,     // the title loses kTitleSuffix (the period's title again)
    };

    void ButtonDown(CanvasPoint point);
    // True when the drag rectangle moved and the view must repaint. While the
    // cursor is tracked for the single-value windows no rectangle is dragged.
    bool MouseMove(CanvasPoint point, bool trackingCursor);
    TitleChange ButtonUp();
    // Navigation, the period dialog and a completed read show the full view.
    TitleChange SwitchOff();

    bool Dragging() const { return m_dragging; }
    bool ZoomActive() const { return m_zoomActive; }
    bool ZoomSet() const { return m_zoomSet; }
    CanvasPoint DragStart() const { return m_dragStart; }
    CanvasPoint DragEnd() const { return m_dragEnd; }
    // Normalised: left < right and top < bottom.
    const CanvasRect& ZoomRect() const { return m_zoomRect; }

    // `title` with kTitleSuffix while zoomed.
    std::string Decorate(const std::string& title) const;

private:
    bool m_dragging = false;
    bool m_zoomActive = false;
    bool m_zoomSet = false;
    CanvasPoint m_dragStart;
    CanvasPoint m_dragEnd;
    CanvasRect m_zoomRect;
};
