#pragma once

// FitToScreens brings a stored window rectangle back onto the screens.

#include <span>

// A rectangle in screen pixels: its top left corner and its size.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const ScreenRect&) const = default;
};

struct ScreenSize {
    int width = 0;
    int height = 0;
};

// `wanted` (from a settings file, so any four numbers) moved and sized so that
// it lies whole on one screen: the one of `screens` (their available areas,
// the primary first) that shows most of it, or the nearest one when none
// shows any. Its size is at least `minimum` and at most the screen's (the
// screen wins). A rectangle of at least `minimum` that lies whole on a screen
// comes back unchanged. Without a usable screen it is kept within kFallbackScreen.
ScreenRect FitToScreens(const ScreenRect& wanted, std::span<const ScreenRect> screens,
                        ScreenSize minimum);

// What a window may cover when no screen is known.
inline constexpr ScreenRect kFallbackScreen{0, 0, 1024, 768};
