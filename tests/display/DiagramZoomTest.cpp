#include <gtest/gtest.h>

#include "display/DiagramZoom.h"

namespace {

using TitleChange = DiagramZoom::TitleChange;

TitleChange Drag(DiagramZoom& zoom, CanvasPoint from, CanvasPoint to) {
    zoom.ButtonDown(from);
    zoom.MouseMove(to, false);
    return zoom.ButtonUp();
}

TEST(DiagramZoomTest, DragZoomsIntoTheNormalisedRectangle) {
    DiagramZoom zoom;
    zoom.ButtonDown({300, 40});
    EXPECT_TRUE(zoom.Dragging());
    EXPECT_TRUE(zoom.MouseMove({100, 200}, false));
    EXPECT_EQ(zoom.DragEnd(), (CanvasPoint{100, 200}));
    EXPECT_EQ(zoom.ButtonUp(), TitleChange::kAppendZoom);
    EXPECT_FALSE(zoom.Dragging());
    EXPECT_TRUE(zoom.ZoomActive());
    EXPECT_TRUE(zoom.ZoomSet());
    EXPECT_EQ(zoom.ZoomRect(), (CanvasRect{100, 40, 300, 200}));
    EXPECT_EQ(zoom.Decorate("Last 24 h since x"), "Last 24 h since x [Zoom]");
}

TEST(DiagramZoomTest, ClickWhileZoomedReturnsToTheFullView) {
    DiagramZoom zoom;
    Drag(zoom, {10, 10}, {50, 60});
    EXPECT_EQ(Drag(zoom, {30, 30}, {30, 30}), TitleChange::kRestore);
    EXPECT_FALSE(zoom.ZoomActive());
    EXPECT_FALSE(zoom.ZoomSet());
    EXPECT_EQ(zoom.Decorate("title"), "title");
}

TEST(DiagramZoomTest, SecondDragWhileZoomedChangesNothing) {
    DiagramZoom zoom;
    Drag(zoom, {10, 10}, {50, 60});
    EXPECT_EQ(Drag(zoom, {100, 100}, {200, 200}), TitleChange::kNone);
    EXPECT_TRUE(zoom.ZoomActive());
    EXPECT_EQ(zoom.ZoomRect(), (CanvasRect{10, 10, 50, 60}));
}

TEST(DiagramZoomTest, StraightStrokeKeepsThePreviousRectangle) {
    DiagramZoom zoom;
    Drag(zoom, {10, 10}, {50, 60});
    zoom.SwitchOff();
    EXPECT_EQ(Drag(zoom, {100, 80}, {200, 80}), TitleChange::kAppendZoom);
    EXPECT_EQ(zoom.ZoomRect(), (CanvasRect{10, 10, 50, 60}));
}

TEST(DiagramZoomTest, StraightStrokeWithoutEarlierRectangleDoesNotZoom) {
    DiagramZoom zoom;
    EXPECT_EQ(Drag(zoom, {100, 80}, {100, 180}), TitleChange::kNone);
    EXPECT_FALSE(zoom.ZoomActive());
}

TEST(DiagramZoomTest, TrackedCursorDragsNoRectangle) {
    DiagramZoom zoom;
    zoom.ButtonDown({10, 10});
    EXPECT_FALSE(zoom.MouseMove({50, 50}, true));
    EXPECT_EQ(zoom.ButtonUp(), TitleChange::kRestore);  // a click, as nothing was dragged
    EXPECT_FALSE(zoom.MouseMove({60, 60}, false));      // no button held
}

TEST(DiagramZoomTest, SwitchOffRestoresTheTitleOnlyWhenZoomed) {
    DiagramZoom zoom;
    EXPECT_EQ(zoom.SwitchOff(), TitleChange::kNone);
    Drag(zoom, {10, 10}, {50, 60});
    EXPECT_EQ(zoom.SwitchOff(), TitleChange::kRestore);
    EXPECT_FALSE(zoom.ZoomActive());
    // Zoomed afresh afterwards: a switched-off zoom does not block the next drag.
    EXPECT_EQ(Drag(zoom, {20, 20}, {40, 40}), TitleChange::kAppendZoom);
}

TEST(DiagramZoomTest, ReleaseWithoutPressIsIgnored) {
    DiagramZoom zoom;
    Drag(zoom, {10, 10}, {50, 60});
    EXPECT_EQ(zoom.ButtonUp(), TitleChange::kNone);
    EXPECT_TRUE(zoom.ZoomActive());
}

}  // namespace
