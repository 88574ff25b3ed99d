#pragma once

#include <string>

class QWidget;

// A window's placement as the bytes kept under "WP" in the application profile.
std::string PlacementOf(const QWidget& widget);
// Applies stored placement bytes; false (and the widget unchanged) when they are damaged.
bool RestorePlacement(QWidget& widget, const std::string& placement);
