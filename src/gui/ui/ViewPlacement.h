#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>
#include <string>

class QWidget;

// A window's placement as the bytes kept under "WP" in the application profile.
std::string PlacementOf(const QWidget& widget);
// Applies stored placement bytes; false (and the widget unchanged) when they
// are damaged. A window comes back whole on a screen and no larger than it.
bool RestorePlacement(QWidget& widget, const std::string& placement);

// `rect`, the inside of a window with `frame` around it, moved and sized so
// that the whole window lies on one of the screens' available areas
// (FitToScreens); the inside at least `minimum` unless a screen is smaller.
QRect FittedToScreens(const QRect& rect, const QSize& minimum, const QMargins& frame = {});
// Moves and sizes a window (not maximised or full screen) that lies partly
// off the screens or is larger than they are, its frame counted once it has one.
void KeepWindowOnScreens(QWidget& window);
